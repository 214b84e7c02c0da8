// Internal: WM_SYSCOMMAND's default handling (close, minimise, restore, the move and size loops).
#pragma once
#include "platform/win32/user/user.h"

LRESULT DefaultSysCommand(HWND hwnd, WPARAM command, LPARAM lParam);
