// Queries about the running process.
#pragma once

#include <string>

namespace vudo::platform {

// Full path of the running program's executable file.
std::string ProgramPath();
// The current directory with a separator appended; empty when there is none.
std::string CurrentDirectory();
// The whole command line as one text, starting with the program's path.
std::string CommandLineText();

}  // namespace vudo::platform
