#include "search/window_walk.h"

#include <new>
#include <string>

#include "common/control_numbers.h"
#include "common/repaint_pace.h"
#include "search/engine.h"
#include "search/event_pace.h"
#include "search/search_state.h"
#include "search/search_summary.h"
#include "ui/controls/control_seam.h"

namespace vudo {

unsigned WindowSearchJobs = 0;

namespace {

bool start_listed = true;

// Hits become rows of the result list; the poll reads the stop flag and the
// search's generation after every entry and block, and lets the window's
// events run when they are due. The status text beside Start counts the
// rows as they come, at the pace the list repaints, never per row.
SearchTally Running() {
  SearchTally tally;
  tally.running = true;
  return tally;
}

class ResultListSink final : public SearchSink {
 public:
  void Hit(std::string_view directory, std::string_view name) override {
    row_.assign(name).append(1, '\n').append(directory);
    ControlItemAdd(kResultList, kAppend, row_);
    ++tally_.files;
  }
  bool Poll() override {
    if (MustEnd()) return true;
    // Events may stop this search or start a newer one; ending right after
    // them keeps this walk from adding rows after that.
    if (!DrainEventsWhenDue()) return false;
    if (MustEnd()) return true;
    ShowProgressWhenDue();
    return false;
  }
  // A worker still inside the listing of a huge folder after a Stop: the
  // window answers meanwhile. A Start pressed now waits for this walk to
  // unwind (search_control.cpp).
  void WhileEnding() override { DrainEventsWhenDue(); }
  void Unreadable(const std::string& directory, const std::string&, bool) override {
    tally_.NoteUnreadableFolder(directory);
  }
  void UnreadableFile(std::string_view path) override { tally_.NoteUnreadableFile(path); }

  // Once the walk has returned: how it went, unless a newer search has taken
  // the window over meanwhile.
  void ShowOutcome(const SearchOutcome& outcome) {
    if (SearchGeneration != generation_) return;
    tally_.running = false;
    tally_.start_listed = outcome.start_listed;
    tally_.stopped = outcome.out_of_memory || (outcome.ended_by_poll && StopRequested != 0);
    tally_.milliseconds = PaceNow() - started_;
    ControlSetText(kStatusText, SummaryText(tally_));
    ControlSetTip(kStatusText, SummaryDetails(tally_));
  }

 private:
  // A newer search has started when the generation moved on: this walk
  // belongs to the one it replaced.
  bool MustEnd() const {
    return StopRequested != 0 || SearchGeneration != generation_;
  }
  // Right after a drain, by the drain's own reading of the clock: the walk
  // reads it no more often than it did.
  void ShowProgressWhenDue() {
    const std::uint32_t now = LastDrainAt();
    if (now - shown_at_ < kRepaintPaceMs || tally_.files == shown_files_) return;
    shown_at_ = now;
    shown_files_ = tally_.files;
    ControlSetText(kStatusText, SummaryText(tally_));
  }

  const unsigned generation_ = SearchGeneration;
  const std::uint32_t started_ = PaceNow();
  std::uint32_t shown_at_ = started_;
  std::uint64_t shown_files_ = 0;
  SearchTally tally_ = Running();
  std::string row_;
};

SearchRequest RequestFromState(std::string_view directory) {
  SearchRequest request;
  request.directory = directory;
  request.pattern = NamePattern;
  request.contains = ContainsText;
  request.jobs = WindowSearchJobs;
  return request;
}

}  // namespace

bool StartDirectoryListed() { return start_listed; }

void WalkDirectory(std::string_view directory) {
  ControlSetText(kStatusText, "");
  ControlSetTip(kStatusText, "");
  ResultListSink rows;
  const SearchOutcome outcome = RunSearch(RequestFromState(directory), rows);
  start_listed = outcome.start_listed;
  // What the status says is no reason to lose the search's end: memory may
  // still be short after a search that ran out of it.
  try {
    rows.ShowOutcome(outcome);
  } catch (const std::bad_alloc&) {
  }
  // Out of memory, the search ends as a Stop ends it: the rows found so far
  // stay, and the state says it was stopped.
  if (outcome.out_of_memory) StopRequested = 1;
}

void TestFile(std::string_view directory, std::string_view name) {
  ResultListSink rows;
  TestOneFile(RequestFromState(directory), directory, name, rows);
}

}  // namespace vudo
