#include "common/bytes.h"

#include <charconv>
#include <system_error>

namespace vudo {
namespace {

#ifdef _WIN32
TextRule text_rule = TextRule::kSingleByte;
#else
TextRule text_rule = TextRule::kUtf8;
#endif

template <bool kUtf8>
bool EqualLoweredBy(std::string_view a, std::string_view b) {
  unsigned char before_a = 0, before_b = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (LowerAfter<kUtf8>(before_a, x) != LowerAfter<kUtf8>(before_b, y)) return false;
    before_a = x;
    before_b = y;
  }
  return true;
}

// The length of the UTF-8 character at text[i], or 1 for a byte that starts
// none.
std::size_t Utf8CharLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range (Unicode's well-formed table)
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
  else return 1;
  if (i + length > text.size()) return 1;
  if (byte(i + 1) < low || byte(i + 1) > high) return 1;
  for (std::size_t k = 2; k < length; ++k)
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 1;
  return length;
}

}  // namespace

TextRule CurrentTextRule() { return text_rule; }
void SetTextRule(TextRule rule) { text_rule = rule; }

std::size_t CharLength(std::string_view text, std::size_t i, TextRule rule) {
  return rule == TextRule::kUtf8 ? Utf8CharLength(text, i) : 1;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8CharLength(text, i);
    if (length == 1 && static_cast<unsigned char>(text[i]) >= 0x80) return false;
    i += length;
  }
  return true;
}

std::string LowerCase(std::string_view text, TextRule rule) {
  std::string out;
  LowerInto(text, out, rule);
  return out;
}

void LowerInPlace(char* bytes, std::size_t count, TextRule rule) {
  if (rule != TextRule::kUtf8) {
    for (std::size_t i = 0; i < count; ++i)
      bytes[i] = static_cast<char>(kLowerTable[static_cast<unsigned char>(bytes[i])]);
  } else {
    // The byte before is taken as it was, before lowering: a lead byte never
    // changes, so lowered or not makes no difference.
    unsigned char before = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const auto b = static_cast<unsigned char>(bytes[i]);
      bytes[i] = static_cast<char>(LowerAfter<true>(before, b));
      before = b;
    }
  }
}

void LowerInto(std::string_view text, std::string& out, TextRule rule) {
  out.assign(text.data(), text.size());
  LowerInPlace(out.data(), out.size(), rule);
}

bool EqualLowered(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  return Utf8Text() ? EqualLoweredBy<true>(a, b) : EqualLoweredBy<false>(a, b);
}

std::string PathPart(std::string_view path) {
  if (!path.empty() && path.front() == '"') path.remove_prefix(1);
  path = path.substr(0, path.find('|'));
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string_view::npos) return {};
  return std::string(path.substr(0, slash + 1));
}

bool ParseWholeNumber(std::string_view text, int& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end;
}

}  // namespace vudo
