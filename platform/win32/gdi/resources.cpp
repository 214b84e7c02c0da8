// The embedded resource table and the loaders of bitmaps and icons.
#include "platform/win32/gdi/resources.h"

#include <fstream>
#include <iterator>
#include <map>
#include <mutex>

#include "platform/win32/gdi/fonts.h"
#include "platform/win32/gdi/images.h"
#include "platform/win32/gdi/objects.h"

namespace bp::res {
namespace {
struct Table {
  std::mutex mutex;
  std::map<std::pair<ULONG_PTR, int>, std::span<const std::uint8_t>> entries;
};
// Filled during static initialisation from other translation units: made on first use, never freed.
Table& table() {
  static Table* t = new Table;
  return *t;
}
}  // namespace

void Add(LPCWSTR type, int id, const std::uint8_t* data, std::size_t size) {
  if (!IS_INTRESOURCE(type) || (!data && size)) return;
  std::lock_guard lock(table().mutex);
  table().entries[{reinterpret_cast<ULONG_PTR>(type), id}] = std::span<const std::uint8_t>(data, size);
}

std::span<const std::uint8_t> Find(LPCWSTR type, int id) {
  if (!IS_INTRESOURCE(type)) return {};
  std::lock_guard lock(table().mutex);
  auto it = table().entries.find({reinterpret_cast<ULONG_PTR>(type), id});
  return it == table().entries.end() ? std::span<const std::uint8_t>() : it->second;
}
}  // namespace bp::res

namespace {
using namespace bp::gdi;

std::vector<std::uint8_t> ReadFile(LPCWSTR path) {
  if (!path) return {};
  std::size_t n = 0;
  while (path[n]) ++n;
  std::string utf8;
  for (char32_t c : CodePoints(path, n)) {
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (c >> 12));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (c >> 18));
      utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  std::ifstream in(utf8, std::ios::binary);
  if (!in) return {};
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::span<const std::uint8_t> Resource(LPCWSTR type, LPCWSTR name) {
  if (!name || !IS_INTRESOURCE(name)) return {};  // named resources are not used by the program
  return bp::res::Find(type, static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
}

HBITMAP MakeBitmap(std::span<const std::uint8_t> bytes, int cx, int cy) {
  auto b = std::make_shared<BitmapObject>();
  if (!DecodeBmp(bytes, &b->surface)) return nullptr;
  if ((cx > 0 && cx != b->surface.width) || (cy > 0 && cy != b->surface.height)) {
    Surface scaled;
    scaled.Resize(cx > 0 ? cx : b->surface.width, cy > 0 ? cy : b->surface.height);
    for (int y = 0; y < scaled.height; ++y)
      for (int x = 0; x < scaled.width; ++x)
        scaled.Row(y)[x] = b->surface.Row(y * b->surface.height / scaled.height)[x * b->surface.width / scaled.width];
    b->surface = std::move(scaled);
  }
  return static_cast<HBITMAP>(Register(std::move(b)));
}

HICON MakeIcon(std::span<const std::uint8_t> bytes, int size, bool shared) {
  auto icon = std::make_shared<IconObject>();
  if (!DecodeIco(bytes, &icon->images)) return nullptr;
  icon->size = size > 0 ? size : icon->images.front().width;
  icon->shared = shared;
  return static_cast<HICON>(Register(std::move(icon)));
}

// Shared icons: one handle per resource and size, as Win32 gives.
HICON SharedIcon(int id, int size) {
  static std::mutex* mutex = new std::mutex;
  static auto* cache = new std::map<std::pair<int, int>, HICON>;
  std::lock_guard lock(*mutex);
  auto key = std::make_pair(id, size);
  if (auto it = cache->find(key); it != cache->end() && Lookup(it->second)) return it->second;
  HICON icon = MakeIcon(bp::res::Find(RT_GROUP_ICON, id), size, true);
  if (icon) (*cache)[key] = icon;
  return icon;
}
}  // namespace

HBITMAP LoadBitmapW(HINSTANCE, LPCWSTR lpBitmapName) {
  try {
    return MakeBitmap(Resource(RT_BITMAP, lpBitmapName), 0, 0);
  } catch (...) {
    return nullptr;
  }
}

HICON LoadIconW(HINSTANCE, LPCWSTR lpIconName) {
  if (!lpIconName || !IS_INTRESOURCE(lpIconName)) return nullptr;
  try {
    return SharedIcon(static_cast<int>(reinterpret_cast<ULONG_PTR>(lpIconName)), 32);
  } catch (...) {
    return nullptr;
  }
}

HANDLE LoadImageW(HINSTANCE, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad) {
  try {
    const bool fromFile = (fuLoad & LR_LOADFROMFILE) != 0;
    std::vector<std::uint8_t> file;
    if (fromFile) file = ReadFile(name);
    if (type == IMAGE_BITMAP) return MakeBitmap(fromFile ? std::span<const std::uint8_t>(file) : Resource(RT_BITMAP, name), cx, cy);
    if (type != IMAGE_ICON) return nullptr;
    int size = cx > 0 ? cx : (cy > 0 ? cy : 0);
    if (size == 0 && (fuLoad & LR_DEFAULTSIZE)) size = 32;
    if (!fromFile && (fuLoad & LR_SHARED) && IS_INTRESOURCE(name) && size > 0)
      return SharedIcon(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)), size);
    return MakeIcon(fromFile ? std::span<const std::uint8_t>(file) : Resource(RT_GROUP_ICON, name), size, false);
  } catch (...) {
    return nullptr;
  }
}
