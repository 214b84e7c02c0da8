// CStaticEx: per-character wrapping, line spacing, growth, icon room, font rules, hover colour.
// Every font is the fixed-metrics test font: at height -16 characters are 12 x 16 blocks.
#include <gtest/gtest.h>

#include "tests/ui/harness.h"

using namespace uitest;

namespace {
const bool kFonts = (UseTestFontEverywhere(), true);

constexpr int kLx = 30, kLy = 100;
constexpr COLORREF kInk = RGB(102, 102, 102);

TEST(StaticExWrap, TableOfTexts) {
  // Characters 10 wide, W 50 wide, in a 30-pixel area.
  const auto measure = [](const CString& s) {
    int w = 0;
    for (int i = 0; i < s.GetLength(); ++i) w += s[i] == u'W' ? 50 : 10;
    return w;
  };
  struct Case {
    const char16_t* text;
    std::vector<const char16_t*> lines;
  } cases[] = {
      {u"", {u""}},
      {u"AB\r\nCD", {u"AB", u"CD"}},
      {u"AB\n", {u"AB", u""}},
      {u"\n\n", {u"", u"", u""}},
      {u"ABCD", {u"ABC", u"D"}},
      {u"ABCDEFG", {u"ABC", u"DEF", u"G"}},
      {u"AWB", {u"A", u"W", u"B"}},  // too wide: alone on its own line
      {u"W", {u"W"}},
      {u"WW", {u"W", u"W"}},
      {u"A\nW\nB", {u"A", u"W", u"B"}},
  };
  for (const Case& c : cases) {
    const std::vector<CString> got = CStaticEx::WrapText(CString(c.text), 30, measure);
    std::vector<CString> want(c.lines.begin(), c.lines.end());
    EXPECT_EQ(got, want) << "text of " << CString(c.text).GetLength() << " units";
  }
}

class StaticTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(host.Hwnd(), nullptr); }
  // Lays the label out at (30, 100) and waits for its paints.
  void Show(const char16_t* text, int width, int height, const std::function<void(CStaticEx&)>& more = nullptr) {
    host.Run([&] {
      CStaticEx& s = host.Dlg().m_stMessage;
      s.m_strText = text;
      if (more) more(s);
      s.MoveWindow(kLx, kLy, width, height);
      s.ShowWindow(SW_SHOW);
      s.InvalidateRect(nullptr, TRUE);
    });
  }
  bool Ink(int x, int y) { return host.Pixel(kLx + x, kLy + y) == kInk; }
  CRect Window() {
    CRect rc;
    ::GetWindowRect(bp::headless::FindChild(host.Hwnd(), 1001), &rc);
    return rc;
  }

  Host host{[](BenchDlg& d) {
    ReportLayout(d);
    d.UsePatternSkin();
    d.m_stMessage.m_clrText = kInk;
    d.m_stMessage.m_nFontHeight = -16;
  }};
};
}  // namespace

TEST_F(StaticTest, BoundToTemplateTextAndClass) {
  Host fresh([](BenchDlg&) {});
  ASSERT_NE(fresh.Hwnd(), nullptr);
  EXPECT_EQ(fresh.Get<CString>([&] { return fresh.Dlg().m_stMessage.m_strText; }), CString(u"Static"));
  EXPECT_STREQ(fresh.Get<const char*>([&] { return fresh.Dlg().m_stMessage.GetRuntimeClass()->m_lpszClassName; }),
               "CStaticEx");
}

TEST_F(StaticTest, CarriageReturnSkippedLineFeedBreaks) {
  Show(u"AB\r\nCD", 30, 20);
  EXPECT_TRUE(Ink(0, 0));
  EXPECT_TRUE(Ink(23, 15));
  EXPECT_FALSE(Ink(24, 0));
  EXPECT_FALSE(Ink(0, 16)) << "the line spacing is background";
  EXPECT_EQ(host.Pixel(kLx + 5, kLy + 17), Pattern(kLx + 5, kLy + 17));
  EXPECT_TRUE(Ink(0, 19)) << "CD on the second line: the carriage return took no room";
  EXPECT_TRUE(Ink(23, 34));
  EXPECT_EQ(Window().Height(), 35);
  host.Save("ui_label_two_lines.png");
}

TEST_F(StaticTest, EightTwelvePixelCharactersInHundredPixels) {
  Show(u"ABCDEFGHIJ", 100, 16);
  EXPECT_TRUE(Ink(95, 0));
  EXPECT_FALSE(Ink(96, 0));
  EXPECT_TRUE(Ink(0, 19)) << "the ninth character starts line two at y = lh + 3";
  EXPECT_FALSE(Ink(0, 18));
  EXPECT_TRUE(Ink(23, 34));
  EXPECT_FALSE(Ink(24, 19));
  host.Save("ui_label_wrapped.png");
}

TEST_F(StaticTest, GrowsToNeededHeightNeverShrinks) {
  struct Case {
    const char16_t* text;
    int height, want;
  } cases[] = {
      {u"A\nB\nC", 40, 54},  // 16 + 19 x 2
      {u"A\nB\nC", 60, 60},
      {u"AB\n", 10, 35},     // the trailing line feed's empty line counts
      {u"", 5, 16},          // one empty line
  };
  for (const Case& c : cases) {
    Show(c.text, 100, c.height);
    EXPECT_EQ(Window().Height(), c.want) << "from " << c.height;
    EXPECT_EQ(Window().Width(), 100);
  }
}

