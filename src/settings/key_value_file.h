// The key/value settings file: lines of `key = value`, read case-insensitively
// by key, on one current file per process.
//
// Calling order: open or create; any number of gets and puts; close. A get or
// put while no file is open is harmless (fallback; nothing).
//
// Reading accepts what a person may type by hand: "; comment" lines,
// "[section]" lines, blank lines, CR LF / LF / CR line ends, blanks around keys
// and values, any letter case of keys, and a UTF-8 byte-order mark. Lookups
// see only the top-level area, the lines before the first section; the first
// match wins. Writing gives one line per entry ended by CR LF.
//
// A close that writes replaces the file in one step: the file on disk holds
// its complete old or its complete new content at every moment, and a write
// that fails leaves the old file as it was.
#pragma once

#include <string>
#include <string_view>

namespace vudo {

// Closes the current file (writing it if modified), then reads the file at
// `path`. True when it was read, also when it is empty. On false, puts are
// kept and a close creates the file.
bool OpenKeyValueFile(const std::string& path);

// Closes the current file, then starts an empty file at `path`; the close
// writes it (an empty file when nothing was put). False when the file cannot
// be written (read-only file or directory, held by another program).
bool CreateKeyValueFile(const std::string& path);

// The value of `key`, blanks trimmed, or `fallback` when the key is absent or
// no file is open. A key present with an empty value gives empty text.
std::string GetKeyValue(std::string_view key, std::string_view fallback = {});

// Sets `key` to `value` in the top-level area, adding the key when absent. Both
// end at their first CR, LF or NUL: a value can never start a line of its own.
void PutKeyValue(std::string_view key, std::string_view value);

// Writes the file when anything was put (or it was created), and forgets it.
// False when a write was due and failed; the file on disk is then unchanged.
bool CloseKeyValueFile();

}  // namespace vudo
