// CDC, CPaintDC and CClientDC: device-context wrappers. A CDC that holds a DC deletes it when it
// is destroyed (memory DCs); CPaintDC ends the paint and CClientDC releases the window DC instead.
// A DC is used by one thread at a time.
#pragma once
#include "platform/mfc/Geometry.h"
#include "platform/mfc/GdiObject.h"
#include "platform/mfc/Object.h"
#include "platform/mfc/String.h"
#include "platform/win32/windows.h"

class CWnd;

class CDC : public CObject {
  DECLARE_DYNAMIC(CDC)

 public:
  CDC() = default;
  ~CDC() override;

  HDC m_hDC = nullptr;

  operator HDC() const { return m_hDC; }  // NOLINT
  HDC GetSafeHdc() const { return m_hDC; }
  static CDC* FromHandle(HDC hDC);
  BOOL Attach(HDC hDC);
  HDC Detach();

  BOOL CreateCompatibleDC(CDC* pDC);
  BOOL DeleteDC();

  // Each returns the object selected before, as a wrapper (temporary unless it is `this`'s own),
  // or null when the selection failed.
  CGdiObject* SelectObject(CGdiObject* pObject);
  CFont* SelectObject(CFont* pFont);
  CBitmap* SelectObject(CBitmap* pBitmap);
  HGDIOBJ SelectObject(HGDIOBJ hObject);

  int SaveDC();
  BOOL RestoreDC(int nSavedDC);
  CPoint SetWindowOrg(int x, int y);
  CPoint SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
  CPoint GetWindowOrg() const;
  CPoint SetViewportOrg(int x, int y);
  CPoint SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
  CPoint GetViewportOrg() const;

  BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
  BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                  int nSrcHeight, DWORD dwRop);
  BOOL TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                      int nSrcWidth, int nSrcHeight, UINT clrTransparent);

  COLORREF SetTextColor(COLORREF crColor);
  COLORREF GetTextColor() const;
  COLORREF SetBkColor(COLORREF crColor);
  int SetBkMode(int nBkMode);
  int GetBkMode() const;
  BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount);
  BOOL TextOut(int x, int y, const CString& str);
  int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat);
  int DrawText(const CString& str, LPRECT lpRect, UINT nFormat);
  CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
  CSize GetTextExtent(const CString& str) const;
  BOOL GetTextMetrics(LPTEXTMETRICW lpMetrics) const;

  // At the system icon size (SM_CXICON x SM_CYICON).
  BOOL DrawIcon(int x, int y, HICON hIcon);
  BOOL DrawIcon(POINT point, HICON hIcon) { return DrawIcon(point.x, point.y, hIcon); }
  COLORREF GetPixel(int x, int y) const;
  COLORREF GetPixel(POINT point) const { return GetPixel(point.x, point.y); }
  COLORREF SetPixel(int x, int y, COLORREF crColor);
  void FillSolidRect(LPCRECT lpRect, COLORREF clr);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
};

class CPaintDC : public CDC {
  DECLARE_DYNAMIC(CPaintDC)

 public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC() override;

  PAINTSTRUCT m_ps;

 protected:
  HWND m_hWnd = nullptr;
};

class CClientDC : public CDC {
  DECLARE_DYNAMIC(CClientDC)

 public:
  explicit CClientDC(CWnd* pWnd);
  ~CClientDC() override;

 protected:
  HWND m_hWnd = nullptr;
};

namespace bp::mfc {
// A CDC over a DC owned elsewhere, for the duration of one handler call (WM_ERASEBKGND).
class DCWrapper {
 public:
  explicit DCWrapper(HDC hdc) { m_dc.m_hDC = hdc; }
  ~DCWrapper() { m_dc.m_hDC = nullptr; }
  DCWrapper(const DCWrapper&) = delete;
  DCWrapper& operator=(const DCWrapper&) = delete;
  CDC* get() { return &m_dc; }

 private:
  CDC m_dc;
};
}  // namespace bp::mfc
