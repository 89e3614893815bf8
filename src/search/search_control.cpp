#include "search/search_control.h"

#include "common/bytes.h"
#include "common/control_numbers.h"
#include "platform/path.h"
#include "search/search_state.h"
#include "search/window_walk.h"
#include "ui/controls/control_seam.h"

namespace vudo {

namespace {

// A walk is on the stack: Start and Stop pressed again run nested inside it,
// from its event handling.
bool walking = false;
// A Start arrived while a walk was on the stack; its walk runs once the older
// one has unwound.
bool restart_pending = false;

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
    restart_pending = false;  // a Stop after a pending Start cancels it
    ControlSetText(kStartStopButton, kStartLabel);
    return;
  }
  // Everything the user sees happens at once.
  StopRequested = 0;
  // A walk of an earlier search that is still unwinding sees the new
  // generation and ends without adding rows to this search's list.
  ++SearchGeneration;
  // Rows and the recent list spell a folder typed with '/' as the system
  // does, so that one folder is one recent entry.
  SearchDirectory = platform::SystemSeparators(ControlText(kStartDirectoryCombo));
  NamePattern = LowerCase(ControlText(kPatternField));
  ContainsText = LowerCase(ControlText(kContainsField));
  RememberDirectory(SearchDirectory);
  ControlSetText(kStartStopButton, kStopLabel);
  ControlItemsClear(kResultList);
  // Started from inside a walk (Stop and Start in a burst, or Return held
  // down): running the walk here would pile one walk onto the other for every
  // press. The outermost call runs it once the older walk has unwound.
  if (walking) {
    restart_pending = true;
    return;
  }
  // However the walks end (an exception among them, which the window's
  // procedure catches), the next Start must find no walk on the stack.
  struct Walking {
    Walking() { walking = true; }
    ~Walking() { walking = false; }
  } on_the_stack;
  do {
    restart_pending = false;
    WalkDirectory(SearchDirectory);
  } while (restart_pending);
  ControlSetText(kStartStopButton, kStartLabel);
}

}  // namespace vudo
