#include <sys/resource.h>
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

std::int64_t ThreadWaits() {
#ifdef RUSAGE_THREAD
  rusage usage{};
  if (getrusage(RUSAGE_THREAD, &usage) != 0) return -1;
  return usage.ru_nvcsw;  // voluntary context switches
#else
  return -1;
#endif
}

}  // namespace vudo::platform
