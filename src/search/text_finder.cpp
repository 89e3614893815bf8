#include "search/text_finder.h"

#include <array>

#include "common/bytes.h"
#include "common/utf16.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define VUDO_AVX2 1
#endif

namespace vudo {
namespace {

// How a file byte reads for the content test, after the byte before it:
// lower-cased, NUL as a space.
template <bool kUtf8>
constexpr unsigned char ReadsAs(unsigned char before, unsigned char b) {
  return b == 0 ? ' ' : LowerAfter<kUtf8>(before, b);
}

// For every byte value: how many file bytes can read as it, whatever comes
// before them, under one rule.
template <bool kUtf8>
constexpr std::array<unsigned char, 256> PreimageCounts() {
  std::array<unsigned char, 256> count{};
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    ++count[ReadsAs<kUtf8>(0, byte)];
    if (kUtf8 && ReadsAs<kUtf8>(0xC3, byte) != ReadsAs<kUtf8>(0, byte)) ++count[ReadsAs<kUtf8>(0xC3, byte)];
  }
  return count;
}
constexpr std::array<unsigned char, 256> kSingleBytePreimages = PreimageCounts<false>();
constexpr std::array<unsigned char, 256> kUtf8Preimages = PreimageCounts<true>();


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

int TextFinder::Preimages(std::size_t index) const {
  const auto wanted = static_cast<unsigned char>(text_[index]);
  if (form_ == TextForm::kUtf8) return kUtf8Preimages[wanted];
  if (form_ == TextForm::kSingleByte) return kSingleBytePreimages[wanted];
  // UTF-16: only the low byte of a unit below U+0100 folds, so a text byte
  // there reads from itself and, for a small letter of the rule, from its
  // capital; a capital of the rule never remains in a lower-cased text.
  const bool low_byte = (index % 2 == 0) == (form_ == TextForm::kUtf16LE);
  const std::size_t partner = index % 2 == 0 ? index + 1 : index - 1;
  if (!low_byte || text_[partner] != 0) return 1;
  if (LowerUnit(wanted) != wanted) return 0;
  return wanted >= 0x20 && LowerUnit(static_cast<char16_t>(wanted - 0x20)) == wanted ? 2 : 1;
}

bool TextFinder::MakeAnchor(std::size_t index, Anchor& anchor) const {
  const auto wanted = static_cast<unsigned char>(text_[index]);
  const int preimages = Preimages(index);
  anchor.index = index;
  anchor.value = wanted;
  // Two bytes read as `wanted` exactly when it and the byte without 0x20 do.
  anchor.fold = preimages == 2 ? 0x20 : 0x00;
  return preimages > 0;
}

TextFinder::TextFinder(std::string_view text, TextRule rule)
    : text_(text), form_(rule == TextRule::kUtf8 ? TextForm::kUtf8 : TextForm::kSingleByte) {
  Prepare();
}

TextFinder::TextFinder(std::u16string_view units, TextForm form) : form_(form) {
  const bool big_endian = form == TextForm::kUtf16BE;
  text_.reserve(2 * units.size());
  for (char16_t unit : units) {
    const char16_t lowered = LowerUnit(unit);
    const auto low = static_cast<char>(lowered & 0xFF), high = static_cast<char>(lowered >> 8);
    text_ += big_endian ? high : low;
    text_ += big_endian ? low : high;
  }
  Prepare();
}

void TextFinder::Prepare() {
  if (text_.empty()) return;
  // In UTF-16 text half the bytes are zero: the high bytes of Latin letters.
  auto commonness = [&](std::size_t i) {
    const auto b = static_cast<unsigned char>(text_[i]);
    return Utf16() && b == 0 ? static_cast<unsigned char>(255) : kCommonness[b];
  };
  std::size_t rarest = 0;
  for (std::size_t i = 1; i < text_.size(); ++i)
    if (commonness(i) < commonness(rarest)) rarest = i;
  // The second anchor is the rarest byte at another place; a different byte
  // value filters better than a repeat of the first.
  std::size_t next = rarest == 0 ? text_.size() - 1 : 0;
  for (std::size_t i = 0; i < text_.size(); ++i) {
    if (i == rarest) continue;
    const bool differs = text_[i] != text_[rarest], next_differs = text_[next] != text_[rarest];
    if ((differs && !next_differs) || (differs == next_differs && commonness(i) < commonness(next))) next = i;
  }
  // A byte that no file byte reads as (an upper-case letter, or NUL) can never
  // be found.
  impossible_ = !MakeAnchor(rarest, first_) || !MakeAnchor(next, second_);
  for (std::size_t i = 0; i < text_.size(); ++i)
    if (Preimages(i) == 0) impossible_ = true;
}

template <bool kUtf8>
bool TextFinder::MatchesAtBy(const unsigned char* start, unsigned char before) const {
  for (std::size_t i = 0; i < text_.size(); ++i) {
    if (ReadsAs<kUtf8>(before, start[i]) != static_cast<unsigned char>(text_[i])) return false;
    before = start[i];
  }
  return true;
}

template <bool kBigEndian>
bool TextFinder::UnitsMatchAt(const unsigned char* start) const {
  const auto* text = reinterpret_cast<const unsigned char*>(text_.data());
  for (std::size_t i = 0; i < text_.size(); i += 2) {
    const auto unit = [&](const unsigned char* at) {
      return static_cast<char16_t>(kBigEndian ? at[0] << 8 | at[1] : at[1] << 8 | at[0]);
    };
    if (LowerUnit(unit(start + i)) != unit(text + i)) return false;
  }
  return true;
}

bool TextFinder::MatchesAt(const unsigned char* start, unsigned char before) const {
  switch (form_) {
    case TextForm::kUtf8:
      return MatchesAtBy<true>(start, before);
    case TextForm::kSingleByte:
      return MatchesAtBy<false>(start, before);
    case TextForm::kUtf16LE:
      return UnitsMatchAt<false>(start);
    case TextForm::kUtf16BE:
      return UnitsMatchAt<true>(start);
  }
  return false;
}

bool TextFinder::CheckAt(const unsigned char* data, std::size_t at, unsigned char before, std::size_t odd) const {
  if (Utf16() && ((at + odd) & 1)) return false;  // inside a code unit
  return MatchesAt(data + at, at ? data[at - 1] : before);
}

namespace {

// The candidate test for one register width: one bit for each of the kWidth
// places from `at1` on where the byte fits the first anchor (b | fold1 ==
// value1) and the byte at the same place from `at2` fits the second. No
// vector crosses a call, so a call that is not inlined (a debug build) passes
// plain values; in an optimised build the splats are hoisted out of the loop.
#ifdef __SSE2__
struct Sse2Lanes {
  static constexpr std::size_t kWidth = 16;
  static unsigned BothFit(const unsigned char* at1, unsigned char value1, unsigned char fold1,
                          const unsigned char* at2, unsigned char value2, unsigned char fold2) {
    const __m128i c1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at1));
    const __m128i c2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at2));
    const __m128i fit1 = _mm_cmpeq_epi8(_mm_or_si128(c1, _mm_set1_epi8(static_cast<char>(fold1))),
                                        _mm_set1_epi8(static_cast<char>(value1)));
    const __m128i fit2 = _mm_cmpeq_epi8(_mm_or_si128(c2, _mm_set1_epi8(static_cast<char>(fold2))),
                                        _mm_set1_epi8(static_cast<char>(value2)));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(fit1, fit2)));
  }
};
#endif
#ifdef VUDO_AVX2
#define VUDO_AVX2_TARGET __attribute__((target("avx2")))
struct Avx2Lanes {
  static constexpr std::size_t kWidth = 32;
  VUDO_AVX2_TARGET static unsigned BothFit(const unsigned char* at1, unsigned char value1, unsigned char fold1,
                                           const unsigned char* at2, unsigned char value2, unsigned char fold2) {
    const __m256i c1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at1));
    const __m256i c2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at2));
    const __m256i fit1 = _mm256_cmpeq_epi8(_mm256_or_si256(c1, _mm256_set1_epi8(static_cast<char>(fold1))),
                                           _mm256_set1_epi8(static_cast<char>(value1)));
    const __m256i fit2 = _mm256_cmpeq_epi8(_mm256_or_si256(c2, _mm256_set1_epi8(static_cast<char>(fold2))),
                                           _mm256_set1_epi8(static_cast<char>(value2)));
    return static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(fit1, fit2)));
  }
};
#endif

}  // namespace

