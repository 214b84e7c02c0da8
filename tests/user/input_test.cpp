// Pointer and key input on the headless backend: hit testing, buttons, capture, hover and
// leave, double clicks, cursors, timers, the caption move loop and edge sizing.
#include <gtest/gtest.h>

#include "tests/user/support.h"

namespace {

using testwin::Record;
namespace hl = bp::headless;

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hl::Use();
    hl::MovePointer(5000, 5000);  // start away from every window
    hl::WaitIdle();
  }
};

// A parent that records WM_COMMAND and the state of every owner draw.
struct Owner {
  std::vector<UINT> drawStates;
  std::vector<WPARAM> commands;
  testwin::Handler handler = [this](HWND, UINT m, WPARAM w, LPARAM l, bool* handled) -> LRESULT {
    if (m == WM_DRAWITEM) {
      drawStates.push_back(reinterpret_cast<DRAWITEMSTRUCT*>(l)->itemState & ODS_SELECTED);
      *handled = true;
      return TRUE;
    }
    if (m == WM_COMMAND) commands.push_back(w);
    return 0;
  };
};

TEST_F(InputTest, PushButtonPressDragOffReleaseAndKeyboard) {
  Owner owner;
  HWND top = testwin::Create(&owner.handler, WS_POPUP | WS_VISIBLE, 100, 100, 200, 100);
  HWND b = CreateWindowExW(0, u"Button", u"Go", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, 50, 20, top,
                           reinterpret_cast<HMENU>(1000), nullptr, nullptr);
  ASSERT_TRUE(b);
  ASSERT_TRUE(hl::WaitIdle());
  owner.drawStates.clear();

  // Press: drawn selected.
  hl::MovePointer(120, 120);
  hl::ButtonDown();
  ASSERT_TRUE(hl::WaitIdle());
  ASSERT_FALSE(owner.drawStates.empty());
  EXPECT_EQ(owner.drawStates.back(), ODS_SELECTED);
  EXPECT_EQ(GetCapture(), b);
  EXPECT_EQ(GetFocus(), b);
  // Drag off: no longer selected; back on: selected again; release off: no click.
  hl::MovePointer(250, 180);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(owner.drawStates.back(), 0u);
  hl::MovePointer(115, 115);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(owner.drawStates.back(), ODS_SELECTED);
  hl::MovePointer(250, 180);
  hl::ButtonUp();
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_TRUE(owner.commands.empty());
  EXPECT_EQ(GetCapture(), nullptr);

  // Press and release on it: one BN_CLICKED from id 1000.
  hl::Click(120, 120);
  ASSERT_TRUE(hl::WaitIdle());
  ASSERT_EQ(owner.commands.size(), 1u);
  EXPECT_EQ(owner.commands[0], MAKEWPARAM(1000, BN_CLICKED));
  EXPECT_EQ(owner.drawStates.back(), 0u);

  // Space on the focused button: selected while held, the click at the release.
  owner.commands.clear();
  hl::KeyDown(VK_SPACE);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(owner.drawStates.back(), ODS_SELECTED);
  EXPECT_TRUE(owner.commands.empty());
  hl::KeyUp(VK_SPACE);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(owner.commands, (std::vector<WPARAM>{MAKEWPARAM(1000, BN_CLICKED)}));

  // A disabled button takes no clicks.
  owner.commands.clear();
  EnableWindow(b, FALSE);
  hl::Click(120, 120);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_TRUE(owner.commands.empty());
  DestroyWindow(top);
}

