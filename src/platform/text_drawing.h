// Windows only: drawing the program's own texts, which are UTF-8 whatever the
// active code page is. DrawTextA would read them in the active code page and
// garble every character outside ASCII where that is no UTF-8; the wide call
// shows them on every system. It lives here rather than in the window layer
// because the platform layer is the only one that handles UTF-16 and calls
// the system's wide functions.
#pragma once

#include <windows.h>

#include <string_view>

namespace vudo::platform {

// DrawText of a UTF-8 text into `rect`, with DrawText's `format` flags.
void DrawUtf8Text(HDC context, RECT& rect, std::string_view utf8, UINT format);

}  // namespace vudo::platform
