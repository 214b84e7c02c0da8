#include "platform/win32/gdi/imagelist.h"

#include <algorithm>
#include <mutex>
#include <unordered_set>

#include "platform/win32/gdi/draw.h"
#include "platform/win32/gdi/objects.h"

// Cells live side by side in one bitmap, the mask in another, as Win32 hands them out.
struct _IMAGELIST {
  int cx = 0, cy = 0;
  bool masked = false;
  int count = 0;
  std::shared_ptr<bp::gdi::BitmapObject> image, mask;
  HBITMAP imageHandle = nullptr, maskHandle = nullptr;
};

namespace {
using namespace bp::gdi;

std::mutex& ListsMutex() {
  static std::mutex* m = new std::mutex;
  return *m;
}
std::unordered_set<_IMAGELIST*>& Lists() {
  static auto* s = new std::unordered_set<_IMAGELIST*>;
  return *s;
}
_IMAGELIST* Find(HIMAGELIST h) {
  std::lock_guard lock(ListsMutex());
  return Lists().count(h) ? h : nullptr;
}

// Grows both bitmaps to hold `count` cells, keeping the cells there.
void Reserve(_IMAGELIST* l, int count) {
  for (auto* b : {l->image.get(), l->mask.get()}) {
    if (!b || b->surface.width >= count * l->cx) continue;
    Surface grown;
    grown.Resize(count * l->cx, l->cy);
    for (int y = 0; y < l->cy; ++y)
      for (int x = 0; x < b->surface.width && x < grown.width; ++x) grown.Row(y)[x] = b->surface.Row(y)[x];
    b->surface = std::move(grown);
  }
}
}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int) {
  if (cx <= 0 || cy <= 0 || cx > 16384 || cy > 16384) return nullptr;
  try {
    auto l = std::make_unique<_IMAGELIST>();
    l->cx = cx;
    l->cy = cy;
    l->masked = (flags & ILC_MASK) != 0;
    l->image = std::make_shared<BitmapObject>();
    l->imageHandle = static_cast<HBITMAP>(Register(l->image));
    if (l->masked) {
      l->mask = std::make_shared<BitmapObject>();
      l->maskHandle = static_cast<HBITMAP>(Register(l->mask));
    }
    Reserve(l.get(), std::clamp(cInitial, 1, 64));
    std::lock_guard lock(ListsMutex());
    Lists().insert(l.get());
    return l.release();
  } catch (...) {
    return nullptr;
  }
}

BOOL ImageList_Destroy(HIMAGELIST himl) {
  {
    std::lock_guard lock(ListsMutex());
    if (!Lists().erase(himl)) return FALSE;
  }
  Unregister(himl->imageHandle);
  if (himl->maskHandle) Unregister(himl->maskHandle);
  delete himl;
  return TRUE;
}

int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask) {
  _IMAGELIST* l = Find(himl);
  Surface* src = GetBitmapSurface(hbmImage);
  if (!l || !src) return -1;
  const int cells = src->width / l->cx;
  if (cells <= 0) return -1;
  try {
    const int first = l->count;
    Reserve(l, first + cells);
    const std::uint32_t key = ToPixel(crMask);
    for (int c = 0; c < cells; ++c) {
      for (int y = 0; y < l->cy; ++y) {
        for (int x = 0; x < l->cx; ++x) {
          const int dx = (first + c) * l->cx + x;
          // Rows below a short strip stay transparent.
          const bool inside = y < src->height;
          const std::uint32_t p = inside ? (src->Row(y)[c * l->cx + x] & 0xFFFFFF) : 0;
          const bool transparent = l->masked && (!inside || p == key);
          l->image->surface.Row(y)[dx] = transparent ? 0 : p;  // Win32 blacks out masked pixels
          if (l->mask) l->mask->surface.Row(y)[dx] = transparent ? 0xFFFFFF : 0;
        }
      }
    }
    l->count += cells;
    return first;
  } catch (...) {
    return -1;
  }
}

int ImageList_GetImageCount(HIMAGELIST himl) {
  _IMAGELIST* l = Find(himl);
  return l ? l->count : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
  _IMAGELIST* l = Find(himl);
  if (!l || !cx || !cy) return FALSE;
  *cx = l->cx;
  *cy = l->cy;
  return TRUE;
}

BOOL ImageList_GetImageInfo(HIMAGELIST himl, int i, IMAGEINFO* info) {
  _IMAGELIST* l = Find(himl);
  if (!l || !info || i < 0 || i >= l->count) return FALSE;
  info->hbmImage = l->imageHandle;
  info->hbmMask = l->maskHandle;
  info->rcImage = RECT{i * l->cx, 0, (i + 1) * l->cx, l->cy};
  return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT) {
  _IMAGELIST* l = Find(himl);
  DeviceContext* dc = LookupDC(hdcDst);
  if (!l || !dc || !dc->surface() || i < 0 || i >= l->count) return FALSE;
  const int sx0 = dc->SurfaceX(x), sy0 = dc->SurfaceY(y);
  const RECT area = Clip(*dc, RECT{sx0, sy0, sx0 + l->cx, sy0 + l->cy});
  Surface& s = *dc->surface();
  for (int yy = area.top; yy < area.bottom; ++yy) {
    const std::uint32_t* img = l->image->surface.Row(yy - sy0) + i * l->cx;
    const std::uint32_t* msk = l->mask ? l->mask->surface.Row(yy - sy0) + i * l->cx : nullptr;
    for (int xx = area.left; xx < area.right; ++xx) {
      if (msk && msk[xx - sx0]) continue;
      s.Row(yy)[xx] = img[xx - sx0];
    }
  }
  return TRUE;
}
