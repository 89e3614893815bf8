// Tab and Shift+Tab through the layer's accelerators, with real key input.
#include <windows.h>

#include <vector>

#include "ui/controls/layer_fixture.h"
#include "ui/controls/tab_stops.h"

namespace vudo {
namespace {

using testing_windows::LayerTest;
using testing_windows::PumpUntil;

class TabStops : public LayerTest {
 protected:
  void SetUp() override {
    LayerTest::SetUp();
    // The main window's layout, numbered as in common/control_numbers.h; its
    // labels (kSearchInLabel, kFilenameLabel, kContainsLabel) are no tab stops.
    LabelCreate(0, 5, 13, 55, 20, "&Search in:");
    ComboCreate(1, 60, 10, 205, 100, kComboEditable | kComboAutoScroll);
    ButtonCreate(2, 270, 10, 25, 20, "...");
    LabelCreate(3, 5, 38, 55, 20, "&Filename:");
    FieldCreate(4, 60, 35, 235, 20, "");
    LabelCreate(5, 5, 63, 55, 20, "&Contains:");
    FieldCreate(6, 60, 60, 235, 20, "");
    ButtonCreate(7, 225, 85, 70, 20, "Start");
    ListCreate(8, 5, 110, 290, 185, "Filename", 100, 0);
    combo_edit_ = FindWindowExA(ControlHandle(1), nullptr, "Edit", nullptr);
    ASSERT_TRUE(testing_windows::BringToFront(window_));
  }

  HWND Stop(int number) { return number == 1 ? combo_edit_ : ControlHandle(number); }

  // Presses the key and waits for the focus to land on `expected`.
  bool PressAndExpect(bool shift, HWND expected) {
    if (shift) testing_windows::PressKeyWith(VK_SHIFT, VK_TAB);
    else testing_windows::PressKey(VK_TAB);
    return PumpUntil([&] { return GetFocus() == expected; }, 3000);
  }

  HWND combo_edit_ = nullptr;
};

TEST_F(TabStops, TheStopsInCreationOrder) {
  const std::vector<HWND> expected = {combo_edit_, Stop(2), Stop(4), Stop(6), Stop(7), Stop(8)};
  EXPECT_EQ(layer::TabStops(window_), expected);
}

TEST_F(TabStops, TabWrapsForwardAndShiftTabBackward) {
  SetFocus(Stop(1));
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Stop(1); }));
  for (int next : {2, 4, 6, 7, 8, 1}) EXPECT_TRUE(PressAndExpect(false, Stop(next))) << "Tab to " << next;
  for (int previous : {8, 7, 6, 4, 2, 1, 8}) EXPECT_TRUE(PressAndExpect(true, Stop(previous))) << "back to " << previous;
}

TEST_F(TabStops, AFieldReachedWithTheKeyboardHasItsTextSelected) {
  ControlSetText(4, "*.txt");
  ControlSetText(6, "needle");
  SetFocus(Stop(2));
  EXPECT_TRUE(PressAndExpect(false, Stop(4)));
  DWORD from = 99, to = 99;
  SendMessageA(Stop(4), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 5u);
  EXPECT_TRUE(PressAndExpect(true, Stop(2)));
  EXPECT_TRUE(PressAndExpect(true, Stop(1)));
  ControlSetText(1, "C:\\");
  EXPECT_TRUE(PressAndExpect(true, Stop(8)));
  EXPECT_TRUE(PressAndExpect(false, Stop(1)));
  SendMessageA(Stop(1), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 3u);
}

TEST_F(TabStops, DisabledAndHiddenControlsAreSkipped) {
  EnableWindow(Stop(2), FALSE);
  ShowWindow(Stop(6), SW_HIDE);
  SetFocus(Stop(1));
  EXPECT_TRUE(PressAndExpect(false, Stop(4)));
  EXPECT_TRUE(PressAndExpect(false, Stop(7)));
}

TEST_F(TabStops, AFocusOnNoStopStaysForTabAndGoesToTheLastForShiftTab) {
  SetFocus(ControlHandle(3));  // a label: inside the window, but no tab stop
  ASSERT_EQ(GetFocus(), ControlHandle(3));
  layer::FocusNextTabStop(window_);
  EXPECT_EQ(GetFocus(), ControlHandle(3));
  layer::FocusPreviousTabStop(window_);
  EXPECT_EQ(GetFocus(), Stop(8));
}

TEST_F(TabStops, AFocusOutsideTheWindowGoesToTheFirstStop) {
  const HWND other = WindowOpen(1, 0, 0, 100, 60, "Elsewhere", kFrame);
  ControlParentSet(other);
  const HWND field = FieldCreate(20, 5, 5, 80, 20, "");
  SetFocus(field);
  ASSERT_EQ(GetFocus(), field);
  layer::FocusNextTabStop(window_);
  EXPECT_EQ(GetFocus(), Stop(1));
  SetFocus(field);
  layer::FocusPreviousTabStop(window_);
  EXPECT_EQ(GetFocus(), Stop(8));
}

}  // namespace
}  // namespace vudo
