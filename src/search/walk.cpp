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
#include "search/scan_file.h"
#include "search/search_run.h"
#include "search/start_folders.h"

namespace vudo {
namespace {

class Walk {
 public:
  // The folders `start` skips are passed over wherever the walk meets them.
  Walk(SearchRun& run, const StartFolders* start = nullptr)
      : run_(run), start_(start && !start->skipped.empty() ? start : nullptr) {}

  // `path` holds the directory, ending in a separator. Entries are appended
  // to it and cut off again, so the whole walk shares one buffer.
  void Into(std::string& path, int depth);
  // Every start folder with workers reading ahead.
  void AheadFrom(const std::vector<std::string>& folders);
  // A file of `directory` (ending in a separator, held open where `held` is
  // given): its name, then its content when the search has a text; a hit
  // goes to the sink.
  void TestFile(std::string_view directory, std::string_view name, const platform::DirectoryHandle* held);
  // Start folders the walk found it could not list.
  std::size_t Unopened() const { return unopened_; }

 private:
  bool Visit(std::string& path, std::size_t length, const char* name, platform::EntryKind kind, int depth,
             const platform::DirectoryHandle* held);
  // The same entries in the same order as Into, with workers reading ahead.
  void AheadInto(read_ahead::Directory& directory, int depth);
  // Whether the subdirectory `path` was walked already, as a start folder.
  bool Skips(std::string_view path) const { return start_ && start_->Skips(path, run_.Request().rule); }

  SearchRun& run_;
  const StartFolders* start_;  // none when it skips no folder
  std::size_t unopened_ = 0;
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
  Listing listing;
  if (!OpenForListing(path, listing, false)) {
    if (depth == 0) ++unopened_;
    run_.Unreadable(path, listing.error, listing.permission_denied);
    return;
  }
  const std::size_t length = path.size();
  if (depth < kLevelsKeptOpen) {
    platform::DirectoryReader& reader = *listing.rest;
    // The files are opened by their names in the directory open here.
    const platform::DirectoryHandle held = run_.Scans() ? platform::DirectoryHandle(reader) : platform::DirectoryHandle();
    platform::DirectoryEntry entry;
    while (reader.Next(entry))
      if (!IsDotOrDotDot(entry.name) && !Visit(path, length, entry.name, entry.kind, depth, &held)) return;
    return;
  }
  ReadPiece(listing, kWholeListing, [this] { return run_.GoesOn(); });
  listing.rest.reset();
  if (run_.Ended()) return;
  for (const ListedEntry& entry : listing.entries)
    if (!Visit(path, length, listing.Name(entry), entry.kind, depth, nullptr)) return;
}

// Each file tested as TestFile does, and the same poll after every entry;
// only the listings and the verdicts may have been read by a worker.
void Walk::AheadInto(read_ahead::Directory& directory, int depth) {
  const Listing& listing = directory.Entries();
  if (!listing.opened) {
    if (depth == 0) ++unopened_;
    run_.Unreadable(directory.Path(), listing.error, listing.permission_denied);
    return;
  }
  const bool scans = run_.Scans();
  do {
    // Past its last matching file, the directory need not be held for the
    // walk's scans.
    std::size_t last_scan = 0;
    if (scans && listing.directory && !listing.More())
      for (std::size_t i = 0; i < listing.entries.size(); ++i)
        if (listing.entries[i].match != ListedEntry::kFails && listing.entries[i].kind == platform::EntryKind::kFile)
          last_scan = i;
    for (std::size_t i = 0; i < listing.entries.size(); ++i) {
      const ListedEntry& entry = listing.entries[i];
      const char* name = listing.Name(entry);
      if (entry.kind == platform::EntryKind::kFile) {
        if (entry.match == ListedEntry::kMatches || (entry.match == ListedEntry::kUnmatched && run_.NameFits(name))) {
          int scanned = 1;
          if (scans && !read_ahead::TakeVerdict(run_, directory, i, scanned)) return;
          if (scanned == kScanUnreadable) run_.Verdict(scanned, file_path_.assign(directory.Path()).append(name));
          if (scanned == 1) run_.Hit(directory.Path(), name);
        }
      } else if (entry.kind == platform::EntryKind::kDirectory) {
        if (i >= last_scan && listing.directory) directory.LetGoOfHeld();
        read_ahead::Directory below;
        if (!read_ahead::Enter(run_, directory, i, below)) return;
        AheadInto(below, depth + 1);
      }
      if (run_.MustEnd()) return;
    }
  } while (listing.More() && directory.NextPiece(run_));
}

void Walk::AheadFrom(const std::vector<std::string>& folders) {
  read_ahead::Directory roots;
  read_ahead::OpenStart(roots, folders);
  for (std::size_t i = 0; i < folders.size(); ++i) {
    read_ahead::Directory start;
    // A start folder whose listing the walk did not see is no folder that
    // could not be listed: the search ended before.
    if (!read_ahead::Enter(run_, roots, i, start)) return;
    AheadInto(start, 0);
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
  ReadAheadWalk(SearchRun& run, read_ahead::Workers workers, const StartFolders& start) : run_(run) {
    try {
      read_ahead::BeginWalk(run, workers, start);
    } catch (...) {
      read_ahead::EndWalk(nullptr);
      throw;
    }
  }
  ~ReadAheadWalk() { read_ahead::EndWalk(&run_); }
  ReadAheadWalk(const ReadAheadWalk&) = delete;
  ReadAheadWalk& operator=(const ReadAheadWalk&) = delete;

 private:
  SearchRun& run_;
};

SearchOutcome RunSearch(const SearchRequest& request, SearchSink& sink) {
  SearchOutcome outcome;
  outcome.start_listed = true;
  try {
    SearchRun run(request, sink);
    const StartFolders start = SplitStartFolders(request.directory, request.rule);
    Walk walk(run, &start);
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
    // Not one of the start folders could be listed: the walk came to each.
    outcome.start_listed = walk.Unopened() < start.folders.size();
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
    Walk(run).TestFile(directory, name, nullptr);
  } catch (const std::bad_alloc&) {
  }
}

}  // namespace vudo
