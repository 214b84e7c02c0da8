#include "platform/win32/kernel/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/win32/kernel/codepage.h"
#include "platform/win32/kernel/error.h"
#include "platform/win32/kernel/kernel_object.h"
#include "platform/win32/kernel/path.h"

namespace {

class FileObject final : public bp::KernelObject {
 public:
  explicit FileObject(int fd) : m_fd(fd) {}
  ~FileObject() override { ::close(m_fd); }
  int Fd() const { return m_fd; }

 private:
  int m_fd;
};

// True when some process has the file open for writing. A read lease is refused (EAGAIN)
// exactly then. It is dropped at once: no owner is set, so no lease-break signal can come.
bool HeldOpenForWriting(int fd) {
  if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
    ::fcntl(fd, F_SETLEASE, F_UNLCK);
    return false;
  }
  return errno == EAGAIN;  // EACCES, EINVAL...: leases unavailable here, plain open
}

}  // namespace

DWORD GetFileAttributesW(LPCWSTR path) {
  std::string native;
  if (!bp::kernel::NativePath(path, &native)) return INVALID_FILE_ATTRIBUTES;
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0) {
    SetLastError(bp::kernel::ErrorFromErrno(errno));
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = 0;
  if (S_ISDIR(st.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES) {
  std::string native;
  if (!bp::kernel::NativePath(path, &native)) return FALSE;
  if (::mkdir(native.c_str(), 0777) != 0) {
    SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : bp::kernel::ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}

HANDLE CreateFileW(LPCWSTR path, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                   DWORD creationDisposition, DWORD, HANDLE) {
  if (desiredAccess != GENERIC_READ || creationDisposition != OPEN_EXISTING) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string native;
  if (!bp::kernel::NativePath(path, &native)) return INVALID_HANDLE_VALUE;
  // O_NONBLOCK: a FIFO at the path must not make us wait for its writer.
  int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    SetLastError(bp::kernel::ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  if ((shareMode & FILE_SHARE_WRITE) == 0 && HeldOpenForWriting(fd)) {
    ::close(fd);
    SetLastError(ERROR_SHARING_VIOLATION);
    return INVALID_HANDLE_VALUE;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  HANDLE handle = nullptr;
  try {
    handle = bp::kernel::NewHandle(std::make_shared<FileObject>(fd));
  } catch (...) {
    ::close(fd);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return INVALID_HANDLE_VALUE;
  }
  return handle;
}

namespace bp::kernel {

int FileDescriptor(HANDLE file) {
  auto object = LookupHandleAs<FileObject>(file);
  return object ? object->Fd() : -1;
}

}  // namespace bp::kernel
