// engine_probe: runs one search through the engine's public API (engine.h)
// and prints what a window would feel, as one line of JSON:
//
//   engine_probe DIR PATTERN [--contains TEXT] [-j N]
//                [--stop-after MS] [--pause-at MS --pause MS]
//
//   seconds         RunSearch from call to return, timed inside
//   rows            hits
//   polls           calls of the sink's Poll
//   longest_gap_ms  the longest time the caller's thread went without a Poll:
//                   from RunSearch's call to the first Poll, between the
//                   return of one and the next, and from the last to
//                   RunSearch's return; time spent inside Poll (the pause)
//                   is the sink's own and not counted
//   stop_ms         with --stop-after: from the Poll that answers true (the
//                   first at or after MS) until RunSearch returns
//   peak_kib        the process's peak resident size (VmHWM)
//
// --pause-at MS --pause MS: the first Poll at or after MS sleeps for the
// pause, as a window's thread held in a modal loop (a menu, a dialog) does
// not come back to the search for a while. The read-ahead runs on meanwhile;
// scripts/bench-read-ahead compares the search's time with and without it.
//
// It uses the public API alone, so the same source builds against an earlier
// revision's engine for a before-and-after comparison.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/process.h"
#include "search/engine.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Options {
  std::string directory, pattern, contains;
  unsigned jobs = 0;
  std::optional<double> stop_after_ms, pause_at_ms;
  double pause_ms = 0;
};

class ProbeSink : public vudo::SearchSink {
 public:
  ProbeSink(const Options& options, Clock::time_point start) : options_(options), start_(start), last_(start) {}

  void Hit(std::string_view, std::string_view) override { ++rows_; }

  bool Poll() override {
    const Clock::time_point now = Clock::now();
    ++polls_;
    longest_gap_ = std::max(longest_gap_, now - last_);
    const double since_start = Milliseconds(now - start_);
    if (options_.pause_at_ms && !paused_ && since_start >= *options_.pause_at_ms) {
      paused_ = true;
      std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(options_.pause_ms));
    }
    if (options_.stop_after_ms && since_start >= *options_.stop_after_ms) {
      stopped_at_ = Clock::now();
      return true;
    }
    last_ = Clock::now();
    return false;
  }

  // The stretch from the last Poll to RunSearch's return is a gap as well:
  // the caller's thread was in the engine all along.
  void Ended(Clock::time_point end) {
    if (!stopped_at_) longest_gap_ = std::max(longest_gap_, end - last_);
  }

  long long rows() const { return rows_; }
  long long polls() const { return polls_; }
  Clock::duration longest_gap() const { return longest_gap_; }
  const std::optional<Clock::time_point>& stopped_at() const { return stopped_at_; }

 private:
  const Options& options_;
  const Clock::time_point start_;
  Clock::time_point last_;
  Clock::duration longest_gap_{};
  long long rows_ = 0, polls_ = 0;
  bool paused_ = false;
  std::optional<Clock::time_point> stopped_at_;
};

// VmHWM from /proc/self/status, in KiB; -1 where the system has none.
long PeakKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

[[noreturn]] void Usage(const char* problem) {
  std::fprintf(stderr,
               "engine_probe: %s\n"
               "usage: engine_probe DIR PATTERN [--contains TEXT] [-j N] [--stop-after MS] "
               "[--pause-at MS --pause MS]\n",
               problem);
  std::exit(2);
}

Options Parse(int argc, char** argv) {
  Options options;
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 == argc) Usage(("option " + arg + " needs a value").c_str());
      return argv[++i];
    };
    if (arg == "--contains") {
      options.contains = value();
    } else if (arg == "-j") {
      options.jobs = static_cast<unsigned>(std::atoi(value()));
    } else if (arg == "--stop-after") {
      options.stop_after_ms = std::atof(value());
    } else if (arg == "--pause-at") {
      options.pause_at_ms = std::atof(value());
    } else if (arg == "--pause") {
      options.pause_ms = std::atof(value());
    } else if (!arg.empty() && arg[0] == '-') {
      Usage(("unknown option " + arg).c_str());
    } else if (positional == 0) {
      options.directory = arg, ++positional;
    } else if (positional == 1) {
      options.pattern = arg, ++positional;
    } else {
      Usage("too many arguments");
    }
  }
  if (positional != 2) Usage("DIR and PATTERN are needed");
  if (options.pause_at_ms.has_value() != (options.pause_ms > 0)) Usage("--pause-at and --pause go together");
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  // The system's text rule, as vudo-find takes it.
  vudo::SetTextRule(vudo::platform::SystemTextRule());
  vudo::SearchRequest request;
  request.directory = options.directory;
  request.pattern = options.pattern;
  request.contains = options.contains;
  request.jobs = options.jobs;

  const Clock::time_point start = Clock::now();
  ProbeSink sink(options, start);
  const vudo::SearchOutcome outcome = vudo::RunSearch(request, sink);
  const Clock::time_point end = Clock::now();
  sink.Ended(end);

  std::printf("{\"seconds\": %.6f, \"rows\": %lld, \"polls\": %lld, \"longest_gap_ms\": %.3f, ", Milliseconds(end - start) / 1000,
              sink.rows(), sink.polls(), Milliseconds(sink.longest_gap()));
  if (sink.stopped_at()) {
    std::printf("\"stop_ms\": %.3f, ", Milliseconds(end - *sink.stopped_at()));
  } else {
    std::printf("\"stop_ms\": null, ");
  }
  std::printf("\"peak_kib\": %ld, \"start_listed\": %s}\n", PeakKib(), outcome.start_listed ? "true" : "false");
  return outcome.start_listed ? 0 : 1;
}
