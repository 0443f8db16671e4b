// The MFC-style window layer: command targets with message maps, CWnd, dialogs and data exchange.
//
// A message a class's map does not handle goes to its base class's map, then to the window's previous window
// procedure (the class's own, such as the edit control's). WM_COMMAND and WM_NOTIFY from a control are first
// offered to the control's own map as reflected notifications (ON_CONTROL_REFLECT, ON_NOTIFY_REFLECT).
#pragma once

#include <algorithm>

#include <functional>

#include "platform/win/draw/afxgdi.h"
#include "platform/win/base/afxgeom.h"
#include "platform/win/base/afxobj.h"
#include "platform/win/base/afxstr.h"
#include "platform/win/screen/headless.h"
#include "platform/win/winapi.h"

class CCmdTarget;
class CWnd;
class CMenu;
class CScrollBar;
class CCmdUI;
class CDataExchange;

// ---- Message maps ------------------------------------------------------------------------------------------------
// One entry: the message (or WM_COMMAND / WM_NOTIFY with a notification code and an id range) and a thunk that
// cracks the parameters and calls the handler; it reports whether the message was handled.
using AFX_MSG_THUNK = bool (*)(CCmdTarget* target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nCode;
  UINT nID;
  UINT nLastID;
  AFX_MSG_THUNK thunk;
};
struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

inline constexpr UINT CN_COMMAND = 0;
inline constexpr UINT CN_UPDATE_COMMAND_UI = UINT(-1);

#define DECLARE_MESSAGE_MAP()                   \
 protected:                                     \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    using ThisClass = theClass;                                                     \
    using TheBaseClass = baseClass;                                                 \
    static_assert(sizeof(ThisClass) > 0);                                           \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                       \
  { 0, 0, 0, 0, nullptr }                                                                       \
  }                                                                                             \
  ;                                                                                             \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                                           \
  }

#define KOLUMO_MSG_ENTRY(msg, code, id, last, body)                         \
  {UINT(msg), UINT(code), UINT(id), UINT(last),                             \
   [](CCmdTarget* t_, UINT m_, WPARAM w_, LPARAM l_, LRESULT* r_) -> bool { \
     [[maybe_unused]] auto* self_ = static_cast<ThisClass*>(t_);            \
     (void)m_;                                                              \
     (void)w_;                                                              \
     (void)l_;                                                              \
     (void)r_;                                                              \
     body;                                                                  \
   }},
#define KOLUMO_WM(msg, call) KOLUMO_MSG_ENTRY(msg, 0, 0, 0, self_->call; return true)
#define KOLUMO_WM_R(msg, call) KOLUMO_MSG_ENTRY(msg, 0, 0, 0, *r_ = LRESULT(self_->call); return true)
#define KOLUMO_PT CPoint(GET_X_LPARAM(l_), GET_Y_LPARAM(l_))

#define ON_WM_CREATE() KOLUMO_WM_R(WM_CREATE, OnCreate(reinterpret_cast<LPCREATESTRUCT>(l_)))
#define ON_WM_DESTROY() KOLUMO_WM(WM_DESTROY, OnDestroy())
#define ON_WM_NCDESTROY() KOLUMO_WM(WM_NCDESTROY, OnNcDestroy())
#define ON_WM_CLOSE() KOLUMO_WM(WM_CLOSE, OnClose())
#define ON_WM_PAINT() KOLUMO_WM(WM_PAINT, OnPaint())
#define ON_WM_ERASEBKGND() KOLUMO_WM_R(WM_ERASEBKGND, OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(w_))))
#define ON_WM_SIZE() KOLUMO_WM(WM_SIZE, OnSize(UINT(w_), SHORT(LOWORD(l_)), SHORT(HIWORD(l_))))
#define ON_WM_MOVE() KOLUMO_WM(WM_MOVE, OnMove(SHORT(LOWORD(l_)), SHORT(HIWORD(l_))))
#define ON_WM_SHOWWINDOW() KOLUMO_WM(WM_SHOWWINDOW, OnShowWindow(BOOL(w_), UINT(l_)))
#define ON_WM_ENABLE() KOLUMO_WM(WM_ENABLE, OnEnable(BOOL(w_)))
#define ON_WM_ACTIVATE() \
  KOLUMO_WM(WM_ACTIVATE, OnActivate(LOWORD(w_), CWnd::FromHandle(reinterpret_cast<HWND>(l_)), HIWORD(w_)))
