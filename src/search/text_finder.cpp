#include "search/text_finder.h"

#include <algorithm>
#include <array>
#include <tuple>

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

int TextFinder::Form::Preimages(std::size_t index) const {
  const auto wanted = static_cast<unsigned char>(text[index]);
  if (form == TextForm::kUtf8) return kUtf8Preimages[wanted];
  if (form == TextForm::kSingleByte) return kSingleBytePreimages[wanted];
  // UTF-16: only the low byte of a unit below U+0100 folds, so a text byte
  // there reads from itself and, for a small letter of the rule, from its
  // capital; a capital of the rule never remains in a lower-cased text.
  const bool low_byte = (index % 2 == 0) == (form == TextForm::kUtf16LE);
  const std::size_t partner = index % 2 == 0 ? index + 1 : index - 1;
  if (!low_byte || text[partner] != 0) return 1;
  if (LowerUnit(wanted) != wanted) return 0;
  return wanted >= 0x20 && LowerUnit(static_cast<char16_t>(wanted - 0x20)) == wanted ? 2 : 1;
}

unsigned char TextFinder::Form::Commonness(std::size_t index) const {
  const auto b = static_cast<unsigned char>(text[index]);
  // In UTF-16 text half the bytes are zero: the high bytes of Latin letters.
  return Utf16() && b == 0 ? static_cast<unsigned char>(255) : kCommonness[b];
}

bool TextFinder::MakeAnchor(const Form& form, std::size_t index, Anchor& anchor) {
  const int preimages = form.Preimages(index);
  anchor.value = static_cast<unsigned char>(form.text[index]);
  // Two bytes read as the value exactly when it and the byte without 0x20 do.
  anchor.fold = preimages == 2 ? 0x20 : 0x00;
  return preimages > 0;
}

TextFinder::Places TextFinder::RarestTwo(const Form& form, std::size_t from, std::size_t to) {
  std::size_t rarest = from;
  for (std::size_t i = from + 1; i < to; ++i)
    if (form.Commonness(i) < form.Commonness(rarest)) rarest = i;
  // A different byte value filters better than a repeat of the first.
  std::size_t next = rarest == from ? to - 1 : from;
  for (std::size_t i = from; i < to; ++i) {
    if (i == rarest) continue;
    const bool differs = form.text[i] != form.text[rarest], next_differs = form.text[next] != form.text[rarest];
    if ((differs && !next_differs) || (differs == next_differs && form.Commonness(i) < form.Commonness(next)))
      next = i;
  }
  return {rarest, next};
}

TextFinder::TextFinder(std::string_view text, TextRule rule) {
  forms_.push_back({std::string(text), rule == TextRule::kUtf8 ? TextForm::kUtf8 : TextForm::kSingleByte});
  Prepare();
}

TextFinder::TextFinder(std::u16string_view units, TextForm form) {
  const bool big_endian = form == TextForm::kUtf16BE;
  std::string text;
  text.reserve(2 * units.size());
  for (char16_t unit : units) {
    const char16_t lowered = LowerUnit(unit);
    const auto low = static_cast<char>(lowered & 0xFF), high = static_cast<char>(lowered >> 8);
    text += big_endian ? high : low;
    text += big_endian ? low : high;
  }
  forms_.push_back({std::move(text), form});
  Prepare();
}

void TextFinder::Prepare() {
  Form& form = forms_[0];
  shortest_ = form.text.size();
  if (form.text.empty()) return;
  const Places places = RarestTwo(form, 0, form.text.size());
  form.lead = std::min(places.rarest, places.next);
  span_ = std::max(places.rarest, places.next) - form.lead;
  // A byte that no file byte reads as (an upper-case letter, or NUL) can never
  // be found.
  impossible_ = !MakeAnchor(form, form.lead, lead_) || !MakeAnchor(form, form.lead + span_, trail_);
  for (std::size_t i = 0; i < form.text.size(); ++i)
    if (form.Preimages(i) == 0) impossible_ = true;
}

