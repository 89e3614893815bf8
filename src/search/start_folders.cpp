#include "search/start_folders.h"

#include <algorithm>

#include "platform/directory.h"
#include "platform/path.h"
#include "search/engine.h"

namespace vudo {
namespace {

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool NamesDirectory(std::string_view folder) {
  platform::DirectoryReader reader;
  return !folder.empty() && reader.Open(WalkStartPath(folder));
}

// Keys end in a separator, so a prefix is a folder and everything below it.
bool Inside(const std::string& key, const std::string& outer) { return key.compare(0, outer.size(), outer) == 0; }

}  // namespace

std::string FolderKey(std::string_view folder, TextRule rule) {
  std::string key = WalkStartPath(folder);
#ifdef _WIN32
  std::replace(key.begin(), key.end(), '/', '\\');
  LowerInPlace(key.data(), key.size(), rule);
#else
  (void)rule;
#endif
  return key;
}

StartFolders SplitStartFolders(std::string_view text, TextRule rule) {
  StartFolders start;
  if (text.find(';') == std::string_view::npos || NamesDirectory(Trimmed(text))) {
    start.folders.emplace_back(text.find(';') == std::string_view::npos ? text : Trimmed(text));
    return start;
  }
  std::vector<std::string> keys;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(';'), text.size());
    const std::string_view folder = Trimmed(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (folder.empty()) continue;
    std::string key = FolderKey(folder, rule);
    if (std::any_of(keys.begin(), keys.end(), [&](const std::string& earlier) { return Inside(key, earlier); }))
      continue;
    start.folders.emplace_back(folder);
    keys.push_back(std::move(key));
  }
  if (start.folders.empty()) start.folders.emplace_back();
  // A folder inside a later one: no folder lies inside an earlier one now, so
  // each later one that holds it comes after it.
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (std::any_of(keys.begin() + i + 1, keys.end(), [&](const std::string& later) { return Inside(keys[i], later); }))
      start.skipped.push_back(keys[i]);
  return start;
}

bool StartFolders::SkipsSlowly(std::string_view directory, TextRule rule) const {
  // Lower-casing and the separators keep a path's length: most directories
  // are told apart by it alone, with nothing to allocate.
  for (const std::string& key : skipped)
    if (key.size() == directory.size() && key == FolderKey(directory, rule)) return true;
  return false;
}

}  // namespace vudo
