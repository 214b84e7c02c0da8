// Inside the GDI: the pixel writers shared by blits, icons and text.
#pragma once
#include <cstdint>

#include "platform/win32/gdi/objects.h"

namespace bp::gdi {
// A surface rectangle cut to what the DC may write.
RECT Clip(const DeviceContext& dc, const RECT& surfaceRect);
// Mixes `color` into pixel (x, y) by alpha 0..255; the caller has clipped.
void Blend(Surface& s, int x, int y, std::uint32_t color, unsigned alpha);
// Fills a logical rectangle.
void Fill(DeviceContext& dc, const RECT& logical, std::uint32_t pixel);
}  // namespace bp::gdi
