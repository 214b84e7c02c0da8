// A DC's state: saved-state stack, origins, colours and modes.
#include "platform/win32/gdi/objects.h"

using namespace bp::gdi;

int SaveDC(HDC hdc) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return 0;
  try {
    dc->saved.push_back(dc->state);
  } catch (...) {
    return 0;
  }
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int nSavedDC) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc || nSavedDC == 0) return FALSE;
  const int depth = static_cast<int>(dc->saved.size());
  const int level = nSavedDC > 0 ? nSavedDC : depth + 1 + nSavedDC;
  if (level < 1 || level > depth) return FALSE;
  dc->state = std::move(dc->saved[static_cast<std::size_t>(level - 1)]);
  dc->saved.resize(static_cast<std::size_t>(level - 1));
  return TRUE;
}

namespace {
BOOL SetPoint(HDC hdc, POINT DcState::*which, int x, int y, LPPOINT old) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->state.*which;
  dc->state.*which = POINT{x, y};
  return TRUE;
}
BOOL GetPoint(HDC hdc, POINT DcState::*which, LPPOINT out) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc || !out) return FALSE;
  *out = dc->state.*which;
  return TRUE;
}
template <class T>
T Swap(HDC hdc, T DcState::*which, T value, T failure) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return failure;
  T old = dc->state.*which;
  dc->state.*which = value;
  return old;
}
template <class T>
T Get(HDC hdc, T DcState::*which, T failure) {
  DeviceContext* dc = LookupDC(hdc);
  return dc ? dc->state.*which : failure;
}
}  // namespace

BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) { return SetPoint(hdc, &DcState::windowOrg, x, y, lppt); }
BOOL GetWindowOrgEx(HDC hdc, LPPOINT lppt) { return GetPoint(hdc, &DcState::windowOrg, lppt); }
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) { return SetPoint(hdc, &DcState::viewportOrg, x, y, lppt); }
BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppt) { return GetPoint(hdc, &DcState::viewportOrg, lppt); }

COLORREF SetTextColor(HDC hdc, COLORREF color) { return Swap(hdc, &DcState::textColor, color & 0xFFFFFF, CLR_INVALID); }
COLORREF GetTextColor(HDC hdc) { return Get(hdc, &DcState::textColor, CLR_INVALID); }
COLORREF SetBkColor(HDC hdc, COLORREF color) { return Swap(hdc, &DcState::bkColor, color & 0xFFFFFF, CLR_INVALID); }
COLORREF GetBkColor(HDC hdc) { return Get(hdc, &DcState::bkColor, CLR_INVALID); }

int SetBkMode(HDC hdc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return Swap(hdc, &DcState::bkMode, mode, 0);
}
int GetBkMode(HDC hdc) { return Get(hdc, &DcState::bkMode, 0); }

int SetStretchBltMode(HDC hdc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return Swap(hdc, &DcState::stretchMode, mode, 0);
}
int GetStretchBltMode(HDC hdc) { return Get(hdc, &DcState::stretchMode, 0); }
