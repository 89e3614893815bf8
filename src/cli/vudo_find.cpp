// vudo-find: the search engine without a window. Prints the full path of every
// hit, one per line, in the order found.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/printing_controls.h"
#include "common/control_numbers.h"
#include "platform/directory.h"
#include "platform/process.h"
#include "search/read_ahead.h"
#include "search/search_control.h"
#include "search/search_state.h"
#include "search/walker.h"
#include "ui/controls/control_seam.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

// Ctrl+C stops the search the way the Stop button does; the rows found so far
// are still printed.
extern "C" void OnInterrupt(int) {
  interrupted = 1;
  vudo::StopRequested = 1;
}

void ReportUnreadable(const std::string& directory, const std::string& reason) {
  std::fprintf(stderr, "vudo-find: cannot read directory '%s': %s\n", directory.c_str(), reason.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vudo;
  SetTextRule(platform::SystemTextRule());
  const std::vector<std::string> args(argv + 1, argv + argc);
  cli::Options options;
  std::string error;
  if (!cli::ParseOptions(args, options, error)) {
    std::fprintf(stderr, "vudo-find: %s\nTry 'vudo-find --help'.\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(cli::kUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::printf("vudo-find %s\n", VUDO_VERSION);
    return 0;
  }
  platform::DirectoryReader start;
  if (!start.Open(WalkStartPath(options.directory))) {
    std::fprintf(stderr, "vudo-find: cannot read directory '%s': %s\n", options.directory.c_str(),
                 start.ErrorText().c_str());
    return 2;
  }
  start.Close();

  if (options.jobs > 0) SetReadAheadWorkers(static_cast<unsigned>(options.jobs));
  else UseDefaultReadAhead();
  std::signal(SIGINT, OnInterrupt);
  cli::SetPathEnd(options.print0 ? '\0' : '\n');
  SetHitSink(cli::PrintHit);
  SetUnreadableDirectoryHandler(ReportUnreadable);
  ControlSetText(kStartDirectoryCombo, options.directory);
  ControlSetText(kPatternField, options.pattern);
  ControlSetText(kContainsField, options.contains);
  ControlSetText(kStartStopButton, kStartLabel);
  ToggleSearch();
  if (!cli::FlushRows()) {
    std::fprintf(stderr, "vudo-find: cannot write the output: %s\n", cli::OutputError().c_str());
    return 2;
  }
  if (interrupted) return 130;
  return cli::RowsPrinted() > 0 ? 0 : 1;
}
