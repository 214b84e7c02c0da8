// The framework's entry with one application object: InitInstance's result decides whether the
// message loop runs; the loop ends by itself once there is no main window; commands the main
// window leaves alone reach the application's map.
#include <gtest/gtest.h>

#include "platform/mfc/afxwin.h"

namespace {

constexpr UINT ID_TEST_APP_COMMAND = 0x7001;
constexpr UINT WM_TEST_PING = WM_APP + 5;

enum class Mode { kFalse, kMinusOne, kMainWindow, kQuitCode };

class CTestApp : public CWinApp {
 public:
  Mode mode = Mode::kFalse;
  int appCommands = 0;
  int pings = 0;
  bool mainGoneAfterClose = false;
  CWnd* mainWnd = nullptr;

  BOOL InitInstance() override {
    CWinApp::InitInstance();
    AfxEnableControlContainer();
    switch (mode) {
      case Mode::kFalse:
        return FALSE;
      case Mode::kMinusOne:
        return -1;
      case Mode::kQuitCode:
        ::PostQuitMessage(3);
        return TRUE;
      case Mode::kMainWindow:
        break;
    }
    static const bool registered = [] {
      WNDCLASSEXW wc;
      wc.lpfnWndProc = &::DefWindowProcW;
      wc.lpszClassName = u"BpMfcAppTest";
      return ::RegisterClassExW(&wc) != 0;
    }();
    if (!registered) return FALSE;
    mainWnd = new CWnd;
    if (!mainWnd->CreateEx(0, u"BpMfcAppTest", u"main", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr)) return FALSE;
    m_pMainWnd = mainWnd;
    // Handled by the application's map (the main window has none), then the close ends the loop.
    ::PostMessageW(*mainWnd, WM_COMMAND, ID_TEST_APP_COMMAND, 0);
    ::PostMessageW(*mainWnd, WM_COMMAND, ID_HELP, 0);
    ::PostMessageW(*mainWnd, WM_CLOSE, 0, 0);
    return TRUE;
  }

  afx_msg void OnAppCommand() { ++appCommands; }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
  ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
  ON_COMMAND(ID_TEST_APP_COMMAND, &CTestApp::OnAppCommand)
END_MESSAGE_MAP()

CTestApp theApp;

bool ThreadMessageWaiting() {
  MSG msg;
  return ::PeekMessageW(&msg, nullptr, WM_TEST_PING, WM_TEST_PING, PM_REMOVE) != 0;
}

TEST(WinApp, TheGlobalObjectIsTheApplication) {
  EXPECT_EQ(AfxGetApp(), &theApp);
  EXPECT_NE(AfxGetInstanceHandle(), nullptr);
  EXPECT_EQ(AfxGetResourceHandle(), AfxGetInstanceHandle());
  EXPECT_STREQ(theApp.GetRuntimeClass()->m_lpszClassName, "CWinApp");
}

TEST(WinApp, FalseFromInitInstanceEndsWithoutALoop) {
  theApp.mode = Mode::kFalse;
  ::PostThreadMessageW(::GetCurrentThreadId(), WM_TEST_PING, 0, 0);
  EXPECT_EQ(AfxWinMain(), 0);
  EXPECT_TRUE(ThreadMessageWaiting());  // nobody took messages from the queue
}

TEST(WinApp, NonzeroWithoutAMainWindowRunsTheLoopWhichQuitsByItself) {
  theApp.mode = Mode::kMinusOne;
  ::PostThreadMessageW(::GetCurrentThreadId(), WM_TEST_PING, 0, 0);
  EXPECT_EQ(AfxWinMain(), 0);
  EXPECT_FALSE(ThreadMessageWaiting());  // the loop ran and took it
}

TEST(WinApp, TheQuitCodeIsTheResult) {
  theApp.mode = Mode::kQuitCode;
  EXPECT_EQ(AfxWinMain(), 3);
}

TEST(WinApp, CommandsReachTheApplicationAndTheLoopEndsWithTheMainWindow) {
  theApp.mode = Mode::kMainWindow;
  theApp.appCommands = 0;
  EXPECT_EQ(AfxWinMain(), 0);
  EXPECT_EQ(theApp.appCommands, 1);
  // The window was destroyed by the close; the application let go of it.
  EXPECT_EQ(theApp.m_pMainWnd, nullptr);
  EXPECT_EQ(AfxGetMainWnd(), nullptr);
  ASSERT_NE(theApp.mainWnd, nullptr);
  EXPECT_EQ(theApp.mainWnd->m_hWnd, nullptr);
  delete theApp.mainWnd;
  theApp.mainWnd = nullptr;
}

}  // namespace
