// A small program that proves it ran: it writes its working directory and its
// command line to the file named by VUDO_PROBE_MARK (or, when that is unset,
// to "launch_probe.mark" beside itself).
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
  char mark[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("VUDO_PROBE_MARK", mark, sizeof mark)) {
    GetModuleFileNameA(nullptr, mark, sizeof mark);
    std::string path = mark;
    path = path.substr(0, path.rfind('\\') + 1) + "launch_probe.mark";
    lstrcpynA(mark, path.c_str(), sizeof mark);
  }
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof directory, directory);
  const std::string temp = std::string(mark) + ".part";
  FILE* out = std::fopen(temp.c_str(), "wb");
  if (!out) return 1;
  std::fprintf(out, "%s\n%s\n", directory, GetCommandLineA());
  std::fclose(out);
  // Renamed into place, so a reader never sees half a mark.
  MoveFileExA(temp.c_str(), mark, MOVEFILE_REPLACE_EXISTING);
  return 0;
}
