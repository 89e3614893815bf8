// Text drag with real mouse input through SendInput: the start rectangle,
// drag-over and drop events, the end without the button, windows of other
// processes, failed starts and windows that go during a drag; and after every
// drag the cursor, the capture and every drawing resource as they were.
#include <windows.h>

#include <vector>

#include "events/events_fixture.h"
#include "events/text_drag.h"

namespace vudo {
namespace {

using namespace testing_events;
using testing_windows::Flush;
using testing_windows::MouseButton;
using testing_windows::MoveMouse;
using testing_windows::PumpUntil;

const char* drag_text = "dragged text";
std::int32_t StartWithText(EventRecord* record) {
  record->text = drag_text;  // a text of the procedure's own
  return EVT_DEFAULT;
}
std::int32_t StartWithoutText(EventRecord*) { return EVT_DEFAULT; }

int CursorShowCount() {
  const int count = ShowCursor(TRUE) - 1;
  ShowCursor(FALSE);
  return count;
}

class TextDrag : public EventsTest {
 protected:
  void SetUp() override {
    EventsTest::SetUp();
    source_ = Child(1, 20, 20, 120, 40);
    target_ = Child(2, 200, 20, 150, 120);
    inner_ = CreateWindowExA(0, kClass, "", WS_CHILD | WS_VISIBLE, 10, 10, 60, 40, target_, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    BindEvent(source_, EVT_DRAGSTART, StartWithText);
    for (HWND window : {target_, inner_}) {
      BindEvent(window, EVT_DRAGOVER, RecordA);
      BindEvent(window, EVT_DROP, RecordB);
    }
    ASSERT_TRUE(testing_windows::BringToFront(top_));
    Flush();
    cursor_before_ = GetCursor();
    shown_before_ = CursorShowCount();
    seen.clear();
  }
  void TearDown() override {
    MouseButton(false);
    Flush();
    EventsTest::TearDown();
  }

  POINT ScreenOf(HWND window, POINT client) const {
    ClientToScreen(window, &client);
    return client;
  }
  // Presses the left button at `client` of the source.
  void Press(POINT client = {30, 20}) {
    start_ = ScreenOf(source_, client);
    MoveMouse(start_);
    Flush();
    MouseButton(true);
    ASSERT_TRUE(PumpUntil([] { return TextDragActive(); }));
  }
  void MoveTo(POINT screen) {
    MoveMouse(screen);
    Flush();
  }
  int Count(std::int32_t code) const {
    int n = 0;
    for (const Seen& s : seen) n += s.code == code;
    return n;
  }
  // After a drag: nothing held, nothing left changed.
  void ExpectAllGivenBack() {
    EXPECT_FALSE(TextDragActive());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetCursor(), cursor_before_);
    EXPECT_EQ(CursorShowCount(), shown_before_);
    EXPECT_EQ(GetObjectType(testing::LastDragMemoryContext()), 0u);  // deleted
    EXPECT_EQ(GetObjectType(testing::LastDragBitmap()), 0u);
  }

