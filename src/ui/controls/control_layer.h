// The Win32 control layer: the window, its controls and its popup menu,
// addressed by small numbers, and the handling of window messages.
//
// Conventions, for every operation here and in control_seam.h; the first two
// hold as well in the other layers that implement the seam (the console
// finder's printing layer, the tests' in-memory one):
// - Windows, controls and menus have separate number spaces. A number used
//   again destroys what it named before. An operation on a number that names
//   nothing does nothing and reads as 0, none or an empty text.
// - Texts go in as views and come back as new strings the caller owns.
// - Every control's child-window identifier is its number, and every control
//   uses the stock default GUI font.
// - Positions and sizes are pixels in the parent's client coordinates;
//   KeepCurrent leaves a coordinate or size as it is.
// - A close request to a window opened here never destroys it: the layer
//   answers WM_CLOSE itself and reports it as an event (kEventClose).
// - Messages are handled only by EventWait and EventPoll, which run the
//   window's accelerators (Tab and Shift+Tab move between tab stops) and
//   dispatch everything else. Both may be entered again from inside a
//   dispatched procedure; a running search does exactly that.
// - All of it runs on the one user-interface thread.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ui/controls/control_seam.h"

namespace vudo {

// A coordinate or size argument that keeps the current value.
inline constexpr int KeepCurrent = -65535;

//--- layer start-up and shutdown

// Initialises the common controls and loads the program icon (resource 1), the
// arrow cursor and the default GUI font. Runs once; the creating operations
// call it themselves, so calling it early only fixes the moment.
void StartControlLayer();
// Destroys every window (and with it every control) and every menu the layer
// still holds, and unregisters the window classes.
void CloseControlLayer();

//--- windows

enum WindowOptions : unsigned {
  kWindowTitleBar = 1u << 0,
  kWindowSystemMenu = 1u << 1,
  kWindowSizingBorder = 1u << 2,
  kWindowMinimizeBox = 1u << 3,
  kWindowMaximizeBox = 1u << 4,
  kWindowMaximized = 1u << 5,
  kWindowHidden = 1u << 6,           // created hidden; WindowSetHidden shows it
  kWindowCentredOnScreen = 1u << 7,  // x and y are then ignored
  kWindowCentredOnParent = 1u << 8,  // within `parent`, or the active window
};

// Opens a top-level window whose client area is inner_width x inner_height,
// with a window class of its own. x and y are screen coordinates, or
// KeepCurrent for the platform's default place. `parent` owns the window.
HWND WindowOpen(int number, int x, int y, int inner_width, int inner_height, std::string_view title,
                unsigned options, HWND parent = nullptr);
HWND WindowHandle(int number);
int WindowInnerWidth(int number);
int WindowInnerHeight(int number);
// Hiding activates the window's owner first. Showing restores the normal
// state, or the maximised one if the window is maximised.
void WindowSetHidden(int number, bool hidden);

// The window's place and size when it is not maximised (its outer rectangle),
// and whether it is maximised. False for a number that names no window.
bool WindowFrame(int number, RECT& normal, bool& maximized);
// Gives a hidden window that place and size, and has WindowSetHidden show it
// maximised when `maximized`. A rectangle that lies on no monitor keeps the
// window where it is, with the rectangle's size.
void WindowSetFrame(int number, const RECT& normal, bool maximized);

// Centring for WindowOpen: cuts the outer size to the area where it is larger
// and returns the top-left corner that puts it in the middle (quotients
// truncated towards zero).
POINT CentreIn(SIZE& outer, SIZE area);

// Events the layer itself queues for windows opened by WindowOpen; EventWait
// and EventPoll hand them out, one per call, before they look at the message
// queue (see EventWait). The program acts on none of them, but each is
// nonzero, so a loop that calls EventPoll until it answers 0 empties this
// queue too.
//
// A result is either such an event or the number of the message handled, so
// an event takes the number of the message that causes it where it can: a
// close request, a move or a size change reads the same whether the layer
// queued it or the message went through.
enum LayerEvent : int {
  kEventMove = WM_MOVE,
  kEventSize = WM_SIZE,  // not for minimising
  kEventClose = WM_CLOSE,
  // The background erased (WM_ERASEBKGND), which starts every repaint: the
  // event stands for the repaint and so takes WM_PAINT's number.
  kEventRepaint = WM_PAINT,
  // Activation (WM_ACTIVATE, other than WA_INACTIVE). Its number, 13104
  // (0x3330), is the one this event has always had; it is not WM_ACTIVATE's,
  // but lies above WM_USER, where none of the system's own messages do, so it
  // is never mistaken for one of them.
  kEventActivate = 13104,
};

// Waits for one window message and handles it. The result is the event the
// layer recorded while handling it, else the message number. Events the layer
// queued earlier are returned first, one per call, without waiting.
int EventWait();

// Told when the user's session ends (logoff, shutdown) while a window of the
// layer is open: WM_ENDSESSION. The process may be ended as soon as the
// handler returns. None: nothing is done.
using SessionEndHandler = void (*)();
void OnSessionEnd(SessionEndHandler handler);

//--- display scale

// Dots per inch: 96 is 100 %, 144 is 150 %.
inline constexpr int kDefaultDpi = 96;
// `pixels` at 96 DPI, as many at `dpi`, rounded as Windows rounds (MulDiv).
int ScaledTo(int dpi, int pixels);
// The scale of the monitor window `number` is on; the system's where Windows
// cannot tell one window's (before Windows 10 1607), or for no window.
int WindowDpi(int number);
// The scale of the primary monitor, which a window opened there starts with.
int SystemDpi();
// What window `number`'s frame adds to its inner size at `dpi`: the outer
// size less the inner one. The caption and the borders grow with the scale,
// though not by its ratio.
SIZE WindowFrameAt(int number, int dpi);
// Gives window `number` an inner size of width x height with its frame at its
// own DPI, centred on its monitor.
void WindowSetInnerSize(int number, int width, int height);
// Gives every control, and those created afterwards, the default GUI font at
// the same point size for `dpi`: the stock font itself at the system's DPI.
void ControlFontSetDpi(int dpi);
// Told when a window of the layer moves to a monitor of another scale
// (WM_DPICHANGED), with its new DPI, before the window takes the size Windows
// suggests for it there. None: only the size follows.
using DpiChangeHandler = void (*)(int dpi);
void OnDpiChange(DpiChangeHandler handler);

// Commands of the accelerator table of every window opened here.
inline constexpr int kCommandNextTabStop = 1212;
inline constexpr int kCommandPreviousTabStop = 1213;

//--- controls

// Makes `window` the parent of the controls created afterwards (per thread).
// Returns it; none means failure.
HWND ControlParentSet(HWND window);

enum ComboOptions : unsigned {
  kComboEditable = 1u << 0,  // an edit field (CBS_DROPDOWN); else a drop-down list
  kComboAutoScroll = 1u << 1,
};
enum ListOptions : unsigned {
  kListGridLines = 1u << 0,
  kListFullRowSelect = 1u << 1,
  kListShowSelectionAlways = 1u << 2,
  kListMultipleSelection = 1u << 3,
  kListCheckBoxes = 1u << 4,
  kListHeaderDragDrop = 1u << 5,
  kListLabelTips = 1u << 6,  // a cut-off cell shows its whole text under the pointer
};

enum LabelOptions : unsigned {
  kLabelEndEllipsis = 1u << 0,        // a text too long for the label ends in an ellipsis
  kLabelCentredVertically = 1u << 1,  // one line, in the middle of the label's height
};

// Each returns the new control's handle, or none when the platform refuses it.
HWND LabelCreate(int number, int x, int y, int width, int height, std::string_view text, unsigned options = 0);
// The height includes the dropped-down list.
HWND ComboCreate(int number, int x, int y, int width, int height, unsigned options);
HWND ButtonCreate(int number, int x, int y, int width, int height, std::string_view text);
HWND FieldCreate(int number, int x, int y, int width, int height, std::string_view text);
// A report-view list with its column 0. The layer keeps its rows and shows
// them as a virtual list, which asks its parent for the texts it paints: a
// list's parent must be a window opened by WindowOpen.
HWND ListCreate(int number, int x, int y, int width, int height, std::string_view title, int column_width,
                unsigned options);
void ListColumnAdd(int number, int column, std::string_view title, int width);

HWND ControlHandle(int number);
// The control's window rectangle in its parent's client coordinates.
int ControlX(int number);
int ControlY(int number);
int ControlWidth(int number);
// Moves and sizes a control, unclamped; KeepCurrent keeps a value.
void ControlPlace(int number, int x, int y, int width, int height);
// List: the first selected row, -1 for none. Combo box: the selected entry.
// Button: its check state. Anything else: 0.
int ControlSelected(int number);

// A list's column width in pixels (0 for no such column), and setting it.
int ListColumnWidth(int number, int column);
void ListSetColumnWidth(int number, int column, int width);
// The text an empty list shows, centred below its header, in place of rows;
// empty text shows nothing. The platform draws it where it offers that
// (LVN_GETEMPTYMARKUP), the layer paints it where not.
void ListSetEmptyText(int number, std::string_view text);

//--- sorting lists

// Told of a click on a column header of list `list`.
using ColumnClickHandler = void (*)(int list, int column);
// Sets the handler of list `number`'s header clicks; none: clicks do nothing.
void ListOnColumnClick(int number, ColumnClickHandler handler);
// Sorts the rows of list `number` by `column`, letter case ignored by the
// lower-casing rule, keeping the found order among equal texts; `descending`
// reverses. The header shows the sort arrow on that column, and the selected
// row stays selected. Clearing the list forgets the order and the arrow.
void ListSort(int number, int column, bool descending);
// The column the rows are sorted by (-1: as added), and the direction.
int ListSortColumn(int number);
bool ListSortDescending(int number);

//--- dragging rows out

// Told that the user began to drag row `row` of list `list` with the left
// button (the list view's LVN_BEGINDRAG), the button still down.
using RowDragHandler = void (*)(int list, int row);
// Sets the handler of list `number`'s row drags; none: a drag does nothing.
void ListOnRowDrag(int number, RowDragHandler handler);

//--- popup menus

// Creates an empty popup menu, which becomes the menu MenuAppend adds to.
HMENU PopupMenuCreate(int menu);
void MenuAppend(int item, std::string_view text);
// Shows the menu at the mouse cursor, owned by `owner`, and returns when it
// closes; a chosen item reaches the owner as WM_COMMAND. 0 when there is no
// such menu.
int PopupMenuShow(int menu, HWND owner);

}  // namespace vudo
