// The paint cycle on the headless backend: order, erase flags, update areas, clipping, the
// composed picture, and the background protocol of the skinned controls.
#include <gtest/gtest.h>

#include "tests/user/support.h"

namespace {

using testwin::Record;

struct PaintLog {
  std::vector<Record> log;
  LRESULT eraseResult = 1;
  COLORREF color = RGB(255, 0, 0);
  testwin::Handler handler = [this](HWND h, UINT m, WPARAM w, LPARAM, bool* handled) -> LRESULT {
    if (m == WM_ERASEBKGND) {
      log.push_back({h, m, 0, 0});
      *handled = true;
      return eraseResult;
    }
    if (m == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      log.push_back({h, m, static_cast<WPARAM>(ps.fErase), 0});
      RECT r;
      GetClientRect(h, &r);
      HBRUSH b = CreateSolidBrush(color);
      FillRect(dc, &r, b);
      DeleteObject(b);
      EndPaint(h, &ps);
      *handled = true;
      return 0;
    }
    (void)w;
    return 0;
  };
};

class PaintTest : public ::testing::Test {
 protected:
  void SetUp() override { bp::headless::Use(); }
};

TEST_F(PaintTest, ParentsBeforeChildrenAndEraseFlags) {
  PaintLog top, child;
  child.color = RGB(0, 0, 255);
  HWND t = testwin::Create(&top.handler, WS_POPUP | WS_VISIBLE, 100, 100, 120, 80);
  HWND c = testwin::Create(&child.handler, WS_CHILD | WS_VISIBLE, 10, 10, 30, 20, t, 1);
  ASSERT_TRUE(bp::headless::WaitIdle());
  // First cycle: both erased, parent first.
  std::vector<Record> all;
  ASSERT_EQ(top.log.size(), 2u);
  EXPECT_EQ(top.log[0].msg, WM_ERASEBKGND);
  EXPECT_EQ(top.log[1], (Record{t, WM_PAINT, FALSE, 0})) << "erased, so fErase is clear";
  ASSERT_EQ(child.log.size(), 2u);
  EXPECT_EQ(bp::headless::Pixel(t, 5, 5), RGB(255, 0, 0));
  EXPECT_EQ(bp::headless::Pixel(t, 15, 15), RGB(0, 0, 255)) << "the child paints after its parent";
  EXPECT_EQ(bp::headless::Pixel(t, 1000, 5), CLR_INVALID);
  int presents = bp::headless::PresentCount(t);
  EXPECT_GE(presents, 1);

  // A child invalidated without erase: only its WM_PAINT, with fErase clear.
  top.log.clear();
  child.log.clear();
  InvalidateRect(c, nullptr, FALSE);
  ASSERT_TRUE(bp::headless::WaitIdle());
  EXPECT_TRUE(top.log.empty());
  EXPECT_EQ(child.log, (std::vector<Record>{{c, WM_PAINT, FALSE, 0}}));
  EXPECT_GT(bp::headless::PresentCount(t), presents) << "a paint cycle ends with a present";

  // An erase the window refuses (returns 0) leaves fErase set.
  child.log.clear();
  child.eraseResult = 0;
  InvalidateRect(c, nullptr, TRUE);
  ASSERT_TRUE(bp::headless::WaitIdle());
  EXPECT_EQ(child.log, (std::vector<Record>{{c, WM_ERASEBKGND, 0, 0}, {c, WM_PAINT, TRUE, 0}}));

  // The parent's invalidation reaches the child it covers, and only that one.
  top.log.clear();
  child.log.clear();
  RECT overChild{0, 0, 20, 20}, elsewhere{60, 40, 80, 60};
  InvalidateRect(t, &elsewhere, TRUE);
  ASSERT_TRUE(bp::headless::WaitIdle());
  EXPECT_EQ(top.log.size(), 2u);
  EXPECT_TRUE(child.log.empty());
  top.log.clear();
  InvalidateRect(t, &overChild, TRUE);
  ASSERT_TRUE(bp::headless::WaitIdle());
  EXPECT_EQ(top.log.size(), 2u);
  EXPECT_EQ(child.log.size(), 2u);
  DestroyWindow(t);
}

TEST_F(PaintTest, PaintingIsClippedToTheUpdateAreaAndVisibleParts) {
  PaintLog top, child;
  HWND t = testwin::Create(&top.handler, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  // A child sticking out of its parent draws only inside it.
  child.color = RGB(0, 255, 0);
  HWND c = testwin::Create(&child.handler, WS_CHILD | WS_VISIBLE, 80, 80, 50, 50, t, 2);
  ASSERT_TRUE(bp::headless::WaitIdle());
  EXPECT_EQ(bp::headless::Pixel(t, 90, 90), RGB(0, 255, 0));
  top.color = RGB(10, 20, 30);
  RECT part{0, 0, 10, 10};
  InvalidateRect(t, &part, TRUE);
  ASSERT_TRUE(bp::headless::WaitIdle());
  EXPECT_EQ(bp::headless::Pixel(t, 5, 5), RGB(10, 20, 30));
  EXPECT_EQ(bp::headless::Pixel(t, 50, 50), RGB(255, 0, 0)) << "outside the update area nothing changes";

  // Hiding a child repaints what it covered.
  ShowWindow(c, SW_HIDE);
  ASSERT_TRUE(bp::headless::WaitIdle());
  EXPECT_EQ(bp::headless::Pixel(t, 90, 90), RGB(10, 20, 30));
  child.log.clear();
  InvalidateRect(c, nullptr, TRUE);
  ASSERT_TRUE(bp::headless::WaitIdle());
  EXPECT_TRUE(child.log.empty()) << "a hidden window is not painted";
  DestroyWindow(t);
}

TEST_F(PaintTest, ClipChildrenKeepsTheParentsInvalidationToItself) {
  PaintLog top, child;
  HWND t = testwin::Create(&top.handler, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 50, 50);
  testwin::Create(&child.handler, WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, t, 3);
  ASSERT_TRUE(bp::headless::WaitIdle());
  child.log.clear();
  InvalidateRect(t, nullptr, TRUE);
  ASSERT_TRUE(bp::headless::WaitIdle());
  EXPECT_TRUE(child.log.empty());
  DestroyWindow(t);
}

// A control paints its parent's background into its own memory surface: window origin at its
// offset, WM_ERASEBKGND to the parent with the memory DC, viewport origin at the same offset.
TEST_F(PaintTest, ChildRendersParentBackgroundIntoItsOwnSurface) {
  testwin::Handler parentHandler = [](HWND h, UINT m, WPARAM w, LPARAM, bool* handled) -> LRESULT {
    if (m != WM_ERASEBKGND) return 0;
    // A background that differs at every column: RGB(x, 100, 0) at client x.
    HDC dc = reinterpret_cast<HDC>(w);
    RECT r;
    GetClientRect(h, &r);
    for (int x = 0; x < r.right; ++x) {
      RECT col{x, 0, x + 1, r.bottom};
      HBRUSH b = CreateSolidBrush(RGB(x, 100, 0));
      FillRect(dc, &col, b);
      DeleteObject(b);
    }
    *handled = true;
    return 1;
  };
  testwin::Handler childHandler = [](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
    if (m == WM_ERASEBKGND) {
      *handled = true;
      return 1;
    }
    if (m != WM_PAINT) return 0;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT me, parent;
    GetWindowRect(h, &me);
    HWND p = GetParent(h);
    GetWindowRect(p, &parent);
    int dx = me.left - parent.left, dy = me.top - parent.top;
    int w = me.right - me.left, hh = me.bottom - me.top;
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, w, hh);
    HGDIOBJ old = SelectObject(mem, bmp);
    SetWindowOrgEx(mem, dx, dy, nullptr);
    SendMessageW(p, WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), 0);
    SetViewportOrgEx(mem, dx, dy, nullptr);
    RECT mark{0, 0, 1, 1};  // own drawing at the identity mapping
    HBRUSH b = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(mem, &mark, b);
    DeleteObject(b);
    BitBlt(dc, 0, 0, w, hh, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    EndPaint(h, &ps);
    *handled = true;
    return 0;
  };
  HWND t = testwin::Create(&parentHandler, WS_POPUP | WS_VISIBLE, 300, 200, 200, 100);
  testwin::Create(&childHandler, WS_CHILD | WS_VISIBLE, 40, 30, 50, 20, t, 4);
  ASSERT_TRUE(bp::headless::WaitIdle());
  EXPECT_EQ(bp::headless::Pixel(t, 40, 30), RGB(255, 255, 255));
  EXPECT_EQ(bp::headless::Pixel(t, 41, 30), RGB(41, 100, 0)) << "the child shows the parent's background";
  EXPECT_EQ(bp::headless::Pixel(t, 89, 49), RGB(89, 100, 0));
  EXPECT_EQ(bp::headless::Pixel(t, 20, 10), RGB(20, 100, 0));
  EXPECT_TRUE(bp::headless::SavePng(t, bp::headless::ArtifactPath("user_background_protocol.png")));
  DestroyWindow(t);
}

TEST_F(PaintTest, WindowRegionShapesThePictureAndThePointer) {
  PaintLog top;
  HWND t = testwin::Create(&top.handler, WS_POPUP | WS_VISIBLE, 0, 0, 40, 40);
  HRGN r = CreateRectRgn(0, 0, 40, 40);
  HRGN corner = CreateRectRgn(0, 0, 1, 1);
  CombineRgn(r, r, corner, RGN_DIFF);
  DeleteObject(corner);
  SetWindowRgn(t, r, TRUE);
  ASSERT_TRUE(bp::headless::WaitIdle());
  EXPECT_EQ(bp::headless::Pixel(t, 0, 0), CLR_INVALID);
  EXPECT_EQ(bp::headless::Pixel(t, 1, 0), RGB(255, 0, 0));
  EXPECT_EQ(WindowFromPoint(POINT{0, 0}), nullptr);
  EXPECT_EQ(WindowFromPoint(POINT{1, 0}), t);
  DestroyWindow(t);
}

}  // namespace
