// The pool grows while the tasks it samples wait for the disk, and shrinks
// back once none has for a while; never past its bounds.
#include "search/worker_pace.h"

#include <gtest/gtest.h>

#include <vector>

namespace vudo {
namespace {

// A round of samples, `waited` of them tasks that waited.
bool Round(WorkerPace& pace, int waited) {
  bool changed = false;
  for (int i = 0; i < WorkerPace::kSamples; ++i)
    changed = pace.Sample(i < waited) || changed;
  return changed;
}

TEST(WorkerPace, GrowsWhileTasksWaitAndShrinksWhenNoneDoes) {
  const struct {
    unsigned first, most;
    std::vector<int> waited;  // per round
    std::vector<unsigned> active;  // after each round
  } cases[] = {
      {4, 16, {16, 16, 16, 16}, {8, 16, 16, 16}},                  // a cold disk: up to the most, no further
      {4, 16, {4, 3, 0, 0, 0, 0}, {8, 8, 8, 8, 8, 4}},             // a quarter waiting grows; four quiet rounds shrink
      {4, 16, {16, 0, 0, 0, 2, 0, 0, 0, 0}, {8, 8, 8, 8, 8, 8, 8, 8, 4}},  // a wait starts the quiet count over
      {4, 16, {16, 16, 0, 0, 0, 0, 0, 0, 0, 0}, {8, 16, 16, 16, 16, 8, 8, 8, 8, 4}},  // down to the first, no lower
      {4, 4, {16, 16}, {4, 4}},                                    // a fixed count stays fixed
      {4, 6, {16, 16}, {6, 6}},                                    // doubling stops at the most
  };
  for (const auto& c : cases) {
    WorkerPace pace;
    pace.Reset(c.first, c.most);
    EXPECT_EQ(pace.Active(), c.first);
    for (std::size_t round = 0; round < c.waited.size(); ++round) {
      const unsigned before = pace.Active();
      EXPECT_EQ(Round(pace, c.waited[round]), c.active[round] != before) << round;
      EXPECT_EQ(pace.Active(), c.active[round]) << c.first << ".." << c.most << " round " << round;
    }
  }
}

TEST(WorkerPace, ANewWalkStartsOver) {
  WorkerPace pace;
  pace.Reset(2, 8);
  for (int i = 0; i < WorkerPace::kSamples - 1; ++i) pace.Sample(true);
  pace.Reset(2, 8);  // halfway through a round
  pace.Sample(true);
  EXPECT_EQ(pace.Active(), 2u);
  Round(pace, WorkerPace::kSamples);
  EXPECT_EQ(pace.Active(), 4u);
}

// Capped at the threads the system gave, the pace neither grows past them
// nor shrinks below what it has, until the next walk.
TEST(WorkerPace, ACapHoldsUntilTheNextWalk) {
  WorkerPace pace;
  pace.Reset(4, 16);
  pace.Cap(3);
  EXPECT_EQ(pace.Active(), 3u);
  EXPECT_FALSE(Round(pace, WorkerPace::kSamples));
  EXPECT_EQ(pace.Active(), 3u);
  pace.Cap(0);
  EXPECT_EQ(pace.Active(), 0u);
  pace.Reset(4, 16);
  Round(pace, WorkerPace::kSamples);
  EXPECT_EQ(pace.Active(), 8u);
}

}  // namespace
}  // namespace vudo
