#include "common/control_numbers.h"
#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/path.h"
#include "platform/process.h"
#include "support/memory_controls.h"
#include "ui/controls/control_seam.h"

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vudo {
namespace {

TEST(SettingsDirectory, UsesTheProgramsDirectoryUnlessItIsTheDevelopmentOne) {
  const struct {
    std::string program, current, expected;
  } cases[] = {
      {"C:\\Programme\\Quenbrill\\Compilers\\vudo.exe", "D:\\Work\\", "D:\\Work\\"},
      {"c:\\programme\\quenbrill\\compilers\\vudo.exe", "D:\\Work\\", "c:\\programme\\quenbrill\\compilers\\"},
      {"C:\\Tools\\vudo.exe", "D:\\Work\\", "C:\\Tools\\"},
      {"\"C:\\Tools\\vudo.exe\"", "D:\\Work\\", "C:\\Tools\\"},
      // No directory to keep the file in: none, never the drive's root.
      {"C:\\Programme\\Quenbrill\\Compilers\\vudo.exe", "", ""},
      {"vudo.exe", "D:\\Work\\", ""},
      {"", "D:\\Work\\", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program);
    EXPECT_EQ(SettingsDirectoryFor(c.program, c.current), c.expected);
  }
  const std::string directory = SettingsDirectory();
  ASSERT_FALSE(directory.empty());
  EXPECT_TRUE(platform::IsSeparator(directory.back()));
}

// Load and save use the real settings file beside the test program; the
// fixture keeps it to itself.
class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_controls::Reset();
    path_ = SettingsDirectory() + kSettingsFileName;
    std::remove(path_.c_str());
  }
  void TearDown() override { std::remove(path_.c_str()); }

  void WriteFile(const std::string& content) {
    std::ofstream(path_, std::ios::binary) << content;
  }
  std::string ReadFile() {
    std::ifstream in(path_, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  bool FileExists() { return std::ifstream(path_).good(); }

  std::string path_;
};

TEST_F(SettingsStoreTest, LoadFillsTheControlsAndSaveWritesTheKeysInOrder) {
  WriteFile(
      "SearchDir = C:\\Data\\\r\nFILENAME =   *.txt  \r\ncontains = \r\nrecentsearchdir0 = C:\\Data\\\r\n"
      "recentsearchdir2 = D:\\Work\\\r\nrecentsearchdir5 = E:\\\r\nrecentsearchdir10 = F:\\\r\n");
  ControlSetText(kContainsField, "stale");
  LoadSettings();
  EXPECT_EQ(ControlText(kStartDirectoryCombo), "C:\\Data\\");
  EXPECT_EQ(ControlText(kPatternField), "*.txt");
  EXPECT_EQ(ControlText(kContainsField), "");
  EXPECT_EQ(testing_controls::Recent(), (std::vector<std::string>{"C:\\Data\\", "D:\\Work\\", "E:\\"}));

  ControlSetText(kPatternField, " *.cpp ");
  SaveSettings();
  EXPECT_EQ(ReadFile(),
            "searchdir = C:\\Data\\\r\nfilename =  *.cpp \r\ncontains = \r\nrecentsearchdir0 = C:\\Data\\\r\n"
            "recentsearchdir1 = D:\\Work\\\r\nrecentsearchdir2 = E:\\\r\n");

  // Blanks typed around the pattern are saved and come back without them.
  testing_controls::Reset();
  LoadSettings();
  EXPECT_EQ(ControlText(kPatternField), "*.cpp");
}

TEST_F(SettingsStoreTest, OnlyTheFirstTenRecentDirectoriesAreSaved) {
  for (int i = 0; i < 11; ++i) testing_controls::Recent().push_back("D:\\dir" + std::to_string(i) + "\\");
  SaveSettings();
  testing_controls::Reset();
  LoadSettings();
  ASSERT_EQ(testing_controls::Recent().size(), 10u);
  EXPECT_EQ(testing_controls::Recent().front(), "D:\\dir0\\");
  EXPECT_EQ(testing_controls::Recent().back(), "D:\\dir9\\");
}

TEST_F(SettingsStoreTest, AMissingFileLeavesEmptyControlsAndIsNotCreated) {
  ControlSetText(kStartDirectoryCombo, "x");
  ControlSetText(kPatternField, "y");
  testing_controls::Recent() = {"kept"};
  LoadSettings();
  EXPECT_EQ(ControlText(kStartDirectoryCombo), "");
  EXPECT_EQ(ControlText(kPatternField), "");
  EXPECT_EQ(testing_controls::Recent(), std::vector<std::string>{"kept"});
  EXPECT_FALSE(FileExists());
}

TEST_F(SettingsStoreTest, RecentDirectoriesWithoutAStartDirectory) {
  WriteFile("recentsearchdir0 = C:\\A\\\r\n");
  LoadSettings();
  EXPECT_EQ(ControlText(kStartDirectoryCombo), "");
  EXPECT_EQ(testing_controls::Recent(), std::vector<std::string>{"C:\\A\\"});
}

TEST_F(SettingsStoreTest, EmptyControlsAreSavedAsEmptyValues) {
  SaveSettings();
  EXPECT_EQ(ReadFile(), "searchdir = \r\nfilename = \r\ncontains = \r\n");
}

#ifndef _WIN32
// Kills a process that saves over and over at many instants; the file must
// always hold one complete set of settings.
TEST_F(SettingsStoreTest, KillingASaveAtAnyInstantLeavesCompleteSettings) {
  const std::string a = "searchdir = C:\\A\\\r\nfilename = *.a\r\ncontains = \r\n";
  const std::string b = "searchdir = C:\\B\\" + std::string(5000, 'b') + "\r\nfilename = *.b\r\ncontains = bbb\r\n"
                        "recentsearchdir0 = C:\\B\\\r\n";
  WriteFile(a);
  for (int round = 0; round < 25; ++round) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(ready[0]);
      for (unsigned i = 0;; ++i) {
        testing_controls::Reset();
        const bool even = i % 2 == 0;
        ControlSetText(kStartDirectoryCombo, even ? "C:\\B\\" + std::string(5000, 'b') : "C:\\A\\");
        ControlSetText(kPatternField, even ? "*.b" : "*.a");
        ControlSetText(kContainsField, even ? "bbb" : "");
        if (even) testing_controls::Recent() = {"C:\\B\\"};
        SaveSettings();
        if (i == 1 && write(ready[1], "r", 1) != 1) _exit(1);
      }
    }
    close(ready[1]);
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);  // the child is saving by now
    close(ready[0]);
    usleep(static_cast<useconds_t>(round * 397 % 3000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const std::string content = ReadFile();
    ASSERT_TRUE(content == a || content == b) << "round " << round << ": " << content.size() << " bytes";
  }
  // Killed saves leave their unfinished new files behind; clear them away.
  for (const auto& entry : std::filesystem::directory_iterator(SettingsDirectory())) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("Vudo.ini.", 0) == 0 && name.size() > 13 && name.substr(name.size() - 4) == ".new")
      std::filesystem::remove(entry.path());
  }
}
#endif

}  // namespace
}  // namespace vudo
