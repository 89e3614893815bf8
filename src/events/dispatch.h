// Finding and calling the procedure bound to an event. Internal to
// src/events.
#pragma once

#include <cstdint>

#include "events/event_record.h"

namespace vudo {

// Calls the procedure bound to the record's window and code (and `item`, for
// EVT_MENU); `default_result` when there is none. For EVT_CLOSE and every
// code after it, the record's x and y become the pointer position in that
// window.
std::int32_t DispatchEvent(EventRecord* record, std::int32_t default_result, std::int32_t item);

}  // namespace vudo
