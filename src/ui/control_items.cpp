// The items of combo boxes and lists: adding, reading, counting, clearing,
// selection, and the columns of a list.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "ui/layer_records.h"
#include "ui/list_rows.h"
#include "ui/window_layer.h"

namespace vudo {
namespace layer {

std::string_view RowColumn(std::string_view row, int column) {
  for (int i = 0; i < column; ++i) {
    const std::size_t separator = row.find('\0');
    if (separator == std::string_view::npos) return {};
    row.remove_prefix(separator + 1);
  }
  return row.substr(0, row.find('\0'));
}

void HoldListRedraw(ControlRecord& list) {
  if (list.redraw_held) return;
  SendMessageA(list.handle, WM_SETREDRAW, FALSE, 0);
  list.redraw_held = true;
  list.held_since = GetTickCount();
}

void ReleaseListRedraw(bool only_overdue) {
  const DWORD now = GetTickCount();
  for (auto& [number, record] : controls) {
    if (!record.redraw_held || (only_overdue && now - record.held_since < kListReleaseAfterMs)) continue;
    record.redraw_held = false;
    SendMessageA(record.handle, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(record.handle, nullptr, TRUE);
  }
}

bool AnswerListTextRequest(const NMHDR* header) {
  if (header->code != LVN_GETDISPINFOA && header->code != LVN_GETDISPINFOW) return false;
  const ControlRecord* list = FindControlOf(header->hwndFrom);
  if (!list || list->kind != ControlKind::kList) return false;
  // The ANSI and the wide form share their layout up to the text pointer.
  const auto* request = reinterpret_cast<const NMLVDISPINFOA*>(header);
  const LVITEMA& item = request->item;
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return true;
  std::string_view text;
  if (item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < list->rows.size())
    text = RowColumn(list->rows.Row(static_cast<std::size_t>(item.iItem)), item.iSubItem);
  const std::size_t room = static_cast<std::size_t>(item.cchTextMax) - 1;
  if (header->code == LVN_GETDISPINFOA) {
    const std::size_t length = std::min(text.size(), room);
    std::copy_n(text.data(), length, item.pszText);
    item.pszText[length] = '\0';
  } else {
    auto* wide = reinterpret_cast<LPWSTR>(item.pszText);
    const int length = text.empty() ? 0
                                    : MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide,
                                                          static_cast<int>(room));
    wide[length > 0 ? length : 0] = L'\0';
  }
  return true;
}

}  // namespace layer

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
  const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
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
  const layer::ControlRecord* record = layer::FindControl(number);
  if (!record || record->kind != layer::ControlKind::kList) return;
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
  // A position past the end appends.
  const std::size_t at =
      position == -1 || static_cast<std::size_t>(position) > rows.size() ? rows.size() : static_cast<std::size_t>(position);
  rows.Insert(at, text);
  layer::HoldListRedraw(*record);
  // Straight to the list's own procedure: a row of a search is no event, and
  // the procedures in front of it would only pass the message on.
  CallWindowProcA(record->replaced, record->handle, LVM_SETITEMCOUNT, rows.size(),
                  LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  if (at + 1 == rows.size()) return;
  // Rows below the new one moved down; the selection moves with its row.
  const int selected = ControlSelected(number);
  if (selected >= static_cast<int>(at)) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(record->handle, LVM_SETITEMSTATE, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(record->handle, LVM_SETITEMSTATE, static_cast<WPARAM>(selected + 1), reinterpret_cast<LPARAM>(&state));
  }
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
