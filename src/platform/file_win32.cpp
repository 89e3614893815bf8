#include "platform/file.h"

#include "platform/file_test_hooks.h"
#include "platform/wide_path.h"

namespace vudo::platform {

FileReader::~FileReader() { Close(); }

void FileReader::Close() {
  if (handle_ == INVALID_HANDLE_VALUE) return;
  CloseHandle(handle_);
  test_hooks::CountOpenFile(-1);
  handle_ = INVALID_HANDLE_VALUE;
}

int FileReader::OpenCount() { return test_hooks::OpenFiles(); }

bool FileReader::Open(const std::string& path, const DirectoryHandle*) {
  Close();
  handle_ = CreateFileW(FilePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) return false;
  test_hooks::CountOpenFile(1);
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle_, &size)) {
    Close();
    return false;
  }
  size_ = size.QuadPart + test_hooks::TakeExtraFileSize();
  return true;
}

std::int64_t FileReader::ReadAt(std::int64_t offset, char* buffer, std::size_t count) {
  // A positioned read on a synchronous handle: the OVERLAPPED structure only
  // carries the offset.
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset));
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  DWORD got = 0;
  if (!ReadFile(handle_, buffer, static_cast<DWORD>(count), &got, &at))
    return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
  return got;
}

}  // namespace vudo::platform
