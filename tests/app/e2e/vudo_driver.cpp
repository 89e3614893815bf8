#include "app/e2e/vudo_driver.h"

#include "support/window_driving.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vudo::e2e {
namespace {

struct FindByProcess {
  DWORD process;
  HWND found;
};

BOOL CALLBACK MainWindowOf(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<FindByProcess*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  if (process != search->process || std::string(title) != "Vudo (Pathquest)") return TRUE;
  search->found = window;
  return FALSE;
}

// Memory in the program's process: a list or header control reads and writes
// its answers only there.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, std::size_t size)
      : process_(process), memory_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  ~RemoteBuffer() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  explicit operator bool() const { return memory_ != nullptr; }
  char* At(std::size_t offset = 0) const { return static_cast<char*>(memory_) + offset; }
  LPARAM Param() const { return reinterpret_cast<LPARAM>(memory_); }
  void Write(const void* data, std::size_t size, std::size_t offset = 0) const {
    WriteProcessMemory(process_, At(offset), data, size, nullptr);
  }
  void Read(void* data, std::size_t size, std::size_t offset = 0) const {
    ReadProcessMemory(process_, At(offset), data, size, nullptr);
  }

 private:
  HANDLE process_;
  void* memory_;
};

}  // namespace

std::string WindowsPath(const char* linux_path) {
  std::string path = "Z:";
  for (const char* c = linux_path; *c; ++c) path += *c == '/' ? '\\' : *c;
  return path;
}
std::string VudoExe() { return WindowsPath(VUDO_EXE); }
std::string VudoFindExe() { return WindowsPath(VUDO_FIND_EXE); }
std::string LaunchProbeExe() { return WindowsPath(LAUNCH_PROBE_EXE); }

bool WaitFor(const std::function<bool()>& done, DWORD milliseconds) {
  return testing_windows::WaitFor(done, milliseconds);
}

void PutOnClipboard(const std::string& text) { testing_windows::PutOnClipboard(text); }
std::string ClipboardText() { return testing_windows::ClipboardText(); }

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

VudoRun::VudoRun(const std::string& folder_name) {
  folder_ = tree_.Path(folder_name);
  CreateDirectoryA(folder_.c_str(), nullptr);
  CopyFileA(VudoExe().c_str(), (folder_ + "\\Vudo.exe").c_str(), FALSE);
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
  FindByProcess search{process_.dwProcessId, nullptr};
  const bool shown = WaitFor([&] {
    search.found = nullptr;
    EnumWindows(MainWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.found && IsWindowVisible(search.found);
  }, 20000);
  window_ = search.found;
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

std::pair<std::string, std::string> VudoRun::Row(int row) const {
  constexpr std::size_t kText = 32768;
  const RemoteBuffer remote(process_.hProcess, sizeof(LVITEMA) + kText);
  std::pair<std::string, std::string> texts;
  if (!remote) return texts;
  for (int column = 0; column < 2; ++column) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = remote.At(sizeof(LVITEMA));
    item.cchTextMax = static_cast<int>(kText);
    remote.Write(&item, sizeof item);
    const LRESULT length =
        SendMessageA(Control(kResultList), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), remote.Param());
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) remote.Read(text.data(), text.size(), sizeof(LVITEMA));
    (column == 0 ? texts.first : texts.second) = text;
  }
  return texts;
}

std::vector<std::string> VudoRun::RowPaths() const {
  std::vector<std::string> paths;
  const int count = RowCount();
  for (int i = 0; i < count; ++i) {
    const auto [name, directory] = Row(i);
    paths.push_back(directory + name);
  }
  return paths;
}

std::vector<std::string> VudoRun::RecentList() const {
  std::vector<std::string> entries;
  const HWND combo = Control(kStartDirectoryCombo);
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // Across processes the combo box answers in UTF-16.
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
    // The length may be counted in the program's 8-bit text, longer than
    // the UTF-16 it sends: the entry ends at its NUL.
    wide.resize(std::wcslen(wide.c_str()));
    std::string text(wide.size() * 3 + 1, '\0');
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(),
                                          static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(bytes > 0 ? static_cast<std::size_t>(bytes) : 0);
    entries.push_back(text);
  }
  return entries;
}

