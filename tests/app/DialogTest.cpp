// The report dialog end to end on the headless backend: first screen, send, progress, success
// and close, refusal and retry, close during an upload, and the progress arithmetic.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <regex>
#include <thread>

#include <unistd.h>

#include "app/BugpostDlg.h"
#include "app/SendReportThread.h"
#include "platform/backend/headless/headless.h"
#include "tests/app/ReportPeer.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr UINT WM_TEST_RUN = WM_APP + 40;
constexpr char kAccepted[] = R"({"errno":200,"result":{"data":"ok"}})";
constexpr char kRefused[] = R"({"errno":403,"result":{"data":"no"}})";

// The real dialog, plus a way to run code on its thread.
class TestDlg : public CBugpostDlg {
 public:
  std::promise<HWND> ready;

 protected:
  BOOL OnInitDialog() override {
    BOOL r = CBugpostDlg::OnInitDialog();
    ready.set_value(GetSafeHwnd());
    return r;
  }
  afx_msg LRESULT OnRun(WPARAM wParam, LPARAM) {
    (*reinterpret_cast<std::function<void()>*>(wParam))();
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDlg, CBugpostDlg)
  ON_MESSAGE(WM_TEST_RUN, &TestDlg::OnRun)
END_MESSAGE_MAP()

struct Report {
  fs::path base;
  std::string dump, text;
};

Report WriteReport(const std::string& name) {
  fs::path dir = fs::absolute(fs::path(std::getenv("BUGPOST_ARTIFACTS") ? std::getenv("BUGPOST_ARTIFACTS") : ".") /
                              "app" / "reports" / (name + "-" + std::to_string(getpid())));
  fs::remove_all(dir);
  fs::create_directories(dir);
  Report r{dir / "crash", std::string("MDMP\0\x01\x02\xff", 8) + std::string(200000, 'd'), "report of " + name + "\n"};
  std::ofstream(r.base.string() + ".dmp", std::ios::binary) << r.dump;
  std::ofstream(r.base.string() + ".txt", std::ios::binary) << r.text;
  return r;
}

// Runs the report dialog modally on its own thread, as start-up does.
class DialogRun {
 public:
  explicit DialogRun(const Report& report) {
    ReportPeer::Get();  // the environment must point at the peer before the first send
    bp::headless::Use();
    std::future<HWND> ready = dlg_.ready.get_future();
    thread_ = std::thread([this, base = report.base.string()] {
      dlg_.m_strBasePath = base;
      dlg_.DoModal();
      ended_.set_value(std::chrono::steady_clock::now());
      workerDone_ = dlg_.FinishAttempt(15000);
    });
    hwnd_ = ready.get();
    ended_future_ = ended_.get_future().share();
    Settle();
  }
  ~DialogRun() {
    if (IsRunning()) ::PostMessageW(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
    ReportPeer::Get().Release();
    thread_.join();
  }

  HWND Hwnd() const { return hwnd_; }
  void Settle() { ASSERT_TRUE(bp::headless::WaitIdle(10000)) << "the dialog never became idle"; }
  void Run(std::function<void()> fn) { ::SendMessageW(hwnd_, WM_TEST_RUN, reinterpret_cast<WPARAM>(&fn), 0); }
  std::u16string MessageText() {
    std::u16string s;
    Run([&] { s = dlg_.m_stMessage.m_strText.GetString(); });
    return s;
  }
  std::u16string ButtonText() {
    std::u16string s;
    Run([&] { s = dlg_.m_btnSend.m_strText.GetString(); });
    return s;
  }
  bool Visible(CWnd& w) {
    bool v = false;
    Run([&] { v = w.IsWindowVisible(); });
    return v;
  }
  int ProgressPos() { return static_cast<int>(::SendMessageW(dlg_.m_progress.GetSafeHwnd(), PBM_GETPOS, 0, 0)); }
  POINT Screen(int x, int y) {
    RECT rc{};
    Run([&] { ::GetWindowRect(hwnd_, &rc); });
    return {rc.left + x, rc.top + y};
  }
  void Click(int x, int y) {
    POINT p = Screen(x, y);
    bp::headless::Click(p.x, p.y);
    Settle();
  }
  bool IsRunning() { return ended_future_.wait_for(0ms) != std::future_status::ready; }
  // Waits for the modal run to end; its end time.
  std::optional<std::chrono::steady_clock::time_point> WaitEnd(std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      bp::headless::WaitIdle(200);
      if (ended_future_.wait_for(20ms) == std::future_status::ready) return ended_future_.get();
    }
    return std::nullopt;
  }
  bool WorkerDone() {
    thread_.join();
    thread_ = std::thread([] {});
    return workerDone_;
  }
  TestDlg& Dlg() { return dlg_; }

