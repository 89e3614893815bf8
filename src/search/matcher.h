// Wildcard name matcher: '*' matches any run of characters (the empty run
// too), '?' exactly one character, every other byte only itself. A character
// is one byte or a whole UTF-8 sequence, as the text rule in force says
// (common/bytes.h).
// Bytes compare exactly: both name and pattern arrive lower-cased.
//
// A pattern may list several, separated by ';' ("*.h;*.cpp"): a name fits the
// list when it fits one of them. Spaces around each are ignored, and so are
// empty ones; a list of nothing but those is the empty pattern. A pattern
// without ';' is taken exactly as it stands, spaces included.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "common/bytes.h"

namespace vudo {

// The patterns a pattern lists, in order (see above).
std::vector<std::string_view> PatternList(std::string_view pattern);

// One pattern compiled for matching many names under one text rule. Each
// object is independent, so the engine's worker threads match with their own.
class PatternMatcher {
 public:
  explicit PatternMatcher(std::string_view pattern, TextRule rule = CurrentTextRule());
  ~PatternMatcher();
  PatternMatcher(PatternMatcher&&) noexcept;
  PatternMatcher& operator=(PatternMatcher&&) noexcept;
  // The rules of MatchName.
  bool Matches(std::string_view name) const;

 private:
  struct Compiled;
  std::unique_ptr<Compiled> compiled_;
};

// 1 when `name` fits `pattern`, else 0. An empty name never matches; an empty
// pattern matches every non-empty name. The compiled form of the most recent
// pattern is kept, so calling this for every file of a search compiles the
// search's pattern once.
int MatchName(std::string_view name, std::string_view pattern);

}  // namespace vudo
