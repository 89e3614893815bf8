// The pointer tracking thread and the thread registry, with real pointer
// moves. The tests run in this order in their own process: the first one
// sees the process before any binding call.
#include <windows.h>

#include "events/events_fixture.h"
#include "events/pointer_tracking.h"
#include "events/thread_registry.h"

namespace vudo {
namespace {

using namespace testing_events;
using testing_windows::PumpUntil;

class PointerTracking : public EventsTest {
 protected:
  // Moves the pointer to `client` in `window` and waits until it is there.
  void PointAt(HWND window, POINT client) {
    ClientToScreen(window, &client);
    SetCursorPos(client.x, client.y);
    ASSERT_TRUE(testing_windows::WaitFor([&] {
      POINT at;
      GetCursorPos(&at);
      return at.x == client.x && at.y == client.y;
    }));
  }
  // Waits for `count` events and then a little longer for any stray one.
  bool Seen(std::size_t count) {
    const bool arrived_all = PumpUntil([&] { return seen.size() >= count; });
    testing_windows::Flush();
    return arrived_all && seen.size() == count;
  }
};

TEST_F(PointerTracking, StartedByTheFirstBindingCallOnlyAndOnce) {
  EXPECT_EQ(trackingThread, nullptr);
  EXPECT_EQ(ListedThreadCount(), 0);
  // Calls that fail before the class checks start nothing...
  EXPECT_EQ(BindEventEx(nullptr, EVT_ENTER, RecordA, -1), 0);
  EXPECT_EQ(BindEventEx(top_, 23, RecordA, -1), 0);
  EXPECT_EQ(BindEventEx(top_, EVT_MENU, RecordA, -1), 0);
  EXPECT_EQ(trackingThread, nullptr);
  // ...a click binding on a window that is no button stores nothing, but starts it.
  EXPECT_EQ(BindEvent(top_, EVT_CLICK, RecordA), 0);
  EXPECT_EQ(GetPropA(top_, "EVENT_29"), nullptr);
  ASSERT_NE(trackingThread, nullptr);
  EXPECT_NE(enterMessage, 0u);
  EXPECT_NE(leaveMessage, 0u);
  const HANDLE first = trackingThread;
  for (int i = 0; i < 20; ++i) EXPECT_NE(BindEvent(top_, EVT_ENTER, RecordA), 0);
  EXPECT_EQ(trackingThread, first);
  EXPECT_EQ(ListedThreadCount(), 1);
  EXPECT_EQ(IsThreadRunning(trackingThread), 1);
}

TEST_F(PointerTracking, LeaveThenEnterBetweenControlsAndTheParent) {
  const HWND a = Child(1, 10, 10, 100, 40);
  const HWND b = Child(2, 150, 10, 100, 40);
  for (HWND window : {a, b, top_}) {
    BindEvent(window, EVT_ENTER, RecordA);
    BindEvent(window, EVT_LEAVE, RecordA);
  }
  ASSERT_TRUE(testing_windows::BringToFront(top_));
  PointAt(a, {20, 15});
  ASSERT_TRUE(PumpUntil([&] { return !seen.empty() && seen.back().window == a; }));
  EXPECT_EQ(seen.back().code, EVT_ENTER);
  EXPECT_EQ(seen.back().x, 20);
  EXPECT_EQ(seen.back().y, 15);

  // From A to B: a leave on A, then an enter on B in B's coordinates.
  seen.clear();
  PointAt(b, {33, 21});
  ASSERT_TRUE(Seen(2));
  EXPECT_EQ(seen[0].window, a);
  EXPECT_EQ(seen[0].code, EVT_LEAVE);
  EXPECT_EQ(seen[0].x, -1);
  EXPECT_EQ(seen[0].y, -1);
  EXPECT_EQ(seen[1].window, b);
  EXPECT_EQ(seen[1].code, EVT_ENTER);
  EXPECT_EQ(seen[1].x, 33);
  EXPECT_EQ(seen[1].y, 21);

  // Moving within B: nothing more.
  seen.clear();
  PointAt(b, {60, 30});
  PointAt(b, {70, 31});
  EXPECT_TRUE(Seen(0));

  // Onto the parent's empty area: leave B, enter the parent.
  PointAt(top_, {300, 200});
  ASSERT_TRUE(Seen(2));
  EXPECT_EQ(seen[0].window, b);
  EXPECT_EQ(seen[0].code, EVT_LEAVE);
  EXPECT_EQ(seen[1].window, top_);
  EXPECT_EQ(seen[1].code, EVT_ENTER);
  EXPECT_EQ(seen[1].x, 300);
  EXPECT_EQ(seen[1].y, 200);
}

TEST_F(PointerTracking, TheRegistryClosesTheHandleAtShutdown) {
  ASSERT_NE(trackingThread, nullptr);
  EXPECT_EQ(IsThreadRunning(trackingThread), 1);
  CloseAllThreads();
  EXPECT_EQ(ListedThreadCount(), 0);
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(trackingThread, &flags));
}

}  // namespace
}  // namespace vudo
