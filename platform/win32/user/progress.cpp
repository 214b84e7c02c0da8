// The progress bar "msctls_progress32": a position kept within its range (default 0 to 100) that
// repaints itself whenever it changes.
#include <algorithm>

#include "platform/win32/user/commctrl.h"
#include "platform/win32/user/controls.h"

namespace bp::user {
namespace {

struct ProgressData : ControlData {
  int low = 0, high = 100, pos = 0, step = 10;
  int Clamp(int p) const { return std::clamp(p, std::min(low, high), std::max(low, high)); }
};

LRESULT SetPos(HWND h, ProgressData* d, int pos) {
  int old = d->pos;
  d->pos = d->Clamp(pos);
  if (d->pos != old) InvalidateRect(h, nullptr, FALSE);
  return old;
}

LRESULT SetRange(HWND h, ProgressData* d, int low, int high) {
  LRESULT old = MAKELPARAM(d->low, d->high);
  d->low = low;
  d->high = high;
  int pos = d->Clamp(d->pos);
  if (pos != d->pos) d->pos = pos;
  InvalidateRect(h, nullptr, FALSE);
  return old;
}

}  // namespace

LRESULT CALLBACK ProgressProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  ProgressData* d = ControlState<ProgressData>(h);
  if (!d) return DefWindowProcW(h, msg, w, l);
  switch (msg) {
    case PBM_SETPOS: return SetPos(h, d, static_cast<int>(w));
    case PBM_GETPOS: return d->pos;
    case PBM_DELTAPOS: return SetPos(h, d, d->pos + static_cast<int>(w));
    case PBM_SETSTEP: {
      int old = d->step;
      d->step = static_cast<int>(w);
      return old;
    }
    case PBM_STEPIT: {
      int next = d->pos + d->step;
      if (next > std::max(d->low, d->high)) next = std::min(d->low, d->high) + (next - std::max(d->low, d->high));
      return SetPos(h, d, next);
    }
    // The 16-bit form takes both ends as unsigned words, as the classic control does.
    case PBM_SETRANGE: return SetRange(h, d, LOWORD(static_cast<DWORD_PTR>(l)), HIWORD(static_cast<DWORD_PTR>(l)));
    case PBM_SETRANGE32: return SetRange(h, d, static_cast<int>(w), static_cast<int>(l));
    case PBM_GETRANGE:
      if (auto* r = reinterpret_cast<PBRANGE*>(l)) {
        r->iLow = d->low;
        r->iHigh = d->high;
      }
      return w ? d->low : d->high;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT rc;
      GetClientRect(h, &rc);
      FillColor(dc, rc, RGB(230, 230, 230));
      FrameColor(dc, rc, RGB(188, 188, 188));
      int span = d->high - d->low;
      if (span != 0 && rc.right > 2) {
        long long filled = static_cast<long long>(d->pos - d->low) * (rc.right - 2) / span;
        RECT bar{1, 1, 1 + static_cast<LONG>(std::clamp<long long>(filled, 0, rc.right - 2)), rc.bottom - 1};
        FillColor(dc, bar, RGB(6, 176, 37));
      }
      EndPaint(h, &ps);
      return 0;
    }
    default: return DefWindowProcW(h, msg, w, l);
  }
}

}  // namespace bp::user
