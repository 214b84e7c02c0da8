// CDlgEx: hit testing, the window region, maximise and restore, the system-button row, SetSkin.
#include <gtest/gtest.h>

#include "tests/ui/harness.h"

using namespace uitest;

namespace {
const bool kFonts = (UseTestFontEverywhere(), true);

LRESULT HitTest(Host& host, int x, int y) {
  const POINT p = host.Screen(x, y);
  return ::SendMessageW(host.Hwnd(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
}

CRect WindowRect(HWND hwnd) {
  CRect rc;
  ::GetWindowRect(hwnd, &rc);
  return rc;
}

CRect ChildRect(Host& host, int id) {
  CRect rc;
  HWND child = bp::headless::FindChild(host.Hwnd(), id);
  if (child == nullptr) return rc;
  ::GetWindowRect(child, &rc);
  const CRect frame = WindowRect(host.Hwnd());
  rc.OffsetRect(-frame.left, -frame.top);
  return rc;
}

int CountChildren(HWND parent, int id) {
  int n = 0;
  for (HWND c = ::GetWindow(parent, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT))
    if (::GetDlgCtrlID(c) == id) ++n;
  return n;
}
}  // namespace

TEST(DlgEx, ReportSkinSizesWindowAndPlacesCloseButton) {
  Host host([](BenchDlg& d) { ReportLayout(d); });
  ASSERT_NE(host.Hwnd(), nullptr);
  EXPECT_EQ(WindowRect(host.Hwnd()).Width(), 382);
  EXPECT_EQ(WindowRect(host.Hwnd()).Height(), 262);
  EXPECT_EQ(ChildRect(host, 50000), CRect(349, 0, 382, 36));
  EXPECT_EQ(host.Get<DWORD>([&] { return host.Dlg().GetStyle(); }) & WS_CAPTION, 0u);
  EXPECT_STREQ(host.Get<const char*>([&] { return host.Dlg().GetRuntimeClass()->m_lpszClassName; }), "CDlgEx");
  // Skin 129 has no magenta: the region keeps every corner pixel.
  EXPECT_NE(host.Pixel(0, 0), CLR_INVALID);
  EXPECT_NE(host.Pixel(381, 261), CLR_INVALID);
  host.Save("ui_frame_report_skin.png");
}

TEST(DlgEx, CaptionBandDragsOnlyInRowsZeroTo39AndCloseButtonTakesItsClicks) {
  Host host([](BenchDlg& d) { ReportLayout(d); });
  ASSERT_NE(host.Hwnd(), nullptr);
  struct Case {
    int x, y;
    LRESULT hit;
  } cases[] = {{100, 0, HTCAPTION}, {100, 39, HTCAPTION}, {100, 40, HTCLIENT}, {10, 200, HTCLIENT}};
  for (const Case& c : cases) EXPECT_EQ(HitTest(host, c.x, c.y), c.hit) << c.x << "," << c.y;

  // A real drag in the band moves the window; below the band nothing moves.
  const CRect before = WindowRect(host.Hwnd());
  POINT p = host.Screen(100, 20);
  bp::headless::MovePointer(p.x, p.y);
  bp::headless::ButtonDown();
  bp::headless::MovePointer(p.x + 30, p.y + 15);
  bp::headless::ButtonUp();
  bp::headless::WaitIdle();
  CRect moved = before;
  moved.OffsetRect(30, 15);
  EXPECT_EQ(WindowRect(host.Hwnd()), moved);
  p = host.Screen(100, 60);
  bp::headless::MovePointer(p.x, p.y);
  bp::headless::ButtonDown();
  bp::headless::MovePointer(p.x + 30, p.y + 15);
  bp::headless::ButtonUp();
  bp::headless::WaitIdle();
  EXPECT_EQ(WindowRect(host.Hwnd()), moved);

  // The close button lies in the band but is a child: a click there closes the dialog.
  p = host.Screen(365, 18);
  bp::headless::Click(p.x, p.y);
  bp::headless::WaitIdle();
  EXPECT_EQ(host.Finish(), IDCANCEL);
}

TEST(DlgEx, HitTestTable) {
  struct Case {
    BOOL resizable;
    int caption, border, x, y;
    LRESULT hit;
  } cases[] = {
      {FALSE, -1, 3, 100, 200, HTCAPTION},  // the whole window is caption
      {FALSE, -1, 3, 1, 1, HTCAPTION},
      {TRUE, 40, 3, 1, 1, HTTOPLEFT},
      {TRUE, 40, 3, 1, 100, HTLEFT},
      {TRUE, 40, 3, 1, 260, HTBOTTOMLEFT},
      {TRUE, 40, 3, 380, 1, HTTOPRIGHT},
      {TRUE, 40, 3, 380, 100, HTRIGHT},
      {TRUE, 40, 3, 380, 260, HTBOTTOMRIGHT},
      {TRUE, 40, 3, 100, 1, HTTOP},
      {TRUE, 40, 3, 100, 3, HTCAPTION},
      {TRUE, 40, 3, 100, 39, HTCAPTION},
      {TRUE, 40, 3, 100, 260, HTBOTTOM},
      {TRUE, 40, 3, 100, 100, HTCLIENT},
      {TRUE, 40, 0, 100, 2, HTTOP},  // the top band is 3 rows whatever the border
      {TRUE, -1, 3, 100, 260, HTCAPTION},
  };
  Host host([](BenchDlg& d) { ReportLayout(d); });
  ASSERT_NE(host.Hwnd(), nullptr);
  for (const Case& c : cases) {
    host.Run([&] {
      host.Dlg().m_bResizable = c.resizable;
      host.Dlg().m_nCaptionHeight = c.caption;
      host.Dlg().m_nBorder = c.border;
    });
    EXPECT_EQ(HitTest(host, c.x, c.y), c.hit)
        << "resizable " << c.resizable << " caption " << c.caption << " border " << c.border << " at " << c.x << ","
        << c.y;
  }
  host.Run([&] { host.Dlg().m_bMaximized = TRUE; });
  EXPECT_EQ(HitTest(host, 100, 10), HTCLIENT) << "maximised: default processing";
}

TEST(DlgEx, RegionRemovesMagentaOfTheFourCornerBlocksOnly) {
  // A 40 x 40 skin on a 100 x 80 window.
  RegisterBitmap(940, 40, 40, [](int x, int y) {
    const bool magenta = (x == 2 && y == 1) || (x == 37 && y == 1) || (x == 1 && y == 38) || (x == 39 && y == 39) ||
                         (x == 20 && y == 1) || (x == 4 && y == 20);
    return magenta ? RGB(255, 0, 255) : RGB(30, 60, 90);
  });
  Host host([](BenchDlg& d) {
    ReportLayout(d);
    d.m_bmpBackground.DeleteObject();
    d.m_bmpBackground.LoadBitmap(940);
    d.SetWindowPos(nullptr, 0, 0, 100, 80, SWP_NOMOVE | SWP_NOZORDER);  // OnSize applies the region
  });
  ASSERT_NE(host.Hwnd(), nullptr);
  struct Case {
    int x, y;
    bool removed;
  } cases[] = {{2, 1, true},   {97, 1, true},   {1, 78, true},   {99, 79, true}, {20, 1, false},
               {4, 20, false}, {3, 1, false},   {0, 0, false},   {80, 1, false}};
  for (const Case& c : cases)
    EXPECT_EQ(host.Pixel(c.x, c.y) == CLR_INVALID, c.removed) << c.x << "," << c.y;
  host.Save("ui_frame_region.png");
}

TEST(DlgEx, MaximiseWithinLimitsAndRestore) {
  bp::headless::Use();
  bp::headless::SetWorkArea(RECT{0, 0, 1920, 1040});
  Host host([](BenchDlg& d) {
    ReportLayout(d);
    d.m_nMaxWidth = 1440;
    d.m_nMaxHeight = 900;
  });
  ASSERT_NE(host.Hwnd(), nullptr);
  const CRect restore = host.Get<CRect>([&] { return CRect(host.Dlg().m_rcRestore); });
  EXPECT_EQ(restore, CRect(240, 130, 1680, 910));

  host.Run([&] { host.Dlg().OnSysMaximize(); });
  EXPECT_EQ(WindowRect(host.Hwnd()), CRect(240, 70, 1680, 970));
  EXPECT_TRUE(host.Get<bool>([&] { return host.Dlg().m_bMaximized != FALSE; }));
  host.Save("ui_frame_maximised.png");

  host.Run([&] { host.Dlg().OnSysMaximize(); });
  EXPECT_EQ(WindowRect(host.Hwnd()), restore);
  EXPECT_FALSE(host.Get<bool>([&] { return host.Dlg().m_bMaximized != FALSE; }));
  // The close button follows the right edge.
  EXPECT_EQ(ChildRect(host, 50000), CRect(restore.Width() - 33, 0, restore.Width(), 36));
}

TEST(DlgEx, InitialRestoreRectangleWithTaskbarOnTop) {
  bp::headless::Use();
  bp::headless::SetWorkArea(RECT{0, 40, 1920, 1080});
  Host host([](BenchDlg& d) { ReportLayout(d); });
  ASSERT_NE(host.Hwnd(), nullptr);
  EXPECT_EQ(host.Get<CRect>([&] { return CRect(host.Dlg().m_rcRestore); }), CRect(240, 170, 1680, 950));
  EXPECT_EQ(host.Get<int>([&] { return host.Dlg().m_nMaxWidth; }), 1920);
  EXPECT_EQ(host.Get<int>([&] { return host.Dlg().m_nMaxHeight; }), 1040);
  bp::headless::SetWorkArea(RECT{0, 0, 1920, 1040});
}

TEST(DlgEx, CaptionDoubleClickMaximisesOnlyResizableFrames) {
  bp::headless::Use();
  bp::headless::SetWorkArea(RECT{0, 0, 1920, 1040});
  Host host([](BenchDlg& d) { ReportLayout(d); });
  ASSERT_NE(host.Hwnd(), nullptr);
  const CRect before = WindowRect(host.Hwnd());
  ::SendMessageW(host.Hwnd(), WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  EXPECT_EQ(WindowRect(host.Hwnd()), before);
  host.Run([&] { host.Dlg().m_bResizable = TRUE; });
  ::SendMessageW(host.Hwnd(), WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  EXPECT_EQ(WindowRect(host.Hwnd()), CRect(0, 0, 1920, 1040));
  // Maximised, a double-click in the band restores; below it nothing happens.
  ::SendMessageW(host.Hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(100, 100));
  EXPECT_EQ(WindowRect(host.Hwnd()), CRect(0, 0, 1920, 1040));
  ::SendMessageW(host.Hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(100, 20));
  EXPECT_NE(WindowRect(host.Hwnd()), CRect(0, 0, 1920, 1040));
}

TEST(DlgEx, SizingPressSendsSizeCommandAndRecordsRestoreRectangle) {
  Host host([](BenchDlg& d) { ReportLayout(d); });
  ASSERT_NE(host.Hwnd(), nullptr);
  host.Run([&] { host.Dlg().MoveWindow(300, 200, 382, 262); });
  ::SendMessageW(host.Hwnd(), WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(681, 461));
  std::vector<UINT> commands = host.Get<std::vector<UINT>>([&] { return host.Dlg().sysCommands; });
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0], 0xF008u);
  EXPECT_EQ(host.Get<CRect>([&] { return CRect(host.Dlg().m_rcRestore); }), CRect(300, 200, 682, 462));

  host.Run([&] { host.Dlg().MoveWindow(310, 210, 382, 262); });
  ::SendMessageW(host.Hwnd(), WM_NCLBUTTONDOWN, HTLEFT, MAKELPARAM(311, 300));
  commands = host.Get<std::vector<UINT>>([&] { return host.Dlg().sysCommands; });
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[1], 0xF001u);
  EXPECT_EQ(host.Get<CRect>([&] { return CRect(host.Dlg().m_rcRestore); }), CRect(310, 210, 692, 472));
}

TEST(DlgEx, SetSkinTwiceKeepsOneCloseButton) {
  Host host([](BenchDlg& d) {
    ReportLayout(d);
    d.SetSkin();
  });
  ASSERT_NE(host.Hwnd(), nullptr);
  EXPECT_EQ(CountChildren(host.Hwnd(), 50000), 1);
  EXPECT_EQ(ChildRect(host, 50000), CRect(349, 0, 382, 36));
  HWND tip = host.Get<HWND>([&] { return host.Dlg().m_btnClose.m_toolTip.GetSafeHwnd(); });
  EXPECT_NE(tip, nullptr);
  EXPECT_TRUE(::IsWindow(tip));
}

TEST(DlgEx, SystemButtonRowFromTheRight) {
  Host host([](BenchDlg& d) {
    ReportLayout(d);
    d.m_nSysBtnRight = 5;
    d.m_btnMax.CreateBitmapButton(300, 0, 130, CDlgEx::kIdSysMax, &d);
    d.m_btnMin.CreateBitmapButton(200, 0, 130, CDlgEx::kIdSysMin, &d);
    d.SetWindowPos(nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  });
  ASSERT_NE(host.Hwnd(), nullptr);
  EXPECT_EQ(ChildRect(host, 50000), CRect(262, 0, 295, 36));
  EXPECT_EQ(ChildRect(host, 50002), CRect(229, 0, 262, 36));
  EXPECT_EQ(ChildRect(host, 50001), CRect(196, 0, 229, 36));
}

TEST(DlgEx, MaximiseButtonStripAndTooltipFollowTheState) {
  bp::headless::Use();
  bp::headless::SetWorkArea(RECT{0, 0, 1920, 1040});
  static const COLORREF kMax = RGB(10, 120, 10), kRestore = RGB(120, 10, 10);
  RegisterBitmap(941, 40, 10, [](int, int) { return kMax; });
  RegisterBitmap(942, 40, 10, [](int, int) { return kRestore; });
  Host host([](BenchDlg& d) {
    ReportLayout(d);
    d.m_bmpMax.LoadBitmap(941);
    d.m_bmpRestore.LoadBitmap(942);
    d.m_btnMax.CreateBitmapButton(300, 50, 941, CDlgEx::kIdSysMax, &d);
    d.UpdateMaxButton(FALSE);
  });
  ASSERT_NE(host.Hwnd(), nullptr);
  const auto tip = [&] {
    return host.Get<CString>([&] { return host.Dlg().m_btnMax.m_strToolTip; });
  };
  EXPECT_EQ(tip(), CString(u"最大化"));
  host.Run([&] { host.Dlg().m_btnMax.m_bHover = TRUE; });
  // The maximise command arrives as a click on the button's id.
  ::SendMessageW(host.Hwnd(), WM_COMMAND, MAKEWPARAM(CDlgEx::kIdSysMax, BN_CLICKED), 0);
  EXPECT_EQ(WindowRect(host.Hwnd()), CRect(0, 0, 1920, 1040));
  EXPECT_EQ(tip(), CString(u"还原"));
  EXPECT_FALSE(host.Get<bool>([&] { return host.Dlg().m_btnMax.m_bHover != FALSE; }));
  const CRect max = ChildRect(host, CDlgEx::kIdSysMax);
  EXPECT_EQ(host.Pixel(max.left + 2, max.top + 2), kRestore);
}

TEST(DlgEx, TitleAndSmallIconInTheCaptionBand) {
  Host host([](BenchDlg& d) {
    ReportLayout(d);
    d.UsePatternSkin();
    d.SetWindowText(u"AB");
  });
  ASSERT_NE(host.Hwnd(), nullptr);
  // Caption 40, border 0: t = 14, text cell top at y 12, x 5; two 9-pixel blocks of the test font.
  EXPECT_EQ(host.Pixel(5, 12), RGB(255, 255, 255));
  EXPECT_EQ(host.Pixel(22, 23), RGB(255, 255, 255));
  EXPECT_EQ(host.Pixel(4, 12), Pattern(4, 12));
  EXPECT_EQ(host.Pixel(23, 12), Pattern(23, 12));
  EXPECT_EQ(host.Pixel(5, 24), Pattern(5, 24));
  host.Save("ui_frame_title.png");

  // A small icon moves the text 16 pixels right; the icon sits at (0, 12).
  host.Run([&] {
    HICON icon = static_cast<HICON>(::LoadImageW(nullptr, MAKEINTRESOURCEW(128), IMAGE_ICON, 16, 16, 0));
    host.Dlg().SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    host.Dlg().Invalidate(TRUE);
  });
  EXPECT_EQ(host.Pixel(21, 12), RGB(255, 255, 255));
  EXPECT_EQ(host.Pixel(38, 23), RGB(255, 255, 255));
  EXPECT_NE(host.Pixel(8, 20), Pattern(8, 20)) << "icon drawn";
  host.Run([&] {
    host.Dlg().m_bShowTitle = FALSE;
    host.Dlg().Invalidate(TRUE);
  });
  EXPECT_EQ(host.Pixel(30, 12), Pattern(30, 12));
}

TEST(DlgEx, EraseWithoutSkinPaintsPlainFace) {
  Host host([](BenchDlg& d) { (void)d; });
  ASSERT_NE(host.Hwnd(), nullptr);
  LRESULT erased = -1;
  COLORREF probe = 0;
  host.Run([&] {
    CClientDC screen(&host.Dlg());
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&screen, 10, 10);
    CBitmap* old = mem.SelectObject(&bmp);
    mem.FillSolidRect(0, 0, 10, 10, RGB(1, 2, 3));
    erased = host.Dlg().SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.GetSafeHdc()), 0);
    probe = mem.GetPixel(5, 5);
    mem.SelectObject(old);
  });
  EXPECT_EQ(erased, TRUE);
  EXPECT_EQ(probe, ::GetSysColor(COLOR_BTNFACE));
  // It still answers hit tests by the caption rule: the default caption is the whole window.
  EXPECT_EQ(HitTest(host, 50, 50), HTCAPTION);
}

