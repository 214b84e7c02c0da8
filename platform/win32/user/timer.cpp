// Timers (WM_TIMER after everything else, on the backend's clock) and the hover half of
// mouse tracking, which runs on the same clock.
#include <algorithm>
#include <climits>

#include "platform/win32/user/backend.h"
#include "platform/win32/user/state.h"

namespace bp::user {

bool TakeTimerMessage(Guard&, ThreadQueue* q, HWND filter, bool remove, MSG* out) {
  std::uint64_t now = Now();
  for (auto& t : q->timers) {
    if (t.due > now) continue;
    if (filter && filter != t.hwnd) continue;
    *out = MSG{};
    out->hwnd = t.hwnd;
    out->message = WM_TIMER;
    out->wParam = t.id;
    out->lParam = reinterpret_cast<LPARAM>(t.proc);
    out->time = static_cast<DWORD>(now);
    // A late timer fires once, not once per period it missed.
    if (remove) t.due = now + std::max<UINT>(t.elapse, 1);
    return true;
  }
  return false;
}

std::uint64_t NextDeadline(ThreadQueue* q) {
  std::uint64_t d = UINT64_MAX;
  for (auto& t : q->timers) d = std::min(d, t.due);
  if (q->track.hwnd && q->track.hover) d = std::min(d, q->track.hoverStart + q->track.hoverTime);
  return d;
}

void CheckHover(ThreadQueue* q) {
  MouseTrack& t = q->track;
  if (!t.hwnd || !t.hover) return;
  if (Now() < t.hoverStart + t.hoverTime) return;
  Window* w = Find(t.hwnd);
  if (!w) {
    t = MouseTrack{};
    return;
  }
  t.hover = false;  // one notification per request
  POINT o = ClientOrigin(w);
  MSG m;
  m.hwnd = t.hwnd;
  m.message = WM_MOUSEHOVER;
  m.wParam = 0;
  m.lParam = MAKELPARAM(t.hoverOrigin.x - o.x, t.hoverOrigin.y - o.y);
  m.time = static_cast<DWORD>(Now());
  m.pt = t.hoverOrigin;
  Enqueue(q, m);
  if (!t.leave) t = MouseTrack{};
}

}  // namespace bp::user

using namespace bp::user;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  auto self = CurrentQueue();
  Guard g(Lock());
  ThreadQueue* q = self.get();
  if (hwnd) {
    Window* w = Find(hwnd);
    if (!w || w->queue.get() != q) return 0;
  } else {
    // Thread timers get ids of their own.
    static UINT_PTR next = 0x7FFF0000;
    id = ++next;
  }
  elapse = std::clamp<UINT>(elapse, 10, 0x7FFFFFFF);
  auto it = std::find_if(q->timers.begin(), q->timers.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  Timer t{hwnd, id, elapse, proc, Now() + elapse};
  if (it != q->timers.end()) *it = t;
  else q->timers.push_back(t);
  Wake(q);
  return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto self = CurrentQueue();
  Guard g(Lock());
  auto n = std::erase_if(self->timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  return n ? TRUE : FALSE;
}

UINT GetDoubleClickTime() { return 500; }
