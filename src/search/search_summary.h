// How a search went, counted as it runs, and the line that says it: the
// window's status text and the console finder's --stats.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vudo {

struct SearchTally {
  std::uint64_t files = 0;  // hits
  std::uint64_t unreadable_folders = 0;
  std::uint64_t unreadable_files = 0;
  std::vector<std::string> first_unreadable;  // the first few, folders and files, as met
  std::uint32_t milliseconds = 0;             // from start to end
  bool running = false;
  bool stopped = false;
  bool start_listed = true;

  void NoteUnreadableFolder(std::string_view path);
  void NoteUnreadableFile(std::string_view path);
};

// How many of the unreadable ones are named.
inline constexpr std::size_t kNamedUnreadable = 5;

// "Searching… 12,345 files" while it runs; "1,332 files found in 4.8 s",
// "Stopped: 213 files found" or "No files found." once it has ended, with
// ", 3 folders could not be read" (and files) after it; nothing when the
// start folder could not be listed. Numbers as the user's locale writes them.
std::string SummaryText(const SearchTally& tally);
// The summary and, one to a line, the first of what could not be read.
std::string SummaryDetails(const SearchTally& tally);

}  // namespace vudo
