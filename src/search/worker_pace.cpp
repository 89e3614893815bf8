#include "search/worker_pace.h"

#include <algorithm>

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

}  // namespace vudo
