// Text in the system's legacy 8-bit code page: the one Windows would give the
// program without its request for UTF-8 (Windows-1252 in the west), in which
// older files and settings were written. On POSIX it is Windows-1252.
#pragma once

#include <string>
#include <string_view>

namespace vudo::platform {

// Whether the legacy code page writes every character in one byte (the
// western, Cyrillic, Greek ones do; the East Asian ones do not).
bool LegacyIsSingleByte();
// Legacy text as UTF-16 code units.
std::u16string LegacyToUtf16(std::string_view text);
// UTF-16 code units as legacy text; false when a character has no form there
// (and would otherwise become '?').
bool Utf16ToLegacy(std::u16string_view units, std::string& text);

// Legacy text (a settings file of an earlier build, say) in the form of the
// active code page.
std::string FromLegacyCodePage(std::string_view text);

}  // namespace vudo::platform
