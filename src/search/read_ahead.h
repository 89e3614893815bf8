// Read-ahead: a small pool of worker threads that lists the directories the
// walk will enter next and, for a Contains search, scans the files whose
// names match, so the disk has requests in flight and every core works while
// the walk keeps its own order.
//
// The words used here and in read_ahead.cpp:
// - task: one listing or one scan asked for ahead of the walk.
// - ticket: the number a task gets when it is queued; the walk asks for the
//   task's result by it. 0 means no task: the walk does that work itself.
// - place: where an entry stands in the walk's order (below); workers take
//   the queued task whose place comes first.
// - verdict: a scan's result, whether the file holds the text.
// - window: the tasks queued or done and not yet taken by the walk, bounded,
//   and so are the open handles and buffers behind them.
// - held: a directory kept open so that its files open by name in it; and
//   the listings done ahead and not yet taken, whose entries are bounded.
// - epoch: counts the walks the pool has served; a task run for an older
//   one is dropped, never handed over.
// - pace: how many workers take tasks at the moment (worker_pace.h).
//
// The walk stays the consumer: it asks for a listing or a verdict by its
// ticket when it comes to that entry, in its own order. A task no worker has
// taken yet the walk runs itself (as it would without workers); for one a
// worker is running it waits, polling the search's caller meanwhile. Past the
// window the walk gets no ticket and does the work itself. The workers never
// call the caller's sink: they get paths and give back listings and verdicts.
// The search's end cancels everything: workers check the epoch between
// entries and between blocks, and EndWalk returns only once each has closed
// what it opened.
#pragma once

#include <cstddef>
#include <cstdint>
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

using Ticket = std::uint32_t;  // 0: none (past the window, or no workers)
// Where an entry stands in the walk's order: the indexes of its directories'
// entries from the start directory down, and its own. The walk comes to
// entries in the order of their places (depth first), and the workers take
// the queued task whose place comes first.
using Place = std::vector<std::uint32_t>;

// Starts a walk's read-ahead for the run's pattern and Contains text (empty:
// listings only). The workers never list ahead the folders `start` skips.
// A walk of several start folders asks for their listings as entries of a
// directory above them all (place {}), the folders' indexes their own.
void BeginWalk(const SearchRun& run, Workers workers, const StartFolders& start);
// What the walk asks for ahead: a directory's listing (the path ending in a
// separator; a worker that lists it also queues the listings of its
// subdirectories and, when there is a Contains text, the scans of its
// matching files), or whether a file holds the Contains text. All of a
// directory's requests go at once, under one lock and with one wake-up of the
// workers; each gets its ticket.
struct Request {
  bool listing;
  std::string path;
  std::uint32_t index;  // the entry's index in its directory
  SharedDirectory directory;  // a scan's, where held
  Ticket ticket = 0;
};
// `directory` is the place of the directory whose entries these are.
void AskAhead(const Place& directory, std::vector<Request>& requests);
// How many requests AskAhead would queue now, at most: none without
// workers, fewer as the window fills. Only the walk takes tasks out of the
// window, so the room does not grow until it takes one.
std::size_t Room();
// Takes a result, in the walk's thread. False when the walk must end (the
// run's poll said so while it waited).
bool TakeListing(SearchRun& run, Ticket ticket, Listing& listing);
// `scanned` is a scan's result (scan_file.h).
bool TakeVerdict(SearchRun& run, Ticket ticket, int& scanned);
// Cancels what is left and waits until no worker holds a file or directory.
void EndWalk();

// For tests: tasks not yet taken by the walk, and workers inside a task.
int Outstanding();
int Busy();
// For tests: the entries of the listings done ahead and not yet taken, and
// their bound (0: the built-in one), past which workers list nothing more.
std::size_t HeldEntries();
void SetHeldEntriesBound(std::size_t entries);
// For tests: the threads the pool has, and how many it may start from none
// (SIZE_MAX: as many as the system gives) before starting one fails as it
// does when the system has no more. Ends the pool's threads first, so not
// during a search.
std::size_t Threads();
void LimitThreads(std::size_t threads);

}  // namespace read_ahead
}  // namespace vudo
