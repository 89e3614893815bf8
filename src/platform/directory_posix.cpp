#include "platform/directory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/file_test_hooks.h"

namespace vudo::platform {
namespace {

EntryKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return EntryKind::kFile;
  if (S_ISDIR(mode)) return EntryKind::kDirectory;
  return EntryKind::kOther;
}

// A symbolic link counts as what it points to when that is a regular file;
// links to directories, dangling links and links to anything else are passed
// over.
EntryKind KindOfLink(int dir_fd, const char* name) {
  struct stat st;
  if (fstatat(dir_fd, name, &st, 0) != 0) return EntryKind::kOther;
  return S_ISREG(st.st_mode) ? EntryKind::kFile : EntryKind::kOther;
}

EntryKind KindOfUnknown(int dir_fd, const char* name) {
  struct stat st;
  if (fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return EntryKind::kOther;
  if (S_ISLNK(st.st_mode)) return KindOfLink(dir_fd, name);
  return KindOfMode(st.st_mode);
}

std::atomic<int> open_count{0};

}  // namespace

DirectoryReader::~DirectoryReader() { Close(); }

void DirectoryReader::Close() {
  if (!dir_) return;
  closedir(dir_);
  dir_ = nullptr;
  --open_count;
  test_hooks::CountEntriesRead(entries_read_);
  entries_read_ = 0;
}

bool DirectoryReader::Open(const std::string& directory) {
  Close();
  test_hooks::WaitIfSlow(directory);
  if (test_hooks::DirectoryRefused(directory)) {
    error_ = EIO;
    return false;
  }
  dir_ = opendir(directory.c_str());
  error_ = dir_ ? 0 : errno;
  if (dir_) ++open_count;
  return dir_ != nullptr;
}

bool DirectoryReader::PermissionDenied() const { return error_ == EACCES || error_ == EPERM; }

std::string DirectoryReader::ErrorText() const { return std::strerror(error_); }

int DirectoryReader::OpenCount() { return open_count; }

std::size_t DirectoryReader::EntriesRead() { return test_hooks::EntriesRead(); }

namespace {
std::atomic<int> handle_count{0};
}  // namespace

DirectoryHandle::DirectoryHandle(const DirectoryReader& reader) {
  if (!reader.dir_) return;
  fd_ = fcntl(dirfd(reader.dir_), F_DUPFD_CLOEXEC, 0);
  if (fd_ >= 0) ++handle_count;
}

DirectoryHandle::~DirectoryHandle() {
  if (fd_ < 0) return;
  close(fd_);
  --handle_count;
}

bool DirectoryHandle::Held() const { return fd_ >= 0; }

int DirectoryHandle::OpenCount() { return handle_count; }

bool DirectoryReader::Next(DirectoryEntry& entry) {
  if (!dir_) return false;
  const dirent* d = readdir(dir_);
  if (!d) return false;
  ++entries_read_;
  entry.name = d->d_name;
  switch (d->d_type) {
    case DT_REG: entry.kind = EntryKind::kFile; break;
    case DT_DIR: entry.kind = EntryKind::kDirectory; break;
    case DT_LNK: entry.kind = KindOfLink(dirfd(dir_), d->d_name); break;
    case DT_UNKNOWN: entry.kind = KindOfUnknown(dirfd(dir_), d->d_name); break;
    default: entry.kind = EntryKind::kOther; break;
  }
  return true;
}

}  // namespace vudo::platform
