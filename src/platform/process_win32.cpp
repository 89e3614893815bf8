#include "platform/process.h"

#include <windows.h>

#include <vector>

#include "platform/wide_path.h"

namespace vudo::platform {

std::string ProgramPath() {
  // Read at any length: a program deep in a tree has a path the 8-bit call's
  // buffer cannot hold. The call fills the buffer to the brim when it is too
  // small.
  std::wstring buffer(MAX_PATH, L'\0');
  DWORD n = 0;
  while ((n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()))) >= buffer.size()) {
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
  if (n == 0) return {};
  bool lossy = false;
  std::string path = Narrow(std::wstring_view(buffer.data(), n), &lossy);
  // A path the active code page cannot spell names no file; better none.
  return lossy ? std::string() : path;
}

std::string CurrentDirectory() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return {};
  std::wstring buffer(size, L'\0');
  const DWORD n = GetCurrentDirectoryW(size, buffer.data());
  if (n == 0 || n >= size) return {};
  bool lossy = false;
  std::string dir = Narrow(std::wstring_view(buffer.data(), n), &lossy);
  if (lossy || dir.empty()) return {};
  if (dir.back() != '\\') dir += '\\';
  return dir;
}

TextRule SystemTextRule() { return GetACP() == CP_UTF8 ? TextRule::kUtf8 : TextRule::kSingleByte; }

std::string FromLegacyCodePage(std::string_view text) {
  // The code page the system would have used without the manifest's request.
  // Wine answers only the older call.
  DWORD code_page = 0;
  const LCTYPE query = LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER;
  auto* answer = reinterpret_cast<LPWSTR>(&code_page);
  const int room = sizeof code_page / sizeof(wchar_t);
  if (!GetLocaleInfoEx(LOCALE_NAME_SYSTEM_DEFAULT, query, answer, room))
    GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, query, answer, room);
  if (code_page == 0 || code_page == CP_UTF8) code_page = 1252;
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(code_page, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::string(text);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), size, wide.data(), length);
  return Narrow(wide);
}

std::string CommandLineText() {
  const char* line = GetCommandLineA();
  return line ? std::string(line) : std::string();
}

}  // namespace vudo::platform