 private:
  TestDlg dlg_;
  HWND hwnd_ = nullptr;
  std::promise<std::chrono::steady_clock::time_point> ended_;
  std::shared_future<std::chrono::steady_clock::time_point> ended_future_;
  bool workerDone_ = false;
  std::thread thread_;
};

// Waits until the peer has seen `n` requests of `method`.
bool WaitForRequests(const std::string& method, std::size_t n, std::chrono::milliseconds limit = 15s) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    std::size_t seen = 0;
    for (auto& r : ReportPeer::Get().Requests()) seen += r.method == method;
    if (seen >= n) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

bool IsBlueBand(COLORREF c) { return GetBValue(c) > 200 && GetGValue(c) > 150 && GetRValue(c) < 60; }
bool IsGreyInk(COLORREF c) {
  int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  return r < 200 && std::abs(r - g) < 12 && std::abs(g - b) < 12;
}
int CountInk(HWND hwnd, RECT box) {
  int n = 0;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) n += IsGreyInk(bp::headless::Pixel(hwnd, x, y));
  return n;
}

bool StoredFileWithContents(const std::string& contents) {
  for (auto& e : fs::recursive_directory_iterator(ReportPeer::Get().DataDir())) {
    if (!e.is_regular_file() || e.file_size() != contents.size()) continue;
    std::ifstream in(e.path(), std::ios::binary);
    std::string got((std::istreambuf_iterator<char>(in)), {});
    if (got == contents) return true;
  }
  return false;
}

class ReportDialog : public ::testing::Test {
 protected:
  void SetUp() override { ReportPeer::Get().Reset(); }
  void TearDown() override { ReportPeer::Get().Quiesce(); }
};

