#include "platform/backend/sdl/sdl_backend.h"

namespace bp::sdl {
std::shared_ptr<bp::user::Backend> CreateBackend() { return nullptr; }
}  // namespace bp::sdl
