// Sorting a list's rows by a column, and the header's sort arrow.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "common/bytes.h"
#include "ui/layer_records.h"
#include "ui/list_rows.h"
#include "ui/window_layer.h"

namespace vudo {
namespace {

// Shows the arrow of `column` (up, or down when descending) and no other.
void MarkHeader(HWND list, int column, bool descending) {
  const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  if (!header) return;
  const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    if (!SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == column) item.fmt |= descending ? HDF_SORTDOWN : HDF_SORTUP;
    SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
}

layer::ControlRecord* FindList(int number) {
  layer::ControlRecord* record = layer::FindControl(number);
  return record && record->kind == layer::ControlKind::kList ? record : nullptr;
}

}  // namespace

namespace layer {

void ForgetListOrder(ControlRecord& list) {
  if (list.sort_column < 0) return;
  list.sort_column = -1;
  list.sort_descending = false;
  MarkHeader(list.handle, -1, false);
}

bool PassColumnClick(const NMHDR* header) {
  if (header->code != LVN_COLUMNCLICK) return false;
  for (const auto& [number, record] : controls) {
    if (record.handle != header->hwndFrom || record.kind != ControlKind::kList) continue;
    if (record.column_click) record.column_click(number, reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
    return true;
  }
  return false;
}

}  // namespace layer

void ListOnColumnClick(int number, ColumnClickHandler handler) {
  if (layer::ControlRecord* list = FindList(number)) list->column_click = handler;
}

int ListSortColumn(int number) {
  const layer::ControlRecord* list = FindList(number);
  return list ? list->sort_column : -1;
}

bool ListSortDescending(int number) {
  const layer::ControlRecord* list = FindList(number);
  return list && list->sort_descending;
}

void ListSort(int number, int column, bool descending) {
  layer::ControlRecord* list = FindList(number);
  if (!list || column < 0) return;
  layer::RowStore& rows = list->rows;
  // Each row's key lowered once, not at every comparison.
  std::vector<std::string> keys(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) LowerInto(layer::RowColumn(rows.Row(i), column), keys[i]);
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  // Equal keys keep the order in which the rows were found, either way.
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return descending ? keys[b] < keys[a] : keys[a] < keys[b];
  });

  const int selected = ControlSelected(number);
  int now_selected = -1;
  for (std::size_t i = 0; i < order.size() && now_selected < 0; ++i)
    if (static_cast<int>(order[i]) == selected) now_selected = static_cast<int>(i);
  rows.Reorder(order);
  list->sort_column = column;
  list->sort_descending = descending;
  MarkHeader(list->handle, column, descending);

  if (selected >= 0 && now_selected != selected) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list->handle, LVM_SETITEMSTATE, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list->handle, LVM_SETITEMSTATE, static_cast<WPARAM>(now_selected), reinterpret_cast<LPARAM>(&state));
  }
  if (now_selected >= 0) SendMessageA(list->handle, LVM_ENSUREVISIBLE, static_cast<WPARAM>(now_selected), FALSE);
  InvalidateRect(list->handle, nullptr, TRUE);
}

}  // namespace vudo
