// CButton: the "Button" window class. An owner-drawn CButton draws itself in DrawItem, which the
// parent's object hands back to it (the parent receives WM_DRAWITEM).
#pragma once
#include "platform/mfc/Wnd.h"

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)

 public:
  CButton() = default;
  ~CButton() override = default;

  BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  UINT GetState() const;
  void SetState(BOOL bHighlight);

  // For BS_OWNERDRAW buttons; the default draws nothing.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  using CWnd::Create;
};

// CStatic: the "Static" window class.
class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)

 public:
  CStatic() = default;
  ~CStatic() override = default;

  BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF);

  using CWnd::Create;
};
