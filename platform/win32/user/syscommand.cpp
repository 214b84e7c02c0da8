#include <algorithm>

#include "platform/win32/user/syscommand.h"

namespace {

// Follows the pointer until the left button is released: moves the window (edge 0) or drags one
// or two of its edges (a WMSZ_ code). Runs its own message loop, like the system's.
void TrackFrame(HWND hwnd, WPARAM edge, POINT start) {
  RECT origin;
  if (!GetWindowRect(hwnd, &origin)) return;
  SetCapture(hwnd);
  MSG msg;
  while (GetCapture() == hwnd && IsWindow(hwnd)) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      // A release that never reached us (it went to another window) ends the loop too.
      if (GetKeyState(VK_LBUTTON) >= 0) break;
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_MOUSEMOVE && msg.hwnd == hwnd) {
      int dx = msg.pt.x - start.x, dy = msg.pt.y - start.y;
      RECT r = origin;
      if (edge == 0) {
        OffsetRect(&r, dx, dy);
      } else {
        bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
        bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
        bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
        bool bottom = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
        if (left) r.left = std::min(r.left + dx, r.right - 1);
        if (right) r.right = std::max(r.right + dx, r.left + 1);
        if (top) r.top = std::min(r.top + dy, r.bottom - 1);
        if (bottom) r.bottom = std::max(r.bottom + dy, r.top + 1);
      }
      MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
      continue;
    }
    if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP) break;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      MoveWindow(hwnd, origin.left, origin.top, origin.right - origin.left, origin.bottom - origin.top, TRUE);
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (GetCapture() == hwnd) ReleaseCapture();
}

}  // namespace

LRESULT DefaultSysCommand(HWND hwnd, WPARAM command, LPARAM lParam) {
  WPARAM cmd = command & 0xFFF0;
  POINT start{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (cmd) {
    case SC_CLOSE: SendMessageW(hwnd, WM_CLOSE, 0, 0); break;
    case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
    case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
    case SC_MOVE: TrackFrame(hwnd, 0, start); break;
    case SC_SIZE: {
      WPARAM edge = command & 0xF;
      if (edge >= WMSZ_LEFT && edge <= WMSZ_BOTTOMRIGHT) TrackFrame(hwnd, edge, start);
      break;
    }
    default: break;
  }
  return 0;
}
