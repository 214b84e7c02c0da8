// Memory DCs, object selection and deletion, saved states and the two origins.
#include <gtest/gtest.h>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/surface.h"
#include "tests/gdi/support.h"

using bp::test::Canvas;

TEST(GdiDc, CompatibleBitmapIsBlackAndReportsItsSize) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SetPixel(dc, 0, 0, RGB(1, 1, 1)), CLR_INVALID);  // no bitmap of its own yet: nothing to draw on
  HBITMAP bmp = CreateCompatibleBitmap(dc, 7, 5);
  ASSERT_NE(bmp, nullptr);
  BITMAP bm;
  ASSERT_EQ(GetObjectW(bmp, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 7);
  EXPECT_EQ(bm.bmHeight, 5);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(GetObjectW(bmp, 0, nullptr), static_cast<int>(sizeof bm));
  HGDIOBJ old = SelectObject(dc, bmp);
  EXPECT_NE(old, nullptr);  // the DC's initial 1 x 1 bitmap
  EXPECT_EQ(GetPixel(dc, 6, 4), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 7, 4), CLR_INVALID);
  EXPECT_EQ(SelectObject(dc, old), bmp);
  EXPECT_TRUE(DeleteObject(bmp));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_FALSE(DeleteObject(bmp));
}

TEST(GdiDc, RejectsUnknownHandlesAndSizes) {
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, -1, 4), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 100000, 4), nullptr);
  HBITMAP empty = CreateCompatibleBitmap(nullptr, 0, 0);  // Win32 gives 1 x 1
  BITMAP bm;
  ASSERT_NE(GetObjectW(empty, sizeof bm, &bm), 0);
  EXPECT_EQ(bm.bmWidth, 1);
  DeleteObject(empty);
  int dummy = 0;
  EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(&dummy), GetStockObject(WHITE_BRUSH)), nullptr);
  EXPECT_EQ(GetPixel(reinterpret_cast<HDC>(&dummy), 0, 0), CLR_INVALID);
  EXPECT_EQ(GetObjectW(&dummy, sizeof bm, &bm), 0);
  EXPECT_TRUE(DeleteObject(GetStockObject(SYSTEM_FONT)));  // stock objects survive deletion
  LOGFONTW lf;
  EXPECT_EQ(GetObjectW(GetStockObject(SYSTEM_FONT), sizeof lf, &lf), static_cast<int>(sizeof lf));
}

TEST(GdiDc, DeletingASelectedBitmapKeepsItUntilDeselected) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(dc, 4, 4);
  HGDIOBJ old = SelectObject(dc, bmp);
  EXPECT_TRUE(DeleteObject(bmp));
  EXPECT_NE(SetPixel(dc, 1, 1, RGB(1, 2, 3)), CLR_INVALID);  // still drawable, no use after free
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(1, 2, 3));
  SelectObject(dc, old);
  DeleteDC(dc);
}

TEST(GdiDc, SaveAndRestoreIsAStack) {
  Canvas c(10, 10);
  HDC dc = c.dc();
  EXPECT_EQ(SaveDC(dc), 1);
  SetWindowOrgEx(dc, 3, 3, nullptr);
  SetTextColor(dc, RGB(1, 1, 1));
  EXPECT_EQ(SaveDC(dc), 2);
  SetViewportOrgEx(dc, 5, 0, nullptr);
  SetBkMode(dc, TRANSPARENT);
  EXPECT_EQ(SaveDC(dc), 3);
  SetWindowOrgEx(dc, 9, 9, nullptr);

  POINT p;
  EXPECT_TRUE(RestoreDC(dc, -1));  // back to the state saved third
  GetWindowOrgEx(dc, &p);
  EXPECT_EQ(p.x, 3);
  GetViewportOrgEx(dc, &p);
  EXPECT_EQ(p.x, 5);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);

  EXPECT_TRUE(RestoreDC(dc, 1));  // absolute: discards states 1 and 2 as well
  GetWindowOrgEx(dc, &p);
  EXPECT_EQ(p.x, 0);
  GetViewportOrgEx(dc, &p);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_FALSE(RestoreDC(dc, -1));  // nothing left
  EXPECT_FALSE(RestoreDC(dc, 0));
  EXPECT_EQ(SaveDC(dc), 1);
  EXPECT_FALSE(RestoreDC(dc, 2));
  EXPECT_TRUE(RestoreDC(dc, -1));
}

