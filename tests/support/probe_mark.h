// Reading the mark the launch probe leaves when it runs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/temp_tree.h"

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
// The same for a mark of any number of lines (at least one), read whole.
bool ReadMarkLines(const std::string& path, std::vector<std::string>& lines, DWORD milliseconds = 15000);

// A temporary tree holding a copy of the launch probe as `folder`\probe.exe,
// with the probe told (through VUDO_PROBE_MARK, which programs started from
// here pass on) to leave its mark in the tree, for as long as the tree lives.
class ProbeTree : public testing_tree::TempTree {
 public:
  ProbeTree(const std::string& probe_exe, const std::string& folder);
  ~ProbeTree();

  bool HasProbe() const { return has_probe_; }
  const std::string probe;  // the copy's full path
  const std::string mark;   // where the probe leaves its mark

 private:
  bool has_probe_ = false;
};

}  // namespace vudo::testing_windows
