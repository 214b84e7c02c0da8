// The Win32-shaped interface the program calls: one include for all of it.
#pragma once
#include "platform/win32/types.h"
#if __has_include("platform/win32/kernel/kernel.h")
#include "platform/win32/kernel/kernel.h"
#endif
#if __has_include("platform/win32/gdi/gdi.h")
#include "platform/win32/gdi/gdi.h"
#endif
#if __has_include("platform/win32/user/user.h")
#include "platform/win32/user/user.h"
#endif
#if __has_include("platform/win32/user/commctrl.h")
#include "platform/win32/user/commctrl.h"
#endif
