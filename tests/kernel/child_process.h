// Runs a check in a forked child, for what needs a fresh process or a second one: once-only
// singletons, the environment read once, a lock or an open file held by another process.
#pragma once
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace bp::test {

struct ChildResult {
  int exitCode = -1;   // -1 when the child did not exit normally
  std::string output;  // what the child wrote to standard output
};

// `body` runs in the child; its return value is the exit code. Standard output is captured.
inline ChildResult RunInChild(const std::function<int()>& body) {
  ChildResult result;
  int fds[2];
  if (::pipe(fds) != 0) return result;
  std::fflush(stdout);
  pid_t pid = ::fork();
  if (pid < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return result;
  }
  if (pid == 0) {
    ::close(fds[0]);
    ::dup2(fds[1], STDOUT_FILENO);
    ::close(fds[1]);
    int code = body();
    std::fflush(stdout);
    ::_exit(code);
  }
  ::close(fds[1]);
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) result.output.append(buffer, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = 0;
  if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

// A child that stays alive while the parent looks: it runs `setup`, reports readiness, and
// waits until Release() (or the destructor) lets it go.
class HeldChild {
 public:
  explicit HeldChild(const std::function<bool()>& setup) {
    int ready[2], release[2];
    if (::pipe(ready) != 0) return;
    if (::pipe(release) != 0) {
      ::close(ready[0]);
      ::close(ready[1]);
      return;
    }
    m_pid = ::fork();
    if (m_pid == 0) {
      ::close(ready[0]);
      ::close(release[1]);
      char ok = setup() ? '1' : '0';
      (void)!::write(ready[1], &ok, 1);
      char c;
      (void)!::read(release[0], &c, 1);
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    m_release = release[1];
    char ok = '0';
    if (m_pid > 0 && ::read(ready[0], &ok, 1) == 1) m_ready = ok == '1';
    ::close(ready[0]);
  }
  HeldChild(const HeldChild&) = delete;
  HeldChild& operator=(const HeldChild&) = delete;
  ~HeldChild() { Release(); }

  bool Ready() const { return m_ready; }
  void Release() {
    if (m_release >= 0) {
      ::close(m_release);
      m_release = -1;
    }
    if (m_pid > 0) {
      int status;
      ::waitpid(m_pid, &status, 0);
      m_pid = -1;
    }
  }

 private:
  pid_t m_pid = -1;
  int m_release = -1;
  bool m_ready = false;
};

// A fresh empty folder under $BUGPOST_ARTIFACTS (else the current folder), removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    const char* base = std::getenv("BUGPOST_ARTIFACTS");
    std::string pattern = std::string(base != nullptr && base[0] != 0 ? base : ".") + "/tmp-XXXXXX";
    char* made = ::mkdtemp(pattern.data());
    if (made != nullptr) {
      char* absolute = ::realpath(made, nullptr);
      m_path = absolute != nullptr ? absolute : made;
      std::free(absolute);
    }
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
  }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

// Whether the file system under `folder` grants read leases, which is how a file held open
// for writing elsewhere is told; where it does not, the platform opens such files plainly.
inline bool LeasesWork(const std::string& folder) {
  std::string probe = folder + "/lease-probe";
  int fd = ::open(probe.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool works = ::fcntl(fd, F_SETLEASE, F_RDLCK) == 0;
  if (works) ::fcntl(fd, F_SETLEASE, F_UNLCK);
  ::close(fd);
  ::unlink(probe.c_str());
  return works;
}

}  // namespace bp::test
