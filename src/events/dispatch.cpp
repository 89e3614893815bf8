#include "events/dispatch.h"

#include <windows.h>

#include "events/event_properties.h"
#include "events/window_identity.h"

namespace vudo {

std::int32_t DispatchEvent(EventRecord* record, std::int32_t default_result, std::int32_t item) {
  if (record->code >= EVT_CLOSE) {
    POINT pointer{};
    GetCursorPos(&pointer);
    MapWindowPoints(nullptr, record->window, &pointer, 1);
    record->x = pointer.x;
    record->y = pointer.y;
  }
  // A window of another process (under the pointer, say) has properties of
  // its own; they are never taken for procedures.
  if (!OfThisProcess(record->window)) return default_result;
  const BindingName name(record->code, record->code == EVT_MENU ? item : -1);
  const auto procedure = reinterpret_cast<EventProcedure>(GetPropA(record->window, name.c_str()));
  return procedure ? procedure(record) : default_result;
}

}  // namespace vudo
