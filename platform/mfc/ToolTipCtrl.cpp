#include "platform/mfc/ToolTipCtrl.h"

IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

namespace {

TOOLINFOW ToolOf(CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFOW ti;
  if (nIDTool == 0) {
    ti.uFlags = TTF_IDISHWND;
    CWnd* parent = pWnd ? pWnd->GetParent() : nullptr;
    ti.hwnd = parent ? parent->m_hWnd : (pWnd ? pWnd->m_hWnd : nullptr);
    ti.uId = reinterpret_cast<UINT_PTR>(pWnd ? pWnd->m_hWnd : nullptr);
  } else {
    ti.hwnd = pWnd ? pWnd->m_hWnd : nullptr;
    ti.uId = nIDTool;
  }
  return ti;
}

}  // namespace

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  return CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | dwStyle, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr);
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  if (!pWnd) return FALSE;
  TOOLINFOW ti = ToolOf(pWnd, nIDTool);
  if (lpRectTool) ti.rect = *lpRectTool;
  ti.lpszText = const_cast<LPWSTR>(lpszText);
  return SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) ? TRUE : FALSE;
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  if (!pWnd) return;
  TOOLINFOW ti = ToolOf(pWnd, nIDTool);
  ti.lpszText = const_cast<LPWSTR>(lpszText);
  SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg)); }

void CToolTipCtrl::SetDelayTime(UINT nDelay) { SetDelayTime(nDelay, static_cast<int>(TTDT_AUTOMATIC)); }

void CToolTipCtrl::SetDelayTime(DWORD dwDuration, int iTime) {
  SendMessage(TTM_SETDELAYTIME, static_cast<WPARAM>(iTime), MAKELPARAM(static_cast<int>(dwDuration), 0));
}

void CToolTipCtrl::Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, static_cast<WPARAM>(bActivate)); }
