// The paint cycle: update areas, WM_ERASEBKGND then WM_PAINT, parents before children, and the
// top-level surface handed to the backend when a cycle is over.
#include <algorithm>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/surface.h"
#include "platform/win32/user/backend.h"
#include "platform/win32/user/paint_internal.h"

namespace bp::user {
namespace {

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (Empty(r)) r = RECT{};
  return r;
}
RECT Union(const RECT& a, const RECT& b) {
  if (Empty(a)) return b;
  if (Empty(b)) return a;
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}
RECT Offset(RECT r, int dx, int dy) {
  r.left += dx;
  r.right += dx;
  r.top += dy;
  r.bottom += dy;
  return r;
}
RECT ClientOf(Window* w) { return RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top}; }

bool Shown(Window* w) {
  for (; w; w = w->parent ? Find(w->parent) : nullptr)
    if (!(w->style & WS_VISIBLE)) return false;
  return true;
}

// Surface coordinates of the window's client origin.
POINT SurfaceOrigin(Window* w) {
  POINT o{0, 0};
  for (; w && w->parent; w = Find(w->parent)) {
    o.x += w->rect.left;
    o.y += w->rect.top;
  }
  return o;
}

Window* FirstDirty(Window* w, HWND filter) {
  if (!(w->style & WS_VISIBLE)) return nullptr;
  if (w->dirty && (!filter || filter == w->hwnd)) return w;
  for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
    if (Window* c = Find(*it))
      if (Window* d = FirstDirty(c, filter)) return d;
  return nullptr;
}

bp::gdi::Surface& EmptySurface() {
  static auto* s = new bp::gdi::Surface;
  return *s;
}

// DCs handed out by GetDC, so ReleaseDC knows which frame to present.
std::unordered_map<HDC, HWND>& WindowDCs() {
  static auto* m = new std::unordered_map<HDC, HWND>;
  return *m;
}

HDC MakeDC(Window* w, const RECT* limit) {
  Window* top = TopLevelOf(w);
  if (!top || !top->surface) return bp::gdi::CreateSurfaceDC(&EmptySurface(), POINT{0, 0}, RECT{});
  POINT o = SurfaceOrigin(w);
  RECT clip = VisibleRect(w);
  if (limit) clip = Intersect(clip, Offset(*limit, o.x, o.y));
  return bp::gdi::CreateSurfaceDC(top->surface.get(), o, clip);
}

}  // namespace

RECT VisibleRect(Window* w) {
  if (!Shown(w)) return RECT{};
  POINT o = SurfaceOrigin(w);
  RECT r = Offset(ClientOf(w), o.x, o.y);
  for (Window* a = w->parent ? Find(w->parent) : nullptr; a; a = a->parent ? Find(a->parent) : nullptr) {
    POINT ao = SurfaceOrigin(a);
    r = Intersect(r, Offset(ClientOf(a), ao.x, ao.y));
  }
  return r;
}

void InvalidateTree(Window* w, const RECT* rect, bool erase) {
  if (!(w->style & WS_VISIBLE)) return;
  RECT r = rect ? Intersect(*rect, ClientOf(w)) : ClientOf(w);
  if (Empty(r)) return;
  w->update = w->dirty ? Union(w->update, r) : r;
  w->dirty = true;
  w->erase = w->erase || erase;
  Wake(w->queue.get());
  if (w->style & WS_CLIPCHILDREN) return;
  for (HWND h : w->children) {
    Window* c = Find(h);
    if (!c) continue;
    RECT cr = Offset(r, -c->rect.left, -c->rect.top);
    InvalidateTree(c, &cr, erase);
  }
}

void InvalidateUnder(Window* w) {
  if (!w->parent) return;
  Window* p = Find(w->parent);
  if (!p) return;
  RECT r = w->rect;
  InvalidateTree(p, &r, true);
}

bool RegionContains(HRGN region, int x, int y) { return PtInRegion(region, x, y) != FALSE; }

bool TakePaintMessage(Guard&, ThreadQueue* q, HWND filter, MSG* out) {
  for (HWND h : TopLevels()) {
    Window* top = Find(h);
    if (!top || top->queue.get() != q) continue;
    if (Window* d = FirstDirty(top, filter)) {
      *out = MSG{};
      out->hwnd = d->hwnd;
      out->message = WM_PAINT;
      return true;
    }
  }
  // Windows that are shown nowhere keep no pending paint.
  for (auto& [h, w] : Windows())
    if (w->queue.get() == q && w->dirty && !Shown(w.get())) w->dirty = w->erase = false;
  return false;
}

