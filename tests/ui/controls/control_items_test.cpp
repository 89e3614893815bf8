// Items of combo boxes and lists through the layer, read back from the real
// controls.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/controls/layer_fixture.h"
#include "ui/controls/layer_internal.h"
#include "ui/controls/virtual_list.h"

namespace vudo {
namespace {

using testing_windows::LayerTest;

std::vector<std::string> ComboEntries(int number) {
  std::vector<std::string> entries;
  for (int i = 0; i < ControlItemCount(number); ++i) entries.push_back(ControlItemText(number, i, 0));
  return entries;
}

class ComboItems : public LayerTest {
 protected:
  void SetUp() override {
    LayerTest::SetUp();
    ComboCreate(1, 60, 10, 205, 100, kComboEditable | kComboAutoScroll);
  }
};

TEST_F(ComboItems, EntriesBeyondTheCountReadEmpty) {
  for (const char* text : {"one", "two", "three"}) ControlItemAdd(1, -1, text);
  const std::vector<std::string> expected = {"one", "two", "three", "", "", "", "", "", "", ""};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(ControlItemText(1, i, 7), expected[static_cast<std::size_t>(i)]) << i;
  EXPECT_EQ(ControlItemText(1, -1, 0), "");
}

TEST_F(ComboItems, InsertAtTopAppendAndIgnoreBelowMinusOne) {
  ControlItemAdd(1, -1, "b");
  ControlItemAdd(1, 0, "a");
  ControlItemAdd(1, -1, "c");
  ControlItemAdd(1, 1, "a2");
  ControlItemAdd(1, -2, "never");
  EXPECT_EQ(ComboEntries(1), (std::vector<std::string>{"a", "a2", "b", "c"}));
  ControlItemsClear(1);
  EXPECT_EQ(ControlItemCount(1), 0);
}

TEST_F(ComboItems, LongEntriesComeBackWhole) {
  const std::string long_text(5000, 'x');
  ControlItemAdd(1, -1, long_text);
  EXPECT_EQ(ControlItemText(1, 0, 0), long_text);
}

TEST_F(ComboItems, ADropDownListIsSelectedByExactText) {
  ComboCreate(2, 0, 0, 100, 100, 0);
  for (const char* text : {"Alpha", "alpha", "Beta"}) ControlItemAdd(2, -1, text);
  const struct {
    const char* text;
    int selected;
  } steps[] = {{"alpha", 1}, {"Alpha", 0}, {"Beta", 2}, {"gamma", 2}, {"BETA", 2}, {"", -1}};
  for (const auto& step : steps) {
    ControlSetText(2, step.text);
    EXPECT_EQ(ControlSelected(2), step.selected) << step.text;
  }
  ControlSetText(2, "Beta");
  EXPECT_EQ(ControlText(2), "Beta");
}

class ListItems : public LayerTest {
 protected:
  void SetUp() override {
    LayerTest::SetUp();
    ListCreate(8, 5, 110, 290, 185, "Filename", 100, kListGridLines | kListFullRowSelect | kListShowSelectionAlways);
    ListColumnAdd(8, 1, "Directory", 100);
    ListColumnAdd(8, 2, "Third", 60);
  }
  void Select(int row) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    state.state = row >= 0 ? LVIS_SELECTED : 0;
    SendMessageA(ControlHandle(8), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
  }
  // A cell as the list view itself gives it to whoever asks it, ANSI or wide.
  std::string ViewText(int row, int column) {
    char text[64] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(ControlHandle(8), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
  }
  std::wstring ViewTextWide(int row, int column) {
    wchar_t text[64] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(ControlHandle(8), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
  }
};

TEST_F(ListItems, RowsSplitIntoColumnsAtLineFeeds) {
  const struct {
    const char* text;
    const char* columns[3];
  } table[] = {
      {"Notes.TXT\nc:\\Docs\\Old\\", {"Notes.TXT", "c:\\Docs\\Old\\", ""}},
      {"only", {"only", "", ""}},
      {"a\nb\n", {"a", "b", ""}},
      {"a\n\nc", {"a", "", "c"}},
      {"\nd", {"", "d", ""}},
      {"", {"", "", ""}},
  };
  for (const auto& row : table) ControlItemAdd(8, -1, row.text);
  ASSERT_EQ(ControlItemCount(8), 6);
  for (int i = 0; i < 6; ++i)
    for (int column = 0; column < 3; ++column)
      EXPECT_EQ(ControlItemText(8, i, column), table[i].columns[column]) << i << "/" << column;
}

TEST_F(ListItems, ColumnTitlesMissingRowsAndColumns) {
  ControlItemAdd(8, -1, "a\nb");
  EXPECT_EQ(ControlItemText(8, -1, 0), "Filename");
  EXPECT_EQ(ControlItemText(8, -1, 1), "Directory");
  EXPECT_EQ(ControlItemText(8, -1, 5), "");
  EXPECT_EQ(ControlItemText(8, 1, 0), "");
  EXPECT_EQ(ControlItemText(8, 0, 7), "");
  EXPECT_EQ(ControlItemText(8, -2, 0), "");
}

TEST_F(ListItems, PositionsInsertAppendAndBeyondTheEnd) {
  ControlItemAdd(8, -1, "b\n1");
  ControlItemAdd(8, 0, "a\n0");
  ControlItemAdd(8, 50, "c\n2");  // past the end: appended, texts kept together
  ControlItemAdd(8, -3, "never");
  ASSERT_EQ(ControlItemCount(8), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ControlItemText(8, i, 0), std::string(1, static_cast<char>('a' + i)));
    EXPECT_EQ(ControlItemText(8, i, 1), std::to_string(i));
  }
}

TEST_F(ListItems, SelectionTextAndSetText) {
  ControlItemAdd(8, -1, "a\nA\\");
  ControlItemAdd(8, -1, "b\nB\\");
  EXPECT_EQ(ControlSelected(8), -1);
  EXPECT_EQ(ControlText(8), "");
  ControlSetText(8, "ignored\nnothing selected");
  EXPECT_EQ(ControlItemText(8, 0, 0), "a");
  Select(1);
  EXPECT_EQ(ControlSelected(8), 1);
  EXPECT_EQ(ControlText(8), "b");
  const std::string longer(300, 'z');
  ControlSetText(8, "renamed\n" + longer);
  EXPECT_EQ(ControlItemText(8, 1, 0), "renamed");
  EXPECT_EQ(ControlItemText(8, 1, 1), longer);
  EXPECT_EQ(ControlText(8), "renamed");
}

TEST_F(ListItems, LongTextsComeBackWholeAndClearEmptiesTheList) {
  const std::string name(10000, 'n');
  ControlItemAdd(8, -1, name + "\nC:\\dir\\");
  EXPECT_EQ(ControlItemText(8, 0, 0), name);
  EXPECT_EQ(ControlItemText(8, 0, 1), "C:\\dir\\");
  EXPECT_EQ(ViewText(0, 0), std::string(63, 'n'));  // a smaller buffer is filled, never overrun
  Select(0);
  ControlItemsClear(8);
  EXPECT_EQ(ControlItemCount(8), 0);
  EXPECT_EQ(SendMessageA(ControlHandle(8), LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(ControlSelected(8), -1);
  EXPECT_EQ(ControlItemText(8, 0, 0), "");
  ControlItemAdd(8, -1, "x\ny");
  EXPECT_EQ(ControlItemText(8, 0, 1), "y");
}

TEST_F(ListItems, TheListViewShowsTheRowsTheLayerKeeps) {
  ControlItemAdd(8, -1, "a.txt\nC:\\one\\");
  ControlItemAdd(8, -1, "b.txt\nC:\\two\\\nthird");
  EXPECT_EQ(SendMessageA(ControlHandle(8), LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(ViewText(0, 0), "a.txt");
  EXPECT_EQ(ViewText(1, 1), "C:\\two\\");
  EXPECT_EQ(ViewText(1, 2), "third");
  EXPECT_EQ(ViewText(0, 2), "");
  EXPECT_EQ(ViewTextWide(1, 0), L"b.txt");
  // Inserted above the selected row: the selection stays with its row.
  Select(1);
  ControlItemAdd(8, 0, "first\nC:\\zero\\");
  EXPECT_EQ(ControlSelected(8), 2);
  EXPECT_EQ(ControlText(8), "b.txt");
  EXPECT_EQ(ViewText(0, 0), "first");
}

int HeaderArrow(HWND list, int column) {
  HDITEMA item{};
  item.mask = HDI_FORMAT;
  SendMessageA(reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMA,
               static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
  return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

TEST_F(ListItems, SortingByAColumnIgnoresLetterCaseKeepsTiesAndTheSelection) {
  for (const char* row : {"b.txt\nC:\\2\\", "A.txt\nc:\\1\\", "a.TXT\nC:\\3\\", "C.txt\nC:\\1\\"})
    ControlItemAdd(8, -1, row);
  Select(3);  // C.txt
  const auto names = [&] {
    std::vector<std::string> n;
    for (int i = 0; i < ControlItemCount(8); ++i) n.push_back(ControlItemText(8, i, 0));
    return n;
  };
  ListSort(8, 0, false);
  EXPECT_EQ(names(), (std::vector<std::string>{"A.txt", "a.TXT", "b.txt", "C.txt"}));  // ties as found
  EXPECT_EQ(HeaderArrow(ControlHandle(8), 0), HDF_SORTUP);
  EXPECT_EQ(ControlText(8), "C.txt");
  ListSort(8, 0, true);
  EXPECT_EQ(names(), (std::vector<std::string>{"C.txt", "b.txt", "A.txt", "a.TXT"}));
  EXPECT_EQ(HeaderArrow(ControlHandle(8), 0), HDF_SORTDOWN);
  ListSort(8, 1, false);
  EXPECT_EQ(ControlItemText(8, 0, 1), "C:\\1\\");
  EXPECT_EQ(ControlItemText(8, 1, 1), "c:\\1\\");
  EXPECT_EQ(HeaderArrow(ControlHandle(8), 0), 0);
  EXPECT_EQ(HeaderArrow(ControlHandle(8), 1), HDF_SORTUP);
  EXPECT_EQ(ListSortColumn(8), 1);
  EXPECT_FALSE(ListSortDescending(8));
  EXPECT_EQ(ControlText(8), "C.txt");
  EXPECT_EQ(ViewText(ControlSelected(8), 0), "C.txt");
  ControlItemsClear(8);
  EXPECT_EQ(ListSortColumn(8), -1);
  EXPECT_EQ(HeaderArrow(ControlHandle(8), 1), 0);
}

std::vector<std::pair<int, int>> column_clicks;
void NoteColumnClick(int list, int column) { column_clicks.emplace_back(list, column); }

TEST_F(ListItems, AHeaderClickReachesTheListsHandler) {
  column_clicks.clear();
  NMLISTVIEW click{};
  click.hdr.hwndFrom = ControlHandle(8);
  click.hdr.idFrom = 8;
  click.hdr.code = LVN_COLUMNCLICK;
  click.iSubItem = 1;
  SendMessageA(window_, WM_NOTIFY, 8, reinterpret_cast<LPARAM>(&click));
  EXPECT_TRUE(column_clicks.empty());  // no handler yet
  ListOnColumnClick(8, NoteColumnClick);
  SendMessageA(window_, WM_NOTIFY, 8, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(column_clicks, (std::vector<std::pair<int, int>>{{8, 1}}));
}

int list_paints = 0;
WNDPROC list_proc = nullptr;
LRESULT CALLBACK CountPaints(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT) ++list_paints;
  return CallWindowProcA(list_proc, window, message, wparam, lparam);
}

TEST_F(ListItems, RowsInABurstPaintAtAPaceAndAllOfThemOnceIdle) {
  const HWND list = ControlHandle(8);
  UpdateWindow(window_);
  testing_windows::Flush();
  list_paints = 0;
  list_proc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountPaints)));
  // A search's way: a row, then the pending events, again and again.
  const DWORD start = GetTickCount();
  for (int i = 0; i < 300; ++i) {
    ControlItemAdd(8, -1, "row " + std::to_string(i) + "\nC:\\dir\\");
    while (EventPoll() != 0) {
    }
  }
  const DWORD spent = GetTickCount() - start;
  // At most one paint for every 100 ms that passed (and a spare), never one a row.
  EXPECT_LE(list_paints, static_cast<int>(spent / 100) + 2) << spent << " ms";
  // Idle, the list paints whatever is still held back.
  const int before_idle = list_paints;
  PostMessageA(window_, WM_USER, 0, 0);
  EventWait();
  EXPECT_TRUE(testing_windows::PumpUntil([&] { return list_paints > before_idle; }));
  RECT dirty{};
  EXPECT_FALSE(GetUpdateRect(list, &dirty, FALSE));
  EXPECT_EQ(ControlItemCount(8), 300);
  SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(list_proc));
}

TEST(ListRows, TheStoreInsertsReplacesReordersAndClears) {
  layer::RowStore store;
  store.Insert(0, "b\nB");
  store.Insert(0, "a\nA");
  store.Insert(9, "c\nC");  // past the end: appended
  store.Replace(1, "bee\nBEE\n");
  ASSERT_EQ(store.size(), 3u);
  EXPECT_EQ(store.Row(0), std::string_view("a\0A", 3));
  EXPECT_EQ(store.Row(1), std::string_view("bee\0BEE", 7));
  store.Reorder({2, 0, 1});
  EXPECT_EQ(store.Row(0), std::string_view("c\0C", 3));
  EXPECT_EQ(store.Row(2), std::string_view("bee\0BEE", 7));
  store.Clear();
  EXPECT_EQ(store.size(), 0u);
}

TEST(ListRows, ARowTextsColumnsAsKept) {
  const struct {
    std::string text;
    std::vector<std::string> columns;
  } table[] = {
      {"a\nb\n\nc\n", {"a", "b", "", "c"}}, {"a", {"a"}},          {std::string("a\nb\0c", 5), {"a", "b"}},
      {"a\nb\n", {"a", "b"}},               {"a\n\n", {"a", ""}},   {"\n", {""}},
      {"", {""}},                           {"\nd", {"", "d"}},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.text);
    layer::RowStore store;
    store.Insert(0, "before");
    store.Insert(1, row.text);
    const std::string kept(store.Row(1));
    for (std::size_t i = 0; i < row.columns.size(); ++i) EXPECT_EQ(layer::RowColumn(kept, static_cast<int>(i)), row.columns[i]);
    EXPECT_EQ(layer::RowColumn(kept, static_cast<int>(row.columns.size())), "");
  }
}

}  // namespace
}  // namespace vudo
