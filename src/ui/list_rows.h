// Rows of a report-view list: a row's text holds its columns separated by
// line feeds ("name\ndirectory"). The part before the first line feed is
// column 0; the rest is cut at each further line feed until nothing is left,
// so a trailing line feed adds no column and two in a row give an empty one.
//
// The layer keeps the rows itself (row_store.h) and the list shows them as a
// virtual list (LVS_OWNERDATA), asking for the texts of the cells it paints. A
// list that stored 100,000 rows of its own would take well over 100 MiB under
// Wine; kept here they take a few.
#pragma once

#include <string_view>

#include "ui/layer_records.h"

namespace vudo::layer {

// Rows added in a burst (a search adds them one by one) would each cost a
// repaint of the list, several milliseconds apiece. Adding a row holds the
// list's redraw back; the event loop lets it paint again within
// kListRepaintMs, so rows still appear as they come, and whenever it goes
// idle, so the list is complete and painted when a search ends. The event
// loop runs at the search's pace (every 10 ms), so it releases a little early.
inline constexpr DWORD kListRepaintMs = 100;
inline constexpr DWORD kListReleaseAfterMs = kListRepaintMs - 10;
void HoldListRedraw(ControlRecord& list);

// A cleared list has no order: no sort column, no arrow in its header.
void ForgetListOrder(ControlRecord& list);

// Column `column` of a kept row (its columns joined by NUL bytes); empty when
// it has no such column.
std::string_view RowColumn(std::string_view row, int column);

}  // namespace vudo::layer
