// CImgProgress: the filled length from both ends of the fill bitmap, ranges, the percentage text.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/ui/harness.h"

using namespace uitest;

namespace {
const bool kFonts = (UseTestFontEverywhere(), true);

constexpr int kPx = 35, kPy = 130;  // the report dialog's bar: (35, 130), 330 x 8

TEST(ImgProgressLength, TableOfPositionsAndRanges) {
  struct Case {
    int pos, lower, upper, width, len;
  } cases[] = {
      {0, 0, 100, 342, 0},    {1, 0, 100, 342, 3},     {50, 0, 100, 342, 171}, {99, 0, 100, 342, 338},
      {100, 0, 100, 342, 342}, {20, 20, 120, 342, 0},  {70, 20, 120, 342, 171}, {120, 20, 120, 342, 342},
      {5, 5, 5, 342, 0},       // empty range: no fill, no division by zero
      {150, 0, 100, 342, 342}, // never longer than the bitmap
      {-5, 0, 100, 342, 0},
      {50, 100, 0, 342, 171},  // a reversed range still measures from the lower bound
  };
  for (const Case& c : cases)
    EXPECT_EQ(CImgProgress::FillLength(c.pos, c.lower, c.upper, c.width), c.len)
        << c.pos << " in " << c.lower << ".." << c.upper;
  for (int pos = 0; pos <= 100; ++pos) EXPECT_EQ(CImgProgress::FillLength(pos, 0, 100, 342), pos * 342 / 100) << pos;
}

class ProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(host.Hwnd(), nullptr);
    int h = 0;
    fill = BitmapPixels(133, &fillWidth, &h);
    int tw = 0;
    track = BitmapPixels(132, &tw, &h);
    ASSERT_EQ(fillWidth, 342);
    ASSERT_FALSE(track.empty());
  }
  HWND Bar() { return bp::headless::FindChild(host.Hwnd(), 1002); }
  void SetPos(int pos) {
    // From this thread, as the upload worker does: the window's thread moves the bar.
    ::SendMessageW(Bar(), PBM_SETPOS, static_cast<WPARAM>(pos), 0);
    Settle();
  }
  // The bar's top row at bar column x: fill column, or -1 for the track.
  void ExpectRow(int len, const char* what) {
    const int half = len / 2, rest = len - half;
    for (int x = 0; x < 330; ++x) {
      COLORREF want = track[0];
      if (x < half) want = fill[x];
      else if (x < len) want = fill[342 - rest + (x - half)];
      ASSERT_EQ(Hex(host.Pixel(kPx + x, kPy)), Hex(want)) << what << ": bar column " << x;
      ASSERT_EQ(Hex(host.Pixel(kPx + x, kPy + 1)), Hex(want)) << what << ": bar column " << x << ", row 1";
    }
  }

  Host host{[](BenchDlg& d) {
    ReportLayout(d);
    d.UsePatternSkin();
    d.m_progress.SetSkin();
    d.m_progress.MoveWindow(kPx, kPy, 330, 8);
    d.m_progress.ShowWindow(SW_SHOW);
  }};
  std::vector<COLORREF> fill, track;
  int fillWidth = 0;
};
}  // namespace

TEST_F(ProgressTest, SkinSetsRectanglesAndTrackSize) {
  CRect bar, fillRc, window;
  host.Run([&] {
    CImgProgress& p = host.Dlg().m_progress;
    bar = p.m_rcBar;
    fillRc = p.m_rcFill;
    EXPECT_STREQ(p.GetRuntimeClass()->m_lpszClassName, "CImgProgress");
  });
  EXPECT_EQ(bar, CRect(0, 0, 342, 2));
  EXPECT_EQ(fillRc, CRect(0, 0, 342, 2));
}

TEST_F(ProgressTest, FillColumnsAtPositions) {
  ExpectRow(0, "position 0");
  host.Save("ui_progress_0.png");
  SetPos(1);
  ExpectRow(3, "position 1");
  // Spelled out: fill column 0 at x 0, columns 340 and 341 at x 1 and 2.
  EXPECT_EQ(host.Pixel(kPx + 1, kPy), fill[340]);
  EXPECT_EQ(host.Pixel(kPx + 2, kPy), fill[341]);
  SetPos(50);
  ExpectRow(171, "position 50");
  EXPECT_EQ(host.Pixel(kPx + 84, kPy), fill[84]);
  EXPECT_EQ(host.Pixel(kPx + 85, kPy), fill[256]);
  host.Save("ui_progress_50.png");
  SetPos(99);
  ExpectRow(338, "position 99");
  SetPos(100);
  ExpectRow(342, "position 100");
  host.Save("ui_progress_100.png");
}

TEST_F(ProgressTest, DrawsAtTrackSizeInTallerNarrowerWindow) {
  SetPos(100);
  // Columns 330 and beyond lie outside the 330-pixel window: the frame shows there.
  EXPECT_EQ(host.Pixel(kPx + 330, kPy), Pattern(kPx + 330, kPy));
  EXPECT_EQ(host.Pixel(kPx + 329, kPy), fill[329]);
  // Only the top two rows are the bar's.
  EXPECT_NE(host.Pixel(kPx + 100, kPy + 2), fill[100]);
  EXPECT_EQ(host.Pixel(kPx + 100, kPy - 1), Pattern(kPx + 100, kPy - 1));
}

TEST_F(ProgressTest, RangeTwentyToOneTwentyWithPercentage) {
  host.Run([&] {
    CImgProgress& p = host.Dlg().m_progress;
    p.SetRange32(20, 120);
    p.SetPos(20);
  });
  ExpectRow(0, "position 20 of 20..120");
  SetPos(120);
  ExpectRow(342, "position 120 of 20..120");
  host.Run([&] {
    CImgProgress& p = host.Dlg().m_progress;
    p.m_bShowPercent = TRUE;
    p.m_clrPercent = RGB(200, 0, 0);
    p.SetPos(70);
  });
  // "50%" in the surface's default font (the test font here): three equal blocks centred in the
  // 342-pixel bar, from its top.
  int first = -1, last = -1;
  for (int x = 0; x < 330; ++x) {
    if (host.Pixel(kPx + x, kPy) != RGB(200, 0, 0)) continue;
    if (first < 0) first = x;
    last = x;
  }
  ASSERT_GE(first, 0) << "no percentage drawn";
  const int width = last - first + 1;
  EXPECT_EQ(width % 3, 0) << "three characters";
  EXPECT_LE(std::abs((first + last) - 341), 1) << "centred: " << first << ".." << last;
  EXPECT_EQ(host.Pixel(kPx + first, kPy + 1), RGB(200, 0, 0));
  host.Save("ui_progress_percent.png");
}

TEST_F(ProgressTest, EmptyRangeDrawsNoFill) {
  host.Run([&] {
    CImgProgress& p = host.Dlg().m_progress;
    p.m_bShowPercent = TRUE;
    p.m_clrPercent = RGB(200, 0, 0);
    p.SetRange32(50, 50);
    p.SetPos(50);
    p.Invalidate(FALSE);
  });
  ExpectRow(0, "empty range");
}
