// CDataExchange and DDX_Control: binding a dialog's controls to their C++ objects.
#pragma once
#include "platform/win32/types.h"

class CWnd;

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

  BOOL m_bSaveAndValidate;  // TRUE: controls to data; FALSE: data to controls
  CWnd* m_pDlgWnd;
  // Set when an exchange could not be done (a missing control); UpdateData then returns FALSE.
  // The framework raised an exception here; failures are values in this layer.
  BOOL m_bFailed = FALSE;

  void Fail() { m_bFailed = TRUE; }
};

// Subclasses the dialog's item nIDC with rControl the first time (so rControl's PreSubclassWindow
// runs); a control bound already is left alone. A missing item marks the exchange failed.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
