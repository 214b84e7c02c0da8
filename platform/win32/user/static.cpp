// The "Static" class: a text label. Without SS_NOTIFY it lets the pointer through to its parent.
#include "platform/win32/user/controls.h"

namespace bp::user {
namespace {

struct StaticData : ControlData {
  HFONT font = nullptr;
};

UINT TextFormat(DWORD style) {
  UINT f = 0;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: f = DT_CENTER; break;
    case SS_RIGHT: f = DT_RIGHT; break;
    default: f = DT_LEFT;
  }
  if (style & SS_CENTERIMAGE) f |= DT_SINGLELINE | DT_VCENTER;
  else f |= DT_WORDBREAK;
  if ((style & SS_ELLIPSISMASK) == SS_ENDELLIPSIS) f |= DT_END_ELLIPSIS;
  if ((style & SS_ELLIPSISMASK) == SS_PATHELLIPSIS) f |= DT_PATH_ELLIPSIS;
  if (style & SS_NOPREFIX) f |= DT_NOPREFIX;
  return f;
}

}  // namespace

LRESULT CALLBACK StaticProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  StaticData* d = ControlState<StaticData>(h);
  if (!d) return DefWindowProcW(h, msg, w, l);
  if (LRESULT r = 0; HandleTextControlMessage(h, msg, w, l, d->font, r)) return r;
  switch (msg) {
    case WM_NCHITTEST: return (StyleOf(h) & SS_NOTIFY) ? DefWindowProcW(h, msg, w, l) : HTTRANSPARENT;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_LBUTTONDOWN:
      if (StyleOf(h) & SS_NOTIFY) NotifyParent(h, 0 /* STN_CLICKED */);
      return 0;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(h, &r);
      FillColor(reinterpret_cast<HDC>(w), r, kFaceColor);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      DWORD style = StyleOf(h);
      RECT rc;
      GetClientRect(h, &rc);
      WCHAR text[1024];
      int n = GetWindowTextW(h, text, 1024);
      HGDIOBJ oldFont = SelectObject(dc, ControlFont(d->font));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, (style & WS_DISABLED) ? kGrayTextColor : kTextColor);
      DrawTextW(dc, text, n, &rc, TextFormat(style));
      SelectObject(dc, oldFont);
      EndPaint(h, &ps);
      return 0;
    }
    default: return DefWindowProcW(h, msg, w, l);
  }
}

}  // namespace bp::user
