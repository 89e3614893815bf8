#include "platform/legacy_text.h"

#include <windows.h>

#include "platform/wide_path.h"

namespace vudo::platform {
namespace {

UINT LegacyCodePage() {
  // The code page the system would have used without the manifest's request.
  // Wine answers only the older call.
  static const UINT code_page = [] {
    DWORD number = 0;
    const LCTYPE query = LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER;
    auto* answer = reinterpret_cast<LPWSTR>(&number);
    const int room = sizeof number / sizeof(wchar_t);
    if (!GetLocaleInfoEx(LOCALE_NAME_SYSTEM_DEFAULT, query, answer, room))
      GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, query, answer, room);
    return number == 0 || number == CP_UTF8 ? 1252u : static_cast<UINT>(number);
  }();
  return code_page;
}

}  // namespace

bool LegacyIsSingleByte() {
  CPINFO info{};
  return GetCPInfo(LegacyCodePage(), &info) && info.MaxCharSize == 1;
}

std::u16string LegacyToUtf16(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(LegacyCodePage(), 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::u16string units(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(LegacyCodePage(), 0, text.data(), size, reinterpret_cast<wchar_t*>(units.data()), length);
  return units;
}

bool Utf16ToLegacy(std::u16string_view units, std::string& text) {
  if (units.empty()) {
    text.clear();
    return true;
  }
  const auto* wide = reinterpret_cast<const wchar_t*>(units.data());
  const int size = static_cast<int>(units.size());
  // No "best fit": a character the code page lacks is no look-alike there.
  BOOL defaulted = FALSE;
  const int length =
      WideCharToMultiByte(LegacyCodePage(), WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0, nullptr, &defaulted);
  if (length <= 0 || defaulted) return false;
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(LegacyCodePage(), WC_NO_BEST_FIT_CHARS, wide, size, out.data(), length, nullptr, &defaulted);
  if (defaulted) return false;
  text = std::move(out);
  return true;
}

std::string FromLegacyCodePage(std::string_view text) {
  const std::u16string units = LegacyToUtf16(text);
  if (units.empty()) return std::string(text);
  return Narrow(std::wstring_view(reinterpret_cast<const wchar_t*>(units.data()), units.size()));
}

}  // namespace vudo::platform
