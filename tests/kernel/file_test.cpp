#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/win32/kernel/kernel.h"
#include "tests/kernel/child_process.h"

namespace {

std::u16string Wide(const std::string& utf8) { return bp::kernel::DecodeUtf8(utf8); }

HANDLE OpenForReading(const std::string& path) {
  return CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

void Touch(const std::string& path) { std::ofstream(path) << "report"; }

TEST(KernelFile, AttributesTellFolderFileAndNothing) {
  bp::test::TempFolder dir;
  Touch(dir.Path() + "/file");
  EXPECT_EQ(GetFileAttributesW(Wide(dir.Path()).c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
  DWORD file = GetFileAttributesW(Wide(dir.Path() + "/file").c_str());
  ASSERT_NE(file, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(file & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(GetFileAttributesW(Wide(dir.Path() + "/none").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW(u""), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW(nullptr), INVALID_FILE_ATTRIBUTES);
}

TEST(KernelFile, CreateDirectoryMakesOneLevelOnly) {
  bp::test::TempFolder dir;
  std::u16string made = Wide(dir.Path() + "/\u6587\u4EF6");
  EXPECT_TRUE(CreateDirectoryW(made.c_str(), nullptr));
  struct stat st {};
  ASSERT_EQ(::stat((dir.Path() + "/\u6587\u4EF6").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_FALSE(CreateDirectoryW(made.c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectoryW(Wide(dir.Path() + "/a/b").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(KernelFile, OpensExistingRegularFileForReading) {
  bp::test::TempFolder dir;
  std::string path = dir.Path() + "/crash \u5D29\u6E83.dmp";
  Touch(path);
  HANDLE file = OpenForReading(path);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char buffer[16] = {};
  EXPECT_EQ(::read(bp::kernel::FileDescriptor(file), buffer, sizeof buffer), 6);
  EXPECT_TRUE(CloseHandle(file));
}

TEST(KernelFile, RefusesWhatIsNotAReadableRegularFile) {
  bp::test::TempFolder dir;
  ASSERT_EQ(::mkfifo((dir.Path() + "/fifo").c_str(), 0600), 0);
  ::mkdir((dir.Path() + "/folder").c_str(), 0700);
  for (const char* name : {"/missing", "/folder", "/fifo"}) {  // a FIFO must not block us
    EXPECT_EQ(OpenForReading(dir.Path() + name), INVALID_HANDLE_VALUE) << name;
  }
  const WCHAR lone[] = {u'/', 0xD800, 0};
  EXPECT_EQ(OpenForReading(""), INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileW(lone, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
}

TEST(KernelFile, FileHeldOpenForWritingByAnotherProcessIsRefused) {
  bp::test::TempFolder dir;
  if (!bp::test::LeasesWork(dir.Path())) GTEST_SKIP() << "no read leases on this file system";
  std::string path = dir.Path() + "/crash.txt";
  Touch(path);
  {
    bp::test::HeldChild writer([&] { return ::open(path.c_str(), O_WRONLY) >= 0; });
    ASSERT_TRUE(writer.Ready());
    SetLastError(0);
    EXPECT_EQ(OpenForReading(path), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    // Asking to share writing accepts the same file.
    HANDLE shared = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(shared, INVALID_HANDLE_VALUE);
    CloseHandle(shared);
  }
  // Once the writer is gone the file opens.
  HANDLE file = OpenForReading(path);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  // A reader elsewhere does not stand in the way.
  bp::test::HeldChild reader([&] { return ::open(path.c_str(), O_RDONLY) >= 0; });
  ASSERT_TRUE(reader.Ready());
  file = OpenForReading(path);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
}

TEST(KernelFile, OnlyTheReadOnlyOpenIsOffered) {
  bp::test::TempFolder dir;
  Touch(dir.Path() + "/f");
  EXPECT_EQ(CreateFileW(Wide(dir.Path() + "/f").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
