// The items of combo boxes and lists: adding, reading, counting, clearing,
// selection, and the columns of a list.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "ui/layer_records.h"
#include "ui/list_rows.h"
#include "ui/window_layer.h"

namespace vudo {
namespace layer {

std::vector<std::string> SplitRow(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> columns;
  const std::size_t feed = text.find('\n');
  columns.emplace_back(text.substr(0, feed));
  std::string_view rest = feed == std::string_view::npos ? std::string_view() : text.substr(feed + 1);
  while (!rest.empty()) {
    const std::size_t cut = rest.find('\n');
    columns.emplace_back(rest.substr(0, cut));
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
  }
  return columns;
}

namespace {

void SetItemText(HWND list, int row, int column, const std::string& text) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void RaiseLongest(ControlRecord& list, const std::vector<std::string>& columns) {
  for (const std::string& column : columns)
    if (column.size() > list.longest_item) list.longest_item = column.size();
}

}  // namespace

void HoldListRedraw(ControlRecord& list) {
  if (list.redraw_held) return;
  SendMessageA(list.handle, WM_SETREDRAW, FALSE, 0);
  list.redraw_held = true;
  list.held_since = GetTickCount();
}

void ReleaseListRedraw(bool only_overdue) {
  const DWORD now = GetTickCount();
  for (auto& [number, record] : controls) {
    if (!record.redraw_held || (only_overdue && now - record.held_since < kListRepaintMs)) continue;
    record.redraw_held = false;
    SendMessageA(record.handle, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(record.handle, nullptr, TRUE);
  }
}

void SetRowTexts(ControlRecord& list, int row, const std::vector<std::string>& columns, std::size_t from) {
  RaiseLongest(list, columns);
  for (std::size_t i = from; i < columns.size(); ++i) SetItemText(list.handle, row, static_cast<int>(i), columns[i]);
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

// One buffer sized from the longest text ever put in holds any item, so no
// length query per item is needed.
std::string RowText(const layer::ControlRecord& list, int row, int column) {
  std::string text(list.longest_item + 1, '\0');
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.iSubItem = column;
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  if (!SendMessageA(list.handle, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) || !item.pszText) return {};
  // The control may answer with a pointer to its own copy instead.
  return std::string(item.pszText);
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
  if (item < 0 || column < 0) return {};
  return RowText(*record, item, column);
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
  if (position == -1) position = static_cast<int>(SendMessageA(record->handle, LVM_GETITEMCOUNT, 0, 0));
  layer::HoldListRedraw(*record);
  const std::vector<std::string> columns = layer::SplitRow(text);
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = position;
  item.pszText = const_cast<char*>(columns[0].c_str());
  // A position past the end appends; the row's texts go where it landed.
  const int row =
      static_cast<int>(SendMessageA(record->handle, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return;
  layer::SetRowTexts(*record, row, columns, 1);
}

int ControlItemCount(int number) {
  const layer::ControlRecord* record = layer::FindControl(number);
  if (!record) return 0;
  LRESULT count = 0;
  if (record->kind == layer::ControlKind::kCombo) count = SendMessageA(record->handle, CB_GETCOUNT, 0, 0);
  if (record->kind == layer::ControlKind::kList) count = SendMessageA(record->handle, LVM_GETITEMCOUNT, 0, 0);
  return count > 0 ? static_cast<int>(count) : 0;
}

void ControlItemsClear(int number) {
  layer::ControlRecord* record = layer::FindControl(number);
  if (!record) return;
  if (record->kind == layer::ControlKind::kCombo) SendMessageA(record->handle, CB_RESETCONTENT, 0, 0);
  if (record->kind == layer::ControlKind::kList) {
    SendMessageA(record->handle, LVM_DELETEALLITEMS, 0, 0);
    record->longest_item = 0;
  }
}

}  // namespace vudo
