// A millisecond tick count for pacing: cheap enough to read after every
// directory entry (GetTickCount on Windows, the coarse monotonic clock on
// POSIX). It wraps around; compare differences only.
#pragma once

#include <cstdint>

namespace vudo::platform {

std::uint32_t TickMilliseconds();

// How many times the calling thread has given up its processor to wait (for
// a disk, say, or a lock), not counting the times it was preempted: a task
// that added to it had to wait for something. -1 where the platform does not
// count it for a thread (Windows).
std::int64_t ThreadWaits();

}  // namespace vudo::platform
