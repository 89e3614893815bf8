#include "ui/controls/label_tips.h"

#include <commctrl.h>

#include <string>

#include "ui/controls/virtual_list.h"

namespace vudo::layer {
namespace {

// Room the list leaves around a cell's text; a text that needs more than the
// cell minus this is shown cut off.
constexpr int kCellPadding = 12;

TOOLINFOA ToolOf(const ControlRecord& list) {
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = list.handle;
  tool.uId = 1;
  return tool;
}

void HideTip(ControlRecord& list) {
  if (list.tip_row < 0) return;
  TOOLINFOA tool = ToolOf(list);
  SendMessageA(list.label_tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  list.tip_row = list.tip_column = -1;
}

// The cell's rectangle in the list's client coordinates.
bool CellRect(const ControlRecord& list, int row, int column, RECT& cell) {
  cell = RECT{};
  cell.top = column;
  cell.left = LVIR_LABEL;
  if (column == 0)
    return SendMessageA(list.handle, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell)) != 0;
  return SendMessageA(list.handle, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell)) != 0;
}

int TextWidth(HWND list, const std::string& text) {
  const HDC context = GetDC(list);
  if (!context) return 0;
  const HGDIOBJ font = SelectObject(context, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(context, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(context, font);
  ReleaseDC(list, context);
  return size.cx;
}

void ShowTipAt(ControlRecord& list, POINT pointer) {
  LVHITTESTINFO hit{};
  hit.pt = pointer;
  SendMessageA(list.handle, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  const int row = hit.iItem, column = hit.iSubItem;
  if (row == list.tip_row && column == list.tip_column) return;
  HideTip(list);
  if (row < 0 || static_cast<std::size_t>(row) >= list.rows.size() || !(hit.flags & LVHT_ONITEM)) return;
  const std::string text(RowColumn(list.rows.Row(static_cast<std::size_t>(row)), column));
  RECT cell{};
  if (text.empty() || !CellRect(list, row, column, cell)) return;
  if (TextWidth(list.handle, text) <= cell.right - cell.left - kCellPadding) return;  // whole already
  TOOLINFOA tool = ToolOf(list);
  tool.lpszText = const_cast<char*>(text.c_str());
  SendMessageA(list.label_tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  // The tip's text lies over the cell's own, where the list draws it.
  RECT over = cell;
  over.left += kCellPadding / 2;
  MapWindowPoints(list.handle, nullptr, reinterpret_cast<POINT*>(&over), 2);
  SendMessageA(list.label_tip, TTM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&over));
  SendMessageA(list.label_tip, TTM_TRACKPOSITION, 0, MAKELPARAM(over.left, over.top));
  SendMessageA(list.label_tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  list.tip_row = row;
  list.tip_column = column;
  // Told when the pointer leaves the list, to take the tip away.
  TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, list.handle, 0};
  TrackMouseEvent(&leave);
}

}  // namespace

void AttachLabelTips(ControlRecord& list) {
  // The tip lies over the text under the pointer, so every click there is
  // meant for the list. A layered, transparent window is left out of the
  // search for the window under the pointer, by the system itself: the
  // tooltip's own pass-through (below) depends on the windows stacked under
  // it, and lost a click now and then when another tooltip lay between.
  list.label_tip = CreateWindowExA(WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_TRANSPARENT, TOOLTIPS_CLASSA, nullptr,
                                   WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, list.handle, nullptr, Instance(), nullptr);
  if (!list.label_tip) return;
  SetLayeredWindowAttributes(list.label_tip, 0, 255, LWA_ALPHA);  // opaque, but drawn only once it says so
  TOOLINFOA tool = ToolOf(list);
  // Tracked, at a place of the layer's choosing, and letting the pointer
  // through to the list below.
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
  tool.lpszText = const_cast<char*>("");
  SendMessageA(list.label_tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(list.label_tip, WM_SETFONT, SendMessageA(list.handle, WM_GETFONT, 0, 0), FALSE);
}

void FollowLabelTip(ControlRecord& list, UINT message, LPARAM lparam) {
  if (!list.label_tip) return;
  switch (message) {
    case WM_MOUSEMOVE:
      ShowTipAt(list, POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
      break;
    case WM_MOUSELEAVE:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      HideTip(list);
      break;
    default:
      break;
  }
}

}  // namespace vudo::layer
