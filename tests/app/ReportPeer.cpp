#include "tests/app/ReportPeer.h"

#include <httplib.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {
fs::path Scratch(const std::string& name) {
  const char* root = std::getenv("BUGPOST_ARTIFACTS");
  // One folder per process: ctest runs several of these test processes at once.
  fs::path dir = fs::absolute(fs::path(root && *root ? root : ".") / "app" / ("peer-" + std::to_string(getpid())) / name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}
}  // namespace

ReportPeer& ReportPeer::Get() {
  static ReportPeer peer;
  return peer;
}

ReportPeer::ReportPeer() {
  dataDir_ = Scratch("service").string();
  ServiceOptions options;
  options.dataDir = dataDir_;
  options.log = [](const std::string&) {};
  service_ = std::make_unique<BugService>(options);
  std::string why;
  if (!service_->Start(why)) throw std::runtime_error("service: " + why);
  peer_ = std::make_unique<testpeer::RawPeer>([this](const testpeer::Request& r) { return Answer(r); });

  // Keep the data folder of the first send out of the real home, and point the program here.
  fs::path home = Scratch("home");
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
  setenv("MOBI_VORPINAPI_NET_HOST", ("127.0.0.1:" + std::to_string(peer_->Port())).c_str(), 1);
}

void ReportPeer::ScriptUpload(std::optional<std::string> answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  uploadAnswer_ = std::move(answer);
}

void ReportPeer::ScriptTimes(std::vector<std::string> times) {
  std::lock_guard<std::mutex> lock(mutex_);
  times_ = std::move(times);
  nextTime_ = 0;
}

void ReportPeer::Hold() {
  std::lock_guard<std::mutex> lock(mutex_);
  held_ = true;
}

void ReportPeer::Release() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    held_ = false;
  }
  released_.notify_all();
}

std::vector<testpeer::Request> ReportPeer::Requests() {
  std::vector<testpeer::Request> all = peer_->Requests();
  std::lock_guard<std::mutex> lock(mutex_);
  return {all.begin() + static_cast<long>(std::min(first_, all.size())), all.end()};
}

void ReportPeer::Reset() {
  std::size_t seen = peer_->Requests().size();
  std::lock_guard<std::mutex> lock(mutex_);
  first_ = seen;
  uploadAnswer_.reset();
  times_.clear();
  nextTime_ = 0;
  held_ = false;
}

void ReportPeer::Quiesce() {
  Release();
  std::unique_lock<std::mutex> lock(mutex_);
  quiet_.wait_for(lock, std::chrono::seconds(30), [this] { return answering_ == 0; });
}

std::optional<std::string> ReportPeer::Answer(const testpeer::Request& request) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++answering_;
  }
  std::optional<std::string> answer = MakeAnswer(request);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    --answering_;
  }
  quiet_.notify_all();
  return answer;
}

std::optional<std::string> ReportPeer::MakeAnswer(const testpeer::Request& request) {
  std::optional<std::string> scripted;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (request.method == "GET" && !times_.empty()) {
      std::string t = times_[std::min(nextTime_, times_.size() - 1)];
      ++nextTime_;
      return testpeer::Answer(200, t);
    }
    if (request.method == "POST") {
      // Bounded, so a test that forgets to release cannot hang the suite.
      released_.wait_for(lock, std::chrono::seconds(20), [this] { return !held_; });
      scripted = uploadAnswer_;
    }
  }
  if (scripted) return scripted;

  httplib::Client client("127.0.0.1", service_->Port());
  auto type = request.headers.find("content-type");
  std::string contentType = type == request.headers.end() ? "" : type->second;
  httplib::Result result = request.method == "GET"
                               ? client.Get(request.target.c_str())
                               : client.Post(request.target.c_str(), request.body, contentType.c_str());
  if (!result) return testpeer::Answer(502, "");
  return testpeer::Answer(result->status, result->body);
}
