// Small fixtures for GDI tests: a memory DC over a fresh bitmap, pixel reads, PNG artefacts.
#pragma once
#include <string>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/surface.h"

namespace bp::test {

// A memory DC with a cx x cy bitmap selected, filled with `fill`; releases both at the end.
class Canvas {
 public:
  Canvas(int cx, int cy, COLORREF fill = RGB(255, 255, 255));
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  gdi::Surface& surface() const { return *gdi::GetBitmapSurface(bitmap_); }
  // The pixel at surface (x, y) as a COLORREF, bypassing the DC's mapping.
  COLORREF At(int x, int y) const;
  void Fill(COLORREF c);

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// Writes the surface as $BUGPOST_ARTIFACTS/<name>.png (the current directory when unset).
bool SavePng(const gdi::Surface& s, const std::string& name);

}  // namespace bp::test
