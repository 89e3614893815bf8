#include "search/text_finder.h"

#include <array>
#include <cstring>

#include "common/bytes.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vudo {
namespace {

constexpr std::array<unsigned char, 256> kScanTable = [] {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = LowerByte(static_cast<unsigned char>(i));
  t[0] = ' ';
  return t;
}();

// A rough guess of how often a (lower-cased) byte turns up in the files people
// search; only the order matters. Rare bytes make few candidate places.
constexpr std::array<unsigned char, 256> kCommonness = [] {
  std::array<unsigned char, 256> r{};
  for (int i = 0; i < 256; ++i) r[i] = i < 128 ? 60 : 20;
  const char* letters = "etaoinsrhldcumfpgwybvkxjqz";
  for (int i = 0; letters[i]; ++i) r[static_cast<unsigned char>(letters[i])] = static_cast<unsigned char>(250 - 4 * i);
  for (char d = '0'; d <= '9'; ++d) r[static_cast<unsigned char>(d)] = 150;
  for (const char* p = ".,_;()=/-\"'*{}<>:#"; *p; ++p) r[static_cast<unsigned char>(*p)] = 160;
  r[' '] = 255;
  r['\n'] = 200;
  r['\t'] = 180;
  r[0xFF] = 120;  // binary padding
  return r;
}();

}  // namespace

unsigned char ScanByte(unsigned char b) { return kScanTable[b]; }

TextFinder::TextFinder(std::string_view text) : text_(text) {
  for (std::size_t i = 1; i < text_.size(); ++i)
    if (kCommonness[static_cast<unsigned char>(text_[i])] < kCommonness[static_cast<unsigned char>(text_[anchor_])])
      anchor_ = i;
  const unsigned char wanted = static_cast<unsigned char>(text_.empty() ? 0 : text_[anchor_]);
  int preimages = 0;
  for (int b = 0; b < 256; ++b) {
    if (kScanTable[b] != wanted) continue;
    (preimages++ == 0 ? anchor_a_ : anchor_b_) = static_cast<unsigned char>(b);
  }
  if (preimages == 1) anchor_b_ = anchor_a_;
  // A byte that no file byte reads as (an upper-case letter, or NUL) can never
  // be found.
  impossible_ = preimages == 0;
}

bool TextFinder::MatchesAt(const unsigned char* start) const {
  for (std::size_t i = 0; i < text_.size(); ++i)
    if (kScanTable[start[i]] != static_cast<unsigned char>(text_[i])) return false;
  return true;
}

bool TextFinder::FoundIn(const char* bytes, std::size_t count) const {
  if (text_.empty()) return true;
  if (impossible_ || count < text_.size()) return false;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes);
  // Places where the anchor byte may stand: anchor_ .. count - (size - anchor_).
  std::size_t i = anchor_;
  const std::size_t end = count - (text_.size() - anchor_) + 1;
#ifdef __SSE2__
  const __m128i a = _mm_set1_epi8(static_cast<char>(anchor_a_));
  const __m128i b = _mm_set1_epi8(static_cast<char>(anchor_b_));
  for (; i + 16 <= end; i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, a), _mm_cmpeq_epi8(chunk, b))));
    while (mask) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
      if (MatchesAt(data + i + bit - anchor_)) return true;
      mask &= mask - 1;
    }
  }
#endif
  for (; i < end; ++i)
    if ((data[i] == anchor_a_ || data[i] == anchor_b_) && MatchesAt(data + i - anchor_)) return true;
  return false;
}

}  // namespace vudo
