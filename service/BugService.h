// bugpost-service: the reference bug-report service. Answers the server-time request, verifies
// and stores signed report uploads (files streamed to disk, never held in memory), and lists
// what it stored. Start() returns once the socket is bound; requests run on the server's own
// threads until Stop().
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct ServiceOptions {
  std::string host = "127.0.0.1";
  int port = 0;  // 0: any free port, see BugService::Port
  std::string dataDir;
  std::uint64_t maxBodyBytes = 2ull << 30;  // larger request bodies are refused with 413
  std::int64_t maxClockSkewSeconds = 300;   // signed times further from our clock are refused
  // Receives one line per refusal and per stored report; stderr when empty.
  std::function<void(const std::string&)> log;
};

class BugService {
 public:
  explicit BugService(ServiceOptions options);
  ~BugService();
  BugService(const BugService&) = delete;
  BugService& operator=(const BugService&) = delete;

  bool Start(std::string& why);
  int Port() const;
  // Blocks the owner until the server has stopped.
  void Wait();
  // Any thread: asks the server to stop; Wait() then returns.
  void RequestStop();
  // Owner thread: stops and waits.
  void Stop();

  // Folder that holds the stored files of report `id`.
  std::string ReportFolder(const std::string& id) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
