// A temporary directory tree for tests, removed with everything in it when the
// object goes. Relative paths use '/' and are turned into the platform's form.
#pragma once

#include <string>
#include <string_view>

namespace vudo::testing_tree {

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The root, without a trailing separator.
  const std::string& Root() const { return root_; }
  // Root + separator + `relative` in platform form.
  std::string Path(std::string_view relative) const;

  void MakeDir(std::string_view relative) const;
  // Writes `content` to the file, making its directories as needed.
  void Write(std::string_view relative, std::string_view content) const;
  std::string Read(std::string_view relative) const;

 private:
  std::string root_;
};

}  // namespace vudo::testing_tree
