// BitBlt, StretchBlt and TransparentBlt, pixel by pixel, with clipping and origins.
#include <gtest/gtest.h>

#include "platform/win32/gdi/gdi.h"
#include "tests/gdi/support.h"

using bp::test::Canvas;

namespace {
// A source whose every pixel is distinct: (x, y) -> RGB(x * 10, y * 10, 7).
COLORREF Probe(int x, int y) { return RGB(x * 10, y * 10, 7); }
void Paint(Canvas& c) {
  const auto& s = c.surface();
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) SetPixel(c.dc(), x, y, Probe(x, y));
}
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
}  // namespace

TEST(GdiBlit, BitBltCopiesExactlyTheRectangle) {
  Canvas src(8, 6);
  Paint(src);
  Canvas dst(10, 10);
  ASSERT_TRUE(BitBlt(dst.dc(), 2, 3, 4, 2, src.dc(), 1, 1, SRCCOPY));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool in = x >= 2 && x < 6 && y >= 3 && y < 5;
      EXPECT_EQ(dst.At(x, y), in ? Probe(x - 1, y - 2) : kWhite) << x << "," << y;
    }
  EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 0x00EE0086));  // SRCPAINT: not drawn
  EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
}

TEST(GdiBlit, ClipsAtEveryEdgeOfBothSurfaces) {
  Canvas src(4, 4);
  Paint(src);
  struct Case {
    int x, y, cx, cy, sx, sy;
  } cases[] = {
      {-2, -1, 4, 4, 0, 0},  // off the destination's top left
      {8, 8, 4, 4, 0, 0},    // off its bottom right
      {0, 0, 6, 6, -1, -2},  // source starts outside its bitmap
      {3, 2, 9, 9, 2, 2},    // source runs off its bitmap
  };
  for (const Case& k : cases) {
    Canvas dst(10, 10);
    ASSERT_TRUE(BitBlt(dst.dc(), k.x, k.y, k.cx, k.cy, src.dc(), k.sx, k.sy, SRCCOPY));
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) {
        const int sx = x - k.x + k.sx, sy = y - k.y + k.sy;
        const bool copied = x >= k.x && x < k.x + k.cx && y >= k.y && y < k.y + k.cy && sx >= 0 && sx < 4 && sy >= 0 && sy < 4;
        EXPECT_EQ(dst.At(x, y), copied ? Probe(sx, sy) : kWhite) << k.x << "," << k.y << " at " << x << "," << y;
      }
  }
}

