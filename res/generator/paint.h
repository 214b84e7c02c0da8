// Small painting helpers of the resource generator: colour mixing and anti-aliased shapes
// sampled 4 x 4 per pixel.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace bp::resgen {

struct Rgb {
  double r = 0, g = 0, b = 0;
};

inline Rgb Mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

inline std::uint32_t Pixel(Rgb c) {
  auto ch = [](double v) { return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
  return (ch(c.r) << 16) | (ch(c.g) << 8) | ch(c.b);
}
inline Rgb FromPixel(std::uint32_t p) {
  return {static_cast<double>((p >> 16) & 0xFF), static_cast<double>((p >> 8) & 0xFF), static_cast<double>(p & 0xFF)};
}

// Fraction of the pixel (x, y) for which `inside` holds, from 4 x 4 samples.
inline double Coverage(int x, int y, const std::function<bool(double, double)>& inside) {
  int n = 0;
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) n += inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4);
  return n / 16.0;
}

// Distance from (px, py) to the segment (ax, ay)-(bx, by).
inline double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// A diagonal cross centred on (cx, cy), arms reaching `half` along each axis, strokes `width` wide.
inline bool InCross(double x, double y, double cx, double cy, double half, double width) {
  return SegmentDistance(x, y, cx - half, cy - half, cx + half, cy + half) <= width / 2 ||
         SegmentDistance(x, y, cx - half, cy + half, cx + half, cy - half) <= width / 2;
}

}  // namespace bp::resgen
