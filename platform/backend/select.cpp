#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend/headless/headless_backend.h"
#include "platform/backend/sdl/sdl_backend.h"
#include "platform/win32/user/backend.h"

namespace bp::user {

namespace {
std::atomic<bool> g_lacksScreen{false};
}  // namespace

bool DefaultBackendLacksScreen() { return g_lacksScreen; }

std::shared_ptr<Backend> CreateDefaultBackend() {
  const char* forced = std::getenv("BUGPOST_BACKEND");
  bool display = (std::getenv("DISPLAY") && *std::getenv("DISPLAY")) ||
                 (std::getenv("WAYLAND_DISPLAY") && *std::getenv("WAYLAND_DISPLAY"));
  bool wantSdl = forced ? std::strcmp(forced, "sdl") == 0 : display;
  if (wantSdl) {
    if (auto sdl = bp::sdl::CreateBackend()) return sdl;
    std::fprintf(stderr, "bugpost: no display could be opened; running without one\n");
  }
  // Headless asked for by name is a choice; headless for want of a display is not.
  g_lacksScreen = !(forced && std::strcmp(forced, "headless") == 0);
  return bp::headless::Instance();
}

}  // namespace bp::user
