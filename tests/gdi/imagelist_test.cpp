// Image lists cut from strips and drawn through their masks.
#include <gtest/gtest.h>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/imagelist.h"
#include "tests/gdi/support.h"

using bp::test::Canvas;

namespace {
constexpr COLORREF kMagenta = RGB(255, 0, 255);
// A strip of `cells` cells of w x h: cell i is RGB(10 * (i + 1), 0, 0) with a magenta pixel at (0, 0).
HBITMAP Strip(int width, int h, int cellWidth) {
  Canvas c(width, h);
  for (int x = 0; x < width; ++x)
    for (int y = 0; y < h; ++y) SetPixel(c.dc(), x, y, (x % cellWidth == 0 && y == 0) ? kMagenta : RGB(10 * (x / cellWidth + 1), 0, 0));
  // Hand the bitmap out: copy it, since the canvas deletes its own.
  HBITMAP out = CreateCompatibleBitmap(nullptr, width, h);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, out);
  BitBlt(dc, 0, 0, width, h, c.dc(), 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
  return out;
}
}  // namespace

TEST(GdiImageList, AddMaskedCutsTheStripIntoCells) {
  struct Case {
    int stripWidth, cellWidth, cells;
  } cases[] = {{440, 110, 4}, {441, 110, 4}, {132, 33, 4}, {100, 110, 0}};
  for (const Case& k : cases) {
    HIMAGELIST il = ImageList_Create(k.cellWidth, 6, ILC_COLOR24 | ILC_MASK, 4, 0);
    ASSERT_NE(il, nullptr);
    HBITMAP strip = Strip(k.stripWidth, 6, k.cellWidth);
    EXPECT_EQ(ImageList_AddMasked(il, strip, kMagenta), k.cells ? 0 : -1);
    EXPECT_EQ(ImageList_GetImageCount(il), k.cells);
    IMAGEINFO info;
    EXPECT_EQ(ImageList_GetImageInfo(il, k.cells - 1, &info) != FALSE, k.cells > 0);
    if (k.cells) {
      EXPECT_EQ(info.rcImage.right - info.rcImage.left, k.cellWidth);
      EXPECT_EQ(info.rcImage.bottom - info.rcImage.top, 6);
      EXPECT_NE(info.hbmImage, nullptr);
      EXPECT_NE(info.hbmMask, nullptr);
    }
    EXPECT_FALSE(ImageList_GetImageInfo(il, k.cells, &info));
    int cx = 0, cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(il, &cx, &cy));
    EXPECT_EQ(cx, k.cellWidth);
    DeleteObject(strip);
    EXPECT_TRUE(ImageList_Destroy(il));
  }
  EXPECT_FALSE(ImageList_Destroy(nullptr));
  EXPECT_EQ(ImageList_Create(0, 5, ILC_COLOR24, 1, 0), nullptr);
}

TEST(GdiImageList, DrawLeavesMaskedPixelsAndKeepsItsOwnCopy) {
  HIMAGELIST il = ImageList_Create(4, 3, ILC_COLOR24 | ILC_MASK, 4, 0);
  HBITMAP strip = Strip(16, 3, 4);
  ImageList_AddMasked(il, strip, kMagenta);
  DeleteObject(strip);  // the list keeps its cells
  Canvas c(10, 6, RGB(0, 0, 255));
  SetWindowOrgEx(c.dc(), -1, -1, nullptr);
  ASSERT_TRUE(ImageList_Draw(il, 2, c.dc(), 0, 0, ILD_TRANSPARENT));
  EXPECT_EQ(c.At(1, 1), RGB(0, 0, 255));  // the cell's magenta pixel
  EXPECT_EQ(c.At(2, 1), RGB(30, 0, 0));
  EXPECT_EQ(c.At(4, 3), RGB(30, 0, 0));
  EXPECT_EQ(c.At(5, 1), RGB(0, 0, 255));
  EXPECT_EQ(c.At(1, 4), RGB(0, 0, 255));
  EXPECT_FALSE(ImageList_Draw(il, 4, c.dc(), 0, 0, ILD_TRANSPARENT));
  ASSERT_TRUE(ImageList_Draw(il, 0, c.dc(), 7, 4, ILD_NORMAL));  // clipped at the bitmap's edge
  EXPECT_EQ(c.At(9, 5), RGB(10, 0, 0));
  // A second strip appends after the first: the list grows past its initial size.
  HBITMAP more = Strip(8, 3, 4);
  EXPECT_EQ(ImageList_AddMasked(il, more, kMagenta), 4);
  EXPECT_EQ(ImageList_GetImageCount(il), 6);
  DeleteObject(more);
  ImageList_Draw(il, 5, c.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(c.At(2, 1), RGB(20, 0, 0));
  ImageList_Destroy(il);
}
