// Copying to a clipboard another program holds for a moment: the copy waits
// for it instead of being lost.
#include "ui/shell/clipboard.h"

#include <gtest/gtest.h>

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
  ASSERT_EQ(ClipboardPutFile(nullptr, "C:\\Data\\copied file.txt"), 1);
  EXPECT_EQ(testing_windows::ClipboardFiles(), std::vector<std::wstring>{L"C:\\Data\\copied file.txt"});
  EXPECT_TRUE(testing_windows::ClipboardAsksForACopy());
  EXPECT_EQ(testing_windows::ClipboardText(), "C:\\Data\\copied file.txt");
  // Text alone leaves no file behind from the copy before.
  ASSERT_EQ(ClipboardPutText(nullptr, "plain"), 1);
  EXPECT_TRUE(testing_windows::ClipboardFiles().empty());
}

}  // namespace
}  // namespace vudo
