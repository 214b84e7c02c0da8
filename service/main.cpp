// bugpost-service --listen HOST:PORT --data DIR [--max-body BYTES]
// Prints "listening on HOST:PORT" (the real port when PORT is 0) once it serves; stops on
// SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pthread.h>
#include <string>
#include <thread>

#include "service/BugService.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: bugpost-service --listen HOST:PORT --data DIR [--max-body BYTES]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  ServiceOptions options;
  bool haveListen = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (i + 1 >= argc) return Usage();
    std::string value = argv[++i];
    if (arg == "--listen") {
      std::size_t colon = value.rfind(':');
      if (colon == std::string::npos || colon == 0) return Usage();
      options.host = value.substr(0, colon);
      if (options.host.size() > 2 && options.host.front() == '[' && options.host.back() == ']')
        options.host = options.host.substr(1, options.host.size() - 2);
      char* end = nullptr;
      long port = std::strtol(value.c_str() + colon + 1, &end, 10);
      if (*end || port < 0 || port > 65535) return Usage();
      options.port = static_cast<int>(port);
      haveListen = true;
    } else if (arg == "--data") {
      options.dataDir = value;
    } else if (arg == "--max-body") {
      char* end = nullptr;
      options.maxBodyBytes = std::strtoull(value.c_str(), &end, 10);
      if (*end || options.maxBodyBytes == 0) return Usage();
    } else {
      return Usage();
    }
  }
  if (!haveListen || options.dataDir.empty()) return Usage();

  // Signals are taken by one thread with sigwait, so stopping never runs inside a handler.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  BugService service(options);
  std::string why;
  if (!service.Start(why)) {
    std::fprintf(stderr, "bugpost-service: %s\n", why.c_str());
    return 1;
  }
  std::printf("listening on %s:%d\n", options.host.c_str(), service.Port());
  std::fflush(stdout);

  std::thread stopper([&service, stopSignals] {
    int received = 0;
    sigwait(&stopSignals, &received);
    service.RequestStop();
  });
  service.Wait();
  // The server ended on its own: wake the stopper so it can be joined.
  pthread_kill(stopper.native_handle(), SIGTERM);
  stopper.join();
  return 0;
}
