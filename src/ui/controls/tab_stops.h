// Keyboard navigation between the tab stops of a window: its enabled, visible
// descendants with WS_TABSTOP, in the platform's child order (creation order;
// an editable combo box's edit field comes right after the combo box). A text
// field reached this way has its text selected, as in the platform's dialogs.
#pragma once

#include <windows.h>

#include <vector>

namespace vudo::layer {

std::vector<HWND> TabStops(HWND window);

// Tab: the stop after the focused one, wrapping to the first. Focus outside
// the window goes to the first stop; focus on a descendant that is no tab
// stop stays where it is.
void FocusNextTabStop(HWND window);
// Shift+Tab: the stop before the focused one; from the first stop, or from
// anywhere that is no stop, the last.
void FocusPreviousTabStop(HWND window);

// Alt and a label's underlined letter ("&Search in:" and S, any letter case):
// the focus goes to the first tab stop after that label, its text selected,
// as in the platform's dialogs. False when no label of `window` marks `key`.
bool FocusMnemonic(HWND window, WPARAM key);

}  // namespace vudo::layer
