// The message core: classes, window procedures, window longs, queues, posting and sending across
// threads. Runs under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/win32/windows.h"

namespace {

std::vector<UINT>* g_log = nullptr;

LRESULT LoggingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (g_log) g_log->push_back(m);
  if (m == WM_USER + 7) return static_cast<LRESULT>(w * 2);
  return DefWindowProcW(h, m, w, l);
}

ATOM RegisterOnce(const char16_t* name, WNDPROC proc) {
  WNDCLASSEXW wc;
  wc.lpfnWndProc = proc;
  wc.lpszClassName = name;
  wc.cbWndExtra = 16;
  ATOM a = RegisterClassExW(&wc);
  return a;
}

HWND MessageWindow(const char16_t* cls) {
  return CreateWindowExW(0, cls, u"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

TEST(MessageCore, CreationMessagesLongsAndSubclassing) {
  ASSERT_NE(RegisterOnce(u"CoreLog", LoggingProc), 0);
  EXPECT_EQ(RegisterOnce(u"corelog", LoggingProc), 0) << "class names ignore case";
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);

  std::vector<UINT> log;
  g_log = &log;
  HWND h = CreateWindowExW(WS_EX_APPWINDOW, u"CoreLog", u"title", WS_POPUP, 10, 20, 30, 40, nullptr, nullptr, nullptr,
                           nullptr);
  ASSERT_TRUE(h);
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0], WM_NCCREATE);
  EXPECT_EQ(log[1], WM_CREATE);
  WCHAR text[16];
  EXPECT_EQ(GetWindowTextW(h, text, 16), 5);
  EXPECT_EQ(std::u16string(text), u"title");

  EXPECT_EQ(GetWindowLongPtrW(h, GWL_STYLE), static_cast<LONG_PTR>(WS_POPUP));
  EXPECT_EQ(GetWindowLongPtrW(h, GWL_EXSTYLE), static_cast<LONG_PTR>(WS_EX_APPWINDOW));
  EXPECT_EQ(SetWindowLongPtrW(h, GWLP_USERDATA, 1234), 0);
  EXPECT_EQ(GetWindowLongPtrW(h, GWLP_USERDATA), 1234);
  SetWindowLongPtrW(h, GWLP_ID, 77);
  EXPECT_EQ(GetWindowLongPtrW(h, GWLP_ID), 77);
  EXPECT_EQ(SetWindowLongPtrW(h, 8, 99), 0);
  EXPECT_EQ(GetWindowLongPtrW(h, 8), 99);
  EXPECT_EQ(SetWindowLongPtrW(h, 9, 1), 0) << "extra bytes end at cbWndExtra";

  // Subclass: the new procedure sees the message first and forwards it.
  static WNDPROC s_old;
  static int s_seen;
  s_seen = 0;
  s_old = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h, GWLP_WNDPROC));
  EXPECT_EQ(s_old, &LoggingProc);
  WNDPROC sub = [](HWND hw, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_USER + 7) ++s_seen;
    return CallWindowProcW(s_old, hw, m, w, l);
  };
  SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sub));
  EXPECT_EQ(SendMessageW(h, WM_USER + 7, 21, 0), 42);
  EXPECT_EQ(s_seen, 1);

  log.clear();
  EXPECT_TRUE(DestroyWindow(h));
  g_log = nullptr;
  EXPECT_FALSE(IsWindow(h));
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], WM_DESTROY);
  EXPECT_EQ(log.back(), WM_NCDESTROY);
  EXPECT_FALSE(PostMessageW(h, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST(MessageCore, DestroyOrderParentsFirstThenChildrenNcDestroyLast) {
  static std::vector<std::pair<HWND, UINT>> order;
  order.clear();
  WNDPROC proc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_DESTROY || m == WM_NCDESTROY) order.emplace_back(h, m);
    return DefWindowProcW(h, m, w, l);
  };
  RegisterOnce(u"CoreTree", proc);
  HWND parent = CreateWindowExW(0, u"CoreTree", u"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  HWND child = CreateWindowExW(0, u"CoreTree", u"", WS_CHILD, 0, 0, 10, 10, parent, reinterpret_cast<HMENU>(5),
                               nullptr, nullptr);
  ASSERT_TRUE(parent && child);
  EXPECT_EQ(GetParent(child), parent);
  EXPECT_EQ(GetWindowLongPtrW(child, GWLP_ID), 5);
  DestroyWindow(parent);
  std::vector<std::pair<HWND, UINT>> want{
      {parent, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
  EXPECT_EQ(order, want);
  EXPECT_FALSE(IsWindow(child));
}

TEST(MessageCore, PostedOrderPeekFiltersAndQuit) {
  RegisterOnce(u"CoreLog", LoggingProc);
  HWND a = MessageWindow(u"CoreLog");
  HWND b = MessageWindow(u"CoreLog");
  ASSERT_TRUE(a && b);
  EXPECT_FALSE(IsWindowVisible(a));
  EXPECT_EQ(GetParent(a), nullptr);
  PostMessageW(a, WM_USER + 1, 1, 0);
  PostMessageW(b, WM_USER + 2, 2, 0);
  PostMessageW(a, WM_USER + 3, 3, 0);
  PostThreadMessageW(GetCurrentThreadId(), WM_APP, 4, 0);
  PostQuitMessage(9);
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER + 1u) << "no-remove leaves it first";
  ASSERT_TRUE(PeekMessageW(&m, b, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 2u) << "window filter";
  ASSERT_TRUE(PeekMessageW(&m, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
  EXPECT_EQ(m.wParam, 3u) << "range filter";
  ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER + 1u);
  ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_APP);
  EXPECT_EQ(m.hwnd, nullptr);
  EXPECT_FALSE(GetMessageW(&m, nullptr, 0, 0)) << "quit comes after the posted messages";
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 9u);
  EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
  // A message for a window destroyed meanwhile is dropped.
  PostMessageW(a, WM_USER, 0, 0);
  DestroyWindow(a);
  EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
  DestroyWindow(b);
}

// A window on a "UI" thread; workers send to it while the UI thread runs its loop.
struct UiThread {
  static inline std::atomic<int> handled{0};
  static inline std::atomic<DWORD> handlerThread{0};
  static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER + 2) {
      handled++;
      handlerThread = GetCurrentThreadId();
      return static_cast<LRESULT>(w + 1);
    }
    if (m == WM_USER + 1) {
      PostQuitMessage(static_cast<int>(w));
      return 0;
    }
    return DefWindowProcW(h, m, w, l);
  }
};

