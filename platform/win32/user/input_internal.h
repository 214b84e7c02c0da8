// Internal: the pointer and keyboard state shared by the input units. Lock held.
#pragma once
#include "platform/win32/user/state.h"

namespace bp::user {
struct InputState {
  POINT pointer;
  bool keys[256] = {};
  HWND foreground = nullptr;
  HCURSOR cursor = nullptr;
  // While a button is held, the pointer stays with the thread that got the press, as a
  // pointer grab does: the capture that thread takes may come after later events were queued.
  std::weak_ptr<ThreadQueue> pressQueue;
};
InputState& Input();
// The topmost shown top-level window at a screen point, tooltips excluded. Lock held.
Window* TopLevelAtLocked(POINT screen);
// The number of a system cursor handle (32512 for IDC_ARROW ...), or 0.
int SystemCursorId(HCURSOR cursor);
}  // namespace bp::user
