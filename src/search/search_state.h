// The state of the search run, global for the whole program run. The values
// stay after a search ends and are replaced by the next start.
#pragma once

#include <cstdint>
#include <string>

namespace vudo {

// Set by a stop request; read by the window's walk (window_walk.h) after
// every entry and every block of a content scan. Only the user-interface
// thread touches it: the engine's workers never see the window's state.
extern std::int32_t StopRequested;

extern std::string SearchDirectory;  // kStartDirectoryCombo's text when the search started
extern std::string NamePattern;      // kPatternField's text, lower-cased
extern std::string ContainsText;     // kContainsField's text, lower-cased; empty: no content condition

// Counts search starts. A walk that finds it changed belongs to a search that
// a newer one has replaced, and ends without adding rows.
extern unsigned SearchGeneration;

}  // namespace vudo
