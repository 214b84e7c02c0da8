// The SDL2 backend: a borderless native window per top-level window, its hit test driven by
// WM_NCHITTEST (caption drag and edge resize), system cursors, icons, minimise, tooltip popups,
// the window region as X11 shape, and the composed surface presented
// after each paint cycle. SDL is used from the one thread that runs the windows (the first
// thread that creates a top-level window); the window layer lets it read events while that
// thread waits for messages.
#include "platform/backend/sdl/sdl_backend.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/surface.h"
#include "platform/win32/user/input_internal.h"
#include "platform/win32/windows.h"

namespace bp::sdl {
namespace {

std::string Utf8(const std::u16string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u16string WindowText(HWND h) {
  WCHAR buf[512];
  int n = GetWindowTextW(h, buf, 512);
  return std::u16string(buf, static_cast<std::size_t>(std::max(0, n)));
}

UINT VirtualKey(SDL_Keycode k) {
  if (k >= SDLK_a && k <= SDLK_z) return static_cast<UINT>('A' + (k - SDLK_a));
  if (k >= SDLK_0 && k <= SDLK_9) return static_cast<UINT>('0' + (k - SDLK_0));
  switch (k) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_TAB: return VK_TAB;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_F4: return VK_F4;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    default: return 0;
  }
}

SDL_SystemCursor SdlCursor(int id) {
  switch (id) {
    case 32513: return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514: return SDL_SYSTEM_CURSOR_WAIT;
    case 32515: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32642: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case 32643: return SDL_SYSTEM_CURSOR_SIZENESW;
    case 32644: return SDL_SYSTEM_CURSOR_SIZEWE;
    case 32645: return SDL_SYSTEM_CURSOR_SIZENS;
    case 32646: return SDL_SYSTEM_CURSOR_SIZEALL;
    case 32648: return SDL_SYSTEM_CURSOR_NO;
    case 32649: return SDL_SYSTEM_CURSOR_HAND;
    default: return SDL_SYSTEM_CURSOR_ARROW;
  }
}

class SdlBackend final : public bp::user::Backend {
 public:
  ~SdlBackend() override = default;  // the process ends with SDL still up; nothing to tear down

  const char* Name() const override { return "sdl"; }
  // The machine's monotonic clock, as the window layer uses before any backend exists, so timers
  // set before the first window keep their time.
  std::uint64_t Now() override {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
  }
  bool RealTime() const override { return true; }

  RECT ScreenRect() override {
    SDL_Rect r{0, 0, 1920, 1080};
    SDL_GetDisplayBounds(0, &r);
    return RECT{r.x, r.y, r.x + r.w, r.y + r.h};
  }
  RECT WorkArea() override {
    SDL_Rect r{0, 0, 1920, 1040};
    if (SDL_GetDisplayUsableBounds(0, &r) != 0) SDL_GetDisplayBounds(0, &r);
    return RECT{r.x, r.y, r.x + r.w, r.y + r.h};
  }

  // The native window is made when the window is first shown (and made again when it was moved
  // while hidden): X11 places a window where it is created, but drops moves of unmapped windows.
  void WindowCreated(HWND) override { OnSdlThread(true); }

  void WindowDestroyed(HWND h) override {
    if (!OnSdlThread()) return;
    auto it = m_windows.find(h);
    if (it == m_windows.end()) return;
    m_byId.erase(SDL_GetWindowID(it->second.window));
    SDL_DestroyWindow(it->second.window);
    m_windows.erase(it);
  }

  void WindowShown(HWND h, bool visible) override {
    if (!OnSdlThread()) return;
    Native* n = Lookup(h);
    if (visible) {
      if (!n || n->movedHidden) {
        if (!CreateNative(h)) return;
        n = Lookup(h);
      }
      SDL_ShowWindow(n->window);
      n->mapped = true;
      if (!n->tooltip) SDL_RaiseWindow(n->window);
    } else if (n) {
      SDL_HideWindow(n->window);
      n->mapped = false;
    }
  }

