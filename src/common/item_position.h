// Where ControlItemAdd puts a new item: the rule every layer behind the
// control seam follows (the real controls, the console finder's printing
// layer, the tests' in-memory one), so that a search or the settings store
// fill each of them alike.
#pragma once

#include <cstddef>

namespace vudo {

// The index a new item takes among `count` items when added at `position`:
// that position, or the end for -1 (kAppend) and for a position past the end.
// Callers refuse positions below -1 before they ask.
constexpr std::size_t InsertIndex(int position, std::size_t count) {
  return position < 0 || static_cast<std::size_t>(position) > count ? count : static_cast<std::size_t>(position);
}

}  // namespace vudo
