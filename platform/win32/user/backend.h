// Where windows meet a screen. The window layer calls the active backend for every top-level
// window; a backend feeds pointer and key input back through the bp::user input functions.
// Backends live in platform/backend (headless and SDL).
#pragma once
#include <cstdint>
#include <memory>

#include "platform/win32/user/user.h"

namespace bp::gdi {
struct Surface;
}

namespace bp::user {

class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* Name() const = 0;
  // Milliseconds of the backend's clock (timers, hover, double clicks).
  virtual std::uint64_t Now() = 0;
  // A real clock moves by itself; a virtual one only when told, so waits need no time-out.
  virtual bool RealTime() const = 0;
  // Called on the window's thread, without the window layer's lock held.
  virtual void WindowCreated(HWND) {}
  virtual void WindowDestroyed(HWND) {}
  virtual void WindowShown(HWND, bool /*visible*/) {}
  virtual void WindowMoved(HWND, const RECT& /*screen*/) {}
  virtual void WindowMinimized(HWND) {}
  virtual void WindowTextChanged(HWND) {}
  virtual void WindowIconChanged(HWND, HICON /*big*/, HICON /*small*/) {}
  virtual void WindowRegionChanged(HWND, HRGN /*region, owned by the window*/) {}
  // The composed picture of a top-level window after a paint cycle.
  virtual void Present(HWND, const bp::gdi::Surface&) {}
  virtual void CursorChanged(HCURSOR) {}
  virtual void CaptureChanged(HWND /*capture or null*/) {}
  // The waiting window thread lets the backend read its native events; returns at once.
  virtual void Pump() {}
  // The screen and the work area it leaves to windows.
  virtual RECT ScreenRect() { return RECT{0, 0, 1920, 1080}; }
  virtual RECT WorkArea() { return RECT{0, 0, 1920, 1040}; }
};

// Installs `backend` for all windows created from now on (and the clock of all timers).
void SetBackend(std::shared_ptr<Backend> backend);
// The active backend, chosen on first use. Windows that show nothing (message-only windows, as
// the windowless sender uses) never make the choice: until then ExistingBackend is null and the
// clock is the machine's monotonic one.
std::shared_ptr<Backend> GetBackend();
std::shared_ptr<Backend> ExistingBackend();
// The backend a program gets when it installed none itself (platform/backend/select.cpp):
// BUGPOST_BACKEND=headless|sdl forces one; otherwise SDL when a display is there
// (DISPLAY or WAYLAND_DISPLAY set), headless when not.
std::shared_ptr<Backend> CreateDefaultBackend();
// True when CreateDefaultBackend wanted a real screen, or was not told otherwise, and found none:
// the windows then live in memory where nobody sees them.
bool DefaultBackendLacksScreen();

// Input from a backend, any thread. Pointer positions are screen coordinates.
void InputPointerMove(POINT screen);
void InputButton(int button, bool down, POINT screen);  // 0 left, 1 right, 2 middle
void InputKey(UINT vk, bool down);
void InputChar(WCHAR ch);
// The virtual clock moved: every thread looks at its timers and hover again.
void WakeAllThreads();
// Blocks until every thread owning windows waits with nothing to do (the calling thread's own
// messages are handled meanwhile). False after `timeoutMs`.
bool WaitAllIdle(int timeoutMs);
// The hit-test code for a point of a top-level window, for a backend's own hit testing. Must be
// called on the window's thread; sends WM_NCHITTEST down the tree as pointer input would.
LRESULT HitTestAt(HWND topLevel, POINT screen);
// Backend notifications that change the window state (window thread or any thread).
void NativeMoved(HWND topLevel, POINT screenTopLeft);
void NativeResized(HWND topLevel, int width, int height);
void NativeMinimized(HWND topLevel, bool minimized);
void NativeCloseRequested(HWND topLevel);
void NativeExposed(HWND topLevel);
// The cursor last set with SetCursor (any thread).
HCURSOR CurrentCursor();
// The topmost visible top-level window at a screen point (tooltips excluded), or null.
HWND TopLevelAt(POINT screen);

}  // namespace bp::user
