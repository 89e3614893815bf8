// Memory that runs out, on purpose: linked into a program, this replaces the
// global operator new and delete so that an allocation that would take the
// bytes in use past a limit fails with std::bad_alloc (or a null pointer, for
// the nothrow forms), as it does when the address space is used up. A test
// sets the limit; a whole program (a test build of Vudo.exe or vudo-find)
// takes it from the environment variable VUDO_ALLOCATION_LIMIT, in bytes, at
// its first allocation. Without a limit, allocations only are counted.
#pragma once

#include <cstddef>

namespace vudo::testing_memory {

// From now on, at most `bytes` in use; 0: no limit.
void LimitAllocations(std::size_t bytes);
// Bytes allocated through operator new and not yet deleted.
std::size_t BytesInUse();
// Allocations refused for the limit so far.
int Refusals();

}  // namespace vudo::testing_memory
