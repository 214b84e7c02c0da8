// The base of every kernel object a HANDLE may point to. Any unit of the platform can define
// its own kind of object: derive from bp::KernelObject and hand the object to bp::kernel::NewHandle.
// Thread-safe: the handle table is guarded; objects themselves guard their own state.
#pragma once
#include <memory>

#include "platform/win32/types.h"

namespace bp {

class KernelObject {
 public:
  KernelObject() = default;
  KernelObject(const KernelObject&) = delete;
  KernelObject& operator=(const KernelObject&) = delete;
  virtual ~KernelObject() = default;

  // Blocks up to `milliseconds` (INFINITE waits for ever) until the object is signalled.
  // Returns WAIT_OBJECT_0, WAIT_TIMEOUT, or WAIT_FAILED for objects that cannot be waited on.
  virtual DWORD Wait(DWORD milliseconds);
};

namespace kernel {

// Enters the object into the handle table; the table owns it until CloseHandle.
HANDLE NewHandle(std::shared_ptr<KernelObject> object);

// The object behind a live handle, or null (stale, closed, foreign or pseudo handles).
// The returned reference keeps the object alive even if the handle is closed meanwhile.
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);

template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}

}  // namespace kernel
}  // namespace bp
