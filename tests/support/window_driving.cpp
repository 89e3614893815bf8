#include "support/window_driving.h"

#include <shellapi.h>
#include <winternl.h>

#include <cstring>
#include <string>
#include <vector>

namespace vudo::testing_windows {
namespace {

bool DispatchOne() {
  MSG message;
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  TranslateMessage(&message);
  DispatchMessageA(&message);
  return true;
}

HandleOne handler = DispatchOne;

}  // namespace

void SetMessageHandler(HandleOne handle_one) { handler = handle_one ? std::move(handle_one) : DispatchOne; }

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    while (handler()) {
    }
    if (done()) return true;
    const DWORD spent = GetTickCount() - start;
    if (spent >= milliseconds) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, (milliseconds - spent) < 10 ? milliseconds - spent : 10,
                              QS_ALLINPUT);
  }
}

void Flush() {
  // A message can arrive a moment after the queue looked empty (input goes
  // through the server); a short quiet spell means it is really done.
  DWORD quiet_since = GetTickCount();
  while (GetTickCount() - quiet_since < 50) {
    if (handler()) {
      quiet_since = GetTickCount();
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }
}

bool BringToFront(HWND window) {
  return PumpUntil([window] {
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    return GetForegroundWindow() == window;
  });
}

namespace {

void Send(INPUT input) { SendInput(1, &input, sizeof input); }

}  // namespace

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, 0));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_DELETE || key == VK_HOME ||
      key == VK_END)
    input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  return input;
}

void KeyDown(WORD key) { Send(KeyInput(key, false)); }
void KeyUp(WORD key) { Send(KeyInput(key, true)); }
void PressKey(WORD key) {
  KeyDown(key);
  KeyUp(key);
}
void PressKeyWith(WORD modifier, WORD key) {
  KeyDown(modifier);
  PressKey(key);
  KeyUp(modifier);
}

void MoveMouse(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  WaitFor([&] {
    POINT at;
    GetCursorPos(&at);
    return at.x == screen.x && at.y == screen.y;
  }, 2000);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Send(input);
}

void MouseButton(bool down, bool right) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                           : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
  Send(input);
}

void Click(POINT screen, bool right) {
  MoveMouse(screen);
  MouseButton(true, right);
  MouseButton(false, right);
}

RECT ScreenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

POINT CentreOf(HWND window) {
  const RECT rect = ScreenRect(window);
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string CommandLineOf(HWND window) {
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
  if (!process) return {};
  // Read from the process's own block: Wine answers no direct question for
  // it. The block's layout is this program's own, so only a process of the
  // same bitness is read.
  BOOL mine = FALSE, theirs = FALSE;
  IsWow64Process(GetCurrentProcess(), &mine);
  IsWow64Process(process, &theirs);
  using Query = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  PEB block{};
  RTL_USER_PROCESS_PARAMETERS parameters{};
  std::wstring line;
  const bool read =
      mine == theirs && query && query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) == 0 &&
      ReadProcessMemory(process, basic.PebBaseAddress, &block, sizeof block, nullptr) &&
      ReadProcessMemory(process, block.ProcessParameters, &parameters, sizeof parameters, nullptr) &&
      (line.resize(parameters.CommandLine.Length / sizeof(wchar_t)), true) &&
      ReadProcessMemory(process, parameters.CommandLine.Buffer, line.data(), parameters.CommandLine.Length, nullptr);
  CloseHandle(process);
  if (!read) return {};
  const int wide = static_cast<int>(line.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, line.data(), wide, text.data(), bytes, nullptr, nullptr);
  return text;
}

std::string TextOf(HWND window) {
  // WM_GETTEXT, not GetWindowTextA: only the message reads a control of
  // another process.
  const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  const LRESULT got = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

void PutOnClipboard(const std::string& text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  if (const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "(clipboard busy)";
  if (const HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(GlobalLock(data))) text = bytes;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

std::wstring ClipboardWideText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return L"(clipboard busy)";
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) text = chars;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

std::vector<std::wstring> ClipboardFiles() {
  std::vector<std::wstring> files;
  if (!OpenClipboard(nullptr)) return {L"(clipboard busy)"};
  if (const auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP))) {
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      std::wstring file(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
      file.resize(DragQueryFileW(drop, i, file.data(), static_cast<UINT>(file.size())));
      files.push_back(file);
    }
  }
  CloseClipboard();
  return files;
}

bool ClipboardAsksForACopy() {
  DWORD effect = 0;
  if (!OpenClipboard(nullptr)) return false;
  if (const HANDLE data = GetClipboardData(RegisterClipboardFormatA("Preferred DropEffect"))) {
    if (const auto* value = static_cast<const DWORD*>(GlobalLock(data))) effect = *value;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return effect == 1;  // DROPEFFECT_COPY
}

DWORD WINAPI Helper::Run(void* self) {
  static_cast<Helper*>(self)->body_();
  return 0;
}

Helper::Helper(std::function<void()> body) : body_(std::move(body)) {
  thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

Helper::~Helper() {
  if (!thread_) return;
  // Keep handling this thread's messages: the helper may be sending to us.
  while (MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    while (handler()) {
    }
  }
  CloseHandle(thread_);
}

bool WaitFor(const std::function<bool()>& done, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= milliseconds) return done();
    Sleep(5);
  }
  return true;
}

}  // namespace vudo::testing_windows
