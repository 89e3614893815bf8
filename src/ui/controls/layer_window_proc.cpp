// The window procedure of every window opened by WindowOpen.
#include <windows.h>
#include <commctrl.h>

#include "platform/window_procedures.h"
#include "ui/controls/layer_internal.h"
#include "ui/controls/sizing.h"
#include "ui/controls/tab_stops.h"
#include "ui/controls/virtual_list.h"
#include "ui/controls/control_layer.h"

namespace vudo::layer {
namespace {

void Queue(int kind, HWND window) {
  if (const auto* entry = FindByHandle(windows, window)) QueueLayerEvent(kind, entry->first);
}

LRESULT HandleLayerMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (SizingMessage(window, message)) return 0;
  switch (message) {
    case WM_CLOSE:
      // Never destroyed by a close request: the program decides what a close
      // means, through the close event.
      Queue(kEventClose, window);
      return 0;
    case WM_MOVE:
      Queue(kEventMove, window);
      break;
    case WM_SIZE:
      if (wparam != SIZE_MINIMIZED) Queue(kEventSize, window);
      break;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) Queue(kEventActivate, window);
      break;
    case WM_ERASEBKGND:
      Queue(kEventRepaint, window);
      break;
    case WM_COMMAND:
      if (lparam == 0 && LOWORD(wparam) == kCommandNextTabStop) {
        FocusNextTabStop(window);
        return 0;
      }
      if (lparam == 0 && LOWORD(wparam) == kCommandPreviousTabStop) {
        FocusPreviousTabStop(window);
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_SIZE && StartSizing(window, wparam)) return 0;
      break;
    case WM_DPICHANGED:
      FollowDpiChange(window, wparam, lparam);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // the window never holds the session up
    case WM_ENDSESSION:
      if (wparam && SessionEndHandlerSet()) SessionEndHandlerSet()();
      return 0;
    case WM_NOTIFY:
      if (lparam && AnswerListTextRequest(reinterpret_cast<const NMHDR*>(lparam))) return 0;
      if (lparam) {
        LRESULT answer = 0;
        if (AnswerListFind(reinterpret_cast<const NMHDR*>(lparam), answer)) return answer;
        if (AnswerEmptyMarkup(reinterpret_cast<const NMHDR*>(lparam))) return TRUE;
      }
      if (lparam && PassColumnClick(reinterpret_cast<const NMHDR*>(lparam))) return 0;
      if (lparam && PassRowDrag(reinterpret_cast<const NMHDR*>(lparam))) return 0;
      break;
    case WM_NCDESTROY:
      // Icons set for a scale (display_scale.cpp) belong to the window.
      for (WPARAM which : {ICON_SMALL, ICON_BIG})
        if (const LRESULT icon = SendMessageA(window, WM_SETICON, which, 0)) DestroyIcon(reinterpret_cast<HICON>(icon));
      if (WindowRecord* record = FindWindowRecord(window)) {
        record->handle = nullptr;  // the number now names nothing
        if (record->accelerators) DestroyAcceleratorTable(record->accelerators);
        record->accelerators = nullptr;
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

LRESULT CALLBACK LayerWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // The default handling of a close request would destroy the window, which
  // only the program may decide: that one is never passed on.
  return platform::WithoutExceptions(
      [&] { return HandleLayerMessage(window, message, wparam, lparam); },
      [&] { return message == WM_CLOSE ? 0 : DefWindowProcA(window, message, wparam, lparam); });
}

}  // namespace vudo::layer
