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

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#endif

namespace vudo::platform {

enum class EntryKind { kFile, kDirectory, kOther };

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

 private:
  int error_ = 0;
#ifdef _WIN32
  HANDLE find_ = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW data_{};
  std::string name_;  // data_'s name in the active code page
  bool pending_ = false;  // data_ holds an entry not yet returned
#else
  DIR* dir_ = nullptr;
#endif
};

}  // namespace vudo::platform
