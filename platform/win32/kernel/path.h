// Wide paths to Linux paths, for the platform's own file calls.
#pragma once
#include <string>

#include "platform/win32/types.h"

namespace bp::kernel {
// UTF-8 of the NUL-terminated wide path. False, with the last error set, for a null or empty
// path and for one holding a lone surrogate (it could only name some other file).
bool NativePath(LPCWSTR path, std::string* out);
}  // namespace bp::kernel
