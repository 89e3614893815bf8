#include "search/text_forms.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "common/utf16.h"
#include "platform/legacy_text.h"

namespace vudo {
namespace {

bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool TextByte(unsigned char b) { return b == '\t' || b == '\n' || b == '\r' || (b >= 0x20 && b < 0x7F) || b >= 0xA0; }

// Whether the bytes are UTF-16 without a mark, with the low byte of each unit
// at `low` (0: little-endian, 1: big-endian).
bool LooksLikeUtf16(const unsigned char* bytes, std::size_t units, std::size_t low) {
  std::size_t zero_high = 0, zero_low = 0, beside_zero = 0, text = 0;
  for (std::size_t u = 0; u < units; ++u) {
    const unsigned char lo = bytes[2 * u + low], hi = bytes[2 * u + 1 - low];
    zero_low += lo == 0;
    if (hi != 0) continue;
    ++zero_high;
    if (lo != 0) ++beside_zero, text += TextByte(lo);
  }
  return zero_high * 10 >= units * 9 && zero_low * 50 <= units && beside_zero > 0 && text * 10 >= beside_zero * 9;
}

}  // namespace

FileText SniffFileText(const char* bytes, std::size_t count) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes);
  if (count >= 2 && data[0] == 0xFF && data[1] == 0xFE) return FileText::kUtf16LE;
  if (count >= 2 && data[0] == 0xFE && data[1] == 0xFF) return FileText::kUtf16BE;
  const std::size_t units = count / 2;
  // Most files hold no zero byte at all, and that is quickly seen.
  if (units < 2 || !std::memchr(bytes, 0, 2 * units)) return FileText::kBytes;
  if (LooksLikeUtf16(data, units, 0)) return FileText::kUtf16LEWithoutMark;
  if (LooksLikeUtf16(data, units, 1)) return FileText::kUtf16BEWithoutMark;
  return FileText::kBytes;
}

TextForms::TextForms(std::string_view text, TextRule rule) {
  eight_bit_.emplace_back(text, rule);
  longest_ = text.size();
  if (text.empty()) return;
  // The text's characters, from the program's 8-bit text.
  std::u16string units;
  if (rule == TextRule::kUtf8) {
    if (!Utf8ToUtf16(text, units)) units.clear();
  } else {
    units = platform::LegacyToUtf16(text);
  }
  if (units.empty()) return;
  // The legacy form is folded by the single-byte rule, which would take the
  // trail bytes of a double-byte code page for letters: none there.
  if (!IsAscii(text) && (rule != TextRule::kUtf8 || platform::LegacyIsSingleByte())) {
    std::string other;
    const bool has_form = rule == TextRule::kUtf8 ? platform::Utf16ToLegacy(units, other)
                                                  : !(other = Utf16ToUtf8(units)).empty();
    const TextRule other_rule = rule == TextRule::kUtf8 ? TextRule::kSingleByte : TextRule::kUtf8;
    if (has_form && other != text) {
      const std::string lowered = LowerCase(other, other_rule);
      if (!eight_bit_[0].AddForm(lowered, other_rule)) eight_bit_.emplace_back(lowered, other_rule);
    }
  }
  utf16_.emplace_back(units, TextForm::kUtf16LE);
  utf16_.emplace_back(units, TextForm::kUtf16BE);
  for (const TextFinder& finder : eight_bit_) longest_ = std::max(longest_, finder.size());
  longest_ = std::max(longest_, utf16_[0].size());
}

bool TextForms::FoundIn(FileText kind, const char* bytes, std::size_t count, unsigned char before,
                        std::int64_t offset) const {
  const bool marked = kind == FileText::kUtf16LE || kind == FileText::kUtf16BE;
  if (!marked)
    for (const TextFinder& finder : eight_bit_)
      if (finder.FoundIn(bytes, count, before, offset)) return true;
  if (kind == FileText::kBytes || utf16_.empty()) return false;
  const bool little = kind == FileText::kUtf16LE || kind == FileText::kUtf16LEWithoutMark;
  return utf16_[little ? 0 : 1].FoundIn(bytes, count, before, offset);
}

}  // namespace vudo
