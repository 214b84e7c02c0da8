#include "ui/ImgProgress.h"
#include "ui/ParentBackground.h"

#include <algorithm>

namespace {
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr UINT kTrackBitmap = 132;
constexpr UINT kFillBitmap = 133;
// An owner that shows the percentage but leaves its colour unset gets plain black text.
constexpr COLORREF kDefaultPercentColour = RGB(0, 0, 0);

SIZE BitmapSize(HBITMAP hBitmap) {
  BITMAP bm{};
  if (hBitmap == nullptr || ::GetObjectW(hBitmap, sizeof(bm), &bm) == 0) return SIZE{};
  return SIZE{bm.bmWidth, bm.bmHeight};
}
}  // namespace

IMPLEMENT_DYNAMIC(CImgProgress, CProgressCtrl)

BEGIN_MESSAGE_MAP(CImgProgress, CProgressCtrl)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
END_MESSAGE_MAP()

CImgProgress::CImgProgress() = default;

CImgProgress::~CImgProgress() { FreeBitmaps(); }

void CImgProgress::FreeBitmaps() {
  if (m_hBkBitmap != nullptr) ::DeleteObject(m_hBkBitmap);
  if (m_hFillBitmap != nullptr) ::DeleteObject(m_hFillBitmap);
  m_hBkBitmap = nullptr;
  m_hFillBitmap = nullptr;
}

BOOL CImgProgress::SetSkin() {
  // A second call replaces the bitmaps instead of leaking the first pair.
  FreeBitmaps();
  m_hBkBitmap = ::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(kTrackBitmap));
  m_hFillBitmap = ::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(kFillBitmap));

  const SIZE track = BitmapSize(m_hBkBitmap);
  if (GetSafeHwnd() != nullptr && track.cx > 0 && track.cy > 0)
    SetWindowPos(nullptr, 0, 0, track.cx, track.cy, SWP_NOZORDER | SWP_NOMOVE);
  m_rcBar = RECT{0, 0, track.cx, track.cy};

  const SIZE fill = BitmapSize(m_hFillBitmap);
  const LONG dx = (track.cx - fill.cx) / 2;
  const LONG dy = (track.cy - fill.cy) / 2;
  m_rcFill = RECT{dx, dy, dx + fill.cx, dy + fill.cy};
  return m_hBkBitmap != nullptr && m_hFillBitmap != nullptr;
}

int CImgProgress::FillLength(int pos, int lower, int upper, int fillWidth) {
  if (upper == lower || fillWidth <= 0) return 0;
  // Quotient first, then the product, both in double precision, truncated toward zero.
  const double len = (static_cast<double>(pos) - lower) * (static_cast<double>(fillWidth) / (static_cast<double>(upper) - lower));
  if (!(len > 0)) return 0;
  return static_cast<int>(std::min(len, static_cast<double>(fillWidth)));
}

BOOL CImgProgress::OnEraseBkgnd(CDC* /*pDC*/) { return TRUE; }

void CImgProgress::OnPaint() {
  CPaintDC dc(this);
  const int w = m_rcBar.right - m_rcBar.left;
  const int h = m_rcBar.bottom - m_rcBar.top;

  CDC memDC;
  CBitmap surface;
  // Before SetSkin the drawing rectangle is empty and there is nothing to paint into.
  if (w <= 0 || h <= 0 || !memDC.CreateCompatibleDC(&dc) || !surface.CreateCompatibleBitmap(&dc, w, h)) return;
  CBitmap* pOld = memDC.SelectObject(&surface);

  DrawParentBackground(&memDC);
  DrawTrack(&memDC);
  DrawFill(&memDC);
  if (m_bShowPercent) DrawPercent(&memDC);

  dc.BitBlt(0, 0, w, h, &memDC, 0, 0, SRCCOPY);
  memDC.SelectObject(pOld);
}

void CImgProgress::DrawParentBackground(CDC* pDC) { ::DrawParentBackground(this, pDC); }

void CImgProgress::DrawTrack(CDC* pDC) {
  if (m_hBkBitmap == nullptr) return;
  CDC bmpDC;
  if (!bmpDC.CreateCompatibleDC(pDC)) return;
  HGDIOBJ hOld = ::SelectObject(bmpDC.GetSafeHdc(), m_hBkBitmap);
  const int w = m_rcBar.right - m_rcBar.left;
  const int h = m_rcBar.bottom - m_rcBar.top;
  pDC->TransparentBlt(0, 0, w, h, &bmpDC, 0, 0, w, h, kMagenta);
  ::SelectObject(bmpDC.GetSafeHdc(), hOld);
}

void CImgProgress::DrawFill(CDC* pDC) {
  if (m_hFillBitmap == nullptr) return;
  int lower = 0, upper = 0;
  GetRange(lower, upper);
  const int fw = m_rcFill.right - m_rcFill.left;
  const int fh = m_rcFill.bottom - m_rcFill.top;
  const int len = FillLength(GetPos(), lower, upper, fw);
  if (len <= 0 || fh <= 0) return;
  const int half = len / 2;
  const int rest = len - half;

  // Both ends of the fill bitmap, nothing stretched: the rounded ends show at every length.
  CDC bmpDC;
  if (!bmpDC.CreateCompatibleDC(pDC)) return;
  HGDIOBJ hOld = ::SelectObject(bmpDC.GetSafeHdc(), m_hFillBitmap);
  if (half > 0) pDC->TransparentBlt(m_rcFill.left, m_rcFill.top, half, fh, &bmpDC, 0, 0, half, fh, kMagenta);
  if (rest > 0) pDC->TransparentBlt(m_rcFill.left + half, m_rcFill.top, rest, fh, &bmpDC, fw - rest, 0, rest, fh, kMagenta);
  ::SelectObject(bmpDC.GetSafeHdc(), hOld);
}

void CImgProgress::DrawPercent(CDC* pDC) {
  int lower = 0, upper = 0;
  GetRange(lower, upper);
  if (upper == lower) return;  // an empty range has no meaningful percentage
  const long long percent = (static_cast<long long>(GetPos()) - lower) * 100 / (static_cast<long long>(upper) - lower);
  CString text;
  text.Format(u"%d%%", static_cast<int>(percent));
  pDC->SetTextColor(m_clrPercent == CLR_INVALID ? kDefaultPercentColour : m_clrPercent);
  pDC->SetBkMode(TRANSPARENT);
  RECT rc = m_rcBar;
  pDC->DrawText(text, &rc, DT_CENTER | DT_VCENTER);
}
