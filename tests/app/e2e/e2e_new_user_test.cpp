// The window as a new user meets it: a close that closes during a search,
// type-to-find in the list, the empty list saying why, underlined letters,
// label tips, and the window coming back as it was left.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "app/e2e/e2e_settings.h"
#include "app/e2e/e2e_trees.h"
#include "app/e2e/vudo_driver.h"
#include "support/temp_tree.h"
#include "support/window_driving.h"

namespace vudo::e2e {
namespace {

// The first letter of an ASCII name, lower-cased.
char FirstLetter(const std::string& name) {
  return name.empty() ? '\0' : static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
}

TEST(NewUser, ClosingDuringASearchEndsTheProgramAtOnceAndSaves) {
  const std::string root = LargeTree().Root();
  VudoRun vudo;
  ASSERT_TRUE(StartLargeSearchByClick(vudo, 1));
  vudo.KeyWith(VK_MENU, VK_F4);
  EXPECT_TRUE(vudo.WaitForExit(2000)) << "still running 2 s after Alt+F4";
  ASSERT_TRUE(vudo.WaitForExit(60000));
  EXPECT_EQ(vudo.ExitCode(), 0u);
  EXPECT_EQ(KnownKeys(vudo.ReadIni()), StoreWrites(root, "hit*", "", {root}));
}

class TypeToFind : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"Alpha.txt", "Zulu.txt", "bravo.txt", "zebra.txt", "Yankee.txt"}) tree_.Write(name, "");
    vudo_.WriteIni("searchdir = " + tree_.Root() + "\\\r\nfilename = *.txt\r\ncontains = \r\n");
    ASSERT_TRUE(vudo_.Start());
    ASSERT_TRUE(vudo_.BringToFront());
    vudo_.Click(kStartStopButton);
    ASSERT_TRUE(WaitFor([&] { return vudo_.RowCount() == 5 && vudo_.Text(kStartStopButton) == "Start"; }));
  }
  // The row the platform's own list would go to for `letter` typed after the
  // selection: the next one starting with it, round from the top.
  int NextStartingWith(char letter, int after) const {
    for (int step = 1; step <= vudo_.RowCount(); ++step) {
      const int row = (after + step) % vudo_.RowCount();
      if (FirstLetter(vudo_.Row(row).first) == letter) return row;
    }
    return -1;
  }

  testing_tree::TempTree tree_;
  VudoRun vudo_;
};

TEST_F(TypeToFind, ALetterSelectsTheNextRowStartingWithItAndCtrlCCopiesThatRow) {
  vudo_.ClickAt(vudo_.RowPoint(1));
  ASSERT_TRUE(WaitFor([&] { return vudo_.SelectedRow() == 1; }));
  const int z = NextStartingWith('z', 1);
  vudo_.Type("z");
  ASSERT_TRUE(WaitFor([&] { return vudo_.SelectedRow() == z; })) << "selected " << vudo_.SelectedRow();
  // The same letter again goes on to the next row that starts with it.
  const int next_z = NextStartingWith('z', z);
  vudo_.Type("z");
  EXPECT_TRUE(WaitFor([&] { return vudo_.SelectedRow() == next_z; })) << "selected " << vudo_.SelectedRow();
  const auto [name, directory] = vudo_.Row(vudo_.SelectedRow());
  PutOnClipboard("left alone");
  vudo_.KeyWith(VK_CONTROL, 'C');
  EXPECT_TRUE(WaitFor([&] { return ClipboardText() == directory + name; }));
  // The file itself too, for a paste into Explorer, to be copied.
  const std::string path = directory + name;
  EXPECT_EQ(testing_windows::ClipboardFiles(), std::vector<std::wstring>{std::wstring(path.begin(), path.end())});
  EXPECT_TRUE(testing_windows::ClipboardAsksForACopy());
}

