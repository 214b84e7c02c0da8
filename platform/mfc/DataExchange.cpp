#include "platform/mfc/DataExchange.h"

#include "platform/mfc/Wnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (!pDX || rControl.m_hWnd) return;
  HWND item = pDX->m_pDlgWnd ? ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC) : nullptr;
  if (!item || !rControl.SubclassWindow(item)) pDX->Fail();
}
