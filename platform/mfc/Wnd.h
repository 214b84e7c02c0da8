// CWnd: a C++ object bound to a window. Binding (Attach, SubclassWindow, Create) puts the pair in
// the process-wide handle map; a subclassed window's messages then run through WindowProc, which
// dispatches them through the message map and passes the rest to the window's original procedure.
//
// Threads: a CWnd's window and its handlers belong to the thread that created the window. The
// thin wrappers of sendable calls (SendMessage, PostMessage, GetSafeHwnd, GetWindowRect, ...) may
// be called from any thread while the window exists; FromHandle's temporaries are per thread.
#pragma once
#include "platform/mfc/CmdTarget.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObject.h"
#include "platform/mfc/Geometry.h"
#include "platform/mfc/String.h"
#include "platform/win32/windows.h"

class CDataExchange;

class CWnd : public CCmdTarget {
  DECLARE_DYNAMIC(CWnd)

 public:
  CWnd() = default;
  // Destroys a window still bound to the object.
  ~CWnd() override;

  HWND m_hWnd = nullptr;

  operator HWND() const { return m_hWnd; }  // NOLINT
  HWND GetSafeHwnd() const { return m_hWnd; }

  // The bound object of `hWnd`, else a temporary wrapper (see Temp.h); null for a null handle.
  static CWnd* FromHandle(HWND hWnd);
  // The bound object only.
  static CWnd* FromHandlePermanent(HWND hWnd);

  // Binds without touching the window procedure; messages do not reach the message map.
  BOOL Attach(HWND hWndNew);
  HWND Detach();
  // Binds and routes the window's messages through this object; runs PreSubclassWindow first.
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  HWND UnsubclassWindow();

  // Creates the window and subclasses it (PreSubclassWindow runs before Create returns).
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                      CWnd* pParentWnd, UINT nID);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
  virtual BOOL DestroyWindow();

  // Messages
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // A message a child sent to this window about itself (WM_DRAWITEM): TRUE when handled here.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // The framework's loop step: PreTranslateMessage of the target window and then of each parent
  // up to and including hWndStop (or to the top); TRUE as soon as one of them takes the message.
  static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The current message, handed to the window's original procedure.
  LRESULT Default();

  // Geometry and state
  BOOL ShowWindow(int nCmdShow);
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
  void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  void GetWindowRect(LPRECT lpRect) const;
  void GetClientRect(LPRECT lpRect) const;
  void ScreenToClient(LPPOINT lpPoint) const;
  void ScreenToClient(LPRECT lpRect) const;
  void ClientToScreen(LPPOINT lpPoint) const;
  void ClientToScreen(LPRECT lpRect) const;
  void Invalidate(BOOL bErase = TRUE);
  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
  void UpdateWindow();
  BOOL IsIconic() const;
  BOOL IsWindowVisible() const;
  BOOL IsWindowEnabled() const;
  BOOL EnableWindow(BOOL bEnable = TRUE);
  int SetWindowRgn(HRGN hRgn, BOOL bRedraw);
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  // nFlags, when nonzero, are added to SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE.
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

  // Text, font, icon
  void SetWindowText(LPCTSTR lpszString);
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const;
  void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
  CFont* GetFont() const;
  HICON SetIcon(HICON hIcon, BOOL bBigIcon);
  HICON GetIcon(BOOL bBigIcon) const;

  // Relatives
  CWnd* GetParent() const;
  CWnd* GetDlgItem(int nID) const;
  int GetDlgCtrlID() const;
  CWnd* SetCapture();
  CWnd* SetFocus();

  // Dialog data (CDialog calls them; any window may use them).
  virtual void DoDataExchange(CDataExchange* pDX);
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  // Default handlers: each passes the current message to the original procedure.
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg LRESULT OnNcHitTest(CPoint point);
  afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
  afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);

 protected:
  // Runs after binding and before the window procedure is replaced.
  virtual void PreSubclassWindow();
  // Runs after the window is gone (WM_NCDESTROY handled) and the object unbound.
  virtual void PostNcDestroy();

  WNDPROC m_pfnSuper = nullptr;  // the window's own procedure, for default processing

 private:
  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  void OnFinalNcDestroy();
};

// The window procedure of every subclassed window.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
