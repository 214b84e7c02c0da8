#include "platform/mfc/Wnd.h"

#include <mutex>
#include <unordered_map>

#include "platform/mfc/DataExchange.h"
#include "platform/mfc/Temp.h"
#include "platform/mfc/WinApp.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

namespace {

// Process-wide: a worker thread may look up a window's object (never call its handlers).
struct HandleMap {
  std::mutex mutex;
  std::unordered_map<HWND, CWnd*> map;
};

HandleMap& Handles() {
  static auto* handles = new HandleMap;  // outlives every static CWnd
  return *handles;
}

bool MapAdd(HWND h, CWnd* w) {
  HandleMap& m = Handles();
  std::lock_guard lock(m.mutex);
  return m.map.try_emplace(h, w).second;
}

void MapRemove(HWND h, CWnd* w) {
  HandleMap& m = Handles();
  std::lock_guard lock(m.mutex);
  auto it = m.map.find(h);
  if (it != m.map.end() && it->second == w) m.map.erase(it);
}

// The message being handled on this thread, for Default().
struct CurrentMessage {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
thread_local CurrentMessage t_current;

BOOL ModifyStyleBits(HWND h, int index, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  if (!h) return FALSE;
  const auto style = static_cast<DWORD>(::GetWindowLongW(h, index));
  const DWORD newStyle = (style & ~dwRemove) | dwAdd;
  if (style == newStyle) return FALSE;
  ::SetWindowLongW(h, index, static_cast<LONG>(newStyle));
  if (nFlags) ::SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

}  // namespace

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
  if (!pWnd) return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
  const CurrentMessage saved = t_current;
  t_current = {hWnd, nMsg, wParam, lParam};
  const LRESULT result = pWnd->WindowProc(nMsg, wParam, lParam);
  t_current = saved;
  if (nMsg == WM_NCDESTROY) pWnd->OnFinalNcDestroy();  // may delete pWnd
  return result;
}

CWnd::~CWnd() {
  if (!m_hWnd) return;
  if (m_pfnSuper || ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&AfxWndProc)) {
    DestroyWindow();
  }
  if (m_hWnd) {  // only attached, or the window would not go: never leave a dangling map entry
    MapRemove(m_hWnd, this);
    m_hWnd = nullptr;
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  if (!hWnd) return nullptr;
  HandleMap& m = Handles();
  std::lock_guard lock(m.mutex);
  auto it = m.map.find(hWnd);
  return it == m.map.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (!hWnd) return nullptr;
  if (CWnd* p = FromHandlePermanent(hWnd)) return p;
  return static_cast<CWnd*>(bp::mfc::TempLookup(
      bp::mfc::TempKind::kWnd, hWnd,
      [](const void* h) -> CObject* {
        auto* w = new CWnd;
        w->m_hWnd = static_cast<HWND>(const_cast<void*>(h));
        return w;
      },
      [](CObject* o) {
        auto* w = static_cast<CWnd*>(o);
        w->m_hWnd = nullptr;
        delete w;
      }));
}

BOOL CWnd::Attach(HWND hWndNew) {
  if (!hWndNew || m_hWnd || !::IsWindow(hWndNew)) return FALSE;
  if (!MapAdd(hWndNew, this)) return FALSE;  // bound to another object already
  m_hWnd = hWndNew;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND h = m_hWnd;
  if (!h) return nullptr;
  if (m_pfnSuper) {  // a detached window goes back to its own procedure
    ::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
  }
  MapRemove(h, this);
  m_hWnd = nullptr;
  return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  if (!m_hWnd) return FALSE;  // the hook destroyed or released the window
  const auto old = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
  m_pfnSuper = old == &AfxWndProc ? nullptr : old;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  if (!pParent) return FALSE;
  return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow() { return Detach(); }

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
  if (m_hWnd) return FALSE;
  // Messages sent during creation (WM_CREATE, the first WM_SIZE) reach the class procedure
  // only: the object binds once the window exists.
  HWND hWnd = ::CreateWindowExW(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth, nHeight, hWndParent,
                                nIDorHMenu, AfxGetInstanceHandle(), lpParam);
  if (!hWnd) return FALSE;
  if (!SubclassWindow(hWnd)) {
    if (::IsWindow(hWnd) && !FromHandlePermanent(hWnd)) ::DestroyWindow(hWnd);
    return FALSE;
  }
  return TRUE;
}

BOOL CWnd::DestroyWindow() {
  HWND h = m_hWnd;
  if (!h) return FALSE;
  const BOOL ok = ::DestroyWindow(h);
  if (m_hWnd == h && !::IsWindow(h)) {  // only attached: no WM_NCDESTROY came through us
    MapRemove(h, this);
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
  }
  return ok;
}

void CWnd::OnFinalNcDestroy() {
  MapRemove(m_hWnd, this);
  m_hWnd = nullptr;
  m_pfnSuper = nullptr;
  if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
  PostNcDestroy();
}

void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT result = 0;
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
  } else if (const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message)) {
    result = entry->pfn(this, wParam, lParam);
  } else if (message == WM_DRAWITEM && lParam) {
    // An owner-drawn control draws itself: the request goes back to the control's own object.
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    CWnd* child = FromHandlePermanent(dis->hwndItem);
    if (!child || child == this || !child->OnChildNotify(message, wParam, lParam, &result)) return FALSE;
  } else {
    return FALSE;
  }
  if (pResult) *pResult = result;
  return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT nID = LOWORD(wParam);
  const int nCode = HIWORD(wParam);
  if (OnCmdMsg(nID, nCode, wParam, lParam)) return TRUE;
  // Commands the main window leaves alone go on to the application's map.
  CWinApp* app = AfxGetApp();
  return app && app->m_pMainWnd == this && app->OnCmdMsg(nID, nCode, wParam, lParam);
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  if (!pMsg) return FALSE;
  for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
    CWnd* p = FromHandlePermanent(h);
    if (p && p->PreTranslateMessage(pMsg)) return TRUE;
    if (h == hWndStop) break;
  }
  return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_hWnd) return 0;
  if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  if (!m_hWnd || t_current.hwnd != m_hWnd) return 0;  // not inside one of this window's messages
  return DefWindowProc(t_current.message, t_current.wParam, t_current.lParam);
}

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
  ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
  if (lpRect) MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
  return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
  if (lpRect && !::GetWindowRect(m_hWnd, lpRect)) *lpRect = RECT{};
}

