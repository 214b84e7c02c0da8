// Pixels and blits. Every write goes through Transfer's or Clip's clipping against the DC's
// writable rectangle.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/win32/gdi/draw.h"
#include "platform/win32/gdi/objects.h"

namespace bp::gdi {

RECT Clip(const DeviceContext& dc, const RECT& surfaceRect) { return Intersect(surfaceRect, dc.writable()); }

void Blend(Surface& s, int x, int y, std::uint32_t color, unsigned alpha) {
  std::uint32_t& d = s.Row(y)[x];
  if (alpha >= 255) {
    d = color;
    return;
  }
  if (alpha == 0) return;
  auto mix = [&](int shift) {
    const unsigned a = (color >> shift) & 0xFF, b = (d >> shift) & 0xFF;
    return ((a * alpha + b * (255 - alpha) + 127) / 255) << shift;
  };
  d = mix(16) | mix(8) | mix(0);
}

namespace {

// Copies (sx, sy, sw, sh) of src to (x, y, w, h) of dst in logical units, stretching by nearest
// pixel and mirroring on negative sizes; pixels equal to `key` are not copied.
bool Transfer(DeviceContext* dst, int x, int y, int w, int h, DeviceContext* src, int sx, int sy, int sw, int sh,
              std::optional<std::uint32_t> key) {
  Surface* ds = dst->surface();
  Surface* ss = src->surface();
  if (!ds || !ss) return false;
  // A negative size runs from the given edge pixel backwards: StretchBlt(dc, w - 1, 0, -w, ...)
  // mirrors a w-wide picture in place.
  bool flipX = false, flipY = false;
  for (int* v : {&x, &y, &w, &h, &sx, &sy, &sw, &sh}) *v = DeviceContext::Limit(*v);
  if (w < 0) x += w + 1, w = -w, flipX = !flipX;
  if (h < 0) y += h + 1, h = -h, flipY = !flipY;
  if (sw < 0) sx += sw + 1, sw = -sw, flipX = !flipX;
  if (sh < 0) sy += sh + 1, sh = -sh, flipY = !flipY;
  if (w == 0 || h == 0 || sw == 0 || sh == 0) return true;

  const int dx0 = dst->SurfaceX(x), dy0 = dst->SurfaceY(y);
  const int sx0 = src->SurfaceX(sx), sy0 = src->SurfaceY(sy);
  const RECT area = Clip(*dst, RECT{dx0, dy0, DeviceContext::Limit(1LL * dx0 + w), DeviceContext::Limit(1LL * dy0 + h)});
  if (IsEmpty(area)) return true;

  // Same surface: read from a copy so overlapping areas copy as if at once.
  const Surface* from = ss;
  Surface copy;
  if (ss == ds) {
    copy = *ss;
    from = &copy;
  }

  // One to one without a key, the common case: straight row copies of what the source holds.
  if (w == sw && h == sh && !flipX && !flipY && !key) {
    const RECT inSource = Intersect(area, RECT{DeviceContext::Limit(1LL * dx0 - sx0), DeviceContext::Limit(1LL * dy0 - sy0),
                                               DeviceContext::Limit(1LL * dx0 - sx0 + from->width),
                                               DeviceContext::Limit(1LL * dy0 - sy0 + from->height)});
    for (int y2 = inSource.top; y2 < inSource.bottom; ++y2) {
      const std::uint32_t* srow = from->Row(y2 - dy0 + sy0) + (inSource.left - dx0 + sx0);
      std::uint32_t* drow = ds->Row(y2) + inSource.left;
      for (int i = 0, n = inSource.right - inSource.left; i < n; ++i) drow[i] = srow[i] & 0xFFFFFF;
    }
    return true;
  }

  // Source column and row for each destination column and row; -1 lies outside the source.
  auto map = [](int count, int from, int to, int srcCount, int srcOrigin, int srcLimit, bool flip, int destOrigin) {
    std::vector<int> m(static_cast<std::size_t>(to - from));
    for (int d = from; d < to; ++d) {
      long long i = d - destOrigin;
      if (flip) i = count - 1 - i;
      const long long s = srcOrigin + (i * 2 * srcCount + srcCount) / (2LL * count);
      m[static_cast<std::size_t>(d - from)] = (s < 0 || s >= srcLimit) ? -1 : static_cast<int>(s);
    }
    return m;
  };
  const std::vector<int> cols = map(w, area.left, area.right, sw, sx0, ss->width, flipX, dx0);
  const std::vector<int> rows = map(h, area.top, area.bottom, sh, sy0, ss->height, flipY, dy0);

  for (int y2 = area.top; y2 < area.bottom; ++y2) {
    const int sr = rows[static_cast<std::size_t>(y2 - area.top)];
    if (sr < 0) continue;
    const std::uint32_t* srow = from->Row(sr);
    std::uint32_t* drow = ds->Row(y2);
    for (int x2 = area.left; x2 < area.right; ++x2) {
      const int sc = cols[static_cast<std::size_t>(x2 - area.left)];
      if (sc < 0) continue;
      const std::uint32_t p = srow[sc] & 0xFFFFFF;
      if (key && p == *key) continue;
      drow[x2] = p;
    }
  }
  return true;
}

}  // namespace
}  // namespace bp::gdi

