#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <curl/curl.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Common/NetworkUtilities.h"
#include "platform/win32/kernel/kernel.h"
#include "tests/common/LogCapture.h"
#include "tests/common/RawPeer.h"

using testpeer::Answer;
using testpeer::RawPeer;

namespace {

std::u16string Wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// Whether `line` is the failure line of `function` for `urlUtf8` and `code`, any source line.
bool IsFailureLine(const std::string& line, const std::string& function, const std::string& urlUtf8, CURLcode code) {
  std::string head = "ERROR[NetworkUtilities.cpp at:NetworkUtilities::" + function + " L:";
  std::string tail = " TH:" + std::to_string(GetCurrentThreadId()) + "]\t\"request " + urlUtf8 + " failed: " +
                     curl_easy_strerror(code) + "\"";
  if (line.size() <= head.size() + tail.size() || line.compare(0, head.size(), head) != 0 ||
      line.compare(line.size() - tail.size(), tail.size(), tail) != 0)
    return false;
  std::string number = line.substr(head.size(), line.size() - head.size() - tail.size());
  return number.find_first_not_of("0123456789") == std::string::npos;
}

std::filesystem::path Scratch(const std::string& name) {
  const char* root = std::getenv("BUGPOST_ARTIFACTS");
  auto dir = std::filesystem::absolute(std::filesystem::path(root && *root ? root : ".") / "http_client" / name);
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Events as the callback object saw them; kept apart from the object so they outlive it.
struct Journal {
  std::vector<std::string> events;
  int progressCalls = 0;
  double lastTotal = 0, lastNow = 0;
  bool finishFlag = true;
};

class Recorder : public UploadCallback {
 public:
  explicit Recorder(std::shared_ptr<Journal> journal) : journal_(std::move(journal)) {}
  void OnStart() override { journal_->events.push_back("start"); }
  void OnFinish(bool flag, int code) override {
    journal_->finishFlag = flag;
    journal_->events.push_back("finish:" + std::to_string(code));
  }
  void OnProgress(double total, double now) override {
    if (journal_->events.empty() || journal_->events.back() != "progress") journal_->events.push_back("progress");
    ++journal_->progressCalls;
    journal_->lastTotal = total;
    journal_->lastNow = now;
    if (onProgress) onProgress(*this);
  }
  std::function<void(Recorder&)> onProgress;

 private:
  std::shared_ptr<Journal> journal_;
};

int ClosedPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  return ntohs(addr.sin_port);
}

}  // namespace

