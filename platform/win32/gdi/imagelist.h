// Image lists: equal-sized cells with an optional mask, cut from a strip bitmap.
// Any thread; one list must be used by one thread at a time.
#pragma once
#include "platform/win32/types.h"

constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;

struct IMAGEINFO {
  HBITMAP hbmImage = nullptr;  // the list's own bitmaps: all cells side by side
  HBITMAP hbmMask = nullptr;   // white where transparent, black where drawn; null without ILC_MASK
  int Unused1 = 0;
  int Unused2 = 0;
  RECT rcImage;  // the cell within hbmImage
};

// cInitial and cGrow only size allocations: a list always grows as images are added.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow);
BOOL ImageList_Destroy(HIMAGELIST himl);
// Cuts the bitmap into width / cx cells (a remainder narrower than a cell is dropped) and adds
// them; with ILC_MASK, pixels of crMask become transparent. Returns the first new index, or -1.
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask);
int ImageList_GetImageCount(HIMAGELIST himl);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
BOOL ImageList_GetImageInfo(HIMAGELIST himl, int i, IMAGEINFO* pImageInfo);
// ILD_TRANSPARENT and ILD_NORMAL both draw through the mask (no background colour is set).
BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle);
