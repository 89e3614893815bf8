#include "events/pointer_tracking.h"

#include "events/pointer_tracking.h"

#include "events/thread_registry.h"

namespace vudo {

HANDLE trackingThread = nullptr;
UINT enterMessage = 0;
UINT leaveMessage = 0;

void StartPointerTracking(HWND target) {
  if (trackingThread) return;
  DWORD process = 0;
  GetWindowThreadProcessId(target, &process);
  // Both identifiers exist before the thread can post anything.
  enterMessage = RegisterWindowMessageA("EVENT_ENTERCONTROL");
  leaveMessage = RegisterWindowMessageA("EVENT_LEAVECONTROL");
  trackingThread = StartThread(PointerTrackingThread, reinterpret_cast<void*>(static_cast<UINT_PTR>(process)));
}

DWORD WINAPI PointerTrackingThread(void* process_id) {
  const DWORD process = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(process_id));
  HWND pointer_window = nullptr;  // the window last reported as entered
  for (;;) {
    POINT at{};
    GetCursorPos(&at);
    const HWND under = WindowFromPoint(at);
    if (under != pointer_window) {
      if (pointer_window) PostMessageA(pointer_window, leaveMessage, static_cast<WPARAM>(-1), -1);
      DWORD owner = 0;
      if (under) GetWindowThreadProcessId(under, &owner);
      if (under && owner == process) {
        MapWindowPoints(nullptr, under, &at, 1);
        pointer_window = under;
        PostMessageA(under, enterMessage, static_cast<WPARAM>(at.x), at.y);
      } else {
        pointer_window = nullptr;
      }
    }
    Sleep(1);
  }
}

}  // namespace vudo
