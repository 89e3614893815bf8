#include "search/scanner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/file.h"
#include "support/temp_tree.h"

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vudo {
namespace {

using testing_tree::TempTree;

class ScannerTest : public ::testing::Test {
 protected:
  int Scan(const std::string& content, const std::string& text, const ScanGoOn& go_on = {}) {
    tree_.Write("f.bin", content);
    return FileContainsText(tree_.Path("f.bin"), text, nullptr, go_on);
  }

  TempTree tree_;
};

TEST_F(ScannerTest, SmallFiles) {
  const struct {
    std::string content, text;
    int expected;
  } cases[] = {
      {"abc", "abc", 1},
      {"abcd", "abc", 1},
      {"abcde", "abc", 1},
      {"xabc", "abc", 1},
      {"ab", "abc", 0},
      {"", "abc", 0},
      {"a", "a", 1},
      {"The ABC list", "abc", 1},
      {std::string("xa\0bx", 5), "a b", 1},   // NUL reads as a space
      {std::string("\0", 1), " ", 1},
      {"a  b", "a b", 0},
#ifdef _WIN32
      {"\xC0\xDE\xD7", "\xE0\xFE\xF7", 1},    // the rule covers 0xC0-0xDE
      {"\xDF", "\xFF", 0},                    // 0xDF has no lower-case form
      {"\xDF", "\xDF", 1},
#else
      {"\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xa9", 1},  // ÉTÉ holds été
      {"x\xC3\x89", "\xA9", 1},               // a second byte reads as lowered after 0xC3
      {"x\x89", "\xA9", 0},                    // and only there
      {"\xC3\x97", "\xC3\xB7", 0},             // U+00D7 does not fold
      {"\xC0\xDE", "\xE0\xFE", 0},             // lead bytes never fold
      {"\xE3\xA9\x80", "\xC3\xA9", 0},
#endif
      {"\xA9", "\xA9", 1},
      {"ABC", "ABC", 0},                       // the text must arrive lower-cased
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("content '" + c.content + "' text '" + c.text + "'");
    EXPECT_EQ(Scan(c.content, c.text), c.expected);
  }
}

TEST_F(ScannerTest, AShortReadEndsTheFileAndNothingIsMadeUp) {
  // A file reporting more than it holds, as /sys/devices/system/cpu/online
  // does: 4096 bytes reported, "0-1\n" read.
  tree_.Write("online", "0-1\n");
  const std::string path = tree_.Path("online");
  const struct {
    const char* text;
    std::size_t block;
    int expected;
  } table[] = {
      {"  ", kScanBlockSize, 0}, {"1\n ", kScanBlockSize, 0}, {"0-1\n", kScanBlockSize, 1},
      {"  ", 2, 0},              {"-1\n", 2, 1},              {"\n", 1, 1},
  };
  for (const auto& row : table) {
    platform::testing::AddToNextFileSize(4092);
    EXPECT_EQ(FileContainsTextInBlocks(path, row.text, row.block), row.expected) << row.text << " / " << row.block;
  }
}

TEST_F(ScannerTest, FindsTextsAtAndAcrossBlockBorders) {
  const std::string text = "needle";
  const std::size_t n = text.size();
  const std::size_t block = kScanBlockSize;
  const struct {
    const char* what;
    std::size_t at;
  } places[] = {
      {"at the start", 0},
      {"ending at byte 32000", block - n},
      {"starting at byte 31999", block - 1},
      {"starting at the second block", block},
      {"across the second border", 2 * block - 3},
      {"at the very end", 3 * block + 17 - n},
  };
  for (const auto& p : places) {
    SCOPED_TRACE(p.what);
    std::string content(3 * block + 17, 'x');
    content.replace(p.at, n, "NeEdLe");
    EXPECT_EQ(Scan(content, text), 1);
    content.replace(p.at, n, "needlx");
    EXPECT_EQ(Scan(content, text), 0);
  }
}

TEST_F(ScannerTest, TextsLongerThanABlockSpanningTwoBorders) {
  for (std::size_t length : {kScanBlockSize - 1, kScanBlockSize, kScanBlockSize + 1, 2 * kScanBlockSize + 5}) {
    SCOPED_TRACE(length);
    std::string text(length, 'q');
    text.front() = 'a';
    text.back() = 'z';
    std::string content(length * 3 + 100, 'q');
    content.replace(kScanBlockSize - 10, length, text);
    EXPECT_EQ(Scan(content, text), 1);
    content[kScanBlockSize - 10 + length / 2] = 'r';
    EXPECT_EQ(Scan(content, text), 0);
  }
}

TEST_F(ScannerTest, SmallBlocksAgreeWithAWholeFileSearch) {
  // Every placement of the text around many borders of tiny blocks.
  const std::string text = "abca";
  for (std::size_t block : {1u, 2u, 3u, 4u, 5u, 7u}) {
    for (std::size_t at = 0; at + text.size() <= 23; ++at) {
      std::string content(23, 'b');
      content.replace(at, text.size(), "aBcA");
      tree_.Write("g.bin", content);
      SCOPED_TRACE("block " + std::to_string(block) + " at " + std::to_string(at));
      EXPECT_EQ(FileContainsTextInBlocks(tree_.Path("g.bin"), text, block), 1);
    }
  }
}

TEST_F(ScannerTest, MissingFilesAndDirectoriesGiveZero) {
  EXPECT_EQ(FileContainsText(tree_.Path("missing.txt"), "a"), 0);
  tree_.MakeDir("sub");
  EXPECT_EQ(FileContainsText(tree_.Path("sub"), "a"), 0);
}

TEST_F(ScannerTest, AStopRequestEndsTheScanAfterTheFirstBlock) {
  std::string content(2 * kScanBlockSize, ' ');
  content.replace(kScanBlockSize + 100, 4, "late");
  content.replace(10, 5, "early");
  const ScanGoOn stop = [] { return false; };
  EXPECT_EQ(Scan(content, "early", stop), 1);
  EXPECT_EQ(Scan(content, "late", stop), 0);
  EXPECT_EQ(Scan(content, "late"), 1);
}

TEST_F(ScannerTest, SearchesAFileAnotherProgramHoldsOpenForWriting) {
  tree_.Write("log.txt", "first line\nsecond line\n");
  const std::string path = tree_.Path("log.txt");
#ifdef _WIN32
  // A typical log writer: write access, others may only read.
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(FileContainsText(path, "second"), 1);
  CloseHandle(writer);
#else
  const int writer = open(path.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(writer, 0);
  EXPECT_EQ(FileContainsText(path, "second"), 1);
  close(writer);
#endif
}

// Makes a sparse file of `size` bytes holding `text` at each offset given.
bool MakeSparseFile(const std::string& path, std::int64_t size, std::initializer_list<std::pair<std::int64_t, std::string>> texts) {
#ifdef _WIN32
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD ignored = 0;
  DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
  bool ok = true;
  for (const auto& [offset, text] : texts) {
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD written = 0;
    ok = ok && SetFilePointerEx(h, at, nullptr, FILE_BEGIN) &&
         WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
  LARGE_INTEGER end;
  end.QuadPart = size;
  ok = ok && SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
  CloseHandle(h);
  return ok;
#else
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  bool ok = ftruncate(fd, size) == 0;
  for (const auto& [offset, text] : texts)
    ok = ok && pwrite(fd, text.data(), text.size(), offset) == static_cast<ssize_t>(text.size());
  close(fd);
  return ok;
#endif
}

TEST_F(ScannerTest, ScansFilesBeyondTwoAndFourGibibytesToTheirEnd) {
  const std::int64_t two_gib = std::int64_t{1} << 31;
  const std::int64_t four_gib = std::int64_t{1} << 32;
  const std::int64_t size = four_gib + 5000;
  const std::string path = tree_.Path("sparse.bin");
  if (!MakeSparseFile(path, size, {{two_gib - 3, "border"}, {size - 100, "tail end"}}))
    GTEST_SKIP() << "this file system cannot hold a sparse file of " << size << " bytes";
  EXPECT_EQ(FileContainsText(path, "border"), 1);
  EXPECT_EQ(FileContainsText(path, "tail end"), 1);
}

}  // namespace
}  // namespace vudo
