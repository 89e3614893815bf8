// What the settings store writes for the texts left in the window.
#pragma once

#include <string>
#include <vector>

namespace vudo::e2e {

inline std::string StoreWrites(const std::string& directory, const std::string& pattern, const std::string& contains,
                               const std::vector<std::string>& recent) {
  std::string text = "searchdir = " + directory + "\r\nfilename = " + pattern + "\r\ncontains = " + contains + "\r\n";
  for (std::size_t i = 0; i < recent.size() && i < 10; ++i)
    text += "recentsearchdir" + std::to_string(i) + " = " + recent[i] + "\r\n";
  return text;
}

// The keys every settings file has, in their order: what precedes the
// window's layout, which the program writes after them.
inline std::string KnownKeys(const std::string& ini) { return ini.substr(0, ini.find("windowleft = ")); }

}  // namespace vudo::e2e
