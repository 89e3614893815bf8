// Interactive sizing carried out by the layer itself, when the platform shows
// window contents while dragging (SPI_GETDRAGFULLWINDOWS). The platform's own
// sizing runs a modal loop of its own; this one keeps every message of the drag
// flowing through EventWait and EventPoll, so a running search goes on.
#pragma once

#include <windows.h>

namespace vudo::layer {

// Starts sizing `window` for the system command SC_SIZE (its low four bits
// name the edge; 0 means started from the keyboard). False when the setting
// is off and the platform's sizing should run instead.
bool StartSizing(HWND window, WPARAM command);

bool SizingActive();

// Mouse and capture messages of the window being sized. True when the
// message was the sizing's, with nothing left for the default handling.
bool SizingMessage(HWND window, UINT message);

// A key pressed while sizing: arrows move the cursor and the edge by 10
// pixels, Return and Escape end the sizing.
void SizingKey(WPARAM key);

}  // namespace vudo::layer
