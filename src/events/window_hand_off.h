// What every part of the event layer asks of a window: handing a message on to
// the window's own procedure (the one EventWindowProc replaced), the window's
// class, and whether it belongs to this process.
#pragma once

#include <windows.h>

#include <string>

namespace vudo {

// Runs the window's own procedure on the message; `otherwise` when the layer
// holds none for the window.
LRESULT PassToOwnProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT otherwise);
// The same, with the default window procedure where the window has none of
// its own: how a message that no bound procedure handled goes on.
LRESULT PassOn(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

std::string ClassName(HWND window);
// Windows of other processes carry properties of their own; the layer never
// takes those for bindings.
bool OfThisProcess(HWND window);

}  // namespace vudo
