// Figures for the window layer: posting and dispatching on one thread, a SendMessageW round trip
// to another thread (what each progress report of an upload costs the worker), and one paint
// cycle of a dialog-sized window with a few children on the headless backend.
// Build and run: cmake --build <tree> --target user_bench && <tree>/tools/user_bench
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "platform/backend/headless/headless.h"
#include "platform/win32/windows.h"

namespace {

LRESULT CALLBACK Counting(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) return static_cast<LRESULT>(w + 1);
  if (m == WM_PAINT || m == WM_ERASEBKGND) {
    if (m == WM_ERASEBKGND) {
      RECT r;
      GetClientRect(h, &r);
      HBRUSH b = CreateSolidBrush(RGB(240, 240, 240));
      FillRect(reinterpret_cast<HDC>(w), &r, b);
      DeleteObject(b);
      return 1;
    }
  }
  return DefWindowProcW(h, m, w, l);
}

void Register() {
  static bool done = [] {
    WNDCLASSEXW wc;
    wc.lpfnWndProc = Counting;
    wc.lpszClassName = u"BenchWnd";
    return RegisterClassExW(&wc) != 0;
  }();
  (void)done;
}

void BM_PostAndDispatch(benchmark::State& state) {
  Register();
  HWND h = CreateWindowExW(0, u"BenchWnd", u"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  MSG m;
  for (auto _ : state) {
    PostMessageW(h, WM_USER, 1, 0);
    PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);
    benchmark::DoNotOptimize(DispatchMessageW(&m));
  }
  DestroyWindow(h);
}
BENCHMARK(BM_PostAndDispatch);

void BM_SendToAnotherThread(benchmark::State& state) {
  Register();
  std::atomic<HWND> target{nullptr};
  std::atomic<bool> stop{false};
  std::thread ui([&] {
    target = CreateWindowExW(0, u"BenchWnd", u"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    MSG m;
    while (!stop) {
      if (GetMessageW(&m, nullptr, 0, 0) <= 0) break;
      DispatchMessageW(&m);
    }
    DestroyWindow(target);
  });
  while (!target) std::this_thread::yield();
  for (auto _ : state) benchmark::DoNotOptimize(SendMessageW(target, WM_USER, 1, 0));
  stop = true;
  PostMessageW(target, WM_NULL, 0, 0);
  ui.join();
}
BENCHMARK(BM_SendToAnotherThread)->UseRealTime();

void BM_PaintCycleHeadless(benchmark::State& state) {
  bp::headless::Use();
  Register();
  HWND top = CreateWindowExW(0, u"BenchWnd", u"", WS_POPUP | WS_VISIBLE, 0, 0, 382, 262, nullptr, nullptr, nullptr,
                             nullptr);
  for (int i = 0; i < 4; ++i)
    CreateWindowExW(0, u"BenchWnd", u"", WS_CHILD | WS_VISIBLE, 30, 30 + 40 * i, 300, 30, top, nullptr, nullptr,
                    nullptr);
  bp::headless::WaitIdle();
  for (auto _ : state) {
    InvalidateRect(top, nullptr, TRUE);
    bp::headless::WaitIdle();
  }
  state.counters["presents"] = bp::headless::PresentCount(top);
  DestroyWindow(top);
}
BENCHMARK(BM_PaintCycleHeadless);

}  // namespace

BENCHMARK_MAIN();
