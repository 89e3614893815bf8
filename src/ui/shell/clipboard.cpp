#include "ui/shell/clipboard.h"

#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/wide_path.h"

namespace vudo {
namespace {

// Movable memory holding `size` bytes from `data`, for the clipboard to own.
HGLOBAL CopyToGlobal(const void* data, std::size_t size) {
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return nullptr;
  std::memcpy(GlobalLock(memory), data, size);
  GlobalUnlock(memory);
  return memory;
}

// Puts `memory` on the opened clipboard as `format`; once set it belongs to
// the clipboard, else it is freed here.
bool Put(UINT format, HGLOBAL memory) {
  if (!memory) return false;
  if (SetClipboardData(format, memory)) return true;
  GlobalFree(memory);
  return false;
}

// Opens the clipboard, waiting a little for another program that holds it:
// clipboard managers, remote-desktop clients and Wine's own bridge to X each
// hold it for moments, and a copy that gave up at once would lose the
// user's action.
bool OpenClipboardSoon(HWND owner) {
  constexpr int kTries = 25;
  constexpr DWORD kPauseMs = 10;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(kPauseMs);
  }
  return false;
}

// The list of one file that CF_HDROP holds: a DROPFILES header, then the
// path in UTF-16 and two terminating zeros.
std::vector<char> DropFiles(const std::wstring& path) {
  std::vector<char> data(sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t), 0);
  auto* header = reinterpret_cast<DROPFILES*>(data.data());
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(data.data() + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
  return data;
}

// Puts `text` in both text forms and, for a file, the file itself.
int PutOnClipboard(HWND owner, std::string_view text, bool file) {
  text = text.substr(0, text.find('\0'));
  const std::string bytes(text);
  // The Unicode form as well, so that a program pasting it gets the true
  // name whatever code page either side runs in.
  const std::wstring wide = platform::Widen(text);
  if (!OpenClipboardSoon(owner)) return 0;
  EmptyClipboard();
  const bool put = Put(CF_TEXT, CopyToGlobal(bytes.c_str(), bytes.size() + 1));
  if (put) Put(CF_UNICODETEXT, CopyToGlobal(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t)));
  // A name the code page could not hold came back with '?' in it and names
  // no file; Explorer would refuse the paste, so only its text goes on.
  if (put && file && GetFileAttributesA(bytes.c_str()) != INVALID_FILE_ATTRIBUTES) {
    const std::vector<char> files = DropFiles(wide);
    Put(CF_HDROP, CopyToGlobal(files.data(), files.size()));
    // A paste copies the file: without this, a program may take it for a cut.
    const DWORD copy = DROPEFFECT_COPY;
    Put(RegisterClipboardFormatA("Preferred DropEffect"), CopyToGlobal(&copy, sizeof copy));
  }
  CloseClipboard();
  return put ? 1 : 0;
}

}  // namespace

int ClipboardPutText(HWND owner, std::string_view text) { return PutOnClipboard(owner, text, false); }

int ClipboardPutFile(HWND owner, std::string_view path) { return PutOnClipboard(owner, path, true); }

}  // namespace vudo
