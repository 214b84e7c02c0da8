// The backend choice and the headless backend's own test interface.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "platform/backend/headless/headless.h"
#include "platform/win32/user/backend.h"
#include "platform/win32/windows.h"

namespace {

// The choice is made once per process, so each case runs in a child of its own.
int ChosenIn(const char* backend, const char* display) {
  if (backend) setenv("BUGPOST_BACKEND", backend, 1);
  else unsetenv("BUGPOST_BACKEND");
  if (display) setenv("DISPLAY", display, 1);
  else unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  setenv("SDL_VIDEODRIVER", "x11", 1);  // no desktop session of the machine may stand in
  const char* name = bp::user::GetBackend()->Name();
  std::_Exit(std::strcmp(name, "headless") == 0 ? 10 : std::strcmp(name, "sdl") == 0 ? 11 : 12);
}

TEST(BackendChoice, HeadlessWithoutADisplayOrWhenForced) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ChosenIn(nullptr, nullptr), ::testing::ExitedWithCode(10), "");
  EXPECT_EXIT(ChosenIn("headless", ":0"), ::testing::ExitedWithCode(10), "");
  // SDL is asked for, but a display that does not exist cannot be opened: headless, with a word.
  EXPECT_EXIT(ChosenIn("sdl", ":9999"), ::testing::ExitedWithCode(10), "no display");
  EXPECT_EXIT(ChosenIn(nullptr, ":9999"), ::testing::ExitedWithCode(10), "no display");
}

// A program with message-only windows (the windowless sender) never opens a display.
int MessageOnlyChoosesNothing() {
  setenv("BUGPOST_BACKEND", "sdl", 1);
  setenv("DISPLAY", ":9999", 1);
  setenv("SDL_VIDEODRIVER", "x11", 1);
  HWND h = CreateWindowExW(0, u"Static", u"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  SetTimer(h, 1, 20, nullptr);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) && m.message != WM_TIMER) DispatchMessageW(&m);
  std::_Exit(bp::user::ExistingBackend() ? 21 : 20);
}

TEST(BackendChoice, MessageOnlyWindowsRunOnTheMachineClockWithoutABackend) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(MessageOnlyChoosesNothing(), ::testing::ExitedWithCode(20), "^$");
}

LRESULT CALLBACK Solid(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(h, &r);
    HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
    FillRect(reinterpret_cast<HDC>(w), &r, b);
    DeleteObject(b);
    return 1;
  }
  return DefWindowProcW(h, m, w, l);
}

TEST(Headless, FindsWindowsReadsPixelsAndSavesPng) {
  bp::headless::Use();
  WNDCLASSEXW wc;
  wc.lpfnWndProc = Solid;
  wc.lpszClassName = u"HeadlessSolid";
  RegisterClassExW(&wc);
  HWND top = CreateWindowExW(0, u"HeadlessSolid", u"solid", WS_POPUP | WS_VISIBLE, 10, 10, 20, 10, nullptr, nullptr,
                             nullptr, nullptr);
  HWND child = CreateWindowExW(0, u"Static", u"label", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, top,
                               reinterpret_cast<HMENU>(42), nullptr, nullptr);
  EXPECT_EQ(bp::headless::Pixel(top, 0, 0), CLR_INVALID) << "nothing presented before the first paint";
  ASSERT_TRUE(bp::headless::WaitIdle());
  EXPECT_EQ(bp::headless::FindWindowByClass(u"headlesssolid"), top) << "class names ignore case";
  EXPECT_EQ(bp::headless::FindWindowByClass(nullptr, u"label"), child);
  EXPECT_EQ(bp::headless::FindWindowByClass(u"Static", u"nope"), nullptr);
  EXPECT_EQ(bp::headless::FindChild(top, 42), child);
  EXPECT_EQ(bp::headless::Pixel(top, 19, 9), RGB(1, 2, 3));
  EXPECT_EQ(bp::headless::Pixel(top, 20, 9), CLR_INVALID);
  std::string path = bp::headless::ArtifactPath("backend_solid.png");
  ASSERT_TRUE(bp::headless::SavePng(top, path));
  std::ifstream png(path, std::ios::binary);
  char magic[8] = {};
  png.read(magic, 8);
  EXPECT_EQ(std::string(magic + 1, 3), "PNG");
  DestroyWindow(top);
  EXPECT_FALSE(bp::headless::SavePng(top, path)) << "a destroyed window has no picture";
}

TEST(Headless, WaitIdleWaitsForABusyWindowThread) {
  bp::headless::Use();
  static std::atomic<bool> release{false};
  static std::atomic<HWND> window{nullptr};
  std::thread ui([] {
    HWND h = CreateWindowExW(0, u"Static", u"", WS_POPUP | WS_VISIBLE, 0, 0, 4, 4, nullptr, nullptr, nullptr, nullptr);
    window = h;
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0)) {
      if (m.message == WM_USER) {
        while (!release) std::this_thread::yield();  // busy in a handler
      }
      DispatchMessageW(&m);
    }
    DestroyWindow(h);
  });
  while (!window) std::this_thread::yield();
  ASSERT_TRUE(bp::headless::WaitIdle());
  PostMessageW(window, WM_USER, 0, 0);
  EXPECT_FALSE(bp::headless::WaitIdle(100)) << "the window's thread is busy";
  release = true;
  EXPECT_TRUE(bp::headless::WaitIdle());
  PostThreadMessageW(GetWindowThreadProcessId(window, nullptr), WM_QUIT, 0, 0);
  ui.join();
}

TEST(Headless, ClockMovesOnlyWhenAdvanced) {
  bp::headless::Use();
  std::uint64_t t0 = bp::headless::Now();
  EXPECT_EQ(GetTickCount(), static_cast<DWORD>(t0));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(bp::headless::Now(), t0);
  bp::headless::AdvanceClock(250);
  EXPECT_EQ(bp::headless::Now(), t0 + 250);
}

}  // namespace
