#include "platform/file.h"

#include "platform/directory.h"
#include "platform/file_test_hooks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vudo::platform {

FileReader::~FileReader() { Close(); }

void FileReader::Close() {
  if (fd_ < 0) return;
  close(fd_);
  test_hooks::CountOpenFile(-1);
  fd_ = -1;
}

int FileReader::OpenCount() { return test_hooks::OpenFiles(); }

bool FileReader::Open(const std::string& path, const DirectoryHandle* directory) {
  Close();
  // O_NONBLOCK: should a FIFO have taken the file's place since the directory
  // was listed, opening it must not wait for a writer.
  constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  if (directory && directory->Held()) {
    const std::size_t separator = path.rfind('/');
    fd_ = openat(directory->fd_, path.c_str() + (separator == std::string::npos ? 0 : separator + 1), kFlags);
  } else {
    fd_ = open(path.c_str(), kFlags);
  }
  if (fd_ < 0) return false;
  test_hooks::CountOpenFile(1);
  struct stat st;
  if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    Close();
    return false;
  }
  size_ = st.st_size + test_hooks::TakeExtraFileSize();
  return true;
}

std::int64_t FileReader::ReadAt(std::int64_t offset, char* buffer, std::size_t count) {
  for (;;) {
    const ssize_t n = pread(fd_, buffer, count, static_cast<off_t>(offset));
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

}  // namespace vudo::platform
