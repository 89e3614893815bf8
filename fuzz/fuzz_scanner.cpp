// Compares FileContainsText, with tiny blocks and with the real ones, against
// a naive whole-file search: lower-case everything, NULs as spaces, find.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/bytes.h"
#include "fuzz_files.h"
#include "search/scanner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // Byte 0: text length; byte 1: block size; then the text, then the content.
  const std::size_t text_length = 1 + data[0] % 48;
  const std::size_t block = 1 + data[1] % 40;
  if (size < 2 + text_length) return 0;
  const std::string text = vudo::LowerCase(std::string(reinterpret_cast<const char*>(data + 2), text_length));
  const std::string content(reinterpret_cast<const char*>(data + 2 + text_length), size - 2 - text_length);

  std::string haystack = vudo::LowerCase(content);
  for (char& c : haystack)
    if (c == '\0') c = ' ';
  const int expected = haystack.find(text) != std::string::npos ? 1 : 0;

  const std::string path = vudo::fuzz::WriteScratch("content.bin", content);
  if (vudo::FileContainsTextInBlocks(path, text, block) != expected) __builtin_trap();
  if (vudo::FileContainsText(path, text) != expected) __builtin_trap();
  return 0;
}
