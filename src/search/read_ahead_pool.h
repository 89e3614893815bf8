// The read-ahead's pool (read_ahead.h): its state, and the functions its
// three files share: read_ahead_window.cpp (what is queued, in what order,
// and what gives way), read_ahead_worker.cpp (the workers) and
// read_ahead.cpp (the walk's side).
//
// The rules.
// - One mutex guards the pool: the tasks and their queues, the open
//   listings' cursors and places in `open`, their entries' tickets, and the
//   counts. Nothing is read or written under it that can wait for the disk.
// - A worker runs its tasks (a run of them, read_ahead_worker.cpp) without
//   the lock. While they are running, they stay in `tasks` with their paths
//   and places unchanged (only the walk takes a task out, and it waits for
//   a running one; nothing displaces one), so the worker reads them and
//   writes their results into them without the lock; it marks them done
//   under the lock, and no one reads a result before. A listing it reads is
//   its own until then, and so are the names it matches and the
//   subdirectories it marks as passed over.
// - An open listing's entries, names and held directory are written only
//   while no other thread can see them: by the one that reads a piece,
//   before it puts the listing into `open`, or by the walk between pieces,
//   when no task is left for an entry of the last one and the listing is out
//   of `open`. Its entries' tickets and its cursor change only under the
//   lock, while the walk goes through the piece.
// - The search's pattern, text and start folders are set by BeginWalk and
//   cleared by EndWalk, each under the lock and while no worker is busy, so
//   a busy worker reads them without it.
// - Three condition variables: `work` wakes idle workers when a task is
//   queued, a listing's bound frees up, or the pool quits; `done` wakes the
//   walk or EndWalk when a task ends (only when someone waits: a wake-up is
//   a system call); `resume` wakes workers past the active count when the
//   pace lets more work.
// - Cancellation is a flag plus a generation: `epoch` (under the lock) and
//   `live_epoch` (the same, atomic, for a worker to read between entries and
//   blocks without the lock). EndWalk moves both on; a worker whose task
//   began in an older epoch stops at its next entry or block, and its result
//   is dropped. EndWalk returns once `busy` is 0, so nothing is left open.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/bytes.h"
#include "search/listing.h"
#include "search/read_ahead.h"
#include "search/start_folders.h"
#include "search/text_forms.h"
#include "search/worker_pace.h"

namespace vudo::read_ahead {

struct OpenListing : std::enable_shared_from_this<OpenListing> {
  Place place;       // the directory's; an entry's extends it by its index
  std::string path;  // ending in a separator; empty above the start folders, whose names are their paths
  Listing listing;
  // Under the lock:
  std::size_t cursor = 0;  // the first entry of the piece neither asked for nor passed by the walk
  Place next;              // its key in Pool::open while `waits`: the cursor's place
  bool waits = false;      // in Pool::open: it has entries to ask for
  bool closed = false;     // the walk left it
  // The walk's alone: verdicts of this piece's entries it took ahead of
  // coming to them, in the entries' order, as (entry, scan's result), from
  // the one at `next_verdict` on.
  std::vector<std::pair<std::size_t, int>> verdicts;
  std::size_t next_verdict = 0;
};

enum class Kind { kList, kScan };
enum class State { kQueued, kRunning, kDone };

struct Task {
  Kind kind = Kind::kScan;
  State state = State::kQueued;
  std::string path;
  Place place;
  std::shared_ptr<OpenListing> owner;  // the listing whose entry it is for
  std::size_t entry = 0;               // that entry, in the owner's piece
  SharedDirectory directory;           // a scan's, where held
  std::shared_ptr<OpenListing> listing;  // a listing's result
  int found = 0;                       // a scan's result (scan_file.h)
  // Memory could not be had for it: the walk that takes it ends as if it had
  // run out itself.
  bool out_of_memory = false;
};

// Tasks in the window at most. While the walk waits for one large file, the
// workers go on with the small ones after it; a window that fills up leaves
// the disk idle (measured on a cold disk here: 1,024 tasks took a quarter
// longer than 8,192, and more gained nothing). A task is a path and a place,
// or a verdict or a listing's piece once done; only the workers run tasks,
// each with at most one open handle and one block buffer.
inline constexpr std::size_t kWindow = 8192;
// Entries of the listings done ahead and not yet entered by the walk, at
// most: past it the workers list nothing more until the walk catches up, so
// a tree of large directories cannot fill the memory (64 Ki entries and
// their names are a few MiB).
inline constexpr std::size_t kHeldEntries = 1 << 16;

struct Pool {
  std::mutex mutex;
  std::condition_variable work, done, resume;
  std::unordered_map<Ticket, Task> tasks;  // the window
  // Queued tasks by place, the walk's next first: listings and scans apart,
  // so that scans go on while the listings done ahead are at their bound.
  std::map<Place, Ticket> lists, scans;
  // Open listings with entries still to ask for, by the place of the first.
  std::map<Place, std::shared_ptr<OpenListing>> open;
  std::size_t window = kWindow;
  std::size_t held_entries = 0, held_bound = kHeldEntries;
  std::vector<std::thread> threads;
  std::size_t thread_limit = SIZE_MAX;  // for tests: starts past it fail
  WorkerPace pace;                      // how many threads take tasks
  Ticket next = 1;
  unsigned epoch = 0;
  std::atomic<unsigned> live_epoch{0};
  // Tasks ended so far, written under the lock: the walk watches it without
  // the lock while it spins for a task a worker is about to end.
  std::atomic<std::uint64_t> ended{0};
  int busy = 0;     // workers inside a task
  int idle = 0;     // workers waiting for a task
  int waiting = 0;  // others waiting for a task to end
  bool quitting = false;
  std::string pattern;  // the walk's, folded by `rule`
  TextRule rule = TextRule::kUtf8;
  std::shared_ptr<const TextForms> forms;  // the walk's text, or none: listings only
  StartFolders start;                      // the walk's, for the folders it skips
  TakeCounts counts;

  ~Pool() { EndThreads(); }
  // Ends every thread, waiting for each without the lock. Not during a walk.
  void EndThreads();
};

Pool& ThePool();

// read_ahead_window.cpp, under the lock.
// Moves the listing's cursor to its first entry at or after `from` still to
// ask for, and the listing to that entry's place in `open`, or out of it.
void Settle(Pool& pool, OpenListing& listing, std::size_t from);
// Asks for the nearest entries not yet asked for while the window has room,
// and in place of the farthest tasks still queued while those lie beyond.
void Refill(Pool& pool);
// Takes the listing out of `open` until it is settled again.
void Withdraw(Pool& pool, OpenListing& listing);
// Leaves the listing: none of its entries is asked for any more.
void Close(Pool& pool, OpenListing& listing);

// read_ahead_worker.cpp, under the lock: as many threads as the pace lets
// work, started, and those past it told to wait or to go on.
void StartActive(Pool& pool);

}  // namespace vudo::read_ahead
