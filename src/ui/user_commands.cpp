#include "ui/user_commands.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "search/search_control.h"
#include "ui/shell/clipboard.h"
#include "ui/main_window.h"
#include "ui/shell/shell_services.h"
#include "ui/controls/control_layer.h"

namespace vudo {

std::int32_t QuitRequested = 0;

namespace {

bool SearchRunning() { return ControlText(kStartStopButton) != kStartLabel; }

// The full path of a row: its directory followed by its name.
std::string RowPath(int row) {
  return ControlItemText(kResultList, row, 1) + ControlItemText(kResultList, row, 0);
}

}  // namespace

std::int32_t OnCloseRequest(EventRecord*) {
  // The window stays: the main loop ends, saves the settings and closes it.
  QuitRequested = 1;
  return EVT_DEFAULT;
}

std::int32_t OnReturnKey(EventRecord* record) {
  if (record->wParam == VK_RETURN) ToggleSearch();
  else if (record->wParam == VK_ESCAPE && SearchRunning()) ToggleSearch();
  return EVT_DEFAULT;
}

std::int32_t OnBrowseClicked(EventRecord*) {
  const std::string chosen = FolderChoose("Choose a Path", ControlText(kStartDirectoryCombo));
  if (!chosen.empty()) ControlSetText(kStartDirectoryCombo, chosen);
  return EVT_DEFAULT;
}

std::int32_t OnStartStopClicked(EventRecord*) {
  ToggleSearch();
  return EVT_DEFAULT;
}

std::int32_t OnListContextMenu(EventRecord*) {
  if (ControlSelected(kResultList) > -1) PopupMenuShow(kListMenu, WindowHandle(kMainWindow));
  return EVT_DEFAULT;
}

std::int32_t OnOpenMenuItem(EventRecord* record) {
  const int row = ControlSelected(kResultList);
  // Without a selected row there is nothing to open (row -1 would read the
  // column titles).
  if (row < 0) return EVT_DEFAULT;
  if (record->item == kOpenFileItem) ProgramLaunch(RowPath(row));
  else if (record->item == kOpenFolderItem) ProgramLaunch(ControlItemText(kResultList, row, 1));
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
    if (row >= 0) ClipboardPutText(WindowHandle(kMainWindow), RowPath(row));
  } else if (record->wParam == VK_ESCAPE && SearchRunning()) {
    ToggleSearch();
  }
  return EVT_DEFAULT;
}

void OnResultColumnClicked(int list, int column) {
  if (SearchRunning()) return;
  const bool again = ListSortColumn(list) == column;
  ListSort(list, column, again && !ListSortDescending(list));
}

}  // namespace vudo
