// Files and folders. Paths are wide text, encoded as UTF-8 for the Linux file system and
// taken verbatim: a backslash is an ordinary file-name character here. Any thread; the calls
// block only as long as the file system does (opening never waits for a FIFO's writer).
#pragma once
#include "platform/win32/types.h"

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD FILE_SHARE_DELETE = 0x4;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// INVALID_FILE_ATTRIBUTES when nothing stands at the path.
DWORD GetFileAttributesW(LPCWSTR path);
// Creates one folder, not its parents. FALSE with ERROR_ALREADY_EXISTS when something is there.
BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES attributes);

// Opens an existing regular file for reading (the only use the program has). Without
// FILE_SHARE_WRITE in `shareMode` a file that some process holds open for writing is refused
// with ERROR_SHARING_VIOLATION; a read lease tells, and where the file system or our rights
// allow no lease the file is opened plainly. INVALID_HANDLE_VALUE on failure.
HANDLE CreateFileW(LPCWSTR path, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES attributes,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);

namespace bp::kernel {
// The file descriptor behind a handle from CreateFileW, or -1.
int FileDescriptor(HANDLE file);
}  // namespace bp::kernel
