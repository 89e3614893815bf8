// Directory enumeration: the one place that knows how the platform lists a
// directory. An entry is a file, a directory to descend into, or something the
// search passes over.
//
// Directory links are never descended into and never listed (symbolic links
// and junctions to directories), so a link loop cannot make a walk endless or
// list a file twice. A link to a file is a file. On POSIX, entries that are not
// regular files (FIFOs, sockets, devices, dangling links) are passed over: they
// have no content to search and opening a FIFO would block.
#pragma once

#include <cstddef>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#endif

namespace vudo::platform {

enum class EntryKind : unsigned char { kFile, kDirectory, kOther };

struct DirectoryEntry {
  const char* name = nullptr;  // valid until the next call to Next()
  EntryKind kind = EntryKind::kOther;
};

class DirectoryReader {
 public:
  DirectoryReader() = default;
  ~DirectoryReader();
  DirectoryReader(const DirectoryReader&) = delete;
  DirectoryReader& operator=(const DirectoryReader&) = delete;

  // `directory` ends in a separator. False when the platform refuses to
  // enumerate it (missing, access denied, path too long, ...); Error() then
  // says why. An empty directory opens (a drive root has no "." and "..").
  bool Open(const std::string& directory);
  // False at the end of the directory. "." and ".." are returned like any
  // other entry; skipping them is the caller's rule.
  bool Next(DirectoryEntry& entry);
  void Close();

  // Why the last Open failed: the platform's error code and its text, and
  // whether it was for want of permission.
  int Error() const { return error_; }
  bool PermissionDenied() const;
  std::string ErrorText() const;

  // Directories open at this moment, in the whole process (for tests that
  // watch how many handles a walk holds).
  static int OpenCount();
  // Entries Next has returned in the whole process, each reader's added as it
  // closes (for tests that count how much a search read).
  static std::size_t EntriesRead();

 private:
  int error_ = 0;
  std::size_t entries_read_ = 0;  // since Open; kept per reader, so that Next shares nothing between threads
#ifdef _WIN32
  HANDLE find_ = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW data_{};
  std::string name_;  // data_'s name in the active code page
  bool pending_ = false;  // data_ holds an entry not yet returned
#else
  friend class DirectoryHandle;
  DIR* dir_ = nullptr;
#endif
};

// A directory held open so that its files can be opened by their names
// alone (openat on POSIX): the system then does not look up every directory
// of the path again for each file. On Windows there is no such handle: files
// open by their full paths. A handle holds a file descriptor, so callers keep
// only a few at once (OpenCount tells how many).
class DirectoryHandle {
 public:
  DirectoryHandle() = default;  // none
  // The directory the reader has open, or none when it has none.
  explicit DirectoryHandle(const DirectoryReader& reader);
  ~DirectoryHandle();
  DirectoryHandle(const DirectoryHandle&) = delete;
  DirectoryHandle& operator=(const DirectoryHandle&) = delete;

  bool Held() const;
  // Handles held at this moment, in the whole process.
  static int OpenCount();

 private:
  friend class FileReader;
#ifndef _WIN32
  int fd_ = -1;
#endif
};

namespace testing {
// From now on every directory of that name refuses to be listed, as one that
// cannot be read does; empty: none.
void RefuseDirectoriesNamed(const std::string& name);
// From now on every directory of that name takes `milliseconds` to open, as
// one whose first listing the system reads whole does; empty: none.
void SlowDirectoriesNamed(const std::string& name, unsigned milliseconds);
}  // namespace testing

}  // namespace vudo::platform
