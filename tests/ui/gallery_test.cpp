// The report dialog's look in each state, drawn with the real CJK font and the program's skin,
// saved as PNG artefacts for a person to look at. The probes only check that each state drew
// what it should where it should; exact layouts are the other tests' business (test font).
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/ui/harness.h"

using namespace uitest;

namespace {
constexpr COLORREF kGrey = RGB(102, 102, 102);

// Pixels within `rc` (window coordinates) whose colour is within `tolerance` of `colour`.
int CountNear(Host& host, const CRect& rc, COLORREF colour, int tolerance) {
  Settle();
  int n = 0;
  for (int y = rc.top; y < rc.bottom; ++y)
    for (int x = rc.left; x < rc.right; ++x) {
      const COLORREF c = bp::headless::Pixel(host.Hwnd(), x, y);
      if (std::abs(GetRValue(c) - GetRValue(colour)) <= tolerance &&
          std::abs(GetGValue(c) - GetGValue(colour)) <= tolerance &&
          std::abs(GetBValue(c) - GetBValue(colour)) <= tolerance)
        ++n;
    }
  return n;
}

void ReportTexts(BenchDlg& d) {
  ReportLayout(d);
  d.m_stHeadline.m_strText = u"程序崩溃啦，囧。。";
  d.m_stHeadline.m_clrText = kGrey;
  d.m_stHeadline.m_nFontWeight = 500;
  d.m_stHeadline.m_nFontHeight = 20;
  d.m_stHeadline.MoveWindow(30, 70, 300, 22);
  d.m_stHeadline.ShowWindow(SW_SHOW);
  d.m_stMessage.m_strText = u"希望您将此错误报告发送给我们，帮助我们做得更好！";
  d.m_stMessage.m_clrText = kGrey;
  d.m_stMessage.MoveWindow(30, 100, 340, 80);
  d.m_stMessage.ShowWindow(SW_SHOW);
  d.m_progress.SetSkin();
  d.m_progress.MoveWindow(35, 130, 330, 8);
}
}  // namespace

TEST(Gallery, ReportDialogStates) {
  Host host(ReportTexts);
  ASSERT_NE(host.Hwnd(), nullptr);
  const CRect headline(30, 70, 330, 92), message(30, 100, 370, 180), button(150, 210, 250, 240);
  EXPECT_GT(CountNear(host, headline, kGrey, 10), 20) << "headline drawn";
  EXPECT_GT(CountNear(host, message, kGrey, 10), 20) << "message drawn";
  EXPECT_GT(CountNear(host, button, RGB(255, 255, 255), 10), 10) << "button text drawn";
  EXPECT_EQ(CountNear(host, CRect(0, 0, 382, 36), RGB(61, 200, 38), 0), 0) << "no button colour in the caption band";
  host.Save("ui_gallery_ready.png");

  const POINT p = host.Screen(170, 225);
  bp::headless::MovePointer(p.x, p.y);
  Settle();
  bp::headless::AdvanceClock(10);
  EXPECT_GT(CountNear(host, button, RGB(91, 220, 70), 0), 1000) << "hover cell";
  host.Save("ui_gallery_button_hover.png");
  bp::headless::ButtonDown();
  EXPECT_GT(CountNear(host, button, RGB(46, 178, 24), 0), 1000) << "pressed cell";
  host.Save("ui_gallery_button_pressed.png");
  bp::headless::ButtonUp();

  // Sending: headline and button gone, the message moved, the bar at half.
  host.Run([&] {
    BenchDlg& d = host.Dlg();
    d.m_btnSend.ShowWindow(SW_HIDE);
    d.m_stHeadline.ShowWindow(SW_HIDE);
    d.m_stMessage.MoveWindow(40, 110, 320, 16);
    d.m_stMessage.m_strText = u"正在发送崩溃报告，请稍候...";
    d.m_stMessage.InvalidateRect(nullptr, TRUE);
    d.m_progress.ShowWindow(SW_SHOW);
  });
  ::SendMessageW(bp::headless::FindChild(host.Hwnd(), 1002), PBM_SETPOS, 50, 0);
  EXPECT_EQ(CountNear(host, headline, kGrey, 10), 0) << "headline hidden";
  EXPECT_EQ(CountNear(host, CRect(35, 130, 205, 132), RGB(18, 165, 224), 0), (170 - 5) * 2) << "fill but its three left and two visible right end columns";
  host.Save("ui_gallery_sending.png");

  // Failed: the button back as "重试", the bar kept.
  host.Run([&] {
    BenchDlg& d = host.Dlg();
    d.m_stMessage.m_strText = u"发送失败！";
    d.m_stMessage.InvalidateRect(nullptr, TRUE);
    d.m_btnSend.ShowWindow(SW_SHOW);
    d.m_btnSend.m_strText = u"重试";
    d.m_btnSend.InvalidateRect(nullptr, TRUE);
  });
  EXPECT_GT(CountNear(host, button, RGB(255, 255, 255), 60), 10) << "button text drawn";
  host.Save("ui_gallery_failed.png");

  host.Run([&] { host.Dlg().m_btnSend.EnableWindow(FALSE); });
  EXPECT_GT(CountNear(host, button, RGB(196, 196, 196), 0), 1000) << "disabled cell: " << Hex(host.Pixel(160, 225));
  host.Save("ui_gallery_button_disabled.png");
}

TEST(Gallery, CharacterWiderThanTheTextAreaStandsAloneClipped) {
  // With the real font "‰" is wider than the average character the label measures; in a text area
  // of exactly one average character it can never fit.
  int avg = 0, wide = 0, lh = 0;
  Host host([&](BenchDlg& d) {
    ReportLayout(d);
    CStaticEx& s = d.m_stMessage;
    CClientDC dc(&s);
    CFont* old = dc.SelectObject(s.GetLabelFont());
    CRect rc(0, 0, 0, 0);
    dc.DrawText(CString(u"测试用汉字来获取宽度"), &rc, DT_CALCRECT | DT_SINGLELINE);
    avg = rc.Width() / 10;
    lh = rc.Height();
    wide = dc.GetTextExtent(CString(u"‰")).cx;
    dc.SelectObject(old);
    s.m_strText = u"‰‰A";
    s.m_clrText = kGrey;
    s.m_nIconWidth = 28 - avg;  // the text area keeps x 0 .. avg-1, the rest is icon room
    s.m_bIconRight = TRUE;
    s.MoveWindow(30, 100, 34, 5);
    s.ShowWindow(SW_SHOW);
  });
  ASSERT_NE(host.Hwnd(), nullptr);
  if (wide <= avg) GTEST_SKIP() << "this font has no character wider than its average";
  // Three lines: each wide character alone, then A; the paint came back, so nothing looped.
  CRect rc;
  ::GetWindowRect(bp::headless::FindChild(host.Hwnd(), 1001), &rc);
  EXPECT_EQ(rc.Height(), lh + 2 * (lh + 3));
  EXPECT_GT(CountNear(host, CRect(30, 100, 30 + avg, 100 + lh), kGrey, 60), 0) << "drawn";
  EXPECT_EQ(CountNear(host, CRect(30 + avg, 100, 64, 100 + rc.Height()), kGrey, 60), 0) << "clipped to the area";
  host.Save("ui_gallery_label_wide_character.png");
}
