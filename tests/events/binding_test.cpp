// Binding, the binding store, taking windows over, and the clean-up when a
// window goes.
#include <windows.h>
#include <commctrl.h>

#include <new>

#include "events/event_window_proc.h"
#include "events/events_fixture.h"

namespace vudo {
namespace {

using namespace testing_events;

class Binding : public EventsTest {};

TEST_F(Binding, BindRebindAndNullProcedure) {
  const HWND child = Child(4, 10, 10, 100, 20);
  EXPECT_NE(BindEvent(child, EVT_KEYDOWN, RecordA), 0);
  SendMessageA(child, WM_KEYDOWN, 'X', 0);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].who, 'A');
  EXPECT_EQ(seen[0].code, EVT_KEYDOWN);
  EXPECT_EQ(seen[0].window, child);
  EXPECT_EQ(seen[0].wparam, static_cast<WPARAM>('X'));

  BindEvent(child, EVT_KEYDOWN, RecordB);  // the second procedure replaces the first
  SendMessageA(child, WM_KEYDOWN, 'Y', 0);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].who, 'B');

  BindEvent(child, EVT_KEYDOWN, nullptr);  // no binding: the message goes on unseen
  arrived.clear();
  SendMessageA(child, WM_KEYDOWN, 'Z', 0);
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_EQ(ArrivedCount(child, WM_KEYDOWN), 1);
}

// A bound procedure whose memory runs out throws; the exception must not reach
// the system's code below the window procedure, which cannot unwind it. The
// message then goes on to the window's own procedure, as if unhandled.
TEST_F(Binding, AProcedureThatRunsOutOfMemoryLeavesTheMessageToTheWindow) {
  const HWND child = Child(4, 10, 10, 100, 20);
  BindEvent(child, EVT_KEYDOWN, [](EventRecord*) -> std::int32_t { throw std::bad_alloc(); });
  arrived.clear();
  SendMessageA(child, WM_KEYDOWN, 'X', 0);
  EXPECT_EQ(ArrivedCount(child, WM_KEYDOWN), 1);
  BindEvent(child, EVT_KEYDOWN, RecordA);
  SendMessageA(child, WM_KEYDOWN, 'Y', 0);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].wparam, static_cast<WPARAM>('Y'));
}

TEST_F(Binding, PropertyNamesOnTheTarget) {
  const HWND child = Child(4, 10, 10, 100, 20);
  BindEvent(child, EVT_KEYDOWN, RecordA);
  BindEventEx(top_, EVT_MENU, RecordB, 10);
  BindEvent(top_, EVT_SIZE, RecordA);
  EXPECT_EQ(GetPropA(child, "EVENT_25"), reinterpret_cast<HANDLE>(RecordA));
  EXPECT_EQ(GetPropA(top_, "EVENT_34:10"), reinterpret_cast<HANDLE>(RecordB));
  EXPECT_EQ(GetPropA(top_, "EVENT_34"), nullptr);
  EXPECT_EQ(GetPropA(top_, "EVENT_17"), reinterpret_cast<HANDLE>(RecordA));
  EXPECT_EQ(GetPropA(child, "EVENT_oldproc"), reinterpret_cast<HANDLE>(OwnProc));
  EXPECT_EQ(GetPropA(top_, "EVENT_oldproc"), reinterpret_cast<HANDLE>(OwnProc));
}

