#include "ui/BtnEx.h"
#include "ui/ParentBackground.h"

namespace {
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr UINT kHoverMs = 10;
constexpr int kToolTipDelayMs = 660;
}  // namespace

IMPLEMENT_DYNAMIC(CBtnEx, CButton)

BEGIN_MESSAGE_MAP(CBtnEx, CButton)
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_MESSAGE(WM_MOUSEHOVER, &CBtnEx::OnMouseHover)
  ON_MESSAGE(WM_MOUSELEAVE, &CBtnEx::OnMouseLeave)
  ON_WM_LBUTTONUP()
  ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CBtnEx::CBtnEx() = default;
CBtnEx::~CBtnEx() = default;

BOOL CBtnEx::LoadStateBitmap(UINT nBitmapID, BOOL bSizeToCell) {
  CBitmap strip;
  if (!strip.LoadBitmap(nBitmapID)) return FALSE;
  const BOOL ok = SetStateBitmap(&strip, bSizeToCell);
  strip.DeleteObject();  // the image list keeps its own copy of the cells
  return ok;
}

BOOL CBtnEx::SetStateBitmap(CBitmap* pBitmap, BOOL bSizeToCell) {
  // An empty or too narrow strip would leave a half-built image list; refuse it instead.
  BITMAP bm{};
  if (pBitmap == nullptr || pBitmap->GetSafeHandle() == nullptr || !pBitmap->GetBitmap(&bm)) return FALSE;
  const int cw = bm.bmWidth / 4;
  const int bh = bm.bmHeight;
  if (cw <= 0 || bh <= 0) return FALSE;

  m_imgStates.DeleteImageList();
  if (!m_imgStates.Create(cw, bh, ILC_COLOR24 | ILC_MASK, 4, 0)) return FALSE;
  m_imgStates.Add(pBitmap, kMagenta);

  if (GetSafeHwnd() != nullptr) {
    if (bSizeToCell) SetWindowPos(nullptr, 0, 0, cw, bh, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(&m_rcWnd);
  }
  return TRUE;
}

BOOL CBtnEx::CreateBitmapButton(int nRight, int nTop, UINT nBitmapID, UINT nID, CWnd* pParent) {
  // Without the strip there is no size to give the window: create nothing.
  CBitmap strip;
  if (!strip.LoadBitmap(nBitmapID)) return FALSE;
  BITMAP bm{};
  if (!strip.GetBitmap(&bm) || bm.bmWidth / 4 <= 0) return FALSE;

  const CRect rc(nRight - bm.bmWidth / 4, nTop, nRight, nTop + bm.bmHeight);
  if (!Create(u"", WS_CHILD | WS_VISIBLE, rc, pParent, nID)) return FALSE;
  LoadStateBitmap(nBitmapID, FALSE);
  strip.DeleteObject();
  return TRUE;
}

void CBtnEx::SetToolTipText(const CString& strText) {
  m_strToolTip = strText;
  m_bToolTip = TRUE;
  // The tooltip is owned by the button's window: without one it waits for a later call.
  if (m_toolTip.GetSafeHwnd() == nullptr && GetSafeHwnd() != nullptr) {
    m_toolTip.Create(this, TTS_ALWAYSTIP);
    m_toolTip.AddTool(this, LPSTR_TEXTCALLBACKW, nullptr, 0);
    m_toolTip.SetDelayTime(TTDT_AUTOMATIC, kToolTipDelayMs);
  }
}

void CBtnEx::PreSubclassWindow() {
  GetWindowText(m_strText);
  ModifyStyle(0, BS_OWNERDRAW);
  GetWindowRect(&m_rcWnd);
  CButton::PreSubclassWindow();
}

BOOL CBtnEx::PreTranslateMessage(MSG* pMsg) {
  if (m_bToolTip && m_toolTip.GetSafeHwnd() != nullptr) m_toolTip.RelayEvent(pMsg);
  return CButton::PreTranslateMessage(pMsg);
}

void CBtnEx::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  // Drawn at the size captured at the last strip load, not the live window size.
  const int w = m_rcWnd.right - m_rcWnd.left;
  const int h = m_rcWnd.bottom - m_rcWnd.top;
  if (lpDrawItemStruct == nullptr || w <= 0 || h <= 0) return;
  CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);

  CDC memDC;
  if (!memDC.CreateCompatibleDC(pDC)) return;
  CBitmap surface;
  if (!surface.CreateCompatibleBitmap(pDC, w, h)) return;
  CBitmap* pOldBitmap = memDC.SelectObject(&surface);

  const UINT state = lpDrawItemStruct->itemState;
  int cell = kCellNormal;
  if (state & (ODS_GRAYED | ODS_DISABLED)) {
    cell = kCellDisabled;
  } else if ((state & ODS_SELECTED) || m_bPressed) {
    m_bPressed = TRUE;  // latched until the left button is released
    cell = kCellPressed;
  } else if (m_bHover) {
    cell = kCellHover;
  }

  DrawParentBackground(&memDC);
  DrawStateImage(&memDC, cell);
  DrawCaption(&memDC, cell);

  pDC->BitBlt(0, 0, w, h, &memDC, 0, 0, SRCCOPY);
  memDC.SelectObject(pOldBitmap);
  surface.DeleteObject();
  memDC.DeleteDC();
}

