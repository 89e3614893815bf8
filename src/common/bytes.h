// Byte-string helpers shared by every subsystem.
//
// All text is 8-bit, in the system's single-byte (ANSI) code page, and is held
// in std::string / std::string_view. A text received from the platform ends at
// its first NUL byte; the helpers here never look past the view they are given.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vudo {

// The lower-casing rule: 0x20 is added to A-Z and to 0xC0-0xDE; every other
// byte stays as it is (so 0xDF and 0x80-0xBF are unchanged).
constexpr unsigned char LowerByte(unsigned char b) {
  return ((b >= 0x41 && b <= 0x5A) || (b >= 0xC0 && b <= 0xDE)) ? static_cast<unsigned char>(b + 0x20) : b;
}

// LowerByte for every byte value, for loops that lower a byte at a time.
inline constexpr std::array<unsigned char, 256> kLowerTable = [] {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = LowerByte(static_cast<unsigned char>(i));
  return t;
}();

std::string LowerCase(std::string_view text);
void LowerInPlace(char* bytes, std::size_t count);

// Lower-cases `text` into `out`, reusing out's storage (no allocation once it
// is large enough).
void LowerInto(std::string_view text, std::string& out);

// Equality under the lower-casing rule.
bool EqualLowered(std::string_view a, std::string_view b);

// The directory part of a path: up to and including the last '\' or '/' before
// the end or the first '|'. A double quote at the very start is skipped.
// "C:\Data\x.txt" -> "C:\Data\", "C:\Data" -> "C:\", "x.txt" -> "".
std::string PathPart(std::string_view path);

}  // namespace vudo
