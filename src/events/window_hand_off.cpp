#include "events/window_hand_off.h"

#include "events/saved_procedures.h"

namespace vudo {

LRESULT PassToOwnProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT otherwise) {
  const WNDPROC saved = SavedProcedure(window);
  return saved ? CallWindowProcA(saved, window, message, wparam, lparam) : otherwise;
}

LRESULT PassOn(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (const WNDPROC saved = SavedProcedure(window)) return CallWindowProcA(saved, window, message, wparam, lparam);
  return DefWindowProcA(window, message, wparam, lparam);
}

std::string ClassName(HWND window) {
  char name[100] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool OfThisProcess(HWND window) {
  DWORD process = 0;
  return window && GetWindowThreadProcessId(window, &process) && process == GetCurrentProcessId();
}

}  // namespace vudo
