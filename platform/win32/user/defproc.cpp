// The default window procedure.
#include <algorithm>
#include <cstring>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/user/backend.h"
#include "platform/win32/user/syscommand.h"
#include "platform/win32/user/state.h"

using namespace bp::user;

namespace {

LRESULT SetText(HWND hwnd, LPCWSTR text) {
  {
    Guard g(Lock());
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    w->text = text ? text : u"";
  }
  if (auto b = ExistingBackend()) b->WindowTextChanged(hwnd);
  return TRUE;
}

LRESULT GetText(HWND hwnd, WPARAM max, LPWSTR buffer) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w || !buffer || max == 0) return 0;
  std::size_t n = std::min<std::size_t>(w->text.size(), max - 1);
  std::copy_n(w->text.data(), n, buffer);
  buffer[n] = 0;
  return static_cast<LRESULT>(n);
}

// A class brush is a real brush or a system colour index + 1.
LRESULT EraseWithClassBrush(HWND hwnd, HDC dc) {
  HBRUSH brush = nullptr;
  {
    Guard g(Lock());
    Window* w = Find(hwnd);
    if (!w) return 0;
    brush = w->cls->background;
  }
  if (!brush) return 0;
  RECT r;
  GetClientRect(hwnd, &r);
  auto value = reinterpret_cast<ULONG_PTR>(brush);
  if (value <= 32) {
    HBRUSH b = CreateSolidBrush(GetSysColor(static_cast<int>(value) - 1));
    FillRect(dc, &r, b);
    DeleteObject(b);
  } else {
    FillRect(dc, &r, brush);
  }
  return 1;
}

LRESULT CursorForHit(HWND hwnd, LRESULT hit) {
  LPCWSTR id = nullptr;
  switch (hit) {
    case HTLEFT:
    case HTRIGHT: id = IDC_SIZEWE; break;
    case HTTOP:
    case HTBOTTOM: id = IDC_SIZENS; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: id = IDC_SIZENWSE; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: id = IDC_SIZENESW; break;
    case HTCLIENT: {
      HCURSOR c = nullptr;
      {
        Guard g(Lock());
        if (Window* w = Find(hwnd)) c = w->cls->cursor;
      }
      if (c) SetCursor(c);
      return FALSE;
    }
    default: id = IDC_ARROW;
  }
  SetCursor(LoadCursorW(nullptr, id));
  return FALSE;
}

}  // namespace

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) SetText(hwnd, cs->lpszName);
      return TRUE;
    }
    case WM_NCHITTEST: {
      RECT r;
      if (!GetWindowRect(hwnd, &r)) return HTNOWHERE;
      int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
      return x >= r.left && x < r.right && y >= r.top && y < r.bottom ? HTCLIENT : HTNOWHERE;
    }
    case WM_SETTEXT: return SetText(hwnd, reinterpret_cast<LPCWSTR>(lParam));
    case WM_GETTEXT: return GetText(hwnd, wParam, reinterpret_cast<LPWSTR>(lParam));
    case WM_GETTEXTLENGTH: {
      Guard g(Lock());
      Window* w = Find(hwnd);
      return w ? static_cast<LRESULT>(w->text.size()) : 0;
    }
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_ERASEBKGND: return EraseWithClassBrush(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_ICONERASEBKGND: return EraseWithClassBrush(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETICON: {
      HICON old, big, small;
      {
        Guard g(Lock());
        Window* w = Find(hwnd);
        if (!w) return 0;
        HICON& slot = wParam == ICON_BIG ? w->iconBig : w->iconSmall;
        old = slot;
        slot = reinterpret_cast<HICON>(lParam);
        big = w->iconBig;
        small = w->iconSmall;
      }
      if (auto b = ExistingBackend()) b->WindowIconChanged(hwnd, big, small);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON: {
      Guard g(Lock());
      Window* w = Find(hwnd);
      if (!w) return 0;
      // No small icon of its own is made from the big one: a window shows what it was given.
      if (wParam == ICON_BIG) return reinterpret_cast<LRESULT>(w->iconBig);
      return reinterpret_cast<LRESULT>(w->iconSmall);
    }
    case WM_QUERYDRAGICON: {
      Guard g(Lock());
      Window* w = Find(hwnd);
      return w ? reinterpret_cast<LRESULT>(w->cls->icon) : 0;
    }
    case WM_SETCURSOR: {
      // The parent has the first say.
      HWND parent = GetAncestor(hwnd, GA_PARENT);
      if (parent && SendMessageW(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
      return CursorForHit(hwnd, static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam))));
    }
    case WM_MOUSEACTIVATE: return MA_ACTIVATE;
    case WM_SYSCOMMAND: return DefaultSysCommand(hwnd, wParam, lParam);
    case WM_NCLBUTTONDOWN: {
      auto hit = static_cast<LRESULT>(wParam);
      if (hit == HTCAPTION) {
        SendMessageW(hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
      } else if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
        SendMessageW(hwnd, WM_SYSCOMMAND, SC_SIZE + static_cast<WPARAM>(hit - HTLEFT + WMSZ_LEFT), lParam);
      }
      return 0;
    }
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4)
        if (HWND top = GetAncestor(hwnd, GA_ROOT)) PostMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_GETFONT: return 0;
    case WM_GETDLGCODE: return 0;
    case WM_NOTIFY: return 0;
    default: return 0;
  }
}
