// Window classes, creation and destruction, window longs.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/win32/kernel/error.h"
#include "platform/win32/kernel/thread.h"
#include "platform/win32/user/backend.h"
#include "platform/win32/user/builtin.h"
#include "platform/win32/user/state.h"

#if __has_include("platform/win32/gdi/gdi.h")
#include "platform/win32/gdi/gdi.h"
#define BP_HAVE_GDI 1
#endif

namespace bp::user {
namespace {

std::unordered_map<std::u16string, std::shared_ptr<WndClass>>& Classes() {
  static auto* c = new std::unordered_map<std::u16string, std::shared_ptr<WndClass>>;
  return *c;
}
ATOM g_nextAtom = 0xC000;

std::u16string Lower(std::u16string s) {
  for (auto& c : s)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return s;
}

std::shared_ptr<WndClass> FindClass(LPCWSTR name) {
  auto& classes = Classes();
  if (IS_INTRESOURCE(name)) {
    auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    for (auto& [k, c] : classes)
      if (c->atom == atom) return c;
    return nullptr;
  }
  auto it = classes.find(Lower(name));
  return it == classes.end() ? nullptr : it->second;
}

// Handles are never reused, so a stale one can never reach a newer window.
HWND NewHandle() {
  static std::atomic<ULONG_PTR> next{0x10000};
  return reinterpret_cast<HWND>(next.fetch_add(4));
}

LONG_PTR ReadExtra(const Window* w, int index) {
  LONG_PTR v = 0;
  if (index >= 0 && static_cast<std::size_t>(index) + sizeof(v) <= w->extra.size())
    std::memcpy(&v, w->extra.data() + index, sizeof(v));
  return v;
}

}  // namespace

ATOM RegisterClassInternal(const WNDCLASSEXW& wc) {
  if (!wc.lpszClassName || IS_INTRESOURCE(wc.lpszClassName) || !wc.lpfnWndProc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Guard g(Lock());
  auto key = Lower(wc.lpszClassName);
  if (Classes().count(key)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto c = std::make_shared<WndClass>();
  c->name = wc.lpszClassName;
  c->atom = g_nextAtom++;
  c->style = wc.style;
  c->proc = wc.lpfnWndProc;
  c->cbWndExtra = std::max(0, wc.cbWndExtra);
  c->icon = wc.hIcon;
  c->iconSmall = wc.hIconSm;
  c->cursor = wc.hCursor;
  c->background = wc.hbrBackground;
  Classes()[key] = c;
  return c->atom;
}

std::shared_ptr<WndClass> ClassOf(HWND hwnd) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  return w ? w->cls : nullptr;
}

}  // namespace bp::user

using namespace bp::user;

ATOM RegisterClassExW(const WNDCLASSEXW* wc) {
  RegisterBuiltinClasses();
  return wc ? RegisterClassInternal(*wc) : 0;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
  Guard g(Lock());
  auto c = FindClass(className);
  if (!c) return FALSE;
  for (auto& [h, w] : Windows())
    if (w->cls == c) return FALSE;
  Classes().erase(Lower(c->name));
  return TRUE;
}

BOOL GetClassInfoExW(HINSTANCE, LPCWSTR className, WNDCLASSEXW* wc) {
  RegisterBuiltinClasses();
  Guard g(Lock());
  auto c = FindClass(className);
  if (!c || !wc) return FALSE;
  wc->style = c->style;
  wc->lpfnWndProc = c->proc;
  wc->cbClsExtra = 0;
  wc->cbWndExtra = c->cbWndExtra;
  wc->hIcon = c->icon;
  wc->hIconSm = c->iconSmall;
  wc->hCursor = c->cursor;
  wc->hbrBackground = c->background;
  wc->lpszClassName = className;
  return TRUE;
}

int GetClassNameW(HWND hwnd, LPWSTR buffer, int maxCount) {
  auto c = ClassOf(hwnd);
  if (!c || !buffer || maxCount <= 0) return 0;
  int n = std::min<int>(static_cast<int>(c->name.size()), maxCount - 1);
  std::copy_n(c->name.data(), n, buffer);
  buffer[n] = 0;
  return n;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  RegisterBuiltinClasses();
  auto queue = CurrentQueue();
  HWND hwnd = NewHandle();
  bool topLevel = false;
  {
    Guard g(Lock());
    auto cls = FindClass(className);
    if (!cls) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    bool messageOnly = parent == HWND_MESSAGE;
    Window* p = nullptr;
    if (!messageOnly && parent) {
      p = Find(parent);
      if (!p) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
      }
    }
    auto w = std::make_unique<Window>();
    w->hwnd = hwnd;
    w->queue = queue;
    w->cls = cls;
    w->proc = cls->proc;
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->instance = instance;
    w->messageOnly = messageOnly;
    w->extra.assign(static_cast<std::size_t>(cls->cbWndExtra), 0);
    bool child = (style & WS_CHILD) && p;
    if (child) {
      w->parent = parent;
      w->id = reinterpret_cast<LONG_PTR>(menu);
    } else if (p) {
      Window* top = TopLevelOf(p);
      w->owner = top ? top->hwnd : nullptr;
    }
    if (!child && !messageOnly) {
      if (x == CW_USEDEFAULT) x = y = 100;
      if (width == CW_USEDEFAULT) width = 640, height = 480;
    } else {
      if (x == CW_USEDEFAULT) x = y = 0;
      if (width == CW_USEDEFAULT) width = height = 0;
    }
    w->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
    topLevel = w->IsTopLevel();
    if (topLevel) {
      w->surface = std::make_unique<bp::gdi::Surface>();
      w->surface->Resize(std::max(0, width), std::max(0, height));
      TopLevels().push_back(hwnd);
    }
    if (child) p->children.push_back(hwnd);
    Windows()[hwnd] = std::move(w);
  }
  CREATESTRUCTW cs{param,  instance, menu,  parent == HWND_MESSAGE ? nullptr : parent,
                   height, width,    y,     x,
                   static_cast<LONG>(style), windowName, className, exStyle};
  auto fail = [&] {
    DestroyWindow(hwnd);
    return static_cast<HWND>(nullptr);
  };
  if (!SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) return fail();
  if (!IsWindow(hwnd)) return nullptr;
  if (SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) return fail();
  if (!IsWindow(hwnd)) return nullptr;
  // After WM_CREATE, so the backend sees the styles the window gave itself there.
  if (topLevel) GetBackend()->WindowCreated(hwnd);
  SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
  SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
  if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return IsWindow(hwnd) ? hwnd : nullptr;
}

