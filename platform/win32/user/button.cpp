// The "Button" class, push buttons (plain, default and owner-drawn): press with the pointer
// (captured; released over the button it clicks), or with the space bar.
#include "platform/win32/user/controls.h"

namespace bp::user {
namespace {

struct ButtonData : ControlData {
  HFONT font = nullptr;
  bool pushed = false;     // drawn pressed
  bool mouseDown = false;  // left button went down on it and the capture is ours
  bool keyDown = false;    // space bar held on it
  bool focused = false;
};

bool Inside(HWND h, LPARAM l) {
  RECT r;
  GetClientRect(h, &r);
  POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  return PtInRect(&r, p) != FALSE;
}

void SetPushed(HWND h, ButtonData* d, bool pushed) {
  if (d->pushed == pushed) return;
  d->pushed = pushed;
  InvalidateRect(h, nullptr, FALSE);
}

void Paint(HWND h, ButtonData* d) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  DWORD style = StyleOf(h);
  RECT rc;
  GetClientRect(h, &rc);
  if ((style & BS_TYPEMASK) == BS_OWNERDRAW) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (d->pushed ? ODS_SELECTED : 0) | (d->focused ? ODS_FOCUS : 0) |
                    ((style & WS_DISABLED) ? ODS_DISABLED : 0);
    dis.hwndItem = h;
    dis.hDC = dc;
    dis.rcItem = rc;
    if (HWND parent = GetAncestor(h, GA_PARENT))
      SendMessageW(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
  } else {
    FillColor(dc, rc, d->pushed ? kButtonPressedColor : kButtonColor);
    bool def = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    FrameColor(dc, rc, def || d->focused ? kDefaultEdgeColor : kEdgeColor);
    WCHAR text[256];
    int n = GetWindowTextW(h, text, 256);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(d->font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, (style & WS_DISABLED) ? kGrayTextColor : kTextColor);
    DrawTextW(dc, text, n, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
  }
  EndPaint(h, &ps);
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  ButtonData* d = ControlState<ButtonData>(h);
  if (!d) return DefWindowProcW(h, msg, w, l);
  DWORD type = StyleOf(h) & BS_TYPEMASK;
  if (LRESULT r = 0; HandleTextControlMessage(h, msg, w, l, d->font, r)) return r;
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_BUTTON | (type == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetCapture(h);
      if (!(StyleOf(h) & WS_DISABLED)) SetFocus(h);
      d->mouseDown = true;
      SetPushed(h, d, true);
      return 0;
    case WM_MOUSEMOVE:
      if (d->mouseDown && GetCapture() == h) SetPushed(h, d, Inside(h, l));
      return DefWindowProcW(h, msg, w, l);
    case WM_LBUTTONUP: {
      if (!d->mouseDown) return 0;
      bool click = Inside(h, l) && d->pushed;
      d->mouseDown = false;
      SetPushed(h, d, false);
      ReleaseCapture();
      if (click) NotifyParent(h, BN_CLICKED);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (d->mouseDown) {
        d->mouseDown = false;
        SetPushed(h, d, false);
      }
      return 0;
    case WM_KEYDOWN:
      if (w == VK_SPACE && !d->mouseDown && !d->keyDown) {
        d->keyDown = true;
        SetPushed(h, d, true);
      }
      return 0;
    case WM_KEYUP:
      if (w == VK_SPACE && d->keyDown) {
        d->keyDown = false;
        SetPushed(h, d, false);
        NotifyParent(h, BN_CLICKED);
      }
      return 0;
    case WM_SETFOCUS:
      d->focused = true;
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case WM_KILLFOCUS:
      d->focused = false;
      if (d->keyDown) {
        d->keyDown = false;
        SetPushed(h, d, false);
      }
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case BM_GETSTATE:
      return (d->pushed ? BST_PUSHED : 0) | (d->focused ? BST_FOCUS : 0);
    case BM_SETSTATE: SetPushed(h, d, w != 0); return 0;
    case BM_SETSTYLE: {
      DWORD style = StyleOf(h);
      SetWindowLongPtrW(h, GWL_STYLE, static_cast<LONG_PTR>((style & ~BS_TYPEMASK) | (w & BS_TYPEMASK)));
      if (l) InvalidateRect(h, nullptr, TRUE);
      return 0;
    }
    case BM_CLICK:
      if (!(StyleOf(h) & WS_DISABLED)) NotifyParent(h, BN_CLICKED);
      return 0;
    case WM_PAINT: Paint(h, d); return 0;
    case WM_ERASEBKGND: return 1;  // the face covers it all
    default: return DefWindowProcW(h, msg, w, l);
  }
}

}  // namespace bp::user
