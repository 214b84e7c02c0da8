// The upload worker end to end on its own thread, against scripted loopback peers, with a
// message-only window on the test thread standing in for the report dialog.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <unistd.h>

#include <curl/curl.h>

#include "Common/NetworkUtilities.h"
#include "app/ReportSource.h"
#include "app/SendReportThread.h"
#include "platform/backend/headless/headless_backend.h"
#include "platform/win32/user/backend.h"
#include "platform/win32/windows.h"
#include "report/ReportRequest.h"
#include "report/Signature.h"
#include "tests/common/LogCapture.h"
#include "tests/common/RawPeer.h"

namespace fs = std::filesystem;
using testpeer::Answer;

namespace {

constexpr UINT WM_TEST_PROGRESS = WM_USER + 100;
constexpr UINT WM_TEST_POKE = WM_USER + 101;
constexpr char kUploadPath[] = "/resty/v1.0.0/driver/ostrel/uploadBugFile/";
constexpr char kAccepted[] = R"({"errno":200,"result":{"data":"ok"}})";

fs::path Scratch(const std::string& name) {
  const char* root = std::getenv("BUGPOST_ARTIFACTS");
  auto dir = fs::absolute(fs::path(root && *root ? root : ".") / "worker" / name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

// The service hosts are read once per process, so every test talks to one peer whose
// behaviour the test in progress sets.
class Switchboard {
 public:
  static Switchboard& Get() {
    static Switchboard board;
    return board;
  }
  void Script(testpeer::Responder responder) {
    std::lock_guard<std::mutex> lock(mutex_);
    responder_ = std::move(responder);
    first_ = peer_.Requests().size();
  }
  // Requests since the last Script call.
  std::vector<testpeer::Request> Requests() {
    std::vector<testpeer::Request> all = peer_.Requests();
    std::lock_guard<std::mutex> lock(mutex_);
    return {all.begin() + static_cast<long>(first_), all.end()};
  }

 private:
  Switchboard()
      : peer_([this](const testpeer::Request& r) {
          std::lock_guard<std::mutex> lock(mutex_);
          return responder_ ? responder_(r) : std::optional<std::string>(Answer(500, ""));
        }) {
    // Keep the data folder the first send creates out of the real home.
    // The worker needs no display; keep the tests the same wherever they run.
    bp::user::SetBackend(bp::headless::Instance());
    // One per process: ctest runs the cases of this file side by side.
    fs::path home = Scratch("home-" + std::to_string(::getpid()));
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("MOBI_VORPINAPI_NET_HOST", ("127.0.0.1:" + std::to_string(peer_.Port())).c_str(), 1);
  }
  std::mutex mutex_;
  testpeer::Responder responder_;
  std::size_t first_ = 0;
  testpeer::RawPeer peer_;
};

// What the window sees on the test (UI) thread.
struct UiSide {
  // Set on the UI thread at the first progress message, as a closing dialog does.
  NetworkCallback* stopOnProgress = nullptr;
  std::vector<WPARAM> results;
  int progressMessages = 0;
  int pokes = 0;
};
UiSide* gUi = nullptr;

LRESULT CALLBACK TestWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SEND_RESULT:
      gUi->results.push_back(wParam);
      return 0;
    case WM_TEST_PROGRESS:
      ++gUi->progressMessages;
      if (gUi->stopOnProgress) gUi->stopOnProgress->stopRequested = true;
      // The UI thread keeps posting while the worker waits on it: no deadlock may follow.
      PostMessageW(hwnd, WM_TEST_POKE, 0, 0);
      return 7;
    case WM_TEST_POKE:
      ++gUi->pokes;
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

// The dialog's stand-in: base path, window and the UploadCallback facet.
class Source : public ReportSource, public UploadCallback {
 public:
  Source(std::string basePath, HWND window) : basePath_(std::move(basePath)), window_(window) {}
  std::string BasePath() const override {
    if (throwOnBasePath) throw std::runtime_error("no base path");
    return basePath_;
  }
  HWND Window() const override { return window_; }
  UploadCallback& Callback() override { return *this; }

  void OnStart() override {
    events.push_back("start");
    onWorkerThread = GetCurrentThreadId() != uiThread;
  }
  void OnFinish(bool, int code) override { events.push_back("finish:" + std::to_string(code)); }
  void OnProgress(double total, double now) override {
    if (events.back() != "progress") events.push_back("progress");
    int percent = total > 0 ? static_cast<int>(now * 100 / total) : 0;
    // Like the dialog: a sent message, handled on the UI thread before SendMessageW returns.
    LRESULT r = SendMessageW(window_, WM_TEST_PROGRESS, static_cast<WPARAM>(percent), 0);
    if (r != 7) badSendResults++;
  }

  bool throwOnBasePath = false;
  DWORD uiThread = GetCurrentThreadId();
  // Written by the worker only; read after it has ended.
  std::vector<std::string> events;
  bool onWorkerThread = false;
  int badSendResults = 0;

 private:
  std::string basePath_;
  HWND window_;
};

class WorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Switchboard::Get();
    gUi = &ui_;
    WNDCLASSEXW wc{};
    wc.lpfnWndProc = TestWndProc;
    wc.lpszClassName = u"BugpostWorkerTest";
    RegisterClassExW(&wc);  // a second registration fails harmlessly
    window_ = CreateWindowExW(0, u"BugpostWorkerTest", u"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    dir_ = Scratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
    dump_ = std::string("MDMP\0\x01\x02\xff", 8) + std::string(300000, 'd');
    text_ = "the text report\n";
    std::ofstream(dir_ / "crash.dmp", std::ios::binary) << dump_;
    std::ofstream(dir_ / "crash.txt", std::ios::binary) << text_;
  }
  void TearDown() override {
    DestroyWindow(window_);
    gUi = nullptr;
  }

  // One attempt from start to its result; returns the thread's exit code.
  DWORD RunAttempt(Source& source) {
    HANDLE thread = CreateThread(nullptr, 0, SendReportThread, static_cast<ReportSource*>(&source), 0, nullptr);
    EXPECT_NE(thread, nullptr);
    std::size_t before = ui_.results.size();
    MSG msg;
    while (ui_.results.size() == before && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = STILL_ACTIVE;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_EQ(ui_.results.size(), before + 1) << "exactly one WM_SEND_RESULT per attempt";
    return code;
  }

  std::string Base() const { return (dir_ / "crash").string(); }

  UiSide ui_;
  HWND window_ = nullptr;
  fs::path dir_;
  std::string dump_, text_;
};

}  // namespace

TEST_F(WorkerTest, AcceptedUploadCarriesTheSignedRequest) {
  const std::string time = "1765000000";
  Switchboard::Get().Script([&](const testpeer::Request& r) {
    return r.target == "/getTime.php" ? Answer(200, time) : Answer(200, kAccepted);
  });
  Source source(Base(), window_);
  EXPECT_EQ(RunAttempt(source), 1u);
  EXPECT_EQ(ui_.results.back(), 1u);

  std::vector<testpeer::Request> requests = Switchboard::Get().Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].target, "/getTime.php");
  std::string params = MakeParamsBlock("crash");
  EXPECT_EQ(requests[1].method, "POST");
  EXPECT_EQ(requests[1].target, kUploadPath + MakeSignature(params, time));
  std::vector<testpeer::Part> parts = testpeer::ParseMultipart(requests[1]);
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].name, "params");
  EXPECT_EQ(parts[0].data, params);
  EXPECT_EQ(parts[0].contentType, "form/data");
  EXPECT_EQ(parts[1].name, "file_1");
  EXPECT_EQ(parts[1].filename, "crash.dmp");
  EXPECT_EQ(parts[1].data, dump_);
  EXPECT_EQ(parts[2].name, "file_2");
  EXPECT_EQ(parts[2].filename, "crash.txt");
  EXPECT_EQ(parts[2].data, text_);

  // The callback contract as the dialog sees it, on the worker's thread.
  EXPECT_TRUE(source.onWorkerThread);
  ASSERT_GE(source.events.size(), 3u);
  EXPECT_EQ(source.events.front(), "start");
  EXPECT_EQ(source.events[1], "progress");
  EXPECT_EQ(source.events.back(), "finish:0");
  EXPECT_GT(ui_.progressMessages, 0);
  EXPECT_EQ(source.badSendResults, 0) << "SendMessageW returned before the window had answered";
  EXPECT_EQ(ui_.pokes, ui_.progressMessages);
}

