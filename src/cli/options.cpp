#include "cli/options.h"

#include "common/bytes.h"

namespace vudo::cli {
namespace {

bool ParseJobs(const std::string& text, int& jobs) { return ParseWholeNumber(text, jobs) && jobs >= 1 && jobs <= 256; }

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
  std::vector<std::string> positional;
  bool only_positional = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (only_positional || arg.empty() || arg[0] != '-' || arg == "-") {
      positional.push_back(arg);
    } else if (arg == "--") {
      only_positional = true;
    } else if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "-0" || arg == "--print0") {
      options.print0 = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--stats") {
      options.stats = true;
    } else if (arg == "-c" || arg == "--contains") {
      if (i + 1 == args.size()) {
        error = "option " + arg + " needs a TEXT";
        return false;
      }
      options.contains = args[++i];
    } else if (arg == "-j" || arg == "--jobs" || arg.rfind("--jobs=", 0) == 0 ||
               (arg.size() > 2 && arg.rfind("-j", 0) == 0)) {
      std::string value;
      if (arg == "-j" || arg == "--jobs") {
        if (i + 1 == args.size()) {
          error = "option " + arg + " needs a number N";
          return false;
        }
        value = args[++i];
      } else {
        value = arg.substr(arg[1] == 'j' ? 2 : 7);
      }
      if (!ParseJobs(value, options.jobs)) {
        error = "option -j takes a whole number from 1 to 256, not '" + value + "'";
        return false;
      }
    } else if (arg.rfind("--contains=", 0) == 0) {
      options.contains = arg.substr(11);
    } else {
      error = "unknown option " + arg;
      return false;
    }
  }
  if (options.help || options.version) return true;
  if (positional.empty()) {
    error = "no DIRECTORY given";
    return false;
  }
  if (positional.size() > 2) {
    error = "too many arguments (quote the PATTERN so the shell does not expand it)";
    return false;
  }
  options.directory = positional[0];
  if (positional.size() == 2) options.pattern = positional[1];
  return true;
}

}  // namespace vudo::cli
