// The paths the platform hands to the wide file functions and to the shell.
#include "platform/wide_path.h"
#include "platform/system_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace vudo::platform {
namespace {

// A path of at least `length` characters below `start`.
std::string LongBelow(std::string start, std::size_t length) {
  while (start.size() < length) start += "\\folder_name";
  return start;
}

TEST(FilePath, ShortPathsStayAsTheyAre) {
  for (const char* path : {"C:\\Data\\x.txt", "relative\\x.txt", "\\\\server\\share\\x.txt", "C:/Data/x.txt"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(FilePath(path), Widen(path));
  }
}

TEST(FilePath, LongPathsTakeTheExtendedFormMadeAbsolute) {
  const std::string drive = LongBelow("C:\\Data", 300);
  EXPECT_EQ(FilePath(drive), L"\\\\?\\" + Widen(drive));
  // "." and ".." and '/' are not allowed in the extended form: resolved first.
  EXPECT_EQ(FilePath("C:\\Data\\.\\skip\\..\\" + drive.substr(8)), L"\\\\?\\" + Widen(drive));
  EXPECT_EQ(FilePath("C:/Data/" + drive.substr(8)), L"\\\\?\\" + Widen(drive));
  const std::string unc = LongBelow("\\\\server\\share", 300);
  EXPECT_EQ(FilePath(unc), L"\\\\?\\UNC\\" + Widen(unc.substr(2)));
  const std::string extended = "\\\\?\\" + drive;
  EXPECT_EQ(FilePath(extended), Widen(extended));
  // A relative path is taken from the current directory.
  const std::string relative = LongBelow("rel", 300);
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  std::wstring expected = L"\\\\?\\" + std::wstring(current);
  if (expected.back() != L'\\') expected += L'\\';
  EXPECT_EQ(FilePath(relative), expected + Widen(relative));
}

TEST(ShellPath, AShortPathStaysAndALongOneFitsOrIsRefused) {
  EXPECT_EQ(ShellPath("C:\\Data\\x.txt"), "C:\\Data\\x.txt");
  const std::string missing = LongBelow("C:\\no_such_folder", 300) + "\\x.txt";
  EXPECT_EQ(ShellPath(missing), "");  // no short form of what does not exist
}

TEST(Narrow, SaysWhenACharacterIsLost) {
  bool lossy = true;
  EXPECT_EQ(Narrow(L"plain.txt", &lossy), "plain.txt");
  EXPECT_FALSE(lossy);
  // The test program runs in a single-byte code page, which has no Japanese.
  if (GetACP() != CP_UTF8) {
    Narrow(L"\x65E5.txt", &lossy);
    EXPECT_TRUE(lossy);
  }
}

// The system folder, as a 32-bit program on a 64-bit Windows must reach it:
// every spelling of the system's own System32 (and only that one) through
// the Sysnative alias; nothing changes for a 64-bit program.
TEST(UnredirectedPath, EverySpellingOfTheSystemFolderAndNoOtherFolder) {
  char windows_dir[MAX_PATH] = {};
  GetSystemWindowsDirectoryA(windows_dir, MAX_PATH);
  const std::string windows = windows_dir;  // C:\windows under Wine
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  EXPECT_EQ(SystemFolderRedirected(), wow64 != FALSE);
  const std::string sysnative = windows + "\\Sysnative";
  char saved[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryA(windows.c_str()));
  const struct {
    std::string path, reached;  // reached: where a redirected program must go
  } table[] = {
      {windows + "\\system32\\drivers\\x.sys", sysnative + "\\drivers\\x.sys"},
      {windows + "\\System32", sysnative},
      {windows + "\\SYSTEM32\\", sysnative + "\\"},
      {"\\\\?\\" + windows + "\\system32\\x.txt", "\\\\?\\" + sysnative + "\\x.txt"},
      {windows + "\\system32\\..\\system32\\x.txt", sysnative + "\\x.txt"},
      {windows + "/system32/x.txt", sysnative + "\\x.txt"},
      {"system32\\x.txt", sysnative + "\\x.txt"},                    // relative to the Windows folder
      {windows.substr(0, 2) + "system32\\x.txt", sysnative + "\\x.txt"},  // drive-relative
      {windows + "\\system32x\\x.txt", ""},
      {windows + "\\syswow64\\x.txt", ""},
      {windows + "\\sysnative\\x.txt", ""},
      {windows + "\\temp\\system32\\x.txt", ""},
      {"\\\\server\\share\\windows\\system32\\x.txt", ""},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.path);
    const std::string expected = wow64 && !row.reached.empty() ? row.reached : row.path;
    EXPECT_EQ(UnredirectedPath(row.path), expected);
    EXPECT_EQ(UnredirectedPath(Widen(row.path)), Widen(expected));
  }
  SetCurrentDirectoryA(saved);
}

}  // namespace
}  // namespace vudo::platform