TEST_F(ReportDialog, FirstScreenShowsSkinHeadlineInvitationAndGreenSendButton) {
  Report report = WriteReport("first");
  DialogRun run(report);
  HWND h = run.Hwnd();
  RECT rc{};
  run.Run([&] { ::GetWindowRect(h, &rc); });
  EXPECT_EQ(rc.right - rc.left, 382);
  EXPECT_EQ(rc.bottom - rc.top, 262);
  RECT area{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_EQ(rc.left, area.left + (area.right - area.left - 382) / 2) << "opens centred on the work area";
  EXPECT_EQ(rc.top, area.top + (area.bottom - area.top - 262) / 2);

  EXPECT_TRUE(IsBlueBand(bp::headless::Pixel(h, 100, 5))) << "caption band";
  EXPECT_TRUE(IsBlueBand(bp::headless::Pixel(h, 352, 3))) << "close button, normal cell";
  COLORREF cross = bp::headless::Pixel(h, 365, 18);
  EXPECT_GT(GetRValue(cross), 200) << "white cross of the close button";
  EXPECT_GT(CountInk(h, {30, 70, 330, 92}), 40) << "grey headline";
  EXPECT_GT(CountInk(h, {30, 100, 370, 180}), 80) << "grey invitation";
  EXPECT_EQ(bp::headless::Pixel(h, 160, 225), RGB(61, 200, 38)) << "green face of the send button";
  int white = 0;
  for (int x = 185; x < 215; ++x)
    for (int y = 215; y < 235; ++y) {
      COLORREF c = bp::headless::Pixel(h, x, y);
      white += GetRValue(c) > 200 && GetGValue(c) > 220 && GetBValue(c) > 200;
    }
  EXPECT_GT(white, 10) << "white text on the button";
  EXPECT_EQ(bp::headless::Pixel(h, 100, 130), RGB(255, 255, 255)) << "no progress bar yet";
  EXPECT_FALSE(run.Visible(run.Dlg().m_progress));
  EXPECT_EQ(run.MessageText(), u"希望您将此错误报告发送给我们，帮助我们做得更好！");
  bp::headless::SavePng(h, bp::headless::ArtifactPath("app-first-screen.png"));
}

TEST_F(ReportDialog, SendShowsProgressStoresTheReportAndCloses) {
  Report report = WriteReport("send");
  ReportPeer::Get().Hold();
  DialogRun run(report);
  run.Click(200, 225);

  ASSERT_TRUE(WaitForRequests("POST", 1));
  run.Settle();
  EXPECT_EQ(run.MessageText(), u"正在发送崩溃报告，请稍候...");
  EXPECT_FALSE(run.Visible(run.Dlg().m_btnSend));
  EXPECT_FALSE(run.Visible(run.Dlg().m_stHeadline));
  EXPECT_TRUE(run.Visible(run.Dlg().m_progress));
  // The whole body has gone out while the answer is held, so the bar has moved to its end.
  for (int i = 0; i < 200 && run.ProgressPos() < 100; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(run.ProgressPos(), 100);
  run.Settle();
  COLORREF bar = bp::headless::Pixel(run.Hwnd(), 100, 130);
  EXPECT_GT(GetBValue(bar), 200);
  EXPECT_LT(GetRValue(bar), 100) << "blue fill of the progress bar";
  bp::headless::SavePng(run.Hwnd(), bp::headless::ArtifactPath("app-sending.png"));

  ReportPeer::Get().Release();
  ASSERT_TRUE(run.WaitEnd(15s)) << "an accepted report closes the dialog";
  EXPECT_TRUE(run.WorkerDone());
  EXPECT_TRUE(StoredFileWithContents(report.dump));
  EXPECT_TRUE(StoredFileWithContents(report.text));
}

TEST_F(ReportDialog, RefusedAnswerOffersRetryAndRetrySignsAnew) {
  Report report = WriteReport("retry");
  ReportPeer::Get().ScriptTimes({"1700000000", "1700000100"});
  ReportPeer::Get().ScriptUpload(testpeer::Answer(200, kRefused));
  DialogRun run(report);

  run.Click(200, 225);
  ASSERT_TRUE(WaitForRequests("POST", 1));
  for (int i = 0; i < 500 && run.MessageText() != u"发送失败！"; ++i) std::this_thread::sleep_for(10ms);
  run.Settle();
  EXPECT_EQ(run.MessageText(), u"发送失败！");
  EXPECT_EQ(run.ButtonText(), u"重试");
  EXPECT_TRUE(run.Visible(run.Dlg().m_btnSend));
  EXPECT_TRUE(run.Visible(run.Dlg().m_progress)) << "the bar stays at its last position";
  int kept = run.ProgressPos();
  EXPECT_EQ(kept, 100);
  bp::headless::SavePng(run.Hwnd(), bp::headless::ArtifactPath("app-failed.png"));

  ReportPeer::Get().Hold();
  run.Click(200, 225);
  ASSERT_TRUE(WaitForRequests("POST", 2));
  EXPECT_EQ(run.MessageText(), u"正在发送崩溃报告，请稍候...");
  ReportPeer::Get().Release();
  for (int i = 0; i < 500 && run.MessageText() != u"发送失败！"; ++i) std::this_thread::sleep_for(10ms);

  std::vector<std::string> gets, posts;
  for (auto& r : ReportPeer::Get().Requests()) (r.method == "GET" ? gets : posts).push_back(r.target);
  ASSERT_EQ(gets.size(), 2u) << "each attempt asks for the time again";
  ASSERT_EQ(posts.size(), 2u);
  const std::regex signedPath("/resty/v1.0.0/driver/ostrel/uploadBugFile/(\\d+)([0-9a-f]{18})");
  std::smatch first, second;
  ASSERT_TRUE(std::regex_match(posts[0], first, signedPath)) << posts[0];
  ASSERT_TRUE(std::regex_match(posts[1], second, signedPath)) << posts[1];
  EXPECT_EQ(first[1], "1700000000");
  EXPECT_EQ(second[1], "1700000100");
  EXPECT_NE(first[2], second[2]) << "a new signature for the new time";
}

TEST_F(ReportDialog, ResultOtherThanOneIsAFailure) {
  Report report = WriteReport("result2");
  DialogRun run(report);
  ::PostMessageW(run.Hwnd(), WM_SEND_RESULT, 2, 0);
  run.Settle();
  EXPECT_EQ(run.MessageText(), u"发送失败！");
  EXPECT_EQ(run.ButtonText(), u"重试");
  EXPECT_TRUE(run.IsRunning());
}

TEST_F(ReportDialog, EnterDuringAnAttemptStartsNoSecondOne) {
  Report report = WriteReport("enter");
  ReportPeer::Get().Hold();
  DialogRun run(report);
  run.Click(200, 225);
  ASSERT_TRUE(WaitForRequests("POST", 1));
  bp::headless::PressKey(VK_RETURN);
  bp::headless::PressKey(VK_SPACE);
  run.Settle();
  ReportPeer::Get().Release();
  ASSERT_TRUE(run.WaitEnd(15s));
  EXPECT_TRUE(run.WorkerDone());
  std::size_t gets = 0;
  for (auto& r : ReportPeer::Get().Requests()) gets += r.method == "GET";
  EXPECT_EQ(gets, 1u);
}

TEST_F(ReportDialog, CloseDuringAnUploadEndsPromptlyAndStopsTheWorker) {
  Report report = WriteReport("close");
  ReportPeer::Get().Hold();
  DialogRun run(report);
  run.Click(200, 225);
  ASSERT_TRUE(WaitForRequests("POST", 1));

  auto closed = std::chrono::steady_clock::now();
  POINT p = run.Screen(365, 18);
  bp::headless::Click(p.x, p.y);
  auto ended = run.WaitEnd(5s);
  ASSERT_TRUE(ended) << "the close button ends the dialog during an upload";
  EXPECT_LT(*ended - closed, 1s);
  // The worker is told to stop and ends without a release of the held answer.
  EXPECT_TRUE(run.WorkerDone());
}

TEST_F(ReportDialog, ProgressTurnsByteCountsIntoWholePercent) {
  Report report = WriteReport("progress");
  DialogRun run(report);
  struct Case {
    double total, now;
    int pos;
  } cases[] = {{1000, 500, 50}, {1000, 999, 99}, {1000, 1000, 100}, {0, 0, 0}, {1000, 1, 0}, {3, 2, 66}};
  for (const Case& c : cases) {
    ::SendMessageW(run.Dlg().m_progress.GetSafeHwnd(), PBM_SETPOS, 37, 0);
    // Called on a thread of its own, as the worker does.
    std::thread([&] { run.Dlg().OnProgress(c.total, c.now); }).join();
    EXPECT_EQ(run.ProgressPos(), c.pos) << c.now << " of " << c.total;
  }
}

}  // namespace
