#include "log/Log.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The library stands alone, so it carries its own small UTF-16 to UTF-8 encoder;
// a lone surrogate becomes U+FFFD rather than a broken byte sequence.
void AppendUtf8(std::string& out, const char16_t* text) {
  for (const char16_t* p = text; *p; ++p) {
    char32_t c = *p;
    if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
      ++p;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
}

std::string LogFilePath() {
  if (const char* file = std::getenv("VORPIN_LOG_FILE"); file && *file) return file;
  std::string state;
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg == '/') {
    state = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    state = std::string(home) + "/.local/state";
  } else {
    return {};
  }
  return state + "/Vorpin/bugpost.log";
}

// mkdir -p for the folders above the log file.
void MakeParentFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    std::string folder = path.substr(0, slash);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return;
  }
}

std::string TimeStamp() {
  auto now = std::chrono::system_clock::now();
  std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  long millis = static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  tm utc{};
  ::gmtime_r(&seconds, &utc);
  char buf[40];
  std::size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &utc);
  std::snprintf(buf + n, sizeof buf - n, ".%03ldZ", millis);
  return buf;
}

}  // namespace

namespace Log {

void Save(const char16_t* text, bool /*flag*/) noexcept {
  if (!text) return;
  try {
    std::string path = LogFilePath();
    if (path.empty()) return;
    std::string line = TimeStamp();
    line += '\t';
    AppendUtf8(line, text);
    line += '\n';
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 && errno == ENOENT) {
      MakeParentFolders(path);
      fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    }
    if (fd < 0) return;
    // One write per line, so lines of concurrent writers never interleave.
    ssize_t written;
    do {
      written = ::write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    ::close(fd);
  } catch (...) {
    // A logging failure must never take the caller down.
  }
}

}  // namespace Log
