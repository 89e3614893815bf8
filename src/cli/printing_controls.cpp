#include "cli/printing_controls.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "ui/control_layer.h"

namespace vudo {
namespace {

std::map<int, std::string> texts;
std::vector<std::string> recent;  // the list of control 1
std::size_t rows = 0;

// Rows are collected here and written in large pieces, so printing never
// limits the speed of a search.
std::string out;
constexpr std::size_t kFlushAt = 1 << 16;

}  // namespace

namespace cli {
std::size_t RowsPrinted() { return rows; }
void FlushRows() {
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  out.clear();
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
  if (control == kStartDirectoryCombo) {
    if (position < -1) return;
    const auto at = position == -1 || position > static_cast<int>(recent.size()) ? recent.size()
                                                                                  : static_cast<std::size_t>(position);
    recent.insert(recent.begin() + static_cast<std::ptrdiff_t>(at), std::string(text));
    return;
  }
  if (control != kResultList) return;
  // A row is "name \n directory"; the console shows directory then name.
  const std::size_t feed = text.find('\n');
  const std::string_view name = text.substr(0, feed);
  const std::string_view directory = feed == std::string_view::npos ? std::string_view() : text.substr(feed + 1);
  out.append(directory).append(name).append(1, '\n');
  ++rows;
  if (out.size() >= kFlushAt) cli::FlushRows();
}

void ControlItemsClear(int control) {
  if (control == kStartDirectoryCombo) recent.clear();
}

int EventPoll() { return 0; }

}  // namespace vudo
