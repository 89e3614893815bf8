// Searches started and stopped through the real window with real keys and
// clicks, compared with what the console finder lists.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "app/e2e/e2e_settings.h"
#include "app/e2e/e2e_trees.h"
#include "app/e2e/vudo_driver.h"
#include "support/window_driving.h"

namespace vudo::e2e {
namespace {

// Types the start directory and the pattern the way a person does: the focus
// starts in the start directory, Tab moves past "..." to the pattern.
void EnterSearch(VudoRun& vudo, const std::string& directory, const std::string& pattern,
                 const std::string& contains = "") {
  ASSERT_TRUE(vudo.BringToFront());
  ASSERT_TRUE(WaitFor([&] { return vudo.Focus() == vudo.ComboEdit(); }));
  vudo.Type(directory);
  vudo.Key(VK_TAB);
  vudo.Key(VK_TAB);
  ASSERT_TRUE(WaitFor([&] { return vudo.Focus() == vudo.Control(kPatternField); }));
  vudo.Type(pattern);
  if (!contains.empty()) {
    vudo.Key(VK_TAB);
    ASSERT_TRUE(WaitFor([&] { return vudo.Focus() == vudo.Control(kContainsField); }));
    vudo.Type(contains);
  }
  ASSERT_TRUE(WaitFor([&] {
    return vudo.EditText() == directory && vudo.Text(kPatternField) == pattern && vudo.Text(kContainsField) == contains;
  }));
}

// Starts a search of the large tree for "hit*" with Return and waits until it
// has listed `rows` rows.
void StartLargeSearch(VudoRun& vudo, int rows) {
  ASSERT_TRUE(vudo.Start());
  EnterSearch(vudo, LargeTree().Root(), "hit*");
  vudo.Key(VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return vudo.RowCount() >= rows; }, 30000));
}

TEST(Search, ReturnRunsASearchWhoseRowsAreTheConsoleFindersAndAppearWhileItRuns) {
  const std::string root = LargeTree().Root();
  VudoRun vudo;
  ASSERT_TRUE(vudo.Start());
  EnterSearch(vudo, root, "*.TXT");
  vudo.Key(VK_RETURN);
  // Rows come in while the button reads "Stop".
  EXPECT_TRUE(WaitFor([&] { return vudo.Text(kStartStopButton) == "Stop" && vudo.RowCount() > 0; }, 30000));
  ASSERT_TRUE(vudo.WaitForButton("Start", 120000));
  EXPECT_EQ(vudo.RowCount(), kLargeTreeHits);
  EXPECT_EQ(vudo.RowPaths(), ConsoleFinderPaths(root, "*.TXT"));  // the same rows in the same order
  EXPECT_EQ(vudo.RecentList(), std::vector<std::string>{root});
}

TEST(Search, AContainsTextAndAClickOnTheButton) {
  const std::string root = SmallTree().Root() + "\\";
  VudoRun vudo;
  ASSERT_TRUE(vudo.Start());
  EnterSearch(vudo, root, "*.t?t", "HeLLo");
  vudo.Click(kStartStopButton);
  ASSERT_TRUE(WaitFor([&] { return vudo.RowCount() == 3; }));
  ASSERT_TRUE(vudo.WaitForButton("Start"));
  const std::vector<std::string> expected = {root + "docs\\Readme.TXT", root + "docs\\sub\\deep\\a.txt",
                                             root + "docs\\other\\C.Txt"};
  EXPECT_EQ(Sorted(vudo.RowPaths()), Sorted(expected));
  EXPECT_EQ(Sorted(vudo.RowPaths()), Sorted(ConsoleFinderPaths(root, "*.t?t", "HeLLo")));
  // Each row's columns: the name, and the directory with its backslash.
  for (int i = 0; i < vudo.RowCount(); ++i) {
    const auto [name, directory] = vudo.Row(i);
    EXPECT_EQ(name.find('\\'), std::string::npos);
    EXPECT_EQ(directory.back(), '\\');
  }

  // Return in the Contains field runs it again; a new search clears the list.
  vudo.FocusControl(kContainsField);
  ASSERT_TRUE(vudo.SearchAndWait([&] { vudo.Key(VK_RETURN); }));
  EXPECT_EQ(vudo.RowCount(), 3);
  ASSERT_TRUE(vudo.CloseWithAltF4());
  EXPECT_EQ(vudo.ExitCode(), 0u);
  EXPECT_EQ(KnownKeys(vudo.ReadIni()), StoreWrites(root, "*.t?t", "HeLLo", {root}));
}

