// Rows of a report-view list: a row's text holds its columns separated by
// line feeds ("name\ndirectory").
//
// The layer keeps the rows itself and the list shows them as a virtual list
// (LVS_OWNERDATA), asking for the texts of the cells it paints. A list that
// stored 100,000 rows of its own would take well over 100 MiB under Wine; kept
// here, joined by NUL bytes in one string a row, they take a few.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/layer_records.h"

namespace vudo::layer {

// Rows added in a burst (a search adds them one by one) would each cost a
// repaint of the list, several milliseconds apiece. Adding a row holds the
// list's redraw back; the event loop lets it paint again at least this often,
// so rows still appear as they come, and whenever it goes idle, so the list
// is complete and painted when a search ends.
inline constexpr DWORD kListRepaintMs = 100;
void HoldListRedraw(ControlRecord& list);

// A cleared list has no order: no sort column, no arrow in its header.
void ForgetListOrder(ControlRecord& list);

// A row as kept: the columns of SplitRow joined by NUL bytes.
std::string JoinedRow(std::string_view text);
// Column `column` of a kept row; empty when it has no such column.
std::string_view RowColumn(std::string_view row, int column);

// The column texts of a row text: the part before the first line feed is
// column 0; the rest is cut at each further line feed until nothing is left,
// so a trailing line feed adds no column and two in a row give an empty one.
std::vector<std::string> SplitRow(std::string_view text);

}  // namespace vudo::layer
