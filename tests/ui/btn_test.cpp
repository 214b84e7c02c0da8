// CBtnEx on the bench dialog: which cell and text are drawn where, and when.
#include <gtest/gtest.h>

#include "tests/ui/harness.h"

using namespace uitest;

namespace {
const bool kFonts = (UseTestFontEverywhere(), true);

// Button 1000 at (150, 210), 100 x 32, strip 131 loaded sized to its 110 x 30 cell first.
constexpr int kBx = 150, kBy = 210;
// "发送" in the 12-pixel test font: two 9-pixel blocks centred in the live 100 x 32 client area.
constexpr int kTextX = kBx + 45, kTextY = kBy + 15;
constexpr int kFaceX = kBx + 10, kFaceY = kBy + 15;  // on the face, clear of text and corners

struct Cells {
  COLORREF c[4];
};
Cells StripCells(int id, int cellWidth, int probeY) {
  int w = 0, h = 0;
  const std::vector<COLORREF> px = BitmapPixels(id, &w, &h);
  Cells cells{};
  for (int i = 0; i < 4; ++i) cells.c[i] = px.empty() ? CLR_INVALID : px[probeY * w + i * cellWidth + cellWidth / 2];
  return cells;
}

class BtnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(host.Hwnd(), nullptr) << "bench dialog did not start";
    cells = StripCells(131, 110, 15);
    ASSERT_NE(cells.c[0], CLR_INVALID);
  }
  POINT OnButton() { return host.Screen(kBx + 20, kBy + 25); }
  void Move(POINT p) { bp::headless::MovePointer(p.x, p.y); }
  int Clicks() { return host.Get<int>([&] { return host.Dlg().sendClicks; }); }

  Host host{[](BenchDlg& d) {
    ReportLayout(d);
    d.UsePatternSkin();
  }};
  Cells cells{};
};
}  // namespace

TEST_F(BtnTest, StripSizedToCell) {
  int imageCount = 0;
  CRect window, stored;
  IMAGEINFO info{};
  host.Run([&] {
    CBtnEx& b = host.Dlg().m_btnSend;
    ASSERT_TRUE(b.LoadStateBitmap(131, TRUE));
    imageCount = b.m_imgStates.GetImageCount();
    b.m_imgStates.GetImageInfo(0, &info);
    b.GetWindowRect(&window);
    stored = b.m_rcWnd;
    EXPECT_STREQ(b.GetRuntimeClass()->m_lpszClassName, "CBtnEx");
    EXPECT_NE(b.GetStyle() & BS_OWNERDRAW, 0u);
  });
  EXPECT_EQ(imageCount, 4);
  EXPECT_EQ(info.rcImage.right - info.rcImage.left, 110);
  EXPECT_EQ(info.rcImage.bottom - info.rcImage.top, 30);
  EXPECT_EQ(window.Width(), 110);
  EXPECT_EQ(window.Height(), 30);
  EXPECT_EQ(stored.Width(), 110);
  EXPECT_EQ(stored.Height(), 30);
}

TEST_F(BtnTest, StoredSizeDrawnUnstretchedInSmallerWindow) {
  // The window is 100 x 32, the stored drawing size 110 x 30.
  EXPECT_EQ(host.Pixel(kFaceX, kFaceY), cells.c[0]);
  // Cell column 99 is flat colour; a cell squeezed to 100 columns would put its rounded corner here.
  EXPECT_EQ(host.Pixel(kBx + 99, kBy), cells.c[0]);
  EXPECT_NE(host.Pixel(kBx, kBy), cells.c[0]) << "the cell's own corner is softened";
  // The two rows below the cell are not the button's.
  EXPECT_NE(host.Pixel(kFaceX, kBy + 31), cells.c[0]);
  // Beside the window the frame shows.
  EXPECT_EQ(host.Pixel(kBx + 100, kFaceY), Pattern(kBx + 100, kFaceY));
  // Text centred in the live client rectangle, in the button's colour.
  EXPECT_EQ(host.Pixel(kBx + 41, kBy + 10), RGB(255, 255, 255));
  EXPECT_EQ(host.Pixel(kBx + 58, kBy + 21), RGB(255, 255, 255));
  EXPECT_EQ(host.Pixel(kBx + 40, kBy + 10), cells.c[0]);
  EXPECT_EQ(host.Pixel(kBx + 59, kBy + 21), cells.c[0]);
  host.Save("ui_button_normal.png");
}

