// The window tree: parents, visibility, positions, rectangles and text.
#include <algorithm>

#include "platform/win32/kernel/error.h"
#include "platform/win32/user/backend.h"
#include "platform/win32/user/input_internal.h"
#include "platform/win32/user/paint_internal.h"
#include "platform/win32/user/state.h"

using namespace bp::user;

HWND GetParent(HWND hwnd) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  if (w->parent) return w->parent;
  return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  if (flags == GA_PARENT) return w->parent;
  Window* top = TopLevelOf(w);
  if (flags == GA_ROOTOWNER)
    while (top && top->owner) top = Find(top->owner);
  return top ? top->hwnd : nullptr;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  if (cmd == GW_OWNER) return w->owner;
  if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  const std::vector<HWND>* siblings = &TopLevels();
  if (w->parent) siblings = &Find(w->parent)->children;
  auto it = std::find(siblings->begin(), siblings->end(), hwnd);
  if (it == siblings->end()) return nullptr;
  switch (cmd) {
    case GW_HWNDFIRST: return siblings->front();
    case GW_HWNDLAST: return siblings->back();
    case GW_HWNDNEXT: return it + 1 == siblings->end() ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == siblings->begin() ? nullptr : *(it - 1);
  }
  return nullptr;
}

HWND SetParent(HWND child, HWND newParent) {
  Guard g(Lock());
  Window* w = Find(child);
  Window* p = newParent ? Find(newParent) : nullptr;
  if (!w || (newParent && !p)) return nullptr;
  HWND old = w->parent;
  if (old) std::erase(Find(old)->children, child);
  w->parent = newParent;
  if (p) p->children.push_back(child);
  return old;
}

BOOL IsChild(HWND parent, HWND hwnd) {
  Guard g(Lock());
  for (Window* w = Find(hwnd); w && w->parent; w = Find(w->parent))
    if (w->parent == parent) return TRUE;
  return FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
  Guard g(Lock());
  for (Window* w = Find(hwnd); w; w = w->parent ? Find(w->parent) : nullptr)
    if (!(w->style & WS_VISIBLE)) return FALSE;
  return Find(hwnd) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  return w && w->iconic ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  bool wasDisabled;
  {
    Guard g(Lock());
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable) w->style &= ~WS_DISABLED;
    else w->style |= WS_DISABLED;
    if (!enable) {
      ThreadQueue* q = w->queue.get();
      if (q->focus == hwnd) q->focus = nullptr;
      if (q->capture == hwnd) q->capture = nullptr;
    }
  }
  if (wasDisabled == !enable) return wasDisabled;
  SendMessageW(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled ? TRUE : FALSE;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  bool wasVisible, top, minimize = false, restore = false, activate = false;
  HWND focusTo = nullptr;
  {
    Guard g(Lock());
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    wasVisible = (w->style & WS_VISIBLE) != 0;
    top = w->IsTopLevel();
    bool show = cmd != SW_HIDE;
    if (cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE) {
      minimize = !w->iconic;
      w->iconic = true;
    } else if ((cmd == SW_RESTORE || cmd == SW_SHOWNORMAL) && w->iconic) {
      restore = true;
      w->iconic = false;
    }
    if (show == wasVisible && !minimize && !restore) return wasVisible;
    if (show && !wasVisible) {
      w->style |= WS_VISIBLE;
      InvalidateTree(w, nullptr, true);
      if (top) {
        // A window shown comes to the top.
        auto& tops = TopLevels();
        std::erase(tops, hwnd);
        tops.insert(tops.begin(), hwnd);
        activate = cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && cmd != SW_SHOWMINNOACTIVE &&
                   !(w->exStyle & WS_EX_NOACTIVATE);
      }
    } else if (!show && wasVisible) {
      w->style &= ~WS_VISIBLE;
      InvalidateUnder(w);
      ThreadQueue* q = w->queue.get();
      if (q->capture == hwnd) q->capture = nullptr;
      // A hidden window cannot keep the keyboard: a hidden button must not be pressed with
      // the space bar. The focus goes to the parent.
      for (Window* f = Find(q->focus); f && w->parent; f = f->parent ? Find(f->parent) : nullptr)
        if (f == w) {
          focusTo = w->parent;
          break;
        }
    }
  }
  if (focusTo) SetFocus(focusTo);
  if (!wasVisible != (cmd == SW_HIDE)) SendMessageW(hwnd, WM_SHOWWINDOW, cmd != SW_HIDE, 0);
  if (top) GetBackend()->WindowShown(hwnd, cmd != SW_HIDE);
  if (minimize) {
    if (top && !FromBackend()) GetBackend()->WindowMinimized(hwnd);
    SendMessageW(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
  }
  if (restore) {
    RECT r;
    GetClientRect(hwnd, &r);
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.right, r.bottom));
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  if (activate) SetActiveWindow(hwnd);
  return wasVisible ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  bool moved = false, sized = false, top = false;
  RECT screen;
  int w0 = 0, h0 = 0;
  {
    Guard g(Lock());
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    RECT r = w->rect;
    RECT nr = r;
    if (!(flags & SWP_NOMOVE)) {
      nr.left = x;
      nr.top = y;
    }
    int width = (flags & SWP_NOSIZE) ? r.right - r.left : std::max(0, cx);
    int height = (flags & SWP_NOSIZE) ? r.bottom - r.top : std::max(0, cy);
    nr.right = nr.left + width;
    nr.bottom = nr.top + height;
    moved = nr.left != r.left || nr.top != r.top;
    sized = (nr.right - nr.left) != (r.right - r.left) || (nr.bottom - nr.top) != (r.bottom - r.top);
    top = w->IsTopLevel();
    if (!(flags & SWP_NOZORDER)) {
      std::vector<HWND>* siblings = w->parent ? &Find(w->parent)->children : (top ? &TopLevels() : nullptr);
      if (siblings) {
        std::erase(*siblings, hwnd);
        if (insertAfter == HWND_BOTTOM) {
          siblings->push_back(hwnd);
        } else {
          auto it = std::find(siblings->begin(), siblings->end(), insertAfter);
          siblings->insert(it == siblings->end() ? siblings->begin() : it + 1, hwnd);
        }
      }
    }
    if (moved || sized) {
      bool redraw = !(flags & SWP_NOREDRAW);
      if (redraw && w->parent && (w->style & WS_VISIBLE)) InvalidateUnder(w);
      w->rect = nr;
      if (sized && w->surface) {
        w->surface->Resize(width, height);
        InvalidateTree(w, nullptr, true);
      } else if (redraw && (w->style & WS_VISIBLE)) {
        // A moved child shows its whole face at its new place.
        if (w->parent) InvalidateTree(w, nullptr, true);
      }
    }
    screen = ScreenRect(w);
    w0 = width;
    h0 = height;
  }
  if (moved || sized) {
    if (top && !FromBackend()) GetBackend()->WindowMoved(hwnd, screen);
    if (moved) {
      RECT r;
      GetWindowRect(hwnd, &r);
      POINT p{r.left, r.top};
      if (HWND parent = GetAncestor(hwnd, GA_PARENT)) ScreenToClient(parent, &p);
      SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(p.x, p.y));
    }
    if (sized) SendMessageW(hwnd, WM_SIZE, IsIconic(hwnd) ? SIZE_MINIMIZED : SIZE_RESTORED, MAKELPARAM(w0, h0));
  }
  if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w || !rect) return FALSE;
  *rect = ScreenRect(w);
  return TRUE;
}

