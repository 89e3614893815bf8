// The walk behind RunSearch (engine.h): each start folder in turn
// (start_folders.h), depth first, each directory's entries in the order the
// platform lists them, every file tested, the sink polled after every entry.
// Without workers the walk reads everything itself; with them (read_ahead.h)
// it takes what they read ahead, in the same order.
#include <new>
#include <string>
#include <vector>

#include "platform/directory.h"
#include "platform/path.h"
#include "search/engine.h"
#include "search/listing.h"
#include "search/read_ahead.h"
#include "search/search_run.h"
#include "search/start_folders.h"

namespace vudo {
namespace {

// Levels below which a directory stays open while its subdirectories are
// walked. Deeper down, one open directory per level would run out of file
// handles in a tree thousands of levels deep (1,024 is a common limit), so a
// deep directory is read whole and closed before the walk descends.
constexpr int kLevelsKeptOpen = 32;

class Walk {
 public:
  // `start_listed` is set once a start folder could be listed. The folders
  // `start` skips are passed over wherever the walk meets them.
  Walk(SearchRun& run, bool& start_listed, const StartFolders* start = nullptr)
      : run_(run), start_listed_(start_listed), start_(start && !start->skipped.empty() ? start : nullptr) {}

  // `path` holds the directory, ending in a separator. Entries are appended
  // to it and cut off again, so the whole walk shares one buffer.
  void Into(std::string& path, int depth);
  // The same with workers reading ahead; `listing` is the directory's, read
  // whole.
  void AheadInto(std::string& path, Listing& listing, int depth, read_ahead::Place& place);
  // Every start folder with workers reading ahead.
  void AheadFrom(const std::vector<std::string>& folders);
  // A file of `directory` (ending in a separator, held open where `held` is
  // given): its name, then its content when the search has a text; a hit
  // goes to the sink.
  void TestFile(std::string_view directory, std::string_view name, const platform::DirectoryHandle* held);

 private:
  bool Visit(std::string& path, std::size_t length, const char* name, platform::EntryKind kind, int depth,
             const platform::DirectoryHandle* held);
  // Whether the subdirectory `path` was walked already, as a start folder.
  bool Skips(std::string_view path) const { return start_ && start_->Skips(path, run_.Request().rule); }

