#include "platform/win32/user/builtin.h"

#include <mutex>

#include "platform/win32/user/controls.h"

namespace bp::user {

void RegisterBuiltinClasses() {
  static std::once_flag once;
  std::call_once(once, [] { RegisterControlClasses(); });
}

}  // namespace bp::user
