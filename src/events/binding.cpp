// Binding procedures to events: the binding store (window properties) and the
// taking over of windows.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "common/bytes.h"
#include "events/event_binding.h"
#include "events/event_names.h"
#include "events/pointer_tracking.h"
#include "events/saved_procedures.h"
#include "events/thread_registry.h"
#include "events/window_hand_off.h"

namespace vudo {

HANDLE trackingThread = nullptr;
UINT enterMessage = 0;
UINT leaveMessage = 0;

namespace {

bool LowerNameHas(const std::string& class_name, std::string_view part) {
  return LowerCase(class_name).find(part) != std::string::npos;
}

// Adds `flags` to a rich edit control's event mask, so that it notifies them.
void AddRichEditEvents(HWND window, LPARAM flags) {
  const LRESULT mask = SendMessageA(window, 0x043B /* EM_GETEVENTMASK */, 0, 0);
  SendMessageA(window, 0x0445 /* EM_SETEVENTMASK */, 0, mask | flags);
}

void StartTracking(HWND target) {
  if (trackingThread) return;
  DWORD process = 0;
  GetWindowThreadProcessId(target, &process);
  // Both identifiers exist before the thread can post anything.
  enterMessage = RegisterWindowMessageA("EVENT_ENTERCONTROL");
  leaveMessage = RegisterWindowMessageA("EVENT_LEAVECONTROL");
  trackingThread = StartThread(PointerTrackingThread, reinterpret_cast<void*>(static_cast<UINT_PTR>(process)));
}

}  // namespace

std::int32_t BindEvent(HWND target, std::int32_t code, EventProcedure procedure) {
  return BindEventEx(target, code, procedure, -1);
}

std::int32_t BindEventEx(HWND target, std::int32_t code, EventProcedure procedure, std::int32_t item) {
  if (!IsWindow(target)) return 0;
  const std::string class_name = ClassName(target);
  std::int32_t stored = 0;
  if (code >= 0 && code <= 22) {
    stored = StoreBinding(target, code, procedure, -1);
  } else if (code == EVT_CLICK) {
    if (class_name == "Button") stored = StoreBinding(target, code, procedure, -1);
  } else if (code == EVT_CHANGE) {
    if (LowerNameHas(class_name, "richedit")) AddRichEditEvents(target, 0x0001 /* ENM_CHANGE */);
    stored = StoreBinding(target, code, procedure, -1);
  } else if (code == EVT_LINKCLICK) {
    if (LowerNameHas(class_name, "richedit")) {
      AddRichEditEvents(target, 0x04000000 /* ENM_LINK */);
      stored = StoreBinding(target, code, procedure, -1);
    }
  } else if (code == EVT_DROPFILES) {
    stored = StoreBinding(target, code, procedure, -1);
    DragAcceptFiles(target, TRUE);
  } else if (code >= EVT_CONTEXTMENU && code <= EVT_KEYUP) {
    // Keys typed into an editable combo box arrive at its edit field.
    if (class_name == "ComboBox")
      if (const HWND edit = FindWindowExA(target, nullptr, "EDIT", nullptr)) target = edit;
    stored = StoreBinding(target, code, procedure, -1);
  } else if (code == EVT_MENU) {
    if (item == -1) return 0;
    stored = StoreBinding(target, code, procedure, item);
  } else if (code == EVT_EXPANDING) {
    if (LowerNameHas(class_name, "tree")) stored = StoreBinding(target, code, procedure, -1);
  } else if (code == EVT_LABELEDIT) {
    if (LowerNameHas(class_name, "tree")) {
      SetWindowLongA(target, GWL_STYLE, GetWindowLongA(target, GWL_STYLE) | 0x0008 /* TVS_EDITLABELS */);
      stored = StoreBinding(target, code, procedure, -1);
    }
  } else {
    return 0;  // 23, 28 and codes outside 0 to 35
  }
  StartTracking(target);
  return stored && trackingThread ? 1 : 0;
}

std::int32_t StoreBinding(HWND target, std::int32_t code, EventProcedure procedure, std::int32_t item) {
  const BindingName name(code, item);
  if (!SetPropA(target, name.c_str(), reinterpret_cast<HANDLE>(procedure))) return 0;
  if (!SubclassForEvents(target)) return 0;
  if (const HWND parent = GetParent(target))
    if (!SubclassForEvents(parent)) return 0;
  return 1;
}

std::int32_t SubclassForEvents(HWND window) {
  if (!window) return 0;
  // A static control without SS_NOTIFY lets the pointer through: no mouse
  // messages, and never the window under the pointer.
  if (ClassName(window) == "Static")
    SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | SS_NOTIFY);
  if (GetPropA(window, kOldProcProperty)) return 1;
  const LONG_PTR old = GetWindowLongPtrA(window, GWLP_WNDPROC);
  if (!old || !SetPropA(window, kOldProcProperty, reinterpret_cast<HANDLE>(old))) return 0;
  RememberSavedProcedure(window, reinterpret_cast<WNDPROC>(old));
  SetLastError(0);
  if (!SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EventWindowProc)) && GetLastError()) {
    RemovePropA(window, kOldProcProperty);
    ForgetSavedProcedure(window);
    return 0;
  }
  return 1;
}

}  // namespace vudo