#define ON_WM_SETFOCUS() KOLUMO_WM(WM_SETFOCUS, OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(w_))))
#define ON_WM_KILLFOCUS() KOLUMO_WM(WM_KILLFOCUS, OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(w_))))
#define ON_WM_TIMER() KOLUMO_WM(WM_TIMER, OnTimer(UINT_PTR(w_)))
#define ON_WM_LBUTTONDOWN() KOLUMO_WM(WM_LBUTTONDOWN, OnLButtonDown(UINT(w_), KOLUMO_PT))
#define ON_WM_LBUTTONUP() KOLUMO_WM(WM_LBUTTONUP, OnLButtonUp(UINT(w_), KOLUMO_PT))
#define ON_WM_LBUTTONDBLCLK() KOLUMO_WM(WM_LBUTTONDBLCLK, OnLButtonDblClk(UINT(w_), KOLUMO_PT))
#define ON_WM_RBUTTONDOWN() KOLUMO_WM(WM_RBUTTONDOWN, OnRButtonDown(UINT(w_), KOLUMO_PT))
#define ON_WM_RBUTTONUP() KOLUMO_WM(WM_RBUTTONUP, OnRButtonUp(UINT(w_), KOLUMO_PT))
#define ON_WM_RBUTTONDBLCLK() KOLUMO_WM(WM_RBUTTONDBLCLK, OnRButtonDblClk(UINT(w_), KOLUMO_PT))
#define ON_WM_MBUTTONDOWN() KOLUMO_WM(WM_MBUTTONDOWN, OnMButtonDown(UINT(w_), KOLUMO_PT))
#define ON_WM_MBUTTONUP() KOLUMO_WM(WM_MBUTTONUP, OnMButtonUp(UINT(w_), KOLUMO_PT))
#define ON_WM_MOUSEMOVE() KOLUMO_WM(WM_MOUSEMOVE, OnMouseMove(UINT(w_), KOLUMO_PT))
#define ON_WM_MOUSEWHEEL() KOLUMO_WM_R(WM_MOUSEWHEEL, OnMouseWheel(LOWORD(w_), SHORT(HIWORD(w_)), KOLUMO_PT))
#define ON_WM_MOUSELEAVE() KOLUMO_WM(WM_MOUSELEAVE, OnMouseLeave())
#define ON_WM_KEYDOWN() KOLUMO_WM(WM_KEYDOWN, OnKeyDown(UINT(w_), LOWORD(l_), HIWORD(l_)))
#define ON_WM_KEYUP() KOLUMO_WM(WM_KEYUP, OnKeyUp(UINT(w_), LOWORD(l_), HIWORD(l_)))
#define ON_WM_CHAR() KOLUMO_WM(WM_CHAR, OnChar(UINT(w_), LOWORD(l_), HIWORD(l_)))
#define ON_WM_SYSKEYDOWN() KOLUMO_WM(WM_SYSKEYDOWN, OnSysKeyDown(UINT(w_), LOWORD(l_), HIWORD(l_)))
#define ON_WM_SYSKEYUP() KOLUMO_WM(WM_SYSKEYUP, OnSysKeyUp(UINT(w_), LOWORD(l_), HIWORD(l_)))
#define ON_WM_SYSCHAR() KOLUMO_WM(WM_SYSCHAR, OnSysChar(UINT(w_), LOWORD(l_), HIWORD(l_)))
#define ON_WM_GETDLGCODE() KOLUMO_WM_R(WM_GETDLGCODE, OnGetDlgCode())
#define ON_WM_HSCROLL()                                   \
  KOLUMO_WM(WM_HSCROLL, OnHScroll(LOWORD(w_), HIWORD(w_), \
                                  reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(l_)))))
#define ON_WM_VSCROLL()                                   \
  KOLUMO_WM(WM_VSCROLL, OnVScroll(LOWORD(w_), HIWORD(w_), \
                                  reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(l_)))))
#define ON_WM_SETCURSOR() \
  KOLUMO_WM_R(WM_SETCURSOR, OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(w_)), LOWORD(l_), HIWORD(l_)))
#define ON_WM_CAPTURECHANGED() \
  KOLUMO_WM(WM_CAPTURECHANGED, OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(l_))))
// All WM_CTLCOLORxxx messages arrive here with their CTLCOLOR_* kind.
#define ON_WM_CTLCOLOR()                                                                                           \
  KOLUMO_MSG_ENTRY(WM_CTLCOLOR, 0, 0, 0,                                                                           \
                   *r_ = reinterpret_cast<LRESULT>(self_->OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(w_)),   \
                                                                     CWnd::FromHandle(reinterpret_cast<HWND>(l_)), \
                                                                     m_ - WM_CTLCOLORMSGBOX));                     \
                   return true)
#define ON_WM_CTLCOLOR_REFLECT()                                                                             \
  KOLUMO_MSG_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0,                                                   \
                   *r_ = reinterpret_cast<LRESULT>(                                                          \
                       self_->CtlColor(CDC::FromHandle(reinterpret_cast<HDC>(w_)), m_ - WM_CTLCOLORMSGBOX)); \
                   return *r_ != 0)
