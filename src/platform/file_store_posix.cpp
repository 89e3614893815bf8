#include "platform/file_store.h"
#include "platform/file_test_hooks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <algorithm>
#include <new>

namespace vudo::platform {
namespace {

// A file without any write permission bit counts as read-only, as a file with
// the read-only attribute does on Windows, whoever runs the program.
bool ReadOnlyMode(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

bool Writable(const std::string& path, const struct stat& st) {
  return !ReadOnlyMode(st.st_mode) && access(path.c_str(), W_OK) == 0;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& content, ReadAccess& access) {
  // O_NONBLOCK: a FIFO in the file's place must not hold start-up until some
  // writer comes; it is no regular file and is refused below.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  struct stat st;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (ok) {
    access = Writable(path, st) ? ReadAccess::kReadWrite : ReadAccess::kReadOnly;
    try {
      content.clear();
      char chunk[8192];
      for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        content.append(chunk, static_cast<std::size_t>(n));
      }
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  close(fd);
  return ok;
}

FileReplacement::~FileReplacement() { Abandon(); }

bool FileReplacement::Begin(const std::string& path) {
  Abandon();
  mode_t mode = 0644;
  struct stat st;
  if (stat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode) || !Writable(path, st)) return false;
    mode = st.st_mode & 07777;
  }
  std::string temp = path + "." + std::to_string(getpid()) + ".new";
  fd_ = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd_ < 0) return false;
  fchmod(fd_, mode);
  target_ = path;
  temp_path_ = std::move(temp);
  failed_ = false;
  return true;
}

bool FileReplacement::Write(const char* data, std::size_t size) {
  if (fd_ < 0 || failed_) return false;
  while (size > 0) {
    const std::size_t allowed = test_hooks::WriteAllowance(size);
    if (allowed == 0) return !(failed_ = true);
    const ssize_t n = write(fd_, data, allowed);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return !(failed_ = true);
    test_hooks::Spend(static_cast<std::size_t>(n));
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool FileReplacement::Commit() {
  if (fd_ < 0) return false;
  // The new content must be on disk before it takes the old one's place, or
  // a crash could leave the name pointing at an empty file.
  const bool written = !failed_ && fsync(fd_) == 0;
  const bool closed = close(fd_) == 0;
  fd_ = -1;
  if (!written || !closed || test_hooks::TakeReplaceFailure() || rename(temp_path_.c_str(), target_.c_str()) != 0) {
    Abandon();
    return false;
  }
  temp_path_.clear();
  const int dir = open(DirectoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);  // makes the rename itself durable
    close(dir);
  }
  return true;
}

void FileReplacement::Abandon() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temp_path_.empty()) unlink(temp_path_.c_str());
  temp_path_.clear();
  failed_ = false;
}

}  // namespace vudo::platform
