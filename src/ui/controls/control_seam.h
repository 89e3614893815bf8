// The control seam: the few control operations the window's search
// procedures (search_control.h, window_walk.h) and the settings store call,
// on controls addressed by number (common/control_numbers.h).
//
// Two layers implement them, and each program links exactly one (CMake's
// VUDO_CONTROL_LAYER, src/CMakeLists.txt): the real control layer
// (control_layer.h), which drives native controls, in Vudo.exe; an in-memory
// layer in the tests of those procedures. Their conventions are the control
// layer's, stated at the top of control_layer.h.
#pragma once

#include <string>
#include <string_view>

namespace vudo {

// Position argument of ControlItemAdd that appends at the end.
inline constexpr int kAppend = -1;

std::string ControlText(int control);
void ControlSetText(int control, std::string_view text);
int ControlItemCount(int control);
// Combo box: the text of entry `item` (column ignored), empty when there is none.
// List: the text of row `item` in `column`.
std::string ControlItemText(int control, int item, int column = 0);
// Combo box: -1 appends, 0 and up insert before that entry. List: -1 appends a
// row; a line feed in `text` separates the texts of successive columns.
void ControlItemAdd(int control, int position, std::string_view text);
void ControlItemsClear(int control);
// The tip that shows while the pointer rests on the control; empty: none.
void ControlSetTip(int control, std::string_view text);

// Handles one pending window message; 0 at once when none is pending.
int EventPoll();

}  // namespace vudo
