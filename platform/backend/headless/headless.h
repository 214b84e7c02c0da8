// The headless backend: windows live in memory only, time is a virtual clock that only the test
// moves, and input is injected by the test. Deterministic: nothing happens by itself.
//
// Threads: every function here may be called from any thread, in particular from a test thread
// while another thread runs the windows (a modal dialog blocks its own thread). Input and clock
// steps are queued for the windows' threads; WaitIdle blocks until they have handled everything.
#pragma once
#include <cstdint>
#include <string>

#include "platform/win32/types.h"

namespace bp::headless {

// Installs the headless backend for the windows created from now on. Idempotent; a later call
// keeps the clock, pointer and work area.
void Use();

// Screen and work area (SPI_GETWORKAREA); defaults 1920 x 1080 and (0, 0, 1920, 1040).
void SetScreen(const RECT& screen);
void SetWorkArea(const RECT& workArea);

// Pointer input in screen coordinates; button 0 left, 1 right, 2 middle.
void MovePointer(int x, int y);
void ButtonDown(int button = 0);
void ButtonUp(int button = 0);
// Move, press and release at (x, y).
void Click(int x, int y);
// Key input with virtual-key codes.
void KeyDown(UINT vk);
void KeyUp(UINT vk);
void PressKey(UINT vk);

// The virtual clock in milliseconds (timers, hover, double clicks). Starts at 1000.
std::uint64_t Now();
void AdvanceClock(std::uint64_t ms);

// Blocks until every thread that owns windows waits with nothing left to do; the caller's own
// windows are served meanwhile. False when that has not happened within `timeoutMs`.
bool WaitIdle(int timeoutMs = 5000);

// The last presented picture of a top-level window, in window coordinates, as an RGB() value;
// CLR_INVALID outside the window, outside its region, or before its first paint.
COLORREF Pixel(HWND topLevel, int x, int y);
// Number of pictures presented for the window so far.
int PresentCount(HWND topLevel);
// Writes the last picture as PNG (pixels outside the window region transparent).
bool SavePng(HWND topLevel, const std::string& path);
// Where tests keep such files: $BUGPOST_ARTIFACTS, else the current directory.
std::string ArtifactPath(const std::string& fileName);

// Windows by class name (null = any) and text (null = any): top-level windows first, then their
// descendants in z-order. A child of `parent` by control id.
HWND FindWindowByClass(const WCHAR* className, const WCHAR* text = nullptr);
HWND FindChild(HWND parent, int id);

// The cursor last set (SetCursor) and its system cursor number (32512 arrow, 32649 hand...).
HCURSOR Cursor();
int CursorId();

}  // namespace bp::headless
