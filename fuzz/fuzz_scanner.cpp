// Compares FileContainsText, with tiny blocks and with the real ones, against
// a naive whole-file search: lower-case everything by the UTF-8 rule, NULs as
// spaces, find.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_files.h"
#include "search/scanner.h"

namespace {

// The UTF-8 rule, worked out on its own here: A-Z, and a byte 0x80-0x9E
// (not 0x97) right after 0xC3, gain 0x20; NUL reads as a space.
std::string Lowered(const std::string& text, bool nul_as_space) {
  std::string out = text;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    const bool after_c3 = i > 0 && static_cast<unsigned char>(text[i - 1]) == 0xC3;
    if ((b >= 'A' && b <= 'Z') || (after_c3 && b >= 0x80 && b <= 0x9E && b != 0x97)) out[i] = static_cast<char>(b + 0x20);
    if (nul_as_space && b == 0) out[i] = ' ';
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // Byte 0: text length; byte 1: block size; then the text, then the content.
  const std::size_t text_length = 1 + data[0] % 48;
  const std::size_t block = 1 + data[1] % 40;
  if (size < 2 + text_length) return 0;
  const std::string text = Lowered(std::string(reinterpret_cast<const char*>(data + 2), text_length), false);
  const std::string content(reinterpret_cast<const char*>(data + 2 + text_length), size - 2 - text_length);

  const std::string haystack = Lowered(content, true);
  const int expected = haystack.find(text) != std::string::npos ? 1 : 0;

  const std::string path = vudo::fuzz::WriteScratch("content.bin", content);
  if (vudo::FileContainsTextInBlocks(path, text, block) != expected) __builtin_trap();
  if (vudo::FileContainsText(path, text) != expected) __builtin_trap();
  return 0;
}
