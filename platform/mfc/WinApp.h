// CWinApp, the application object, and the framework's global accessors.
// One CWinApp exists per program, constructed at static initialisation; the framework's entry
// (AfxWinMain, called by main) runs its InitInstance and then, when that returns nonzero, its
// message loop. The accessors may be called from any thread; the loop runs on the main thread.
#pragma once
#include "platform/mfc/CmdTarget.h"

class CWnd;

class CWinApp : public CCmdTarget {
  DECLARE_DYNAMIC(CWinApp)

 public:
  explicit CWinApp(LPCTSTR lpszAppName = nullptr);
  ~CWinApp() override;

  virtual BOOL InitInstance();
  // The message loop: ends at WM_QUIT, and posts WM_QUIT itself once idle without a main window.
  // Returns ExitInstance's value.
  virtual int Run();
  virtual int ExitInstance();  // the WM_QUIT exit code
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // There is no help system; the standard help command does nothing.
  afx_msg void OnHelp();

  CWnd* m_pMainWnd = nullptr;  // cleared when that window is destroyed
  HINSTANCE m_hInstance;
  LPCTSTR m_pszAppName;
  MSG m_msgCur;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// Nothing to set up on this platform: no hosted controls.
void AfxEnableControlContainer();
// The framework's entry: InitInstance, then Run when it returned nonzero, else ExitInstance.
int AfxWinMain();
