// The handle table, stock objects and the calls that work on any kind of object.
#include "platform/win32/gdi/objects.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>

#include "platform/win32/gdi/fonts.h"

namespace bp::gdi {
namespace {

struct Table {
  std::mutex mutex;
  std::unordered_map<const void*, std::shared_ptr<Object>> objects;
  std::unordered_map<const void*, std::unique_ptr<DeviceContext>> dcs;
};
// Never destroyed: static destructors elsewhere may still delete objects at exit.
Table& table() {
  static Table* t = new Table;
  return *t;
}

}  // namespace

void Surface::Resize(int w, int h) {
  width = std::max(0, w);
  height = std::max(0, h);
  pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
}

void* Register(std::shared_ptr<Object> object) {
  if (!object) return nullptr;
  void* handle = object.get();
  std::lock_guard lock(table().mutex);
  table().objects[handle] = std::move(object);
  return handle;
}

std::shared_ptr<Object> Lookup(const void* handle) {
  if (!handle) return nullptr;
  std::lock_guard lock(table().mutex);
  auto it = table().objects.find(handle);
  return it == table().objects.end() ? nullptr : it->second;
}

bool Unregister(const void* handle) {
  std::shared_ptr<Object> doomed;  // released outside the lock
  std::lock_guard lock(table().mutex);
  auto it = table().objects.find(handle);
  if (it == table().objects.end() || it->second->stock) return false;
  doomed = std::move(it->second);
  table().objects.erase(it);
  return true;
}

DeviceContext* LookupDC(HDC hdc) {
  if (!hdc) return nullptr;
  std::lock_guard lock(table().mutex);
  auto it = table().dcs.find(hdc);
  return it == table().dcs.end() ? nullptr : it->second.get();
}

namespace {
HDC AddDC(std::unique_ptr<DeviceContext> dc) {
  HDC h = reinterpret_cast<HDC>(dc.get());
  std::lock_guard lock(table().mutex);
  table().dcs[h] = std::move(dc);
  return h;
}
bool RemoveDC(HDC hdc, bool memory) {
  std::unique_ptr<DeviceContext> doomed;
  std::lock_guard lock(table().mutex);
  auto it = table().dcs.find(hdc);
  if (it == table().dcs.end() || it->second->memory != memory) return false;
  doomed = std::move(it->second);
  table().dcs.erase(it);
  return true;
}

template <class T>
std::shared_ptr<T> MakeStock(std::shared_ptr<T> o) {
  o->stock = true;
  Register(o);
  return o;
}
}  // namespace

std::shared_ptr<BitmapObject> StockBitmap() {
  static const std::shared_ptr<BitmapObject> stock = [] {
    auto b = std::make_shared<BitmapObject>();
    b->surface.Resize(1, 1);
    return MakeStock(b);
  }();
  return stock;
}

namespace {
std::shared_ptr<BrushObject> StockBrush(int which) {
  static const std::shared_ptr<BrushObject> white = [] {
    auto b = std::make_shared<BrushObject>();
    b->log = {BS_SOLID, RGB(255, 255, 255), 0};
    return MakeStock(b);
  }();
  static const std::shared_ptr<BrushObject> black = [] {
    auto b = std::make_shared<BrushObject>();
    b->log = {BS_SOLID, RGB(0, 0, 0), 0};
    return MakeStock(b);
  }();
  static const std::shared_ptr<BrushObject> null = [] {
    auto b = std::make_shared<BrushObject>();
    b->log = {BS_NULL, 0, 0};
    return MakeStock(b);
  }();
  switch (which) {
    case WHITE_BRUSH: return white;
    case BLACK_BRUSH: return black;
    case NULL_BRUSH: return null;
    default: return nullptr;
  }
}

std::shared_ptr<FontObject> MakeFont(const LOGFONTW& log) {
  auto f = std::make_shared<FontObject>();
  f->log = log;
  f->face = ResolveFace(log);
  return f;
}

void SetFace(LOGFONTW* lf, const char16_t* face) {
  std::size_t i = 0;
  for (; face[i] && i + 1 < LF_FACESIZE; ++i) lf->lfFaceName[i] = face[i];
  lf->lfFaceName[i] = 0;
}
}  // namespace

std::shared_ptr<FontObject> StockFont(int which) {
  // The system font is bold 16-pixel cells; the GUI font is 8-point "MS Shell Dlg" at 96 dpi.
  static const std::shared_ptr<FontObject> system = [] {
    LOGFONTW lf;
    lf.lfHeight = 16;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    SetFace(&lf, u"System");
    return MakeStock(MakeFont(lf));
  }();
  static const std::shared_ptr<FontObject> gui = [] {
    LOGFONTW lf;
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    SetFace(&lf, u"MS Shell Dlg");
    return MakeStock(MakeFont(lf));
  }();
  switch (which) {
    case SYSTEM_FONT: return system;
    case DEFAULT_GUI_FONT: return gui;
    default: return nullptr;
  }
}

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (IsEmpty(r)) r = {};
  return r;
}

RECT DeviceContext::writable() const {
  const Surface* s = surface();
  if (!s) return {};
  // The shared 1 x 1 bitmap of a memory DC without its own is never drawn into: DCs on different
  // threads would race on it.
  if (memory && state.bitmap->stock) return {};
  RECT bounds{0, 0, s->width, s->height};
  return memory ? bounds : Intersect(clip, bounds);
}

