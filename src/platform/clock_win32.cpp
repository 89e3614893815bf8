#include <windows.h>

#include "platform/clock.h"

namespace vudo::platform {

std::uint32_t TickMilliseconds() { return GetTickCount(); }

std::int64_t ThreadWaits() { return -1; }

}  // namespace vudo::platform