struct WorkerArgs {
  HWND target;
  int count;
  std::atomic<int> results{0};
  std::atomic<bool> allSynchronous{true};
};

DWORD SendingWorker(LPVOID p) {
  auto* a = static_cast<WorkerArgs*>(p);
  for (int i = 0; i < a->count; ++i) {
    int before = UiThread::handled.load();
    LRESULT r = SendMessageW(a->target, WM_USER + 2, static_cast<WPARAM>(i), 0);
    // The send returns only after the UI thread handled it.
    if (r != i + 1 || UiThread::handled.load() <= before) a->allSynchronous = false;
    a->results++;
  }
  PostMessageW(a->target, WM_USER + 1, 1, 0);
  return 0;
}

TEST(MessageCore, SendFromWorkerBlocksUntilHandledAndNeverDeadlocksWithPosts) {
  WNDCLASSEXW wc;
  wc.lpfnWndProc = UiThread::Proc;
  wc.lpszClassName = u"CoreUi";
  RegisterClassExW(&wc);
  HWND ui = MessageWindow(u"CoreUi");
  ASSERT_TRUE(ui);
  UiThread::handled = 0;
  WorkerArgs args{ui, 500};
  DWORD workerId = 0;
  HANDLE t = CreateThread(nullptr, 0, SendingWorker, &args, 0, &workerId);
  ASSERT_TRUE(t);
  // The UI thread keeps posting to itself while the worker sends: neither may wait on the other.
  MSG m;
  int posts = 0;
  int code = -1;
  for (;;) {
    if (posts < 2000) PostMessageW(ui, WM_NULL, 0, 0), ++posts;
    BOOL r = GetMessageW(&m, nullptr, 0, 0);
    if (!r) {
      code = static_cast<int>(m.wParam);
      break;
    }
    DispatchMessageW(&m);
  }
  EXPECT_EQ(WaitForSingleObject(t, 10000), WAIT_OBJECT_0);
  CloseHandle(t);
  EXPECT_EQ(code, 1);
  EXPECT_EQ(args.results.load(), 500);
  EXPECT_TRUE(args.allSynchronous.load());
  EXPECT_EQ(UiThread::handlerThread.load(), GetCurrentThreadId()) << "handled on the window's own thread";
  EXPECT_EQ(GetWindowThreadProcessId(ui, nullptr), GetCurrentThreadId());
  DestroyWindow(ui);
}

// Two threads that send to each other's windows at the same time both get through: a thread
// waiting in SendMessageW handles what is sent to it.
struct PingPong {
  HWND mine = nullptr;
  std::atomic<HWND> other{nullptr};
  std::atomic<bool> ready{false};
  std::atomic<int> served{0};
};
PingPong g_pp[2];

