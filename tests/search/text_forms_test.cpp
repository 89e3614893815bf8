// A Contains text in the encodings a Windows disk holds: each checked against
// a plain reference that decodes the whole file and searches it.
#include "search/text_forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "common/utf16.h"
#include "platform/process.h"
#include "search/scanner.h"
#include "support/temp_tree.h"

namespace vudo {
namespace {

enum class Encoding { kUtf8, kUtf8Mark, kUtf16LEMark, kUtf16BEMark, kUtf16LE, kWindows1252 };
const char* Name(Encoding e) {
  const char* names[] = {"UTF-8", "UTF-8 with mark", "UTF-16 LE with mark", "UTF-16 BE with mark",
                         "UTF-16 LE", "Windows-1252"};
  return names[static_cast<int>(e)];
}

// Characters as UTF-16 code units, then as a file's bytes in `e`.
std::string Encode(const std::u16string& units, Encoding e) {
  std::string bytes;
  switch (e) {
    case Encoding::kUtf8Mark:
      bytes = "\xEF\xBB\xBF";
      [[fallthrough]];
    case Encoding::kUtf8:
      return bytes + Utf16ToUtf8(units);
    case Encoding::kWindows1252:
      for (char16_t u : units) bytes += static_cast<char>(u);  // the Latin-1 part the tests use
      return bytes;
    case Encoding::kUtf16LEMark:
      bytes = "\xFF\xFE";
      [[fallthrough]];
    case Encoding::kUtf16LE:
      for (char16_t u : units) bytes += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
      return bytes;
    case Encoding::kUtf16BEMark:
      bytes = "\xFE\xFF";
      for (char16_t u : units) bytes += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
      return bytes;
  }
  return bytes;
}

// The reference: the whole file decoded by the encoding it was written in,
// every code unit lower-cased, the lower-cased text looked for.
bool ReferenceHolds(const std::u16string& file_units, const std::u16string& text_units) {
  std::u16string file = file_units, text = text_units;
  for (char16_t& u : file) u = LowerUnit(u);
  for (char16_t& u : text) u = LowerUnit(u);
  return file.find(text) != std::u16string::npos;
}

// The program's own text for `utf8`, lower-cased by the rule in force.
std::string ProgramText(const std::string& utf8) {
  std::u16string units;
  Utf8ToUtf16(utf8, units);
  std::string text;
  if (Utf8Text()) text = utf8;
  else
    for (char16_t u : units) text += static_cast<char>(u);  // the tests run in Windows-1252 then
  return LowerCase(text);
}

std::u16string Units(const std::string& utf8) {
  std::u16string units;
  Utf8ToUtf16(utf8, units);
  return units;
}

class TextFormsTest : public ::testing::Test {
 protected:
  testing_tree::TempTree tree_;
};

// Every encoding, with the text at the start, across block borders, at the
// end and before an odd last byte, in either letter case, with small blocks
// and real ones; and a text the file does not hold.
TEST_F(TextFormsTest, EveryEncodingEveryPlaceEitherCase) {
  const std::u16string filler = Units("The quick brown fox jumps over the lazy dog. ");
  const std::string wanted = "hello w\xC3\xB6rld";
  const Encoding encodings[] = {Encoding::kUtf8,    Encoding::kUtf8Mark, Encoding::kUtf16LEMark,
                                Encoding::kUtf16BEMark, Encoding::kUtf16LE, Encoding::kWindows1252};
  for (const Encoding encoding : encodings) {
    for (const char* written : {"Hello W\xC3\xB6rld", "HELLO W\xC3\x96RLD"}) {
      for (std::size_t at : {std::size_t{0}, std::size_t{250}, std::size_t{251}, std::size_t{300}, std::size_t{997}}) {
        for (const bool odd_end : {false, true}) {
          std::u16string units;
          while (units.size() < 1000) units += filler;
          units.resize(1000);
          const std::u16string text = Units(written);
          units.replace(std::min(at, units.size() - text.size()), text.size(), text);
          std::string bytes = Encode(units, encoding);
          if (odd_end) bytes += 'x';
          tree_.Write("f", bytes);
          for (std::size_t block : {std::size_t{7}, std::size_t{64}, kScanBlockSize}) {
            SCOPED_TRACE(std::string(Name(encoding)) + ", '" + written + "' at " + std::to_string(at) + ", block " +
                         std::to_string(block) + (odd_end ? ", odd end" : ""));
            ASSERT_TRUE(ReferenceHolds(units, Units(wanted)));
            EXPECT_EQ(FileContainsTextInBlocks(tree_.Path("f"), ProgramText(wanted), block), 1);
            EXPECT_EQ(FileContainsTextInBlocks(tree_.Path("f"), ProgramText("hello w\xC3\xB6rlds"), block), 0);
          }
        }
      }
    }
  }
}

// A text beyond ASCII is looked for in both 8-bit forms in one pass where it
// has two adjacent ASCII letters, else form by form: either way each form is
// found flush against both ends of the file and across block borders.
TEST_F(TextFormsTest, BothEightBitFormsAtTheEdges) {
  for (const char* wanted : {"\xC3\xB6", "x\xC3\xB6", "\xC3\xB6x", "ab \xC3\xA9", "\xC3\xA9 ab", "\xC3\xBC" "ber stra\xC3\x9F" "e"}) {
    for (const Encoding encoding : {Encoding::kUtf8, Encoding::kWindows1252}) {
      for (const char* around : {"", "zz"}) {
        const std::u16string units = Units(std::string(around) + wanted + around);
        tree_.Write("f", Encode(units, encoding));
        for (std::size_t block : {std::size_t{1}, std::size_t{3}, kScanBlockSize}) {
          SCOPED_TRACE(std::string(Name(encoding)) + ", '" + wanted + "' within '" + around + "', block " +
                       std::to_string(block));
          EXPECT_EQ(FileContainsTextInBlocks(tree_.Path("f"), ProgramText(wanted), block), 1);
          EXPECT_EQ(FileContainsTextInBlocks(tree_.Path("f"), ProgramText(std::string(wanted) + "q"), block), 0);
          EXPECT_EQ(FileContainsTextInBlocks(tree_.Path("f"), ProgramText(std::string("q") + wanted), block), 0);
        }
      }
    }
  }
}

// A character past U+FFFF is its surrogate pair in UTF-16.
TEST_F(TextFormsTest, ACharacterBeyondTheBasicPlaneIsItsSurrogatePair) {
  if (!Utf8Text()) GTEST_SKIP() << "an emoji has no form in a single-byte code page";
  const std::string emoji = "smile \xF0\x9F\x98\x80 please";
  tree_.Write("le", Encode(Units("Say " + emoji + "!"), Encoding::kUtf16LEMark));
  tree_.Write("be", Encode(Units("Say " + emoji + "!"), Encoding::kUtf16BEMark));
  EXPECT_EQ(FileContainsText(tree_.Path("le"), emoji), 1);
  EXPECT_EQ(FileContainsText(tree_.Path("be"), emoji), 1);
  EXPECT_EQ(FileContainsText(tree_.Path("le"), "smile \xF0\x9F\x98\x81"), 0);
}

// Binary files hold a text in no form by chance: zeros, arrays of small
// numbers (which look like UTF-16 at a glance), this test's own program.
// Where an array of numbers is taken for UTF-16, an 8-bit text in it is still
// found.
TEST_F(TextFormsTest, BinaryFilesGiveNoHitAndHideNoEightBitText) {
  std::string numbers;
  for (int i = 0; i < 20000; ++i) numbers += {static_cast<char>(i % 7 + 1), '\0'};
  tree_.Write("zeros", std::string(100000, '\0'));
  tree_.Write("numbers", numbers);
  std::string marked = numbers;
  marked.replace(5001, 6, "needle");
  tree_.Write("numbers with text", marked);
  // A text made at run time, so that this program does not hold it itself:
  // the temporary folder's random name.
  const std::string root = tree_.Root();
  const std::string absent = LowerCase("zq" + root.substr(root.find_last_of("/\\") + 1) + "qz");
  for (const std::string& file : {tree_.Path("zeros"), tree_.Path("numbers"), platform::ProgramPath()}) {
    SCOPED_TRACE(file);
    EXPECT_EQ(FileContainsText(file, absent), 0);
  }
  EXPECT_EQ(FileContainsText(tree_.Path("numbers with text"), "needle"), 1);
}

TEST(SniffFileText, MarksAndUnmistakableText) {
  const std::string text16 = Encode(Units("Plain text in UTF-16, line one.\r\n"), Encoding::kUtf16LE);
  const std::string be16 = Encode(Units("Plain text in UTF-16, line one.\r\n"), Encoding::kUtf16BEMark).substr(2);
  const struct {
    std::string bytes;
    FileText expected;
  } table[] = {
      {"\xFF\xFE", FileText::kUtf16LE},
      {"\xFE\xFF", FileText::kUtf16BE},
      {"\xEF\xBB\xBF" "abc", FileText::kBytes},
      {text16, FileText::kUtf16LEWithoutMark},
      {be16, FileText::kUtf16BEWithoutMark},
      {"a", FileText::kBytes},
      {std::string("a\0", 2), FileText::kBytes},                     // one unit is no evidence
      {std::string(4096, '\0'), FileText::kBytes},                   // zeros
      {std::string("\x01\0\x02\0\x03\0\x04\0", 8), FileText::kBytes},  // small numbers, no text
      {"plain ASCII text with no zero byte", FileText::kBytes},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(::testing::PrintToString(row.bytes));
    EXPECT_EQ(SniffFileText(row.bytes.data(), row.bytes.size()), row.expected);
  }
}

}  // namespace
}  // namespace vudo
