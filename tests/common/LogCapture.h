// Points the logging library at a fresh file for one test and reads back what reached it.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testlog {

class LogCapture {
 public:
  explicit LogCapture(const std::string& name) {
    const char* root = std::getenv("BUGPOST_ARTIFACTS");
    path_ = std::filesystem::absolute(std::filesystem::path(root && *root ? root : ".") / "logs" / (name + ".log"));
    std::filesystem::create_directories(path_.parent_path());
    std::filesystem::remove(path_);
    setenv("VORPIN_LOG_FILE", path_.c_str(), 1);
  }
  ~LogCapture() { unsetenv("VORPIN_LOG_FILE"); }

  // The lines as handed to Log::Save, in UTF-8, without the time stamp and its TAB.
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::ifstream in(path_, std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(line.find('\t') + 1));
    return lines;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace testlog
