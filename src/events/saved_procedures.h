// The window procedures that EventWindowProc replaced, by window. The
// property "EVENT_oldproc" on each window is the record; this copy in the
// process's memory serves the lookups on every message, since reading a
// window property is a round trip to the window server under Wine (about 50
// microseconds, against a fraction of one for the map).
#pragma once

#include <windows.h>

namespace vudo {

// The saved procedure of `window`, or none; from the property the first time.
WNDPROC SavedProcedure(HWND window);
void RememberSavedProcedure(HWND window, WNDPROC procedure);
void ForgetSavedProcedure(HWND window);

}  // namespace vudo
