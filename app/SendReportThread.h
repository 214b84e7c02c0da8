// The upload worker: one send attempt from the base path to a posted result, on a thread of
// its own (start it with CreateThread, argument a ReportSource*). It blocks on the network for
// as long as the HTTP client's time-outs allow, and while the UI thread handles the progress
// messages that the source's callback sends. It never throws and posts exactly one
// WM_SEND_RESULT to the source's window: wParam 1 when the service accepted the report, 0 for
// anything else; lParam 0.
#pragma once
#include "platform/win32/windows.h"

constexpr UINT WM_SEND_RESULT = WM_USER + 1;

DWORD WINAPI SendReportThread(LPVOID parameter);