TEST(GdiDc, RestoreBringsBackTheSelectedObjects) {
  Canvas c(4, 4);
  LOGFONTW lf;
  lf.lfHeight = -20;
  std::u16string face = u"Bugpost Test";
  face.copy(lf.lfFaceName, face.size());
  HFONT font = CreateFontIndirectW(&lf);
  SaveDC(c.dc());
  SelectObject(c.dc(), font);
  TEXTMETRICW tm;
  GetTextMetricsW(c.dc(), &tm);
  EXPECT_EQ(tm.tmHeight, 20);
  RestoreDC(c.dc(), -1);
  GetTextMetricsW(c.dc(), &tm);
  EXPECT_NE(tm.tmHeight, 20);  // the system font again
  EXPECT_EQ(SelectObject(c.dc(), font) != nullptr, true);
  DeleteObject(font);  // deferred: still selected
  EXPECT_TRUE(GetTextMetricsW(c.dc(), &tm));
  EXPECT_EQ(tm.tmHeight, 20);
}

// Logical (x, y) lands at (x - window origin + viewport origin).
TEST(GdiDc, OriginsMapLogicalToDevice) {
  struct Case {
    POINT window, viewport, logical, device;
  } cases[] = {
      {{0, 0}, {0, 0}, {2, 3}, {2, 3}},
      {{5, 2}, {0, 0}, {6, 4}, {1, 2}},
      {{0, 0}, {5, 2}, {1, 1}, {6, 3}},
      {{5, 2}, {5, 2}, {4, 4}, {4, 4}},  // the background protocol's identity
      {{-3, 0}, {1, 0}, {0, 0}, {4, 0}},
  };
  for (const Case& k : cases) {
    Canvas c(12, 12, RGB(0, 0, 0));
    SetWindowOrgEx(c.dc(), k.window.x, k.window.y, nullptr);
    SetViewportOrgEx(c.dc(), k.viewport.x, k.viewport.y, nullptr);
    SetPixel(c.dc(), k.logical.x, k.logical.y, RGB(255, 0, 0));
    EXPECT_EQ(c.At(k.device.x, k.device.y), RGB(255, 0, 0)) << k.logical.x << "," << k.logical.y;
    EXPECT_EQ(GetPixel(c.dc(), k.logical.x, k.logical.y), RGB(255, 0, 0));
  }
}

TEST(GdiDc, SurfaceDcMapsOriginAndClips) {
  bp::gdi::Surface s;
  s.Resize(20, 10);
  HDC dc = bp::gdi::CreateSurfaceDC(&s, POINT{5, 2}, RECT{5, 2, 15, 8});
  ASSERT_NE(dc, nullptr);
  SetPixel(dc, 0, 0, RGB(0, 0, 255));
  EXPECT_EQ(s.pixels[2 * 20 + 5], 0x0000FFu);
  EXPECT_EQ(SetPixel(dc, -1, 0, RGB(0, 0, 255)), CLR_INVALID);  // left of the clip
  EXPECT_EQ(SetPixel(dc, 10, 0, RGB(0, 0, 255)), CLR_INVALID);  // x 15: right of it
  EXPECT_EQ(GetPixel(dc, 9, 5), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 9, 6), CLR_INVALID);
  RECT all{-100, -100, 100, 100};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &all, red);
  int inside = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool in = x >= 5 && x < 15 && y >= 2 && y < 8;
      if (s.pixels[y * 20 + x] == 0xFF0000u) ++inside;
      EXPECT_EQ(s.pixels[y * 20 + x] == 0xFF0000u, in) << x << "," << y;
    }
  EXPECT_EQ(inside, 60);
  DeleteObject(red);
  HBITMAP bmp = CreateCompatibleBitmap(nullptr, 2, 2);
  EXPECT_EQ(SelectObject(dc, bmp), nullptr);  // not a memory DC
  DeleteObject(bmp);
  bp::gdi::DestroySurfaceDC(dc);
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
}

TEST(GdiDc, FillRectTakesSystemColourIndices) {
  Canvas c(4, 4);
  RECT r{0, 0, 2, 2};
  FillRect(c.dc(), &r, reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_GRAYTEXT + 1)));
  EXPECT_EQ(c.At(1, 1), GetSysColor(COLOR_GRAYTEXT));
  EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), RGB(109, 109, 109));
  EXPECT_EQ(c.At(2, 2), RGB(255, 255, 255));
  RECT inverted{3, 3, 1, 1};
  FillRect(c.dc(), &inverted, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.At(2, 2), RGB(255, 255, 255));
}
