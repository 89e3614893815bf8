// Finds a lower-cased text in raw file bytes as if the bytes had been
// lower-cased and their NUL bytes turned into spaces, without transforming them.
// Or, in a file of UTF-16, as if its code units had been lower-cased.
//
// Each byte of the text has at most two bytes that read as it (its upper-case
// form, or NUL for a space), and those two differ only in the bit 0x20, so
// "(b | 0x20) == text byte" tests both at once. (Under the UTF-8 rule a second
// byte folds only after 0xC3; the filter lets both through and the full check
// at a place looks at the byte before.) The rule is the one the finder is
// made with. The finder takes the text's two
// rarest bytes and tests 32 places at a time (AVX2, where the processor has
// it) or 16 (SSE2) against both, at their distance apart; only places where
// both fit are checked in full.
//
// One finder may look for two 8-bit forms of a text at once (UTF-8 and the
// legacy code page): both keep the text's ASCII characters, so two of those
// with no other character between them lie the same distance apart in each,
// and one pass over the bytes filters for both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"

namespace vudo {

// How a file holds text: 8-bit under one of the two rules, or UTF-16 in one
// byte order.
enum class TextForm { kSingleByte, kUtf8, kUtf16LE, kUtf16BE };

class TextFinder {
 public:
  // `text` is lower-cased by `rule`. An empty text is found in anything.
  explicit TextFinder(std::string_view text, TextRule rule = CurrentTextRule());
  // The same text as UTF-16 code units, in a file of that byte order (`form`
  // is kUtf16LE or kUtf16BE); the units are lower-cased here. A code unit
  // starts at an even offset in the file.
  TextFinder(std::u16string_view units, TextForm form);

  // Also finds `other`, the same text in the other 8-bit encoding, lower-cased
  // by `rule`, in the same pass. False, and the finder unchanged, when the two
  // forms share no two adjacent ASCII bytes to filter on (or one of them can
  // never be found): then `other` needs a finder of its own.
  bool AddForm(std::string_view other, TextRule rule);

  // True when the text occurs in bytes[0, count). `before` is the byte that
  // precedes bytes[0] in the file (0 at its start): under the UTF-8 rule it
  // decides how a first byte reads. `offset` is where bytes[0] lies in the
  // file: in UTF-16 a code unit starts only at an even one.
  bool FoundIn(const char* bytes, std::size_t count, unsigned char before = 0, std::int64_t offset = 0) const;

  std::size_t size() const;  // the longest form's, in bytes

 private:
  // The text as a file would hold it in one encoding.
  struct Form {
    std::string text;
    TextForm form;
    std::size_t lead = 0;  // where the leading anchor lies in `text`
    bool Utf16() const { return form == TextForm::kUtf16LE || form == TextForm::kUtf16BE; }
    // How many file bytes can read as the byte at `index`.
    int Preimages(std::size_t index) const;
    // How common the byte at `index` is in files of this form.
    unsigned char Commonness(std::size_t index) const;
    bool MatchesAt(const unsigned char* start, unsigned char before) const;
    template <bool kUtf8>
    bool MatchesAtBy(const unsigned char* start, unsigned char before) const;
    template <bool kBigEndian>
    bool UnitsMatchAt(const unsigned char* start) const;
  };
  // A byte of the text to filter on: a file byte b fits it when
  // (b | fold) == value; fold is 0x20 where two file bytes read as it, else 0.
  struct Anchor {
    unsigned char value = 0, fold = 0;
    bool Fits(unsigned char b) const { return static_cast<unsigned char>(b | fold) == value; }
    bool operator==(const Anchor&) const = default;
  };
  // The anchor for the byte at `index` of `form`; false when no file byte
  // reads as it.
  static bool MakeAnchor(const Form& form, std::size_t index, Anchor& anchor);
  // The rarest byte of form.text[from, to), and the rarest at another place
  // there, a different byte value before a repeat of the first.
  struct Places {
    std::size_t rarest, next;
  };
  static Places RarestTwo(const Form& form, std::size_t from, std::size_t to);
  void Prepare();
  // Tests the places from `i` on, 32 at a time, while 32 remain; leaves `i`
  // at the first place not tested.
  bool FoundInAvx2(const unsigned char* data, std::size_t places, std::size_t& i, unsigned char before,
                   std::size_t odd) const;
  template <class Lanes>
  bool FoundInLanes(const unsigned char* data, std::size_t places, std::size_t& i, unsigned char before,
                    std::size_t odd) const;
  // A full check of each form whose leading anchor would lie at `at` of
  // data[0, count), whose offset in the file is odd when `odd` is 1.
  bool CheckAt(const unsigned char* data, std::size_t count, std::size_t at, unsigned char before,
               std::size_t odd) const;
  // CheckAt for each place i + n whose bit n is set in `mask`.
  bool CheckCandidates(const unsigned char* data, std::size_t count, std::size_t i, unsigned mask,
                       unsigned char before, std::size_t odd) const;

  std::vector<Form> forms_;  // the program's own first
  // The text's rarest byte and the next rarest elsewhere, in the order they
  // come, `span` bytes apart in every form.
  Anchor lead_, trail_;
  std::size_t span_ = 0;
  std::size_t shortest_ = 0;  // the shortest form's size
  bool impossible_ = false;
};

}  // namespace vudo
