// Start-up as a person sees it: the settings restored, the first command-line
// parameter applied, the focus in the start directory; and closing saves.
#include <gtest/gtest.h>

#include "app/e2e/e2e_settings.h"
#include "app/e2e/vudo_driver.h"

namespace vudo::e2e {
namespace {

TEST(Start, PreparedSettingsAreRestoredWithTheFocusInTheStartDirectory) {
  VudoRun vudo;
  vudo.WriteIni(
      "searchdir = C:\\Data\\\r\nfilename = *.txt\r\ncontains = Hello There\r\n"
      "recentsearchdir0 = C:\\Data\\\r\nrecentsearchdir1 = C:\\Older\\\r\nrecentsearchdir2 = D:\\Oldest\\\r\n");
  ASSERT_TRUE(vudo.Start());
  EXPECT_EQ(vudo.EditText(), "C:\\Data\\");
  EXPECT_EQ(vudo.Text(kPatternField), "*.txt");
  EXPECT_EQ(vudo.Text(kContainsField), "Hello There");
  EXPECT_EQ(vudo.RecentList(), (std::vector<std::string>{"C:\\Data\\", "C:\\Older\\", "D:\\Oldest\\"}));
  EXPECT_TRUE(WaitFor([&] { return vudo.Focus() == vudo.ComboEdit(); }));
  EXPECT_EQ(vudo.Text(kStartStopButton), "Start");
  EXPECT_EQ(vudo.RowCount(), 0);

  ASSERT_TRUE(vudo.CloseWithAltF4());
  EXPECT_EQ(vudo.ExitCode(), 0u);
  EXPECT_EQ(KnownKeys(vudo.ReadIni()),
            StoreWrites("C:\\Data\\", "*.txt", "Hello There", {"C:\\Data\\", "C:\\Older\\", "D:\\Oldest\\"}));
}

TEST(Start, WithoutASettingsFileTheFieldsAreEmptyAndClosingCreatesIt) {
  VudoRun vudo;
  ASSERT_TRUE(vudo.Start());
  EXPECT_EQ(vudo.EditText(), "");
  EXPECT_EQ(vudo.Text(kPatternField), "");  // the creation texts never show
  EXPECT_EQ(vudo.Text(kContainsField), "");
  ASSERT_TRUE(vudo.CloseWithAltF4());
  EXPECT_EQ(vudo.ExitCode(), 0u);
  EXPECT_EQ(KnownKeys(vudo.ReadIni()), StoreWrites("", "", "", {}));
}

TEST(Start, TheFirstParameterSetsTheStartDirectory) {
  const struct {
    const char* parameters;
    const char* start_directory;
  } table[] = {
      {"", "C:\\Loaded\\"},
      {"\"C:\\My Files\\x.txt\"", "C:\\My Files\\"},
      {"C:\\My Files\\x.txt", "C:\\"},  // cut at the blank
      {"C:\\Data\\Reports\\", "C:\\Data\\Reports\\"},
      {"C:\\Data\\Reports", "C:\\Data\\"},  // the last element counts as a file name
      {"\"C:\\Data\\\"", "C:\\Data\\"},
      {"report.txt", ""},
      {"\"\"", "C:\\Loaded\\"},  // an empty parameter changes nothing
      {"\"\" C:\\Second\\", "C:\\Loaded\\"},  // only the first parameter counts
      {"C:\\Data\\   ", "C:\\Data\\"},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.parameters);
    VudoRun vudo;
    vudo.WriteIni("searchdir = C:\\Loaded\\\r\nrecentsearchdir0 = C:\\Loaded\\\r\n");
    ASSERT_TRUE(vudo.Start(row.parameters));
    EXPECT_EQ(vudo.EditText(), row.start_directory);
    EXPECT_EQ(vudo.RecentList(), std::vector<std::string>{"C:\\Loaded\\"});  // the list is left alone
  }
}

TEST(Start, AReadOnlySettingsFileIsReadAndNeverChanged) {
  VudoRun vudo;
  const std::string original = "searchdir = C:\\Kept\\\r\nfilename = *.log\r\ncontains = \r\n";
  vudo.WriteIni(original);
  SetFileAttributesA(vudo.IniPath().c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(vudo.Start());
  EXPECT_EQ(vudo.EditText(), "C:\\Kept\\");
  vudo.BringToFront();
  vudo.FocusControl(kPatternField);
  vudo.KeyWith(VK_CONTROL, 'A');
  vudo.Type("*.changed");
  ASSERT_TRUE(WaitFor([&] { return vudo.Text(kPatternField) == "*.changed"; }));
  ASSERT_TRUE(vudo.CloseWithAltF4());
  EXPECT_EQ(vudo.ExitCode(), 0u);
  EXPECT_EQ(vudo.ReadIni(), original);
}

}  // namespace
}  // namespace vudo::e2e
