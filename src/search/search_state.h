// The state of the search run, global for the whole program run. The values
// stay after a search ends and are replaced by the next start.
#pragma once

#include <atomic>
#include <string>

namespace vudo {

// Set by a stop request; read by the walker after every entry and by the
// content scanner after every block. Atomic so that a console interrupt
// handler, which runs on another thread on Windows, may set it too.
extern std::atomic<int> StopRequested;

extern std::string SearchDirectory;  // control 1's text when the search started
extern std::string NamePattern;      // control 4's text, lower-cased
extern std::string ContainsText;     // control 6's text, lower-cased; empty: no content condition

// Counts search starts. A walk that finds it changed belongs to a search that
// a newer one has replaced, and ends without adding rows.
extern unsigned SearchGeneration;

}  // namespace vudo
