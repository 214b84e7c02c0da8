#include "platform/win32/user/controls.h"

namespace bp::user {

void RegisterControlClasses() {}

}  // namespace bp::user
