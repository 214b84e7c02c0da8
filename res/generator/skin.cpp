#include "res/generator/skin.h"

#include <string>

#include "platform/win32/gdi/gdi.h"
#include "res/generator/paint.h"

namespace bp::resgen {
namespace {

constexpr Rgb kBandEnd{8, 161, 223}, kBandMiddle{30, 197, 242};
constexpr Rgb kWhite{255, 255, 255}, kLightGrey{204, 204, 204};
constexpr int kBandHeight = 36;

// The band's colour: a horizontal gradient, ends to middle; the top 12 rows lighten upwards
// by up to a tenth towards white, the rows below (where the title sits) are the plain gradient.
Rgb Band(int x, int y, int width) {
  const double half = (width - 1) / 2.0;
  const double t = 1.0 - std::abs(x - half) / half;
  const Rgb c = Mix(kBandEnd, kBandMiddle, t);
  const double lift = y < 12 ? (12 - y) / 12.0 * 0.10 : 0.0;
  return Mix(c, kWhite, lift);
}

// White title text, its ink fitted into the box (x0, y0)-(x1, y1) inclusive.
void Title(gdi::Surface& s, const std::u16string& text, int x0, int y0, int x1, int y1) {
  // Draw white on black in a scratch bitmap, find the ink, then blend it in by its coverage.
  for (int height = 16; height >= 8; --height) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 120, 40);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    LOGFONTW lf;
    lf.lfHeight = -height;
    lf.lfWeight = FW_NORMAL;
    const std::u16string face = u"微软雅黑";
    face.copy(lf.lfFaceName, face.size());
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutW(dc, 4, 4, text.c_str(), static_cast<int>(text.size()));
    const gdi::Surface& scratch = *gdi::GetBitmapSurface(bmp);
    int l = 1000, t = 1000, r = -1, b = -1;
    for (int y = 0; y < scratch.height; ++y)
      for (int x = 0; x < scratch.width; ++x)
        if (scratch.Row(y)[x] & 0xFF) l = std::min(l, x), r = std::max(r, x), t = std::min(t, y), b = std::max(b, y);
    const bool fits = r >= 0 && r - l <= x1 - x0 && b - t <= y1 - y0;
    if (fits) {
      const int dx = x0 + ((x1 - x0) - (r - l)) / 2 - l, dy = y0 + ((y1 - y0) - (b - t)) / 2 - t;
      for (int y = t; y <= b; ++y)
        for (int x = l; x <= r; ++x) {
          const double a = (scratch.Row(y)[x] & 0xFF) / 255.0;
          std::uint32_t& p = s.Row(y + dy)[x + dx];
          p = Pixel(Mix(FromPixel(p), kWhite, a));
        }
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBmp);
    DeleteObject(bmp);
    DeleteDC(dc);
    if (fits) return;
  }
}

// Softens a corner: the corner pixel and its neighbours within three pixels mix towards grey.
void SoftenCorners(gdi::Surface& s) {
  const double amount[3] = {0.75, 0.45, 0.18};  // by x + y from the corner
  for (int dy = 0; dy < 3; ++dy)
    for (int dx = 0; dx + dy < 3; ++dx) {
      const double a = amount[dx + dy];
      for (auto [x, y] : {std::pair{dx, dy}, {s.width - 1 - dx, dy}, {dx, s.height - 1 - dy}, {s.width - 1 - dx, s.height - 1 - dy}}) {
        std::uint32_t& p = s.Row(y)[x];
        p = Pixel(Mix(FromPixel(p), kLightGrey, a));
      }
    }
}

gdi::Surface Solid(int w, int h, Rgb c) {
  gdi::Surface s;
  s.Resize(w, h);
  for (auto& p : s.pixels) p = Pixel(c);
  return s;
}

}  // namespace

gdi::Surface Window129() {
  gdi::Surface s = Solid(382, 262, kWhite);
  for (int y = 0; y < kBandHeight; ++y)
    for (int x = 0; x < s.width; ++x) s.Row(y)[x] = Pixel(Band(x, y, s.width));
  Title(s, u"错误反馈", 10, 12, 64, 24);
  SoftenCorners(s);
  return s;
}

gdi::Surface CloseButton130(const gdi::Surface& window) {
  constexpr int kCell = 33, kHeight = 36;
  gdi::Surface s;
  s.Resize(kCell * 4, kHeight);
  const int left = window.width - kCell;  // the button covers the band's right end
  const Rgb hoverTop{254, 76, 76}, pressedTop{248, 48, 48};
  for (int cell = 0; cell < 4; ++cell)
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kCell; ++x) {
        Rgb c = FromPixel(window.Row(y)[left + x]);
        const double down = y / static_cast<double>(kHeight - 1);
        if (cell == 1) c = Mix(hoverTop, c, down);
        if (cell == 2) c = Mix(pressedTop, c, down);
        const double cross = Coverage(x, y, [](double px, double py) { return InCross(px, py, 16.5, 18.0, 5.0, 1.6); });
        s.Row(y)[cell * kCell + x] = Pixel(Mix(c, kWhite, cross));
      }
  return s;
}

gdi::Surface SendButton131() {
  constexpr int kCell = 110, kHeight = 30;
  const Rgb fills[4] = {{61, 200, 38}, {91, 220, 70}, {46, 178, 24}, {196, 196, 196}};
  gdi::Surface s;
  s.Resize(kCell * 4, kHeight);
  constexpr double r = 3.0;  // corner radius
  for (int cell = 0; cell < 4; ++cell)
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kCell; ++x) {
        const double cover = Coverage(x, y, [&](double px, double py) {
          const double cx = std::clamp(px, r, kCell - r), cy = std::clamp(py, r, kHeight - r);
          return std::hypot(px - cx, py - cy) <= r;
        });
        s.Row(y)[cell * kCell + x] = Pixel(Mix(kWhite, fills[cell], cover));
      }
  return s;
}

gdi::Surface Track132() { return Solid(342, 2, {230, 230, 230}); }

gdi::Surface Fill133() {
  gdi::Surface s = Solid(342, 2, {18, 165, 224});
  const Rgb ends[3] = {{70, 185, 231}, {38, 173, 227}, {14, 163, 223}};  // outermost first
  for (int y = 0; y < s.height; ++y)
    for (int i = 0; i < 3; ++i) s.Row(y)[i] = s.Row(y)[s.width - 1 - i] = Pixel(ends[i]);
  return s;
}

}  // namespace bp::resgen
