#include "common/control_numbers.h"
#include "search/search_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "platform/directory.h"
#include "search/search_state.h"
#include "support/memory_controls.h"
#include "support/temp_tree.h"
#include "ui/controls/control_seam.h"

namespace vudo {
namespace {

using testing_tree::TempTree;

// É and é in the platform's 8-bit text: one byte in the ANSI code page, two
// in UTF-8.
const std::string kCapitalE = Utf8Text() ? "\xC3\x89" : "\xC9";
const std::string kSmallE = Utf8Text() ? "\xC3\xA9" : "\xE9";

class SearchControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_controls::Reset();
    StopRequested = 0;
    ControlSetText(kStartStopButton, "Start");
    for (int i = 0; i < 20; ++i) tree_.Write("a/file" + std::to_string(i) + ".txt", "text " + std::to_string(i));
    tree_.Write("b/other.txt", "other");
  }

  void Inputs(const std::string& directory, const std::string& pattern, const std::string& contains = "") {
    ControlSetText(kStartDirectoryCombo, directory);
    ControlSetText(kPatternField, pattern);
    ControlSetText(kContainsField, contains);
  }

  TempTree tree_;
};

TEST_F(SearchControlTest, LabelsFollowStartAndEnd) {
  Inputs(tree_.Root(), "*.txt");
  std::vector<std::string> labels_during;
  testing_controls::SetOnPoll([&] { labels_during.push_back(ControlText(kStartStopButton)); });
  ToggleSearch();
  ASSERT_FALSE(labels_during.empty());
  for (const auto& label : labels_during) EXPECT_EQ(label, "Stop");
  EXPECT_EQ(ControlText(kStartStopButton), "Start");
  EXPECT_EQ(testing_controls::Rows().size(), 21u);
  EXPECT_EQ(StopRequested, 0);
}

TEST_F(SearchControlTest, StopMidWalkKeepsTheRowsFoundAndHandlesNoFurtherEntry) {
  Inputs(tree_.Root(), "*");
  std::size_t rows_at_stop = 0;
  testing_controls::SetOnPoll([&] {
    if (testing_controls::Rows().size() == 3) {
      rows_at_stop = 3;
      ToggleSearch();  // the button reads "Stop": a stop request
      EXPECT_EQ(ControlText(kStartStopButton), "Start");
      testing_controls::SetOnPoll(nullptr);
    }
  });
  ToggleSearch();
  EXPECT_EQ(rows_at_stop, 3u);
  EXPECT_EQ(testing_controls::Rows().size(), 3u);
  EXPECT_EQ(ControlText(kStartStopButton), "Start");
  EXPECT_EQ(StopRequested, 1);

  // The next start clears the list first and runs to its end.
  ToggleSearch();
  EXPECT_EQ(testing_controls::Rows().size(), 21u);
  EXPECT_EQ(StopRequested, 0);
}

TEST_F(SearchControlTest, RecentDirectoriesAreInsertedAtTheTopUnlessPresentInAnyCase) {
  testing_controls::Recent() = {"c:\\data", "d:\\old"};
  const std::string ete = "e:\\" + kCapitalE + "t" + kSmallE;
  const struct {
    std::string directory;
    std::vector<std::string> expected;
  } steps[] = {
      {"C:\\Data", {"c:\\data", "d:\\old"}},
      {"C:\\Data2", {"C:\\Data2", "c:\\data", "d:\\old"}},
      {"D:\\OLD", {"C:\\Data2", "c:\\data", "d:\\old"}},
      {ete, {ete, "C:\\Data2", "c:\\data", "d:\\old"}},
      {"E:\\" + kSmallE + "T" + kCapitalE, {ete, "C:\\Data2", "c:\\data", "d:\\old"}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.directory);
    Inputs(step.directory, "*");  // none of these exists, so the walk is empty
    ToggleSearch();
    EXPECT_EQ(testing_controls::Recent(), step.expected);
  }
}

TEST_F(SearchControlTest, AnEmptyStartDirectoryIsSearchedButNotRemembered) {
  Inputs("", "*");
  bool walked = false;
  testing_controls::SetOnPoll([&] {
    walked = true;
    ToggleSearch();  // the root may be large: stop at once
  });
  ToggleSearch();
  EXPECT_TRUE(walked);
  EXPECT_TRUE(testing_controls::Recent().empty());
}

#ifdef _WIN32
TEST_F(SearchControlTest, AFolderTypedWithSlashesIsSpelledAsTheSystemSpellsIt) {
  std::string slashed = tree_.Path("b");
  for (char& c : slashed)
    if (c == '\\') c = '/';
  Inputs(slashed, "*");
  ToggleSearch();
  EXPECT_EQ(testing_controls::Recent(), std::vector<std::string>{tree_.Path("b")});
  EXPECT_EQ(testing_controls::Rows(), std::vector<std::string>{"other.txt\n" + tree_.Path("b") + "\\"});
}
#endif

TEST_F(SearchControlTest, ThePreviousRowsAreClearedAtStart) {
  testing_controls::Rows() = {"stale\nrow"};
  Inputs(tree_.Path("missing"), "*");
  ToggleSearch();
  EXPECT_TRUE(testing_controls::Rows().empty());
}

