#include "platform/win32/user/backend.h"

#include <chrono>

#include "platform/win32/user/state.h"

namespace bp::user {
namespace {

std::mutex g_backendLock;
std::shared_ptr<Backend> g_backend;

}  // namespace

void SetBackend(std::shared_ptr<Backend> backend) {
  std::lock_guard<std::mutex> g(g_backendLock);
  g_backend = std::move(backend);
}

std::shared_ptr<Backend> GetBackend() {
  std::lock_guard<std::mutex> g(g_backendLock);
  if (!g_backend) g_backend = CreateDefaultBackend();
  return g_backend;
}

std::shared_ptr<Backend> ExistingBackend() {
  std::lock_guard<std::mutex> g(g_backendLock);
  return g_backend;
}

std::uint64_t Now() {
  if (auto b = ExistingBackend()) return b->Now();
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count());
}


}  // namespace bp::user

DWORD GetTickCount() { return static_cast<DWORD>(bp::user::Now()); }
