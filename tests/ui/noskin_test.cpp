// The toolkit in a program whose skin resources are missing (only dialog template 102 is there):
// failures are reported, nothing is half-built, and painting still works.
#include <gtest/gtest.h>

#include "tests/ui/harness.h"

using namespace uitest;

namespace {
const bool kFonts = (UseTestFontEverywhere(), true);

CRect WindowRect(HWND hwnd) {
  CRect rc;
  ::GetWindowRect(hwnd, &rc);
  return rc;
}
}  // namespace

TEST(NoSkin, EveryLoaderReportsTheMissingBitmapAndChangesNothing) {
  BOOL frame = TRUE, button = TRUE, bar = TRUE;
  CRect before, buttonBefore, buttonAfter;
  Host host([&](BenchDlg& d) {
    d.m_nCaptionHeight = 40;
    d.GetWindowRect(&before);
    frame = d.SetSkin();
    d.m_btnSend.GetWindowRect(&buttonBefore);
    button = d.m_btnSend.LoadStateBitmap(131, TRUE);
    d.m_btnSend.GetWindowRect(&buttonAfter);
    bar = d.m_progress.SetSkin();
  });
  ASSERT_NE(host.Hwnd(), nullptr);
  EXPECT_FALSE(frame);
  EXPECT_FALSE(button);
  EXPECT_FALSE(bar);
  EXPECT_EQ(WindowRect(host.Hwnd()).Size(), before.Size()) << "the frame keeps its size without a skin";
  EXPECT_EQ(buttonAfter, buttonBefore);
  EXPECT_EQ(bp::headless::FindChild(host.Hwnd(), 50000), nullptr) << "no strip 130: no close button";
  EXPECT_EQ(host.Get<int>([&] { return host.Dlg().m_btnSend.m_imgStates.GetSafeHandle() != nullptr; }), 0);
  // Everything still paints and answers; the caption still drags.
  const POINT p = host.Screen(20, 20);
  EXPECT_EQ(::SendMessageW(host.Hwnd(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCAPTION);
  ::SendMessageW(bp::headless::FindChild(host.Hwnd(), 1002), PBM_SETPOS, 50, 0);
  EXPECT_EQ(host.Pixel(5, 5), ::GetSysColor(COLOR_BTNFACE)) << "a plain face instead of the skin";
  host.Save("ui_noskin.png");
  EXPECT_EQ(host.Finish(), IDCANCEL);
}

TEST(NoSkin, CloseButtonStillMadeWhenOnlyTheBackgroundIsMissing) {
  RegisterBitmap(130, 132, 36, [](int x, int) { return x < 33 ? RGB(20, 120, 220) : RGB(220, 60, 60); });
  CRect window;
  Host host([&](BenchDlg& d) {
    d.m_nSysBtnRight = 0;
    d.m_nSysBtnTop = 0;
    EXPECT_FALSE(d.SetSkin());
    d.GetWindowRect(&window);
  });
  ASSERT_NE(host.Hwnd(), nullptr);
  HWND close = bp::headless::FindChild(host.Hwnd(), 50000);
  ASSERT_NE(close, nullptr);
  CRect rc = WindowRect(close);
  const CRect now = WindowRect(host.Hwnd());  // the dialog manager may have centred it since
  rc.OffsetRect(-now.left, -now.top);
  EXPECT_EQ(rc, CRect(window.Width() - 33, 0, window.Width(), 36));
  EXPECT_EQ(host.Pixel(window.Width() - 20, 10), RGB(20, 120, 220));
  const POINT p = host.Screen(window.Width() - 15, 15);
  bp::headless::Click(p.x, p.y);
  EXPECT_EQ(host.Finish(), IDCANCEL) << "the close button closes the unskinned dialog";
}