TEST(HttpGet, AnswersByStatus) {
  struct Case {
    const char* what;
    std::string answer;
    std::string result;
    CURLcode failure;  // CURLE_OK: no failure line
  } cases[] = {
      {"200", Answer(200, "1765000000"), "1765000000", CURLE_OK},
      {"200 empty", Answer(200, ""), "", CURLE_OK},
      {"302 not followed", Answer(302, "moved", "Location: /elsewhere\r\n"), "moved", CURLE_OK},
      {"404 with body", Answer(404, "no such page"), "", CURLE_HTTP_RETURNED_ERROR},
      {"500 with an accepting body", Answer(500, R"({"errno":200,"result":{"data":"ok"}})"), "",
       CURLE_HTTP_RETURNED_ERROR},
      {"exactly 1 MiB", Answer(200, std::string(kMaxAnswerBytes, 'a')), std::string(kMaxAnswerBytes, 'a'), CURLE_OK},
      {"2 MiB", Answer(200, std::string(2 * kMaxAnswerBytes, 'a')), "", CURLE_WRITE_ERROR},
      {"invalid UTF-8 kept as bytes", Answer(200, "\xff\xfe\xc3"), "\xff\xfe\xc3", CURLE_OK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testlog::LogCapture log(std::string("get_") + std::to_string(&c - cases));
    RawPeer peer([&](const testpeer::Request&) { return c.answer; });
    std::string url = peer.Url("/getTime.php");
    EXPECT_EQ(NetworkUtilities::HTTPGet(Wide(url)), c.result);
    std::vector<testpeer::Request> requests = peer.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/getTime.php");
    std::vector<std::string> lines = log.Lines();
    if (c.failure == CURLE_OK) {
      EXPECT_TRUE(lines.empty());
    } else {
      ASSERT_EQ(lines.size(), 1u);
      EXPECT_TRUE(IsFailureLine(lines[0], "HTTPGet", url, c.failure)) << lines[0];
    }
  }
}

TEST(HttpGet, UnreachableServiceFailsWithOneLine) {
  testlog::LogCapture log("get_unreachable");
  std::string url = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/getTime.php";
  EXPECT_EQ(NetworkUtilities::HTTPGet(Wide(url)), "");
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_TRUE(IsFailureLine(log.Lines()[0], "HTTPGet", url, CURLE_COULDNT_CONNECT));
}

// libcurl gets the UTF-8 bytes and percent-encodes them itself on the request line.
TEST(HttpGet, NonAsciiUrlTravelsAsUtf8AndIsLoggedAsGiven) {
  testlog::LogCapture log("get_non_ascii");
  RawPeer peer([](const testpeer::Request&) { return Answer(404, ""); });
  std::u16string url = Wide(peer.Url("/")) + u"时间";
  EXPECT_EQ(NetworkUtilities::HTTPGet(url), "");
  ASSERT_EQ(peer.Requests().size(), 1u);
  EXPECT_EQ(peer.Requests()[0].target, "/%e6%97%b6%e9%97%b4");
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_TRUE(IsFailureLine(log.Lines()[0], "HTTPGet", peer.Url("/") + "\xE6\x97\xB6\xE9\x97\xB4",
                            CURLE_HTTP_RETURNED_ERROR))
      << log.Lines()[0];
}

TEST(HttpGet, StalledPeerEndsWithinTheTimeouts) {
  testlog::LogCapture log("get_stalled");
  bp::SetTransferTimeoutsForTesting(2, 1);
  RawPeer peer([](const testpeer::Request&) { return std::nullopt; });
  EXPECT_EQ(NetworkUtilities::HTTPGet(Wide(peer.Url("/getTime.php"))), "");
  bp::SetTransferTimeoutsForTesting(30, 60);
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_TRUE(IsFailureLine(log.Lines()[0], "HTTPGet", peer.Url("/getTime.php"), CURLE_OPERATION_TIMEDOUT));
}

TEST(HttpPostMultipart, WireFormatFollowsTheFields) {
  auto dir = Scratch("wire");
  std::string dump("MDMP\0\x01\xff\xfe", 8), text = "crash text\r\n--not a boundary\r\n";
  WriteFile(dir / "crash.dmp", dump);
  WriteFile(dir / "crash.txt", text);
  std::string params = R"({"file_1":"crash.dmp", "file_2":"crash.txt"})";
  std::vector<FormField> fields = {
      {ContentsFormData, "params", params},
      {FileOctetStream, "file_1", (dir / "crash.dmp").string()},
      {FileTextPlain, "file_2", (dir / "crash.txt").string()},
      {Contents, "plain", std::string("a\0b\0", 4)},
      {ContentsOctetStream, "octets", "\x01\x02"},
      {6, "six", "skipped"},
      {-1, "negative", "skipped"},
      {ContentsTextPlain, std::string("cut\0tail", 8), "text"},
  };
  RawPeer peer([](const testpeer::Request&) { return Answer(200, "answer\0body"); });
  auto journal = std::make_shared<Journal>();
  auto recorder = std::make_shared<Recorder>(journal);
  testlog::LogCapture log("post_wire");
  std::string result = NetworkUtilities::HTTPPostMultipart(Wide(peer.Url("/upload/sig")), fields, recorder);
  EXPECT_EQ(result, "answer");  // the scripted body is a C string: it ends at its NUL
  EXPECT_TRUE(log.Lines().empty());

  std::vector<testpeer::Request> requests = peer.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].target, "/upload/sig");
  EXPECT_EQ(requests[0].headers["content-type"].rfind("multipart/form-data; boundary=", 0), 0u);
  std::vector<testpeer::Part> parts = testpeer::ParseMultipart(requests[0]);
  struct Expected {
    std::string name;
    std::optional<std::string> filename, type;
    std::string data;
  } expected[] = {
      {"params", std::nullopt, "form/data", params},
      {"file_1", "crash.dmp", "applicationx/octet-stream", dump},
      {"file_2", "crash.txt", "text/plain", text},
      {"plain", std::nullopt, std::nullopt, std::string("a\0b\0", 4)},
      {"octets", std::nullopt, "applicationx/octet-stream", "\x01\x02"},
      {"cut", std::nullopt, "text/plain", "text"},
  };
  ASSERT_EQ(parts.size(), std::size(expected));
  for (std::size_t i = 0; i < parts.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(parts[i].name, expected[i].name);
    EXPECT_EQ(parts[i].filename, expected[i].filename);
    EXPECT_EQ(parts[i].contentType, expected[i].type);
    EXPECT_EQ(parts[i].data, expected[i].data);
  }
  // The callback saw the whole request body go out, then one finish with success.
  ASSERT_GE(journal->events.size(), 3u);
  EXPECT_EQ(journal->events.front(), "start");
  EXPECT_EQ(journal->events[1], "progress");
  EXPECT_EQ(journal->events.back(), "finish:0");
  EXPECT_EQ(std::count(journal->events.begin(), journal->events.end(), "start"), 1);
  EXPECT_FALSE(journal->finishFlag);
  EXPECT_EQ(journal->lastTotal, static_cast<double>(requests[0].body.size()));
  EXPECT_EQ(journal->lastNow, journal->lastTotal);
}

