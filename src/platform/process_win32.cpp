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

std::string CommandLineText() {
  const char* line = GetCommandLineA();
  return line ? std::string(line) : std::string();
}

}  // namespace vudo::platform
