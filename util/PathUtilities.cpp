#include "util/PathUtilities.h"

#include <cstring>

#include "platform/win32/kernel/kernel.h"

int FileNameFromPath(const WCHAR* path, WCHAR* out, size_t capacity) {
  if (path == nullptr) return 0;
  const WCHAR* separator = nullptr;
  const WCHAR* lastSlash = nullptr;
  const WCHAR* end = path;
  for (; *end != 0; ++end) {
    if (*end == u'\\') separator = end;
    if (*end == u'/') lastSlash = end;
  }
  if (separator == nullptr) separator = lastSlash;
  if (separator == nullptr) return 0;
  if (out != nullptr && capacity > 0) {
    const WCHAR* name = separator + 1;
    size_t units = static_cast<size_t>(end - name);
    if (units + 1 <= capacity) {
      std::memcpy(out, name, (units + 1) * sizeof(WCHAR));
    } else {
      out[0] = 0;
    }
  }
  return 1;
}

std::u16string PersonalDataFolder() {
  PIDLIST_ABSOLUTE list = nullptr;
  SHGetFolderLocation(nullptr, CSIDL_PERSONAL, nullptr, 0, &list);
  if (list == nullptr) return std::u16string();
  WCHAR documents[MAX_PATH] = {};
  BOOL found = SHGetPathFromIDListW(list, documents);
  ILFree(list);
  // A location without a file-system path has nowhere to keep the folder.
  if (!found || documents[0] == 0) return std::u16string();
  std::u16string path = documents;
  if (path.back() != u'/') path += u'/';
  path += kDataFolderName;
  path += u'/';
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return path;
  return CreateDirectoryW(path.c_str(), nullptr) ? path : std::u16string();
}
