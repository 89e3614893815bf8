#include "search/search_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/search_state.h"
#include "support/memory_controls.h"
#include "support/temp_tree.h"
#include "ui/control_layer.h"

namespace vudo {
namespace {

using testing_tree::TempTree;

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
  const struct {
    const char* directory;
    std::vector<std::string> expected;
  } steps[] = {
      {"C:\\Data", {"c:\\data", "d:\\old"}},
      {"C:\\Data2", {"C:\\Data2", "c:\\data", "d:\\old"}},
      {"D:\\OLD", {"C:\\Data2", "c:\\data", "d:\\old"}},
      {"e:\\\xC9t\xE9", {"e:\\\xC9t\xE9", "C:\\Data2", "c:\\data", "d:\\old"}},
      {"E:\\\xE9T\xC9", {"e:\\\xC9t\xE9", "C:\\Data2", "c:\\data", "d:\\old"}},
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

TEST_F(SearchControlTest, ThePreviousRowsAreClearedAtStart) {
  testing_controls::Rows() = {"stale\nrow"};
  Inputs(tree_.Path("missing"), "*");
  ToggleSearch();
  EXPECT_TRUE(testing_controls::Rows().empty());
}

TEST_F(SearchControlTest, PatternAndContainsIgnoreLetterCase) {
  tree_.Write("c/Report.TXT", "Quarterly \xC9T\xC9 Figures");
  Inputs(tree_.Path("c"), "REPORT.txt", "\xE9t\xE9 FIGURES");
  ToggleSearch();
  EXPECT_EQ(testing_controls::Rows(), std::vector<std::string>{"Report.TXT\n" + tree_.Path("c/")});
  EXPECT_EQ(NamePattern, "report.txt");
  EXPECT_EQ(ContainsText, "\xE9t\xE9 figures");
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

}  // namespace
}  // namespace vudo
