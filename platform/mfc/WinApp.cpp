#include "platform/mfc/WinApp.h"

#include <atomic>

#include "platform/mfc/Temp.h"
#include "platform/mfc/Wnd.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

namespace {
std::atomic<CWinApp*> g_app{nullptr};
// HINSTANCE is only a token: one program, one resource set.
int g_instanceToken = 0;
}  // namespace

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_hInstance(reinterpret_cast<HINSTANCE>(&g_instanceToken)), m_pszAppName(lpszAppName) {
  CWinApp* expected = nullptr;
  g_app.compare_exchange_strong(expected, this);  // the first one is the application
}

CWinApp::~CWinApp() {
  CWinApp* self = this;
  g_app.compare_exchange_strong(self, nullptr);
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  const bp::mfc::LoopScope loop;
  for (;;) {
    if (!::PeekMessageW(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
      if (loop.Outermost()) bp::mfc::PurgeTemps();
      if (!m_pMainWnd) ::PostQuitMessage(0);
    }
    const BOOL got = ::GetMessageW(&m_msgCur, nullptr, 0, 0);
    if (got == 0) break;
    if (got < 0) {
      m_msgCur.wParam = 0;
      break;
    }
    if (!PreTranslateMessage(&m_msgCur)) {
      ::TranslateMessage(&m_msgCur);
      ::DispatchMessageW(&m_msgCur);
    }
  }
  return ExitInstance();
}

int CWinApp::ExitInstance() {
  bp::mfc::PurgeTemps();
  return static_cast<int>(m_msgCur.wParam);
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) { return CWnd::WalkPreTranslateTree(nullptr, pMsg); }

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() { return g_app.load(); }

CWnd* AfxGetMainWnd() {
  CWinApp* app = AfxGetApp();
  return app ? app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() { return reinterpret_cast<HINSTANCE>(&g_instanceToken); }
HINSTANCE AfxGetResourceHandle() { return reinterpret_cast<HINSTANCE>(&g_instanceToken); }
void AfxEnableControlContainer() {}

int AfxWinMain() {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  if (!app->InitInstance()) return app->ExitInstance();
  return app->Run();
}
