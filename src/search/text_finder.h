// Finds a lower-cased text in raw file bytes as if the bytes had been
// lower-cased and their NUL bytes turned into spaces, without transforming them.
//
// Each byte of the text has at most two bytes that read as it (its upper-case
// form, or NUL for a space), so the finder looks for the text's rarest byte by
// comparing against those two values, 16 bytes at a time where SSE2 is there,
// and checks the whole text only at those places.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vudo {

class TextFinder {
 public:
  // `text` is lower-cased. An empty text is found in anything.
  explicit TextFinder(std::string_view text);

  // True when the text occurs in bytes[0, count).
  bool FoundIn(const char* bytes, std::size_t count) const;

  std::size_t size() const { return text_.size(); }

 private:
  bool MatchesAt(const unsigned char* start) const;

  std::string text_;
  std::size_t anchor_ = 0;  // index of the rarest byte of the text
  unsigned char anchor_a_ = 0, anchor_b_ = 0;  // the bytes that read as it
  bool impossible_ = false;
};

// How a file byte reads for the content test: lower-cased, NUL as a space.
unsigned char ScanByte(unsigned char b);

}  // namespace vudo