  HWND source_ = nullptr, target_ = nullptr, inner_ = nullptr;
  POINT start_{};
  HCURSOR cursor_before_ = nullptr;
  int shown_before_ = 0;
};

TEST_F(TextDrag, AStartWithoutTextLeavesTheMouseMessagesAsTheyWere) {
  // The same press, moves and release on a control with no binding at all,
  // and on one whose drag-start procedure leaves the text empty.
  std::vector<std::vector<Arrived>> runs;
  for (bool bound : {false, true}) {
    const HWND control = Child(5, 20, 80, 120, 40);
    if (bound) BindEvent(control, EVT_DRAGSTART, StartWithoutText);
    Flush();
    arrived.clear();
    MoveMouse(ScreenOf(control, {10, 10}));
    MouseButton(true);
    MoveMouse(ScreenOf(control, {30, 12}));
    MoveMouse(ScreenOf(control, {60, 14}));
    MouseButton(false);
    Flush();
    std::vector<Arrived> mouse;
    for (const Arrived& a : arrived)
      if (a.window == control && a.message >= WM_MOUSEFIRST && a.message <= WM_MOUSELAST) mouse.push_back(a);
    runs.push_back(mouse);
    DestroyWindow(control);
  }
  ASSERT_EQ(runs[0].size(), runs[1].size());
  ASSERT_FALSE(runs[0].empty());
  for (std::size_t i = 0; i < runs[0].size(); ++i) {
    EXPECT_EQ(runs[0][i].message, runs[1][i].message) << i;
    EXPECT_EQ(runs[0][i].lparam, runs[1][i].lparam) << i;
  }
  EXPECT_FALSE(TextDragActive());
}

TEST_F(TextDrag, TheStartRectangleIsFivePixelsInclusiveBelowExclusiveAbove) {
  // Here the source hears of the drag over it and of the drop on it too.
  BindEvent(source_, EVT_DRAGOVER, RecordA);
  BindEvent(source_, EVT_DROP, RecordB);
  // A first move, then a second that keeps on the same side of the border:
  // leaving the rectangle dispatches nothing, the move after it does.
  const struct {
    POINT first, second;
    bool moves;
  } table[] = {
      {{5, 0}, {5, 1}, true},  {{-5, 0}, {-5, 1}, false}, {{-6, 0}, {-6, 1}, true},
      {{0, 5}, {1, 5}, true},  {{0, -5}, {1, -5}, false}, {{4, 4}, {3, 4}, false},
  };
  int press = 0;
  for (const auto& row : table) {
    SCOPED_TRACE(::testing::Message() << row.first.x << "," << row.first.y);
    seen.clear();
    // Each press somewhere else, so that two never make a double-click.
    Press(POINT{20 + 20 * (press % 4), 15 + 10 * (press / 4)});
    ++press;
    MoveTo(POINT{start_.x + row.first.x, start_.y + row.first.y});
    EXPECT_EQ(Count(EVT_DRAGOVER), 0);
    MoveTo(POINT{start_.x + row.second.x, start_.y + row.second.y});
    if (row.moves) {
      EXPECT_TRUE(PumpUntil([&] { return Count(EVT_DRAGOVER) > 0; }));
    } else {
      EXPECT_EQ(Count(EVT_DRAGOVER), 0);
    }
    MouseButton(false);
    ASSERT_TRUE(PumpUntil([] { return !TextDragActive(); }));
    Flush();
    EXPECT_EQ(Count(EVT_DROP), row.moves ? 1 : 0);
    ExpectAllGivenBack();
  }
}

TEST_F(TextDrag, DragOverAndDropCarryTheSourceTheTextAndTheTargetsCoordinates) {
  Press();
  MoveTo(POINT{start_.x + 20, start_.y});
  MoveTo(ScreenOf(target_, {100, 90}));
  ASSERT_TRUE(PumpUntil([&] { return Count(EVT_DRAGOVER) > 0; }));
  const Seen& over = seen.back();
  EXPECT_EQ(over.window, target_);
  EXPECT_EQ(over.item, static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(source_)));
  EXPECT_EQ(over.text, drag_text);
  EXPECT_EQ(over.x, 100);
  EXPECT_EQ(over.y, 90);

  MoveTo(ScreenOf(inner_, {15, 25}));  // the innermost window under the pointer
  MouseButton(false);
  ASSERT_TRUE(PumpUntil([&] { return Count(EVT_DROP) == 1; }));
  const Seen& drop = seen.back();
  EXPECT_EQ(drop.code, EVT_DROP);
  EXPECT_EQ(drop.window, inner_);
  EXPECT_EQ(drop.x, 15);
  EXPECT_EQ(drop.y, 25);
  EXPECT_EQ(drop.button, 0);
  EXPECT_EQ(drop.text, drag_text);
  EXPECT_EQ(drop.item, static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(source_)));
  ExpectAllGivenBack();
}

