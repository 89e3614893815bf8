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

ProbeTree::ProbeTree(const std::string& probe_exe, const std::string& folder)
    : probe(Path(folder + "/probe.exe")), mark(Path("mark.txt")) {
  MakeDir(folder);
  has_probe_ = CopyFileA(probe_exe.c_str(), probe.c_str(), FALSE) != FALSE;
  SetEnvironmentVariableA("VUDO_PROBE_MARK", mark.c_str());
}

ProbeTree::~ProbeTree() { SetEnvironmentVariableA("VUDO_PROBE_MARK", nullptr); }

}  // namespace vudo::testing_windows
