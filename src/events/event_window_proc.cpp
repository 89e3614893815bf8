// EventWindowProc: window messages and control notifications turned into
// events for the bound procedures.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "events/event_binding.h"
#include "events/event_names.h"
#include "events/saved_procedures.h"
#include "events/pointer_tracking.h"
#include "events/text_drag.h"
#include "events/window_hand_off.h"

namespace vudo {
namespace {

// What becomes of a procedure's result other than EVT_DEFAULT.
enum class Rule { kZero, kOne, kAsReturned };

std::int32_t Apply(Rule rule, std::int32_t result) {
  if (result == EVT_DEFAULT || rule == Rule::kAsReturned) return result;
  return rule == Rule::kOne ? 1 : 0;
}

// The common tail: a handled message returns the procedure's value; anything
// else goes to the window's own procedure with the record's values, which a
// procedure may have changed.
LRESULT Tail(HWND window, const EventRecord& record, std::int32_t result) {
  if (result != EVT_DEFAULT) return result;
  return PassOn(window, record.message, record.wParam, record.lParam);
}

// Messages that become one event each with nothing to work out: the event,
// what becomes of its result, the record's button (-1: none), and whether x
// and y are the pointer position the message carries.
struct PlainEvent {
  UINT message;
  std::int32_t code;
  Rule rule;
  std::int32_t button;
  bool at_pointer;
};

constexpr PlainEvent kPlainEvents[] = {
    {WM_SETCURSOR, EVT_SETCURSOR, Rule::kOne, -1, false},
    {WM_GETMINMAXINFO, EVT_MINMAXINFO, Rule::kZero, 0, false},
    {WM_MBUTTONDOWN, EVT_BUTTONDOWN, Rule::kZero, 1, true},
    {WM_RBUTTONDOWN, EVT_BUTTONDOWN, Rule::kZero, 2, true},
    {WM_LBUTTONUP, EVT_BUTTONUP, Rule::kZero, 0, true},
    {WM_MBUTTONUP, EVT_BUTTONUP, Rule::kZero, 1, true},
    {WM_RBUTTONUP, EVT_BUTTONUP, Rule::kZero, 2, true},
    {WM_MOUSEMOVE, EVT_MOUSEMOVE, Rule::kZero, -1, true},
    {WM_LBUTTONDBLCLK, EVT_DOUBLECLICK, Rule::kZero, 0, true},
    {WM_RBUTTONDBLCLK, EVT_DOUBLECLICK, Rule::kZero, 2, true},
    {WM_MBUTTONDBLCLK, EVT_DOUBLECLICK, Rule::kZero, 1, true},
    {WM_CHAR, EVT_CHAR, Rule::kZero, -1, false},
    {WM_KEYDOWN, EVT_KEYDOWN, Rule::kZero, -1, false},
    {WM_KEYUP, EVT_KEYUP, Rule::kZero, -1, false},
    {WM_SETFOCUS, EVT_FOCUS, Rule::kZero, -1, false},
    {WM_KILLFOCUS, EVT_LOSTFOCUS, Rule::kZero, -1, false},
    {WM_CLOSE, EVT_CLOSE, Rule::kZero, -1, false},
    {WM_CONTEXTMENU, EVT_CONTEXTMENU, Rule::kZero, 2, false},
    {WM_MOVE, EVT_MOVE, Rule::kZero, -1, false},
    {WM_SIZE, EVT_SIZE, Rule::kZero, -1, false},
    {WM_PAINT, EVT_PAINT, Rule::kZero, -1, false},
    {WM_ERASEBKGND, EVT_ERASEBACKGROUND, Rule::kZero, -1, false},
};

const PlainEvent* FindPlainEvent(UINT message) {
  for (const PlainEvent& row : kPlainEvents)
    if (row.message == message) return &row;
  return nullptr;
}

LRESULT CleanUp(HWND window, WPARAM wparam, LPARAM lparam) {
  ForgetTextDragWindow(window);
  const WNDPROC saved = SavedProcedure(window);
  ForgetSavedProcedure(window);  // the handle may name another window later
  EnumPropsExA(window, RemoveEventProps, 0);
  return saved ? CallWindowProcA(saved, window, WM_NCDESTROY, wparam, lparam) : 0;
}

// The tab under the pointer, in the tab control's own coordinates.
std::int32_t TabUnderPointer(HWND tabs) {
  TCHITTESTINFO hit{};
  GetCursorPos(&hit.pt);
  MapWindowPoints(nullptr, tabs, &hit.pt, 1);
  return static_cast<std::int32_t>(SendMessageA(tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

// A link's text, read only for a proper range: a range whose end is not above
// its start (or is -1, "to the end") would make the buffer size meaningless.
std::string LinkText(HWND edit, const CHARRANGE& range) {
  if (range.cpMin < 0 || range.cpMax == -1 || range.cpMax <= range.cpMin) return {};
  std::vector<char> buffer(static_cast<std::size_t>(range.cpMax - range.cpMin) + 2, '\0');
  TEXTRANGEA text{range, buffer.data()};
  SendMessageA(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&text));
  buffer.back() = '\0';
  return buffer.data();
}

}  // namespace

BOOL CALLBACK RemoveEventProps(HWND window, LPSTR name, HANDLE value, ULONG_PTR) {
  if (!HIWORD(reinterpret_cast<UINT_PTR>(name))) return TRUE;  // an atom, not a name
  if (std::string_view(name).substr(0, 6) != "EVENT_") return TRUE;
  if (std::string_view(name) == kOldProcProperty)
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(value));
  // Only the property being handled may be removed during the enumeration.
  RemovePropA(window, name);
  return TRUE;
}

LRESULT CALLBACK EventWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCDESTROY) return CleanUp(window, wparam, lparam);

