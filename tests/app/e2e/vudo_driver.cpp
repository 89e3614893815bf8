#include "app/e2e/vudo_driver.h"

#include "app/e2e/remote_window.h"
#include "support/window_driving.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vudo::e2e {

std::string WindowsPath(const char* linux_path) {
  std::string path = "Z:";
  for (const char* c = linux_path; *c; ++c) path += *c == '/' ? '\\' : *c;
  return path;
}
std::string VudoExe() { return WindowsPath(VUDO_EXE); }
std::string VudoFindExe() { return WindowsPath(VUDO_FIND_EXE); }
std::string LaunchProbeExe() { return WindowsPath(LAUNCH_PROBE_EXE); }
std::string DropTargetExe() { return WindowsPath(DROP_TARGET_EXE); }
std::string VudoLimitedExe() { return WindowsPath(VUDO_LIMITED_EXE); }
std::string VudoFindLimitedExe() { return WindowsPath(VUDO_FIND_LIMITED_EXE); }

bool WaitFor(const std::function<bool()>& done, DWORD milliseconds) {
  return testing_windows::WaitFor(done, milliseconds);
}

void PutOnClipboard(const std::string& text) { testing_windows::PutOnClipboard(text); }
std::string ClipboardText() { return testing_windows::ClipboardText(); }

std::vector<std::string> Sorted(std::vector<std::string> paths) {
  std::sort(paths.begin(), paths.end());
  return paths;
}

HWND VisibleMenu() {
  HWND menu = nullptr;
  while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)))
    if (IsWindowVisible(menu)) return menu;
  return nullptr;
}

bool AnyVisibleMenu() { return VisibleMenu() != nullptr; }

namespace {

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

BOOL CALLBACK ListWindow(HWND window, LPARAM data) {
  char title[256] = {}, window_class[128] = {};
  GetWindowTextA(window, title, sizeof title);
  GetClassNameA(window, window_class, sizeof window_class);
  if (IsWindowVisible(window)) *reinterpret_cast<std::string*>(data) += std::string(window_class) + " '" + title + "'; ";
  return TRUE;
}

}  // namespace

HWND VisibleWindowTitled(const std::string& part) {
  TitleSearch search{part.c_str(), nullptr};
  EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string VisibleWindows() {
  std::string list;
  EnumWindows(ListWindow, reinterpret_cast<LPARAM>(&list));
  return list;
}

std::vector<std::string> ConsoleFinderPaths(const std::string& directory, const std::string& pattern,
                                            const std::string& contains) {
  testing_tree::TempTree scratch;
  const std::string output = scratch.Path("out.txt");
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE file = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  // The console finder reads its arguments by the C runtime's rules, where a
  // backslash before a quote escapes it: a trailing one is doubled.
  const std::string quoted_directory = directory.empty() || directory.back() != '\\' ? directory : directory + "\\";
  std::string command;
  command.append("\"").append(VudoFindExe()).append("\" \"").append(quoted_directory);
  command.append("\" \"").append(pattern).append("\"");
  if (!contains.empty()) command.append(" --contains \"").append(contains).append("\"");
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = file;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION finder{};
  std::vector<std::string> paths;
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &finder)) {
    WaitForSingleObject(finder.hProcess, 120000);
    CloseHandle(finder.hThread);
    CloseHandle(finder.hProcess);
  }
  CloseHandle(file);
  std::ifstream in(output, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    paths.push_back(line);
  }
  return paths;
}

VudoRun::VudoRun(const std::string& folder_name, const std::string& program) {
  folder_ = tree_.Path(folder_name);
  CreateDirectoryA(folder_.c_str(), nullptr);
  CopyFileA(program.c_str(), (folder_ + "\\Vudo.exe").c_str(), FALSE);
}

