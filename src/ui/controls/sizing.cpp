#include "ui/controls/sizing.h"

namespace vudo::layer {
namespace {

// Edges as the low bits of SC_SIZE give them (the WMSZ_ values).
enum Edge : int { kNone = 0, kLeft = 1, kRight = 2, kTop = 3, kTopLeft = 4, kTopRight = 5, kBottom = 6,
                  kBottomLeft = 7, kBottomRight = 8 };

bool MovesLeft(int edge) { return edge == kLeft || edge == kTopLeft || edge == kBottomLeft; }
bool MovesRight(int edge) { return edge == kRight || edge == kTopRight || edge == kBottomRight; }
bool MovesTop(int edge) { return edge == kTop || edge == kTopLeft || edge == kTopRight; }
bool MovesBottom(int edge) { return edge == kBottom || edge == kBottomLeft || edge == kBottomRight; }

struct Sizing {
  HWND window = nullptr;  // none while no sizing runs
  int edge = kNone;
  bool from_keyboard = false;
  POINT cursor_before{};
  RECT rect{};
  POINT min_track{}, max_track{};
} sizing;

// Holds one dimension between the tracking sizes by moving the dragged edge
// back; the opposite edge stays.
void Hold(LONG& low, LONG& high, bool low_dragged, LONG minimum, LONG maximum) {
  LONG size = high - low;
  if (size < minimum) size = minimum;
  if (size > maximum) size = maximum;
  if (low_dragged) low = high - size;
  else high = low + size;
}

void FollowCursor(POINT cursor) {
  RECT r = sizing.rect;
  const int edge = sizing.edge;
  const LONG corner = edge == kTopLeft ? 2 : 0;
  if (MovesLeft(edge)) r.left = cursor.x - corner;
  if (MovesRight(edge)) r.right = cursor.x + 2;
  if (MovesTop(edge)) r.top = cursor.y - corner;
  if (MovesBottom(edge)) r.bottom = cursor.y + 2;
  if (MovesLeft(edge) || MovesRight(edge)) Hold(r.left, r.right, MovesLeft(edge), sizing.min_track.x, sizing.max_track.x);
  if (MovesTop(edge) || MovesBottom(edge)) Hold(r.top, r.bottom, MovesTop(edge), sizing.min_track.y, sizing.max_track.y);
  SendMessageA(sizing.window, WM_SIZING, static_cast<WPARAM>(edge), reinterpret_cast<LPARAM>(&r));
  sizing.rect = r;
  MoveWindow(sizing.window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

// From a keyboard start the first arrow names the edge; the cursor goes onto
// that edge so that the following arrows move it from there.
void ChooseEdge(WPARAM key) {
  const RECT& r = sizing.rect;
  POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  switch (key) {
    case VK_LEFT: sizing.edge = kLeft; at.x = r.left; break;
    case VK_RIGHT: sizing.edge = kRight; at.x = r.right - 2; break;
    case VK_UP: sizing.edge = kTop; at.y = r.top; break;
    case VK_DOWN: sizing.edge = kBottom; at.y = r.bottom - 2; break;
    default: return;
  }
  SetCursorPos(at.x, at.y);
}

void End() {
  const HWND window = sizing.window;
  sizing.window = nullptr;
  PostMessageA(window, WM_EXITSIZEMOVE, 0, 0);
  if (sizing.from_keyboard) SetCursorPos(sizing.cursor_before.x, sizing.cursor_before.y);
}

}  // namespace

bool StartSizing(HWND window, WPARAM command) {
  BOOL full_drag = FALSE;
  if (!SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full_drag, 0) || !full_drag) return false;
  if (sizing.window) return true;  // one sizing at a time
  sizing = Sizing{};
  sizing.edge = static_cast<int>(command & 0xF);
  if (sizing.edge > kBottomRight) sizing.edge = kNone;
  sizing.from_keyboard = sizing.edge == kNone;
  GetCursorPos(&sizing.cursor_before);
  GetWindowRect(window, &sizing.rect);
  MINMAXINFO limits{};
  limits.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  limits.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  limits.ptMaxSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  sizing.min_track = limits.ptMinTrackSize;
  sizing.max_track = limits.ptMaxTrackSize;
  sizing.window = window;
  SetCapture(window);
  PostMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
  return true;
}

bool SizingActive() { return sizing.window != nullptr; }

bool SizingMessage(HWND window, UINT message) {
  if (!sizing.window || window != sizing.window) return false;
  switch (message) {
    case WM_MOUSEMOVE:
      if (sizing.edge != kNone) {
        POINT cursor;
        GetCursorPos(&cursor);
        FollowCursor(cursor);
      }
      return true;
    case WM_LBUTTONUP:
      ReleaseCapture();
      return true;
    case WM_CAPTURECHANGED:
      End();
      return true;
    default:
      return false;
  }
}

void SizingKey(WPARAM key) {
  if (!sizing.window) return;
  if (key == VK_RETURN || key == VK_ESCAPE) {
    ReleaseCapture();
    return;
  }
  if (key != VK_LEFT && key != VK_RIGHT && key != VK_UP && key != VK_DOWN) return;
  if (sizing.edge == kNone) {
    ChooseEdge(key);
    return;
  }
  POINT cursor;
  GetCursorPos(&cursor);
  if (key == VK_LEFT) cursor.x -= 10;
  if (key == VK_RIGHT) cursor.x += 10;
  if (key == VK_UP) cursor.y -= 10;
  if (key == VK_DOWN) cursor.y += 10;
  SetCursorPos(cursor.x, cursor.y);
  FollowCursor(cursor);
}

}  // namespace vudo::layer
