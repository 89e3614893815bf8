// The user's commands: the procedures bound to the main window's events.
// Each returns EVT_DEFAULT, so the platform's own handling goes on afterwards.
// A search runs inside OnReturnKey or OnStartStopClicked and handles events
// while it walks, so these procedures also run nested inside a search.
#pragma once

#include <cstdint>

#include "events/event_record.h"

namespace vudo {

// 1 once the user asked to close the window; the main loop ends on it.
extern std::int32_t QuitRequested;

// A close request: the main loop ends once it returns, a running search
// stopped first.
std::int32_t OnCloseRequest(EventRecord* record);
// The user's session ends (logoff, shutdown): the search stops, and the
// settings are saved at once, since the process may end right after.
void OnSessionEnding();
// Return (main or keypad Enter) in the start directory, pattern or Contains
// field: the same as a click on Start/Stop. Escape there stops a running
// search, as a click on Stop does, and does nothing otherwise.
std::int32_t OnReturnKey(EventRecord* record);
// The "..." button: the folder chooser, starting from kStartDirectoryCombo's
// text.
std::int32_t OnBrowseClicked(EventRecord* record);
std::int32_t OnStartStopClicked(EventRecord* record);
// Right click on the result list: the context menu, while a row is selected;
// with Shift held, the shell's own menu for the row's file.
std::int32_t OnListContextMenu(EventRecord* record);
// "Open folder" (kOpenFolderItem) shows the selected row's file selected in
// its folder, "Open file" (kOpenFileItem) launches its directory followed by
// its name.
std::int32_t OnOpenMenuItem(EventRecord* record);

// What people bring from other finders, on the result list:
// a double-click on a row opens it as "Open file" does;
std::int32_t OnListDoubleClick(EventRecord* record);
// Return opens the selected row, Ctrl+C copies its full path to the
// clipboard, Escape stops a running search;
std::int32_t OnListKeyDown(EventRecord* record);
// a row dragged with the left button goes out as its file, to be copied or
// linked where it is dropped;
void OnResultRowDragged(int list, int row);
// a click on a column header sorts by that column, a second one reverses the
// order; not while a search runs, whose rows keep the order found.
void OnResultColumnClicked(int list, int column);

}  // namespace vudo
