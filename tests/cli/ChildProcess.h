// Runs a program of ours as a child with extra environment variables, its output in files.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace testchild {

struct Outcome {
  int status = -1;  // exit status; -1 when it had to be stopped or did not start
  std::string out, err;
};

inline std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// With `stderrTerminal`, standard error is a pseudo-terminal and `err` what appeared on it.
inline Outcome Run(const std::vector<std::string>& args, const std::vector<std::string>& env,
                   const std::filesystem::path& scratch, bool stderrTerminal = false, int timeoutSeconds = 120) {
  std::vector<std::string> environment(env);
  for (char** e = environ; *e; ++e) {
    std::string kv = *e, key = kv.substr(0, kv.find('='));
    bool overridden = false;
    for (const std::string& o : env) overridden |= o.rfind(key + "=", 0) == 0;
    if (!overridden) environment.push_back(kv);
  }
  std::vector<char*> argv, envp;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);

  std::filesystem::path outPath = scratch / "stdout", errPath = scratch / "stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int master = -1;
  if (stderrTerminal) {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return {};
    posix_spawn_file_actions_addopen(&actions, 2, ptsname(master), O_RDWR | O_NOCTTY, 0);
  } else {
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  std::string terminal;
  // The terminal's buffer is small: keep reading it while the child runs.
  auto drain = [&](int waitMs) {
    if (master < 0) return;
    pollfd p{master, POLLIN, 0};
    while (::poll(&p, 1, waitMs) > 0 && (p.revents & POLLIN)) {
      char chunk[4096];
      ssize_t n = ::read(master, chunk, sizeof chunk);
      if (n <= 0) break;
      terminal.append(chunk, static_cast<std::size_t>(n));
      waitMs = 0;
    }
  };
  pid_t pid = -1;
  Outcome outcome;
  int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    if (master >= 0) ::close(master);
    return outcome;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  int wstatus = 0;
  while (waitpid(pid, &wstatus, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &wstatus, 0);
      wstatus = -1;
      break;
    }
    if (master >= 0) drain(20);
    else std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  drain(0);
  if (master >= 0) ::close(master);
  if (wstatus != -1 && WIFEXITED(wstatus)) outcome.status = WEXITSTATUS(wstatus);
  outcome.out = Slurp(outPath);
  outcome.err = stderrTerminal ? terminal : Slurp(errPath);
  return outcome;
}

}  // namespace testchild
