// CToolTipCtrl: the "tooltips_class32" common control, a popup owned by a window.
// Window's thread only.
#pragma once
#include "platform/mfc/Wnd.h"

class CToolTipCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolTipCtrl)

 public:
  CToolTipCtrl() = default;
  ~CToolTipCtrl() override = default;

  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
  // nIDTool 0 makes the whole of pWnd the tool (identified by its handle); otherwise the tool is
  // the rectangle lpRectTool of pWnd, identified by nIDTool.
  BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACKW, LPCRECT lpRectTool = nullptr,
               UINT_PTR nIDTool = 0);
  void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  void RelayEvent(LPMSG lpMsg);
  void SetDelayTime(UINT nDelay);  // TTDT_AUTOMATIC
  void SetDelayTime(DWORD dwDuration, int iTime);
  void Activate(BOOL bActivate);

  using CWnd::Create;
};
