#include "common/bytes.h"

namespace vudo {

std::string LowerCase(std::string_view text) {
  std::string out;
  LowerInto(text, out);
  return out;
}

void LowerInPlace(char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    bytes[i] = static_cast<char>(kLowerTable[static_cast<unsigned char>(bytes[i])]);
}

void LowerInto(std::string_view text, std::string& out) {
  out.assign(text.data(), text.size());
  LowerInPlace(out.data(), out.size());
}

bool EqualLowered(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (kLowerTable[static_cast<unsigned char>(a[i])] != kLowerTable[static_cast<unsigned char>(b[i])]) return false;
  return true;
}

std::string PathPart(std::string_view path) {
  if (!path.empty() && path.front() == '"') path.remove_prefix(1);
  path = path.substr(0, path.find('|'));
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string_view::npos) return {};
  return std::string(path.substr(0, slash + 1));
}

}  // namespace vudo
