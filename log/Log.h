// The product's logging library: one function, callable from any thread, never blocks for long
// (one append per line) and never throws.
#pragma once

#if defined(BP_LOG_BUILDING)
#define BP_LOG_API __attribute__((visibility("default")))
#else
#define BP_LOG_API
#endif

namespace Log {

// Appends one line: an ISO-8601 UTC time stamp, a TAB, `text` as UTF-8, a newline.
// The line goes to $VORPIN_LOG_FILE, else $XDG_STATE_HOME/Vorpin/bugpost.log, else
// ~/.local/state/Vorpin/bugpost.log; missing folders are created. `text` is NUL-terminated
// 16-bit text, only lent for the call. `flag` is accepted and has no effect: every caller passes false.
BP_LOG_API void Save(const char16_t* text, bool flag) noexcept;

}  // namespace Log
