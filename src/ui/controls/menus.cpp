// Popup menus by number.
#include <string>

#include "ui/controls/layer_internal.h"
#include "ui/controls/control_layer.h"

namespace vudo {

using layer::current_menu;

HMENU PopupMenuCreate(int menu) {
  if (menu < 0) return nullptr;
  const HMENU handle = CreatePopupMenu();
  if (!handle) return nullptr;
  auto old = layer::menus.find(menu);
  if (old != layer::menus.end()) {
    if (old->second.handle == current_menu) current_menu = nullptr;
    DestroyMenu(old->second.handle);
  }
  layer::menus[menu].handle = handle;
  current_menu = handle;
  return handle;
}

void MenuAppend(int item, std::string_view text) {
  if (!current_menu) return;
  const std::string label(text.substr(0, text.find('\0')));
  AppendMenuA(current_menu, MF_STRING, static_cast<UINT_PTR>(item), label.c_str());
}

int PopupMenuShow(int menu, HWND owner) {
  auto it = layer::menus.find(menu);
  if (it == layer::menus.end() || !it->second.handle) return 0;
  POINT cursor{};
  GetCursorPos(&cursor);
  // Without the foreground the menu would not close on a click elsewhere.
  SetForegroundWindow(owner);
  const BOOL shown = TrackPopupMenu(it->second.handle, TPM_RIGHTBUTTON, cursor.x - 1, cursor.y - 1, 0, owner, nullptr);
  // A message after the menu lets the owner's thread finish the menu's
  // foreground switch properly, as the platform's documentation advises.
  PostMessageA(owner, WM_NULL, 0, 0);
  return shown ? 1 : 0;
}

}  // namespace vudo
