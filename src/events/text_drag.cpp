#include "events/text_drag.h"

#include <string>

#include "events/dispatch.h"
#include "events/window_identity.h"
#include "events/window_takeover.h"

namespace vudo {
namespace {

// One drag for the whole process; `source` names it while it is active.
struct Drag {
  HWND source = nullptr;
  std::string text;
  POINT start{-1, -1};
  bool moved = false;
  POINT image{-1, -1};  // where the image is drawn (client of `window`), -1: nowhere
  SIZE size{};
  HWND window = nullptr;  // the foreground window: its context is drawn on, it captures the mouse
  HDC window_dc = nullptr;
  HDC memory_dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ saved_bitmap = nullptr;
  HCURSOR saved_cursor = nullptr;
  bool cursor_shown = true;
} drag;

testing::DragStartFailure next_failure = testing::DragStartFailure::kNone;
HDC last_memory_dc = nullptr;
HBITMAP last_bitmap = nullptr;

// Gives back every drawing resource the drag holds, on every path: a finished
// drag, a start that failed half-way, a window that went.
void ReleaseDrawing() {
  if (drag.memory_dc) {
    if (drag.saved_bitmap) SelectObject(drag.memory_dc, drag.saved_bitmap);
    DeleteDC(drag.memory_dc);
  }
  if (drag.bitmap) DeleteObject(drag.bitmap);
  if (drag.window_dc) ReleaseDC(drag.window, drag.window_dc);
  drag.memory_dc = nullptr;
  drag.bitmap = nullptr;
  drag.saved_bitmap = nullptr;
  drag.window_dc = nullptr;
}

// Draws or erases the image (drawing it twice with SRCINVERT leaves nothing).
void Invert(POINT at) {
  BitBlt(drag.window_dc, at.x, at.y, drag.size.cx, drag.size.cy, drag.memory_dc, 0, 0, SRCINVERT);
}

void EraseImage() {
  if (drag.image.x > -1 && drag.image.y > -1 && drag.window_dc && IsWindow(drag.window)) Invert(drag.image);
  drag.image = POINT{-1, -1};
}

// Ends the drag: redraw of the source, image, capture, cursor, resources.
void Finish() {
  if (IsWindow(drag.source)) {
    SendMessageA(drag.source, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(drag.source, nullptr, FALSE);
  }
  drag.source = nullptr;
  EraseImage();
  if (GetCapture() == drag.window) ReleaseCapture();
  if (!drag.cursor_shown) {
    ShowCursor(TRUE);
    drag.cursor_shown = true;
  }
  ReleaseDrawing();
  SetCursor(drag.saved_cursor);
}

// A window the drag needs has gone: it ends without drawing or dropping.
bool Broken() { return !IsWindow(drag.source) || !IsWindow(drag.window); }

void Reset() {
  drag.moved = false;
  drag.start = POINT{-1, -1};
}

}  // namespace

namespace testing {
void FailNextDragStart(DragStartFailure step) { next_failure = step; }
HDC LastDragMemoryContext() { return last_memory_dc; }
HBITMAP LastDragBitmap() { return last_bitmap; }
}  // namespace testing

bool TextDragActive() { return drag.source != nullptr; }

void StartTextDrag(HWND pressed, const char* text) {
  using testing::DragStartFailure;
  const DragStartFailure failure = next_failure;
  next_failure = DragStartFailure::kNone;
  drag.text = text;
  drag.image = POINT{-1, -1};

  const HWND foreground = GetForegroundWindow();
  if (!OfThisProcess(foreground)) return;  // no window of ours to draw in
  drag.window = foreground;
  drag.window_dc = failure == DragStartFailure::kWindowContext ? nullptr : GetDC(foreground);
  drag.memory_dc = drag.window_dc && failure != DragStartFailure::kMemoryContext ? CreateCompatibleDC(drag.window_dc)
                                                                                 : nullptr;
  last_memory_dc = drag.memory_dc;
  if (!drag.window_dc || !drag.memory_dc) {
    ReleaseDrawing();
    return;
  }

  // Measured and drawn with the pressed control's own font.
  const auto font = reinterpret_cast<HFONT>(SendMessageA(pressed, WM_GETFONT, 0, 0));
  RECT bounds{0, 0, 1, 1};
  const HGDIOBJ window_font = font ? SelectObject(drag.window_dc, font) : nullptr;
  SetTextAlign(drag.window_dc, 0);
  DrawTextA(drag.window_dc, drag.text.c_str(), -1, &bounds, DT_CALCRECT);
  if (window_font) SelectObject(drag.window_dc, window_font);

  drag.bitmap = failure == DragStartFailure::kBitmap
                    ? nullptr
                    : CreateCompatibleBitmap(drag.memory_dc, bounds.right, bounds.bottom);
  last_bitmap = drag.bitmap;
  if (!drag.bitmap) {
    ReleaseDrawing();
    return;
  }
  drag.size = SIZE{bounds.right, bounds.bottom};
  drag.saved_bitmap = SelectObject(drag.memory_dc, drag.bitmap);
  const HGDIOBJ memory_font = font ? SelectObject(drag.memory_dc, font) : nullptr;
  SetTextAlign(drag.memory_dc, 0);
  DrawTextA(drag.memory_dc, drag.text.c_str(), -1, &bounds, DT_NOCLIP);
  if (memory_font) SelectObject(drag.memory_dc, memory_font);

  drag.source = pressed;
  // The foreground window's mouse messages pass through EventWindowProc.
  SubclassForEvents(foreground);
  SetCapture(foreground);
  drag.saved_cursor = GetCursor();
  drag.cursor_shown = true;
  GetCursorPos(&drag.start);
}

LRESULT MoveTextDrag(HWND window, EventRecord& record) {
  if (Broken()) {
    Finish();
    Reset();
    return DefWindowProcA(window, record.message, record.wParam, record.lParam);
  }
  if (!(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) return EndTextDrag(window, record, false);
  POINT at;
  GetCursorPos(&at);
  std::int32_t result = EVT_DEFAULT;
  if (!drag.moved) {
    // Leaving the start rectangle begins the moving; it is 5 pixels each way,
    // the lower bounds included and the upper ones not.
    if (at.x < drag.start.x - 5 || at.x >= drag.start.x + 5 || at.y < drag.start.y - 5 || at.y >= drag.start.y + 5)
      drag.moved = true;
  } else {
    EraseImage();
    POINT client = at;
    ScreenToClient(drag.window, &client);
    record.window = WindowFromPoint(at);
    record.item = static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(drag.source));
    record.text = drag.text.c_str();
    record.code = EVT_DRAGOVER;
    if (OfThisProcess(record.window)) result = DispatchEvent(&record, EVT_DEFAULT, -1);
    RECT inside{};
    GetClientRect(drag.window, &inside);
    if (client.x >= 0 && client.x <= inside.right && client.y >= 0 && client.y <= inside.bottom) {
      if (drag.cursor_shown) {
        ShowCursor(FALSE);
        drag.cursor_shown = false;
      }
      drag.image = client;
      Invert(drag.image);
    } else {
      drag.image = POINT{-1, -1};
      if (!drag.cursor_shown) {
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32648)));  // IDC_NO
        ShowCursor(TRUE);
        drag.cursor_shown = true;
      }
    }
  }
  if (result != EVT_DEFAULT) return result;
  return PassOn(window, record.message, record.wParam, record.lParam);
}

LRESULT EndTextDrag(HWND window, EventRecord& record, bool released) {
  const bool broken = Broken();
  record.item = static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(drag.source));
  Finish();
  const LRESULT result = PassToOwnProcedure(window, record.message, record.wParam, record.lParam,
                                            static_cast<LRESULT>(EVT_DEFAULT));
  if (drag.moved && !broken) {
    POINT at;
    GetCursorPos(&at);
    record.code = EVT_DROP;
    record.text = drag.text.c_str();
    record.window = WindowFromPoint(at);
    record.button = released ? 0 : -1;
    if (OfThisProcess(record.window)) DispatchEvent(&record, EVT_DEFAULT, -1);
  }
  Reset();
  return result;
}

void ForgetTextDragWindow(HWND window) {
  if (!drag.source || (window != drag.source && window != drag.window)) return;
  // Nothing more is drawn into a context whose window is going.
  drag.image = POINT{-1, -1};
  Finish();
  Reset();
}

}  // namespace vudo
