// CDialog from a template resource, its controls bound by DDX_Control, run modally by DoModal
// and ended by EndDialog, by WM_SYSCOMMAND SC_CLOSE, by the keyboard and by WM_QUIT; messages
// pre-translated on the way; and a control sent to from another thread while the loop runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend/headless/headless.h"
#include "platform/mfc/Temp.h"
#include "platform/mfc/afxwin.h"

namespace {

constexpr UINT IDD_TEST = 200;
constexpr UINT IDD_MISSING = 201;
constexpr int IDC_SEND = 1000, IDC_LABEL = 1001, IDC_PROGRESS = 1002;
constexpr UINT WM_TEST_END = WM_APP + 1;
constexpr UINT WM_TEST_PING = WM_APP + 2;
constexpr UINT WM_TEST_NESTED = WM_APP + 3;
constexpr UINT WM_TEST_COUNT = WM_APP + 4;

class CHookButton : public CButton {
  DECLARE_DYNAMIC(CHookButton)

 public:
  CString textAtHook;
  bool hooked = false;
  std::atomic<int> draws{0};
  UINT lastState = 0;
  std::vector<UINT> preTranslated;

  void PreSubclassWindow() override {
    hooked = true;
    GetWindowText(textAtHook);
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
  }
  void DrawItem(LPDRAWITEMSTRUCT dis) override {
    lastState = dis->itemState;
    ++draws;
  }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    preTranslated.push_back(pMsg->message);
    return CButton::PreTranslateMessage(pMsg);
  }
};
IMPLEMENT_DYNAMIC(CHookButton, CButton)

class CHookStatic : public CStatic {
  DECLARE_DYNAMIC(CHookStatic)

 public:
  CString textAtHook;
  void PreSubclassWindow() override { GetWindowText(textAtHook); }
};
IMPLEMENT_DYNAMIC(CHookStatic, CStatic)

class CTestDialog : public CDialog {
  DECLARE_DYNAMIC(CTestDialog)

 public:
  explicit CTestDialog(UINT id = IDD_TEST) : CDialog(id) {}

  CHookButton m_btnSend;
  CHookStatic m_stLabel;
  CProgressCtrl m_progress;
  int bindMissing = 0;  // a DDX_Control for an id the template lacks

  std::function<void(CTestDialog&)> onInit;
  std::atomic<HWND> hwnd{nullptr};
  BOOL updateResult = TRUE;
  bool controlsBoundAtInit = false;
  std::atomic<int> clicks{0};
  int cancels = 0;
  std::vector<UINT> preTranslated;

  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SEND, m_btnSend);
    if (bindMissing) DDX_Control(pDX, bindMissing, m_progress);
    DDX_Control(pDX, IDC_LABEL, m_stLabel);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
  }
  BOOL OnInitDialog() override {
    updateResult = UpdateData(FALSE);
    controlsBoundAtInit = m_btnSend.m_hWnd && m_stLabel.m_hWnd && m_progress.m_hWnd;
    hwnd = m_hWnd;
    if (onInit) onInit(*this);
    return TRUE;
  }
  void OnCancel() override {
    ++cancels;
    CDialog::OnCancel();
  }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    preTranslated.push_back(pMsg->message);
    return CDialog::PreTranslateMessage(pMsg);
  }

  afx_msg LRESULT OnTestEnd(WPARAM wParam, LPARAM) {
    EndDialog(static_cast<int>(wParam));
    return 0;
  }
  afx_msg void OnSendClicked() { ++clicks; }

  // A nested modal run inside a handler that holds a temporary wrapper.
  HWND unbound = nullptr;
  std::atomic<HWND> innerHwnd{nullptr};
  bool tempSurvivedNestedLoop = false;
  INT_PTR nestedResult = 0;
  afx_msg LRESULT OnNested(WPARAM, LPARAM) {
    CWnd* temp = CWnd::FromHandle(unbound);
    CTestDialog inner;
    inner.onInit = [this](CTestDialog& d) { innerHwnd = d.m_hWnd; };
    nestedResult = inner.DoModal();
    tempSurvivedNestedLoop = CWnd::FromHandle(unbound) == temp && temp->m_hWnd == unbound;
    return 0;
  }
  std::atomic<int> tempsSeen{-1};
  afx_msg LRESULT OnCount(WPARAM, LPARAM) {
    tempsSeen = bp::mfc::TempCount();
    return 0;
  }

  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNAMIC(CTestDialog, CDialog)

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
  ON_MESSAGE(WM_TEST_END, &CTestDialog::OnTestEnd)
  ON_BN_CLICKED(IDC_SEND, &CTestDialog::OnSendClicked)
  ON_MESSAGE(WM_TEST_NESTED, &CTestDialog::OnNested)
  ON_MESSAGE(WM_TEST_COUNT, &CTestDialog::OnCount)
END_MESSAGE_MAP()

