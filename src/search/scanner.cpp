#include "search/scanner.h"

#include <vector>

#include "search/text_forms.h"

namespace vudo {

int FileContainsText(const std::string& path, std::string_view text, const platform::DirectoryHandle* directory,
                     const ScanGoOn& go_on) {
  return FileContainsTextInBlocks(path, text, kScanBlockSize, directory, go_on);
}

int FileContainsTextInBlocks(const std::string& path, std::string_view text, std::size_t block_size,
                             const platform::DirectoryHandle* directory, const ScanGoOn& go_on) {
  const TextForms forms(text, CurrentTextRule());
  std::vector<char> buffer;
  return ScanFile(path, directory, forms, block_size, buffer, [&] { return !go_on || go_on(); }) == 1 ? 1 : 0;
}

}  // namespace vudo
