#include "common/bytes.h"

#include <gtest/gtest.h>

namespace vudo {
namespace {

TEST(LowerByte, FollowsTheRuleForEveryByte) {
  for (int b = 0; b < 256; ++b) {
    SCOPED_TRACE(b);
    const bool shifted = (b >= 0x41 && b <= 0x5A) || (b >= 0xC0 && b <= 0xDE);
    EXPECT_EQ(LowerByte(static_cast<unsigned char>(b)), shifted ? b + 0x20 : b);
  }
  EXPECT_EQ(LowerByte(0xD7), 0xF7);  // inside the range, although not a letter
  EXPECT_EQ(LowerByte(0xDF), 0xDF);
  EXPECT_EQ(LowerByte(0xBF), 0xBF);
}

TEST(LowerCase, LowersWholeTextsAndKeepsEmbeddedBytes) {
  EXPECT_EQ(LowerCase("ReadMe.TXT"), "readme.txt");
  EXPECT_EQ(LowerCase("\xC0\xDE\xDF"), "\xE0\xFE\xDF");
  EXPECT_EQ(LowerCase(""), "");
  EXPECT_TRUE(EqualLowered("C:\\Data", "c:\\data"));
  EXPECT_FALSE(EqualLowered("C:\\Data", "c:\\data2"));
  EXPECT_TRUE(EqualLowered("\xC9", "\xE9"));
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
