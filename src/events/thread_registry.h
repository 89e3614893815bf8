// The threads the program starts, with one re-entrant lock. The program starts
// one: the pointer tracking thread.
#pragma once

#include <windows.h>

namespace vudo {

// Creates the registry's lock; start-up does this before any thread starts.
// StartThread creates it too when it is missing.
void StartThreadRegistry();
// Starts a thread (a 4 KiB stack) and lists it, dropping entries of threads
// that have ended. The handle, or none when the system refuses.
HANDLE StartThread(LPTHREAD_START_ROUTINE procedure, void* parameter);
// 1 when `thread` is listed and still running, else 0.
int IsThreadRunning(HANDLE thread);
// At shutdown: closes every listed handle, then the lock. Threads are not
// stopped; they end with the process.
void CloseAllThreads();
// How many threads are listed.
int ListedThreadCount();

}  // namespace vudo
