// Pointer and key input: raw events from the backend become window messages on the thread that
// owns the window under the pointer (or the capture, or the focus).
#include <algorithm>
#include <cstdlib>

#include "platform/win32/kernel/thread.h"
#include "platform/win32/user/backend.h"
#include "platform/win32/user/commctrl.h"
#include "platform/win32/user/input_internal.h"
#include "platform/win32/user/paint_internal.h"

namespace bp::user {
namespace {

constexpr int kDoubleClickDistance = 4;
constexpr int kHoverDistance = 4;

ThreadQueue* CaptureQueue() {
  for (auto& [id, q] : Queues())
    if (q->capture && Find(q->capture)) return q.get();
  return nullptr;
}

WPARAM CurrentKeyFlags() {
  auto& in = Input();
  WPARAM f = 0;
  if (in.keys[VK_LBUTTON]) f |= MK_LBUTTON;
  if (in.keys[VK_RBUTTON]) f |= MK_RBUTTON;
  if (in.keys[VK_SHIFT]) f |= MK_SHIFT;
  if (in.keys[VK_CONTROL]) f |= MK_CONTROL;
  return f;
}

bool Contains(const Window* w, POINT local) {
  return local.x >= w->rect.left && local.x < w->rect.right && local.y >= w->rect.top && local.y < w->rect.bottom;
}

// The deepest shown, enabled window under a point of a top-level window. Lock held.
HWND Descend(Window* top, POINT screen) {
  Window* cur = top;
  for (;;) {
    POINT o = ClientOrigin(cur);
    POINT local{screen.x - o.x, screen.y - o.y};
    Window* next = nullptr;
    for (HWND h : cur->children) {
      Window* c = Find(h);
      if (c && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED) && Contains(c, local)) {
        next = c;
        break;
      }
    }
    if (!next) return cur->hwnd;
    cur = next;
  }
}

// Hit test down the tree: a window answering HTTRANSPARENT lets the pointer through to its parent.
HWND HitWindow(Guard& g, Window* top, POINT screen, LRESULT* hit) {
  HWND h = Descend(top, screen);
  g.unlock();
  LRESULT code = SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
  while (code == HTTRANSPARENT) {
    HWND parent = GetAncestor(h, GA_PARENT);
    if (!parent) break;
    h = parent;
    code = SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
  }
  g.lock();
  *hit = code;
  return h;
}

UINT ButtonMessage(int button, bool down, bool dbl, bool client) {
  static const UINT downs[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  UINT base = downs[std::clamp(button, 0, 2)];
  UINT m = base + (down ? (dbl ? 2 : 0) : 1);
  if (!client) m = m - WM_LBUTTONDOWN + WM_NCLBUTTONDOWN;
  return m;
}

void Push(std::vector<MSG>& out, HWND h, UINT msg, WPARAM w, LPARAM l, POINT pt) {
  MSG m;
  m.hwnd = h;
  m.message = msg;
  m.wParam = w;
  m.lParam = l;
  m.time = static_cast<DWORD>(Now());
  m.pt = pt;
  out.push_back(m);
}

void CookPointer(Guard& g, ThreadQueue* q, const InputEvent& e, std::vector<MSG>& out) {
  HWND target = nullptr;
  LRESULT hit = HTNOWHERE;
  bool captured = false;
  if (q->capture && Find(q->capture)) {
    target = q->capture;
    hit = HTCLIENT;
    captured = true;
  } else if (Window* top = TopLevelAtLocked(e.screen); top && top->queue.get() == q) {
    target = HitWindow(g, top, e.screen, &hit);
    if (!Find(target)) target = nullptr;
  }
  bool client = captured || hit == HTCLIENT;
  // Leaving: the tracked window is no longer the one under the pointer's client area.
  MouseTrack& t = q->track;
  if (t.hwnd && t.leave && (target != t.hwnd || !client)) {
    Push(out, t.hwnd, WM_MOUSELEAVE, 0, 0, e.screen);
    t = MouseTrack{};
  }
  if (t.hwnd && t.hover && target == t.hwnd &&
      (std::abs(e.screen.x - t.hoverOrigin.x) > kHoverDistance || std::abs(e.screen.y - t.hoverOrigin.y) > kHoverDistance)) {
    t.hoverStart = Now();
    t.hoverOrigin = e.screen;
  }
  q->lastPointerWindow = client ? target : nullptr;
  if (!target) return;
  UINT mouseMsg = e.kind == InputEvent::kMove ? WM_MOUSEMOVE : ButtonMessage(e.button, e.kind == InputEvent::kButtonDown, false, true);
  if (!captured) {
    g.unlock();
    SendMessageW(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(static_cast<int>(hit), mouseMsg));
    g.lock();
    if (!Find(target)) return;
  }
  Window* w = Find(target);
  POINT o = ClientOrigin(w);
  LPARAM clientPos = MAKELPARAM(e.screen.x - o.x, e.screen.y - o.y);
  LPARAM screenPos = MAKELPARAM(e.screen.x, e.screen.y);
  if (e.kind == InputEvent::kMove) {
    if (client) Push(out, target, WM_MOUSEMOVE, e.keyFlags, clientPos, e.screen);
    else Push(out, target, WM_NCMOUSEMOVE, static_cast<WPARAM>(hit), screenPos, e.screen);
    return;
  }
  bool down = e.kind == InputEvent::kButtonDown;
  bool dbl = false;
  if (down) {
    UINT plain = ButtonMessage(e.button, true, false, client);
    std::uint64_t now = Now();
    bool wantsDbl = !client || (w->cls->style & CS_DBLCLKS);
    dbl = wantsDbl && q->lastClickWindow == target && q->lastClickMessage == plain &&
          now - q->lastClickTime <= GetDoubleClickTime() &&
          std::abs(e.screen.x - q->lastClickPoint.x) <= kDoubleClickDistance &&
          std::abs(e.screen.y - q->lastClickPoint.y) <= kDoubleClickDistance;
    if (dbl) {
      q->lastClickWindow = nullptr;  // a third click starts again
    } else {
      q->lastClickWindow = target;
      q->lastClickMessage = plain;
      q->lastClickTime = now;
      q->lastClickPoint = e.screen;
    }
    // A click brings its top-level window forward.
    if (Window* top = TopLevelOf(w); top && Input().foreground != top->hwnd && !(top->exStyle & WS_EX_NOACTIVATE)) {
      HWND th = top->hwnd;
      g.unlock();
      SetActiveWindow(th);
      g.lock();
      if (!Find(target)) return;
    }
  }
  UINT m = ButtonMessage(e.button, down, dbl, client);
  if (client) Push(out, target, m, e.keyFlags, clientPos, e.screen);
  else Push(out, target, m, static_cast<WPARAM>(hit), screenPos, e.screen);
}

void CookKey(ThreadQueue* q, const InputEvent& e, std::vector<MSG>& out) {
  HWND target = q->focus && Find(q->focus) ? q->focus : (q->active && Find(q->active) ? q->active : nullptr);
  if (!target && e.target && Find(e.target)) target = e.target;
  if (!target) return;
  if (e.kind == InputEvent::kChar) {
    Push(out, target, WM_CHAR, e.key, 1, Input().pointer);
    return;
  }
  bool down = e.kind == InputEvent::kKeyDown;
  // With Alt held (and for Alt itself) keys are system keys, as F4 to close needs.
  bool sys = e.alt || e.key == VK_MENU;
  LPARAM l = (down ? 1 : static_cast<LPARAM>(0xC0000001u)) | (sys ? (1 << 29) : 0);
  UINT msg = sys ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  Push(out, target, msg, e.key, l, Input().pointer);
}

ThreadQueue* KeyQueue() {
  auto& in = Input();
  Window* w = in.foreground ? Find(in.foreground) : nullptr;
  if (!w)
    for (HWND h : TopLevels())
      if (Window* t = Find(h); t && (t->style & WS_VISIBLE) && !(t->exStyle & WS_EX_NOACTIVATE)) {
        w = t;
        break;
      }
  return w ? w->queue.get() : nullptr;
}

void PostPointer(const InputEvent& e) {
  Guard g(Lock());
  auto& in = Input();
  in.pointer = e.screen;
  if (e.kind == InputEvent::kButtonDown || e.kind == InputEvent::kButtonUp) {
    static const int vks[3] = {VK_LBUTTON, VK_RBUTTON, 4};
    in.keys[vks[std::clamp(e.button, 0, 2)]] = e.kind == InputEvent::kButtonDown;
  }
  InputEvent ev = e;
  ev.keyFlags = CurrentKeyFlags();
  ev.alt = in.keys[VK_MENU];
  ThreadQueue* target = CaptureQueue();
  auto pressed = in.pressQueue.lock();
  if (!target && pressed && pressed->alive) target = pressed.get();
  if (!target)
    if (Window* top = TopLevelAtLocked(e.screen)) target = top->queue.get();
  if (target) EnqueueInput(target, ev);
  if (e.kind == InputEvent::kButtonDown && target) {
    in.pressQueue = QueueOf(target->threadId);
  } else if (e.kind == InputEvent::kButtonUp && !in.keys[VK_LBUTTON] && !in.keys[VK_RBUTTON] && !in.keys[4]) {
    in.pressQueue.reset();
  }
  // A thread whose window the pointer left hears of it too, so it can send WM_MOUSELEAVE.
  for (auto& [id, q] : Queues())
    if (q.get() != target && (q->track.hwnd || q->lastPointerWindow)) {
      InputEvent moved = ev;
      moved.kind = InputEvent::kMove;
      EnqueueInput(q.get(), moved);
    }
}

}  // namespace

InputState& Input() {
  static auto* s = new InputState;
  return *s;
}

Window* TopLevelAtLocked(POINT p) {
  for (HWND h : TopLevels()) {
    Window* w = Find(h);
    if (!w || !(w->style & WS_VISIBLE) || w->iconic) continue;
    if (w->exStyle & WS_EX_TRANSPARENT) continue;
    if (p.x < w->rect.left || p.x >= w->rect.right || p.y < w->rect.top || p.y >= w->rect.bottom) continue;
    if (w->region && !RegionContains(w->region, p.x - w->rect.left, p.y - w->rect.top)) continue;
    return w;
  }
  return nullptr;
}

void CookFrontInput(Guard& g, ThreadQueue* q) {
  InputEvent e = q->posted.front().input;
  q->posted.pop_front();
  std::vector<MSG> out;
  if (e.kind == InputEvent::kMove || e.kind == InputEvent::kButtonDown || e.kind == InputEvent::kButtonUp)
    CookPointer(g, q, e, out);
  else
    CookKey(q, e, out);
  for (auto it = out.rbegin(); it != out.rend(); ++it) {
    QueueItem item;
    item.msg = *it;
    q->posted.push_front(item);
  }
}

void InputPointerMove(POINT screen) {
  InputEvent e;
  e.kind = InputEvent::kMove;
  e.screen = screen;
  PostPointer(e);
}

void InputButton(int button, bool down, POINT screen) {
  InputEvent e;
  e.kind = down ? InputEvent::kButtonDown : InputEvent::kButtonUp;
  e.button = button;
  e.screen = screen;
  PostPointer(e);
}

void InputKey(UINT vk, bool down) {
  Guard g(Lock());
  Input().keys[vk & 0xFF] = down;
  InputEvent e;
  e.kind = down ? InputEvent::kKeyDown : InputEvent::kKeyUp;
  e.key = vk;
  e.target = Input().foreground;
  e.alt = Input().keys[VK_MENU];
  e.keyFlags = CurrentKeyFlags();
  if (ThreadQueue* q = KeyQueue()) EnqueueInput(q, e);
}

void InputChar(WCHAR ch) {
  Guard g(Lock());
  InputEvent e;
  e.kind = InputEvent::kChar;
  e.key = ch;
  e.target = Input().foreground;
  if (ThreadQueue* q = KeyQueue()) EnqueueInput(q, e);
}

LRESULT HitTestAt(HWND topLevel, POINT screen) {
  Guard g(Lock());
  Window* top = Find(topLevel);
  if (!top) return HTNOWHERE;
  LRESULT hit = HTNOWHERE;
  HitWindow(g, top, screen, &hit);
  return hit;
}

HCURSOR CurrentCursor() {
  Guard g(Lock());
  return Input().cursor;
}

}  // namespace bp::user