TEST_F(InputTest, HoverAfterItsTimeAndLeave) {
  std::vector<UINT> seen;
  testwin::Handler h = [&](HWND hw, UINT m, WPARAM, LPARAM, bool*) -> LRESULT {
    if (m == WM_MOUSEMOVE) {
      TRACKMOUSEEVENT tme;
      tme.dwFlags = TME_HOVER | TME_LEAVE;
      tme.hwndTrack = hw;
      tme.dwHoverTime = 10;
      _TrackMouseEvent(&tme);
    }
    if (m == WM_MOUSEHOVER || m == WM_MOUSELEAVE) seen.push_back(m);
    return 0;
  };
  testwin::Handler none;
  HWND top = testwin::Create(&none, WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
  testwin::Create(&h, WS_CHILD | WS_VISIBLE, 50, 50, 40, 40, top, 9);
  ASSERT_TRUE(hl::WaitIdle());
  hl::MovePointer(60, 60);
  ASSERT_TRUE(hl::WaitIdle());
  hl::AdvanceClock(9);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_TRUE(seen.empty()) << "not before its hover time";
  hl::AdvanceClock(1);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(seen, (std::vector<UINT>{WM_MOUSEHOVER}));
  hl::AdvanceClock(100);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(seen.size(), 1u) << "one hover per request";
  hl::MovePointer(10, 10);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(seen, (std::vector<UINT>{WM_MOUSEHOVER, WM_MOUSELEAVE}));
  DestroyWindow(top);
}

TEST_F(InputTest, TransparentHitsReachTheParentAndCursorsAreSet) {
  std::vector<Record> parentLog;
  testwin::Handler parent = [&](HWND hw, UINT m, WPARAM w, LPARAM l, bool* handled) -> LRESULT {
    if (m == WM_LBUTTONDOWN) parentLog.push_back({hw, m, w, l});
    if (m == WM_SETCURSOR) {
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      *handled = true;
      return TRUE;
    }
    return 0;
  };
  HWND top = testwin::Create(&parent, WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
  HWND label = CreateWindowExW(0, u"Static", u"label", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20, top, nullptr, nullptr,
                               nullptr);
  ASSERT_TRUE(label);
  ASSERT_TRUE(hl::WaitIdle());
  hl::Click(20, 15);
  ASSERT_TRUE(hl::WaitIdle());
  ASSERT_EQ(parentLog.size(), 1u) << "a static without SS_NOTIFY lets the click through";
  EXPECT_EQ(parentLog[0].lParam, MAKELPARAM(20, 15));
  EXPECT_EQ(hl::CursorId(), 32649);
  DestroyWindow(top);
}

TEST_F(InputTest, DoubleClickWithinItsTime) {
  std::vector<UINT> clicks;
  testwin::Handler h = [&](HWND, UINT m, WPARAM, LPARAM, bool*) -> LRESULT {
    if (m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK) clicks.push_back(m);
    return 0;
  };
  HWND top = testwin::Create(&h, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  hl::Click(50, 50);
  hl::AdvanceClock(100);
  hl::Click(51, 50);
  hl::AdvanceClock(600);
  hl::Click(51, 50);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(clicks, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}));
  DestroyWindow(top);
}

TEST_F(InputTest, TimersRunOnTheVirtualClock) {
  std::vector<WPARAM> ticks;
  testwin::Handler h = [&](HWND, UINT m, WPARAM w, LPARAM, bool*) -> LRESULT {
    if (m == WM_TIMER) ticks.push_back(w);
    return 0;
  };
  HWND top = testwin::Create(&h, WS_POPUP, 0, 0, 10, 10);
  SetTimer(top, 7, 100, nullptr);
  hl::AdvanceClock(99);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_TRUE(ticks.empty());
  hl::AdvanceClock(1);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(ticks, (std::vector<WPARAM>{7}));
  hl::AdvanceClock(350);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(ticks.size(), 2u) << "a late timer fires once";
  KillTimer(top, 7);
  hl::AdvanceClock(1000);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(ticks.size(), 2u);
  DestroyWindow(top);
}

TEST_F(InputTest, CaptionDragMovesAndEdgeDragSizes) {
  std::vector<WPARAM> sysCommands;
  testwin::Handler h = [&](HWND hw, UINT m, WPARAM w, LPARAM l, bool* handled) -> LRESULT {
    if (m == WM_NCHITTEST) {
      POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ScreenToClient(hw, &p);
      RECT r;
      GetClientRect(hw, &r);
      *handled = true;
      if (p.x >= r.right - 3 && p.y >= r.bottom - 3) return HTBOTTOMRIGHT;
      return p.y < 20 ? HTCAPTION : HTCLIENT;
    }
    if (m == WM_SYSCOMMAND) sysCommands.push_back(w);
    return 0;
  };
  HWND top = testwin::Create(&h, WS_POPUP | WS_VISIBLE, 100, 100, 200, 150);
  ASSERT_TRUE(hl::WaitIdle());
  hl::MovePointer(150, 105);
  hl::ButtonDown();
  hl::MovePointer(170, 125);
  hl::MovePointer(180, 145);
  hl::ButtonUp();
  ASSERT_TRUE(hl::WaitIdle());
  RECT r;
  GetWindowRect(top, &r);
  EXPECT_EQ(r.left, 130);
  EXPECT_EQ(r.top, 140);
  EXPECT_EQ(r.right - r.left, 200);
  ASSERT_FALSE(sysCommands.empty());
  EXPECT_EQ(sysCommands[0], SC_MOVE | HTCAPTION);

  sysCommands.clear();
  hl::MovePointer(329, 289);
  hl::ButtonDown();
  hl::MovePointer(349, 299);
  hl::ButtonUp();
  ASSERT_TRUE(hl::WaitIdle());
  GetWindowRect(top, &r);
  EXPECT_EQ(r.left, 130);
  EXPECT_EQ(r.right - r.left, 220);
  EXPECT_EQ(r.bottom - r.top, 160);
  EXPECT_EQ(sysCommands, (std::vector<WPARAM>{SC_SIZE + WMSZ_BOTTOMRIGHT}));
  DestroyWindow(top);
}

TEST_F(InputTest, SysCommandsMinimiseAndClose) {
  std::vector<UINT> seen;
  testwin::Handler h = [&](HWND, UINT m, WPARAM w, LPARAM, bool*) -> LRESULT {
    if (m == WM_CLOSE || m == WM_DESTROY || (m == WM_SIZE && w == SIZE_MINIMIZED)) seen.push_back(m);
    return 0;
  };
  HWND top = testwin::Create(&h, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
  SendMessageW(top, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(top));
  SendMessageW(top, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsIconic(top));
  SendMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(top)) << "WM_CLOSE's default destroys the window";
  EXPECT_EQ(seen, (std::vector<UINT>{WM_SIZE, WM_CLOSE, WM_DESTROY}));
}

TEST(SystemTest, WorkAreaMetricsAndCursors) {
  hl::Use();
  hl::SetWorkArea(RECT{0, 40, 1920, 1080});
  RECT r;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0));
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.bottom, 1080);
  hl::SetWorkArea(RECT{0, 0, 1920, 1040});
  EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
  EXPECT_EQ(GetSystemMetrics(SM_CYICON), 32);
  HCURSOR hand = LoadCursorW(nullptr, IDC_HAND), arrow = LoadCursorW(nullptr, IDC_ARROW);
  ASSERT_TRUE(hand && arrow);
  EXPECT_NE(hand, arrow);
  EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), hand);
  SetCursor(arrow);
  EXPECT_EQ(hl::CursorId(), 32512);
  EXPECT_EQ(MulDiv(7, 3, 2), 11);
  EXPECT_EQ(MulDiv(-7, 3, 2), -11);
}

}  // namespace
