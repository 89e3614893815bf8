// The result list as a virtual list. A row's text holds its columns separated
// by line feeds ("name\ndirectory"). The part before the first line feed is
// column 0; the rest is cut at each further line feed until nothing is left,
// so a trailing line feed adds no column and two in a row give an empty one.
//
// The layer keeps the rows itself (row_store.h) and the list view shows them
// as a virtual list (LVS_OWNERDATA), asking its parent for the texts of the
// cells it paints. A list view that stored 100,000 rows of its own would take
// well over 100 MiB under Wine; kept here they take a few.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string_view>

#include "common/repaint_pace.h"
#include "ui/controls/layer_internal.h"

namespace vudo::layer {

// The list view's header control, which holds the column titles and the sort
// arrow; none when the platform gives it none.
HWND ListHeader(HWND list);

//--- redraw in bursts

// Rows added in a burst (a search adds them one by one) would each cost a
// repaint of the list, several milliseconds apiece. Adding a row holds the
// list's redraw back; the event loop lets it paint again within
// kListRepaintMs, so rows still appear as they come, and whenever it goes
// idle, so the list is complete and painted when a search ends. The event
// loop runs at the search's pace (every 10 ms), so it releases a little early.
inline constexpr DWORD kListRepaintMs = kRepaintPaceMs;
inline constexpr DWORD kListReleaseAfterMs = kListRepaintMs - 10;
void HoldListRedraw(ControlRecord& list);
// Lets lists whose redraw is held paint again: all of them (`only_overdue`
// false, when the program goes idle), or those held nearly kListRepaintMs.
void ReleaseListRedraw(bool only_overdue);

//--- what the list view asks of its parent (WM_NOTIFY)

// Answers a request for the text of one of a list's cells (LVN_GETDISPINFO,
// ANSI or wide). True when `header` was that.
bool AnswerListTextRequest(const NMHDR* header);
// Passes a click on a column header (LVN_COLUMNCLICK) to the handler set for
// that list. True when `header` was that.
bool PassColumnClick(const NMHDR* header);
// Passes the start of a row drag (LVN_BEGINDRAG) to the handler set for that
// list. True when `header` was that.
bool PassRowDrag(const NMHDR* header);

// Answers a request for the row that starts with the typed text
// (LVN_ODFINDITEM, ANSI or wide) with its index in `answer`, -1 for none.
// True when `header` was that.
bool AnswerListFind(const NMHDR* header, LRESULT& answer);
// The row whose column 0 starts with `prefix` (letter case ignored), looking
// from `start` on and, with `wrap`, round from the top; -1 for none.
int FindRowByPrefix(const ControlRecord& list, std::string_view prefix, int start, bool wrap);
// Answers the platform's request for the empty list's text
// (LVN_GETEMPTYMARKUP). True when `header` was that and the list has one.
bool AnswerEmptyMarkup(const NMHDR* header);
// Paints a list's empty text over its own painting, where the platform does
// not draw it itself.
void PaintEmptyText(const ControlRecord& list);

//--- selection and order

// Moves the selection (and the focus mark) from row `from` to row `to`.
void MoveSelection(const ControlRecord& list, int from, int to);
// A cleared list has no order: no sort column, no arrow in its header.
void ForgetListOrder(ControlRecord& list);

}  // namespace vudo::layer
