// A scripted HTTP peer on 127.0.0.1, port 0, for network tests: it records every request as it
// came off the wire and answers with whatever bytes the test's responder returns. A responder
// that returns nothing leaves the connection open and silent (a stalled peer) until Stop().
#pragma once
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testpeer {

struct Request {
  std::string method;
  std::string target;                         // as sent on the request line
  std::map<std::string, std::string> headers;  // names lower-cased
  std::string body;                           // de-chunked when sent chunked
};

using Responder = std::function<std::optional<std::string>(const Request&)>;

// A complete HTTP/1.1 answer with Content-Length and Connection: close.
std::string Answer(int status, const std::string& body, const std::string& extraHeaders = "");

class RawPeer {
 public:
  explicit RawPeer(Responder responder);
  ~RawPeer();
  RawPeer(const RawPeer&) = delete;
  RawPeer& operator=(const RawPeer&) = delete;

  int Port() const { return port_; }
  std::string Url(const std::string& path) const;
  std::vector<Request> Requests();
  int Connections() const { return connections_; }
  void Stop();

 private:
  void AcceptLoop();
  void Serve(int fd);

  Responder responder_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  std::mutex mutex_;
  std::vector<Request> requests_;
  std::vector<std::thread> workers_;
  std::thread acceptor_;
};

// One part of a multipart/form-data body.
struct Part {
  std::map<std::string, std::string> headers;  // names lower-cased
  std::string name;
  std::optional<std::string> filename;
  std::optional<std::string> contentType;
  std::string data;
};

// Splits a body by the boundary of its Content-Type; empty on a malformed body.
std::vector<Part> ParseMultipart(const Request& request);

}  // namespace testpeer
