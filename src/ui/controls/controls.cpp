// Creating controls, and the operations every kind of control shares:
// geometry and window text.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "platform/window_procedures.h"
#include "ui/controls/label_tips.h"
#include "ui/controls/layer_internal.h"
#include "ui/controls/virtual_list.h"
#include "ui/controls/control_layer.h"

namespace vudo {
namespace {

thread_local HWND current_parent = nullptr;

// Taking every control over lets the layer notice its destruction, which
// frees its number. The control's own procedure is found by window rather
// than by number, so that it is still reached while the number is being
// reused.
LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam);

LRESULT HandleControlMessage(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
  const WNDPROC replaced = platform::ReplacedProcedure(control, ControlProc);
  if (message == WM_NCDESTROY) {
    platform::ForgetReplacedProcedure(control, ControlProc);
    if (const auto* entry = layer::FindByHandle(layer::controls, control)) layer::controls.erase(entry->first);
  }
  if ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSELEAVE || message == WM_KEYDOWN ||
      message == WM_VSCROLL || message == WM_HSCROLL)
    if (layer::ControlRecord* list = layer::FindList(control); list && list->label_tip)
      layer::FollowLabelTip(*list, message, lparam);
  const LRESULT result = replaced ? CallWindowProcA(replaced, control, message, wparam, lparam)
                                  : DefWindowProcA(control, message, wparam, lparam);
  // An empty list says why it is empty, over what it painted itself.
  if (message == WM_PAINT)
    if (const layer::ControlRecord* list = layer::FindList(control)) layer::PaintEmptyText(*list);
  return result;
}

LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
  return platform::WithoutExceptions([&] { return HandleControlMessage(control, message, wparam, lparam); }, [&] {
    const WNDPROC replaced = platform::ReplacedProcedure(control, ControlProc);
    return replaced ? CallWindowProcA(replaced, control, message, wparam, lparam)
                    : DefWindowProcA(control, message, wparam, lparam);
  });
}

void DropControl(int number) {
  auto it = layer::controls.find(number);
  if (it == layer::controls.end()) return;
  const HWND old = it->second.handle;
  layer::controls.erase(it);
  if (old && IsWindow(old)) DestroyWindow(old);
}

HWND CreateControl(int number, layer::ControlKind kind, const char* window_class, std::string_view text, DWORD style,
                   DWORD extended_style, int x, int y, int width, int height) {
  if (number < 0) return nullptr;
  StartControlLayer();
  DropControl(number);
  const std::string caption(text);
  const HWND handle = CreateWindowExA(extended_style, window_class, caption.c_str(), WS_CHILD | WS_VISIBLE | style, x,
                                      y, width, height, current_parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(number)), layer::Instance(), nullptr);
  if (!handle) return nullptr;
  SendMessageA(handle, WM_SETFONT, reinterpret_cast<WPARAM>(layer::ControlFont()), FALSE);
  layer::ControlRecord record;
  record.handle = handle;
  record.kind = kind;
  platform::ReplaceWindowProcedure(handle, ControlProc);
  layer::controls[number] = record;
  return handle;
}

// The control's window rectangle in its parent's client coordinates.
bool PlacedRect(HWND control, RECT& rect) {
  if (!GetWindowRect(control, &rect)) return false;
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return true;
}

bool IsDropDownList(HWND combo) { return (GetWindowLongA(combo, GWL_STYLE) & 3) == CBS_DROPDOWNLIST; }

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

}  // namespace

WNDPROC layer::ControlOwnProcedure(HWND control) { return platform::ReplacedProcedure(control, ControlProc); }

HWND ControlParentSet(HWND window) {
  current_parent = window;
  return window;
}

HWND LabelCreate(int number, int x, int y, int width, int height, std::string_view text, unsigned options) {
  DWORD style = WS_GROUP | SS_LEFT;
  if (options & kLabelEndEllipsis) style |= SS_ENDELLIPSIS;
  if (options & kLabelCentredVertically) style |= SS_CENTERIMAGE;
  return CreateControl(number, layer::ControlKind::kLabel, "Static", text, style, 0, x, y, width, height);
}

HWND ComboCreate(int number, int x, int y, int width, int height, unsigned options) {
  DWORD style = WS_BORDER | WS_VSCROLL | WS_GROUP | CBS_HASSTRINGS;
  style |= (options & kComboEditable) ? CBS_DROPDOWN : CBS_DROPDOWNLIST | WS_TABSTOP;
  if (options & kComboAutoScroll) style |= CBS_AUTOHSCROLL;
  const HWND combo =
      CreateControl(number, layer::ControlKind::kCombo, "ComboBox", {}, style, WS_EX_CLIENTEDGE, x, y, width, height);
  // Tab reaches an editable combo box through its edit field.
  if (combo && (options & kComboEditable))
    if (const HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr))
      SetWindowLongA(edit, GWL_STYLE, GetWindowLongA(edit, GWL_STYLE) | WS_TABSTOP);
  return combo;
}

