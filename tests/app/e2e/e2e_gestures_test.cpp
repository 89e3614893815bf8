// The habits people bring from other finders, with real input: double-click
// and Return open a hit, Ctrl+C copies its path, Escape stops, a click on a
// column header sorts.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "app/e2e/e2e_trees.h"
#include "app/e2e/vudo_driver.h"
#include "common/bytes.h"
#include "support/probe_mark.h"
#include "support/temp_tree.h"

namespace vudo::e2e {
namespace {

// A tree holding a small test program among other hits; the window starts on
// it with "*" and runs the search.
class Gestures : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree_.HasProbe());
    tree_.Write("Hits/beta.TXT", "b");
    tree_.Write("Hits/Alpha.txt", "a");
    tree_.Write("more/alpha.TXT", "a");
    tree_.Write("more/Zulu.log", "z");
    vudo_.WriteIni("searchdir = " + tree_.Root() + "\\\r\nfilename = *\r\ncontains = \r\n");
    ASSERT_TRUE(vudo_.Start());
    ASSERT_TRUE(vudo_.BringToFront());
    vudo_.Click(kStartStopButton);
    ASSERT_TRUE(WaitFor([&] { return vudo_.RowCount() == 5 && vudo_.Text(kStartStopButton) == "Start"; }));
  }
  int RowOf(const std::string& name) const {
    for (int i = 0; i < vudo_.RowCount(); ++i)
      if (vudo_.Row(i).first == name) return i;
    return -1;
  }
  bool Marked(DWORD milliseconds) const {
    return WaitFor([&] { return GetFileAttributesA(mark_.c_str()) != INVALID_FILE_ATTRIBUTES; }, milliseconds);
  }
  void Select(int row) const {
    vudo_.ClickAt(vudo_.RowPoint(row));
    WaitFor([&] { return vudo_.Focus() == vudo_.Control(kResultList); });
  }

  testing_windows::ProbeTree tree_{LaunchProbeExe(), "Hits"};
  const std::string& probe_ = tree_.probe;
  const std::string& mark_ = tree_.mark;
  VudoRun vudo_;
};

TEST_F(Gestures, ADoubleClickOnARowOpensIt) {
  const int row = RowOf("probe.exe");
  ASSERT_GE(row, 0);
  vudo_.DoubleClickAt(vudo_.RowPoint(row));
  testing_windows::ProbeMark mark;
  ASSERT_TRUE(testing_windows::ReadProbeMark(mark_, mark));
  EXPECT_EQ(mark.command_line, "\"" + probe_ + "\"");
}

TEST_F(Gestures, ADoubleClickOnTheEmptyPartOrTheHeaderOpensNothing) {
  RECT list{};
  GetWindowRect(vudo_.Control(kResultList), &list);
  vudo_.DoubleClickAt(POINT{(list.left + list.right) / 2, list.bottom - 15});
  vudo_.DoubleClickAt(vudo_.HeaderPoint(1));
  EXPECT_FALSE(Marked(1500));
}

TEST_F(Gestures, ReturnOnTheSelectedRowOpensItAndWithoutOneNothing) {
  RECT list{};
  GetWindowRect(vudo_.Control(kResultList), &list);
  vudo_.ClickAt(POINT{(list.left + list.right) / 2, list.bottom - 15});  // the list, no row
  ASSERT_TRUE(WaitFor([&] { return vudo_.Focus() == vudo_.Control(kResultList); }));
  vudo_.Key(VK_RETURN);
  EXPECT_FALSE(Marked(1000));
  Select(RowOf("probe.exe"));
  vudo_.Key(VK_RETURN);
  EXPECT_TRUE(Marked(15000));
  EXPECT_EQ(vudo_.Text(kStartStopButton), "Start");  // Return on the list runs no search
}

TEST_F(Gestures, CtrlCCopiesTheSelectedRowsFullPath) {
  PutOnClipboard("left alone");
  RECT list{};
  GetWindowRect(vudo_.Control(kResultList), &list);
  vudo_.ClickAt(POINT{(list.left + list.right) / 2, list.bottom - 15});
  ASSERT_TRUE(WaitFor([&] { return vudo_.Focus() == vudo_.Control(kResultList); }));
  vudo_.KeyWith(VK_CONTROL, 'C');
  EXPECT_FALSE(WaitFor([] { return ClipboardText() != "left alone"; }, 1000));  // no row: untouched
  const int row = RowOf("Zulu.log");
  Select(row);
  vudo_.KeyWith(VK_CONTROL, 'C');
  EXPECT_TRUE(WaitFor([&] { return ClipboardText() == tree_.Path("more\\Zulu.log"); }));
}