TEST(DlgEx, StretchedSkinKeepsCornersAndStretchesEdges) {
  // A 30 x 30 skin with a 3-pixel border of distinct colours, no caption band, on a 90 x 60 window.
  RegisterBitmap(943, 30, 30, [](int x, int y) {
    const int col = x < 3 ? 0 : (x >= 27 ? 2 : 1);
    const int row = y < 3 ? 0 : (y >= 27 ? 2 : 1);
    return RGB(40 + col * 80, 40 + row * 80, x == 1 && y == 1 ? 200 : 10);
  });
  Host host([](BenchDlg& d) {
    ReportLayout(d);
    d.m_nCaptionHeight = -1;
    d.m_nBorder = 3;
    d.m_btnClose.DestroyWindow();  // keep the probed corners clear
    d.m_bmpBackground.DeleteObject();
    d.m_bmpBackground.LoadBitmap(943);
    d.SetWindowPos(nullptr, 0, 0, 90, 60, SWP_NOMOVE | SWP_NOZORDER);
  });
  ASSERT_NE(host.Hwnd(), nullptr);
  EXPECT_EQ(host.Pixel(1, 1), RGB(40, 40, 200)) << "corner copied";
  EXPECT_EQ(host.Pixel(89, 59), RGB(200, 200, 10));
  EXPECT_EQ(host.Pixel(88, 1), RGB(200, 40, 10));
  EXPECT_EQ(host.Pixel(45, 1), RGB(120, 40, 10)) << "top edge stretched";
  EXPECT_EQ(host.Pixel(1, 30), RGB(40, 120, 10)) << "left edge stretched";
  EXPECT_EQ(host.Pixel(45, 30), RGB(120, 120, 10)) << "centre stretched";
  EXPECT_EQ(host.Pixel(45, 58), RGB(120, 200, 10)) << "bottom edge stretched";
}

