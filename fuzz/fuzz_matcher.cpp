// Compares MatchName with a dynamic-programming reference matcher.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "search/matcher.h"

namespace {

// table[i][j]: the first i pattern bytes match the first j name bytes.
bool Reference(const std::string& pattern, const std::string& name) {
  if (name.empty()) return false;
  if (pattern.empty()) return true;
  const std::size_t p = pattern.size(), n = name.size();
  std::vector<std::vector<char>> table(p + 1, std::vector<char>(n + 1, 0));
  table[0][0] = 1;
  for (std::size_t i = 1; i <= p; ++i) {
    const char c = pattern[i - 1];
    for (std::size_t j = 0; j <= n; ++j) {
      if (c == '*') table[i][j] = table[i - 1][j] || (j > 0 && table[i][j - 1]);
      else table[i][j] = j > 0 && table[i - 1][j - 1] && (c == '?' || c == name[j - 1]);
    }
  }
  return table[p][n];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 600) return 0;
  // First byte: where the pattern ends and the name begins.
  const std::size_t split = data[0] % size;
  const std::string pattern(reinterpret_cast<const char*>(data + 1), split > 0 ? split - 1 : 0);
  const std::string name(reinterpret_cast<const char*>(data + 1 + pattern.size()), size - 1 - pattern.size());
  if (vudo::MatchName(name, pattern) != (Reference(pattern, name) ? 1 : 0)) __builtin_trap();
  // The same pattern again, so the reuse of its compiled form is checked too.
  if (vudo::MatchName(name + "x", pattern) != (Reference(pattern, name + "x") ? 1 : 0)) __builtin_trap();
  return 0;
}
