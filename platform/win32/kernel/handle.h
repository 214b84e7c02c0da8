// Closing handles. One CloseHandle for every kind of kernel object.
#pragma once
#include "platform/win32/types.h"

// Releases the handle; the object goes when its last user lets go of it.
// FALSE with ERROR_INVALID_HANDLE for a handle that is not open.
BOOL CloseHandle(HANDLE handle);
