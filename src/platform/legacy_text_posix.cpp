#include "platform/legacy_text.h"

#include "common/utf16.h"

namespace vudo::platform {
namespace {

// Windows-1252 at 0x80-0x9F; the rest is Latin-1. The five bytes it leaves
// undefined stand for the control characters of the same number, as Windows
// reads them.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t Decode(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b; }

}  // namespace

bool LegacyIsSingleByte() { return true; }

std::u16string LegacyToUtf16(std::string_view text) {
  std::u16string units;
  units.reserve(text.size());
  for (char c : text) units += Decode(static_cast<unsigned char>(c));
  return units;
}

bool Utf16ToLegacy(std::u16string_view units, std::string& text) {
  std::string out;
  out.reserve(units.size());
  for (char16_t unit : units) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
      out += static_cast<char>(unit);
      continue;
    }
    int b = 0x80;
    while (b < 0xA0 && kHigh[b - 0x80] != unit) ++b;
    if (b == 0xA0) return false;
    out += static_cast<char>(b);
  }
  text = std::move(out);
  return true;
}

std::string FromLegacyCodePage(std::string_view text) { return Utf16ToUtf8(LegacyToUtf16(text)); }

}  // namespace vudo::platform