TEST_F(WorkerTest, EveryOtherAnswerPostsZero) {
  bp::SetTransferTimeoutsForTesting(2, 1);
  struct Case {
    const char* what;
    std::optional<std::string> upload;
    int logLines;
  } cases[] = {
      {"404", Answer(404, kAccepted), 1},
      {"500 with an accepting body", Answer(500, kAccepted), 1},
      {"HTML page with 200", Answer(200, "<html><body>Service error</body></html>"), 0},
      {"refusal", Answer(403, R"({"errno":403,"error":"bad signature"})"), 1},
      {"errno 200 as a string", Answer(200, R"({"errno":"200","result":{"data":"ok"}})"), 0},
      {"invalid UTF-8", Answer(200, "{\"errno\":200,\"result\":{\"data\":\"ok\xff\"}}"), 0},
      {"2 MiB answer", Answer(200, std::string(kAccepted) + std::string(2 << 20, ' ')), 1},
      {"empty answer", Answer(200, ""), 0},
      {"stalled peer", std::nullopt, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testlog::LogCapture log(std::string("worker_zero_") + std::to_string(&c - cases));
    Switchboard::Get().Script([&](const testpeer::Request& r) {
      return r.target == "/getTime.php" ? std::optional<std::string>(Answer(200, "1765000000")) : c.upload;
    });
    Source source(Base(), window_);
    EXPECT_EQ(RunAttempt(source), 0u);
    EXPECT_EQ(ui_.results.back(), 0u);
    EXPECT_EQ(Switchboard::Get().Requests().size(), 2u);
    EXPECT_EQ(log.Lines().size(), static_cast<std::size_t>(c.logLines));
    ASSERT_FALSE(source.events.empty());
    EXPECT_EQ(source.events.front(), "start");
    EXPECT_EQ(source.events.back().rfind("finish:", 0), 0u);
  }
  bp::SetTransferTimeoutsForTesting(30, 60);
}

TEST_F(WorkerTest, StopRequestedFromTheUiThreadEndsTheUpload) {
  Switchboard::Get().Script([](const testpeer::Request& r) {
    return r.target == "/getTime.php" ? Answer(200, "1765000000") : Answer(200, kAccepted);
  });
  std::ofstream(dir_ / "crash.dmp", std::ios::binary) << std::string(16 << 20, 'd');
  Source source(Base(), window_);
  ui_.stopOnProgress = &source;
  EXPECT_EQ(RunAttempt(source), 0u);
  EXPECT_EQ(ui_.results.back(), 0u);
  ASSERT_FALSE(source.events.empty());
  EXPECT_EQ(source.events.back(), "finish:" + std::to_string(CURLE_ABORTED_BY_CALLBACK));
}

TEST_F(WorkerTest, TimeServiceDownStillUploadsWithAnUntimedSignature) {
  testlog::LogCapture log("worker_time_down");
  Switchboard::Get().Script([](const testpeer::Request& r) {
    return r.target == "/getTime.php" ? Answer(404, "") : Answer(200, kAccepted);
  });
  Source source(Base(), window_);
  EXPECT_EQ(RunAttempt(source), 1u);
  std::vector<testpeer::Request> requests = Switchboard::Get().Requests();
  ASSERT_EQ(requests.size(), 2u);
  std::string signature = requests[1].target.substr(std::string(kUploadPath).size());
  EXPECT_EQ(requests[1].target.rfind(kUploadPath, 0), 0u);
  EXPECT_EQ(signature.size(), 18u);
  EXPECT_EQ(signature.find_first_not_of("0123456789abcdef"), std::string::npos) << signature;
  EXPECT_EQ(requests[1].target, kUploadPath + MakeSignature(MakeParamsBlock("crash"), ""));
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_NE(log.Lines()[0].find("NetworkUtilities::HTTPGet"), std::string::npos);
}

TEST_F(WorkerTest, NoReportNameMeansNoRequestAtAll) {
  Switchboard::Get().Script([](const testpeer::Request&) { return Answer(200, kAccepted); });
  for (std::string base : {std::string("crash"), (dir_ / "").string()}) {
    SCOPED_TRACE(base);
    Source source(base, window_);
    EXPECT_EQ(RunAttempt(source), 0u);
    EXPECT_EQ(ui_.results.back(), 0u);
    EXPECT_TRUE(source.events.empty());
  }
  EXPECT_TRUE(Switchboard::Get().Requests().empty());
}

TEST_F(WorkerTest, UnreadableReportFailsTheUpload) {
  testlog::LogCapture log("worker_unreadable");
  fs::remove(dir_ / "crash.txt");
  Switchboard::Get().Script([](const testpeer::Request& r) {
    return r.target == "/getTime.php" ? Answer(200, "1") : Answer(200, kAccepted);
  });
  Source source(Base(), window_);
  EXPECT_EQ(RunAttempt(source), 0u);
  ASSERT_FALSE(source.events.empty());
  EXPECT_EQ(source.events.back(), "finish:" + std::to_string(CURLE_READ_ERROR));
  EXPECT_EQ(log.Lines().size(), 1u);
}

TEST_F(WorkerTest, AnExceptionStillPostsExactlyOneZero) {
  Switchboard::Get().Script([](const testpeer::Request&) { return Answer(200, kAccepted); });
  Source source(Base(), window_);
  source.throwOnBasePath = true;
  EXPECT_EQ(RunAttempt(source), 0u);
  EXPECT_EQ(ui_.results.back(), 0u);
  EXPECT_TRUE(Switchboard::Get().Requests().empty());
}

TEST_F(WorkerTest, RetryAsksForANewTimeAndSignsAgain) {
  int timeRequests = 0;
  std::mutex m;
  Switchboard::Get().Script([&](const testpeer::Request& r) {
    std::lock_guard<std::mutex> lock(m);
    return r.target == "/getTime.php" ? Answer(200, std::to_string(1765000000 + ++timeRequests))
                                      : Answer(500, "");
  });
  Source first(Base(), window_);
  EXPECT_EQ(RunAttempt(first), 0u);
  Source second(Base(), window_);
  EXPECT_EQ(RunAttempt(second), 0u);
  std::vector<testpeer::Request> requests = Switchboard::Get().Requests();
  ASSERT_EQ(requests.size(), 4u);
  std::string params = MakeParamsBlock("crash");
  EXPECT_EQ(requests[1].target, kUploadPath + MakeSignature(params, "1765000001"));
  EXPECT_EQ(requests[3].target, kUploadPath + MakeSignature(params, "1765000002"));
}
