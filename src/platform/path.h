// Path conventions of the platform the program runs on.
#pragma once

#include <string>
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

// A path as the system writes it: on Windows '/' (which it accepts) becomes
// '\', as Explorer shows paths; a path in the extended form (\\?\...), where
// '/' is no separator, stays as it is.
inline std::string SystemSeparators(std::string_view path) {
  std::string written(path);
#ifdef _WIN32
  if (written.rfind("\\\\?\\", 0) != 0)
    for (char& c : written)
      if (c == '/') c = '\\';
#endif
  return written;
}

}  // namespace vudo::platform