// Tests the places from `i` on, Lanes::kWidth at a time, while that many
// remain, and checks in full each place where both anchors fit; leaves `i` at
// the first place not tested.
template <class Lanes>
bool TextFinder::FoundInLanes(const unsigned char* data, std::size_t places, std::size_t& i, unsigned char before,
                              std::size_t odd) const {
  const Anchor first = first_, second = second_;
  for (; i + Lanes::kWidth <= places; i += Lanes::kWidth) {
    const unsigned mask = Lanes::BothFit(data + i + first.index, first.value, first.fold, data + i + second.index,
                                         second.value, second.fold);
    if (mask && CheckCandidates(data, i, mask, before, odd)) return true;
  }
  return false;
}

// Out of the vector loop, which then keeps all it needs in registers: a
// candidate is rare.
__attribute__((noinline)) bool TextFinder::CheckCandidates(const unsigned char* data, std::size_t i, unsigned mask,
                                                           unsigned char before, std::size_t odd) const {
  for (; mask; mask &= mask - 1)
    if (CheckAt(data, i + static_cast<unsigned>(__builtin_ctz(mask)), before, odd)) return true;
  return false;
}

#ifdef VUDO_AVX2
// Flattened, so that the loop and its vector operations are compiled for AVX2
// here and nowhere else.
VUDO_AVX2_TARGET __attribute__((flatten)) bool TextFinder::FoundInAvx2(const unsigned char* data, std::size_t places,
                                                                       std::size_t& i, unsigned char before,
                                                                       std::size_t odd) const {
  return FoundInLanes<Avx2Lanes>(data, places, i, before, odd);
}
#else
bool TextFinder::FoundInAvx2(const unsigned char*, std::size_t, std::size_t&, unsigned char, std::size_t) const {
  return false;
}
#endif

bool TextFinder::FoundIn(const char* bytes, std::size_t count, unsigned char before, std::int64_t offset) const {
  if (text_.empty()) return true;
  if (impossible_ || count < text_.size()) return false;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes);
  // Every place the text may start: 0 .. count - size.
  const std::size_t places = count - text_.size() + 1;
  const std::size_t odd = static_cast<std::size_t>(offset & 1);
  std::size_t i = 0;
#ifdef VUDO_AVX2
  static const bool has_avx2 = __builtin_cpu_supports("avx2");
  if (has_avx2 && FoundInAvx2(data, places, i, before, odd)) return true;
#endif
#ifdef __SSE2__
  if (FoundInLanes<Sse2Lanes>(data, places, i, before, odd)) return true;
#endif
  for (; i < places; ++i)
    if (first_.Fits(data[i + first_.index]) && second_.Fits(data[i + second_.index]) && CheckAt(data, i, before, odd))
      return true;
  return false;
}

}  // namespace vudo
