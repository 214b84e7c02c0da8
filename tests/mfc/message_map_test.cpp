// Message maps: every handler signature the program uses, chaining to the base class's map,
// default processing through the window's own procedure, binding and unbinding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/mfc/Temp.h"
#include "platform/mfc/afxwin.h"

namespace {

constexpr UINT WM_TEST_RESULT = WM_USER + 1;
constexpr UINT WM_TEST_DERIVED = WM_USER + 2;

// What reached the window's own (class) procedure.
struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Seen> g_classProc;

LRESULT ClassProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  g_classProc.push_back({m, w, l});
  if (m == WM_NCHITTEST) return HTCLIENT;
  return ::DefWindowProcW(h, m, w, l);
}

bool ClassProcSaw(UINT m) {
  for (const Seen& s : g_classProc)
    if (s.message == m) return true;
  return false;
}

const WCHAR* kClass = u"BpMfcMapTest";

void RegisterTestClass() {
  static const bool done = [] {
    WNDCLASSEXW wc;
    wc.lpfnWndProc = &ClassProc;
    wc.lpszClassName = kClass;
    return ::RegisterClassExW(&wc) != 0;
  }();
  ASSERT_TRUE(done);
}

class CBaseWnd : public CWnd {
 public:
  std::vector<std::string> calls;
  CPoint lastPoint;
  UINT lastUint = 0;
  int cx = 0, cy = 0;
  CWnd* cursorWnd = nullptr;
  UINT cursorMsg = 0;
  HDC eraseDC = nullptr;

