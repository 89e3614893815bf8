// Memory that runs out during a search, in a build of the programs whose
// memory ends where the test says (VUDO_ALLOCATION_LIMIT): the window keeps
// the rows found, stays usable and saves its settings at exit; the console
// finder says so and exits 2.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/e2e/vudo_driver.h"
#include "support/temp_tree.h"

namespace vudo::e2e {
namespace {

constexpr int kFiles = 2500;

// Sets VUDO_ALLOCATION_LIMIT for the programs started while it lives.
class AllocationLimit {
 public:
  explicit AllocationLimit(const char* bytes) { SetEnvironmentVariableA("VUDO_ALLOCATION_LIMIT", bytes); }
  ~AllocationLimit() { SetEnvironmentVariableA("VUDO_ALLOCATION_LIMIT", nullptr); }
};

class OutOfMemory : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    tree_ = new testing_tree::TempTree;
    // Long names, so that the rows need more than the limit leaves them.
    for (int i = 0; i < kFiles; ++i) tree_->Write("f" + std::to_string(i) + "_" + std::string(150, 'x') + ".txt", "");
  }
  static void TearDownTestSuite() { delete tree_; }
  static testing_tree::TempTree* tree_;
};
testing_tree::TempTree* OutOfMemory::tree_ = nullptr;

TEST_F(OutOfMemory, TheWindowKeepsItsRowsStaysUsableAndSavesItsSettings) {
  VudoRun vudo("Vudo Copy", VudoLimitedExe());
  vudo.WriteIni("searchdir = " + tree_->Root() + "\r\nfilename = *\r\ncontains = \r\n");
  const AllocationLimit limit("1500000");
  ASSERT_TRUE(vudo.Start());
  ASSERT_TRUE(vudo.BringToFront());
  ASSERT_TRUE(vudo.SearchAndWait([&] { vudo.Click(kStartStopButton); }));
  const int kept = vudo.RowCount();
  EXPECT_GT(kept, 100);
  EXPECT_LT(kept, kFiles);
  // A new search runs in the memory the old rows gave back.
  vudo.KeyWith(VK_MENU, 'F');
  vudo.Type("f12_*");
  vudo.Key(VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return vudo.RowCount() == 1 && vudo.Text(kStartStopButton) == "Start"; }));
  ASSERT_TRUE(vudo.CloseWithAltF4());
  EXPECT_EQ(vudo.ExitCode(), 0u);
  EXPECT_NE(vudo.ReadIni().find("filename = f12_*\r\n"), std::string::npos) << vudo.ReadIni();
}

TEST_F(OutOfMemory, TheConsoleFinderSaysSoAndExitsTwo) {
  const testing_tree::TempTree scratch;
  const std::string output = scratch.Path("out.txt");
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE out = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  const HANDLE err = CreateFileA(scratch.Path("err.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                 CREATE_ALWAYS, 0, nullptr);
  std::string command = "\"" + VudoFindLimitedExe() + "\" -j 4 \"" + tree_->Root() + "\" *";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION finder{};
  DWORD code = 99;
  {
    const AllocationLimit limit("300000");
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &finder));
  }
  EXPECT_EQ(WaitForSingleObject(finder.hProcess, 60000), WAIT_OBJECT_0);
  GetExitCodeProcess(finder.hProcess, &code);
  CloseHandle(finder.hThread);
  CloseHandle(finder.hProcess);
  CloseHandle(out);
  CloseHandle(err);
  EXPECT_EQ(code, 2u);
  std::string said = scratch.Read("err.txt");
  said.erase(std::remove(said.begin(), said.end(), '\r'), said.end());
  EXPECT_EQ(said, "vudo-find: out of memory\n");
}

}  // namespace
}  // namespace vudo::e2e
