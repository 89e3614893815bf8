// The block loop of the content scan: does a file contain a text, in any of
// its forms (text_forms.h), ignoring letter case?
//
// The file is read in blocks; the last (text length - 1) bytes of each block
// are carried in front of the next, so a text across a block border is found
// and memory stays a few blocks whatever the file size. NUL bytes read as
// spaces, so binary files are searched like text. Sizes and positions are
// 64-bit. A read that delivers less than asked ends the file: nothing is made
// up for the missing bytes.
//
// A template, so that the walk's scans (which poll the search's caller
// between blocks), a worker's scans (which check for cancellation there) and
// FileContainsText (scanner.h) share every line of it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/file.h"
#include "search/text_forms.h"

namespace vudo {

inline constexpr std::size_t kScanBlockSize = 32000;
// What ScanFile says of a file it cannot open.
inline constexpr int kScanUnreadable = -1;
// The first block is at least this long, whatever the block size: what the
// file holds (UTF-16 or 8-bit text, text_forms.h) is told from these bytes.
inline constexpr std::size_t kFirstBlockAtLeast = kFileTextSample;

// Reads the file at `path` (opened by its name in `directory` where that is
// given and held) in blocks of `block_size` into `buffer` (grown as needed,
// kept by the caller) and asks `go_on` after every block whether to carry on;
// false ends the scan with no hit. 1 when the text is there, 0 when not, and
// kScanUnreadable when the file cannot be opened. A buffer that cannot be had throws
// std::bad_alloc: a file passed over for want of memory would be a wrong
// answer.
template <class GoOn>
int ScanFile(const std::string& path, const platform::DirectoryHandle* directory, const TextForms& forms,
             std::size_t block_size, std::vector<char>& buffer, GoOn go_on) {
  platform::FileReader file;
  if (!file.Open(path, directory)) return kScanUnreadable;
  if (forms.Empty()) return 1;  // an empty text occurs in every file

  // [carried tail | block]: the tail is the last text length - 1 bytes seen
  // (of the longest form), enough for any occurrence that ends in the new
  // block to be whole.
  const std::size_t carry_max = forms.LongestBytes() - 1;
  const std::size_t first_block = std::max(block_size, kFirstBlockAtLeast);
  if (buffer.size() < carry_max + first_block) buffer.resize(carry_max + first_block);
  char* const block = buffer.data() + carry_max;

  const std::int64_t size = file.Size();
  std::size_t carried = 0;
  unsigned char before = 0;  // the file byte before the haystack, which may decide how its first one reads
  FileText kind = FileText::kBytes;
  for (std::int64_t pos = 0; pos < size;) {
    const std::size_t want = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(pos == 0 ? first_block : block_size), size - pos));
    const std::int64_t got = file.ReadAt(pos, block, want);
    if (got <= 0) break;  // a read error, or the file shrank under us
    const auto have = static_cast<std::size_t>(got);
    if (pos == 0) kind = SniffFileText(block, std::min(have, kFileTextSample));

    char* const haystack = block - carried;
    const std::size_t haystack_size = carried + have;
    if (forms.FoundIn(kind, haystack, haystack_size, before, pos - static_cast<std::int64_t>(carried))) return 1;
    // A short read ends the file: it shrank during the scan, or it reported
    // more than it holds (as files under /sys do). What was not delivered is
    // not there to be found.
    if (have < want) break;

    pos += static_cast<std::int64_t>(have);
    const std::size_t keep = std::min(carry_max, haystack_size);
    if (haystack_size > keep) before = static_cast<unsigned char>(haystack[haystack_size - keep - 1]);
    std::memmove(block - keep, haystack + haystack_size - keep, keep);
    carried = keep;
    if (!go_on()) return 0;
  }
  return 0;
}

}  // namespace vudo
