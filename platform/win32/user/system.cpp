// Cursors, system metrics and parameters, rectangle helpers.
#include <algorithm>
#include <cstdlib>

#include "platform/win32/user/backend.h"
#include "platform/win32/user/builtin.h"
#include "platform/win32/user/commctrl.h"
#include "platform/win32/user/input_internal.h"

namespace bp::user {
namespace {
// System cursors are fixed tokens; a backend maps them to real ones through SystemCursorId.
constexpr int kCursorIds[] = {32512, 32513, 32514, 32515, 32642, 32643, 32644, 32645, 32646, 32648, 32649};
struct CursorToken {
  int id;
};
CursorToken g_cursors[std::size(kCursorIds)] = {{32512}, {32513}, {32514}, {32515}, {32642}, {32643},
                                                 {32644}, {32645}, {32646}, {32648}, {32649}};
}  // namespace

int SystemCursorId(HCURSOR cursor) {
  for (auto& c : g_cursors)
    if (reinterpret_cast<HCURSOR>(&c) == cursor) return c.id;
  return 0;
}

}  // namespace bp::user

using namespace bp::user;

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
  if (instance || !IS_INTRESOURCE(name)) return nullptr;  // the program has no cursor resources
  int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
  for (auto& c : g_cursors)
    if (c.id == id) return reinterpret_cast<HCURSOR>(&c);
  return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old;
  {
    Guard g(Lock());
    old = Input().cursor;
    Input().cursor = cursor;
  }
  if (old != cursor)
    if (auto b = ExistingBackend()) b->CursorChanged(cursor);
  return old;
}

HCURSOR GetCursor() {
  Guard g(Lock());
  return Input().cursor;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CMONITORS:
      GetBackend();
      return DefaultBackendLacksScreen() ? 0 : 1;
    case SM_CXSCREEN: {
      RECT r = GetBackend()->ScreenRect();
      return r.right - r.left;
    }
    case SM_CYSCREEN: {
      RECT r = GetBackend()->ScreenRect();
      return r.bottom - r.top;
    }
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    default: return 0;
  }
}

BOOL SystemParametersInfoW(UINT action, UINT, LPVOID data, UINT) {
  if (!data) return FALSE;
  switch (action) {
    case SPI_GETWORKAREA: *static_cast<RECT*>(data) = GetBackend()->WorkArea(); return TRUE;
    case SPI_GETMOUSEHOVERTIME: *static_cast<UINT*>(data) = 400; return TRUE;
    default: return FALSE;
  }
}

void MessageBeep(UINT) {}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc) {
  if (!icc || icc->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
  RegisterBuiltinClasses();
  return TRUE;
}
void InitCommonControls() { RegisterBuiltinClasses(); }
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT tme) { return _TrackMouseEvent(tme); }

BOOL SetRect(LPRECT r, int left, int top, int right, int bottom) {
  if (!r) return FALSE;
  *r = RECT{left, top, right, bottom};
  return TRUE;
}
BOOL SetRectEmpty(LPRECT r) { return SetRect(r, 0, 0, 0, 0); }
BOOL CopyRect(LPRECT dst, const RECT* src) {
  if (!dst || !src) return FALSE;
  *dst = *src;
  return TRUE;
}
BOOL IsRectEmpty(const RECT* r) { return !r || r->right <= r->left || r->bottom <= r->top; }
BOOL PtInRect(const RECT* r, POINT p) {
  return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}
BOOL OffsetRect(LPRECT r, int dx, int dy) {
  if (!r) return FALSE;
  r->left += dx;
  r->right += dx;
  r->top += dy;
  r->bottom += dy;
  return TRUE;
}
BOOL InflateRect(LPRECT r, int dx, int dy) {
  if (!r) return FALSE;
  r->left -= dx;
  r->right += dx;
  r->top -= dy;
  r->bottom += dy;
  return TRUE;
}
BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right), std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r)) {
    *dst = RECT{};
    return FALSE;
  }
  *dst = r;
  return TRUE;
}
BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  if (IsRectEmpty(a)) *dst = IsRectEmpty(b) ? RECT{} : *b;
  else if (IsRectEmpty(b)) *dst = *a;
  else *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
  return !IsRectEmpty(dst);
}
BOOL EqualRect(const RECT* a, const RECT* b) {
  return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}
int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  long long p = static_cast<long long>(number) * numerator;
  long long half = std::llabs(denominator) / 2;
  long long r = (p >= 0) == (denominator > 0) ? (std::llabs(p) + half) / std::llabs(denominator)
                                              : -((std::llabs(p) + half) / std::llabs(denominator));
  return static_cast<int>(r);
}
