#include "platform/win32/kernel/path.h"

#include "platform/win32/kernel/codepage.h"
#include "platform/win32/kernel/error.h"

namespace bp::kernel {

bool NativePath(LPCWSTR path, std::string* out) {
  if (path == nullptr || path[0] == 0) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  if (!EncodeUtf8(path, out)) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  return true;
}

}  // namespace bp::kernel
