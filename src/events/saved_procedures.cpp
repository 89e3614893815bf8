#include "events/saved_procedures.h"

#include "events/event_binding.h"
#include "events/event_names.h"
#include "platform/window_procedures.h"

namespace vudo {

WNDPROC SavedProcedure(HWND window) {
  if (const WNDPROC kept = platform::ReplacedProcedure(window, EventWindowProc)) return kept;
  const auto procedure = reinterpret_cast<WNDPROC>(GetPropA(window, kOldProcProperty));
  if (procedure) platform::KeepReplacedProcedure(window, EventWindowProc, procedure);
  return procedure;
}

void ForgetSavedProcedure(HWND window) { platform::ForgetReplacedProcedure(window, EventWindowProc); }

}  // namespace vudo
