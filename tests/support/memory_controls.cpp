#include "support/memory_controls.h"

#include <map>

#include "common/control_numbers.h"
#include "common/item_position.h"
#include "search/event_pace.h"
#include "search/window_walk.h"
#include "ui/controls/control_seam.h"

namespace vudo {
namespace {

std::map<int, std::string> texts, tips;
std::vector<std::string> recent, rows;
std::function<void()> on_poll, on_row;
int polls = 0;

}  // namespace

namespace testing_controls {
void Reset() {
  // Tests count on events after every entry and every block, and on one walk
  // reading its own entries.
  SetDrainInterval(0);
  WindowSearchJobs = 1;
  texts.clear();
  tips.clear();
  recent.clear();
  rows.clear();
  on_poll = nullptr;
  on_row = nullptr;
  polls = 0;
}
std::vector<std::string>& Recent() { return recent; }
std::vector<std::string>& Rows() { return rows; }
void SetOnPoll(std::function<void()> hook) { on_poll = std::move(hook); }
int PollCount() { return polls; }
void SetOnRow(std::function<void()> hook) { on_row = std::move(hook); }
std::string Tip(int control) { return tips[control]; }
}  // namespace testing_controls

std::string ControlText(int control) {
  auto it = texts.find(control);
  return it == texts.end() ? std::string() : it->second;
}

void ControlSetText(int control, std::string_view text) { texts[control] = std::string(text); }

int ControlItemCount(int control) {
  if (control == kStartDirectoryCombo) return static_cast<int>(recent.size());
  if (control == kResultList) return static_cast<int>(rows.size());
  return 0;
}

std::string ControlItemText(int control, int item, int column) {
  if (control == kStartDirectoryCombo) {
    if (item < 0 || item >= static_cast<int>(recent.size())) return {};
    return recent[static_cast<std::size_t>(item)];
  }
  if (control == kResultList && item >= 0 && item < static_cast<int>(rows.size())) {
    const std::string& row = rows[static_cast<std::size_t>(item)];
    const std::size_t feed = row.find('\n');
    if (column == 0) return row.substr(0, feed);
    if (column == 1 && feed != std::string::npos) return row.substr(feed + 1);
  }
  return {};
}

void ControlItemAdd(int control, int position, std::string_view text) {
  std::vector<std::string>* list = control == kStartDirectoryCombo ? &recent
                                   : control == kResultList       ? &rows
                                                                  : nullptr;
  if (!list || position < -1) return;
  const std::size_t at = InsertIndex(position, list->size());
  list->insert(list->begin() + static_cast<std::ptrdiff_t>(at), std::string(text));
  if (list == &rows && on_row) on_row();
}

void ControlItemsClear(int control) {
  if (control == kStartDirectoryCombo) recent.clear();
  if (control == kResultList) rows.clear();
}

void ControlSetTip(int control, std::string_view text) { tips[control] = std::string(text); }

int EventPoll() {
  ++polls;
  if (on_poll) {
    auto hook = on_poll;  // the hook may replace itself
    hook();
  }
  return 0;
}

}  // namespace vudo
