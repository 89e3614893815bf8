#include "search/scanner.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "platform/file.h"
#include "search/search_state.h"
#include "search/text_finder.h"

namespace vudo {

int FileContainsText(const std::string& path, std::string_view text) {
  return FileContainsTextInBlocks(path, text, kScanBlockSize);
}

int FileContainsTextInBlocks(const std::string& path, std::string_view text, std::size_t block_size) {
  platform::FileReader file;
  if (!file.Open(path)) return 0;
  if (text.empty()) return 1;  // an empty text occurs in every file
  const TextFinder finder(text);

  // [carried tail | block]: the tail is the last text length - 1 bytes seen,
  // enough for any occurrence that ends in the new block to be whole.
  const std::size_t carry_max = text.size() - 1;
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[carry_max + block_size]);
  if (!buffer) return 0;
  char* const block = buffer.get() + carry_max;

  const std::int64_t size = file.Size();
  std::size_t carried = 0;
  for (std::int64_t pos = 0; pos < size;) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(block_size), size - pos));
    const std::int64_t got = file.ReadAt(pos, block, want);
    if (got <= 0) break;  // a read error, or the file shrank under us
    // Bytes a short read did not deliver read as spaces.
    if (static_cast<std::size_t>(got) < want) std::memset(block + got, ' ', want - static_cast<std::size_t>(got));

    char* const haystack = block - carried;
    const std::size_t haystack_size = carried + want;
    if (finder.FoundIn(haystack, haystack_size)) return 1;

    pos += static_cast<std::int64_t>(want);
    const std::size_t keep = std::min(carry_max, haystack_size);
    std::memmove(block - keep, haystack + haystack_size - keep, keep);
    carried = keep;
    if (StopRequested.load(std::memory_order_relaxed)) break;
  }
  return 0;
}

}  // namespace vudo
