// Named mutexes, used only to keep one instance per user. Any thread.
#pragma once
#include <string>

#include "platform/win32/types.h"

// A named mutex is an exclusive flock on a lock file in $XDG_RUNTIME_DIR (else a per-user
// file in /tmp); the kernel drops it when the process ends, however it ends. When another
// open of the same name (in this process or another) holds it, the call still returns a
// handle and sets ERROR_ALREADY_EXISTS. Null when the lock file cannot be made.
// Ownership is not tracked beyond that: the program never waits on or releases the mutex.
HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCWSTR name);

namespace bp::kernel {
// Where the lock file for `name` lives (exposed for tests).
std::string MutexLockPath(LPCWSTR name);
}  // namespace bp::kernel
