// Internal: update regions. Lock held for all of these.
#pragma once
#include "platform/win32/user/state.h"

namespace bp::user {
// Adds `rect` (client coordinates; null = all) to the window's update area and to the children it
// covers, unless the window clips its children.
void InvalidateTree(Window* w, const RECT* rect, bool erase);
// The area a window covers in its parent (or nothing for a top-level window) needs repainting.
void InvalidateUnder(Window* w);
// The window's visible part in its top-level's surface coordinates; empty when hidden.
RECT VisibleRect(Window* w);
// Whether a point (window coordinates) lies in a window region.
bool RegionContains(HRGN region, int x, int y);
}  // namespace bp::user
