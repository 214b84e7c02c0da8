#include "ui/DlgEx.h"

#include <algorithm>
#include <string_view>

namespace {
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr UINT kSkinBitmap = 129;
constexpr UINT kCloseStrip = 130;
constexpr int kCornerBlock = 9;  // only these corner blocks of the skin shape the window
constexpr int kTopBand = 3;      // the top resize band, whatever the border
constexpr std::u16string_view kTitleFace = u"微软雅黑";

RECT WorkArea() {
  RECT rc{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0);
  return rc;
}

// Same-size and stretched copies that skip empty or negative rectangles: a window smaller than
// twice the border would otherwise mirror the skin.
void Copy(CDC* pDst, int x, int y, int w, int h, CDC* pSrc, int sx, int sy) {
  if (w > 0 && h > 0) pDst->BitBlt(x, y, w, h, pSrc, sx, sy, SRCCOPY);
}
void Stretch(CDC* pDst, int x, int y, int w, int h, CDC* pSrc, int sx, int sy, int sw, int sh) {
  if (w > 0 && h > 0 && sw > 0 && sh > 0) pDst->StretchBlt(x, y, w, h, pSrc, sx, sy, sw, sh, SRCCOPY);
}
}  // namespace

IMPLEMENT_DYNAMIC(CDlgEx, CDialog)

BEGIN_MESSAGE_MAP(CDlgEx, CDialog)
  ON_WM_ERASEBKGND()
  ON_WM_NCHITTEST()
  ON_COMMAND(CDlgEx::kIdSysClose, &CDlgEx::OnSysClose)
  ON_COMMAND(CDlgEx::kIdSysMin, &CDlgEx::OnSysMinimize)
  ON_COMMAND(CDlgEx::kIdSysMax, &CDlgEx::OnSysMaximize)
  ON_WM_NCLBUTTONDOWN()
  ON_WM_NCLBUTTONDBLCLK()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_SIZE()
END_MESSAGE_MAP()

CDlgEx::CDlgEx(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent) {}
CDlgEx::~CDlgEx() = default;

BOOL CDlgEx::OnInitDialog() {
  CDialog::OnInitDialog();
  ModifyStyle(WS_CAPTION | DS_MODALFRAME, WS_MINIMIZEBOX);
  ModifyStyleEx(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, 0);

  const RECT wa = WorkArea();
  const LONG w = wa.right - wa.left;
  const LONG h = wa.bottom - wa.top;
  m_nMaxWidth = w;
  m_nMaxHeight = h;
  m_rcRestore = RECT{wa.left + w / 8, wa.top + h / 8, wa.right - w / 8, wa.bottom - h / 8};
  return TRUE;
}

BOOL CDlgEx::SetSkin() {
  if (m_bmpBackground.GetSafeHandle() != nullptr) m_bmpBackground.DeleteObject();
  if (m_bmpOverlay.GetSafeHandle() != nullptr) m_bmpOverlay.DeleteObject();
  m_bStretchSkin = TRUE;

  // Without its skin the frame keeps its size, has no region and paints nothing of its own, but
  // it still gets its close button so the window can be closed; the caller learns of it.
  const BOOL skinned = m_bmpBackground.LoadBitmap(kSkinBitmap);
  int bw = 0;
  if (skinned) {
    BITMAP bm{};
    m_bmpBackground.GetBitmap(&bm);
    bw = bm.bmWidth;
    SetWindowPos(nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOZORDER | SWP_NOMOVE);
    ApplySkinRegion();
  } else {
    CRect rc;
    GetWindowRect(&rc);
    bw = rc.Width();
    SetWindowRgn(nullptr, TRUE);  // drop the shape of a skin loaded before
  }

  if (m_btnClose.GetSafeHwnd() != nullptr) {
    if (m_btnClose.m_toolTip.GetSafeHwnd() != nullptr) m_btnClose.m_toolTip.DestroyWindow();
    m_btnClose.DestroyWindow();
    m_btnClose.m_bHover = m_btnClose.m_bTracking = m_btnClose.m_bPressed = FALSE;
  }
  if (m_btnClose.CreateBitmapButton(bw - m_nSysBtnRight, m_nSysBtnTop, kCloseStrip, kIdSysClose, this))
    m_btnClose.SetToolTipText(CString(u"关闭"));
  return skinned;
}

