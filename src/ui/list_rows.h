// Rows of a report-view list: a row's text holds its columns separated by
// line feeds ("name\ndirectory").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/layer_records.h"

namespace vudo::layer {

// The column texts of a row text: the part before the first line feed is
// column 0; the rest is cut at each further line feed until nothing is left,
// so a trailing line feed adds no column and two in a row give an empty one.
std::vector<std::string> SplitRow(std::string_view text);

// Puts columns[from...] into row `row`, column by column, and raises the
// list's longest item text to fit all of `columns`.
void SetRowTexts(ControlRecord& list, int row, const std::vector<std::string>& columns, std::size_t from = 0);

}  // namespace vudo::layer
