// CDialog: a dialog made from an RT_DIALOG template resource and run modally by DoModal, which
// creates it modeless and runs its own message loop until EndDialog (as the framework does).
// All members run on the thread that runs the dialog.
#pragma once
#include "platform/mfc/Wnd.h"

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // Runs the dialog until EndDialog; returns EndDialog's value, or -1 when the dialog could not be
  // created or the loop met WM_QUIT (which is posted again for the enclosing loop).
  // The window is destroyed before DoModal returns.
  virtual INT_PTR DoModal();
  // Ends the modal loop after the current message. The dialog's thread only.
  void EndDialog(int nResult);

  // Binds the controls (UpdateData(FALSE) -> DoDataExchange); TRUE lets the dialog manager set focus.
  virtual BOOL OnInitDialog();
  virtual void OnOK();      // UpdateData(TRUE), then EndDialog(IDOK)
  virtual void OnCancel();  // EndDialog(IDCANCEL)

  // Runs dialog-manager keyboard handling (IsDialogMessageW) for keys aimed at this dialog.
  BOOL PreTranslateMessage(MSG* pMsg) override;

  UINT m_nIDHelp;  // the template id

 protected:
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  static void CenterIfNotMoved(HWND hWnd, const RECT& before);
  // Until EndDialog, the window's end or WM_QUIT: each message goes through PreTranslateMessage
  // of its target and the target's parents up to the dialog, else is dispatched.
  void RunModalLoop();

  CWnd* m_pParentWnd;
  BOOL m_bEndModal = FALSE;
  INT_PTR m_nModalResult = -1;
  BOOL m_bInModalLoop = FALSE;

  DECLARE_MESSAGE_MAP()
};