HDC CreateSurfaceDC(Surface* surface, POINT origin, const RECT& clip) {
  if (!surface) return nullptr;
  try {
    auto dc = std::make_unique<DeviceContext>();
    dc->target = surface;
    dc->origin = origin;
    dc->clip = clip;
    dc->state.font = StockFont(SYSTEM_FONT);
    dc->state.brush = StockBrush(WHITE_BRUSH);
    return AddDC(std::move(dc));
  } catch (...) {
    return nullptr;
  }
}

void DestroySurfaceDC(HDC dc) { RemoveDC(dc, false); }

Surface* GetBitmapSurface(HBITMAP bitmap) {
  auto b = LookupAs<BitmapObject>(bitmap, Kind::Bitmap);
  return b ? &b->surface : nullptr;
}

}  // namespace bp::gdi

using namespace bp::gdi;

HDC CreateCompatibleDC(HDC) {
  try {
    auto dc = std::make_unique<DeviceContext>();
    dc->memory = true;
    dc->state.bitmap = StockBitmap();
    dc->state.font = StockFont(SYSTEM_FONT);
    dc->state.brush = StockBrush(WHITE_BRUSH);
    return AddDC(std::move(dc));
  } catch (...) {
    return nullptr;
  }
}

BOOL DeleteDC(HDC hdc) { return RemoveDC(hdc, true) ? TRUE : FALSE; }

HBITMAP CreateCompatibleBitmap(HDC, int cx, int cy) {
  // Larger than any screen: refuse rather than try to allocate gigabytes.
  constexpr int kMax = 16384;
  if (cx < 0 || cy < 0 || cx > kMax || cy > kMax || static_cast<long long>(cx) * cy > (1LL << 26)) return nullptr;
  try {
    auto b = std::make_shared<BitmapObject>();
    b->surface.Resize(cx == 0 || cy == 0 ? 1 : cx, cx == 0 || cy == 0 ? 1 : cy);
    return static_cast<HBITMAP>(Register(std::move(b)));
  } catch (...) {
    return nullptr;
  }
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  DeviceContext* dc = LookupDC(hdc);
  auto o = Lookup(h);
  if (!dc || !o) return nullptr;
  HGDIOBJ previous = nullptr;
  switch (o->kind) {
    case Kind::Bitmap:
      if (!dc->memory) return nullptr;
      previous = dc->state.bitmap.get();
      dc->state.bitmap = std::static_pointer_cast<BitmapObject>(o);
      break;
    case Kind::Font:
      previous = dc->state.font.get();
      dc->state.font = std::static_pointer_cast<FontObject>(o);
      break;
    case Kind::Brush:
      previous = dc->state.brush.get();
      dc->state.brush = std::static_pointer_cast<BrushObject>(o);
      break;
    default: return nullptr;  // clip regions and icons are not selectable here
  }
  return previous;
}

BOOL DeleteObject(HGDIOBJ h) {
  auto o = Lookup(h);
  if (!o || o->kind == Kind::Icon) return FALSE;
  if (o->stock) return TRUE;
  return Unregister(h) ? TRUE : FALSE;
}

int GetObjectW(HANDLE h, int c, LPVOID pv) {
  auto o = Lookup(h);
  if (!o) return 0;
  auto copy = [&](const void* src, int size) {
    if (!pv) return size;
    if (c < size) return 0;
    std::memcpy(pv, src, static_cast<std::size_t>(size));
    return size;
  };
  switch (o->kind) {
    case Kind::Bitmap: {
      const Surface& s = static_cast<BitmapObject&>(*o).surface;
      BITMAP bm;
      bm.bmWidth = s.width;
      bm.bmHeight = s.height;
      bm.bmWidthBytes = s.width * 4;
      bm.bmPlanes = 1;
      bm.bmBitsPixel = 32;
      return copy(&bm, sizeof bm);
    }
    case Kind::Font: return copy(&static_cast<FontObject&>(*o).log, sizeof(LOGFONTW));
    case Kind::Brush: return copy(&static_cast<BrushObject&>(*o).log, sizeof(LOGBRUSH));
    default: return 0;
  }
}

HGDIOBJ GetStockObject(int i) {
  if (auto b = StockBrush(i)) return b.get();
  if (auto f = StockFont(i)) return f.get();
  return nullptr;
}

HBRUSH CreateSolidBrush(COLORREF color) {
  try {
    auto b = std::make_shared<BrushObject>();
    b->log = {BS_SOLID, color & 0xFFFFFF, 0};
    return static_cast<HBRUSH>(Register(std::move(b)));
  } catch (...) {
    return nullptr;
  }
}

DWORD GetSysColor(int nIndex) {
  switch (nIndex) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT: return RGB(0, 120, 215);
    case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
    case COLOR_BTNFACE: return RGB(240, 240, 240);
    case COLOR_GRAYTEXT: return RGB(109, 109, 109);
    case COLOR_BTNTEXT: return RGB(0, 0, 0);
    case COLOR_INFOTEXT: return RGB(0, 0, 0);
    case COLOR_INFOBK: return RGB(255, 255, 225);
    default: return 0;
  }
}
