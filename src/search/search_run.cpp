#include "search/search_run.h"

#include "common/bytes.h"
#include "search/scan_file.h"

namespace vudo {

SearchRun::SearchRun(const SearchRequest& request, SearchSink& sink)
    : request_(request),
      sink_(sink),
      pattern_(LowerCase(request.pattern, request.rule)),
      contains_(LowerCase(request.contains, request.rule)),
      matcher_(pattern_, request.rule),
      forms_(std::make_shared<const TextForms>(contains_, request.rule)) {}

bool SearchRun::NameFits(std::string_view name) {
  LowerInto(name, lowered_, request_.rule);
  return matcher_.Matches(lowered_);
}

bool SearchRun::Scan(const std::string& path, const platform::DirectoryHandle* directory) {
  // A large file stays stoppable: the caller is polled between blocks, and a
  // search it ends there ends the scan with no hit.
  return Verdict(ScanFile(path, directory, *forms_, kScanBlockSize, buffer_, [this] { return !MustEnd(); }), path);
}

bool SearchRun::Verdict(int scanned, std::string_view path) {
  if (scanned == kScanUnreadable && !ended_) sink_.UnreadableFile(path);
  return scanned == 1;
}

bool SearchRun::MustEnd() {
  if (!ended_) ended_ = sink_.Poll();
  return ended_;
}

}  // namespace vudo
