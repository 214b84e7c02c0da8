// CPoint, CSize and CRect: the framework's value wrappers of POINT, SIZE and RECT.
#pragma once
#include <algorithm>

#include "platform/win32/types.h"

class CSize : public SIZE {
 public:
  constexpr CSize() : SIZE{0, 0} {}
  constexpr CSize(int x, int y) : SIZE{x, y} {}
  constexpr CSize(SIZE s) : SIZE(s) {}  // NOLINT
  constexpr bool operator==(const SIZE& o) const { return cx == o.cx && cy == o.cy; }
};

class CPoint : public POINT {
 public:
  constexpr CPoint() : POINT{0, 0} {}
  constexpr CPoint(int x, int y) : POINT{x, y} {}
  constexpr CPoint(POINT p) : POINT(p) {}  // NOLINT
  // From a packed message parameter: signed 16-bit x in the low word, y in the high word.
  explicit constexpr CPoint(LPARAM dwPoint) : POINT{GET_X_LPARAM(dwPoint), GET_Y_LPARAM(dwPoint)} {}
  constexpr void Offset(int dx, int dy) { x += dx, y += dy; }
  constexpr bool operator==(const POINT& o) const { return x == o.x && y == o.y; }
  constexpr CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
  constexpr CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
  constexpr CSize operator-(POINT p) const { return CSize(x - p.x, y - p.y); }
  operator LPPOINT() { return this; }  // NOLINT
};

class CRect : public RECT {
 public:
  constexpr CRect() : RECT{0, 0, 0, 0} {}
  constexpr CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  constexpr CRect(const RECT& r) : RECT(r) {}  // NOLINT
  constexpr CRect(POINT topLeft, SIZE size) : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}
  constexpr CRect(POINT topLeft, POINT bottomRight) : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr CSize Size() const { return CSize(Width(), Height()); }
  constexpr CPoint TopLeft() const { return CPoint(left, top); }
  constexpr CPoint BottomRight() const { return CPoint(right, bottom); }
  constexpr CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  constexpr BOOL IsRectEmpty() const { return (right <= left || bottom <= top) ? TRUE : FALSE; }
  constexpr BOOL IsRectNull() const { return (left == 0 && top == 0 && right == 0 && bottom == 0) ? TRUE : FALSE; }
  constexpr BOOL PtInRect(POINT p) const { return (p.x >= left && p.x < right && p.y >= top && p.y < bottom) ? TRUE : FALSE; }
  constexpr void SetRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
  constexpr void SetRectEmpty() { SetRect(0, 0, 0, 0); }
  constexpr void OffsetRect(int dx, int dy) { left += dx, right += dx, top += dy, bottom += dy; }
  constexpr void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
  constexpr void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
  constexpr void InflateRect(int dx, int dy) { left -= dx, right += dx, top -= dy, bottom += dy; }
  constexpr void InflateRect(int l, int t, int r, int b) { left -= l, top -= t, right += r, bottom += b; }
  constexpr void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
  constexpr void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
  constexpr void NormalizeRect() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
  }
  constexpr bool operator==(const RECT& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }

  operator LPRECT() { return this; }         // NOLINT
  operator LPCRECT() const { return this; }  // NOLINT
};
