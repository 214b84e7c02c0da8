// Common controls: initialisation, the progress bar, tooltips and mouse tracking.
// Image lists come from platform/win32/gdi/imagelist.h.
#pragma once
#include "platform/win32/types.h"
#include "platform/win32/user/user.h"
#if __has_include("platform/win32/gdi/imagelist.h")
#include "platform/win32/gdi/imagelist.h"
#endif

struct INITCOMMONCONTROLSEX {
  DWORD dwSize = sizeof(INITCOMMONCONTROLSEX);
  DWORD dwICC = 0;
};
using LPINITCOMMONCONTROLSEX = INITCOMMONCONTROLSEX*;
constexpr DWORD ICC_LISTVIEW_CLASSES = 0x1;
constexpr DWORD ICC_TREEVIEW_CLASSES = 0x2;
constexpr DWORD ICC_BAR_CLASSES = 0x4;
constexpr DWORD ICC_TAB_CLASSES = 0x8;
constexpr DWORD ICC_UPDOWN_CLASS = 0x10;
constexpr DWORD ICC_PROGRESS_CLASS = 0x20;
constexpr DWORD ICC_HOTKEY_CLASS = 0x40;
constexpr DWORD ICC_ANIMATE_CLASS = 0x80;
constexpr DWORD ICC_WIN95_CLASSES = 0xFF;
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc);
void InitCommonControls();

// Progress bar
constexpr const WCHAR* PROGRESS_CLASSW = u"msctls_progress32";
constexpr UINT PBM_SETRANGE = WM_USER + 1;
constexpr UINT PBM_SETPOS = WM_USER + 2;
constexpr UINT PBM_DELTAPOS = WM_USER + 3;
constexpr UINT PBM_SETSTEP = WM_USER + 4;
constexpr UINT PBM_STEPIT = WM_USER + 5;
constexpr UINT PBM_SETRANGE32 = WM_USER + 6;
constexpr UINT PBM_GETRANGE = WM_USER + 7;
constexpr UINT PBM_GETPOS = WM_USER + 8;
struct PBRANGE {
  int iLow;
  int iHigh;
};
using PPBRANGE = PBRANGE*;

// Tooltips
constexpr const WCHAR* TOOLTIPS_CLASSW = u"tooltips_class32";
constexpr DWORD TTS_ALWAYSTIP = 0x01;
constexpr DWORD TTS_NOPREFIX = 0x02;
constexpr UINT TTF_IDISHWND = 0x0001;
constexpr UINT TTF_CENTERTIP = 0x0002;
constexpr UINT TTF_SUBCLASS = 0x0010;
constexpr UINT TTF_TRANSPARENT = 0x0100;
#define LPSTR_TEXTCALLBACKW (reinterpret_cast<LPWSTR>(static_cast<LONG_PTR>(-1)))
struct TOOLINFOW {
  UINT cbSize = sizeof(TOOLINFOW);
  UINT uFlags = 0;
  HWND hwnd = nullptr;
  UINT_PTR uId = 0;
  RECT rect;
  HINSTANCE hinst = nullptr;
  LPWSTR lpszText = nullptr;
  LPARAM lParam = 0;
  void* lpReserved = nullptr;
};
using LPTOOLINFOW = TOOLINFOW*;
using TTTOOLINFOW = TOOLINFOW;
constexpr UINT TTM_ACTIVATE = WM_USER + 1;
constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;
constexpr UINT TTM_RELAYEVENT = WM_USER + 7;
constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
constexpr UINT TTM_POP = WM_USER + 28;
constexpr UINT TTM_ADDTOOLW = WM_USER + 50;
constexpr UINT TTM_DELTOOLW = WM_USER + 51;
constexpr UINT TTM_NEWTOOLRECTW = WM_USER + 52;
constexpr UINT TTM_GETTOOLINFOW = WM_USER + 53;
constexpr UINT TTM_GETTEXTW = WM_USER + 56;
constexpr UINT TTM_UPDATETIPTEXTW = WM_USER + 57;
constexpr UINT TTM_ADDTOOL = TTM_ADDTOOLW;
constexpr UINT TTM_DELTOOL = TTM_DELTOOLW;
constexpr UINT TTM_UPDATETIPTEXT = TTM_UPDATETIPTEXTW;
constexpr UINT TTM_GETTEXT = TTM_GETTEXTW;
constexpr UINT TTM_GETTOOLINFO = TTM_GETTOOLINFOW;
constexpr UINT TTM_NEWTOOLRECT = TTM_NEWTOOLRECTW;
constexpr WPARAM TTDT_AUTOMATIC = 0;
constexpr WPARAM TTDT_RESHOW = 1;
constexpr WPARAM TTDT_AUTOPOP = 2;
constexpr WPARAM TTDT_INITIAL = 3;
// Notifications (WM_NOTIFY) a tooltip sends to the window of a tool with a callback text.
constexpr UINT TTN_FIRST = static_cast<UINT>(-520);
constexpr UINT TTN_GETDISPINFOW = TTN_FIRST - 10;
constexpr UINT TTN_SHOW = TTN_FIRST - 1;
constexpr UINT TTN_POP = TTN_FIRST - 2;
constexpr UINT TTN_NEEDTEXTW = TTN_GETDISPINFOW;
struct NMTTDISPINFOW {
  NMHDR hdr;
  LPWSTR lpszText;
  WCHAR szText[80];
  HINSTANCE hinst;
  UINT uFlags;
  LPARAM lParam;
};

// Mouse tracking
constexpr DWORD TME_HOVER = 0x00000001;
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_NONCLIENT = 0x00000010;
constexpr DWORD TME_QUERY = 0x40000000;
constexpr DWORD TME_CANCEL = 0x80000000;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;
struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};
using LPTRACKMOUSEEVENT = TRACKMOUSEEVENT*;
// WM_MOUSEHOVER after the pointer rests dwHoverTime ms within a few pixels, WM_MOUSELEAVE when
// it leaves the window's client area; each request gives one of each. Window's thread only.
BOOL _TrackMouseEvent(LPTRACKMOUSEEVENT tme);
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT tme);
#define LPSTR_TEXTCALLBACK LPSTR_TEXTCALLBACKW
using TOOLINFO = TOOLINFOW;
#define TOOLTIPS_CLASS TOOLTIPS_CLASSW
#define PROGRESS_CLASS PROGRESS_CLASSW
