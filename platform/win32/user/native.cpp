// What backends report about their native windows, window regions, and the idle/wake machinery
// the headless backend drives.
#include <chrono>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/user/backend.h"
#include "platform/win32/user/paint_internal.h"
#include "platform/win32/user/state.h"

namespace bp::user {

thread_local bool t_fromBackend = false;

void WakeAllThreads() {
  Guard g(Lock());
  for (auto& [id, q] : Queues()) Wake(q.get());
}

bool WaitAllIdle(int timeoutMs) {
  auto self = CurrentQueue();
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    bool ownsWindows = false;
    {
      Guard g(Lock());
      for (auto& [h, w] : Windows())
        if (w->queue == self) {
          ownsWindows = true;
          break;
        }
    }
    if (ownsWindows) {
      MSG m;
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
          PostQuitMessage(static_cast<int>(m.wParam));  // left for the caller's own loop
          break;
        }
        TranslateMessage(&m);
        DispatchMessageW(&m);
      }
    }
    Guard g(Lock());
    bool busy = false;
    for (auto& [h, w] : Windows()) {
      ThreadQueue* q = w->queue.get();
      if (q == self.get()) {
        if (!q->sent.empty() || !q->posted.empty() || w->dirty || w->needsPresent) busy = true;
      } else if (q->alive && (!q->idle || !q->sent.empty() || !q->posted.empty())) {
        busy = true;
      }
      if (busy) break;
    }
    if (!busy) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    IdleSignal().wait_for(g, std::chrono::milliseconds(ownsWindows ? 2 : 20));
  }
}

void NativeMoved(HWND top, POINT p) {
  {
    Guard g(Lock());
    Window* w = Find(top);
    if (!w || (w->rect.left == p.x && w->rect.top == p.y)) return;
    int dx = p.x - w->rect.left, dy = p.y - w->rect.top;
    w->rect.left += dx;
    w->rect.right += dx;
    w->rect.top += dy;
    w->rect.bottom += dy;
  }
  SendMessageW(top, WM_MOVE, 0, MAKELPARAM(p.x, p.y));
}

void NativeResized(HWND top, int width, int height) {
  t_fromBackend = true;
  SetWindowPos(top, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  t_fromBackend = false;
}

void NativeMinimized(HWND top, bool minimized) {
  t_fromBackend = true;
  ShowWindow(top, minimized ? SW_MINIMIZE : SW_RESTORE);
  t_fromBackend = false;
}

void NativeCloseRequested(HWND top) { PostMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0); }

void NativeExposed(HWND top) {
  Guard g(Lock());
  if (Window* w = Find(top)) {
    w->needsPresent = true;
    Wake(w->queue.get());
  }
}

bool FromBackend() { return t_fromBackend; }

}  // namespace bp::user

using namespace bp::user;

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
  HRGN old = nullptr;
  bool top = false;
  {
    Guard g(Lock());
    Window* w = Find(hwnd);
    if (!w) return 0;
    old = w->region;
    w->region = region;  // the window owns it from now on
    top = w->IsTopLevel();
    if (redraw) InvalidateTree(w, nullptr, true);
  }
  if (old && old != region) DeleteObject(old);
  if (top) GetBackend()->WindowRegionChanged(hwnd, region);
  return 1;
}

int GetWindowRgn(HWND hwnd, HRGN region) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w || !w->region || !region) return ERROR;
  return CombineRgn(region, w->region, nullptr, RGN_COPY);
}