bool Has(const std::vector<UINT>& v, UINT m) {
  for (UINT x : v)
    if (x == m) return true;
  return false;
}

// Ends a dialog that would otherwise never end, so a broken test fails instead of hanging.
class Watchdog {
 public:
  explicit Watchdog(std::atomic<HWND>& target) : m_thread([this, &target] {
      std::unique_lock lock(m_mutex);
      if (!m_cv.wait_for(lock, std::chrono::seconds(20), [this] { return m_done; }))
        if (HWND h = target.load()) ::PostMessageW(h, WM_TEST_END, static_cast<WPARAM>(-2), 0);
    }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(m_mutex);
      m_done = true;
    }
    m_cv.notify_all();
    m_thread.join();
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_done = false;
  std::thread m_thread;
};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { bp::headless::Use(); }
};

TEST_F(DialogTest, BindsControlsAndEndsByEndDialog) {
  CTestDialog dlg;
  dlg.onInit = [](CTestDialog& d) {
    d.m_btnSend.PostMessage(WM_TEST_PING);  // pre-translated by the button, then by the dialog
    d.PostMessage(WM_TEST_END, 42);
  };
  EXPECT_EQ(dlg.DoModal(), 42);

  EXPECT_TRUE(dlg.updateResult);
  EXPECT_TRUE(dlg.controlsBoundAtInit);
  EXPECT_TRUE(dlg.m_btnSend.hooked);
  EXPECT_TRUE(dlg.m_btnSend.textAtHook == u"发送");
  EXPECT_TRUE(dlg.m_stLabel.textAtHook == u"Static");
  EXPECT_STREQ(dlg.m_btnSend.GetRuntimeClass()->m_lpszClassName, "CHookButton");
  EXPECT_STREQ(dlg.m_stLabel.GetRuntimeClass()->m_lpszClassName, "CHookStatic");
  EXPECT_STREQ(dlg.GetRuntimeClass()->m_lpszClassName, "CTestDialog");
  EXPECT_TRUE(Has(dlg.m_btnSend.preTranslated, WM_TEST_PING));
  EXPECT_TRUE(Has(dlg.preTranslated, WM_TEST_PING));
  EXPECT_TRUE(Has(dlg.preTranslated, WM_TEST_END));
  EXPECT_FALSE(Has(dlg.m_btnSend.preTranslated, WM_TEST_END));  // not aimed at the button

  // DoModal destroyed the window and its children; the objects are unbound.
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(dlg.m_btnSend.m_hWnd, nullptr);
  EXPECT_EQ(dlg.m_progress.m_hWnd, nullptr);
  EXPECT_FALSE(::IsWindow(dlg.hwnd.load()));
  EXPECT_EQ(CWnd::FromHandlePermanent(dlg.hwnd.load()), nullptr);
}

TEST_F(DialogTest, SysCommandCloseEndsAsCancel) {
  CTestDialog dlg;
  dlg.onInit = [](CTestDialog& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE); };
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.cancels, 1);
}

TEST_F(DialogTest, OkButtonEndsWithIdOk) {
  CTestDialog dlg;
  dlg.onInit = [](CTestDialog& d) { d.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED)); };
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.cancels, 0);
}

TEST_F(DialogTest, EndDialogDuringInitialisationReturnsAtOnce) {
  CTestDialog dlg;
  dlg.onInit = [](CTestDialog& d) { d.EndDialog(7); };
  EXPECT_EQ(dlg.DoModal(), 7);
  EXPECT_FALSE(::IsWindow(dlg.hwnd.load()));
  // The same object can run again.
  dlg.onInit = [](CTestDialog& d) { d.EndDialog(8); };
  EXPECT_EQ(dlg.DoModal(), 8);
}

