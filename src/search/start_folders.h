// The folders one search starts from. The "Search in" text and the console
// finder's folder argument name one folder or several, separated by ';'
// ("C:\src;D:\docs"); the walk (walk.cpp) takes them in turn, in the order
// given, and lists every file once even where they overlap.
//
// Two folders are the same when their paths are, compared as the platform
// compares them: letter case ignored on Windows, '/' and '\' alike there, a
// trailing separator or none. Paths are compared as written: "C:\a\..\b" and
// "C:\b" are different folders to this.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"

namespace vudo {

struct StartFolders {
  // What to walk, in order, each as given with the spaces around it dropped;
  // the hits' directories begin with it. Never empty: a text that names no
  // folder is one empty folder, the root (WalkStartPath).
  std::vector<std::string> folders;
  // Folders that lie inside a folder listed after them (FolderKey's form):
  // walked already when the later one's walk comes to them, so it passes
  // them over. Empty unless the folders overlap that way.
  std::vector<std::string> skipped;

  // Whether a walk passes over the subdirectory `directory` (ending in a
  // separator).
  bool Skips(std::string_view directory, TextRule rule) const {
    return !skipped.empty() && SkipsSlowly(directory, rule);
  }

 private:
  bool SkipsSlowly(std::string_view directory, TextRule rule) const;
};

// Splits `text` at ';', trims spaces and tabs around each piece and drops the
// empty ones, and drops every folder met before (also in another spelling)
// or inside one met before. A text without ';' is the one folder, untouched;
// one with ';' that names an existing directory as a whole (trimmed) is that
// folder, since a folder's own name may hold a ';'.
StartFolders SplitStartFolders(std::string_view text, TextRule rule);

// A folder's path in the form folders are compared in: ending in a separator,
// and on Windows with '\' for '/' and lower-cased by `rule`.
std::string FolderKey(std::string_view folder, TextRule rule);

}  // namespace vudo
