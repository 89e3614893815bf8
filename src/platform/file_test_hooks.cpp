#include "platform/file_test_hooks.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/file.h"
#include "platform/file_store.h"

namespace vudo::platform {
namespace {

std::size_t write_budget = SIZE_MAX;
bool fail_next_replace = false;
// Read by every FileReader::Open, which the engine's workers run too.
std::atomic<std::int64_t> extra_file_size{0};
std::string refused_directory_name;  // set between searches only
std::string slow_directory_name;     // the same
unsigned slow_directory_ms = 0;

// Whether `directory` (ending in a separator) is named `name`.
bool Named(const std::string& directory, const std::string& name) {
  if (name.empty() || directory.size() < 2) return false;
  const std::size_t end = directory.size() - 1;  // the separator
  const std::size_t start = directory.find_last_of("\\/", end - 1) + 1;
  return directory.compare(start, end - start, name) == 0;
}

}  // namespace

namespace testing {
void FailWritesAfter(std::size_t bytes) { write_budget = bytes; }
void FailNextReplace() { fail_next_replace = true; }
void AddToNextFileSize(std::int64_t extra) { extra_file_size = extra; }
void RefuseDirectoriesNamed(const std::string& name) { refused_directory_name = name; }
void SlowDirectoriesNamed(const std::string& name, unsigned milliseconds) {
  slow_directory_name = name;
  slow_directory_ms = milliseconds;
}
}  // namespace testing

namespace test_hooks {
std::size_t WriteAllowance(std::size_t wanted) { return std::min(wanted, write_budget); }
void Spend(std::size_t written) {
  if (write_budget != SIZE_MAX) write_budget -= std::min(written, write_budget);
}
bool TakeReplaceFailure() { return std::exchange(fail_next_replace, false); }
std::int64_t TakeExtraFileSize() {
  // Nearly always 0: a plain load keeps the per-file cost at nothing.
  if (extra_file_size.load(std::memory_order_relaxed) == 0) return 0;
  return extra_file_size.exchange(0);
}

namespace {
std::atomic<int> open_files{0};
}  // namespace

void CountOpenFile(int change) { open_files.fetch_add(change, std::memory_order_relaxed); }
int OpenFiles() { return open_files.load(); }

namespace {
std::atomic<std::size_t> entries_read{0};
}  // namespace

void CountEntriesRead(std::size_t entries) { entries_read.fetch_add(entries, std::memory_order_relaxed); }
std::size_t EntriesRead() { return entries_read.load(); }

bool DirectoryRefused(const std::string& directory) { return Named(directory, refused_directory_name); }
void WaitIfSlow(const std::string& directory) {
  if (Named(directory, slow_directory_name))
    std::this_thread::sleep_for(std::chrono::milliseconds(slow_directory_ms));
}
}  // namespace test_hooks

}  // namespace vudo::platform
