#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/win32/kernel/kernel.h"
#include "tests/kernel/child_process.h"

namespace {

// Every test uses its own lock folder, so runs never meet a real instance's lock.
class KernelMutex : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("XDG_RUNTIME_DIR", m_dir.Path().c_str(), 1); }
  void TearDown() override { ::unsetenv("XDG_RUNTIME_DIR"); }
  bp::test::TempFolder m_dir;
};

TEST_F(KernelMutex, SecondOpenInTheSameProcessFindsItTaken) {
  HANDLE first = CreateMutexW(nullptr, TRUE, u"VorpinBugpost");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_EQ(bp::kernel::MutexLockPath(u"VorpinBugpost"), m_dir.Path() + "/VorpinBugpost.lock");
  HANDLE second = CreateMutexW(nullptr, TRUE, u"VorpinBugpost");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_TRUE(CloseHandle(second));
  HANDLE other = CreateMutexW(nullptr, TRUE, u"SomethingElse");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  CloseHandle(other);
  EXPECT_TRUE(CloseHandle(first));
  HANDLE again = CreateMutexW(nullptr, TRUE, u"VorpinBugpost");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);  // closing released it
  CloseHandle(again);
}

TEST_F(KernelMutex, AnotherProcessHoldingItMakesItExist) {
  {
    bp::test::HeldChild holder([] {
      HANDLE h = CreateMutexW(nullptr, TRUE, u"VorpinBugpost");
      return h != nullptr && GetLastError() == ERROR_SUCCESS;
    });
    ASSERT_TRUE(holder.Ready());
    HANDLE h = CreateMutexW(nullptr, TRUE, u"VorpinBugpost");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    CloseHandle(h);
  }
  // The holder has ended without closing anything: the kernel let the lock go.
  HANDLE h = CreateMutexW(nullptr, TRUE, u"VorpinBugpost");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  CloseHandle(h);
}

TEST_F(KernelMutex, NoLockFolderGivesNoHandle) {
  ::setenv("XDG_RUNTIME_DIR", (m_dir.Path() + "/missing").c_str(), 1);
  EXPECT_EQ(CreateMutexW(nullptr, TRUE, u"VorpinBugpost"), nullptr);
}

TEST_F(KernelMutex, SlashInNameStaysInTheFolder) {
  EXPECT_EQ(bp::kernel::MutexLockPath(u"a/../b"), m_dir.Path() + "/a_.._b.lock");
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(bp::kernel::MutexLockPath(u"X"), "/tmp/X-" + std::to_string(::getuid()) + ".lock");
}

}  // namespace
