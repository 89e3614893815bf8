// A sink for the engine's tests: collects every hit as a result row (name,
// line feed, directory) and every directory the walk could not list, counts
// the polls, and asks a hook at each whether the search must end.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "search/engine.h"

namespace vudo::testing_sink {

struct CollectingSink final : SearchSink {
  std::vector<std::string> rows;
  std::vector<std::pair<std::string, std::string>> unreadable;  // directory, reason; not for want of permission
  std::function<bool()> on_poll;  // true: the search must end
  int polls = 0;

  void Hit(std::string_view directory, std::string_view name) override {
    rows.push_back(std::string(name) + "\n" + std::string(directory));
  }
  bool Poll() override {
    ++polls;
    return on_poll && on_poll();
  }
  void Unreadable(const std::string& directory, const std::string& reason, bool permission_denied) override {
    if (!permission_denied) unreadable.emplace_back(directory, reason);
  }
};

// Runs a search for `pattern` and `contains` below `directory` with `jobs`
// workers (1: none) into `sink`.
inline SearchOutcome Search(CollectingSink& sink, const std::string& directory, const std::string& pattern,
                            const std::string& contains = "", unsigned jobs = 1, unsigned most_jobs = 0) {
  SearchRequest request;
  request.directory = directory;
  request.pattern = pattern;
  request.contains = contains;
  request.jobs = jobs;
  request.most_jobs = most_jobs;
  return RunSearch(request, sink);
}

}  // namespace vudo::testing_sink
