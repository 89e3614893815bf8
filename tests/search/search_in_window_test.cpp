// The search engine against the real control layer: a whole search fills a
// real list view, and the rows are read back through the layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "search/search_control.h"
#include "search/search_state.h"
#include "support/allocation_limit.h"
#include "support/temp_tree.h"
#include "support/window_driving.h"
#include "ui/controls/control_layer.h"

namespace vudo {
namespace {

class SearchInWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    const HWND window = WindowOpen(0, KeepCurrent, KeepCurrent, 300, 300, "Search", kWindowTitleBar | kWindowHidden);
    ASSERT_NE(window, nullptr);
    ControlParentSet(window);
    ComboCreate(1, 60, 10, 205, 100, kComboEditable | kComboAutoScroll);
    FieldCreate(4, 60, 35, 235, 20, "");
    FieldCreate(6, 60, 60, 235, 20, "");
    ButtonCreate(7, 225, 85, 70, 20, "Start");
    ListCreate(8, 5, 110, 290, 185, "Filename", 100, kListFullRowSelect);
    ListColumnAdd(8, 1, "Directory", 100);
  }
  void TearDown() override { CloseControlLayer(); }

  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int i = 0; i < ControlItemCount(8); ++i)
      rows.push_back(ControlItemText(8, i, 1) + "|" + ControlItemText(8, i, 0));
    std::sort(rows.begin(), rows.end());
    return rows;
  }
};

TEST_F(SearchInWindow, AWholeSearchFillsTheListView) {
  testing_tree::TempTree tree;
  tree.Write("a.txt", "alpha needle");
  tree.Write("b.TXT", "beta");
  tree.Write("sub/c.txt", "NEEDLE in c");
  tree.Write("sub/deeper/d.txt", "nothing");
  tree.Write("sub/e.log", "needle");
  const std::string root = tree.Root() + "\\";

  ControlSetText(1, tree.Root());
  ControlSetText(4, "*.txt");
  ToggleSearch();
  EXPECT_EQ(ControlText(7), "Start");
  EXPECT_EQ(Rows(), (std::vector<std::string>{root + "sub\\deeper\\|d.txt", root + "sub\\|c.txt", root + "|a.txt",
                                              root + "|b.TXT"}));
  ASSERT_EQ(ControlItemCount(1), 1);
  EXPECT_EQ(ControlItemText(1, 0, 0), tree.Root());

  ControlSetText(6, "Needle");
  ToggleSearch();
  EXPECT_EQ(Rows(), (std::vector<std::string>{root + "sub\\|c.txt", root + "|a.txt"}));
  EXPECT_EQ(ControlItemCount(1), 1);  // the same directory is not remembered twice
}

// A list that cannot grow any more ends the search as a Stop would: the rows
// found so far stay, the button reads "Start", and the next search, once
// there is memory again, fills the list whole.
TEST_F(SearchInWindow, RowsThatFindNoMemoryEndTheSearchLikeAStop) {
  testing_tree::TempTree tree;
  for (int i = 0; i < 3000; ++i) tree.Write("f" + std::to_string(i) + "_" + std::string(150, 'x'), "");
  ControlSetText(1, tree.Root());
  ControlSetText(4, "*");
  ToggleSearch();
  ASSERT_EQ(ControlItemCount(8), 3000);
  const std::vector<std::string> whole = Rows();

  testing_memory::LimitAllocations(testing_memory::BytesInUse() + 256 * 1024);
  ToggleSearch();
  testing_memory::LimitAllocations(0);
  EXPECT_EQ(ControlText(7), "Start");
  EXPECT_EQ(StopRequested, 1);
  const int kept = ControlItemCount(8);
  EXPECT_GT(kept, 100);
  EXPECT_LT(kept, 3000);
  for (int i = 0; i < kept; ++i) {
    const std::string row = ControlItemText(8, i, 1) + "|" + ControlItemText(8, i, 0);
    ASSERT_TRUE(std::binary_search(whole.begin(), whole.end(), row)) << row;
  }

  ToggleSearch();
  EXPECT_EQ(Rows(), whole);
  EXPECT_EQ(StopRequested, 0);
}

}  // namespace
}  // namespace vudo
