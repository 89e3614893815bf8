#include "ui/user_commands.h"

#include <string>

#include "search/search_control.h"
#include "ui/main_window.h"
#include "ui/shell_services.h"
#include "ui/window_layer.h"

namespace vudo {

std::int32_t QuitRequested = 0;

std::int32_t OnCloseRequest(EventRecord*) {
  // The window stays: the main loop ends, saves the settings and closes it.
  QuitRequested = 1;
  return EVT_DEFAULT;
}

std::int32_t OnReturnKey(EventRecord* record) {
  if (record->wParam == VK_RETURN) ToggleSearch();
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
  const std::string name = ControlItemText(kResultList, row, 0);
  const std::string directory = ControlItemText(kResultList, row, 1);
  if (record->item == kOpenFileItem) ProgramLaunch(directory + name);
  else if (record->item == kOpenFolderItem) ProgramLaunch(directory);
  return EVT_DEFAULT;
}

}  // namespace vudo
