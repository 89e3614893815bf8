// Fault injection for FileReplacement, shared by its Win32 and POSIX forms.
// Production code never sets these; tests do, through platform::testing.
#pragma once

#include <cstddef>

namespace vudo::platform::faults {

// How many of `wanted` bytes the next write may take (all of them unless a
// test set a budget); the budget shrinks by what was written through Spend.
std::size_t WriteAllowance(std::size_t wanted);
void Spend(std::size_t written);
// True once after a test asked for the next replace to fail.
bool TakeReplaceFailure();

}  // namespace vudo::platform::faults