void CDlgEx::ApplySkinRegion() {
  if (m_bmpBackground.GetSafeHandle() == nullptr) return;
  CRect rcWnd;
  GetWindowRect(&rcWnd);
  const int W = rcWnd.Width();
  const int H = rcWnd.Height();
  HRGN hRgn = ::CreateRectRgn(0, 0, W, H);

  CDC skinDC;
  if (!skinDC.CreateCompatibleDC(nullptr)) {
    ::DeleteObject(hRgn);
    return;
  }
  CBitmap* pOld = skinDC.SelectObject(&m_bmpBackground);
  BITMAP bm{};
  m_bmpBackground.GetBitmap(&bm);
  const int bw = bm.bmWidth;
  const int bh = bm.bmHeight;

  const auto cut = [&](int x, int y) {
    HRGN hPixel = ::CreateRectRgn(x, y, x + 1, y + 1);
    ::CombineRgn(hRgn, hRgn, hPixel, RGN_DIFF);
    ::DeleteObject(hPixel);
  };
  const int cols = std::min(kCornerBlock, bw);
  for (int y = 0; y < kCornerBlock && y < bh; ++y) {
    for (int x = 0; x < cols; ++x) {
      if (skinDC.GetPixel(x, y) == kMagenta) cut(x, y);
      if (skinDC.GetPixel(bw - 1 - x, y) == kMagenta) cut(W - 1 - x, y);
    }
  }
  for (int y = std::max(0, bh - kCornerBlock); y < bh; ++y) {
    for (int x = 0; x < cols; ++x) {
      if (skinDC.GetPixel(x, y) == kMagenta) cut(x, H - bh + y);
      if (skinDC.GetPixel(bw - 1 - x, y) == kMagenta) cut(W - 1 - x, H - bh + y);
    }
  }
  skinDC.SelectObject(pOld);
  SetWindowRgn(hRgn, FALSE);  // the window system owns the region from here on
}

BOOL CDlgEx::OnEraseBkgnd(CDC* pDC) {
  CRect rcWnd;
  GetWindowRect(&rcWnd);
  const int W = rcWnd.Width();
  const int H = rcWnd.Height();
  if (W <= 0 || H <= 0) return FALSE;
  if (m_bmpBackground.GetSafeHandle() == nullptr) {
    // No skin (its resource failed to load): a plain dialog face keeps the window and the
    // controls drawn over it legible instead of leaving whatever was on the surface.
    pDC->FillSolidRect(0, 0, W, H, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
  }

  CDC memDC;
  CBitmap surface;
  if (!memDC.CreateCompatibleDC(pDC) || !surface.CreateCompatibleBitmap(pDC, W, H)) return FALSE;
  CBitmap* pOld = memDC.SelectObject(&surface);

  DrawSkin(&memDC, W, H);

  int textX = m_nBorder + 5;
  HICON hIcon = reinterpret_cast<HICON>(SendMessage(WM_GETICON, ICON_SMALL, 0));
  if (hIcon != nullptr && m_bShowIcon) {
    const int y = m_nCaptionHeight == -1 ? 6 : (m_nCaptionHeight - 15) / 2;
    ::DrawIconEx(memDC.GetSafeHdc(), m_nBorder, y, hIcon, 16, 16, 0, nullptr, DI_NORMAL);
    textX += 16;
  }

  if (m_bShowTitle) {
    CString title;
    GetWindowText(title);
    const int saved = memDC.SaveDC();
    memDC.SetBkMode(TRANSPARENT);
    memDC.SetTextColor(m_clrTitle);
    HFONT hBase = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
    if (hBase == nullptr) hBase = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW lf{};
    ::GetObjectW(hBase, sizeof(lf), &lf);
    lf.lfHeight = -12;
    lf.lfWeight = m_nTitleWeight;
    std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), u'\0');
    std::copy(kTitleFace.begin(), kTitleFace.end(), lf.lfFaceName);
    CFont font;
    font.CreateFontIndirect(&lf);
    CFont* pOldFont = memDC.SelectObject(&font);
    int t = (m_nCaptionHeight - 11) / 2;
    if (t < 0) t = 6;
    memDC.TextOut(textX, t - 2, title);
    memDC.SelectObject(pOldFont);
    memDC.RestoreDC(saved);
    font.DeleteObject();
  }

  pDC->BitBlt(0, 0, W, H, &memDC, 0, 0, SRCCOPY);
  memDC.SelectObject(pOld);
  return TRUE;
}

