#include "platform/file_store_faults.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/file.h"
#include "platform/file_store.h"

namespace vudo::platform {
namespace {

std::size_t write_budget = SIZE_MAX;
bool fail_next_replace = false;
std::int64_t extra_file_size = 0;

}  // namespace

namespace testing {
void FailWritesAfter(std::size_t bytes) { write_budget = bytes; }
void FailNextReplace() { fail_next_replace = true; }
void AddToNextFileSize(std::int64_t extra) { extra_file_size = extra; }
}  // namespace testing

namespace faults {
std::size_t WriteAllowance(std::size_t wanted) { return std::min(wanted, write_budget); }
void Spend(std::size_t written) {
  if (write_budget != SIZE_MAX) write_budget -= std::min(written, write_budget);
}
bool TakeReplaceFailure() { return std::exchange(fail_next_replace, false); }
std::int64_t TakeExtraFileSize() { return std::exchange(extra_file_size, 0); }
}  // namespace faults

}  // namespace vudo::platform
