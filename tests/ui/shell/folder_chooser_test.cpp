// The folder chooser driven through the platform's dialog from a second
// thread: choose, cancel, backslashes, a path too long to preselect, a
// virtual folder, and the program's windows disabled meanwhile.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>

#include "support/temp_tree.h"
#include "ui/controls/layer_fixture.h"
#include "ui/shell/shell_services.h"

namespace vudo {
namespace {

using testing_windows::Helper;
using testing_windows::WaitFor;

// The dialog, once the callback has made its selection: it is found among the
// visible dialogs of this process.
BOOL CALLBACK FindOurDialog(HWND window, LPARAM out) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(window) || testing_windows::ClassOf(window) != "#32770")
    return TRUE;
  *reinterpret_cast<HWND*>(out) = window;
  return FALSE;
}

BOOL CALLBACK FindTree(HWND child, LPARAM out) {
  if (testing_windows::ClassOf(child) != "SysTreeView32") return TRUE;
  *reinterpret_cast<HWND*>(out) = child;
  return FALSE;
}

HWND FindDialog() {
  HWND found = nullptr;
  EnumWindows(FindOurDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND TreeOf(HWND dialog) {
  HWND tree = nullptr;
  EnumChildWindows(dialog, FindTree, reinterpret_cast<LPARAM>(&tree));
  return tree;
}

// The dialog has filled its folder tree.
bool TreeFilled(HWND dialog) {
  const HWND tree = TreeOf(dialog);
  return tree && SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0) != 0;
}

// The text of the selected folder in the dialog's tree, "" for none.
std::string SelectedFolder(HWND dialog) {
  const HWND tree = TreeOf(dialog);
  if (!tree) return "";
  char text[MAX_PATH] = {};
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  item.pszText = text;
  item.cchTextMax = sizeof text;
  if (!item.hItem || !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return "";
  return text;
}

struct DialogSeen {
  bool shown = false;
  std::string selected;
  bool other_window_enabled = true;
};

class FolderChooser : public testing_windows::LayerTest {
 protected:
  void SetUp() override {
    LayerTest::SetUp();
    // A second window of the program, which the dialog must keep from input.
    other_ = WindowOpen(1, 0, 0, 120, 60, "Other", kFrame);
    ASSERT_TRUE(testing_windows::BringToFront(window_));
  }

  // Opens the chooser; the helper waits for the dialog (and for `selection`
  // to be selected in it, when one is expected), notes what it shows, runs
  // `act` on it and then presses `button`.
  std::string Choose(std::string_view initial, int button, DialogSeen& seen, const std::string& selection = "",
                     const std::function<void(HWND)>& act = nullptr) {
    Helper driver([&] {
      HWND dialog = nullptr;
      if (!WaitFor([&] { return (dialog = FindDialog()) != nullptr && TreeFilled(dialog); }, 15000)) return;
      seen.shown = true;
      if (!selection.empty()) WaitFor([&] { return SelectedFolder(dialog) == selection; }, 15000);
      seen.selected = SelectedFolder(dialog);
      seen.other_window_enabled = IsWindowEnabled(other_) != FALSE;
      if (act) act(dialog);
      PostMessageA(dialog, WM_COMMAND, button, 0);
    });
    return FolderChoose("Choose a Path", initial);
  }

  HWND other_ = nullptr;
};

// A folder straight under the drive root, made for one test: the dialog's
// tree reaches it through the drive on every prefix (a fresh Wine prefix does
// not show the user's Temp folder in it at once).
class RootFolder {
 public:
  RootFolder() : parent_("C:\\vudo-chooser-" + std::to_string(GetCurrentProcessId())) {
    CreateDirectoryA(parent_.c_str(), nullptr);
    CreateDirectoryA(Path().c_str(), nullptr);
  }
  ~RootFolder() {
    RemoveDirectoryA(Path().c_str());
    RemoveDirectoryA(parent_.c_str());
  }
  RootFolder(const RootFolder&) = delete;
  RootFolder& operator=(const RootFolder&) = delete;
  std::string Path() const { return parent_ + "\\Chosen Folder"; }

 private:
  std::string parent_;
};

TEST_F(FolderChooser, ChoosingTheInitialFolderGivesItWithOneBackslash) {
  const RootFolder made;
  const std::string folder = made.Path();
  for (const std::string& initial : {folder, folder + "\\"}) {
    SCOPED_TRACE(initial);
    DialogSeen seen;
    const std::string chosen = Choose(initial, IDOK, seen, "Chosen Folder");
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.selected, "Chosen Folder");
    EXPECT_FALSE(seen.other_window_enabled);
    EXPECT_EQ(chosen, folder + "\\");
    EXPECT_TRUE(IsWindowEnabled(other_));
    EXPECT_TRUE(IsWindowEnabled(window_));
  }
}

TEST_F(FolderChooser, ADriveRootKeepsItsSingleBackslash) {
  DialogSeen seen;
  EXPECT_EQ(Choose("C:\\", IDOK, seen), "C:\\");
  EXPECT_TRUE(seen.shown);
}

TEST_F(FolderChooser, CancelGivesNothingAndEnablesTheWindows) {
  DialogSeen seen;
  EXPECT_EQ(Choose("C:\\windows\\", IDCANCEL, seen), "");
  EXPECT_TRUE(seen.shown);
  EXPECT_FALSE(seen.other_window_enabled);
  EXPECT_TRUE(IsWindowEnabled(other_));
}

TEST_F(FolderChooser, APathTooLongToHoldIsNeverCutIntoAnother) {
  // Cut to 259 bytes this would still name C:\windows; whole, it is too long
  // for the dialog, which must then preselect nothing rather than the cut path.
  std::string initial = "C:\\windows";
  while (initial.size() < 300) initial += "\\.";
  DialogSeen seen;
  const std::string chosen = Choose(initial, IDCANCEL, seen);
  EXPECT_TRUE(seen.shown);
  EXPECT_NE(seen.selected, "windows");
  EXPECT_EQ(chosen, "");
}

TEST_F(FolderChooser, AVirtualFolderReadsLikeACancel) {
  DialogSeen seen;
  const std::string chosen = Choose("C:\\windows\\", IDOK, seen, "windows", [](HWND dialog) {
    LPITEMIDLIST computer = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer))) {
      SendMessageA(dialog, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(computer));
      CoTaskMemFree(computer);
    }
  });
  EXPECT_TRUE(seen.shown);
  EXPECT_EQ(chosen, "");
}

}  // namespace
}  // namespace vudo
