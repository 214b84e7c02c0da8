// Text with the fixed-metrics test font (exact layouts), and a few probes of the real CJK font.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/gdi/fonts.h"
#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/testfont.h"
#include "tests/gdi/support.h"

using bp::test::Canvas;
namespace testfont = bp::gdi::testfont;

namespace {
LOGFONTW Log(int height, const std::u16string& face = testfont::kFace, int weight = FW_NORMAL) {
  LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  face.copy(lf.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
  return lf;
}

// A canvas with a font selected; the font is released with it.
struct TextCanvas : Canvas {
  TextCanvas(int cx, int cy, const LOGFONTW& lf) : Canvas(cx, cy) {
    font = CreateFontIndirectW(&lf);
    old = SelectObject(dc(), font);
    SetBkMode(dc(), TRANSPARENT);
    SetTextColor(dc(), RGB(255, 0, 0));
  }
  ~TextCanvas() {
    SelectObject(dc(), old);
    DeleteObject(font);
  }
  bool Red(int x, int y) const { return At(x, y) == RGB(255, 0, 0); }
  // Columns [x0, x1) of row y that are inked.
  int InkInRow(int y, int x0, int x1) const {
    int n = 0;
    for (int x = x0; x < x1; ++x) n += At(x, y) != RGB(255, 255, 255);
    return n;
  }
  HFONT font;
  HGDIOBJ old;
};

std::u32string U32(const std::u16string& s) { return bp::gdi::CodePoints(s.data(), s.size()); }
std::vector<std::u32string> Lines(std::initializer_list<std::u16string> l) {
  std::vector<std::u32string> v;
  for (const auto& s : l) v.push_back(U32(s));
  return v;
}
}  // namespace

TEST(GdiTestFont, MetricsFollowTheHeight) {
  struct Case {
    int lfHeight, height, ascent, advance;
  } cases[] = {{-16, 16, 12, 12}, {16, 16, 12, 12}, {0, 12, 9, 9}, {-20, 20, 15, 15}, {-9, 9, 7, 6}};
  for (const Case& k : cases) {
    TextCanvas c(4, 4, Log(k.lfHeight));
    TEXTMETRICW tm;
    ASSERT_TRUE(GetTextMetricsW(c.dc(), &tm));
    EXPECT_EQ(tm.tmHeight, k.height) << k.lfHeight;
    EXPECT_EQ(tm.tmAscent, k.ascent) << k.lfHeight;
    EXPECT_EQ(tm.tmDescent, k.height - k.ascent);
    EXPECT_EQ(tm.tmAveCharWidth, k.advance);
    SIZE sz;
    ASSERT_TRUE(GetTextExtentPoint32W(c.dc(), u"测试 A", 4, &sz));
    EXPECT_EQ(sz.cx, 4 * k.advance);
    EXPECT_EQ(sz.cy, k.height);
  }
  LOGFONTW back;
  const LOGFONTW lf = Log(-16);
  HFONT f = CreateFontIndirectW(&lf);
  ASSERT_EQ(GetObjectW(f, sizeof back, &back), static_cast<int>(sizeof back));
  EXPECT_EQ(back.lfHeight, -16);
  EXPECT_EQ(std::u16string(back.lfFaceName), u"Bugpost Test");
  DeleteObject(f);
}

TEST(GdiTestFont, TextOutDrawsBlocksAtTheCellsTopLeft) {
  TextCanvas c(40, 20, Log(-8));  // advance 6, cell 8
  SetWindowOrgEx(c.dc(), -1, 0, nullptr);  // logical x is device x - 1
  ASSERT_TRUE(TextOutW(c.dc(), 2, 3, u"AB C", 4));
  for (int x = 0; x < 40; ++x)
    for (int y = 0; y < 20; ++y) {
      const int col = x - 3;
      const bool inCell = y >= 3 && y < 11 && col >= 0 && col < 24;
      const bool ink = inCell && (col / 6 != 2);  // the third character is a space
      EXPECT_EQ(c.Red(x, y), ink) << x << "," << y;
    }
  SetBkMode(c.dc(), OPAQUE);
  SetBkColor(c.dc(), RGB(0, 0, 255));
  TextOutW(c.dc(), -1, 12, u" ", 1);
  EXPECT_EQ(c.At(0, 12), RGB(0, 0, 255));  // an opaque background fills the cell
  EXPECT_EQ(c.At(5, 19), RGB(0, 0, 255));
  EXPECT_EQ(c.At(6, 12), RGB(255, 255, 255));
}

TEST(GdiTestFont, CalcRectMeasuresLines) {
  TextCanvas c(10, 10, Log(-16));  // advance 12, line 16
  struct Case {
    std::u16string text;
    UINT format;
    int width;  // the rectangle's width going in
    LONG right, bottom;
  } cases[] = {
      {u"测试用汉字来获取宽度", DT_SINGLELINE, 0, 120, 16},
      {u"AB\r\nCDE", 0, 0, 36, 32},
      {u"AB\nCD\n", 0, 0, 24, 48},  // a trailing line feed starts an empty line
      {u"AB\r\nCD", DT_SINGLELINE, 0, 48, 16},
      {u"", DT_SINGLELINE, 0, 0, 16},
      {u"one two three", DT_WORDBREAK, 100, 84, 32},  // "one two" / "three"
      {u"one two three", DT_WORDBREAK, 0, 60, 48},    // a word a line; the widest sets the width
      {u"abcdefghijkl", DT_WORDBREAK, 50, 144, 16},   // one word: not broken, widens the rectangle
      {u"&File", 0, 0, 48, 16},
      {u"&File", DT_NOPREFIX, 0, 60, 16},
      {u"a&&b", 0, 0, 36, 16},
  };
  for (const Case& k : cases) {
    RECT r{10, 20, 10 + k.width, 20};
    const int h = DrawTextW(c.dc(), k.text.c_str(), -1, &r, k.format | DT_CALCRECT);
    EXPECT_EQ(r.right - 10, k.right) << std::string(k.text.begin(), k.text.end());
    EXPECT_EQ(r.bottom - 20, k.bottom) << std::string(k.text.begin(), k.text.end());
    EXPECT_EQ(h, k.bottom);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
  }
  EXPECT_EQ(c.InkInRow(5, 0, 10), 0);  // measuring draws nothing
}

TEST(GdiTestFont, LayoutBreaksLinesAndShortensThem) {
  const auto face = bp::gdi::ResolveFace(Log(-16));  // advance 12
  struct Case {
    std::u16string text;
    int limit;
    UINT format;
    std::vector<std::u32string> lines;
  } cases[] = {
      {u"AB\rCD", 200, 0, Lines({u"AB", u"CD"})},
      {u"one two  three", 100, DT_WORDBREAK, Lines({u"one two", u"three"})},
      {u"one two ", 100, DT_WORDBREAK, Lines({u"one two "})},  // spaces go only where a line breaks
      {u"程序崩溃啦，囧。。", 60, DT_WORDBREAK, Lines({u"程序崩溃", u"啦，囧。。"})},  // no line starts with "，"
      {u"希望您将此错误报告", 48, DT_WORDBREAK, Lines({u"希望您将", u"此错误报", u"告"})},
      {u"ABCDEFGHIJ", 72, DT_SINGLELINE | DT_END_ELLIPSIS, Lines({u"ABC..."})},
      {u"ABCDEF", 72, DT_SINGLELINE | DT_END_ELLIPSIS, Lines({u"ABCDEF"})},  // fits: untouched
      {u"AB", 24, DT_SINGLELINE | DT_END_ELLIPSIS, Lines({u"AB"})},
      {u"ABCD", 24, DT_SINGLELINE | DT_END_ELLIPSIS, Lines({u"..."})},  // not even one letter fits
      {u"C:\\dir\\sub\\file.txt", 168, DT_SINGLELINE | DT_PATH_ELLIPSIS, Lines({u"C:...\\file.txt"})},
      {u"/usr/lib/x", 120, DT_SINGLELINE | DT_PATH_ELLIPSIS, Lines({u"/usr/lib/x"})},
      {u"/a/verylongname", 96, DT_SINGLELINE | DT_PATH_ELLIPSIS, Lines({u".../v..."})},
      {u"noseparators", 96, DT_SINGLELINE | DT_PATH_ELLIPSIS, Lines({u"nosep..."})},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(bp::gdi::LayoutText(*face, U32(k.text), k.limit, k.format), k.lines)
        << std::string(k.text.begin(), k.text.end());
  }
}

TEST(GdiTestFont, DrawTextAlignsWithinTheRectangle) {
  TextCanvas c(100, 40, Log(-8));  // advance 6, line 8
  struct Case {
    UINT format;
    int x, y;  // expected top left of "AB"
    int ret;
  } cases[] = {
      {DT_SINGLELINE, 10, 5, 8},
      {DT_CENTER | DT_SINGLELINE, 10 + (40 - 12) / 2, 5, 8},
      {DT_RIGHT | DT_SINGLELINE, 50 - 12, 5, 8},
      {DT_VCENTER | DT_SINGLELINE, 10, 5 + (30 - 8) / 2, 19},
      {DT_BOTTOM | DT_SINGLELINE, 10, 35 - 8, 30},
      {DT_CENTER | DT_VCENTER, 10 + 14, 5, 8},  // vertical centring needs DT_SINGLELINE
  };
  for (const Case& k : cases) {
    c.Fill(RGB(255, 255, 255));
    RECT r{10, 5, 50, 35};
    EXPECT_EQ(DrawTextW(c.dc(), u"AB", 2, &r, k.format), k.ret) << k.format;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 100; ++x) {
        const bool ink = x >= k.x && x < k.x + 12 && y >= k.y && y < k.y + 8;
        ASSERT_EQ(c.Red(x, y), ink) << "format " << k.format << " at " << x << "," << y;
      }
  }
}

