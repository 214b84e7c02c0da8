// The real program's start-up: it shows its dialog for a complete report, and ends at once and
// silently for a missing report file or while another instance runs.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/win32/windows.h"

extern char** environ;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

fs::path Scratch(const std::string& name) {
  const char* root = std::getenv("BUGPOST_ARTIFACTS");
  fs::path dir = fs::absolute(fs::path(root && *root ? root : ".") / "program" / name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

struct Outcome {
  bool ended = false;  // ended by itself within the limit
  int status = -1;
  std::string output;
};

// Runs the program on `base` (headless, its lock and data folders under `dir`) for at most `limit`.
Outcome RunProgram(const fs::path& dir, const std::string& base, std::chrono::milliseconds limit,
                   bool headless = true) {
  if (headless) {
    setenv("BUGPOST_BACKEND", "headless", 1);
  } else {
    unsetenv("BUGPOST_BACKEND");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
  }
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  setenv("HOME", dir.c_str(), 1);
  std::string out = (dir / "stdout.txt").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  std::string exe = BUGPOST_EXE;
  char* argv[] = {exe.data(), const_cast<char*>("--unused"), const_cast<char*>(base.c_str()), nullptr};
  pid_t pid = -1;
  Outcome outcome;
  if (posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, environ) != 0) return outcome;
  posix_spawn_file_actions_destroy(&actions);
  auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      outcome.ended = true;
      outcome.status = status;
      break;
    }
    std::this_thread::sleep_for(10ms);
  }
  if (!outcome.ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  std::ifstream in(out);
  outcome.output.assign(std::istreambuf_iterator<char>(in), {});
  return outcome;
}

void Touch(const fs::path& p) { std::ofstream(p) << "x"; }

TEST(Program, ShowsItsDialogForACompleteReport) {
  fs::path dir = Scratch("complete");
  Touch(dir / "crash.dmp");
  Touch(dir / "crash.txt");
  Outcome o = RunProgram(dir, (dir / "crash").string(), 1500ms);
  EXPECT_FALSE(o.ended) << "the dialog waits for the user";
}

TEST(Program, EndsSilentlyWhenAReportFileIsMissing) {
  struct Case {
    const char* name;
    bool dump, text;
  } cases[] = {{"only-txt", false, true}, {"only-dmp", true, false}, {"none", false, false}};
  for (const Case& c : cases) {
    fs::path dir = Scratch(c.name);
    if (c.dump) Touch(dir / "crash.dmp");
    if (c.text) Touch(dir / "crash.txt");
    Outcome o = RunProgram(dir, (dir / "crash").string(), 5000ms);
    EXPECT_TRUE(o.ended) << c.name;
    EXPECT_TRUE(WIFEXITED(o.status)) << c.name << ": no crash";
  }
}

TEST(Program, WithoutADisplaySaysSoAndEndsInsteadOfWaitingUnseen) {
  fs::path dir = Scratch("nodisplay");
  Touch(dir / "crash.dmp");
  Touch(dir / "crash.txt");
  Outcome o = RunProgram(dir, (dir / "crash").string(), 5000ms, /*headless=*/false);
  EXPECT_TRUE(o.ended);
  EXPECT_NE(o.output.find("bugpost-send"), std::string::npos) << o.output;
}

TEST(Program, EndsAtOnceWhileAnotherInstanceRuns) {
  fs::path dir = Scratch("second");
  Touch(dir / "crash.dmp");
  Touch(dir / "crash.txt");
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  HANDLE mutex = ::CreateMutexW(nullptr, TRUE, u"VorpinBugpost");
  ASSERT_NE(mutex, nullptr);
  ASSERT_NE(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  Outcome o = RunProgram(dir, (dir / "crash").string(), 5000ms);
  EXPECT_TRUE(o.ended) << "a second instance does not show a dialog";
  EXPECT_TRUE(WIFEXITED(o.status));
  ::CloseHandle(mutex);
}

}  // namespace
