// CImgProgress: a progress bar painted from a track bitmap and a fill bitmap over its parent's
// background. Position and range stay the standard progress control's, so any thread may move
// the bar with PBM_SETPOS (sent; the window system delivers it on the owning thread).
#pragma once
#include "platform/mfc/afxwin.h"

class CImgProgress : public CProgressCtrl {
  DECLARE_DYNAMIC(CImgProgress)

 public:
  CImgProgress();
  ~CImgProgress() override;

  BOOL SetSkin();

  HBITMAP m_hBkBitmap = nullptr;    // track, owned
  HBITMAP m_hFillBitmap = nullptr;  // fill, owned
  RECT m_rcBar{};                   // drawing rectangle: (0, 0) to the track's size
  RECT m_rcFill{};                  // fill rectangle, centred in m_rcBar
  BOOL m_bShowPercent = FALSE;
  COLORREF m_clrPercent = CLR_INVALID;

  // Filled length for a position within a range; no fill for an empty range, never longer
  // than the fill bitmap.
  static int FillLength(int pos, int lower, int upper, int fillWidth);

 protected:
  void DrawParentBackground(CDC* pDC);
  void DrawTrack(CDC* pDC);
  void DrawFill(CDC* pDC);
  void DrawPercent(CDC* pDC);
  void FreeBitmaps();

  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnPaint();
  DECLARE_MESSAGE_MAP()
};
