// CGdiObject, CBitmap and CFont: owning wrappers of GDI handles. A wrapper deletes the object it
// holds when it is destroyed; a temporary one from FromHandle never does. Any thread, one at a time.
#pragma once
#include "platform/mfc/Object.h"
#include "platform/win32/windows.h"

class CDC;

class CGdiObject : public CObject {
  DECLARE_DYNAMIC(CGdiObject)

 public:
  CGdiObject() = default;
  ~CGdiObject() override;

  HGDIOBJ m_hObject = nullptr;

  operator HGDIOBJ() const { return m_hObject; }  // NOLINT
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  // Takes ownership; an object held before is deleted first.
  BOOL Attach(HGDIOBJ hObject);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  int GetObject(int nCount, LPVOID lpObject) const;

  static CGdiObject* FromHandle(HGDIOBJ hObject);
};

class CBitmap : public CGdiObject {
  DECLARE_DYNAMIC(CBitmap)

 public:
  CBitmap() = default;
  ~CBitmap() override = default;

  // From the program's bitmap resources; FALSE (nothing changed) when the resource is absent.
  BOOL LoadBitmap(UINT nIDResource);
  BOOL LoadBitmap(LPCTSTR lpszResourceName);
  BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
  int GetBitmap(BITMAP* pBitMap) const;
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }  // NOLINT

  static CBitmap* FromHandle(HBITMAP hBitmap);
};

class CFont : public CGdiObject {
  DECLARE_DYNAMIC(CFont)

 public:
  CFont() = default;
  ~CFont() override = default;

  BOOL CreateFontIndirect(const LOGFONTW* lpLogFont);
  int GetLogFont(LOGFONTW* pLogFont) const;
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }  // NOLINT

  static CFont* FromHandle(HFONT hFont);
};
