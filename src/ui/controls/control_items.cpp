// The items of combo boxes and lists: adding, reading, counting, clearing,
// selection, and the columns of a list.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "common/item_position.h"
#include "ui/controls/layer_internal.h"
#include "ui/controls/virtual_list.h"
#include "ui/controls/control_layer.h"

namespace vudo {
namespace {

std::string ComboEntry(HWND combo, int item) {
  const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  if (item < 0 || item >= count) return {};
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT got =
      SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

std::string ColumnTitle(HWND list, int column) {
  const HWND header = layer::ListHeader(list);
  if (!header) return {};
  char title[4096] = {};
  HDITEMA item{};
  item.mask = HDI_TEXT;
  item.pszText = title;
  item.cchTextMax = sizeof title;
  if (!SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item))) return {};
  return item.pszText ? std::string(item.pszText) : std::string();
}

}  // namespace

void ListColumnAdd(int number, int column, std::string_view title, int width) {
  const layer::ControlRecord* record = layer::FindList(number);
  if (!record) return;
  std::string text(title);
  LVCOLUMNA info{};
  info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  info.fmt = LVCFMT_LEFT;
  info.cx = width;
  info.pszText = text.data();
  info.iSubItem = column;
  SendMessageA(record->handle, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
}

int ControlSelected(int number) {
  const layer::ControlRecord* record = layer::FindControl(number);
  if (!record) return 0;
  switch (record->kind) {
    case layer::ControlKind::kList:
      return static_cast<int>(SendMessageA(record->handle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    case layer::ControlKind::kCombo:
      return static_cast<int>(SendMessageA(record->handle, CB_GETCURSEL, 0, 0));
    case layer::ControlKind::kButton:
      return static_cast<int>(SendMessageA(record->handle, BM_GETCHECK, 0, 0));
    default:
      return 0;
  }
}

std::string ControlItemText(int number, int item, int column) {
  const layer::ControlRecord* record = layer::FindControl(number);
  if (!record) return {};
  if (record->kind == layer::ControlKind::kCombo) return ComboEntry(record->handle, item);
  if (record->kind != layer::ControlKind::kList) return {};
  if (item == -1) return ColumnTitle(record->handle, column);
  if (item < 0 || column < 0 || static_cast<std::size_t>(item) >= record->rows.size()) return {};
  return std::string(layer::RowColumn(record->rows.Row(static_cast<std::size_t>(item)), column));
}

void ControlItemAdd(int number, int position, std::string_view text) {
  layer::ControlRecord* record = layer::FindControl(number);
  if (!record || position < -1) return;
  if (record->kind == layer::ControlKind::kCombo) {
    const std::string entry(text.substr(0, text.find('\0')));
    SendMessageA(record->handle, CB_INSERTSTRING, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(entry.c_str()));
    return;
  }
  if (record->kind != layer::ControlKind::kList) return;
  layer::RowStore& rows = record->rows;
  const std::size_t at = InsertIndex(position, rows.size());
  rows.Insert(at, text);
  layer::HoldListRedraw(*record);
  // Straight to the list's own procedure: a row of a search is no event, and
  // the procedures in front of it would only pass the message on.
  CallWindowProcA(layer::ControlOwnProcedure(record->handle), record->handle, LVM_SETITEMCOUNT, rows.size(),
                  LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  if (at + 1 == rows.size()) return;
  // Rows below the new one moved down; the selection moves with its row.
  const int selected = ControlSelected(number);
  if (selected >= static_cast<int>(at)) layer::MoveSelection(*record, selected, selected + 1);
  InvalidateRect(record->handle, nullptr, FALSE);
}

int ControlItemCount(int number) {
  const layer::ControlRecord* record = layer::FindControl(number);
  if (!record) return 0;
  LRESULT count = 0;
  if (record->kind == layer::ControlKind::kCombo) count = SendMessageA(record->handle, CB_GETCOUNT, 0, 0);
  if (record->kind == layer::ControlKind::kList) count = static_cast<LRESULT>(record->rows.size());
  return count > 0 ? static_cast<int>(count) : 0;
}

void ControlItemsClear(int number) {
  layer::ControlRecord* record = layer::FindControl(number);
  if (!record) return;
  if (record->kind == layer::ControlKind::kCombo) SendMessageA(record->handle, CB_RESETCONTENT, 0, 0);
  if (record->kind == layer::ControlKind::kList) {
    record->rows.Clear();
    SendMessageA(record->handle, LVM_DELETEALLITEMS, 0, 0);
    layer::ForgetListOrder(*record);
  }
}

}  // namespace vudo