  SearchRun& run_;
  bool& start_listed_;
  const StartFolders* start_;  // none when it skips no folder
  std::string file_path_;  // reused for every file, so testing one allocates nothing
};

void Walk::TestFile(std::string_view directory, std::string_view name, const platform::DirectoryHandle* held) {
  if (!run_.NameFits(name)) return;
  if (run_.Scans()) {
    file_path_.assign(directory).append(name);
    if (!run_.Scan(file_path_, held)) return;
  }
  run_.Hit(directory, name);
}

// Handles one entry of the directory `path` (length `length`, ending in a
// separator), then polls. False when the walk must end.
bool Walk::Visit(std::string& path, std::size_t length, const char* name, platform::EntryKind kind, int depth,
                 const platform::DirectoryHandle* held) {
  if (kind == platform::EntryKind::kFile) {
    TestFile(path, name, held);
  } else if (kind == platform::EntryKind::kDirectory) {
    path += name;
    path += platform::kSeparator;
    if (!Skips(path)) Into(path, depth + 1);
    path.resize(length);
  }
  return !run_.MustEnd();
}

void Walk::Into(std::string& path, int depth) {
  platform::DirectoryReader reader;
  const bool opened = reader.Open(path);
  if (depth == 0 && opened) start_listed_ = true;
  if (!opened) {
    run_.Unreadable(path, reader.ErrorText(), reader.PermissionDenied());
    return;
  }
  const std::size_t length = path.size();
  platform::DirectoryEntry entry;
  if (depth < kLevelsKeptOpen) {
    // The files are opened by their names in the directory open here.
    const platform::DirectoryHandle held = run_.Scans() ? platform::DirectoryHandle(reader) : platform::DirectoryHandle();
    while (reader.Next(entry))
      if (!IsDotOrDotDot(entry.name) && !Visit(path, length, entry.name, entry.kind, depth, &held)) return;
    return;
  }
  struct Listed {
    std::string name;
    platform::EntryKind kind;
  };
  std::vector<Listed> listed;
  while (run_.GoesOn() && reader.Next(entry))
    if (!IsDotOrDotDot(entry.name)) listed.push_back({entry.name, entry.kind});
  reader.Close();
  if (run_.Ended()) return;
  for (const Listed& item : listed)
    if (!Visit(path, length, item.name.c_str(), item.kind, depth, nullptr)) return;
}

// The same entries in the same order as Into, each tested as TestFile does,
// and the same poll after every entry; only the listings and the verdicts may
// have been read by a worker.
void Walk::AheadInto(std::string& path, Listing& listing, int depth, read_ahead::Place& place) {
  if (run_.Ended()) return;  // the listing was cut short
  if (depth == 0 && listing.opened) start_listed_ = true;
  if (!listing.opened) {
    run_.Unreadable(path, listing.error, listing.permission_denied);
    return;
  }
  const std::size_t length = path.size();
  const bool scans = run_.Scans();
  // What the walk will want next, asked for at once, in its order: the
  // verdicts of the matching files and the listings of the subdirectories.
  std::vector<char> matched(listing.entries.size(), 0);
  std::vector<read_ahead::Ticket> tickets(listing.entries.size(), 0);
  std::vector<read_ahead::Request> requests;
  std::vector<std::size_t> asked;  // the entry each request is for
  std::size_t last_scan = 0;  // past it the directory need not be held for the walk
  // Past the room the workers have, a request would only be refused: its path
  // is not built.
  const std::size_t room = read_ahead::Room();
  for (std::size_t i = 0; i < listing.entries.size(); ++i) {
    if (!run_.GoesOn()) return;
    ListedEntry& entry = listing.entries[i];
    if (entry.kind == platform::EntryKind::kFile) {
      if (entry.match != ListedEntry::kUnmatched) matched[i] = entry.match == ListedEntry::kMatches;
      else matched[i] = run_.NameFits(entry.name);
      if (!matched[i] || !scans) continue;
      last_scan = i;
      if ((tickets[i] = entry.ticket) || requests.size() >= room) continue;
      requests.push_back({false, path + entry.name, static_cast<std::uint32_t>(i), listing.directory});
    } else if (entry.kind == platform::EntryKind::kDirectory) {
      // Passed over as the entries that are neither; no worker queued it
      // either (read_ahead.cpp).
      if (start_ && Skips(path + entry.name + platform::kSeparator)) {
        entry.kind = platform::EntryKind::kOther;
        continue;
      }
      if ((tickets[i] = entry.ticket) || requests.size() >= room) continue;
      requests.push_back({true, path + entry.name + platform::kSeparator, static_cast<std::uint32_t>(i), {}});
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
      bool found = true;
      if (scans) {
        int scanned = 0;
        if (!tickets[i]) found = run_.Scan(path + entry.name, listing.directory.get());
        else if (!read_ahead::TakeVerdict(run_, tickets[i], scanned)) return;
        else found = run_.Verdict(scanned, path + entry.name);
      }
      if (found) run_.Hit(path, entry.name);
    } else if (entry.kind == platform::EntryKind::kDirectory) {
      path += entry.name;
      path += platform::kSeparator;
      Listing below;
      if (!tickets[i]) run_.List(path, below, scans);
      else if (!read_ahead::TakeListing(run_, tickets[i], below)) return;
      place.push_back(static_cast<std::uint32_t>(i));
      AheadInto(path, below, depth + 1, place);
      place.pop_back();
      path.resize(length);
    }
    // Held no longer than its files need it, so a deep walk does not hold one
    // directory per level.
    if (i == last_scan) listing.directory.reset();
    if (run_.MustEnd()) return;
  }
}

// A single folder is listed here at once, as it always was. Of several, the
// later ones' listings are asked for ahead too, so the workers go on with the
// next folder while the walk finishes one; each folder's places begin with
// its index, so the workers take the folders in their order.
void Walk::AheadFrom(const std::vector<std::string>& folders) {
  std::vector<read_ahead::Request> roots;
  for (std::size_t i = 1; i < folders.size(); ++i)
    roots.push_back({true, WalkStartPath(folders[i]), static_cast<std::uint32_t>(i), {}});
  read_ahead::AskAhead({}, roots);
  read_ahead::Place place;
  for (std::size_t i = 0; i < folders.size(); ++i) {
    std::string path = WalkStartPath(folders[i]);
    Listing listing;
    const read_ahead::Ticket ticket = i == 0 ? 0 : roots[i - 1].ticket;
    if (!ticket) run_.List(path, listing, run_.Scans());
    else if (!read_ahead::TakeListing(run_, ticket, listing)) return;
    if (folders.size() > 1) place.assign(1, static_cast<std::uint32_t>(i));
    AheadInto(path, listing, 0, place);
    if (run_.Ended()) return;
  }
}

}  // namespace

std::string WalkStartPath(std::string_view directory) {
  if (directory.empty()) return std::string(platform::kEmptyDirectoryMeans);
  std::string path(directory);
  if (!platform::IsSeparator(path.back())) path += platform::kSeparator;
  return path;
}

// Ends the read-ahead however the walk ends: before the caller goes on (a
// newer search among what it may run next), the workers let go.
class ReadAheadWalk {
 public:
  ReadAheadWalk(const SearchRun& run, read_ahead::Workers workers, const StartFolders& start) {
    try {
      read_ahead::BeginWalk(run, workers, start);
    } catch (...) {
      read_ahead::EndWalk();
      throw;
    }
  }
  ~ReadAheadWalk() { read_ahead::EndWalk(); }
  ReadAheadWalk(const ReadAheadWalk&) = delete;
  ReadAheadWalk& operator=(const ReadAheadWalk&) = delete;
};

SearchOutcome RunSearch(const SearchRequest& request, SearchSink& sink) {
  SearchOutcome outcome;
  outcome.start_listed = true;
  try {
    SearchRun run(request, sink);
    const StartFolders start = SplitStartFolders(request.directory, request.rule);
    outcome.start_listed = false;  // until one is
    Walk walk(run, outcome.start_listed, &start);
    const read_ahead::Workers workers = read_ahead::WorkersFor(request.jobs, request.most_jobs);
    if (workers.first < 2) {
      for (const std::string& folder : start.folders) {
        std::string path = WalkStartPath(folder);
        walk.Into(path, 0);
        if (run.Ended()) break;
      }
    } else {
      const ReadAheadWalk ahead(run, workers, start);
      walk.AheadFrom(start.folders);
    }
    outcome.ended_by_poll = run.Ended();
  } catch (const std::bad_alloc&) {
    // Everything the walk held was let go on the way here.
    outcome.out_of_memory = true;
  }
  return outcome;
}

void TestOneFile(const SearchRequest& request, std::string_view directory, std::string_view name, SearchSink& sink) {
  try {
    SearchRun run(request, sink);
    bool start_listed = true;
    Walk(run, start_listed).TestFile(directory, name, nullptr);
  } catch (const std::bad_alloc&) {
  }
}

}  // namespace vudo
