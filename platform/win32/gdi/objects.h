// Inside the GDI: the objects behind the handles, the handle table and the DC's state.
// Not for program code.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/surface.h"

namespace bp::gdi {

struct FontFace;  // fonts.h

enum class Kind { Bitmap, Brush, Font, Region, Icon };

struct Object {
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() = default;
  const Kind kind;
  bool stock = false;  // never deleted
};

struct BitmapObject final : Object {
  BitmapObject() : Object(Kind::Bitmap) {}
  Surface surface;
};

struct BrushObject final : Object {
  BrushObject() : Object(Kind::Brush) {}
  LOGBRUSH log;
};

struct FontObject final : Object {
  FontObject() : Object(Kind::Font) {}
  LOGFONTW log;
  std::shared_ptr<const FontFace> face;  // resolved at creation, never null
};

// A region as bands of equal height, top to bottom; each band holds sorted, disjoint,
// non-touching x spans. Adjacent bands with equal spans are merged, so equal regions compare equal.
struct Band {
  int top = 0, bottom = 0;
  std::vector<std::pair<int, int>> spans;  // [left, right)
};
struct RegionObject final : Object {
  RegionObject() : Object(Kind::Region) {}
  std::vector<Band> bands;
};

struct IconImage {
  int width = 0, height = 0;
  std::vector<std::uint32_t> argb;  // 0xAARRGGBB, straight alpha
};
struct IconObject final : Object {
  IconObject() : Object(Kind::Icon) {}
  std::vector<IconImage> images;  // never empty
  int size = 32;                  // the size the icon was loaded at, drawn when none is asked
  bool shared = false;            // LoadIconW / LR_SHARED: DestroyIcon leaves it alone
  const IconImage& Nearest(int want) const;
};

// Handle table. Handles are the objects' addresses; lookups of unknown handles give null.
void* Register(std::shared_ptr<Object> object);
std::shared_ptr<Object> Lookup(const void* handle);
template <class T>
std::shared_ptr<T> LookupAs(const void* handle, Kind kind) {
  auto o = Lookup(handle);
  if (!o || o->kind != kind) return nullptr;
  return std::static_pointer_cast<T>(o);
}
bool Unregister(const void* handle);  // false for unknown and stock handles

struct DcState {
  POINT windowOrg, viewportOrg;
  std::shared_ptr<BitmapObject> bitmap;  // memory DCs only
  std::shared_ptr<FontObject> font;
  std::shared_ptr<BrushObject> brush;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int stretchMode = BLACKONWHITE;
};

struct DeviceContext {
  bool memory = false;
  Surface* target = nullptr;  // window DCs
  POINT origin;               // window DCs: surface position of device (0, 0)
  RECT clip;                  // window DCs: surface coordinates
  DcState state;
  std::vector<DcState> saved;

  Surface* surface() const { return memory ? (state.bitmap ? &state.bitmap->surface : nullptr) : target; }
  // Surface pixels that may be written: the clip rectangle within the surface's bounds.
  RECT writable() const;
  // Logical point to surface point, held within +-2^30 so that sizes added later cannot overflow.
  int SurfaceX(long long x) const { return Limit(x - state.windowOrg.x + state.viewportOrg.x + origin.x); }
  int SurfaceY(long long y) const { return Limit(y - state.windowOrg.y + state.viewportOrg.y + origin.y); }
  static int Limit(long long v) { return static_cast<int>(v < -(1LL << 30) ? -(1LL << 30) : v > (1LL << 30) ? (1LL << 30) : v); }
};
DeviceContext* LookupDC(HDC hdc);

// Stock objects, made on first use.
std::shared_ptr<BitmapObject> StockBitmap();  // 1 x 1, selected into new memory DCs
std::shared_ptr<FontObject> StockFont(int which);

inline std::uint32_t ToPixel(COLORREF c) {
  return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}
inline COLORREF ToColorRef(std::uint32_t p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

RECT Intersect(const RECT& a, const RECT& b);
inline bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace bp::gdi