using namespace bp::gdi;

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  DeviceContext* dst = LookupDC(hdc);
  DeviceContext* src = LookupDC(hdcSrc);
  if (!dst || !src || rop != SRCCOPY || cx < 0 || cy < 0) return FALSE;
  try {
    return Transfer(dst, x, y, cx, cy, src, x1, y1, cx, cy, std::nullopt) ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop) {
  DeviceContext* dst = LookupDC(hdcDest);
  DeviceContext* src = LookupDC(hdcSrc);
  if (!dst || !src || rop != SRCCOPY) return FALSE;
  try {
    return Transfer(dst, xDest, yDest, wDest, hDest, src, xSrc, ySrc, wSrc, hSrc, std::nullopt) ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}

BOOL TransparentBlt(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc, int xoriginSrc,
                    int yoriginSrc, int wSrc, int hSrc, UINT crTransparent) {
  DeviceContext* dst = LookupDC(hdcDest);
  DeviceContext* src = LookupDC(hdcSrc);
  if (!dst || !src || wDest < 0 || hDest < 0 || wSrc < 0 || hSrc < 0) return FALSE;
  try {
    return Transfer(dst, xoriginDest, yoriginDest, wDest, hDest, src, xoriginSrc, yoriginSrc, wSrc, hSrc,
                    ToPixel(crTransparent))
               ? TRUE
               : FALSE;
  } catch (...) {
    return FALSE;
  }
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return CLR_INVALID;
  const int sx = dc->SurfaceX(x), sy = dc->SurfaceY(y);
  if (IsEmpty(Clip(*dc, RECT{sx, sy, sx + 1, sy + 1}))) return CLR_INVALID;
  return ToColorRef(dc->surface()->Row(sy)[sx]);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return CLR_INVALID;
  const int sx = dc->SurfaceX(x), sy = dc->SurfaceY(y);
  if (IsEmpty(Clip(*dc, RECT{sx, sy, sx + 1, sy + 1}))) return CLR_INVALID;
  dc->surface()->Row(sy)[sx] = ToPixel(color);
  return color & 0xFFFFFF;
}

namespace bp::gdi {
void Fill(DeviceContext& dc, const RECT& logical, std::uint32_t pixel) {
  const RECT area = Clip(dc, RECT{dc.SurfaceX(logical.left), dc.SurfaceY(logical.top), dc.SurfaceX(logical.right),
                                  dc.SurfaceY(logical.bottom)});
  if (IsEmpty(area)) return;
  Surface* s = dc.surface();
  for (int y = area.top; y < area.bottom; ++y) std::fill(s->Row(y) + area.left, s->Row(y) + area.right, pixel);
}
}  // namespace bp::gdi

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  DeviceContext* dc = LookupDC(hDC);
  if (!dc || !lprc || !hbr) return 0;
  COLORREF color;
  const auto value = reinterpret_cast<ULONG_PTR>(hbr);
  if (value <= 64) {  // system colour index + 1
    color = GetSysColor(static_cast<int>(value) - 1);
  } else {
    auto brush = LookupAs<BrushObject>(hbr, Kind::Brush);
    if (!brush) return 0;
    if (brush->log.lbStyle == BS_NULL) return 1;
    color = brush->log.lbColor;
  }
  Fill(*dc, *lprc, ToPixel(color));
  return 1;
}