#define ON_WM_DRAWITEM() KOLUMO_WM(WM_DRAWITEM, OnDrawItem(int(w_), reinterpret_cast<LPDRAWITEMSTRUCT>(l_)))
#define ON_WM_MEASUREITEM() KOLUMO_WM(WM_MEASUREITEM, OnMeasureItem(int(w_), reinterpret_cast<LPMEASUREITEMSTRUCT>(l_)))
#define ON_WM_MENUCHAR()   \
  KOLUMO_WM_R(WM_MENUCHAR, \
              OnMenuChar(UINT(LOWORD(w_)), UINT(HIWORD(w_)), CMenu::FromHandle(reinterpret_cast<HMENU>(l_))))
#define ON_WM_INITMENUPOPUP() \
  KOLUMO_WM(WM_INITMENUPOPUP, OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(w_)), LOWORD(l_), HIWORD(l_)))
#define ON_WM_CONTEXTMENU() \
  KOLUMO_WM(WM_CONTEXTMENU, OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(w_)), KOLUMO_PT))
#define ON_WM_NCHITTEST() KOLUMO_WM_R(WM_NCHITTEST, OnNcHitTest(KOLUMO_PT))
#define ON_WM_NCLBUTTONDOWN() KOLUMO_WM(WM_NCLBUTTONDOWN, OnNcLButtonDown(UINT(w_), KOLUMO_PT))
#define ON_WM_SYSCOLORCHANGE() KOLUMO_WM(WM_SYSCOLORCHANGE, OnSysColorChange())
#define ON_WM_CANCELMODE() KOLUMO_WM(WM_CANCELMODE, OnCancelMode())
#define ON_WM_WINDOWPOSCHANGED() KOLUMO_WM(WM_WINDOWPOSCHANGED, OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(l_)))
#define ON_WM_WINDOWPOSCHANGING() KOLUMO_WM(WM_WINDOWPOSCHANGING, OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(l_)))
#define ON_WM_GETMINMAXINFO() KOLUMO_WM(WM_GETMINMAXINFO, OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(l_)))
#define ON_WM_PARENTNOTIFY() KOLUMO_WM(WM_PARENTNOTIFY, OnParentNotify(UINT(w_), l_))

#define ON_MESSAGE(msg, fn) KOLUMO_MSG_ENTRY(msg, 0, 0, 0, *r_ = self_->fn(w_, l_); return true)
#define ON_REGISTERED_MESSAGE(msgVar, fn) ON_MESSAGE(msgVar, fn)
#define ON_COMMAND(id, fn) KOLUMO_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, id, self_->fn(); return true)
#define ON_COMMAND_EX(id, fn) KOLUMO_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, id, return self_->fn(UINT(w_)) != 0)
#define ON_COMMAND_RANGE(id, last, fn) \
  KOLUMO_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, last, self_->fn(UINT(w_)); return true)
#define ON_UPDATE_COMMAND_UI(id, fn) \
  KOLUMO_MSG_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, self_->fn(reinterpret_cast<CCmdUI*>(l_)); return true)
#define ON_CONTROL(code, id, fn) KOLUMO_MSG_ENTRY(WM_COMMAND, code, id, id, self_->fn(); return true)
#define ON_CONTROL_RANGE(code, id, last, fn) \
  KOLUMO_MSG_ENTRY(WM_COMMAND, code, id, last, self_->fn(UINT(w_)); return true)
#define ON_CONTROL_REFLECT(code, fn) \
  KOLUMO_MSG_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, self_->fn(); return true)
#define ON_CONTROL_REFLECT_EX(code, fn) \
  KOLUMO_MSG_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, return self_->fn() != 0)
#define ON_NOTIFY(code, id, fn) \
  KOLUMO_MSG_ENTRY(WM_NOTIFY, code, id, id, self_->fn(reinterpret_cast<NMHDR*>(l_), r_); return true)
#define ON_NOTIFY_RANGE(code, id, last, fn) \
  KOLUMO_MSG_ENTRY(WM_NOTIFY, code, id, last, self_->fn(UINT(w_), reinterpret_cast<NMHDR*>(l_), r_); return true)
#define ON_NOTIFY_EX(code, id, fn) \
  KOLUMO_MSG_ENTRY(WM_NOTIFY, code, id, id, return self_->fn(UINT(w_), reinterpret_cast<NMHDR*>(l_), r_) != 0)
#define ON_NOTIFY_REFLECT(code, fn) \
  KOLUMO_MSG_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0, self_->fn(reinterpret_cast<NMHDR*>(l_), r_); return true)
#define ON_NOTIFY_REFLECT_EX(code, fn) \
  KOLUMO_MSG_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0, return self_->fn(reinterpret_cast<NMHDR*>(l_), r_) != 0)

