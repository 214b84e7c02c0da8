#include "tests/user/support.h"

namespace testwin {
namespace {

LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* handler = reinterpret_cast<Handler*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (handler && *handler) {
    bool handled = false;
    LRESULT r = (*handler)(h, m, w, l, &handled);
    if (handled) return r;
  }
  return DefWindowProcW(h, m, w, l);
}

}  // namespace

HWND Create(Handler* handler, DWORD style, int x, int y, int w, int h, HWND parent, int id, DWORD exStyle) {
  static bool registered = [] {
    WNDCLASSEXW wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = u"TestWnd";
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
  return CreateWindowExW(exStyle, u"TestWnd", u"", style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, handler);
}

void PaintSolid(HWND h, COLORREF c) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT r;
  GetClientRect(h, &r);
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
  EndPaint(h, &ps);
}

}  // namespace testwin
