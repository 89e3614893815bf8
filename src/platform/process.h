// Queries about the running process.
#pragma once

#include <string>
#include <string_view>

#include "common/bytes.h"

namespace vudo::platform {

// Full path of the running program's executable file, at any length; empty
// when the system cannot say it in 8-bit text.
std::string ProgramPath();
// The current directory with a separator appended; empty when there is none.
std::string CurrentDirectory();
// The whole command line as one text, starting with the program's path.
std::string CommandLineText();

// The lower-casing rule the system's 8-bit text follows: UTF-8 where the
// active code page is UTF-8 (always on POSIX), else the single-byte rule.
TextRule SystemTextRule();

}  // namespace vudo::platform
