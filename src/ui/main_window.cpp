#include "ui/main_window.h"

#include <algorithm>

#include "events/event_binding.h"
#include "search/search_control.h"
#include "settings/settings_store.h"
#include "ui/user_commands.h"
#include "ui/controls/control_layer.h"

namespace vudo {

namespace {

// The scale the layout is drawn at: the window's DPI. Every pixel value below
// is at 96 DPI (100 %) and goes through Px.
int layout_dpi = kDefaultDpi;
int Px(int pixels) { return ScaledTo(layout_dpi, pixels); }

struct Spot {
  int number, x, y, width, height;
};
// Where each control is created, at 96 DPI. The combo box's height is that of
// its field and its dropped-down list together.
constexpr Spot kCreated[] = {
    {kSearchInLabel, 5, 13, 55, 20},   {kStartDirectoryCombo, 60, 10, 205, 100}, {kBrowseButton, 270, 10, 25, 20},
    {kFilenameLabel, 5, 38, 55, 20},   {kPatternField, 60, 35, 235, 20},         {kContainsLabel, 5, 63, 55, 20},
    {kContainsField, 60, 60, 235, 20}, {kStartStopButton, 225, 85, 70, 20},     {kResultList, 5, 110, 290, 185},
    // How the last search went, in the free space left of Start.
    {kStatusText, 5, 85, 215, 20}};
constexpr int kInnerSize = 300, kColumnWidth = 100;

// Edges are scaled, not sizes, so that controls that touch at 96 DPI touch
// at every scale, and none overlaps its neighbour by a rounded pixel.
Spot CreatedAt(int number) {
  for (const Spot& spot : kCreated)
    if (spot.number == number)
      return {number, Px(spot.x), Px(spot.y), Px(spot.x + spot.width) - Px(spot.x),
              Px(spot.y + spot.height) - Px(spot.y)};
  return {};
}

// Creates control `number` where kCreated puts it at the layout's scale.
template <class... Rest>
HWND CreateAt(HWND (*create)(int, int, int, int, int, Rest...), int number, Rest... rest) {
  const Spot at = CreatedAt(number);
  return create(number, at.x, at.y, at.width, at.height, rest...);
}

// The window has moved to a monitor of another scale: the font and the
// layout follow, and the columns keep their share of the list.
void OnDpiChanged(int dpi) {
  if (dpi <= 0 || dpi == layout_dpi) return;
  const int old = layout_dpi;
  layout_dpi = dpi;
  for (const Spot& spot : kCreated) {
    const Spot at = CreatedAt(spot.number);
    ControlPlace(at.number, at.x, at.y, at.width, at.height);
  }
  for (int column : {0, 1})
    ListSetColumnWidth(kResultList, column, MulDiv(ListColumnWidth(kResultList, column), dpi, old));
  OnWindowResized(nullptr);
  // The new font after the labels have their new sizes: a label that drew
  // its text at the old size would keep the lines it wrapped there.
  ControlFontSetDpi(dpi);
}

// An outer size at `from` DPI as the same window has it at `to`: the inner
// part scales, the frame is the one Windows draws at each.
SIZE OuterAt(int to, int from, SIZE outer) {
  const SIZE frame_from = WindowFrameAt(kMainWindow, from), frame_to = WindowFrameAt(kMainWindow, to);
  return SIZE{MulDiv(outer.cx - frame_from.cx, to, from) + frame_to.cx,
              MulDiv(outer.cy - frame_from.cy, to, from) + frame_to.cy};
}

}  // namespace

std::int32_t BuildMainWindow() {
  const unsigned frame = kWindowTitleBar | kWindowSystemMenu | kWindowSizingBorder;
  const int inner = ScaledTo(SystemDpi(), kInnerSize);
  if (!WindowOpen(kMainWindow, KeepCurrent, KeepCurrent, inner, inner, kMainWindowTitle,
                  frame | kWindowCentredOnScreen | kWindowHidden))
    return 0;
  const HWND window = WindowHandle(kMainWindow);
  if (!window || !ControlParentSet(window)) return 0;
  layout_dpi = WindowDpi(kMainWindow);
  // The system's DPI is the primary monitor's as it was at sign-in; a window
  // that opened at another takes its first size at its own.
  if (layout_dpi != SystemDpi()) WindowSetInnerSize(kMainWindow, Px(kInnerSize), Px(kInnerSize));
  ControlFontSetDpi(layout_dpi);

  CreateAt<std::string_view, unsigned>(LabelCreate, kSearchInLabel, "&Search in:", 0);
  CreateAt<unsigned>(ComboCreate, kStartDirectoryCombo, kComboEditable | kComboAutoScroll);
  CreateAt<std::string_view>(ButtonCreate, kBrowseButton, "...");
  CreateAt<std::string_view, unsigned>(LabelCreate, kFilenameLabel, "&Filename:", 0);
  CreateAt<std::string_view>(FieldCreate, kPatternField, "Filename");
  CreateAt<std::string_view, unsigned>(LabelCreate, kContainsLabel, "&Contains:", 0);
  CreateAt<std::string_view>(FieldCreate, kContainsField, "Contains");
  CreateAt<std::string_view>(ButtonCreate, kStartStopButton, kStartLabel);
  CreateAt<std::string_view, int, unsigned>(ListCreate, kResultList, "Filename", Px(kColumnWidth),
                                            kListGridLines | kListFullRowSelect | kListShowSelectionAlways |
                                                kListLabelTips);
  ListColumnAdd(kResultList, 1, "Directory", Px(kColumnWidth));
  // Not a tab stop, and cut with an ellipsis when the window is narrow (its
  // tip then shows it whole).
  CreateAt<std::string_view, unsigned>(LabelCreate, kStatusText, "", kLabelEndEllipsis | kLabelCentredVertically);

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
  ListOnRowDrag(kResultList, OnResultRowDragged);
  OnSessionEnd(OnSessionEnding);
  OnDpiChange(OnDpiChanged);
  return 1;
}

void ApplySavedLayout() {
  if (!SavedLayout.saved) return;
  // Sizes are kept at 96 DPI, so that they mean the same on every monitor; a
  // place is a point on the screen, kept as it is. Moved to a monitor of
  // another scale, the window gets its size there from Windows.
  const SIZE outer = OuterAt(layout_dpi, kDefaultDpi, SIZE{SavedLayout.width, SavedLayout.height});
  const RECT normal{SavedLayout.left, SavedLayout.top, SavedLayout.left + outer.cx, SavedLayout.top + outer.cy};
  WindowSetFrame(kMainWindow, normal, SavedLayout.maximized);
  ListSetColumnWidth(kResultList, 0, Px(SavedLayout.name_width));
  ListSetColumnWidth(kResultList, 1, Px(SavedLayout.directory_width));
}

void RememberLayout() {
  RECT normal{};
  bool maximized = false;
  if (!WindowFrame(kMainWindow, normal, maximized)) return;
  SavedLayout.saved = true;
  SavedLayout.left = normal.left;
  SavedLayout.top = normal.top;
  const SIZE outer = OuterAt(kDefaultDpi, layout_dpi, SIZE{normal.right - normal.left, normal.bottom - normal.top});
  SavedLayout.width = outer.cx;
  SavedLayout.height = outer.cy;
  SavedLayout.maximized = maximized;
  const auto at96 = [](int pixels) { return MulDiv(pixels, kDefaultDpi, layout_dpi); };
  SavedLayout.name_width = at96(ListColumnWidth(kResultList, 0));
  SavedLayout.directory_width = at96(ListColumnWidth(kResultList, 1));
}

std::int32_t OnWindowResized(EventRecord*) {
  const int width = WindowInnerWidth(kMainWindow);
  const int height = WindowInnerHeight(kMainWindow);
  const int keep = KeepCurrent;
  // Each step reads the positions as the steps before left them.
  ControlPlace(kStartDirectoryCombo, keep, keep,
               width - ControlX(kStartDirectoryCombo) - ControlWidth(kBrowseButton) - Px(10), keep);
  ControlPlace(kBrowseButton, width - ControlWidth(kBrowseButton) - Px(5), keep, keep, keep);
  ControlPlace(kPatternField, keep, keep, width - ControlX(kPatternField) - Px(5), keep);
  ControlPlace(kContainsField, keep, keep, width - ControlX(kContainsField) - Px(5), keep);
  ControlPlace(kStartStopButton, width - ControlWidth(kStartStopButton) - Px(5), keep, keep, keep);
  ControlPlace(kStatusText, keep, keep, std::max(0, ControlX(kStartStopButton) - Px(5) - ControlX(kStatusText)),
               keep);
  ControlPlace(kResultList, keep, keep, width - ControlX(kResultList) - Px(5),
               height - ControlY(kResultList) - Px(5));
  return EVT_DEFAULT;
}

}  // namespace vudo
