// Drives the real Vudo.exe from outside, as a person would: its own copy of the
// program in a fresh folder (so its Vudo.ini is its own), real keys and clicks
// through SendInput, and the window's state read back from the other process.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/control_numbers.h"
#include "support/temp_tree.h"

namespace vudo::e2e {

// Linux paths of the build's programs, in Wine's Z:\ form.
std::string WindowsPath(const char* linux_path);
std::string VudoExe();
std::string VudoFindExe();
std::string LaunchProbeExe();
std::string DropTargetExe();  // tests/support/drop_target.cpp
// Builds of both whose memory runs out at VUDO_ALLOCATION_LIMIT bytes
// (support/allocation_limit.h).
std::string VudoLimitedExe();
std::string VudoFindLimitedExe();

// Polls `done` with a deadline, never sleeping as a substitute for a state.
bool WaitFor(const std::function<bool()>& done, DWORD milliseconds = 10000);

// The clipboard's text (CF_TEXT), as another program sees it.
void PutOnClipboard(const std::string& text);
std::string ClipboardText();

// The pixels of `area` of `window`'s client area as the screen shows them,
// row by row, as 0xRRGGBB.
std::vector<DWORD> ScreenPixels(HWND window, RECT area);

// The paths in order, for comparing sets of rows.
std::vector<std::string> Sorted(std::vector<std::string> paths);
// Whether a popup menu shows anywhere, and one that does (none: null).
bool AnyVisibleMenu();
HWND VisibleMenu();
// A visible top-level window whose title holds `part`, or none.
HWND VisibleWindowTitled(const std::string& part);
// The visible top-level windows, class and title, for a failure message.
std::string VisibleWindows();

// What vudo-find.exe prints for a search: full paths, in the order found.
std::vector<std::string> ConsoleFinderPaths(const std::string& directory, const std::string& pattern,
                                            const std::string& contains = "");

class VudoRun {
 public:
  // The copy (of `program`, named Vudo.exe) lives in a folder of that name
  // inside a fresh temporary tree.
  explicit VudoRun(const std::string& folder_name = "Vudo Copy", const std::string& program = VudoExe());
  ~VudoRun();  // ends the program if it still runs, then removes its folder
  VudoRun(const VudoRun&) = delete;
  VudoRun& operator=(const VudoRun&) = delete;

  const std::string& Folder() const { return folder_; }
  std::string IniPath() const { return folder_ + "\\Vudo.ini"; }
  void WriteIni(const std::string& content) const;
  std::string ReadIni() const;

  // Starts the program with `parameters` after its path on the command line
  // and waits until its window shows.
  bool Start(const std::string& parameters = "");
  // Closes the window with Alt+F4 and waits for the process to end; false
  // when it did not end in time.
  bool CloseWithAltF4(DWORD milliseconds = 60000);
  bool WaitForExit(DWORD milliseconds);
  DWORD ExitCode() const;

  HWND Window() const { return window_; }
  HANDLE Process() const { return process_.hProcess; }
  HWND Control(int number) const { return GetDlgItem(window_, number); }
  HWND ComboEdit() const;
  HWND Focus() const;

  std::string Text(int number) const;
  std::string EditText() const;  // the start directory, as its edit field holds it
  int RowCount() const;
  // The rows as directory + name (the full paths), in list order.
  std::vector<std::string> RowPaths() const;
  std::pair<std::string, std::string> Row(int row) const;  // name, directory
  std::vector<std::string> RecentList() const;
  RECT ControlRect(int number) const;  // in the window's client coordinates
  SIZE InnerSize() const;

  bool BringToFront() const;
  void Key(WORD key) const;
  void KeyWith(WORD modifier, WORD key) const;
  void Type(const std::string& text) const;
  // Puts `text` on the clipboard and pastes it with Ctrl+V into the focus.
  void Paste(const std::string& text) const;
  void Click(int number, bool right = false) const;
  void ClickAt(POINT screen, bool right = false) const;
  // The centre of a row of the result list, in screen coordinates.
  POINT RowPoint(int row) const;
  // The centre of a column's header, in screen coordinates.
  POINT HeaderPoint(int column) const;
  // The sort arrow a column's header shows: HDF_SORTUP, HDF_SORTDOWN or 0.
  int HeaderSortArrow(int column) const;
  void DoubleClickAt(POINT screen) const;
  // The row selected in the result list, -1 for none.
  int SelectedRow() const;
  // The selection of an edit field: its first and one-past-last character.
  std::pair<int, int> EditSelection(HWND edit) const;
  // The text of the label tip showing over the result list; empty when none
  // shows.
  std::string TipText() const;
  // How many pixels of the result list below its header differ from the
  // list's background: 0 for a list that shows nothing at all.
  int ListInk() const;
  // Waits for the Start/Stop button to read `label`.
  bool WaitForButton(const char* label, DWORD milliseconds = 30000) const;
  // Waits for a search that was told to stop to have ended: the button reads
  // "Start" as soon as the Stop lands, the walk ends at its next poll and
  // then says how it ended in the status line.
  bool WaitForStopped(DWORD milliseconds = 30000) const;
  // Runs `gesture`, which starts a search, and waits for that search to end.
  // The button reads "Start" until the gesture's input lands, so it alone
  // cannot tell the end of a search from a search not yet begun.
  bool SearchAndWait(const std::function<void()>& gesture, DWORD milliseconds = 30000) const;
  // Focuses a control by clicking into it (for the combo box: its edit field).
  void FocusControl(int number) const;

 private:
  testing_tree::TempTree tree_;
  std::string folder_;
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

}  // namespace vudo::e2e
