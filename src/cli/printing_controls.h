// The control layer of the console finder: the search's controls are plain
// texts and lists in memory, and every hit is printed as a full path.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vudo::cli {

// Ends each printed path: a line feed, or NUL for -0.
void SetPathEnd(char end);
// The walker's hit sink: prints directory + name, buffered.
void PrintHit(std::string_view directory, std::string_view name);
std::size_t RowsPrinted();
// Writes out what is still buffered. False once any write has failed (a full
// disk, a closed pipe); the reason is in OutputError().
bool FlushRows();
const std::string& OutputError();

}  // namespace vudo::cli
