// Taking windows over for the event layer, and giving them back. A window
// taken over has EventWindowProc as its window procedure; the one it had is
// recorded in its property "EVENT_oldproc", from which the clean-up puts it
// back, and kept in the process's memory as well for the lookups on every
// message (platform/window_procedures.h).
// Internal to src/events.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vudo {

// Takes one window over (once), and gives a static control SS_NOTIFY so that
// it receives mouse messages and is found under the pointer. Nonzero on
// success.
std::int32_t SubclassForEvents(HWND window);

// Runs the window's own procedure on the message; `otherwise` when the layer
// holds none for the window.
LRESULT PassToOwnProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT otherwise);
// The same, with the default window procedure where the window has none of
// its own: how a message that no bound procedure handled goes on.
LRESULT PassOn(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// At WM_NCDESTROY: removes every "EVENT_" property of `window` (its bindings
// and the record of its own procedure) and puts its own procedure back.
// Returns that procedure, which WM_NCDESTROY still has to reach; none when
// the layer holds none for the window.
WNDPROC GiveWindowBack(HWND window);

}  // namespace vudo