bool TextFinder::AddForm(std::string_view other, TextRule rule) {
  Form& own = forms_[0];
  if (impossible_ || own.Utf16() || own.text.empty() || other.empty()) return false;
  Form added{std::string(other), rule == TextRule::kUtf8 ? TextForm::kUtf8 : TextForm::kSingleByte};
  for (std::size_t i = 0; i < added.text.size(); ++i)
    if (added.Preimages(i) == 0) return false;
  // The ASCII bytes of each form, in order: the same sequence in both.
  auto ascii = [](const std::string& text) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < text.size(); ++i)
      if (static_cast<unsigned char>(text[i]) < 0x80) at.push_back(i);
    return at;
  };
  const std::vector<std::size_t> own_at = ascii(own.text), added_at = ascii(added.text);
  if (own_at.size() != added_at.size()) return false;
  for (std::size_t n = 0; n < own_at.size(); ++n)
    if (own.text[own_at[n]] != added.text[added_at[n]]) return false;
  // The best pair of anchors within a run of ASCII bytes adjacent in both
  // forms: the rarest first byte, then a different value, then the rarest
  // second byte.
  bool found = false;
  std::size_t best_lead = 0, best_trail = 0, best_added_lead = 0;
  auto worse = [&](std::size_t a, std::size_t b, std::size_t x, std::size_t y) {
    // Is the pair (a, b) worse than (x, y), both as places in own.text?
    auto rarity = [&](std::size_t p, std::size_t q) {
      const unsigned char cp = own.Commonness(p), cq = own.Commonness(q);
      return std::tuple(std::min(cp, cq), own.text[p] == own.text[q], std::max(cp, cq));
    };
    return rarity(a, b) > rarity(x, y);
  };
  for (std::size_t first = 0; first < own_at.size();) {
    std::size_t last = first + 1;
    while (last < own_at.size() && own_at[last] == own_at[last - 1] + 1 && added_at[last] == added_at[last - 1] + 1)
      ++last;
    if (last - first >= 2) {
      const Places run = RarestTwo(own, own_at[first], own_at[first] + (last - first));
      const std::size_t lead = std::min(run.rarest, run.next), trail = std::max(run.rarest, run.next);
      if (!found || worse(best_lead, best_trail, lead, trail)) {
        found = true;
        best_lead = lead, best_trail = trail;
        best_added_lead = added_at[first] + (lead - own_at[first]);
      }
    }
    first = last;
  }
  if (!found) return false;
  Anchor lead, trail, added_lead, added_trail;
  const std::size_t span = best_trail - best_lead;
  if (!MakeAnchor(own, best_lead, lead) || !MakeAnchor(own, best_trail, trail) ||
      !MakeAnchor(added, best_added_lead, added_lead) || !MakeAnchor(added, best_added_lead + span, added_trail) ||
      !(lead == added_lead) || !(trail == added_trail))
    return false;
  lead_ = lead, trail_ = trail, span_ = span;
  own.lead = best_lead;
  added.lead = best_added_lead;
  shortest_ = std::min(shortest_, added.text.size());
  forms_.push_back(std::move(added));
  return true;
}

std::size_t TextFinder::size() const {
  std::size_t longest = 0;
  for (const Form& form : forms_) longest = std::max(longest, form.text.size());
  return longest;
}

template <bool kUtf8>
bool TextFinder::Form::MatchesAtBy(const unsigned char* start, unsigned char before) const {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (ReadsAs<kUtf8>(before, start[i]) != static_cast<unsigned char>(text[i])) return false;
    before = start[i];
  }
  return true;
}

template <bool kBigEndian>
bool TextFinder::Form::UnitsMatchAt(const unsigned char* start) const {
  const auto* units = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const auto unit = [&](const unsigned char* at) {
      return static_cast<char16_t>(kBigEndian ? at[0] << 8 | at[1] : at[1] << 8 | at[0]);
    };
    if (LowerUnit(unit(start + i)) != unit(units + i)) return false;
  }
  return true;
}

bool TextFinder::Form::MatchesAt(const unsigned char* start, unsigned char before) const {
  switch (form) {
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

bool TextFinder::CheckAt(const unsigned char* data, std::size_t count, std::size_t at, unsigned char before,
                         std::size_t odd) const {
  for (const Form& form : forms_) {
    if (at < form.lead || at - form.lead + form.text.size() > count) continue;  // runs past the bytes
    const std::size_t place = at - form.lead;
    if (form.Utf16() && ((place + odd) & 1)) continue;  // inside a code unit
    if (form.MatchesAt(data + place, place ? data[place - 1] : before)) return true;
  }
  return false;
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
  const Anchor lead = lead_, trail = trail_;
  const std::size_t span = span_;
  for (; i + Lanes::kWidth <= places; i += Lanes::kWidth) {
    const unsigned mask =
        Lanes::BothFit(data + i, lead.value, lead.fold, data + i + span, trail.value, trail.fold);
    if (mask && CheckCandidates(data, places + span, i, mask, before, odd)) return true;
  }
  return false;
}

// Out of the vector loop, which then keeps all it needs in registers: a
// candidate is rare.
__attribute__((noinline)) bool TextFinder::CheckCandidates(const unsigned char* data, std::size_t count,
                                                           std::size_t i, unsigned mask, unsigned char before,
                                                           std::size_t odd) const {
  for (; mask; mask &= mask - 1)
    if (CheckAt(data, count, i + static_cast<unsigned>(__builtin_ctz(mask)), before, odd)) return true;
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
  if (shortest_ == 0) return true;
  if (impossible_ || count < shortest_) return false;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes);
  // Every place the leading anchor may lie with the trailing one inside the
  // bytes; CheckAt sees whether a form fits around it.
  const std::size_t places = count - span_;
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
    if (lead_.Fits(data[i]) && trail_.Fits(data[i + span_]) && CheckAt(data, count, i, before, odd)) return true;
  return false;
}

}  // namespace vudo
