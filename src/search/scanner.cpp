#include "search/scanner.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "platform/file.h"
#include "search/event_pace.h"
#include "search/search_state.h"
#include "search/text_finder.h"

namespace vudo {
namespace {

// The walk's buffer, kept from one file to the next: allocating and freeing a
// block for every file costs more than reading a small file. A buffer grown
// for a very long text is given back after that scan. One scan runs on the
// walk's thread at a time: a Start pressed while events run between blocks
// only marks the new search, whose walk runs after this one has unwound.
std::vector<char>& WalkBuffer() {
  static std::vector<char> buffer;
  return buffer;
}
constexpr std::size_t kKeptBytes = 1 << 20;

}  // namespace

int FileContainsText(const std::string& path, std::string_view text, const platform::DirectoryHandle* directory) {
  return FileContainsTextInBlocks(path, text, kScanBlockSize, directory);
}

int FileContainsTextInBlocks(const std::string& path, std::string_view text, std::size_t block_size,
                             const platform::DirectoryHandle* directory) {
  const TextFinder finder(text);
  const unsigned generation = SearchGeneration;
  bool ended_by_events = false;
  const int found = ScanFile(path, directory, finder, block_size, WalkBuffer(), [&] {
    if (StopRequested.load(std::memory_order_relaxed)) return false;
    // A large file stays stoppable: events run between blocks at the walk's
    // pace. A stop or a newer search they bring ends the scan with no hit, and
    // nothing here is touched again (the text may have been replaced).
    if (DrainEventsWhenDue() && (StopRequested.load(std::memory_order_relaxed) || SearchGeneration != generation)) {
      ended_by_events = true;
      return false;
    }
    return true;
  });
  if (WalkBuffer().size() > kKeptBytes) std::vector<char>().swap(WalkBuffer());
  return ended_by_events ? 0 : found;
}

}  // namespace vudo
