#include "platform/window_procedures.h"

#include <cstdint>
#include <functional>
#include <unordered_map>

namespace vudo::platform {
namespace {

struct Takeover {
  HWND window;
  WNDPROC procedure;  // the one that replaced the window's
  bool operator==(const Takeover&) const = default;
};

struct TakeoverHash {
  std::size_t operator()(const Takeover& key) const {
    const std::hash<std::uintptr_t> hash;
    return hash(reinterpret_cast<std::uintptr_t>(key.window)) * 31 +
           hash(reinterpret_cast<std::uintptr_t>(key.procedure));
  }
};

std::unordered_map<Takeover, WNDPROC, TakeoverHash>& Replaced() {
  static std::unordered_map<Takeover, WNDPROC, TakeoverHash> replaced;
  return replaced;
}

}  // namespace

WNDPROC ReplaceWindowProcedure(HWND window, WNDPROC procedure) {
  const auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
  if (!old) return nullptr;
  // A refusal answers 0 with an error set; success answers the old procedure.
  SetLastError(0);
  if (!SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)) && GetLastError())
    return nullptr;
  Replaced()[Takeover{window, procedure}] = old;
  return old;
}

WNDPROC ReplacedProcedure(HWND window, WNDPROC procedure) {
  const auto& replaced = Replaced();
  const auto found = replaced.find(Takeover{window, procedure});
  return found == replaced.end() ? nullptr : found->second;
}

void KeepReplacedProcedure(HWND window, WNDPROC procedure, WNDPROC replaced) {
  Replaced()[Takeover{window, procedure}] = replaced;
}

void ForgetReplacedProcedure(HWND window, WNDPROC procedure) { Replaced().erase(Takeover{window, procedure}); }

void RestoreWindowProcedure(HWND window, WNDPROC procedure) {
  if (const WNDPROC replaced = ReplacedProcedure(window, procedure))
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(replaced));
  ForgetReplacedProcedure(window, procedure);
}

}  // namespace vudo::platform
