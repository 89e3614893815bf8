#include "search/read_ahead.h"

#include <algorithm>
#include <cstdint>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "common/bytes.h"
#include "platform/clock.h"
#include "platform/path.h"
#include "search/matcher.h"
#include "search/scan_file.h"
#include "search/search_run.h"
#include "search/start_folders.h"
#include "search/text_forms.h"
#include "search/worker_pace.h"

namespace vudo {
namespace {

// Tasks ahead of the walk at most: listings and scans together. While the
// walk waits for one large file, the workers go on with the small ones after
// it; a window that fills up leaves the disk idle (measured on a cold disk
// here: 1,024 tasks took a quarter longer than 8,192, and more gained
// nothing). A task is a path and a place, or a verdict once done; only the
// workers run tasks, each with at most one open handle and one block buffer,
// so handles and buffers are bounded by the workers.
constexpr std::size_t kWindow = 8192;
// Entries of the listings done ahead and not yet taken by the walk, at most:
// past it the workers list nothing more until the walk catches up, so a tree
// of large directories cannot fill the memory (64 Ki entries are a few MiB).
constexpr std::size_t kHeldEntries = 1 << 16;
std::size_t held_bound = kHeldEntries;  // read and set under the pool's lock

enum class Kind { kList, kScan };
enum class State { kQueued, kRunning, kDone };

struct Task {
  Task(Kind task_kind, std::string task_path, read_ahead::Place task_place = {})
      : kind(task_kind), path(std::move(task_path)), place(std::move(task_place)) {}
  Kind kind;
  std::string path;
  read_ahead::Place place;
  State state = State::kQueued;
  SharedDirectory directory;  // a scan's, where held
  Listing listing;
  int found = 0;
  // Memory could not be had for it: the walk that takes it ends as if it had
  // run out itself.
  bool out_of_memory = false;
};

struct Pool {
  std::mutex mutex;
  std::condition_variable work, done;
  std::condition_variable resume;    // for workers past the active count
  std::unordered_map<read_ahead::Ticket, Task> tasks;
  // Queued tasks, the walk's next first: listings and scans apart, so that
  // scans go on while the listings done ahead are at their bound.
  std::map<read_ahead::Place, read_ahead::Ticket> lists, scans;
  std::size_t held_entries = 0;      // in the listings done and not taken
  std::vector<std::thread> threads;
  WorkerPace pace;                   // how many of them take tasks
  read_ahead::Ticket next = 1;
  unsigned epoch = 0;                // changes when a walk ends: what runs then is dropped
  std::atomic<unsigned> live_epoch{0};  // the same, for scans to read between blocks
  int busy = 0;                      // workers inside a task
  int idle = 0;                      // workers waiting for a task
  int waiting = 0;                   // others waiting for a task to finish
  bool quitting = false;
  std::string pattern, contains;     // the walk's, folded by `rule`
  TextRule rule = TextRule::kUtf8;
  std::shared_ptr<const TextForms> forms;  // the walk's text, or none
  StartFolders start;                // the walk's, for the folders it skips

  ~Pool() { EndThreads(); }

