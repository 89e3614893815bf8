#include "ui/shell/file_formats.h"

#include <shlobj.h>

#include <cstring>

namespace vudo {

HGLOBAL CopyToGlobal(const void* data, std::size_t size) {
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return nullptr;
  std::memcpy(GlobalLock(memory), data, size);
  GlobalUnlock(memory);
  return memory;
}

std::vector<char> DropFiles(const std::wstring& path) {
  std::vector<char> data(sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t), 0);
  auto* header = reinterpret_cast<DROPFILES*>(data.data());
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(data.data() + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
  return data;
}

bool NamesAFile(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace vudo
