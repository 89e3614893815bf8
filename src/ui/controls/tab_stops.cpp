#include "ui/controls/tab_stops.h"

#include <algorithm>

namespace vudo::layer {
namespace {

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

bool IsTabStop(HWND child) {
  return IsWindowVisible(child) && IsWindowEnabled(child) && (GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP);
}

// True when the label's text marks `key` as its underlined letter ("&S").
bool LabelMarks(HWND label, unsigned char key) {
  char text[256] = {};
  GetWindowTextA(label, text, sizeof text);
  for (const char* at = text; *at; ++at) {
    if (*at != '&') continue;
    if (at[1] == '&') {  // "&&" is a plain ampersand
      ++at;
      continue;
    }
    const auto marked = static_cast<unsigned char>(at[1]);
    return marked && CharLowerA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(marked))) ==
                         CharLowerA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(key)));
  }
  return false;
}

BOOL CALLBACK CollectTabStop(HWND child, LPARAM list) {
  if (IsTabStop(child)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
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

bool FocusMnemonic(HWND window, WPARAM key) {
  if (key > 0xFF || !window) return false;
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  for (auto at = children.begin(); at != children.end(); ++at) {
    char window_class[16] = {};
    GetClassNameA(*at, window_class, sizeof window_class);
    if (lstrcmpiA(window_class, "Static") != 0 || !LabelMarks(*at, static_cast<unsigned char>(key))) continue;
    const auto field = std::find_if(at + 1, children.end(), IsTabStop);
    if (field == children.end()) return false;
    FocusStop(*field);
    return true;
  }
  return false;
}

}  // namespace vudo::layer