LRESULT PingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 5) {
    g_pp[w].served++;
    return 7;
  }
  return DefWindowProcW(h, m, w, l);
}

DWORD PingThread(LPVOID p) {
  int me = static_cast<int>(reinterpret_cast<intptr_t>(p));
  g_pp[me].mine = MessageWindow(u"CorePing");
  g_pp[1 - me].other = g_pp[me].mine;
  g_pp[me].ready = true;
  while (!g_pp[1 - me].ready) Sleep(1);
  HWND other = g_pp[me].other.load();
  int ok = 0;
  for (int i = 0; i < 200; ++i) ok += SendMessageW(other, WM_USER + 5, static_cast<WPARAM>(1 - me), 0) == 7;
  // Keep serving until the other side is done too.
  while (g_pp[me].served < 200) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    Sleep(1);
  }
  DestroyWindow(g_pp[me].mine);
  return static_cast<DWORD>(ok);
}

TEST(MessageCore, MutualSendsDoNotDeadlock) {
  WNDCLASSEXW wc;
  wc.lpfnWndProc = PingProc;
  wc.lpszClassName = u"CorePing";
  RegisterClassExW(&wc);
  HANDLE a = CreateThread(nullptr, 0, PingThread, reinterpret_cast<LPVOID>(0), 0, nullptr);
  HANDLE b = CreateThread(nullptr, 0, PingThread, reinterpret_cast<LPVOID>(1), 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(a, 20000), WAIT_OBJECT_0);
  ASSERT_EQ(WaitForSingleObject(b, 20000), WAIT_OBJECT_0);
  DWORD ra = 0, rb = 0;
  GetExitCodeThread(a, &ra);
  GetExitCodeThread(b, &rb);
  EXPECT_EQ(ra, 200u);
  EXPECT_EQ(rb, 200u);
  CloseHandle(a);
  CloseHandle(b);
}

DWORD MakeWindowAndLeave(LPVOID p) {
  *static_cast<HWND*>(p) = MessageWindow(u"CoreLog");
  return 0;
}

TEST(MessageCore, WindowsOfAnEndedThreadAreGoneAndSendsToThemReturn) {
  RegisterOnce(u"CoreLog", LoggingProc);
  HWND h = nullptr;
  HANDLE t = CreateThread(nullptr, 0, MakeWindowAndLeave, &h, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(t, 5000), WAIT_OBJECT_0);
  CloseHandle(t);
  ASSERT_TRUE(h);
  // The thread's end may lag its exit code by a moment; the window must go without a send hanging.
  for (int i = 0; i < 500 && IsWindow(h); ++i) Sleep(2);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(SendMessageW(h, WM_USER + 7, 1, 0), 0);
}

TEST(MessageCore, ASendPendingOnADestroyedWindowReturnsZero) {
  static std::atomic<int> handled{0};
  WNDCLASSEXW wc;
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_USER + 9) return ++handled, 5;
    return DefWindowProcW(h, m, w, l);
  };
  wc.lpszClassName = u"CorePending";
  RegisterClassExW(&wc);
  HWND h = MessageWindow(u"CorePending");
  static std::atomic<LRESULT> result{-1};
  HANDLE t = CreateThread(
      nullptr, 0, [](LPVOID p) -> DWORD {
        result = SendMessageW(static_cast<HWND>(p), WM_USER + 9, 0, 0);
        return 0;
      },
      h, 0, nullptr);
  Sleep(50);  // the send is queued meanwhile; this thread does not look at its queue
  DestroyWindow(h);
  ASSERT_EQ(WaitForSingleObject(t, 5000), WAIT_OBJECT_0) << "the sender must not wait for ever";
  CloseHandle(t);
  EXPECT_EQ(result.load(), 0);
  EXPECT_EQ(handled.load(), 0);
}

TEST(MessageCore, DestroyFromAnotherThreadIsRefused) {
  RegisterOnce(u"CoreLog", LoggingProc);
  HWND h = MessageWindow(u"CoreLog");
  static std::atomic<BOOL> result{TRUE};
  HANDLE t = CreateThread(
      nullptr, 0, [](LPVOID p) -> DWORD {
        result = DestroyWindow(static_cast<HWND>(p));
        return 0;
      },
      h, 0, nullptr);
  WaitForSingleObject(t, 5000);
  CloseHandle(t);
  EXPECT_FALSE(result.load());
  EXPECT_TRUE(IsWindow(h));
  DestroyWindow(h);
}

}  // namespace
