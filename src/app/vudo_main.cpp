// The entry point of Vudo.exe: brings the layers up, runs Main and tears them
// down. The exit code is 0 in every case.
#include <windows.h>

#include "app/program.h"
#include "common/bytes.h"
#include "events/thread_registry.h"
#include "platform/process.h"
#include "settings/key_value_file.h"
#include "ui/controls/control_layer.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // UTF-8 text where the system honours the manifest's request, before any
  // text is read or compared.
  vudo::SetTextRule(vudo::platform::SystemTextRule());
  // Common controls, the program icon, the cursor and the font before any
  // window; the thread registry's lock before any binding starts a thread.
  vudo::StartControlLayer();
  vudo::StartThreadRegistry();

  // Memory that runs out outside every window procedure (while the window is
  // built, say) ends the program as a close would.
  try {
    vudo::Main();
  } catch (...) {
  }

  // Thread handles first (the tracking thread itself ends with the process),
  // then a settings file still open (written if modified), then the windows.
  vudo::CloseAllThreads();
  vudo::CloseKeyValueFile();
  vudo::CloseControlLayer();
  return 0;
}
