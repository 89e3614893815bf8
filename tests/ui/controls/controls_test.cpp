// Controls as the layer creates and places them: class, styles, identifier,
// font and rectangle; ControlPlace; number reuse and numbers naming nothing.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "ui/controls/layer_fixture.h"

namespace vudo {
namespace {

using testing_windows::ClassOf;
using testing_windows::LayerTest;

struct Creation {
  const char* what;
  std::function<HWND()> create;
  const char* window_class;
  DWORD style;     // exactly as asked of the platform, which may adjust it
  DWORD extended;  // the same for the extended style
  DWORD list_extended;
};

// The styles a control is created with, as CreateWindowExA received them:
// some controls change their own styles afterwards (a combo box hands its
// border to its list), so the window's styles would not tell.
DWORD created_style = 0, created_extended = 0;
std::string created_class;

LRESULT CALLBACK NoteCreation(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lparam)->lpcs;
    if (create->hwndParent && reinterpret_cast<UINT_PTR>(create->hMenu) == 3 && created_class.empty()) {
      created_style = static_cast<DWORD>(create->style);
      created_extended = create->dwExStyle;
      created_class = HIWORD(reinterpret_cast<UINT_PTR>(create->lpszClass)) ? create->lpszClass : "";
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

const DWORD kChild = WS_CHILD | WS_VISIBLE;

class ControlCreation : public LayerTest {};

TEST_F(ControlCreation, EveryKindAndOption) {
  const Creation table[] = {
      {"label", [] { return LabelCreate(3, 5, 38, 55, 20, "&Filename:"); }, "Static", kChild | WS_GROUP | SS_LEFT, 0,
       0},
      {"editable combo", [] { return ComboCreate(3, 60, 10, 205, 100, kComboEditable | kComboAutoScroll); },
       "ComboBox", kChild | WS_BORDER | WS_VSCROLL | WS_GROUP | CBS_HASSTRINGS | CBS_DROPDOWN | CBS_AUTOHSCROLL,
       WS_EX_CLIENTEDGE, 0},
      {"drop-down list", [] { return ComboCreate(3, 60, 10, 205, 100, 0); }, "ComboBox",
       kChild | WS_BORDER | WS_VSCROLL | WS_GROUP | CBS_HASSTRINGS | CBS_DROPDOWNLIST | WS_TABSTOP, WS_EX_CLIENTEDGE,
       0},
      {"button", [] { return ButtonCreate(3, 270, 10, 25, 20, "..."); }, "Button",
       kChild | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0, 0},
      {"field", [] { return FieldCreate(3, 60, 35, 235, 20, "Filename"); }, "Edit",
       kChild | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, 0},
      {"list as the finder makes it",
       [] {
         return ListCreate(3, 5, 110, 290, 185, "Filename", 100,
                           kListGridLines | kListFullRowSelect | kListShowSelectionAlways);
       },
       "SysListView32",
       kChild | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_OWNERDATA,
       WS_EX_CLIENTEDGE, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT},
      {"list, multiple selection, check boxes, header drag",
       [] {
         return ListCreate(3, 5, 110, 290, 185, "Filename", 100,
                           kListMultipleSelection | kListCheckBoxes | kListHeaderDragDrop);
       },
       "SysListView32", kChild | WS_TABSTOP | LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_OWNERDATA, WS_EX_CLIENTEDGE,
       LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP},
      {"list, no options", [] { return ListCreate(3, 5, 110, 290, 185, "Filename", 100, 0); }, "SysListView32",
       kChild | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHAREIMAGELISTS | LVS_OWNERDATA, WS_EX_CLIENTEDGE, 0},
  };
  const HHOOK hook = SetWindowsHookExA(WH_CBT, NoteCreation, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  for (const Creation& row : table) {
    SCOPED_TRACE(row.what);
    created_class.clear();
    const HWND control = row.create();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ControlHandle(3), control);
    EXPECT_EQ(ClassOf(control), row.window_class);
    EXPECT_EQ(created_class, row.window_class);
    EXPECT_EQ(created_style, row.style) << std::hex << created_style << " " << row.style;
    EXPECT_EQ(created_extended, row.extended) << std::hex << created_extended;
    if (std::string(row.window_class) == "SysListView32") {
      EXPECT_EQ(static_cast<DWORD>(SendMessageA(control, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)), row.list_extended);
      EXPECT_EQ(ControlItemText(3, -1, 0), "Filename");
      LVCOLUMNA column{};
      column.mask = LVCF_WIDTH | LVCF_FMT;
      ASSERT_TRUE(SendMessageA(control, LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)));
      EXPECT_EQ(column.cx, 100);
      EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    EXPECT_EQ(GetDlgCtrlID(control), 3);
    EXPECT_EQ(GetParent(control), window_);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), GetStockObject(DEFAULT_GUI_FONT));
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(ControlX(3), rect.left);
    EXPECT_EQ(ControlY(3), rect.top);
    EXPECT_EQ(ControlWidth(3), rect.right - rect.left);
  }
  UnhookWindowsHookEx(hook);
}

TEST_F(ControlCreation, PositionsSizesAndTexts) {
  LabelCreate(0, 5, 13, 55, 20, "&Search in:");
  ButtonCreate(7, 225, 85, 70, 20, "Start");
  FieldCreate(4, 60, 35, 235, 20, "Filename");
  ListCreate(8, 5, 110, 290, 185, "Filename", 100, 0);
  const struct {
    int number, x, y, width, height;
    const char* text;
  } expected[] = {{0, 5, 13, 55, 20, "&Search in:"}, {7, 225, 85, 70, 20, "Start"}, {4, 60, 35, 235, 20, "Filename"},
                  {8, 5, 110, 290, 185, ""}};
  for (const auto& e : expected) {
    SCOPED_TRACE(e.number);
    EXPECT_EQ(ControlX(e.number), e.x);
    EXPECT_EQ(ControlY(e.number), e.y);
    EXPECT_EQ(ControlWidth(e.number), e.width);
    RECT rect{};
    GetWindowRect(ControlHandle(e.number), &rect);
    EXPECT_EQ(rect.bottom - rect.top, e.height);
    EXPECT_EQ(ControlText(e.number), e.text);
  }
}

TEST_F(ControlCreation, EditableComboGivesItsEditFieldTheTabStop) {
  const HWND combo = ComboCreate(1, 60, 10, 205, 100, kComboEditable | kComboAutoScroll);
  const HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  EXPECT_NE(GetWindowLongA(edit, GWL_STYLE) & WS_TABSTOP, 0);
  ControlSetText(1, "C:\\Data\\");
  EXPECT_EQ(ControlText(1), "C:\\Data\\");
  EXPECT_EQ(testing_windows::TextOf(edit), "C:\\Data\\");
}

TEST_F(ControlCreation, NoParentNoControl) {
  ControlParentSet(nullptr);
  EXPECT_EQ(ButtonCreate(2, 0, 0, 10, 10, "x"), nullptr);
  EXPECT_EQ(ControlHandle(2), nullptr);
}

TEST_F(ControlCreation, ANumberUsedAgainDestroysTheOldControl) {
  const HWND first = ButtonCreate(2, 0, 0, 10, 10, "first");
  const HWND second = FieldCreate(2, 0, 0, 10, 10, "second");
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(ControlHandle(2), second);
  EXPECT_EQ(ControlText(2), "second");
}

TEST_F(ControlCreation, DestroyingAControlFreesItsNumber) {
  const HWND button = ButtonCreate(2, 0, 0, 10, 10, "x");
  DestroyWindow(button);
  EXPECT_EQ(ControlHandle(2), nullptr);
  EXPECT_EQ(ControlText(2), "");
}

TEST_F(ControlCreation, ANumberNamingNothingReadsAsNothing) {
  for (int number : {2, 99, -1}) {
    SCOPED_TRACE(number);
    EXPECT_EQ(ControlHandle(number), nullptr);
    EXPECT_EQ(ControlX(number), 0);
    EXPECT_EQ(ControlY(number), 0);
    EXPECT_EQ(ControlWidth(number), 0);
    EXPECT_EQ(ControlText(number), "");
    EXPECT_EQ(ControlSelected(number), 0);
    EXPECT_EQ(ControlItemCount(number), 0);
    EXPECT_EQ(ControlItemText(number, 0, 0), "");
    ControlSetText(number, "x");
    ControlPlace(number, 1, 2, 3, 4);
    ControlItemAdd(number, -1, "x");
    ControlItemsClear(number);
    ListColumnAdd(number, 1, "x", 10);
  }
  EXPECT_EQ(WindowHandle(5), nullptr);
  EXPECT_EQ(WindowInnerWidth(5), 0);
  EXPECT_EQ(WindowInnerHeight(5), 0);
  WindowSetHidden(5, true);
  EXPECT_EQ(PopupMenuShow(9, window_), 0);
}

class ControlPlacing : public LayerTest {};

TEST_F(ControlPlacing, KeepCurrentInEachPosition) {
  const int k = KeepCurrent;
  const struct {
    int x, y, width, height;
    RECT expected;  // left, top, right, bottom
  } table[] = {
      {k, k, 120, k, {10, 20, 130, 50}},  {40, k, k, k, {40, 20, 140, 50}}, {k, 60, k, k, {10, 60, 110, 90}},
      {k, k, k, 45, {10, 20, 110, 65}},   {k, k, k, k, {10, 20, 110, 50}},  {1, 2, 3, 4, {1, 2, 4, 6}},
      {k, k, -20, 0, {10, 20, 10, 20}},  // negative sizes reach the platform unclamped; it shows nothing
  };
  for (const auto& row : table) {
    FieldCreate(4, 10, 20, 100, 30, "");
    ControlPlace(4, row.x, row.y, row.width, row.height);
    RECT rect{};
    GetWindowRect(ControlHandle(4), &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    SCOPED_TRACE(testing::Message() << row.x << " " << row.y << " " << row.width << " " << row.height);
    EXPECT_EQ(rect.left, row.expected.left);
    EXPECT_EQ(rect.top, row.expected.top);
    EXPECT_EQ(rect.right, row.expected.right);
    EXPECT_EQ(rect.bottom, row.expected.bottom);
  }
}

TEST_F(ControlPlacing, APushButtonIsRepaintedEvenWhenNothingMoved) {
  ShowWindow(window_, SW_SHOWNORMAL);
  ButtonCreate(7, 225, 85, 70, 20, "Start");
  LabelCreate(0, 5, 13, 55, 20, "label");
  UpdateWindow(window_);
  testing_windows::Flush();
  RECT dirty{};
  ASSERT_FALSE(GetUpdateRect(ControlHandle(7), &dirty, FALSE));
  ControlPlace(7, KeepCurrent, KeepCurrent, KeepCurrent, KeepCurrent);
  ControlPlace(0, KeepCurrent, KeepCurrent, KeepCurrent, KeepCurrent);
  EXPECT_TRUE(GetUpdateRect(ControlHandle(7), &dirty, FALSE));
  EXPECT_FALSE(GetUpdateRect(ControlHandle(0), &dirty, FALSE));
}

}  // namespace
}  // namespace vudo