TEST(HttpPostMultipart, FailuresEndWithOnFinishAndTheirCode) {
  auto dir = Scratch("failures");
  WriteFile(dir / "ok.txt", std::string(200000, 'x'));
  struct Case {
    const char* what;
    std::string answer;
    std::string file;
    bool stopAtProgress;
    CURLcode code;
  } cases[] = {
      {"404", Answer(404, "gone"), "ok.txt", false, CURLE_HTTP_RETURNED_ERROR},
      {"500 accepting body", Answer(500, R"({"errno":200,"result":{"data":"ok"}})"), "ok.txt", false,
       CURLE_HTTP_RETURNED_ERROR},
      {"2 MiB answer", Answer(200, std::string(2 * kMaxAnswerBytes, 'z')), "ok.txt", false, CURLE_WRITE_ERROR},
      {"unreadable file part", Answer(200, "ok"), "missing.txt", false, CURLE_READ_ERROR},
      {"stop requested", Answer(200, "ok"), "ok.txt", true, CURLE_ABORTED_BY_CALLBACK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testlog::LogCapture log(std::string("post_fail_") + std::to_string(&c - cases));
    RawPeer peer([&](const testpeer::Request&) { return c.answer; });
    auto journal = std::make_shared<Journal>();
    auto recorder = std::make_shared<Recorder>(journal);
    if (c.stopAtProgress) recorder->onProgress = [](Recorder& r) { r.stopRequested = true; };
    std::string url = peer.Url("/upload");
    std::vector<FormField> fields = {{FileTextPlain, "file_2", (dir / c.file).string()}};
    EXPECT_EQ(NetworkUtilities::HTTPPostMultipart(Wide(url), fields, recorder), "");
    ASSERT_FALSE(journal->events.empty());
    EXPECT_EQ(journal->events.front(), "start");
    EXPECT_EQ(journal->events.back(), "finish:" + std::to_string(c.code));
    EXPECT_EQ(std::count_if(journal->events.begin(), journal->events.end(),
                            [](const std::string& e) { return e.rfind("finish", 0) == 0; }),
              1);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_TRUE(IsFailureLine(log.Lines()[0], "HTTPPostMultipart", url, c.code))
        << log.Lines()[0];
  }
}

TEST(HttpPostMultipart, ExpiredCallbackNeverConnects) {
  testlog::LogCapture log("post_expired");
  RawPeer peer([](const testpeer::Request&) { return Answer(200, "ok"); });
  auto journal = std::make_shared<Journal>();
  std::weak_ptr<UploadCallback> weak;
  {
    auto recorder = std::make_shared<Recorder>(journal);
    weak = recorder;
  }
  std::string url = peer.Url("/upload");
  EXPECT_EQ(NetworkUtilities::HTTPPostMultipart(Wide(url), {{ContentsFormData, "params", "{}"}}, weak), "");
  EXPECT_EQ(NetworkUtilities::HTTPPostMultipart(Wide(url), {{ContentsFormData, "params", "{}"}}, {}), "");
  EXPECT_TRUE(journal->events.empty());
  EXPECT_EQ(peer.Connections(), 0);
  ASSERT_EQ(log.Lines().size(), 2u);
  EXPECT_TRUE(IsFailureLine(log.Lines()[0], "HTTPPostMultipart", url, CURLE_COULDNT_CONNECT));
}

TEST(HttpPostMultipart, ObjectReleasedMidTransferStopsWithoutFinish) {
  auto dir = Scratch("released");
  WriteFile(dir / "big.dmp", std::string(8 << 20, 'd'));
  testlog::LogCapture log("post_released");
  RawPeer peer([](const testpeer::Request&) { return Answer(200, "ok"); });
  auto journal = std::make_shared<Journal>();
  auto owner = std::make_shared<Recorder>(journal);
  std::weak_ptr<UploadCallback> weak = owner;
  // The owner lets go during the first progress report; the call in progress keeps it alive
  // until it returns, and the next report finds it gone.
  owner->onProgress = [&owner](Recorder&) { owner.reset(); };
  std::string url = peer.Url("/upload");
  EXPECT_EQ(NetworkUtilities::HTTPPostMultipart(Wide(url), {{FileOctetStream, "file_1", (dir / "big.dmp").string()}},
                                                weak),
            "");
  EXPECT_TRUE(weak.expired());
  ASSERT_EQ(journal->events.size(), 2u);
  EXPECT_EQ(journal->events[0], "start");
  EXPECT_EQ(journal->events[1], "progress");
  EXPECT_EQ(journal->progressCalls, 1);
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_TRUE(IsFailureLine(log.Lines()[0], "HTTPPostMultipart", url, CURLE_ABORTED_BY_CALLBACK));
}

TEST(HttpPostMultipart, StalledPeerEndsWithinTheTimeouts) {
  testlog::LogCapture log("post_stalled");
  bp::SetTransferTimeoutsForTesting(2, 1);
  RawPeer peer([](const testpeer::Request&) { return std::nullopt; });
  auto journal = std::make_shared<Journal>();
  auto recorder = std::make_shared<Recorder>(journal);
  EXPECT_EQ(NetworkUtilities::HTTPPostMultipart(Wide(peer.Url("/upload")), {{ContentsFormData, "params", "{}"}},
                                                recorder),
            "");
  bp::SetTransferTimeoutsForTesting(30, 60);
  ASSERT_FALSE(journal->events.empty());
  EXPECT_EQ(journal->events.back(), "finish:" + std::to_string(CURLE_OPERATION_TIMEDOUT));
}

TEST(AppendBody, RefusesBlocksBeyondTheLimit) {
  ResponseBuffer buffer;
  std::string block(1000, 'b');
  EXPECT_EQ(AppendBody(block.data(), 1, block.size(), &buffer), block.size());
  EXPECT_EQ(AppendBody(block.data(), 10, 100, &buffer), 1000u);
  EXPECT_EQ(buffer.bytes.size(), 2000u);
  std::string big(kMaxAnswerBytes - 2000, 'c');
  EXPECT_EQ(AppendBody(big.data(), 1, big.size(), &buffer), big.size());
  EXPECT_EQ(AppendBody(block.data(), 1, 1, &buffer), 0u);
  EXPECT_EQ(AppendBody(block.data(), SIZE_MAX / 2, 4, &buffer), 0u);  // size x count would overflow
  EXPECT_EQ(buffer.bytes.size(), kMaxAnswerBytes);
}