TEST_F(Binding, TakenOverOnceWithTheParentAndStillAnsi) {
  const HWND list = Child(8, 10, 40, 200, 100, WC_LISTVIEWA, LVS_REPORT);
  ASSERT_NE(list, nullptr);
  const LONG_PTR list_proc = GetWindowLongPtrA(list, GWLP_WNDPROC);
  BindEvent(list, EVT_CONTEXTMENU, RecordA);
  BindEvent(list, EVT_KEYDOWN, RecordA);
  BindEvent(list, EVT_FOCUS, RecordA);
  EXPECT_EQ(GetWindowLongPtrA(list, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(EventWindowProc));
  EXPECT_EQ(GetWindowLongPtrA(top_, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(EventWindowProc));
  EXPECT_EQ(GetPropA(list, "EVENT_oldproc"), reinterpret_cast<HANDLE>(list_proc));  // not itself
  EXPECT_FALSE(IsWindowUnicode(list));
  EXPECT_FALSE(IsWindowUnicode(top_));
}

// What the window's own procedure found when WM_NCDESTROY reached it.
struct AtDestruction {
  bool reached = false;
  bool binding_left = true, mark_left = true, other_left = false;
  LONG_PTR procedure = 0;
} at_destruction;

LRESULT CALLBACK NoteDestruction(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCDESTROY) {
    at_destruction.reached = true;
    at_destruction.binding_left = GetPropA(window, "EVENT_25") || GetPropA(window, "EVENT_34:10");
    at_destruction.mark_left = GetPropA(window, "EVENT_oldproc") != nullptr;
    at_destruction.other_left = RemovePropA(window, "Someone else's") != nullptr;
    at_destruction.procedure = GetWindowLongPtrA(window, GWLP_WNDPROC);
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

TEST_F(Binding, DestructionRemovesEveryEventPropertyAndRestoresTheProcedure) {
  const HWND child = Child(4, 10, 10, 100, 20);
  SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoteDestruction));
  SetPropA(child, "Someone else's", reinterpret_cast<HANDLE>(1));
  BindEvent(child, EVT_KEYDOWN, RecordA);
  BindEventEx(child, EVT_MENU, RecordA, 10);
  at_destruction = {};
  DestroyWindow(child);
  EXPECT_TRUE(at_destruction.reached);
  EXPECT_FALSE(at_destruction.binding_left);
  EXPECT_FALSE(at_destruction.mark_left);
  EXPECT_TRUE(at_destruction.other_left);  // only the layer's own properties go
  EXPECT_EQ(at_destruction.procedure, reinterpret_cast<LONG_PTR>(NoteDestruction));
}

TEST_F(Binding, EveryFailureOfBindEventEx) {
  const HWND child = Child(4, 10, 10, 100, 20);
  const HWND static_control = Child(5, 10, 40, 100, 20, "Static");
  const struct {
    const char* what;
    HWND target;
    std::int32_t code, item;
    const char* property;
  } table[] = {
      {"not a window", reinterpret_cast<HWND>(0x1234), EVT_KEYDOWN, -1, nullptr},
      {"no window", nullptr, EVT_KEYDOWN, -1, nullptr},
      {"code 23", child, 23, -1, "EVENT_23"},
      {"code 28", child, 28, -1, "EVENT_28"},
      {"code -1", child, -1, -1, "EVENT_-1"},
      {"code 36", child, 36, -1, "EVENT_36"},
      {"menu without an item", child, EVT_MENU, -1, "EVENT_34"},
      {"click on a non-button", static_control, EVT_CLICK, -1, "EVENT_29"},
      {"link click on a non-rich-edit", child, EVT_LINKCLICK, -1, "EVENT_33"},
      {"expanding on a non-tree", child, EVT_EXPANDING, -1, "EVENT_31"},
      {"label edit on a non-tree", child, EVT_LABELEDIT, -1, "EVENT_35"},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(BindEventEx(row.target, row.code, RecordA, row.item), 0);
    if (row.property) {
      EXPECT_EQ(GetPropA(row.target, row.property), nullptr);
    }
  }
}

TEST_F(Binding, StaticControlsGainNotify) {
  const HWND label = Child(5, 10, 40, 100, 20, "Static", SS_LEFT, "label");
  EXPECT_EQ(GetWindowLongA(label, GWL_STYLE) & SS_NOTIFY, 0);
  BindEvent(label, EVT_BUTTONDOWN, RecordA);
  EXPECT_NE(GetWindowLongA(label, GWL_STYLE) & SS_NOTIFY, 0);

  // A static that is the parent of a bound control gains it too.
  const HWND panel = Child(6, 10, 70, 200, 100, "Static", SS_LEFT);
  const HWND inner = CreateWindowExA(0, kClass, "", WS_CHILD | WS_VISIBLE, 5, 5, 50, 20, panel, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
  BindEvent(inner, EVT_KEYDOWN, RecordA);
  EXPECT_NE(GetWindowLongA(panel, GWL_STYLE) & SS_NOTIFY, 0);
}

TEST_F(Binding, KeysInAnEditableComboBoxReachItsBinding) {
  const HWND combo = Child(1, 10, 10, 200, 100, "ComboBox", CBS_DROPDOWN | CBS_AUTOHSCROLL);
  const HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  BindEvent(combo, EVT_KEYDOWN, RecordA);
  EXPECT_EQ(GetPropA(edit, "EVENT_25"), reinterpret_cast<HANDLE>(RecordA));
  EXPECT_EQ(GetPropA(combo, "EVENT_25"), nullptr);

  ASSERT_TRUE(testing_windows::BringToFront(top_));
  SetFocus(edit);
  testing_windows::PressKey('Q');
  ASSERT_TRUE(testing_windows::PumpUntil([] { return !seen.empty(); }));
  EXPECT_EQ(seen[0].window, edit);
  EXPECT_EQ(seen[0].wparam, static_cast<WPARAM>('Q'));
  EXPECT_TRUE(testing_windows::PumpUntil([&] { return testing_windows::TextOf(edit) == "q"; }));

  const HWND list_only = Child(2, 10, 50, 200, 100, "ComboBox", CBS_DROPDOWNLIST);
  BindEvent(list_only, EVT_KEYDOWN, RecordA);
  EXPECT_EQ(GetPropA(list_only, "EVENT_25"), reinterpret_cast<HANDLE>(RecordA));
}

}  // namespace
}  // namespace vudo
