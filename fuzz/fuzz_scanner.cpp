// Compares FileContainsText, with tiny blocks and with the real ones, against
// a naive whole-file search in every form the text may take: the 8-bit text
// lower-cased by the rule in force (NULs as spaces), the other 8-bit encoding
// (Windows-1252 beside UTF-8), and UTF-16 of a file that says or shows it is
// UTF-16.
//
// Input: byte 0 the text's length, byte 1 the block size (its top bit chooses
// the rule: UTF-8 or single-byte), byte 2 how the file is written (raw bytes,
// or the content as Latin-1 characters in UTF-16 with or without a mark) and
// whether the text is put in too, byte 3 where; then the text, then the
// content.
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
std::string Lowered(const std::string& text, bool nul_as_space, bool by_utf8) {
  std::string out = text;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    const bool after_c3 = i > 0 && static_cast<unsigned char>(text[i - 1]) == 0xC3;
    const bool folds = by_utf8 ? after_c3 && b >= 0x80 && b <= 0x9E && b != 0x97 : b >= 0xC0 && b <= 0xDE;
    if ((b >= 'A' && b <= 'Z') || folds) out[i] = static_cast<char>(b + 0x20);
    if (nul_as_space && b == 0) out[i] = ' ';
  }
  return out;
}

// Windows-1252 at 0x80-0x9F; Latin-1 elsewhere.
constexpr char16_t kHigh[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

// The text's characters: decoded UTF-8 (false when it is not well-formed) or
// Windows-1252.
bool Characters(const std::string& text, std::u32string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (!utf8) {
      out += b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b;
      ++i;
      continue;
    }
    const int length = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    char32_t c = length == 1 ? b : b & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = c << 6 | (next & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    out += c;
    i += length;
  }
  return true;
}

std::u16string Units(const std::u32string& characters) {
  std::u16string out;
  for (char32_t c : characters) {
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

// The other 8-bit form: Windows-1252 beside UTF-8, UTF-8 beside it; empty
// when the text is ASCII or has no such form.
std::string OtherForm(const std::u32string& characters) {
  bool ascii = true;
  for (char32_t c : characters) ascii = ascii && c < 0x80;
  if (ascii) return {};
  std::string out;
  for (char32_t c : characters) {
    if (utf8) {
      int b = c < 0x80 || (c >= 0xA0 && c <= 0xFF) ? static_cast<int>(c) : -1;
      for (int k = 0; k < 32 && b < 0; ++k)
        if (kHigh[k] == c) b = 0x80 + k;
      if (b < 0) return {};
      out += static_cast<char>(b);
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      out += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    }
  }
  return out;
}

char16_t LowerUnit(char16_t u) { return (u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7) ? u + 0x20 : u; }

// The file's code units from its start (its mark among them), lower-cased.
std::u16string FileUnits(const std::string& content, bool big_endian) {
  std::u16string out;
  for (std::size_t i = 0; i + 1 < content.size(); i += 2) {
    const auto a = static_cast<unsigned char>(content[i]), b = static_cast<unsigned char>(content[i + 1]);
    out += LowerUnit(static_cast<char16_t>(big_endian ? a << 8 | b : b << 8 | a));
  }
  return out;
}

// The rule for UTF-16 without a mark, as documented, worked out on its own
// over the file's first 512 bytes: 0 none, 1 little-endian, 2 big-endian.
int UnmarkedUtf16(const std::string& content) {
  const std::size_t units = content.size() / 2;
  if (units < 2) return 0;
  for (int order = 1; order <= 2; ++order) {
    std::size_t zero_high = 0, zero_low = 0, beside = 0, text = 0;
    for (std::size_t u = 0; u < units; ++u) {
      const auto lo = static_cast<unsigned char>(content[2 * u + (order == 1 ? 0 : 1)]);
      const auto hi = static_cast<unsigned char>(content[2 * u + (order == 1 ? 1 : 0)]);
      if (lo == 0) ++zero_low;
      if (hi != 0) continue;
      ++zero_high;
      if (lo == 0) continue;
      ++beside;
      if (lo == '\t' || lo == '\n' || lo == '\r' || (lo >= 0x20 && lo < 0x7F) || lo >= 0xA0) ++text;
    }
    if (zero_high * 10 >= units * 9 && zero_low * 50 <= units && beside > 0 && text * 10 >= beside * 9) return order;
  }
  return 0;
}

bool Expected(const std::string& text, const std::string& content) {
  std::u32string characters;
  const bool has_characters = Characters(text, characters);
  const auto b0 = content.size() >= 2 ? static_cast<unsigned char>(content[0]) : 0;
  const auto b1 = content.size() >= 2 ? static_cast<unsigned char>(content[1]) : 0;
  const int marked = b0 == 0xFF && b1 == 0xFE ? 1 : b0 == 0xFE && b1 == 0xFF ? 2 : 0;
  const int utf16 = marked ? marked : UnmarkedUtf16(content.substr(0, 512));
  if (!marked) {
    if (Lowered(content, true, utf8).find(text) != std::string::npos) return true;
    const std::string other = has_characters ? OtherForm(characters) : "";
    if (!other.empty() && Lowered(content, true, !utf8).find(Lowered(other, false, !utf8)) != std::string::npos)
      return true;
  }
  if (!utf16 || !has_characters) return false;
  std::u16string wanted = Units(characters);
  for (char16_t& u : wanted) u = LowerUnit(u);
  return FileUnits(content, utf16 == 2).find(wanted) != std::u16string::npos;
}

std::string Written(const std::string& content, int how) {
  if (how == 0) return content;
  std::string out = how == 1 ? "\xFF\xFE" : how == 2 ? "\xFE\xFF" : "";
  for (char c : content) {
    const char unit[2] = {c, '\0'};
    out += how == 2 ? std::string{unit[1], unit[0]} : std::string(unit, 2);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::size_t text_length = 1 + data[0] % 48;
  const std::size_t block = 1 + (data[1] & 0x7F) % 40;
  utf8 = (data[1] & 0x80) == 0;
  vudo::SetTextRule(utf8 ? vudo::TextRule::kUtf8 : vudo::TextRule::kSingleByte);
  const int how = data[2] % 4;  // raw, UTF-16 LE with mark, BE with mark, LE without
  const bool put_text = (data[2] & 0x80) != 0;
  if (size < 4 + text_length) return 0;
  const std::string text = Lowered(std::string(reinterpret_cast<const char*>(data + 4), text_length), false, utf8);
  std::string content(reinterpret_cast<const char*>(data + 4 + text_length), size - 4 - text_length);
  if (put_text) content.insert(std::min<std::size_t>(data[3], content.size()), text);
  const std::string file = Written(content, how);

  const bool expected = Expected(text, file);
  const std::string path = vudo::fuzz::WriteScratch("content.bin", file);
  if (vudo::FileContainsTextInBlocks(path, text, block) != expected) __builtin_trap();
  if (vudo::FileContainsText(path, text) != expected) __builtin_trap();
  return 0;
}