void CWnd::GetClientRect(LPRECT lpRect) const {
  if (lpRect && !::GetClientRect(m_hWnd, lpRect)) *lpRect = RECT{};
}

void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }

void CWnd::ScreenToClient(LPRECT lpRect) const {
  if (!lpRect) return;
  POINT tl{lpRect->left, lpRect->top}, br{lpRect->right, lpRect->bottom};
  ::ScreenToClient(m_hWnd, &tl);
  ::ScreenToClient(m_hWnd, &br);
  *lpRect = RECT{tl.x, tl.y, br.x, br.y};
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }

void CWnd::ClientToScreen(LPRECT lpRect) const {
  if (!lpRect) return;
  POINT tl{lpRect->left, lpRect->top}, br{lpRect->right, lpRect->bottom};
  ::ClientToScreen(m_hWnd, &tl);
  ::ClientToScreen(m_hWnd, &br);
  *lpRect = RECT{tl.x, tl.y, br.x, br.y};
}

void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
int CWnd::SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyStyleBits(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyStyleBits(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::SetWindowText(LPCTSTR lpszString) { ::SetWindowTextW(m_hWnd, lpszString); }

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
  return ::GetWindowTextW(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const {
  const int length = GetWindowTextLength();
  if (length <= 0) {
    rString.Empty();
    return;
  }
  const int got = ::GetWindowTextW(m_hWnd, rString.GetBuffer(length + 1), length + 1);
  rString.ReleaseBuffer(got > 0 ? got : 0);
}

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->m_hObject : nullptr), MAKELPARAM(bRedraw, 0));
}

CFont* CWnd::GetFont() const { return CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))); }

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
  return reinterpret_cast<HICON>(
      SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

HICON CWnd::GetIcon(BOOL bBigIcon) const {
  return reinterpret_cast<HICON>(SendMessage(WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL));
}

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return dx.m_bFailed ? FALSE : TRUE;
}

void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