#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_BN_SETFOCUS(id, fn) ON_CONTROL(BN_SETFOCUS, id, fn)
#define ON_BN_KILLFOCUS(id, fn) ON_CONTROL(BN_KILLFOCUS, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_UPDATE(id, fn) ON_CONTROL(EN_UPDATE, id, fn)
#define ON_EN_SETFOCUS(id, fn) ON_CONTROL(EN_SETFOCUS, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_EN_MAXTEXT(id, fn) ON_CONTROL(EN_MAXTEXT, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_DBLCLK(id, fn) ON_CONTROL(CBN_DBLCLK, id, fn)
#define ON_CBN_SETFOCUS(id, fn) ON_CONTROL(CBN_SETFOCUS, id, fn)
#define ON_CBN_KILLFOCUS(id, fn) ON_CONTROL(CBN_KILLFOCUS, id, fn)
#define ON_CBN_EDITCHANGE(id, fn) ON_CONTROL(CBN_EDITCHANGE, id, fn)
#define ON_CBN_EDITUPDATE(id, fn) ON_CONTROL(CBN_EDITUPDATE, id, fn)
#define ON_CBN_DROPDOWN(id, fn) ON_CONTROL(CBN_DROPDOWN, id, fn)
#define ON_CBN_CLOSEUP(id, fn) ON_CONTROL(CBN_CLOSEUP, id, fn)
#define ON_CBN_SELENDOK(id, fn) ON_CONTROL(CBN_SELENDOK, id, fn)
#define ON_CBN_SELENDCANCEL(id, fn) ON_CONTROL(CBN_SELENDCANCEL, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
#define ON_STN_CLICKED(id, fn) ON_CONTROL(STN_CLICKED, id, fn)
#define ON_STN_DBLCLK(id, fn) ON_CONTROL(STN_DBLCLK, id, fn)

// Receives commands and notifications through its message map.
class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
 public:
  CCmdTarget() = default;
  // Dispatches a command (nCode CN_COMMAND or a control notification) or an update request (CN_UPDATE_COMMAND_UI,
  // extra = CCmdUI*) to the map entries; TRUE when one handled it.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo);

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
  // Walks the map chain for an entry of the message (and code/id range); TRUE when a handler took it.
  bool DispatchToMap(UINT message, UINT code, UINT id, bool matchId, WPARAM wParam, LPARAM lParam, LRESULT* result,
                     UINT thunkMessage);
};

// Enabling and checking of a command's user-interface items (menu items, buttons).
class CCmdUI {
 public:
  UINT m_nID = 0;
  UINT m_nIndex = 0;
  CMenu* m_pMenu = nullptr;
  CWnd* m_pOther = nullptr;
  BOOL m_bEnabled = TRUE;
  int m_nCheck = 0;
  BOOL m_bEnableChanged = FALSE;
  virtual ~CCmdUI() = default;
  virtual void Enable(BOOL on = TRUE);
  virtual void SetCheck(int check = 1);
  virtual void SetRadio(BOOL on = TRUE) { SetCheck(on ? 1 : 0); }
  virtual void SetText(LPCSTR text);
  BOOL DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler);
};

class CWnd : public CCmdTarget {
  DECLARE_DYNCREATE(CWnd)
 public:
  CWnd() = default;
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  operator HWND() const { return m_hWnd; }
  HWND GetSafeHwnd() const { return m_hWnd; }
  bool operator==(const CWnd& other) const { return m_hWnd == other.m_hWnd; }

