#include "platform/locale_number.h"

#include <windows.h>

#include <cstdio>

#include "platform/wide_path.h"

namespace vudo::platform {
namespace {

std::wstring LocaleText(LCTYPE what, const wchar_t* otherwise) {
  wchar_t text[16] = {};
  return GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, text, 16) > 0 ? text : otherwise;
}

// `digits` ("12345.6") as the user's locale writes it, with `decimals` digits
// after its decimal mark.
std::string Formatted(const std::string& digits, int decimals) {
  const std::wstring decimal = LocaleText(LOCALE_SDECIMAL, L"."), thousand = LocaleText(LOCALE_STHOUSAND, L",");
  // "3;0" groups by threes, "3;2;0" three then twos (India): as a number, 3
  // and 32.
  UINT grouping = 0;
  for (const wchar_t c : LocaleText(LOCALE_SGROUPING, L"3;0"))
    if (c >= L'1' && c <= L'9') grouping = grouping * 10 + (c - L'0');
  NUMBERFMTW format{};
  format.NumDigits = static_cast<UINT>(decimals);
  format.LeadingZero = 1;
  format.Grouping = grouping;
  format.lpDecimalSep = const_cast<wchar_t*>(decimal.c_str());
  format.lpThousandSep = const_cast<wchar_t*>(thousand.c_str());
  format.NegativeOrder = 1;
  const std::wstring value(digits.begin(), digits.end());
  wchar_t out[96] = {};
  if (GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, value.c_str(), &format, out, 96) <= 0) return digits;
  return Narrow(out);
}

}  // namespace

std::string LocaleNumber(std::uint64_t value) { return Formatted(std::to_string(value), 0); }

std::string LocaleDecimal(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return Formatted(text, decimals);
}

}  // namespace vudo::platform
