// The window properties the event layer keeps on the windows it took over: a
// binding's, named by BindingName, and the record of the window's own
// procedure. Every name starts with "EVENT_", by which the clean-up at
// WM_NCDESTROY tells them from other properties. Internal to src/events.
#pragma once

#include <cstdint>
#include <cstdio>

namespace vudo {

inline constexpr const char* kOldProcProperty = "EVENT_oldproc";

// "EVENT_" and the code; with an item other than -1, ":" and the item. Built
// for every dispatched message, so it lives on the stack.
class BindingName {
 public:
  BindingName(std::int32_t code, std::int32_t item) {
    if (item == -1) std::snprintf(text_, sizeof text_, "EVENT_%ld", static_cast<long>(code));
    else std::snprintf(text_, sizeof text_, "EVENT_%ld:%ld", static_cast<long>(code), static_cast<long>(item));
  }
  const char* c_str() const { return text_; }

 private:
  char text_[32];
};

}  // namespace vudo
