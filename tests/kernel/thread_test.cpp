#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "platform/win32/kernel/kernel.h"
#include "platform/win32/kernel/kernel_object.h"

namespace {

std::atomic<bool> g_release{false};

DWORD WaitForRelease(LPVOID parameter) {
  while (!g_release.load()) Sleep(1);
  return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(parameter));
}

DWORD ReportId(LPVOID parameter) {
  *static_cast<DWORD*>(parameter) = GetCurrentThreadId();
  return 0;
}

DWORD Throws(LPVOID) { throw std::runtime_error("routine failed"); }

DWORD SetsError(LPVOID) {
  SetLastError(ERROR_ACCESS_DENIED);
  return GetLastError();
}

TEST(KernelThread, RunsRoutineAndKeepsExitCodeUntilClosed) {
  g_release = false;
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, WaitForRelease, reinterpret_cast<LPVOID>(42), 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, GetCurrentThreadId());
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
  g_release = true;
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(CloseHandle(thread));
}

TEST(KernelThread, ReportedIdIsTheThreadsOwn) {
  DWORD seen = 0, reported = 0;
  HANDLE thread = CreateThread(nullptr, 0, ReportId, &seen, 0, &reported);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(seen, reported);
  CloseHandle(thread);
}

TEST(KernelThread, ExceptionStaysInsideTheThread) {
  HANDLE thread = CreateThread(nullptr, 0, Throws, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, BP_THREAD_EXCEPTION_EXIT);
  CloseHandle(thread);
}

TEST(KernelThread, ClosingWhileRunningIsSafe) {
  g_release = false;
  HANDLE thread = CreateThread(nullptr, 0, WaitForRelease, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_TRUE(CloseHandle(thread));
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);
  g_release = true;  // the detached thread finishes on its own
  Sleep(20);
}

TEST(KernelThread, LastErrorIsPerThread) {
  SetLastError(ERROR_FILE_NOT_FOUND);
  HANDLE thread = CreateThread(nullptr, 0, SetsError, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, 10000);
  DWORD code = 0;
  GetExitCodeThread(thread, &code);
  EXPECT_EQ(code, ERROR_ACCESS_DENIED);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  CloseHandle(thread);
}

TEST(KernelHandle, BadHandlesFailCleanly) {
  for (HANDLE h : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(0x12345)}) {
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_FAILED);
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeThread(h, &code));
  }
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

struct Probe : bp::KernelObject {
  explicit Probe(bool* gone) : m_gone(gone) {}
  ~Probe() override { *m_gone = true; }
  bool* m_gone;
};

TEST(KernelHandle, CloseDestroysForeignObjectOnceAndOnlyOnce) {
  bool gone = false;
  HANDLE h = bp::kernel::NewHandle(std::make_shared<Probe>(&gone));
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_FAILED);  // not a waitable kind
  EXPECT_FALSE(gone);
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_TRUE(gone);
  EXPECT_FALSE(CloseHandle(h));
}

}  // namespace
