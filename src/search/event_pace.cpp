#include "search/event_pace.h"

#include "platform/clock.h"
#include "ui/controls/control_seam.h"

namespace vudo {
namespace {

std::uint32_t interval = kDrainIntervalMs;
std::uint32_t (*clock_source)() = platform::TickMilliseconds;
bool drained_before = false;
std::uint32_t last_drain = 0;

}  // namespace

void SetDrainInterval(std::uint32_t milliseconds) { interval = milliseconds; }
void SetDrainClock(std::uint32_t (*clock)()) {
  clock_source = clock ? clock : platform::TickMilliseconds;
  drained_before = false;
}

std::uint32_t PaceNow() { return clock_source(); }
std::uint32_t LastDrainAt() { return last_drain; }

bool DrainEventsWhenDue() {
  const std::uint32_t now = clock_source();
  if (drained_before && now - last_drain < interval) return false;
  drained_before = true;
  last_drain = now;
  while (EventPoll() != 0) {
  }
  return true;
}

}  // namespace vudo
