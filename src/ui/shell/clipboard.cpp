#include "ui/shell/clipboard.h"

#include <cstring>

namespace vudo {

int ClipboardPutText(HWND owner, std::string_view text) {
  text = text.substr(0, text.find('\0'));
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!memory) return 0;
  char* bytes = static_cast<char*>(GlobalLock(memory));
  std::memcpy(bytes, text.data(), text.size());
  bytes[text.size()] = '\0';
  GlobalUnlock(memory);
  if (!OpenClipboard(owner)) {
    GlobalFree(memory);
    return 0;
  }
  EmptyClipboard();
  // Once set, the memory belongs to the clipboard.
  const bool put = SetClipboardData(CF_TEXT, memory) != nullptr;
  CloseClipboard();
  if (!put) GlobalFree(memory);
  return put ? 1 : 0;
}

}  // namespace vudo
