// Compares MatchName with a dynamic-programming reference matcher: a star
// takes any run of characters, '?' one character, any other byte only itself;
// a pattern with ';' is a list, any of whose space-trimmed, non-empty pieces
// may match.
// Under the UTF-8 rule a character is a whole valid UTF-8 sequence, or one
// byte that starts none; under the single-byte rule every byte is one. The
// input's first byte chooses the rule, so both are fuzzed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "search/matcher.h"

namespace {

bool utf8 = true;

// The bytes of the character at name[j], worked out on its own here.
std::size_t Character(const std::string& name, std::size_t j) {
  const auto at = [&](std::size_t k) { return k < name.size() ? static_cast<unsigned char>(name[k]) : 0u; };
  const unsigned lead = at(j);
  if (!utf8) return 1;
  const auto cont = [&](std::size_t k, unsigned low = 0x80, unsigned high = 0xBF) {
    return k < name.size() && at(k) >= low && at(k) <= high;
  };
  if (lead >= 0xC2 && lead <= 0xDF && cont(j + 1)) return 2;
  if (lead == 0xE0 && cont(j + 1, 0xA0) && cont(j + 2)) return 3;
  if (((lead >= 0xE1 && lead <= 0xEC) || lead == 0xEE || lead == 0xEF) && cont(j + 1) && cont(j + 2)) return 3;
  if (lead == 0xED && cont(j + 1, 0x80, 0x9F) && cont(j + 2)) return 3;
  if (lead == 0xF0 && cont(j + 1, 0x90) && cont(j + 2) && cont(j + 3)) return 4;
  if (lead >= 0xF1 && lead <= 0xF3 && cont(j + 1) && cont(j + 2) && cont(j + 3)) return 4;
  if (lead == 0xF4 && cont(j + 1, 0x80, 0x8F) && cont(j + 2) && cont(j + 3)) return 4;
  return 1;
}

// reach[i][j]: the first i pattern bytes can take the first j name bytes.
bool Reference(const std::string& pattern, const std::string& name) {
  if (name.empty()) return false;
  if (pattern.empty()) return true;
  const std::size_t p = pattern.size(), n = name.size();
  std::vector<std::vector<char>> reach(p + 1, std::vector<char>(n + 1, 0));
  reach[0][0] = 1;
  for (std::size_t i = 0; i < p; ++i) {
    for (std::size_t j = 0; j <= n; ++j) {
      if (!reach[i][j]) continue;
      const char c = pattern[i];
      if (c == '*') {
        reach[i + 1][j] = 1;
        if (j < n) reach[i][j + Character(name, j)] = 1;
      } else if (j < n && c == '?') {
        reach[i + 1][j + Character(name, j)] = 1;
      } else if (j < n && c == name[j]) {
        reach[i + 1][j + 1] = 1;
      }
    }
  }
  return reach[p][n];
}

// The pieces of a list, cut by hand: split at every ';', spaces off both
// ends, empty pieces dropped. No ';': the whole pattern.
std::vector<std::string> Pieces(const std::string& pattern) {
  if (pattern.find(';') == std::string::npos) return {pattern};
  std::vector<std::string> pieces{""};
  for (char c : pattern) {
    if (c == ';') pieces.emplace_back();
    else pieces.back() += c;
  }
  std::vector<std::string> kept;
  for (std::string& piece : pieces) {
    const std::size_t first = piece.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    kept.push_back(piece.substr(first, piece.find_last_not_of(' ') - first + 1));
  }
  return kept;
}

bool ListReference(const std::string& pattern, const std::string& name) {
  if (name.empty()) return false;
  const std::vector<std::string> pieces = Pieces(pattern);
  if (pieces.empty()) return true;
  for (const std::string& piece : pieces)
    if (Reference(piece, name)) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 600) return 0;
  // First byte: the rule (its top bit), and where the pattern ends and the
  // name begins.
  utf8 = (data[0] & 0x80) == 0;
  vudo::SetTextRule(utf8 ? vudo::TextRule::kUtf8 : vudo::TextRule::kSingleByte);
  const std::size_t split = data[0] % size;
  const std::string pattern(reinterpret_cast<const char*>(data + 1), split > 0 ? split - 1 : 0);
  const std::string name(reinterpret_cast<const char*>(data + 1 + pattern.size()), size - 1 - pattern.size());
  if (vudo::MatchName(name, pattern) != (ListReference(pattern, name) ? 1 : 0)) __builtin_trap();
  // The same pattern again, so the reuse of its compiled form is checked too.
  if (vudo::MatchName(name + "x", pattern) != (ListReference(pattern, name + "x") ? 1 : 0)) __builtin_trap();
  return 0;
}