TEST_F(BtnTest, HoverCellOnlyAfterTenMilliseconds) {
  Move(OnButton());
  EXPECT_EQ(host.Pixel(kFaceX, kFaceY), cells.c[0]) << "no hover at the first move";
  bp::headless::AdvanceClock(9);
  EXPECT_EQ(host.Pixel(kFaceX, kFaceY), cells.c[0]);
  bp::headless::AdvanceClock(1);
  EXPECT_EQ(host.Pixel(kFaceX, kFaceY), cells.c[1]);
  host.Save("ui_button_hover.png");
  Move(host.Screen(20, 100));
  EXPECT_EQ(host.Pixel(kFaceX, kFaceY), cells.c[0]) << "leaving ends the hover";
  EXPECT_FALSE(host.Get<bool>([&] { return host.Dlg().m_btnSend.m_bTracking != FALSE; }));
}

TEST_F(BtnTest, PressedLatchedThroughDragOffUntilRelease) {
  Move(OnButton());
  bp::headless::ButtonDown();
  EXPECT_EQ(host.Pixel(kFaceX, kFaceY), cells.c[2]);
  EXPECT_EQ(host.Pixel(kTextX, kTextY), RGB(255, 255, 255));
  host.Save("ui_button_pressed.png");
  Move(host.Screen(20, 100));
  EXPECT_EQ(host.Pixel(kFaceX, kFaceY), cells.c[2]) << "latched while the button is held off the face";
  bp::headless::ButtonUp();
  EXPECT_EQ(host.Pixel(kFaceX, kFaceY), cells.c[0]);
  EXPECT_EQ(Clicks(), 0) << "released off the button: no click";

  const POINT p = OnButton();
  bp::headless::Click(p.x, p.y);
  EXPECT_EQ(Clicks(), 1);
  EXPECT_NE(host.Pixel(kFaceX, kFaceY), cells.c[2]);
}

TEST_F(BtnTest, SpaceBarPressLatchesUntilNextLeftRelease) {
  host.Run([&] { host.Dlg().m_btnSend.SetFocus(); });
  bp::headless::KeyDown(VK_SPACE);
  EXPECT_EQ(host.Pixel(kFaceX, kFaceY), cells.c[2]);
  bp::headless::KeyUp(VK_SPACE);
  EXPECT_EQ(Clicks(), 1);
  EXPECT_EQ(host.Pixel(kFaceX, kFaceY), cells.c[2]) << "the key's release does not clear the latch";
  const POINT p = OnButton();
  bp::headless::Click(p.x, p.y);
  EXPECT_EQ(host.Pixel(kFaceX, kFaceY), cells.c[0]);
}

TEST_F(BtnTest, DisabledShowsCellThreeWithGreyTextEvenWhenHoveredOrPressed) {
  host.Run([&] { host.Dlg().m_btnSend.EnableWindow(FALSE); });
  EXPECT_EQ(host.Pixel(kFaceX, kFaceY), cells.c[3]);
  EXPECT_EQ(host.Pixel(kTextX, kTextY), ::GetSysColor(COLOR_GRAYTEXT));
  host.Save("ui_button_disabled.png");
  host.Run([&] {
    CBtnEx& b = host.Dlg().m_btnSend;
    b.m_bHover = TRUE;
    b.m_bPressed = TRUE;
    b.Invalidate(FALSE);
  });
  EXPECT_EQ(host.Pixel(kFaceX, kFaceY), cells.c[3]);
  EXPECT_EQ(host.Pixel(kTextX, kTextY), ::GetSysColor(COLOR_GRAYTEXT));
}

TEST_F(BtnTest, EmptyTextDrawsOnlyTheCell) {
  host.Run([&] {
    host.Dlg().m_btnSend.m_strText.Empty();
    host.Dlg().m_btnSend.InvalidateRect(nullptr, TRUE);
  });
  EXPECT_EQ(host.Pixel(kTextX, kTextY), cells.c[0]);
}

TEST_F(BtnTest, StretchedCellKeepsMagentaTransparent) {
  // Four 20 x 10 cells, each with a magenta hole at x 5..14, y 3..6, drawn into a 40 x 20 button.
  static const COLORREF kCell[4] = {RGB(200, 10, 10), RGB(10, 200, 10), RGB(10, 10, 200), RGB(90, 90, 90)};
  RegisterBitmap(930, 80, 10, [](int x, int y) {
    const int cx = x % 20;
    return (cx >= 5 && cx < 15 && y >= 3 && y < 7) ? RGB(255, 0, 255) : kCell[x / 20];
  });
  host.Run([&] {
    CBtnEx& b = host.Dlg().m_btnSend;
    b.m_strText.Empty();
    b.MoveWindow(kBx, kBy, 40, 20);
    ASSERT_TRUE(b.LoadStateBitmap(930, FALSE));
    b.InvalidateRect(nullptr, TRUE);
  });
  EXPECT_EQ(host.Pixel(kBx + 2, kBy + 2), kCell[0]);
  EXPECT_EQ(host.Pixel(kBx + 37, kBy + 17), kCell[0]);
  // The hole, doubled: x 10..29, y 6..13 shows the frame.
  EXPECT_EQ(host.Pixel(kBx + 10, kBy + 6), Pattern(kBx + 10, kBy + 6));
  EXPECT_EQ(host.Pixel(kBx + 29, kBy + 13), Pattern(kBx + 29, kBy + 13));
  EXPECT_EQ(host.Pixel(kBx + 9, kBy + 6), kCell[0]);
  EXPECT_EQ(host.Pixel(kBx + 30, kBy + 14), kCell[0]);
  host.Save("ui_button_stretched.png");
}

