// Input that must never crash the program nor lose its settings.
#include <gtest/gtest.h>

#include "app/e2e/e2e_settings.h"
#include "app/e2e/e2e_trees.h"
#include "app/e2e/vudo_driver.h"

namespace vudo::e2e {
namespace {

// Pastes the texts into the three fields (as a person would paste a long
// text), runs the search with Return, closes the window and checks the file.
void SearchAndClose(const std::string& directory, const std::string& pattern, const std::string& contains,
                    int expected_rows) {
  VudoRun vudo;
  ASSERT_TRUE(vudo.Start());
  ASSERT_TRUE(vudo.BringToFront());
  ASSERT_TRUE(WaitFor([&] { return vudo.Focus() == vudo.ComboEdit(); }));
  vudo.Paste(directory);
  ASSERT_TRUE(WaitFor([&] { return vudo.EditText() == directory; })) << vudo.EditText().size();
  vudo.FocusControl(kPatternField);
  vudo.Paste(pattern);
  ASSERT_TRUE(WaitFor([&] { return vudo.Text(kPatternField) == pattern; })) << vudo.Text(kPatternField).size();
  vudo.FocusControl(kContainsField);
  vudo.Paste(contains);
  ASSERT_TRUE(WaitFor([&] { return vudo.Text(kContainsField) == contains; })) << vudo.Text(kContainsField).size();
  vudo.Key(VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return vudo.RecentList().size() == 1; }));  // the search has started
  ASSERT_TRUE(vudo.WaitForButton("Start"));
  EXPECT_EQ(vudo.RowCount(), expected_rows);
  ASSERT_TRUE(vudo.CloseWithAltF4());
  EXPECT_EQ(vudo.ExitCode(), 0u);
  EXPECT_EQ(KnownKeys(vudo.ReadIni()), StoreWrites(directory, pattern, contains, {directory}));
}

TEST(BadInput, AStartDirectoryThatDoesNotExist) {
  SearchAndClose("C:\\no\\such\\directory\\", "*", "", 0);
}

TEST(BadInput, APatternOfAThousandCharacters) {
  std::string pattern;
  while (pattern.size() < 1000) pattern += "a*?";
  pattern.resize(1000);
  SearchAndClose(SmallTree().Root() + "\\", pattern, "", 0);
}

TEST(BadInput, AContainsTextOfTenThousandCharacters) {
  std::string contains;
  for (int i = 0; contains.size() < 10000; ++i) contains += "hello " + std::to_string(i) + " ";
  contains.resize(10000);
  SearchAndClose(SmallTree().Root() + "\\", "*", contains, 0);
}

TEST(BadInput, AStartDirectoryLongerThanThePathLimit) {
  std::string directory = SmallTree().Root() + "\\";
  while (directory.size() < 300) directory += "deeper\\";
  SearchAndClose(directory, "*", "", 0);
}

}  // namespace
}  // namespace vudo::e2e
