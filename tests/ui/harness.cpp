#include "tests/ui/harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <memory>

#include <unistd.h>

namespace uitest {
namespace {
constexpr UINT kRunMessage = WM_APP + 17;

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
}  // namespace

void UseTestFontEverywhere() {
  // A fontconfig configuration that knows no font at all: the GDI then stands its test font in for
  // every face, so the toolkit's own face names draw with exact metrics.
  static const std::string* path = [] {
    char cwd[4096] = {};
    auto* p = new std::string(std::string(getcwd(cwd, sizeof(cwd)) ? cwd : "/tmp") + "/ui-no-fonts-" +
                              std::to_string(getpid()) + ".conf");
    std::ofstream(*p) << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
    std::atexit([] { std::remove(path->c_str()); });
    return p;
  }();
  setenv("FONTCONFIG_FILE", path->c_str(), 1);
}

void RegisterBitmap(int id, int width, int height, const std::function<COLORREF(int, int)>& colour) {
  // Resource data must outlive every lookup: kept for the life of the process.
  static auto* store = new std::deque<std::vector<std::uint8_t>>;
  const int rowBytes = (width * 3 + 3) & ~3;
  std::vector<std::uint8_t> bmp;
  const std::uint32_t pixelBytes = static_cast<std::uint32_t>(rowBytes * height);
  bmp.push_back('B');
  bmp.push_back('M');
  PutLE(bmp, 54 + pixelBytes, 4);
  PutLE(bmp, 0, 4);
  PutLE(bmp, 54, 4);
  PutLE(bmp, 40, 4);
  PutLE(bmp, static_cast<std::uint32_t>(width), 4);
  PutLE(bmp, static_cast<std::uint32_t>(height), 4);  // bottom-up rows
  PutLE(bmp, 1, 2);
  PutLE(bmp, 24, 2);
  PutLE(bmp, 0, 4);
  PutLE(bmp, pixelBytes, 4);
  PutLE(bmp, 2835, 4);
  PutLE(bmp, 2835, 4);
  PutLE(bmp, 0, 4);
  PutLE(bmp, 0, 4);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF c = colour(x, y);
      bmp.push_back(GetBValue(c));
      bmp.push_back(GetGValue(c));
      bmp.push_back(GetRValue(c));
    }
    for (int pad = width * 3; pad < rowBytes; ++pad) bmp.push_back(0);
  }
  store->push_back(std::move(bmp));
  bp::res::Add(RT_BITMAP, id, store->back().data(), store->back().size());
}

std::vector<COLORREF> BitmapPixels(int id, int* width, int* height) {
  std::vector<COLORREF> out;
  *width = *height = 0;
  HBITMAP bmp = ::LoadBitmapW(nullptr, MAKEINTRESOURCEW(id));
  if (bmp == nullptr) return out;
  BITMAP bm{};
  ::GetObjectW(bmp, sizeof(bm), &bm);
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, bmp);
  for (int y = 0; y < bm.bmHeight; ++y)
    for (int x = 0; x < bm.bmWidth; ++x) out.push_back(::GetPixel(dc, x, y));
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(bmp);
  *width = bm.bmWidth;
  *height = bm.bmHeight;
  return out;
}

std::string Hex(COLORREF c) {
  char buf[32];
  std::snprintf(buf, sizeof(buf), "RGB(%d,%d,%d)", GetRValue(c), GetGValue(c), GetBValue(c));
  return c == CLR_INVALID ? std::string("CLR_INVALID") : std::string(buf);
}

void Settle() { ASSERT_TRUE(bp::headless::WaitIdle(10000)) << "the windows never became idle"; }

// ---- BenchDlg ------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(BenchDlg, CDlgEx)
  ON_MESSAGE(kRunMessage, &BenchDlg::OnRun)
  ON_WM_SYSCOMMAND()
  ON_BN_CLICKED(1000, &BenchDlg::OnSendClicked)
END_MESSAGE_MAP()

BenchDlg::BenchDlg() : CDlgEx(102, nullptr) {}

