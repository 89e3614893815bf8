// A millisecond tick count for pacing: cheap enough to read after every
// directory entry (GetTickCount on Windows, the coarse monotonic clock on
// POSIX). It wraps around; compare differences only.
#pragma once

#include <cstdint>

namespace vudo::platform {

std::uint32_t TickMilliseconds();

// The processor time the calling thread has used, in microseconds, to tell
// time spent working from time spent waiting (for a disk, say); -1 where the
// platform keeps it too coarsely for that (Windows counts in clock ticks of
// about 16 ms).
std::int64_t ThreadProcessorMicroseconds();

}  // namespace vudo::platform
