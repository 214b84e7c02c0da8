// Posting, sending and retrieving messages.
#include <algorithm>
#include <climits>

#include "platform/win32/kernel/error.h"
#include "platform/win32/kernel/thread.h"
#include "platform/win32/user/backend.h"
#include "platform/win32/user/state.h"

namespace bp::user {

std::condition_variable& IdleSignal() {
  static auto* cv = new std::condition_variable;
  return *cv;
}
void IdleChanged() { IdleSignal().notify_all(); }

namespace {

thread_local int t_inSend = 0;

bool Matches(const MSG& m, HWND filter, UINT lo, UINT hi) {
  if (filter == reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1))) {
    if (m.hwnd) return false;
  } else if (filter && m.hwnd != filter) {
    return false;
  }
  if (lo == 0 && hi == 0) return true;
  return m.message >= lo && m.message <= hi;
}

// Handles one message sent from another thread. Lock held on entry and exit.
void ServeOne(Guard& g, ThreadQueue* q) {
  auto s = q->sent.front();
  q->sent.pop_front();
  g.unlock();
  ++t_inSend;
  LRESULT r = CallProc(s->hwnd, s->msg, s->wParam, s->lParam);
  --t_inSend;
  g.lock();
  s->result = r;
  s->done = true;
  if (s->sender) s->sender->wake.notify_all();
}

// Waits until the queue has work or `deadline` (backend clock) passes. Lock held.
void WaitForWork(Guard& g, ThreadQueue* q, std::uint64_t deadline) {
  auto backend = ExistingBackend();
  q->idle = true;
  IdleChanged();
  bool real = !backend || backend->RealTime();
  while (q->idle) {
    if (!real) {
      // Virtual clock: only new work or a clock step (which wakes us) can change anything.
      q->wake.wait(g);
      break;
    }
    std::uint64_t now = Now();
    if (deadline != UINT64_MAX && now >= deadline) break;
    if (!backend && deadline == UINT64_MAX) {
      q->wake.wait(g);  // nothing on a screen to look at: only new work can wake us
      break;
    }
    // A backend reads its native events on this thread: poll it at a short interval.
    std::uint64_t slice = backend ? 10 : UINT64_MAX;
    if (deadline != UINT64_MAX) slice = std::min<std::uint64_t>(slice, deadline - now);
    q->wake.wait_for(g, std::chrono::milliseconds(slice));
    if (!q->idle) break;
    if (backend) {
      q->lastPump = now;
      g.unlock();
      backend->Pump();
      g.lock();
    }
    if (!q->sent.empty() || !q->posted.empty()) break;
  }
  q->idle = false;
}

}  // namespace


LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc = nullptr;
  {
    Guard g(Lock());
    Window* w = Find(hwnd);
    if (!w) return 0;
    proc = w->proc;
  }
  return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

// The message retrieval of GetMessageW and PeekMessageW.
bool Retrieve(MSG* out, HWND filter, UINT lo, UINT hi, UINT flags, bool wait) {
  auto qp = CurrentQueue();
  ThreadQueue* q = qp.get();
  bool remove = (flags & PM_REMOVE) != 0;
  auto backend = ExistingBackend();
  bool pumps = backend && backend->RealTime();
  Guard g(Lock());
  for (;;) {
    // A thread kept busy (a worker sending progress without pause) still reads the screen's
    // events often enough to answer the user, a click on close among them.
    if (pumps) {
      std::uint64_t now = Now();
      if (now - q->lastPump >= 10) {
        q->lastPump = now;
        g.unlock();
        backend->Pump();
        g.lock();
      }
    }
    if (!q->sent.empty()) {
      ServeOne(g, q);
      continue;
    }
    // Posted messages and raw input, in the order they came.
    bool restart = false;
    for (auto it = q->posted.begin(); it != q->posted.end(); ++it) {
      if (it->isInput) {
        if (it != q->posted.begin()) break;  // input is turned into messages only at the front
        CookFrontInput(g, q);
        restart = true;
        break;
      }
      if (it->msg.hwnd && !Find(it->msg.hwnd)) {
        q->posted.erase(it);  // its window is gone
        restart = true;
        break;
      }
      if (!Matches(it->msg, filter, lo, hi)) continue;
      *out = it->msg;
      if (remove) q->posted.erase(it);
      q->lastMessage = *out;
      return true;
    }
    if (restart) continue;
    if (q->quit && ((lo == 0 && hi == 0) || (WM_QUIT >= lo && WM_QUIT <= hi))) {
      *out = MSG{};
      out->message = WM_QUIT;
      out->wParam = static_cast<WPARAM>(q->quitCode);
      if (remove) q->quit = false;
      return true;
    }
    bool paintWanted = (lo == 0 && hi == 0) || (WM_PAINT >= lo && WM_PAINT <= hi);
    if (paintWanted && TakePaintMessage(g, q, filter, out)) {
      q->lastMessage = *out;
      return true;
    }
    PresentPending(g, q);
    if (!q->sent.empty() || !q->posted.empty()) continue;
    CheckHover(q);
    if (!q->posted.empty()) continue;
    if ((lo == 0 && hi == 0) || (WM_TIMER >= lo && WM_TIMER <= hi)) {
      if (TakeTimerMessage(g, q, filter, remove, out)) {
        q->lastMessage = *out;
        return true;
      }
      if (!q->sent.empty() || !q->posted.empty()) continue;
    }
    if (!wait) return false;
    WaitForWork(g, q, NextDeadline(q));
  }
}

