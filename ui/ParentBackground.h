// The background protocol shared by the skinned controls: the parent frame paints the part of
// its composed background that lies under `control` into `pDC`, at the surface's origin, so the
// control looks transparent over the skin. GUI thread only.
#pragma once
#include "platform/mfc/afxwin.h"

void DrawParentBackground(CWnd* control, CDC* pDC);
