// Windows opened through the layer: class, style, size, centring, showing and
// hiding.
#include <windows.h>

#include "ui/controls/layer_fixture.h"

namespace vudo {
namespace {

using testing_windows::LayerTest;
using testing_windows::ScreenRect;

TEST(Centring, ArithmeticTruncatesAndCutsToTheArea) {
  const struct {
    SIZE outer, area;
    POINT at;
    SIZE cut;
  } table[] = {
      {{300, 300}, {1024, 768}, {362, 234}, {300, 300}},
      {{301, 301}, {1024, 768}, {361, 233}, {301, 301}},
      {{2000, 100}, {1024, 768}, {0, 334}, {1024, 100}},
      {{2000, 3000}, {1024, 768}, {0, 0}, {1024, 768}},
      {{1024, 768}, {1024, 768}, {0, 0}, {1024, 768}},
  };
  for (const auto& row : table) {
    SIZE outer = row.outer;
    const POINT at = CentreIn(outer, row.area);
    EXPECT_EQ(at.x, row.at.x);
    EXPECT_EQ(at.y, row.at.y);
    EXPECT_EQ(outer.cx, row.cut.cx);
    EXPECT_EQ(outer.cy, row.cut.cy);
  }
}

SIZE OuterSize(int inner_width, int inner_height, DWORD style) {
  RECT frame{0, 0, inner_width, inner_height};
  AdjustWindowRect(&frame, style, FALSE);
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

SIZE Screen() { return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

class Windows : public LayerTest {};

TEST_F(Windows, OpenedWithAClassOfItsOwnAndTheInnerSizeAsked) {
  const DWORD frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
  EXPECT_EQ(WindowHandle(0), window_);
  EXPECT_EQ(WindowInnerWidth(0), 300);
  EXPECT_EQ(WindowInnerHeight(0), 300);
  EXPECT_EQ(GetWindowLongA(window_, GWL_STYLE) & (frame | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD), frame);
  EXPECT_EQ(GetClassLongA(window_, GCL_STYLE), CS_DBLCLKS);
  EXPECT_EQ(GetClassLongPtrA(window_, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(window_, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(GetMenu(window_), nullptr);

  const HWND other = WindowOpen(1, 10, 10, 100, 100, "Other", kFrame);
  EXPECT_NE(testing_windows::ClassOf(other), testing_windows::ClassOf(window_));
  EXPECT_EQ(testing_windows::TextOf(other), "Other");

  // Centred on the screen, from the outer size the frame gives.
  const SIZE outer = OuterSize(300, 300, frame);
  SIZE cut = outer;
  const POINT at = CentreIn(cut, Screen());
  const RECT rect = ScreenRect(window_);
  EXPECT_EQ(rect.left, at.x);
  EXPECT_EQ(rect.top, at.y);
  EXPECT_EQ(rect.right - rect.left, outer.cx);
  EXPECT_EQ(rect.bottom - rect.top, outer.cy);
}

// Every combination of the frame options, each in a real window: an option's
// style bit is in the window's style exactly when the option is, every
// window has a caption (the platform gives every overlapped window one), and
// the inner size is the one asked for, whatever the frame around it.
TEST_F(Windows, EachFrameOptionSetsItsStyleBitAndTheInnerSizeStays) {
  const struct {
    unsigned option;
    DWORD bit;
  } styles[] = {
      {kWindowSystemMenu, WS_SYSMENU},
      {kWindowSizingBorder, WS_THICKFRAME},
      {kWindowMinimizeBox, WS_MINIMIZEBOX},
      {kWindowMaximizeBox, WS_MAXIMIZEBOX},
  };
  for (unsigned chosen = 0; chosen < 32; ++chosen) {
    unsigned options = 0;
    if (chosen & 16) options |= kWindowTitleBar;
    for (std::size_t i = 0; i < 4; ++i)
      if (chosen & (1u << i)) options |= styles[i].option;
    SCOPED_TRACE(options);
    const HWND window = WindowOpen(1, 20, 30, 120, 80, "Options", options);
    ASSERT_NE(window, nullptr);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    for (const auto& row : styles) EXPECT_EQ((style & row.bit) != 0, (options & row.option) != 0) << row.bit;
    EXPECT_TRUE(IsWindowVisible(window));
    RECT inner{};
    GetClientRect(window, &inner);
    EXPECT_EQ(inner.right, 120);
    EXPECT_EQ(inner.bottom, 80);
    EXPECT_EQ(ScreenRect(window).left, 20);
    EXPECT_EQ(ScreenRect(window).top, 30);
  }
  EXPECT_FALSE(IsWindowVisible(WindowOpen(1, 20, 30, 120, 80, "Hidden", kFrame | kWindowHidden)));
}

TEST_F(Windows, MaximisedOption) {
  const HWND window = WindowOpen(1, 0, 0, 120, 80, "Big", kFrame | kWindowMaximizeBox | kWindowMaximized);
  EXPECT_TRUE(IsZoomed(window));
  EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(Windows, LargerThanTheScreenIsCutToIt) {
  const HWND window = WindowOpen(1, KeepCurrent, KeepCurrent, 5000, 4000, "Huge", kFrame | kWindowCentredOnScreen);
  const RECT rect = ScreenRect(window);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, Screen().cx);
  EXPECT_EQ(rect.bottom, Screen().cy);
}

TEST_F(Windows, ANumberUsedAgainDestroysTheOldWindowAndItsControls) {
  const HWND first = WindowOpen(1, 0, 0, 100, 100, "First", kFrame);
  ControlParentSet(first);
  const HWND button = ButtonCreate(2, 0, 0, 10, 10, "x");
  const HWND second = WindowOpen(1, 0, 0, 100, 100, "Second", kFrame);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_FALSE(IsWindow(button));
  EXPECT_EQ(ControlHandle(2), nullptr);
  EXPECT_EQ(WindowHandle(1), second);
  DestroyWindow(second);
  EXPECT_EQ(WindowHandle(1), nullptr);
  EXPECT_EQ(WindowInnerWidth(1), 0);
  // The class of a window destroyed from outside does not block the number.
  EXPECT_NE(WindowOpen(1, 0, 0, 100, 100, "Third", kFrame), nullptr);
}

TEST_F(Windows, SetHiddenNormalAndMaximised) {
  WindowSetHidden(0, true);
  EXPECT_FALSE(IsWindowVisible(window_));
  WindowSetHidden(0, false);
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_FALSE(IsZoomed(window_));

  ShowWindow(window_, SW_MAXIMIZE);
  WindowSetHidden(0, true);
  EXPECT_FALSE(IsWindowVisible(window_));
  WindowSetHidden(0, false);
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_TRUE(IsZoomed(window_));
}

TEST_F(Windows, HidingAnOwnedWindowActivatesItsOwner) {
  const HWND owned = WindowOpen(1, 50, 50, 100, 100, "Owned", kFrame, window_);
  ASSERT_EQ(GetWindow(owned, GW_OWNER), window_);
  SetActiveWindow(owned);
  ASSERT_TRUE(testing_windows::PumpUntil([&] { return GetActiveWindow() == owned; }));
  WindowSetHidden(1, true);
  EXPECT_FALSE(IsWindowVisible(owned));
  EXPECT_EQ(GetActiveWindow(), window_);
}

TEST_F(Windows, CentredOnTheParent) {
  MoveWindow(window_, 100, 100, 400, 300, FALSE);
  const HWND child = WindowOpen(1, KeepCurrent, KeepCurrent, 100, 50, "Centred", kFrame | kWindowCentredOnParent,
                                window_);
  const SIZE outer = OuterSize(100, 50, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
  EXPECT_EQ(ScreenRect(child).left, 100 + (400 - outer.cx) / 2);
  EXPECT_EQ(ScreenRect(child).top, 100 + (300 - outer.cy) / 2);
}

}  // namespace
}  // namespace vudo
