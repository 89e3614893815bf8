// Wildcard name matcher: '*' matches any run of characters (the empty run
// too), '?' exactly one character, every other byte only itself. A character
// is one byte or a whole UTF-8 sequence, as the text rule in force says
// (common/bytes.h).
// Bytes compare exactly: both name and pattern arrive lower-cased.
#pragma once

#include <string_view>

namespace vudo {

// 1 when `name` fits `pattern`, else 0. An empty name never matches; an empty
// pattern matches every non-empty name. The compiled form of the most recent
// pattern is kept, so calling this for every file of a search compiles the
// search's pattern once.
int MatchName(std::string_view name, std::string_view pattern);

}  // namespace vudo
