#include "support/probe_mark.h"

#include <fstream>

#include "support/window_driving.h"

namespace vudo::testing_windows {

bool ReadProbeMark(const std::string& path, ProbeMark& mark, DWORD milliseconds) {
  const bool read = WaitFor(
      [&] {
        std::ifstream in(path);
        return in && std::getline(in, mark.directory) && std::getline(in, mark.command_line);
      },
      milliseconds);
  DeleteFileA(path.c_str());
  return read;
}

}  // namespace vudo::testing_windows
