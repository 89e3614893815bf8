// The search engine: a request in, hits out.
//
// A caller describes one search in a SearchRequest and runs it against its
// own SearchSink. The engine walks the tree below each start folder depth
// first, in the order the platform lists entries; tests every file's name
// and, when the request has a Contains text, its content; and hands each hit
// to the sink as its directory and its name. After every directory entry and
// every block of a content scan it calls the sink's Poll, on the caller's
// thread, and every few hundred entries while it reads a directory whole or
// goes over the names of one read whole: that is where the window lets its
// events run and where any caller says that the search must end. Worker
// threads may list directories and scan files ahead of the walk
// (read_ahead.h), but the hits, the polls and every call into the sink come
// from the caller's thread, in the walk's order.
//
// The window (window_walk.h) and the console finder (cli/) are two callers;
// the engine knows neither. It keeps no state between searches but the
// read-ahead's idle threads.
#pragma once

#include <string>
#include <string_view>

#include "common/bytes.h"

namespace vudo {

struct SearchRequest {
  // The start folder as the user gave it, with or without a trailing
  // separator; empty: the root of the current drive ("/" on POSIX). The
  // hits' directories begin with it as it is. Several folders go in one,
  // separated by ';', and are walked in turn, each file once where they
  // overlap (start_folders.h).
  std::string directory;
  // '*' any run of characters, '?' one character, letter case ignored;
  // empty: every file.
  std::string pattern;
  // The text a file must hold, letter case ignored; empty: no condition.
  std::string contains;
  // What a character is and how letter case folds, for names, the pattern
  // and the text alike.
  TextRule rule = CurrentTextRule();
  // Worker threads reading ahead of the walk: 0 what pays off on this system
  // (and, where the system tells, more while they wait for the disk); 1 none,
  // the walk reads everything itself; N exactly N, or up to `most_jobs`
  // while they wait for the disk.
  unsigned jobs = 0;
  unsigned most_jobs = 0;
};

class SearchSink {
 public:
  virtual ~SearchSink() = default;
  // A file that fits the request. `directory` ends in a separator.
  virtual void Hit(std::string_view directory, std::string_view name) = 0;
  // Called after every entry and every block scanned, and every few hundred
  // entries of a directory read or matched whole: handles what is pending,
  // and answers true when the search must end. Once it has, the search ends
  // without another hit or poll.
  virtual bool Poll() = 0;
  // While a search that has ended waits for a worker to let go of what it
  // holds, every few milliseconds: handles what is pending. A worker inside
  // a system call that cannot be cut short (the first listing of a folder of
  // a million files takes seconds under Wine) ends it first. The search has
  // ended: its answer is not asked, and nothing else reaches the sink.
  virtual void WhileEnding() {}
  // A directory the walk could not list (a start folder too), with the
  // platform's reason; the walk passes it over.
  virtual void Unreadable(const std::string& directory, const std::string& reason, bool permission_denied) {
    (void)directory, (void)reason, (void)permission_denied;
  }
  // A file whose name fits but whose content could not be read (it could not
  // be opened): it is no hit.
  virtual void UnreadableFile(std::string_view path) { (void)path; }
};

struct SearchOutcome {
  bool start_listed = false;   // false: no start folder could be listed
  bool ended_by_poll = false;  // the poll ended it
  bool out_of_memory = false;  // memory ran out: it ended there, as if stopped
};

// Runs the whole search; returns once it has ended and no worker holds
// anything open. One search at a time: the read-ahead's workers serve one
// walk, so a search may not be run from inside another's sink, nor from two
// threads at once. Memory that cannot be had (for a listing, a path, a buffer,
// or in the sink's Hit) ends the search there, with every hit before it
// reported; the sink's Poll must not throw.
SearchOutcome RunSearch(const SearchRequest& request, SearchSink& sink);

// Tests one file as the walk does, and hands it to the sink when it is a hit.
// `directory` ends in a separator.
void TestOneFile(const SearchRequest& request, std::string_view directory, std::string_view name, SearchSink& sink);

// The directory path a walk starts from: `directory` with a separator
// appended where it has none; the root for an empty text.
std::string WalkStartPath(std::string_view directory);

}  // namespace vudo
