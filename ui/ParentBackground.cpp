#include "ui/ParentBackground.h"

void DrawParentBackground(CWnd* control, CDC* pDC) {
  CWnd* pParent = control->GetParent();
  if (pParent == nullptr) return;
  CRect rcWnd, rcParent;
  control->GetWindowRect(&rcWnd);
  pParent->GetWindowRect(&rcParent);
  const int dx = rcWnd.left - rcParent.left;
  const int dy = rcWnd.top - rcParent.top;
  // The window origin shifts the parent's drawing at (dx, dy) to the surface's origin; the
  // viewport origin then cancels it again for the control's own drawing.
  pDC->SetWindowOrg(dx, dy);
  pParent->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(pDC->GetSafeHdc()), 0);
  pDC->SetViewportOrg(dx, dy);
}