  // The object of a window: its permanent object, else a wrapper kept until the window is destroyed.
  static CWnd* FromHandle(HWND wnd);
  static CWnd* FromHandlePermanent(HWND wnd);
  BOOL Attach(HWND wnd);
  HWND Detach();
  BOOL SubclassWindow(HWND wnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  HWND UnsubclassWindow();

  virtual BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                      void* context = nullptr);
  virtual BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                        UINT id, LPVOID param = nullptr);
  BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int w, int h,
                HWND parent, HMENU idOrMenu, LPVOID param = nullptr);
  virtual BOOL DestroyWindow();
  virtual BOOL PreCreateWindow(CREATESTRUCT& cs) { return TRUE; }
  virtual void PreSubclassWindow() {}
  virtual void PostNcDestroy() {}
  virtual BOOL PreTranslateMessage(MSG* msg) { return FALSE; }
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual void DoDataExchange(CDataExchange* pDX) {}
  virtual void CalcWindowRect(LPRECT rect, UINT adjust = 0);
  virtual void WinHelp(DWORD_PTR data, UINT command = 0) {}
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  // The default handling of the message being processed.
  LRESULT Default();
  static const MSG* GetCurrentMessage();
  BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  static BOOL ReflectLastMsg(HWND child, LRESULT* result = nullptr);

  // Tree and identity.
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  CWnd* SetParent(CWnd* parent) { return FromHandle(::SetParent(m_hWnd, parent ? parent->m_hWnd : nullptr)); }
  CWnd* GetOwner() const;
  void SetOwner(CWnd* owner) { m_hWndOwner = owner ? owner->m_hWnd : nullptr; }
  CWnd* GetTopLevelParent() const { return FromHandle(::GetAncestor(m_hWnd, GA_ROOT)); }
  CWnd* GetParentOwner() const;
  // The window that should own a dialog: the given window's top-level window (else the main window).
  static CWnd* GetSafeOwner(CWnd* parent = nullptr, HWND* topLevel = nullptr);
  CWnd* GetWindow(UINT cmd) const { return FromHandle(::GetWindow(m_hWnd, cmd)); }
  CWnd* GetNextWindow(UINT cmd = GW_HWNDNEXT) const { return FromHandle(::GetWindow(m_hWnd, cmd)); }
  // Stacks the visible control bars (children with ids first..last) at the top (or bottom) of the client area and
  // gives the child leftOver what remains; rectParam receives that remainder (platform/win/controls/toolbar.cpp).
  void RepositionBars(UINT first, UINT last, UINT leftOver, UINT flags = 0, LPRECT rectParam = nullptr,
                      LPCRECT clientRect = nullptr, BOOL stretch = TRUE);
  CWnd* GetTopWindow() const { return FromHandle(::GetTopWindow(m_hWnd)); }
  CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
  void GetDlgItem(int id, HWND* out) const { *out = ::GetDlgItem(m_hWnd, id); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  int SetDlgCtrlID(int id) { return int(::SetWindowLongPtr(m_hWnd, GWLP_ID, id)); }
  CWnd* GetNextDlgTabItem(CWnd* control, BOOL previous = FALSE) const {
    return FromHandle(::GetNextDlgTabItem(m_hWnd, control ? control->m_hWnd : nullptr, previous));
  }
  CWnd* GetNextDlgGroupItem(CWnd* control, BOOL previous = FALSE) const {
    return FromHandle(::GetNextDlgGroupItem(m_hWnd, control ? control->m_hWnd : nullptr, previous));
  }
  BOOL IsChild(const CWnd* wnd) const { return wnd && ::IsChild(m_hWnd, wnd->m_hWnd); }
  CMenu* GetMenu() const;
  BOOL SetMenu(CMenu* menu);
  void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
  static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
  static CWnd* GetCapture() { return FromHandle(::GetCapture()); }
  static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
  static CWnd* GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
  static CWnd* WindowFromPoint(POINT p) { return FromHandle(::WindowFromPoint(p)); }
  static CWnd* GetDesktopWindow() { return nullptr; }
  CWnd* ChildWindowFromPoint(POINT p) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, p)); }
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
  CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
  BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
  void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }

  // Text.
  void SetWindowText(LPCSTR text) { ::SetWindowText(m_hWnd, text); }
  int GetWindowText(LPSTR out, int max) const { return ::GetWindowText(m_hWnd, out, max); }
  void GetWindowText(CString& out) const;
  int GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }
  void SetDlgItemText(int id, LPCSTR text) { ::SetDlgItemText(m_hWnd, id, text); }
  int GetDlgItemText(int id, LPSTR out, int max) const { return int(::GetDlgItemText(m_hWnd, id, out, max)); }
  int GetDlgItemText(int id, CString& out) const;
  void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE) { ::SetDlgItemInt(m_hWnd, id, value, isSigned); }
  UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const {
    return ::GetDlgItemInt(m_hWnd, id, translated, isSigned);
  }
  void CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
  UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
  void CheckRadioButton(int first, int last, int check) { ::CheckRadioButton(m_hWnd, first, last, check); }
  int GetCheckedRadioButton(int first, int last) const;
  LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM w = 0, LPARAM l = 0) const {
    return ::SendDlgItemMessage(m_hWnd, id, msg, w, l);
  }
  void SetFont(CFont* font, BOOL redraw = TRUE);
  CFont* GetFont() const;

  // Geometry.
  void GetClientRect(LPRECT out) const { ::GetClientRect(m_hWnd, out); }
  void GetWindowRect(LPRECT out) const { ::GetWindowRect(m_hWnd, out); }
  void ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
  void ClientToScreen(LPRECT r) const;
  void ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
  void ScreenToClient(LPRECT r) const;
  void MapWindowPoints(CWnd* to, LPPOINT pts, UINT n) const {
    ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, pts, n);
  }
  void MapWindowPoints(CWnd* to, LPRECT r) const {
    ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, reinterpret_cast<LPPOINT>(r), 2);
  }
  void MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE) { ::MoveWindow(m_hWnd, x, y, w, h, repaint); }
  void MoveWindow(LPCRECT r, BOOL repaint = TRUE) {
    ::MoveWindow(m_hWnd, r->left, r->top, r->right - r->left, r->bottom - r->top, repaint);
  }
  BOOL SetWindowPos(const CWnd* after, int x, int y, int w, int h, UINT flags);
  void CenterWindow(CWnd* alternateOwner = nullptr);
  void MapDialogRect(LPRECT r) const { ::MapDialogRect(m_hWnd, r); }

  // State.
  BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL IsIconic() const { return FALSE; }
  BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
  DWORD GetStyle() const { return DWORD(::GetWindowLongPtr(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return DWORD(::GetWindowLongPtr(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
  static BOOL ModifyStyle(HWND wnd, DWORD remove, DWORD add, UINT flags);
  static BOOL ModifyStyleEx(HWND wnd, DWORD remove, DWORD add, UINT flags);
  void SetRedraw(BOOL redraw = TRUE) { SendMessage(WM_SETREDRAW, redraw, 0); }

  // Messages and painting.
  LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessage(m_hWnd, msg, w, l); }
  BOOL PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessage(m_hWnd, msg, w, l); }
  void SendMessageToDescendants(UINT msg, WPARAM w = 0, LPARAM l = 0, BOOL deep = TRUE, BOOL permanentOnly = FALSE);
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void InvalidateRect(LPCRECT r, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, r, erase); }
  void InvalidateRgn(CRgn* rgn, BOOL erase = TRUE) { ::InvalidateRgn(m_hWnd, rgn ? HRGN(*rgn) : nullptr, erase); }
  void ValidateRect(LPCRECT r) { ::ValidateRect(m_hWnd, r); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  BOOL RedrawWindow(LPCRECT r = nullptr, CRgn* rgn = nullptr, UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
    return ::RedrawWindow(m_hWnd, r, rgn ? HRGN(*rgn) : nullptr, flags);
  }
  BOOL GetUpdateRect(LPRECT r, BOOL erase = FALSE) { return ::GetUpdateRect(m_hWnd, r, erase); }
  CDC* GetDC();
  CDC* GetWindowDC();
  int ReleaseDC(CDC* dc);
  void ScrollWindow(int dx, int dy, LPCRECT r = nullptr, LPCRECT clip = nullptr) {
    ::ScrollWindow(m_hWnd, dx, dy, r, clip);
  }
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) { return ::SetTimer(m_hWnd, id, elapse, proc); }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK) {
    return ::MessageBox(m_hWnd, text, caption ? caption : "", type);
  }
  BOOL OpenClipboard() { return ::OpenClipboard(m_hWnd); }
  void DragAcceptFiles(BOOL accept = TRUE) {}
  BOOL EnableToolTips(BOOL enable = TRUE) { return TRUE; }
  void CreateSolidCaret(int w, int h) { ::CreateCaret(m_hWnd, nullptr, w, h); }
  void ShowCaret() { ::ShowCaret(m_hWnd); }
  void HideCaret() { ::HideCaret(m_hWnd); }
  static void SetCaretPos(POINT p) { ::SetCaretPos(p.x, p.y); }

  // Scroll bars of the window.
  BOOL SetScrollInfo(int bar, LPSCROLLINFO info, BOOL redraw = TRUE) {
    return ::SetScrollInfo(m_hWnd, bar, info, redraw);
  }
  BOOL GetScrollInfo(int bar, LPSCROLLINFO info, UINT mask = SIF_ALL);
  int GetScrollPos(int bar) const { return ::GetScrollPos(m_hWnd, bar); }
  int SetScrollPos(int bar, int pos, BOOL redraw = TRUE) { return ::SetScrollPos(m_hWnd, bar, pos, redraw); }
  void GetScrollRange(int bar, LPINT minPos, LPINT maxPos) const { ::GetScrollRange(m_hWnd, bar, minPos, maxPos); }
  void SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw = TRUE) {
    ::SetScrollRange(m_hWnd, bar, minPos, maxPos, redraw);
  }
  int GetScrollLimit(int bar);
  void ShowScrollBar(UINT bar, BOOL show = TRUE) { ::ShowScrollBar(m_hWnd, int(bar), show); }
  void EnableScrollBarCtrl(int bar, BOOL enable = TRUE);
  BOOL EnableScrollBar(int bar, UINT arrows = ESB_ENABLE_BOTH) { return ::EnableScrollBar(m_hWnd, UINT(bar), arrows); }

  // Default handlers of the message macros; each passes the message on to the default window procedure.
  int OnCreate(LPCREATESTRUCT cs) { return int(Default()); }
  void OnDestroy() { Default(); }
  void OnNcDestroy();
  void OnClose() { Default(); }
  void OnPaint() { Default(); }
  BOOL OnEraseBkgnd(CDC* dc) { return BOOL(Default()); }
  void OnSize(UINT type, int cx, int cy) { Default(); }
  void OnMove(int x, int y) { Default(); }
  void OnShowWindow(BOOL show, UINT status) { Default(); }
  void OnEnable(BOOL enable) { Default(); }
  void OnActivate(UINT state, CWnd* other, BOOL minimized) { Default(); }
  void OnSetFocus(CWnd* oldWnd) { Default(); }
  void OnKillFocus(CWnd* newWnd) { Default(); }
  void OnTimer(UINT_PTR id) { Default(); }
  void OnLButtonDown(UINT flags, CPoint p) { Default(); }
  void OnLButtonUp(UINT flags, CPoint p) { Default(); }
  void OnLButtonDblClk(UINT flags, CPoint p) { Default(); }
  void OnRButtonDown(UINT flags, CPoint p) { Default(); }
  void OnRButtonUp(UINT flags, CPoint p) { Default(); }
  void OnRButtonDblClk(UINT flags, CPoint p) { Default(); }
  void OnMButtonDown(UINT flags, CPoint p) { Default(); }
  void OnMButtonUp(UINT flags, CPoint p) { Default(); }
  void OnMouseMove(UINT flags, CPoint p) { Default(); }
  BOOL OnMouseWheel(UINT flags, short delta, CPoint p) { return BOOL(Default()); }
  void OnMouseLeave() { Default(); }
  void OnKeyDown(UINT ch, UINT repeat, UINT flags) { Default(); }
  void OnKeyUp(UINT ch, UINT repeat, UINT flags) { Default(); }
  void OnChar(UINT ch, UINT repeat, UINT flags) { Default(); }
  void OnSysKeyDown(UINT ch, UINT repeat, UINT flags) { Default(); }
  void OnSysKeyUp(UINT ch, UINT repeat, UINT flags) { Default(); }
  void OnSysChar(UINT ch, UINT repeat, UINT flags) { Default(); }
  UINT OnGetDlgCode() { return UINT(Default()); }
  void OnHScroll(UINT code, UINT pos, CScrollBar* bar) { Default(); }
  void OnVScroll(UINT code, UINT pos, CScrollBar* bar) { Default(); }
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) { return BOOL(Default()); }
  void OnCaptureChanged(CWnd* wnd) { Default(); }
  // Offers the message to the control as a reflected message first, then the default colours.
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
  void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
  void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis);
  LRESULT OnMenuChar(UINT ch, UINT flags, CMenu* menu) { return Default(); }
  void OnInitMenuPopup(CMenu* menu, UINT index, BOOL sysMenu) { Default(); }
  void OnContextMenu(CWnd* wnd, CPoint p) { Default(); }
  LRESULT OnNcHitTest(CPoint p) { return Default(); }
  void OnNcLButtonDown(UINT hitTest, CPoint p) { Default(); }
  void OnSysColorChange() { Default(); }
  void OnCancelMode() { Default(); }
  void OnWindowPosChanged(WINDOWPOS* pos) { Default(); }
  void OnWindowPosChanging(WINDOWPOS* pos) { Default(); }
  void OnGetMinMaxInfo(MINMAXINFO* info) { Default(); }
  void OnParentNotify(UINT message, LPARAM lParam) { Default(); }

 protected:
  WNDPROC m_pfnSuper = nullptr;
  HWND m_hWndOwner = nullptr;
  friend struct CWndAccess;
};

