// The Contains text in every form a file on a Windows disk may hold it: the
// program's own 8-bit text; the same text in the other 8-bit encoding the
// disk has (the system's legacy code page, where it is a single-byte one,
// when the program speaks UTF-8; UTF-8 when it speaks a single-byte code
// page), where the text has characters beyond ASCII and a form there; and
// UTF-16 in both byte orders.
//
// Which forms a file is searched for follows from its first bytes:
// - FF FE or FE FF (a byte-order mark): UTF-16 of that byte order only.
// - Text that is unmistakably UTF-16 without a mark (Sniff below): the 8-bit
//   forms and UTF-16 of that byte order. A binary file taken for UTF-16 by
//   mistake is thus still searched for the 8-bit forms: nothing is missed.
// - Anything else, UTF-8 with its mark among it: the 8-bit forms.
// All of a file's forms are looked for in the same pass over its blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "search/text_finder.h"

namespace vudo {

// What a file's first bytes say it holds.
enum class FileText { kBytes, kUtf16LE, kUtf16BE, kUtf16LEWithoutMark, kUtf16BEWithoutMark };

// How many of a file's first bytes tell what it holds: the same for every
// block size, so that a file is searched the same way whatever the blocks.
inline constexpr std::size_t kFileTextSample = 512;

// The rule for UTF-16 without a mark, over the first kFileTextSample bytes (at
// least two code units): in one byte order at least 90% of the high bytes are zero, at most
// 2% of the low bytes are, and of the low bytes beside a zero high byte at
// least 90% are text (tab, line ends, printable ASCII, or 0xA0-0xFF). Text of
// Latin letters in UTF-16 meets it; zero-filled files fail the second test,
// arrays of small numbers the third, and text in other scripts is found by
// its mark only.
FileText SniffFileText(const char* bytes, std::size_t count);

class TextForms {
 public:
  // `text` lower-cased by `rule`.
  TextForms(std::string_view text, TextRule rule);

  bool Empty() const { return longest_ == 0; }
  // The longest form in bytes: what a block carries into the next.
  std::size_t LongestBytes() const { return longest_; }
  // Whether a form of the text that a file of `kind` may hold occurs in
  // bytes[0, count), which lie at `offset` in the file after the byte
  // `before` (0 at its start).
  bool FoundIn(FileText kind, const char* bytes, std::size_t count, unsigned char before, std::int64_t offset) const;

 private:
  std::vector<TextFinder> eight_bit_;  // the program's form first, with the other where it can share its pass
  std::vector<TextFinder> utf16_;      // little-endian, big-endian; none when the text has no UTF-16 form
  std::size_t longest_ = 0;
};

}  // namespace vudo
