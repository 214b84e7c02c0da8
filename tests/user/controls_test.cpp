// The progress bar's position and range, and the tooltip's delays and popup.
#include <gtest/gtest.h>

#include "tests/user/support.h"

namespace {

namespace hl = bp::headless;

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hl::Use();
    hl::MovePointer(5000, 5000);
    top = testwin::Create(&none, WS_POPUP | WS_VISIBLE, 0, 0, 300, 200);
    hl::WaitIdle();
  }
  void TearDown() override {
    if (top) DestroyWindow(top);
  }
  testwin::Handler none;
  HWND top = nullptr;
};

TEST_F(ControlsTest, ProgressClampsToItsRange) {
  HWND p = CreateWindowExW(0, PROGRESS_CLASSW, u"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 10, top, nullptr, nullptr,
                           nullptr);
  ASSERT_TRUE(p);
  PBRANGE r{};
  EXPECT_EQ(SendMessageW(p, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&r)), 100);
  EXPECT_EQ(r.iLow, 0);
  EXPECT_EQ(r.iHigh, 100);
  EXPECT_EQ(SendMessageW(p, PBM_GETRANGE, TRUE, 0), 0);
  struct Case {
    int set, expect;
  } cases[] = {{50, 50}, {0, 0}, {100, 100}, {101, 100}, {-5, 0}, {99, 99}, {1000000, 100}};
  for (auto c : cases) {
    SendMessageW(p, PBM_SETPOS, static_cast<WPARAM>(c.set), 0);
    EXPECT_EQ(SendMessageW(p, PBM_GETPOS, 0, 0), c.expect) << "set " << c.set;
  }
  EXPECT_EQ(SendMessageW(p, PBM_SETPOS, 40, 0), 100) << "returns the old position";
  // A new range clamps the position at once and returns the old range.
  EXPECT_EQ(SendMessageW(p, PBM_SETRANGE, 0, MAKELPARAM(20, 30)), MAKELPARAM(0, 100));
  EXPECT_EQ(SendMessageW(p, PBM_GETPOS, 0, 0), 30);
  SendMessageW(p, PBM_SETPOS, 5, 0);
  EXPECT_EQ(SendMessageW(p, PBM_GETPOS, 0, 0), 20);
  SendMessageW(p, PBM_SETRANGE32, static_cast<WPARAM>(-50), 50);
  SendMessageW(p, PBM_SETPOS, static_cast<WPARAM>(-60), 0);
  EXPECT_EQ(SendMessageW(p, PBM_GETPOS, 0, 0), -50);
  EXPECT_EQ(SendMessageW(p, PBM_DELTAPOS, 30, 0), -50);
  EXPECT_EQ(SendMessageW(p, PBM_GETPOS, 0, 0), -20);
}

TEST_F(ControlsTest, ProgressInvalidatesItselfOnlyWhenThePositionChanges) {
  HWND p = CreateWindowExW(0, PROGRESS_CLASSW, u"", WS_CHILD | WS_VISIBLE, 10, 10, 102, 10, top, nullptr, nullptr,
                           nullptr);
  ASSERT_TRUE(hl::WaitIdle());
  SendMessageW(p, PBM_SETPOS, 0, 0);
  EXPECT_FALSE(GetUpdateRect(p, nullptr, FALSE));
  SendMessageW(p, PBM_SETPOS, 50, 0);
  EXPECT_TRUE(GetUpdateRect(p, nullptr, FALSE));
  ASSERT_TRUE(hl::WaitIdle());
  // The plain bar: filled up to half of its inner width.
  EXPECT_EQ(hl::Pixel(top, 11 + 49, 15), RGB(6, 176, 37));
  EXPECT_EQ(hl::Pixel(top, 11 + 51, 15), RGB(230, 230, 230));
}

TEST_F(ControlsTest, TooltipShowsAfterItsDelayNearThePointerAndPops) {
  HWND b = CreateWindowExW(0, u"Button", u"x", WS_CHILD | WS_VISIBLE, 50, 50, 40, 20, top, nullptr, nullptr, nullptr);
  HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, b, nullptr, nullptr, nullptr);
  ASSERT_TRUE(tip);
  TOOLINFOW ti;
  ti.uFlags = TTF_IDISHWND;
  ti.hwnd = top;
  ti.uId = reinterpret_cast<UINT_PTR>(b);
  ti.lpszText = LPSTR_TEXTCALLBACKW;
  ASSERT_TRUE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
  SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, 660);
  WCHAR text[] = u"关闭";
  ti.lpszText = text;
  SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);

  hl::MovePointer(60, 60);
  MSG m;
  m.hwnd = b;
  m.message = WM_MOUSEMOVE;
  m.pt = POINT{60, 60};
  SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
  hl::AdvanceClock(659);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_FALSE(IsWindowVisible(tip));
  hl::AdvanceClock(1);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_TRUE(IsWindowVisible(tip));
  RECT r;
  GetWindowRect(tip, &r);
  EXPECT_EQ(r.left, 60);
  EXPECT_GT(r.top, 60) << "below the pointer";
  EXPECT_EQ(hl::Pixel(tip, 0, 0), RGB(118, 118, 118));
  EXPECT_EQ(hl::FindWindowByClass(TOOLTIPS_CLASSW), tip);
  // The pointer does not fall on the popup: it stays with the window under it.
  EXPECT_EQ(WindowFromPoint(POINT{r.left + 2, r.top + 2}), top);
  hl::AdvanceClock(6600);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_FALSE(IsWindowVisible(tip)) << "pops after ten times the automatic delay";

  // A click hides it and keeps it hidden over the same tool.
  SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
  m.message = WM_LBUTTONDOWN;
  SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
  hl::AdvanceClock(1000);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_FALSE(IsWindowVisible(tip));
  EXPECT_EQ(GetWindow(tip, GW_OWNER), top) << "a popup is owned by the top-level window";
  DestroyWindow(top);
  top = nullptr;
  EXPECT_FALSE(IsWindow(tip)) << "owned popups go with their owner";
}

}  // namespace
