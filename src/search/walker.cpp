#include "search/walker.h"

#include <vector>

#include "common/bytes.h"
#include "common/control_numbers.h"
#include "platform/directory.h"
#include "platform/path.h"
#include "search/event_pace.h"
#include "search/listing.h"
#include "search/matcher.h"
#include "search/read_ahead.h"
#include "search/scanner.h"
#include "search/search_state.h"
#include "ui/controls/control_seam.h"

namespace vudo {
namespace {

// Levels below which a directory stays open while its subdirectories are
// walked. Deeper down, one open directory per level would run out of file
// handles in a tree thousands of levels deep (1,024 is a common limit), so a
// deep directory is read whole and closed before the walk descends.
constexpr int kLevelsKeptOpen = 32;

HitSink hit_sink = nullptr;
bool start_listed = true;
UnreadableDirectoryHandler unreadable_handler = nullptr;

// A walk ends when a stop was requested, or when a newer search replaced the
// one it belongs to (a Start pressed while this walk was still unwinding).
bool WalkMustEnd(unsigned generation) {
  return StopRequested.load(std::memory_order_relaxed) != 0 || SearchGeneration != generation;
}

void WalkInto(std::string& path, unsigned generation, int depth);

// Handles one entry of the directory `path` (length `length`, ending in a
// separator), then pending events. False when the walk must end.
bool Visit(std::string& path, std::size_t length, const char* name, platform::EntryKind kind, unsigned generation,
           int depth, const platform::DirectoryHandle* held) {
  if (kind == platform::EntryKind::kFile) {
    TestFile(path, name, held);
  } else if (kind == platform::EntryKind::kDirectory) {
    path += name;
    path += platform::kSeparator;
    WalkInto(path, generation, depth + 1);
    path.resize(length);
  }
  if (WalkMustEnd(generation)) return false;
  // Events may stop this search or start a new one; ending right after them
  // keeps the old walk from adding rows after that.
  return !(DrainEventsWhenDue() && WalkMustEnd(generation));
}

// `path` holds the directory, ending in a separator. Entries are appended to
// it and cut off again, so the whole walk shares one buffer.
void WalkInto(std::string& path, unsigned generation, int depth) {
  platform::DirectoryReader reader;
  const bool opened = reader.Open(path);
  if (depth == 0) start_listed = opened;
  if (!opened) {
    if (unreadable_handler && !reader.PermissionDenied()) unreadable_handler(path, reader.ErrorText());
    return;
  }
  const std::size_t length = path.size();
  platform::DirectoryEntry entry;
  if (depth < kLevelsKeptOpen) {
    // The files are opened by their names in the directory open here.
    const platform::DirectoryHandle held =
        ContainsText.empty() ? platform::DirectoryHandle() : platform::DirectoryHandle(reader);
    while (reader.Next(entry))
      if (!IsDotOrDotDot(entry.name) && !Visit(path, length, entry.name, entry.kind, generation, depth, &held))
        return;
    return;
  }
  struct Listed {
    std::string name;
    platform::EntryKind kind;
  };
  std::vector<Listed> listed;
  while (reader.Next(entry))
    if (!IsDotOrDotDot(entry.name)) listed.push_back({entry.name, entry.kind});
  reader.Close();
  for (const Listed& item : listed)
    if (!Visit(path, length, item.name.c_str(), item.kind, generation, depth, nullptr)) return;
}

// A hit, as a row or to the sink.
void AddHit(std::string_view directory, std::string_view name) {
  if (hit_sink) {
    hit_sink(directory, name);
    return;
  }
  static std::string row;
  row.assign(name).append(1, '\n').append(directory);
  ControlItemAdd(kResultList, kAppend, row);
}

// The walk with workers reading ahead (read_ahead.h): the same entries in the
// same order, each tested as TestFile does, and the same checks after every
// entry; only the listings and the verdicts may have been read by a worker.
// `listing` is the directory `path`'s, read whole.
void WalkAheadInto(std::string& path, Listing& listing, unsigned generation, int depth, read_ahead::Place& place) {
  if (depth == 0) start_listed = listing.opened;
  if (!listing.opened) {
    if (unreadable_handler && !listing.permission_denied) unreadable_handler(path, listing.error);
    return;
  }
  const std::size_t length = path.size();
  const bool scans = !ContainsText.empty();
  // What the walk will want next, asked for at once, in its order: the
  // verdicts of the matching files and the listings of the subdirectories.
  static std::string lowered;
  std::vector<char> matched(listing.entries.size(), 0);
  std::vector<read_ahead::Ticket> tickets(listing.entries.size(), 0);
  std::vector<read_ahead::Request> requests;
  std::vector<std::size_t> asked;  // the entry each request is for
  std::size_t last_scan = 0;  // past it the directory need not be held for the walk
  for (std::size_t i = 0; i < listing.entries.size(); ++i) {
    ListedEntry& entry = listing.entries[i];
    if (entry.kind == platform::EntryKind::kFile) {
      if (entry.match != ListedEntry::kUnmatched) {
        matched[i] = entry.match == ListedEntry::kMatches;
      } else {
        LowerInto(entry.name, lowered);
        matched[i] = MatchName(lowered, NamePattern) != 0;
      }
      if (!matched[i] || !scans) continue;
      last_scan = i;
      if ((tickets[i] = entry.ticket)) continue;
      requests.push_back({false, path + entry.name, static_cast<std::uint32_t>(i), listing.directory});
    } else if (entry.kind == platform::EntryKind::kDirectory) {
      if ((tickets[i] = entry.ticket)) continue;
      requests.push_back({true, path + entry.name + platform::kSeparator, static_cast<std::uint32_t>(i)});
    } else {
      continue;
    }
    asked.push_back(i);
  }
  read_ahead::AskAhead(place, requests);
  for (std::size_t r = 0; r < requests.size(); ++r) tickets[asked[r]] = requests[r].ticket;
  for (std::size_t i = 0; i < listing.entries.size(); ++i) {
    const ListedEntry& entry = listing.entries[i];
    if (entry.kind == platform::EntryKind::kFile && matched[i]) {
      int found = 1;
      if (scans) {
        if (!tickets[i]) found = FileContainsText(path + entry.name, ContainsText, listing.directory.get());
        else if (!read_ahead::TakeVerdict(tickets[i], found)) return;
      }
      if (found && !WalkMustEnd(generation)) AddHit(path, entry.name);
    } else if (entry.kind == platform::EntryKind::kDirectory) {
      path += entry.name;
      path += platform::kSeparator;
      Listing below;
      if (!tickets[i]) ReadListing(path, below, scans);
      else if (!read_ahead::TakeListing(tickets[i], below)) return;
      place.push_back(static_cast<std::uint32_t>(i));
      WalkAheadInto(path, below, generation, depth + 1, place);
      place.pop_back();
      path.resize(length);
    }
    // Held no longer than its files need it, so a deep walk does not hold one
    // directory per level.
    if (i == last_scan) listing.directory.reset();
    if (WalkMustEnd(generation) || (DrainEventsWhenDue() && WalkMustEnd(generation))) return;
  }
}

}  // namespace

void SetHitSink(HitSink sink) { hit_sink = sink; }
bool StartDirectoryListed() { return start_listed; }
void SetUnreadableDirectoryHandler(UnreadableDirectoryHandler handler) { unreadable_handler = handler; }

std::string WalkStartPath(std::string_view directory) {
  if (directory.empty()) return std::string(platform::kEmptyDirectoryMeans);
  std::string path(directory);
  if (!platform::IsSeparator(path.back())) path += platform::kSeparator;
  return path;
}

void WalkDirectory(std::string_view directory) {
  std::string path = WalkStartPath(directory);
  if (ReadAheadWorkers() < 2) {
    WalkInto(path, SearchGeneration, 0);
    return;
  }
  read_ahead::BeginWalk(NamePattern, ContainsText);
  Listing listing;
  ReadListing(path, listing, !ContainsText.empty());
  read_ahead::Place place;
  WalkAheadInto(path, listing, SearchGeneration, 0, place);
  // Before anything else runs (a newer search among it), the workers let go.
  read_ahead::EndWalk();
}

void TestFile(std::string_view directory, std::string_view name, const platform::DirectoryHandle* held) {
  // Buffers reused for every file of a walk, so testing a file allocates
  // nothing. Events may run inside the content scan, but a search started
  // there waits until this walk has unwound (search_control.cpp), so no other
  // TestFile runs while these are in use.
  static std::string lowered, buffer;
  LowerInto(name, lowered);
  if (!MatchName(lowered, NamePattern)) return;
  if (!ContainsText.empty()) {
    buffer.assign(directory).append(name);
    if (!FileContainsText(buffer, ContainsText, held)) return;
  }
  AddHit(directory, name);
}

}  // namespace vudo