TEST_F(BtnTest, StripOf441ColumnsLeavesLastColumnUnused) {
  static const COLORREF kCell[4] = {RGB(200, 10, 10), RGB(10, 200, 10), RGB(10, 10, 200), RGB(90, 90, 90)};
  RegisterBitmap(931, 441, 30, [](int x, int) { return x == 440 ? RGB(255, 255, 0) : kCell[x / 110]; });
  int count = 0, width = 0;
  host.Run([&] {
    CBtnEx& b = host.Dlg().m_btnSend;
    b.m_strText.Empty();
    ASSERT_TRUE(b.LoadStateBitmap(931, TRUE));
    count = b.m_imgStates.GetImageCount();
    IMAGEINFO info{};
    b.m_imgStates.GetImageInfo(3, &info);
    width = info.rcImage.right - info.rcImage.left;
    b.EnableWindow(FALSE);
  });
  EXPECT_EQ(count, 4);
  EXPECT_EQ(width, 110);
  EXPECT_EQ(host.Pixel(kBx, kBy + 15), kCell[3]);
  EXPECT_EQ(host.Pixel(kBx + 109, kBy + 15), kCell[3]);
}

TEST_F(BtnTest, CreateBitmapButtonWithMissingStripCreatesNothing) {
  BOOL created = TRUE;
  HWND made = reinterpret_cast<HWND>(1);
  host.Run([&] {
    CBtnEx b;
    created = b.CreateBitmapButton(300, 0, 999, 777, &host.Dlg());
    made = b.GetSafeHwnd();
  });
  EXPECT_FALSE(created);
  EXPECT_EQ(made, nullptr);
  EXPECT_EQ(bp::headless::FindChild(host.Hwnd(), 777), nullptr);
}

TEST_F(BtnTest, CreateBitmapButtonSizesToOneCellLeftOfItsRightEnd) {
  CRect rc;
  host.Run([&] {
    static CBtnEx b;  // lives as long as the dialog's thread may touch it
    ASSERT_TRUE(b.CreateBitmapButton(300, 5, 131, 778, &host.Dlg()));
    b.GetWindowRect(&rc);
    host.Dlg().ScreenToClient(&rc);
    b.DestroyWindow();
  });
  EXPECT_EQ(rc, CRect(190, 5, 300, 35));
}

TEST_F(BtnTest, ToolTipCreatedOnceAndTextReplaced) {
  HWND first = nullptr, second = nullptr;
  host.Run([&] {
    CBtnEx& b = host.Dlg().m_btnSend;
    b.SetToolTipText(CString(u"甲"));
    first = b.m_toolTip.GetSafeHwnd();
    b.SetToolTipText(CString(u"乙"));
    second = b.m_toolTip.GetSafeHwnd();
  });
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(::SendMessageW(first, TTM_GETTOOLCOUNT, 0, 0), 1);

  Move(OnButton());
  Settle();  // tracking is armed by the move before the clock runs
  bp::headless::AdvanceClock(10);
  CString shown;
  host.Run([&] {
    CBtnEx& b = host.Dlg().m_btnSend;
    TOOLINFOW ti{};  // the whole button is the tool, known by its handle under its parent
    ti.hwnd = host.Dlg().m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(b.m_hWnd);
    ti.uFlags = TTF_IDISHWND;
    WCHAR buf[64] = {};
    ti.lpszText = buf;
    ::SendMessageW(first, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
    shown = buf;
  });
  EXPECT_EQ(shown, CString(u"乙"));
}

TEST_F(BtnTest, CursorIsArrowUnlessHandRequested) {
  Move(OnButton());
  bp::headless::WaitIdle();
  EXPECT_EQ(bp::headless::CursorId(), 32512);
  host.Run([&] { host.Dlg().m_btnSend.m_bHandCursor = TRUE; });
  Move(host.Screen(kBx + 30, kBy + 20));
  bp::headless::WaitIdle();
  EXPECT_EQ(bp::headless::CursorId(), 32649);
}