HWND ButtonCreate(int number, int x, int y, int width, int height, std::string_view text) {
  return CreateControl(number, layer::ControlKind::kButton, "Button", text, WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0, x,
                       y, width, height);
}

HWND FieldCreate(int number, int x, int y, int width, int height, std::string_view text) {
  return CreateControl(number, layer::ControlKind::kField, "Edit", text,
                       WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, x, y, width, height);
}

HWND ListCreate(int number, int x, int y, int width, int height, std::string_view title, int column_width,
                unsigned options) {
  // A virtual list: the layer keeps the rows (virtual_list.h).
  DWORD style = WS_TABSTOP | LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_OWNERDATA;
  if (!(options & kListMultipleSelection)) style |= LVS_SINGLESEL;
  if (options & kListShowSelectionAlways) style |= LVS_SHOWSELALWAYS;
  const HWND list = CreateControl(number, layer::ControlKind::kList, WC_LISTVIEWA, {}, style, WS_EX_CLIENTEDGE, x, y,
                                  width, height);
  if (!list) return nullptr;
  DWORD extended = 0;
  if (options & kListGridLines) extended |= LVS_EX_GRIDLINES;
  if (options & kListFullRowSelect) extended |= LVS_EX_FULLROWSELECT;
  if (options & kListCheckBoxes) extended |= LVS_EX_CHECKBOXES;
  if (options & kListHeaderDragDrop) extended |= LVS_EX_HEADERDRAGDROP;
  if (extended) SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(extended));
  ListColumnAdd(number, 0, title, column_width);
  if (options & kListLabelTips)
    if (layer::ControlRecord* record = layer::FindControl(number)) layer::AttachLabelTips(*record);
  return list;
}

HWND ControlHandle(int number) {
  const layer::ControlRecord* record = layer::FindControl(number);
  return record ? record->handle : nullptr;
}

int ControlX(int number) {
  RECT rect{};
  const HWND control = ControlHandle(number);
  return control && PlacedRect(control, rect) ? rect.left : 0;
}

int ControlY(int number) {
  RECT rect{};
  const HWND control = ControlHandle(number);
  return control && PlacedRect(control, rect) ? rect.top : 0;
}

int ControlWidth(int number) {
  RECT rect{};
  const HWND control = ControlHandle(number);
  return control && GetWindowRect(control, &rect) ? rect.right - rect.left : 0;
}

void ControlPlace(int number, int x, int y, int width, int height) {
  const layer::ControlRecord* record = layer::FindControl(number);
  RECT now{};
  if (!record || !PlacedRect(record->handle, now)) return;
  if (x == KeepCurrent) x = now.left;
  if (y == KeepCurrent) y = now.top;
  if (width == KeepCurrent) width = now.right - now.left;
  if (height == KeepCurrent) height = now.bottom - now.top;
  MoveWindow(record->handle, x, y, width, height, TRUE);
  // A push button keeps stale pixels of its old face after a move otherwise.
  if (record->kind == layer::ControlKind::kButton)
    RedrawWindow(record->handle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_INTERNALPAINT);
}

std::string ControlText(int number) {
  const layer::ControlRecord* record = layer::FindControl(number);
  if (!record) return {};
  if (record->kind == layer::ControlKind::kList) {
    const int row = ControlSelected(number);
    return row < 0 ? std::string() : ControlItemText(number, row, 0);
  }
  return WindowText(record->handle);
}

void ControlSetText(int number, std::string_view text) {
  layer::ControlRecord* record = layer::FindControl(number);
  if (!record) return;
  text = text.substr(0, text.find('\0'));  // a text ends at its first NUL
  if (record->kind == layer::ControlKind::kList) {
    const int row = ControlSelected(number);
    if (row < 0 || static_cast<std::size_t>(row) >= record->rows.size()) return;
    record->rows.Replace(static_cast<std::size_t>(row), text);
    SendMessageA(record->handle, LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
    return;
  }
  if (record->kind == layer::ControlKind::kCombo && IsDropDownList(record->handle)) {
    // The platform's own search ignores letter case; the entry must match
    // exactly.
    int chosen = -1;
    if (!text.empty()) {
      const int count = ControlItemCount(number);
      for (int i = 0; i < count && chosen < 0; ++i)
        if (ControlItemText(number, i, 0) == text) chosen = i;
      if (chosen < 0) return;
    }
    SendMessageA(record->handle, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
    return;
  }
  const std::string caption(text);
  SetWindowTextA(record->handle, caption.c_str());
}

}  // namespace vudo
