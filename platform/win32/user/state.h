// Internal: the window table, the per-thread message queues and the one lock guarding both.
// Everything here is guarded by Lock(); window procedures are never called while it is held.
#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win32/gdi/surface.h"
#include "platform/win32/user/user.h"

namespace bp::user {

using Guard = std::unique_lock<std::mutex>;
std::mutex& Lock();

struct WndClass {
  std::u16string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int cbWndExtra = 0;
  HICON icon = nullptr, iconSmall = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
};

// State of a built-in control kept beside its window.
struct ControlData {
  virtual ~ControlData() = default;
};

struct ThreadQueue;

// Raw pointer or key input, turned into window messages on the receiving thread.
struct InputEvent {
  enum Kind { kMove, kButtonDown, kButtonUp, kKeyDown, kKeyUp, kChar } kind = kMove;
  POINT screen;     // pointer events
  int button = 0;   // 0 left, 1 right, 2 middle
  UINT key = 0;     // virtual key or character
  DWORD time = 0;
  HWND target = nullptr;  // key events: the window that had the focus, else null
  WPARAM keyFlags = 0;    // MK_* as they were when the event happened
  bool alt = false;       // Alt held when the event happened
};

struct QueueItem {
  bool isInput = false;
  MSG msg;
  InputEvent input;
};

struct SentMessage {
  HWND hwnd = nullptr;
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LRESULT result = 0;
  bool done = false;
  std::shared_ptr<ThreadQueue> sender;
};

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC proc = nullptr;
  std::uint64_t due = 0;
};

struct MouseTrack {
  HWND hwnd = nullptr;
  bool leave = false, hover = false;
  UINT hoverTime = 0;
  std::uint64_t hoverStart = 0;
  POINT hoverOrigin;  // screen
};

struct ThreadQueue {
  DWORD threadId = 0;
  bool alive = true;
  std::condition_variable wake;
  std::deque<std::shared_ptr<SentMessage>> sent;
  std::deque<QueueItem> posted;
  bool quit = false;
  int quitCode = 0;
  bool idle = false;     // blocked in a wait with nothing to do
  std::vector<Timer> timers;
  HWND focus = nullptr, active = nullptr, capture = nullptr;
  MouseTrack track;
  HWND lastPointerWindow = nullptr;
  // double-click detection
  HWND lastClickWindow = nullptr;
  UINT lastClickMessage = 0;
  std::uint64_t lastClickTime = 0;
  POINT lastClickPoint;
  MSG lastMessage;  // for GetMessageTime/GetMessagePos
  std::uint64_t lastPump = 0;  // when the backend last read native events on this thread
};

struct Window {
  HWND hwnd = nullptr;
  std::shared_ptr<ThreadQueue> queue;
  std::shared_ptr<WndClass> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0, exStyle = 0;
  HWND parent = nullptr;  // child windows only
  HWND owner = nullptr;   // top-level windows only
  bool messageOnly = false;
  std::vector<HWND> children;  // top of the z-order first
  RECT rect;                   // in the parent's client coordinates; screen for top-level windows
  std::u16string text;
  LONG_PTR userData = 0, id = 0;
  HINSTANCE instance = nullptr;
  std::vector<unsigned char> extra;
  HICON iconBig = nullptr, iconSmall = nullptr;
  bool dirty = false, erase = false;
  RECT update;  // client coordinates
  bool iconic = false;
  HRGN region = nullptr;
  std::unique_ptr<bp::gdi::Surface> surface;  // top-level windows
  bool needsPresent = false;
  bool destroying = false;
  std::unique_ptr<ControlData> control;
  // dialogs
  bool isDialog = false, dialogEnded = false;
  INT_PTR dialogResult = 0;
  HFONT dialogFont = nullptr;
  bool ownsDialogFont = false;
  int defId = 0;
  int baseUnitX = 0, baseUnitY = 0;
  HWND lastFocus = nullptr;

  bool IsTopLevel() const { return parent == nullptr && !messageOnly; }
};

// The window behind a handle, or null. Lock held.
Window* Find(HWND hwnd);
// The window's top-level ancestor (itself for a top-level window). Lock held.
Window* TopLevelOf(Window* w);
// The queue of the calling thread, made on first use.
std::shared_ptr<ThreadQueue> CurrentQueue();
// The queue of a thread, or null. Lock held.
std::shared_ptr<ThreadQueue> QueueOf(DWORD threadId);
// All windows / queues. Lock held.
std::unordered_map<HWND, std::unique_ptr<Window>>& Windows();
std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>>& Queues();
// Top-level windows, topmost first. Lock held.
std::vector<HWND>& TopLevels();
// Tells a queue that it has work. Lock held.
void Wake(ThreadQueue* q);
// Calls the window's procedure on this thread; 0 for a window that no longer exists.
LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Queues a posted message. Lock held.
void Enqueue(ThreadQueue* q, const MSG& msg);
// Queues raw input for the thread of `q`. Lock held.
void EnqueueInput(ThreadQueue* q, const InputEvent& e);
// Screen position of the window's client origin. Lock held.
POINT ClientOrigin(Window* w);
// Window rectangle in screen coordinates. Lock held.
RECT ScreenRect(Window* w);
// The thread's windows are gone: called when a thread ends.
void ForgetThreadWindows(ThreadQueue* q);
// The current time of the active backend, in milliseconds.
std::uint64_t Now();
// Hooks the message retrieval runs, so paint, input and timers live in their own units.
// Each is called with the lock held and may unlock it.
bool TakePaintMessage(Guard& g, ThreadQueue* q, HWND filter, MSG* out);  // a WM_PAINT due
void PresentPending(Guard& g, ThreadQueue* q);                           // frames drawn since
bool TakeTimerMessage(Guard& g, ThreadQueue* q, HWND filter, bool remove, MSG* out);
std::uint64_t NextDeadline(ThreadQueue* q);  // timers and hover; UINT64_MAX when none
void CheckHover(ThreadQueue* q);             // posts WM_MOUSEHOVER when due
// True while the backend itself changes a window (so it is not told its own change).
bool FromBackend();
// Signalled whenever a queue starts waiting idle; IdleChanged with the lock held.
std::condition_variable& IdleSignal();
void IdleChanged();
// Takes the raw input item at the front of the queue and puts the messages it makes in its
// place (may unlock).
void CookFrontInput(Guard& g, ThreadQueue* q);

}  // namespace bp::user
