// An in-process bugpost-service on 127.0.0.1, port 0, with a data folder of its own and its log
// lines captured.
#pragma once
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "service/BugService.h"

namespace testservice {

inline std::filesystem::path Scratch(const std::string& name) {
  const char* root = std::getenv("BUGPOST_ARTIFACTS");
  auto dir = std::filesystem::absolute(std::filesystem::path(root && *root ? root : ".") / "service" / name);
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

inline std::string Now() {
  return std::to_string(
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count());
}

class RunningService {
 public:
  explicit RunningService(const std::string& name, std::uint64_t maxBody = 2ull << 30) : data_(Scratch(name) / "data") {
    ServiceOptions options;
    options.dataDir = data_.string();
    options.maxBodyBytes = maxBody;
    options.log = [this](const std::string& line) {
      std::lock_guard<std::mutex> lock(mutex_);
      lines_.push_back(line);
    };
    service_ = std::make_unique<BugService>(options);
    std::string why;
    started_ = service_->Start(why);
    why_ = why;
  }
  ~RunningService() { service_->Stop(); }

  bool Started() const { return started_; }
  const std::string& Why() const { return why_; }
  int Port() const { return service_->Port(); }
  std::string Host() const { return "127.0.0.1:" + std::to_string(Port()); }
  std::string UploadUrl(const std::string& signature) const {
    return "http://" + Host() + "/resty/v1.0.0/driver/ostrel/uploadBugFile/" + signature;
  }
  const std::filesystem::path& Data() const { return data_; }
  std::string ReportFolder(const std::string& id) const { return service_->ReportFolder(id); }
  std::vector<std::string> Lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }
  // Files left in the upload area: must be none once a request is answered.
  std::size_t TempFiles() const {
    std::size_t n = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(data_ / "tmp")) ++n;
    return n;
  }

 private:
  std::filesystem::path data_;
  std::unique_ptr<BugService> service_;
  bool started_ = false;
  std::string why_;
  std::mutex mutex_;
  std::vector<std::string> lines_;
};

}  // namespace testservice
