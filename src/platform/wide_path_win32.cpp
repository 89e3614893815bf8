#include "platform/wide_path.h"

#include <windows.h>

#include "platform/system_folder.h"

namespace vudo::platform {
namespace {

// Paths from this length on go to the file functions in their extended form:
// the 8-bit functions and the plain wide ones stop at MAX_PATH, and a
// directory's path must leave room for the 8.3 name of an entry (12).
constexpr std::size_t kLongPath = MAX_PATH - 12;

// Calls `fill` with a growing buffer until what it reports fits.
template <class Fill>
std::wstring Grown(Fill fill) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(static_cast<std::size_t>(n) + 1);
  }
}

}  // namespace

namespace {

std::wstring WidenFrom(UINT code_page, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(code_page, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

std::wstring Widen(std::string_view text) { return WidenFrom(CP_ACP, text); }
std::wstring WidenUtf8(std::string_view utf8) { return WidenFrom(CP_UTF8, utf8); }

std::string Narrow(std::wstring_view text, bool* lossy) {
  if (lossy) *lossy = false;
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  // UTF-8 has a form for every character and takes no default-character
  // pointer; a legacy code page reports the characters it cannot hold.
  const bool utf8 = GetACP() == CP_UTF8;
  BOOL defaulted = FALSE;
  BOOL* used_default = utf8 ? nullptr : &defaulted;
  const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, used_default);
  if (length <= 0) return {};
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), size, narrow.data(), length, nullptr, used_default);
  if (lossy) *lossy = defaulted != FALSE;
  return narrow;
}

std::wstring FilePath(const std::string& path) {
  std::wstring wide = UnredirectedPath(Widen(path));
  if (wide.size() < kLongPath || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  std::wstring full = Grown([&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(wide.c_str(), size, buffer, nullptr); });
  if (full.empty()) return wide;
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::string ShellPath(const std::string& path) {
  if (path.size() < MAX_PATH) return path;
  const std::wstring extended = FilePath(path);
  std::wstring brief =
      Grown([&](wchar_t* buffer, DWORD size) { return GetShortPathNameW(extended.c_str(), buffer, size); });
  if (brief.rfind(L"\\\\?\\UNC\\", 0) == 0) brief = L"\\\\" + brief.substr(8);
  else if (brief.rfind(L"\\\\?\\", 0) == 0) brief = brief.substr(4);
  bool lossy = false;
  std::string narrow = Narrow(brief, &lossy);
  if (brief.empty() || narrow.size() >= MAX_PATH || lossy) return {};
  return narrow;
}

}  // namespace vudo::platform
