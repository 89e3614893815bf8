#include "common/bytes.h"

#include <gtest/gtest.h>

namespace vudo {
namespace {

TEST(LowerByte, ChosenBytesAndTheirLowerCase) {
  const struct {
    unsigned char byte, lowered;
  } table[] = {
      {'A', 'a'},   {'M', 'm'},   {'Z', 'z'},
      {'@', '@'},   {'[', '['},   // either side of A-Z
      {'a', 'a'},   {'z', 'z'},   {'0', '0'},   {0x00, 0x00}, {0x7F, 0x7F},
      {0xC0, 0xE0}, {0xC9, 0xE9}, {0xDE, 0xFE},  // the Latin-1 capitals
      {0xD7, 0xF7},               // inside that range, although not a letter
      {0xBF, 0xBF}, {0xDF, 0xDF}, // either side of it
      {0xE0, 0xE0}, {0xFE, 0xFE}, {0xFF, 0xFF}, {0x80, 0x80},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(static_cast<int>(row.byte));
    EXPECT_EQ(LowerByte(row.byte), row.lowered);
    EXPECT_EQ(kLowerTable[row.byte], row.lowered);
  }
}

TEST(LowerCase, LowersWholeTextsAndKeepsEmbeddedBytes) {
  EXPECT_EQ(LowerCase("ReadMe.TXT"), "readme.txt");
  EXPECT_EQ(LowerCase(""), "");
  EXPECT_TRUE(EqualLowered("C:\\Data", "c:\\data"));
  EXPECT_FALSE(EqualLowered("C:\\Data", "c:\\data2"));
}

// Puts a text rule in force for one test, as start-up would.
class RuleInForce {
 public:
  explicit RuleInForce(TextRule rule) : saved_(CurrentTextRule()) { SetTextRule(rule); }
  ~RuleInForce() { SetTextRule(saved_); }

 private:
  TextRule saved_;
};

TEST(LowerCase, TheSingleByteRuleFoldsEveryByteOnItsOwn) {
  const RuleInForce rule(TextRule::kSingleByte);
  EXPECT_EQ(LowerCase("\xC0\xDE\xDF"), "\xE0\xFE\xDF");
  EXPECT_EQ(LowerCase("\xC3\x89"), "\xE3\x89");
  EXPECT_TRUE(EqualLowered("\xC9", "\xE9"));
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(CharLength("\xC3\xA9\xE2\x82", i), 1u);
}
TEST(LowerCase, TheUtf8RuleFoldsAsciiAndTheTwoByteLatinCapitals) {
  const RuleInForce rule(TextRule::kUtf8);
  const struct {
    const char* text;
    const char* lowered;
  } table[] = {
      {"\xC3\x89t\xC3\xA9.TXT", "\xC3\xA9t\xC3\xA9.txt"},  // Été.TXT -> été.txt
      {"\xC3\x80\xC3\x9E", "\xC3\xA0\xC3\xBE"},          // U+00C0 and U+00DE, the ends
      {"\xC3\x97", "\xC3\x97"},                            // U+00D7, the multiplication sign
      {"\xC3\x9F", "\xC3\x9F"},                            // U+00DF has no capital here
      {"\xC3\x9F\xC3\x89", "\xC3\x9F\xC3\xA9"},
      {"\xC0\xDE\xC9", "\xC0\xDE\xC9"},                   // no lead byte ever changes
      {"\xE3\xA9\x80", "\xE3\xA9\x80"},                   // a longer sequence stays
      {"\xC3\xC3\x89", "\xC3\xC3\xA9"},
      {"\x89", "\x89"},                                    // no 0xC3 before it
      {"\xC4\x80", "\xC4\x80"},                             // U+0100 is beyond the rule
  };
  for (const auto& row : table) {
    EXPECT_EQ(LowerCase(row.text), row.lowered) << row.text;
    EXPECT_TRUE(EqualLowered(row.text, row.lowered)) << row.text;
  }
  EXPECT_FALSE(EqualLowered("\xC9", "\xE9"));
  EXPECT_FALSE(EqualLowered("\xC3\x89", "\xC3\x8A"));
}

TEST(CharLength, WholeValidSequencesOrSingleBytes) {
  const RuleInForce rule(TextRule::kUtf8);
  const struct {
    std::string text;
    std::size_t length;
  } table[] = {
      {"a", 1},
      {"\xC3\xA9", 2},          // é
      {"\xE2\x82\xAC", 3},      // €
      {"\xF0\x9F\x98\x80", 4},  // an emoji
      {"\xE3\xA9\x80", 3},
      {"\xC3", 1},              // cut off
      {"\xE2\x82", 1},
      {"\xC0\x80", 1},          // overlong
      {"\xE0\x80\x80", 1},
      {"\xED\xA0\x80", 1},      // a surrogate
      {"\xF4\x90\x80\x80", 1},  // beyond U+10FFFF
      {"\xF5\x80\x80\x80", 1},
      {"\x80", 1},              // a continuation byte on its own
      {"\xC3" "a", 1},
  };
  for (const auto& row : table) EXPECT_EQ(CharLength(row.text, 0), row.length) << row.text;
}
TEST(IsValidUtf8, TellsUtf8FromALegacyCodePage) {
  for (const char* text : {"", "plain", "C:\\\xC3\x89t\xC3\xA9\\", "\xE6\x97\xA5\xF0\x9F\x98\x80"})
    EXPECT_TRUE(IsValidUtf8(text)) << text;
  // CP1252 bytes, a cut sequence, an encoded surrogate, an overlong form.
  for (const char* text : {"C:\\\xC9t\xE9\\", "\xE6\x97", "\xED\xA0\x80", "\xC0\xAF"})
    EXPECT_FALSE(IsValidUtf8(text)) << text;
}

TEST(ParseWholeNumber, TakesAWholeNumberAndNothingElse) {
  const struct {
    const char* text;
    bool whole;
    int value;
  } rows[] = {{"12", true, 12}, {"-3", true, -3}, {"0", true, 0}, {"", false, 0},
              {"1x", false, 0}, {" 1", false, 0}, {"99999999999", false, 0}};
  for (const auto& row : rows) {
    int value = 0;
    EXPECT_EQ(ParseWholeNumber(row.text, value), row.whole) << row.text;
    if (row.whole) {
      EXPECT_EQ(value, row.value) << row.text;
    }
  }
}

TEST(PathPart, TakesTheDirectoryPart) {
  const struct {
    const char* path;
    const char* expected;
  } cases[] = {
      {"C:\\Data\\x.txt", "C:\\Data\\"},
      {"C:\\Data", "C:\\"},
      {"x.txt", ""},
      {"", ""},
      {"\"C:\\My Files\\x.txt\"", "C:\\My Files\\"},
      {"\"C:\\Data\\", "C:\\Data\\"},
      {"C:\\a\\b|c:\\d\\e", "C:\\a\\"},
      {"|C:\\a\\", ""},
      {"/usr/bin/vudo", "/usr/bin/"},
      {"C:/mixed\\path/x", "C:/mixed\\path/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(PathPart(c.path), c.expected);
  }
}

}  // namespace
}  // namespace vudo
