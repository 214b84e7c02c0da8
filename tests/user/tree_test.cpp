// The window tree: positions and rectangles of nested windows, size and move notifications,
// z-order, visibility, icons, and the eight sizing edges.
#include <gtest/gtest.h>

#include "tests/user/support.h"

namespace {

namespace hl = bp::headless;

class TreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hl::Use();
    hl::MovePointer(5000, 5000);
    hl::WaitIdle();
  }
};

TEST_F(TreeTest, RectanglesOfNestedWindowsAndTheirNotifications) {
  std::vector<testwin::Record> log;
  testwin::Handler h = [&](HWND w, UINT m, WPARAM wp, LPARAM lp, bool*) -> LRESULT {
    if (m == WM_SIZE || m == WM_MOVE) log.push_back({w, m, wp, lp});
    return 0;
  };
  testwin::Handler none;
  HWND top = testwin::Create(&none, WS_POPUP | WS_VISIBLE, 100, 50, 400, 300);
  HWND mid = testwin::Create(&none, WS_CHILD | WS_VISIBLE, 10, 20, 200, 100, top, 1);
  HWND leaf = testwin::Create(&h, WS_CHILD | WS_VISIBLE, 5, 6, 30, 40, mid, 2);
  RECT r;
  GetWindowRect(leaf, &r);
  EXPECT_EQ(r.left, 115);
  EXPECT_EQ(r.top, 76);
  EXPECT_EQ(r.right, 145);
  EXPECT_EQ(r.bottom, 116);
  GetClientRect(leaf, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 30);
  POINT p{120, 80};
  ScreenToClient(leaf, &p);
  EXPECT_EQ(p.x, 5);
  EXPECT_EQ(p.y, 4);
  ClientToScreen(mid, &p);
  EXPECT_EQ(p.x, 115);

  // Resizing without moving (as the skinned frame does): WM_SIZE only, position kept.
  log.clear();
  SetWindowPos(leaf, nullptr, 0, 0, 50, 60, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(leaf, &r);
  EXPECT_EQ(r.left, 115);
  EXPECT_EQ(r.right - r.left, 50);
  EXPECT_EQ(log, (std::vector<testwin::Record>{{leaf, WM_SIZE, SIZE_RESTORED, MAKELPARAM(50, 60)}}));
  log.clear();
  MoveWindow(leaf, 7, 8, 50, 60, TRUE);
  EXPECT_EQ(log, (std::vector<testwin::Record>{{leaf, WM_MOVE, 0, MAKELPARAM(7, 8)}}));
  // Moving the parent moves the child on the screen.
  MoveWindow(top, 0, 0, 400, 300, TRUE);
  GetWindowRect(leaf, &r);
  EXPECT_EQ(r.left, 17);
  EXPECT_EQ(r.top, 28);

  ShowWindow(mid, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(leaf)) << "hidden with its parent";
  EXPECT_TRUE(GetWindowLongPtrW(leaf, GWL_STYLE) & WS_VISIBLE);
  ShowWindow(mid, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(leaf));
  DestroyWindow(top);
}

TEST_F(TreeTest, ZOrderHitsTheTopmostSiblingAndIconsAreKept) {
  testwin::Handler none;
  HWND top = testwin::Create(&none, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND a = testwin::Create(&none, WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, 1);
  HWND b = testwin::Create(&none, WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, 2);
  EXPECT_EQ(GetWindow(top, GW_CHILD), a) << "the first created is on top, like a dialog's first control";
  EXPECT_EQ(WindowFromPoint(POINT{10, 10}), a);
  SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(WindowFromPoint(POINT{10, 10}), b);
  EXPECT_EQ(ChildWindowFromPoint(top, POINT{70, 70}), top);
  EXPECT_EQ(GetDlgItem(top, 2), b);

  HICON big = reinterpret_cast<HICON>(static_cast<ULONG_PTR>(0x1234));
  EXPECT_EQ(SendMessageW(top, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big)), 0);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(top, WM_GETICON, ICON_BIG, 0)), big);
  EXPECT_EQ(SendMessageW(top, WM_GETICON, ICON_SMALL, 0), 0) << "no small icon is made from the big one";
  DestroyWindow(top);
}

TEST_F(TreeTest, EachSizingEdgeMovesItsSides) {
  struct Case {
    LRESULT hit;
    WPARAM edge;
    RECT expect;  // window (100, 100, 300, 250) dragged by (+10, +7)
  } cases[] = {
      {HTLEFT, WMSZ_LEFT, {110, 100, 300, 250}},         {HTRIGHT, WMSZ_RIGHT, {100, 100, 310, 250}},
      {HTTOP, WMSZ_TOP, {100, 107, 300, 250}},           {HTTOPLEFT, WMSZ_TOPLEFT, {110, 107, 300, 250}},
      {HTTOPRIGHT, WMSZ_TOPRIGHT, {100, 107, 310, 250}}, {HTBOTTOM, WMSZ_BOTTOM, {100, 100, 300, 257}},
      {HTBOTTOMLEFT, WMSZ_BOTTOMLEFT, {110, 100, 300, 257}},
      {HTBOTTOMRIGHT, WMSZ_BOTTOMRIGHT, {100, 100, 310, 257}},
  };
  for (const Case& c : cases) {
    std::vector<WPARAM> commands;
    testwin::Handler h = [&](HWND, UINT m, WPARAM w, LPARAM, bool* handled) -> LRESULT {
      if (m == WM_NCHITTEST) {
        *handled = true;
        return c.hit;
      }
      if (m == WM_SYSCOMMAND) commands.push_back(w);
      return 0;
    };
    HWND top = testwin::Create(&h, WS_POPUP | WS_VISIBLE, 100, 100, 200, 150);
    ASSERT_TRUE(hl::WaitIdle());
    hl::MovePointer(200, 170);
    hl::ButtonDown();
    hl::MovePointer(210, 177);
    hl::ButtonUp();
    ASSERT_TRUE(hl::WaitIdle());
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_TRUE(EqualRect(&r, &c.expect)) << "edge " << c.edge << ": " << r.left << "," << r.top << "," << r.right
                                          << "," << r.bottom;
    EXPECT_EQ(commands, (std::vector<WPARAM>{SC_SIZE + c.edge}));
    DestroyWindow(top);
  }
}

}  // namespace
