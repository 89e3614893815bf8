// The window procedures that EventWindowProc replaced, by window. The
// property "EVENT_oldproc" on each window is the record; the lookups on every
// message go to the copy in the process's memory (platform/window_procedures.h).
#pragma once

#include <windows.h>

namespace vudo {

// The saved procedure of `window`, or none; from the property the first time.
WNDPROC SavedProcedure(HWND window);
void ForgetSavedProcedure(HWND window);

}  // namespace vudo
