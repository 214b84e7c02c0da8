#include "platform/win32/user/backend.h"

#include <chrono>

#include "platform/win32/user/state.h"

namespace bp::user {
namespace {

// Shows nothing; time is the machine's monotonic clock.
class SilentBackend final : public Backend {
 public:
  const char* Name() const override { return "silent"; }
  std::uint64_t Now() override {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
  }
  bool RealTime() const override { return true; }
};

std::mutex g_backendLock;
std::shared_ptr<Backend> g_backend;
std::shared_ptr<Backend> (*g_factory)() = nullptr;

}  // namespace

void SetBackend(std::shared_ptr<Backend> backend) {
  std::lock_guard<std::mutex> g(g_backendLock);
  g_backend = std::move(backend);
}

void SetBackendFactory(std::shared_ptr<Backend> (*factory)()) {
  std::lock_guard<std::mutex> g(g_backendLock);
  g_factory = factory;
}

std::shared_ptr<Backend> GetBackend() {
  std::lock_guard<std::mutex> g(g_backendLock);
  if (!g_backend) {
    if (g_factory) g_backend = g_factory();
    if (!g_backend) g_backend = std::make_shared<SilentBackend>();
  }
  return g_backend;
}

std::uint64_t Now() { return GetBackend()->Now(); }


}  // namespace bp::user

DWORD GetTickCount() { return static_cast<DWORD>(bp::user::Now()); }
