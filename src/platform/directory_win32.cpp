#include "platform/directory.h"

#include "platform/file_test_hooks.h"
#include "platform/wide_path.h"

namespace vudo::platform {
namespace {

// Symbolic links and junctions carry name-surrogate reparse tags. Wine does not
// report the tag (dwReserved0 holds something else), so a directory reparse
// point whose tag is not a Microsoft tag is treated as a link too; Microsoft's
// own non-surrogate tags, such as cloud-file placeholders, stay directories.
bool IsDirectoryLink(const WIN32_FIND_DATAW& data) {
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  const DWORD tag = data.dwReserved0;
  const bool microsoft_tag = (tag & 0x80000000u) != 0;
  const bool name_surrogate = (tag & 0x20000000u) != 0;
  return name_surrogate || !microsoft_tag;
}

EntryKind KindOf(const WIN32_FIND_DATAW& data) {
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return EntryKind::kFile;
  return IsDirectoryLink(data) ? EntryKind::kOther : EntryKind::kDirectory;
}

LONG open_count = 0;

}  // namespace

DirectoryReader::~DirectoryReader() { Close(); }

void DirectoryReader::Close() {
  pending_ = false;
  if (find_ == INVALID_HANDLE_VALUE) return;
  FindClose(find_);
  find_ = INVALID_HANDLE_VALUE;
  InterlockedDecrement(&open_count);
  test_hooks::CountEntriesRead(entries_read_);
  entries_read_ = 0;
}

DirectoryHandle::DirectoryHandle(const DirectoryReader&) {}
DirectoryHandle::~DirectoryHandle() = default;
bool DirectoryHandle::Held() const { return false; }
int DirectoryHandle::OpenCount() { return 0; }

int DirectoryReader::OpenCount() { return static_cast<int>(open_count); }

std::size_t DirectoryReader::EntriesRead() { return test_hooks::EntriesRead(); }

bool DirectoryReader::PermissionDenied() const { return error_ == ERROR_ACCESS_DENIED; }

std::string DirectoryReader::ErrorText() const {
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                      static_cast<DWORD>(error_), 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(error_) : message;
}

bool DirectoryReader::Open(const std::string& directory) {
  Close();
  error_ = 0;
  test_hooks::WaitIfSlow(directory);
  if (test_hooks::DirectoryRefused(directory)) {
    error_ = ERROR_CANT_ACCESS_FILE;
    return false;
  }
  // The wide functions, so that a directory deeper than the 8-bit functions
  // reach is listed all the same.
  const std::wstring mask = FilePath(directory + "*.*");
  // The basic information level skips the short 8.3 name and the large fetch
  // asks for bigger batches; together they list the same entries faster.
  find_ = FindFirstFileExW(mask.c_str(), FindExInfoBasic, &data_, FindExSearchNameMatch, nullptr,
                           FIND_FIRST_EX_LARGE_FETCH);
  if (find_ == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
    find_ = FindFirstFileW(mask.c_str(), &data_);  // systems without the large fetch
  if (find_ != INVALID_HANDLE_VALUE) {
    InterlockedIncrement(&open_count);
    pending_ = true;
    return true;
  }
  error_ = static_cast<int>(GetLastError());
  // A drive root lists no "." and "..": when it is empty, the first find has
  // nothing to return. It is an empty directory all the same.
  if (error_ == ERROR_FILE_NOT_FOUND) {
    error_ = 0;
    return true;
  }
  return false;
}

bool DirectoryReader::Next(DirectoryEntry& entry) {
  if (find_ == INVALID_HANDLE_VALUE) return false;
  if (!pending_ && !FindNextFileW(find_, &data_)) return false;
  pending_ = false;
  ++entries_read_;
  // A name with a character the legacy code page lacks comes out with '?'
  // there, as the 8-bit functions give it; under UTF-8 every name is whole.
  name_ = Narrow(data_.cFileName);
  entry.name = name_.c_str();
  entry.kind = KindOf(data_);
  return true;
}

}  // namespace vudo::platform