  afx_msg void OnPaint() {
    CPaintDC dc(this);
    calls.push_back(dc.GetSafeHdc() ? "paint" : "paint-nodc");
  }
  afx_msg BOOL OnEraseBkgnd(CDC* pDC) {
    eraseDC = pDC->GetSafeHdc();
    calls.push_back("erase");
    return TRUE;
  }
  afx_msg LRESULT OnNcHitTest(CPoint point) {
    lastPoint = point;
    return HTCAPTION;
  }
  afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point) {
    lastUint = nHitTest, lastPoint = point;
    calls.push_back("ncdown");
  }
  afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point) {
    lastUint = nHitTest, lastPoint = point;
    calls.push_back("ncdbl");
  }
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point) {
    lastUint = nFlags, lastPoint = point;
    calls.push_back("dbl");
  }
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point) {
    lastUint = nFlags, lastPoint = point;
    calls.push_back("up");
  }
  afx_msg void OnMouseMove(UINT nFlags, CPoint point) {
    lastUint = nFlags, lastPoint = point;
    calls.push_back("move");
    CWnd::OnMouseMove(nFlags, point);  // default processing: the class procedure sees it
  }
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    cursorWnd = pWnd, lastUint = nHitTest, cursorMsg = message;
    return TRUE;
  }
  afx_msg void OnSize(UINT nType, int x, int y) {
    lastUint = nType, cx = x, cy = y;
    calls.push_back("size");
  }
  afx_msg HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(0x1234)); }
  afx_msg void OnSysCommand(UINT nID, LPARAM lParam) {
    lastUint = nID, lastPoint = CPoint(lParam);
    calls.push_back("syscommand");
  }
  afx_msg LRESULT OnTestResult(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam) * 10 + lParam; }
  afx_msg void OnCommand100() { calls.push_back("cmd100"); }
  afx_msg void OnClicked101() { calls.push_back("clicked101"); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_NCHITTEST()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_NCLBUTTONDBLCLK()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSEMOVE()
  ON_WM_SETCURSOR()
  ON_WM_SIZE()
  ON_WM_QUERYDRAGICON()
  ON_WM_SYSCOMMAND()
  ON_MESSAGE(WM_TEST_RESULT, &CBaseWnd::OnTestResult)
  ON_COMMAND(100, &CBaseWnd::OnCommand100)
  ON_BN_CLICKED(101, &CBaseWnd::OnClicked101)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
 public:
  afx_msg void OnSize(UINT, int x, int y) {
    cx = -x, cy = -y;
    calls.push_back("derived-size");
  }
  afx_msg LRESULT OnDerived(WPARAM, LPARAM) { return 77; }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
  ON_WM_SIZE()
  ON_MESSAGE(WM_TEST_DERIVED, &CDerivedWnd::OnDerived)
END_MESSAGE_MAP()

HWND MakeWindow(HWND parent = nullptr, int id = 0) {
  RegisterTestClass();
  return ::CreateWindowExW(0, kClass, u"t", parent ? (WS_CHILD | WS_VISIBLE) : WS_POPUP, 0, 0, 100, 80, parent,
                           reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
}

class MessageMapTest : public ::testing::Test {
 protected:
  void SetUp() override { g_classProc.clear(); }
};

TEST_F(MessageMapTest, EachHandlerSignatureGetsItsArguments) {
  CBaseWnd w;
  HWND h = MakeWindow();
  ASSERT_TRUE(h);
  ASSERT_TRUE(w.SubclassWindow(h));

  EXPECT_EQ(::SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(-5, 300)), HTCAPTION);
  EXPECT_EQ(w.lastPoint, CPoint(-5, 300));

  ::SendMessageW(h, WM_NCLBUTTONDOWN, static_cast<WPARAM>(HTBOTTOMRIGHT), MAKELPARAM(10, -20));
  EXPECT_EQ(w.lastUint, static_cast<UINT>(HTBOTTOMRIGHT));
  EXPECT_EQ(w.lastPoint, CPoint(10, -20));
  ::SendMessageW(h, WM_NCLBUTTONDBLCLK, static_cast<WPARAM>(HTCAPTION), MAKELPARAM(3, 4));
  EXPECT_EQ(w.lastUint, static_cast<UINT>(HTCAPTION));

  ::SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(7, 8));
  EXPECT_EQ(w.lastUint, static_cast<UINT>(MK_LBUTTON));
  EXPECT_EQ(w.lastPoint, CPoint(7, 8));
  ::SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(-1, -1));
  EXPECT_EQ(w.lastPoint, CPoint(-1, -1));

  // WM_SETCURSOR: the window, a sign-extended hit code (HTERROR is -2) and the mouse message.
  EXPECT_EQ(::SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTERROR, WM_LBUTTONDOWN)), TRUE);
  EXPECT_EQ(w.cursorWnd, &w);
  EXPECT_EQ(w.lastUint, static_cast<UINT>(HTERROR));
  EXPECT_EQ(w.cursorMsg, WM_LBUTTONDOWN);

  ::SendMessageW(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(382, 262));
  EXPECT_EQ(w.cx, 382);
  EXPECT_EQ(w.cy, 262);

  EXPECT_EQ(::SendMessageW(h, WM_QUERYDRAGICON, 0, 0), 0x1234);

  ::SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(1, 2));
  EXPECT_EQ(w.lastUint, static_cast<UINT>(SC_CLOSE));
  EXPECT_FALSE(ClassProcSaw(WM_SYSCOMMAND));  // handled: no default processing, no close
  EXPECT_TRUE(::IsWindow(h));

  EXPECT_EQ(::SendMessageW(h, WM_TEST_RESULT, 4, 2), 42);

  // WM_ERASEBKGND: the CDC wraps the message's DC, which survives the call.
  HDC mem = ::CreateCompatibleDC(nullptr);
  EXPECT_EQ(::SendMessageW(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), 0), TRUE);
  EXPECT_EQ(w.eraseDC, mem);
  EXPECT_TRUE(::DeleteDC(mem));

  EXPECT_EQ(w.calls, (std::vector<std::string>{"ncdown", "ncdbl", "dbl", "up", "size", "syscommand", "erase"}));
  EXPECT_FALSE(ClassProcSaw(WM_NCHITTEST));
}

TEST_F(MessageMapTest, CommandsMatchIdAndCode) {
  CBaseWnd w;
  ASSERT_TRUE(w.SubclassWindow(MakeWindow()));
  ::SendMessageW(w, WM_COMMAND, MAKEWPARAM(100, 0), 0);
  ::SendMessageW(w, WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), 0);
  ::SendMessageW(w, WM_COMMAND, MAKEWPARAM(101, 5), 0);  // another notification: not a click
  ::SendMessageW(w, WM_COMMAND, MAKEWPARAM(102, 0), 0);
  EXPECT_EQ(w.calls, (std::vector<std::string>{"cmd100", "clicked101"}));
  int unhandled = 0;
  for (const Seen& s : g_classProc)
    if (s.message == WM_COMMAND) ++unhandled;
  EXPECT_EQ(unhandled, 2);
}