TEST(NewUser, TheEmptyListSaysWhyItIsEmpty) {
  testing_tree::TempTree empty;
  VudoRun vudo;
  vudo.WriteIni("searchdir = " + empty.Root() + "\\no such folder\\\r\nfilename = *\r\ncontains = \r\n");
  ASSERT_TRUE(vudo.Start());
  ASSERT_TRUE(vudo.BringToFront());
  EXPECT_EQ(vudo.Text(kResultList), "");
  const int blank = vudo.ListInk();  // gridlines and all, but no text
  vudo.Click(kStartStopButton);
  ASSERT_TRUE(WaitFor([&] { return vudo.Text(kResultList) == "The folder cannot be opened."; }));
  EXPECT_TRUE(WaitFor([&] { return vudo.ListInk() > blank + 30; })) << "nothing drawn";

  // Alt and the underlined letter select a field's text, so a paste replaces it.
  // Each paste lands before the clipboard takes the next text.
  const std::string large = LargeTree().Root();
  vudo.KeyWith(VK_MENU, 'S');
  vudo.Paste(large);
  ASSERT_TRUE(WaitFor([&] { return vudo.EditText() == large; })) << vudo.EditText();
  vudo.KeyWith(VK_MENU, 'F');
  vudo.Paste("no file is called this");
  ASSERT_TRUE(WaitFor([&] { return vudo.Text(kPatternField) == "no file is called this"; }));
  vudo.Click(kStartStopButton);
  ASSERT_TRUE(WaitFor([&] { return vudo.Text(kResultList) == "Searching…"; }));
  ASSERT_TRUE(WaitFor([&] { return vudo.Text(kResultList) == "No files found."; }, 60000));
  EXPECT_TRUE(WaitFor([&] { return vudo.ListInk() > blank + 30; })) << "nothing drawn";
  // With rows there, the text is gone and the rows are drawn.
  vudo.KeyWith(VK_MENU, 'F');
  vudo.Paste("hit*");
  ASSERT_TRUE(WaitFor([&] { return vudo.Text(kPatternField) == "hit*"; }));
  vudo.Click(kStartStopButton);
  ASSERT_TRUE(WaitFor([&] { return vudo.Text(kStartStopButton) == "Start" && vudo.RowCount() == kLargeTreeHits; },
                      120000));
  ASSERT_TRUE(vudo.CloseWithAltF4());
}

TEST(NewUser, UnderlinedLettersMoveToTheirFieldWithItsTextSelected) {
  VudoRun vudo;
  vudo.WriteIni("searchdir = C:\\Data\\\r\nfilename = *.txt\r\ncontains = needle\r\n");
  ASSERT_TRUE(vudo.Start());
  ASSERT_TRUE(vudo.BringToFront());
  const struct {
    WORD letter;
    HWND field;
    int length;
  } cases[] = {{'F', vudo.Control(kPatternField), 5},
               {'C', vudo.Control(kContainsField), 6},
               {'S', vudo.ComboEdit(), 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<char>(c.letter));
    vudo.KeyWith(VK_MENU, c.letter);
    ASSERT_TRUE(WaitFor([&] { return vudo.Focus() == c.field; }));
    EXPECT_TRUE(WaitFor([&] { return vudo.EditSelection(c.field) == std::make_pair(0, c.length); }));
  }
  ASSERT_TRUE(vudo.CloseWithAltF4());
}

TEST(NewUser, ACutOffCellShowsItsWholeTextUnderThePointer) {
  testing_tree::TempTree tree;
  const std::string folder = "a name too long to show whole";
  tree.Write(folder + "/deep.txt", "");
  tree.Write("top.txt", "");
  VudoRun vudo;
  vudo.WriteIni("searchdir = " + tree.Root() + "\\\r\nfilename = *.txt\r\ncontains = \r\n");
  ASSERT_TRUE(vudo.Start());
  ASSERT_TRUE(vudo.BringToFront());
  vudo.Click(kStartStopButton);
  ASSERT_TRUE(WaitFor([&] { return vudo.RowCount() == 2 && vudo.Text(kStartStopButton) == "Start"; }));
  const int deep = vudo.Row(0).first == "deep.txt" ? 0 : 1;
  POINT cell = vudo.RowPoint(deep);
  cell.x += 100;  // into the directory column
  testing_windows::MoveMouse(POINT{cell.x - 3, cell.y});
  testing_windows::MoveMouse(cell);
  EXPECT_TRUE(WaitFor([&] { return vudo.TipText() == tree.Root() + "\\" + folder + "\\"; }))
      << "tip: '" << vudo.TipText() << "'";
  // A cell that shows its whole text has no tip.
  const POINT whole = vudo.RowPoint(deep);
  testing_windows::MoveMouse(POINT{whole.x + 3, whole.y});
  testing_windows::MoveMouse(whole);
  EXPECT_TRUE(WaitFor([&] { return vudo.TipText().empty(); }));
  ASSERT_TRUE(vudo.CloseWithAltF4());
}

