// The layer's own interactive sizing, with the platform setting for showing
// contents while dragging switched on, driven by real mouse and key input.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "ui/controls/layer_fixture.h"
#include "ui/controls/sizing.h"

namespace vudo {
namespace {

using testing_windows::PumpUntil;
using testing_windows::ScreenRect;

constexpr POINT kMinimum{200, 150};

// What the window told the test: the sizing messages it saw, and the
// minimum tracking size it asks for.
std::vector<UINT> seen;
WNDPROC layer_proc = nullptr;

LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_ENTERSIZEMOVE || message == WM_EXITSIZEMOVE || message == WM_SIZING) seen.push_back(message);
  const LRESULT result = CallWindowProcA(layer_proc, window, message, wparam, lparam);
  if (message == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = kMinimum;
  return result;
}

class Sizing : public testing_windows::LayerTest {
 protected:
  void SetUp() override {
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &saved_setting_, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    LayerTest::SetUp();
    MoveWindow(window_, 200, 150, 400, 300, TRUE);
    seen.clear();
    layer_proc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Recorder)));
    ASSERT_TRUE(testing_windows::BringToFront(window_));
    testing_windows::Flush();
  }
  void TearDown() override {
    testing_windows::MouseButton(false);
    LayerTest::TearDown();
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, saved_setting_, nullptr, 0);
  }

  bool SizingEnded() {
    return PumpUntil([] { return !layer::SizingActive() && !seen.empty() && seen.back() == WM_EXITSIZEMOVE; });
  }

  BOOL saved_setting_ = FALSE;
};

TEST_F(Sizing, EachEdgeFollowsTheMouse) {
  // Where to press (inside the sizing border), and which way to drag.
  const struct {
    const char* edge;
    LRESULT hit;
    int dx, dy;
  } table[] = {
      {"left", HTLEFT, -30, 0},          {"right", HTRIGHT, 40, 0},
      {"top", HTTOP, 0, -20},            {"bottom", HTBOTTOM, 0, 25},
      {"top-left", HTTOPLEFT, -15, -15}, {"top-right", HTTOPRIGHT, 20, -10},
      {"bottom-left", HTBOTTOMLEFT, -10, 20}, {"bottom-right", HTBOTTOMRIGHT, 30, 30},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.edge);
    MoveWindow(window_, 200, 150, 400, 300, TRUE);
    testing_windows::Flush();
    seen.clear();
    const RECT before = ScreenRect(window_);
    const bool left = row.hit == HTLEFT || row.hit == HTTOPLEFT || row.hit == HTBOTTOMLEFT;
    const bool right = row.hit == HTRIGHT || row.hit == HTTOPRIGHT || row.hit == HTBOTTOMRIGHT;
    const bool top = row.hit == HTTOP || row.hit == HTTOPLEFT || row.hit == HTTOPRIGHT;
    const bool bottom = row.hit == HTBOTTOM || row.hit == HTBOTTOMLEFT || row.hit == HTBOTTOMRIGHT;
    const POINT press{left ? before.left + 1 : right ? before.right - 2 : (before.left + before.right) / 2,
                      top ? before.top + 1 : bottom ? before.bottom - 2 : (before.top + before.bottom) / 2};
    ASSERT_EQ(SendMessageA(window_, WM_NCHITTEST, 0, MAKELPARAM(press.x, press.y)), row.hit);

    testing_windows::MoveMouse(press);
    testing_windows::MouseButton(true);
    ASSERT_TRUE(PumpUntil([] { return layer::SizingActive(); }));
    EXPECT_EQ(GetCapture(), window_);
    const POINT to{press.x + row.dx, press.y + row.dy};
    testing_windows::MoveMouse(to);
    RECT expected = before;
    const LONG corner = row.hit == HTTOPLEFT ? 2 : 0;
    if (left) expected.left = to.x - corner;
    if (right) expected.right = to.x + 2;
    if (top) expected.top = to.y - corner;
    if (bottom) expected.bottom = to.y + 2;
    EXPECT_TRUE(PumpUntil([&] {
      const RECT now = ScreenRect(window_);
      return EqualRect(&expected, &now) != FALSE;
    }))
        << ScreenRect(window_).left << "," << ScreenRect(window_).top << "," << ScreenRect(window_).right << ","
        << ScreenRect(window_).bottom;
    testing_windows::MouseButton(false);
    EXPECT_TRUE(SizingEnded());
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), static_cast<UINT>(WM_ENTERSIZEMOVE));
    EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_SIZING)), seen.end());
  }
}

TEST_F(Sizing, TheMinimumSizeHolds) {
  const RECT before = ScreenRect(window_);
  const POINT press{before.right - 2, (before.top + before.bottom) / 2};
  testing_windows::MoveMouse(press);
  testing_windows::MouseButton(true);
  ASSERT_TRUE(PumpUntil([] { return layer::SizingActive(); }));
  testing_windows::MoveMouse(POINT{before.left - 100, press.y});  // far past the left edge
  EXPECT_TRUE(PumpUntil([&] { return ScreenRect(window_).right - ScreenRect(window_).left == kMinimum.x; }));
  EXPECT_EQ(ScreenRect(window_).left, before.left);  // the opposite edge stays
  testing_windows::MouseButton(false);
  EXPECT_TRUE(SizingEnded());
}

TEST_F(Sizing, FromTheKeyboardArrowsChooseAnEdgeAndEscapeEnds) {
  const POINT rest{50, 60};
  testing_windows::MoveMouse(rest);
  ASSERT_TRUE(PumpUntil([&] {
    POINT at;
    GetCursorPos(&at);
    return at.x == rest.x && at.y == rest.y;
  }));
  const RECT before = ScreenRect(window_);
  PostMessageA(window_, WM_SYSCOMMAND, SC_SIZE, 0);  // as the system menu's Size starts it
  ASSERT_TRUE(PumpUntil([] { return layer::SizingActive(); }));
  testing_windows::PressKey(VK_RIGHT);  // chooses the right edge
  testing_windows::PressKey(VK_RIGHT);  // and moves it by 10
  testing_windows::PressKey(VK_RIGHT);
  EXPECT_TRUE(PumpUntil([&] { return ScreenRect(window_).right == before.right + 20; }));
  testing_windows::PressKey(VK_ESCAPE);
  EXPECT_TRUE(SizingEnded());
  EXPECT_EQ(GetCapture(), nullptr);
  POINT at;
  GetCursorPos(&at);
  EXPECT_EQ(at.x, rest.x);  // put back after a keyboard start
  EXPECT_EQ(at.y, rest.y);
  EXPECT_EQ(ScreenRect(window_).left, before.left);
}

TEST_F(Sizing, TheSettingOffLeavesSizingToThePlatform) {
  SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
  EXPECT_FALSE(layer::StartSizing(window_, SC_SIZE | WMSZ_RIGHT));
  EXPECT_FALSE(layer::SizingActive());
}

}  // namespace
}  // namespace vudo
