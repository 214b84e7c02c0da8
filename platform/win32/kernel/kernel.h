// The kernel, shell and runtime part of the Win32-shaped interface.
#pragma once
#include "platform/win32/types.h"
#include "platform/win32/kernel/cmdline.h"
#include "platform/win32/kernel/codepage.h"
#include "platform/win32/kernel/crt.h"
#include "platform/win32/kernel/error.h"
#include "platform/win32/kernel/file.h"
#include "platform/win32/kernel/handle.h"
#include "platform/win32/kernel/shell.h"
#include "platform/win32/kernel/sync.h"
#include "platform/win32/kernel/thread.h"
