// Where the console finder's hits go: each printed as its full path, ended
// by a line feed or a NUL, collected and written in large pieces so that
// printing never limits the speed of a search. Its poll ends the search on
// Ctrl+C, and once the output cannot be written: nothing found later could be
// shown either.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

#include "search/engine.h"
#include "search/search_summary.h"

namespace vudo::cli {

class PrintingSink final : public SearchSink {
 public:
  // `interrupted` is set from the console's interrupt handler.
  PrintingSink(char path_end, const std::atomic<bool>& interrupted) : end_(path_end), interrupted_(interrupted) {}

  void Hit(std::string_view directory, std::string_view name) override;
  bool Poll() override;
  void Unreadable(const std::string& directory, const std::string& reason, bool permission_denied) override;
  void UnreadableFile(std::string_view path) override { tally_.NoteUnreadableFile(path); }

  std::size_t Printed() const { return printed_; }
  // What was found and what could not be read, so far.
  SearchTally& Tally() { return tally_; }
  // Writes out what is still buffered. False once any write has failed (a
  // full disk, a closed pipe); the reason is in OutputError().
  bool Flush();
  const std::string& OutputError() const { return error_; }

 private:
  const char end_;
  const std::atomic<bool>& interrupted_;
  std::string out_;
  std::size_t printed_ = 0;
  std::string error_;
  SearchTally tally_;
};

}  // namespace vudo::cli
