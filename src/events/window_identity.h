// What the event layer asks of a window it may not have made itself: its
// class, and whether it belongs to this process. Internal to src/events.
#pragma once

#include <windows.h>

#include <string>

namespace vudo {

std::string ClassName(HWND window);
// Windows of other processes carry properties of their own; the layer never
// takes those for bindings.
bool OfThisProcess(HWND window);

}  // namespace vudo
