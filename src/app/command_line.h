// The command line: split on spaces, double quotes group a token, no escapes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vudo {

// Index of the parameter NextProgramParameter returns next; parameter 0 is
// the first one after the program's own path.
extern int ParameterIndex;

// The tokens of a command line, token 0 being the program's path. Only the
// space separates tokens (not the tab). A token that starts with a double
// quote runs to the next quote or the end of the line, without the quotes; a
// character right after the closing quote starts the next token. A backslash
// is an ordinary character, and so is a quote inside an unquoted token. "" is
// an empty token.
std::vector<std::string> SplitCommandLine(std::string_view line);

// Parameter ParameterIndex of the process's command line, advancing the index;
// empty text (and no advance) when there is no such parameter.
std::string NextProgramParameter();

}  // namespace vudo
