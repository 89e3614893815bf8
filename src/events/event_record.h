// The record every bound event procedure receives, and the event codes.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vudo {

// Eleven 32-bit fields in this order; procedures read them by position.
struct EventRecord {
  HWND window;        // the window or control the event concerns
  std::int32_t code;  // the event code (EVT_...)
  std::int32_t x;     // pointer position, in `window`'s client coordinates
  std::int32_t y;
  std::int32_t button;  // 0 left, 1 middle, 2 right; or a sub-kind; -1 none
  std::int32_t item;    // an item, identifier, count or handle, by event; -1 none
  std::int32_t detail;  // a second value, by event; -1 none
  // Text, by event; never null. The dispatcher owns what it puts here and
  // frees only that; a procedure may point this at a text of its own.
  const char* text;
  std::uint32_t message;  // the message as received; a procedure may change these
  WPARAM wParam;          // three, and the window's own procedure then sees the
  LPARAM lParam;          // changed values
};
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(EventRecord) == 11 * 4, "EventRecord is eleven 32-bit fields");
static_assert(offsetof(EventRecord, item) == 5 * 4 && offsetof(EventRecord, wParam) == 9 * 4);
#endif

using EventProcedure = std::int32_t (*)(EventRecord*);

// A procedure's result meaning "not handled": the message goes on to the
// window's own procedure. Every other value means handled.
inline constexpr std::int32_t EVT_DEFAULT = static_cast<std::int32_t>(0xE0E0E0E1u);

// Codes 23 and 28 are not used.
enum EventCode : std::int32_t {
  EVT_ENTER = 0,
  EVT_LEAVE = 1,
  EVT_DOUBLECLICK = 2,
  EVT_BUTTONDOWN = 3,
  EVT_MOUSEMOVE = 4,
  EVT_BUTTONUP = 5,
  EVT_CLOSE = 6,
  EVT_FOCUS = 7,
  EVT_LOSTFOCUS = 8,
  EVT_MAXIMIZE = 9,
  EVT_MINIMIZE = 10,
  EVT_DRAGSTART = 11,
  EVT_DROP = 12,
  EVT_DRAGOVER = 13,
  EVT_MOVE = 14,
  EVT_ERASEBACKGROUND = 15,
  EVT_PAINT = 16,
  EVT_SIZE = 17,
  EVT_SELECTIONCHANGING = 18,
  EVT_SELECTIONCHANGED = 19,
  EVT_SCROLL = 20,
  EVT_SETCURSOR = 21,
  EVT_MINMAXINFO = 22,
  EVT_CONTEXTMENU = 24,
  EVT_KEYDOWN = 25,
  EVT_CHAR = 26,
  EVT_KEYUP = 27,
  EVT_CLICK = 29,
  EVT_CHANGE = 30,
  EVT_EXPANDING = 31,
  EVT_DROPFILES = 32,
  EVT_LINKCLICK = 33,
  EVT_MENU = 34,
  EVT_LABELEDIT = 35,
};

}  // namespace vudo
