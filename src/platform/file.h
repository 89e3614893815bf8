// Reading files for the content scan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vudo::platform {

class DirectoryHandle;

// A file opened for reading only, shared with readers, writers and deleters, so
// that a file another program is writing (a log, say) can still be searched.
class FileReader {
 public:
  FileReader() = default;
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // False when the file cannot be opened, or is not a regular file. Where
  // `directory` is held, it is the directory of `path`, and the file is opened
  // there by its name (what follows the last separator).
  bool Open(const std::string& path, const DirectoryHandle* directory = nullptr);
  // The size when the file was opened, 64-bit.
  std::int64_t Size() const { return size_; }
  // Reads up to `count` bytes at `offset`. Returns the number delivered, 0 at
  // the end of the file, -1 on a read error.
  std::int64_t ReadAt(std::int64_t offset, char* buffer, std::size_t count);

  // How many files all FileReaders of the process hold open (for tests).
  static int OpenCount();

 private:
  void Close();  // closes what is open, if anything

#ifdef _WIN32
  HANDLE handle_ = INVALID_HANDLE_VALUE;
#else
  int fd_ = -1;
#endif
  std::int64_t size_ = 0;
};

namespace testing {
// Makes the next FileReader::Open report its file as `extra` bytes larger than
// it is, as files under /sys report a size their content does not have.
void AddToNextFileSize(std::int64_t extra);
}  // namespace testing

}  // namespace vudo::platform
