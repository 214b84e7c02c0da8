#include "platform/win32/kernel/shell.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/kernel/codepage.h"
#include "platform/win32/kernel/error.h"

struct _ITEMIDLIST {
  size_t units;
  WCHAR path[1];  // `units` units and a terminator follow
};

namespace {

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  std::vector<char> buffer(16384);
  passwd entry {};
  passwd* result = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result != nullptr &&
      result->pw_dir != nullptr && result->pw_dir[0] == '/')
    return result->pw_dir;
  return "";
}

// The value of XDG_DOCUMENTS_DIR as user-dirs.dirs writes it: "$HOME/Some Folder" or "/abs".
std::string DocumentsFromUserDirs(const std::string& home) {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  std::string file = configHome != nullptr && configHome[0] == '/' ? std::string(configHome) : home + "/.config";
  std::ifstream in(file + "/user-dirs.dirs");
  std::string line, found;
  while (std::getline(in, line)) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, 18, "XDG_DOCUMENTS_DIR=") != 0) continue;
    std::string value = line.substr(start + 18);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) value.pop_back();
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
    value = value.substr(1, value.size() - 2);
    std::string unescaped;
    for (size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\\' && i + 1 < value.size()) ++i;
      unescaped.push_back(value[i]);
    }
    if (unescaped.rfind("$HOME", 0) == 0 && (unescaped.size() == 5 || unescaped[5] == '/')) {
      found = home + unescaped.substr(5);
    } else if (!unescaped.empty() && unescaped[0] == '/') {
      found = unescaped;
    }
    // The last assignment wins, as when the file is sourced by a shell.
  }
  while (found.size() > 1 && found.back() == '/') found.pop_back();
  return found;
}

}  // namespace

namespace bp::kernel {

std::string DocumentsFolder() {
  std::string home = HomeFolder();
  std::string documents = DocumentsFromUserDirs(home);
  if (!documents.empty()) return documents;
  return home.empty() ? "" : home + "/Documents";
}

}  // namespace bp::kernel

HRESULT SHGetFolderLocation(HWND, int folder, HANDLE, DWORD reserved, PIDLIST_ABSOLUTE* pidl) {
  if (pidl == nullptr) return E_INVALIDARG;
  *pidl = nullptr;
  if (folder != CSIDL_PERSONAL || reserved != 0) return E_INVALIDARG;
  std::string documents = bp::kernel::DocumentsFolder();
  struct stat st {};
  if (documents.empty() || ::stat(documents.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  std::u16string wide = bp::kernel::DecodeUtf8(documents);
  auto* list = static_cast<_ITEMIDLIST*>(std::malloc(sizeof(_ITEMIDLIST) + wide.size() * sizeof(WCHAR)));
  if (list == nullptr) return E_OUTOFMEMORY;
  list->units = wide.size();
  std::memcpy(list->path, wide.data(), wide.size() * sizeof(WCHAR));
  list->path[wide.size()] = 0;
  *pidl = list;
  return S_OK;
}

BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE pidl, LPWSTR path) {
  if (pidl == nullptr || path == nullptr) return FALSE;
  if (pidl->units + 1 > MAX_PATH) {
    path[0] = 0;
    return FALSE;
  }
  std::memcpy(path, pidl->path, (pidl->units + 1) * sizeof(WCHAR));
  return TRUE;
}

void ILFree(PIDLIST_ABSOLUTE pidl) { std::free(pidl); }

void CoTaskMemFree(LPVOID memory) { std::free(memory); }
