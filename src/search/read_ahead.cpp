#include "search/read_ahead.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "common/bytes.h"
#include "search/event_pace.h"
#include "search/matcher.h"
#include "search/scanner.h"
#include "search/search_state.h"
#include "search/text_finder.h"

namespace vudo {
namespace {

// Tasks ahead of the walk at most: listings and scans together. Each holds at
// most one open handle and one block buffer while it runs, and only the
// workers run tasks, so handles and buffers are bounded by the workers.
constexpr std::size_t kWindow = 256;

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

template <class GoOn>
void ReadListingWhile(const std::string& directory, Listing& listing, GoOn go_on) {
  listing = Listing{};
  platform::DirectoryReader reader;
  listing.opened = reader.Open(directory);
  if (!listing.opened) {
    listing.permission_denied = reader.PermissionDenied();
    listing.error = reader.ErrorText();
    return;
  }
  platform::DirectoryEntry entry;
  while (go_on() && reader.Next(entry))
    if (!IsDotOrDotDot(entry.name)) listing.entries.push_back({entry.name, entry.kind, 0});
}

enum class Kind { kList, kScan };
enum class State { kQueued, kRunning, kDone };

struct Task {
  Task(Kind task_kind, std::string task_path) : kind(task_kind), path(std::move(task_path)) {}
  Kind kind;
  std::string path;
  State state = State::kQueued;
  Listing listing;
  int found = 0;
};

struct Pool {
  std::mutex mutex;
  std::condition_variable work, done;
  std::unordered_map<read_ahead::Ticket, Task> tasks;
  std::deque<read_ahead::Ticket> queue;
  std::vector<std::thread> threads;
  read_ahead::Ticket next = 1;
  unsigned epoch = 0;                // changes when a walk ends: what runs then is dropped
  std::atomic<unsigned> live_epoch{0};  // the same, for scans to read between blocks
  int busy = 0;                      // workers inside a task
  bool quitting = false;
  unsigned generation = 0;           // the search the walk belongs to
  std::string pattern, contains;
  std::shared_ptr<const TextFinder> finder;