TEST_F(MessageMapTest, DerivedMapWinsAndChainsToTheBase) {
  CDerivedWnd w;
  ASSERT_TRUE(w.SubclassWindow(MakeWindow()));
  ::SendMessageW(w, WM_SIZE, 0, MAKELPARAM(10, 20));
  EXPECT_EQ(w.cx, -10);
  EXPECT_EQ(::SendMessageW(w, WM_TEST_DERIVED, 0, 0), 77);
  EXPECT_EQ(::SendMessageW(w, WM_TEST_RESULT, 1, 1), 11);  // from the base's map
  ::SendMessageW(w, WM_NCLBUTTONDOWN, HTCAPTION, 0);
  EXPECT_EQ(w.calls, (std::vector<std::string>{"derived-size", "ncdown"}));
  // A base-class object does not see the derived entries.
  CBaseWnd b;
  ASSERT_TRUE(b.SubclassWindow(MakeWindow()));
  EXPECT_NE(::SendMessageW(b, WM_TEST_DERIVED, 0, 0), 77);
  EXPECT_TRUE(ClassProcSaw(WM_TEST_DERIVED));
}

TEST_F(MessageMapTest, DefaultHandsTheCurrentMessageToTheClassProcedure) {
  CBaseWnd w;
  ASSERT_TRUE(w.SubclassWindow(MakeWindow()));
  ::SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(11, 12));
  ASSERT_FALSE(g_classProc.empty());
  const Seen& last = g_classProc.back();
  EXPECT_EQ(last.message, WM_MOUSEMOVE);
  EXPECT_EQ(last.wParam, MK_LBUTTON);
  EXPECT_EQ(last.lParam, MAKELPARAM(11, 12));
  // Outside a message of its own window Default does nothing.
  g_classProc.clear();
  EXPECT_EQ(w.Default(), 0);
  EXPECT_TRUE(g_classProc.empty());
}

TEST_F(MessageMapTest, PaintThroughTheMap) {
  CBaseWnd w;
  ASSERT_TRUE(w.SubclassWindow(MakeWindow()));
  w.ShowWindow(SW_SHOW);
  w.calls.clear();
  w.Invalidate(TRUE);
  w.UpdateWindow();
  EXPECT_EQ(w.calls, (std::vector<std::string>{"erase", "paint"}));
}

TEST_F(MessageMapTest, BindingAndUnbinding) {
  HWND h = MakeWindow();
  {
    CBaseWnd w;
    EXPECT_FALSE(w.SubclassWindow(nullptr));
    ASSERT_TRUE(w.SubclassWindow(h));
    EXPECT_EQ(CWnd::FromHandlePermanent(h), &w);
    EXPECT_EQ(CWnd::FromHandle(h), &w);
    CBaseWnd other;
    EXPECT_FALSE(other.SubclassWindow(h));  // one object per window
    EXPECT_EQ(w.UnsubclassWindow(), h);
    EXPECT_EQ(w.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
    g_classProc.clear();
    EXPECT_NE(::SendMessageW(h, WM_TEST_RESULT, 4, 2), 42);  // the map no longer runs
    EXPECT_TRUE(ClassProcSaw(WM_TEST_RESULT));
  }
  EXPECT_TRUE(::IsWindow(h));  // an unbound window outlives the object

  // A temporary wrapper is kept per thread until the idle purge.
  bp::mfc::PurgeTemps();
  CWnd* t = CWnd::FromHandle(h);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->m_hWnd, h);
  EXPECT_EQ(CWnd::FromHandle(h), t);
  EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
  EXPECT_EQ(bp::mfc::TempCount(), 1);
  bp::mfc::PurgeTemps();
  EXPECT_EQ(bp::mfc::TempCount(), 0);
  EXPECT_TRUE(::IsWindow(h));  // purging never destroys
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);

  // A bound object's end destroys its window; DestroyWindow unbinds it.
  {
    CBaseWnd w;
    ASSERT_TRUE(w.SubclassWindow(h));
  }
  EXPECT_FALSE(::IsWindow(h));
  CBaseWnd w2;
  HWND h2 = MakeWindow();
  ASSERT_TRUE(w2.SubclassWindow(h2));
  EXPECT_TRUE(w2.DestroyWindow());
  EXPECT_EQ(w2.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(h2), nullptr);
  EXPECT_TRUE(ClassProcSaw(WM_NCDESTROY));  // the class procedure still saw the end
}

