// Test windows whose procedure is a lambda, over the headless backend.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/backend/headless/headless.h"
#include "platform/win32/windows.h"

namespace testwin {

using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool* handled)>;

// A window of class "TestWnd" (CS_DBLCLKS); `handler` sees every message first and leaves it to
// DefWindowProcW unless it sets *handled. The handler must outlive the window.
HWND Create(Handler* handler, DWORD style, int x, int y, int w, int h, HWND parent = nullptr, int id = 0,
            DWORD exStyle = 0);

// Fills the client area with one colour on WM_PAINT.
void PaintSolid(HWND h, COLORREF c);

struct Record {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Record&) const = default;
};

}  // namespace testwin