TEST(NewUser, TheWindowComesBackAsItWasLeft) {
  VudoRun vudo;
  vudo.WriteIni("searchdir = C:\\Data\\\r\nfilename = *\r\ncontains = \r\n");
  ASSERT_TRUE(vudo.Start());
  SetWindowPos(vudo.Window(), nullptr, 40, 30, 420, 380, SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(vudo.Control(kResultList), LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(130, 0));
  SendMessageA(vudo.Control(kResultList), LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(220, 0));
  ASSERT_TRUE(WaitFor([&] { return vudo.InnerSize().cx > 300; }));
  ASSERT_TRUE(vudo.CloseWithAltF4());
  // The known keys stay first and in their order; the new ones follow.
  EXPECT_EQ(vudo.ReadIni(), StoreWrites("C:\\Data\\", "*", "", {}) +
                                "windowleft = 40\r\nwindowtop = 30\r\nwindowwidth = 420\r\nwindowheight = 380\r\n"
                                "windowmaximized = 0\r\nfilenamewidth = 130\r\ndirectorywidth = 220\r\n");

  ASSERT_TRUE(vudo.Start());
  RECT outer{};
  GetWindowRect(vudo.Window(), &outer);
  EXPECT_EQ(outer.left, 40);
  EXPECT_EQ(outer.top, 30);
  EXPECT_EQ(outer.right - outer.left, 420);
  EXPECT_EQ(outer.bottom - outer.top, 380);
  EXPECT_EQ(SendMessageA(vudo.Control(kResultList), LVM_GETCOLUMNWIDTH, 0, 0), 130);
  EXPECT_EQ(SendMessageA(vudo.Control(kResultList), LVM_GETCOLUMNWIDTH, 1, 0), 220);
  // The controls follow the restored size.
  EXPECT_EQ(vudo.ControlRect(kResultList).right, vudo.InnerSize().cx - 5);
  ShowWindow(vudo.Window(), SW_MAXIMIZE);
  ASSERT_TRUE(WaitFor([&] { return IsZoomed(vudo.Window()) != FALSE; }));
  ASSERT_TRUE(vudo.CloseWithAltF4());
  EXPECT_NE(vudo.ReadIni().find("windowwidth = 420\r\nwindowheight = 380\r\nwindowmaximized = 1\r\n"),
            std::string::npos)
      << vudo.ReadIni();
  ASSERT_TRUE(vudo.Start());
  EXPECT_TRUE(IsZoomed(vudo.Window()));
  ASSERT_TRUE(vudo.CloseWithAltF4());
}

TEST(NewUser, APlaceOffEveryMonitorIsNotUsed) {
  VudoRun vudo;
  vudo.WriteIni("searchdir = \r\nfilename = \r\ncontains = \r\nwindowleft = 9000\r\nwindowtop = 9000\r\n"
                "windowwidth = 400\r\nwindowheight = 350\r\nwindowmaximized = 0\r\nfilenamewidth = 100\r\n"
                "directorywidth = 100\r\n");
  ASSERT_TRUE(vudo.Start());
  RECT outer{};
  GetWindowRect(vudo.Window(), &outer);
  EXPECT_LT(outer.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_LT(outer.top, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(outer.right - outer.left, 400);  // the size still holds
  ASSERT_TRUE(vudo.CloseWithAltF4());
}

}  // namespace
}  // namespace vudo::e2e
