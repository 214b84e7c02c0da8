#include "service/BugService.h"

#include <httplib.h>
#include <json/json.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>
#include <unistd.h>

#include "report/Signature.h"
#include "service/ReportIndex.h"
#include "service/Sha256.h"
#include "service/UploadChecks.h"

namespace fs = std::filesystem;

namespace {

constexpr char kUploadPrefix[] = "/resty/v1.0.0/driver/ostrel/uploadBugFile/";
constexpr std::size_t kMaxParamsBytes = 64 * 1024;

std::int64_t NowSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::string UtcStamp() {
  std::time_t t = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&t, &utc);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return buf;
}

std::string NewReportId() {
  static std::mutex mutex;
  static std::mt19937_64 random{std::random_device{}()};
  std::uint64_t bits;
  {
    std::lock_guard<std::mutex> lock(mutex);
    bits = random();
  }
  std::time_t t = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&t, &utc);
  char buf[48];
  std::size_t n = std::strftime(buf, sizeof buf, "%Y%m%dT%H%M%SZ-", &utc);
  std::snprintf(buf + n, sizeof buf - n, "%016llx", static_cast<unsigned long long>(bits));
  return buf;
}

std::string ErrorBody(int status, const std::string& reason) {
  Json::Value body;
  body["errno"] = status;
  body["error"] = reason;
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "";
  return Json::writeString(writer, body);
}

const char* StatusReason(int status) {
  switch (status) {
    case 400: return "bad request";
    case 404: return "not found";
    case 405: return "method not allowed";
    case 413: return "request body over the limit";
    case 414: return "request line too long";
    default: return "refused";
  }
}

// The body size a request announces; 0 when it announces none (chunked).
std::uint64_t DeclaredLength(const httplib::Request& req) {
  if (!req.has_header("Content-Length")) return 0;
  return std::strtoull(req.get_header_value("Content-Length").c_str(), nullptr, 10);
}

// One file part on its way to disk: a temporary file, removed unless the report is kept.
struct FileSink {
  std::string tempPath;
  std::FILE* file = nullptr;
  std::uint64_t size = 0;
  Sha256 sha;
  std::string digest;
  bool seen = false;
  bool failed = false;

  ~FileSink() {
    if (file) std::fclose(file);
    if (!tempPath.empty()) ::unlink(tempPath.c_str());
  }
  bool Open(const std::string& folder) {
    std::string pattern = folder + "/upload-XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return false;
    tempPath = pattern;
    file = ::fdopen(fd, "wb");
    if (!file) {
      ::close(fd);
      return false;
    }
    std::setvbuf(file, nullptr, _IOFBF, 256 * 1024);
    return true;
  }
  void Write(const char* data, std::size_t n) {
    if (failed || !file) return;
    if (std::fwrite(data, 1, n, file) != n) failed = true;
    sha.Update(data, n);
    size += n;
  }
  bool Close() {
    bool ok = file && !failed && std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
    if (file && std::fclose(file) != 0) ok = false;
    file = nullptr;
    digest = sha.FinishHex();
    return ok;
  }
  // Moves the file to its final place; afterwards nothing is left to remove.
  bool Keep(const std::string& path) {
    if (::rename(tempPath.c_str(), path.c_str()) != 0) return false;
    tempPath.clear();
    return true;
  }
};

}  // namespace

struct BugService::Impl {
  ServiceOptions options;
  httplib::Server server;
  ReportIndex index;
  std::thread thread;
  std::atomic<int> port{0};
  std::string reportsDir, tempDir;

  void Log(const std::string& line) {
    if (options.log) {
      options.log(line);
    } else {
      std::fprintf(stderr, "%s bugpost-service: %s\n", UtcStamp().c_str(), line.c_str());
    }
  }

  void Refuse(const httplib::Request& req, httplib::Response& res, int status, const std::string& reason) {
    res.status = status;
    res.set_content(ErrorBody(status, reason), "application/json");
    Log("refused " + std::to_string(status) + " " + reason + ": " + req.method + " " + req.path);
  }

  // What the URL alone tells: the signature's shape and its time. Empty when acceptable.
  std::string CheckSignedTime(const std::string& path, int& status, std::optional<SignedTime>& time) {
    if (path.rfind(kUploadPrefix, 0) != 0) {
      status = 404;
      return "no such upload path";
    }
    std::string signature = path.substr(sizeof kUploadPrefix - 1);
    time = ParseSignature(signature);
    if (!time) {
      status = 403;
      return "bad signature";
    }
    std::int64_t skew = NowSeconds() - time->seconds;
    if (skew > options.maxClockSkewSeconds || skew < -options.maxClockSkewSeconds) {
      status = 403;
      return "stale time";
    }
    return {};
  }

