// The virtual result list: the texts of its cells, its redraw in bursts, the
// selection, the order of its rows and the header's sort arrow.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "common/bytes.h"
#include "platform/text_drawing.h"
#include "platform/wide_path.h"
#include "ui/controls/control_layer.h"
#include "ui/controls/virtual_list.h"

namespace vudo {
namespace {

// Shows the arrow of `column` (up, or down when descending) and no other.
void MarkHeader(HWND list, int column, bool descending) {
  const HWND header = layer::ListHeader(list);
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

}  // namespace

namespace layer {

HWND ListHeader(HWND list) { return reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)); }

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
  const ControlRecord* list = FindList(header->hwndFrom);
  if (!list) return false;
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

int FindRowByPrefix(const ControlRecord& list, std::string_view prefix, int start, bool wrap) {
  const int count = static_cast<int>(list.rows.size());
  if (count == 0) return -1;
  if (start < 0 || start >= count) start = 0;
  for (int step = 0; step < count; ++step) {
    const int row = start + step;
    if (row >= count && !wrap) return -1;
    const int at = row % count;
    const std::string_view name = RowColumn(list.rows.Row(static_cast<std::size_t>(at)), 0);
    if (name.size() >= prefix.size() && EqualLowered(name.substr(0, prefix.size()), prefix)) return at;
  }
  return -1;
}

bool AnswerListFind(const NMHDR* header, LRESULT& answer) {
  if (header->code != LVN_ODFINDITEMA && header->code != LVN_ODFINDITEMW) return false;
  const ControlRecord* list = FindList(header->hwndFrom);
  if (!list) return false;
  answer = -1;
  // The ANSI and the wide form share their layout; only the text differs.
  const auto* request = reinterpret_cast<const NMLVFINDITEMA*>(header);
  const LVFINDINFOA& find = request->lvfi;
  if (!(find.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.psz) return true;
  const std::string typed = header->code == LVN_ODFINDITEMA
                                ? std::string(find.psz)
                                : platform::Narrow(reinterpret_cast<const NMLVFINDITEMW*>(header)->lvfi.psz);
  if (typed.empty()) return true;
  int start = request->iStart;
  std::string_view prefix = typed;
  // The same letter typed again and again steps through the rows that start
  // with it, as the platform's own lists do.
  if (typed.size() > 1 && typed.find_first_not_of(typed[0]) == std::string::npos) {
    prefix = prefix.substr(0, 1);
    start = static_cast<int>(SendMessageA(list->handle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)) + 1;
  }
  // A whole-text search (no LVFI_PARTIAL) wants an exact match.
  const int row = FindRowByPrefix(*list, prefix, start, (find.flags & LVFI_WRAP) != 0);
  if (row >= 0 && !(find.flags & LVFI_PARTIAL) &&
      RowColumn(list->rows.Row(static_cast<std::size_t>(row)), 0).size() != prefix.size())
    return true;
  answer = row;
  return true;
}

bool AnswerEmptyMarkup(const NMHDR* header) {
  if (header->code != LVN_GETEMPTYMARKUP) return false;
  ControlRecord* list = FindList(header->hwndFrom);
  if (!list || list->empty_text.empty()) return false;
  list->platform_draws_empty = true;
  auto* markup = reinterpret_cast<NMLVEMPTYMARKUP*>(const_cast<NMHDR*>(header));
  markup->dwFlags = EMF_CENTERED;
  const std::wstring text = platform::WidenUtf8(list->empty_text);
  const std::size_t room = sizeof markup->szMarkup / sizeof markup->szMarkup[0] - 1;
  const std::size_t length = std::min(text.size(), room);
  std::copy_n(text.data(), length, markup->szMarkup);
  markup->szMarkup[length] = L'\0';
  return true;
}

void PaintEmptyText(const ControlRecord& list) {
  if (list.platform_draws_empty || list.empty_text.empty() || !list.rows.empty() || list.redraw_held) return;
  RECT area{};
  GetClientRect(list.handle, &area);
  if (const HWND header = ListHeader(list.handle)) {
    RECT header_rect{};
    if (IsWindowVisible(header) && GetWindowRect(header, &header_rect))
      area.top += header_rect.bottom - header_rect.top;
  }
  area.top += ScaledTo(DpiOf(list.handle), 8);  // where the platform's own lists put it
  const HDC context = GetDC(list.handle);
  if (!context) return;
  const HGDIOBJ font = SelectObject(context, ControlFont());
  SetBkMode(context, TRANSPARENT);
  SetTextColor(context, GetSysColor(COLOR_GRAYTEXT));
  platform::DrawUtf8Text(context, area, list.empty_text, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(context, font);
  ReleaseDC(list.handle, context);
}

void MoveSelection(const ControlRecord& list, int from, int to) {
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list.handle, LVM_SETITEMSTATE, static_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&state));
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list.handle, LVM_SETITEMSTATE, static_cast<WPARAM>(to), reinterpret_cast<LPARAM>(&state));
}

