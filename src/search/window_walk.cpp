#include "search/window_walk.h"

#include <string>

#include "common/control_numbers.h"
#include "search/engine.h"
#include "search/event_pace.h"
#include "search/search_state.h"
#include "ui/controls/control_seam.h"

namespace vudo {

unsigned WindowSearchJobs = 0;

namespace {

bool start_listed = true;

// Hits become rows of the result list; the poll reads the stop flag and the
// search's generation after every entry and block, and lets the window's
// events run when they are due.
class ResultListSink final : public SearchSink {
 public:
  void Hit(std::string_view directory, std::string_view name) override {
    row_.assign(name).append(1, '\n').append(directory);
    ControlItemAdd(kResultList, kAppend, row_);
  }
  bool Poll() override {
    if (MustEnd()) return true;
    // Events may stop this search or start a newer one; ending right after
    // them keeps this walk from adding rows after that.
    return DrainEventsWhenDue() && MustEnd();
  }

 private:
  // A newer search has started when the generation moved on: this walk
  // belongs to the one it replaced.
  bool MustEnd() const {
    return StopRequested != 0 || SearchGeneration != generation_;
  }

  const unsigned generation_ = SearchGeneration;
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
  ResultListSink rows;
  const SearchOutcome outcome = RunSearch(RequestFromState(directory), rows);
  start_listed = outcome.start_listed;
  // Out of memory, the search ends as a Stop ends it: the rows found so far
  // stay, and the state says it was stopped.
  if (outcome.out_of_memory) StopRequested = 1;
}

void TestFile(std::string_view directory, std::string_view name) {
  ResultListSink rows;
  TestOneFile(RequestFromState(directory), directory, name, rows);
}

}  // namespace vudo
