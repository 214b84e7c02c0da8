// CStaticEx: a static text drawn in its own font and colour over its parent's background,
// wrapped at any character to its width, optionally beside an icon; it grows (never shrinks)
// to the height its text needs. GUI thread only.
#pragma once
#include <functional>
#include <vector>

#include "platform/mfc/afxwin.h"

class CStaticEx : public CStatic {
  DECLARE_DYNAMIC(CStaticEx)

 public:
  CStaticEx();
  ~CStaticEx() override;

  virtual int DrawLabel(CDC* pDC);
  CFont* GetLabelFont();
  void DrawBackground(CDC* pDC);

  // The label's lines: carriage returns dropped, a break at each line feed and before the first
  // character that would make a line wider than `areaWidth` (as `measure` says). Always at least
  // one line; a trailing line feed yields a last, empty line.
  static std::vector<CString> WrapText(const CString& text, int areaWidth,
                                       const std::function<int(const CString&)>& measure);

  // Public settings; the font members count only before the first paint.
  CString m_strText;
  int m_nFontWidth = 0;
  int m_nFontWeight = -1;
  int m_nFontHeight = 0;
  BOOL m_bHandCursor = FALSE;
  int m_bUnderline = 0;

 protected:
  CFont m_font;  // built at the first paint, kept for the control's life

 public:
  COLORREF m_clrText = RGB(0, 0, 0);
  COLORREF m_clrHover = RGB(0, 0, 0);
  int m_nLineSpacing = 3;
  BOOL m_bHoverColor = FALSE;

 protected:
  BOOL m_bHover = FALSE;
  BOOL m_bTracking = FALSE;

 public:
  HICON m_hIcon = nullptr;
  CImageList m_imgIcon;
  int m_nIconWidth = 0;
  int m_nIconHeight = 0;
  BOOL m_bIconRight = FALSE;
  int m_nIconImage = 0;

 protected:
  void PreSubclassWindow() override;

  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()
};
