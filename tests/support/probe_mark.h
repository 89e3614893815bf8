// Reading the mark the launch probe leaves when it runs.
#pragma once

#include <windows.h>

#include <string>

namespace vudo::testing_windows {

struct ProbeMark {
  std::string directory;     // the probe's working directory
  std::string command_line;  // as the probe received it
};

// Waits until the mark at `path` can be read whole, then deletes it. The mark
// is visible a moment before it can be opened: the probe's rename holds it
// with delete access until the probe closes that handle, so the read itself is
// what is waited for. False when no readable mark came in time.
bool ReadProbeMark(const std::string& path, ProbeMark& mark, DWORD milliseconds = 15000);

}  // namespace vudo::testing_windows
