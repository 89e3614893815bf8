// The read-ahead's workers (read_ahead_pool.h): each takes the queued task
// that comes first in the walk's order (with the scans after it, a run),
// runs them without the lock, and keeps their results unless the walk ended
// meanwhile. A listing's worker also matches its files' names and opens it
// to the window, so that its entries are asked for in their turn.
#include <algorithm>
#include <array>
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

// A worker takes a run of scans at once, up to this many: on a warm cache a
// scan takes microseconds, and a lock taken twice for each becomes what the
// threads wait for. A run that takes longer than its budget hands back what
// it has not begun, and the next is shorter: on a cold disk, where each scan
// waits for it, runs are of one task and every scan is in flight on its own.
constexpr std::size_t kLongestRun = 16;
constexpr auto kRunBudget = std::chrono::microseconds(200);

// What a worker keeps from one task to the next: its scan buffer, the walk's
// pattern, compiled once per walk, and how long a run it takes.
struct WorkerState {
  std::vector<char> buffer;
  std::unique_ptr<PatternMatcher> matcher;
  unsigned matcher_epoch = ~0u;
  std::string lowered, skipped;
  std::chrono::steady_clock::time_point last_sample;
  std::size_t run_length = 1;
  // The run: its tasks, and their nodes out of the queue, kept so that
  // handing a task back takes no memory.
  std::array<Task*, kLongestRun> run{};
  std::array<std::map<Place, Ticket>::node_type, kLongestRun> queued;
  std::size_t run_size = 0;
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

// Under the lock: the queued tasks the worker runs next, marked running. The
// first in the walk's order; after a scan, the scans that follow it, up to
// the worker's run length and its share of the queue, so that the other
// workers have theirs.
void TakeRun(Pool& pool, WorkerState& state) {
  state.run_size = 0;
  const std::size_t share = std::max<std::size_t>(1, pool.scans.size() / std::max(1u, pool.pace.Active()));
  while (WorkQueued(pool) && state.run_size < std::min(state.run_length, share)) {
    auto& queue = NextQueue(pool);
    if (state.run_size > 0 && &queue != &pool.scans) break;
    auto node = queue.extract(queue.begin());
    const auto it = pool.tasks.find(node.mapped());
    if (it == pool.tasks.end() || it->second.state != State::kQueued) continue;
    it->second.state = State::kRunning;
    state.run[state.run_size] = &it->second;
    state.queued[state.run_size++] = std::move(node);
    if (it->second.kind == Kind::kList) break;
  }
}

// Runs the tasks of the run in order without the lock, until its budget is
// spent; each result stays in its task. Returns how many ran.
std::size_t RunTasks(Pool& pool, WorkerState& state, const TextForms* forms, unsigned epoch) {
  const auto go_on = [&] { return pool.live_epoch.load(std::memory_order_relaxed) == epoch; };
  const auto began = std::chrono::steady_clock::now();
  std::size_t ran = 0;
  for (; ran < state.run_size; ++ran) {
    if (ran > 0 && (!go_on() || std::chrono::steady_clock::now() - began > kRunBudget)) break;
    Task& task = *state.run[ran];
    // A task that cannot have its memory is handed over as such.
    try {
      if (task.kind == Kind::kScan) {
        task.found = ScanFile(task.path, task.directory.get(), *forms, kScanBlockSize, state.buffer, go_on);
        if (state.buffer.size() > (1u << 20)) std::vector<char>().swap(state.buffer);
      } else {
        // The pattern, as the walk's, is read without the lock while busy.
        if (state.matcher_epoch != epoch) {
          state.matcher = std::make_unique<PatternMatcher>(pool.pattern, pool.rule);
          state.matcher_epoch = epoch;
        }
        task.listing = List(pool, task, state, epoch);
      }
    } catch (const std::bad_alloc&) {
      task.listing.reset();
      task.out_of_memory = true;
    }
  }
  const bool quick = ran == state.run_size && std::chrono::steady_clock::now() - began <= kRunBudget;
  state.run_length = quick ? std::min(kLongestRun, state.run_length * 2) : 1;
  return ran;
}

// Under the lock: hands back the run's results, and the tasks it did not
// begin to the queue, where the walk or a worker takes them in their turn.
void EndRun(Pool& pool, WorkerState& state, std::size_t ran, unsigned epoch) {
  const bool live = epoch == pool.epoch;
  for (std::size_t i = 0; i < state.run_size; ++i) {
    Task& task = *state.run[i];
    auto node = std::move(state.queued[i]);
    if (i >= ran) {
      task.state = State::kQueued;
      if (live) (task.kind == Kind::kList ? pool.lists : pool.scans).insert(std::move(node));
      continue;
    }
    // A listing opens to the window, and its entries are asked for.
    if (live && task.listing) {
      try {
        Settle(pool, *task.listing, 0);
        Refill(pool);
        pool.held_entries += task.listing->listing.entries.size();
      } catch (const std::bad_alloc&) {
        task.listing.reset();
        task.out_of_memory = true;
      }
    }
    task.state = State::kDone;
  }
  pool.ended.fetch_add(ran, std::memory_order_relaxed);
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
    TakeRun(pool, state);
    if (state.run_size == 0) continue;
    ++pool.busy;
    const unsigned epoch = pool.epoch;
    const std::shared_ptr<const TextForms> forms = pool.forms;
    WaitSample sample(pool.pace, state.last_sample);
    lock.unlock();
    const std::size_t ran = RunTasks(pool, state, forms.get(), epoch);
    sample.End();
    lock.lock();
    EndRun(pool, state, ran, epoch);
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