  // Ends every thread, waiting for each without the lock, which it takes to
  // see `quitting`. Not during a walk.
  void EndThreads() {
    std::vector<std::thread> ending;
    {
      const std::lock_guard<std::mutex> lock(mutex);
      quitting = true;
      ending.swap(threads);
    }
    work.notify_all();
    resume.notify_all();
    for (std::thread& thread : ending) thread.join();
    const std::lock_guard<std::mutex> lock(mutex);
    quitting = false;
  }
};

// For tests: the threads the pool may have, past which starting one fails
// as it does when the system has none left.
std::size_t thread_limit = SIZE_MAX;  // read and set under the pool's lock

Pool& ThePool() {
  static Pool pool;
  return pool;
}

void Work(Pool& pool, unsigned index);

// As many threads as the pace lets work, and those past it told to wait or
// to go on.
// A thread the system will not start (out of threads or memory) caps the
// pace at the threads there are for the rest of the walk, so that it is not
// asked for again each time the pace grows; with none, AskAhead queues
// nothing and the walk does everything itself.
void StartActive(Pool& pool) {
  try {
    while (pool.threads.size() < pool.pace.Active()) {
      if (pool.threads.size() >= thread_limit)
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
      pool.threads.emplace_back(Work, std::ref(pool), static_cast<unsigned>(pool.threads.size()));
    }
  } catch (const std::system_error&) {
    pool.pace.Cap(static_cast<unsigned>(pool.threads.size()));
  } catch (const std::bad_alloc&) {
    pool.pace.Cap(static_cast<unsigned>(pool.threads.size()));
  }
  pool.resume.notify_all();
  pool.work.notify_all();
}

// How often a worker samples a task for the pace at most: asking the system
// how often a thread waited costs a call, dearer than a cached task, so a
// warm search samples little and a cold one, whose tasks each take about as
// long as this, nearly every task.
constexpr auto kTimedEvery = std::chrono::milliseconds(1);

bool WindowFull(const Pool& pool) { return pool.tasks.size() >= kWindow; }

read_ahead::Ticket Queue(Pool& pool, Kind kind, std::string path, read_ahead::Place place,
                         const SharedDirectory& directory) {
  if (WindowFull(pool)) return 0;
  read_ahead::Ticket ticket = pool.next++;
  if (ticket == 0) ticket = pool.next++;
  (kind == Kind::kList ? pool.lists : pool.scans).emplace(place, ticket);
  Task& task = pool.tasks.emplace(ticket, Task(kind, std::move(path), std::move(place))).first->second;
  if (kind == Kind::kScan) task.directory = directory;
  return ticket;
}

bool ListsAllowed(const Pool& pool) { return !pool.lists.empty() && pool.held_entries < held_bound; }
bool WorkQueued(const Pool& pool) { return !pool.scans.empty() || ListsAllowed(pool); }

// The queued task that comes first in the walk's order, of those a worker may
// take now. There is one (WorkQueued).
std::map<read_ahead::Place, read_ahead::Ticket>& NextQueue(Pool& pool) {
  if (!ListsAllowed(pool)) return pool.scans;
  if (pool.scans.empty() || pool.lists.begin()->first < pool.scans.begin()->first) return pool.lists;
  return pool.scans;
}

// A worker: takes the oldest queued task, runs it without the lock, and keeps
// its result unless the walk ended meanwhile.
void Work(Pool& pool, unsigned index) {
  std::vector<char> buffer;
  std::unique_ptr<PatternMatcher> matcher;
  unsigned matcher_epoch = ~0u;
  std::string lowered;
  auto last_timed = std::chrono::steady_clock::time_point();
  std::unique_lock<std::mutex> lock(pool.mutex);
  for (;;) {
    if (index >= pool.pace.Active())
      pool.resume.wait(lock, [&] { return pool.quitting || index < pool.pace.Active(); });
    if (!pool.quitting && !WorkQueued(pool)) {
      ++pool.idle;
      pool.work.wait(lock, [&] { return pool.quitting || WorkQueued(pool) || index >= pool.pace.Active(); });
      --pool.idle;
      continue;
    }
    if (pool.quitting) return;
    auto& queue = NextQueue(pool);
    const read_ahead::Ticket ticket = queue.begin()->second;
    queue.erase(queue.begin());
    const auto it = pool.tasks.find(ticket);
    if (it == pool.tasks.end() || it->second.state != State::kQueued) continue;  // the walk took it
    // The task stays in place, its path and place unchanged, while busy
    // counts this worker: they are read without the lock.
    Task& task = it->second;
    task.state = State::kRunning;
    ++pool.busy;
    const unsigned epoch = pool.epoch;
    const std::string& path = task.path;
    const auto go_on = [&] { return pool.live_epoch.load(std::memory_order_relaxed) == epoch; };
    // Now and then, for the pace: whether the task, without the lock, had to
    // wait for the system.
    const bool varies = pool.pace.Varies();
    const auto now = varies ? std::chrono::steady_clock::now() : last_timed;
    const bool timed = varies && now - last_timed >= kTimedEvery;
    if (timed) last_timed = now;
    const std::int64_t waits_before = timed ? platform::ThreadWaits() : -1;
    bool waited = false;
    const auto note_waits = [&] {
      if (waits_before >= 0) waited = platform::ThreadWaits() > waits_before;
    };
    // A task that cannot have its memory is handed over as such; the lock
    // is held again whatever the task was doing when it ran out.
    try {
      if (task.kind == Kind::kScan) {
        const std::shared_ptr<const TextForms> forms = pool.forms;
        const SharedDirectory directory = task.directory;
        lock.unlock();
        const int found = ScanFile(path, directory.get(), *forms, kScanBlockSize, buffer, go_on);
        note_waits();
        if (buffer.size() > (1u << 20)) std::vector<char>().swap(buffer);
        lock.lock();
        task.found = found;
      } else {
        const bool scans = !pool.contains.empty();
        if (matcher_epoch != epoch) {
          matcher = std::make_unique<PatternMatcher>(pool.pattern, pool.rule);
          matcher_epoch = epoch;
        }
        lock.unlock();
        Listing listing;
        ReadListingWhile(path, listing, scans, go_on);
        // Which files match, so the walk need not match them again, and what
        // the walk will want of this directory, queued at once: the scans of
        // the matching files and the listings of the subdirectories.
        std::vector<std::size_t> ahead;
        for (std::size_t i = 0; i < listing.entries.size() && go_on(); ++i) {
          ListedEntry& entry = listing.entries[i];
          if (entry.kind == platform::EntryKind::kDirectory) {
            ahead.push_back(i);
          } else if (entry.kind == platform::EntryKind::kFile) {
            LowerInto(entry.name, lowered, pool.rule);
            entry.match = matcher->Matches(lowered) ? ListedEntry::kMatches : ListedEntry::kFails;
            if (scans && entry.match == ListedEntry::kMatches) ahead.push_back(i);
          }
        }
        note_waits();
        lock.lock();
        if (epoch == pool.epoch && !ahead.empty()) {
          read_ahead::Place entry_place = task.place;
          entry_place.push_back(0);
          for (std::size_t i : ahead) {
            // The rest would be refused too: their paths are not built.
            if (WindowFull(pool)) break;
            ListedEntry& entry = listing.entries[i];
            entry_place.back() = static_cast<std::uint32_t>(i);
            const bool directory = entry.kind == platform::EntryKind::kDirectory;
            std::string entry_path = path + entry.name + (directory ? std::string(1, platform::kSeparator) : "");
            // Walked already as a start folder: the walk passes it over too.
            if (directory && pool.start.Skips(entry_path, pool.rule)) continue;
            entry.ticket = Queue(pool, directory ? Kind::kList : Kind::kScan, std::move(entry_path), entry_place,
                                 listing.directory);
          }
          if (pool.idle > 0) pool.work.notify_all();
        }
        if (epoch == pool.epoch) pool.held_entries += listing.entries.size();
        task.listing = std::move(listing);
      }
    } catch (const std::bad_alloc&) {
      if (!lock.owns_lock()) lock.lock();
      task.listing = Listing{};
      task.out_of_memory = true;
    }
    task.state = State::kDone;
    --pool.busy;
    if (waits_before >= 0 && epoch == pool.epoch && pool.pace.Sample(waited)) StartActive(pool);
    // A wake-up costs a system call: only for someone who waits.
    if (pool.waiting > 0) pool.done.notify_all();
  }
}

// Takes the task's result for the walk: runs a task still queued here, waits
// for one a worker runs while polling the walk's caller. False when the walk
// must end.
template <class RunHere>
bool Take(SearchRun& run, read_ahead::Ticket ticket, Task& result, RunHere run_here) {
  Pool& pool = ThePool();
  std::unique_lock<std::mutex> lock(pool.mutex);
  auto it = pool.tasks.find(ticket);
  if (it == pool.tasks.end()) return false;
  if (it->second.state == State::kQueued) {
    (it->second.kind == Kind::kList ? pool.lists : pool.scans).erase(it->second.place);
    result = std::move(it->second);
    pool.tasks.erase(it);
    lock.unlock();
    run_here(result);
    return true;
  }
  // Most tasks a worker runs end within microseconds once the data is
  // cached: a short spin saves the wake-up a sleep would cost on both sides.
  for (int spin = 0; spin < 64 && it->second.state != State::kDone; ++spin) {
    lock.unlock();
    std::this_thread::yield();
    lock.lock();
    it = pool.tasks.find(ticket);
    if (it == pool.tasks.end()) return false;
  }
  while (it->second.state != State::kDone) {
    ++pool.waiting;
    pool.done.wait_for(lock, std::chrono::milliseconds(2));
    --pool.waiting;
    if (it->second.state == State::kDone) break;
    lock.unlock();
    const bool must_end = run.MustEnd();
    lock.lock();
    if (must_end) return false;
    it = pool.tasks.find(ticket);  // a poll never ends a walk's tasks, but look again all the same
    if (it == pool.tasks.end()) return false;
  }
  if (it->second.kind == Kind::kList) {
    const bool was_full = pool.held_entries >= held_bound;
    pool.held_entries -= it->second.listing.entries.size();
    if (was_full && pool.held_entries < held_bound && pool.idle > 0) pool.work.notify_all();
  }
  result = std::move(it->second);
  pool.tasks.erase(it);
  if (result.out_of_memory) throw std::bad_alloc();
  return true;
}

}  // namespace

namespace read_ahead {

Workers WorkersFor(unsigned jobs, unsigned most_jobs) {
  if (jobs > 0) return {jobs, std::max(jobs, most_jobs)};
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  // Twice the cores keep every core busy on a warm cache, where more only
  // take turns (measured here: 8 took 5% longer than 4 on 2 cores; past eight
  // the gain is gone and the memory is not). On a cold one the pool grows
  // while tasks wait for the disk: 16 in flight were quickest here, 32 no
  // quicker. Windows counts a thread's processor time too coarsely to tell
  // waiting from working, so its pool keeps its first count (under Wine,
  // where each file call waits for its server, 4 were measured best).
  const unsigned first = std::min(8u, 2 * cores);
#ifdef _WIN32
  return {first, first};
#else
  return {first, std::max(16u, first)};
#endif
}

void BeginWalk(const SearchRun& run, Workers workers, const StartFolders& start) {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  pool.start = start;
  pool.pace.Reset(workers.first, workers.most);
  StartActive(pool);
  pool.pattern = run.Pattern();
  pool.contains = run.Contains();
  pool.rule = run.Request().rule;
  pool.forms = pool.contains.empty() ? nullptr : run.Forms();
}

void AskAhead(const Place& directory, std::vector<Request>& requests) {
  if (requests.empty()) return;
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  if (pool.threads.empty()) return;
  Place place = directory;
  place.push_back(0);
  for (Request& request : requests) {
    if (!request.listing && !pool.forms) continue;
    place.back() = request.index;
    request.ticket =
        Queue(pool, request.listing ? Kind::kList : Kind::kScan, std::move(request.path), place, request.directory);
  }
  if (pool.idle > 0) pool.work.notify_all();
}

bool TakeListing(SearchRun& run, Ticket ticket, Listing& listing) {
  Task task(Kind::kList, {});
  if (!Take(run, ticket, task, [&](Task& here) { run.List(here.path, here.listing, run.Scans()); }))
    return false;
  listing = std::move(task.listing);
  return !run.Ended();
}

bool TakeVerdict(SearchRun& run, Ticket ticket, int& found) {
  Task task(Kind::kScan, {});
  // Run here, the scan reports an unreadable file itself: 0 then, so that it
  // is not reported twice.
  if (!Take(run, ticket, task, [&](Task& here) { here.found = run.Scan(here.path, here.directory.get()) ? 1 : 0; }))
    return false;
  found = task.found;
  return true;
}

void EndWalk() {
  Pool& pool = ThePool();
  std::unique_lock<std::mutex> lock(pool.mutex);
  ++pool.epoch;
  pool.live_epoch.store(pool.epoch);
  pool.lists.clear();
  pool.scans.clear();
  // Workers end their task at the next entry or block; then nothing is open.
  ++pool.waiting;
  pool.done.wait(lock, [&] { return pool.busy == 0; });
  --pool.waiting;
  pool.tasks.clear();
  pool.held_entries = 0;
  pool.forms.reset();
  pool.start = StartFolders{};
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

std::size_t HeldEntries() {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  return pool.held_entries;
}

std::size_t Room() {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  return pool.threads.empty() ? 0 : kWindow - std::min(kWindow, pool.tasks.size());
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
  thread_limit = threads;
}

void SetHeldEntriesBound(std::size_t entries) {
  Pool& pool = ThePool();
  const std::lock_guard<std::mutex> lock(pool.mutex);
  held_bound = entries ? entries : kHeldEntries;
}

}  // namespace read_ahead
}  // namespace vudo
