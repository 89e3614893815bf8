// Byte-string helpers shared by every subsystem.
//
// All text is 8-bit and is held in std::string / std::string_view. A text
// received from the platform ends at its first NUL byte; the helpers here
// never look past the view they are given.
//
// The lower-casing rule depends on what the platform's 8-bit text is, decided
// once at start-up (SetTextRule):
// - a single-byte code page (Windows without the UTF-8 code page): 0x20 is
//   added to A-Z and to 0xC0-0xDE; every other byte stays (so 0xDF and
//   0x80-0xBF are unchanged). A character is one byte.
// - UTF-8 (POSIX, and Windows 10 1903 or later, whose active code page the
//   program's manifest asks to be UTF-8): A-Z, and the two-byte forms of
//   U+00C0 to U+00DE except U+00D7 (0xC3 followed by 0x80-0x9E, not 0x97),
//   take their small forms (the second byte + 0x20); every other byte stays,
//   and the lead byte of a longer sequence never changes. A character is a
//   whole valid UTF-8 sequence, or a single byte that starts none.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vudo {

// The single-byte rule of the ANSI code page.
constexpr unsigned char LowerByte(unsigned char b) {
  return ((b >= 0x41 && b <= 0x5A) || (b >= 0xC0 && b <= 0xDE)) ? static_cast<unsigned char>(b + 0x20) : b;
}

// LowerByte for every byte value, for loops that lower a byte at a time.
inline constexpr std::array<unsigned char, 256> kLowerTable = [] {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = LowerByte(static_cast<unsigned char>(i));
  return t;
}();

enum class TextRule { kSingleByte, kUtf8 };

// The rule in force. Until SetTextRule is called: UTF-8 on POSIX, single-byte
// on Windows (the system's own answer comes from platform::SystemTextRule).
TextRule CurrentTextRule();
inline bool Utf8Text() { return CurrentTextRule() == TextRule::kUtf8; }
// Set once, at start-up, before any text is compared; tests and fuzzers set
// it to try both rules.
void SetTextRule(TextRule rule);

// UTF-8: the second byte of a capital U+00C0-U+00DE (after 0xC3), which the
// rule turns into its small form by adding 0x20.
constexpr bool IsFoldingSecondByte(unsigned char b) { return b >= 0x80 && b <= 0x9E && b != 0x97; }

// How byte `b` of a text reads once lower-cased under one rule, given the byte
// before it (0 at the start); the content scan reads NUL as a space on top of
// that. Hot loops choose the rule once and call the one they need.
template <bool kUtf8>
constexpr unsigned char LowerAfter(unsigned char before, unsigned char b) {
  if constexpr (kUtf8) {
    if (b >= 0x41 && b <= 0x5A) return static_cast<unsigned char>(b + 0x20);
    if (before == 0xC3 && IsFoldingSecondByte(b)) return static_cast<unsigned char>(b + 0x20);
    return b;
  } else {
    return LowerByte(b);
  }
}

// Bytes of the character at text[i] (i < size): under UTF-8 a whole valid
// sequence, or 1 for a byte that starts none; always 1 under the single-byte
// rule. Without a rule: the rule in force.
std::size_t CharLength(std::string_view text, std::size_t i, TextRule rule);
inline std::size_t CharLength(std::string_view text, std::size_t i) { return CharLength(text, i, CurrentTextRule()); }

std::string LowerCase(std::string_view text, TextRule rule);
inline std::string LowerCase(std::string_view text) { return LowerCase(text, CurrentTextRule()); }
void LowerInPlace(char* bytes, std::size_t count, TextRule rule);
inline void LowerInPlace(char* bytes, std::size_t count) { LowerInPlace(bytes, count, CurrentTextRule()); }

// Lower-cases `text` into `out`, reusing out's storage (no allocation once it
// is large enough).
void LowerInto(std::string_view text, std::string& out, TextRule rule);
inline void LowerInto(std::string_view text, std::string& out) { LowerInto(text, out, CurrentTextRule()); }

// Equality under the lower-casing rule.
bool EqualLowered(std::string_view a, std::string_view b);

// True when `text` is well-formed UTF-8 throughout.
bool IsValidUtf8(std::string_view text);

// Reads `text` as a whole decimal number, sign allowed, into `value`: false
// for anything else (nothing, a trailing byte, a number too large).
bool ParseWholeNumber(std::string_view text, int& value);

// The directory part of a path: up to and including the last '\' or '/' before
// the end or the first '|'. A double quote at the very start is skipped.
// "C:\Data\x.txt" -> "C:\Data\", "C:\Data" -> "C:\", "x.txt" -> "".
std::string PathPart(std::string_view path);

}  // namespace vudo
