#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "ui/shell/com_apartment.h"
#include "ui/shell/shell_services.h"

namespace vudo {
namespace {

using BrowseFunction = LPITEMIDLIST(WINAPI*)(LPBROWSEINFOA);
using PathFunction = BOOL(WINAPI*)(LPCITEMIDLIST, LPSTR);

// SHELL32 is loaded for each dialog and freed after it.
class Library {
 public:
  explicit Library(const char* name) : module_(LoadLibraryA(name)) {}
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  template <typename Function>
  Function Find(const char* name) const {
    return module_ ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name))) : nullptr;
  }

 private:
  HMODULE module_;
};

// Windows disabled for the time of a dialog, by the thread that disabled them;
// each thread enables only its own again.
struct DisabledWindow {
  DWORD thread;
  HWND window;
};
std::mutex disabled_lock;
std::vector<DisabledWindow> disabled_windows;

BOOL CALLBACK DisableIfOurs(HWND window, LPARAM) {
  if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() && IsWindowVisible(window) &&
      IsWindowEnabled(window) && window != GetForegroundWindow()) {
    EnableWindow(window, FALSE);
    const std::lock_guard<std::mutex> hold(disabled_lock);
    disabled_windows.push_back({GetCurrentThreadId(), window});
  }
  return TRUE;
}

void DisableThreadWindows() { EnumWindows(DisableIfOurs, 0); }

void EnableThreadWindows() {
  const DWORD thread = GetCurrentThreadId();
  std::vector<HWND> mine;
  {
    const std::lock_guard<std::mutex> hold(disabled_lock);
    for (const DisabledWindow& entry : disabled_windows)
      if (entry.thread == thread) mine.push_back(entry.window);
    std::erase_if(disabled_windows, [thread](const DisabledWindow& entry) { return entry.thread == thread; });
  }
  for (HWND window : mine) EnableWindow(window, TRUE);
}

int CALLBACK BrowseCallback(HWND dialog, UINT notification, LPARAM, LPARAM data) {
  if (notification == BFFM_INITIALIZED && data) {
    SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
    // Asked once more when the dialog's own loop runs: Wine's dialog may still
    // be filling its folder tree at initialisation, and then stops short of
    // the folder. The path lives until the dialog has closed.
    PostMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
  }
  return 0;
}

HWND OwnForegroundWindow() {
  const HWND foreground = GetForegroundWindow();
  DWORD process = 0;
  if (foreground) GetWindowThreadProcessId(foreground, &process);
  return process == GetCurrentProcessId() ? foreground : nullptr;
}

}  // namespace

std::string FolderChoose(std::string_view title, std::string_view initial) {
  const Library shell("SHELL32.DLL");
  const auto browse = shell.Find<BrowseFunction>("SHBrowseForFolderA");
  if (!browse) return {};
  EnsureComApartment();

  initial = initial.substr(0, initial.find('\0'));
  // A drive root such as C:\ keeps its backslash; a longer folder path loses
  // its final one, which the dialog would not accept.
  if (initial.size() > 3 && initial.back() == '\\') initial.remove_suffix(1);
  char initial_path[MAX_PATH] = {};
  const bool fits = initial.size() < sizeof initial_path;
  if (fits) std::memcpy(initial_path, initial.data(), initial.size());
  const std::string title_text(title.substr(0, title.find('\0')));

  BROWSEINFOA info{};
  info.hwndOwner = OwnForegroundWindow();
  info.lpszTitle = title_text.c_str();
  info.ulFlags = BIF_NEWDIALOGSTYLE;
  info.lpfn = BrowseCallback;
  // A path that does not fit is never cut, since a cut path may name another
  // folder: the dialog then opens without a preselection.
  info.lParam = fits ? reinterpret_cast<LPARAM>(initial_path) : 0;

  DisableThreadWindows();
  const LPITEMIDLIST chosen = browse(&info);
  EnableThreadWindows();
  if (!chosen) return {};

  std::string result;
  char path[MAX_PATH] = {};
  const auto to_path = shell.Find<PathFunction>("SHGetPathFromIDListA");
  // A virtual folder has no file-system path; it reads like a cancel rather
  // than as a lone backslash.
  if (to_path && to_path(chosen, path) && path[0]) {
    result = path;
    if (result.back() != '\\') result += '\\';
  }
  CoTaskMemFree(chosen);
  return result;
}

}  // namespace vudo
