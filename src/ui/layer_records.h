// What the control layer keeps about the windows, controls and menus it made.
// Shared by the layer's own files only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "ui/row_store.h"

namespace vudo::layer {

struct WindowRecord {
  HWND handle = nullptr;
  HACCEL accelerators = nullptr;
  std::string class_name;
};

enum class ControlKind { kLabel, kCombo, kButton, kField, kList };

struct ControlRecord {
  HWND handle = nullptr;
  ControlKind kind = ControlKind::kLabel;
  WNDPROC replaced = nullptr;  // the control's own procedure, which ours calls
  RowStore rows;  // lists: the rows, which the list view shows (list_rows.h)
  bool redraw_held = false;  // lists: rows are coming in a burst
  DWORD held_since = 0;
  int sort_column = -1;  // lists: the column the rows are sorted by, -1 for none
  bool sort_descending = false;
  void (*column_click)(int list, int column) = nullptr;
};

struct MenuRecord {
  HMENU handle = nullptr;
};

extern std::map<int, WindowRecord> windows;
extern std::map<int, ControlRecord> controls;
extern std::map<int, MenuRecord> menus;
extern HMENU current_menu;  // where MenuAppend adds items

// The window record whose handle is `window`, or null.
WindowRecord* FindWindowRecord(HWND window);
ControlRecord* FindControl(int number);
ControlRecord* FindControlOf(HWND handle);

// Resources loaded once by StartControlLayer.
HINSTANCE Instance();
HICON ProgramIcon();
HCURSOR ArrowCursor();
HFONT ControlFont();

// The layer's window procedure, used by the class of every window it opens.
LRESULT CALLBACK LayerWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Queues one of the layer's own events for the event loop (see EventWait).
void QueueLayerEvent(int kind, int window_number);

// Passes a click on a list's column header (LVN_COLUMNCLICK) to the handler
// set for that list. True when `header` was that.
bool PassColumnClick(const NMHDR* header);

// Answers a list's request for the text of one of its cells (LVN_GETDISPINFO,
// ANSI or wide), sent to the list's parent. True when `header` was that.
bool AnswerListTextRequest(const NMHDR* header);

// Lets lists whose redraw a burst of rows holds back paint again: all of them
// (`only_overdue` false, when the program goes idle), or those held nearly
// kListRepaintMs (list_rows.h).
void ReleaseListRedraw(bool only_overdue);

}  // namespace vudo::layer
