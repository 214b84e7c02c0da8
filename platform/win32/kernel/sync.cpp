#include "platform/win32/kernel/sync.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/win32/kernel/codepage.h"
#include "platform/win32/kernel/error.h"
#include "platform/win32/kernel/kernel_object.h"

namespace {

class MutexObject final : public bp::KernelObject {
 public:
  explicit MutexObject(int fd) : m_fd(fd) {}
  ~MutexObject() override {
    if (m_fd >= 0) ::close(m_fd);  // closing drops our flock, if we held it
  }

 private:
  int m_fd;
};

}  // namespace

namespace bp::kernel {

std::string MutexLockPath(LPCWSTR name) {
  std::string utf8;
  EncodeUtf8(name, &utf8);
  // A name may hold a slash; keep the lock file inside the folder.
  for (char& c : utf8)
    if (c == '/') c = '_';
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return std::string(runtime) + "/" + utf8 + ".lock";
  return "/tmp/" + utf8 + "-" + std::to_string(::getuid()) + ".lock";
}

}  // namespace bp::kernel

HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR name) {
  int fd = -1;
  bool taken = false;
  if (name != nullptr && name[0] != 0) {
    std::string path = bp::kernel::MutexLockPath(name);
    // O_NOFOLLOW and the owner check: in /tmp another user could have planted the file.
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (fd < 0) {
      SetLastError(bp::kernel::ErrorFromErrno(errno));
      return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || !S_ISREG(st.st_mode)) {
      ::close(fd);
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
    int rc;
    do {
      rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
      if (errno != EWOULDBLOCK) {
        ::close(fd);
        SetLastError(bp::kernel::ErrorFromErrno(errno));
        return nullptr;
      }
      taken = true;
      ::close(fd);
      fd = -1;
    }
  }
  HANDLE handle = nullptr;
  try {
    handle = bp::kernel::NewHandle(std::make_shared<MutexObject>(fd));
  } catch (...) {
    if (fd >= 0) ::close(fd);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  SetLastError(taken ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}