TEST_F(SearchControlTest, PatternAndContainsIgnoreLetterCase) {
  tree_.Write("c/Report.TXT", "Quarterly " + kCapitalE + "T" + kCapitalE + " Figures");
  Inputs(tree_.Path("c"), "REPORT.txt", kSmallE + "t" + kSmallE + " FIGURES");
  ToggleSearch();
  EXPECT_EQ(testing_controls::Rows(), std::vector<std::string>{"Report.TXT\n" + tree_.Path("c/")});
  EXPECT_EQ(NamePattern, "report.txt");
  EXPECT_EQ(ContainsText, kSmallE + "t" + kSmallE + " figures");
}

TEST_F(SearchControlTest, AnEmptyPatternListsEveryFile) {
  Inputs(tree_.Path("b"), "*.doc");
  ToggleSearch();
  EXPECT_TRUE(testing_controls::Rows().empty());
  Inputs(tree_.Path("b"), "");
  ToggleSearch();
  EXPECT_EQ(testing_controls::Rows().size(), 1u);
}

TEST_F(SearchControlTest, AStartWhileTheOldWalkUnwindsReplacesIt) {
  // Stop and Start arrive in one burst while the walk of "a" processes events:
  // the new search of "b" runs to its end inside the old walk, and the old walk
  // then ends without adding a single row.
  Inputs(tree_.Path("a"), "*");
  testing_controls::SetOnPoll([&] {
    if (testing_controls::Rows().size() < 2) return;
    testing_controls::SetOnPoll(nullptr);
    ToggleSearch();  // Stop
    Inputs(tree_.Path("b"), "*");
    ToggleSearch();  // Start, nested
  });
  ToggleSearch();
  EXPECT_EQ(testing_controls::Rows(), std::vector<std::string>{"other.txt\n" + tree_.Path("b/")});
  EXPECT_EQ(ControlText(kStartStopButton), "Start");
}

TEST_F(SearchControlTest, StartAndStopPressedAThousandTimesRunOneWalkAtATime) {
  // A tree eleven levels deep with files at every level.
  std::string level = "deep";
  for (int depth = 0; depth < 11; ++depth) {
    for (int f = 0; f < 4; ++f) tree_.Write(level + "/f" + std::to_string(f) + (f % 2 ? ".txt" : ".dat"), "x");
    level += "/sub";
  }
  const std::string root = tree_.Path("deep");
  const char* patterns[] = {"*.txt", "*.dat", "f1*", "*"};
  unsigned seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };

  int presses = 0, poll_depth = 0, deepest_poll = 0, most_open = 0;
  std::string last_pattern = "*.txt";
  testing_controls::SetOnPoll([&] {
    ++poll_depth;
    deepest_poll = std::max(deepest_poll, poll_depth);
    most_open = std::max(most_open, platform::DirectoryReader::OpenCount());
    if (presses < 1000 && next() % 3 == 0) {
      const int burst = 1 + static_cast<int>(next() % 3);
      for (int i = 0; i < burst && presses < 1000; ++i, ++presses) {
        if (ControlText(kStartStopButton) == "Start") {
          last_pattern = patterns[next() % 4];
          Inputs(root, last_pattern);
        }
        ToggleSearch();  // as a click on the button, from inside the walk
      }
    }
    --poll_depth;
  });
  // A stopped search returns to here; a new one starts until all the presses
  // have been made inside running walks.
  while (presses < 1000) {
    last_pattern = patterns[next() % 4];
    Inputs(root, last_pattern);
    ToggleSearch();
  }
  // Whatever the last press was, a last Start runs its search to the end.
  if (StopRequested) {
    Inputs(root, last_pattern);
    ToggleSearch();
  }
  testing_controls::SetOnPoll(nullptr);
  EXPECT_EQ(presses, 1000);
  EXPECT_EQ(deepest_poll, 1);       // no walk ever ran inside another one's events
  EXPECT_LE(most_open, 12);          // one walk's directories, one per level
  EXPECT_EQ(ControlText(kStartStopButton), "Start");
  EXPECT_EQ(StopRequested, 0);

  // The rows are exactly those of the last search, run on its own.
  auto rows = testing_controls::Rows();
  Inputs(root, last_pattern);
  ToggleSearch();
  auto alone = testing_controls::Rows();
  std::sort(rows.begin(), rows.end());
  std::sort(alone.begin(), alone.end());
  EXPECT_EQ(rows, alone);
  EXPECT_FALSE(alone.empty());
}

TEST_F(SearchControlTest, AStopAfterAPendingStartCancelsIt) {
  Inputs(tree_.Path("a"), "*");
  testing_controls::SetOnPoll([&] {
    testing_controls::SetOnPoll(nullptr);
    ToggleSearch();  // Stop
    ToggleSearch();  // Start: waits for the old walk to unwind
    ToggleSearch();  // Stop again before it could run
  });
  ToggleSearch();
  EXPECT_EQ(ControlText(kStartStopButton), "Start");
  EXPECT_EQ(StopRequested, 1);
  EXPECT_TRUE(testing_controls::Rows().size() <= 1u);  // the list was cleared by the Start
}

}  // namespace
}  // namespace vudo
