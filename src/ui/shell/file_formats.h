// The forms in which a file leaves the program, through the clipboard or a
// drag: the shell's file list (CF_HDROP) and its path as text.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace vudo {

// Movable memory holding `size` bytes from `data`, as the clipboard and OLE
// take ownership of it; null when none could be had.
HGLOBAL CopyToGlobal(const void* data, std::size_t size);

// The list of one file that CF_HDROP holds: a DROPFILES header, then the
// path in UTF-16 and two terminating zeros.
std::vector<char> DropFiles(const std::wstring& path);

// Whether `path` (8-bit, as the program holds it) names a file the shell can
// be handed: a name the code page could not hold came back with '?' in it
// and names none, and a receiver would refuse it.
bool NamesAFile(const std::string& path);

}  // namespace vudo
