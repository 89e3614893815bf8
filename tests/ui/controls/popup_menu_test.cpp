// A popup menu shown at the cursor and an item chosen with real keys from a
// second thread while the menu's modal loop runs.
#include <windows.h>

#include <vector>

#include "ui/controls/layer_fixture.h"

namespace vudo {
namespace {

using testing_windows::Helper;
using testing_windows::WaitFor;

std::vector<WPARAM> commands;
int nudges = 0;
WNDPROC layer_proc = nullptr;

LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND && lparam == 0) commands.push_back(wparam);
  if (message == WM_NULL) ++nudges;
  return CallWindowProcA(layer_proc, window, message, wparam, lparam);
}

HWND VisibleMenuWindow() {
  HWND menu = nullptr;
  while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)))
    if (IsWindowVisible(menu)) return menu;
  return nullptr;
}

class PopupMenu : public testing_windows::LayerTest {
 protected:
  void SetUp() override {
    LayerTest::SetUp();
    commands.clear();
    nudges = 0;
    layer_proc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Recorder)));
    ASSERT_NE(PopupMenuCreate(9), nullptr);
    MenuAppend(10, "Open folder");
    MenuAppend(11, "Open file");
    ASSERT_TRUE(testing_windows::BringToFront(window_));
    testing_windows::MoveMouse(testing_windows::CentreOf(window_));
  }
};

TEST_F(PopupMenu, HoldsItsItemsInOrder) {
  const HMENU menu = PopupMenuCreate(9);
  MenuAppend(10, "Open folder");
  MenuAppend(11, "Open file");
  ASSERT_EQ(GetMenuItemCount(menu), 2);
  char text[64];
  GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Open folder");
  EXPECT_EQ(GetMenuItemID(menu, 0), 10u);
  GetMenuStringA(menu, 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Open file");
  EXPECT_EQ(GetMenuItemID(menu, 1), 11u);
}

TEST_F(PopupMenu, AChosenItemReachesTheOwnerAsACommand) {
  POINT cursor;
  GetCursorPos(&cursor);
  RECT menu_rect{};
  int shown = 0;
  {
    Helper chooser([&] {
      HWND menu = nullptr;
      if (!WaitFor([&] { return (menu = VisibleMenuWindow()) != nullptr; })) return;
      GetWindowRect(menu, &menu_rect);
      testing_windows::PressKey(VK_DOWN);
      testing_windows::PressKey(VK_DOWN);
      testing_windows::PressKey(VK_RETURN);
    });
    shown = PopupMenuShow(9, window_);
  }
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(menu_rect.left, cursor.x - 1);
  EXPECT_EQ(menu_rect.top, cursor.y - 1);
  EXPECT_TRUE(testing_windows::PumpUntil([] { return !commands.empty(); }));
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(LOWORD(commands[0]), 11);
  // The harmless message posted after the menu, which lets it close properly.
  EXPECT_TRUE(testing_windows::PumpUntil([] { return nudges > 0; }));
}

TEST_F(PopupMenu, EscapeClosesItWithoutACommand) {
  {
    Helper closer([] {
      if (WaitFor([] { return VisibleMenuWindow() != nullptr; })) testing_windows::PressKey(VK_ESCAPE);
    });
    PopupMenuShow(9, window_);
  }
  EXPECT_EQ(VisibleMenuWindow(), nullptr);
  testing_windows::Flush();
  EXPECT_TRUE(commands.empty());
}

TEST_F(PopupMenu, ANewMenuUnderTheSameNumberReplacesTheOld) {
  const HMENU old = PopupMenuCreate(9);
  const HMENU replacement = PopupMenuCreate(9);
  EXPECT_NE(replacement, nullptr);
  EXPECT_FALSE(IsMenu(old));
  MenuAppend(12, "Only");
  EXPECT_EQ(GetMenuItemCount(replacement), 1);
}

}  // namespace
}  // namespace vudo
