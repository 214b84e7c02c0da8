#include "ui/StaticEx.h"
#include "ui/ParentBackground.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {
constexpr UINT kHoverMs = 10;
constexpr int kDefaultFontHeight = -12;
constexpr int kIconGap = 6;  // icon width + this much leaves the text area
constexpr std::u16string_view kFaceName = u"微软雅黑";
// Ten typical characters: their mean width is the label's average character width.
constexpr const char16_t* kMeasureText = u"测试用汉字来获取宽度";

int LineWidth(CDC* pDC, const CString& line) {
  CRect rc(0, 0, 0, 0);
  pDC->DrawText(line, &rc, DT_CALCRECT | DT_SINGLELINE);
  return rc.Width();
}
}  // namespace

IMPLEMENT_DYNAMIC(CStaticEx, CStatic)

BEGIN_MESSAGE_MAP(CStaticEx, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SETCURSOR()
  ON_WM_MOUSEMOVE()
  ON_MESSAGE(WM_MOUSEHOVER, &CStaticEx::OnMouseHover)
  ON_MESSAGE(WM_MOUSELEAVE, &CStaticEx::OnMouseLeave)
END_MESSAGE_MAP()

CStaticEx::CStaticEx() = default;
CStaticEx::~CStaticEx() = default;

void CStaticEx::PreSubclassWindow() {
  GetWindowText(m_strText);
  CStatic::PreSubclassWindow();
}

void CStaticEx::OnPaint() {
  CPaintDC dc(this);
  CRect rcWnd;
  GetWindowRect(&rcWnd);
  const int w = rcWnd.Width();
  const int h = rcWnd.Height();

  CDC memDC;
  CBitmap surface;
  if (w <= 0 || h <= 0 || !memDC.CreateCompatibleDC(&dc) || !surface.CreateCompatibleBitmap(&dc, w, h)) return;
  CBitmap* pOld = memDC.SelectObject(&surface);

  DrawBackground(&memDC);
  DrawLabel(&memDC);

  dc.BitBlt(0, 0, w, h, &memDC, 0, 0, SRCCOPY);
  memDC.SelectObject(pOld);
}

void CStaticEx::DrawBackground(CDC* pDC) {
  CRect rcWnd;
  GetWindowRect(&rcWnd);
  const int saved = pDC->SaveDC();
  ::DrawParentBackground(this, pDC);
  pDC->RestoreDC(saved);

  const int x = m_bIconRight ? rcWnd.Width() - m_nIconWidth - 3 : 3;
  const int y = (rcWnd.Height() - m_nIconHeight) / 2;
  if (m_imgIcon.GetSafeHandle() != nullptr) {
    m_imgIcon.Draw(pDC, m_nIconImage, CPoint(x, y), ILD_TRANSPARENT);
  } else if (m_hIcon != nullptr) {
    ::DrawIconEx(pDC->GetSafeHdc(), x, y, m_hIcon, 16, 16, 0, nullptr, DI_NORMAL);
  }
}

CFont* CStaticEx::GetLabelFont() {
  if (m_font.GetSafeHandle() != nullptr) return &m_font;
  HFONT hBase = GetSafeHwnd() != nullptr ? reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0)) : nullptr;
  if (hBase == nullptr) hBase = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
  LOGFONTW lf{};
  ::GetObjectW(hBase, sizeof(lf), &lf);
  lf.lfHeight = m_nFontHeight != 0 ? m_nFontHeight : kDefaultFontHeight;
  if (m_nFontWeight != -1) lf.lfWeight = m_nFontWeight;
  if (m_nFontWidth != 0) lf.lfWidth = m_nFontWidth;
  if (m_bUnderline != 0) lf.lfUnderline = static_cast<BYTE>(m_bUnderline & 0xFF);
  std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), u'\0');
  std::copy(kFaceName.begin(), kFaceName.end(), lf.lfFaceName);
  m_font.CreateFontIndirect(&lf);
  return &m_font;
}

