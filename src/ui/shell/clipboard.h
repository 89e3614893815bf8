// Text and files onto the clipboard.
#pragma once

#include <windows.h>

#include <string_view>

namespace vudo {

// Puts `text` on the clipboard as CF_TEXT and as CF_UNICODETEXT (converted
// from the active code page), owned by `owner`. 1 on success.
int ClipboardPutText(HWND owner, std::string_view text);

// Puts the file at `path` on the clipboard as Explorer does (CF_HDROP, to be
// copied where it is pasted, never moved) and its path as text, as
// ClipboardPutText does: Explorer then pastes the file, an editor the path.
// A path that names no file goes on as text only. 1 when the text is on.
int ClipboardPutFile(HWND owner, std::string_view path);

}  // namespace vudo
