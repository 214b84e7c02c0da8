// CProgressCtrl: the "msctls_progress32" common control. The members send the control's
// messages, so (like SendMessage) they may be used from another thread while the window exists.
#pragma once
#include "platform/mfc/Wnd.h"

class CProgressCtrl : public CWnd {
  DECLARE_DYNAMIC(CProgressCtrl)

 public:
  CProgressCtrl() = default;
  ~CProgressCtrl() override = default;

  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int SetPos(int nPos);  // returns the previous position
  int GetPos() const;
  void SetRange(short nLower, short nUpper);
  void SetRange32(int nLower, int nUpper);
  void GetRange(int& nLower, int& nUpper) const;

  using CWnd::Create;
};