class CScrollBar : public CWnd {
  DECLARE_DYNAMIC(CScrollBar)
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("ScrollBar", nullptr, style, rect, parent, id);
  }
  int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
  int SetScrollPos(int pos, BOOL redraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, pos, redraw); }
  void GetScrollRange(int* minPos, int* maxPos) const { ::GetScrollRange(m_hWnd, SB_CTL, minPos, maxPos); }
  void SetScrollRange(int minPos, int maxPos, BOOL redraw = TRUE) {
    ::SetScrollRange(m_hWnd, SB_CTL, minPos, maxPos, redraw);
  }
  BOOL SetScrollInfo(LPSCROLLINFO info, BOOL redraw = TRUE) {
    return BOOL(::SendMessage(m_hWnd, SBM_SETSCROLLINFO, redraw, LPARAM(info)) >= 0);
  }
  BOOL GetScrollInfo(LPSCROLLINFO info, UINT mask = SIF_ALL) {
    info->fMask = mask;
    return ::GetScrollInfo(m_hWnd, SB_CTL, info);
  }
  int GetScrollLimit() const {
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    ::GetScrollInfo(m_hWnd, SB_CTL, &si);
    return std::max(si.nMin, si.nMax - std::max(int(si.nPage) - 1, 0));
  }
};