  void HandleUpload(const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader);
  void HandleList(httplib::Response& res);
};

void BugService::Impl::HandleUpload(const httplib::Request& req, httplib::Response& res,
                                    const httplib::ContentReader& reader) {
  int status = 0;
  std::optional<SignedTime> time;
  std::string refusal = CheckSignedTime(req.path, status, time);
  std::string signature = req.path.substr(sizeof kUploadPrefix - 1);
  if (DeclaredLength(req) > options.maxBodyBytes) return Refuse(req, res, 413, "request body over the limit");

  if (!req.is_multipart_form_data()) {
    // Read the body to the end so the client sees the answer, but keep none of it.
    std::uint64_t total = 0;
    bool complete = reader([&](const char*, std::size_t n) {
      total += n;
      return total <= options.maxBodyBytes;
    });
    if (total > options.maxBodyBytes) return Refuse(req, res, 413, "request body over the limit");
    if (!complete) return Refuse(req, res, 400, "request body not readable");
    return Refuse(req, res, refusal.empty() ? 400 : status, refusal.empty() ? "not a multipart form" : refusal);
  }

  std::string params;
  bool paramsSeen = false;
  FileSink files[2];
  int slot = -1;  // 0 params, 1 file_1, 2 file_2, -1 ignored part
  std::uint64_t total = 0;

  bool complete = reader(
      [&](const httplib::MultipartFormData& part) {
        slot = -1;
        if (!refusal.empty()) return true;
        if (part.name == "params") {
          if (paramsSeen) {
            status = 400, refusal = "duplicate part params";
          } else {
            paramsSeen = true;
            slot = 0;
          }
        } else if (part.name == "file_1" || part.name == "file_2") {
          FileSink& sink = files[part.name == "file_1" ? 0 : 1];
          if (sink.seen) {
            status = 400, refusal = "duplicate part " + part.name;
          } else if (!IsSafeClientName(part.filename)) {
            status = 400, refusal = "unsafe file name in part " + part.name;
          } else if (!sink.Open(tempDir)) {
            status = 500, refusal = "cannot store the report";
          } else {
            sink.seen = true;
            slot = part.name == "file_1" ? 1 : 2;
          }
        }
        return true;
      },
      [&](const char* data, std::size_t n) {
        total += n;
        if (total > options.maxBodyBytes) return false;
        if (!refusal.empty()) return true;
        if (slot == 0) {
          if (params.size() + n > kMaxParamsBytes) {
            status = 400, refusal = "params too large";
          } else {
            params.append(data, n);
          }
        } else if (slot > 0) {
          files[slot - 1].Write(data, n);
        }
        return true;
      });

  if (total > options.maxBodyBytes) return Refuse(req, res, 413, "request body over the limit");
  if (!complete && refusal.empty()) status = 400, refusal = "malformed multipart body";
  if (!refusal.empty()) return Refuse(req, res, status, refusal);

  if (!paramsSeen) return Refuse(req, res, 400, "missing part params");
  std::string why;
  std::optional<ParamsNames> names = CheckParams(params, why);
  if (!names) return Refuse(req, res, 400, why);
  if (!files[0].seen) return Refuse(req, res, 400, "missing part file_1");
  if (!files[1].seen) return Refuse(req, res, 400, "missing part file_2");
  if (MakeSignature(params, time->timeText) != signature) return Refuse(req, res, 403, "bad signature");
  if (!files[0].Close() || !files[1].Close()) return Refuse(req, res, 500, "cannot store the report");

  ReportRecord record;
  record.id = NewReportId();
  record.received = NowSeconds();
  record.name = names->reportName;
  record.signature = signature;
  record.paramsSize = static_cast<std::int64_t>(params.size());
  record.file1Size = static_cast<std::int64_t>(files[0].size);
  record.file2Size = static_cast<std::int64_t>(files[1].size);
  record.file1Sha256 = files[0].digest;
  record.file2Sha256 = files[1].digest;

  switch (index.Add(record)) {
    case ReportIndex::AddResult::Replay:
      return Refuse(req, res, 409, "replay of an accepted report");
    case ReportIndex::AddResult::Failed:
      return Refuse(req, res, 500, "cannot index the report");
    case ReportIndex::AddResult::Added:
      break;
  }
  std::string folder = reportsDir + "/" + record.id;
  std::error_code ec;
  if (!fs::create_directory(folder, ec) || !files[0].Keep(folder + "/report.dmp") ||
      !files[1].Keep(folder + "/report.txt")) {
    index.Remove(record.id);
    fs::remove_all(folder, ec);
    return Refuse(req, res, 500, "cannot store the report");
  }
  res.status = 200;
  res.set_content(R"({"errno":200,"result":{"data":"ok","id":")" + record.id + R"("}})", "application/json");
  Log("stored " + record.id + " (" + record.name + ", " + std::to_string(record.file1Size) + " + " +
      std::to_string(record.file2Size) + " bytes) in " + folder);
}