TEST_F(StaticTest, IconWidthReservesRoomWithoutIcon) {
  Show(u"A", 100, 16, [](CStaticEx& s) { s.m_nIconWidth = 16; });
  EXPECT_FALSE(Ink(21, 0));
  EXPECT_TRUE(Ink(22, 0));
  EXPECT_TRUE(Ink(33, 15));
  EXPECT_FALSE(Ink(34, 0));
  // On the right the area loses 22 pixels there: 78 pixels hold 6 characters.
  Show(u"ABCDEFG", 100, 16, [](CStaticEx& s) {
    s.m_nIconWidth = 16;
    s.m_bIconRight = TRUE;
  });
  EXPECT_TRUE(Ink(0, 0));
  EXPECT_TRUE(Ink(71, 0));
  EXPECT_FALSE(Ink(72, 0));
  EXPECT_TRUE(Ink(0, 19));
}

TEST_F(StaticTest, FontBuiltOnceAtFirstPaint) {
  Show(u"A", 100, 16);
  HFONT first = host.Get<HFONT>([&] { return static_cast<HFONT>(host.Dlg().m_stMessage.GetLabelFont()->GetSafeHandle()); });
  LOGFONTW lf{};
  ::GetObjectW(first, sizeof(lf), &lf);
  EXPECT_EQ(lf.lfHeight, -16);
  EXPECT_EQ(CString(lf.lfFaceName), CString(u"微软雅黑"));
  Show(u"A", 100, 40, [](CStaticEx& s) { s.m_nFontHeight = -24; });
  EXPECT_EQ(host.Get<HFONT>([&] { return static_cast<HFONT>(host.Dlg().m_stMessage.GetLabelFont()->GetSafeHandle()); }),
            first);
  EXPECT_TRUE(Ink(11, 15));
  EXPECT_FALSE(Ink(0, 16)) << "still 16 pixels high";
  EXPECT_FALSE(Ink(12, 0)) << "still 12 pixels wide";
}

TEST_F(StaticTest, FontRulesFromTheControlsFont) {
  LOGFONTW lf{};
  host.Run([&] {
    CStaticEx s;  // never painted: its font is built on the first request
    s.m_nFontWeight = 500;
    s.m_nFontWidth = 7;
    s.m_bUnderline = 0x101;
    ::GetObjectW(s.GetLabelFont()->GetSafeHandle(), sizeof(lf), &lf);
  });
  EXPECT_EQ(lf.lfHeight, -12);
  EXPECT_EQ(lf.lfWeight, 500);
  EXPECT_EQ(lf.lfWidth, 7);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(CString(lf.lfFaceName), CString(u"微软雅黑"));
}

TEST_F(StaticTest, CentredStyleCentresEveryLine) {
  Show(u"ABCDEFGHIJ", 100, 16, [](CStaticEx& s) { s.ModifyStyle(0, SS_CENTER); });
  EXPECT_TRUE(Ink(2, 0));    // eight characters: 96 pixels from x 2
  EXPECT_FALSE(Ink(1, 0));
  EXPECT_TRUE(Ink(38, 19));  // "IJ": 24 pixels from x 38
  EXPECT_TRUE(Ink(61, 19));
  EXPECT_FALSE(Ink(37, 19));
  EXPECT_FALSE(Ink(62, 19));
  host.Save("ui_label_centred.png");
}

TEST_F(StaticTest, AreaNarrowerThanAverageCharacterDrawsNothing) {
  Show(u"A", 10, 5);
  EXPECT_FALSE(Ink(0, 0));
  EXPECT_EQ(Window().Height(), 5);
}

TEST_F(StaticTest, NoHoverWithoutNotifyStyle) {
  Show(u"AB", 100, 16, [](CStaticEx& s) {
    s.m_bHoverColor = TRUE;
    s.m_clrHover = RGB(0, 0, 250);
  });
  const POINT p = host.Screen(kLx + 5, kLy + 5);
  bp::headless::MovePointer(p.x, p.y);
  Settle();
  bp::headless::AdvanceClock(20);
  EXPECT_TRUE(Ink(5, 5)) << "the pointer passes through to the frame";
}

TEST_F(StaticTest, HoverColourWithNotifyStyle) {
  Show(u"AB", 100, 16, [](CStaticEx& s) {
    s.ModifyStyle(0, SS_NOTIFY);
    s.m_bHoverColor = TRUE;
    s.m_clrHover = RGB(0, 0, 250);
    s.m_bHandCursor = TRUE;
  });
  const POINT p = host.Screen(kLx + 5, kLy + 5);
  bp::headless::MovePointer(p.x, p.y);
  bp::headless::WaitIdle();
  EXPECT_TRUE(Ink(5, 5));
  EXPECT_EQ(bp::headless::CursorId(), 32649);
  bp::headless::AdvanceClock(10);
  EXPECT_EQ(host.Pixel(kLx + 5, kLy + 5), RGB(0, 0, 250));
  host.Save("ui_label_hover.png");
  bp::headless::MovePointer(p.x, p.y + 100);
  EXPECT_TRUE(Ink(5, 5));
}
