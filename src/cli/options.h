// Command-line options of the console finder.
#pragma once

#include <string>
#include <vector>

namespace vudo::cli {

struct Options {
  std::string directory;
  std::string pattern;   // empty: every file
  std::string contains;  // empty: no content condition
  bool print0 = false;   // end each path with NUL instead of a line feed
  bool stats = false;    // say how the search went on standard error
  int jobs = 0;          // threads reading ahead; 0: the default, 1: none
  bool help = false;
  bool version = false;
};

// Parses argv[1..]. On a bad command line returns false with a message in `error`.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

inline constexpr const char* kUsage =
    "Usage: vudo-find [--contains TEXT] DIRECTORY [PATTERN]\n"
    "\n"
    "Lists every file below DIRECTORY whose name fits PATTERN ('*' any run of\n"
    "characters, '?' one character; letter case ignored), one full path per line.\n"
    "Several patterns go in one, separated by ';' (\"*.h;*.cpp\"): a name fits\n"
    "when it fits one of them. Without PATTERN every file is listed.\n"
    "Several directories go in one the same way (\"src;docs\"): each is searched\n"
    "in turn, and a file in two of them is listed once.\n"
    "\n"
    "  -c, --contains TEXT  list only files that contain TEXT (letter case ignored)\n"
    "  -0, --print0         end each path with a NUL byte instead of a line feed\n"
    "  -j, --jobs N         N threads read directories and files ahead of the\n"
    "                       search (1: none; the order found stays the same)\n"
    "      --stats          at the end, say on standard error how many files were\n"
    "                       found, in how long, and what could not be read\n"
    "  -h, --help           show this help\n"
    "      --version        show the version\n"
    "\n"
    "A directory that cannot be read (other than for want of permission) is\n"
    "reported on standard error and passed over.\n"
    "\n"
    "Exit status: 0 when something was found, 1 when nothing was, 2 on an error\n"
    "(none of the DIRECTORY list can be read; the output cannot be written, or\n"
    "memory runs out: what was found before is printed), 130 when interrupted\n"
    "(what was found so far is printed).\n";

}  // namespace vudo::cli
