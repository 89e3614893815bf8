#include "search/worker_pace.h"

#include <algorithm>
#include <thread>

#include "search/read_ahead.h"

namespace vudo {

void WorkerPace::Reset(unsigned first, unsigned most) {
  first_ = first;
  most_ = std::max(first, most);
  active_ = first;
  samples_ = waited_ = quiet_rounds_ = 0;
}

bool WorkerPace::Sample(bool waited) {
  if (!Varies()) return false;
  ++samples_;
  if (waited) ++waited_;
  if (samples_ < kSamples) return false;
  const unsigned before = active_;
  // A quarter of the tasks waiting is the disk setting the pace; none waiting
  // is the processors (a task now and then may wait for a page out of memory
  // on a warm cache).
  quiet_rounds_ = waited_ == 0 ? quiet_rounds_ + 1 : 0;
  if (waited_ * 4 >= samples_) {
    active_ = std::min(most_, active_ * 2);
  } else if (quiet_rounds_ == kQuietRounds) {
    active_ = std::max(first_, active_ / 2);
    quiet_rounds_ = 0;
  }
  samples_ = waited_ = 0;
  return active_ != before;
}

void WorkerPace::Cap(unsigned most) {
  most_ = std::min(most_, most);
  first_ = std::min(first_, most);
  active_ = std::min(active_, most);
}

namespace read_ahead {

Workers WorkersFor(unsigned jobs, unsigned most_jobs) {
  if (jobs > 0) return {jobs, std::max(jobs, most_jobs)};
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  // Twice the cores keep every core busy on a warm cache, where more only
  // take turns (measured here: 8 took 5% longer than 4 on 2 cores; past eight
  // the gain is gone and the memory is not). On a cold one the pool grows
  // while tasks wait for the disk: 16 in flight were quickest here, 32 no
  // quicker. Windows has no count of a thread's waits (platform::ThreadWaits),
  // so its pool keeps its first count (under Wine, where each file call waits
  // for its server, 4 were measured best).
  const unsigned first = std::min(8u, 2 * cores);
#ifdef _WIN32
  return {first, first};
#else
  return {first, std::max(16u, first)};
#endif
}

}  // namespace read_ahead
}  // namespace vudo
