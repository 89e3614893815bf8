#include "events/saved_procedures.h"

#include <unordered_map>

#include "events/event_names.h"

namespace vudo {
namespace {

// User-interface thread only, as every window the layer takes over.
std::unordered_map<HWND, WNDPROC>& Saved() {
  static std::unordered_map<HWND, WNDPROC> saved;
  return saved;
}

}  // namespace

WNDPROC SavedProcedure(HWND window) {
  auto& saved = Saved();
  const auto found = saved.find(window);
  if (found != saved.end()) return found->second;
  const auto procedure = reinterpret_cast<WNDPROC>(GetPropA(window, kOldProcProperty));
  if (procedure) saved.emplace(window, procedure);
  return procedure;
}

void RememberSavedProcedure(HWND window, WNDPROC procedure) { Saved()[window] = procedure; }

void ForgetSavedProcedure(HWND window) { Saved().erase(window); }

}  // namespace vudo
