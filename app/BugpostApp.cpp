#include "app/BugpostApp.h"

#include <cstdio>
#include <unistd.h>

#include "app/BugpostDlg.h"
#include "app/Startup.h"

// How long a closed dialog waits for a running upload to stop before the process ends anyway.
constexpr DWORD kWorkerStopWaitMs = 300;

BEGIN_MESSAGE_MAP(CBugpostApp, CWinApp)
  ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CBugpostApp::CBugpostApp() : CWinApp(nullptr) {}

CBugpostApp::~CBugpostApp() = default;

BOOL CBugpostApp::InitInstance() {
  StartupDecision decision = DecideStartup();
  if (decision.outcome == StartupOutcome::AnotherInstance) return FALSE;
  if (decision.outcome != StartupOutcome::Run) return -1;
  // Without a screen the dialog would wait, unseen, for ever; the report stays on disk.
  if (::GetSystemMetrics(SM_CMONITORS) == 0) {
    std::fputs("bugpost: no display to show the report dialog on; send the report with bugpost-send\n", stderr);
    return -1;
  }

  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_WIN95_CLASSES;
  ::InitCommonControlsEx(&icc);
  CWinApp::InitInstance();
  AfxEnableControlContainer();

  {
    CBugpostDlg dlg;
    dlg.m_strBasePath = decision.basePath;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // The dialog's window is gone; a worker still uploading holds the dialog object and uses
    // the process's singletons. Stop it; if it does not end in time, end the process here,
    // before the dialog or any static goes away under it.
    if (!dlg.FinishAttempt(kWorkerStopWaitMs)) {
      std::fflush(nullptr);
      _exit(0);
    }
  }
  return FALSE;
}
