// Text drag between controls: a procedure bound to EVT_DRAGSTART that leaves a
// text in the record starts a drag of that text. While the left button is
// held, the text is drawn inverted under the pointer inside the window that
// captured the mouse (the slashed-circle cursor shows outside it), and
// EVT_DRAGOVER goes to the window under the pointer; at the release EVT_DROP
// goes there. Only windows of this process hear of a drag. These are steps of
// EventWindowProc for the left button and mouse moves; with no drag active,
// mouse messages pass exactly as they would without them. Internal to
// src/events.
#pragma once

#include <windows.h>

#include "events/event_record.h"

namespace vudo {

bool TextDragActive();
// After a left button press on `pressed` whose drag-start procedure left `text`.
void StartTextDrag(HWND pressed, const char* text);
// A mouse move while a drag is active, arriving at `window`.
LRESULT MoveTextDrag(HWND window, EventRecord& record);
// The button release at `window` (`released`), or a move that found the
// button up.
LRESULT EndTextDrag(HWND window, EventRecord& record, bool released);
// `window` is being destroyed: a drag that needs it ends now, without
// drawing, and gives back everything it holds.
void ForgetTextDragWindow(HWND window);

namespace testing {
// Makes the next drag start fail at one of its steps, as when the platform
// refuses a device context, a memory context or the bitmap.
enum class DragStartFailure { kNone, kWindowContext, kMemoryContext, kBitmap };
void FailNextDragStart(DragStartFailure step);
// The memory context and bitmap of the drag in progress or last made (for
// checking that they were given back).
HDC LastDragMemoryContext();
HBITMAP LastDragBitmap();
}  // namespace testing

}  // namespace vudo
