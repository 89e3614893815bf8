// The two shell services the user commands need: the folder chooser and
// program launch. Both run on the user-interface thread and return when done.
#pragma once

#include <string>
#include <string_view>

namespace vudo {

// Shows the platform's modal folder dialog with `title`, preselecting
// `initial` when it fits the platform's 260-byte path buffer (a longer one is
// not cut: the dialog then opens without a preselection). Returns the chosen
// folder with exactly one trailing backslash, or empty text when the user
// cancelled, the folder has no file-system path, or the dialog cannot be shown.
// Meanwhile the thread's other visible, enabled top-level windows are disabled.
std::string FolderChoose(std::string_view title, std::string_view initial);

// Starts `path` as a program; failing that, opens it through the shell with
// the verb "Open" (a document in its application, a folder in the file
// browser). A path too long for either goes by its short form where it has
// one. 1 when something was started, else 0. Nothing is awaited.
int ProgramLaunch(std::string_view path);

// Shows the file at `path` selected in its folder in the system's file
// browser; where that cannot be done (the file is gone, the shell declines),
// opens its folder as ProgramLaunch does. 1 when something was started.
int ShowInFolder(std::string_view path);
// The browser's arguments that select `path` in its folder.
std::string SelectArguments(std::string_view path);

// The command line CreateProcessA gets: the path in double quotes, unless it
// already begins with one.
std::string LaunchCommandLine(std::string_view path);
// The program CreateProcessA is told to start: the path without the double
// quotes around it, so that exactly that file is started.
std::string LaunchProgramName(std::string_view path);
// The working directory of the shell's "Open": the path up to and including
// its last backslash; empty (none) when there is none or it is the first byte.
std::string LaunchWorkingDirectory(std::string_view path);

}  // namespace vudo
