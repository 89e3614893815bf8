#include "search/matcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vudo {
namespace {

struct MatchCase {
  const char* pattern;
  std::vector<const char*> matches;
  std::vector<const char*> misses;
};

const MatchCase kCases[] = {
    {"*.txt", {"a.txt", "readme.txt", ".txt", "a.b.txt", "a.txt.txt"}, {"a.txtx", "txt", "a.tx"}},
    {"*.*", {"a.b", ".profile", "a.b.c", "a.b.", "a.", "."}, {"readme"}},
    {"*", {"a", "abc", "."}, {""}},
    {"**", {"a", "abc"}, {""}},
    {"?", {"a", "."}, {"ab", ""}},
    {"??", {"ab"}, {"a", "abc"}},
    {"???", {"abc"}, {"a", "ab", "abcd"}},
    {"a?c", {"abc"}, {"ac", "abbc"}},
    {"a??", {"abc"}, {"ab", "abcd"}},
    {"a*b*c", {"abc", "axbxc", "abxbc", "abcc", "abcbc"}, {"acb", "abcx", "ab"}},
    {"*a", {"a", "ba", "aba", "aa"}, {"ab", "b"}},
    {"*ab", {"ab", "aab", "abab"}, {"aba", "a"}},
    {"abc*", {"abc", "abcd"}, {"ab", "xabc"}},
    {"abc", {"abc"}, {"abcd", "xabc", "ab", "ABC"}},
    {"?*x", {"ax", "abx"}, {"x", "xa"}},
    {"*?x", {"ax", "abx"}, {"x"}},
    {"?x", {"ax"}, {"x", "abx"}},
    {"??x", {"abx"}, {"x", "ax", "abcx"}},
    {"x?*", {"xa", "xab"}, {"x"}},
    {"a*?", {"ab", "abc"}, {"a"}},
    {"*x*", {"x", "xa", "ax", "axa"}, {"a", "abc"}},
    {"*a*?*b", {"acb", "aab", "xaxxb"}, {"ab", "b"}},
    {"*.h", {"stdio.h", ".h", "a.h.h"}, {"stdio.hpp", "h"}},
    {"?*.?*", {"a.b", "ab.cd"}, {".b", "a.", "ab"}},
};

TEST(MatchName, FollowsWildcardRules) {
  for (const auto& c : kCases) {
    for (const char* name : c.matches) {
      SCOPED_TRACE(std::string(c.pattern) + " ~ " + name);
      EXPECT_EQ(MatchName(name, c.pattern), 1);
    }
    for (const char* name : c.misses) {
      SCOPED_TRACE(std::string(c.pattern) + " !~ " + name);
      EXPECT_EQ(MatchName(name, c.pattern), 0);
    }
  }
}

TEST(MatchName, EmptyPatternMatchesEveryNonEmptyName) {
  EXPECT_EQ(MatchName("a.txt", "*.txt"), 1);
  // Not the previous pattern: an empty pattern means every file.
  EXPECT_EQ(MatchName("a.doc", ""), 1);
  EXPECT_EQ(MatchName("x", ""), 1);
  EXPECT_EQ(MatchName("", ""), 0);
}

TEST(MatchName, ComparesBytesExactly) {
  EXPECT_EQ(MatchName("a", "A"), 0);
  EXPECT_EQ(MatchName("\xE9t\xE9", "\xE9*"), 1);
  EXPECT_EQ(MatchName("\xC9t\xE9", "\xE9*"), 0);
  EXPECT_EQ(MatchName("a\xFF", "a?"), 1);
}

TEST(MatchName, ChangingPatternsNeverReuseAStaleCompiledForm) {
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(MatchName("a.txt", "*.txt"), 1);
    EXPECT_EQ(MatchName("a.txt", "*.doc"), 0);
    EXPECT_EQ(MatchName("a.doc", "*.doc"), 1);
    EXPECT_EQ(MatchName("a.doc", "a.*"), 1);
  }
}

TEST(MatchName, HandlesLongNamesAndManyStarsWithoutBlowingUp) {
  const std::string many_a(4000, 'a');
  EXPECT_EQ(MatchName(many_a, "*a*a*a*a*a*a*a*a*b"), 0);
  EXPECT_EQ(MatchName(many_a + "b", "*a*a*a*a*a*a*a*a*b"), 1);
  EXPECT_EQ(MatchName(many_a, std::string(300, '*') + "a"), 1);
}

// An obviously correct recursive matcher to compare with.
bool Reference(const char* p, const char* n) {
  if (*p == '\0') return *n == '\0';
  if (*p == '*') return Reference(p + 1, n) || (*n != '\0' && Reference(p, n + 1));
  if (*n == '\0') return false;
  return (*p == '?' || *p == *n) && Reference(p + 1, n + 1);
}

void AllStrings(const std::string& alphabet, std::size_t max_length, std::vector<std::string>& out) {
  out.push_back("");
  for (std::size_t start = 0; out.back().size() < max_length || start < out.size(); ++start) {
    if (start >= out.size()) break;
    if (out[start].size() == max_length) continue;
    for (char c : alphabet) out.push_back(out[start] + c);
  }
}

TEST(MatchName, AgreesWithAReferenceOnEverySmallCase) {
  std::vector<std::string> patterns, names;
  AllStrings("ab*?", 5, patterns);
  AllStrings("ab", 6, names);
  for (const auto& pattern : patterns) {
    for (const auto& name : names) {
      const int expected = name.empty() ? 0 : pattern.empty() ? 1 : Reference(pattern.c_str(), name.c_str());
      if (MatchName(name, pattern) != expected) {
        ADD_FAILURE() << "pattern '" << pattern << "' name '" << name << "' expected " << expected;
        return;
      }
    }
  }
}

}  // namespace
}  // namespace vudo
