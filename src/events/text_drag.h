// Text drag between controls: a procedure bound to EVT_DRAGSTART that leaves a
// text in the record starts a drag of that text; it ends at the button release
// with EVT_DROP on the window under the pointer. These are steps of
// EventWindowProc for the left button and mouse moves.
#pragma once

#include <windows.h>

#include "events/event_record.h"

namespace vudo {

bool TextDragActive();
// After a left button press on `pressed` whose drag-start procedure left `text`.
void StartTextDrag(HWND pressed, const char* text);
// A mouse move while a drag is active, arriving at `window` (the capturing one).
LRESULT MoveTextDrag(HWND window, EventRecord& record);
// The button release (`released`), or a move that found the button up.
LRESULT EndTextDrag(HWND window, EventRecord& record, bool released);

}  // namespace vudo
