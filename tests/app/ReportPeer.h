// The service the dialog talks to in these tests: one loopback peer per process (the service
// hosts are read once), which by default hands every request to an in-process bugpost-service
// and can be scripted to answer otherwise, or to hold an answer back until released.
#pragma once
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "service/BugService.h"
#include "tests/common/RawPeer.h"

class ReportPeer {
 public:
  static ReportPeer& Get();

  // Answers uploads with `answer` (a whole HTTP answer) instead of the service; empty: service.
  void ScriptUpload(std::optional<std::string> answer);
  // Server times handed out in turn (the last one repeats); empty: the service's clock.
  void ScriptTimes(std::vector<std::string> times);
  // While held, upload answers wait; Release lets them go.
  void Hold();
  void Release();
  // Requests seen since the last Reset.
  std::vector<testpeer::Request> Requests();
  void Reset();
  // Releases held answers and waits until no answer is being made, so that nothing of the peer
  // still runs when the test (or the process) ends.
  void Quiesce();

  BugService& Service() { return *service_; }
  std::string DataDir() const { return dataDir_; }

 private:
  ReportPeer();
  std::optional<std::string> Answer(const testpeer::Request& request);
  std::optional<std::string> MakeAnswer(const testpeer::Request& request);

  std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
  int answering_ = 0;
  std::condition_variable quiet_;
  std::optional<std::string> uploadAnswer_;
  std::vector<std::string> times_;
  std::size_t nextTime_ = 0;
  std::size_t first_ = 0;
  std::string dataDir_;
  std::unique_ptr<BugService> service_;
  std::unique_ptr<testpeer::RawPeer> peer_;
};
