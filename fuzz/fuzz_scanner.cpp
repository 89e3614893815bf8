// Compares FileContainsText, with tiny blocks and with the real ones, against
// a naive whole-file search: lower-case everything by the rule in force, NULs
// as spaces, find. The top bit of the block-size byte chooses the rule (UTF-8
// or single-byte), so both are fuzzed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/bytes.h"
#include "fuzz_files.h"
#include "search/scanner.h"

namespace {

bool utf8 = true;

// The two rules, worked out on their own here. UTF-8: A-Z, and a byte
// 0x80-0x9E (not 0x97) right after 0xC3, gain 0x20. Single-byte: A-Z and
// 0xC0-0xDE gain 0x20. NUL reads as a space.
std::string Lowered(const std::string& text, bool nul_as_space) {
  std::string out = text;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    const bool after_c3 = i > 0 && static_cast<unsigned char>(text[i - 1]) == 0xC3;
    const bool folds = utf8 ? after_c3 && b >= 0x80 && b <= 0x9E && b != 0x97 : b >= 0xC0 && b <= 0xDE;
    if ((b >= 'A' && b <= 'Z') || folds) out[i] = static_cast<char>(b + 0x20);
    if (nul_as_space && b == 0) out[i] = ' ';
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // Byte 0: text length; byte 1: block size; then the text, then the content.
  const std::size_t text_length = 1 + data[0] % 48;
  const std::size_t block = 1 + (data[1] & 0x7F) % 40;
  utf8 = (data[1] & 0x80) == 0;
  vudo::SetTextRule(utf8 ? vudo::TextRule::kUtf8 : vudo::TextRule::kSingleByte);
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
