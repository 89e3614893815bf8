// A drive root lists no "." and "..", so an empty one makes the first find
// fail with "file not found": it is an empty directory all the same, for the
// walk and for the console finder. Run with Q: mapped to an empty directory.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/directory.h"
#include "support/collecting_sink.h"

namespace vudo {
namespace {

TEST(EmptyDriveRoot, OpensAsAnEmptyDirectory) {
  ASSERT_NE(GetFileAttributesA("Q:\\"), INVALID_FILE_ATTRIBUTES) << "drive Q: is not mapped";
  platform::DirectoryReader reader;
  ASSERT_TRUE(reader.Open("Q:\\"));
  platform::DirectoryEntry entry;
  EXPECT_FALSE(reader.Next(entry));
  reader.Close();
  EXPECT_FALSE(reader.Open("Q:\\no such directory\\"));  // a missing one still fails
}

TEST(EmptyDriveRoot, TheConsoleFinderFindsNothingInsteadOfFailing) {
  std::string path = "Z:";
  for (const char* c = VUDO_FIND_EXE; *c; ++c) path += *c == '/' ? '\\' : *c;
  std::string command = "\"" + path + "\" Q:\\ *";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION finder{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &finder));
  ASSERT_EQ(WaitForSingleObject(finder.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(finder.hProcess, &code);
  CloseHandle(finder.hThread);
  CloseHandle(finder.hProcess);
  EXPECT_EQ(code, 1u);  // nothing found; 2 would be "cannot read directory"
}

TEST(EmptyDriveRoot, TheWalkListsNothing) {
  testing_sink::CollectingSink sink;
  EXPECT_TRUE(testing_sink::Search(sink, "Q:", "*").start_listed);
  EXPECT_TRUE(sink.rows.empty());
}

}  // namespace
}  // namespace vudo
