// The control layer of the console finder: the search's controls are plain
// texts and lists in memory, and every result row is printed as a full path.
#pragma once

#include <cstddef>

namespace vudo::cli {

std::size_t RowsPrinted();
// Writes out what is still buffered.
void FlushRows();

}  // namespace vudo::cli