class CNoteDestroy : public CWnd {
 public:
  bool* destroyed = nullptr;
  void PostNcDestroy() override { *destroyed = true; }
};

TEST_F(MessageMapTest, PostNcDestroyRunsWhenTheWindowGoesAway) {
  bool destroyed = false;
  CNoteDestroy w;
  w.destroyed = &destroyed;
  HWND h = MakeWindow();
  ASSERT_TRUE(w.SubclassWindow(h));
  ::DestroyWindow(h);  // not through the object
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(w.m_hWnd, nullptr);
}

class CSelfDrawn : public CButton {
 public:
  int draws = 0;
  UINT state = 0;
  void DrawItem(LPDRAWITEMSTRUCT dis) override {
    ++draws;
    state = dis->itemState;
  }
};

TEST_F(MessageMapTest, DrawItemGoesBackToTheControlsObject) {
  CBaseWnd parent;
  ASSERT_TRUE(parent.SubclassWindow(MakeWindow()));
  CSelfDrawn child;
  ASSERT_TRUE(child.SubclassWindow(MakeWindow(parent, 5)));
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.CtlID = 5;
  dis.hwndItem = child;
  dis.itemState = ODS_SELECTED;
  EXPECT_EQ(::SendMessageW(parent, WM_DRAWITEM, 5, reinterpret_cast<LPARAM>(&dis)), TRUE);
  EXPECT_EQ(child.draws, 1);
  EXPECT_EQ(child.state, ODS_SELECTED);
  // A control with no object of its own: the parent's default processing.
  HWND plain = MakeWindow(parent, 6);
  dis.hwndItem = plain;
  g_classProc.clear();
  ::SendMessageW(parent, WM_DRAWITEM, 6, reinterpret_cast<LPARAM>(&dis));
  EXPECT_EQ(child.draws, 1);
  EXPECT_TRUE(ClassProcSaw(WM_DRAWITEM));
}

class CFilter : public CWnd {
 public:
  std::vector<UINT>* log = nullptr;
  BOOL take = FALSE;
  BOOL PreTranslateMessage(MSG* pMsg) override {
    log->push_back(static_cast<UINT>(GetDlgCtrlID()) * 1000 + pMsg->message);
    return take;
  }
};

TEST_F(MessageMapTest, PreTranslateWalksFromTheTargetUpThroughItsParents) {
  std::vector<UINT> log;
  CFilter top, mid, leaf;
  top.log = mid.log = leaf.log = &log;
  ASSERT_TRUE(top.SubclassWindow(MakeWindow()));
  ASSERT_TRUE(mid.SubclassWindow(MakeWindow(top, 2)));
  ASSERT_TRUE(leaf.SubclassWindow(MakeWindow(mid, 3)));
  MSG msg{};
  msg.hwnd = leaf;
  msg.message = WM_MOUSEMOVE;
  EXPECT_FALSE(CWnd::WalkPreTranslateTree(nullptr, &msg));
  EXPECT_EQ(log, (std::vector<UINT>{3000 + WM_MOUSEMOVE, 2000 + WM_MOUSEMOVE, 0 + WM_MOUSEMOVE}));
  log.clear();
  EXPECT_FALSE(CWnd::WalkPreTranslateTree(mid, &msg));  // stops after hWndStop
  EXPECT_EQ(log.size(), 2u);
  log.clear();
  mid.take = TRUE;
  EXPECT_TRUE(CWnd::WalkPreTranslateTree(nullptr, &msg));
  EXPECT_EQ(log.size(), 2u);  // taken by the middle one: the top is not asked
}

