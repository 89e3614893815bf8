// The shell's own context menu for a file: Open with, Send to, Copy,
// Properties and whatever the user has installed, as Explorer shows it.
#pragma once

#include <windows.h>

#include <string_view>

namespace vudo {

// Shows the shell's menu for the file at `path` at the screen point `at`,
// owned by `owner`, and carries out the item chosen. With `extended`, the
// verbs the shell keeps for Shift are shown too. Returns 1 when an item was
// carried out, 0 when the menu was dismissed or could not be made (a path the
// shell does not know).
int ShellMenuShow(HWND owner, std::string_view path, POINT at, bool extended);

}  // namespace vudo
