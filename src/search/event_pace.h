// How a running search lets the window's events run. The walk and the
// content scan call DrainEventsWhenDue after every entry and every block; it
// runs the pending events (EventPoll until 0) only when some milliseconds
// have passed since it last did. Asking for events is a kernel call (a server
// round trip under Wine) and costs as much as handling a directory entry;
// every 10 ms is still far quicker than a person notices. Stop and a new
// search are seen right after the drain that brings them.
#pragma once

#include <cstdint>

namespace vudo {

inline constexpr std::uint32_t kDrainIntervalMs = 10;

// True when it drained (whether or not anything was pending).
bool DrainEventsWhenDue();

// The clock the pace goes by, in milliseconds (it wraps around), and when
// the last drain began by it.
std::uint32_t PaceNow();
std::uint32_t LastDrainAt();

// For tests: the interval (0: drain at every call) and the clock.
void SetDrainInterval(std::uint32_t milliseconds);
void SetDrainClock(std::uint32_t (*clock)());

}  // namespace vudo
