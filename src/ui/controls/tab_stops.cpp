#include "ui/controls/tab_stops.h"

#include <algorithm>

namespace vudo::layer {
namespace {

BOOL CALLBACK CollectTabStop(HWND child, LPARAM list) {
  if (IsWindowVisible(child) && IsWindowEnabled(child) && (GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP))
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

// Moves the focus as the platform's dialogs do: a text field reached with the
// keyboard has all its text selected, so typing replaces it.
void FocusStop(HWND stop) {
  SetFocus(stop);
  if (SendMessageA(stop, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(stop, EM_SETSEL, 0, -1);
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
    FocusStop(at + 1 == stops.end() ? stops.front() : *(at + 1));
  } else if (!focus || !IsChild(window, focus)) {
    FocusStop(stops.front());
  }
}

void FocusPreviousTabStop(HWND window) {
  const std::vector<HWND> stops = TabStops(window);
  if (stops.empty()) return;
  const auto at = std::find(stops.begin(), stops.end(), GetFocus());
  FocusStop(at == stops.end() || at == stops.begin() ? stops.back() : *(at - 1));
}

}  // namespace vudo::layer
