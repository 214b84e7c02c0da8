// Internal: registration of the built-in control classes, one unit each.
#pragma once
#include "platform/win32/user/user.h"

namespace bp::user {
void RegisterControlClasses();
}  // namespace bp::user
