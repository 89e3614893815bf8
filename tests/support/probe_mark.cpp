#include "support/probe_mark.h"

#include <fstream>

#include "support/window_driving.h"

namespace vudo::testing_windows {

bool ReadMarkLines(const std::string& path, std::vector<std::string>& lines, DWORD milliseconds) {
  const bool read = WaitFor(
      [&] {
        std::ifstream in(path);
        lines.clear();
        for (std::string line; in && std::getline(in, line);) lines.push_back(line);
        return !lines.empty();
      },
      milliseconds);
  DeleteFileA(path.c_str());
  return read;
}

bool ReadProbeMark(const std::string& path, ProbeMark& mark, DWORD milliseconds) {
  std::vector<std::string> lines;
  if (!ReadMarkLines(path, lines, milliseconds) || lines.size() < 2) return false;
  mark.directory = lines[0];
  mark.command_line = lines[1];
  return true;
}

ProbeTree::ProbeTree(const std::string& probe_exe, const std::string& folder)
    : probe(Path(folder + "/probe.exe")), mark(Path("mark.txt")) {
  MakeDir(folder);
  has_probe_ = CopyFileA(probe_exe.c_str(), probe.c_str(), FALSE) != FALSE;
  SetEnvironmentVariableA("VUDO_PROBE_MARK", mark.c_str());
}

ProbeTree::~ProbeTree() { SetEnvironmentVariableA("VUDO_PROBE_MARK", nullptr); }

}  // namespace vudo::testing_windows