void CDlgEx::DrawSkin(CDC* pDC, int W, int H) {
  if (m_bmpBackground.GetSafeHandle() == nullptr) return;
  CDC skinDC;
  if (!skinDC.CreateCompatibleDC(pDC)) return;
  CBitmap* pOld = skinDC.SelectObject(&m_bmpBackground);
  BITMAP bm{};
  m_bmpBackground.GetBitmap(&bm);
  const int bw = bm.bmWidth;
  const int bh = bm.bmHeight;
  const int b = m_nBorder;
  const int t = m_nCaptionHeight == -1 ? b : m_nCaptionHeight;
  CDC* s = &skinDC;

  const auto rightEdge = [&] { Stretch(pDC, W - b, t, b, H - t - b, s, bw - b, t, b, bh - t - b); };
  const auto bottomRow = [&] {
    Copy(pDC, 0, H - b, b, b, s, 0, bh - b);
    Stretch(pDC, b, H - b, W - 2 * b, b, s, b, bh - b, bw - 2 * b, b);
    Copy(pDC, W - b, H - b, b, b, s, bw - b, bh - b);
  };

  if (m_bStretchSkin) {
    Copy(pDC, 0, 0, b, t, s, 0, 0);
    Stretch(pDC, b, 0, W - 2 * b, t, s, b, 0, bw - 2 * b, t);
    Copy(pDC, W - b, 0, b, t, s, bw - b, 0);
    Stretch(pDC, 0, t, b, H - t - b, s, 0, t, b, bh - t - b);
    rightEdge();
    Stretch(pDC, b, t, W - 2 * b, H - t - b, s, b, t, bw - 2 * b, bh - t - b);
    bottomRow();
  } else {
    Copy(pDC, 0, 0, W, H, s, 0, 0);
    Copy(pDC, W - b, 0, b, t, s, bw - b, 0);
    rightEdge();
    bottomRow();
  }
  skinDC.SelectObject(pOld);

  if (m_bmpOverlay.GetSafeHandle() != nullptr) {
    BITMAP om{};
    m_bmpOverlay.GetBitmap(&om);
    CDC overlayDC;
    if (overlayDC.CreateCompatibleDC(pDC)) {
      CBitmap* pOldOverlay = overlayDC.SelectObject(&m_bmpOverlay);
      Copy(pDC, W - m_nSysBtnRight - om.bmWidth, m_nSysBtnTop, om.bmWidth, om.bmHeight, &overlayDC, 0, 0);
      overlayDC.SelectObject(pOldOverlay);
    }
  }
}

bool CDlgEx::InCaptionBand(int y) const {
  return m_nCaptionHeight == -1 || (y >= 0 && y < m_nCaptionHeight);
}

LRESULT CDlgEx::OnNcHitTest(CPoint point) {
  const LPARAM lParam = MAKELPARAM(point.x, point.y);
  if (m_bMaximized) return DefWindowProc(WM_NCHITTEST, 0, lParam);

  CPoint pt = point;
  ScreenToClient(&pt);
  CRect rcClient;
  GetClientRect(&rcClient);
  const int cw = rcClient.Width();
  const int ch = rcClient.Height();
  const int b = m_nBorder;
  const int c = m_nCaptionHeight;
  const int x = pt.x;
  const int y = pt.y;

  if (!m_bResizable) return InCaptionBand(y) ? HTCAPTION : DefWindowProc(WM_NCHITTEST, 0, lParam);

  const bool left = x >= 0 && x < b;
  const bool right = x >= cw - b && x < cw;
  const bool top = y >= 0 && y < b;
  const bool bottom = y >= ch - b && y < ch;
  if (left) return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
  if (right) return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
  if (y >= 0 && y < kTopBand) return HTTOP;
  if (c == -1 || (y >= kTopBand && y < c)) return HTCAPTION;
  if (bottom) return HTBOTTOM;
  return DefWindowProc(WM_NCHITTEST, 0, lParam);
}

