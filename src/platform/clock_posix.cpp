#include <time.h>

#include "platform/clock.h"

namespace vudo::platform {

std::uint32_t TickMilliseconds() {
  timespec now{};
#ifdef CLOCK_MONOTONIC_COARSE
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
#else
  clock_gettime(CLOCK_MONOTONIC, &now);
#endif
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

std::int64_t ThreadProcessorMicroseconds() {
  timespec used{};
  if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used) != 0) return -1;
  return static_cast<std::int64_t>(used.tv_sec) * 1000000 + used.tv_nsec / 1000;
}

}  // namespace vudo::platform
