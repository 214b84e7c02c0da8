// Test bench for the skinned toolkit on the headless backend: a skinned dialog (template 102 with
// its button 1000, statics 1001/1003 and progress bar 1002) run modally on its own thread, code run
// on that thread from the test, bitmaps registered at run time and pixel probes.
#pragma once
#include <atomic>
#include <functional>
#include <future>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend/headless/headless.h"
#include "platform/mfc/afxwin.h"
#include "ui/BtnEx.h"
#include "ui/DlgEx.h"
#include "ui/ImgProgress.h"
#include "ui/StaticEx.h"

// Readable rectangles and points in test failures.
inline void PrintTo(const CRect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace uitest {

// Makes every font of this process the fixed-metrics test font (see gdi/testfont.h): call before
// anything draws text, e.g. from a static initialiser of the test file.
void UseTestFontEverywhere();

// A 24-bit bitmap resource `id` whose pixel (x, y) is colour(x, y).
void RegisterBitmap(int id, int width, int height, const std::function<COLORREF(int, int)>& colour);
// The pixels of a bitmap resource, row by row (empty when it does not load).
std::vector<COLORREF> BitmapPixels(int id, int* width, int* height);

// Background of the bench's skin: distinct for every pixel of a 382 x 262 window, never magenta.
constexpr COLORREF Pattern(int x, int y) { return RGB(x & 0xFF, y & 0xFF, 0x40 + (x >> 8) * 0x20); }
constexpr int kPatternSkin = 920;

class BenchDlg : public CDlgEx {
 public:
  BenchDlg();

  CBtnEx m_btnSend;
  CStaticEx m_stMessage;
  CImgProgress m_progress;
  CStaticEx m_stHeadline;

  // Run at the end of OnInitDialog, on the dialog's thread.
  std::function<void(BenchDlg&)> onInit;
  // Recorded on the dialog's thread; read them through Host::Run.
  std::vector<UINT> sysCommands;
  int sendClicks = 0;
  HWND hwnd = nullptr;

  // Replaces the skin with the pattern bitmap (same size as the report skin), so that every
  // background pixel tells where it came from.
  void UsePatternSkin();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  afx_msg LRESULT OnRun(WPARAM wParam, LPARAM lParam);
  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnSendClicked();
  DECLARE_MESSAGE_MAP()
};

// The report dialog's own settings: caption 40, no border, system buttons at (0, 0), skinned;
// button 1000 from strip 131 at (150, 210) 100 x 32; the statics and the bar out of the way.
void ReportLayout(BenchDlg& dlg);

// Runs a BenchDlg modally on its own thread for the life of the object.
class Host {
 public:
  explicit Host(std::function<void(BenchDlg&)> init);
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  HWND Hwnd() const { return m_hwnd; }
  BenchDlg& Dlg() { return m_dlg; }  // touch it only inside Run
  // Runs fn on the dialog's thread and waits for it, then for the windows to be idle.
  void Run(const std::function<void()>& fn);
  template <class T>
  T Get(const std::function<T()>& fn) {
    T value{};
    Run([&] { value = fn(); });
    return value;
  }
  // Waits for the windows to settle, then reads the presented picture.
  COLORREF Pixel(int x, int y);
  // A point of the dialog's client area in screen coordinates.
  POINT Screen(int x, int y);
  void Save(const std::string& name);
  // Closes the dialog (if still open) and returns DoModal's result.
  INT_PTR Finish();
  bool Finished() const { return m_finished.load(); }

 private:
  BenchDlg m_dlg;
  HWND m_hwnd = nullptr;
  std::promise<HWND> m_ready;
  std::atomic<bool> m_finished{false};
  INT_PTR m_result = -1;
  std::thread m_thread;
  bool m_joined = false;
};

void Settle();  // WaitIdle, failing the test when the windows never get idle
std::string Hex(COLORREF c);

}  // namespace uitest
