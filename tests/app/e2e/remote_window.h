// What the driver needs to read another process's windows: memory in that
// process for the controls that answer only there, and finding a visible
// top-level window of it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>

namespace vudo::e2e {

// Memory in the program's process: a list or header control reads and writes
// its answers only there.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, std::size_t size)
      : process_(process), memory_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  ~RemoteBuffer() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  explicit operator bool() const { return memory_ != nullptr; }
  char* At(std::size_t offset = 0) const { return static_cast<char*>(memory_) + offset; }
  LPARAM Param() const { return reinterpret_cast<LPARAM>(memory_); }
  void Write(const void* data, std::size_t size, std::size_t offset = 0) const {
    WriteProcessMemory(process_, At(offset), data, size, nullptr);
  }
  void Read(void* data, std::size_t size, std::size_t offset = 0) const {
    ReadProcessMemory(process_, At(offset), data, size, nullptr);
  }

 private:
  HANDLE process_;
  void* memory_;
};

// The first visible top-level window of `process` that `wanted` accepts, or
// none.
struct WindowSearch {
  DWORD process;
  const std::function<bool(HWND)>* wanted;
  HWND found;
};
inline BOOL CALLBACK AcceptVisibleWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process || !IsWindowVisible(window) || !(*search->wanted)(window)) return TRUE;
  search->found = window;
  return FALSE;
}
inline HWND VisibleWindowOf(DWORD process, const std::function<bool(HWND)>& wanted) {
  WindowSearch search{process, &wanted, nullptr};
  EnumWindows(AcceptVisibleWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace vudo::e2e