void BenchDlg::DoDataExchange(CDataExchange* pDX) {
  CDlgEx::DoDataExchange(pDX);
  DDX_Control(pDX, 1000, m_btnSend);
  DDX_Control(pDX, 1001, m_stMessage);
  DDX_Control(pDX, 1002, m_progress);
  DDX_Control(pDX, 1003, m_stHeadline);
}

BOOL BenchDlg::OnInitDialog() {
  CDlgEx::OnInitDialog();
  hwnd = m_hWnd;
  if (onInit) onInit(*this);
  return TRUE;
}

void BenchDlg::UsePatternSkin() {
  static const bool registered = [] {
    RegisterBitmap(kPatternSkin, 382, 262, [](int x, int y) { return Pattern(x, y); });
    return true;
  }();
  (void)registered;
  m_bmpBackground.DeleteObject();
  m_bmpBackground.LoadBitmap(kPatternSkin);
  Invalidate(TRUE);
}

LRESULT BenchDlg::OnRun(WPARAM, LPARAM lParam) {
  (*reinterpret_cast<const std::function<void()>*>(lParam))();
  return 0;
}

void BenchDlg::OnSysCommand(UINT nID, LPARAM /*lParam*/) {
  sysCommands.push_back(nID);
  if ((nID & 0xFFF0) == SC_SIZE) return;  // the sizing loop itself is the window system's business
  Default();
}

void BenchDlg::OnSendClicked() { ++sendClicks; }

void ReportLayout(BenchDlg& dlg) {
  dlg.m_nCaptionHeight = 40;
  dlg.m_nSysBtnRight = 0;
  dlg.m_nSysBtnTop = 0;
  dlg.m_nBorder = 0;
  dlg.SetSkin();
  dlg.m_btnSend.LoadStateBitmap(131, TRUE);
  dlg.m_btnSend.m_clrText = RGB(255, 255, 255);
  dlg.m_btnSend.MoveWindow(150, 210, 100, 32);
  dlg.m_stMessage.ShowWindow(SW_HIDE);
  dlg.m_stHeadline.ShowWindow(SW_HIDE);
  dlg.m_progress.ShowWindow(SW_HIDE);
}

// ---- Host ----------------------------------------------------------------------------------------

Host::Host(std::function<void(BenchDlg&)> init) {
  bp::headless::Use();
  std::future<HWND> ready = m_ready.get_future();
  m_dlg.onInit = [this, init = std::move(init)](BenchDlg& dlg) {
    if (init) init(dlg);
    m_ready.set_value(dlg.m_hWnd);
  };
  m_thread = std::thread([this] {
    m_result = m_dlg.DoModal();
    if (m_dlg.hwnd == nullptr) m_ready.set_value(nullptr);  // never initialised
    m_finished = true;
  });
  m_hwnd = ready.get();
  if (m_hwnd != nullptr) Settle();
}

Host::~Host() { Finish(); }

void Host::Run(const std::function<void()>& fn) {
  if (m_hwnd == nullptr || m_finished) {
    ADD_FAILURE() << "the dialog is not running";
    return;
  }
  // Input queued before must be handled first: a sent message would overtake it.
  Settle();
  ::SendMessageW(m_hwnd, kRunMessage, 0, reinterpret_cast<LPARAM>(&fn));
  Settle();
}

COLORREF Host::Pixel(int x, int y) {
  Settle();
  return bp::headless::Pixel(m_hwnd, x, y);
}

POINT Host::Screen(int x, int y) {
  RECT rc{};
  ::GetWindowRect(m_hwnd, &rc);
  return POINT{rc.left + x, rc.top + y};
}

void Host::Save(const std::string& name) {
  Settle();
  EXPECT_TRUE(bp::headless::SavePng(m_hwnd, bp::headless::ArtifactPath(name))) << name;
}

INT_PTR Host::Finish() {
  if (m_joined) return m_result;
  if (!m_finished && m_hwnd != nullptr) ::PostMessageW(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  m_thread.join();
  m_joined = true;
  return m_result;
}

}  // namespace uitest
