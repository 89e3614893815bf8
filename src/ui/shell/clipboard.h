// Text onto the clipboard.
#pragma once

#include <windows.h>

#include <string_view>

namespace vudo {

// Puts `text` on the clipboard as CF_TEXT and as CF_UNICODETEXT (converted
// from the active code page), owned by `owner`. 1 on success.
int ClipboardPutText(HWND owner, std::string_view text);

}  // namespace vudo