  void WindowMoved(HWND h, const RECT& r) override {
    Native* n = Lookup(h);
    if (!n) return;
    SDL_SetWindowPosition(n->window, r.left, r.top);
    SDL_SetWindowSize(n->window, std::max<int>(1, r.right - r.left), std::max<int>(1, r.bottom - r.top));
    if (!n->mapped) n->movedHidden = true;
  }

  void WindowMinimized(HWND h) override {
    if (Native* n = Lookup(h)) SDL_MinimizeWindow(n->window);
  }

  void WindowTextChanged(HWND h) override {
    if (Native* n = Lookup(h)) SDL_SetWindowTitle(n->window, Utf8(WindowText(h)).c_str());
  }

  void WindowIconChanged(HWND h, HICON big, HICON small) override {
    Native* n = Lookup(h);
    if (!n) return;
    HICON icon = big ? big : small;
    int w = 0, hh = 0;
    std::vector<std::uint32_t> argb;
    if (!icon || !bp::gdi::GetIconPixels(icon, 48, &w, &hh, &argb) || w <= 0 || hh <= 0) return;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(argb.data(), w, hh, 32, w * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!s) return;
    SDL_SetWindowIcon(n->window, s);
    SDL_FreeSurface(s);
  }

  // The region becomes the window's X11 shape, one rectangle per run of pixels inside it
  // (SDL's own shaped windows misplace themselves on X11). Other displays keep the rectangle.
  void WindowRegionChanged(HWND h, HRGN region) override {
    Native* n = Lookup(h);
    if (!n) return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(n->window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    Display* display = info.info.x11.display;
    ::Window xwindow = info.info.x11.window;
    int event = 0, error = 0;
    if (!XShapeQueryExtension(display, &event, &error)) return;
    RECT r;
    GetWindowRect(h, &r);
    int w = r.right - r.left, hh = r.bottom - r.top;
    RECT box{};
    bool whole = !region || (GetRgnBox(region, &box) == SIMPLEREGION && box.left <= 0 && box.top <= 0 &&
                             box.right >= w && box.bottom >= hh);
    if (whole) {
      if (n->shaped) XShapeCombineMask(display, xwindow, ShapeBounding, 0, 0, None, ShapeSet);
      n->shaped = false;
      XFlush(display);
      return;
    }
    std::vector<XRectangle> runs;
    for (int y = 0; y < hh; ++y)
      for (int x = 0; x < w;) {
        if (!PtInRegion(region, x, y)) {
          ++x;
          continue;
        }
        int start = x;
        while (x < w && PtInRegion(region, x, y)) ++x;
        runs.push_back(XRectangle{static_cast<short>(start), static_cast<short>(y),
                                  static_cast<unsigned short>(x - start), 1});
      }
    XShapeCombineRectangles(display, xwindow, ShapeBounding, 0, 0, runs.data(), static_cast<int>(runs.size()),
                            ShapeSet, YXBanded);
    XFlush(display);
    n->shaped = true;
  }

  void Present(HWND h, const bp::gdi::Surface& s) override {
    Native* n = Lookup(h);
    if (!n || s.width <= 0 || s.height <= 0) return;
    int ww = 0, wh = 0;
    SDL_GetWindowSize(n->window, &ww, &wh);
    if (ww != s.width || wh != s.height) SDL_SetWindowSize(n->window, s.width, s.height);
    SDL_Surface* target = SDL_GetWindowSurface(n->window);
    if (!target) return;
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(s.pixels.data()), s.width,
                                                          s.height, 32, s.width * 4, SDL_PIXELFORMAT_RGB888);
    if (!src) return;
    SDL_BlitSurface(src, nullptr, target, nullptr);
    SDL_FreeSurface(src);
    SDL_UpdateWindowSurface(n->window);
  }

