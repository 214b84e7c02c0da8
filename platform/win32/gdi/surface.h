// Pixel buffers that device contexts draw into, and the DCs the window layer makes over them.
// Any thread may call these; one DC must be used by one thread at a time. Nothing here blocks.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/win32/types.h"

namespace bp::gdi {

// 32-bit pixels 0x00RRGGBB, rows top-down, no padding.
struct Surface {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  // Contents are undefined after a size change. Negative sizes count as 0.
  void Resize(int w, int h);
  std::uint32_t* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }
  const std::uint32_t* Row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }
};

// A DC drawing into `surface`: logical (0,0) maps to `origin` (surface coordinates), every pixel
// drawn is clipped to `clip` (surface coordinates). The DC does not own the surface, which must
// outlive it and must not be resized while the DC draws.
HDC CreateSurfaceDC(Surface* surface, POINT origin, const RECT& clip);
// For DCs made by CreateSurfaceDC (GetDC/BeginPaint use it). Objects selected into it stay alive
// only as long as their own handles do.
void DestroySurfaceDC(HDC dc);

// The pixels of a bitmap (null for an unknown handle). The pointer lives as long as the bitmap.
Surface* GetBitmapSurface(HBITMAP bitmap);

// Every rectangle of a region, top to bottom, left to right (for shaped windows).
bool GetRegionRects(HRGN region, std::vector<RECT>* rects);

// Pixels of an icon at the size nearest `size`, 0xAARRGGBB (straight alpha), for a real window's icon.
bool GetIconPixels(HICON icon, int size, int* width, int* height, std::vector<std::uint32_t>* argb);

}  // namespace bp::gdi
