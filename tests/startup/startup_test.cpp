#include <fcntl.h>
#include <sys/stat.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/Startup.h"
#include "platform/win32/kernel/kernel.h"
#include "tests/kernel/child_process.h"
#include "util/TextConversion.h"

namespace {

// The lock folder is the test's own, so no real bugpost instance is ever in the way.
class Startup : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("XDG_RUNTIME_DIR", m_run.Path().c_str(), 1); }
  void TearDown() override { ::unsetenv("XDG_RUNTIME_DIR"); }

  std::string Base(const std::string& name) const { return m_dir.Path() + "/" + name; }
  static void Write(const std::string& path) { std::ofstream(path) << "report"; }
  // Decides and lets the mutex go, as a process that ends would.
  static StartupDecision Decide(const std::u16string& line) {
    StartupDecision d = DecideStartup(line.c_str());
    if (d.instanceMutex != nullptr) CloseHandle(d.instanceMutex);
    return d;
  }
  static std::u16string Line(const std::string& base) { return u"bugpost \"" + OemToWide(base) + u"\""; }

  bp::test::TempFolder m_run;
  bp::test::TempFolder m_dir;
};

TEST_F(Startup, Decisions) {
  Write(Base("both.dmp"));
  Write(Base("both.txt"));
  Write(Base("dmponly.dmp"));
  Write(Base("txtonly.txt"));
  Write(Base("\xE5\xB4\xA9\xE6\xBA\x83 1.dmp"));
  Write(Base("\xE5\xB4\xA9\xE6\xBA\x83 1.txt"));
  ::mkdir(Base("dir").c_str(), 0700);
  Write(Base("dir/.dmp"));
  Write(Base("dir/.txt"));
  ::mkdir(Base("folder.dmp").c_str(), 0700);
  Write(Base("folder.txt"));
  struct Case {
    std::u16string line;
    StartupOutcome outcome;
    std::string basePath;
  };
  const Case cases[] = {
      {Line(Base("both")), StartupOutcome::Run, Base("both")},
      {Line(Base("\xE5\xB4\xA9\xE6\xBA\x83 1")), StartupOutcome::Run, Base("\xE5\xB4\xA9\xE6\xBA\x83 1")},
      {u"bugpost first second " + Line(Base("both")).substr(8), StartupOutcome::Run, Base("both")},
      {Line(Base("both")) + u" " + OemToWide(Base("missing")), StartupOutcome::MissingDump, Base("missing")},
      {Line(Base("missing")), StartupOutcome::MissingDump, Base("missing")},
      {Line(Base("txtonly")), StartupOutcome::MissingDump, Base("txtonly")},
      {Line(Base("dmponly")), StartupOutcome::MissingText, Base("dmponly")},
      {Line(Base("folder")), StartupOutcome::MissingDump, Base("folder")},  // a folder is no report
      {Line(Base("dir/")), StartupOutcome::Run, Base("dir/")},  // passes here; its name is empty
      {u"bugpost \"\"", StartupOutcome::EmptyBasePath, ""},
      // A lone surrogate cannot be carried: it becomes '?', which names no report.
      {u"bugpost " + OemToWide(Base("both")) + u"\xD800", StartupOutcome::MissingDump, Base("both?")},
  };
  for (const auto& c : cases) {
    StartupDecision d = Decide(c.line);
    EXPECT_EQ(d.outcome, c.outcome) << WideToUtf8(c.line);
    EXPECT_EQ(d.basePath, c.basePath) << WideToUtf8(c.line);
  }
}

TEST_F(Startup, NoArgumentLooksBesideTheProgram) {
  StartupDecision d = Decide(u"");
  EXPECT_EQ(d.outcome, StartupOutcome::MissingDump);
  EXPECT_NE(d.basePath.find("startup_test"), std::string::npos);
  // "prog" alone: the last argument is the program itself.
  d = Decide(u"/nonexistent/prog");
  EXPECT_EQ(d.basePath, "/nonexistent/prog");
}

TEST_F(Startup, ProcessCommandLineIsUsed) {
  Write(Base("argv.dmp"));
  Write(Base("argv.txt"));
  std::string base = Base("argv");
  std::string program = "/usr/bin/bugpost";
  char* argv[] = {program.data(), base.data(), nullptr};
  bp::kernel::SetCommandLine(2, argv);
  StartupDecision d = DecideStartup();
  EXPECT_EQ(d.outcome, StartupOutcome::Run);
  EXPECT_EQ(d.basePath, base);
  ASSERT_NE(d.instanceMutex, nullptr);
  CloseHandle(d.instanceMutex);
}

TEST_F(Startup, TextReportIsNotTriedWhenTheDumpIsMissing) {
  Write(Base("txtonly.txt"));
  int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(::inotify_add_watch(watch, Base("txtonly.txt").c_str(), IN_OPEN), 0);
  EXPECT_EQ(Decide(Line(Base("txtonly"))).outcome, StartupOutcome::MissingDump);
  char events[4096];
  EXPECT_LT(::read(watch, events, sizeof events), 0);  // no open was seen
  // The watch does see an open, so its silence above means something.
  Write(Base("txtonly.dmp"));
  EXPECT_EQ(Decide(Line(Base("txtonly"))).outcome, StartupOutcome::Run);
  EXPECT_GT(::read(watch, events, sizeof events), 0);
  ::close(watch);
}

TEST_F(Startup, SecondInstanceFromAnotherProcessEndsAtOnce) {
  Write(Base("a.dmp"));
  Write(Base("a.txt"));
  std::u16string line = Line(Base("a"));
  bp::test::HeldChild first([&] { return DecideStartup(line.c_str()).outcome == StartupOutcome::Run; });
  ASSERT_TRUE(first.Ready());
  // Whatever report it carries, a second start ends without looking at it.
  for (const std::u16string& other : {line, Line(Base("missing")), std::u16string(u"bugpost \"\"")}) {
    StartupDecision d = DecideStartup(other.c_str());
    EXPECT_EQ(d.outcome, StartupOutcome::AnotherInstance);
    EXPECT_EQ(d.basePath, "");
    EXPECT_EQ(d.instanceMutex, nullptr);  // closed before it ends
  }
  first.Release();
  EXPECT_EQ(Decide(line).outcome, StartupOutcome::Run);  // the first instance is gone
}

TEST_F(Startup, FileHeldOpenForWritingCountsAsMissing) {
  if (!bp::test::LeasesWork(m_dir.Path())) GTEST_SKIP() << "no read leases on this file system";
  Write(Base("w.dmp"));
  Write(Base("w.txt"));
  for (const char* held : {".dmp", ".txt"}) {
    std::string path = Base("w") + held;
    bp::test::HeldChild writer([&] { return ::open(path.c_str(), O_WRONLY | O_APPEND) >= 0; });
    ASSERT_TRUE(writer.Ready());
    EXPECT_EQ(Decide(Line(Base("w"))).outcome,
              std::string(held) == ".dmp" ? StartupOutcome::MissingDump : StartupOutcome::MissingText);
  }
  EXPECT_EQ(Decide(Line(Base("w"))).outcome, StartupOutcome::Run);
}

TEST_F(Startup, NoMutexMeansNoProtectionButGoesOn) {
  ::setenv("XDG_RUNTIME_DIR", (m_run.Path() + "/missing").c_str(), 1);
  Write(Base("n.dmp"));
  Write(Base("n.txt"));
  StartupDecision d = DecideStartup(Line(Base("n")).c_str());
  EXPECT_EQ(d.outcome, StartupOutcome::Run);
  EXPECT_EQ(d.instanceMutex, nullptr);
}

}  // namespace
