// The main window: window 0 with controls 0 to 8, the result list's context
// menu 9, and the bindings of the program's event procedures.
#pragma once

#include <cstdint>

#include "events/event_record.h"
#include "ui/control_layer.h"

namespace vudo {

inline constexpr int kMainWindow = 0;
inline constexpr const char* kMainWindowTitle = "Vudo (Pathquest)";
// Controls not named in control_layer.h.
inline constexpr int kSearchInLabel = 0;
inline constexpr int kBrowseButton = 2;
inline constexpr int kFilenameLabel = 3;
inline constexpr int kContainsLabel = 5;
// The result list's context menu and its items.
inline constexpr int kListMenu = 9;
inline constexpr int kOpenFolderItem = 10;
inline constexpr int kOpenFileItem = 11;

// Opens window 0 hidden, creates its controls and menu and binds the
// procedures. 1 when the window and its control parent were set up, else 0.
std::int32_t BuildMainWindow();

// Fits the controls to window 0's inner size: the fields and the list stretch
// to the right (and the list down) with a 5-pixel margin, the "..." and Start
// buttons keep to the right edge. Sizes go to the controls unclamped.
std::int32_t OnWindowResized(EventRecord* record);

}  // namespace vudo
