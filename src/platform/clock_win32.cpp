#include <windows.h>

#include "platform/clock.h"

namespace vudo::platform {

std::uint32_t TickMilliseconds() { return GetTickCount(); }

}  // namespace vudo::platform
