// Icons: drawing with alpha, and their pixels for a real window's icon.
#include <algorithm>
#include <cstdlib>

#include "platform/win32/gdi/draw.h"
#include "platform/win32/gdi/objects.h"

namespace bp::gdi {

const IconImage& IconObject::Nearest(int want) const {
  const IconImage* best = &images.front();
  for (const IconImage& im : images) {
    const int d = std::abs(im.width - want), bd = std::abs(best->width - want);
    if (d < bd || (d == bd && im.width > best->width)) best = &im;
  }
  return *best;
}

bool GetIconPixels(HICON icon, int size, int* width, int* height, std::vector<std::uint32_t>* argb) {
  auto o = LookupAs<IconObject>(icon, Kind::Icon);
  if (!o || !width || !height || !argb) return false;
  const IconImage& im = o->Nearest(size);
  *width = im.width;
  *height = im.height;
  *argb = im.argb;
  return true;
}

}  // namespace bp::gdi

using namespace bp::gdi;

BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT, HBRUSH hbrFlickerFreeDraw,
                UINT diFlags) {
  DeviceContext* dc = LookupDC(hdc);
  auto icon = LookupAs<IconObject>(hIcon, Kind::Icon);
  if (!dc || !icon || !dc->surface()) return FALSE;
  const int own = (diFlags & DI_DEFAULTSIZE) ? 32 : icon->size;
  const int cx = cxWidth > 0 ? std::min(cxWidth, 16384) : own, cy = cyWidth > 0 ? std::min(cyWidth, 16384) : own;
  const IconImage& im = icon->Nearest(cx);
  if (hbrFlickerFreeDraw) {
    RECT r{xLeft, yTop, xLeft + cx, yTop + cy};
    FillRect(hdc, &r, hbrFlickerFreeDraw);
  }
  if (!(diFlags & DI_IMAGE)) return TRUE;
  const bool blend = (diFlags & DI_MASK) != 0;
  const int sx0 = dc->SurfaceX(xLeft), sy0 = dc->SurfaceY(yTop);
  const RECT area = Clip(*dc, RECT{sx0, sy0, DeviceContext::Limit(1LL * sx0 + cx), DeviceContext::Limit(1LL * sy0 + cy)});
  Surface& s = *dc->surface();
  for (int y = area.top; y < area.bottom; ++y) {
    const int iy = (y - sy0) * im.height / cy;
    for (int x = area.left; x < area.right; ++x) {
      const int ix = (x - sx0) * im.width / cx;
      const std::uint32_t p = im.argb[static_cast<std::size_t>(iy) * static_cast<std::size_t>(im.width) + static_cast<std::size_t>(ix)];
      Blend(s, x, y, p & 0xFFFFFF, blend ? (p >> 24) : 255);
    }
  }
  return TRUE;
}

BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon) { return DrawIconEx(hDC, X, Y, hIcon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE); }

BOOL DestroyIcon(HICON hIcon) {
  auto icon = LookupAs<IconObject>(hIcon, Kind::Icon);
  if (!icon) return FALSE;
  if (icon->shared) return TRUE;
  return Unregister(hIcon) ? TRUE : FALSE;
}
