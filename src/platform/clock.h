// A millisecond tick count for pacing: cheap enough to read after every
// directory entry (GetTickCount on Windows, the coarse monotonic clock on
// POSIX). It wraps around; compare differences only.
#pragma once

#include <cstdint>

namespace vudo::platform {

std::uint32_t TickMilliseconds();

}  // namespace vudo::platform
