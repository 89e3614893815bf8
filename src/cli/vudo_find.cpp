// vudo-find: the search engine without a window. Prints the full path of every
// hit, one per line, in the order found.
#include <atomic>
#include <cstdint>
#include <csignal>
#include <new>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/printing_sink.h"
#include "platform/clock.h"
#include "platform/directory.h"
#include "platform/process.h"
#include "search/engine.h"
#include "search/start_folders.h"

namespace {

std::atomic<bool> interrupted{false};

// Ctrl+C ends the search the way the Stop button does; the paths found so far
// are still printed. (On Windows the handler runs on a thread of its own.)
extern "C" void OnInterrupt(int) { interrupted = true; }

int Find(int argc, char** argv);

}  // namespace

int main(int argc, char** argv) {
  // The search itself ends on its own when memory runs out; this is for what
  // comes before and after it.
  try {
    return Find(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fflush(stdout);
    std::fputs("vudo-find: out of memory\n", stderr);
    return 2;
  }
}

namespace {


int Find(int argc, char** argv) {
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
  // An error only when no start folder can be read: one among several that
  // cannot is passed over as any other unreadable folder, and said by the
  // search.
  const StartFolders start = SplitStartFolders(options.directory, CurrentTextRule());
  std::string unreadable;
  for (const std::string& folder : start.folders) {
    platform::DirectoryReader reader;
    if (reader.Open(WalkStartPath(folder))) {
      unreadable.clear();
      break;
    }
    unreadable += "vudo-find: cannot read directory '" + folder + "': " + reader.ErrorText() + "\n";
  }
  if (!unreadable.empty()) {
    std::fputs(unreadable.c_str(), stderr);
    return 2;
  }

  SearchRequest request;
  request.directory = options.directory;
  request.pattern = options.pattern;
  request.contains = options.contains;
  request.jobs = static_cast<unsigned>(options.jobs);
  cli::PrintingSink printer(options.print0 ? '\0' : '\n', interrupted);
  std::signal(SIGINT, OnInterrupt);
  const std::uint32_t started = platform::TickMilliseconds();
  const SearchOutcome outcome = RunSearch(request, printer);
  if (!printer.Flush()) {
    std::fprintf(stderr, "vudo-find: cannot write the output: %s\n", printer.OutputError().c_str());
    return 2;
  }
  if (options.stats) {
    SearchTally& tally = printer.Tally();
    tally.milliseconds = platform::TickMilliseconds() - started;
    tally.stopped = outcome.out_of_memory || outcome.ended_by_poll;
    std::fprintf(stderr, "%s\n", SummaryText(tally).c_str());
  }
  if (outcome.out_of_memory) {
    std::fputs("vudo-find: out of memory\n", stderr);
    return 2;
  }
  if (interrupted) return 130;
  return printer.Printed() > 0 ? 0 : 1;
}

}  // namespace
