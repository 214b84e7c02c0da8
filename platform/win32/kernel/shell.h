// Shell folders. The documents folder is the XDG one: XDG_DOCUMENTS_DIR in
// $XDG_CONFIG_HOME/user-dirs.dirs (else ~/.config/user-dirs.dirs), else $HOME/Documents.
// Reads the environment and the file system on every call; any thread.
#pragma once
#include <string>

#include "platform/win32/types.h"

using HRESULT = LONG;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
constexpr HRESULT HRESULT_FROM_WIN32(DWORD code) {
  return code == 0 ? S_OK : static_cast<HRESULT>((code & 0xFFFF) | 0x80070000);
}

constexpr int CSIDL_PERSONAL = 0x0005;

// An item list here carries the folder's path; its layout is private to the shell unit.
struct _ITEMIDLIST;
using ITEMIDLIST = _ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using PIDLIST_ABSOLUTE = ITEMIDLIST*;
using PCIDLIST_ABSOLUTE = const ITEMIDLIST*;

// Only CSIDL_PERSONAL is known. Fails (and leaves *pidl null) when the documents folder does
// not exist as a folder. Free the list with ILFree or CoTaskMemFree.
HRESULT SHGetFolderLocation(HWND owner, int folder, HANDLE token, DWORD reserved, PIDLIST_ABSOLUTE* pidl);
// Writes the path (at most MAX_PATH units with the terminator) into `path`; FALSE when it
// does not fit or the list is null.
BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE pidl, LPWSTR path);
void ILFree(PIDLIST_ABSOLUTE pidl);
void CoTaskMemFree(LPVOID memory);

namespace bp::kernel {
// The documents folder as the shell sees it, whether or not it exists (empty when no home
// folder is known). Exposed for tests.
std::string DocumentsFolder();
}  // namespace bp::kernel
