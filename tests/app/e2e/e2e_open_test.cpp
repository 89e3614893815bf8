// Opening a hit or its folder from the result list's context menu.
#include <gtest/gtest.h>

#include <cstring>

#include "app/e2e/vudo_driver.h"
#include "support/probe_mark.h"
#include "support/temp_tree.h"

namespace vudo::e2e {
namespace {

bool AnyVisibleMenu() {
  HWND menu = nullptr;
  while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)))
    if (IsWindowVisible(menu)) return true;
  return false;
}

// A visible top-level window whose title holds `part`, or none.
struct TitleSearch {
  const char* part;
  HWND found;
};

BOOL CALLBACK FindTitled(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TitleSearch*>(data);
  char title[512] = {};
  GetWindowTextA(window, title, sizeof title);
  if (!IsWindowVisible(window) || !std::strstr(title, search->part)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND VisibleWindowTitled(const std::string& part) {
  TitleSearch search{part.c_str(), nullptr};
  EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The visible top-level windows, for a failure message.
BOOL CALLBACK ListWindow(HWND window, LPARAM data) {
  char title[256] = {}, window_class[128] = {};
  GetWindowTextA(window, title, sizeof title);
  GetClassNameA(window, window_class, sizeof window_class);
  if (IsWindowVisible(window)) *reinterpret_cast<std::string*>(data) += std::string(window_class) + " '" + title + "'; ";
  return TRUE;
}

std::string VisibleWindows() {
  std::string list;
  EnumWindows(ListWindow, reinterpret_cast<LPARAM>(&list));
  return list;
}

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

TEST_F(OpenFromTheList, OpenFolderShowsItInTheShell) {
  SearchAndRightClickTheRow();
  vudo_.Key(VK_DOWN);
  vudo_.Key(VK_RETURN);  // the first item, "Open folder"
  HWND browser = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (browser = VisibleWindowTitled("Hits Folder")) != nullptr; }, 30000))
      << "visible windows: " << VisibleWindows();
  if (browser) PostMessageA(browser, WM_CLOSE, 0, 0);
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
