#include "app/command_line.h"

#include <gtest/gtest.h>

#include "common/bytes.h"

namespace vudo {
namespace {

TEST(SplitCommandLine, FollowsTheSplittingRules) {
  using Tokens = std::vector<std::string>;
  const struct {
    const char* line;
    Tokens tokens;
  } cases[] = {
      {"vudo.exe", {"vudo.exe"}},
      {"\"C:\\Program Files\\vudo.exe\" C:\\Data\\", {"C:\\Program Files\\vudo.exe", "C:\\Data\\"}},
      {"vudo \"C:\\My Files\\x.txt\"", {"vudo", "C:\\My Files\\x.txt"}},
      {"vudo C:\\My Files\\x.txt", {"vudo", "C:\\My", "Files\\x.txt"}},
      {"vudo \"C:\\Data\\\"", {"vudo", "C:\\Data\\"}},  // no escapes: the backslash stays
      {"vudo \"\" next", {"vudo", "", "next"}},
      {"vudo a   ", {"vudo", "a"}},
      {"   vudo    a    b", {"vudo", "a", "b"}},
      {"vudo a\tb", {"vudo", "a\tb"}},                  // tabs do not separate
      {"vudo \"ab\"cd", {"vudo", "ab", "cd"}},           // a quote's end starts the next token
      {"vudo ab\"cd\"", {"vudo", "ab\"cd\""}},           // a quote inside a token is a character
      {"vudo \"unclosed quote", {"vudo", "unclosed quote"}},
      {"", {}},
      {"    ", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(SplitCommandLine(c.line), c.tokens);
  }
}

TEST(SplitCommandLine, TheFirstParameterGivesTheStartDirectory) {
  const struct {
    const char* line;
    const char* start_directory;
  } cases[] = {
      {"vudo C:\\Data\\Reports\\", "C:\\Data\\Reports\\"},
      {"vudo C:\\Data\\Reports", "C:\\Data\\"},
      {"vudo \"C:\\My Files\\x.txt\"", "C:\\My Files\\"},
      {"vudo C:\\My Files\\x.txt", "C:\\"},
      {"vudo report.txt", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const auto tokens = SplitCommandLine(c.line);
    ASSERT_GE(tokens.size(), 2u);
    EXPECT_EQ(PathPart(tokens[1]), c.start_directory);
  }
}

TEST(NextProgramParameter, GivesEmptyTextAndKeepsTheIndexWhenThereIsNone) {
  // The tests run without parameters.
  ParameterIndex = 0;
  EXPECT_EQ(NextProgramParameter(), "");
  EXPECT_EQ(ParameterIndex, 0);
}

}  // namespace
}  // namespace vudo
