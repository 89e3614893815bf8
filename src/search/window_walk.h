// The walk as the window runs it. WalkDirectory and TestFile run the engine
// (engine.h) with the search state (search_state.h) as their request, add
// every hit as a row at the end of the result list (kResultList), and
// between entries let the window's events run at their pace (event_pace.h).
// A stop request, or a newer search started from those events, ends the walk
// there: the rows found so far stay, and none is added after that. Memory
// that runs out (for more rows, say) ends it the same way, with StopRequested
// set as a Stop sets it.
//
// A result row is the file name, one line feed, and the file's directory with
// its trailing separator; the result list shows the two parts as its
// "Filename" and "Directory" columns.
#pragma once

#include <string_view>

namespace vudo {

// Walks `directory` (with or without a trailing separator; empty means the
// root of the current drive, or "/" on POSIX; a ';' list of folders walks
// each in turn, engine.h) for NamePattern and ContainsText. A directory that
// cannot be listed yields nothing.
void WalkDirectory(std::string_view directory);

// Tests one file as the walk does; a hit becomes a row. `directory` ends in a
// separator.
void TestFile(std::string_view directory, std::string_view name);

// Whether the last walk could list its start directory, or one of its start
// folders (a missing folder, or one the platform refuses, could not); true
// before any walk.
bool StartDirectoryListed();

// Worker threads reading ahead of the window's walks, as a request's jobs
// (engine.h): 0, the default, is what pays off on this system.
extern unsigned WindowSearchJobs;

}  // namespace vudo
