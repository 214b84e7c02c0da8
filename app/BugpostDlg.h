// CBugpostDlg: the program's only window. Tells the user the product crashed, sends the report
// on request through the upload worker and shows its progress; closes on success, offers a retry
// on failure. Lives on the UI thread; only OnProgress runs on the worker's thread.
#pragma once
#include <atomic>
#include <string>

#include "Common/NetworkCallback.h"
#include "app/ReportSource.h"
#include "platform/mfc/afxwin.h"
#include "ui/BtnEx.h"
#include "ui/DlgEx.h"
#include "ui/ImgProgress.h"
#include "ui/StaticEx.h"

class CBugpostDlg : public CDlgEx, public UploadCallback, public ReportSource {
 public:
  explicit CBugpostDlg(CWnd* pParent = nullptr);
  ~CBugpostDlg() override;

  // UploadCallback: called on the worker's thread.
  void OnStart() override;
  void OnFinish(bool flag, int code) override;
  void OnProgress(double total, double now) override;

  // ReportSource: what the worker reads of the dialog; fixed before a worker starts.
  std::string BasePath() const override;
  HWND Window() const override;
  UploadCallback& Callback() override;

  // After the modal run: stops a running attempt and waits for its worker at most timeoutMs.
  // True when no worker is left running, so the dialog may be destroyed safely.
  bool FinishAttempt(DWORD timeoutMs);

  std::string m_strBasePath;
  HICON m_hAppIcon = nullptr;
  CBtnEx m_btnSend;
  CStaticEx m_stMessage;
  CStaticEx m_stHeadline;
  CImgProgress m_progress;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnCancel() override;

  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnSendClicked();
  afx_msg LRESULT OnSendResult(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  void SetMessageText(const CString& text);
  void ShowFailure();

  // Copies fixed at initialisation, so the worker never reads a control object that the UI
  // thread changes (its handle is cleared when the window goes).
  HWND m_hWndSelf = nullptr;
  HWND m_hWndProgress = nullptr;
  // One attempt at a time: Enter can reach the hidden default button while a worker runs.
  bool m_bSending = false;
  HANDLE m_hWorker = nullptr;
};
