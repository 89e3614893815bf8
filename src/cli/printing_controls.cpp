#include "cli/printing_controls.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "common/control_numbers.h"
#include "search/search_state.h"
#include "ui/controls/control_seam.h"

namespace vudo {
namespace {

std::map<int, std::string> texts;
std::vector<std::string> recent;  // the list of control 1
std::size_t rows = 0;
char path_end = '\n';

// Paths are collected here and written in large pieces, so printing never
// limits the speed of a search.
std::string out;
constexpr std::size_t kFlushAt = 1 << 16;
std::string output_error;

}  // namespace

namespace cli {
void SetPathEnd(char end) { path_end = end; }
std::size_t RowsPrinted() { return rows; }
const std::string& OutputError() { return output_error; }

bool FlushRows() {
  if (!out.empty() && output_error.empty()) {
    errno = 0;
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
      output_error = errno ? std::strerror(errno) : "write failed";
  }
  out.clear();
  return output_error.empty();
}

void PrintHit(std::string_view directory, std::string_view name) {
  out.append(directory).append(name).append(1, path_end);
  ++rows;
  // Output that cannot be written ends the search: nothing found later could
  // be shown either.
  if (out.size() >= kFlushAt && !FlushRows()) StopRequested = 1;
}
}  // namespace cli

std::string ControlText(int control) { return texts[control]; }
void ControlSetText(int control, std::string_view text) { texts[control] = std::string(text); }

int ControlItemCount(int control) {
  return control == kStartDirectoryCombo ? static_cast<int>(recent.size()) : static_cast<int>(rows);
}

std::string ControlItemText(int control, int item, int) {
  if (control != kStartDirectoryCombo || item < 0 || item >= static_cast<int>(recent.size())) return {};
  return recent[static_cast<std::size_t>(item)];
}

void ControlItemAdd(int control, int position, std::string_view text) {
  if (control != kStartDirectoryCombo || position < -1) return;
  const auto at = position == -1 || position > static_cast<int>(recent.size()) ? recent.size()
                                                                                : static_cast<std::size_t>(position);
  recent.insert(recent.begin() + static_cast<std::ptrdiff_t>(at), std::string(text));
}

void ControlItemsClear(int control) {
  if (control == kStartDirectoryCombo) recent.clear();
}

int EventPoll() { return 0; }

}  // namespace vudo
