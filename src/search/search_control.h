// Search run control: the one operation behind the Start/Stop button.
#pragma once

#include <string_view>

namespace vudo {

// The Start/Stop button's two labels; the label tells whether a search runs.
inline constexpr std::string_view kStartLabel = "Start";
inline constexpr std::string_view kStopLabel = "Stop";

// When kStartStopButton reads "Start", runs a whole search: takes the start
// directory, pattern and Contains text from kStartDirectoryCombo,
// kPatternField and kContainsField, puts a new start directory at the top of
// the combo box's recent list, labels the button "Stop", clears kResultList
// and walks the tree (window_walk.h); the button reads "Start" again when the
// walk returns. Any other label makes the call a stop request:
// StopRequested is set and the button reads "Start" at once.
//
// A search runs inside this call and processes window events as it goes, so
// this is entered again from inside a running search: that is how Stop works.
void ToggleSearch();

}  // namespace vudo
