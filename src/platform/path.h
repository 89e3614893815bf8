// Path conventions of the platform the program runs on.
#pragma once

#include <string_view>

namespace vudo::platform {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
// Windows accepts both slashes; a start directory typed as "C:/Data/" must not
// become "C:/Data/\".
constexpr bool IsSeparator(char c) { return c == '\\' || c == '/'; }
// Where an empty start directory leads: the root of the current drive.
inline constexpr std::string_view kEmptyDirectoryMeans = "\\";
#else
inline constexpr char kSeparator = '/';
constexpr bool IsSeparator(char c) { return c == '/'; }
inline constexpr std::string_view kEmptyDirectoryMeans = "/";
#endif

}  // namespace vudo::platform
