// Regions: the combinations, their boxes and complexity, and the skin's corner cut-outs.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/surface.h"

namespace {
// Region membership of every pixel in [0, w) x [0, h), as a picture for comparisons.
std::vector<bool> Picture(HRGN r, int w, int h) {
  std::vector<bool> v;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) v.push_back(PtInRegion(r, x, y) != FALSE);
  return v;
}
}  // namespace

TEST(GdiRegion, CombinationsMatchTheirSetDefinitions) {
  const RECT a{1, 1, 6, 5}, b{3, 2, 9, 8};
  auto in = [](const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; };
  struct Case {
    int mode;
    bool (*op)(bool, bool);
    int complexity;
  } cases[] = {
      {RGN_AND, [](bool p, bool q) { return p && q; }, SIMPLEREGION},
      {RGN_OR, [](bool p, bool q) { return p || q; }, COMPLEXREGION},
      {RGN_XOR, [](bool p, bool q) { return p != q; }, COMPLEXREGION},
      {RGN_DIFF, [](bool p, bool q) { return p && !q; }, COMPLEXREGION},
      {RGN_COPY, [](bool p, bool) { return p; }, SIMPLEREGION},
  };
  for (const Case& k : cases) {
    HRGN ra = CreateRectRgnIndirect(&a), rb = CreateRectRgnIndirect(&b), dst = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(dst, ra, rb, k.mode), k.complexity) << k.mode;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x)
        EXPECT_EQ(PtInRegion(dst, x, y) != FALSE, k.op(in(a, x, y), in(b, x, y))) << k.mode << " " << x << "," << y;
    DeleteObject(ra);
    DeleteObject(rb);
    DeleteObject(dst);
  }
}

TEST(GdiRegion, BoxesAndEmptyRegions) {
  HRGN r = CreateRectRgn(10, 20, 0, 5);  // corners in any order
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 5);
  EXPECT_EQ(box.right, 10);
  EXPECT_EQ(box.bottom, 20);
  HRGN same = CreateRectRgn(10, 20, 0, 5);
  EXPECT_EQ(CombineRgn(r, r, same, RGN_DIFF), NULLREGION);  // the destination may be a source
  EXPECT_EQ(GetRgnBox(r, &box), NULLREGION);
  EXPECT_EQ(box.right, 0);
  EXPECT_FALSE(PtInRegion(r, 5, 10));
  EXPECT_EQ(CombineRgn(r, r, nullptr, RGN_AND), RGN_ERROR);
  EXPECT_EQ(CombineRgn(r, same, same, 99), RGN_ERROR);
  EXPECT_EQ(OffsetRgn(same, 3, -5), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(same, 3, 0));
  EXPECT_FALSE(PtInRegion(same, 2, 0));
  DeleteObject(r);
  DeleteObject(same);
}

// The frame's region: a full rectangle with single pixels taken out near the corners.
TEST(GdiRegion, SubtractingCornerPixelsLeavesTheRest) {
  const int W = 40, H = 30;
  HRGN r = CreateRectRgn(0, 0, W, H);
  const POINT removed[] = {{2, 1}, {W - 3, 1}, {1, H - 2}, {W - 1, H - 1}, {0, 0}, {1, 0}};
  for (const POINT& p : removed) {
    HRGN px = CreateRectRgn(p.x, p.y, p.x + 1, p.y + 1);
    CombineRgn(r, r, px, RGN_DIFF);
    DeleteObject(px);
  }
  int missing = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) missing += !PtInRegion(r, x, y);
  EXPECT_EQ(missing, 6);
  for (const POINT& p : removed) EXPECT_FALSE(PtInRegion(r, p.x, p.y));
  EXPECT_TRUE(PtInRegion(r, 20, 1));
  EXPECT_TRUE(PtInRegion(r, 4, 20));
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
  EXPECT_EQ(box.right, W);
  EXPECT_EQ(box.bottom, H);

  // Rebuilt in another order, it is the same region; the rectangles cover it exactly once.
  HRGN again = CreateRectRgn(0, 0, W, H);
  for (int i = 5; i >= 0; --i) {
    HRGN px = CreateRectRgn(removed[i].x, removed[i].y, removed[i].x + 1, removed[i].y + 1);
    CombineRgn(again, again, px, RGN_DIFF);
    DeleteObject(px);
  }
  EXPECT_TRUE(EqualRgn(r, again));
  std::vector<RECT> rects;
  ASSERT_TRUE(bp::gdi::GetRegionRects(r, &rects));
  std::vector<int> cover(W * H, 0);
  for (const RECT& q : rects)
    for (int y = q.top; y < q.bottom; ++y)
      for (int x = q.left; x < q.right; ++x) ++cover[y * W + x];
  const auto pic = Picture(r, W, H);
  for (int i = 0; i < W * H; ++i) EXPECT_EQ(cover[i], pic[i] ? 1 : 0) << i;
  DeleteObject(r);
  DeleteObject(again);
}
