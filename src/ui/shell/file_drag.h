// Dragging a file out of the window, as a file dragged from Explorer: the
// desktop, Explorer, mail and editors take it as they take that one.
#pragma once

#include <windows.h>

#include <string_view>

namespace vudo {

// Runs an OLE drag of the file at `path` with the left button held down: the
// shell's file list (CF_HDROP) and the path as Unicode and 8-bit text. Only
// copy and link are offered, so a drop can never move the user's file away.
// Returns once the button is released or Escape pressed: the effect the
// target performed (DROPEFFECT_COPY or DROPEFFECT_LINK), DROPEFFECT_NONE for
// a cancelled drag or a path that names no file.
DWORD DragFileOut(std::string_view path);

}  // namespace vudo