namespace {

void DestroyTree(HWND hwnd) {
  std::vector<HWND> children;
  {
    Guard g(Lock());
    Window* w = Find(hwnd);
    if (!w) return;
    w->destroying = true;
  }
  SendMessageW(hwnd, WM_DESTROY, 0, 0);
  {
    Guard g(Lock());
    if (Window* w = Find(hwnd)) children = w->children;
  }
  for (HWND c : children) DestroyTree(c);
  SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
  HRGN region = nullptr;
  bool top = false;
  {
    Guard g(Lock());
    Window* w = Find(hwnd);
    if (!w) return;
    ThreadQueue* q = w->queue.get();
    if (q->focus == hwnd) q->focus = nullptr;
    if (q->active == hwnd) q->active = nullptr;
    if (q->capture == hwnd) q->capture = nullptr;
    if (q->track.hwnd == hwnd) q->track = MouseTrack{};
    if (q->lastPointerWindow == hwnd) q->lastPointerWindow = nullptr;
    std::erase_if(q->timers, [&](const Timer& t) { return t.hwnd == hwnd; });
    // Senders waiting on this window get their answer now instead of waiting on a thread that
    // may never look at its queue again.
    std::erase_if(q->sent, [&](const std::shared_ptr<SentMessage>& s) {
      if (s->hwnd != hwnd) return false;
      s->done = true;
      if (s->sender) s->sender->wake.notify_all();
      return true;
    });
    if (w->parent)
      if (Window* p = Find(w->parent)) std::erase(p->children, hwnd);
    top = w->IsTopLevel();
    std::erase(TopLevels(), hwnd);
    region = w->region;
    Windows().erase(hwnd);
  }
#ifdef BP_HAVE_GDI
  if (region) DeleteObject(region);
#endif
  if (top) GetBackend()->WindowDestroyed(hwnd);
}

}  // namespace

BOOL DestroyWindow(HWND hwnd) {
  std::vector<HWND> owned;
  bool visibleChild = false;
  {
    Guard g(Lock());
    Window* w = Find(hwnd);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    if (w->queue->threadId != GetCurrentThreadId()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (w->destroying) return TRUE;
    for (auto& [h, o] : Windows())
      if (o->owner == hwnd) owned.push_back(h);
    visibleChild = w->parent && (w->style & WS_VISIBLE);
  }
  for (HWND o : owned) DestroyWindow(o);
  if (visibleChild) ShowWindow(hwnd, SW_HIDE);
  DestroyTree(hwnd);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) {
  Guard g(Lock());
  return Find(hwnd) != nullptr;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w) return 0;
  if (processId) *processId = static_cast<DWORD>(getpid());
  return w->queue->threadId;
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
    case GWLP_ID: return w->id;
    case GWL_STYLE: return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_USERDATA: return w->userData;
    default: return ReadExtra(w, index);
  }
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  Guard g(Lock());
  Window* w = Find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LONG_PTR old = 0;
  switch (index) {
    case GWLP_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(w->proc);
      w->proc = reinterpret_cast<WNDPROC>(value);
      break;
    case GWLP_HINSTANCE:
      old = reinterpret_cast<LONG_PTR>(w->instance);
      w->instance = reinterpret_cast<HINSTANCE>(value);
      break;
    case GWLP_ID: old = w->id; w->id = value; break;
    case GWL_STYLE:
      old = static_cast<LONG_PTR>(w->style);
      w->style = static_cast<DWORD>(value);
      break;
    case GWL_EXSTYLE:
      old = static_cast<LONG_PTR>(w->exStyle);
      w->exStyle = static_cast<DWORD>(value);
      break;
    case GWLP_USERDATA: old = w->userData; w->userData = value; break;
    default:
      if (index < 0 || static_cast<std::size_t>(index) + sizeof(value) > w->extra.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      old = ReadExtra(w, index);
      std::memcpy(w->extra.data() + index, &value, sizeof(value));
  }
  return old;
}

LONG GetWindowLongW(HWND hwnd, int index) { return static_cast<LONG>(GetWindowLongPtrW(hwnd, index)); }
LONG SetWindowLongW(HWND hwnd, int index, LONG value) {
  LONG_PTR v = value;
  if (index == GWL_STYLE || index == GWL_EXSTYLE) v = static_cast<LONG_PTR>(static_cast<DWORD>(value));
  return static_cast<LONG>(SetWindowLongPtrW(hwnd, index, v));
}
