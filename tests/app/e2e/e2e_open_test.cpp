// Opening a hit or its folder from the result list's context menu.
#include <gtest/gtest.h>

#include <cstring>

#include "app/e2e/vudo_driver.h"
#include "support/probe_mark.h"
#include "support/temp_tree.h"
#include "support/window_driving.h"

namespace vudo::e2e {
namespace {

class OpenFromTheList : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree_.HasProbe());
    vudo_.WriteIni("searchdir = " + tree_.Root() + "\\\r\nfilename = probe.exe\r\ncontains = \r\n");
    ASSERT_TRUE(vudo_.Start());
    ASSERT_TRUE(vudo_.BringToFront());
  }
  void SearchAndRightClickTheRow() {
    vudo_.Click(kStartStopButton);
    ASSERT_TRUE(WaitFor([&] { return vudo_.RowCount() == 1 && vudo_.Text(kStartStopButton) == "Start"; }));
    vudo_.ClickAt(vudo_.RowPoint(0), true);
    ASSERT_TRUE(WaitFor(AnyVisibleMenu));
  }

  testing_windows::ProbeTree tree_{LaunchProbeExe(), "Hits Folder"};
  const std::string& probe_ = tree_.probe;
  const std::string& mark_ = tree_.mark;
  VudoRun vudo_;
};

TEST_F(OpenFromTheList, OpenFileStartsTheProgram) {
  SearchAndRightClickTheRow();
  vudo_.Key(VK_DOWN);
  vudo_.Key(VK_DOWN);
  vudo_.Key(VK_RETURN);  // the second item, "Open file"
  testing_windows::ProbeMark mark;
  ASSERT_TRUE(testing_windows::ReadProbeMark(mark_, mark));
  EXPECT_EQ(mark.command_line, "\"" + probe_ + "\"");
  EXPECT_EQ(mark.directory, vudo_.Folder());  // started in the program's own working directory
}

TEST_F(OpenFromTheList, OpenFolderShowsItInTheShellWithTheFileSelected) {
  SearchAndRightClickTheRow();
  vudo_.Key(VK_DOWN);
  vudo_.Key(VK_RETURN);  // the first item, "Open folder"
  HWND browser = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (browser = VisibleWindowTitled("Hits Folder")) != nullptr; }, 30000))
      << "visible windows: " << VisibleWindows();
  // Wine's shell offers no way to select a file in a folder, so the browser
  // was asked for it by its command line. The browser is a 64-bit program,
  // whose command line the 64-bit build of this test reads.
  if (browser) {
    const std::string command_line = testing_windows::CommandLineOf(browser);
    if (sizeof(void*) == 8) EXPECT_NE(command_line.find("/select,\"" + probe_ + "\""), std::string::npos) << command_line;
    PostMessageA(browser, WM_CLOSE, 0, 0);
  }
  EXPECT_EQ(GetFileAttributesA(mark_.c_str()), INVALID_FILE_ATTRIBUTES);  // nothing was started as a program
}

TEST_F(OpenFromTheList, ARightClickOnAnEmptyListShowsNoMenu) {
  RECT list{};
  GetWindowRect(vudo_.Control(kResultList), &list);
  vudo_.ClickAt(POINT{(list.left + list.right) / 2, list.bottom - 20}, true);
  // Given time to appear, no menu does; the program is still responsive.
  EXPECT_FALSE(WaitFor(AnyVisibleMenu, 1000));
  EXPECT_EQ(vudo_.Text(kStartStopButton), "Start");
}

}  // namespace
}  // namespace vudo::e2e
