// UTF-16, for the content of files saved in it: conversion from and to UTF-8
// and the lower-casing rule for its code units.
#pragma once

#include <string>
#include <string_view>

namespace vudo {

// `utf8` as UTF-16 code units (a character past U+FFFF as its surrogate
// pair); false, with `units` unchanged, when `utf8` is not well-formed.
bool Utf8ToUtf16(std::string_view utf8, std::u16string& units);
// UTF-16 code units as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units);

// The lower-casing rule for one code unit: A-Z and U+00C0-U+00DE but U+00D7
// take their small forms, as they do in 8-bit text.
constexpr char16_t LowerUnit(char16_t unit) {
  return ((unit >= 0x41 && unit <= 0x5A) || (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7))
             ? static_cast<char16_t>(unit + 0x20)
             : unit;
}

}  // namespace vudo
