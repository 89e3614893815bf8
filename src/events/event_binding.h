// The event binding layer: procedures of the program bound to numbered events
// of windows, controls and menu items.
//
// How events flow:
// - A binding is a window property on the target, named "EVENT_" + code (and
//   ":" + item for menu commands, "EVENT_34:10"), whose value is the
//   procedure. Binding again under the same name replaces the procedure; a
//   null procedure is no binding.
// - Binding takes the target and its parent over: their window procedure
//   becomes EventWindowProc, with the previous one kept in "EVENT_oldproc".
//   The parent is needed because a control's notifications arrive there.
// - EventWindowProc turns a message into an event, fills an EventRecord and
//   calls the procedure bound for it, synchronously. EVT_DEFAULT from the
//   procedure (or no procedure) lets the message go on to the window's own
//   procedure, with the record's message, wParam and lParam.
// - At WM_NCDESTROY every "EVENT_" property goes and the old procedure comes
//   back.
// - The first binding call starts a background thread that reports the
//   pointer entering and leaving this process's windows (pointer_tracking.h).
// Everything except that thread runs on the user-interface thread. Window
// procedures are replaced with SetWindowLongPtrA, so the windows stay ANSI.
//
// This header, event_record.h and thread_registry.h are what the rest of the
// program uses; the other headers here are shared only among the layer's own
// files.
#pragma once

#include <windows.h>

#include <cstdint>

#include "events/event_record.h"

namespace vudo {

// Binds `procedure` to event `code` of `target`. Nonzero on success.
std::int32_t BindEvent(HWND target, std::int32_t code, EventProcedure procedure);
// The same, with the command identifier `item` for menu commands (EVT_MENU);
// -1 for every other code.
std::int32_t BindEventEx(HWND target, std::int32_t code, EventProcedure procedure, std::int32_t item);

}  // namespace vudo
