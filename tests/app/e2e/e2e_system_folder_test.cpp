// The system folder of a 64-bit Windows (Wine's default prefix is one): files
// only in System32, only in SysWOW64, and in both with different contents are
// each listed once under their true folder, by the console finder and the
// window, and a hit in System32 opens from the true folder. The 32-bit and
// the 64-bit build give the same answers.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/e2e/vudo_driver.h"
#include "support/probe_mark.h"
#include "support/window_driving.h"

namespace vudo::e2e {
namespace {

std::string Narrowed(const wchar_t* wide) {
  char text[MAX_PATH * 3] = {};
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

// The system folders as this test's programs name them, and where this test,
// whichever its own build, writes into each.
struct SystemFolders {
  SystemFolders() {
    wchar_t buffer[MAX_PATH] = {};
    GetSystemWindowsDirectoryW(buffer, MAX_PATH);
    windows = Narrowed(buffer);
    GetSystemDirectoryW(buffer, MAX_PATH);
    system32 = Narrowed(buffer);
    GetSystemWow64DirectoryW(buffer, MAX_PATH);
    syswow64 = Narrowed(buffer);
    BOOL redirected = FALSE;
    IsWow64Process(GetCurrentProcess(), &redirected);
    true_system32 = redirected ? windows + "\\Sysnative" : system32;
  }
  std::string windows, system32, syswow64, true_system32;
};

void Write(const std::string& path, const std::string& content) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
}

class SystemFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    if (folders_.syswow64.empty()) GTEST_SKIP() << "not a 64-bit system: no SysWOW64";
    const std::string in32 = folders_.true_system32 + "\\" + tag_, in64 = folders_.syswow64 + "\\" + tag_;
    Write(in32 + "only_in_system32.txt", "system32 alone");
    Write(in64 + "only_in_syswow64.txt", "syswow64 alone");
    Write(in32 + "both.txt", "the 64-bit copy holds the needle");
    Write(in64 + "both.txt", "the 32-bit copy does not");
    ASSERT_TRUE(CreateDirectoryA((in32 + "folder").c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    Write(in32 + "folder\\" + tag_ + "inner.txt", "");
  }
  void TearDown() override {
    const std::string in32 = folders_.true_system32 + "\\" + tag_, in64 = folders_.syswow64 + "\\" + tag_;
    for (const std::string& file : {in32 + "only_in_system32.txt", in64 + "only_in_syswow64.txt", in32 + "both.txt",
                                    in64 + "both.txt", in32 + "folder\\" + tag_ + "inner.txt", in32 + "probe.exe"})
      DeleteFileA(file.c_str());
    RemoveDirectoryA((in32 + "folder").c_str());
  }
  std::string InSystem32(const std::string& name) const { return folders_.system32 + "\\" + tag_ + name; }

  const SystemFolders folders_;
  // Names of this run's own, so that nothing else in the folders matches.
  const std::string tag_ = "zz_vudo_" + std::to_string(GetCurrentProcessId()) + "_";
};

TEST_F(SystemFolder, TheConsoleFinderListsEachFileOnceUnderItsTrueFolder) {
  const std::string in64 = folders_.syswow64 + "\\" + tag_;
  EXPECT_EQ(Sorted(ConsoleFinderPaths(folders_.system32, tag_ + "*")),
            Sorted({InSystem32("both.txt"), InSystem32("folder\\" + tag_ + "inner.txt"),
                    InSystem32("only_in_system32.txt")}));
  EXPECT_EQ(Sorted(ConsoleFinderPaths(folders_.windows, tag_ + "*.txt")),
            Sorted({InSystem32("both.txt"), InSystem32("folder\\" + tag_ + "inner.txt"),
                    InSystem32("only_in_system32.txt"), in64 + "both.txt", in64 + "only_in_syswow64.txt"}));
  // Other spellings of the same folder reach the same files, and are shown
  // as they were given.
  std::string upper = folders_.system32 + "\\";
  std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
  EXPECT_EQ(ConsoleFinderPaths(upper, tag_ + "only*"), std::vector<std::string>{upper + tag_ + "only_in_system32.txt"});
  // A text only the System32 copy holds.
  EXPECT_EQ(ConsoleFinderPaths(folders_.windows, tag_ + "both.txt", "needle"),
            std::vector<std::string>{InSystem32("both.txt")});
}

TEST_F(SystemFolder, TheWindowListsTheTrueFolderAndOpensItsFilesAndFolders) {
  testing_windows::ProbeTree probe_tree(LaunchProbeExe(), "probe");
  ASSERT_TRUE(probe_tree.HasProbe());
  ASSERT_TRUE(CopyFileA(probe_tree.probe.c_str(), (folders_.true_system32 + "\\" + tag_ + "probe.exe").c_str(), FALSE));
  VudoRun vudo;
  vudo.WriteIni("searchdir = " + folders_.system32 + "\r\nfilename = " + tag_ + "*\r\ncontains = \r\n");
  ASSERT_TRUE(vudo.Start());
  ASSERT_TRUE(vudo.BringToFront());
  ASSERT_TRUE(vudo.SearchAndWait([&] { vudo.Click(kStartStopButton); }));
  ASSERT_EQ(vudo.RowCount(), 4);
  const std::vector<std::string> rows = vudo.RowPaths();
  EXPECT_EQ(Sorted(rows), Sorted({InSystem32("both.txt"), InSystem32("folder\\" + tag_ + "inner.txt"),
                                  InSystem32("only_in_system32.txt"), InSystem32("probe.exe")}));
  const auto row_of = [&](const std::string& path) {
    return static_cast<int>(std::find(rows.begin(), rows.end(), path) - rows.begin());
  };

  // "Open file" starts the program that only the true folder holds, which
  // sees its path as the row shows it. The pointer rests on the row first, as
  // a person's does, so its cut-off name shows its tip, and the right-click
  // lands on the tip.
  testing_windows::MoveMouse(vudo.RowPoint(row_of(InSystem32("probe.exe"))));
  WaitFor([&] { return !vudo.TipText().empty(); });
  vudo.ClickAt(vudo.RowPoint(row_of(InSystem32("probe.exe"))), true);
  ASSERT_TRUE(WaitFor(AnyVisibleMenu));
  vudo.Key(VK_DOWN);
  vudo.Key(VK_DOWN);
  vudo.Key(VK_RETURN);
  testing_windows::ProbeMark mark;
  ASSERT_TRUE(testing_windows::ReadProbeMark(probe_tree.mark, mark));
  EXPECT_EQ(mark.command_line, "\"" + InSystem32("probe.exe") + "\"");

  // "Open folder" on a hit in a folder only the true System32 holds shows it.
  testing_windows::MoveMouse(vudo.RowPoint(row_of(InSystem32("folder\\" + tag_ + "inner.txt"))));
  WaitFor([&] { return !vudo.TipText().empty(); });
  vudo.ClickAt(vudo.RowPoint(row_of(InSystem32("folder\\" + tag_ + "inner.txt"))), true);
  ASSERT_TRUE(WaitFor(AnyVisibleMenu));
  vudo.Key(VK_DOWN);
  vudo.Key(VK_RETURN);
  HWND browser = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (browser = VisibleWindowTitled(tag_ + "folder")) != nullptr; }, 30000))
      << VisibleWindows();
  if (browser) PostMessageA(browser, WM_CLOSE, 0, 0);
}

}  // namespace
}  // namespace vudo::e2e
