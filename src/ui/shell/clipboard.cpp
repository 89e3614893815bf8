#include "ui/shell/clipboard.h"

#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/wide_path.h"
#include "ui/shell/file_formats.h"

namespace vudo {
namespace {

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
  // A path that names no file goes on as text only: Explorer would refuse
  // the paste.
  if (put && file && NamesAFile(bytes)) {
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
