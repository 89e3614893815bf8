#include "cli/printing_sink.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vudo::cli {
namespace {
constexpr std::size_t kFlushAt = 1 << 16;
}

void PrintingSink::Hit(std::string_view directory, std::string_view name) {
  // A path is printed whole or not at all, also when memory runs out halfway.
  const std::size_t before = out_.size();
  try {
    out_.append(directory).append(name).append(1, end_);
  } catch (...) {
    out_.resize(before);
    throw;
  }
  ++printed_;
  ++tally_.files;
  if (out_.size() >= kFlushAt) Flush();
}

bool PrintingSink::Poll() { return interrupted_.load(std::memory_order_relaxed) || !error_.empty(); }

void PrintingSink::Unreadable(const std::string& directory, const std::string& reason, bool permission_denied) {
  tally_.NoteUnreadableFolder(directory);
  // A folder closed to this user is what the user expects to be passed over;
  // anything else is worth a line.
  if (permission_denied) return;
  std::fprintf(stderr, "vudo-find: cannot read directory '%s': %s\n", directory.c_str(), reason.c_str());
}

bool PrintingSink::Flush() {
  if (!out_.empty() && error_.empty()) {
    errno = 0;
    if (std::fwrite(out_.data(), 1, out_.size(), stdout) != out_.size() || std::fflush(stdout) != 0)
      error_ = errno ? std::strerror(errno) : "write failed";
  }
  out_.clear();
  return error_.empty();
}

}  // namespace vudo::cli