// ---- Dialog data exchange -------------------------------------------------------------------------------------------
class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  HWND PrepareCtrl(int id);
  HWND PrepareEditCtrl(int id) { return PrepareCtrl(id); }
  // Marks the exchange as failed: UpdateData returns FALSE (after the last control was prepared).
  void Fail();
  HWND m_hWndLastControl = nullptr;
  bool m_failed = false;
};

// Thrown by CDataExchange::Fail; caught by UpdateData.
class CUserException : public CException {
  DECLARE_DYNAMIC(CUserException)
};

void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
void DDX_Text(CDataExchange* pDX, int id, CString& value);
void DDX_Text(CDataExchange* pDX, int id, int& value);
void DDX_Text(CDataExchange* pDX, int id, UINT& value);
void DDX_Text(CDataExchange* pDX, int id, long& value);
void DDX_Text(CDataExchange* pDX, int id, double& value);
void DDX_Text(CDataExchange* pDX, int id, float& value);
void DDX_Check(CDataExchange* pDX, int id, int& value);
void DDX_Radio(CDataExchange* pDX, int id, int& value);
void DDX_CBIndex(CDataExchange* pDX, int id, int& value);
void DDX_CBString(CDataExchange* pDX, int id, CString& value);
void DDX_CBStringExact(CDataExchange* pDX, int id, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int id, int& value);
void DDX_LBString(CDataExchange* pDX, int id, CString& value);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal);
void DDV_MaxChars(CDataExchange* pDX, CString const& value, int maxChars);

