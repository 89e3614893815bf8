// Proves the window-test path: a real top-level window with a report-view
// list-view control, under Wine and Xvfb, with a row written and read back.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {

// Runs what is queued, so that the controls have handled their messages.
void FlushEvents() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

struct Window {
  HWND handle = nullptr;
  ~Window() {
    if (handle) DestroyWindow(handle);
  }
};

TEST(ListViewSmoke, ReportRowWrittenAndReadBack) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
  ASSERT_TRUE(InitCommonControlsEx(&icc));

  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "VudoSmokeWindow";
  ASSERT_NE(RegisterClassA(&wc), 0);

  Window top;
  top.handle = CreateWindowExA(0, wc.lpszClassName, "Vudo smoke", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                               nullptr, wc.hInstance, nullptr);
  ASSERT_NE(top.handle, nullptr);
  ShowWindow(top.handle, SW_SHOWNORMAL);

  HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 380, 280,
                              top.handle, reinterpret_cast<HMENU>(8), wc.hInstance, nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);

  const char* titles[] = {"Filename", "Directory"};
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = 150;
    column.pszText = const_cast<char*>(titles[i]);
    column.iSubItem = i;
    ASSERT_EQ(SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column)), i);
  }

  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.pszText = const_cast<char*>("Notes.TXT");
  ASSERT_EQ(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)), 0);
  item.iSubItem = 1;
  item.pszText = const_cast<char*>("c:\\Docs\\Old\\");
  ASSERT_TRUE(SendMessageA(list, LVM_SETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item)));
  FlushEvents();

  EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 1);
  const char* expected[] = {"Notes.TXT", "c:\\Docs\\Old\\"};
  for (int sub = 0; sub < 2; ++sub) {
    char buffer[64] = {};
    LVITEMA read{};
    read.mask = LVIF_TEXT;
    read.iItem = 0;
    read.iSubItem = sub;
    read.pszText = buffer;
    read.cchTextMax = sizeof buffer;
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&read)));
    EXPECT_STREQ(buffer, expected[sub]);
  }
}

}  // namespace