bool InSendFromOtherThread() { return t_inSend > 0; }

}  // namespace bp::user

using namespace bp::user;

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!hwnd) return PostThreadMessageW(GetCurrentThreadId(), msg, wParam, lParam);
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (!w->queue->alive) return FALSE;
  MSG m;
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = static_cast<DWORD>(Now());
  Enqueue(w->queue.get(), m);
  return TRUE;
}

BOOL PostThreadMessageW(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (threadId == GetCurrentThreadId()) CurrentQueue();
  Guard g(Lock());
  auto q = QueueOf(threadId);
  if (!q || !q->alive) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  MSG m;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = static_cast<DWORD>(Now());
  Enqueue(q.get(), m);
  return TRUE;
}

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto self = CurrentQueue();
  std::shared_ptr<ThreadQueue> target;
  {
    Guard g(Lock());
    Window* w = Find(hwnd);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    target = w->queue;
  }
  if (target == self) return CallProc(hwnd, msg, wParam, lParam);
  auto s = std::make_shared<SentMessage>();
  s->hwnd = hwnd;
  s->msg = msg;
  s->wParam = wParam;
  s->lParam = lParam;
  s->sender = self;
  Guard g(Lock());
  if (!target->alive) return 0;
  target->sent.push_back(s);
  Wake(target.get());
  // While waiting, serve what others send to this thread, so two threads sending to each other
  // (or a worker sending while this thread posts) never block each other.
  while (!s->done) {
    if (!self->sent.empty()) {
      ServeOne(g, self.get());
      continue;
    }
    self->wake.wait(g);
  }
  return s->result;
}

BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (!msg) return -1;
  if (hwnd && hwnd != reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)) && !IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  Retrieve(msg, hwnd, filterMin, filterMax, PM_REMOVE, true);
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  MSG local;
  if (!msg) msg = &local;
  return Retrieve(msg, hwnd, filterMin, filterMax, removeFlags, false) ? TRUE : FALSE;
}

BOOL WaitMessage() {
  auto q = CurrentQueue();
  Guard g(Lock());
  if (!q->sent.empty() || !q->posted.empty() || q->quit) return TRUE;
  WaitForWork(g, q.get(), NextDeadline(q.get()));
  return TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
  // Key-down messages make WM_CHAR for the printable keys the dialogs use.
  if (!msg || msg->message != WM_KEYDOWN) return FALSE;
  UINT vk = static_cast<UINT>(msg->wParam);
  WCHAR ch = 0;
  if (vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_SPACE || vk == VK_TAB || vk == VK_BACK)
    ch = static_cast<WCHAR>(vk);
  else if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
    ch = static_cast<WCHAR>(vk >= 'A' ? vk - 'A' + 'a' : vk);
  if (!ch) return FALSE;
  Guard g(Lock());
  Window* w = Find(msg->hwnd);
  if (!w) return FALSE;
  MSG m = *msg;
  m.message = WM_CHAR;
  m.wParam = ch;
  QueueItem item;
  item.msg = m;
  w->queue->posted.push_front(item);
  return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    proc(msg->hwnd, WM_TIMER, msg->wParam, static_cast<DWORD>(Now()));
    return 0;
  }
  if (!msg->hwnd) return 0;
  return CallProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode) {
  auto q = CurrentQueue();
  Guard g(Lock());
  q->quit = true;
  q->quitCode = exitCode;
  Wake(q.get());
}

DWORD GetMessageTime() {
  auto q = CurrentQueue();
  Guard g(Lock());
  return q->lastMessage.time;
}

DWORD GetMessagePos() {
  auto q = CurrentQueue();
  Guard g(Lock());
  return static_cast<DWORD>(MAKELPARAM(q->lastMessage.pt.x, q->lastMessage.pt.y));
}

BOOL InSendMessage() { return InSendFromOtherThread() ? TRUE : FALSE; }
