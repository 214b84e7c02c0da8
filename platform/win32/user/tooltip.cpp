// Tooltips "tooltips_class32": a small popup near the pointer, shown after the pointer has rested
// on a tool for the initial delay (mouse messages reach it through TTM_RELAYEVENT) and hidden after
// the pop-up delay, on a click, or when the pointer leaves the tool.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/user/commctrl.h"
#include "platform/win32/user/controls.h"
#include "platform/win32/user/input_internal.h"

namespace bp::user {
namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kPopTimer = 2;
constexpr int kPadding = 4;

struct Tool {
  UINT flags = 0;
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  RECT rect;
  std::u16string text;
  bool callback = false;
  LPARAM lParam = 0;
};

struct TipData : ControlData {
  std::vector<Tool> tools;
  int initial = 500, autopop = 5000, reshow = 100;
  int current = -1;        // tool under the pointer
  bool shown = false;
  bool suppressed = false; // a click hid it; stays hidden until the pointer moves to another tool
  bool active = true;
  HFONT font = nullptr;
  std::u16string text;
};

int FindTool(TipData* d, HWND hwnd, UINT_PTR id) {
  for (std::size_t i = 0; i < d->tools.size(); ++i)
    if (d->tools[i].hwnd == hwnd && d->tools[i].id == id) return static_cast<int>(i);
  return -1;
}

// The tool under a mouse message, or -1.
int ToolAt(TipData* d, const MSG& m) {
  for (std::size_t i = 0; i < d->tools.size(); ++i) {
    const Tool& t = d->tools[i];
    if (t.flags & TTF_IDISHWND) {
      if (m.hwnd == reinterpret_cast<HWND>(t.id)) return static_cast<int>(i);
      continue;
    }
    if (m.hwnd != t.hwnd) continue;
    POINT p = m.pt;
    ScreenToClient(t.hwnd, &p);
    if (PtInRect(&t.rect, p)) return static_cast<int>(i);
  }
  return -1;
}

void SetText(Tool& t, LPCWSTR text) {
  t.callback = text == LPSTR_TEXTCALLBACKW;
  t.text = t.callback || !text || IS_INTRESOURCE(text) ? u"" : text;
}

std::u16string TextOf(HWND tip, Tool& t) {
  if (!t.callback) return t.text;
  NMTTDISPINFOW info{};
  info.hdr.hwndFrom = tip;
  info.hdr.idFrom = t.id;
  info.hdr.code = TTN_GETDISPINFOW;
  info.lParam = t.lParam;
  info.uFlags = t.flags;
  HWND owner = t.hwnd;
  if (owner) SendMessageW(owner, WM_NOTIFY, t.id, reinterpret_cast<LPARAM>(&info));
  if (info.lpszText && info.lpszText != LPSTR_TEXTCALLBACKW && !IS_INTRESOURCE(info.lpszText)) return info.lpszText;
  return info.szText;
}

void Hide(HWND h, TipData* d) {
  KillTimer(h, kPopTimer);
  if (!d->shown) return;
  d->shown = false;
  ShowWindow(h, SW_HIDE);
}

HFONT TipFont(TipData* d) { return ControlFont(d->font); }

void Show(HWND h, TipData* d) {
  if (d->current < 0 || d->current >= static_cast<int>(d->tools.size()) || !d->active) return;
  d->text = TextOf(h, d->tools[static_cast<std::size_t>(d->current)]);
  if (d->text.empty()) {
    Hide(h, d);
    return;
  }
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, TipFont(d));
  SIZE size{};
  GetTextExtentPoint32W(dc, d->text.c_str(), static_cast<int>(d->text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  POINT p;
  GetCursorPos(&p);
  int w = size.cx + 2 * kPadding, hgt = size.cy + 2 * kPadding;
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int x = std::clamp<int>(p.x, work.left, std::max<int>(work.left, work.right - w));
  int y = p.y + 20;
  if (y + hgt > work.bottom) y = p.y - hgt - 2;
  SetWindowPos(h, HWND_TOP, x, y, w, hgt, SWP_NOACTIVATE);
  InvalidateRect(h, nullptr, TRUE);
  if (!d->shown) {
    d->shown = true;
    ShowWindow(h, SW_SHOWNOACTIVATE);
  }
  SetTimer(h, kPopTimer, static_cast<UINT>(d->autopop), nullptr);
}

void Relay(HWND h, TipData* d, const MSG& m) {
  switch (m.message) {
    case WM_MOUSEMOVE: {
      int tool = ToolAt(d, m);
      if (tool == d->current) return;
      d->current = tool;
      d->suppressed = false;
      KillTimer(h, kShowTimer);
      if (tool < 0) {
        Hide(h, d);
        return;
      }
      SetTimer(h, kShowTimer, static_cast<UINT>(d->shown ? d->reshow : d->initial), nullptr);
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
      KillTimer(h, kShowTimer);
      d->suppressed = true;
      Hide(h, d);
      return;
    case WM_MOUSELEAVE:
      if (d->current >= 0 && ToolAt(d, m) == d->current) {
        d->current = -1;
        KillTimer(h, kShowTimer);
        Hide(h, d);
      }
      return;
    default: return;
  }
}

}  // namespace

LRESULT CALLBACK TooltipProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  TipData* d = ControlState<TipData>(h);
  if (!d) return DefWindowProcW(h, msg, w, l);
  switch (msg) {
    case WM_CREATE:
      // Never takes the pointer or the activation from the window it describes.
      SetWindowLongPtrW(h, GWL_EXSTYLE,
                        GetWindowLongPtrW(h, GWL_EXSTYLE) | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW |
                            WS_EX_TOPMOST);
      return 0;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_SETFONT: d->font = reinterpret_cast<HFONT>(w); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(d->font);
    case TTM_ADDTOOLW: {
      auto* ti = reinterpret_cast<TOOLINFOW*>(l);
      if (!ti) return FALSE;
      Tool t;
      t.flags = ti->uFlags;
      t.hwnd = ti->hwnd;
      t.id = ti->uId;
      t.rect = ti->rect;
      t.lParam = ti->lParam;
      SetText(t, ti->lpszText);
      int i = FindTool(d, t.hwnd, t.id);
      if (i >= 0) d->tools[static_cast<std::size_t>(i)] = t;
      else d->tools.push_back(t);
      return TRUE;
    }
    case TTM_DELTOOLW: {
      auto* ti = reinterpret_cast<TOOLINFOW*>(l);
      if (!ti) return 0;
      int i = FindTool(d, ti->hwnd, ti->uId);
      if (i < 0) return 0;
      if (i == d->current) {
        d->current = -1;
        Hide(h, d);
      } else if (i < d->current) {
        --d->current;
      }
      d->tools.erase(d->tools.begin() + i);
      return 0;
    }
    case TTM_UPDATETIPTEXTW: {
      auto* ti = reinterpret_cast<TOOLINFOW*>(l);
      if (!ti) return 0;
      int i = FindTool(d, ti->hwnd, ti->uId);
      if (i < 0) return 0;
      SetText(d->tools[static_cast<std::size_t>(i)], ti->lpszText);
      if (d->shown && i == d->current) Show(h, d);
      return 0;
    }
    case TTM_NEWTOOLRECTW: {
      auto* ti = reinterpret_cast<TOOLINFOW*>(l);
      if (!ti) return 0;
      int i = FindTool(d, ti->hwnd, ti->uId);
      if (i >= 0) d->tools[static_cast<std::size_t>(i)].rect = ti->rect;
      return 0;
    }
    case TTM_GETTOOLCOUNT: return static_cast<LRESULT>(d->tools.size());
    case TTM_GETTOOLINFOW:
    case TTM_GETTEXTW: {
      auto* ti = reinterpret_cast<TOOLINFOW*>(l);
      if (!ti) return FALSE;
      int i = FindTool(d, ti->hwnd, ti->uId);
      if (i < 0) return FALSE;
      const Tool& t = d->tools[static_cast<std::size_t>(i)];
      if (msg == TTM_GETTOOLINFOW) {
        ti->uFlags = t.flags;
        ti->rect = t.rect;
        ti->lParam = t.lParam;
      }
      if (ti->lpszText && !IS_INTRESOURCE(ti->lpszText) && ti->lpszText != LPSTR_TEXTCALLBACKW) {
        // TTM_GETTEXTW gives the buffer size in wParam; without it, 80 characters as classically.
        std::size_t room = msg == TTM_GETTEXTW && w ? w : 80;
        std::size_t n = std::min(t.text.size(), room - 1);
        std::copy_n(t.text.data(), n, ti->lpszText);
        ti->lpszText[n] = 0;
      }
      return TRUE;
    }
    case TTM_SETDELAYTIME: {
      int ms = static_cast<short>(LOWORD(static_cast<DWORD_PTR>(l)));
      switch (w) {
        case TTDT_AUTOMATIC:
          if (ms < 0) ms = 500;
          d->initial = ms;
          d->autopop = ms * 10;
          d->reshow = ms / 5;
          break;
        case TTDT_INITIAL: d->initial = ms < 0 ? 500 : ms; break;
        case TTDT_AUTOPOP: d->autopop = ms < 0 ? 5000 : ms; break;
        case TTDT_RESHOW: d->reshow = ms < 0 ? 100 : ms; break;
      }
      return 0;
    }
    case TTM_ACTIVATE:
      d->active = w != 0;
      if (!d->active) Hide(h, d);
      return 0;
    case TTM_POP: Hide(h, d); return 0;
    case TTM_RELAYEVENT:
      if (auto* m = reinterpret_cast<MSG*>(l)) Relay(h, d, *m);
      return 0;
    case WM_TIMER:
      if (w == kShowTimer) {
        KillTimer(h, kShowTimer);
        if (!d->suppressed) Show(h, d);
      } else if (w == kPopTimer) {
        Hide(h, d);
      }
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT rc;
      GetClientRect(h, &rc);
      FillColor(dc, rc, RGB(255, 255, 225));
      FrameColor(dc, rc, RGB(118, 118, 118));
      HGDIOBJ old = SelectObject(dc, TipFont(d));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, kTextColor);
      RECT text = rc;
      InflateRect(&text, -kPadding, -kPadding);
      DrawTextW(dc, d->text.c_str(), static_cast<int>(d->text.size()), &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(dc, old);
      EndPaint(h, &ps);
      return 0;
    }
    default: return DefWindowProcW(h, msg, w, l);
  }
}

}  // namespace bp::user
