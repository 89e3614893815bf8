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
#include "events/text_drag.h"

namespace vudo {
namespace {

// What becomes of a procedure's result other than EVT_DEFAULT.
enum class Rule { kZero, kOne, kAsReturned };

std::int32_t Apply(Rule rule, std::int32_t result) {
  if (result == EVT_DEFAULT || rule == Rule::kAsReturned) return result;
  return rule == Rule::kOne ? 1 : 0;
}

std::string ClassName(HWND window) {
  char name[100] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The common tail: a handled message returns the procedure's value; anything
// else goes to the window's own procedure with the record's values, which a
// procedure may have changed.
LRESULT Tail(HWND window, const EventRecord& record, std::int32_t result) {
  if (result != EVT_DEFAULT) return result;
  if (const WNDPROC saved = SavedProcedure(window))
    return CallWindowProcA(saved, window, record.message, record.wParam, record.lParam);
  return DefWindowProcA(window, record.message, record.wParam, record.lParam);
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
  if (std::string_view(name) == kOldProcProperty) SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG>(value));
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
  const auto at_message = [&](std::int32_t button) {
    record.button = button;
    record.x = LOWORD(lparam);
    record.y = HIWORD(lparam);
  };

  if (message == WM_GETMINMAXINFO) {
    record.button = 0;
    dispatch(EVT_MINMAXINFO, Rule::kZero);
    return Tail(window, record, result);
  }
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

  switch (message) {
    case WM_SETCURSOR:
      dispatch(EVT_SETCURSOR, Rule::kOne);
      break;
    case WM_LBUTTONDOWN: {
      // The window's own procedure first, so that a control has taken the
      // press (focus, capture) before anyone hears of it.
      const WNDPROC saved = SavedProcedure(window);
      result = saved ? static_cast<std::int32_t>(CallWindowProcA(saved, window, message, wparam, lparam)) : 0;
      at_message(0);
      record.code = EVT_BUTTONDOWN;
      result = DispatchEvent(&record, result, -1) == EVT_DEFAULT ? EVT_DEFAULT : 0;
      record.code = EVT_DRAGSTART;
      record.text = "";
      DispatchEvent(&record, EVT_DEFAULT, -1);
      // The procedure's text is its own; the drag keeps a copy.
      if (record.text && *record.text && !TextDragActive()) StartTextDrag(window, record.text);
      return result;
    }
    case WM_MBUTTONDOWN:
      at_message(1);
      dispatch(EVT_BUTTONDOWN, Rule::kZero);
      break;
    case WM_RBUTTONDOWN:
      at_message(2);
      dispatch(EVT_BUTTONDOWN, Rule::kZero);
      break;
    case WM_LBUTTONUP:
      if (TextDragActive()) return EndTextDrag(window, record, true);
      at_message(0);
      dispatch(EVT_BUTTONUP, Rule::kZero);
      break;
    case WM_MBUTTONUP:
      at_message(1);
      dispatch(EVT_BUTTONUP, Rule::kZero);
      break;
    case WM_RBUTTONUP:
      at_message(2);
      dispatch(EVT_BUTTONUP, Rule::kZero);
      break;
    case WM_MOUSEMOVE:
      if (TextDragActive()) return MoveTextDrag(window, record);
      at_message(-1);
      dispatch(EVT_MOUSEMOVE, Rule::kZero);
      break;
    case WM_LBUTTONDBLCLK:
      at_message(0);
      dispatch(EVT_DOUBLECLICK, Rule::kZero);
      break;
    case WM_RBUTTONDBLCLK:
      at_message(2);
      dispatch(EVT_DOUBLECLICK, Rule::kZero);
      break;
    case WM_MBUTTONDBLCLK:
      at_message(1);
      dispatch(EVT_DOUBLECLICK, Rule::kZero);
      break;
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
        const WNDPROC saved = SavedProcedure(window);
        const auto before =
            static_cast<std::int32_t>(saved ? CallWindowProcA(saved, window, message, wparam, lparam) : 0);
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
    case WM_CHAR:
      dispatch(EVT_CHAR, Rule::kZero);
      break;
    case WM_CLOSE:
      dispatch(EVT_CLOSE, Rule::kZero);
      break;
    case WM_CONTEXTMENU:
      record.button = 2;
      dispatch(EVT_CONTEXTMENU, Rule::kZero);
      break;
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
    case WM_KEYDOWN:
      dispatch(EVT_KEYDOWN, Rule::kZero);
      break;
    case WM_KEYUP:
      dispatch(EVT_KEYUP, Rule::kZero);
      break;
    case WM_KILLFOCUS:
      dispatch(EVT_LOSTFOCUS, Rule::kZero);
      break;
    case WM_MOVE:
      dispatch(EVT_MOVE, Rule::kZero);
      break;
    case WM_PAINT:
      dispatch(EVT_PAINT, Rule::kZero);
      break;
    case WM_ERASEBKGND:
      dispatch(EVT_ERASEBACKGROUND, Rule::kZero);
      break;
    case WM_SETFOCUS:
      dispatch(EVT_FOCUS, Rule::kZero);
      break;
    case WM_SIZE:
      dispatch(EVT_SIZE, Rule::kZero);
      break;
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