// ---- Dialogs -------------------------------------------------------------------------------------------------------------
// Templates are written in code (win::RegisterDialogTemplate). A modal dialog takes its answer from the script
// (win::script::QueueDialog / QueueDialogAnswer): nothing waits for a user.
class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
 public:
  CDialog() = default;
  explicit CDialog(UINT templateId, CWnd* parent = nullptr)
      : m_nIDHelp(templateId), m_lpszTemplateName(MAKEINTRESOURCE(templateId)), m_pParentWnd(parent) {}
  explicit CDialog(LPCSTR templateName, CWnd* parent = nullptr)
      : m_lpszTemplateName(templateName), m_pParentWnd(parent) {}
  ~CDialog() override;

  virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
  virtual BOOL Create(LPCSTR templateName, CWnd* parent = nullptr);
  BOOL CreateIndirect(const win::DialogTemplate& dialog, CWnd* parent = nullptr);
  virtual INT_PTR DoModal();
  void EndDialog(int result);
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  BOOL PreTranslateMessage(MSG* msg) override;
  void NextDlgCtrl() const;
  void PrevDlgCtrl() const;
  void GotoDlgCtrl(CWnd* control);
  void SetDefID(UINT id) { SendMessage(DM_SETDEFID, id); }
  DWORD GetDefID() const { return DWORD(SendMessage(DM_GETDEFID)); }
  void MapDialogRect(LPRECT r) const { ::MapDialogRect(m_hWnd, r); }
  BOOL IsModal() const { return m_bModal; }

  UINT m_nIDHelp = 0;
  LPCSTR m_lpszTemplateName = nullptr;
  CWnd* m_pParentWnd = nullptr;

 protected:
  LRESULT HandleInitDialog(WPARAM, LPARAM);
  UINT TemplateId() const;
  bool m_bModal = false;
  DECLARE_MESSAGE_MAP()
};

// The application object: a main window and the instance handle.
class CWinApp : public CCmdTarget {
  DECLARE_DYNAMIC(CWinApp)
 public:
  explicit CWinApp(LPCSTR appName = nullptr);
  ~CWinApp() override;
  CWnd* m_pMainWnd = nullptr;
  HINSTANCE m_hInstance = nullptr;
  CString m_strAppName;
  virtual BOOL InitInstance() { return TRUE; }
  // Resources (platform/win/resources/resources.h); shared icons and cursors, nullptr when the id has none.
  HICON LoadIcon(UINT id) const { return ::LoadIcon(m_hInstance, MAKEINTRESOURCE(id)); }
  HICON LoadStandardIcon(LPCSTR name) const { return ::LoadIcon(nullptr, name); }
  HCURSOR LoadCursor(UINT id) const { return ::LoadCursor(m_hInstance, MAKEINTRESOURCE(id)); }
  HCURSOR LoadStandardCursor(LPCSTR name) const { return ::LoadCursor(nullptr, name); }
  virtual int ExitInstance() { return 0; }
  // Offers the message to the windows from its target up to the top, each one's PreTranslateMessage in turn, as
  // the application's message loop does; TRUE when one of them took it.
  virtual BOOL PreTranslateMessage(MSG* msg);
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE instance);
// A string resource (empty when none is registered).
CString AfxLoadString(UINT id);
BOOL AfxLoadString(UINT id, CString& out);
