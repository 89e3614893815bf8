// The settings store: carries the start directory (kStartDirectoryCombo), the
// pattern (kPatternField), the Contains text (kContainsField) and up to ten
// recent start directories (kStartDirectoryCombo's list) from one run to the
// next, in "Vudo.ini".
//
// Keys, written in this order: "searchdir", "filename", "contains" (always,
// also when empty), then "recentsearchdir0" to "recentsearchdir9" for each
// non-empty item among the first ten of the list, renumbered from 0.
#pragma once

#include <string>

namespace vudo {

// The original developer's own build folder. A copy run from exactly this
// folder is a build being tried out, and keeps its settings in the current
// directory rather than leave a Vudo.ini among the build's files. Compared
// exactly, letter case included, it matches no folder of an ordinary
// installation, where the settings stay beside the program.
inline constexpr const char* DevelopmentDirectory = "C:\\Programme\\Quenbrill\\Compilers\\";
inline constexpr const char* kSettingsFileName = "Vudo.ini";

// The directory of the settings file, ending in a separator: the program's own
// directory, or the current directory when the program runs from
// DevelopmentDirectory (compared exactly, letter case included). Empty when
// that directory is unknown: the settings are then neither read nor written.
std::string SettingsDirectory();
std::string SettingsDirectoryFor(const std::string& program_path, const std::string& current_directory);

// The window as the user left it, kept under keys of its own after the
// others ("windowleft", "windowtop", "windowwidth", "windowheight",
// "windowmaximized", "filenamewidth", "directorywidth"). `saved` is false
// until a file with all of them (whole numbers, sizes above 0) was loaded.
struct WindowLayout {
  bool saved = false;
  int left = 0, top = 0, width = 0, height = 0;  // the outer rectangle when not maximised
  bool maximized = false;
  int name_width = 0, directory_width = 0;  // the result list's columns
};
// Filled by LoadSettings; SaveSettings writes it when `saved` is set.
extern WindowLayout SavedLayout;

// Empties kStartDirectoryCombo, kPatternField and kContainsField, then fills
// them and kStartDirectoryCombo's list from the settings file. A missing or
// unreadable file leaves them empty.
void LoadSettings();

// Writes kStartDirectoryCombo, kPatternField and kContainsField and the first
// ten items of kStartDirectoryCombo's list. When the file cannot be written
// the old one stays as it was.
void SaveSettings();

}  // namespace vudo
