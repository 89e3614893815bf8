// Names in any script and paths past 260 characters, as the console finder
// and the window meet them on a real disk; settings in a legacy code page.
// This program's own 8-bit text is UTF-8, as the programs' is.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/e2e/e2e_settings.h"
#include "app/e2e/vudo_driver.h"
#include "support/temp_tree.h"
#include "support/window_driving.h"

namespace vudo::e2e {
namespace {

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size() + 1, L'\0');
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
  return wide;
}

// The extended form, which the wide functions take at any length.
std::wstring Extended(const std::string& path) { return L"\\\\?\\" + Wide(path); }

// Writes a file at any depth, making its folders.
void WriteDeep(const std::string& path, const std::string& content) {
  for (std::size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
    CreateDirectoryW(Extended(path.substr(0, slash)).c_str(), nullptr);
  const HANDLE file = CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
}

// Removes a tree at any depth: the temporary tree's own clean-up stops at 260.
void RemoveDeep(const std::wstring& directory) {
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileW((directory + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveDeep(directory + L"\\" + name);
      else DeleteFileW((directory + L"\\" + name).c_str());
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(directory.c_str());
}

class Names : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"日本語メモ.txt", "emoji😀.txt", "Ωμέγα.TXT", "ωμέγα2.txt", "Été.TXT", "ß.txt"})
      WriteDeep(Path(name), std::string("a needle in ") + name);
    WriteDeep(Path("plain.log"), "no such word");
    std::string deep = Path("deep");
    while (deep.size() < 300) deep += "\\a_folder_with_a_long_name";
    deep_file_ = deep + "\\名前\\深い.txt";
    WriteDeep(deep_file_, "the needle deep down");
  }
  void TearDown() override { RemoveDeep(Extended(Path("deep"))); }

  std::string Path(const std::string& relative) const { return tree_.Root() + "\\" + relative; }
  // Every file that holds "needle", by its true name.
  std::vector<std::string> WithNeedle() const {
    return Sorted({Path("emoji😀.txt"), Path("Été.TXT"), Path("ß.txt"), Path("Ωμέγα.TXT"), Path("ωμέγα2.txt"),
                   Path("日本語メモ.txt"), deep_file_});
  }

  testing_tree::TempTree tree_;
  std::string deep_file_;
};

TEST_F(Names, TheConsoleFinderListsTrueNamesAtAnyDepthAndFindsTheTextInEach) {
  const std::string root = tree_.Root() + "\\";
  EXPECT_EQ(Sorted(ConsoleFinderPaths(root, "*", "NEEDLE")), WithNeedle());
  const struct {
    const char* pattern;
    std::vector<std::string> names;
  } cases[] = {
      {"été.txt", {"Été.TXT"}},           // the case of an accented letter folds
      {"?.txt", {"ß.txt"}},               // '?' is one whole character
      {"emoji?.txt", {"emoji😀.txt"}},     // also one outside the basic plane
      {"日*", {"日本語メモ.txt"}},
      {"*名*", {}},                        // only a folder holds it, and folders are no hits
      {"ωμέγα*", {"ωμέγα2.txt"}},         // Greek capitals are not folded by the rule
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    std::vector<std::string> expected;
    for (const std::string& name : c.names) expected.push_back(Path(name));
    EXPECT_EQ(Sorted(ConsoleFinderPaths(root, c.pattern)), Sorted(expected));
  }
  EXPECT_EQ(ConsoleFinderPaths(root, "深い.txt"), std::vector<std::string>{deep_file_});
}

TEST_F(Names, TheWindowListsTheSameHits) {
  VudoRun vudo;
  vudo.WriteIni("searchdir = " + tree_.Root() + "\\\r\nfilename = *.txt\r\ncontains = needle\r\n");
  ASSERT_TRUE(vudo.Start());
  ASSERT_TRUE(vudo.BringToFront());
  vudo.Click(kStartStopButton);
  const std::size_t hits = WithNeedle().size();
  ASSERT_TRUE(WaitFor([&] {
    return vudo.Text(kStartStopButton) == "Start" && vudo.RowCount() == static_cast<int>(hits);
  }, 30000)) << vudo.RowCount() << " rows";
  EXPECT_EQ(Sorted(vudo.RowPaths()), WithNeedle());
  // Ctrl+C hands other programs the true name, in Unicode too.
  const std::vector<std::string> rows = vudo.RowPaths();
  const int row = static_cast<int>(std::find(rows.begin(), rows.end(), Path("日本語メモ.txt")) - rows.begin());
  ASSERT_LT(row, vudo.RowCount());
  vudo.ClickAt(vudo.RowPoint(row));
  vudo.KeyWith(VK_CONTROL, 'C');
  EXPECT_TRUE(WaitFor([&] { return testing_windows::ClipboardWideText() == Wide(Path("日本語メモ.txt")); }));
  EXPECT_EQ(ClipboardText(), Path("日本語メモ.txt"));
  ASSERT_TRUE(vudo.CloseWithAltF4());
}

