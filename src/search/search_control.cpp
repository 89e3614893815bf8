#include "search/search_control.h"

#include "common/bytes.h"
#include "search/search_state.h"
#include "search/walker.h"
#include "ui/control_layer.h"

namespace vudo {

namespace {

constexpr std::string_view kStartLabel = "Start";
constexpr std::string_view kStopLabel = "Stop";

// Puts `directory` at the top of the recent list unless the list holds it
// already in some letter case. An empty start directory is not remembered.
void RememberDirectory(const std::string& directory) {
  if (directory.empty()) return;
  const int count = ControlItemCount(kStartDirectoryCombo);
  for (int i = 0; i < count; ++i)
    if (EqualLowered(ControlItemText(kStartDirectoryCombo, i), directory)) return;
  ControlItemAdd(kStartDirectoryCombo, 0, directory);
}

}  // namespace

void ToggleSearch() {
  if (ControlText(kStartStopButton) != kStartLabel) {
    StopRequested = 1;
    ControlSetText(kStartStopButton, kStartLabel);
    return;
  }
  StopRequested = 0;
  // A walk of an earlier search that is still unwinding sees the new
  // generation and ends without adding rows to this search's list.
  ++SearchGeneration;
  SearchDirectory = ControlText(kStartDirectoryCombo);
  NamePattern = LowerCase(ControlText(kPatternField));
  ContainsText = LowerCase(ControlText(kContainsField));
  RememberDirectory(SearchDirectory);
  ControlSetText(kStartStopButton, kStopLabel);
  ControlItemsClear(kResultList);
  WalkDirectory(SearchDirectory);
  ControlSetText(kStartStopButton, kStartLabel);
}

}  // namespace vudo
