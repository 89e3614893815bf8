// The window as laid out and as it follows its size, and the keyboard path
// through its controls.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/e2e/vudo_driver.h"

namespace vudo::e2e {
namespace {

struct Place {
  int number, x, y, width, height;
};

// The controls as created, in the window's inner coordinates. The combo box's
// window is only its closed part, so its height is not compared.
const Place kCreated[] = {
    {kSearchInLabel, 5, 13, 55, 20}, {kStartDirectoryCombo, 60, 10, 205, -1}, {kBrowseButton, 270, 10, 25, 20},
    {kFilenameLabel, 5, 38, 55, 20}, {kPatternField, 60, 35, 235, 20},        {kContainsLabel, 5, 63, 55, 20},
    {kContainsField, 60, 60, 235, 20}, {kStartStopButton, 225, 85, 70, 20},    {kResultList, 5, 110, 290, 185}};

void ExpectPlaces(const VudoRun& vudo, const Place (&places)[9]) {
  for (const Place& p : places) {
    const RECT r = vudo.ControlRect(p.number);
    SCOPED_TRACE(p.number);
    EXPECT_EQ(r.left, p.x);
    EXPECT_EQ(r.top, p.y);
    EXPECT_EQ(r.right - r.left, p.width);
    if (p.height >= 0) {
      EXPECT_EQ(r.bottom - r.top, p.height);
    }
  }
}

// The status text: from the left margin to 5 pixels before Start, in Start's
// row and height, whatever the width (none when Start reaches the margin).
void ExpectStatusPlace(const VudoRun& vudo, int w) {
  const RECT r = vudo.ControlRect(kStatusText);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 85);
  EXPECT_EQ(r.right - r.left, std::max(0, w - 75 - 5 - 5));
  EXPECT_EQ(r.bottom - r.top, 20);
}

// Sizes the window so that its inner area is width x height, as dragging its
// border would, and waits until the layout has followed.
void SizeInner(const VudoRun& vudo, int width, int height) {
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(vudo.Window(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(vudo.Window(), GWL_EXSTYLE)));
  SetWindowPos(vudo.Window(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TEST(Window, OpensCentredAt300By300WithTheControlsInPlace) {
  VudoRun vudo;
  ASSERT_TRUE(vudo.Start());
  EXPECT_EQ(vudo.InnerSize().cx, 300);
  EXPECT_EQ(vudo.InnerSize().cy, 300);
  const RECT outer = [&] {
    RECT r{};
    GetWindowRect(vudo.Window(), &r);
    return r;
  }();
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);
  ExpectPlaces(vudo, kCreated);
  ExpectStatusPlace(vudo, 300);
  const struct {
    int number;
    const char* text;
  } texts[] = {{kSearchInLabel, "&Search in:"}, {kBrowseButton, "..."},        {kFilenameLabel, "&Filename:"},
               {kContainsLabel, "&Contains:"},  {kStartStopButton, "Start"}};
  for (const auto& t : texts) EXPECT_EQ(vudo.Text(t.number), t.text);
}

// The layout the resize rule gives for an inner size of w x h, unclamped: a
// width or height below zero reaches the control as it is, and the platform
// shows such a control with no size.
void ExpectRule(const VudoRun& vudo, int w, int h) {
  const auto clip = [](int v) { return v < 0 ? 0 : v; };
  const Place expected[] = {{kSearchInLabel, 5, 13, 55, 20},
                            {kStartDirectoryCombo, 60, 10, clip(w - 60 - 25 - 10), -1},
                            {kBrowseButton, w - 25 - 5, 10, 25, 20},
                            {kFilenameLabel, 5, 38, 55, 20},
                            {kPatternField, 60, 35, clip(w - 60 - 5), 20},
                            {kContainsLabel, 5, 63, 55, 20},
                            {kContainsField, 60, 60, clip(w - 60 - 5), 20},
                            {kStartStopButton, w - 70 - 5, 85, 70, 20},
                            {kResultList, 5, 110, clip(w - 5 - 5), clip(h - 110 - 5)}};
  ExpectPlaces(vudo, expected);
}

TEST(Window, TheLayoutFollowsTheSizeDownPastTheOffsetsAndBack) {
  VudoRun vudo;
  ASSERT_TRUE(vudo.Start());
  const struct {
    int width, height;
  } sizes[] = {{400, 300}, {300, 350}, {450, 420}, {100, 80}, {40, 30}, {300, 300}};
  for (const auto& s : sizes) {
    SCOPED_TRACE(testing::Message() << s.width << "x" << s.height);
    SizeInner(vudo, s.width, s.height);
    // The platform's minimum tracking size may hold the window larger than
    // asked; the rule applies to whatever size it got.
    int w = 0, h = 0;
    ASSERT_TRUE(WaitFor([&] {
      w = vudo.InnerSize().cx;
      h = vudo.InnerSize().cy;
      return vudo.ControlRect(kStartStopButton).left == w - 75 && vudo.ControlRect(kResultList).right == 5 + (w > 10 ? w - 10 : 0);
    }));
    if (s.height < 110) {
      EXPECT_LT(h, 115);  // below the list's offsets
    }
    ExpectRule(vudo, w, h);
    ExpectStatusPlace(vudo, w);
  }
  ExpectPlaces(vudo, kCreated);

  // Minimised, the inner size is 0 x 0; restored, the layout is back.
  ShowWindow(vudo.Window(), SW_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return IsIconic(vudo.Window()) != FALSE; }));
  ShowWindow(vudo.Window(), SW_RESTORE);
  ASSERT_TRUE(WaitFor([&] { return !IsIconic(vudo.Window()) && vudo.ControlRect(kStartStopButton).left == 225; }));
  ExpectPlaces(vudo, kCreated);
}

TEST(Window, TabAndShiftTabWalkTheControlsInOrderAndWrap) {
  VudoRun vudo;
  ASSERT_TRUE(vudo.Start());
  ASSERT_TRUE(vudo.BringToFront());
  ASSERT_TRUE(WaitFor([&] { return vudo.Focus() == vudo.ComboEdit(); }));
  const auto stop = [&](int number) { return number == kStartDirectoryCombo ? vudo.ComboEdit() : vudo.Control(number); };
  for (int next : {kBrowseButton, 4, 6, 7, 8, 1, 2}) {
    vudo.Key(VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return vudo.Focus() == stop(next); }, 5000)) << "Tab to " << next;
  }
  for (int previous : {kStartDirectoryCombo, 8, 7, 6, 4, 2, 1}) {
    vudo.KeyWith(VK_SHIFT, VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return vudo.Focus() == stop(previous); }, 5000)) << "Shift+Tab to " << previous;
  }
}

}  // namespace
}  // namespace vudo::e2e
