// The read-ahead's workers (read_ahead_pool.h): each takes the queued task
// that comes first in the walk's order, runs it without the lock, and keeps
// its result unless the walk ended meanwhile. A listing's worker also
// matches its files' names and opens it to the window, so that its entries
// are asked for in their turn.
#include <chrono>
#include <cstdint>
#include <memory>
#include <new>
#include <system_error>

#include "platform/clock.h"
#include "platform/path.h"
#include "search/matcher.h"
#include "search/read_ahead_pool.h"
#include "search/scan_file.h"

namespace vudo::read_ahead {
namespace {

// How often a worker samples a task for the pace at most: asking the system
// how often a thread waited costs a call, dearer than a task whose data is
// cached, so a warm search samples little and a cold one, whose tasks each
// take about as long as this, nearly every task.
constexpr auto kSampleEvery = std::chrono::milliseconds(1);

bool ListsAllowed(const Pool& pool) { return !pool.lists.empty() && pool.held_entries < pool.held_bound; }
bool WorkQueued(const Pool& pool) { return !pool.scans.empty() || ListsAllowed(pool); }

// The queued task that comes first in the walk's order, of those a worker may
// take now. There is one (WorkQueued).
std::map<Place, Ticket>& NextQueue(Pool& pool) {
  if (!ListsAllowed(pool)) return pool.scans;
  if (pool.scans.empty() || pool.lists.begin()->first < pool.scans.begin()->first) return pool.lists;
  return pool.scans;
}

// Whether a task had to wait for the system, for the pace: sampled now and
// then, where the platform counts a thread's waits (ThreadWaits is -1 where
// it does not, and the pace then never varies).
class WaitSample {
 public:
  WaitSample(const WorkerPace& pace, std::chrono::steady_clock::time_point& last) {
    if (!pace.Varies()) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last < kSampleEvery) return;
    last = now;
    before_ = platform::ThreadWaits();
  }
  bool Taken() const { return before_ >= 0; }
  // Once the task's system calls are done.
  void End() {
    if (before_ >= 0) waited_ = platform::ThreadWaits() > before_;
  }
  bool Waited() const { return waited_; }

 private:
  std::int64_t before_ = -1;
  bool waited_ = false;
};

// What a worker keeps from one task to the next: its scan buffer, and the
// walk's pattern, compiled once per walk.
struct WorkerState {
  std::vector<char> buffer;
  std::unique_ptr<PatternMatcher> matcher;
  unsigned matcher_epoch = ~0u;
  std::string lowered, skipped;
  std::chrono::steady_clock::time_point last_sample;
};

// Lists the task's directory (its first piece), matches its files' names and
// marks the subdirectories the walk passes over; the lock is not held.
std::shared_ptr<OpenListing> List(Pool& pool, const Task& task, WorkerState& state, unsigned epoch) {
  const auto go_on = [&] { return pool.live_epoch.load(std::memory_order_relaxed) == epoch; };
  auto open = std::make_shared<OpenListing>();
  open->place = task.place;
  open->path = task.path;
  if (!OpenForListing(task.path, open->listing, pool.forms != nullptr)) return open;
  // A start folder's place has one index, its own among the start folders.
  ReadPiece(open->listing, PieceAt(open->place.size() - 1), go_on);
  const auto fits = [&](const char* name) {
    LowerInto(name, state.lowered, pool.rule);
    return state.matcher->Matches(state.lowered);
  };
  const auto skips = [&](const char* name) {
    if (pool.start.skipped.empty()) return false;
    state.skipped.assign(task.path).append(name) += platform::kSeparator;
    return pool.start.Skips(state.skipped, pool.rule);
  };
  MarkEntries(open->listing, true, fits, skips, go_on);
  return open;
}

void Work(Pool& pool, unsigned index) {
  WorkerState state;
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
    const Ticket ticket = queue.begin()->second;
    queue.erase(queue.begin());
    const auto it = pool.tasks.find(ticket);
    if (it == pool.tasks.end() || it->second.state != State::kQueued) continue;
    Task& task = it->second;
    task.state = State::kRunning;
    ++pool.busy;
    const unsigned epoch = pool.epoch;
    WaitSample sample(pool.pace, state.last_sample);
    // A task that cannot have its memory is handed over as such; the lock
    // is held again whatever the task was doing when it ran out.
    try {
      if (task.kind == Kind::kScan) {
        const std::shared_ptr<const TextForms> forms = pool.forms;
        const SharedDirectory directory = task.directory;
        lock.unlock();
        const auto go_on = [&] { return pool.live_epoch.load(std::memory_order_relaxed) == epoch; };
        const int found = ScanFile(task.path, directory.get(), *forms, kScanBlockSize, state.buffer, go_on);
        sample.End();
        if (state.buffer.size() > (1u << 20)) std::vector<char>().swap(state.buffer);
        lock.lock();
        task.found = found;
      } else {
        if (state.matcher_epoch != epoch) {
          state.matcher = std::make_unique<PatternMatcher>(pool.pattern, pool.rule);
          state.matcher_epoch = epoch;
        }
        lock.unlock();
        std::shared_ptr<OpenListing> open = List(pool, task, state, epoch);
        sample.End();
        lock.lock();
        if (epoch == pool.epoch) {
          pool.held_entries += open->listing.entries.size();
          Settle(pool, *open, 0);
          Refill(pool);
        }
        task.listing = std::move(open);
      }
    } catch (const std::bad_alloc&) {
      if (!lock.owns_lock()) lock.lock();
      task.listing.reset();
      task.out_of_memory = true;
    }
    task.state = State::kDone;
    --pool.busy;
    if (sample.Taken() && epoch == pool.epoch && pool.pace.Sample(sample.Waited())) StartActive(pool);
    // A wake-up costs a system call: only for someone who waits.
    if (pool.waiting > 0) pool.done.notify_all();
  }
}

}  // namespace

// A thread the system will not start (out of threads or memory) caps the
// pace at the threads there are for the rest of the walk, so that it is not
// asked for again each time the pace grows; with none, nothing is queued and
// the walk does everything itself.
void StartActive(Pool& pool) {
  try {
    while (pool.threads.size() < pool.pace.Active()) {
      if (pool.threads.size() >= pool.thread_limit)
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

void Pool::EndThreads() {
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

}  // namespace vudo::read_ahead
