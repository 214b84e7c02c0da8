// CBtnEx: an owner-drawn push button whose face is one cell of a four-state strip
// (normal, hover, pressed, disabled) drawn over its parent's background.
// GUI thread only, like every window it wraps.
#pragma once
#include "platform/mfc/afxwin.h"

class CBtnEx : public CButton {
  DECLARE_DYNAMIC(CBtnEx)

 public:
  enum { kCellNormal = 0, kCellHover = 1, kCellPressed = 2, kCellDisabled = 3 };

  CBtnEx();
  ~CBtnEx() override;

  BOOL LoadStateBitmap(UINT nBitmapID, BOOL bSizeToCell);
  BOOL SetStateBitmap(CBitmap* pBitmap, BOOL bSizeToCell);
  BOOL CreateBitmapButton(int nRight, int nTop, UINT nBitmapID, UINT nID, CWnd* pParent);
  void SetToolTipText(const CString& strText);

  BOOL PreTranslateMessage(MSG* pMsg) override;
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

  // Public state: the owner sets the text, colour and cursor; the frame clears the
  // hover flags of its maximise button when it moves away from under the pointer.
  BOOL m_bTracking = FALSE;
  BOOL m_bHover = FALSE;
  RECT m_rcWnd{};  // only its size is used: the drawing size
  CString m_strText;
  COLORREF m_clrText = RGB(0, 0, 0);
  CImageList m_imgStates;
  BOOL m_bPressed = FALSE;
  BOOL m_bHandCursor = FALSE;
  BOOL m_bToolTip = FALSE;
  CToolTipCtrl m_toolTip;
  CString m_strToolTip;

 protected:
  void PreSubclassWindow() override;

  void DrawParentBackground(CDC* pDC);
  void DrawStateImage(CDC* pDC, int nCell);
  void DrawCaption(CDC* pDC, int nCell);

  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  DECLARE_MESSAGE_MAP()
};
