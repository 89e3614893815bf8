// Helpers for tests that drive real windows under Wine and Xvfb: waiting for a
// state with a deadline while messages are handled, and real input through
// SendInput.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vudo::testing_windows {

// Handles one queued message, if any; true when it handled one. The default
// is a plain PeekMessageA / DispatchMessageA; tests of the control layer set
// its EventPoll, so that its accelerators and its own events take part.
using HandleOne = std::function<bool()>;
void SetMessageHandler(HandleOne handle_one);

// Handles the thread's messages until `done` holds or `milliseconds` pass;
// true when it held. Waits on the message queue, never on a fixed sleep.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 5000);
// Handles every message already queued, and what that produces, until the
// queue stays empty for a moment.
void Flush();

// Makes `window` the foreground window and waits until it is.
bool BringToFront(HWND window);

// One key going down or up, as SendInput takes it; the navigation keys are
// marked extended, as a real keyboard sends them.
INPUT KeyInput(WORD key, bool up);
void PressKey(WORD key);  // down and up
void PressKeyWith(WORD modifier, WORD key);
void KeyDown(WORD key);
void KeyUp(WORD key);
void MoveMouse(POINT screen);
void MouseButton(bool down, bool right = false);
void Click(POINT screen, bool right = false);

// The middle of a window, in screen coordinates.
POINT CentreOf(HWND window);
RECT ScreenRect(HWND window);
std::string ClassOf(HWND window);
// The window's text, read with WM_GETTEXT so that it works across processes.
std::string TextOf(HWND window);
// The command line of the process that owns `window`, in UTF-8; empty when
// it cannot be read, as for a process of the other bitness.
std::string CommandLineOf(HWND window);

// The clipboard's text as another program sees it (CF_TEXT), and putting one
// there.
void PutOnClipboard(const std::string& text);
std::string ClipboardText();
// The clipboard's Unicode text (CF_UNICODETEXT).
std::wstring ClipboardWideText();
// The files on the clipboard (CF_HDROP), as a paste into Explorer takes them,
// and whether it asks for them to be copied rather than moved.
std::vector<std::wstring> ClipboardFiles();
bool ClipboardAsksForACopy();

// Runs `body` on a second thread, for input or checks that must happen while
// this thread sits in a modal loop (a menu, a dialog).
class Helper {
 public:
  explicit Helper(std::function<void()> body);
  ~Helper();  // waits for the thread
  Helper(const Helper&) = delete;
  Helper& operator=(const Helper&) = delete;

 private:
  static DWORD WINAPI Run(void* self);
  std::function<void()> body_;
  HANDLE thread_;
};

// Polls `done` from a thread that handles no messages, with a deadline.
bool WaitFor(const std::function<bool()>& done, DWORD milliseconds = 5000);

}  // namespace vudo::testing_windows
