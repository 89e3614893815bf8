// The control layer: windows, controls and menus addressed by small numbers.
//
// This header declares the operations that the search engine and the settings
// store use. The Windows program links the real layer, which drives native
// controls; the tests and the console finder link small implementations of
// their own. An operation on a number that names nothing has no effect and
// yields 0 or an empty text. Texts returned are new strings owned by the caller.
#pragma once

#include <string>
#include <string_view>

namespace vudo {

// Control numbers, as the main window creates them.
enum ControlNumber : int {
  kStartDirectoryCombo = 1,  // editable combo box; its list holds the recent directories
  kPatternField = 4,
  kContainsField = 6,
  kStartStopButton = 7,
  kResultList = 8,  // columns "Filename" and "Directory"
};

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

// Handles one pending window message; 0 at once when none is pending.
int EventPoll();

}  // namespace vudo
