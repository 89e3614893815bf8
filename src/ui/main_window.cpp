#include "ui/main_window.h"

#include <algorithm>

#include "events/event_binding.h"
#include "search/search_control.h"
#include "settings/settings_store.h"
#include "ui/user_commands.h"
#include "ui/controls/control_layer.h"

namespace vudo {

std::int32_t BuildMainWindow() {
  const unsigned frame = kWindowTitleBar | kWindowSystemMenu | kWindowSizingBorder;
  if (!WindowOpen(kMainWindow, KeepCurrent, KeepCurrent, 300, 300, kMainWindowTitle,
                  frame | kWindowCentredOnScreen | kWindowHidden))
    return 0;
  const HWND window = WindowHandle(kMainWindow);
  if (!window || !ControlParentSet(window)) return 0;

  LabelCreate(kSearchInLabel, 5, 13, 55, 20, "&Search in:");
  ComboCreate(kStartDirectoryCombo, 60, 10, 205, 100, kComboEditable | kComboAutoScroll);
  ButtonCreate(kBrowseButton, 270, 10, 25, 20, "...");
  LabelCreate(kFilenameLabel, 5, 38, 55, 20, "&Filename:");
  FieldCreate(kPatternField, 60, 35, 235, 20, "Filename");
  LabelCreate(kContainsLabel, 5, 63, 55, 20, "&Contains:");
  FieldCreate(kContainsField, 60, 60, 235, 20, "Contains");
  ButtonCreate(kStartStopButton, 225, 85, 70, 20, kStartLabel);
  ListCreate(kResultList, 5, 110, 290, 185, "Filename", 100,
             kListGridLines | kListFullRowSelect | kListShowSelectionAlways | kListLabelTips);
  ListColumnAdd(kResultList, 1, "Directory", 100);
  // How the last search went, in the free space left of Start; not a tab
  // stop, and cut with an ellipsis when the window is narrow (its tip then
  // shows it whole).
  LabelCreate(kStatusText, 5, 85, 215, 20, "", kLabelEndEllipsis | kLabelCentredVertically);

  if (PopupMenuCreate(kListMenu)) {
    MenuAppend(kOpenFolderItem, "Open folder");
    MenuAppend(kOpenFileItem, "Open file");
  }

  BindEvent(window, EVT_CLOSE, OnCloseRequest);
  BindEvent(window, EVT_SIZE, OnWindowResized);
  BindEvent(ControlHandle(kStartDirectoryCombo), EVT_KEYDOWN, OnReturnKey);
  BindEvent(ControlHandle(kPatternField), EVT_KEYDOWN, OnReturnKey);
  BindEvent(ControlHandle(kContainsField), EVT_KEYDOWN, OnReturnKey);
  BindEvent(ControlHandle(kBrowseButton), EVT_CLICK, OnBrowseClicked);
  BindEvent(ControlHandle(kStartStopButton), EVT_CLICK, OnStartStopClicked);
  BindEvent(ControlHandle(kResultList), EVT_CONTEXTMENU, OnListContextMenu);
  BindEventEx(window, EVT_MENU, OnOpenMenuItem, kOpenFileItem);
  BindEventEx(window, EVT_MENU, OnOpenMenuItem, kOpenFolderItem);
  // Habits from other finders: open with a double-click or Return, copy with
  // Ctrl+C, stop with Escape, sort with a click on a column header.
  BindEvent(ControlHandle(kResultList), EVT_DOUBLECLICK, OnListDoubleClick);
  BindEvent(ControlHandle(kResultList), EVT_KEYDOWN, OnListKeyDown);
  ListOnColumnClick(kResultList, OnResultColumnClicked);
  OnSessionEnd(OnSessionEnding);
  return 1;
}

void ApplySavedLayout() {
  if (!SavedLayout.saved) return;
  const RECT normal{SavedLayout.left, SavedLayout.top, SavedLayout.left + SavedLayout.width,
                    SavedLayout.top + SavedLayout.height};
  WindowSetFrame(kMainWindow, normal, SavedLayout.maximized);
  ListSetColumnWidth(kResultList, 0, SavedLayout.name_width);
  ListSetColumnWidth(kResultList, 1, SavedLayout.directory_width);
}

void RememberLayout() {
  RECT normal{};
  bool maximized = false;
  if (!WindowFrame(kMainWindow, normal, maximized)) return;
  SavedLayout.saved = true;
  SavedLayout.left = normal.left;
  SavedLayout.top = normal.top;
  SavedLayout.width = normal.right - normal.left;
  SavedLayout.height = normal.bottom - normal.top;
  SavedLayout.maximized = maximized;
  SavedLayout.name_width = ListColumnWidth(kResultList, 0);
  SavedLayout.directory_width = ListColumnWidth(kResultList, 1);
}

std::int32_t OnWindowResized(EventRecord*) {
  const int width = WindowInnerWidth(kMainWindow);
  const int height = WindowInnerHeight(kMainWindow);
  const int keep = KeepCurrent;
  // Each step reads the positions as the steps before left them.
  ControlPlace(kStartDirectoryCombo, keep, keep,
               width - ControlX(kStartDirectoryCombo) - ControlWidth(kBrowseButton) - 10, keep);
  ControlPlace(kBrowseButton, width - ControlWidth(kBrowseButton) - 5, keep, keep, keep);
  ControlPlace(kPatternField, keep, keep, width - ControlX(kPatternField) - 5, keep);
  ControlPlace(kContainsField, keep, keep, width - ControlX(kContainsField) - 5, keep);
  ControlPlace(kStartStopButton, width - ControlWidth(kStartStopButton) - 5, keep, keep, keep);
  ControlPlace(kStatusText, keep, keep, std::max(0, ControlX(kStartStopButton) - 5 - ControlX(kStatusText)), keep);
  ControlPlace(kResultList, keep, keep, width - ControlX(kResultList) - 5, height - ControlY(kResultList) - 5);
  return EVT_DEFAULT;
}

}  // namespace vudo
