#include "tests/common/RawPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace testpeer {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t\r");
  return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

void SendAll(int fd, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

// Buffered reads that give up when the peer is told to stop.
class Reader {
 public:
  Reader(int fd, const std::atomic<bool>& stopping) : fd_(fd), stopping_(stopping) {}
  bool Fill() {
    while (!stopping_) {
      pollfd p{fd_, POLLIN, 0};
      int r = ::poll(&p, 1, 50);
      if (r < 0) return false;
      if (r == 0) continue;
      char chunk[65536];
      ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
      if (n <= 0) return false;
      buffer_.append(chunk, static_cast<std::size_t>(n));
      return true;
    }
    return false;
  }
  bool Line(std::string& line) {
    std::size_t eol;
    while ((eol = buffer_.find("\r\n")) == std::string::npos)
      if (!Fill()) return false;
    line = buffer_.substr(0, eol);
    buffer_.erase(0, eol + 2);
    return true;
  }
  bool Bytes(std::size_t n, std::string& out) {
    while (buffer_.size() < n)
      if (!Fill()) return false;
    out.append(buffer_, 0, n);
    buffer_.erase(0, n);
    return true;
  }

 private:
  int fd_;
  const std::atomic<bool>& stopping_;
  std::string buffer_;
};

}  // namespace

std::string Answer(int status, const std::string& body, const std::string& extraHeaders) {
  return "HTTP/1.1 " + std::to_string(status) + " Scripted\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

RawPeer::RawPeer(Responder responder) : responder_(std::move(responder)) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 16) != 0)
    throw std::runtime_error("test peer cannot listen on loopback");
  socklen_t len = sizeof addr;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

RawPeer::~RawPeer() { Stop(); }

std::string RawPeer::Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

std::vector<Request> RawPeer::Requests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void RawPeer::Stop() {
  if (stopping_.exchange(true)) return;
  acceptor_.join();
  for (std::thread& t : workers_) t.join();
  ::close(listenFd_);
}

void RawPeer::AcceptLoop() {
  while (!stopping_) {
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++connections_;
    workers_.emplace_back([this, fd] {
      Serve(fd);
      ::close(fd);
    });
  }
}

void RawPeer::Serve(int fd) {
  Reader in(fd, stopping_);
  Request req;
  std::string line;
  if (!in.Line(line)) return;
  std::size_t sp1 = line.find(' '), sp2 = line.rfind(' ');
  req.method = line.substr(0, sp1);
  req.target = line.substr(sp1 + 1, sp2 - sp1 - 1);
  while (in.Line(line) && !line.empty()) {
    std::size_t colon = line.find(':');
    if (colon != std::string::npos) req.headers[Lower(line.substr(0, colon))] = Trim(line.substr(colon + 1));
  }
  if (Lower(req.headers["expect"]) == "100-continue") SendAll(fd, "HTTP/1.1 100 Continue\r\n\r\n");
  if (Lower(req.headers["transfer-encoding"]) == "chunked") {
    while (in.Line(line)) {
      std::size_t size = std::stoul(line, nullptr, 16);
      if (size == 0) {
        in.Line(line);
        break;
      }
      in.Bytes(size, req.body);
      in.Line(line);
    }
  } else if (req.headers.count("content-length")) {
    in.Bytes(std::stoul(req.headers["content-length"]), req.body);
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(req);
  }
  std::optional<std::string> answer = responder_(req);
  if (answer) {
    SendAll(fd, *answer);
    ::shutdown(fd, SHUT_WR);
    // Let the client read to the end before the socket goes.
    char sink[4096];
    while (!stopping_) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 50) > 0 && ::recv(fd, sink, sizeof sink, 0) <= 0) break;
    }
    return;
  }
  while (!stopping_) ::poll(nullptr, 0, 50);  // stalled: hold the connection, say nothing
}

std::vector<Part> ParseMultipart(const Request& request) {
  std::vector<Part> parts;
  auto it = request.headers.find("content-type");
  if (it == request.headers.end()) return parts;
  std::size_t b = it->second.find("boundary=");
  if (b == std::string::npos) return parts;
  std::string delimiter = "--" + it->second.substr(b + 9);
  const std::string& body = request.body;
  std::size_t pos = body.find(delimiter);
  while (pos != std::string::npos) {
    pos += delimiter.size();
    if (body.compare(pos, 2, "--") == 0) return parts;  // closing delimiter
    if (body.compare(pos, 2, "\r\n") != 0) return {};
    pos += 2;
    std::size_t headEnd = body.find("\r\n\r\n", pos);
    if (headEnd == std::string::npos) return {};
    Part part;
    std::size_t lineStart = pos;
    while (lineStart < headEnd) {
      std::size_t eol = body.find("\r\n", lineStart);
      if (eol > headEnd) eol = headEnd;
      std::string header = body.substr(lineStart, eol - lineStart);
      std::size_t colon = header.find(':');
      if (colon != std::string::npos) part.headers[Lower(header.substr(0, colon))] = Trim(header.substr(colon + 1));
      lineStart = eol + 2;
    }
    std::string disposition = part.headers["content-disposition"];
    auto quoted = [&](const std::string& key) -> std::optional<std::string> {
      std::size_t k = disposition.find("; " + key + "=\"");
      if (k == std::string::npos) return std::nullopt;
      k += key.size() + 4;
      return disposition.substr(k, disposition.find('"', k) - k);
    };
    part.name = quoted("name").value_or("");
    part.filename = quoted("filename");
    if (part.headers.count("content-type")) part.contentType = part.headers["content-type"];
    std::size_t dataStart = headEnd + 4;
    std::size_t next = body.find("\r\n" + delimiter, dataStart);
    if (next == std::string::npos) return {};
    part.data = body.substr(dataStart, next - dataStart);
    parts.push_back(std::move(part));
    pos = next + 2;
  }
  return parts;
}

}  // namespace testpeer
