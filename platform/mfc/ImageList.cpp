#include "platform/mfc/ImageList.h"

#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObject.h"

IMPLEMENT_DYNAMIC(CImageList, CObject)

CImageList::~CImageList() { DeleteImageList(); }

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
  HIMAGELIST h = ::ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
  if (!h) return FALSE;
  DeleteImageList();
  m_hImageList = h;
  return TRUE;
}

BOOL CImageList::DeleteImageList() {
  if (!m_hImageList) return FALSE;
  HIMAGELIST h = m_hImageList;
  m_hImageList = nullptr;
  return ::ImageList_Destroy(h);
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask) {
  if (!m_hImageList || !pbmImage) return -1;
  return ::ImageList_AddMasked(m_hImageList, static_cast<HBITMAP>(pbmImage->m_hObject), crMask);
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) {
  if (!m_hImageList || !pDC) return FALSE;
  return ::ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
}

BOOL CImageList::GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const {
  return m_hImageList && pImageInfo ? ::ImageList_GetImageInfo(m_hImageList, nImage, pImageInfo) : FALSE;
}

int CImageList::GetImageCount() const { return m_hImageList ? ::ImageList_GetImageCount(m_hImageList) : 0; }
