// EventWait and EventPoll: the layer's own queued events first, then one
// window message through the active window's accelerators and the dispatcher.
#include <deque>

#include "ui/controls/layer_internal.h"
#include "ui/controls/sizing.h"
#include "ui/controls/tab_stops.h"
#include "ui/controls/virtual_list.h"
#include "ui/controls/control_layer.h"

namespace vudo {
namespace {

struct QueuedEvent {
  int kind;
  int window;
  bool operator==(const QueuedEvent&) const = default;
};

thread_local std::deque<QueuedEvent> queued;
// The event the window procedure recorded while the current message was
// dispatched; 0 when it recorded none.
thread_local int recorded = 0;

int TakeQueued() {
  if (queued.empty()) return 0;
  const int kind = queued.front().kind;
  queued.pop_front();
  return kind;
}

int Handle(MSG& message) {
  // Keys belong to an interactive sizing while one runs, whichever control
  // has the focus, just as the platform's own sizing loop takes them.
  if (layer::SizingActive() && (message.message == WM_KEYDOWN || message.message == WM_KEYUP ||
                                message.message == WM_CHAR || message.message == WM_SYSKEYDOWN)) {
    if (message.message == WM_KEYDOWN) layer::SizingKey(message.wParam);
    return static_cast<int>(message.message);
  }
  // Alt and an underlined letter: the field after that label.
  if (message.message == WM_SYSCHAR && layer::FocusMnemonic(GetActiveWindow(), message.wParam))
    return static_cast<int>(message.message);
  const int outer = recorded;  // a nested dispatch must not lose ours
  recorded = 0;
  const HWND active = GetActiveWindow();
  const layer::WindowRecord* window = layer::FindWindowRecord(active);
  if (!window || !window->accelerators || !TranslateAcceleratorA(active, window->accelerators, &message)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  const int result = recorded ? recorded : static_cast<int>(message.message);
  recorded = outer;
  return result;
}

}  // namespace

namespace layer {
void QueueLayerEvent(int kind, int window_number) {
  const QueuedEvent event{kind, window_number};
  if (queued.empty() || !(queued.back() == event)) queued.push_back(event);
  recorded = kind;
}
}  // namespace layer

int EventWait() {
  if (const int event = TakeQueued()) return event;
  // About to wait: nothing is coming in a burst now, so every list paints.
  layer::ReleaseListRedraw(false);
  MSG message;
  const BOOL got = GetMessageA(&message, nullptr, 0, 0);
  if (got == -1) return 0;
  if (got == 0) return WM_QUIT;  // nothing here posts it; it is not dispatched
  return Handle(message);
}

int EventPoll() {
  if (const int event = TakeQueued()) return event;
  layer::ReleaseListRedraw(true);
  MSG message;
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) return 0;
  if (message.message == WM_QUIT) return WM_QUIT;
  return Handle(message);
}

}  // namespace vudo