// Reads the rows and checks them against the rows before the click, sorted
// the same way (rows with equal texts keep their order).
void ExpectSorted(const VudoRun& vudo, const std::vector<std::pair<std::string, std::string>>& before, int column,
                  bool descending) {
  auto expected = before;
  std::stable_sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
    const std::string ka = LowerCase(column == 0 ? a.first : a.second), kb = LowerCase(column == 0 ? b.first : b.second);
    return descending ? kb < ka : ka < kb;
  });
  std::vector<std::pair<std::string, std::string>> rows;
  for (int i = 0; i < vudo.RowCount(); ++i) rows.push_back(vudo.Row(i));
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(vudo.HeaderSortArrow(column), descending ? HDF_SORTDOWN : HDF_SORTUP);
  EXPECT_EQ(vudo.HeaderSortArrow(1 - column), 0);
}

TEST_F(Gestures, HeaderClicksSortBothWaysOnBothColumns) {
  std::vector<std::pair<std::string, std::string>> found;
  for (int i = 0; i < vudo_.RowCount(); ++i) found.push_back(vudo_.Row(i));
  for (int column : {0, 1}) {
    for (bool descending : {false, true}) {
      SCOPED_TRACE(testing::Message() << "column " << column << (descending ? " descending" : " ascending"));
      // The second click a little aside, so that the two never make a
      // double-click, which a header takes for something else.
      std::vector<std::pair<std::string, std::string>> before;
      for (int i = 0; i < vudo_.RowCount(); ++i) before.push_back(vudo_.Row(i));
      POINT at = vudo_.HeaderPoint(column);
      at.x += descending ? 10 : -10;
      vudo_.ClickAt(at);
      ASSERT_TRUE(WaitFor([&] { return vudo_.HeaderSortArrow(column) == (descending ? HDF_SORTDOWN : HDF_SORTUP); }));
      ExpectSorted(vudo_, before, column, descending);
    }
  }
  // A new search shows its rows in the order found again, with no arrow.
  vudo_.Click(kStartStopButton);
  ASSERT_TRUE(WaitFor([&] { return vudo_.RowCount() == 5 && vudo_.Text(kStartStopButton) == "Start"; }));
  EXPECT_EQ(vudo_.HeaderSortArrow(0), 0);
  EXPECT_EQ(vudo_.HeaderSortArrow(1), 0);
  std::vector<std::pair<std::string, std::string>> again;
  for (int i = 0; i < vudo_.RowCount(); ++i) again.push_back(vudo_.Row(i));
  EXPECT_EQ(again, found);
}

TEST(GesturesDuringASearch, EscapeStopsFromTheFieldsAndTheListAndDoesNothingAtRest) {
  const std::string root = LargeTree().Root();
  VudoRun vudo;
  vudo.WriteIni("searchdir = " + root + "\r\nfilename = hit*\r\ncontains = \r\n");
  ASSERT_TRUE(vudo.Start());
  ASSERT_TRUE(vudo.BringToFront());
  for (int where : {kPatternField, kResultList}) {
    SCOPED_TRACE(where);
    vudo.Click(kStartStopButton);
    ASSERT_TRUE(WaitFor([&] { return vudo.Text(kStartStopButton) == "Stop" && vudo.RowCount() >= 2; }, 30000));
    if (where == kPatternField) vudo.FocusControl(kPatternField);
    else vudo.ClickAt(vudo.RowPoint(0));
    ASSERT_TRUE(WaitFor([&] { return vudo.Focus() == vudo.Control(where); }));
    vudo.Key(VK_ESCAPE);
    ASSERT_TRUE(vudo.WaitForStopped());
    const int kept = vudo.RowCount();
    EXPECT_LT(kept, kLargeTreeHits);
    EXPECT_FALSE(WaitFor([&] { return vudo.RowCount() != kept; }, 700));
    // At rest, Escape changes nothing.
    vudo.Key(VK_ESCAPE);
    EXPECT_FALSE(WaitFor([&] { return vudo.RowCount() != kept || vudo.Text(kStartStopButton) != "Start"; }, 700));
  }
}

TEST(GesturesDuringASearch, AHeaderClickDuringASearchIsIgnored) {
  const std::string root = LargeTree().Root();
  VudoRun vudo;
  ASSERT_TRUE(StartLargeSearchByClick(vudo, 2));
  vudo.ClickAt(vudo.HeaderPoint(0));
  ASSERT_TRUE(vudo.WaitForButton("Start", 120000));
  EXPECT_EQ(vudo.HeaderSortArrow(0), 0);
  EXPECT_EQ(vudo.RowPaths(), ConsoleFinderPaths(root, "hit*"));  // still in the order found
}

}  // namespace
}  // namespace vudo::e2e
