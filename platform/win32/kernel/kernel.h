// The kernel and shell part of the Win32-shaped interface.
#pragma once
#include "platform/win32/types.h"
#include "platform/win32/kernel/error.h"
#include "platform/win32/kernel/handle.h"
#include "platform/win32/kernel/thread.h"
