// How many read-ahead workers run at once. More requests in flight than
// processors pay off only while the disk, not the processors, sets the pace:
// on a cold cache every listing and every file waits for the disk, and the
// more requests it has, the sooner it answers them all; on a warm one the
// extra threads only take turns on the same processors. So the pool starts
// with a few workers and doubles them, up to a most, while the tasks it
// samples had to wait (for the disk: a task takes no lock), and halves them
// again, down to the first count, when none waits any more. Being preempted
// is not waiting: on a warm cache more threads than processors are, often.
#pragma once

namespace vudo {

class WorkerPace {
 public:
  // Task samples a decision takes, and the decisions in a row with no task
  // waiting that shrink the pool: a cold disk has stretches its cache holds
  // already (a directory read ahead with its neighbours), and shrinking there
  // for a moment costs more than it saves.
  static constexpr int kSamples = 16;
  static constexpr int kQuietRounds = 4;

  void Reset(unsigned first, unsigned most);
  unsigned Active() const { return active_; }
  // Whether samples can change anything (a most above the first count).
  bool Varies() const { return most_ > first_; }
  // Whether one task had to wait. True when the number of active workers
  // changed.
  bool Sample(bool waited);
  // No more than `most` workers from now on, until the next Reset: the
  // system would start no more threads.
  void Cap(unsigned most);

 private:
  unsigned first_ = 0, most_ = 0, active_ = 0;
  int samples_ = 0, waited_ = 0, quiet_rounds_ = 0;
};

}  // namespace vudo