void BugService::Impl::HandleList(httplib::Response& res) {
  Json::Value list(Json::arrayValue);
  for (const ReportRecord& r : index.List()) {
    Json::Value item;
    item["id"] = r.id;
    item["received"] = static_cast<Json::Int64>(r.received);
    item["name"] = r.name;
    item["signature"] = r.signature;
    item["params_size"] = static_cast<Json::Int64>(r.paramsSize);
    item["file_1_size"] = static_cast<Json::Int64>(r.file1Size);
    item["file_2_size"] = static_cast<Json::Int64>(r.file2Size);
    item["file_1_sha256"] = r.file1Sha256;
    item["file_2_sha256"] = r.file2Sha256;
    item["location"] = reportsDir + "/" + r.id;
    list.append(item);
  }
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "";
  res.set_content(Json::writeString(writer, list), "application/json");
}

BugService::BugService(ServiceOptions options) : impl_(std::make_unique<Impl>()) {
  impl_->options = std::move(options);
}

BugService::~BugService() { Stop(); }

bool BugService::Start(std::string& why) {
  Impl& s = *impl_;
  std::error_code ec;
  s.reportsDir = s.options.dataDir + "/reports";
  s.tempDir = s.options.dataDir + "/tmp";
  fs::create_directories(s.reportsDir, ec);
  fs::create_directories(s.tempDir, ec);
  if (ec) {
    why = "cannot create the data folder " + s.options.dataDir + ": " + ec.message();
    return false;
  }
  if (!s.index.Open(s.options.dataDir + "/index.sqlite", why)) return false;

  s.server.set_payload_max_length(s.options.maxBodyBytes);
  s.server.set_read_timeout(60, 0);
  s.server.set_write_timeout(60, 0);
  s.server.Get("/getTime.php", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::to_string(NowSeconds()), "text/plain");
  });
  s.server.Get("/reports", [&s](const httplib::Request&, httplib::Response& res) { s.HandleList(res); });
  s.server.Post(std::string(kUploadPrefix) + "[^/]*",
                [&s](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader) {
                  s.HandleUpload(req, res, reader);
                });
  // A large upload asks first; refuse it before its body travels when the URL or size already tells.
  s.server.set_expect_100_continue_handler([&s](const httplib::Request& req, httplib::Response& res) {
    int status = 0;
    std::optional<SignedTime> time;
    if (DeclaredLength(req) > s.options.maxBodyBytes) {
      s.Refuse(req, res, 413, "request body over the limit");
      return 413;
    }
    if (req.method == "POST") {
      std::string refusal = s.CheckSignedTime(req.path, status, time);
      if (!refusal.empty()) {
        s.Refuse(req, res, status, refusal);
        return status;
      }
    }
    return 100;
  });
  // Everything else that fails (unknown path, wrong method, an oversized body the library
  // refused itself) still answers in the same JSON shape.
  s.server.set_error_handler([&s](const httplib::Request& req, httplib::Response& res) {
    if (res.body.empty()) {
      s.Refuse(req, res, res.status, StatusReason(res.status));
    }
  });
  s.server.set_exception_handler([&s](const httplib::Request& req, httplib::Response& res, std::exception_ptr) {
    s.Refuse(req, res, 500, "internal error");
  });

  int port = s.options.port == 0 ? s.server.bind_to_any_port(s.options.host)
                                 : (s.server.bind_to_port(s.options.host, s.options.port) ? s.options.port : -1);
  if (port <= 0) {
    why = "cannot listen on " + s.options.host + ":" + std::to_string(s.options.port);
    return false;
  }
  s.port = port;
  s.thread = std::thread([&s] { s.server.listen_after_bind(); });
  return true;
}

int BugService::Port() const { return impl_->port; }

void BugService::Wait() {
  if (impl_->thread.joinable()) impl_->thread.join();
}

void BugService::RequestStop() { impl_->server.stop(); }

void BugService::Stop() {
  RequestStop();
  Wait();
}

std::string BugService::ReportFolder(const std::string& id) const { return impl_->reportsDir + "/" + id; }
