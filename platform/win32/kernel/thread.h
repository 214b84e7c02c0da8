// Threads, waits and sleeping. Any thread may call these.
#pragma once
#include "platform/win32/types.h"

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD STILL_ACTIVE = 259;
// Exit code of a thread whose routine ended by throwing.
constexpr DWORD BP_THREAD_EXCEPTION_EXIT = 0xE0000001;

// Starts `routine(parameter)` on a new detached thread. The handle stays valid until closed,
// whether or not the thread still runs. The stack size and the flags are not used: the
// program only ever starts threads at once with the default stack.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, size_t stackSize, LPTHREAD_START_ROUTINE routine,
                    LPVOID parameter, DWORD flags, DWORD* threadId);
DWORD GetCurrentThreadId();
void Sleep(DWORD milliseconds);
// Blocks the caller up to `milliseconds`.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// STILL_ACTIVE while the thread runs, then the routine's result.
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
