// Windows only: taking a window over by replacing its window procedure, and
// reaching the procedure that was replaced.
//
// The procedure is replaced with SetWindowLongPtrA(GWLP_WNDPROC), not with
// SetWindowSubclass, which would turn the window Unicode: the program's
// windows stay ANSI. The replaced procedure is kept here, in the process's
// memory, rather than read from a window property, since every message the
// window gets needs it and reading a property is a round trip to the window
// server under Wine (about 50 microseconds, against a fraction of one here).
//
// One window can be taken over more than once, one procedure in front of the
// other (the control layer takes every control over, and the event layer then
// takes over those that carry a binding), so a replaced procedure is kept by
// window and by the procedure that replaced it. User-interface thread only,
// as every window taken over belongs to it.
#pragma once

#include <windows.h>

namespace vudo::platform {

// Puts `procedure` in the place of `window`'s window procedure and keeps the
// procedure it replaced, which it returns; none, with nothing changed, when
// the window has no procedure to replace or refuses the new one.
WNDPROC ReplaceWindowProcedure(HWND window, WNDPROC procedure);

// The procedure that `procedure` replaced on `window`; none when it replaced
// none there, or it was forgotten.
WNDPROC ReplacedProcedure(HWND window, WNDPROC procedure);

// Keeps `replaced` as the procedure that `procedure` replaced on `window`, for
// a takeover found recorded elsewhere.
void KeepReplacedProcedure(HWND window, WNDPROC procedure, WNDPROC replaced);

// Forgets what `procedure` replaced on `window`: at WM_NCDESTROY, since the
// handle may name another window later.
void ForgetReplacedProcedure(HWND window, WNDPROC procedure);

// Puts the procedure that `procedure` replaced back in its place on `window`
// and forgets it; for a takeover that has to be undone.
void RestoreWindowProcedure(HWND window, WNDPROC procedure);

// Runs the work of a window procedure so that no C++ exception reaches the
// system code that called the procedure, which cannot be unwound: one that
// escapes `work` (memory that ran out while a message was handled) sends the
// message to `fallback` instead, as if the program had not handled it.
template <class Work, class Fallback>
LRESULT WithoutExceptions(Work work, Fallback fallback) noexcept {
  try {
    return work();
  } catch (...) {
  }
  try {
    return fallback();
  } catch (...) {
    return 0;
  }
}

}  // namespace vudo::platform
