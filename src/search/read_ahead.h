// Read-ahead: a small pool of worker threads that lists the directories the
// walk will enter next and, for a Contains search, scans the files whose
// names match, so the disk has requests in flight and every core works while
// the walk keeps its own order.
//
// The words used here and in read_ahead_*.cpp:
// - place: where an entry stands in the walk's order: the indexes of its
//   directories' entries from the list of start folders down, and its own.
//   The walk comes to entries in the order of their places (depth first).
// - open listing: a directory whose entries the walk will come to, listed
//   by a worker ahead of it or by the walk itself, with a cursor at its
//   first entry not yet asked for. The walk's own directory is one, and so
//   is every listing done ahead.
// - task: one listing or one scan asked for ahead of the walk, for an entry
//   of an open listing; its ticket stands in the entry. 0 means none: the
//   walk does that work itself when it comes to the entry.
// - window: the tasks queued, running or done and not yet taken by the
//   walk, bounded. It slides with the walk: whenever there is room, the
//   nearest entries of all open listings not yet asked for are; and the
//   nearest take the place of the farthest still queued, so that the
//   workers always work on what the walk needs next, whatever the tree's
//   shape or however long the walk stands still.
// - verdict: a scan's result, whether the file holds the text.
// - held: the entries of the listings done ahead and not yet entered by the
//   walk, bounded: past the bound the workers list nothing more.
// - epoch: counts the walks the pool has served; a task run for an older
//   one is dropped, never handed over.
// - pace: how many workers take tasks at the moment (worker_pace.h).
//
// The walk stays the consumer: it takes a listing or a verdict by its entry
// when it comes to it, in its own order. A task no worker has taken yet the
// walk runs itself (as it would without workers); for one a worker is
// running it waits, polling the search's caller meanwhile. The workers never
// call the caller's sink: they get paths and give back listings and
// verdicts. The search's end cancels everything: workers check the epoch
// between entries and between blocks, and EndWalk returns only once each has
// closed what it opened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "search/listing.h"

namespace vudo {

class SearchRun;
struct StartFolders;

namespace read_ahead {

// Workers for one walk: `first` at its start, and up to `most` while the
// tasks wait for the disk (worker_pace.h). Fewer than two: none, the walk
// reads everything itself, one entry after the other.
struct Workers {
  unsigned first, most;
};
// A request's jobs (engine.h): 0 is what pays off on this system, from its
// processor count.
Workers WorkersFor(unsigned jobs, unsigned most_jobs);

using Ticket = std::uint32_t;
using Place = std::vector<std::uint32_t>;
struct OpenListing;

// Starts a walk's read-ahead for the run's pattern and Contains text (empty:
// listings only). The workers never list ahead the folders `start` skips.
void BeginWalk(const SearchRun& run, Workers workers, const StartFolders& start);
// Cancels what is left and waits until no worker holds a file or directory,
// calling the run's WhileEnding every few milliseconds meanwhile, where a run
// is given.
void EndWalk(SearchRun* run);

// A directory the walk is in: its listing, open to the pool, which asks for
// its entries ahead of the walk until the walk leaves it.
class Directory {
 public:
  Directory();
  ~Directory();  // the pool asks for none of its entries any more
  Directory(const Directory&) = delete;
  Directory& operator=(const Directory&) = delete;

  const Listing& Entries() const;
  const std::string& Path() const;  // ending in a separator
  // The next piece of the listing, read here, polling the run as it reads;
  // false when there is none or the walk must end.
  bool NextPiece(SearchRun& run);
  // Lets go of the directory held open for its files' scans, once the walk
  // has passed its last such file: a deep walk does not hold one per level.
  void LetGoOfHeld();

 private:
  friend void OpenStart(Directory&, const std::vector<std::string>&);
  friend bool Enter(SearchRun&, Directory&, std::size_t, Directory&);
  friend bool TakeVerdict(SearchRun&, Directory&, std::size_t, int&);
  std::shared_ptr<OpenListing> open_;
};

// The start folders as the entries of a directory above them all, which the
// walk enters in turn (Enter), and whose listings are asked for ahead like
// any other: each folder's places begin with its index.
void OpenStart(Directory& roots, const std::vector<std::string>& folders);
// Enters the subdirectory that is entry `entry` of the current piece of
// `parent`: with the listing a worker read ahead, or one read here. False
// when the walk must end (the run's poll said so while it waited or read).
bool Enter(SearchRun& run, Directory& parent, std::size_t entry, Directory& below);
// Whether the file that is entry `entry` of `directory`'s current piece holds
// the run's text; `scanned` is a scan's result (scan_file.h). False when the
// walk must end.
bool TakeVerdict(SearchRun& run, Directory& directory, std::size_t entry, int& scanned);

// For tests: tasks not yet taken by the walk, and workers inside a task.
int Outstanding();
int Busy();
// For tests: the entries of the listings done ahead and not yet taken, and
// their bound (0: the built-in one), past which workers list nothing more.
std::size_t HeldEntries();
void SetHeldEntriesBound(std::size_t entries);
// For tests: the window's size in tasks (0: the built-in one). Not during a
// search.
void SetWindow(std::size_t tasks);
// For tests: the entries the walk came to that it wanted done (a
// subdirectory's listing, a matching file's scan), and of them those it
// found nothing asked for, since the last call.
struct TakeCounts {
  std::size_t wanted = 0, unasked = 0;
};
TakeCounts TakenSince();
// For tests: the threads the pool has, and how many it may start from none
// (SIZE_MAX: as many as the system gives) before starting one fails as it
// does when the system has no more. Ends the pool's threads first, so not
// during a search.
std::size_t Threads();
void LimitThreads(std::size_t threads);

}  // namespace read_ahead
}  // namespace vudo