TEST_F(TextDrag, AMoveThatFindsTheButtonUpEndsTheDragWithButtonMinusOne) {
  Press();
  MoveTo(POINT{start_.x + 20, start_.y});
  MoveTo(ScreenOf(target_, {50, 50}));
  ASSERT_TRUE(PumpUntil([&] { return Count(EVT_DRAGOVER) > 0; }));
  // The button goes up; a move posted now comes before the release message.
  MouseButton(false);
  PostMessageA(top_, WM_MOUSEMOVE, 0, MAKELPARAM(250, 60));
  ASSERT_TRUE(PumpUntil([&] { return Count(EVT_DROP) == 1; }));
  EXPECT_EQ(seen.back().button, -1);
  Flush();
  EXPECT_EQ(Count(EVT_DROP), 1);
  ExpectAllGivenBack();
}

TEST_F(TextDrag, NoDragOverOrDropOutsideTheProgramsWindows) {
  Press();
  MoveTo(POINT{start_.x + 20, start_.y});
  RECT screen{};
  GetWindowRect(GetDesktopWindow(), &screen);
  const POINT outside{screen.right - 5, screen.bottom - 5};  // the desktop, another process's window
  ASSERT_NE(WindowFromPoint(outside), top_);
  MoveTo(outside);
  MoveTo(POINT{outside.x - 1, outside.y});
  MouseButton(false);
  ASSERT_TRUE(PumpUntil([] { return !TextDragActive(); }));
  Flush();
  EXPECT_EQ(Count(EVT_DRAGOVER), 0);
  EXPECT_EQ(Count(EVT_DROP), 0);
  ExpectAllGivenBack();
}

TEST_F(TextDrag, APressAndReleaseInsideTheStartRectangleDropsNothing) {
  Press();
  MoveTo(POINT{start_.x + 2, start_.y + 2});
  MouseButton(false);
  ASSERT_TRUE(PumpUntil([] { return !TextDragActive(); }));
  Flush();
  EXPECT_TRUE(seen.empty());
  ExpectAllGivenBack();
}

TEST_F(TextDrag, AStartThatFailsHalfWayGivesEverythingBack) {
  using testing::DragStartFailure;
  for (DragStartFailure step :
       {DragStartFailure::kWindowContext, DragStartFailure::kMemoryContext, DragStartFailure::kBitmap}) {
    SCOPED_TRACE(static_cast<int>(step));
    seen.clear();
    testing::FailNextDragStart(step);
    MoveMouse(ScreenOf(source_, {30, 20}));
    Flush();
    MouseButton(true);
    Flush();
    EXPECT_FALSE(TextDragActive());
    MoveTo(ScreenOf(target_, {50, 50}));
    MouseButton(false);
    Flush();
    EXPECT_TRUE(seen.empty());
    ExpectAllGivenBack();
  }
}

TEST_F(TextDrag, AWindowThatGoesDuringADragEndsItCleanly) {
  for (bool capturing : {false, true}) {
    SCOPED_TRACE(capturing ? "the capturing window" : "the source control");
    if (capturing) {
      // A drag whose capturing window is a second top-level window.
      const HWND other = CreateWindowExA(0, kClass, "Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 150, 150, 300, 200,
                                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
      source_ = CreateWindowExA(0, kClass, "", WS_CHILD | WS_VISIBLE, 10, 10, 100, 40, other, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
      BindEvent(source_, EVT_DRAGSTART, StartWithText);
      ASSERT_TRUE(testing_windows::BringToFront(other));
    }
    seen.clear();
    Press();
    MoveTo(POINT{start_.x + 20, start_.y + 10});
    MoveTo(POINT{start_.x + 30, start_.y + 12});
    DestroyWindow(capturing ? GetAncestor(source_, GA_ROOT) : source_);
    MoveTo(POINT{start_.x + 40, start_.y + 14});
    MouseButton(false);
    Flush();
    EXPECT_EQ(Count(EVT_DROP), 0);
    ExpectAllGivenBack();
    if (!capturing) source_ = Child(1, 20, 20, 120, 40);
  }
}

TEST(TextDragGdiCount, EveryDrawingResourceComesBack) {
  // The process's own count of GDI objects: Wine answers 0 for it.
  if (GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) == 0)
    GTEST_SKIP() << "this platform does not count GDI objects (GetGuiResources answers 0); the drag's own "
                    "context and bitmap are checked after every drag instead";
}

}  // namespace
}  // namespace vudo
