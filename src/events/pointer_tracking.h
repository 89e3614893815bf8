// The pointer tracking thread: about once a millisecond it finds the window
// under the pointer and, when that window changed, posts "EVENT_LEAVECONTROL"
// (-1, -1) to the previous one and "EVENT_ENTERCONTROL" (client x, y) to the
// new one, but only to windows of the process it watches. It only posts, so it
// never waits for the user-interface thread, and it never ends.
// Internal to src/events.
#pragma once

#include <windows.h>

namespace vudo {

// State shared by the binding calls, which start the thread, the thread itself
// and the translation of its messages. Written before the thread exists.
extern HANDLE trackingThread;  // none until the first binding call starts it
extern UINT enterMessage;      // "EVENT_ENTERCONTROL"
extern UINT leaveMessage;      // "EVENT_LEAVECONTROL"

// Starts the thread for the process that owns `target`, unless it runs
// already; every binding call asks for it.
void StartPointerTracking(HWND target);

// The thread procedure; the parameter is the process identifier.
DWORD WINAPI PointerTrackingThread(void* process_id);

}  // namespace vudo
