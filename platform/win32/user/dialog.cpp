// The dialog manager: dialogs built from templates, the default dialog procedure, the keyboard
// defaults (Enter, Esc, Tab, Space through the focused button) and the modal loop.
#include <algorithm>
#include <string>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/resources.h"
#include "platform/win32/kernel/error.h"
#include "platform/win32/user/builtin.h"
#include "platform/win32/user/dialog_template.h"
#include "platform/win32/user/state.h"

using namespace bp::user;

namespace {

// Dialog base units of a font: the average width of the Latin letters and the cell height.
SIZE BaseUnits(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SIZE ext{};
  static const char16_t kLetters[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  GetTextExtentPoint32W(dc, kLetters, 52, &ext);
  SelectObject(dc, old);
  DeleteDC(dc);
  SIZE s{(ext.cx / 26 + 1) / 2, tm.tmHeight};
  if (s.cx <= 0) s.cx = 8;
  if (s.cy <= 0) s.cy = 16;
  return s;
}

bool ReturnsDirectly(UINT msg) {
  return msg == WM_INITDIALOG || msg == WM_QUERYDRAGICON || (msg >= 0x0132 && msg <= 0x0138);  // WM_CTLCOLOR*
}

Window* DialogWindow(HWND h) {
  Window* w = Find(h);
  return w && w->isDialog ? w : nullptr;
}

bool IsPushButton(HWND h) {
  LRESULT code = SendMessageW(h, WM_GETDLGCODE, 0, 0);
  return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

void Command(HWND dlg, int id, HWND ctl) {
  SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(ctl));
}

HWND FirstTabStop(HWND dlg) { return GetNextDlgTabItem(dlg, nullptr, FALSE); }

}  // namespace

namespace bp::user {

bool IsDialogEnded(HWND dialog, INT_PTR* result) {
  Guard g(Lock());
  Window* w = DialogWindow(dialog);
  if (!w) {
    if (result) *result = -1;
    return true;  // a dialog that is gone ends any loop over it
  }
  if (w->dialogEnded && result) *result = w->dialogResult;
  return w->dialogEnded;
}

}  // namespace bp::user

HWND CreateDialogIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND parent, DLGPROC proc,
                                LPARAM initParam) {
  RegisterBuiltinClasses();
  if (!dialogTemplate) return nullptr;
  auto text = reinterpret_cast<const char*>(dialogTemplate);
  DialogTemplate t;
  std::string error;
  if (!ParseDialogTemplate(std::string_view(text, DialogTemplateLength(text)), &t, &error)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // The dialog font: from the template when it asks for one, else the default GUI font.
  HFONT font = nullptr;
  bool ownsFont = false;
  if ((t.style & DS_SETFONT) && !t.fontFace.empty()) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(t.pointSize, 96, 72);
    lf.lfWeight = FW_NORMAL;
    std::size_t n = std::min<std::size_t>(t.fontFace.size(), 31);
    std::copy_n(t.fontFace.data(), n, lf.lfFaceName);
    lf.lfFaceName[n] = 0;
    font = CreateFontIndirectW(&lf);
    ownsFont = font != nullptr;
  }
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SIZE base = BaseUnits(font);
  auto px = [&](int v) { return MulDiv(v, base.cx, 4); };
  auto py = [&](int v) { return MulDiv(v, base.cy, 8); };

  int x = px(t.x), y = py(t.y), cx = px(t.cx), cy = py(t.cy);
  if (parent && !(t.style & WS_CHILD)) {
    POINT o{0, 0};
    ClientToScreen(parent, &o);
    x += o.x;
    y += o.y;
  }
  if (t.style & DS_CENTER) {
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    x = work.left + (work.right - work.left - cx) / 2;
    y = work.top + (work.bottom - work.top - cy) / 2;
  }
  LPCWSTR cls = t.className.empty() ? WC_DIALOG : t.className.c_str();
  HWND dlg = CreateWindowExW(t.exStyle, cls, t.caption.c_str(), t.style & ~WS_VISIBLE, x, y, cx, cy, parent, nullptr,
                             instance, nullptr);
  if (!dlg) {
    if (ownsFont) DeleteObject(font);
    return nullptr;
  }
  int defId = IDOK;
  for (auto& item : t.items)
    if ((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && item.className.size() == 6) {
      std::u16string c = item.className;
      for (auto& ch : c) ch = static_cast<char16_t>(ch >= u'A' && ch <= u'Z' ? ch - u'A' + u'a' : ch);
      if (c == u"button") {
        defId = item.id;
        break;
      }
    }
  {
    Guard g(Lock());
    Window* w = Find(dlg);
    w->isDialog = true;
    w->dialogFont = font;
    w->ownsDialogFont = ownsFont;
    w->defId = defId;
    w->baseUnitX = base.cx;
    w->baseUnitY = base.cy;
  }
  SetWindowLongPtrW(dlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
  if (t.style & DS_SETFONT) SendMessageW(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (auto& item : t.items) {
    HWND c = CreateWindowExW(item.exStyle | WS_EX_NOPARENTNOTIFY, item.className.c_str(), item.text.c_str(),
                             item.style | WS_CHILD, px(item.x), py(item.y), px(item.cx), py(item.cy), dlg,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance, nullptr);
    if (!c) {
      DestroyWindow(dlg);
      return nullptr;
    }
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  HWND first = FirstTabStop(dlg);
  if (SendMessageW(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam) && IsWindow(dlg)) {
    if (HWND f = FirstTabStop(dlg)) SetFocus(f);
  }
  if (!IsWindow(dlg)) return nullptr;
  if (t.style & WS_VISIBLE) ShowWindow(dlg, SW_SHOW);
  return dlg;
}

HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC proc, LPARAM initParam) {
  if (!IS_INTRESOURCE(templateName)) return nullptr;
  auto data = bp::res::Find(RT_DIALOG, static_cast<int>(reinterpret_cast<ULONG_PTR>(templateName)));
  if (data.empty()) {
    SetLastError(1814);  // ERROR_RESOURCE_NAME_NOT_FOUND
    return nullptr;
  }
  // Resources end with a NUL byte, which also ends the template's text.
  return CreateDialogIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(data.data()), parent, proc, initParam);
}

INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND parent, DLGPROC proc,
                                LPARAM initParam) {
  HWND owner = parent ? GetAncestor(parent, GA_ROOT) : nullptr;
  bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  HWND dlg = CreateDialogIndirectParamW(instance, dialogTemplate, parent, proc, initParam);
  INT_PTR result = -1;
  if (dlg) {
    if (!IsDialogEnded(dlg, nullptr) && !IsWindowVisible(dlg)) ShowWindow(dlg, SW_SHOW);
    MSG msg;
    while (!IsDialogEnded(dlg, &result)) {
      if (!GetMessageW(&msg, nullptr, 0, 0)) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // the caller's loop ends too
        break;
      }
      if (!IsDialogMessageW(dlg, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    IsDialogEnded(dlg, &result);
    if (IsWindow(dlg)) DestroyWindow(dlg);
  }
  if (ownerWasEnabled && IsWindow(owner)) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  return result;
}

INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC proc, LPARAM initParam) {
  if (!IS_INTRESOURCE(templateName)) return -1;
  auto data = bp::res::Find(RT_DIALOG, static_cast<int>(reinterpret_cast<ULONG_PTR>(templateName)));
  if (data.empty()) return -1;
  return DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(data.data()), parent, proc, initParam);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  Guard g(Lock());
  Window* w = DialogWindow(dialog);
  if (!w) return FALSE;
  w->dialogEnded = true;
  w->dialogResult = result;
  // Whatever loop runs the dialog looks again.
  MSG m;
  m.hwnd = dialog;
  m.message = WM_NULL;
  Enqueue(w->queue.get(), m);
  return TRUE;
}

LRESULT DefDlgProcW(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(dlg, DWLP_DLGPROC));
  if (proc) {
    SetWindowLongPtrW(dlg, DWLP_MSGRESULT, 0);
    INT_PTR r = proc(dlg, msg, wParam, lParam);
    if (r) return ReturnsDirectly(msg) ? r : GetWindowLongPtrW(dlg, DWLP_MSGRESULT);
  }
  switch (msg) {
    case WM_CLOSE: Command(dlg, IDCANCEL, GetDlgItem(dlg, IDCANCEL)); return 0;
    case DM_GETDEFID: {
      Guard g(Lock());
      Window* w = DialogWindow(dlg);
      return w && w->defId ? MAKELPARAM(w->defId, DC_HASDEFID) : 0;
    }
    case DM_SETDEFID: {
      Guard g(Lock());
      if (Window* w = DialogWindow(dlg)) w->defId = static_cast<int>(wParam);
      return TRUE;
    }
    case WM_SETFONT: {
      Guard g(Lock());
      if (Window* w = DialogWindow(dlg); w && w->dialogFont != reinterpret_cast<HFONT>(wParam)) {
        if (w->ownsDialogFont) DeleteObject(w->dialogFont);
        w->dialogFont = reinterpret_cast<HFONT>(wParam);
        w->ownsDialogFont = false;
      }
      return 0;
    }
    case WM_GETFONT: {
      Guard g(Lock());
      Window* w = DialogWindow(dlg);
      return w ? reinterpret_cast<LRESULT>(w->dialogFont) : 0;
    }
    case WM_NEXTDLGCTL: {
      HWND target = lParam ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(dlg, GetFocus(), wParam != 0);
      if (target) SetFocus(target);
      return 0;
    }
    case WM_SETFOCUS: {
      HWND last = nullptr;
      {
        Guard g(Lock());
        if (Window* w = DialogWindow(dlg)) last = w->lastFocus;
      }
      if (!last || !IsChild(dlg, last) || !IsWindowVisible(last) || !IsWindowEnabled(last)) last = FirstTabStop(dlg);
      // With no control that can take it, the dialog keeps the focus itself.
      if (last) SetFocus(last);
      return 0;
    }
    case WM_KILLFOCUS: return 0;
    case WM_NCDESTROY: {
      HFONT owned = nullptr;
      {
        Guard g(Lock());
        if (Window* w = DialogWindow(dlg); w && w->ownsDialogFont) {
          owned = w->dialogFont;
          w->dialogFont = nullptr;
          w->ownsDialogFont = false;
        }
      }
      if (owned) DeleteObject(owned);
      return DefWindowProcW(dlg, msg, wParam, lParam);
    }
    default: return DefWindowProcW(dlg, msg, wParam, lParam);
  }
}

