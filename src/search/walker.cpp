#include "search/walker.h"

#include "common/bytes.h"
#include "platform/directory.h"
#include "platform/path.h"
#include "search/matcher.h"
#include "search/scanner.h"
#include "search/search_state.h"
#include "ui/control_layer.h"

namespace vudo {
namespace {

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// A walk ends when a stop was requested, or when a newer search replaced the
// one it belongs to (a Start pressed while this walk was still unwinding).
bool WalkMustEnd(unsigned generation) {
  return StopRequested.load(std::memory_order_relaxed) != 0 || SearchGeneration != generation;
}

// `path` holds the directory, ending in a separator. Entries are appended to
// it and cut off again, so the whole walk shares one buffer.
void WalkInto(std::string& path, unsigned generation) {
  platform::DirectoryReader reader;
  if (!reader.Open(path)) return;
  const std::size_t length = path.size();
  platform::DirectoryEntry entry;
  while (reader.Next(entry)) {
    if (IsDotOrDotDot(entry.name)) continue;
    if (entry.kind == platform::EntryKind::kFile) {
      TestFile(path, entry.name);
    } else if (entry.kind == platform::EntryKind::kDirectory) {
      path += entry.name;
      path += platform::kSeparator;
      WalkInto(path, generation);
    }
    path.resize(length);
    if (WalkMustEnd(generation)) return;
    while (EventPoll() != 0) {
    }
    // Events may have stopped this search or started a new one; ending here
    // keeps the old walk from adding rows after that.
    if (WalkMustEnd(generation)) return;
  }
}

}  // namespace

std::string WalkStartPath(std::string_view directory) {
  if (directory.empty()) return std::string(platform::kEmptyDirectoryMeans);
  std::string path(directory);
  if (!platform::IsSeparator(path.back())) path += platform::kSeparator;
  return path;
}

void WalkDirectory(std::string_view directory) {
  std::string path = WalkStartPath(directory);
  WalkInto(path, SearchGeneration);
}

void TestFile(std::string_view directory, std::string_view name) {
  // Buffers reused for every file of a walk, so testing a file allocates
  // nothing. TestFile runs no events, so a nested search cannot reuse them
  // while they are in use.
  static std::string lowered, buffer;
  LowerInto(name, lowered);
  if (!MatchName(lowered, NamePattern)) return;
  if (!ContainsText.empty()) {
    buffer.assign(directory).append(name);
    if (!FileContainsText(buffer, ContainsText)) return;
  }
  buffer.assign(name).append(1, '\n').append(directory);
  ControlItemAdd(kResultList, kAppend, buffer);
}

}  // namespace vudo