RECT VudoRun::ControlRect(int number) const {
  RECT rect{};
  GetWindowRect(Control(number), &rect);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

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

POINT VudoRun::RowPoint(int row) const {
  RECT rect{};
  const RemoteBuffer remote(process_.hProcess, sizeof rect);
  rect.left = LVIR_LABEL;
  remote.Write(&rect, sizeof rect);
  SendMessageA(Control(kResultList), LVM_GETITEMRECT, static_cast<WPARAM>(row), remote.Param());
  remote.Read(&rect, sizeof rect);
  POINT centre{rect.left + 20, (rect.top + rect.bottom) / 2};
  ClientToScreen(Control(kResultList), &centre);
  return centre;
}

POINT VudoRun::HeaderPoint(int column) const {
  const HWND header = reinterpret_cast<HWND>(SendMessageA(Control(kResultList), LVM_GETHEADER, 0, 0));
  RECT rect{};
  const RemoteBuffer remote(process_.hProcess, sizeof rect);
  SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), remote.Param());
  remote.Read(&rect, sizeof rect);
  POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ClientToScreen(header, &centre);
  return centre;
}

int VudoRun::HeaderSortArrow(int column) const {
  const HWND header = reinterpret_cast<HWND>(SendMessageA(Control(kResultList), LVM_GETHEADER, 0, 0));
  HDITEMA item{};
  item.mask = HDI_FORMAT;
  const RemoteBuffer remote(process_.hProcess, sizeof item);
  remote.Write(&item, sizeof item);
  SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), remote.Param());
  remote.Read(&item, sizeof item);
  return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

void VudoRun::DoubleClickAt(POINT screen) const {
  testing_windows::Click(screen);
  testing_windows::Click(screen);
}

int VudoRun::SelectedRow() const {
  return static_cast<int>(
      SendMessageA(Control(kResultList), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::pair<int, int> VudoRun::EditSelection(HWND edit) const {
  const auto range = static_cast<DWORD>(SendMessageA(edit, EM_GETSEL, 0, 0));
  return {LOWORD(range), HIWORD(range)};
}

namespace {

struct TipSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK VisibleTipOf(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TipSearch*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window) ||
      testing_windows::ClassOf(window) != TOOLTIPS_CLASSA)
    return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

std::string VudoRun::TipText() const {
  TipSearch search{process_.dwProcessId, nullptr};
  EnumWindows(VisibleTipOf, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return {};
  constexpr std::size_t kText = 4096;
  const RemoteBuffer remote(process_.hProcess, sizeof(TOOLINFOA) + kText);
  if (!remote) return {};
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = Control(kResultList);
  tool.uId = 1;
  tool.lpszText = remote.At(sizeof(TOOLINFOA));
  remote.Write(&tool, sizeof tool);
  SendMessageA(search.found, TTM_GETTEXTA, kText, remote.Param());
  std::string text(kText, '\0');
  remote.Read(text.data(), kText, sizeof(TOOLINFOA));
  text.resize(text.find('\0'));
  return text;
}

int VudoRun::ListInk() const {
  const HWND list = Control(kResultList);
  RECT area{};
  GetClientRect(list, &area);
  RECT header{};
  GetWindowRect(reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)), &header);
  area.top += header.bottom - header.top + 1;
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return 0;
  POINT corner{area.left, area.top};
  ClientToScreen(list, &corner);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, corner.x, corner.y, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const DWORD*>(bits);
  // The list's background is what most of it shows.
  const DWORD background = pixels[static_cast<std::size_t>(height - 1) * width + width - 1];
  int ink = 0;
  for (int i = 0; i < width * height; ++i) ink += (pixels[i] & 0xFFFFFF) != (background & 0xFFFFFF);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ink;
}

bool VudoRun::WaitForButton(const char* label, DWORD milliseconds) const {
  return WaitFor([&] { return Text(kStartStopButton) == label; }, milliseconds);
}

void VudoRun::FocusControl(int number) const {
  const HWND target = number == kStartDirectoryCombo ? ComboEdit() : Control(number);
  Click(number);
  WaitFor([&] { return Focus() == target; }, 5000);
}

}  // namespace vudo::e2e