TEST(GdiBlit, BothDcsOriginsApply) {
  Canvas src(6, 6);
  Paint(src);
  Canvas dst(10, 10);
  SetWindowOrgEx(dst.dc(), 3, 2, nullptr);  // logical (3, 2) is device (0, 0)
  SetViewportOrgEx(src.dc(), 1, 1, nullptr);  // source logical (0, 0) is device (1, 1)
  BitBlt(dst.dc(), 3, 2, 2, 2, src.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(dst.At(0, 0), Probe(1, 1));
  EXPECT_EQ(dst.At(1, 1), Probe(2, 2));
  EXPECT_EQ(dst.At(2, 2), kWhite);
}

// A control's background: window origin set to its offset before the parent draws at (0, 0).
TEST(GdiBlit, BackgroundProtocolLandsTheParentsPartAtTheOrigin) {
  Canvas frame(20, 20);
  Paint(frame);
  Canvas control(5, 4);
  const int dx = 7, dy = 9;
  SaveDC(control.dc());
  SetWindowOrgEx(control.dc(), dx, dy, nullptr);
  BitBlt(control.dc(), 0, 0, 20, 20, frame.dc(), 0, 0, SRCCOPY);  // what the frame's erase does
  SetViewportOrgEx(control.dc(), dx, dy, nullptr);
  SetPixel(control.dc(), 0, 0, RGB(1, 2, 3));  // identity again
  RestoreDC(control.dc(), -1);
  EXPECT_EQ(control.At(0, 0), RGB(1, 2, 3));
  EXPECT_EQ(control.At(1, 0), Probe(dx + 1, dy));
  EXPECT_EQ(control.At(4, 3), Probe(dx + 4, dy + 3));
  POINT p;
  GetWindowOrgEx(control.dc(), &p);
  EXPECT_EQ(p.x, 0);
}

TEST(GdiBlit, OverlappingCopyWithinOneBitmap) {
  Canvas c(6, 1);
  Paint(c);
  BitBlt(c.dc(), 1, 0, 5, 1, c.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(c.At(0, 0), Probe(0, 0));
  for (int x = 1; x < 6; ++x) EXPECT_EQ(c.At(x, 0), Probe(x - 1, 0));
}

TEST(GdiBlit, StretchByNearestPixelAndMirror) {
  Canvas src(2, 2);
  Paint(src);
  Canvas up(4, 4);
  ASSERT_TRUE(StretchBlt(up.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, SRCCOPY));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(up.At(x, y), Probe(x / 2, y / 2));

  Canvas wide(9, 1);
  Paint(wide);
  Canvas down(3, 1);
  StretchBlt(down.dc(), 0, 0, 3, 1, wide.dc(), 0, 0, 9, 1, SRCCOPY);
  EXPECT_EQ(down.At(0, 0), Probe(1, 0));  // centre of each group of three
  EXPECT_EQ(down.At(1, 0), Probe(4, 0));
  EXPECT_EQ(down.At(2, 0), Probe(7, 0));

  Canvas mirror(3, 1);
  StretchBlt(mirror.dc(), 2, 0, -3, 1, wide.dc(), 0, 0, 3, 1, SRCCOPY);
  EXPECT_EQ(mirror.At(0, 0), Probe(2, 0));
  EXPECT_EQ(mirror.At(2, 0), Probe(0, 0));

  Canvas same(5, 5);  // one to one equals BitBlt
  StretchBlt(same.dc(), 1, 1, 2, 2, src.dc(), 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(same.At(1, 1), Probe(0, 0));
  EXPECT_EQ(same.At(2, 2), Probe(1, 1));
  EXPECT_EQ(same.At(3, 3), kWhite);
}

TEST(GdiBlit, TransparentBltSkipsTheKeyAlsoWhenStretched) {
  Canvas src(2, 1);
  SetPixel(src.dc(), 0, 0, RGB(10, 20, 30));
  SetPixel(src.dc(), 1, 0, kMagenta);
  Canvas dst(4, 2, RGB(0, 0, 0));
  ASSERT_TRUE(TransparentBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 2, 1, kMagenta));
  EXPECT_EQ(dst.At(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(dst.At(1, 0), RGB(0, 0, 0));
  ASSERT_TRUE(TransparentBlt(dst.dc(), 0, 1, 4, 1, src.dc(), 0, 0, 2, 1, kMagenta));
  EXPECT_EQ(dst.At(0, 1), RGB(10, 20, 30));
  EXPECT_EQ(dst.At(1, 1), RGB(10, 20, 30));
  EXPECT_EQ(dst.At(2, 1), RGB(0, 0, 0));
  EXPECT_EQ(dst.At(3, 1), RGB(0, 0, 0));
  EXPECT_FALSE(TransparentBlt(dst.dc(), 0, 0, -2, 1, src.dc(), 0, 0, 2, 1, kMagenta));
  EXPECT_TRUE(TransparentBlt(dst.dc(), 0, 0, 0, 1, src.dc(), 0, 0, 0, 1, kMagenta));  // empty part
}

TEST(GdiBlit, ExtremeArgumentsAreClippedWithoutOverflow) {
  constexpr int kMax = 0x7FFFFFFF, kMin = -0x7FFFFFFF - 1;
  Canvas src(4, 4);
  Paint(src);
  Canvas dst(6, 6);
  EXPECT_TRUE(BitBlt(dst.dc(), kMax - 2, kMax - 2, kMax, kMax, src.dc(), 0, 0, SRCCOPY));
  EXPECT_TRUE(StretchBlt(dst.dc(), kMin, 0, kMin, kMax, src.dc(), kMax, kMin, -4, 4, SRCCOPY));
  EXPECT_TRUE(TransparentBlt(dst.dc(), -5, -5, kMax, kMax, src.dc(), 0, 0, 4, 4, RGB(255, 0, 255)));
  EXPECT_EQ(dst.At(5, 5), Probe(0, 0));  // one source pixel stretched over everything visible
  SetWindowOrgEx(dst.dc(), kMin, kMax, nullptr);
  SetViewportOrgEx(dst.dc(), kMax, kMin, nullptr);
  EXPECT_TRUE(BitBlt(dst.dc(), kMax, kMax, 4, 4, src.dc(), 0, 0, SRCCOPY));
  RECT r{kMin, kMin, kMax, kMax};
  EXPECT_EQ(FillRect(dst.dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 1);
  EXPECT_EQ(GetPixel(dst.dc(), kMax, kMin), CLR_INVALID);
}
