// The window at 125 %, 150 % and 200 %: the layout of 96 DPI scaled, texts
// that fit their controls, a move to a monitor of another scale, and sizes
// saved at 96 DPI. Runs in a Wine prefix of its own, whose scale it sets for
// each program it starts (Wine reads it as a program starts).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/e2e/e2e_layout.h"
#include "app/e2e/remote_window.h"
#include "app/e2e/vudo_driver.h"

namespace vudo::e2e {
namespace {

void SetLogPixels(DWORD dpi) {
  const struct {
    HKEY root;
    const char* key;
  } places[] = {{HKEY_CURRENT_USER, "Control Panel\\Desktop"},
                {HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"}};
  for (const auto& place : places) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(place.root, place.key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    RegCloseKey(key);
  }
}

class AtDisplayScale : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { SetLogPixels(static_cast<DWORD>(GetParam())); }
  void TearDown() override { SetLogPixels(96); }
  int S(int pixels) const { return MulDiv(pixels, GetParam(), 96); }
};

int ColumnWidth(const VudoRun& vudo, int column) {
  return static_cast<int>(SendMessageA(vudo.Control(kResultList), LVM_GETCOLUMNWIDTH, column, 0));
}

// Waits until every control is where the resize rule puts it at `dpi` for
// the window's inner size, and checks it: the program scales as the rule
// does, to the pixel.
void ExpectRuleOnceSettled(const VudoRun& vudo, int dpi) {
  const auto rule = [&] { return RuleLayout(dpi, vudo.InnerSize().cx, vudo.InnerSize().cy); };
  WaitFor([&] {
    for (const Place& p : rule()) {
      const RECT r = vudo.ControlRect(p.number);
      if (r.left != p.x || r.top != p.y || r.right - r.left != p.width) return false;
    }
    return true;
  });
  ExpectPlaces(vudo, rule());
}

// A text is whole when its ink stays off the control's last column and row:
// text cut off by the edge runs up to it. Waited for, as the control paints
// in the program's own time.
void ExpectWholeText(const VudoRun& vudo, int number) {
  RECT client{}, ink{};
  const bool whole = WaitFor([&] {
    GetClientRect(vudo.Control(number), &client);
    ink = InkBounds(vudo, number);
    return ink.right > ink.left && ink.right < client.right && ink.bottom < client.bottom;
  }, 5000);
  EXPECT_TRUE(whole) << "control " << number << ", " << client.right << "x" << client.bottom << ": ink to "
                     << ink.right << "," << ink.bottom;
}

TEST_P(AtDisplayScale, TheWindowIsThe96DpiOneScaledAndItsTextsFit) {
  VudoRun vudo;
  ASSERT_TRUE(vudo.Start());
  ASSERT_TRUE(vudo.BringToFront());
  EXPECT_NEAR(vudo.InnerSize().cx, S(300), 1);
  EXPECT_NEAR(vudo.InnerSize().cy, S(300), 1);
  ExpectRuleOnceSettled(vudo, GetParam());
  EXPECT_NEAR(ColumnWidth(vudo, 0), S(100), 1);
  EXPECT_NEAR(ColumnWidth(vudo, 1), S(100), 1);
  for (int label : {kSearchInLabel, kFilenameLabel, kContainsLabel}) ExpectWholeText(vudo, label);
  // Letters that reach below the line, in a field as tall as the layout
  // makes it.
  vudo.FocusControl(kPatternField);
  vudo.Type("Hgjy");
  ASSERT_TRUE(WaitFor([&] { return vudo.Text(kPatternField) == "Hgjy"; }));
  ExpectWholeText(vudo, kPatternField);

  SizeInner(vudo, S(450), S(420));
  ASSERT_TRUE(WaitFor([&] { return vudo.InnerSize().cx == S(450); }));
  ExpectRuleOnceSettled(vudo, GetParam());
}

TEST_P(AtDisplayScale, AMoveToAMonitorOfAnotherScaleLaysTheWindowOutForIt) {
  VudoRun vudo;
  ASSERT_TRUE(vudo.Start());
  // What Windows sends as the window crosses to a monitor at `dpi`: the DPI,
  // and the outer rectangle it suggests there.
  const auto move_to = [&](int dpi, int inner) {
    RECT outer{};
    GetWindowRect(vudo.Window(), &outer);
    const SIZE size = OuterFor(vudo, inner, inner);
    const RECT suggested{outer.left, outer.top, outer.left + size.cx, outer.top + size.cy};
    const RemoteBuffer remote(vudo.Process(), sizeof suggested);
    remote.Write(&suggested, sizeof suggested);
    SendMessageA(vudo.Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), remote.Param());
  };
  move_to(96, 300);
  EXPECT_EQ(vudo.InnerSize().cx, 300);
  ExpectRuleOnceSettled(vudo, 96);
  EXPECT_NEAR(ColumnWidth(vudo, 0), 100, 1);
  move_to(GetParam(), S(300));
  ExpectRuleOnceSettled(vudo, GetParam());
  EXPECT_NEAR(ColumnWidth(vudo, 1), S(100), 1);
  for (int label : {kSearchInLabel, kFilenameLabel, kContainsLabel}) ExpectWholeText(vudo, label);
}

TEST_P(AtDisplayScale, SizesAreSavedAt96DpiAndComeBackScaled) {
  VudoRun vudo;
  const std::string layout =
      "windowleft = 40\r\nwindowtop = 30\r\nwindowwidth = 420\r\nwindowheight = 360\r\nwindowmaximized = 0\r\n"
      "filenamewidth = 150\r\ndirectorywidth = 120\r\n";
  vudo.WriteIni("searchdir = C:\\\r\nfilename = *.txt\r\ncontains = \r\n" + layout);
  ASSERT_TRUE(vudo.Start());
  EXPECT_NEAR(ColumnWidth(vudo, 0), S(150), 1);
  EXPECT_NEAR(ColumnWidth(vudo, 1), S(120), 1);
  // The inner part of the 96-DPI size is scaled; the frame is the one
  // Windows draws at each scale.
  RECT frame96{0, 0, 0, 0};
  const auto adjust = reinterpret_cast<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi")));
  ASSERT_TRUE(adjust && adjust(&frame96, static_cast<DWORD>(GetWindowLongA(vudo.Window(), GWL_STYLE)), FALSE,
                               static_cast<DWORD>(GetWindowLongA(vudo.Window(), GWL_EXSTYLE)), 96));
  EXPECT_EQ(vudo.InnerSize().cx, S(420 - (frame96.right - frame96.left)));
  EXPECT_EQ(vudo.InnerSize().cy, S(360 - (frame96.bottom - frame96.top)));
  ExpectRuleOnceSettled(vudo, GetParam());
  ASSERT_TRUE(vudo.CloseWithAltF4());
  // Unmoved, the window comes back as the same numbers.
  EXPECT_NE(vudo.ReadIni().find(layout), std::string::npos) << vudo.ReadIni();
}

INSTANTIATE_TEST_SUITE_P(Dpi, AtDisplayScale, ::testing::Values(120, 144, 192),
                         [](const auto& info) { return std::to_string(info.param); });

}  // namespace
}  // namespace vudo::e2e
