// Rows of a report-view list: a row's text holds its columns separated by
// line feeds ("name\ndirectory").
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

// The column texts of a row text: the part before the first line feed is
// column 0; the rest is cut at each further line feed until nothing is left,
// so a trailing line feed adds no column and two in a row give an empty one.
std::vector<std::string> SplitRow(std::string_view text);

// Puts columns[from...] into row `row`, column by column, and raises the
// list's longest item text to fit all of `columns`.
void SetRowTexts(ControlRecord& list, int row, const std::vector<std::string>& columns, std::size_t from = 0);

}  // namespace vudo::layer
