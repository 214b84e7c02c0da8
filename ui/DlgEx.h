// CDlgEx: a dialog turned into a borderless window drawn from a bitmap skin: caption band drag,
// resize bands, a window region cut from the skin's magenta corners, and up to three system
// buttons (close, minimise, maximise/restore). Its erase handler composes the whole frame, which
// the toolkit's controls ask for to paint the skin under themselves. GUI thread only.
#pragma once
#include "platform/mfc/afxwin.h"
#include "ui/BtnEx.h"

class CDlgEx : public CDialog {
  DECLARE_DYNAMIC(CDlgEx)

 public:
  enum : UINT { kIdSysClose = 50000, kIdSysMin = 50001, kIdSysMax = 50002 };

  CDlgEx(UINT nIDTemplate, CWnd* pParent);
  ~CDlgEx() override;

  BOOL OnInitDialog() override;
  virtual void OnSysClose();
  virtual void OnSysMinimize();
  virtual void OnSysMaximize();
  virtual void UpdateMaxButton(BOOL bMaximized);

  BOOL SetSkin();
  void ApplySkinRegion();
  void DrawSkin(CDC* pDC, int nWidth, int nHeight);

  // Public settings, written by a derived dialog in its OnInitDialog before SetSkin.
  BOOL m_bShowTitle = TRUE;
  BOOL m_bShowIcon = TRUE;
  int m_nCaptionHeight = -1;  // -1: the whole window is caption
  int m_nSysBtnRight = 5;
  int m_nSysBtnTop = 1;
  int m_nBorder = 3;
  COLORREF m_clrTitle = RGB(255, 255, 255);
  int m_nTitleWeight = 400;
  CBitmap m_bmpBackground;
  CBitmap m_bmpOverlay;
  CBtnEx m_btnClose;
  CBtnEx m_btnMin;
  CBtnEx m_btnMax;
  int m_nMaxWidth = 1440;
  int m_nMaxHeight = 900;
  RECT m_rcRestore{};
  BOOL m_bMaximized = FALSE;
  BOOL m_bResizable = FALSE;
  BOOL m_bStretchSkin = FALSE;
  CBitmap m_bmpMax;
  CBitmap m_bmpRestore;

 protected:
  bool InCaptionBand(int y) const;

  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg LRESULT OnNcHitTest(CPoint point);
  afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
  afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  DECLARE_MESSAGE_MAP()
};
