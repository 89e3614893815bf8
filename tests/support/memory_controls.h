// An in-memory control layer for tests: texts by control number, the recent
// list of kStartDirectoryCombo, the rows of kResultList, a hook that runs
// inside EventPoll so that a test can press buttons while a search walks, and
// one that runs after every row added.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vudo::testing_controls {

void Reset();
std::vector<std::string>& Recent();  // items of kStartDirectoryCombo, top first
std::vector<std::string>& Rows();    // result rows as added: name, line feed, directory
// Called once for every EventPoll while it is set; EventPoll then reports
// that nothing more is pending.
void SetOnPoll(std::function<void()> hook);
int PollCount();
void SetOnRow(std::function<void()> hook);
std::string Tip(int control);  // as ControlSetTip left it

}  // namespace vudo::testing_controls
