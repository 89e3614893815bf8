// How many read-ahead workers run at once. More requests in flight than
// processors pay off only while the disk, not the processors, sets the pace:
// on a cold cache every listing and every file waits for the disk, and the
// more requests it has, the sooner it answers them all; on a warm one the
// extra threads only take turns on the same processors. So the pool starts
// with a few workers and doubles them, up to a most, while the tasks it
// samples spend their time waiting rather than working, and halves them
// again, down to the first count, when none waits any more.
#pragma once

#include <cstdint>

namespace vudo {

class WorkerPace {
 public:
  // Task samples a decision takes, and how long a task must have waited (its
  // time less the processor time it used) to count as having waited.
  static constexpr int kSamples = 16;
  static constexpr std::int64_t kWaitedMicroseconds = 100;

  void Reset(unsigned first, unsigned most);
  unsigned Active() const { return active_; }
  // One task's time and the processor time it used, in microseconds. True
  // when the number of active workers changed.
  bool Sample(std::int64_t microseconds, std::int64_t processor_microseconds);

 private:
  unsigned first_ = 0, most_ = 0, active_ = 0;
  int samples_ = 0, waited_ = 0;
};

}  // namespace vudo
