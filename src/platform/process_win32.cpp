#include "platform/process.h"

#include <windows.h>

#include <vector>

namespace vudo::platform {

std::string ProgramPath() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return std::string(buffer, n);
}

std::string CurrentDirectory() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetCurrentDirectoryA(MAX_PATH, buffer);
  if (n == 0 || n >= MAX_PATH) return {};
  std::string dir(buffer, n);
  if (dir.back() != '\\') dir += '\\';
  return dir;
}

std::string CommandLineText() {
  const char* line = GetCommandLineA();
  return line ? std::string(line) : std::string();
}

}  // namespace vudo::platform
