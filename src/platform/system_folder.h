// Windows only: the system folder as a 32-bit program on 64-bit Windows must
// reach it.
//
// There the file-system redirector turns every path under the system's
// System32 folder into the same path under SysWOW64, where the 32-bit system
// lives: a listing of System32 shows SysWOW64's files under System32's name,
// and the true System32's files are out of sight. The Sysnative alias (in the
// Windows folder beside System32) reaches the true folder, but only from a
// 32-bit program: a 64-bit one, Explorer among them, has no such folder. A
// 64-bit program, or a 32-bit one on 32-bit Windows, keeps every path as it
// is.
#pragma once

#include <string>

namespace vudo::platform {

// Whether this process sees System32 through the redirector (and the system
// offers the Sysnative alias to avoid it).
bool SystemFolderRedirected();

// `path` (UTF-16, absolute or relative, plain or in the extended \\?\ form)
// with the system's own System32 folder at its head replaced by the Sysnative
// alias, where this process is redirected and the path lies in that folder;
// otherwise `path` unchanged. Letter case and the form of the rest of the
// path do not matter; a folder that only looks alike (System32 inside
// another folder) stays as it is.
std::wstring UnredirectedPath(const std::wstring& path);
// The same for a path in the 8-bit text of the active code page.
std::string UnredirectedPath(const std::string& path);

}  // namespace vudo::platform
