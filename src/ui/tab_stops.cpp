#include "ui/tab_stops.h"

#include <algorithm>

namespace vudo::layer {
namespace {

BOOL CALLBACK CollectTabStop(HWND child, LPARAM list) {
  if (IsWindowVisible(child) && IsWindowEnabled(child) && (GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP))
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

}  // namespace

std::vector<HWND> TabStops(HWND window) {
  std::vector<HWND> stops;
  EnumChildWindows(window, CollectTabStop, reinterpret_cast<LPARAM>(&stops));
  return stops;
}

void FocusNextTabStop(HWND window) {
  const std::vector<HWND> stops = TabStops(window);
  if (stops.empty()) return;
  const HWND focus = GetFocus();
  const auto at = std::find(stops.begin(), stops.end(), focus);
  if (at != stops.end()) {
    SetFocus(at + 1 == stops.end() ? stops.front() : *(at + 1));
  } else if (!focus || !IsChild(window, focus)) {
    SetFocus(stops.front());
  }
}

void FocusPreviousTabStop(HWND window) {
  const std::vector<HWND> stops = TabStops(window);
  if (stops.empty()) return;
  const auto at = std::find(stops.begin(), stops.end(), GetFocus());
  SetFocus(at == stops.end() || at == stops.begin() ? stops.back() : *(at - 1));
}

}  // namespace vudo::layer