// Windows have no non-client area here: the client rectangle is the whole window. The program's
// frame removes its caption and border anyway, and the controls draw their own edges.
BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w || !rect) return FALSE;
  *rect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w || !point) return FALSE;
  POINT o = ClientOrigin(w);
  point->x -= o.x;
  point->y -= o.y;
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w || !point) return FALSE;
  POINT o = ClientOrigin(w);
  point->x += o.x;
  point->y += o.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  Guard g(Lock());
  POINT a{0, 0}, b{0, 0};
  if (from)
    if (Window* w = Find(from)) a = ClientOrigin(w);
  if (to)
    if (Window* w = Find(to)) b = ClientOrigin(w);
  int dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  return MAKELPARAM(dx, dy);
}

HWND ChildWindowFromPoint(HWND parent, POINT p) {
  Guard g(Lock());
  Window* w = Find(parent);
  if (!w) return nullptr;
  int cw = w->rect.right - w->rect.left, ch = w->rect.bottom - w->rect.top;
  if (p.x < 0 || p.y < 0 || p.x >= cw || p.y >= ch) return nullptr;
  for (HWND c : w->children) {
    Window* cwnd = Find(c);
    if (cwnd && (cwnd->style & WS_VISIBLE) && p.x >= cwnd->rect.left && p.x < cwnd->rect.right &&
        p.y >= cwnd->rect.top && p.y < cwnd->rect.bottom)
      return c;
  }
  return parent;
}

HWND WindowFromPoint(POINT p) {
  HWND top = TopLevelAt(p);
  if (!top) return nullptr;
  HWND cur = top;
  for (;;) {
    POINT c = p;
    ScreenToClient(cur, &c);
    HWND next = ChildWindowFromPoint(cur, c);
    if (!next || next == cur) return cur;
    cur = next;
  }
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
  return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u"")) ? TRUE : FALSE;
}

int GetWindowTextW(HWND hwnd, LPWSTR buffer, int maxCount) {
  if (!buffer || maxCount <= 0) return 0;
  return static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND hwnd) { return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)); }

HWND GetDesktopWindow() {
  static const HWND desktop = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x8));
  return desktop;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
  std::vector<HWND> tops;
  {
    Guard g(Lock());
    tops = TopLevels();
  }
  for (HWND h : tops) {
    WCHAR buf[256];
    if (className && !IS_INTRESOURCE(className)) {
      GetClassNameW(h, buf, 256);
      if (std::u16string(buf) != className) continue;
    }
    if (windowName) {
      Guard g(Lock());
      Window* w = Find(h);
      if (!w || w->text != windowName) continue;
    }
    return h;
  }
  return nullptr;
}

namespace bp::user {

HWND TopLevelAt(POINT p) {
  Guard g(Lock());
  Window* w = TopLevelAtLocked(p);
  return w ? w->hwnd : nullptr;
}

}  // namespace bp::user
