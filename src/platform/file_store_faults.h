// Fault injection for FileReplacement and FileReader, shared by their Win32
// and POSIX forms.
// Production code never sets these; tests do, through platform::testing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vudo::platform::faults {

// How many of `wanted` bytes the next write may take (all of them unless a
// test set a budget); the budget shrinks by what was written through Spend.
std::size_t WriteAllowance(std::size_t wanted);
void Spend(std::size_t written);
// True once after a test asked for the next replace to fail.
bool TakeReplaceFailure();
// What a test asked the next opened file to report beyond its size, once.
std::int64_t TakeExtraFileSize();
// Counts the files FileReader holds open, across threads (FileReader::OpenCount).
void CountOpenFile(int change);
int OpenFiles();

}  // namespace vudo::platform::faults