void CBtnEx::DrawParentBackground(CDC* pDC) { ::DrawParentBackground(this, pDC); }

void CBtnEx::DrawStateImage(CDC* pDC, int nCell) {
  if (m_imgStates.GetSafeHandle() == nullptr || nCell < 0 || nCell >= m_imgStates.GetImageCount()) return;
  IMAGEINFO info{};
  if (!m_imgStates.GetImageInfo(nCell, &info)) return;
  const int iw = info.rcImage.right - info.rcImage.left;
  const int ih = info.rcImage.bottom - info.rcImage.top;
  const int w = m_rcWnd.right - m_rcWnd.left;
  const int h = m_rcWnd.bottom - m_rcWnd.top;

  if (iw == w && ih == h) {
    m_imgStates.Draw(pDC, nCell, CPoint(0, 0), ILD_TRANSPARENT);
    return;
  }
  // Stretching through a magenta-filled cell keeps the strip's transparent parts transparent.
  CDC cellDC;
  if (!cellDC.CreateCompatibleDC(pDC)) return;
  CBitmap cellBitmap;
  if (!cellBitmap.CreateCompatibleBitmap(pDC, iw, ih)) return;
  CBitmap* pOld = cellDC.SelectObject(&cellBitmap);
  cellDC.FillSolidRect(0, 0, iw, ih, kMagenta);
  m_imgStates.Draw(&cellDC, nCell, CPoint(0, 0), ILD_TRANSPARENT);
  pDC->TransparentBlt(0, 0, w, h, &cellDC, 0, 0, iw, ih, kMagenta);
  cellDC.SelectObject(pOld);
}

void CBtnEx::DrawCaption(CDC* pDC, int nCell) {
  if (m_strText.IsEmpty()) return;
  pDC->SetBkMode(TRANSPARENT);
  pDC->SetTextColor(nCell == kCellDisabled ? ::GetSysColor(COLOR_GRAYTEXT) : m_clrText);

  HFONT hBase = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
  if (hBase == nullptr) hBase = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW lf{};
  ::GetObjectW(hBase, sizeof(lf), &lf);
  lf.lfHeight = -12;
  CFont font;
  font.CreateFontIndirect(&lf);
  CFont* pOldFont = pDC->SelectObject(&font);

  CRect rcClient;
  GetClientRect(&rcClient);
  pDC->DrawText(m_strText, &rcClient, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

  pDC->SelectObject(pOldFont);
  font.DeleteObject();
}

BOOL CBtnEx::OnEraseBkgnd(CDC* /*pDC*/) { return TRUE; }

void CBtnEx::OnMouseMove(UINT /*nFlags*/, CPoint /*point*/) {
  if (!m_bTracking) {
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof(tme);
    tme.dwFlags = TME_HOVER | TME_LEAVE;
    tme.hwndTrack = m_hWnd;
    tme.dwHoverTime = kHoverMs;
    m_bTracking = _TrackMouseEvent(&tme);  // a failure asks again at the next move
  }
  Default();
}

LRESULT CBtnEx::OnMouseHover(WPARAM /*wParam*/, LPARAM /*lParam*/) {
  m_bHover = TRUE;
  Invalidate(FALSE);
  if (m_bToolTip && m_toolTip.GetSafeHwnd() != nullptr) m_toolTip.UpdateTipText(m_strToolTip, this, 0);
  return 0;
}

LRESULT CBtnEx::OnMouseLeave(WPARAM /*wParam*/, LPARAM /*lParam*/) {
  m_bHover = FALSE;
  m_bTracking = FALSE;
  Invalidate(FALSE);
  return 0;
}

void CBtnEx::OnLButtonUp(UINT /*nFlags*/, CPoint /*point*/) {
  // Released off the face the window system sees no change of state and would not repaint the
  // latched pressed cell, so the latch asks for the repaint itself.
  if (m_bPressed) Invalidate(FALSE);
  m_bPressed = FALSE;
  Default();
}

BOOL CBtnEx::OnSetCursor(CWnd* /*pWnd*/, UINT /*nHitTest*/, UINT /*message*/) {
  ::SetCursor(::LoadCursorW(nullptr, m_bHandCursor ? IDC_HAND : IDC_ARROW));
  return TRUE;
}
