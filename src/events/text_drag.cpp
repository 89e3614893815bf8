#include "events/text_drag.h"

namespace vudo {

bool TextDragActive() { return false; }
void StartTextDrag(HWND, const char*) {}
LRESULT MoveTextDrag(HWND, EventRecord&) { return 0; }
LRESULT EndTextDrag(HWND, EventRecord&, bool) { return 0; }

}  // namespace vudo