void CDlgEx::OnNcLButtonDown(UINT nHitTest, CPoint point) {
  WPARAM edge = 0;
  switch (nHitTest) {
    case HTLEFT: edge = WMSZ_LEFT; break;
    case HTRIGHT: edge = WMSZ_RIGHT; break;
    case HTTOP: edge = WMSZ_TOP; break;
    case HTTOPLEFT: edge = WMSZ_TOPLEFT; break;
    case HTTOPRIGHT: edge = WMSZ_TOPRIGHT; break;
    case HTBOTTOM: edge = WMSZ_BOTTOM; break;
    case HTBOTTOMLEFT: edge = WMSZ_BOTTOMLEFT; break;
    case HTBOTTOMRIGHT: edge = WMSZ_BOTTOMRIGHT; break;
    default: break;
  }
  const LPARAM lParam = MAKELPARAM(point.x, point.y);
  if (edge != 0)
    SendMessage(WM_SYSCOMMAND, SC_SIZE + edge, lParam);
  else
    DefWindowProc(WM_NCLBUTTONDOWN, nHitTest, lParam);  // HTCAPTION: the system's move loop
  // The restore rectangle follows the user's last move or resize on the frame.
  GetWindowRect(&m_rcRestore);
}

void CDlgEx::OnNcLButtonDblClk(UINT nHitTest, CPoint point) {
  if (nHitTest == HTCAPTION && m_bResizable) {
    OnSysMaximize();
    return;
  }
  DefWindowProc(WM_NCLBUTTONDBLCLK, nHitTest, MAKELPARAM(point.x, point.y));
}

void CDlgEx::OnLButtonDblClk(UINT nFlags, CPoint point) {
  if (m_bMaximized && InCaptionBand(point.y)) OnSysMaximize();
  DefWindowProc(WM_LBUTTONDBLCLK, nFlags, MAKELPARAM(point.x, point.y));
}

void CDlgEx::OnSysClose() { PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }

void CDlgEx::OnSysMinimize() { PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void CDlgEx::OnSysMaximize() {
  if (m_bMaximized) {
    MoveWindow(&m_rcRestore, TRUE);
    UpdateMaxButton(FALSE);
  } else {
    RECT wa = WorkArea();
    if (wa.right - wa.left > m_nMaxWidth) {
      const LONG d = (wa.right - wa.left - m_nMaxWidth) / 2;
      wa.left += d;
      wa.right -= d;
    }
    if (wa.bottom - wa.top > m_nMaxHeight) {
      const LONG d = (wa.bottom - wa.top - m_nMaxHeight) / 2;
      wa.top += d;
      wa.bottom -= d;
    }
    MoveWindow(wa.left, wa.top, wa.right - wa.left, wa.bottom - wa.top, TRUE);
    UpdateMaxButton(TRUE);
  }
  m_bMaximized = !m_bMaximized;
  // The button has moved away from under the pointer.
  m_btnMax.m_bHover = FALSE;
  m_btnMax.m_bTracking = FALSE;
}

void CDlgEx::UpdateMaxButton(BOOL bMaximized) {
  if (m_btnMax.GetSafeHwnd() == nullptr) return;
  m_btnMax.SetStateBitmap(bMaximized ? &m_bmpRestore : &m_bmpMax, FALSE);
  m_btnMax.SetToolTipText(CString(bMaximized ? u"还原" : u"最大化"));
}

void CDlgEx::OnSize(UINT nType, int cx, int cy) {
  DefWindowProc(WM_SIZE, nType, MAKELPARAM(cx, cy));
  if (m_bmpBackground.GetSafeHandle() == nullptr) return;
  ApplySkinRegion();
  Invalidate(TRUE);

  int x = cx - m_nSysBtnRight;
  for (CBtnEx* pBtn : {&m_btnClose, &m_btnMax, &m_btnMin}) {
    if (pBtn->GetSafeHwnd() == nullptr) continue;
    CRect rc;
    pBtn->GetWindowRect(&rc);
    ScreenToClient(&rc);
    pBtn->MoveWindow(x - rc.Width(), rc.top, rc.Width(), rc.Height(), TRUE);
    x -= rc.Width();
  }
}
