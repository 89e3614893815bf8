// One search as it runs: what the walk (walk.cpp), the scans it runs itself
// and the read-ahead's hand-over (read_ahead.cpp) share. The request's
// pattern and text are folded by its rule and compiled once; the sink is
// polled through MustEnd, which remembers that the search has ended, so that
// nothing reaches the sink after that.
#pragma once

#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "search/engine.h"
#include "search/matcher.h"
#include "search/text_forms.h"

namespace vudo {
namespace platform {
class DirectoryHandle;
}

class SearchRun {
 public:
  SearchRun(const SearchRequest& request, SearchSink& sink);
  SearchRun(const SearchRun&) = delete;
  SearchRun& operator=(const SearchRun&) = delete;

  const SearchRequest& Request() const { return request_; }
  const std::string& Pattern() const { return pattern_; }  // folded
  const std::string& Contains() const { return contains_; }  // folded; empty: names only
  bool Scans() const { return !contains_.empty(); }
  const std::shared_ptr<const TextForms>& Forms() const { return forms_; }

  // Whether a file name, as listed, fits the pattern.
  bool NameFits(std::string_view name);
  // Whether the file holds the Contains text (not when it cannot be opened,
  // or the search ended during the scan). Polls after every block.
  bool Scan(const std::string& path, const platform::DirectoryHandle* directory);
  // A scan's result (scan_file.h) as a verdict; a file that could not be
  // opened is reported to the sink.
  bool Verdict(int scanned, std::string_view path);

  // Polls the sink unless the search has ended already; true once it has.
  bool MustEnd();
  // For a loop over a directory's entries on the walk's thread that polls
  // no other way (a listing read whole, the matching of its names): polls
  // once every kEntriesPerPoll calls, so that a directory of a million
  // entries neither freezes the window nor outlasts a Stop. False once the
  // search has ended.
  static constexpr unsigned kEntriesPerPoll = 256;
  bool GoesOn() { return !ended_ && (++entries_since_poll_ < kEntriesPerPoll || !PollNow()); }
  bool Ended() const { return ended_; }
  // The sink's WhileEnding, which may run out of memory as it handles what
  // is pending: the search ends all the same.
  void WhileEnding() noexcept {
    try {
      sink_.WhileEnding();
    } catch (const std::bad_alloc&) {
    }
  }
  void Hit(std::string_view directory, std::string_view name) {
    if (!ended_) sink_.Hit(directory, name);
  }
  void Unreadable(const std::string& directory, const std::string& reason, bool permission_denied) {
    sink_.Unreadable(directory, reason, permission_denied);
  }

 private:
  bool PollNow() {
    entries_since_poll_ = 0;
    return MustEnd();
  }

  SearchRequest request_;
  SearchSink& sink_;
  std::string pattern_, contains_;
  PatternMatcher matcher_;
  std::shared_ptr<const TextForms> forms_;  // shared with the read-ahead's workers
  bool ended_ = false;
  unsigned entries_since_poll_ = 0;
  std::string lowered_;       // a name being matched
  std::vector<char> buffer_;  // the walk's scan buffer, kept from one file to the next
};

}  // namespace vudo
