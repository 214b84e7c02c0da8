// Internal: the window classes the layer brings (dialog, button, static, progress, tooltip).
#pragma once
#include "platform/win32/user/user.h"

namespace bp::user {
// Registers them once; every entry that looks up a class calls it first.
void RegisterBuiltinClasses();
ATOM RegisterClassInternal(const WNDCLASSEXW& wc);
}  // namespace bp::user
