#include "events/thread_registry.h"

#include <vector>

namespace vudo {
namespace {

struct ListedThread {
  HANDLE handle;
  DWORD id;
};

// Re-entrant, as StartThread asks IsThreadRunning while holding it.
CRITICAL_SECTION lock;
bool lock_ready = false;
std::vector<ListedThread> threads;

bool Ended(HANDLE thread) { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }

class Hold {
 public:
  Hold() { EnterCriticalSection(&lock); }
  ~Hold() { LeaveCriticalSection(&lock); }
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;
};

}  // namespace

void StartThreadRegistry() {
  if (lock_ready) return;
  InitializeCriticalSection(&lock);
  lock_ready = true;
}

HANDLE StartThread(LPTHREAD_START_ROUTINE procedure, void* parameter) {
  StartThreadRegistry();
  DWORD id = 0;
  const HANDLE thread = CreateThread(nullptr, 4096, procedure, parameter, 0, &id);
  if (!thread) return nullptr;
  const Hold hold;
  for (auto it = threads.begin(); it != threads.end();) {
    if (!IsThreadRunning(it->handle)) {
      CloseHandle(it->handle);
      it = threads.erase(it);
    } else {
      ++it;
    }
  }
  threads.push_back({thread, id});
  return thread;
}

int IsThreadRunning(HANDLE thread) {
  if (!lock_ready || !thread) return 0;
  const Hold hold;
  for (const ListedThread& listed : threads)
    if (listed.handle == thread) return Ended(thread) ? 0 : 1;
  return 0;
}

int ListedThreadCount() {
  if (!lock_ready) return 0;
  const Hold hold;
  return static_cast<int>(threads.size());
}

void CloseAllThreads() {
  if (!lock_ready) return;
  {
    const Hold hold;
    for (const ListedThread& listed : threads) CloseHandle(listed.handle);
    threads.clear();
  }
  DeleteCriticalSection(&lock);
  lock_ready = false;
}

}  // namespace vudo
