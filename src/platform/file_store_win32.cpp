#include "platform/file_store.h"
#include "platform/file_test_hooks.h"
#include "platform/wide_path.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace vudo::platform {
namespace {

struct Handle {
  HANDLE h = INVALID_HANDLE_VALUE;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

// Whether the target could be written now: not read-only, and no other
// program holds it open against writers.
bool TargetWritable(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(FilePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
  Handle probe;
  probe.h = CreateFileW(FilePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  return probe.h != INVALID_HANDLE_VALUE;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& content, ReadAccess& access) {
  Handle file;
  access = ReadAccess::kReadWrite;
  file.h = CreateFileW(FilePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file.h == INVALID_HANDLE_VALUE) {
    access = ReadAccess::kReadOnly;
    file.h = CreateFileW(FilePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  }
  if (file.h == INVALID_HANDLE_VALUE) return false;
  // A device or a pipe in the file's place is no settings file.
  if (GetFileType(file.h) != FILE_TYPE_DISK) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.h, &size) || size.QuadPart > 0x7FFFFFFF) return false;
  try {
    content.assign(static_cast<std::size_t>(size.QuadPart), '\0');
  } catch (const std::bad_alloc&) {
    return false;
  }
  DWORD got = 0;
  if (!content.empty() && !ReadFile(file.h, content.data(), static_cast<DWORD>(content.size()), &got, nullptr))
    return false;
  content.resize(got);
  return true;
}

FileReplacement::~FileReplacement() { Abandon(); }

bool FileReplacement::Begin(const std::string& path) {
  Abandon();
  if (!TargetWritable(path)) return false;
  std::string temp = path + "." + std::to_string(GetCurrentProcessId()) + ".new";
  handle_ = CreateFileW(FilePath(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) return false;
  target_ = path;
  temp_path_ = std::move(temp);
  failed_ = false;
  return true;
}

bool FileReplacement::Write(const char* data, std::size_t size) {
  if (handle_ == INVALID_HANDLE_VALUE || failed_) return false;
  while (size > 0) {
    const DWORD allowed = static_cast<DWORD>(test_hooks::WriteAllowance(std::min<std::size_t>(size, 1u << 30)));
    DWORD written = 0;
    if (allowed == 0 || !WriteFile(handle_, data, allowed, &written, nullptr) || written == 0)
      return !(failed_ = true);
    test_hooks::Spend(written);
    data += written;
    size -= written;
  }
  return true;
}

bool FileReplacement::Commit() {
  if (handle_ == INVALID_HANDLE_VALUE) return false;
  // The new content must be on disk before it takes the old one's place.
  const bool written = !failed_ && FlushFileBuffers(handle_);
  CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  if (!written ||
      test_hooks::TakeReplaceFailure() ||
      !MoveFileExW(FilePath(temp_path_).c_str(), FilePath(target_).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Abandon();
    return false;
  }
  temp_path_.clear();
  return true;
}

void FileReplacement::Abandon() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  if (!temp_path_.empty()) DeleteFileW(FilePath(temp_path_).c_str());
  temp_path_.clear();
  failed_ = false;
}

}  // namespace vudo::platform
