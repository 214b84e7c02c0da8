// Internal: the SDL2 backend, the only code that sees SDL. Null when no display can be opened.
#pragma once
#include <memory>

#include "platform/win32/user/backend.h"

namespace bp::sdl {
std::shared_ptr<bp::user::Backend> CreateBackend();
}  // namespace bp::sdl
