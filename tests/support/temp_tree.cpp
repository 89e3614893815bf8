#include "support/temp_tree.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "platform/path.h"

namespace fs = std::filesystem;

namespace vudo::testing_tree {

TempTree::TempTree() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path dir = fs::temp_directory_path() /
                 ("vudo-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  fs::create_directories(dir);
  root_ = dir.make_preferred().string();
  while (!root_.empty() && platform::IsSeparator(root_.back()) && root_.size() > 1) root_.pop_back();
}

TempTree::~TempTree() {
  std::error_code ec;
  // Tests may leave read-only entries behind; make them writable so they go.
  for (auto it = fs::recursive_directory_iterator(root_, fs::directory_options::skip_permission_denied, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::error_code ignored;
    if (!it->is_symlink(ignored))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(root_, ec);
}

std::string TempTree::Path(std::string_view relative) const {
  std::string path = root_;
  path += platform::kSeparator;
  for (char c : relative) path += c == '/' ? platform::kSeparator : c;
  return path;
}

void TempTree::MakeDir(std::string_view relative) const { fs::create_directories(Path(relative)); }

void TempTree::Write(std::string_view relative, std::string_view content) const {
  const std::string path = Path(relative);
  fs::create_directories(fs::path(path).parent_path());
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
}

std::string TempTree::Read(std::string_view relative) const {
  std::ifstream in(Path(relative), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace vudo::testing_tree
