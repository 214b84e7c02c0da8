// CBugpostApp: the program's entry. Refuses a second instance, takes the report base path from
// the last argument, checks both report files and runs the report dialog modally.
#pragma once
#include "platform/mfc/afxwin.h"

class CBugpostApp : public CWinApp {
 public:
  CBugpostApp();
  ~CBugpostApp() override;

  BOOL InitInstance() override;

  DECLARE_MESSAGE_MAP()
};
