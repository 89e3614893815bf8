#include "platform/directory.h"

namespace vudo::platform {
namespace {

// Symbolic links and junctions carry name-surrogate reparse tags. Wine does not
// report the tag (dwReserved0 holds something else), so a directory reparse
// point whose tag is not a Microsoft tag is treated as a link too; Microsoft's
// own non-surrogate tags, such as cloud-file placeholders, stay directories.
bool IsDirectoryLink(const WIN32_FIND_DATAA& data) {
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  const DWORD tag = data.dwReserved0;
  const bool microsoft_tag = (tag & 0x80000000u) != 0;
  const bool name_surrogate = (tag & 0x20000000u) != 0;
  return name_surrogate || !microsoft_tag;
}

EntryKind KindOf(const WIN32_FIND_DATAA& data) {
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return EntryKind::kFile;
  return IsDirectoryLink(data) ? EntryKind::kOther : EntryKind::kDirectory;
}

}  // namespace

DirectoryReader::~DirectoryReader() {
  if (find_ != INVALID_HANDLE_VALUE) FindClose(find_);
}

bool DirectoryReader::Open(const std::string& directory) {
  if (find_ != INVALID_HANDLE_VALUE) FindClose(find_);
  pending_ = false;
  const std::string mask = directory + "*.*";
  // The basic information level skips the short 8.3 name and the large fetch
  // asks for bigger batches; together they list the same entries faster.
  find_ = FindFirstFileExA(mask.c_str(), FindExInfoBasic, &data_, FindExSearchNameMatch, nullptr,
                           FIND_FIRST_EX_LARGE_FETCH);
  if (find_ == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
    find_ = FindFirstFileA(mask.c_str(), &data_);  // systems without the large fetch
  pending_ = find_ != INVALID_HANDLE_VALUE;
  return pending_;
}

bool DirectoryReader::Next(DirectoryEntry& entry) {
  if (find_ == INVALID_HANDLE_VALUE) return false;
  if (!pending_ && !FindNextFileA(find_, &data_)) return false;
  pending_ = false;
  entry.name = data_.cFileName;
  entry.kind = KindOf(data_);
  return true;
}

}  // namespace vudo::platform