// The text as Notepad's "Unicode" (UTF-16 with a mark) and as an older
// program's Windows-1252 hold it, found by the window and the console finder
// alike for an accented text typed in either letter case.
TEST(Encodings, TheWindowFindsAnAccentedTextInUtf16AndInTheLegacyCodePage) {
  testing_tree::TempTree tree;
  std::string utf16 = "\xFF\xFE";
  for (const char c : std::string("Hello W\xD6RLD\r\n")) utf16 += {c, '\0'};
  tree.Write("unicode.txt", utf16);
  tree.Write("older.txt", "Hello W\xF6rld\r\n");
  tree.Write("utf8.txt", "Hello WÖrld\r\n");
  tree.Write("other.txt", "Hello World\r\n");
  const std::string root = tree.Root() + "\\";
  const std::vector<std::string> expected = Sorted({root + "older.txt", root + "unicode.txt", root + "utf8.txt"});
  EXPECT_EQ(Sorted(ConsoleFinderPaths(root, "*", "wörld")), expected);
  VudoRun vudo;
  vudo.WriteIni("searchdir = " + root + "\r\nfilename = *.txt\r\ncontains = Wörld\r\n");
  ASSERT_TRUE(vudo.Start());
  ASSERT_TRUE(vudo.BringToFront());
  vudo.Click(kStartStopButton);
  ASSERT_TRUE(WaitFor([&] { return vudo.Text(kStartStopButton) == "Start" && vudo.RowCount() == 3; }))
      << vudo.RowCount() << " rows";
  EXPECT_EQ(Sorted(vudo.RowPaths()), expected);
  ASSERT_TRUE(vudo.CloseWithAltF4());
}

TEST(LegacySettings, ACp1252FileIsReadAndWrittenBackAsUtf8) {
  VudoRun vudo;
  // "C:\Été\", and a recent folder "C:\Ünïcödé\", as an earlier build wrote them.
  vudo.WriteIni("searchdir = C:\\\xC9t\xE9\\\r\nfilename = *\r\ncontains = \r\n"
                "recentsearchdir0 = C:\\\xDCn\xEF" "c\xF6" "d\xE9\\\r\n");
  ASSERT_TRUE(vudo.Start());
  EXPECT_EQ(vudo.EditText(), "C:\\Été\\");
  EXPECT_EQ(vudo.RecentList(), std::vector<std::string>{"C:\\Ünïcödé\\"});
  ASSERT_TRUE(vudo.CloseWithAltF4());
  EXPECT_EQ(KnownKeys(vudo.ReadIni()), "searchdir = C:\\Été\\\r\nfilename = *\r\ncontains = \r\n"
                            "recentsearchdir0 = C:\\Ünïcödé\\\r\n");
}

TEST(ProgramFolder, ANameInAnyScriptKeepsTheSettingsBesideTheProgram) {
  VudoRun vudo("ヴド 工具");
  vudo.WriteIni("searchdir=C:\\Kept\\\r\n");
  const std::string root_ini = vudo.Folder().substr(0, 3) + "Vudo.ini";
  const bool root_had_one = GetFileAttributesA(root_ini.c_str()) != INVALID_FILE_ATTRIBUTES;
  ASSERT_TRUE(vudo.Start());
  EXPECT_EQ(vudo.EditText(), "C:\\Kept\\");
  ASSERT_TRUE(vudo.CloseWithAltF4());
  EXPECT_EQ(KnownKeys(vudo.ReadIni()), "searchdir = C:\\Kept\\\r\nfilename = \r\ncontains = \r\n");
  if (!root_had_one) {
    EXPECT_EQ(GetFileAttributesA(root_ini.c_str()), INVALID_FILE_ATTRIBUTES);
  }
}

}  // namespace
}  // namespace vudo::e2e
