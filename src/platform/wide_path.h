// Windows only: the 8-bit text of the active code page (UTF-8 where the system
// honours the manifest's request, else the legacy single-byte code page)
// turned into the UTF-16 the system's wide functions take, and back. The rest
// of the program never sees UTF-16; the platform's file functions go through
// here so that no path is refused for its length.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace vudo::platform {

// `text` in UTF-16, converted from the active code page.
std::wstring Widen(std::string_view text);
// `text` in the active code page; `lossy` tells whether some character had no
// form there (a legacy code page and a CJK name, say) and became '?'.
std::string Narrow(std::wstring_view text, bool* lossy = nullptr);

// The path as the wide file functions take it: as it is while it is short
// enough for any of them, else in its extended form (\\?\C:\..., or
// \\?\UNC\server\share\... for a network path), made absolute first, since
// the extended form takes no relative path, no "." or ".." and no '/'. A path
// in the system folder is taken to the true one (system_folder.h).
std::wstring FilePath(const std::string& path);

// A path the shell and CreateProcess accept (they take no extended form): the
// path itself while it fits their 260-character buffers, else its short form
// where the file system keeps one that fits; empty when neither does.
std::string ShellPath(const std::string& path);

//--- the program's own UTF-8 texts, whatever the active code page

// `utf8` in UTF-16.
std::wstring WidenUtf8(std::string_view utf8);

}  // namespace vudo::platform
