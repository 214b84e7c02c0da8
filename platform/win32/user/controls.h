// Internal: the built-in control classes, one unit each, and what they share.
#pragma once
#include <memory>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/user/state.h"

namespace bp::user {

void RegisterControlClasses();
LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ProgressProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK TooltipProc(HWND, UINT, WPARAM, LPARAM);

// The control's own state, made on first use; lives as long as its window. Window thread only.
template <class T>
T* ControlState(HWND hwnd) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  if (!w->control) w->control = std::make_unique<T>();
  return dynamic_cast<T*>(w->control.get());
}

DWORD StyleOf(HWND hwnd);
// Sends WM_COMMAND with `code` from a child control to its parent.
void NotifyParent(HWND control, WORD code);
// The font a control draws with: its own (WM_SETFONT), else the default GUI font.
HFONT ControlFont(HFONT own);
// Font, text and enabled-state messages that a plain control answers alike, repainting itself
// where the look changes. True when `msg` was one of them; its answer is in `result`.
bool HandleTextControlMessage(HWND h, UINT msg, WPARAM w, LPARAM l, HFONT& font, LRESULT& result);

// Colours of the plain controls.
constexpr COLORREF kFaceColor = RGB(240, 240, 240);
constexpr COLORREF kButtonColor = RGB(225, 225, 225);
constexpr COLORREF kButtonPressedColor = RGB(204, 228, 247);
constexpr COLORREF kEdgeColor = RGB(173, 173, 173);
constexpr COLORREF kDefaultEdgeColor = RGB(0, 120, 215);
constexpr COLORREF kTextColor = RGB(0, 0, 0);
constexpr COLORREF kGrayTextColor = RGB(109, 109, 109);

void FillColor(HDC dc, const RECT& r, COLORREF c);
void FrameColor(HDC dc, const RECT& r, COLORREF c);

}  // namespace bp::user
