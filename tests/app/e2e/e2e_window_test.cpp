// The window as laid out and as it follows its size, and the keyboard path
// through its controls.
#include <gtest/gtest.h>

#include <vector>

#include "app/e2e/e2e_layout.h"
#include "app/e2e/vudo_driver.h"

namespace vudo::e2e {
namespace {

// The layout as created: the rule's at the creation size.
const std::vector<Place> kCreated = RuleLayout(96, 300, 300);

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
  const struct {
    int number;
    const char* text;
  } texts[] = {{kSearchInLabel, "&Search in:"}, {kBrowseButton, "..."},        {kFilenameLabel, "&Filename:"},
               {kContainsLabel, "&Contains:"},  {kStartStopButton, "Start"}};
  for (const auto& t : texts) EXPECT_EQ(vudo.Text(t.number), t.text);
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
    ExpectPlaces(vudo, RuleLayout(96, w, h));
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
