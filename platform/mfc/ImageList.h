// CImageList: owns an image list (destroyed with the object). One thread at a time.
#pragma once
#include "platform/mfc/Object.h"
#include "platform/win32/windows.h"

class CBitmap;
class CDC;

class CImageList : public CObject {
  DECLARE_DYNAMIC(CImageList)

 public:
  CImageList() = default;
  ~CImageList() override;

  HIMAGELIST m_hImageList = nullptr;

  operator HIMAGELIST() const { return m_hImageList; }  // NOLINT
  HIMAGELIST GetSafeHandle() const { return m_hImageList; }

  // Replaces a list held before.
  BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
  BOOL DeleteImageList();
  // Cuts the bitmap into cells; pixels of crMask become transparent. Returns the first new index or -1.
  int Add(CBitmap* pbmImage, COLORREF crMask);
  BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);
  BOOL GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const;
  int GetImageCount() const;
};
