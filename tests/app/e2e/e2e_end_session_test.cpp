// A real end of the session (wineboot --end-session, as a logoff does) while
// a search runs: the settings are saved all the same. A program of its own,
// since every window of the prefix hears the end of the session.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/e2e/vudo_driver.h"
#include "support/temp_tree.h"

namespace vudo::e2e {
namespace {

// A sparse file far larger than a search reads in the test's time.
void WriteHugeFile(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  LARGE_INTEGER size;
  size.QuadPart = 8LL << 30;
  SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
  SetEndOfFile(file);
  CloseHandle(file);
}

bool RunToEnd(std::string command) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  const bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended;
}

TEST(EndSession, TheSettingsAreSavedAlsoDuringASearch) {
  testing_tree::TempTree tree;
  WriteHugeFile(tree.Path("huge.bin"));
  VudoRun vudo;
  vudo.WriteIni("searchdir = " + tree.Root() + "\\\r\nfilename = *\r\ncontains = needle\r\n");
  ASSERT_TRUE(vudo.Start());
  ASSERT_TRUE(vudo.BringToFront());
  vudo.Click(kStartStopButton);
  ASSERT_TRUE(WaitFor([&] { return vudo.Text(kStartStopButton) == "Stop"; }));
  ASSERT_TRUE(RunToEnd("wineboot.exe --end-session"));
  ASSERT_TRUE(vudo.WaitForExit(30000));
  // The start directory joined the recent list when the search started: only
  // a save after that has it.
  const std::string ini = vudo.ReadIni();
  EXPECT_NE(ini.find("recentsearchdir0 = " + tree.Root() + "\\\r\n"), std::string::npos) << ini;
}

}  // namespace
}  // namespace vudo::e2e