  EventRecord record{window, 0, 0, 0, -1, -1, -1, "", message, wparam, lparam};
  std::string made_text;  // a text this dispatcher made for the record; freed here
  std::int32_t result = EVT_DEFAULT;
  const auto dispatch = [&](std::int32_t code, Rule rule, std::int32_t item = -1) {
    record.code = code;
    result = Apply(rule, DispatchEvent(&record, result, item));
  };

  if (enterMessage && message == enterMessage) {
    record.x = static_cast<std::int32_t>(wparam);
    record.y = static_cast<std::int32_t>(lparam);
    dispatch(EVT_ENTER, Rule::kAsReturned);
    return Tail(window, record, result);
  }
  if (leaveMessage && message == leaveMessage) {
    record.x = static_cast<std::int32_t>(wparam);
    record.y = static_cast<std::int32_t>(lparam);
    dispatch(EVT_LEAVE, Rule::kAsReturned);
    return Tail(window, record, result);
  }

  if (TextDragActive() && message == WM_LBUTTONUP) return EndTextDrag(window, record, true);
  if (TextDragActive() && message == WM_MOUSEMOVE) return MoveTextDrag(window, record);
  if (const PlainEvent* plain = FindPlainEvent(message)) {
    record.button = plain->button;
    if (plain->at_pointer) {
      record.x = LOWORD(lparam);
      record.y = HIWORD(lparam);
    }
    dispatch(plain->code, plain->rule);
    return Tail(window, record, result);
  }

