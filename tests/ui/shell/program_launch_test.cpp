// ProgramLaunch of a small test program (quoted and unquoted), of a document
// and of a folder, each proving where it ran through the mark it leaves.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/probe_mark.h"
#include "support/temp_tree.h"
#include "support/window_driving.h"
#include "ui/shell/shell_services.h"

namespace vudo {
namespace {

using testing_windows::ProbeMark;
using testing_windows::ReadProbeMark;
using testing_windows::WaitFor;

std::string Directory(const std::string& path) { return path.substr(0, path.rfind('\\')); }

std::string ProgramDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return Directory(path);
}

std::string CurrentDirectory() {
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof directory, directory);
  return directory;
}

// A file extension opened by a command, registered with the shell for the
// test and removed again at the end. (Wine's shell reads associations from the
// machine's classes, not the user's.)
class Association {
 public:
  Association(const std::string& extension, const std::string& command) : extension_(extension) {
    Set("Software\\Classes\\" + extension_, kClass);
    Set(std::string("Software\\Classes\\") + kClass + "\\shell\\open\\command", command);
  }
  ~Association() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("Software\\Classes\\" + extension_).c_str());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string("Software\\Classes\\") + kClass).c_str());
  }
  Association(const Association&) = delete;
  Association& operator=(const Association&) = delete;

 private:
  static constexpr const char* kClass = "Vudo.ProbeDocument";
  static void Set(const std::string& key, const std::string& value) {
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, value.c_str(),
                    static_cast<DWORD>(value.size() + 1));
  }
  std::string extension_;
};

struct ShellWindows {
  DWORD process;
  std::vector<std::string> found;
};

BOOL CALLBACK CloseOwnDialog(HWND window, LPARAM data) {
  auto* windows = reinterpret_cast<ShellWindows*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != windows->process || !IsWindowVisible(window)) return TRUE;
  windows->found.push_back(testing_windows::ClassOf(window) + " '" + testing_windows::TextOf(window) + "'");
  PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

// Runs `launch` while a second thread closes the windows the shell shows in
// this process (its messages and dialogs are modal: `launch` returns once
// they are gone). What was closed comes back, class and title.
std::vector<std::string> LaunchDismissingTheShell(const std::function<void()>& launch) {
  ShellWindows windows{GetCurrentProcessId(), {}};
  volatile bool done = false;
  {
    testing_windows::Helper closer([&] {
      while (!done) {
        EnumWindows(CloseOwnDialog, reinterpret_cast<LPARAM>(&windows));
        Sleep(50);  // a poll for windows that may come; nothing to wait on
      }
    });
    launch();
    done = true;
  }
  return windows.found;
}

// A visible shell browser window showing `title`, or none.
HWND FindBrowser(const std::string& title) {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, nullptr, title.c_str())))
    if (IsWindowVisible(window) && testing_windows::ClassOf(window) != "ConsoleWindowClass") return window;
  return nullptr;
}

class ProgramLaunching : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(tree_.HasProbe()); }

  testing_windows::ProbeTree tree_{ProgramDirectory() + "\\" LAUNCH_PROBE_NAME, "Launch Dir"};
  const std::string& probe_ = tree_.probe;
  const std::string& mark_ = tree_.mark;
};

TEST_F(ProgramLaunching, AProgramStartsDirectlyInOurWorkingDirectory) {
  for (const std::string& path : {probe_, "\"" + probe_ + "\""}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(ProgramLaunch(path), 1);
    ProbeMark mark;
    ASSERT_TRUE(ReadProbeMark(mark_, mark));
    EXPECT_EQ(mark.directory, CurrentDirectory());
    EXPECT_EQ(mark.command_line, "\"" + probe_ + "\"");  // quoted once, never twice
  }
}

TEST_F(ProgramLaunching, ADocumentOpensWithItsAssociationInItsOwnFolder) {
  Association association(".vudoprobe", "\"" + probe_ + "\" \"%1\"");
  tree_.Write("Docs\\report.vudoprobe", "text");
  const std::string document = tree_.Path("Docs\\report.vudoprobe");
  EXPECT_EQ(ProgramLaunch(document), 1);
  ProbeMark mark;
  ASSERT_TRUE(ReadProbeMark(mark_, mark));
  EXPECT_EQ(mark.directory, tree_.Path("Docs"));
  EXPECT_NE(mark.command_line.find(document), std::string::npos) << mark.command_line;
}

TEST_F(ProgramLaunching, AFolderOpensInTheShellsBrowser) {
  tree_.MakeDir("Folder To Open");
  EXPECT_EQ(ProgramLaunch(tree_.Path("Folder To Open") + "\\"), 1);
  HWND browser = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (browser = FindBrowser("Folder To Open")) != nullptr; }, 15000));
  if (browser) PostMessageA(browser, WM_CLOSE, 0, 0);
}

TEST_F(ProgramLaunching, AMissingFileGivesZeroAfterTheShellsOwnMessage) {
  int result = -1;
  const auto shown = LaunchDismissingTheShell([&] { result = ProgramLaunch(tree_.Path("no such program.exe")); });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ProgramLaunch(""), 0);
}

TEST_F(ProgramLaunching, ANameWithoutExtensionStartsOnlyThatFile) {
  // "notes" is a document; "notes.exe" beside it must never start in its place.
  tree_.Write("Launch Dir/notes", "just text");
  ASSERT_TRUE(CopyFileA(probe_.c_str(), tree_.Path("Launch Dir\\notes.exe").c_str(), FALSE));
  LaunchDismissingTheShell([&] { ProgramLaunch(tree_.Path("Launch Dir\\notes")); });
  ProbeMark mark;
  EXPECT_FALSE(ReadProbeMark(mark_, mark, 2000)) << mark.command_line;
}

TEST_F(ProgramLaunching, AFileWithNoProgramLetsTheShellOfferOne) {
  tree_.Write("Docs/data.vudonoprogram", "text");
  const auto shown = LaunchDismissingTheShell([&] { ProgramLaunch(tree_.Path("Docs\\data.vudonoprogram")); });
  EXPECT_FALSE(shown.empty()) << "the shell showed nothing";
}

TEST(LaunchRules, CommandLineAndWorkingDirectory) {
  EXPECT_EQ(LaunchCommandLine("C:\\x\\a.exe"), "\"C:\\x\\a.exe\"");
  EXPECT_EQ(LaunchCommandLine("\"C:\\x\\a.exe\""), "\"C:\\x\\a.exe\"");
  EXPECT_EQ(LaunchProgramName("C:\\x\\notes"), "C:\\x\\notes");
  EXPECT_EQ(LaunchProgramName("\"C:\\x\\a b.exe\""), "C:\\x\\a b.exe");
  const struct {
    const char* path;
    const char* directory;
  } table[] = {
      {"C:\\x\\a.txt", "C:\\x\\"}, {"C:\\x\\", "C:\\x\\"}, {"C:\\", "C:\\"},
      {"\\share", ""},             {"a.txt", ""},          {"", ""},
  };
  for (const auto& row : table) EXPECT_EQ(LaunchWorkingDirectory(row.path), row.directory) << row.path;
}

}  // namespace
}  // namespace vudo
