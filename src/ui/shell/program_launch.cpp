#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/system_folder.h"
#include "platform/wide_path.h"
#include "ui/shell/com_apartment.h"
#include "ui/shell/shell_services.h"

namespace vudo {

std::string LaunchCommandLine(std::string_view path) {
  if (!path.empty() && path.front() == '"') return std::string(path);
  std::string command = "\"";
  command.append(path).append("\"");
  return command;
}

std::string LaunchProgramName(std::string_view path) {
  if (path.size() >= 2 && path.front() == '"') {
    path.remove_prefix(1);
    path = path.substr(0, path.find('"'));
  }
  return std::string(path);
}

std::string LaunchWorkingDirectory(std::string_view path) {
  const std::size_t last = path.rfind('\\');
  if (last == std::string_view::npos || last == 0) return {};
  return std::string(path.substr(0, last + 1));
}

namespace {

// Runs the system's file browser with `arguments`, by its own program in the
// Windows folder, which no redirector touches: the shell, asked from this
// 32-bit process, would look for a folder in the redirected System32, and the
// browser (a 64-bit program) knows no Sysnative. 1 when it started.
int RunBrowser(std::string arguments) {
  char windows[MAX_PATH] = {};
  const UINT length = GetSystemWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 0;
  const std::string browser = std::string(windows, length) + "\\explorer.exe";
  std::string command = "explorer.exe " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(browser.c_str(), command.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                      nullptr, &startup, &process))
    return 0;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 1;
}

// Opens a folder in a window of the system's file browser.
int BrowseFolder(const std::string& folder) {
  // Without a trailing backslash, which would escape the closing quote for a
  // program that reads its command line by the usual rules.
  std::string shown = folder;
  while (shown.size() > 3 && shown.back() == '\\') shown.pop_back();
  return RunBrowser(LaunchCommandLine(shown));
}

}  // namespace

int ProgramLaunch(std::string_view given) {
  given = given.substr(0, given.find('\0'));
  // Neither CreateProcess nor the shell takes a path past 260 characters: such
  // a path goes by its short form, where it has one that fits, or not at all.
  const std::string usable = platform::ShellPath(std::string(given));
  if (usable.empty()) return 0;
  const std::string_view path = usable;
  std::string command = LaunchCommandLine(path);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  // The path is the program to start, not only the command line: there a
  // name without an extension would be tried with ".exe" appended, and a
  // "notes.exe" lying beside "notes" would start instead. A program in the
  // system folder starts from the true one, and sees its path as given.
  const std::string program = LaunchProgramName(path);
  const std::string reached = platform::UnredirectedPath(program);
  if (CreateProcessA(reached.c_str(), command.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                     nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
  }

  // Not a program: a document or a folder, opened by its shell association in
  // its own folder. In the system folder of a 64-bit Windows a folder opens
  // in the browser under the name given. A document goes by the name given
  // too where this process sees a file of that name, so that a 64-bit
  // program opening it finds it in its own System32; only one this process
  // cannot see goes by its Sysnative path, the one way the shell here finds
  // it.
  std::string file(path);
  if (program == path && reached != program) {
    const DWORD attributes = GetFileAttributesA(reached.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return BrowseFolder(usable);
    if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) file = reached;
  }
  EnsureComApartment();
  const std::string directory = LaunchWorkingDirectory(file);
  SHELLEXECUTEINFOA shell{};
  shell.cbSize = sizeof shell;
  // The shell speaks for itself: it offers a choice of program for a file
  // that has none, and says so when the file is gone.
  shell.fMask = SEE_MASK_NOCLOSEPROCESS;
  shell.lpVerb = "Open";
  shell.lpFile = file.c_str();
  shell.lpParameters = "";
  shell.lpDirectory = directory.empty() ? nullptr : directory.c_str();
  shell.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExA(&shell)) return 0;
  if (shell.hProcess) CloseHandle(shell.hProcess);
  return 1;
}

std::string SelectArguments(std::string_view path) { return "/select," + LaunchCommandLine(path); }

int ShowInFolder(std::string_view given) {
  given = given.substr(0, given.find('\0'));
  const std::string usable = platform::ShellPath(std::string(given));
  // A file in the system folder is looked for where the browser, a 64-bit
  // program, will look: in the true one.
  if (!usable.empty() && GetFileAttributesA(platform::UnredirectedPath(usable).c_str()) != INVALID_FILE_ATTRIBUTES) {
    // The browser takes the path as given, the true system folder included
    // (it is a 64-bit program), and selects the file in a window of its own.
    if (RunBrowser(SelectArguments(usable))) return 1;
    // Else the shell's own way, which may show the folder in a window that is
    // open already.
    EnsureComApartment();
    if (PIDLIST_ABSOLUTE item = ILCreateFromPathA(usable.c_str())) {
      const HRESULT shown = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
      ILFree(item);
      if (SUCCEEDED(shown)) return 1;
    }
  }
  return ProgramLaunch(LaunchWorkingDirectory(given));
}

}  // namespace vudo