using namespace bp::user;

HWND SetCapture(HWND hwnd) {
  auto q = CurrentQueue();
  HWND old;
  {
    Guard g(Lock());
    if (!Find(hwnd)) return nullptr;
    old = q->capture;
    q->capture = hwnd;
  }
  if (old && old != hwnd) SendMessageW(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  if (auto b = ExistingBackend()) b->CaptureChanged(hwnd);
  return old;
}

BOOL ReleaseCapture() {
  auto q = CurrentQueue();
  HWND old;
  {
    Guard g(Lock());
    old = q->capture;
    q->capture = nullptr;
  }
  if (old) {
    SendMessageW(old, WM_CAPTURECHANGED, 0, 0);
    if (auto b = ExistingBackend()) b->CaptureChanged(nullptr);
  }
  return TRUE;
}

HWND GetCapture() {
  auto q = CurrentQueue();
  Guard g(Lock());
  return q->capture;
}

HWND SetFocus(HWND hwnd) {
  auto q = CurrentQueue();
  HWND old;
  HWND top = nullptr;
  {
    Guard g(Lock());
    old = q->focus;
    if (hwnd) {
      Window* w = Find(hwnd);
      if (!w || w->queue != q || (w->style & WS_DISABLED)) return nullptr;
      if (Window* t = TopLevelOf(w)) top = t->hwnd;
    }
    if (old == hwnd) return old;
    q->focus = hwnd;
  }
  if (top && top != GetActiveWindow()) SetActiveWindow(top);
  if (old) SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd) SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() {
  auto q = CurrentQueue();
  Guard g(Lock());
  return q->focus && Find(q->focus) ? q->focus : nullptr;
}

HWND GetActiveWindow() {
  auto q = CurrentQueue();
  Guard g(Lock());
  return q->active && Find(q->active) ? q->active : nullptr;
}

HWND SetActiveWindow(HWND hwnd) {
  auto q = CurrentQueue();
  HWND old;
  {
    Guard g(Lock());
    Window* w = Find(hwnd);
    if (!w || w->queue != q) return nullptr;
    Window* top = TopLevelOf(w);
    hwnd = top->hwnd;
    old = q->active;
    q->active = hwnd;
    Input().foreground = hwnd;
    if (old == hwnd) return old;
  }
  if (old && IsWindow(old)) SendMessageW(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
  SendMessageW(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
  return old;
}

HWND GetForegroundWindow() {
  Guard g(Lock());
  return Find(Input().foreground) ? Input().foreground : nullptr;
}

BOOL SetForegroundWindow(HWND hwnd) { return SetActiveWindow(hwnd) || GetActiveWindow() == hwnd; }

BOOL GetCursorPos(LPPOINT point) {
  if (!point) return FALSE;
  Guard g(Lock());
  *point = Input().pointer;
  return TRUE;
}

short GetKeyState(int vk) {
  Guard g(Lock());
  return Input().keys[vk & 0xFF] ? static_cast<short>(0x8000) : 0;
}
short GetAsyncKeyState(int vk) { return GetKeyState(vk); }

BOOL _TrackMouseEvent(LPTRACKMOUSEEVENT tme) {
  if (!tme || tme->cbSize < sizeof(TRACKMOUSEEVENT)) return FALSE;
  auto q = CurrentQueue();
  Guard g(Lock());
  MouseTrack& t = q->track;
  if (tme->dwFlags & TME_QUERY) {
    tme->dwFlags = (t.leave ? TME_LEAVE : 0) | (t.hover ? TME_HOVER : 0);
    tme->hwndTrack = t.hwnd;
    tme->dwHoverTime = t.hoverTime;
    return TRUE;
  }
  Window* w = Find(tme->hwndTrack);
  if (!w || w->queue != q) return FALSE;
  if (tme->dwFlags & TME_CANCEL) {
    if (t.hwnd == tme->hwndTrack) {
      if (tme->dwFlags & TME_LEAVE) t.leave = false;
      if (tme->dwFlags & TME_HOVER) t.hover = false;
      if (!t.leave && !t.hover) t = MouseTrack{};
    }
    return TRUE;
  }
  if (q->lastPointerWindow != tme->hwndTrack) {
    // The pointer is elsewhere already: the leave comes at once.
    if (tme->dwFlags & TME_LEAVE) {
      MSG m;
      m.hwnd = tme->hwndTrack;
      m.message = WM_MOUSELEAVE;
      Enqueue(q.get(), m);
    }
    return TRUE;
  }
  if (t.hwnd != tme->hwndTrack) t = MouseTrack{};
  t.hwnd = tme->hwndTrack;
  if (tme->dwFlags & TME_LEAVE) t.leave = true;
  if (tme->dwFlags & TME_HOVER) {
    t.hover = true;
    t.hoverTime = tme->dwHoverTime == HOVER_DEFAULT ? 400 : tme->dwHoverTime;
    t.hoverStart = Now();
    t.hoverOrigin = Input().pointer;
  }
  Wake(q.get());
  return TRUE;
}
