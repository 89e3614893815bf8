// Content scanner: does a file contain a text, ignoring letter case?
//
// The file is read in blocks of 32000 bytes; the last (text length - 1) bytes
// of each block are carried in front of the next, so a text across a block
// border is found and memory stays a few blocks whatever the file size. NUL
// bytes read as spaces, so binary files are searched like text. Sizes and
// positions are 64-bit. A read that delivers less than asked ends the file:
// nothing is made up for the missing bytes. After every block StopRequested is
// read and, every few milliseconds, window events run (event_pace.h); a stop
// or a newer search ends the scan with no hit.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vudo {

inline constexpr std::size_t kScanBlockSize = 32000;

namespace platform {
class DirectoryHandle;
}

// 1 when the file at `path` contains `text` (lower-cased by the caller), else
// 0, also when the file cannot be opened. `directory`, where given and held,
// is the file's directory, and the file is opened there by its name.
int FileContainsText(const std::string& path, std::string_view text,
                     const platform::DirectoryHandle* directory = nullptr);

// The same with another block size, so that tests and fuzzers reach block
// borders with small files.
int FileContainsTextInBlocks(const std::string& path, std::string_view text, std::size_t block_size,
                             const platform::DirectoryHandle* directory = nullptr);

class TextFinder;

// The scan itself, for the engine's worker threads as for the walk: reads the
// file in blocks into `buffer` (grown as needed, kept by the caller) and asks
// `go_on` after every block whether to carry on; false ends the scan with no
// hit. 1 when the text is there, 0 when not, also when the file cannot be
// opened or the buffer cannot be had.
template <class GoOn>
int ScanFile(const std::string& path, const platform::DirectoryHandle* directory, const TextFinder& finder,
             std::size_t block_size, std::vector<char>& buffer, GoOn go_on);

}  // namespace vudo

#include "search/scanner_loop.h"
