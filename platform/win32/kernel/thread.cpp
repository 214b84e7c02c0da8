#include "platform/win32/kernel/thread.h"

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/win32/kernel/error.h"
#include "platform/win32/kernel/kernel_object.h"

namespace {

// Shared between the running thread and its kernel object, so either may go first.
struct ThreadState {
  std::mutex lock;
  std::condition_variable changed;
  bool started = false;
  bool finished = false;
  DWORD id = 0;
  DWORD exitCode = STILL_ACTIVE;
};

class ThreadObject final : public bp::KernelObject {
 public:
  explicit ThreadObject(std::shared_ptr<ThreadState> state) : m_state(std::move(state)) {}

  DWORD Wait(DWORD milliseconds) override {
    std::unique_lock<std::mutex> guard(m_state->lock);
    auto done = [this] { return m_state->finished; };
    if (milliseconds == INFINITE) {
      m_state->changed.wait(guard, done);
      return WAIT_OBJECT_0;
    }
    return m_state->changed.wait_for(guard, std::chrono::milliseconds(milliseconds), done) ? WAIT_OBJECT_0
                                                                                            : WAIT_TIMEOUT;
  }

  DWORD ExitCode() {
    std::lock_guard<std::mutex> guard(m_state->lock);
    return m_state->exitCode;
  }

 private:
  std::shared_ptr<ThreadState> m_state;
};

void RunThread(std::shared_ptr<ThreadState> state, LPTHREAD_START_ROUTINE routine, LPVOID parameter) {
  {
    std::lock_guard<std::mutex> guard(state->lock);
    state->id = GetCurrentThreadId();
    state->started = true;
  }
  state->changed.notify_all();
  DWORD result = BP_THREAD_EXCEPTION_EXIT;
  try {
    result = routine(parameter);
  } catch (...) {
    // Nothing may leave a thread: the routine's failure becomes its exit code.
  }
  {
    std::lock_guard<std::mutex> guard(state->lock);
    state->exitCode = result;
    state->finished = true;
  }
  state->changed.notify_all();
}

}  // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, size_t, LPTHREAD_START_ROUTINE routine, LPVOID parameter, DWORD,
                    DWORD* threadId) {
  if (routine == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  try {
    auto state = std::make_shared<ThreadState>();
    auto object = std::make_shared<ThreadObject>(state);
    std::thread(RunThread, state, routine, parameter).detach();
    HANDLE handle = bp::kernel::NewHandle(std::move(object));
    std::unique_lock<std::mutex> guard(state->lock);
    state->changed.wait(guard, [&] { return state->started; });
    if (threadId != nullptr) *threadId = state->id;
    return handle;
  } catch (...) {
    // std::thread throws when the system has no thread left for us; bad_alloc likewise.
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

DWORD GetCurrentThreadId() { return static_cast<DWORD>(gettid()); }

void Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  auto object = bp::kernel::LookupHandle(handle);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  return object->Wait(milliseconds);
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
  auto object = bp::kernel::LookupHandleAs<ThreadObject>(thread);
  if (!object || exitCode == nullptr) {
    SetLastError(object ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *exitCode = object->ExitCode();
  return TRUE;
}
