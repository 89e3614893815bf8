// Copying to a clipboard another program holds for a moment: the copy waits
// for it instead of being lost.
#include "ui/shell/clipboard.h"

#include <gtest/gtest.h>

#include "support/temp_tree.h"
#include "support/window_driving.h"

namespace vudo {
namespace {

TEST(Clipboard, ACopyWaitsForAClipboardHeldForAMoment) {
  const HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  testing_windows::Helper holder([&] {
    if (!OpenClipboard(nullptr)) return;
    SetEvent(opened);
    Sleep(80);  // another program's moment with the clipboard
    CloseClipboard();
  });
  ASSERT_EQ(WaitForSingleObject(opened, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(ClipboardPutText(nullptr, "C:\\Data\\copied.txt"), 1);
  EXPECT_EQ(testing_windows::ClipboardText(), "C:\\Data\\copied.txt");
  CloseHandle(opened);
}

TEST(Clipboard, AFileGoesOnAsAFileToCopyAndAsItsPath) {
  const testing_tree::TempTree tree;
  tree.Write("copied file.txt", "");
  const std::string path = tree.Path("copied file.txt");
  ASSERT_EQ(ClipboardPutFile(nullptr, path), 1);
  EXPECT_EQ(testing_windows::ClipboardFiles(), std::vector<std::wstring>{std::wstring(path.begin(), path.end())});
  EXPECT_TRUE(testing_windows::ClipboardAsksForACopy());
  EXPECT_EQ(testing_windows::ClipboardText(), path);
  // A name the code page turned into '?' names no file: its text alone.
  ASSERT_EQ(ClipboardPutFile(nullptr, tree.Path("caf?.txt")), 1);
  EXPECT_TRUE(testing_windows::ClipboardFiles().empty());
  EXPECT_EQ(testing_windows::ClipboardText(), tree.Path("caf?.txt"));
  // Text alone leaves no file behind from the copy before.
  ASSERT_EQ(ClipboardPutText(nullptr, "plain"), 1);
  EXPECT_TRUE(testing_windows::ClipboardFiles().empty());
}

}  // namespace
}  // namespace vudo
