// Text onto the clipboard.
#pragma once

#include <windows.h>

#include <string_view>

namespace vudo {

// Puts `text` on the clipboard as CF_TEXT, owned by `owner`. 1 on success.
int ClipboardPutText(HWND owner, std::string_view text);

}  // namespace vudo
