#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend/headless/headless_backend.h"
#include "platform/backend/sdl/sdl_backend.h"
#include "platform/win32/user/backend.h"

namespace bp::user {

std::shared_ptr<Backend> CreateDefaultBackend() {
  const char* forced = std::getenv("BUGPOST_BACKEND");
  bool display = (std::getenv("DISPLAY") && *std::getenv("DISPLAY")) ||
                 (std::getenv("WAYLAND_DISPLAY") && *std::getenv("WAYLAND_DISPLAY"));
  bool wantSdl = forced ? std::strcmp(forced, "sdl") == 0 : display;
  if (wantSdl) {
    if (auto sdl = bp::sdl::CreateBackend()) return sdl;
    std::fprintf(stderr, "bugpost: no display could be opened; running without one\n");
  }
  return bp::headless::Instance();
}

}  // namespace bp::user
