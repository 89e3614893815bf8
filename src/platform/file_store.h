// Whole-file reading and crash-safe replacement, for the settings file.
//
// A replacement is written to a new file beside the target, flushed to disk,
// and moved over the target in one step, so at every moment the target holds
// either its complete old content or its complete new content.
#pragma once

#include <cstddef>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vudo::platform {

enum class ReadAccess { kReadWrite, kReadOnly };

// Reads the whole file. False when it cannot be opened for reading (missing,
// unreadable) or memory runs out. `access` tells whether it could also have
// been written: a read-only file (read-only attribute on Windows, no write
// permission bit on POSIX) or one another program holds against writing is
// kReadOnly.
bool ReadWholeFile(const std::string& path, std::string& content, ReadAccess& access);

class FileReplacement {
 public:
  FileReplacement() = default;
  ~FileReplacement();  // abandons an uncommitted replacement; the target stays as it was
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Starts replacing `path`. False when the target cannot be written: it is
  // read-only, another program holds it, or its directory refuses new files.
  bool Begin(const std::string& path);
  bool Write(const char* data, std::size_t size);
  // Flushes the new content and puts it in the target's place.
  bool Commit();
  void Abandon();
  bool active() const { return !temp_path_.empty(); }

 private:
  std::string target_;
  std::string temp_path_;
  bool failed_ = false;
#ifdef _WIN32
  HANDLE handle_ = INVALID_HANDLE_VALUE;
#else
  int fd_ = -1;
#endif
};

namespace testing {
// Makes every FileReplacement::Write fail once this many bytes in total have
// been written, as a full disk would; SIZE_MAX (the default) never fails.
void FailWritesAfter(std::size_t bytes);
// Makes the next Commit fail after the new content is written and flushed but
// before it replaces the target, as a crash at that instant would.
void FailNextReplace();
}  // namespace testing

}  // namespace vudo::platform