void PresentPending(Guard& g, ThreadQueue* q) {
  std::vector<HWND> due;
  for (HWND h : TopLevels()) {
    Window* w = Find(h);
    if (w && w->queue.get() == q && w->needsPresent) {
      w->needsPresent = false;
      if (w->style & WS_VISIBLE) due.push_back(h);
    }
  }
  if (due.empty()) return;
  auto backend = GetBackend();
  for (HWND h : due) {
    Window* w = Find(h);
    if (!w || !w->surface) continue;
    // Only this thread paints or resizes its windows, so the surface holds still meanwhile.
    bp::gdi::Surface* s = w->surface.get();
    g.unlock();
    backend->Present(h, *s);
    g.lock();
  }
}

}  // namespace bp::user

using namespace bp::user;

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  Guard g(Lock());
  if (!hwnd) {
    for (HWND h : TopLevels())
      if (Window* w = Find(h)) InvalidateTree(w, nullptr, erase);
    return TRUE;
  }
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  InvalidateTree(w, rect, erase != FALSE);
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  // The update area is kept as one rectangle: it goes when the validated part covers it.
  if (!rect || (rect->left <= w->update.left && rect->top <= w->update.top && rect->right >= w->update.right &&
                rect->bottom >= w->update.bottom)) {
    w->dirty = false;
    w->erase = false;
    w->update = RECT{};
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (rect) *rect = w->dirty ? w->update : RECT{};
  return w->dirty ? TRUE : FALSE;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
  if (!ps) return nullptr;
  bool erase;
  {
    Guard g(Lock());
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    *ps = PAINTSTRUCT{};
    RECT update = w->dirty ? w->update : RECT{};
    erase = w->erase;
    w->dirty = false;
    w->erase = false;
    w->update = RECT{};
    ps->rcPaint = update;
    ps->hdc = MakeDC(w, &update);
    if (Window* top = TopLevelOf(w)) top->needsPresent = true;
  }
  ps->fErase = erase ? TRUE : FALSE;
  if (erase && SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps->hdc), 0)) ps->fErase = FALSE;
  return ps->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* ps) {
  if (ps && ps->hdc) bp::gdi::DestroySurfaceDC(ps->hdc);
  return TRUE;
}

HDC GetDC(HWND hwnd) {
  Guard g(Lock());
  if (!hwnd) return bp::gdi::CreateSurfaceDC(&EmptySurface(), POINT{0, 0}, RECT{});
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  HDC dc = MakeDC(w, nullptr);
  WindowDCs()[dc] = hwnd;
  return dc;
}

HDC GetWindowDC(HWND hwnd) { return GetDC(hwnd); }

int ReleaseDC(HWND, HDC dc) {
  if (!dc) return 0;
  {
    Guard g(Lock());
    auto it = WindowDCs().find(dc);
    if (it != WindowDCs().end()) {
      if (Window* w = Find(it->second))
        if (Window* top = TopLevelOf(w)) {
          top->needsPresent = true;
          Wake(top->queue.get());
        }
      WindowDCs().erase(it);
    }
  }
  bp::gdi::DestroySurfaceDC(dc);
  return 1;
}

BOOL UpdateWindow(HWND hwnd) {
  // Paints the window and then its children at once, without waiting for the queue.
  for (;;) {
    HWND next = nullptr;
    {
      Guard g(Lock());
      Window* w = Find(hwnd);
      if (!w) return FALSE;
      std::function<Window*(Window*)> first = [&](Window* x) -> Window* {
        if (!(x->style & WS_VISIBLE)) return nullptr;
        if (x->dirty) return x;
        for (auto it = x->children.rbegin(); it != x->children.rend(); ++it)
          if (Window* c = Find(*it))
            if (Window* d = first(c)) return d;
        return nullptr;
      };
      if (Window* d = first(w)) next = d->hwnd;
    }
    if (!next) return TRUE;
    SendMessageW(next, WM_PAINT, 0, 0);
    Guard g(Lock());
    if (Window* d = Find(next); d && d->dirty) return TRUE;  // a window that does not paint
  }
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags) {
  RECT box;
  if (region && GetRgnBox(region, &box) != 0) rect = &box;
  if (flags & RDW_INVALIDATE) InvalidateRect(hwnd, rect, (flags & RDW_ERASE) ? TRUE : FALSE);
  if (flags & RDW_VALIDATE) ValidateRect(hwnd, rect);
  if (flags & RDW_UPDATENOW) UpdateWindow(hwnd);
  return TRUE;
}
