#include "app/e2e/e2e_trees.h"

#include "app/e2e/vudo_driver.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace vudo::e2e {
namespace {

void Touch(const std::string& path, const char* content = "") {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, content, static_cast<DWORD>(std::strlen(content)), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

// Each tree is made on first use and removed when the test program ends.
const testing_tree::TempTree& SmallTree() {
  static const testing_tree::TempTree tree;
  static const bool made = [] {
    tree.Write("docs/Readme.TXT", "Hello world");
    tree.Write("docs/notes.txt", "nothing here");
    tree.Write("docs/sub/deep/a.txt", "say hello");
    tree.Write("docs/sub/b.log", "hello");
    tree.Write("docs/other/C.Txt", "HELLO THERE");
    tree.Write("docs/other/skip.dat", "hello");
    return true;
  }();
  (void)made;
  return tree;
}

const testing_tree::TempTree& LargeTree() {
  static const testing_tree::TempTree tree;
  static const bool made = [] {
    const testing_tree::TempTree* t = &tree;
    char name[64];
    for (int d = 0; d < 200; ++d) {
      std::snprintf(name, sizeof name, "d%03d", d);
      const std::string folder = t->Path(name);
      CreateDirectoryA(folder.c_str(), nullptr);
      for (int f = 0; f < 150; ++f) {
        const bool hit = f == 3 || f == 100;
        std::snprintf(name, sizeof name, hit ? "\\hit%05d.txt" : "\\f%05d.dat", d * 150 + f);
        Touch(folder + name, hit ? "found it" : "");
      }
    }
    return true;
  }();
  (void)made;
  return tree;
}

bool StartLargeSearchByClick(VudoRun& vudo, int rows) {
  vudo.WriteIni("searchdir = " + LargeTree().Root() + "\r\nfilename = hit*\r\ncontains = \r\n");
  if (!vudo.Start() || !vudo.BringToFront()) return false;
  vudo.Click(kStartStopButton);
  return WaitFor([&] { return vudo.Text(kStartStopButton) == "Stop" && vudo.RowCount() >= rows; }, 30000);
}

}  // namespace vudo::e2e
