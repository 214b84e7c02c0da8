#include "app/BugpostDlg.h"

#include <algorithm>
#include <cmath>

#include "app/SendReportThread.h"
#include "app/resource.h"

namespace {
constexpr char16_t kHeadline[] = u"程序崩溃啦，囧。。";
constexpr char16_t kInvitation[] = u"希望您将此错误报告发送给我们，帮助我们做得更好！";
constexpr char16_t kSending[] = u"正在发送崩溃报告，请稍候...";
constexpr char16_t kSent[] = u"发送完成！";
constexpr char16_t kFailed[] = u"发送失败！";
constexpr char16_t kRetry[] = u"重试";
constexpr COLORREF kTextGrey = RGB(102, 102, 102);
}  // namespace

BEGIN_MESSAGE_MAP(CBugpostDlg, CDlgEx)
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_BN_CLICKED(IDC_BTN_SEND, &CBugpostDlg::OnSendClicked)
  ON_MESSAGE(WM_SEND_RESULT, &CBugpostDlg::OnSendResult)
END_MESSAGE_MAP()

CBugpostDlg::CBugpostDlg(CWnd* pParent) : CDlgEx(IDD_BUGPOST_DIALOG, pParent) {
  m_hAppIcon = ::LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CBugpostDlg::~CBugpostDlg() {
  if (m_hWorker) ::CloseHandle(m_hWorker);
}

void CBugpostDlg::DoDataExchange(CDataExchange* pDX) {
  CDlgEx::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_BTN_SEND, m_btnSend);
  DDX_Control(pDX, IDC_ST_MESSAGE, m_stMessage);
  DDX_Control(pDX, IDC_PROGRESS, m_progress);
  DDX_Control(pDX, IDC_ST_HEADLINE, m_stHeadline);
}

BOOL CBugpostDlg::OnInitDialog() {
  CDlgEx::OnInitDialog();
  SetIcon(m_hAppIcon, TRUE);

  m_nCaptionHeight = 40;
  m_nSysBtnRight = 0;
  m_nSysBtnTop = 0;
  m_nBorder = 0;
  SetSkin();

  m_btnSend.LoadStateBitmap(IDB_SEND_BUTTON, TRUE);
  m_btnSend.m_clrText = RGB(255, 255, 255);
  m_btnSend.MoveWindow(150, 210, 100, 32);

  m_stHeadline.m_strText = kHeadline;
  m_stHeadline.InvalidateRect(nullptr, TRUE);
  m_stHeadline.m_clrText = kTextGrey;
  m_stHeadline.m_nFontWeight = 500;
  m_stHeadline.m_nFontHeight = 20;
  m_stHeadline.MoveWindow(30, 70, 300, 22);

  m_stMessage.m_strText = kInvitation;
  m_stMessage.InvalidateRect(nullptr, TRUE);
  m_stMessage.m_clrText = kTextGrey;
  m_stMessage.MoveWindow(30, 100, 340, 80);

  m_progress.SetSkin();
  m_progress.MoveWindow(35, 130, 330, 8);
  m_progress.ShowWindow(SW_HIDE);

  m_hWndSelf = GetSafeHwnd();
  m_hWndProgress = m_progress.GetSafeHwnd();
  return TRUE;
}

void CBugpostDlg::OnCancel() { CDlgEx::OnCancel(); }

void CBugpostDlg::SetMessageText(const CString& text) {
  m_stMessage.m_strText = text;
  m_stMessage.InvalidateRect(nullptr, TRUE);
}

void CBugpostDlg::OnSendClicked() {
  if (m_bSending) return;
  m_bSending = true;

  m_btnSend.ShowWindow(SW_HIDE);
  m_stHeadline.ShowWindow(SW_HIDE);
  m_stMessage.MoveWindow(40, 110, 320, 16);
  SetMessageText(kSending);
  m_progress.ShowWindow(SW_SHOW);

  if (m_hWorker) {  // the last attempt's thread has posted its result and is ending
    ::CloseHandle(m_hWorker);
    m_hWorker = nullptr;
  }
  stopRequested = false;
  m_hWorker = ::CreateThread(nullptr, 0, SendReportThread, static_cast<ReportSource*>(this), 0, nullptr);
  // Without a thread no result would ever come: fail the attempt now instead of hanging.
  if (!m_hWorker) ShowFailure();
}

LRESULT CBugpostDlg::OnSendResult(WPARAM wParam, LPARAM /*lParam*/) {
  m_bSending = false;
  if (wParam == 1) {
    SetMessageText(kSent);
    OnSysClose();
  } else {
    ShowFailure();
  }
  return 0;
}

void CBugpostDlg::ShowFailure() {
  m_bSending = false;
  SetMessageText(kFailed);
  m_btnSend.ShowWindow(SW_SHOW);
  m_btnSend.m_strText = kRetry;
  m_btnSend.InvalidateRect(nullptr, TRUE);
}

void CBugpostDlg::OnPaint() {
  if (!IsIconic()) {
    Default();
    return;
  }
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  int cxIcon = ::GetSystemMetrics(SM_CXICON);
  int cyIcon = ::GetSystemMetrics(SM_CYICON);
  CRect rect;
  GetClientRect(&rect);
  int x = (rect.Width() - cxIcon + 1) / 2;
  int y = (rect.Height() - cyIcon + 1) / 2;
  dc.DrawIcon(x, y, m_hAppIcon);
}

HCURSOR CBugpostDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hAppIcon); }

void CBugpostDlg::OnStart() {}

void CBugpostDlg::OnFinish(bool /*flag*/, int /*code*/) {}

void CBugpostDlg::OnProgress(double total, double now) {
  // A total of 0 makes the quotient no number, whose conversion to an integer is undefined.
  WPARAM pos = 0;
  if (total > 0 && std::isfinite(now)) {
    double percent = std::clamp(now / total * 100.0, 0.0, 100.0);
    pos = static_cast<WPARAM>(static_cast<int>(percent));
  }
  ::SendMessageW(m_hWndProgress, PBM_SETPOS, pos, 0);
}

std::string CBugpostDlg::BasePath() const { return m_strBasePath; }

HWND CBugpostDlg::Window() const { return m_hWndSelf; }

UploadCallback& CBugpostDlg::Callback() { return *this; }

bool CBugpostDlg::FinishAttempt(DWORD timeoutMs) {
  if (!m_hWorker) return true;
  if (::WaitForSingleObject(m_hWorker, 0) == WAIT_OBJECT_0) return true;
  stopRequested = true;
  return ::WaitForSingleObject(m_hWorker, timeoutMs) == WAIT_OBJECT_0;
}
