// The main window: kMainWindow with its controls kSearchInLabel to
// kResultList, the result list's context menu kListMenu
// (common/control_numbers.h), and the bindings of the program's event
// procedures.
#pragma once

#include <cstdint>

#include "events/event_record.h"
#include "common/control_numbers.h"

namespace vudo {

inline constexpr const char* kMainWindowTitle = "Vudo (Pathquest)";

// Opens kMainWindow hidden, creates its controls and menu and binds the
// procedures. 1 when the window and its control parent were set up, else 0.
std::int32_t BuildMainWindow();

// The window's place, size, maximised state and column widths: restored from
// the settings file's layout (before the window shows; a file without it
// leaves the window as built), and taken for the next save.
void ApplySavedLayout();
void RememberLayout();

// Fits the controls to kMainWindow's inner size: the fields and the list stretch
// to the right (and the list down) with a 5-pixel margin, the "..." and Start
// buttons keep to the right edge. Sizes go to the controls unclamped.
std::int32_t OnWindowResized(EventRecord* record);

}  // namespace vudo
