#include "search/matcher.h"

#include <gtest/gtest.h>

#include "common/bytes.h"

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

// Several patterns in one: a name fits when it fits one of them.
TEST(MatchName, APatternListMatchesWhatAnyOfItsPatternsMatches) {
  const MatchCase lists[] = {
      {"*.h;*.cpp", {"a.h", "b.cpp", ".h"}, {"a.hpp", "a.c", "cpp", "a.h;x.c"}},
      {" *.h ; *.cpp ", {"a.h", "b.cpp"}, {"a.h ", "b.cpp "}},  // spaces around each are ignored
      {"*.h;;", {"a.h"}, {"a.c"}},                            // empty ones too
      {";", {"a", "x.y"}, {""}},                              // nothing but those: every name
      {"a?;?b", {"ax", "xb", "ab"}, {"a", "b", "xx"}},
      {"a b", {"a b"}, {"ab", "a"}},                          // no ';': taken as it stands
      {" a", {" a"}, {"a"}},
  };
  for (const auto& c : lists) {
    for (const char* name : c.matches) {
      SCOPED_TRACE(std::string(c.pattern) + " ~ " + name);
      EXPECT_EQ(MatchName(name, c.pattern), 1);
      EXPECT_TRUE(PatternMatcher(c.pattern).Matches(name));
    }
    for (const char* name : c.misses) {
      SCOPED_TRACE(std::string(c.pattern) + " !~ " + name);
      EXPECT_EQ(MatchName(name, c.pattern), 0);
      EXPECT_FALSE(PatternMatcher(c.pattern).Matches(name));
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

#ifndef _WIN32
// UTF-8 names: '?' takes a whole character, a star never splits one.
TEST(MatchName, QuestionMarkTakesOneUtf8Character) {
  const struct {
    std::string pattern, name;
    int expected;
  } table[] = {
      {"?.txt", "\xC3\x9F.txt", 1},                    // ß.txt
      {"\xC3\xA9?", "\xE3\xA9\x80", 0},                  // é? is no match for U+3A40
      {"\xC3\xA9?", "\xC3\xA9" "a", 1},
      {"\xC3\xA9" "t\xC3\xA9.txt", LowerCase("\xC3\x89" "t\xC3\xA9.txt"), 1},  // été.txt finds Été.txt
      {"?", "\xE2\x82\xAC", 1},                        // €
      {"??", "\xE2\x82\xAC", 0},
      {"?", "\xF0\x9F\x98\x80", 1},
      {"*??", "\xE2\x82\xAC", 0},                      // the star takes whole characters
      {"*?", "\xE2\x82\xAC", 1},
      {"a?c", "a\xE2\x82\xAC" "c", 1},
      {"a??c", "a\xE2\x82\xAC" "c", 0},
      {"??", "\xC3" "a", 1},                            // a byte that starts no sequence is one
      {"?", "\xFF", 1},
      {"*.txt", "\xE2\x82\xAC.txt", 1},
      {"*\xA9", "\xC3\xA9", 0},                        // no character starts inside another
  };
  for (const auto& row : table)
    EXPECT_EQ(MatchName(row.name, row.pattern), row.expected) << row.pattern << " ~ " << row.name;
}

// The same rules, obviously: a star or a '?' takes whole characters.
bool CharacterReference(const std::string& p, std::size_t i, const std::string& n, std::size_t j) {
  if (i == p.size()) return j == n.size();
  if (p[i] == '*')
    return CharacterReference(p, i + 1, n, j) || (j < n.size() && CharacterReference(p, i, n, j + CharLength(n, j)));
  if (j == n.size()) return false;
  if (p[i] == '?') return CharacterReference(p, i + 1, n, j + CharLength(n, j));
  return p[i] == n[j] && CharacterReference(p, i + 1, n, j + 1);
}

TEST(MatchName, AgreesWithACharacterReferenceOnMixedText) {
  const std::vector<std::string> pattern_parts = {"a", "\xC3\xA9", "?", "*", "\xA9", "\xE2\x82\xAC"};
  const std::vector<std::string> name_parts = {"a", "\xC3\xA9", "\xE2\x82\xAC", "\xA9", "\xC3"};
  std::vector<std::string> patterns = {""}, names = {""};
  for (int length = 0; length < 4; ++length)
    for (std::size_t i = 0, end = patterns.size(); i < end; ++i)
      for (const auto& part : pattern_parts) patterns.push_back(patterns[i] + part);
  for (int length = 0; length < 4; ++length)
    for (std::size_t i = 0, end = names.size(); i < end; ++i)
      for (const auto& part : name_parts) names.push_back(names[i] + part);
  for (const auto& pattern : patterns) {
    for (const auto& name : names) {
      const int expected = name.empty() ? 0 : pattern.empty() ? 1 : CharacterReference(pattern, 0, name, 0);
      if (MatchName(name, pattern) != expected) {
        ADD_FAILURE() << "pattern '" << pattern << "' name '" << name << "' expected " << expected;
        return;
      }
    }
  }
}
#endif

}  // namespace
}  // namespace vudo
