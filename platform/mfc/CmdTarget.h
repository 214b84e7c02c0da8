// CCmdTarget and message maps.
//
// A message map is a static table of entries, each with a small generated function (a "thunk")
// that unpacks wParam/lParam into the handler's own parameters and calls it on the target. A
// class's map chains to its base class's map; lookup walks from the most derived map to
// CCmdTarget's and the first matching entry wins. Handlers are named as `&Class::Handler` in
// ON_COMMAND / ON_BN_CLICKED / ON_MESSAGE; the ON_WM_* entries call the conventional handler
// names (OnPaint, OnEraseBkgnd, ...) with their conventional signatures.
#pragma once
#include "platform/mfc/Geometry.h"
#include "platform/mfc/Object.h"
#include "platform/win32/windows.h"

#define afx_msg

class CCmdTarget;
class CDC;
class CWnd;

using AFX_MSG_THUNK = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // window message; WM_COMMAND for command entries; 0 ends the table
  UINT nCode;     // notification code of WM_COMMAND (0 = menu command or BN_CLICKED)
  UINT nID;       // first control or command id of a WM_COMMAND entry
  UINT nLastID;   // last id of the range
  AFX_MSG_THUNK pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// The standard help command (routed to CWinApp::OnHelp by the application's map).
constexpr UINT ID_HELP = 0xE146;

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)

 public:
  CCmdTarget() = default;
  ~CCmdTarget() override = default;

  virtual const AFX_MSGMAP* GetMessageMap() const;
  // Runs the entry for command nID with notification nCode; FALSE when the map has none.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, WPARAM wParam, LPARAM lParam);

  // The first entry of this object's map chain for a window message (not WM_COMMAND).
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage) const;
  const AFX_MSGMAP_ENTRY* FindCommandEntry(UINT nID, UINT nCode) const;

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
};

namespace bp::mfc {
constexpr CPoint PointOf(LPARAM l) { return CPoint(GET_X_LPARAM(l), GET_Y_LPARAM(l)); }
}  // namespace bp::mfc

#define DECLARE_MESSAGE_MAP()                      \
 protected:                                        \
  static const AFX_MSGMAP* GetThisMessageMap();    \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                     \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    using ThisClass = theClass;                                                     \
    using TheBaseClass = baseClass;                                                 \
    static constexpr AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                   \
  {0, 0, 0, 0, nullptr}};                                                                   \
  static constexpr AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                                       \
  }

// The body of a thunk: `bp_this` is the target as ThisClass*, wParam and lParam the message's.
#define BP_MSG_THUNK(...)                                                      \
  [](CCmdTarget* bp_target, WPARAM wParam, LPARAM lParam) -> LRESULT {         \
    (void)wParam;                                                              \
    (void)lParam;                                                              \
    ThisClass* bp_this = static_cast<ThisClass*>(bp_target);                   \
    __VA_ARGS__                                                                \
  }

#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(id), BP_MSG_THUNK((bp_this->*(memberFxn))(); return 0;)},
#define ON_BN_CLICKED(id, memberFxn)                                          \
  {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id), static_cast<UINT>(id),      \
   BP_MSG_THUNK((bp_this->*(memberFxn))(); return 0;)},
// LRESULT memberFxn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn) \
  {static_cast<UINT>(message), 0, 0, 0, BP_MSG_THUNK(return (bp_this->*(memberFxn))(wParam, lParam);)},

// void OnPaint()
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, BP_MSG_THUNK(bp_this->OnPaint(); return 0;)},
// BOOL OnEraseBkgnd(CDC* pDC)
// (the CDC wraps the message's DC for the duration of the call; see Dc.h)
#define ON_WM_ERASEBKGND()                                                     \
  {WM_ERASEBKGND, 0, 0, 0,                                                     \
   BP_MSG_THUNK(::bp::mfc::DCWrapper bp_dc(reinterpret_cast<HDC>(wParam));     \
                return bp_this->OnEraseBkgnd(bp_dc.get());)},
// LRESULT OnNcHitTest(CPoint point)   (screen coordinates)
#define ON_WM_NCHITTEST() {WM_NCHITTEST, 0, 0, 0, BP_MSG_THUNK(return bp_this->OnNcHitTest(::bp::mfc::PointOf(lParam));)},
// void OnNcLButtonDown(UINT nHitTest, CPoint point)
#define ON_WM_NCLBUTTONDOWN()                                                                       \
  {WM_NCLBUTTONDOWN, 0, 0, 0,                                                                       \
   BP_MSG_THUNK(bp_this->OnNcLButtonDown(static_cast<UINT>(wParam), ::bp::mfc::PointOf(lParam)); return 0;)},
// void OnNcLButtonDblClk(UINT nHitTest, CPoint point)
#define ON_WM_NCLBUTTONDBLCLK()                                                                       \
  {WM_NCLBUTTONDBLCLK, 0, 0, 0,                                                                       \
   BP_MSG_THUNK(bp_this->OnNcLButtonDblClk(static_cast<UINT>(wParam), ::bp::mfc::PointOf(lParam)); return 0;)},
// void OnLButtonDown(UINT nFlags, CPoint point)
#define ON_WM_LBUTTONDOWN()                                                                       \
  {WM_LBUTTONDOWN, 0, 0, 0,                                                                       \
   BP_MSG_THUNK(bp_this->OnLButtonDown(static_cast<UINT>(wParam), ::bp::mfc::PointOf(lParam)); return 0;)},
// void OnLButtonUp(UINT nFlags, CPoint point)
#define ON_WM_LBUTTONUP()                                                                       \
  {WM_LBUTTONUP, 0, 0, 0,                                                                       \
   BP_MSG_THUNK(bp_this->OnLButtonUp(static_cast<UINT>(wParam), ::bp::mfc::PointOf(lParam)); return 0;)},
// void OnLButtonDblClk(UINT nFlags, CPoint point)
#define ON_WM_LBUTTONDBLCLK()                                                                       \
  {WM_LBUTTONDBLCLK, 0, 0, 0,                                                                       \
   BP_MSG_THUNK(bp_this->OnLButtonDblClk(static_cast<UINT>(wParam), ::bp::mfc::PointOf(lParam)); return 0;)},
// void OnMouseMove(UINT nFlags, CPoint point)
#define ON_WM_MOUSEMOVE()                                                                       \
  {WM_MOUSEMOVE, 0, 0, 0,                                                                       \
   BP_MSG_THUNK(bp_this->OnMouseMove(static_cast<UINT>(wParam), ::bp::mfc::PointOf(lParam)); return 0;)},
// BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)   (nHitTest sign-extended: HTERROR stays -2)
#define ON_WM_SETCURSOR()                                                                                     \
  {WM_SETCURSOR, 0, 0, 0,                                                                                     \
   BP_MSG_THUNK(return bp_this->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),        \
                                            static_cast<UINT>(static_cast<int>(static_cast<short>(LOWORD(lParam)))), \
                                            static_cast<UINT>(HIWORD(lParam)));)},
// void OnSize(UINT nType, int cx, int cy)
#define ON_WM_SIZE() \
  {WM_SIZE, 0, 0, 0, BP_MSG_THUNK(bp_this->OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;)},
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON() \
  {WM_QUERYDRAGICON, 0, 0, 0, BP_MSG_THUNK(return reinterpret_cast<LRESULT>(bp_this->OnQueryDragIcon());)},
// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND() \
  {WM_SYSCOMMAND, 0, 0, 0, BP_MSG_THUNK(bp_this->OnSysCommand(static_cast<UINT>(wParam), lParam); return 0;)},