TEST(GdiTestFont, DrawTextClipsToItsRectangleUnlessAskedNot) {
  TextCanvas c(60, 20, Log(-8));
  RECT r{0, 0, 20, 4};
  DrawTextW(c.dc(), u"ABCDEFGH", -1, &r, DT_SINGLELINE);
  EXPECT_TRUE(c.Red(19, 3));
  EXPECT_FALSE(c.Red(20, 3));
  EXPECT_FALSE(c.Red(5, 4));
  c.Fill(RGB(255, 255, 255));
  DrawTextW(c.dc(), u"ABCDEFGH", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_TRUE(c.Red(47, 7));
  EXPECT_FALSE(c.Red(48, 7));
}

TEST(GdiTestFont, WrappedLinesStackByLineHeight) {
  TextCanvas c(60, 60, Log(-8));  // advance 6
  RECT r{0, 0, 30, 60};           // five characters a line
  EXPECT_EQ(DrawTextW(c.dc(), u"测试用汉字来获取", -1, &r, DT_WORDBREAK | DT_CENTER), 16);
  EXPECT_EQ(c.InkInRow(0, 0, 60), 30);
  EXPECT_EQ(c.InkInRow(8, 0, 60), 18);
  EXPECT_TRUE(c.Red(6, 8));  // "来获取" centred: (30 - 18) / 2
  EXPECT_FALSE(c.Red(5, 8));
  EXPECT_EQ(c.InkInRow(16, 0, 60), 0);
}

TEST(GdiRealFont, ChineseFacesMapToACjkFontAndDrawInTheColourAsked) {
  for (const std::u16string face : {u"微软雅黑", u"MS Shell Dlg", u"No Such Face"}) {
    const auto f = bp::gdi::ResolveFace(Log(-12, face));
    EXPECT_NE(f->family, "Bugpost Test") << f->family;
    EXPECT_GE(f->Height(), 12);
    EXPECT_LE(f->Height(), 20);
    EXPECT_GT(f->GetGlyph(U'错').coverage.size(), 0u) << f->family;  // the face has CJK glyphs
  }
  TextCanvas c(120, 40, Log(-12, u"微软雅黑"));
  SetTextColor(c.dc(), RGB(102, 102, 102));
  RECT r{10, 10, 110, 30};
  DrawTextW(c.dc(), u"程序崩溃啦", -1, &r, DT_SINGLELINE);
  int dark = 0, outside = 0, foreign = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      const COLORREF p = c.At(x, y);
      if (p == RGB(255, 255, 255)) continue;
      const bool in = x >= 10 && x < 110 && y >= 10 && y < 30;
      outside += !in;
      if (GetRValue(p) <= 120) ++dark;  // near the grey asked for (thin strokes are anti-aliased)
      // Anti-aliased edges blend the grey into white: every channel equal and between the two.
      if (GetRValue(p) != GetGValue(p) || GetGValue(p) != GetBValue(p) || GetRValue(p) < 102) ++foreign;
    }
  EXPECT_GT(dark, 30);
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(foreign, 0);
  SIZE sz;
  GetTextExtentPoint32W(c.dc(), u"程序崩溃啦", 5, &sz);
  EXPECT_GE(sz.cx, 5 * 11);  // full-width characters
  EXPECT_LE(sz.cx, 5 * 14);
  bp::test::SavePng(c.surface(), "gdi_real_font");
}

