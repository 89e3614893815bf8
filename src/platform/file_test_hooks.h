// What tests can do to FileReplacement and FileReader and read back from
// them, shared by the Win32 and POSIX forms of both: make writes, a replace or
// a file's size go wrong, and count the files held open. Production code
// never asks for a fault; tests do, through platform::testing (file_store.h,
// file.h), and read the count through FileReader::OpenCount.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vudo::platform::test_hooks {

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
// Whether a test made directories of this path's name refuse to be listed
// (`directory` ends in a separator).
bool DirectoryRefused(const std::string& directory);
// Waits as long as a test asked a directory of this name to take to open.
void WaitIfSlow(const std::string& directory);
// Counts the entries directory readers returned, across threads
// (DirectoryReader::EntriesRead).
void CountEntriesRead(std::size_t entries);
std::size_t EntriesRead();

}  // namespace vudo::platform::test_hooks
