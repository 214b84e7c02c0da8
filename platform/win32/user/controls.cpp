#include "platform/win32/user/controls.h"

#include "platform/win32/user/builtin.h"
#include "platform/win32/user/commctrl.h"

namespace bp::user {

void RegisterControlClasses() {
  auto add = [](LPCWSTR name, WNDPROC proc, UINT style, int extra, HBRUSH brush) {
    WNDCLASSEXW wc;
    wc.lpszClassName = name;
    wc.lpfnWndProc = proc;
    wc.style = style | CS_GLOBALCLASS;
    wc.cbWndExtra = extra;
    wc.hbrBackground = brush;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassInternal(wc);
  };
  add(WC_DIALOG, DefDlgProcW, CS_DBLCLKS | CS_SAVEBITS, DLGWINDOWEXTRA,
      reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_BTNFACE + 1)));
  add(u"Button", ButtonProc, CS_DBLCLKS | CS_PARENTDC, 0, nullptr);
  add(u"Static", StaticProc, CS_DBLCLKS | CS_PARENTDC, 0, nullptr);
  add(PROGRESS_CLASSW, ProgressProc, CS_HREDRAW | CS_VREDRAW, 0, nullptr);
  add(TOOLTIPS_CLASSW, TooltipProc, CS_DBLCLKS | CS_SAVEBITS, 0, nullptr);
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)); }

void NotifyParent(HWND control, WORD code) {
  HWND parent = GetAncestor(control, GA_PARENT);
  if (!parent) return;
  int id = GetDlgCtrlID(control);
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

HFONT ControlFont(HFONT own) { return own ? own : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void FillColor(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

void FrameColor(HDC dc, const RECT& r, COLORREF c) {
  FillColor(dc, RECT{r.left, r.top, r.right, r.top + 1}, c);
  FillColor(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, c);
  FillColor(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, c);
  FillColor(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, c);
}

bool HandleTextControlMessage(HWND h, UINT msg, WPARAM w, LPARAM l, HFONT& font, LRESULT& result) {
  switch (msg) {
    case WM_SETFONT:
      font = reinterpret_cast<HFONT>(w);
      if (l) InvalidateRect(h, nullptr, TRUE);
      result = 0;
      return true;
    case WM_GETFONT: result = reinterpret_cast<LRESULT>(font); return true;
    case WM_SETTEXT:
      result = DefWindowProcW(h, msg, w, l);
      InvalidateRect(h, nullptr, TRUE);
      return true;
    case WM_ENABLE: InvalidateRect(h, nullptr, TRUE); result = 0; return true;
    default: return false;
  }
}

}  // namespace bp::user
