// bugpost-demo: a shaped window with a button and a progress bar, to see the platform layer on a
// real display. A worker thread moves the progress bar with SendMessageW as fast as the window
// takes it, as an upload's progress reports do, so the window must stay responsive while busy.
// Clicking the button prints "clicked" and ends the program with status 0. Without a click it
// gives up after 60 s with status 3.
#include <atomic>
#include <cstdio>

#include "platform/win32/windows.h"

namespace {

constexpr int kButtonId = 1;
constexpr UINT_PTR kGiveUpTimer = 2;
HWND g_progress = nullptr;
std::atomic<bool> g_stop{false};

DWORD WINAPI Feeder(LPVOID) {
  for (unsigned i = 0; !g_stop; ++i) {
    if (!IsWindow(g_progress)) break;
    SendMessageW(g_progress, PBM_SETPOS, (i / 20) % 101, 0);
  }
  return 0;
}

LRESULT CALLBACK FrameProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CREATE:
      CreateWindowExW(0, u"Button", u"Click me", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 20, 100, 120,
                      30, h, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), nullptr, nullptr);
      g_progress = CreateWindowExW(0, PROGRESS_CLASSW, u"", WS_CHILD | WS_VISIBLE, 20, 60, 280, 16, h, nullptr,
                                   nullptr, nullptr);
      CloseHandle(CreateThread(nullptr, 0, Feeder, nullptr, 0, nullptr));
      SetTimer(h, kGiveUpTimer, 60000, nullptr);
      return 0;
    case WM_TIMER:
      if (w == kGiveUpTimer) {
        std::fprintf(stderr, "bugpost-demo: nobody clicked\n");
        PostQuitMessage(3);
      }
      return 0;
    case WM_NCHITTEST: {
      // The top band drags the borderless window.
      POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ScreenToClient(h, &p);
      return p.y >= 0 && p.y < 30 ? HTCAPTION : DefWindowProcW(h, msg, w, l);
    }
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(w);
      RECT r;
      GetClientRect(h, &r);
      HBRUSH face = CreateSolidBrush(RGB(245, 247, 250));
      FillRect(dc, &r, face);
      DeleteObject(face);
      RECT band{0, 0, r.right, 30};
      HBRUSH blue = CreateSolidBrush(RGB(8, 161, 223));
      FillRect(dc, &band, blue);
      DeleteObject(blue);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(255, 255, 255));
      RECT title{10, 0, r.right, 30};
      DrawTextW(dc, u"bugpost demo", -1, &title, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
      return 1;
    }
    case WM_COMMAND:
      if (LOWORD(w) == kButtonId && HIWORD(w) == BN_CLICKED) {
        std::printf("clicked\n");
        std::fflush(stdout);
        PostQuitMessage(0);
      }
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(h, msg, w, l);
  }
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX icc;
  icc.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&icc);
  WNDCLASSEXW wc;
  wc.lpfnWndProc = FrameProc;
  wc.lpszClassName = u"BugpostDemo";
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  if (!RegisterClassExW(&wc)) return 1;
  HWND frame = CreateWindowExW(WS_EX_APPWINDOW, u"BugpostDemo", u"bugpost demo", WS_POPUP | WS_VISIBLE, 100, 100, 320,
                               150, nullptr, nullptr, nullptr, nullptr);
  if (!frame) return 1;
  // A region with the top-left 4 x 4 corner cut off: the display shows the window's shape.
  HRGN shape = CreateRectRgn(0, 0, 320, 150);
  HRGN corner = CreateRectRgn(0, 0, 4, 4);
  CombineRgn(shape, shape, corner, RGN_DIFF);
  DeleteObject(corner);
  SetWindowRgn(frame, shape, TRUE);
  std::printf("ready\n");
  std::fflush(stdout);
  MSG msg;
  int code = 0;
  for (;;) {
    BOOL r = GetMessageW(&msg, nullptr, 0, 0);
    if (r <= 0) {
      code = r == 0 ? static_cast<int>(msg.wParam) : 1;
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  g_stop = true;
  if (IsWindow(frame)) DestroyWindow(frame);
  return code;
}
