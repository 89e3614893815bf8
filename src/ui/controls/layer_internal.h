// The control layer's own records of the windows, controls and menus it made,
// and what its files share among themselves. Internal to ui/controls: nothing
// outside the layer includes this.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "ui/controls/control_layer.h"
#include "ui/controls/row_store.h"

namespace vudo::layer {

struct WindowRecord {
  HWND handle = nullptr;
  HACCEL accelerators = nullptr;
  std::string class_name;
  bool show_maximized = false;  // WindowSetFrame asked for it
};

enum class ControlKind { kLabel, kCombo, kButton, kField, kList };

struct ControlRecord {
  HWND handle = nullptr;
  ControlKind kind = ControlKind::kLabel;
  RowStore rows;  // lists: the rows, which the list view shows (virtual_list.h)
  bool redraw_held = false;  // lists: rows are coming in a burst
  DWORD held_since = 0;
  int sort_column = -1;  // lists: the column the rows are sorted by, -1 for none
  bool sort_descending = false;
  void (*column_click)(int list, int column) = nullptr;
  void (*row_drag)(int list, int row) = nullptr;
  std::string empty_text;  // lists: shown while there are no rows
  bool platform_draws_empty = false;  // lists: the platform asked for that text
  HWND label_tip = nullptr;  // lists: the tip showing a cut-off cell (label_tips.h)
  int tip_row = -1, tip_column = -1;  // the cell it shows, -1: none
};

struct MenuRecord {
  HMENU handle = nullptr;
};

extern std::map<int, WindowRecord> windows;
extern std::map<int, ControlRecord> controls;
extern std::map<int, MenuRecord> menus;
extern HMENU current_menu;  // where MenuAppend adds items

// The entry of `table` whose record's handle is `handle`, or null.
template <class Record>
std::pair<const int, Record>* FindByHandle(std::map<int, Record>& table, HWND handle) {
  if (!handle) return nullptr;
  for (auto& entry : table)
    if (entry.second.handle == handle) return &entry;
  return nullptr;
}

inline WindowRecord* FindWindowRecord(HWND window) {
  auto* entry = FindByHandle(windows, window);
  return entry ? &entry->second : nullptr;
}
inline ControlRecord* FindControlOf(HWND control) {
  auto* entry = FindByHandle(controls, control);
  return entry ? &entry->second : nullptr;
}
ControlRecord* FindControl(int number);
// The record of list `number`, or of the list whose window is `handle`; null
// for a control of any other kind, and for a number or window that names no
// control.
ControlRecord* FindList(int number);
ControlRecord* FindList(HWND handle);

// Forgets window `number`, destroying the window, its accelerators and its
// class.
void DropWindow(int number);

// The procedure a control had before the layer took it over, or none for a
// window that is no control of the layer. The layer's own calls go straight
// to it where the procedures in front of it would only pass the message on.
WNDPROC ControlOwnProcedure(HWND control);

// Resources loaded once by StartControlLayer.
HINSTANCE Instance();
HICON ProgramIcon();
HCURSOR ArrowCursor();
HFONT ControlFont();
// The DPI of the monitor `window` is on (the system's where Windows cannot
// tell).
int DpiOf(HWND window);
// Makes `font` the one ControlFont gives; the caller keeps it alive.
void SetControlFont(HFONT font);

// The layer's window procedure, used by the class of every window it opens.
LRESULT CALLBACK LayerWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The handler OnSessionEnd set, or none.
SessionEndHandler SessionEndHandlerSet();

// WM_DPICHANGED of `window`: tells the handler OnDpiChange set, then gives
// the window the rectangle Windows suggests.
void FollowDpiChange(HWND window, WPARAM wparam, LPARAM lparam);

// Queues one of the layer's own events for the event loop (see EventWait).
void QueueLayerEvent(int kind, int window_number);

}  // namespace vudo::layer
