// The wide command line. A program's main calls bp::kernel::SetCommandLine first; until then
// the line is rebuilt from /proc/self/cmdline. Any thread.
#pragma once
#include "platform/win32/types.h"

using HLOCAL = HANDLE;

// The whole command line, each argument quoted so that CommandLineToArgvW splits it back.
// The pointer stays valid for the life of the process.
LPWSTR GetCommandLineW();
// Splits a command line by the platform's rules. One block: free it with LocalFree.
// An empty line gives the program's own path as the only argument.
LPWSTR* CommandLineToArgvW(LPCWSTR commandLine, int* numArgs);
// Null on success, as the platform does.
HLOCAL LocalFree(HLOCAL memory);

namespace bp::kernel {
// Records argv (UTF-8; undecodable bytes become U+FFFD) as the process's command line.
void SetCommandLine(int argc, char** argv);
}  // namespace bp::kernel
