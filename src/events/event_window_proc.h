// EventWindowProc: the window procedure of every window the event layer took
// over (window_takeover.h). It turns window messages and control
// notifications into events for the bound procedures. Internal to src/events.
#pragma once

#include <windows.h>

namespace vudo {

LRESULT CALLBACK EventWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace vudo