VudoRun::~VudoRun() {
  if (process_.hProcess) {
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
  SetFileAttributesA(IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
}

void VudoRun::WriteIni(const std::string& content) const {
  std::ofstream out(IniPath(), std::ios::binary);
  out << content;
}

std::string VudoRun::ReadIni() const {
  std::ifstream in(IniPath(), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool VudoRun::Start(const std::string& parameters) {
  std::string command = "\"" + folder_ + "\\Vudo.exe\"";
  if (!parameters.empty()) command += " " + parameters;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup,
                      &process_))
    return false;
  HWND found = nullptr;
  const bool shown = WaitFor([&] {
    found = VisibleWindowOf(process_.dwProcessId, [](HWND window) {
      return testing_windows::TextOf(window) == "Vudo (Pathquest)";
    });
    return found != nullptr;
  }, 20000);
  window_ = found;
  // Up and waiting for input: the focus is placed once the window shows.
  return shown && WaitForInputIdle(process_.hProcess, 10000) == 0;
}

bool VudoRun::WaitForExit(DWORD milliseconds) {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0;
}

bool VudoRun::CloseWithAltF4(DWORD milliseconds) {
  BringToFront();
  KeyWith(VK_MENU, VK_F4);
  return WaitForExit(milliseconds);
}

DWORD VudoRun::ExitCode() const {
  DWORD code = 12345;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

HWND VudoRun::ComboEdit() const { return FindWindowExA(Control(kStartDirectoryCombo), nullptr, "Edit", nullptr); }

HWND VudoRun::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(process_.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

std::string VudoRun::Text(int number) const { return testing_windows::TextOf(Control(number)); }
std::string VudoRun::EditText() const { return testing_windows::TextOf(ComboEdit()); }

int VudoRun::RowCount() const { return static_cast<int>(SendMessageA(Control(kResultList), LVM_GETITEMCOUNT, 0, 0)); }

SIZE VudoRun::InnerSize() const {
  RECT client{};
  GetClientRect(window_, &client);
  return SIZE{client.right, client.bottom};
}

bool VudoRun::BringToFront() const {
  return WaitFor([&] {
    if (GetForegroundWindow() != window_) SetForegroundWindow(window_);
    return GetForegroundWindow() == window_;
  }, 5000);
}

void VudoRun::Key(WORD key) const { testing_windows::PressKey(key); }
void VudoRun::KeyWith(WORD modifier, WORD key) const { testing_windows::PressKeyWith(modifier, key); }

void VudoRun::Type(const std::string& text) const {
  std::vector<INPUT> inputs;
  for (unsigned char c : text) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = c;
    input.ki.dwFlags = KEYEVENTF_UNICODE;
    inputs.push_back(input);
    input.ki.dwFlags |= KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void VudoRun::Paste(const std::string& text) const {
  PutOnClipboard(text);
  KeyWith(VK_CONTROL, 'V');
}

void VudoRun::ClickAt(POINT screen, bool right) const { testing_windows::Click(screen, right); }

void VudoRun::Click(int number, bool right) const {
  ClickAt(testing_windows::CentreOf(number == kStartDirectoryCombo ? ComboEdit() : Control(number)), right);
}

void VudoRun::DoubleClickAt(POINT screen) const {
  testing_windows::Click(screen);
  testing_windows::Click(screen);
}

bool VudoRun::WaitForButton(const char* label, DWORD milliseconds) const {
  return WaitFor([&] { return Text(kStartStopButton) == label; }, milliseconds);
}

bool VudoRun::WaitForStopped(DWORD milliseconds) const {
  return WaitFor([&] { return Text(kStartStopButton) == "Start" && Text(kStatusText).rfind("Searching", 0) != 0; },
                 milliseconds);
}

bool VudoRun::SearchAndWait(const std::function<void()>& gesture, DWORD milliseconds) const {
  // A search relabels the button "Stop", then empties the status line, so a
  // mark put there first is gone once it has begun; after that, "Start" on
  // the button is its end. (WM_SETTEXT itself: SetWindowText does not change
  // another process's control.)
  constexpr char kMark[] = "(before the search)";
  SendMessageA(Control(kStatusText), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kMark));
  if (Text(kStatusText) != kMark) return false;
  gesture();
  return WaitFor([&] { return Text(kStatusText) != kMark && Text(kStartStopButton) == "Start"; }, milliseconds);
}

void VudoRun::FocusControl(int number) const {
  const HWND target = number == kStartDirectoryCombo ? ComboEdit() : Control(number);
  Click(number);
  WaitFor([&] { return Focus() == target; }, 5000);
}

}  // namespace vudo::e2e