TEST(DlgEx, OverlayDrawnRightAlignedAtTheSystemButtonPosition) {
  RegisterBitmap(944, 20, 10, [](int, int) { return RGB(250, 20, 20); });
  Host host([](BenchDlg& d) {
    ReportLayout(d);
    d.UsePatternSkin();
    d.m_nSysBtnRight = 50;
    d.m_nSysBtnTop = 4;
    d.m_bmpOverlay.LoadBitmap(944);  // after SetSkin, which drops any overlay
  });
  ASSERT_NE(host.Hwnd(), nullptr);
  // 382 - 50 - 20 = 312: the overlay covers x 312..331, y 4..13.
  EXPECT_EQ(host.Pixel(312, 4), RGB(250, 20, 20));
  EXPECT_EQ(host.Pixel(331, 13), RGB(250, 20, 20));
  EXPECT_EQ(host.Pixel(311, 4), Pattern(311, 4));
  EXPECT_EQ(host.Pixel(332, 4), Pattern(332, 4));
  EXPECT_EQ(host.Pixel(312, 3), Pattern(312, 3));
}

TEST(DlgEx, MinimiseAndCloseArePostedSystemCommands) {
  Host host([](BenchDlg& d) { ReportLayout(d); });
  ASSERT_NE(host.Hwnd(), nullptr);
  std::vector<UINT> during;
  host.Run([&] {
    host.Dlg().OnSysMinimize();
    during = host.Dlg().sysCommands;  // posted: nothing has happened yet
  });
  EXPECT_TRUE(during.empty());
  EXPECT_EQ(host.Get<std::vector<UINT>>([&] { return host.Dlg().sysCommands; }), std::vector<UINT>{SC_MINIMIZE});
  EXPECT_TRUE(::IsIconic(host.Hwnd()));
  host.Run([&] { host.Dlg().OnSysClose(); });
  EXPECT_EQ(host.Finish(), IDCANCEL);
}