int CStaticEx::DrawLabel(CDC* pDC) {
  CRect rcText;
  GetClientRect(&rcText);
  if (m_nIconWidth != 0) {
    if (m_bIconRight)
      rcText.right -= m_nIconWidth + kIconGap;
    else
      rcText.left += m_nIconWidth + kIconGap;
  }

  const DWORD style = GetStyle();
  UINT format = DT_WORDBREAK;
  if (style & SS_CENTER)
    format = DT_CENTER | DT_VCENTER | DT_WORDBREAK;
  else if (style & SS_RIGHT)
    format = DT_RIGHT | DT_WORDBREAK;
  if (style & SS_ENDELLIPSIS) format |= DT_END_ELLIPSIS;
  if (style & SS_PATHELLIPSIS) format |= DT_PATH_ELLIPSIS | DT_SINGLELINE;
  if (style & SS_CENTERIMAGE) format |= DT_SINGLELINE | DT_VCENTER;

  pDC->SetBkMode(TRANSPARENT);
  pDC->SetTextColor(m_bHoverColor && m_bHover ? m_clrHover : m_clrText);
  CFont* pOldFont = pDC->SelectObject(GetLabelFont());

  CRect rcMeasure(0, 0, 0, 0);
  pDC->DrawText(kMeasureText, &rcMeasure, DT_CALCRECT | DT_SINGLELINE);
  const int avgWidth = rcMeasure.Width() / 10;
  const int lh = rcMeasure.Height();
  const int areaWidth = rcText.Width();
  const int step = lh + m_nLineSpacing;

  if (avgWidth > areaWidth) {
    pDC->SelectObject(pOldFont);
    return 0;
  }

  const std::vector<CString> lines =
      WrapText(m_strText, areaWidth, [pDC](const CString& line) { return LineWidth(pDC, line); });
  CRect rcLine(rcText.left, rcText.top, rcText.right, rcText.top + lh);
  for (const CString& line : lines) {
    pDC->DrawText(line, &rcLine, format);  // clipped to the line's rectangle
    rcLine.OffsetRect(0, step);
  }
  pDC->SelectObject(pOldFont);

  const int needed = lh + step * (static_cast<int>(lines.size()) - 1);
  CRect rcWnd;
  GetWindowRect(&rcWnd);
  if (rcWnd.Height() < needed) {
    if (CWnd* pParent = GetParent()) pParent->ScreenToClient(&rcWnd);
    MoveWindow(rcWnd.left, rcWnd.top, rcWnd.Width(), needed, TRUE);
  }
  return 0;
}

std::vector<CString> CStaticEx::WrapText(const CString& text, int areaWidth,
                                         const std::function<int(const CString&)>& measure) {
  std::vector<CString> lines(1);
  const int length = text.GetLength();
  for (int i = 0; i < length; ++i) {
    const char16_t ch = text[i];
    if (ch == u'\r') continue;
    if (ch == u'\n') {
      lines.emplace_back();
      continue;
    }
    CString& line = lines.back();
    const CString before = line;
    line += ch;
    // A character wider than the whole area stays alone on its line (clipped there): breaking
    // before it would hand it to the next line again, for ever.
    if (!before.IsEmpty() && measure(line) > areaWidth) {
      line = before;
      CString next;
      next += ch;
      lines.push_back(next);
    }
  }
  return lines;
}

BOOL CStaticEx::OnEraseBkgnd(CDC* /*pDC*/) { return TRUE; }

BOOL CStaticEx::OnSetCursor(CWnd* /*pWnd*/, UINT /*nHitTest*/, UINT /*message*/) {
  if (m_bHandCursor) ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  return TRUE;  // without the hand, the label sets nothing and still counts the cursor as set
}

void CStaticEx::OnMouseMove(UINT /*nFlags*/, CPoint /*point*/) {
  if (!m_bTracking) {
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof(tme);
    tme.dwFlags = TME_HOVER | TME_LEAVE;
    tme.hwndTrack = m_hWnd;
    tme.dwHoverTime = kHoverMs;
    m_bTracking = _TrackMouseEvent(&tme);
  }
  Default();
}

LRESULT CStaticEx::OnMouseHover(WPARAM /*wParam*/, LPARAM /*lParam*/) {
  m_bHover = TRUE;
  Invalidate(FALSE);
  return 0;
}

LRESULT CStaticEx::OnMouseLeave(WPARAM /*wParam*/, LPARAM /*lParam*/) {
  m_bHover = FALSE;
  m_bTracking = FALSE;
  Invalidate(FALSE);
  return 0;
}
