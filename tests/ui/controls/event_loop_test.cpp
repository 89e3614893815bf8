// EventWait and EventPoll: the layer's own events first, in order and without
// repeats, then messages; a close request leaves the window alive.
#include <windows.h>

#include <vector>

#include "ui/controls/layer_fixture.h"

namespace vudo {
namespace {

using testing_windows::LayerTest;

class EventLoop : public LayerTest {
 protected:
  void SetUp() override {
    LayerTest::SetUp();
    testing_windows::Flush();
  }
  std::vector<int> Drain() {
    std::vector<int> events;
    while (const int event = EventPoll()) events.push_back(event);
    return events;
  }
};

TEST_F(EventLoop, AnEmptyQueueAnswersZeroAtOnce) {
  const DWORD start = GetTickCount();
  for (int i = 0; i < 100; ++i) ASSERT_EQ(EventPoll(), 0);
  EXPECT_LT(GetTickCount() - start, 1000u);
}

TEST_F(EventLoop, LayerEventsComeFirstInOrderWithoutRepeats) {
  const HWND other = WindowOpen(1, 0, 0, 50, 50, "Other", kFrame | kWindowHidden);
  testing_windows::Flush();
  const HDC dc = GetDC(window_);
  PostMessageA(window_, WM_USER + 7, 0, 0);  // a message waits behind them
  SendMessageA(window_, WM_CLOSE, 0, 0);
  SendMessageA(window_, WM_CLOSE, 0, 0);  // the same again: not queued twice
  SendMessageA(window_, WM_MOVE, 0, MAKELPARAM(10, 10));
  SendMessageA(other, WM_MOVE, 0, MAKELPARAM(10, 10));  // another window: its own event
  SendMessageA(window_, WM_SIZE, SIZE_MINIMIZED, 0);    // minimising reports nothing
  SendMessageA(window_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 300));
  SendMessageA(window_, WM_ACTIVATE, WA_INACTIVE, 0);  // deactivation reports nothing
  SendMessageA(window_, WM_ACTIVATE, WA_ACTIVE, 0);
  SendMessageA(window_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessageA(window_, WM_CLOSE, 0, 0);  // not the last one queued: queued again
  ReleaseDC(window_, dc);

  const std::vector<int> expected = {kEventClose, kEventMove, kEventMove, kEventSize, kEventActivate,
                                     kEventRepaint, kEventClose};
  std::vector<int> events;
  for (std::size_t i = 0; i < expected.size(); ++i) events.push_back(EventPoll());
  EXPECT_EQ(events, expected);
  EXPECT_TRUE(IsWindow(window_));
  EXPECT_TRUE(IsWindowVisible(window_));
  // Then the message that was waiting.
  bool seen = false;
  while (const int event = EventPoll()) seen = seen || event == WM_USER + 7;
  EXPECT_TRUE(seen);
}

TEST_F(EventLoop, EventWaitTakesQueuedEventsThenWaitsForAMessage) {
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_EQ(EventWait(), kEventClose);
  PostMessageA(window_, WM_USER + 3, 0, 0);
  EXPECT_EQ(EventWait(), WM_USER + 3);
}

TEST_F(EventLoop, AnEventRecordedDuringDispatchIsTheResult) {
  PostMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_EQ(EventWait(), kEventClose);  // recorded while WM_CLOSE was dispatched
  EXPECT_TRUE(IsWindow(window_));
}

TEST_F(EventLoop, AltF4ReachesTheWindowAsACloseRequestThatKeepsIt) {
  ASSERT_TRUE(testing_windows::BringToFront(window_));
  testing_windows::PressKeyWith(VK_MENU, VK_F4);
  const DWORD start = GetTickCount();
  bool closed = false;
  while (!closed && GetTickCount() - start < 5000) {
    const int event = EventPoll();
    closed = event == kEventClose;
    if (!event) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  EXPECT_TRUE(closed);
  EXPECT_TRUE(IsWindow(window_));
}

}  // namespace
}  // namespace vudo