  switch (message) {
    case WM_LBUTTONDOWN: {
      // The window's own procedure first, so that a control has taken the
      // press (focus, capture) before anyone hears of it.
      result = static_cast<std::int32_t>(PassToOwnProcedure(window, message, wparam, lparam, 0));
      record.button = 0;
      record.x = LOWORD(lparam);
      record.y = HIWORD(lparam);
      record.code = EVT_BUTTONDOWN;
      result = DispatchEvent(&record, result, -1) == EVT_DEFAULT ? EVT_DEFAULT : 0;
      record.code = EVT_DRAGSTART;
      record.text = "";
      DispatchEvent(&record, EVT_DEFAULT, -1);
      // The procedure's text is its own; the drag keeps a copy.
      if (record.text && *record.text && !TextDragActive()) StartTextDrag(window, record.text);
      return result;
    }
    case WM_COMMAND: {
      const WORD notification = HIWORD(wparam);
      const HWND control = reinterpret_cast<HWND>(lparam);
      if (notification == 0 || notification == 1) {
        record.button = 0;
        record.item = LOWORD(wparam);
        if (control && ClassName(control) != "ToolbarWindow32") {
          record.window = control;
          dispatch(EVT_CLICK, Rule::kAsReturned);
        } else {
          dispatch(EVT_MENU, Rule::kAsReturned, record.item);
        }
      } else if (notification == EN_CHANGE) {
        record.window = control;
        dispatch(EVT_CHANGE, Rule::kAsReturned);
      }
      break;
    }
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_MAXIMIZE) dispatch(EVT_MAXIMIZE, Rule::kZero);
      else if ((wparam & 0xFFF0) == SC_MINIMIZE) dispatch(EVT_MINIMIZE, Rule::kZero);
      break;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
      if (!header) break;
      const UINT code = header->code;
      if (code == EN_LINK) {
        const ENLINK* link = reinterpret_cast<const ENLINK*>(lparam);
        if (link->msg != WM_LBUTTONDOWN && link->msg != WM_RBUTTONDOWN) break;
        record.window = header->hwndFrom;
        record.button = link->msg == WM_LBUTTONDOWN ? 0 : 2;
        record.item = link->chrg.cpMin;
        record.detail = link->chrg.cpMax;
        made_text = LinkText(header->hwndFrom, link->chrg);
        record.text = made_text.c_str();
        record.code = EVT_LINKCLICK;
        DispatchEvent(&record, EVT_DEFAULT, -1);
        return 0;
      }
      if (code == LVN_ITEMCHANGED) {
        const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(lparam);
        if (change->uOldState & LVIS_SELECTED) record.detail = 0;
        else if (change->uNewState & LVIS_SELECTED) record.detail = 1;
        else break;
        record.window = header->hwndFrom;
        record.item = change->iItem;
        dispatch(EVT_SELECTIONCHANGED, Rule::kAsReturned);
      } else if (code == TVN_ITEMEXPANDINGA || code == TVN_SELCHANGINGA || code == TVN_SELCHANGEDA) {
        const NMTREEVIEWA* tree = reinterpret_cast<const NMTREEVIEWA*>(lparam);
        record.window = header->hwndFrom;
        record.item = static_cast<std::int32_t>(tree->itemNew.lParam);
        if (code == TVN_ITEMEXPANDINGA) {
          record.detail = static_cast<std::int32_t>(tree->action);
          dispatch(EVT_EXPANDING, Rule::kOne);
        } else if (code == TVN_SELCHANGINGA) {
          dispatch(EVT_SELECTIONCHANGING, Rule::kOne);
        } else {
          dispatch(EVT_SELECTIONCHANGED, Rule::kZero);
        }
      } else if (code == TVN_BEGINLABELEDITA || code == TVN_ENDLABELEDITA) {
        const NMTVDISPINFOA* edit = reinterpret_cast<const NMTVDISPINFOA*>(lparam);
        if (code == TVN_ENDLABELEDITA && !edit->item.pszText) break;
        record.window = header->hwndFrom;
        record.item = static_cast<std::int32_t>(edit->item.lParam);
        record.detail = static_cast<std::int32_t>(code);
        if (code == TVN_BEGINLABELEDITA) {
          dispatch(EVT_LABELEDIT, Rule::kOne);
        } else {
          made_text = edit->item.pszText;
          record.text = made_text.c_str();
          dispatch(EVT_LABELEDIT, Rule::kAsReturned);
          if (result == EVT_DEFAULT) result = 1;
        }
      } else if (code == TCN_SELCHANGE) {
        const auto before = static_cast<std::int32_t>(PassToOwnProcedure(window, message, wparam, lparam, 0));
        record.window = header->hwndFrom;
        record.item = TabUnderPointer(header->hwndFrom);
        record.code = EVT_SELECTIONCHANGED;
        return DispatchEvent(&record, before, -1);
      } else if (code == TCN_SELCHANGING) {
        record.window = header->hwndFrom;
        record.item = TabUnderPointer(header->hwndFrom);
        dispatch(EVT_SELECTIONCHANGING, Rule::kOne);
      }
      break;
    }
    case WM_DROPFILES: {
      const HDROP drop = reinterpret_cast<HDROP>(wparam);
      record.button = 0;
      record.item = static_cast<std::int32_t>(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0));
      dispatch(EVT_DROPFILES, Rule::kZero);
      // Released exactly once, here; the window's own procedure is not handed
      // the released handle.
      DragFinish(drop);
      return result == EVT_DEFAULT ? 0 : result;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
      const HWND bar = reinterpret_cast<HWND>(lparam);
      record.item = HIWORD(wparam);
      record.detail = LOWORD(wparam);
      if (bar && ClassName(bar) == "msctls_updown32")
        record.window = reinterpret_cast<HWND>(SendMessageA(bar, UDM_GETBUDDY, 0, 0));
      else if (bar)
        record.window = bar;
      dispatch(EVT_SCROLL, Rule::kZero);
      break;
    }
    default:
      break;
  }
  return Tail(window, record, result);
}

}  // namespace vudo
