// Win32-shaped GDI over 32-bit pixel buffers: device contexts, bitmaps, brushes, regions, icons,
// fonts and text. GDI objects may be created, used and deleted on any thread (a lock guards the
// handle table); a DC must be used by one thread at a time. Nothing here blocks.
//
// Coordinates: logical = device - viewport origin + window origin, as in Win32's MM_TEXT mode.
// Every pixel written goes through one clipping routine: the DC's clip rectangle (for a window DC)
// or its selected bitmap's bounds (for a memory DC).
#pragma once
#include "platform/win32/types.h"
#include "platform/win32/gdi/resources.h"

// ---- objects -------------------------------------------------------------------------------
struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 0;
  WORD bmBitsPixel = 0;
  LPVOID bmBits = nullptr;
};
using PBITMAP = BITMAP*;
using LPBITMAP = BITMAP*;

struct LOGBRUSH {
  UINT lbStyle = 0;
  COLORREF lbColor = 0;
  ULONG_PTR lbHatch = 0;
};
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;

constexpr int LF_FACESIZE = 32;
struct LOGFONTW {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  WCHAR lfFaceName[LF_FACESIZE] = {};
};
using LOGFONT = LOGFONTW;
using PLOGFONTW = LOGFONTW*;
using LPLOGFONTW = LOGFONTW*;

struct TEXTMETRICW {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  WCHAR tmFirstChar = 0;
  WCHAR tmLastChar = 0;
  WCHAR tmDefaultChar = 0;
  WCHAR tmBreakChar = 0;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};
using TEXTMETRIC = TEXTMETRICW;
using LPTEXTMETRICW = TEXTMETRICW*;

// Font weights.
constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_THIN = 100;
constexpr LONG FW_LIGHT = 300;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_REGULAR = 400;
constexpr LONG FW_MEDIUM = 500;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;
constexpr LONG FW_HEAVY = 900;
// Character sets, precisions, qualities, pitch and family: stored, not interpreted.
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE GB2312_CHARSET = 134;
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE CLEARTYPE_QUALITY = 5;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FF_DONTCARE = 0;
constexpr BYTE FF_SWISS = 0x20;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;

// Raster operations: only SRCCOPY is drawn; other codes fail.
constexpr DWORD SRCCOPY = 0x00CC0020;
// Stretch modes: all stretch by nearest pixel (the mode is stored and returned only).
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Region combination and results.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;
constexpr int RGN_ERROR = 0;
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// System colours (GetSysColor).
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;

// DrawText formats.
constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_EXPANDTABS = 0x40;
constexpr UINT DT_NOCLIP = 0x100;
constexpr UINT DT_EXTERNALLEADING = 0x200;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_NOPREFIX = 0x800;
constexpr UINT DT_PATH_ELLIPSIS = 0x4000;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

// Icons.
constexpr UINT DI_MASK = 0x1;
constexpr UINT DI_IMAGE = 0x2;
constexpr UINT DI_NORMAL = 0x3;
constexpr UINT DI_DEFAULTSIZE = 0x8;

// ---- device contexts ------------------------------------------------------------------------
// A memory DC starts with a 1 x 1 bitmap selected; `hdc` may be null.
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
// Always a 32-bit bitmap, black at creation; 0 x 0 gives a 1 x 1 bitmap as Win32 does.
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);
// Bitmaps (memory DCs only), fonts and brushes. Returns the previous object, null on failure.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
// Deleting an object that is still selected somewhere releases it when the last DC lets it go.
BOOL DeleteObject(HGDIOBJ h);
int GetObjectW(HANDLE h, int c, LPVOID pv);
HGDIOBJ GetStockObject(int i);

// Saved states: a stack. SaveDC returns the new depth (1 for the first save); RestoreDC takes
// an absolute depth or a negative count back from the top, discarding every later state.
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int nSavedDC);
BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetWindowOrgEx(HDC hdc, LPPOINT lppt);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppt);

COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);

// ---- pixels and blits -----------------------------------------------------------------------
// Source pixels outside the source bitmap leave the destination unchanged. Negative sizes mirror
// in StretchBlt, counting from the given edge pixel (x = w - 1, width -w mirrors in place);
// BitBlt and TransparentBlt fail on them.
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                int wSrc, int hSrc, DWORD rop);
BOOL TransparentBlt(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc,
                    int xoriginSrc, int yoriginSrc, int wSrc, int hSrc, UINT crTransparent);
// CLR_INVALID outside the clip rectangle.
COLORREF GetPixel(HDC hdc, int x, int y);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);

HBRUSH CreateSolidBrush(COLORREF color);
// `hbr` may also be a system colour index + 1, as in Win32.
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
DWORD GetSysColor(int nIndex);

// ---- regions --------------------------------------------------------------------------------
HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
HRGN CreateRectRgnIndirect(const RECT* lprect);
// hrgnDst must exist already; it may be one of the sources.
int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode);
BOOL PtInRegion(HRGN hrgn, int x, int y);
int GetRgnBox(HRGN hrgn, LPRECT lprc);
int OffsetRgn(HRGN hrgn, int x, int y);
BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2);

// ---- icons ----------------------------------------------------------------------------------
// Draws the image nearest cx x cy, scaled to it, blending by its alpha. cx = cy = 0 draws the
// icon's own size (DI_DEFAULTSIZE: the system icon size, 32).
BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT istepIfAniCur,
                HBRUSH hbrFlickerFreeDraw, UINT diFlags);
BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon);
BOOL DestroyIcon(HICON hIcon);

// ---- fonts and text -------------------------------------------------------------------------
// lfHeight < 0: character (em) height in pixels; > 0: cell height; 0: 12-pixel characters.
// Faces come from fontconfig; unknown faces ("微软雅黑", "MS Shell Dlg", ...) map to the best
// CJK sans for zh-CN. The face "Bugpost Test" is the fixed-metrics test font (see testfont.h).
HFONT CreateFontIndirectW(const LOGFONTW* lplf);
BOOL GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm);
BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl);
// (x, y) is the top left of the text's cell.
BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int c);
// cchText -1: the text ends at its NUL. Returns the text's height (with DT_VCENTER or DT_BOTTOM on
// a single line: the offset from the rectangle's top to the text's bottom), 0 on failure.
// Layout: lines end at CR, LF or CR LF (a trailing break starts an empty last line; empty text is
// one empty line); DT_WORDBREAK breaks after spaces and around East Asian characters, never before
// closing or after opening punctuation, and keeps a longer unbreakable run whole (DT_CALCRECT then
// widens the rectangle); DT_VCENTER and DT_BOTTOM need DT_SINGLELINE; ellipses shorten each line
// that is too wide; "&x" draws x without an underline unless DT_NOPREFIX.
int DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format);
