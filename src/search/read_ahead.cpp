// The walk's side of the read-ahead (read_ahead.h): beginning and ending a
// walk, and taking each entry's listing or verdict in the walk's order.
#include "search/read_ahead.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <thread>

#include "platform/path.h"
#include "search/engine.h"
#include "search/read_ahead_pool.h"
#include "search/search_run.h"

namespace vudo::read_ahead {

Pool& ThePool() {
  static Pool pool;
  return pool;
}

namespace {

enum class Taken { kHere, kDone, kEnd };

// Verdicts taken ahead in one go at most, and the entries looked at for them.
constexpr std::size_t kVerdictsAhead = 32;
constexpr std::size_t kLookAhead = 64;

// Under the lock, as the walk takes the verdict for entry `index`: the
// verdicts of the scans after it that are done too, taken now, so that on a
// warm cache the walk takes the lock once for a run of them and not once per
// file. It stops at the first scan not yet done. The entries keep their
// tickets, of tasks gone: they are not asked for again.
void TakeVerdictsAfter(Pool& pool, OpenListing& from, std::size_t index) {
  const auto& entries = from.listing.entries;
  from.verdicts.clear();
  from.next_verdict = 0;
  const std::size_t end = std::min(entries.size(), index + 1 + kLookAhead);
  for (std::size_t i = index + 1; i < end && from.verdicts.size() < kVerdictsAhead; ++i) {
    if (!entries[i].ticket || entries[i].kind != platform::EntryKind::kFile) continue;
    const auto it = pool.tasks.find(entries[i].ticket);
    if (it == pool.tasks.end() || it->second.state != State::kDone || it->second.out_of_memory) return;
    from.verdicts.emplace_back(i, it->second.found);
    pool.tasks.erase(it);
    ++pool.counts.wanted;
  }
}

// Takes the task asked for entry `index` of `from` out of the window, for the
// walk that has come to it. kHere: the walk does the work itself, as none was
// asked for or no worker has taken it yet; kDone: a worker did, and `result`
// holds what it found; kEnd: the walk must end (the run's poll said so while
// it waited for a worker).
//
// A start folder's listing is left to a worker while one may take it: the
// first call that lists a folder can take seconds (Wine reads a directory of
// a million files whole before it returns the first entry), and the walk
// polls its caller while it waits, where it could not while it lists.
Taken Take(SearchRun& run, OpenListing& from, std::size_t index, Task& result) {
  Pool& pool = ThePool();
  std::unique_lock<std::mutex> lock(pool.mutex);
  ++pool.counts.wanted;
  const Ticket ticket = from.listing.entries[index].ticket;
  if (!ticket) {
    // Not to be asked for any more: the walk is there.
    ++pool.counts.unasked;
    if (index >= from.cursor) Settle(pool, from, index + 1);
    return Taken::kHere;
  }
  auto it = pool.tasks.find(ticket);
  if (it == pool.tasks.end()) return Taken::kEnd;
  const bool start_folder = from.path.empty();
  const auto run_here = [&] {
    if (it->second.state != State::kQueued) return false;
    if (start_folder && pool.held_entries < pool.held_bound) return false;
    (it->second.kind == Kind::kList ? pool.lists : pool.scans).erase(it->second.place);
    pool.tasks.erase(it);
    Refill(pool);
    return true;
  };
  if (run_here()) return Taken::kHere;
  // Most tasks a worker runs end within microseconds once the data is
  // cached: a short spin saves the wake-up a sleep would cost on both sides.
  // It watches the count of tasks ended, not the task, so that it does not
  // take the lock the workers need to end them.
  for (int spins = 0; spins < 64 && it->second.state != State::kDone;) {
    const std::uint64_t ended = pool.ended.load(std::memory_order_relaxed);
    lock.unlock();
    while (spins < 64 && pool.ended.load(std::memory_order_relaxed) == ended) {
      std::this_thread::yield();
      ++spins;
    }
    lock.lock();
    it = pool.tasks.find(ticket);
    if (it == pool.tasks.end()) return Taken::kEnd;
  }
  while (it->second.state != State::kDone) {
    ++pool.waiting;
    pool.done.wait_for(lock, std::chrono::milliseconds(2));
    --pool.waiting;
    if (it->second.state == State::kDone) break;
    lock.unlock();
    const bool must_end = run.MustEnd();
    lock.lock();
    if (must_end) return Taken::kEnd;
    it = pool.tasks.find(ticket);  // a poll never ends a walk's tasks, but look again all the same
    if (it == pool.tasks.end()) return Taken::kEnd;
    if (run_here()) return Taken::kHere;
  }
  if (it->second.listing) {
    const bool was_full = pool.held_entries >= pool.held_bound;
    pool.held_entries -= it->second.listing->listing.entries.size();
    if (was_full && pool.held_entries < pool.held_bound && pool.idle > 0) pool.work.notify_all();
  }
  result = std::move(it->second);
  pool.tasks.erase(it);
  if (result.kind == Kind::kScan && !result.out_of_memory) TakeVerdictsAfter(pool, from, index);
  Refill(pool);
  if (result.out_of_memory) throw std::bad_alloc();
  return Taken::kDone;
}

// Marks what the walk will want of a piece it read itself: with a Contains
// text, which files fit (the scans to ask for), and the subdirectories it
// passes over. Then opens it to the window.
void MarkAndOpen(SearchRun& run, const std::shared_ptr<OpenListing>& open) {
  Pool& pool = ThePool();
  std::string skipped;
  MarkEntries(
      open->listing, run.Scans(), [&](const char* name) { return run.NameFits(name); },
      [&](const char* name) {
        if (pool.start.skipped.empty()) return false;
        skipped.assign(open->path).append(name) += platform::kSeparator;
        return pool.start.Skips(skipped, pool.rule);
      },
      [&] { return run.GoesOn(); });
  if (run.Ended()) return;
  const std::lock_guard<std::mutex> lock(pool.mutex);
  Settle(pool, *open, 0);
  Refill(pool);
}

const Listing kNoListing;

}  // namespace

void BeginWalk(const SearchRun& run, Workers workers, const StartFolders& start) {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  pool.start = start;
  pool.pattern = run.Pattern();
  pool.rule = run.Request().rule;
  pool.forms = run.Scans() ? run.Forms() : nullptr;
  pool.pace.Reset(workers.first, workers.most);
  StartActive(pool);
}

void EndWalk(SearchRun* run) {
  Pool& pool = ThePool();
  std::unique_lock<std::mutex> lock(pool.mutex);
  ++pool.epoch;
  pool.live_epoch.store(pool.epoch);
  pool.lists.clear();
  pool.scans.clear();
  for (auto& waiting : pool.open) waiting.second->waits = false;
  pool.open.clear();
  // Workers end their task at the next entry or block; then nothing is open.
  // One inside a system call ends it first.
  ++pool.waiting;
  while (pool.busy > 0) {
    pool.done.wait_for(lock, std::chrono::milliseconds(2));
    if (pool.busy == 0 || !run) continue;
    lock.unlock();
    run->WhileEnding();
    lock.lock();
  }
  --pool.waiting;
  pool.tasks.clear();
  pool.held_entries = 0;
  pool.forms.reset();
  pool.start = StartFolders{};
}

Directory::Directory() = default;

Directory::~Directory() {
  if (!open_) return;
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  Close(pool, *open_);
}

const Listing& Directory::Entries() const { return open_ ? open_->listing : kNoListing; }
const std::string& Directory::Path() const { return open_->path; }

bool Directory::NextPiece(SearchRun& run) {
  Pool& pool = ThePool();
  {
    // No task is left for an entry of the last piece: the walk has taken
    // each. Out of the window, the listing is the walk's alone.
    const std::lock_guard<std::mutex> lock(pool.mutex);
    Withdraw(pool, *open_);
  }
  open_->verdicts.clear();
  open_->next_verdict = 0;
  ReadPiece(open_->listing, listing_piece, [&] { return run.GoesOn(); });
  if (run.Ended() || open_->listing.entries.empty()) return false;
  MarkAndOpen(run, open_);
  return !run.Ended();
}

void Directory::LetGoOfHeld() {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  open_->listing.directory.reset();
}

void OpenStart(Directory& roots, const std::vector<std::string>& folders) {
  auto open = std::make_shared<OpenListing>();
  Listing& listing = open->listing;
  listing.opened = true;
  for (const std::string& folder : folders) {
    const std::string path = WalkStartPath(folder);
    listing.Add(path.c_str(), path.size(), platform::EntryKind::kDirectory);
  }
  roots.open_ = open;
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  Settle(pool, *open, 0);
  Refill(pool);
}

bool Enter(SearchRun& run, Directory& parent, std::size_t entry, Directory& below) {
  OpenListing& from = *parent.open_;
  Task task;
  switch (Take(run, from, entry, task)) {
    case Taken::kEnd: return false;
    case Taken::kDone: below.open_ = std::move(task.listing); return true;
    case Taken::kHere: break;
  }
  auto open = std::make_shared<OpenListing>();
  open->place = from.place;
  open->place.push_back(from.listing.first + static_cast<std::uint32_t>(entry));
  open->path.assign(from.path).append(from.listing.Name(from.listing.entries[entry]));
  if (!platform::IsSeparator(open->path.back())) open->path += platform::kSeparator;
  below.open_ = open;
  if (OpenForListing(open->path, open->listing, run.Scans())) {
    ReadPiece(open->listing, PieceAt(open->place.size() - 1), [&] { return run.GoesOn(); });
    MarkAndOpen(run, open);
  }
  return !run.Ended();
}

bool TakeVerdict(SearchRun& run, Directory& directory, std::size_t entry, int& scanned) {
  OpenListing& from = *directory.open_;
  if (from.next_verdict < from.verdicts.size() && from.verdicts[from.next_verdict].first == entry) {
    scanned = from.verdicts[from.next_verdict++].second;
    return true;
  }
  Task task;
  switch (Take(run, from, entry, task)) {
    case Taken::kEnd: return false;
    case Taken::kDone: scanned = task.found; return true;
    case Taken::kHere: break;
  }
  // Run here, the scan reports an unreadable file itself: 0 then, so that it
  // is not reported twice.
  const std::string path = from.path + from.listing.Name(from.listing.entries[entry]);
  scanned = run.Scan(path, from.listing.directory.get()) ? 1 : 0;
  return true;
}

//--- for tests

int Outstanding() {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  return static_cast<int>(pool.tasks.size());
}

int Busy() {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  return pool.busy;
}

std::size_t HeldEntries() {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  return pool.held_entries;
}

void SetHeldEntriesBound(std::size_t entries) {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  pool.held_bound = entries ? entries : kHeldEntries;
}

void SetWindow(std::size_t tasks) {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  pool.window = tasks ? tasks : kWindow;
}

TakeCounts TakenSince() {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  const TakeCounts counts = pool.counts;
  pool.counts = TakeCounts{};
  return counts;
}

std::size_t Threads() {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  return pool.threads.size();
}

void LimitThreads(std::size_t threads) {
  Pool& pool = ThePool();
  pool.EndThreads();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  pool.thread_limit = threads;
}

}  // namespace vudo::read_ahead
