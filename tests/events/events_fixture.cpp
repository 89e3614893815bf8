#include "events/events_fixture.h"

namespace vudo::testing_events {

std::vector<Seen> seen;
std::vector<Arrived> arrived;

namespace {

std::int32_t Record(char who, EventRecord* r) {
  seen.push_back({who, r->window, r->code, r->x, r->y, r->button, r->item, r->detail, r->text ? r->text : "(null)",
                  r->message, r->wParam, r->lParam, arrived.size()});
  return EVT_DEFAULT;
}

}  // namespace

std::int32_t RecordA(EventRecord* record) { return Record('A', record); }
std::int32_t RecordB(EventRecord* record) { return Record('B', record); }

LRESULT CALLBACK OwnProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  arrived.push_back({window, message, wparam, lparam});
  if (message == WM_CLOSE) return 0;  // the test decides when windows go
  return DefWindowProcA(window, message, wparam, lparam);
}

int ArrivedCount(HWND window, UINT message) {
  int count = 0;
  for (const Arrived& a : arrived) count += a.window == window && a.message == message;
  return count;
}

void EventsTest::SetUp() {
  WNDCLASSA window_class{};
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = OwnProc;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClass;
  RegisterClassA(&window_class);  // fails harmlessly from the second test on
  top_ = CreateWindowExA(0, kClass, "Events test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(top_, nullptr);
  testing_windows::Flush();
  seen.clear();
  arrived.clear();
}

void EventsTest::TearDown() {
  if (top_) DestroyWindow(top_);
  testing_windows::Flush();
}

HWND EventsTest::Child(int id, int x, int y, int width, int height, const char* window_class, DWORD style,
                       const char* text) {
  const HWND child = CreateWindowExA(0, window_class, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, top_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                     nullptr);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return child;
}

}  // namespace vudo::testing_events
