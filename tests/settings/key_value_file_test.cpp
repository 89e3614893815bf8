#include "settings/key_value_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/file_store.h"
#include "support/temp_tree.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vudo {
namespace {

using testing_tree::TempTree;

void MakeReadOnly(const std::string& path, bool read_only) {
#ifdef _WIN32
  SetFileAttributesA(path.c_str(), read_only ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
  chmod(path.c_str(), read_only ? 0444 : 0644);
#endif
}

class KeyValueFileTest : public ::testing::Test {
 protected:
  void TearDown() override {
    CloseKeyValueFile();
    platform::testing::FailWritesAfter(SIZE_MAX);
  }
  std::string Path() const { return tree_.Path("Vudo.ini"); }
  std::string Content() const { return tree_.Read("Vudo.ini"); }
  bool Exists() const { return std::filesystem::exists(Path()); }
  // Nothing but the settings file is left in its directory (no temporary file).
  std::size_t FilesInDirectory() const {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(tree_.Root())) ++n;
    return n;
  }

  TempTree tree_;
};

TEST_F(KeyValueFileTest, ReadsWhatAPersonMayWrite) {
  const struct {
    std::string content, key, fallback, expected;
  } cases[] = {
      {"searchdir=C:\\Data\\\r\n", "searchdir", "-", "C:\\Data\\"},
      {"  SearchDir   =   C:\\Data\\   \r\n", "searchdir", "-", "C:\\Data\\"},
      {"searchdir = x\r\n", "SEARCHDIR", "-", "x"},
      {"contains = \r\n", "contains", "fallback", ""},
      {"a = b = c\r\n", "a", "-", "b = c"},
      {"a = 1\nb = 2\rc = 3\r\n\r\n\n\rd = 4", "c", "-", "3"},
      {"a = 1\nb = 2\rc = 3\r\n\r\n\n\rd = 4", "d", "-", "4"},
      {"k = first\r\nK = second\r\n", "k", "-", "first"},
      {"[x]\r\nk = v\r\n", "k", "fallback", "fallback"},
      {"k = top\r\n[x]\r\nk = inner\r\n", "k", "-", "top"},
      {";a = b\r\n", "a", "fallback", "fallback"},
      {"; comment\r\n\r\nk = v\r\n", "k", "-", "v"},
      {"[name\r\nk = v\r\n", "k", "fallback", "fallback"},
      {"novalue\nnext = 1\r\n", "novalue", "fallback", ""},
      {"novalue\rnext = 1\r\n", "next", "-", "1"},
      {"novalue\r\nnext = 1\r\n", "novalue", "fallback", ""},
      {"\t key \t=\t value \t\r\n", "key", "-", "value"},
      {std::string("a = 1\0b = 2\r\n", 13), "b", "-", "2"},
      {"\xC9 = upper\r\n", "\xE9", "fallback", "fallback"},  // only ASCII letters fold
      {"", "k", "fallback", "fallback"},
      {"\xEF\xBB\xBF" "a = caf\xC3\xA9\r\n", "a", "-", "caf\xE9"},
      {"\xEF\xBB\xBF" "\xC3\xA9t\xC3\xA9 = summer\r\n", "\xE9t\xE9", "-", "summer"},
      {"\xEF\xBB\xBF" "a = \x80x\r\n", "a", "-", ""},         // continuation byte first
      {"\xEF\xBB\xBF" "a = \xC3(\r\n", "a", "-", ""},         // bad continuation
      {"\xEF\xBB\xBF" "a = \xC4\x80\r\n", "a", "-", ""},      // beyond U+00FF
      {"\xEF\xBB\xBF" "a = \xF8\x80\r\n", "a", "-", ""},      // no such lead byte
      {"\xEF\xBB\xBF" "a = ab\xC3", "a", "-", "ab"},          // cut off at the end
      {"\xEF\xBB\xBF", "a", "fallback", "fallback"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("content '" + c.content + "' key '" + c.key + "'");
    tree_.Write("Vudo.ini", c.content);
    ASSERT_TRUE(OpenKeyValueFile(Path()));
    EXPECT_EQ(GetKeyValue(c.key, c.fallback), c.expected);
    EXPECT_TRUE(CloseKeyValueFile());
    EXPECT_EQ(Content(), c.content) << "a file read without puts is never rewritten";
  }
}

TEST_F(KeyValueFileTest, CreatePutCloseWritesExactBytes) {
  tree_.Write("Vudo.ini", "old = content\r\n");
  ASSERT_TRUE(CreateKeyValueFile(Path()));
  PutKeyValue("searchdir", "C:\\");
  PutKeyValue("filename", "");
  EXPECT_EQ(Content(), "old = content\r\n") << "the old file stays whole until the close";
  EXPECT_TRUE(CloseKeyValueFile());
  EXPECT_EQ(Content(), "searchdir = C:\\\r\nfilename = \r\n");
  EXPECT_EQ(FilesInDirectory(), 1u);
}

TEST_F(KeyValueFileTest, ALineBreakInsideAValueOrKeyNeverMakesALine) {
  ASSERT_TRUE(CreateKeyValueFile(Path()));
  PutKeyValue("searchdir", "C:\\Real\\");
  PutKeyValue("contains", "error\r\nrecentsearchdir0 = /elsewhere/");
  PutKeyValue("filename", "*.log\nfilename = *.exe");
  PutKeyValue("odd\rkey", "value");
  PutKeyValue("nul", std::string("cut\0here", 8));
  ASSERT_TRUE(CloseKeyValueFile());
  EXPECT_EQ(Content(), "searchdir = C:\\Real\\\r\ncontains = error\r\nfilename = *.log\r\nodd = value\r\nnul = cut\r\n");
  ASSERT_TRUE(OpenKeyValueFile(Path()));
  EXPECT_EQ(GetKeyValue("contains"), "error");
  EXPECT_EQ(GetKeyValue("recentsearchdir0", "absent"), "absent");
  EXPECT_EQ(GetKeyValue("filename"), "*.log");
}

TEST_F(KeyValueFileTest, ManyUnclosedSectionLinesReadInLinearTime) {
  // Each "[" line looks for its "]" within its own line only; searching the
  // rest of the file each time made this quadratic.
  std::string content = "searchdir = C:\\x\\\r\n";
  for (int i = 0; i < 200000; ++i) content += "[\r\n";
  content += "[real]\r\nkey = value\r\n";
  tree_.Write("Vudo.ini", content);
  ASSERT_TRUE(OpenKeyValueFile(Path()));
  EXPECT_EQ(GetKeyValue("searchdir"), "C:\\x\\");
  EXPECT_EQ(GetKeyValue("key", "in a section"), "in a section");
}

#ifndef _WIN32
TEST_F(KeyValueFileTest, AFifoInTheFilesPlaceIsUnreadableAndNeverBlocks) {
  ASSERT_EQ(mkfifo(Path().c_str(), 0644), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(OpenKeyValueFile(Path()) ? 1 : 0);
  int status = -1;
  for (int i = 0; i < 500 && waitpid(child, &status, WNOHANG) == 0; ++i) usleep(10000);
  if (waitpid(child, &status, WNOHANG) == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    FAIL() << "opening a FIFO as the settings file blocked";
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a FIFO was read as a settings file";
  EXPECT_FALSE(CreateKeyValueFile(Path()));  // and it is never replaced by a save
}
#endif

TEST_F(KeyValueFileTest, CreateThenCloseWithoutPutsLeavesAnEmptyFile) {
  tree_.Write("Vudo.ini", "k = v\r\n");
  ASSERT_TRUE(CreateKeyValueFile(Path()));
  EXPECT_TRUE(CloseKeyValueFile());
  EXPECT_TRUE(Exists());
  EXPECT_EQ(Content(), "");
}

TEST_F(KeyValueFileTest, PutsKeepEverythingElseInPlace) {
  tree_.Write("Vudo.ini", "; note\r\n\r\nk = 1\nK = 2\r\n[sec]\r\nz = 9\r\n");
  ASSERT_TRUE(OpenKeyValueFile(Path()));
  PutKeyValue("K", "3");
  PutKeyValue("new", "4");
  EXPECT_EQ(GetKeyValue("k"), "3");
  EXPECT_TRUE(CloseKeyValueFile());
  EXPECT_EQ(Content(), "; note\r\nK = 3\r\nK = 2\r\nnew = 4\r\n[sec]\r\nz = 9\r\n");

  tree_.Write("Vudo.ini", "[first]\r\nz = 9\r\n");
  ASSERT_TRUE(OpenKeyValueFile(Path()));
  PutKeyValue("top", "1");
  EXPECT_TRUE(CloseKeyValueFile());
  EXPECT_EQ(Content(), "top = 1\r\n[first]\r\nz = 9\r\n");
}

TEST_F(KeyValueFileTest, AFileWithTheByteOrderMarkStaysUtf8) {
  tree_.Write("Vudo.ini", "\xEF\xBB\xBF" "a = caf\xC3\xA9\r\n");
  ASSERT_TRUE(OpenKeyValueFile(Path()));
  PutKeyValue("b", "\xE9t\xE9");
  EXPECT_EQ(GetKeyValue("b"), "\xE9t\xE9");
  EXPECT_TRUE(CloseKeyValueFile());
  EXPECT_EQ(Content(), "\xEF\xBB\xBF" "a = caf\xC3\xA9\r\nb = \xC3\xA9t\xC3\xA9\r\n");
}

TEST_F(KeyValueFileTest, APlainKeyBeginningWithTheMarksBytesReadsBackTheSame) {
  // The NUL line is not written back, so the key would otherwise come first.
  static const char kContent[] = "\0\xEF\xBB\xBFkey = value\r\n";
  tree_.Write("Vudo.ini", std::string(kContent, sizeof kContent - 1));
  ASSERT_TRUE(OpenKeyValueFile(Path()));
  PutKeyValue("other", "x");
  EXPECT_TRUE(CloseKeyValueFile());
  ASSERT_TRUE(OpenKeyValueFile(Path()));
  EXPECT_EQ(GetKeyValue("\xEF\xBB\xBFkey"), "value");
  EXPECT_EQ(GetKeyValue("other"), "x");
}

TEST_F(KeyValueFileTest, OpeningAMissingFileThenPuttingCreatesIt) {
  EXPECT_FALSE(OpenKeyValueFile(Path()));
  EXPECT_EQ(GetKeyValue("k", "fallback"), "fallback");
  EXPECT_TRUE(CloseKeyValueFile());
  EXPECT_FALSE(Exists()) << "nothing was put, so nothing is created";

  EXPECT_FALSE(OpenKeyValueFile(Path()));
  PutKeyValue("k", "v");
  EXPECT_TRUE(CloseKeyValueFile());
  EXPECT_EQ(Content(), "k = v\r\n");
}

TEST_F(KeyValueFileTest, GetsAndPutsWithoutAFileAreHarmless) {
  EXPECT_EQ(GetKeyValue("k", "fallback"), "fallback");
  EXPECT_EQ(GetKeyValue("k"), "");
  PutKeyValue("k", "v");
  EXPECT_TRUE(CloseKeyValueFile());
}

TEST_F(KeyValueFileTest, AReadOnlyFileIsReadButNeverWritten) {
  tree_.Write("Vudo.ini", "k = old\r\n");
  MakeReadOnly(Path(), true);
  ASSERT_TRUE(OpenKeyValueFile(Path()));
  EXPECT_EQ(GetKeyValue("k"), "old");
  PutKeyValue("k", "new");
  EXPECT_FALSE(CloseKeyValueFile());
  EXPECT_EQ(Content(), "k = old\r\n");

  EXPECT_FALSE(CreateKeyValueFile(Path()));
  PutKeyValue("k", "new");
  EXPECT_TRUE(CloseKeyValueFile());  // nothing was due
  EXPECT_EQ(Content(), "k = old\r\n");
  EXPECT_EQ(FilesInDirectory(), 1u);
  MakeReadOnly(Path(), false);
}

TEST_F(KeyValueFileTest, CreateFailsWhereNoFileCanBeMade) {
  EXPECT_FALSE(CreateKeyValueFile(tree_.Path("no/such/dir/Vudo.ini")));
  tree_.MakeDir("adir");
  EXPECT_FALSE(CreateKeyValueFile(tree_.Path("adir")));
}

TEST_F(KeyValueFileTest, AFailedWriteLeavesTheOldFileWhole) {
  const std::string old_content = "searchdir = C:\\Old\\\r\nfilename = *.txt\r\n";
  for (std::size_t fail_after : {0u, 1u, 10u, 30u}) {
    SCOPED_TRACE(fail_after);
    tree_.Write("Vudo.ini", old_content);
    ASSERT_TRUE(CreateKeyValueFile(Path()));
    PutKeyValue("searchdir", "C:\\A much longer new directory\\");
    PutKeyValue("filename", "*.cpp");
    platform::testing::FailWritesAfter(fail_after);
    EXPECT_FALSE(CloseKeyValueFile());
    platform::testing::FailWritesAfter(SIZE_MAX);
    EXPECT_EQ(Content(), old_content);
    EXPECT_EQ(FilesInDirectory(), 1u);
  }
}

TEST_F(KeyValueFileTest, AFailureJustBeforeTheReplaceLeavesTheOldFileWhole) {
  const std::string old_content = "searchdir = C:\\Old\\\r\n";
  tree_.Write("Vudo.ini", old_content);
  ASSERT_TRUE(CreateKeyValueFile(Path()));
  PutKeyValue("searchdir", "C:\\New\\");
  platform::testing::FailNextReplace();
  EXPECT_FALSE(CloseKeyValueFile());
  EXPECT_EQ(Content(), old_content);
  EXPECT_EQ(FilesInDirectory(), 1u);

  ASSERT_TRUE(CreateKeyValueFile(Path()));  // the failure was once only
  PutKeyValue("searchdir", "C:\\New\\");
  EXPECT_TRUE(CloseKeyValueFile());
  EXPECT_EQ(Content(), "searchdir = C:\\New\\\r\n");
}

#ifdef _WIN32
TEST_F(KeyValueFileTest, AFileHeldByAnotherProgramIsReadButNotReplaced) {
  tree_.Write("Vudo.ini", "k = old\r\n");
  HANDLE holder = CreateFileA(Path().c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(OpenKeyValueFile(Path()));
  EXPECT_EQ(GetKeyValue("k"), "old");
  PutKeyValue("k", "new");
  EXPECT_FALSE(CloseKeyValueFile());
  EXPECT_FALSE(CreateKeyValueFile(Path()));
  CloseHandle(holder);
  EXPECT_EQ(Content(), "k = old\r\n");
}
#endif

}  // namespace
}  // namespace vudo
