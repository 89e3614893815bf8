// The layer's state: the records of its windows, controls and menus, the
// resources it loads once and the session-end handler; and the start-up and
// shutdown that make and clear them.
#include "ui/controls/layer_internal.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "ui/controls/control_layer.h"

namespace vudo {
namespace layer {

std::map<int, WindowRecord> windows;
std::map<int, ControlRecord> controls;
std::map<int, MenuRecord> menus;
HMENU current_menu = nullptr;

namespace {

bool started = false;
HICON icon = nullptr;
HCURSOR arrow = nullptr;
HFONT font = nullptr;

}  // namespace

ControlRecord* FindControl(int number) {
  auto it = controls.find(number);
  return it == controls.end() || !it->second.handle ? nullptr : &it->second;
}

ControlRecord* FindList(int number) {
  ControlRecord* record = FindControl(number);
  return record && record->kind == ControlKind::kList ? record : nullptr;
}

ControlRecord* FindList(HWND handle) {
  ControlRecord* record = FindControlOf(handle);
  return record && record->kind == ControlKind::kList ? record : nullptr;
}

namespace {
SessionEndHandler session_end_handler = nullptr;
}  // namespace

SessionEndHandler SessionEndHandlerSet() { return session_end_handler; }

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }
HICON ProgramIcon() { return icon; }
HCURSOR ArrowCursor() { return arrow; }
HFONT ControlFont() { return font; }
void SetControlFont(HFONT new_font) { font = new_font; }

}  // namespace layer

void OnSessionEnd(SessionEndHandler handler) { layer::session_end_handler = handler; }

void StartControlLayer() {
  if (layer::started) return;
  layer::started = true;
  INITCOMMONCONTROLSEX classes{sizeof(classes),
                               ICC_TAB_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_INTERNET_CLASSES};
  InitCommonControlsEx(&classes);
  // The older call registers the remaining classes, the list view among them.
  InitCommonControls();
  layer::icon = LoadIconA(layer::Instance(), MAKEINTRESOURCEA(1));
  layer::arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  layer::font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void CloseControlLayer() {
  for (auto& [number, record] : layer::menus)
    if (record.handle) DestroyMenu(record.handle);
  layer::menus.clear();
  layer::current_menu = nullptr;
  // Destroying a window takes its controls with it; their records go as each
  // control handles WM_NCDESTROY.
  while (!layer::windows.empty()) layer::DropWindow(layer::windows.begin()->first);
  std::vector<HWND> left;
  for (const auto& [number, record] : layer::controls) left.push_back(record.handle);
  for (HWND control : left)
    if (control && IsWindow(control)) DestroyWindow(control);
  layer::controls.clear();
  // A font made for another DPI than the system's goes with the controls.
  const HFONT stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (layer::font && layer::font != stock) DeleteObject(layer::font);
  layer::font = stock;
}

}  // namespace vudo
