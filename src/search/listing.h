// A directory's listing, read whole: what the workers reading ahead of the
// walk hand it (read_ahead.h), and what the walk reads itself where none did.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/directory.h"

namespace vudo {

struct ListedEntry {
  std::string name;
  platform::EntryKind kind;
  // What a worker already queued for the entry, when it listed the directory:
  // a matching file's scan, a subdirectory's listing. Its ticket, or 0.
  std::uint32_t ticket = 0;
  // Whether a file's name fits the search's pattern, where a worker matched it.
  enum Match : std::uint8_t { kUnmatched, kMatches, kFails } match = kUnmatched;
};

using SharedDirectory = std::shared_ptr<const platform::DirectoryHandle>;

struct Listing {
  bool opened = false;
  bool permission_denied = false;
  std::string error;  // the platform's reason when it did not open
  std::vector<ListedEntry> entries;  // without "." and ".."
  // The directory held open for its files' scans, where it was asked for
  // and few enough are held; shared with the scans queued for them.
  SharedDirectory directory;
};

// Directories held open for the scans of their files, at most; past it a
// listing holds none and its files open by their paths.
inline constexpr int kHeldDirectories = 64;

inline bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Reads the listing, asking `go_on` before every entry: false leaves it short
// (a walk that ended wants no more of it).
template <class GoOn>
void ReadListingWhile(const std::string& directory, Listing& listing, bool hold, GoOn go_on) {
  listing = Listing{};
  platform::DirectoryReader reader;
  listing.opened = reader.Open(directory);
  if (!listing.opened) {
    listing.permission_denied = reader.PermissionDenied();
    listing.error = reader.ErrorText();
    return;
  }
  platform::DirectoryEntry entry;
  while (go_on() && reader.Next(entry))
    if (!IsDotOrDotDot(entry.name)) listing.entries.push_back({entry.name, entry.kind});
  if (hold && platform::DirectoryHandle::OpenCount() < kHeldDirectories) {
    auto held = std::make_shared<const platform::DirectoryHandle>(reader);
    if (held->Held()) listing.directory = std::move(held);
  }
}

// Reads a directory whole (`directory` ends in a separator), holding it open
// for the scans of its files when `hold` is set.
inline void ReadListing(const std::string& directory, Listing& listing, bool hold = false) {
  ReadListingWhile(directory, listing, hold, [] { return true; });
}

}  // namespace vudo