TEST(GdiRealFont, WeightAndUnderlineChangeTheInk) {
  auto ink = [](const LOGFONTW& lf) {
    TextCanvas c(80, 30, lf);
    TextOutW(c.dc(), 2, 2, u"反馈Ab", 4);
    int n = 0;
    for (int y = 0; y < 30; ++y) n += c.InkInRow(y, 0, 80);
    return n;
  };
  const int normal = ink(Log(-14, u"微软雅黑", FW_NORMAL));
  EXPECT_GT(ink(Log(-14, u"微软雅黑", FW_BOLD)), normal);
  LOGFONTW under = Log(-14, u"微软雅黑");
  under.lfUnderline = 1;
  EXPECT_GT(ink(under), normal);
  TextCanvas c(10, 10, Log(-14, u"微软雅黑", FW_MEDIUM));
  TEXTMETRICW tm;
  GetTextMetricsW(c.dc(), &tm);
  EXPECT_EQ(tm.tmWeight, FW_MEDIUM);
}

TEST(GdiTestFont, AbsurdHeightsAreCapped) {
  for (const std::u16string& face : {std::u16string(testfont::kFace), std::u16string(u"微软雅黑")}) {
    for (int h : {-0x7FFFFFFF - 1, 0x7FFFFFFF, -5000}) {
      LOGFONTW lf = Log(h, face);
      lf.lfWidth = -0x7FFFFFFF - 1;
      HFONT f = CreateFontIndirectW(&lf);
      ASSERT_NE(f, nullptr);
      Canvas c(8, 8);
      HGDIOBJ old = SelectObject(c.dc(), f);
      TEXTMETRICW tm;
      GetTextMetricsW(c.dc(), &tm);
      EXPECT_LE(tm.tmHeight, 4096);
      EXPECT_GT(tm.tmHeight, 0);
      SelectObject(c.dc(), old);
      DeleteObject(f);
    }
  }
}
