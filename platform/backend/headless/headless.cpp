#include "platform/backend/headless/headless.h"

#include <cwctype>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/backend/headless/headless_backend.h"
#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/surface.h"
#include "platform/win32/user/backend.h"
#include "platform/win32/user/input_internal.h"
#include "platform/win32/windows.h"

namespace bp::headless {
namespace {

struct Frame {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::vector<std::uint8_t> mask;  // 1 inside the window region
  int presents = 0;
};

class HeadlessBackend final : public bp::user::Backend {
 public:
  const char* Name() const override { return "headless"; }
  std::uint64_t Now() override { return clock.load(); }
  bool RealTime() const override { return false; }
  RECT ScreenRect() override {
    std::lock_guard<std::mutex> g(lock);
    return screen;
  }
  RECT WorkArea() override {
    std::lock_guard<std::mutex> g(lock);
    return workArea;
  }
  void WindowDestroyed(HWND h) override {
    std::lock_guard<std::mutex> g(lock);
    frames.erase(h);
  }
  void Present(HWND h, const bp::gdi::Surface& s) override {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(h, region);
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height), 1);
    RECT box{};
    GetRgnBox(region, &box);
    bool whole = kind == SIMPLEREGION && box.left <= 0 && box.top <= 0 && box.right >= s.width && box.bottom >= s.height;
    if (kind != ERROR && !whole)
      for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
          mask[static_cast<std::size_t>(y) * s.width + x] = PtInRegion(region, x, y) ? 1 : 0;
    DeleteObject(region);
    std::lock_guard<std::mutex> g(lock);
    Frame& f = frames[h];
    f.width = s.width;
    f.height = s.height;
    f.pixels = s.pixels;
    f.mask = std::move(mask);
    f.presents++;
  }

  std::atomic<std::uint64_t> clock{1000};
  std::mutex lock;
  RECT screen{0, 0, 1920, 1080};
  RECT workArea{0, 0, 1920, 1040};
  std::unordered_map<HWND, Frame> frames;
};

std::shared_ptr<HeadlessBackend> Shared() {
  static auto* b = new std::shared_ptr<HeadlessBackend>(std::make_shared<HeadlessBackend>());
  return *b;
}

HeadlessBackend& B() { return *Shared(); }

POINT g_pointer{0, 0};
std::mutex g_pointerLock;

POINT Pointer() {
  std::lock_guard<std::mutex> g(g_pointerLock);
  return g_pointer;
}

bool Matches(HWND h, const WCHAR* cls, const WCHAR* text) {
  WCHAR buf[256];
  if (cls) {
    GetClassNameW(h, buf, 256);
    std::u16string a(buf), b(cls);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  if (text) {
    bp::user::Guard g(bp::user::Lock());
    bp::user::Window* w = bp::user::Find(h);
    if (!w || w->text != text) return false;
  }
  return true;
}

HWND Search(HWND h, const WCHAR* cls, const WCHAR* text) {
  if (Matches(h, cls, text)) return h;
  for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (HWND r = Search(c, cls, text)) return r;
  return nullptr;
}

}  // namespace

std::shared_ptr<bp::user::Backend> Instance() { return Shared(); }

void Use() {
  if (bp::user::GetBackend() != Shared()) bp::user::SetBackend(Shared());
}

void SetScreen(const RECT& screen) {
  auto& b = B();
  std::lock_guard<std::mutex> g(b.lock);
  b.screen = screen;
}

void SetWorkArea(const RECT& workArea) {
  auto& b = B();
  std::lock_guard<std::mutex> g(b.lock);
  b.workArea = workArea;
}

void MovePointer(int x, int y) {
  B();
  {
    std::lock_guard<std::mutex> g(g_pointerLock);
    g_pointer = POINT{x, y};
  }
  bp::user::InputPointerMove(POINT{x, y});
}

void ButtonDown(int button) {
  B();
  bp::user::InputButton(button, true, Pointer());
}

void ButtonUp(int button) {
  B();
  bp::user::InputButton(button, false, Pointer());
}

void Click(int x, int y) {
  MovePointer(x, y);
  ButtonDown(0);
  ButtonUp(0);
}

void KeyDown(UINT vk) {
  B();
  bp::user::InputKey(vk, true);
}

void KeyUp(UINT vk) {
  B();
  bp::user::InputKey(vk, false);
}

void PressKey(UINT vk) {
  KeyDown(vk);
  KeyUp(vk);
}

std::uint64_t Now() { return B().clock.load(); }

void AdvanceClock(std::uint64_t ms) {
  B().clock += ms;
  bp::user::WakeAllThreads();
}

bool WaitIdle(int timeoutMs) {
  B();
  return bp::user::WaitAllIdle(timeoutMs);
}

COLORREF Pixel(HWND topLevel, int x, int y) {
  auto& b = B();
  std::lock_guard<std::mutex> g(b.lock);
  auto it = b.frames.find(topLevel);
  if (it == b.frames.end()) return CLR_INVALID;
  const Frame& f = it->second;
  if (x < 0 || y < 0 || x >= f.width || y >= f.height) return CLR_INVALID;
  std::size_t i = static_cast<std::size_t>(y) * f.width + x;
  if (!f.mask[i]) return CLR_INVALID;
  std::uint32_t p = f.pixels[i];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int PresentCount(HWND topLevel) {
  auto& b = B();
  std::lock_guard<std::mutex> g(b.lock);
  auto it = b.frames.find(topLevel);
  return it == b.frames.end() ? 0 : it->second.presents;
}

std::string ArtifactPath(const std::string& fileName) {
  const char* dir = std::getenv("BUGPOST_ARTIFACTS");
  std::string base = dir && *dir ? dir : ".";
  return base + "/" + fileName;
}

HWND FindWindowByClass(const WCHAR* className, const WCHAR* text) {
  std::vector<HWND> tops;
  {
    bp::user::Guard g(bp::user::Lock());
    tops = bp::user::TopLevels();
  }
  for (HWND t : tops)
    if (HWND r = Search(t, className, text)) return r;
  return nullptr;
}

HWND FindChild(HWND parent, int id) { return GetDlgItem(parent, id); }

HCURSOR Cursor() { return bp::user::CurrentCursor(); }
int CursorId() { return bp::user::SystemCursorId(bp::user::CurrentCursor()); }

// Used by png.cpp
bool CopyFrame(HWND h, int* w, int* hgt, std::vector<std::uint32_t>* px, std::vector<std::uint8_t>* mask) {
  auto& b = B();
  std::lock_guard<std::mutex> g(b.lock);
  auto it = b.frames.find(h);
  if (it == b.frames.end()) return false;
  *w = it->second.width;
  *hgt = it->second.height;
  *px = it->second.pixels;
  *mask = it->second.mask;
  return true;
}

}  // namespace bp::headless