HWND GetDlgItem(HWND dialog, int id) {
  Guard g(Lock());
  Window* w = Find(dialog);
  if (!w) return nullptr;
  for (HWND c : w->children)
    if (Window* cw = Find(c); cw && cw->id == id) return c;
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  return w && w->parent ? static_cast<int>(w->id) : 0;
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND c = GetDlgItem(dialog, id);
  return c ? SendMessageW(c, msg, wParam, lParam) : 0;
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
  HWND c = GetDlgItem(dialog, id);
  return c ? SetWindowTextW(c, text) : FALSE;
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
  if (!rect) return FALSE;
  int bx, by;
  {
    Guard g(Lock());
    Window* w = DialogWindow(dialog);
    if (!w) return FALSE;
    bx = w->baseUnitX;
    by = w->baseUnitY;
  }
  rect->left = MulDiv(rect->left, bx, 4);
  rect->right = MulDiv(rect->right, bx, 4);
  rect->top = MulDiv(rect->top, by, 8);
  rect->bottom = MulDiv(rect->bottom, by, 8);
  return TRUE;
}

LONG GetDialogBaseUnits() {
  static const SIZE s = BaseUnits(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
  return static_cast<LONG>(MAKELPARAM(s.cx, s.cy));
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  std::vector<HWND> stops;
  {
    Guard g(Lock());
    Window* w = Find(dialog);
    if (!w) return nullptr;
    for (HWND c : w->children) {
      Window* cw = Find(c);
      if (cw && (cw->style & WS_TABSTOP) && (cw->style & WS_VISIBLE) && !(cw->style & WS_DISABLED)) stops.push_back(c);
    }
  }
  if (stops.empty()) return nullptr;
  auto it = std::find(stops.begin(), stops.end(), control);
  if (it == stops.end()) return previous ? stops.back() : stops.front();
  if (previous) return it == stops.begin() ? stops.back() : *(it - 1);
  return it + 1 == stops.end() ? stops.front() : *(it + 1);
}

BOOL IsDialogMessageW(HWND dlg, LPMSG msg) {
  if (!msg || !dlg) return FALSE;
  if (msg->hwnd != dlg && !IsChild(dlg, msg->hwnd)) return FALSE;
  HWND focus = GetFocus();
  if (focus && IsChild(dlg, focus)) {
    Guard g(Lock());
    if (Window* w = DialogWindow(dlg)) w->lastFocus = focus;
  }
  if (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) {
    LRESULT code = SendMessageW(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
    bool wantsAll = (code & DLGC_WANTALLKEYS) != 0;
    UINT key = static_cast<UINT>(msg->wParam);
    if (msg->message == WM_CHAR) {
      // The characters of the keys handled below are eaten with them.
      if (!wantsAll && (key == '\r' || key == 0x1B || (key == '\t' && !(code & DLGC_WANTTAB)))) return TRUE;
    } else if (!wantsAll && key == VK_RETURN) {
      HWND ctl = nullptr;
      int id;
      if (focus && IsChild(dlg, focus) && IsPushButton(focus)) {
        ctl = focus;
        id = GetDlgCtrlID(focus);
      } else {
        LRESULT def = SendMessageW(dlg, DM_GETDEFID, 0, 0);
        id = HIWORD(static_cast<DWORD_PTR>(def)) == DC_HASDEFID ? LOWORD(static_cast<DWORD_PTR>(def)) : IDOK;
        ctl = GetDlgItem(dlg, id);
      }
      // A hidden or disabled default button cannot be pressed from the keyboard either: the
      // report dialog hides its send button while a report goes out.
      if (ctl && (!IsWindowVisible(ctl) || !IsWindowEnabled(ctl))) {
        MessageBeep(0);
        return TRUE;
      }
      Command(dlg, id, ctl);
      return TRUE;
    } else if (!wantsAll && key == VK_ESCAPE) {
      HWND ctl = GetDlgItem(dlg, IDCANCEL);
      if (ctl && !IsWindowEnabled(ctl)) return TRUE;
      Command(dlg, IDCANCEL, ctl);
      return TRUE;
    } else if (key == VK_TAB && !(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) {
      if (HWND next = GetNextDlgTabItem(dlg, focus, GetKeyState(VK_SHIFT) < 0)) SetFocus(next);
      return TRUE;
    }
  }
  TranslateMessage(msg);
  DispatchMessageW(msg);
  return TRUE;
}
