// The runtime's bounded environment lookup. Reads the process environment; safe on any
// thread as long as no thread changes the environment meanwhile.
#pragma once
#include <cstddef>

using errno_t = int;

// With no buffer (count 0) stores the value's size with its terminator in *requiredSize, or
// 0 when the variable is absent; with a buffer large enough copies the value in. ERANGE
// when the buffer is too small, EINVAL for a null name or size pointer.
errno_t getenv_s(size_t* requiredSize, char* buffer, size_t count, const char* name);