  ~Pool() {
    {
      const std::lock_guard<std::mutex> lock(mutex);
      quitting = true;
    }
    work.notify_all();
    for (std::thread& thread : threads) thread.join();
  }
};

Pool& ThePool() {
  static Pool pool;
  return pool;
}

unsigned workers_wanted = 0;

read_ahead::Ticket Queue(Pool& pool, Kind kind, std::string path) {
  if (pool.tasks.size() >= kWindow) return 0;
  read_ahead::Ticket ticket = pool.next++;
  if (ticket == 0) ticket = pool.next++;
  pool.tasks.emplace(ticket, Task(kind, std::move(path)));
  pool.queue.push_back(ticket);
  pool.work.notify_one();
  return ticket;
}

// A worker: takes the oldest queued task, runs it without the lock, and keeps
// its result unless the walk ended meanwhile.
void Work(Pool& pool) {
  std::vector<char> buffer;
  std::unique_ptr<PatternMatcher> matcher;
  unsigned matcher_epoch = ~0u;
  std::string lowered;
  std::unique_lock<std::mutex> lock(pool.mutex);
  for (;;) {
    pool.work.wait(lock, [&] { return pool.quitting || !pool.queue.empty(); });
    if (pool.quitting) return;
    const read_ahead::Ticket ticket = pool.queue.front();
    pool.queue.pop_front();
    const auto it = pool.tasks.find(ticket);
    if (it == pool.tasks.end() || it->second.state != State::kQueued) continue;  // the walk took it
    Task& task = it->second;  // stays in place while busy counts this worker
    task.state = State::kRunning;
    ++pool.busy;
    const unsigned epoch = pool.epoch;
    const std::string path = task.path;
    const auto go_on = [&] { return pool.live_epoch.load(std::memory_order_relaxed) == epoch; };
    if (task.kind == Kind::kScan) {
      const std::shared_ptr<const TextFinder> finder = pool.finder;
      lock.unlock();
      const int found = ScanFile(path, *finder, kScanBlockSize, buffer, go_on);
      if (buffer.size() > (1u << 20)) std::vector<char>().swap(buffer);
      lock.lock();
      task.found = found;
    } else {
      const bool scans = !pool.contains.empty();
      if (scans && matcher_epoch != epoch) {
        matcher = std::make_unique<PatternMatcher>(pool.pattern);
        matcher_epoch = epoch;
      }
      lock.unlock();
      Listing listing;
      ReadListingWhile(path, listing, go_on);
      std::vector<std::size_t> matched;
      if (scans) {
        for (std::size_t i = 0; i < listing.entries.size(); ++i) {
          if (listing.entries[i].kind != platform::EntryKind::kFile) continue;
          LowerInto(listing.entries[i].name, lowered);
          if (matcher->Matches(lowered)) matched.push_back(i);
        }
      }
      lock.lock();
      if (epoch == pool.epoch)
        for (std::size_t i : matched) listing.entries[i].verdict = Queue(pool, Kind::kScan, path + listing.entries[i].name);
      task.listing = std::move(listing);
    }
    task.state = State::kDone;
    --pool.busy;
    pool.done.notify_all();
  }
}

bool WalkMustEnd(unsigned generation) {
  return StopRequested.load(std::memory_order_relaxed) != 0 || SearchGeneration != generation;
}

// Takes the task's result for the walk: runs a task still queued here, waits
// for one a worker runs while events go on. False when the walk must end.
template <class RunHere>
bool Take(read_ahead::Ticket ticket, Task& result, RunHere run_here) {
  Pool& pool = ThePool();
  std::unique_lock<std::mutex> lock(pool.mutex);
  auto it = pool.tasks.find(ticket);
  if (it == pool.tasks.end()) return false;
  if (it->second.state == State::kQueued) {
    result = std::move(it->second);
    pool.tasks.erase(it);  // the queue's entry is skipped
    lock.unlock();
    run_here(result);
    return true;
  }
  const unsigned generation = pool.generation;
  while (it->second.state != State::kDone) {
    pool.done.wait_for(lock, std::chrono::milliseconds(2));
    if (it->second.state == State::kDone) break;
    lock.unlock();
    const bool must_end = WalkMustEnd(generation) || (DrainEventsWhenDue() && WalkMustEnd(generation));
    lock.lock();
    if (must_end) return false;
    it = pool.tasks.find(ticket);  // events never end a walk's tasks, but look again all the same
    if (it == pool.tasks.end()) return false;
  }
  result = std::move(it->second);
  pool.tasks.erase(it);
  return true;
}

}  // namespace

void ReadListing(const std::string& directory, Listing& listing) {
  ReadListingWhile(directory, listing, [] { return true; });
}

void SetReadAheadWorkers(unsigned workers) { workers_wanted = workers; }
unsigned ReadAheadWorkers() { return workers_wanted; }

unsigned DefaultReadAheadWorkers() {
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  // More requests in flight than cores pay off while the disk sets the pace
  // (and under Wine, where each file call waits for its server); past eight
  // the gain is gone and the memory is not.
  return std::min(8u, 2 * cores);
}

namespace read_ahead {

void BeginWalk(const std::string& pattern, const std::string& contains) {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  while (pool.threads.size() < workers_wanted) pool.threads.emplace_back(Work, std::ref(pool));
  pool.generation = SearchGeneration;
  pool.pattern = pattern;
  pool.contains = contains;
  pool.finder = pool.contains.empty() ? nullptr : std::make_shared<const TextFinder>(contains);
}

Ticket ListAhead(const std::string& directory) {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  return pool.threads.empty() ? 0 : Queue(pool, Kind::kList, directory);
}

Ticket ScanAhead(const std::string& file) {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  return pool.threads.empty() || !pool.finder ? 0 : Queue(pool, Kind::kScan, file);
}

bool TakeListing(Ticket ticket, Listing& listing) {
  Task task(Kind::kList, {});
  if (!Take(ticket, task, [](Task& here) { ReadListing(here.path, here.listing); })) return false;
  listing = std::move(task.listing);
  return true;
}

bool TakeVerdict(Ticket ticket, int& found) {
  Task task(Kind::kScan, {});
  if (!Take(ticket, task, [](Task& here) { here.found = FileContainsText(here.path, ContainsText); })) return false;
  found = task.found;
  return true;
}

void EndWalk() {
  Pool& pool = ThePool();
  std::unique_lock<std::mutex> lock(pool.mutex);
  ++pool.epoch;
  pool.live_epoch.store(pool.epoch);
  pool.queue.clear();
  // Workers end their task at the next entry or block; then nothing is open.
  pool.done.wait(lock, [&] { return pool.busy == 0; });
  pool.tasks.clear();
  pool.finder.reset();
}

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

}  // namespace read_ahead
}  // namespace vudo