  void CursorChanged(HCURSOR c) override {
    m_pendingCursor = bp::user::SystemCursorId(c);
    if (OnSdlThread()) ApplyCursor();
  }

  void CaptureChanged(HWND h) override {
    if (OnSdlThread()) SDL_CaptureMouse(h ? SDL_TRUE : SDL_FALSE);
  }

  void Pump() override {
    if (!OnSdlThread()) return;
    ApplyCursor();
    SDL_Event e;
    while (SDL_PollEvent(&e)) Handle(e);
  }

 private:
  struct Native {
    SDL_Window* window = nullptr;
    bool tooltip = false;
    bool shaped = false;  // an X11 shape is set
    bool mapped = false;
    bool movedHidden = false;
  };

  bool OnSdlThread(bool claim = false) {
    std::thread::id none;
    if (claim) {
      std::thread::id expected = none;
      m_thread.compare_exchange_strong(expected, std::this_thread::get_id());
    }
    return m_thread.load() == std::this_thread::get_id();
  }

  Native* Lookup(HWND h) {
    if (!OnSdlThread()) return nullptr;
    auto it = m_windows.find(h);
    return it == m_windows.end() ? nullptr : &it->second;
  }

  bool CreateNative(HWND h) {
    bool wasMapped = false;
    if (auto it = m_windows.find(h); it != m_windows.end()) {
      wasMapped = it->second.mapped;
      m_byId.erase(SDL_GetWindowID(it->second.window));
      SDL_DestroyWindow(it->second.window);
      m_windows.erase(it);
    }
    RECT r;
    GetWindowRect(h, &r);
    DWORD ex = static_cast<DWORD>(GetWindowLongPtrW(h, GWL_EXSTYLE));
    bool tooltip = (ex & WS_EX_NOACTIVATE) && (ex & WS_EX_TOOLWINDOW);
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    if (tooltip) flags |= SDL_WINDOW_TOOLTIP | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR;
    int w = std::max<int>(1, r.right - r.left), hh = std::max<int>(1, r.bottom - r.top);
    std::string title = Utf8(WindowText(h));
    SDL_Window* win = SDL_CreateWindow(title.c_str(), r.left, r.top, w, hh, flags);
    if (!win) return false;
    Native n;
    n.window = win;
    n.tooltip = tooltip;
    if (!tooltip) SDL_SetWindowHitTest(win, &SdlBackend::HitTest, this);
    m_windows[h] = n;
    m_byId[SDL_GetWindowID(win)] = h;
    HICON big = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_BIG, 0));
    HICON small = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_SMALL, 0));
    if (big || small) WindowIconChanged(h, big, small);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(h, region) != ERROR) WindowRegionChanged(h, region);
    DeleteObject(region);
    if (wasMapped)
      if (Native* now = Lookup(h); now && !now->mapped) {
        SDL_ShowWindow(now->window);
        now->mapped = true;
      }
    bp::user::NativeExposed(h);
    return true;
  }

  HWND ByEvent(Uint32 windowId) {
    auto it = m_byId.find(windowId);
    return it == m_byId.end() ? nullptr : it->second;
  }

  POINT ToScreen(HWND h, int x, int y) {
    RECT r;
    GetWindowRect(h, &r);
    return POINT{r.left + x, r.top + y};
  }

  void ApplyCursor() {
    int id = m_pendingCursor.exchange(-1);
    if (id < 0) return;
    SDL_SystemCursor sc = SdlCursor(id);
    auto it = m_cursors.find(sc);
    if (it == m_cursors.end()) it = m_cursors.emplace(sc, SDL_CreateSystemCursor(sc)).first;
    if (it->second) SDL_SetCursor(it->second);
  }

  void Handle(const SDL_Event& e) {
    switch (e.type) {
      case SDL_MOUSEMOTION:
        if (HWND h = ByEvent(e.motion.windowID)) bp::user::InputPointerMove(ToScreen(h, e.motion.x, e.motion.y));
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        HWND h = ByEvent(e.button.windowID);
        int b = e.button.button == SDL_BUTTON_LEFT ? 0 : e.button.button == SDL_BUTTON_RIGHT ? 1 : 2;
        if (h) bp::user::InputButton(b, e.type == SDL_MOUSEBUTTONDOWN, ToScreen(h, e.button.x, e.button.y));
        break;
      }
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        if (UINT vk = VirtualKey(e.key.keysym.sym)) bp::user::InputKey(vk, e.type == SDL_KEYDOWN);
        break;
      case SDL_WINDOWEVENT: {
        HWND h = ByEvent(e.window.windowID);
        if (!h) break;
        switch (e.window.event) {
          case SDL_WINDOWEVENT_MOVED: bp::user::NativeMoved(h, POINT{e.window.data1, e.window.data2}); break;
          case SDL_WINDOWEVENT_SIZE_CHANGED: bp::user::NativeResized(h, e.window.data1, e.window.data2); break;
          case SDL_WINDOWEVENT_MINIMIZED: bp::user::NativeMinimized(h, true); break;
          case SDL_WINDOWEVENT_RESTORED: bp::user::NativeMinimized(h, false); break;
          case SDL_WINDOWEVENT_EXPOSED: bp::user::NativeExposed(h); break;
          case SDL_WINDOWEVENT_CLOSE: bp::user::NativeCloseRequested(h); break;
          case SDL_WINDOWEVENT_LEAVE:
            // Out of every window: the window that tracks the pointer hears it left.
            bp::user::InputPointerMove(POINT{-32000, -32000});
            break;
          default: break;
        }
        break;
      }
      default: break;
    }
  }

  static SDL_HitTestResult HitTest(SDL_Window* win, const SDL_Point* area, void* data) {
    auto* self = static_cast<SdlBackend*>(data);
    HWND h = self->ByEvent(SDL_GetWindowID(win));
    if (!h) return SDL_HITTEST_NORMAL;
    switch (bp::user::HitTestAt(h, self->ToScreen(h, area->x, area->y))) {
      case HTCAPTION: return SDL_HITTEST_DRAGGABLE;
      case HTLEFT: return SDL_HITTEST_RESIZE_LEFT;
      case HTRIGHT: return SDL_HITTEST_RESIZE_RIGHT;
      case HTTOP: return SDL_HITTEST_RESIZE_TOP;
      case HTBOTTOM: return SDL_HITTEST_RESIZE_BOTTOM;
      case HTTOPLEFT: return SDL_HITTEST_RESIZE_TOPLEFT;
      case HTTOPRIGHT: return SDL_HITTEST_RESIZE_TOPRIGHT;
      case HTBOTTOMLEFT: return SDL_HITTEST_RESIZE_BOTTOMLEFT;
      case HTBOTTOMRIGHT: return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
      default: return SDL_HITTEST_NORMAL;
    }
  }

  std::atomic<std::thread::id> m_thread{};
  std::atomic<int> m_pendingCursor{-1};
  std::unordered_map<HWND, Native> m_windows;
  std::unordered_map<Uint32, HWND> m_byId;
  std::unordered_map<int, SDL_Cursor*> m_cursors;
};

}  // namespace

std::shared_ptr<bp::user::Backend> CreateBackend() {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The first click on a window that is not focused still reaches it (a crash dialog pops up
  // while the user works elsewhere).
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  // Window surfaces straight on the display's framebuffer: a renderer behind them would make
  // SDL create the native window again (losing its shape) and buys nothing for a small dialog.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return nullptr;
  // SDL falls back to drivers that show nothing (offscreen, dummy); those are no display.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || (std::string(driver) != "x11" && std::string(driver) != "wayland")) {
    SDL_Quit();
    return nullptr;
  }
  return std::make_shared<SdlBackend>();
}

}  // namespace bp::sdl
