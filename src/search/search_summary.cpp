#include "search/search_summary.h"

#include "common/bytes.h"
#include "platform/locale_number.h"

namespace vudo {
namespace {

std::string Count(std::uint64_t n, const char* one, const char* many) {
  return platform::LocaleNumber(n) + " " + (n == 1 ? one : many);
}

void Note(std::vector<std::string>& named, std::string_view path) {
  if (named.size() < kNamedUnreadable) named.emplace_back(path);
}

}  // namespace

void SearchTally::NoteUnreadableFolder(std::string_view path) {
  ++unreadable_folders;
  Note(first_unreadable, path);
}

void SearchTally::NoteUnreadableFile(std::string_view path) {
  ++unreadable_files;
  Note(first_unreadable, path);
}

std::string SummaryText(const SearchTally& tally) {
  // The ellipsis has a form in UTF-8; a single-byte code page may lack it.
  if (tally.running) return std::string(Utf8Text() ? "Searching\xE2\x80\xA6 " : "Searching... ") + Count(tally.files, "file", "files");
  if (!tally.start_listed) return {};
  std::string text;
  if (tally.stopped) text = "Stopped: " + Count(tally.files, "file", "files") + " found";
  else if (tally.files == 0) text = "No files found";
  else text = Count(tally.files, "file", "files") + " found in " +
              platform::LocaleDecimal(tally.milliseconds / 1000.0, 1) + " s";
  if (tally.unreadable_folders > 0)
    text += ", " + Count(tally.unreadable_folders, "folder", "folders") + " could not be read";
  if (tally.unreadable_files > 0) text += ", " + Count(tally.unreadable_files, "file", "files") + " could not be read";
  if (!tally.stopped && tally.files == 0 && tally.unreadable_folders + tally.unreadable_files == 0) text += ".";
  return text;
}

std::string SummaryDetails(const SearchTally& tally) {
  std::string details = SummaryText(tally);
  if (details.empty() || tally.first_unreadable.empty()) return details;
  details += "\r\nCould not be read:";
  for (const std::string& path : tally.first_unreadable) details += "\r\n" + path;
  const std::uint64_t all = tally.unreadable_folders + tally.unreadable_files;
  if (all > tally.first_unreadable.size()) details += "\r\n(and " + platform::LocaleNumber(all - tally.first_unreadable.size()) + " more)";
  return details;
}

}  // namespace vudo
