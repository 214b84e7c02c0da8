#include "res/generator/icon.h"

#include "res/generator/paint.h"

namespace bp::resgen {
namespace {

struct Rgba {
  Rgb c;
  double a = 0;
};

// Paints `top` over `under` (straight alpha).
Rgba Over(Rgba under, Rgb top, double a) {
  const double out = a + under.a * (1 - a);
  if (out <= 0) return {};
  Rgb c{(top.r * a + under.c.r * under.a * (1 - a)) / out, (top.g * a + under.c.g * under.a * (1 - a)) / out,
        (top.b * a + under.c.b * under.a * (1 - a)) / out};
  return {c, out};
}

bool InRoundRect(double x, double y, double l, double t, double r, double b, double radius) {
  const double cx = std::clamp(x, l + radius, r - radius), cy = std::clamp(y, t + radius, b - radius);
  return x >= l && x <= r && y >= t && y <= b && std::hypot(x - cx, y - cy) <= radius;
}

gdi::IconImage Draw(int n) {
  const double u = n / 16.0;  // the design is on a 16-unit grid
  const Rgb sheet{67, 176, 71}, edge{46, 125, 50}, lines{220, 245, 220}, badge{229, 57, 53}, white{255, 255, 255};
  // Sheet 2..11.5 x 0.5..14.5 units; badge centred (11, 11), radius 4.5.
  const double sl = 1.5 * u, st = 0.5 * u, sr = 11.5 * u, sb = 14.5 * u, rad = 1.2 * u;
  const double bx = 11.0 * u, by = 11.0 * u, br = 4.6 * u;
  const double stroke = std::max(1.0, 0.9 * u);
  gdi::IconImage im;
  im.width = im.height = n;
  im.argb.resize(static_cast<std::size_t>(n * n));
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      Rgba px;
      const double outer = Coverage(x, y, [&](double X, double Y) { return InRoundRect(X, Y, sl, st, sr, sb, rad); });
      const double inner = Coverage(x, y, [&](double X, double Y) {
        return InRoundRect(X, Y, sl + stroke, st + stroke, sr - stroke, sb - stroke, std::max(0.0, rad - stroke));
      });
      px = Over(px, edge, outer);
      px = Over(px, sheet, inner);
      const double text = Coverage(x, y, [&](double X, double Y) {
        if (X < sl + 2.2 * u || X > sr - 2.2 * u) return false;
        for (double row : {3.5, 6.0, 8.5})
          if (Y >= row * u && Y < row * u + std::max(1.0, 0.9 * u)) return X < (row > 8 ? 6.5 : 9.3) * u;
        return false;
      });
      px = Over(px, lines, text * inner);
      const double ring = Coverage(x, y, [&](double X, double Y) { return std::hypot(X - bx, Y - by) <= br + 0.6 * u; });
      px = Over(px, white, ring);  // a thin white ring parts the badge from the sheet
      const double disc = Coverage(x, y, [&](double X, double Y) { return std::hypot(X - bx, Y - by) <= br; });
      px = Over(px, badge, disc);
      const double cross = Coverage(x, y, [&](double X, double Y) { return InCross(X, Y, bx, by, 2.1 * u, std::max(1.2, 1.1 * u)); });
      px = Over(px, white, cross * disc);
      const auto a = static_cast<std::uint32_t>(std::clamp(std::lround(px.a * 255), 0L, 255L));
      im.argb[static_cast<std::size_t>(y * n + x)] = (a << 24) | (a ? Pixel(px.c) : 0);
    }
  return im;
}

}  // namespace

std::vector<gdi::IconImage> AppIcon128() { return {Draw(16), Draw(32), Draw(48)}; }

}  // namespace bp::resgen
