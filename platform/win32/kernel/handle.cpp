#include "platform/win32/kernel/handle.h"

#include <mutex>
#include <unordered_map>

#include "platform/win32/kernel/error.h"
#include "platform/win32/kernel/kernel_object.h"
#include "platform/win32/kernel/thread.h"

namespace bp {

DWORD KernelObject::Wait(DWORD) {
  SetLastError(ERROR_INVALID_HANDLE);
  return WAIT_FAILED;
}

namespace kernel {
namespace {

// Handle values are numbers from a counter, never addresses, so a stale handle can never
// name a newer object that happens to live at the same address.
struct HandleTable {
  std::mutex lock;
  std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
  std::uintptr_t next = 0x1000;
};

HandleTable& Table() {
  static HandleTable* table = new HandleTable;  // never destroyed: detached threads may outlive main
  return *table;
}

}  // namespace

HANDLE NewHandle(std::shared_ptr<KernelObject> object) {
  if (!object) return nullptr;
  HandleTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  std::uintptr_t value = table.next;
  table.next += 4;
  table.objects.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
  HandleTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == table.objects.end() ? nullptr : it->second;
}

}  // namespace kernel
}  // namespace bp

BOOL CloseHandle(HANDLE handle) {
  std::shared_ptr<bp::KernelObject> object;  // destroyed outside the lock
  {
    auto& table = bp::kernel::Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == table.objects.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    object = std::move(it->second);
    table.objects.erase(it);
  }
  return TRUE;
}
