#include "platform/process.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace vudo::platform {

std::string ProgramPath() {
  std::vector<char> buffer(4096);
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return {};
  return std::string(buffer.data(), static_cast<std::size_t>(n));
}

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  if (!getcwd(buffer.data(), buffer.size())) return {};
  std::string dir(buffer.data());
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

// POSIX has no single command-line text; rebuild one in the form the Windows
// splitter reads, quoting each argument that holds a blank or is empty.
std::string CommandLineText() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string line;
  std::size_t start = 0;
  while (start < raw.size()) {
    std::size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    const std::string arg = raw.substr(start, end - start);
    if (!line.empty()) line += ' ';
    if (arg.empty() || arg.find(' ') != std::string::npos) line += '"' + arg + '"';
    else line += arg;
    start = end + 1;
  }
  return line;
}

TextRule SystemTextRule() { return TextRule::kUtf8; }

}  // namespace vudo::platform
