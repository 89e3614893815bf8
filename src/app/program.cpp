#include "app/program.h"

#include <windows.h>

#include "app/command_line.h"
#include "common/bytes.h"
#include "settings/settings_store.h"
#include "ui/main_window.h"
#include "ui/user_commands.h"
#include "ui/controls/control_layer.h"

namespace vudo {

void Main() {
  if (!BuildMainWindow()) return;  // nothing loaded, shown or saved
  LoadSettings();
  ApplySavedLayout();
  // The parameter's directory part replaces the loaded start directory, even
  // when it is empty (a bare file name); an empty parameter changes nothing.
  const std::string parameter = NextProgramParameter();
  if (!parameter.empty()) ControlSetText(kStartDirectoryCombo, PathPart(parameter));
  WindowSetHidden(kMainWindow, false);
  SetFocus(ControlHandle(kStartDirectoryCombo));
  // A close request during a search only sets the flag; it is seen here once
  // the search has returned.
  do {
    EventWait();
  } while (QuitRequested != 1);
  // A close request does not destroy the window, so the texts the user left
  // in it are still there to save.
  RememberLayout();
  SaveSettings();
}

}  // namespace vudo
