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

// The scan's buffer, kept from one file to the next: allocating and freeing a
// block for every file costs more than reading a small file. A buffer grown
// for a very long text is given back after that scan. One scan runs at a time:
// a Start pressed while events run between blocks only marks the new search,
// whose walk runs after this one has unwound.
class ScratchBuffer {
 public:
  explicit ScratchBuffer(std::size_t size) {
    if (storage().size() < size) {
      try {
        storage().resize(size);
      } catch (const std::bad_alloc&) {
        std::vector<char>().swap(storage());
      }
    }
    data_ = storage().size() >= size ? storage().data() : nullptr;
  }
  ~ScratchBuffer() {
    if (storage().size() > kKeptBytes) std::vector<char>().swap(storage());
  }
  ScratchBuffer(const ScratchBuffer&) = delete;
  ScratchBuffer& operator=(const ScratchBuffer&) = delete;
  char* data() const { return data_; }

 private:
  static constexpr std::size_t kKeptBytes = 1 << 20;
  static std::vector<char>& storage() {
    static std::vector<char> buffer;
    return buffer;
  }
  char* data_;
};

}  // namespace

int FileContainsText(const std::string& path, std::string_view text) {
  return FileContainsTextInBlocks(path, text, kScanBlockSize);
}

int FileContainsTextInBlocks(const std::string& path, std::string_view text, std::size_t block_size) {
  platform::FileReader file;
  if (!file.Open(path)) return 0;
  if (text.empty()) return 1;  // an empty text occurs in every file
  const TextFinder finder(text);
  const unsigned generation = SearchGeneration;

  // [carried tail | block]: the tail is the last text length - 1 bytes seen,
  // enough for any occurrence that ends in the new block to be whole.
  const std::size_t carry_max = text.size() - 1;
  ScratchBuffer scratch(carry_max + block_size);
  if (!scratch.data()) return 0;
  char* const block = scratch.data() + carry_max;

  const std::int64_t size = file.Size();
  std::size_t carried = 0;
  unsigned char before = 0;  // the file byte before the haystack, which may decide how its first one reads
  for (std::int64_t pos = 0; pos < size;) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(block_size), size - pos));
    const std::int64_t got = file.ReadAt(pos, block, want);
    if (got <= 0) break;  // a read error, or the file shrank under us
    const auto have = static_cast<std::size_t>(got);

    char* const haystack = block - carried;
    const std::size_t haystack_size = carried + have;
    if (finder.FoundIn(haystack, haystack_size, before)) return 1;
    // A short read ends the file: it shrank during the scan, or it reported
    // more than it holds (as files under /sys do). What was not delivered is
    // not there to be found.
    if (have < want) break;

    pos += static_cast<std::int64_t>(have);
    const std::size_t keep = std::min(carry_max, haystack_size);
    if (haystack_size > keep) before = static_cast<unsigned char>(haystack[haystack_size - keep - 1]);
    std::memmove(block - keep, haystack + haystack_size - keep, keep);
    carried = keep;
    if (StopRequested.load(std::memory_order_relaxed)) break;
    // A large file stays stoppable: events run between blocks at the walk's
    // pace. A stop or a newer search they bring ends the scan with no hit, and
    // nothing here is touched again (the text may have been replaced).
    if (DrainEventsWhenDue() && (StopRequested.load(std::memory_order_relaxed) || SearchGeneration != generation))
      return 0;
  }
  return 0;
}

}  // namespace vudo