TEST_F(DialogTest, QuitEndsTheLoopAndIsLeftForTheOuterOne) {
  CTestDialog dlg;
  dlg.onInit = [](CTestDialog&) { ::PostQuitMessage(5); };
  EXPECT_EQ(dlg.DoModal(), -1);
  MSG msg;
  ASSERT_EQ(::GetMessageW(&msg, nullptr, 0, 0), FALSE);  // WM_QUIT is there again
  EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(DialogTest, MissingTemplateOrControl) {
  CTestDialog missing(IDD_MISSING);
  EXPECT_EQ(missing.DoModal(), -1);
  EXPECT_EQ(missing.m_hWnd, nullptr);

  CTestDialog dlg;
  dlg.bindMissing = 1999;
  dlg.onInit = [](CTestDialog& d) { d.EndDialog(1); };
  EXPECT_EQ(dlg.DoModal(), 1);
  EXPECT_FALSE(dlg.updateResult);       // the exchange reports the missing item
  EXPECT_TRUE(dlg.controlsBoundAtInit);  // and binds the others all the same
}

TEST_F(DialogTest, OwnerDrawnControlDrawsItselfInThePaintCycle) {
  CTestDialog dlg;
  Watchdog watchdog(dlg.hwnd);
  std::thread driver([&] {
    while (!dlg.hwnd.load()) std::this_thread::yield();
    ASSERT_TRUE(bp::headless::WaitIdle());
    ::PostMessageW(dlg.hwnd.load(), WM_TEST_END, dlg.m_btnSend.draws.load() > 0 ? 1 : 0, 0);
  });
  EXPECT_EQ(dlg.DoModal(), 1);
  driver.join();
  EXPECT_EQ(dlg.m_btnSend.lastState & ODS_SELECTED, 0u);
}

TEST_F(DialogTest, TemporariesLiveUntilTheOutermostLoopIsIdle) {
  CTestDialog dlg;
  Watchdog watchdog(dlg.hwnd);
  dlg.onInit = [](CTestDialog& d) {
    d.unbound = ::CreateWindowExW(0, u"Static", u"raw", WS_CHILD, 0, 0, 5, 5, d, nullptr, nullptr, nullptr);
    d.PostMessage(WM_TEST_NESTED);
  };
  std::thread driver([&] {
    while (!dlg.innerHwnd.load()) std::this_thread::yield();
    ASSERT_TRUE(bp::headless::WaitIdle());  // the nested loop idles with the temporary held
    ::PostMessageW(dlg.innerHwnd.load(), WM_TEST_END, 9, 0);
    ASSERT_TRUE(bp::headless::WaitIdle());  // and then the outer loop
    ::SendMessageW(dlg.hwnd.load(), WM_TEST_COUNT, 0, 0);
    ::PostMessageW(dlg.hwnd.load(), WM_TEST_END, 1, 0);
  });
  EXPECT_EQ(dlg.DoModal(), 1);
  driver.join();
  EXPECT_EQ(dlg.nestedResult, 9);
  EXPECT_TRUE(dlg.tempSurvivedNestedLoop);
  EXPECT_EQ(dlg.tempsSeen.load(), 0);
}

// Input from another thread while DoModal blocks the dialog's: a click on the send button, the
// keyboard's default button (Enter) and Esc through the dialog manager.
TEST_F(DialogTest, KeyboardAndPointerDuringTheModalLoop) {
  CTestDialog dlg;
  Watchdog watchdog(dlg.hwnd);
  int clicksAfterPointer = -1, clicksAfterEnter = -1;
  std::thread driver([&] {
    while (!dlg.hwnd.load()) std::this_thread::yield();
    ASSERT_TRUE(bp::headless::WaitIdle());
    RECT rc{};
    ::GetWindowRect(::GetDlgItem(dlg.hwnd.load(), IDC_SEND), &rc);
    bp::headless::Click((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ASSERT_TRUE(bp::headless::WaitIdle());
    clicksAfterPointer = dlg.clicks.load();
    bp::headless::PressKey(VK_RETURN);
    ASSERT_TRUE(bp::headless::WaitIdle());
    clicksAfterEnter = dlg.clicks.load();
    bp::headless::PressKey(VK_ESCAPE);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  driver.join();
  EXPECT_EQ(clicksAfterPointer, 1);
  EXPECT_EQ(clicksAfterEnter, 2);
  EXPECT_EQ(dlg.cancels, 1);
  EXPECT_TRUE(Has(dlg.preTranslated, WM_KEYDOWN));
  EXPECT_TRUE(Has(dlg.m_btnSend.preTranslated, WM_LBUTTONDOWN));
}

// A worker thread's SendMessageW to the progress bar waits until the dialog's thread, inside
// DoModal, has handled it, as the upload's progress reports do.
TEST_F(DialogTest, SendMessageFromAnotherThreadWhileTheLoopRuns) {
  CTestDialog dlg;
  Watchdog watchdog(dlg.hwnd);
  std::vector<LRESULT> previous;
  int rangeLow = -1, rangeHigh = -1;
  std::thread worker([&] {
    while (!dlg.hwnd.load()) std::this_thread::yield();
    HWND bar = ::GetDlgItem(dlg.hwnd.load(), IDC_PROGRESS);
    for (int pos : {10, 50, 99, 150}) previous.push_back(::SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(pos), 0));
    // The wrapper sends too, so it works from this thread as well.
    dlg.m_progress.GetRange(rangeLow, rangeHigh);
    previous.push_back(dlg.m_progress.GetPos());
    ::PostMessageW(dlg.hwnd.load(), WM_TEST_END, 3, 0);
  });
  EXPECT_EQ(dlg.DoModal(), 3);
  worker.join();
  EXPECT_EQ(previous, (std::vector<LRESULT>{0, 10, 50, 99, 100}));  // 150 clamps to the range
  EXPECT_EQ(rangeLow, 0);
  EXPECT_EQ(rangeHigh, 100);
}

}  // namespace
