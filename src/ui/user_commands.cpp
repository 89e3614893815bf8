#include "ui/user_commands.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "search/search_control.h"
#include "search/window_walk.h"
#include "settings/settings_store.h"
#include "ui/shell/clipboard.h"
#include "ui/shell/file_drag.h"
#include "ui/shell/shell_menu.h"
#include "ui/main_window.h"
#include "ui/shell/shell_services.h"
#include "ui/controls/control_layer.h"

namespace vudo {

std::int32_t QuitRequested = 0;

namespace {

bool SearchRunning() { return ControlText(kStartStopButton) != kStartLabel; }

// Start or Stop, with the empty list saying what is going on: "Searching…"
// while a search has found nothing yet, and why it is empty once it ended.
void ToggleSearchShowingState() {
  const bool starting = !SearchRunning();
  if (starting) ListSetEmptyText(kResultList, "Searching…");
  ToggleSearch();
  // A Start pressed inside a running walk returns at once, and the walk that
  // runs it says how it ended.
  if (!starting || SearchRunning()) return;
  ListSetEmptyText(kResultList, StartDirectoryListed() ? "No files found." : "The folder cannot be opened.");
}

// The full path of a row: its directory followed by its name.
std::string RowPath(int row) {
  return ControlItemText(kResultList, row, 1) + ControlItemText(kResultList, row, 0);
}

// Where a context menu opens: at the pointer for a click, below the row's
// name for the keyboard (Shift+F10, the menu key), which sends no point.
POINT MenuPoint(LPARAM position, int row) {
  if (position != -1) return POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  const HWND list = ControlHandle(kResultList);
  RECT cell{};
  cell.left = LVIR_LABEL;
  SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
  POINT point{cell.left, cell.bottom};
  ClientToScreen(list, &point);
  return point;
}

}  // namespace

std::int32_t OnCloseRequest(EventRecord*) {
  // The window stays: the main loop ends, saves the settings and closes it.
  // A running search stops first, or the loop would wait for its end.
  QuitRequested = 1;
  if (SearchRunning()) ToggleSearch();
  return EVT_DEFAULT;
}

void OnSessionEnding() {
  // The process may end as soon as this returns, in the middle of a search
  // too: the settings are saved now.
  QuitRequested = 1;
  if (SearchRunning()) ToggleSearch();
  RememberLayout();
  SaveSettings();
}

std::int32_t OnReturnKey(EventRecord* record) {
  if (record->wParam == VK_RETURN) ToggleSearchShowingState();
  else if (record->wParam == VK_ESCAPE && SearchRunning()) ToggleSearch();
  return EVT_DEFAULT;
}

std::int32_t OnBrowseClicked(EventRecord*) {
  const std::string chosen = FolderChoose("Choose a Path", ControlText(kStartDirectoryCombo));
  if (!chosen.empty()) ControlSetText(kStartDirectoryCombo, chosen);
  return EVT_DEFAULT;
}

std::int32_t OnStartStopClicked(EventRecord*) {
  ToggleSearchShowingState();
  return EVT_DEFAULT;
}

std::int32_t OnListContextMenu(EventRecord* record) {
  const int row = ControlSelected(kResultList);
  if (row < 0) return EVT_DEFAULT;
  if (GetKeyState(VK_SHIFT) >= 0) {
    PopupMenuShow(kListMenu, WindowHandle(kMainWindow));
    return EVT_DEFAULT;
  }
  ShellMenuShow(WindowHandle(kMainWindow), RowPath(row), MenuPoint(record->lParam, row), true);
  return 0;  // the list view's own handling would pass the request on to the window
}

std::int32_t OnOpenMenuItem(EventRecord* record) {
  const int row = ControlSelected(kResultList);
  // Without a selected row there is nothing to open (row -1 would read the
  // column titles).
  if (row < 0) return EVT_DEFAULT;
  if (record->item == kOpenFileItem) ProgramLaunch(RowPath(row));
  else if (record->item == kOpenFolderItem) ShowInFolder(RowPath(row));
  return EVT_DEFAULT;
}

}  // namespace vudo

namespace vudo {

std::int32_t OnListDoubleClick(EventRecord* record) {
  // The row under the pointer, not just the selected one: a double-click on
  // the empty part of the list opens nothing.
  LVHITTESTINFO hit{};
  hit.pt = POINT{record->x, record->y};
  const int row = static_cast<int>(SendMessageA(ControlHandle(kResultList), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (row >= 0 && (hit.flags & LVHT_ONITEM)) ProgramLaunch(RowPath(row));
  return EVT_DEFAULT;
}

std::int32_t OnListKeyDown(EventRecord* record) {
  const int row = ControlSelected(kResultList);
  if (record->wParam == VK_RETURN) {
    if (row >= 0) ProgramLaunch(RowPath(row));
  } else if (record->wParam == 'C' && GetKeyState(VK_CONTROL) < 0) {
    if (row >= 0) ClipboardPutFile(WindowHandle(kMainWindow), RowPath(row));
  } else if (record->wParam == VK_ESCAPE && SearchRunning()) {
    ToggleSearch();
  }
  return EVT_DEFAULT;
}

void OnResultRowDragged(int, int row) {
  // The search, if one runs, waits while the button is held: the drag's own
  // loop handles the window's messages meanwhile.
  DragFileOut(RowPath(row));
}

void OnResultColumnClicked(int list, int column) {
  if (SearchRunning()) return;
  const bool again = ListSortColumn(list) == column;
  ListSort(list, column, again && !ListSortDescending(list));
}

}  // namespace vudo
