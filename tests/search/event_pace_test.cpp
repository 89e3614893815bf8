// The pace at which a running search lets events run, with a clock the test
// moves by hand.
#include "search/event_pace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/scan_file.h"
#include "search/search_state.h"
#include "search/window_walk.h"
#include "support/memory_controls.h"
#include "support/temp_tree.h"

namespace vudo {
namespace {

std::uint32_t now_ms = 0;
std::uint32_t TestClock() { return now_ms; }
// A clock that moves one millisecond every time it is read.
std::uint32_t TickingClock() { return now_ms++; }

class EventPace : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_controls::Reset();
    StopRequested = 0;
    now_ms = 1000;
    SetDrainInterval(kDrainIntervalMs);
    SetDrainClock(TestClock);
  }
  void TearDown() override {
    SetDrainClock(nullptr);
    SetDrainInterval(0);
    testing_controls::Reset();
  }
  testing_tree::TempTree tree_;
};

TEST_F(EventPace, DrainsAtMostOnceAnInterval) {
  std::vector<std::uint32_t> drained_at;
  for (int i = 0; i < 35; ++i, ++now_ms)
    if (DrainEventsWhenDue()) drained_at.push_back(now_ms);
  EXPECT_EQ(drained_at, (std::vector<std::uint32_t>{1000, 1010, 1020, 1030}));
  // Each drain runs the events until none is pending.
  EXPECT_EQ(testing_controls::PollCount(), 4);
}

TEST_F(EventPace, TheWalkAsksForEventsEveryTenMillisecondsOnly) {
  for (int i = 0; i < 100; ++i) tree_.Write("f" + std::to_string(i) + ".txt", "");
  SetDrainClock(TickingClock);  // every entry reads the clock once: a millisecond an entry
  NamePattern = "*";
  ContainsText.clear();
  WalkDirectory(tree_.Root());
  EXPECT_EQ(testing_controls::Rows().size(), 100u);
  EXPECT_GE(testing_controls::PollCount(), 9);
  EXPECT_LE(testing_controls::PollCount(), 11);
}

TEST_F(EventPace, TheStopFlagIsStillReadAfterEveryEntry) {
  for (int i = 0; i < 50; ++i) tree_.Write("f" + std::to_string(i) + ".txt", "");
  testing_controls::SetOnRow([] {
    if (testing_controls::Rows().size() == 3) StopRequested = 1;  // between two drains
  });
  NamePattern = "*";
  ContainsText.clear();
  WalkDirectory(tree_.Root());  // the clock stands still: no drain after the first
  EXPECT_EQ(testing_controls::Rows().size(), 3u);
}

// A walk of one large file, whose scan lets events run after every block.
class PacedScan : public EventPace {
 protected:
  void SetUp() override {
    EventPace::SetUp();
    SetDrainInterval(0);  // a drain after every block of the scan
    tree_.Write("big.txt", std::string(200 * kScanBlockSize, 'x') + "needle");
    NamePattern = "*";
    ContainsText = "needle";
  }
};

TEST_F(PacedScan, AStopDuringTheScanEndsItWithNoHit) {
  testing_controls::SetOnPoll([] {
    if (testing_controls::PollCount() == 5) StopRequested = 1;
  });
  WalkDirectory(tree_.Root());
  EXPECT_TRUE(testing_controls::Rows().empty());
  EXPECT_EQ(testing_controls::PollCount(), 5);
}

TEST_F(PacedScan, ANewerSearchDuringTheScanEndsItWithNoHit) {
  testing_controls::SetOnPoll([] {
    if (testing_controls::PollCount() == 5) ++SearchGeneration;
  });
  WalkDirectory(tree_.Root());
  EXPECT_TRUE(testing_controls::Rows().empty());
  EXPECT_EQ(testing_controls::PollCount(), 5);
}

TEST_F(PacedScan, WithoutEventsAScanRunsToItsEnd) {
  WalkDirectory(tree_.Root());
  EXPECT_EQ(testing_controls::Rows().size(), 1u);
  EXPECT_GT(testing_controls::PollCount(), 100);  // a drain after every block
}

}  // namespace
}  // namespace vudo
