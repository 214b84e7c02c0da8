// bugpost-send BASE: sends the crash report BASE.dmp + BASE.txt once, without a window.
// Standard output: "accepted" or "refused" (after libcurl's two start-up lines). Standard error:
// the progress, and why nothing was sent. Exit status: 0 accepted, 1 not accepted (or another
// bugpost instance holds the report lock), 2 usage error or missing report.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/ReportSource.h"
#include "app/SendReportThread.h"
#include "app/Startup.h"
#include "cli/ProgressMeter.h"
#include "platform/backend/headless/headless_backend.h"
#include "platform/win32/user/backend.h"
#include "platform/win32/windows.h"

namespace {

constexpr UINT WM_SEND_PROGRESS = WM_USER + 2;
// Progress travels as parts per million of the total, so it fits a WPARAM on any machine.
constexpr double kProgressScale = 1000000.0;

struct SenderState {
  ProgressMeter meter{stderr, ::isatty(STDERR_FILENO) == 1};
  bool done = false;
  WPARAM result = 0;
};
SenderState* gState = nullptr;

LRESULT CALLBACK SenderWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SEND_PROGRESS:
      gState->meter.Update(kProgressScale, static_cast<double>(wParam));
      return 0;
    case WM_SEND_RESULT:
      gState->result = wParam;
      gState->done = true;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

// What the worker reads of us; its callbacks run on the worker's thread and reach the UI
// thread through a sent message, as the dialog's do.
class SenderSource : public ReportSource, public UploadCallback {
 public:
  SenderSource(std::string basePath, HWND window) : basePath_(std::move(basePath)), window_(window) {}
  std::string BasePath() const override { return basePath_; }
  HWND Window() const override { return window_; }
  UploadCallback& Callback() override { return *this; }
  void OnStart() override {}
  void OnFinish(bool, int) override {}
  void OnProgress(double total, double now) override {
    if (!(total > 0)) return;
    double share = now >= total ? 1.0 : (now > 0 ? now / total : 0.0);
    SendMessageW(window_, WM_SEND_PROGRESS, static_cast<WPARAM>(share * kProgressScale), 0);
  }

 private:
  std::string basePath_;
  HWND window_;
};

int Usage() {
  std::fprintf(stderr, "usage: bugpost-send BASE   (sends BASE.dmp and BASE.txt)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '\0') return Usage();

  StartupDecision decision = DecideStartup();
  switch (decision.outcome) {
    case StartupOutcome::AnotherInstance:
      std::fprintf(stderr, "bugpost-send: another bugpost is running; the report was not sent\n");
      return 1;
    case StartupOutcome::EmptyBasePath:
      return Usage();
    case StartupOutcome::MissingDump:
      std::fprintf(stderr, "bugpost-send: cannot read %s.dmp\n", decision.basePath.c_str());
      return 2;
    case StartupOutcome::MissingText:
      std::fprintf(stderr, "bugpost-send: cannot read %s.txt\n", decision.basePath.c_str());
      return 2;
    case StartupOutcome::Run:
      break;
  }

  // Windowless by design: never open a display, even where one is available.
  bp::user::SetBackend(bp::headless::Instance());

  SenderState state;
  gState = &state;
  WNDCLASSEXW wc{};
  wc.lpfnWndProc = SenderWndProc;
  wc.lpszClassName = u"BugpostSend";
  RegisterClassExW(&wc);
  HWND window = CreateWindowExW(0, u"BugpostSend", u"bugpost-send", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                nullptr);
  if (!window) {
    std::fprintf(stderr, "bugpost-send: cannot create its message window\n");
    return 1;
  }

  SenderSource source(decision.basePath, window);
  HANDLE worker = CreateThread(nullptr, 0, SendReportThread, static_cast<ReportSource*>(&source), 0, nullptr);
  if (!worker) {
    std::fprintf(stderr, "bugpost-send: cannot start the upload\n");
    return 1;
  }
  MSG msg;
  while (!state.done && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  // The worker only returns after its result; let it end before the source goes away.
  WaitForSingleObject(worker, 10000);
  CloseHandle(worker);
  state.meter.Finish();
  DestroyWindow(window);

  bool accepted = state.done && state.result == 1;
  std::printf("%s\n", accepted ? "accepted" : "refused");
  std::fflush(stdout);
  return accepted ? 0 : 1;
}
