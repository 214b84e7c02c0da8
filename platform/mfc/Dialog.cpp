#include "platform/mfc/Dialog.h"

#include "platform/mfc/Temp.h"
#include "platform/mfc/WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, &CDialog::OnOK)
  ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

namespace {
// The dialog DoModal is creating on this thread: WM_INITDIALOG binds it.
thread_local CDialog* t_creating = nullptr;
}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;  // the dialog manager's defaults apply
  CDialog* dlg = t_creating;
  if (!dlg) dlg = reinterpret_cast<CDialog*>(lParam);
  t_creating = nullptr;
  if (!dlg) return TRUE;
  if (!dlg->m_hWnd && !dlg->SubclassWindow(hWnd)) return TRUE;
  RECT before{};
  ::GetWindowRect(hWnd, &before);
  INT_PTR result = dlg->OnInitDialog();
  CenterIfNotMoved(hWnd, before);
  return result;
}

// A dialog that did not place itself during its initialisation opens centred on its owner, or
// on the work area when it has none, like the framework's dialogs.
void CDialog::CenterIfNotMoved(HWND hWnd, const RECT& before) {
  if (!::IsWindow(hWnd) || (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD)) return;
  RECT now{};
  ::GetWindowRect(hWnd, &now);
  if (now.left != before.left || now.top != before.top) return;
  RECT area{};
  HWND owner = ::GetParent(hWnd);
  if (owner) {
    ::GetWindowRect(owner, &area);
  } else if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
    return;
  }
  int w = now.right - now.left, h = now.bottom - now.top;
  int x = area.left + (area.right - area.left - w) / 2;
  int y = area.top + (area.bottom - area.top - h) / 2;
  ::SetWindowPos(hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CDialog::DoModal() {
  if (m_hWnd || m_bInModalLoop) return -1;
  HWND hParent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  // The owner takes no input while the dialog runs.
  const bool disableParent = hParent && ::IsWindowEnabled(hParent);
  if (disableParent) ::EnableWindow(hParent, FALSE);

  m_bEndModal = FALSE;
  m_nModalResult = -1;
  CDialog* const outer = t_creating;
  t_creating = this;
  HWND hWnd = ::CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(static_cast<int>(m_nIDHelp)), hParent,
                                   &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  t_creating = outer;
  if (!hWnd || m_hWnd != hWnd) {
    if (hWnd && ::IsWindow(hWnd)) ::DestroyWindow(hWnd);
    if (disableParent) ::EnableWindow(hParent, TRUE);
    return -1;
  }

  if (!m_bEndModal && !IsWindowVisible()) ShowWindow(SW_SHOWNORMAL);
  m_bInModalLoop = TRUE;
  RunModalLoop();
  m_bInModalLoop = FALSE;

  if (disableParent) ::EnableWindow(hParent, TRUE);
  if (m_hWnd) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    DestroyWindow();
  }
  return m_nModalResult;
}

void CDialog::RunModalLoop() {
  const bp::mfc::LoopScope loop;
  MSG msg;
  while (!m_bEndModal && m_hWnd) {
    // Temporaries live until the queue runs dry.
    if (loop.Outermost() && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) bp::mfc::PurgeTemps();
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {  // WM_QUIT: end, and leave it for the loop outside
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      m_nModalResult = -1;
      return;
    }
    if (got < 0) return;
    if (!CWnd::WalkPreTranslateTree(m_hWnd, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  m_bEndModal = TRUE;
  if (m_hWnd) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the loop if the queue is empty
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  if (!pMsg || !m_hWnd) return FALSE;
  if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
  if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)) return FALSE;
  return ::IsDialogMessageW(m_hWnd, pMsg);
}
