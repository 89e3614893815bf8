// The status text beside Start: what it says of a search as it runs and once
// it has ended.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "common/control_numbers.h"
#include "platform/directory.h"
#include "search/event_pace.h"
#include "search/search_control.h"
#include "search/search_state.h"
#include "search/search_summary.h"
#include "search/window_walk.h"
#include "support/memory_controls.h"
#include "support/temp_tree.h"
#include "ui/controls/control_seam.h"

namespace vudo {
namespace {

const std::string kEllipsis = Utf8Text() ? "\xE2\x80\xA6" : "...";

TEST(SummaryText, SaysHowTheSearchWent) {
  const auto tally = [](std::uint64_t files, bool running, bool stopped, std::uint64_t folders = 0,
                        std::uint64_t unreadable_files = 0, std::uint32_t ms = 4800, bool listed = true) {
    SearchTally t;
    t.files = files;
    t.running = running;
    t.stopped = stopped;
    t.unreadable_folders = folders;
    t.unreadable_files = unreadable_files;
    t.milliseconds = ms;
    t.start_listed = listed;
    return t;
  };
  const struct {
    SearchTally tally;
    std::string text;
  } table[] = {
      {tally(12345, true, false), "Searching" + kEllipsis + " 12,345 files"},
      {tally(1, true, false), "Searching" + kEllipsis + " 1 file"},
      {tally(1332, false, false), "1,332 files found in 4.8 s"},
      {tally(1, false, false, 0, 0, 40), "1 file found in 0.0 s"},
      {tally(213, false, true), "Stopped: 213 files found"},
      {tally(0, false, false), "No files found."},
      {tally(7, false, false, 3), "7 files found in 4.8 s, 3 folders could not be read"},
      {tally(0, false, false, 1, 2), "No files found, 1 folder could not be read, 2 files could not be read"},
      {tally(5, false, true, 0, 1), "Stopped: 5 files found, 1 file could not be read"},
      {tally(0, false, false, 0, 0, 0, false), ""},
  };
  for (const auto& row : table) EXPECT_EQ(SummaryText(row.tally), row.text);
}

class StatusText : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_controls::Reset();
    StopRequested = 0;
    ControlSetText(kStartStopButton, "Start");
    for (int i = 0; i < 20; ++i) tree_.Write("a/file" + std::to_string(i) + ".txt", "text");
    tree_.Write("b/other.txt", "other");
  }
  void TearDown() override { platform::testing::RefuseDirectoriesNamed(""); }

  std::string Search(const std::string& directory, const std::string& pattern) {
    ControlSetText(kStartDirectoryCombo, directory);
    ControlSetText(kPatternField, pattern);
    ToggleSearch();
    return ControlText(kStatusText);
  }

  testing_tree::TempTree tree_;
};

TEST_F(StatusText, AfterASearchTheCountAndTheTime) {
  EXPECT_TRUE(std::regex_match(Search(tree_.Root(), "*.txt"), std::regex(R"(21 files found in \d+\.\d s)")));
  EXPECT_EQ(Search(tree_.Root(), "*.doc"), "No files found.");
  EXPECT_EQ(Search(tree_.Path("missing"), "*"), "");  // the empty list says why
}

TEST_F(StatusText, AStoppedSearchSaysSoWithTheRowsItKept) {
  testing_controls::SetOnPoll([&] {
    if (testing_controls::Rows().size() == 3) ToggleSearch();
  });
  EXPECT_EQ(Search(tree_.Root(), "*"), "Stopped: 3 files found");
}

TEST_F(StatusText, FoldersThatCannotBeReadAreCountedAndNamedInTheTip) {
  platform::testing::RefuseDirectoriesNamed("b");
  EXPECT_TRUE(std::regex_match(Search(tree_.Root(), "*"),
                               std::regex(R"(20 files found in \d+\.\d s, 1 folder could not be read)")));
  const std::string tip = testing_controls::Tip(kStatusText);
  EXPECT_NE(tip.find("Could not be read:"), std::string::npos) << tip;
  EXPECT_NE(tip.find(tree_.Path("b")), std::string::npos) << tip;
}

// Of several start folders, one that cannot be opened is counted as any
// folder that cannot be read; the empty list says the folder cannot be opened
// only when none can be. The recent list keeps the text as typed.
TEST_F(StatusText, AFolderThatCannotBeOpenedAmongSeveralIsCountedNotTheReason) {
  const std::string list = tree_.Path("missing") + " ; " + tree_.Path("b");
  EXPECT_TRUE(std::regex_match(Search(list, "*"), std::regex(R"(1 file found in \d+\.\d s, 1 folder could not be read)")));
  EXPECT_TRUE(StartDirectoryListed());
  EXPECT_EQ(testing_controls::Recent().front(), list);
  EXPECT_EQ(Search(tree_.Path("missing") + ";" + tree_.Path("gone"), "*"), "");
  EXPECT_FALSE(StartDirectoryListed());
}

TEST_F(StatusText, WhileItRunsTheCountGrowsAtTheListsPaceNotPerRow) {
  for (int i = 0; i < 300; ++i) tree_.Write("c/f" + std::to_string(i), "");
  static std::uint32_t now = 0;
  SetDrainClock([] { return now += 2; });  // every reading of the clock: 2 ms on
  std::vector<std::string> shown;
  testing_controls::SetOnPoll([&] {
    const std::string text = ControlText(kStatusText);
    if (!text.empty() && (shown.empty() || shown.back() != text)) shown.push_back(text);
  });
  Search(tree_.Path("c"), "*");
  SetDrainClock(nullptr);
  ASSERT_GE(shown.size(), 2u);
  std::uint64_t last = 0;
  for (const std::string& text : shown) {
    std::smatch number;
    ASSERT_TRUE(std::regex_match(text, number, std::regex("Searching" + kEllipsis + R"( (\d+) files?)"))) << text;
    EXPECT_GT(std::stoull(number[1]), last);
    last = std::stoull(number[1]);
  }
  EXPECT_LT(shown.size(), 300u / 10);  // never per row
}

}  // namespace
}  // namespace vudo
