// Content scanner: does a file contain a text, ignoring letter case? The
// block loop itself, and how it reads a file, is in scan_file.h.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "search/scan_file.h"

namespace vudo {

namespace platform {
class DirectoryHandle;
}

// Asked after every block whether the scan may go on; false ends it with no
// hit. None: the scan runs to the end of the file.
using ScanGoOn = std::function<bool()>;

// 1 when the file at `path` contains `text` (lower-cased by the caller, by the
// rule in force) in any of its forms (text_forms.h), else 0, also when the
// file cannot be opened. `directory`,
// where given and held, is the file's directory, and the file is opened there
// by its name.
int FileContainsText(const std::string& path, std::string_view text,
                     const platform::DirectoryHandle* directory = nullptr, const ScanGoOn& go_on = {});

// The same with another block size, so that tests and fuzzers reach block
// borders with small files.
int FileContainsTextInBlocks(const std::string& path, std::string_view text, std::size_t block_size,
                             const platform::DirectoryHandle* directory = nullptr, const ScanGoOn& go_on = {});

}  // namespace vudo
