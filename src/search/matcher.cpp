#include "search/matcher.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>

#include "common/bytes.h"

namespace vudo {
namespace {

// A pattern prepared for matching: runs of stars collapsed into one, and the
// fixed parts before the first and after the last star measured, since a name
// must begin and end with them. Most patterns ("*.txt") are rejected by the
// end check alone.
struct CompiledPattern {
  std::string text;
  bool has_star = false;
  bool has_question = false;
  // The ends can be checked byte by byte: every '?' is one byte (Windows), or
  // the pattern has none and its tail starts a character (UTF-8).
  bool ends_by_bytes = true;
  std::size_t fixed_bytes = 0;  // bytes that are not stars: the shortest name
  std::size_t head = 0;         // bytes before the first star
  std::size_t tail = 0;         // bytes after the last star
  TextRule rule = TextRule::kUtf8;  // what a character is
};

bool IsContinuationByte(char b) { return (static_cast<unsigned char>(b) & 0xC0) == 0x80; }

CompiledPattern Compile(std::string_view pattern, TextRule rule) {
  CompiledPattern c;
  c.rule = rule;
  c.text.reserve(pattern.size());
  for (char b : pattern) {
    if (b == '*' && !c.text.empty() && c.text.back() == '*') continue;
    c.text += b;
  }
  const std::size_t first = c.text.find('*');
  c.has_star = first != std::string::npos;
  c.has_question = c.text.find('?') != std::string::npos;
  c.fixed_bytes = c.text.size() - static_cast<std::size_t>(std::count(c.text.begin(), c.text.end(), '*'));
  c.head = c.has_star ? first : c.text.size();
  c.tail = c.has_star ? c.text.size() - c.text.rfind('*') - 1 : c.text.size();
  if (rule == TextRule::kUtf8) {
    // A '?' takes a whole character, whose length only the name tells; and a
    // tail starting inside a character could match where no character starts.
    c.ends_by_bytes = !c.has_question && (c.tail == 0 || !IsContinuationByte(c.text[c.text.size() - c.tail]));
  }
  return c;
}

bool FitsRun(const char* pattern, const char* name, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (pattern[i] != name[i] && pattern[i] != '?') return false;
  return true;
}

// The classic iterative algorithm: on a mismatch, go back to the most recent
// star and let it take one character more. A '?' takes one character, any
// other pattern byte matches the same byte. O(name length x pattern length)
// at worst, no recursion.
bool MatchStars(std::string_view pat, std::string_view name, TextRule rule) {
  std::size_t p = 0, n = 0;
  std::size_t star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pat.size() && pat[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pat.size() && pat[p] == '?') {
      ++p;
      n += CharLength(name, n, rule);
    } else if (p < pat.size() && pat[p] == name[n]) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      resume += CharLength(name, resume, rule);
      n = resume;
    } else {
      return false;
    }
  }
  while (p < pat.size() && pat[p] == '*') ++p;
  return p == pat.size();
}

bool Matches(const CompiledPattern& c, std::string_view name) {
  if (name.empty()) return false;
  if (c.text.empty()) return true;
  if (name.size() < c.fixed_bytes) return false;
  if (!c.ends_by_bytes) return MatchStars(c.text, name, c.rule);
  if (!c.has_star) return name.size() == c.text.size() && FitsRun(c.text.data(), name.data(), name.size());
  if (!FitsRun(c.text.data(), name.data(), c.head)) return false;
  if (!FitsRun(c.text.data() + c.text.size() - c.tail, name.data() + name.size() - c.tail, c.tail)) return false;
  // With both ends anchored, only what lies between the first and the last
  // star is left to place; that part of the pattern begins and ends with a star.
  const std::string_view middle_pattern(c.text.data() + c.head, c.text.size() - c.head - c.tail);
  // One star between the ends ("*.txt", "a*z") takes whatever lies between
  // them: nothing is left to walk.
  if (middle_pattern.size() == 1) return true;
  const std::string_view middle_name(name.data() + c.head, name.size() - c.head - c.tail);
  return MatchStars(middle_pattern, middle_name, c.rule);
}

// Every pattern of a list, compiled; none stands for the empty pattern.
struct CompiledList {
  std::vector<CompiledPattern> any;
};

CompiledList CompileList(std::string_view pattern, TextRule rule) {
  CompiledList list;
  for (std::string_view one : PatternList(pattern)) list.any.push_back(Compile(one, rule));
  return list;
}

bool Matches(const CompiledList& list, std::string_view name) {
  if (name.empty()) return false;
  if (list.any.empty()) return true;
  for (const CompiledPattern& one : list.any)
    if (Matches(one, name)) return true;
  return false;
}

std::string LastPattern;
TextRule LastRule = TextRule::kSingleByte;
CompiledList Compiled;

}  // namespace

std::vector<std::string_view> PatternList(std::string_view pattern) {
  if (pattern.find(';') == std::string_view::npos) {
    if (pattern.empty()) return {};
    return {pattern};
  }
  std::vector<std::string_view> list;
  while (true) {
    const std::size_t end = std::min(pattern.find(';'), pattern.size());
    std::string_view one = pattern.substr(0, end);
    while (!one.empty() && one.front() == ' ') one.remove_prefix(1);
    while (!one.empty() && one.back() == ' ') one.remove_suffix(1);
    if (!one.empty()) list.push_back(one);
    if (end == pattern.size()) return list;
    pattern.remove_prefix(end + 1);
  }
}

struct PatternMatcher::Compiled : CompiledList {};

PatternMatcher::PatternMatcher(std::string_view pattern, TextRule rule)
    : compiled_(new Compiled{CompileList(pattern, rule)}) {}
PatternMatcher::~PatternMatcher() = default;
PatternMatcher::PatternMatcher(PatternMatcher&&) noexcept = default;
PatternMatcher& PatternMatcher::operator=(PatternMatcher&&) noexcept = default;
bool PatternMatcher::Matches(std::string_view name) const { return vudo::Matches(*compiled_, name); }

int MatchName(std::string_view name, std::string_view pattern) {
  if (name.empty()) return 0;
  if (pattern.empty()) return 1;
  if (pattern != LastPattern || CurrentTextRule() != LastRule) {
    LastPattern.assign(pattern.data(), pattern.size());
    LastRule = CurrentTextRule();
    Compiled = CompileList(pattern, LastRule);
  }
  return Matches(Compiled, name) ? 1 : 0;
}

}  // namespace vudo
