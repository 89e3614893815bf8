#include "events/window_takeover.h"

#include <string_view>

#include "events/event_properties.h"
#include "events/event_window_proc.h"
#include "events/window_identity.h"
#include "platform/window_procedures.h"

namespace vudo {
namespace {

// The procedure EventWindowProc replaced on `window`, or none; from the
// property when the process's memory has not got it, and kept from then on.
WNDPROC OwnProcedure(HWND window) {
  if (const WNDPROC kept = platform::ReplacedProcedure(window, EventWindowProc)) return kept;
  const auto recorded = reinterpret_cast<WNDPROC>(GetPropA(window, kOldProcProperty));
  if (recorded) platform::KeepReplacedProcedure(window, EventWindowProc, recorded);
  return recorded;
}

BOOL CALLBACK RemoveEventProps(HWND window, LPSTR name, HANDLE value, ULONG_PTR) {
  if (!HIWORD(reinterpret_cast<UINT_PTR>(name))) return TRUE;  // an atom, not a name
  if (std::string_view(name).substr(0, 6) != "EVENT_") return TRUE;
  if (std::string_view(name) == kOldProcProperty)
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(value));
  // Only the property being handled may be removed during the enumeration.
  RemovePropA(window, name);
  return TRUE;
}

}  // namespace

std::int32_t SubclassForEvents(HWND window) {
  if (!window) return 0;
  // A static control without SS_NOTIFY lets the pointer through: no mouse
  // messages, and never the window under the pointer.
  if (ClassName(window) == "Static")
    SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | SS_NOTIFY);
  if (GetPropA(window, kOldProcProperty)) return 1;
  const WNDPROC own = platform::ReplaceWindowProcedure(window, EventWindowProc);
  if (!own) return 0;
  if (!SetPropA(window, kOldProcProperty, reinterpret_cast<HANDLE>(own))) {
    platform::RestoreWindowProcedure(window, EventWindowProc);
    return 0;
  }
  return 1;
}

LRESULT PassToOwnProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT otherwise) {
  const WNDPROC own = OwnProcedure(window);
  return own ? CallWindowProcA(own, window, message, wparam, lparam) : otherwise;
}

LRESULT PassOn(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (const WNDPROC own = OwnProcedure(window)) return CallWindowProcA(own, window, message, wparam, lparam);
  return DefWindowProcA(window, message, wparam, lparam);
}

WNDPROC GiveWindowBack(HWND window) {
  const WNDPROC own = OwnProcedure(window);
  platform::ForgetReplacedProcedure(window, EventWindowProc);  // the handle may name another window later
  EnumPropsExA(window, RemoveEventProps, 0);
  return own;
}

}  // namespace vudo
