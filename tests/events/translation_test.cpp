// Messages turned into events: fields, coordinates, results, and what the
// window's own procedure receives afterwards.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "events/events_fixture.h"
#include "ui/controls/control_layer.h"

namespace vudo {
namespace {

using namespace testing_events;

class Translation : public EventsTest {};

TEST_F(Translation, MouseCodesTakeTheMessagesCoordinates) {
  const HWND child = Child(4, 10, 10, 100, 20);
  for (std::int32_t code : {EVT_DOUBLECLICK, EVT_BUTTONDOWN, EVT_MOUSEMOVE, EVT_BUTTONUP})
    BindEvent(child, code, RecordA);
  SetCursorPos(0, 0);  // far from what the messages say
  const struct {
    UINT message;
    std::int32_t code, button;
  } table[] = {
      {WM_LBUTTONDBLCLK, EVT_DOUBLECLICK, 0}, {WM_RBUTTONDBLCLK, EVT_DOUBLECLICK, 2},
      {WM_MBUTTONDBLCLK, EVT_DOUBLECLICK, 1}, {WM_MBUTTONDOWN, EVT_BUTTONDOWN, 1},
      {WM_RBUTTONDOWN, EVT_BUTTONDOWN, 2},    {WM_LBUTTONUP, EVT_BUTTONUP, 0},
      {WM_MBUTTONUP, EVT_BUTTONUP, 1},        {WM_RBUTTONUP, EVT_BUTTONUP, 2},
      {WM_MOUSEMOVE, EVT_MOUSEMOVE, -1},      {WM_LBUTTONDOWN, EVT_BUTTONDOWN, 0},
  };
  for (const auto& row : table) {
    seen.clear();
    SendMessageA(child, row.message, 0, MAKELPARAM(65000, 7));
    ASSERT_FALSE(seen.empty()) << row.message;
    EXPECT_EQ(seen[0].code, row.code) << row.message;
    EXPECT_EQ(seen[0].button, row.button) << row.message;
    EXPECT_EQ(seen[0].x, 65000) << row.message;  // the low word, unsigned
    EXPECT_EQ(seen[0].y, 7) << row.message;
  }
}

TEST_F(Translation, LeftButtonDownRunsTheWindowFirstThenButtonDownThenDragStart) {
  const HWND child = Child(4, 10, 10, 100, 20);
  BindEvent(child, EVT_BUTTONDOWN, RecordA);
  BindEvent(child, EVT_DRAGSTART, RecordB);
  SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
  ASSERT_EQ(seen.size(), 2u);
  ASSERT_EQ(ArrivedCount(child, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(seen[0].arrived_before, arrived.size());  // the window had it before anyone
  EXPECT_EQ(seen[0].code, EVT_BUTTONDOWN);
  EXPECT_EQ(seen[0].who, 'A');
  EXPECT_EQ(seen[1].code, EVT_DRAGSTART);
  EXPECT_EQ(seen[1].who, 'B');
  EXPECT_EQ(seen[1].button, 0);
  EXPECT_EQ(seen[1].text, "");
}

TEST_F(Translation, ATabChangeRunsTheParentFirstAndNamesTheTabUnderThePointer) {
  InitCommonControls();
  const HWND tabs = Child(5, 10, 10, 300, 100, WC_TABCONTROLA);
  TCITEMA tab{};
  tab.mask = TCIF_TEXT;
  for (const char* title : {"First", "Second", "Third"}) {
    tab.pszText = const_cast<char*>(title);
    SendMessageA(tabs, TCM_INSERTITEMA, 99, reinterpret_cast<LPARAM>(&tab));
  }
  BindEvent(tabs, EVT_SELECTIONCHANGED, RecordA);
  RECT third{};
  SendMessageA(tabs, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
  POINT at{(third.left + third.right) / 2, (third.top + third.bottom) / 2};
  ClientToScreen(tabs, &at);
  ASSERT_TRUE(testing_windows::BringToFront(top_));
  testing_windows::Click(at);
  ASSERT_TRUE(testing_windows::PumpUntil([] { return !seen.empty(); }));
  EXPECT_EQ(seen[0].code, EVT_SELECTIONCHANGED);
  EXPECT_EQ(seen[0].window, tabs);
  EXPECT_EQ(seen[0].item, 2);
  EXPECT_EQ(ArrivedCount(top_, WM_NOTIFY) > 0, true);
  EXPECT_EQ(arrived[seen[0].arrived_before - 1].message, static_cast<UINT>(WM_NOTIFY));
}

TEST_F(Translation, CodesFromSixUpTakeThePointerAtDispatch) {
  const HWND child = Child(4, 30, 40, 100, 50);
  BindEvent(child, EVT_KEYDOWN, RecordA);
  BindEvent(child, EVT_SIZE, RecordA);
  POINT inside{12, 9};
  ClientToScreen(child, &inside);
  SetCursorPos(inside.x, inside.y);
  ASSERT_TRUE(testing_windows::WaitFor([&] {
    POINT at;
    GetCursorPos(&at);
    return at.x == inside.x && at.y == inside.y;
  }));
  SendMessageA(child, WM_KEYDOWN, VK_F5, MAKELPARAM(500, 600));
  SendMessageA(child, WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 50));
  ASSERT_EQ(seen.size(), 2u);
  for (const Seen& s : seen) {
    EXPECT_EQ(s.x, 12) << s.code;
    EXPECT_EQ(s.y, 9) << s.code;
  }
}

std::int32_t TurnIntoB(EventRecord* record) {
  record->wParam = 'B';
  return EVT_DEFAULT;
}
std::int32_t KeepOpen(EventRecord*) { return 0; }

TEST_F(Translation, AProcedureCanChangeWhatTheWindowReceives) {
  const HWND child = Child(4, 10, 10, 100, 20);
  BindEvent(child, EVT_KEYDOWN, TurnIntoB);
  SendMessageA(child, WM_KEYDOWN, 'A', 0);
  ASSERT_EQ(ArrivedCount(child, WM_KEYDOWN), 1);
  EXPECT_EQ(arrived.back().wparam, static_cast<WPARAM>('B'));

  BindEvent(top_, EVT_CLOSE, KeepOpen);
  SendMessageA(top_, WM_CLOSE, 0, 0);
  EXPECT_EQ(ArrivedCount(top_, WM_CLOSE), 0);  // 0: handled, the close stops here
  BindEvent(top_, EVT_CLOSE, RecordA);
  SendMessageA(top_, WM_CLOSE, 0, 0);
  EXPECT_EQ(ArrivedCount(top_, WM_CLOSE), 1);  // EVT_DEFAULT passes it on
}

TEST_F(Translation, ButtonClicksWithTheirIdentifier) {
  const HWND button = Child(7, 20, 20, 80, 25, "Button", BS_PUSHBUTTON, "Start");
  EXPECT_NE(BindEvent(button, EVT_CLICK, RecordA), 0);
  ASSERT_TRUE(testing_windows::BringToFront(top_));
  testing_windows::Click(testing_windows::CentreOf(button));
  ASSERT_TRUE(testing_windows::PumpUntil([] { return !seen.empty(); }));
  EXPECT_EQ(seen[0].code, EVT_CLICK);
  EXPECT_EQ(seen[0].window, button);
  EXPECT_EQ(seen[0].item, 7);
  EXPECT_EQ(seen[0].button, 0);
}

TEST_F(Translation, AComboSelectionChangeIsAClickThatFindsNoProcedure) {
  const HWND combo = Child(3, 10, 10, 150, 120, "ComboBox", CBS_DROPDOWNLIST);
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("two"));
  EXPECT_EQ(BindEvent(combo, EVT_CLICK, RecordA), 0);  // only buttons take clicks
  BindEvent(combo, EVT_FOCUS, RecordA);                  // takes the parent over
  seen.clear();
  arrived.clear();
  SendMessageA(top_, WM_COMMAND, MAKEWPARAM(3, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(ArrivedCount(top_, WM_COMMAND), 1);
}

TEST_F(Translation, MenuCommandsWithAndWithoutABinding) {
  BindEventEx(top_, EVT_MENU, RecordA, 10);
  SendMessageA(top_, WM_COMMAND, MAKEWPARAM(10, 0), 0);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].code, EVT_MENU);
  EXPECT_EQ(seen[0].item, 10);
  EXPECT_EQ(seen[0].window, top_);
  EXPECT_EQ(ArrivedCount(top_, WM_COMMAND), 1);  // EVT_DEFAULT: on to the window too
  SendMessageA(top_, WM_COMMAND, MAKEWPARAM(11, 0), 0);
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_EQ(ArrivedCount(top_, WM_COMMAND), 2);
}

TEST_F(Translation, TabAcceleratorsReachTheLayersOwnProcedure) {
  // A window of the control layer, taken over: Tab arrives as accelerator
  // command 1212, finds no binding and moves the focus in the layer.
  const HWND window = WindowOpen(0, 50, 50, 200, 100, "Layer", kWindowTitleBar);
  ControlParentSet(window);
  const HWND first = FieldCreate(1, 5, 5, 100, 20, "");
  const HWND second = FieldCreate(2, 5, 30, 100, 20, "");
  BindEvent(first, EVT_KEYDOWN, RecordA);
  BindEventEx(window, EVT_MENU, RecordB, 99);
  ASSERT_TRUE(testing_windows::BringToFront(window));
  SetFocus(first);
  testing_windows::SetMessageHandler([] { return EventPoll() != 0; });
  testing_windows::PressKey(VK_TAB);
  EXPECT_TRUE(testing_windows::PumpUntil([&] { return GetFocus() == second; }));
  testing_windows::SetMessageHandler(nullptr);
  EXPECT_TRUE(seen.empty());  // neither a key-down in the field nor a bound command
  CloseControlLayer();
}

std::string dropped_names;
std::int32_t ReadDrop(EventRecord* record) {
  const HDROP drop = reinterpret_cast<HDROP>(record->wParam);
  for (std::int32_t i = 0; i < record->item; ++i) {
    char name[MAX_PATH] = {};
    DragQueryFileA(drop, static_cast<UINT>(i), name, sizeof name);
    dropped_names += std::string(name) + ";";
  }
  return EVT_DEFAULT;
}

HGLOBAL MakeDrop(const char* names, std::size_t size) {
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + size);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names, size);
  GlobalUnlock(memory);
  return memory;
}

TEST_F(Translation, DroppedFilesAreReadThenReleasedOnce) {
  const HWND child = Child(4, 10, 10, 100, 20);
  EXPECT_NE(BindEvent(child, EVT_DROPFILES, ReadDrop), 0);
  EXPECT_NE(GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
  static const char kNames[] = "C:\\a.txt\0C:\\b b.txt\0";
  const HGLOBAL drop = MakeDrop(kNames, sizeof kNames);
  dropped_names.clear();
  SendMessageA(child, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  EXPECT_EQ(dropped_names, "C:\\a.txt;C:\\b b.txt;");
  EXPECT_EQ(GlobalFlags(drop), static_cast<UINT>(GMEM_INVALID_HANDLE));  // released
  EXPECT_EQ(ArrivedCount(child, WM_DROPFILES), 0);  // nobody is handed a released handle

  BindEvent(child, EVT_DROPFILES, nullptr);  // unbound: still released
  const HGLOBAL second = MakeDrop(kNames, sizeof kNames);
  SendMessageA(child, WM_DROPFILES, reinterpret_cast<WPARAM>(second), 0);
  EXPECT_EQ(GlobalFlags(second), static_cast<UINT>(GMEM_INVALID_HANDLE));
}

TEST_F(Translation, LinkClicksReadTheLinkTextOnlyForAProperRange) {
  ASSERT_NE(LoadLibraryA("riched20.dll"), nullptr);
  const HWND rich = Child(9, 10, 10, 200, 60, RICHEDIT_CLASSA, ES_MULTILINE, "see http://example.org now");
  ASSERT_NE(rich, nullptr);
  EXPECT_NE(BindEvent(rich, EVT_LINKCLICK, RecordA), 0);
  EXPECT_NE(SendMessageA(rich, EM_GETEVENTMASK, 0, 0) & ENM_LINK, 0);
  const struct {
    LONG from, to;
    UINT mouse;
    const char* text;
    std::int32_t button;
  } table[] = {
      {4, 22, WM_LBUTTONDOWN, "http://example.org", 0},
      {4, 22, WM_RBUTTONDOWN, "http://example.org", 2},
      {22, 4, WM_LBUTTONDOWN, "", 0},  // end before start: nothing read
      {4, 4, WM_LBUTTONDOWN, "", 0},
      {0, -1, WM_LBUTTONDOWN, "", 0},  // to the end: nothing read
  };
  for (const auto& row : table) {
    seen.clear();
    ENLINK link{};
    link.nmhdr.hwndFrom = rich;
    link.nmhdr.idFrom = 9;
    link.nmhdr.code = EN_LINK;
    link.msg = row.mouse;
    link.chrg = {row.from, row.to};
    EXPECT_EQ(SendMessageA(top_, WM_NOTIFY, 9, reinterpret_cast<LPARAM>(&link)), 0);
    ASSERT_EQ(seen.size(), 1u) << row.from << ".." << row.to;
    EXPECT_EQ(seen[0].text, row.text);
    EXPECT_EQ(seen[0].button, row.button);
    EXPECT_EQ(seen[0].item, row.from);
    EXPECT_EQ(seen[0].detail, row.to);
    EXPECT_EQ(seen[0].window, rich);
  }
  ENLINK hover{};
  hover.nmhdr = {rich, 9, static_cast<UINT>(EN_LINK)};
  hover.msg = WM_MOUSEMOVE;
  seen.clear();
  SendMessageA(top_, WM_NOTIFY, 9, reinterpret_cast<LPARAM>(&hover));
  EXPECT_TRUE(seen.empty());
}

TEST_F(Translation, ContextMenuSelectionAndScrollFields) {
  const HWND child = Child(4, 10, 10, 100, 20);
  BindEvent(child, EVT_CONTEXTMENU, RecordA);
  SendMessageA(child, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child), MAKELPARAM(5, 5));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].button, 2);
  EXPECT_EQ(seen[0].window, child);

  seen.clear();
  BindEvent(child, EVT_SCROLL, RecordA);
  SendMessageA(top_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 42), reinterpret_cast<LPARAM>(child));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].window, child);
  EXPECT_EQ(seen[0].item, 42);
  EXPECT_EQ(seen[0].detail, SB_THUMBPOSITION);
}

}  // namespace
}  // namespace vudo
