// The numbers of the main window, its controls, the result list's context menu
// and that menu's items. Every part of the program (the engine, the settings,
// the window, its commands) and the tests that drive the real window name them
// by these constants. Windows, controls and menus have number spaces of their
// own, so kMainWindow and kSearchInLabel, both 0, are different objects.
#pragma once

namespace vudo {

//--- windows
inline constexpr int kMainWindow = 0;

//--- controls of kMainWindow, in creation (and tab) order
inline constexpr int kSearchInLabel = 0;        // "&Search in:"
inline constexpr int kStartDirectoryCombo = 1;  // editable combo box; its list holds the recent directories
inline constexpr int kBrowseButton = 2;         // "..."
inline constexpr int kFilenameLabel = 3;        // "&Filename:"
inline constexpr int kPatternField = 4;
inline constexpr int kContainsLabel = 5;  // "&Contains:"
inline constexpr int kContainsField = 6;
inline constexpr int kStartStopButton = 7;  // "Start", or "Stop" while a search runs
inline constexpr int kResultList = 8;       // columns "Filename" and "Directory"
// How the last search went, in the free space left of kStartStopButton.
inline constexpr int kStatusText = 9;

//--- the result list's context menu and its items
inline constexpr int kListMenu = 9;
inline constexpr int kOpenFolderItem = 10;
inline constexpr int kOpenFileItem = 11;

}  // namespace vudo
