// A directory's listing, read a piece at a time: what the workers reading
// ahead of the walk hand it (read_ahead.h), and what the walk reads itself
// where none did. A piece holds at most `listing_piece` entries, so a
// directory of a million files costs the memory of a piece; past it the
// directory stays open in the listing (`rest`) until the next piece is read.
// The names sit one after the other in one buffer, and an entry beside them
// is twelve bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/directory.h"

namespace vudo {

struct ListedEntry {
  std::uint32_t name;  // where its name starts in the listing's names
  // What was asked for it ahead of the walk (read_ahead.h): a matching
  // file's scan, a subdirectory's listing. Its ticket, or 0.
  std::uint32_t ticket;
  platform::EntryKind kind;
  // Whether a file's name fits the search's pattern, where it was matched
  // already.
  enum Match : std::uint8_t { kUnmatched, kMatches, kFails } match;
};

using SharedDirectory = std::shared_ptr<const platform::DirectoryHandle>;

// Entries in a piece, at most; a test may set fewer (and never during a
// search). A piece of this size costs a few hundred KiB, and the reading of
// one is short enough that a stop is never kept waiting for it.
inline constexpr std::size_t kListingPiece = 8192;
inline std::size_t listing_piece = kListingPiece;
// A listing read in one piece, however long: for the walk below the levels
// it keeps open, which must close each directory before it descends.
inline constexpr std::size_t kWholeListing = SIZE_MAX;
// Levels below which a directory may stay open while its subdirectories are
// walked. Deeper down, one open directory per level would run out of file
// handles in a tree thousands of levels deep (1,024 is a common limit), so a
// deep directory is read whole and closed before the walk descends.
inline constexpr int kLevelsKeptOpen = 32;
// The piece to read of a directory `depth` levels below its start folder.
inline std::size_t PieceAt(std::size_t depth) {
  return depth < static_cast<std::size_t>(kLevelsKeptOpen) ? listing_piece : kWholeListing;
}

struct Listing {
  bool opened = false;
  bool permission_denied = false;
  std::string error;  // the platform's reason when it did not open
  std::uint32_t first = 0;  // the index in its directory of entries[0]
  std::vector<ListedEntry> entries;  // without "." and ".."
  std::string names;  // each name ends in a NUL
  // The directory, open while pieces of it are still to be read.
  std::unique_ptr<platform::DirectoryReader> rest;
  // The directory held open for its files' scans, where it was asked for
  // and few enough are held; shared with the scans queued for them.
  SharedDirectory directory;

  const char* Name(const ListedEntry& entry) const { return names.data() + entry.name; }
  void Add(const char* name, std::size_t length, platform::EntryKind kind) {
    entries.push_back({static_cast<std::uint32_t>(names.size()), 0, kind, ListedEntry::kUnmatched});
    names.append(name, length + 1);
  }
  std::size_t NameLength(const ListedEntry& entry) const { return std::strlen(Name(entry)); }
  bool More() const { return rest != nullptr; }
};

// Directories held open for the scans of their files, at most; past it a
// listing holds none and its files open by their paths.
inline constexpr int kHeldDirectories = 64;

inline bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Opens `directory` (ending in a separator) for a listing read a piece at a
// time, holding it for the scans of its files when `hold` is set. False when
// the platform refuses, with its reason in the listing.
inline bool OpenForListing(const std::string& directory, Listing& listing, bool hold) {
  listing = Listing{};
  listing.rest = std::make_unique<platform::DirectoryReader>();
  listing.opened = listing.rest->Open(directory);
  if (!listing.opened) {
    listing.permission_denied = listing.rest->PermissionDenied();
    listing.error = listing.rest->ErrorText();
    listing.rest.reset();
    return false;
  }
  if (hold && platform::DirectoryHandle::OpenCount() < kHeldDirectories) {
    auto held = std::make_shared<const platform::DirectoryHandle>(*listing.rest);
    if (held->Held()) listing.directory = std::move(held);
  }
  return true;
}

// Reads the next piece of at most `most` entries in place of the last one,
// asking `go_on` before every entry: false leaves the piece short (a walk
// that ended wants no more of it). The directory is closed at its end.
template <class GoOn>
void ReadPiece(Listing& listing, std::size_t most, GoOn go_on) {
  listing.first += static_cast<std::uint32_t>(listing.entries.size());
  listing.entries.clear();
  listing.names.clear();
  if (!listing.rest) return;
  platform::DirectoryEntry entry;
  while (listing.entries.size() < most && go_on()) {
    if (!listing.rest->Next(entry)) {
      listing.rest.reset();
      return;
    }
    if (!IsDotOrDotDot(entry.name)) listing.Add(entry.name, std::strlen(entry.name), entry.kind);
  }
}

// Marks what the walk will want of a piece, asking `go_on` before every
// entry: with `match_files`, whether each file's name fits (`fits`, given
// its name); and the subdirectories the walk passes over (`skips`, given
// the name), as entries of no kind.
template <class Fits, class Skips, class GoOn>
void MarkEntries(Listing& listing, bool match_files, Fits fits, Skips skips, GoOn go_on) {
  for (ListedEntry& entry : listing.entries) {
    if (!go_on()) return;
    if (entry.kind == platform::EntryKind::kFile) {
      if (match_files && entry.match == ListedEntry::kUnmatched)
        entry.match = fits(listing.Name(entry)) ? ListedEntry::kMatches : ListedEntry::kFails;
    } else if (entry.kind == platform::EntryKind::kDirectory && skips(listing.Name(entry))) {
      entry.kind = platform::EntryKind::kOther;
    }
  }
}

}  // namespace vudo
