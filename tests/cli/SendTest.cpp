// bugpost-send as a user runs it: a child process against bugpost-service or a scripted peer
// on loopback.
#include <gtest/gtest.h>

#include "cli/ProgressMeter.h"
#include "platform/win32/windows.h"
#include "tests/cli/ChildProcess.h"
#include "tests/common/RawPeer.h"
#include "tests/service/ServiceFixture.h"

namespace fs = std::filesystem;

namespace {

std::string LastLine(const std::string& text) {
  std::string t = text;
  while (!t.empty() && t.back() == '\n') t.pop_back();
  return t.substr(t.rfind('\n') == std::string::npos ? 0 : t.rfind('\n') + 1);
}

class SendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testservice::Scratch(std::string("send_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_ / "runtime");
    fs::permissions(dir_ / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    dump_ = std::string("MDMP\0\x01\xfe\xff", 8);
    for (int i = 0; i < 1 << 20; ++i) dump_ += static_cast<char>(i % 251);
    text_ = "程序崩溃啦\n";
    std::ofstream(dir_ / "crash.dmp", std::ios::binary) << dump_;
    std::ofstream(dir_ / "crash.txt", std::ios::binary) << text_;
  }

  testchild::Outcome Send(const std::vector<std::string>& args, const std::string& host, bool terminal = false) {
    std::vector<std::string> argv = {BUGPOST_SEND_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return testchild::Run(argv,
                          {"MOBI_VORPINAPI_NET_HOST=" + host, "HOME=" + dir_.string(),
                           "XDG_CONFIG_HOME=" + (dir_ / ".config").string(),
                           "XDG_RUNTIME_DIR=" + (dir_ / "runtime").string(),
                           "VORPIN_LOG_FILE=" + (dir_ / "bugpost.log").string(),
                           "LSAN_OPTIONS=suppressions=" BUGPOST_CHILD_LSAN_SUPP ":print_suppressions=0"},
                          dir_, terminal);
  }

  fs::path dir_;
  std::string dump_, text_;
};

}  // namespace

TEST_F(SendTest, AcceptedReportIsStoredByteForByte) {
  testservice::RunningService service("send_service");
  ASSERT_TRUE(service.Started()) << service.Why();
  testchild::Outcome r = Send({(dir_ / "crash").string()}, service.Host());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(LastLine(r.out), "accepted");
  // Standard error is not a terminal here: one line per new percentage, ending at 100%.
  EXPECT_EQ(LastLine(r.err), "100%") << r.err;
  EXPECT_EQ(r.err.find('\r'), std::string::npos);

  std::vector<fs::path> stored;
  for (auto& e : fs::directory_iterator(service.Data() / "reports")) stored.push_back(e.path());
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(testchild::Slurp(stored[0] / "report.dmp"), dump_);
  EXPECT_EQ(testchild::Slurp(stored[0] / "report.txt"), text_);
}

TEST_F(SendTest, DrawsABarWhenStandardErrorIsATerminal) {
  testservice::RunningService service("send_terminal");
  ASSERT_TRUE(service.Started()) << service.Why();
  testchild::Outcome r = Send({(dir_ / "crash").string()}, service.Host(), true);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(LastLine(r.out), "accepted");
  EXPECT_NE(r.err.find("\rsending [" + std::string(40, '#') + "] 100%"), std::string::npos) << r.err;
  // One redrawn line, ended once (the terminal shows the newline as CR LF).
  std::size_t lineEnds = 0;
  for (std::size_t at = r.err.find('\n'); at != std::string::npos; at = r.err.find('\n', at + 1)) ++lineEnds;
  EXPECT_EQ(lineEnds, 1u) << r.err;
}

TEST_F(SendTest, RefusedOrUnreachableServiceExitsOne) {
  testpeer::RawPeer peer([](const testpeer::Request& r) {
    return r.target == "/getTime.php" ? testpeer::Answer(200, "1765000000")
                                      : testpeer::Answer(403, R"({"errno":403,"error":"bad signature"})");
  });
  testchild::Outcome r = Send({(dir_ / "crash").string()}, "127.0.0.1:" + std::to_string(peer.Port()));
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(LastLine(r.out), "refused");
  EXPECT_EQ(peer.Requests().size(), 2u);
  peer.Stop();
  r = Send({(dir_ / "crash").string()}, "127.0.0.1:" + std::to_string(peer.Port()));
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(LastLine(r.out), "refused");
  // Both failed requests of the second run left their line in the log.
  std::string log = testchild::Slurp(dir_ / "bugpost.log");
  EXPECT_NE(log.find("NetworkUtilities::HTTPGet"), std::string::npos);
  EXPECT_NE(log.find("NetworkUtilities::HTTPPostMultipart"), std::string::npos);
}

TEST_F(SendTest, UsageErrorsAndMissingReportsExitTwo) {
  fs::remove(dir_ / "crash.txt");
  std::ofstream(dir_ / "only.txt") << "t";
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{}, "usage:"},
      {{"a", "b"}, "usage:"},
      {{""}, "usage:"},
      {{(dir_ / "crash").string()}, "crash.txt"},
      {{(dir_ / "only").string()}, "only.dmp"},
      {{(dir_ / "none").string()}, "none.dmp"},
  };
  for (const Case& c : cases) {
    testchild::Outcome r = Send(c.args, "127.0.0.1:9");
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("accepted"), std::string::npos);
  }
}

TEST_F(SendTest, SecondInstanceDoesNotSend) {
  testpeer::RawPeer peer([](const testpeer::Request&) { return testpeer::Answer(200, "1"); });
  setenv("XDG_RUNTIME_DIR", (dir_ / "runtime").c_str(), 1);
  HANDLE mutex = CreateMutexW(nullptr, TRUE, u"VorpinBugpost");
  ASSERT_NE(mutex, nullptr);
  ASSERT_NE(GetLastError(), ERROR_ALREADY_EXISTS);
  testchild::Outcome r = Send({(dir_ / "crash").string()}, "127.0.0.1:" + std::to_string(peer.Port()));
  CloseHandle(mutex);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("another bugpost is running"), std::string::npos) << r.err;
  EXPECT_EQ(peer.Connections(), 0);
}

TEST(ProgressMeter, TerminalBarAndPlainLines) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  ProgressMeter plain(out, false);
  plain.Update(0, 0);  // unknown total: nothing
  plain.Update(200, 0);
  plain.Update(200, 1);  // still 0%
  plain.Update(200, 101);
  plain.Update(200, 250);
  plain.Finish();
  std::fflush(out);
  EXPECT_EQ(std::string(buffer, size), "0%\n50%\n100%\n");

  ProgressMeter bar(out, true);
  bar.Update(4, 1);
  bar.Finish();
  std::fclose(out);
  std::string text(buffer, size);
  std::free(buffer);
  EXPECT_EQ(text.substr(text.find("100%\n") + 5),
            "\rsending [##########------------------------------]  25%\n");
}
