#include "tests/gdi/support.h"

#include <cstdlib>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace bp::test {

Canvas::Canvas(int cx, int cy, COLORREF fill) {
  dc_ = CreateCompatibleDC(nullptr);
  bitmap_ = CreateCompatibleBitmap(dc_, cx, cy);
  old_ = SelectObject(dc_, bitmap_);
  Fill(fill);
}

Canvas::~Canvas() {
  SelectObject(dc_, old_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

COLORREF Canvas::At(int x, int y) const {
  const gdi::Surface& s = surface();
  if (x < 0 || y < 0 || x >= s.width || y >= s.height) return CLR_INVALID;
  const std::uint32_t p = s.pixels[static_cast<std::size_t>(y) * s.width + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void Canvas::Fill(COLORREF c) {
  gdi::Surface& s = surface();
  const std::uint32_t p = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  for (auto& px : s.pixels) px = p;
}

bool SavePng(const gdi::Surface& s, const std::string& name) {
  const char* dir = std::getenv("BUGPOST_ARTIFACTS");
  const std::string path = (dir && *dir ? std::string(dir) + "/" : std::string()) + name + ".png";
  std::vector<unsigned char> rgb;
  rgb.reserve(s.pixels.size() * 3);
  for (std::uint32_t p : s.pixels) {
    rgb.push_back(static_cast<unsigned char>(p >> 16));
    rgb.push_back(static_cast<unsigned char>(p >> 8));
    rgb.push_back(static_cast<unsigned char>(p));
  }
  return stbi_write_png(path.c_str(), s.width, s.height, 3, rgb.data(), s.width * 3) != 0;
}

}  // namespace bp::test
