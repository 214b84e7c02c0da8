// Internal: the one headless backend object, for the default backend choice.
#pragma once
#include <memory>

#include "platform/win32/user/backend.h"

namespace bp::headless {
std::shared_ptr<bp::user::Backend> Instance();
}  // namespace bp::headless
