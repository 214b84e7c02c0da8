#include "platform/mfc/Dc.h"

#include "platform/mfc/Temp.h"
#include "platform/mfc/Wnd.h"

IMPLEMENT_DYNAMIC(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)

namespace {
HDC Hdc(const CDC* p) { return p ? p->m_hDC : nullptr; }
}  // namespace

CDC::~CDC() { DeleteDC(); }

CDC* CDC::FromHandle(HDC hDC) {
  if (!hDC) return nullptr;
  return static_cast<CDC*>(bp::mfc::TempLookup(
      bp::mfc::TempKind::kDC, hDC,
      [](const void* h) -> CObject* {
        auto* dc = new CDC;
        dc->m_hDC = static_cast<HDC>(const_cast<void*>(h));
        return dc;
      },
      [](CObject* o) {
        auto* dc = static_cast<CDC*>(o);
        dc->m_hDC = nullptr;
        delete dc;
      }));
}

BOOL CDC::Attach(HDC hDC) {
  if (!hDC) return FALSE;
  if (m_hDC != hDC) DeleteDC();
  m_hDC = hDC;
  return TRUE;
}

HDC CDC::Detach() {
  HDC h = m_hDC;
  m_hDC = nullptr;
  return h;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
  HDC h = ::CreateCompatibleDC(Hdc(pDC));
  return h ? Attach(h) : FALSE;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  return ::DeleteDC(Detach());
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
  if (!m_hDC || !pObject || !pObject->m_hObject) return nullptr;
  return CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->m_hObject));
}

CFont* CDC::SelectObject(CFont* pFont) {
  if (!m_hDC || !pFont || !pFont->m_hObject) return nullptr;
  return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, pFont->m_hObject)));
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
  if (!m_hDC || !pBitmap || !pBitmap->m_hObject) return nullptr;
  return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, pBitmap->m_hObject)));
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) { return m_hDC && hObject ? ::SelectObject(m_hDC, hObject) : nullptr; }

int CDC::SaveDC() { return ::SaveDC(m_hDC); }
BOOL CDC::RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }

CPoint CDC::SetWindowOrg(int x, int y) {
  POINT old{};
  ::SetWindowOrgEx(m_hDC, x, y, &old);
  return old;
}

CPoint CDC::GetWindowOrg() const {
  POINT p{};
  ::GetWindowOrgEx(m_hDC, &p);
  return p;
}

CPoint CDC::SetViewportOrg(int x, int y) {
  POINT old{};
  ::SetViewportOrgEx(m_hDC, x, y, &old);
  return old;
}

CPoint CDC::GetViewportOrg() const {
  POINT p{};
  ::GetViewportOrgEx(m_hDC, &p);
  return p;
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
  return ::BitBlt(m_hDC, x, y, nWidth, nHeight, Hdc(pSrcDC), xSrc, ySrc, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop) {
  return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, Hdc(pSrcDC), xSrc, ySrc, nSrcWidth, nSrcHeight, dwRop);
}

BOOL CDC::TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                         int nSrcWidth, int nSrcHeight, UINT clrTransparent) {
  return ::TransparentBlt(m_hDC, xDest, yDest, nDestWidth, nDestHeight, Hdc(pSrcDC), xSrc, ySrc, nSrcWidth,
                          nSrcHeight, clrTransparent);
}

COLORREF CDC::SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hDC); }
COLORREF CDC::SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
int CDC::SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
int CDC::GetBkMode() const { return ::GetBkMode(m_hDC); }

BOOL CDC::TextOut(int x, int y, LPCTSTR lpszString, int nCount) {
  return ::TextOutW(m_hDC, x, y, lpszString, nCount);
}

BOOL CDC::TextOut(int x, int y, const CString& str) { return TextOut(x, y, str.GetString(), str.GetLength()); }

int CDC::DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) {
  return ::DrawTextW(m_hDC, lpszString, nCount, lpRect, nFormat);
}

int CDC::DrawText(const CString& str, LPRECT lpRect, UINT nFormat) {
  return DrawText(str.GetString(), str.GetLength(), lpRect, nFormat);
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const {
  SIZE s{};
  ::GetTextExtentPoint32W(m_hDC, lpszString, nCount, &s);
  return s;
}

CSize CDC::GetTextExtent(const CString& str) const { return GetTextExtent(str.GetString(), str.GetLength()); }

BOOL CDC::GetTextMetrics(LPTEXTMETRICW lpMetrics) const { return ::GetTextMetricsW(m_hDC, lpMetrics); }

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
  return ::DrawIconEx(m_hDC, x, y, hIcon, ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0, nullptr,
                      DI_NORMAL);
}

COLORREF CDC::GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
COLORREF CDC::SetPixel(int x, int y, COLORREF crColor) { return ::SetPixel(m_hDC, x, y, crColor); }

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
  if (!lpRect) return;
  HBRUSH brush = ::CreateSolidBrush(clr);
  ::FillRect(m_hDC, lpRect, brush);
  ::DeleteObject(brush);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
  const RECT r{x, y, x + cx, y + cy};
  FillSolidRect(&r, clr);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
  Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC() {
  if (m_hWnd) ::EndPaint(m_hWnd, &m_ps);
  Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) { Attach(::GetDC(m_hWnd)); }

CClientDC::~CClientDC() {
  if (m_hDC) ::ReleaseDC(m_hWnd, Detach());
}
