#include "platform/win32/kernel/crt.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

errno_t getenv_s(size_t* requiredSize, char* buffer, size_t count, const char* name) {
  if (requiredSize == nullptr || name == nullptr || (buffer == nullptr && count != 0)) return EINVAL;
  if (buffer != nullptr && count > 0) buffer[0] = 0;
  const char* value = std::getenv(name);
  if (value == nullptr) {
    *requiredSize = 0;
    return 0;
  }
  size_t size = std::strlen(value) + 1;
  *requiredSize = size;
  if (buffer == nullptr) return 0;
  if (count < size) return ERANGE;
  std::memcpy(buffer, value, size);
  return 0;
}
