#include "events/window_identity.h"

namespace vudo {

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