TEST_F(MessageMapTest, WindowWrappers) {
  CBaseWnd w;
  ASSERT_TRUE(w.SubclassWindow(MakeWindow()));
  w.SetWindowText(u"发送");
  CString text;
  w.GetWindowText(text);
  EXPECT_TRUE(text == u"发送");
  w.SetWindowText(u"");
  w.GetWindowText(text);
  EXPECT_TRUE(text.IsEmpty());

  const DWORD style = w.GetStyle();
  EXPECT_TRUE(w.ModifyStyle(0, WS_MINIMIZEBOX));
  EXPECT_EQ(w.GetStyle(), style | WS_MINIMIZEBOX);
  EXPECT_FALSE(w.ModifyStyle(0, WS_MINIMIZEBOX));  // no change
  EXPECT_TRUE(w.ModifyStyle(WS_MINIMIZEBOX, 0));
  EXPECT_EQ(w.GetStyle(), style);
  EXPECT_TRUE(w.ModifyStyleEx(0, WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
  EXPECT_TRUE(w.ModifyStyleEx(0x101, 0));
  EXPECT_EQ(w.GetExStyle() & 0x101, 0u);

  w.MoveWindow(10, 20, 30, 40);
  CRect rc;
  w.GetWindowRect(rc);
  EXPECT_EQ(rc, CRect(10, 20, 40, 60));
  w.SetWindowPos(nullptr, 0, 0, 50, 60, SWP_NOMOVE | SWP_NOZORDER);
  w.GetWindowRect(&rc);
  EXPECT_EQ(rc, CRect(10, 20, 60, 80));
  w.MoveWindow(CRect(1, 2, 3, 4));
  w.GetClientRect(rc);
  EXPECT_EQ(rc.Size(), CSize(2, 2));
  CPoint p(5, 5);
  w.ClientToScreen(&p);
  EXPECT_EQ(p, CPoint(6, 7));
  w.ScreenToClient(&p);
  EXPECT_EQ(p, CPoint(5, 5));

  CBaseWnd child;
  ASSERT_TRUE(child.SubclassWindow(MakeWindow(w, 42)));
  EXPECT_EQ(w.GetDlgItem(42), &child);
  EXPECT_EQ(child.GetParent(), &w);
  EXPECT_EQ(child.GetDlgCtrlID(), 42);
  EXPECT_EQ(w.GetDlgItem(43), nullptr);
  bp::mfc::PurgeTemps();
}

class CHookedButton : public CButton {
 public:
  CString seenText;
  bool wasBound = false;
  void PreSubclassWindow() override {
    GetWindowText(seenText);
    wasBound = CWnd::FromHandlePermanent(m_hWnd) == this;
    ModifyStyle(0, BS_OWNERDRAW);
  }
};

TEST_F(MessageMapTest, CreateRunsTheSubclassHookAndControlsKeepTheirFont) {
  CBaseWnd parent;
  ASSERT_TRUE(parent.SubclassWindow(MakeWindow()));
  CHookedButton button;
  ASSERT_TRUE(button.Create(u"关闭", WS_VISIBLE, CRect(10, 0, 43, 36), &parent, 50000));
  EXPECT_TRUE(button.seenText == u"关闭");
  EXPECT_TRUE(button.wasBound);
  EXPECT_EQ(button.GetStyle() & (WS_CHILD | BS_TYPEMASK), WS_CHILD | BS_OWNERDRAW);
  EXPECT_EQ(button.GetDlgCtrlID(), 50000);
  EXPECT_EQ(parent.GetDlgItem(50000), &button);
  EXPECT_FALSE(button.Create(u"again", 0, CRect(), &parent, 1));  // bound already

  CFont font;
  LOGFONTW lf{};
  lf.lfHeight = -12;
  ASSERT_TRUE(font.CreateFontIndirect(&lf));
  button.SetFont(&font, FALSE);
  ASSERT_NE(button.GetFont(), nullptr);
  EXPECT_EQ(button.GetFont()->m_hObject, font.m_hObject);
  button.DestroyWindow();
  bp::mfc::PurgeTemps();
}

}  // namespace
