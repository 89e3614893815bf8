#include "cli/options.h"

#include <gtest/gtest.h>

namespace vudo::cli {
namespace {

TEST(ParseOptions, AcceptsTheDocumentedForms) {
  const struct {
    std::vector<std::string> args;
    std::string directory, pattern, contains;
  } cases[] = {
      {{"/usr"}, "/usr", "", ""},
      {{"/usr", "*.h"}, "/usr", "*.h", ""},
      {{"--contains", "Text", "/usr", "*.h"}, "/usr", "*.h", "Text"},
      {{"/usr", "*.h", "-c", "x"}, "/usr", "*.h", "x"},
      {{"--contains=a b", "d"}, "d", "", "a b"},
      {{"--", "-dir", "-p"}, "-dir", "-p", ""},
      {{""}, "", "", ""},
  };
  for (const auto& c : cases) {
    Options options;
    std::string error;
    ASSERT_TRUE(ParseOptions(c.args, options, error)) << error;
    EXPECT_EQ(options.directory, c.directory);
    EXPECT_EQ(options.pattern, c.pattern);
    EXPECT_EQ(options.contains, c.contains);
  }
}

TEST(ParseOptions, RefusesBadCommandLinesWithAMessage) {
  const std::vector<std::vector<std::string>> bad = {
      {}, {"--contains"}, {"--frobnicate", "/usr"}, {"/usr", "a.h", "b.h"}, {"-x"},
      {"-j", "/usr"}, {"-j0", "/usr"}, {"--jobs=x", "/usr"}, {"/usr", "-j"}, {"-j", "257", "/usr"},
  };
  for (const auto& args : bad) {
    Options options;
    std::string error;
    EXPECT_FALSE(ParseOptions(args, options, error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(ParseOptions, Print0) {
  for (const char* flag : {"-0", "--print0"}) {
    Options options;
    std::string error;
    ASSERT_TRUE(ParseOptions({flag, "/usr", "*.h"}, options, error)) << error;
    EXPECT_TRUE(options.print0);
    EXPECT_EQ(options.pattern, "*.h");
  }
  Options options;
  std::string error;
  ASSERT_TRUE(ParseOptions({"/usr"}, options, error));
  EXPECT_FALSE(options.print0);
}

TEST(ParseOptions, Jobs) {
  const struct {
    std::vector<std::string> args;
    int jobs;
  } cases[] = {{{"/usr"}, 0},           {{"-j", "4", "/usr"}, 4}, {{"-j8", "/usr"}, 8},
               {{"--jobs", "1", "/usr"}, 1}, {{"--jobs=16", "/usr"}, 16}};
  for (const auto& c : cases) {
    Options options;
    std::string error;
    ASSERT_TRUE(ParseOptions(c.args, options, error)) << error;
    EXPECT_EQ(options.jobs, c.jobs);
    EXPECT_EQ(options.directory, "/usr");
  }
}

TEST(ParseOptions, HelpAndVersionNeedNoDirectory) {
  Options options;
  std::string error;
  ASSERT_TRUE(ParseOptions({"--help"}, options, error));
  EXPECT_TRUE(options.help);
  ASSERT_TRUE(ParseOptions({"--version"}, options, error));
  EXPECT_TRUE(options.version);
}

}  // namespace
}  // namespace vudo::cli
