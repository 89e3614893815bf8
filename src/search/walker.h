// Directory walker: runs through the tree below a start directory, tests every
// file, and adds a result row to the result list (control 8) for every hit.
//
// A result row is the file name, one line feed, and the file's directory with
// its trailing separator; the result list shows the two parts as its
// "Filename" and "Directory" columns.
//
// After every entry the walker ends when a stop was requested (or a newer
// search has started), and otherwise lets pending window events run through
// EventPoll every few milliseconds (event_pace.h), so the window stays usable
// and the Stop button can end the walk.
#pragma once

#include <string>
#include <string_view>

namespace vudo {
namespace platform {
class DirectoryHandle;
}

// Walks `directory` (with or without a trailing separator; empty means the
// root of the current drive, or "/" on POSIX) depth first, in the order the
// platform lists entries. A directory that cannot be enumerated yields nothing.
void WalkDirectory(std::string_view directory);

// Whether the last walk could list its start directory (a missing folder, or
// one the platform refuses, could not); true before any walk.
bool StartDirectoryListed();

// The directory path the walk starts from: `directory` with a separator
// appended where it has none; the root for an empty text.
std::string WalkStartPath(std::string_view directory);

// Tests one file: its name against NamePattern, then its content against
// ContainsText when that is not empty; a hit becomes a row. `directory` ends in
// a separator; `held`, where given, is that directory held open.
void TestFile(std::string_view directory, std::string_view name, const platform::DirectoryHandle* held = nullptr);

// Where hits go instead of the result list. The console finder takes the
// directory and the name as they are: a row's line feed could not tell them
// apart when a name holds a line feed itself. None (the default): rows.
using HitSink = void (*)(std::string_view directory, std::string_view name);
void SetHitSink(HitSink sink);

// Told of every directory the walk cannot read, except for want of
// permission, with the platform's reason. None (the default): passed over in
// silence, as the window does.
using UnreadableDirectoryHandler = void (*)(const std::string& directory, const std::string& reason);
void SetUnreadableDirectoryHandler(UnreadableDirectoryHandler handler);

}  // namespace vudo
