#include "platform/win32/user/state.h"

#include <unistd.h>

#include <algorithm>

#include "platform/win32/kernel/thread.h"
#include "platform/win32/user/backend.h"

namespace bp::user {
namespace {

// Never destroyed: threads may still post while the process exits.
struct Tables {
  std::mutex lock;
  std::unordered_map<HWND, std::unique_ptr<Window>> windows;
  std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> queues;
  std::vector<HWND> topLevels;
};
Tables& T() {
  static Tables* t = new Tables;
  return *t;
}

// Ends the thread's queue when the thread ends: pending senders are released with 0.
struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueHolder() {
    if (!queue) return;
    Guard g(Lock());
    queue->alive = false;
    for (auto& s : queue->sent) {
      s->done = true;
      if (s->sender) s->sender->wake.notify_all();
    }
    queue->sent.clear();
    queue->posted.clear();
    ForgetThreadWindows(queue.get());
    Queues().erase(queue->threadId);
  }
};
thread_local QueueHolder t_holder;

}  // namespace

std::mutex& Lock() { return T().lock; }
std::unordered_map<HWND, std::unique_ptr<Window>>& Windows() { return T().windows; }
std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>>& Queues() { return T().queues; }
std::vector<HWND>& TopLevels() { return T().topLevels; }

Window* Find(HWND hwnd) {
  auto& w = Windows();
  auto it = w.find(hwnd);
  return it == w.end() ? nullptr : it->second.get();
}

Window* TopLevelOf(Window* w) {
  while (w && w->parent) w = Find(w->parent);
  return w;
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
  if (t_holder.queue) return t_holder.queue;
  auto q = std::make_shared<ThreadQueue>();
  q->threadId = GetCurrentThreadId();
  {
    Guard g(Lock());
    Queues()[q->threadId] = q;
  }
  t_holder.queue = q;
  return q;
}

std::shared_ptr<ThreadQueue> QueueOf(DWORD threadId) {
  auto& q = Queues();
  auto it = q.find(threadId);
  return it == q.end() ? nullptr : it->second;
}

void Wake(ThreadQueue* q) {
  q->idle = false;
  q->wake.notify_all();
}

void Enqueue(ThreadQueue* q, const MSG& msg) {
  QueueItem item;
  item.msg = msg;
  q->posted.push_back(item);
  Wake(q);
}

void EnqueueInput(ThreadQueue* q, const InputEvent& e) {
  QueueItem item;
  item.isInput = true;
  item.input = e;
  q->posted.push_back(item);
  Wake(q);
}

POINT ClientOrigin(Window* w) {
  POINT p{0, 0};
  for (; w; w = w->parent ? Find(w->parent) : nullptr) {
    p.x += w->rect.left;
    p.y += w->rect.top;
  }
  return p;
}

RECT ScreenRect(Window* w) {
  POINT o = ClientOrigin(w);
  return RECT{o.x, o.y, o.x + (w->rect.right - w->rect.left), o.y + (w->rect.bottom - w->rect.top)};
}

void ForgetThreadWindows(ThreadQueue* q) {
  // A thread that ends leaves its windows behind without messages; nobody can serve them.
  auto& all = Windows();
  std::vector<HWND> gone;
  for (auto& [h, w] : all)
    if (w->queue.get() == q) gone.push_back(h);
  for (HWND h : gone) {
    Window* w = Find(h);
    if (w->parent)
      if (Window* p = Find(w->parent)) std::erase(p->children, h);
  }
  for (HWND h : gone) {
    std::erase(TopLevels(), h);
    all.erase(h);
  }
}

}  // namespace bp::user
