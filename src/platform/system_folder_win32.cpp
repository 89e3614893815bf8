#include "platform/system_folder.h"

#include <windows.h>

#include "platform/wide_path.h"

namespace vudo::platform {
namespace {

struct SystemFolders {
  bool redirected = false;
  std::wstring system;     // GetSystemDirectory's answer: the folder as this process names it
  std::wstring sysnative;  // the alias that reaches its true contents
};

bool RunsUnderWow64() {
#ifdef _WIN64
  return false;
#else
  // IsWow64Process2 also knows an x86 program on an ARM64 system; where it
  // is missing, the older question answers for x64.
  using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (const auto is_wow64_2 =
          reinterpret_cast<IsWow64Process2Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process2")))) {
    USHORT process = 0, native = 0;
    if (is_wow64_2(GetCurrentProcess(), &process, &native)) return process != IMAGE_FILE_MACHINE_UNKNOWN;
  }
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
#endif
}

std::wstring Folder(UINT (WINAPI* query)(LPWSTR, UINT)) {
  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT length = query(buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return {};
  std::wstring folder(buffer, length);
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

const SystemFolders& Folders() {
  static const SystemFolders folders = [] {
    SystemFolders found;
    if (!RunsUnderWow64()) return found;
    found.system = Folder(GetSystemDirectoryW);
    const std::wstring windows = Folder(GetSystemWindowsDirectoryW);
    if (found.system.empty() || windows.empty()) return found;
    found.sysnative = windows + L"\\Sysnative";
    // Early 64-bit systems have no such alias; there nothing can be done.
    const DWORD attributes = GetFileAttributesW(found.sysnative.c_str());
    found.redirected = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return found;
  }();
  return folders;
}

bool SameText(const wchar_t* a, const wchar_t* b, std::size_t length) {
  return CompareStringOrdinal(a, static_cast<int>(length), b, static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

// Whether `path` names the folder "system32" anywhere (ASCII letters in any
// case): only then can it lead into the system folder, and only then is it
// worth making it absolute. Every file's path passes here, so it is cheap.
bool MentionsSystem32(const std::wstring& path) {
  static const wchar_t kName[] = L"system32";
  const std::size_t length = sizeof kName / sizeof kName[0] - 1;
  for (std::size_t i = 0; i + length <= path.size(); ++i) {
    std::size_t k = 0;
    while (k < length && (path[i + k] | 0x20) == kName[k]) ++k;
    if (k == length) return true;
  }
  return false;
}

}  // namespace

bool SystemFolderRedirected() { return Folders().redirected; }

std::wstring UnredirectedPath(const std::wstring& path) {
  const SystemFolders& folders = Folders();
  if (!folders.redirected || !MentionsSystem32(path)) return path;
  // Every spelling that reaches the folder ("c:\WINDOWS\system32", a
  // drive-relative or root-relative path, "." and "..", '/') made into one
  // absolute form to compare. The redirector treats the extended form alike.
  const bool extended = path.rfind(L"\\\\?\\", 0) == 0;
  std::wstring full;
  if (extended) {
    full = path.substr(4);
  } else {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    full.resize(size);
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return path;
    full.resize(length);
  }
  const std::size_t head = folders.system.size();
  if (full.size() < head || !SameText(full.c_str(), folders.system.c_str(), head)) return path;
  if (full.size() > head && full[head] != L'\\') return path;  // System32x, not System32
  return (extended ? L"\\\\?\\" : L"") + folders.sysnative + full.substr(head);
}

std::string UnredirectedPath(const std::string& path) {
  if (!SystemFolderRedirected()) return path;
  const std::wstring wide = Widen(path);
  const std::wstring reached = UnredirectedPath(wide);
  if (reached == wide) return path;
  bool lossy = false;
  std::string narrow = Narrow(reached, &lossy);
  return lossy ? path : narrow;
}

}  // namespace vudo::platform
