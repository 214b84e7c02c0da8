#include "platform/mfc/GdiObject.h"

#include "platform/mfc/Dc.h"
#include "platform/mfc/Temp.h"
#include "platform/mfc/WinApp.h"

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)

namespace {

template <class T>
CObject* MakeTemp(const void* h) {
  auto* o = new T;
  o->m_hObject = const_cast<void*>(h);
  return o;
}

void ReleaseTemp(CObject* o) {
  auto* g = static_cast<CGdiObject*>(o);
  g->m_hObject = nullptr;
  delete g;
}

}  // namespace

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
  if (!hObject) return FALSE;
  if (m_hObject != hObject) DeleteObject();
  m_hObject = hObject;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const {
  return m_hObject ? ::GetObjectW(m_hObject, nCount, lpObject) : 0;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) {
  if (!hObject) return nullptr;
  return static_cast<CGdiObject*>(
      bp::mfc::TempLookup(bp::mfc::TempKind::kGdiObject, hObject, &MakeTemp<CGdiObject>, &ReleaseTemp));
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEW(static_cast<int>(nIDResource))); }

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName) {
  HBITMAP h = ::LoadBitmapW(AfxGetResourceHandle(), lpszResourceName);
  return h ? Attach(h) : FALSE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
  HBITMAP h = ::CreateCompatibleBitmap(pDC ? pDC->m_hDC : nullptr, nWidth, nHeight);
  return h ? Attach(h) : FALSE;
}

int CBitmap::GetBitmap(BITMAP* pBitMap) const {
  return GetObject(static_cast<int>(sizeof(BITMAP)), pBitMap);
}

CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) {
  if (!hBitmap) return nullptr;
  return static_cast<CBitmap*>(
      bp::mfc::TempLookup(bp::mfc::TempKind::kBitmap, hBitmap, &MakeTemp<CBitmap>, &ReleaseTemp));
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* lpLogFont) {
  HFONT h = lpLogFont ? ::CreateFontIndirectW(lpLogFont) : nullptr;
  return h ? Attach(h) : FALSE;
}

int CFont::GetLogFont(LOGFONTW* pLogFont) const {
  return GetObject(static_cast<int>(sizeof(LOGFONTW)), pLogFont);
}

CFont* CFont::FromHandle(HFONT hFont) {
  if (!hFont) return nullptr;
  return static_cast<CFont*>(bp::mfc::TempLookup(bp::mfc::TempKind::kFont, hFont, &MakeTemp<CFont>, &ReleaseTemp));
}
