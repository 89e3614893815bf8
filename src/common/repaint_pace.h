// How often what a search shows is brought up to date while it runs: the
// rows of the result list and the status text beside Start. Often enough to
// look live, seldom enough that painting costs the search nothing.
#pragma once

#include <cstdint>

namespace vudo {

inline constexpr std::uint32_t kRepaintPaceMs = 100;

}  // namespace vudo