void ForgetListOrder(ControlRecord& list) {
  if (list.sort_column < 0) return;
  list.sort_column = -1;
  list.sort_descending = false;
  MarkHeader(list.handle, -1, false);
}

bool PassColumnClick(const NMHDR* header) {
  if (header->code != LVN_COLUMNCLICK) return false;
  const ControlRecord* list = FindList(header->hwndFrom);
  if (!list) return false;
  // The handler is told the list's number, which is its child-window
  // identifier.
  if (list->column_click)
    list->column_click(GetDlgCtrlID(list->handle), reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
  return true;
}

bool PassRowDrag(const NMHDR* header) {
  if (header->code != LVN_BEGINDRAG) return false;
  const ControlRecord* list = FindList(header->hwndFrom);
  if (!list) return false;
  const int row = reinterpret_cast<const NMLISTVIEW*>(header)->iItem;
  if (list->row_drag && row >= 0) list->row_drag(GetDlgCtrlID(list->handle), row);
  return true;
}

}  // namespace layer

int ListColumnWidth(int number, int column) {
  const layer::ControlRecord* list = layer::FindList(number);
  return list ? static_cast<int>(SendMessageA(list->handle, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0)) : 0;
}

void ListSetColumnWidth(int number, int column, int width) {
  if (const layer::ControlRecord* list = layer::FindList(number))
    SendMessageA(list->handle, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
}

void ListSetEmptyText(int number, std::string_view text) {
  layer::ControlRecord* list = layer::FindList(number);
  if (!list || list->empty_text == text) return;
  list->empty_text.assign(text.data(), text.size());
  // The list's own window text says the same, for whoever reads the window
  // rather than looks at it (a screen reader, a test); a list view draws none.
  SetWindowTextA(list->handle, std::string(text).c_str());
  if (list->rows.empty()) InvalidateRect(list->handle, nullptr, TRUE);
}

void ListOnColumnClick(int number, ColumnClickHandler handler) {
  if (layer::ControlRecord* list = layer::FindList(number)) list->column_click = handler;
}

void ListOnRowDrag(int number, RowDragHandler handler) {
  if (layer::ControlRecord* list = layer::FindList(number)) list->row_drag = handler;
}

int ListSortColumn(int number) {
  const layer::ControlRecord* list = layer::FindList(number);
  return list ? list->sort_column : -1;
}

bool ListSortDescending(int number) {
  const layer::ControlRecord* list = layer::FindList(number);
  return list && list->sort_descending;
}

void ListSort(int number, int column, bool descending) {
  layer::ControlRecord* list = layer::FindList(number);
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

  if (selected >= 0 && now_selected != selected) layer::MoveSelection(*list, selected, now_selected);
  if (now_selected >= 0) SendMessageA(list->handle, LVM_ENSUREVISIBLE, static_cast<WPARAM>(now_selected), FALSE);
  InvalidateRect(list->handle, nullptr, TRUE);
}

}  // namespace vudo