TEST(Search, StopInTheMiddleKeepsTheRowsAndAddsNoMore) {
  const std::string root = LargeTree().Root();
  VudoRun vudo;
  StartLargeSearch(vudo, 3);
  vudo.Click(kStartStopButton);
  ASSERT_TRUE(vudo.WaitForStopped());
  const int kept = vudo.RowCount();
  EXPECT_GE(kept, 3);
  EXPECT_LT(kept, kLargeTreeHits);
  // Watched for a while: nothing more arrives.
  EXPECT_FALSE(WaitFor([&] { return vudo.RowCount() != kept || vudo.Text(kStartStopButton) != "Start"; }, 1000));
}

// The status text counts the rows while the search runs, says it was stopped
// with the rows it kept, and after a whole search how many in how long; its
// tip shows it whole.
TEST(Search, TheStatusTextCountsAsItGoesAndSaysHowItEnded) {
  // Every file below /usr: rows for some seconds.
  VudoRun vudo;
  vudo.WriteIni("searchdir = Z:\\usr\\\r\nfilename = *\r\ncontains = \r\n");
  ASSERT_TRUE(vudo.Start());
  ASSERT_TRUE(vudo.BringToFront());
  vudo.Click(kStartStopButton);
  const std::regex running("Searching\xE2\x80\xA6 ([\\d,]+) files?");
  std::vector<long> counts;
  WaitFor([&] {
    std::smatch number;
    const std::string text = vudo.Text(kStatusText);
    if (!std::regex_match(text, number, running)) return vudo.Text(kStartStopButton) == "Start" && vudo.RowCount() > 0;
    std::string digits = number[1];
    digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
    if (counts.empty() || counts.back() != std::stol(digits)) counts.push_back(std::stol(digits));
    return counts.size() >= 2 || (vudo.Text(kStartStopButton) == "Start" && vudo.RowCount() > 0);
  }, 60000);
  ASSERT_GE(counts.size(), 2u) << vudo.Text(kStatusText) << ", " << vudo.RowCount() << " rows";
  EXPECT_LT(counts[0], counts[1]);
  // Stopped, or ended just before the click: either way the count is the
  // rows'.
  vudo.Click(kStartStopButton);
  ASSERT_TRUE(vudo.WaitForStopped());
  std::string rows = std::to_string(vudo.RowCount());
  for (std::size_t at = rows.size(); at > 3;) rows.insert(at -= 3, ",");
  EXPECT_TRUE(std::regex_match(vudo.Text(kStatusText), std::regex("Stopped: " + rows + " files found|" + rows +
                                                                   R"( files found in \d+\.\d s)")))
      << vudo.Text(kStatusText);

  // A whole search, of the small tree's six files.
  vudo.KeyWith(VK_MENU, 'S');
  vudo.Type(SmallTree().Root());
  vudo.Key(VK_RETURN);
  const std::regex whole(R"(6 files found in \d+\.\d s)");
  EXPECT_TRUE(WaitFor([&] { return std::regex_match(vudo.Text(kStatusText), whole); }, 120000))
      << vudo.Text(kStatusText);
  RECT status{};
  GetWindowRect(vudo.Control(kStatusText), &status);
  testing_windows::MoveMouse(POINT{(status.left + status.right) / 2, (status.top + status.bottom) / 2});
  EXPECT_TRUE(WaitFor([&] {
    HWND tip = nullptr;
    while ((tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)))
      if (IsWindowVisible(tip) && testing_windows::TextOf(tip) == vudo.Text(kStatusText)) return true;
    return false;
  }, 10000)) << VisibleWindows();
}

TEST(Search, ReturnWhileASearchRunsStopsIt) {
  const std::string root = LargeTree().Root();
  VudoRun vudo;
  StartLargeSearch(vudo, 1);
  vudo.Key(VK_RETURN);
  ASSERT_TRUE(vudo.WaitForStopped());
  EXPECT_LT(vudo.RowCount(), kLargeTreeHits);
}

TEST(Search, ReturnHeldDownRunsTheLastSearchWholeAndNeverPilesWalksUp) {
  const std::string root = LargeTree().Root();
  VudoRun vudo;
  StartLargeSearch(vudo, 1);
  // Sixty more, as fast as key repeat delivers them: Stop, Start, Stop, ...
  // and a Start last.
  for (int i = 0; i < 60; ++i) vudo.Key(VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return vudo.Text(kStartStopButton) == "Start" && vudo.RowCount() == kLargeTreeHits; }, 180000));
  EXPECT_FALSE(vudo.WaitForExit(0));
  EXPECT_EQ(vudo.RowPaths(), ConsoleFinderPaths(root, "hit*"));
  EXPECT_EQ(vudo.RecentList(), std::vector<std::string>{root});
}

}  // namespace
}  // namespace vudo::e2e
