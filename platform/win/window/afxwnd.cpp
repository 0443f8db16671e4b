// The MFC-style window layer: message map dispatch, CWnd attachment and subclassing, dialogs, data exchange.
#include "platform/win/window/afxwnd.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "platform/win/controls/afxctl.h"
#include "platform/win/window/internal.h"

struct CWndAccess {
  static void SetSuper(CWnd* c, WNDPROC p) { c->m_pfnSuper = p; }
};

namespace {

thread_local CWnd* g_hookTarget = nullptr;
thread_local std::vector<MSG> g_current;

LRESULT AfxWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

void HookCreate(HWND wnd, CREATESTRUCT*) {
  CWnd* target = g_hookTarget;
  if (!target) return;
  g_hookTarget = nullptr;
  win::detail::Window* w = win::detail::Get(wnd);
  w->cwnd = target;
  target->m_hWnd = wnd;
  CWndAccess::SetSuper(target, w->proc);
  w->proc = &AfxWndProc;
}

bool PreTranslate(MSG* msg) {
  // From the window the message is for up to its top-level window, as MFC walks the tree.
  for (HWND h = msg->hwnd; h;) {
    win::detail::Window* w = win::detail::Get(h);
    if (!w) break;
    if (CWnd* c = w->cwnd)
      if (c->PreTranslateMessage(msg)) return true;
    if (!win::detail::Get(h)) break;
    if (!(win::detail::Get(h)->style & WS_CHILD)) break;
    h = win::detail::Get(h)->parent;
  }
  return false;
}

void OnDestroyed(HWND wnd) {
  win::detail::Window* w = win::detail::Get(wnd);
  if (!w) return;
  if (w->temporary) w->temporary->m_hWnd = nullptr;
  if (w->cwnd) {
    w->cwnd->m_hWnd = nullptr;
    w->cwnd = nullptr;
  }
}

struct Installer {
  Installer() {
    win::detail::g_createHook = &HookCreate;
    win::detail::g_preTranslateHook = &PreTranslate;
    win::detail::g_destroyHook = &OnDestroyed;
  }
} g_installer;

// Temporary wrappers have the class of the control they wrap, so that casting them to it is sound.
std::shared_ptr<CWnd> MakeWrapper(const std::string& className) {
  std::string c = className;
  for (char& ch : c) ch = char(std::tolower(static_cast<unsigned char>(ch)));
  if (c == "edit") return std::make_shared<CEdit>();
  if (c == "button") return std::make_shared<CButton>();
  if (c == "static") return std::make_shared<CStatic>();
  if (c == "combobox") return std::make_shared<CComboBox>();
  if (c == "listbox" || c == "combolbox") return std::make_shared<CListBox>();
  if (c == "msctls_progress32") return std::make_shared<CProgressCtrl>();
  if (c == "msctls_updown32") return std::make_shared<CSpinButtonCtrl>();
  if (c == "systabcontrol32") return std::make_shared<CTabCtrl>();
  if (c == "systreeview32") return std::make_shared<CTreeCtrl>();
  if (c == "tooltips_class32") return std::make_shared<CToolTipCtrl>();
  if (c == "scrollbar") return std::make_shared<CScrollBar>();
  if (c == "#32770") return std::make_shared<CDialog>();
  return std::make_shared<CWnd>();
}

LRESULT AfxWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  win::detail::Window* w = win::detail::Get(wnd);
  CWnd* c = w ? w->cwnd : nullptr;
  if (!c) return ::DefWindowProc(wnd, msg, wParam, lParam);
  MSG m{wnd, msg, wParam, lParam, win::Now(), {}};
  g_current.push_back(m);
  struct Pop {
    ~Pop() { g_current.pop_back(); }
  } pop;
  LRESULT r = c->WindowProc(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The window is gone: the object lets go of it, then may delete itself.
    win::detail::Window* again = win::detail::Get(wnd);
    if (again && again->cwnd == c) {
      again->cwnd = nullptr;
      c->m_hWnd = nullptr;
      c->PostNcDestroy();
    }
  }
  return r;
}

}  // namespace

// ---- CCmdTarget ---------------------------------------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

bool CCmdTarget::DispatchToMap(UINT message, UINT code, UINT id, bool matchId, WPARAM wParam, LPARAM lParam,
                               LRESULT* result, UINT thunkMessage) {
  for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->thunk; ++e) {
      if (e->nMessage != message || e->nCode != code) continue;
      if (matchId && (id < e->nID || id > e->nLastID)) continue;
      if (e->thunk(this, thunkMessage, wParam, lParam, result)) return true;
    }
  }
  return false;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, void*) {
  LRESULT r = 0;
  return DispatchToMap(WM_COMMAND, UINT(nCode), nID, true, nID, reinterpret_cast<LPARAM>(pExtra), &r, WM_COMMAND);
}

void CCmdUI::Enable(BOOL on) {
  m_bEnabled = on;
  m_bEnableChanged = TRUE;
  if (m_pMenu) ::EnableMenuItem(m_pMenu->m_hMenu, m_nID, on ? MF_ENABLED : MF_GRAYED);
  if (m_pOther) m_pOther->EnableWindow(on);
}
void CCmdUI::SetCheck(int check) {
  m_nCheck = check;
  if (m_pMenu) ::CheckMenuItem(m_pMenu->m_hMenu, m_nID, check ? MF_CHECKED : MF_UNCHECKED);
  if (m_pOther) m_pOther->SendMessage(BM_SETCHECK, WPARAM(check));
}
void CCmdUI::SetText(LPCSTR text) {
  if (m_pMenu) ::ModifyMenu(m_pMenu->m_hMenu, m_nID, MF_BYCOMMAND | MF_STRING, m_nID, text);
  if (m_pOther) m_pOther->SetWindowText(text);
}
BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler) {
  if (!target) return FALSE;
  m_bEnableChanged = FALSE;
  BOOL handled = target->OnCmdMsg(m_nID, int(CN_UPDATE_COMMAND_UI), this, nullptr);
  if (!handled && disableIfNoHandler && !m_bEnableChanged)
    Enable(target->OnCmdMsg(m_nID, CN_COMMAND, nullptr, nullptr));
  return handled;
}

// ---- CWnd -----------------------------------------------------------------------------------------------------------------
IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

CWnd::~CWnd() {
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
    // The window outlives no object: it is taken back from this object and destroyed.
    HWND h = m_hWnd;
    win::detail::Window* w = win::detail::Get(h);
    if (w) {
      w->cwnd = nullptr;
      if (w->proc == &AfxWndProc) w->proc = m_pfnSuper ? m_pfnSuper : &::DefWindowProc;
    }
    m_hWnd = nullptr;
    ::DestroyWindow(h);
  }
}

CWnd* CWnd::FromHandle(HWND wnd) {
  win::detail::Window* w = win::detail::Get(wnd);
  if (!w) return nullptr;
  if (w->cwnd) return w->cwnd;
  if (!w->temporary) {
    w->temporary = MakeWrapper(w->className);
    w->temporary->m_hWnd = wnd;
  }
  return w->temporary.get();
}

CWnd* CWnd::FromHandlePermanent(HWND wnd) {
  win::detail::Window* w = win::detail::Get(wnd);
  return w ? w->cwnd : nullptr;
}

BOOL CWnd::Attach(HWND wnd) {
  win::detail::Window* w = win::detail::Get(wnd);
  if (!w || w->cwnd || m_hWnd) return FALSE;
  w->cwnd = this;
  m_hWnd = wnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND h = m_hWnd;
  if (win::detail::Window* w = win::detail::Get(h); w && w->cwnd == this) w->cwnd = nullptr;
  m_hWnd = nullptr;
  return h;
}

BOOL CWnd::SubclassWindow(HWND wnd) {
  if (!Attach(wnd)) return FALSE;
  PreSubclassWindow();
  win::detail::Window* w = win::detail::Get(wnd);
  if (!w) return FALSE;
  m_pfnSuper = w->proc;
  w->proc = &AfxWndProc;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  if (!parent) return FALSE;
  HWND h = ::GetDlgItem(parent->m_hWnd, int(id));
  return h ? SubclassWindow(h) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  win::detail::Window* w = win::detail::Get(m_hWnd);
  if (w && w->proc == &AfxWndProc && m_pfnSuper) w->proc = m_pfnSuper;
  m_pfnSuper = nullptr;
  return Detach();
}

BOOL CWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id, void*) {
  return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, nullptr);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                    UINT id, LPVOID param) {
  HMENU idOrMenu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(std::uintptr_t(id)) : nullptr;
  return CreateEx(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr, idOrMenu, param);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int w, int h,
                    HWND parent, HMENU idOrMenu, LPVOID param) {
  if (m_hWnd) return FALSE;
  static bool registered = false;
  if (!registered) {
    WNDCLASS c{};
    c.style = CS_DBLCLKS;
    c.lpfnWndProc = &::DefWindowProc;
    c.hCursor = LoadCursor(nullptr, IDC_ARROW);
    c.lpszClassName = "AfxWnd";
    RegisterClass(&c);
    registered = true;
  }
  CREATESTRUCT cs{param,      AfxGetInstanceHandle(),           idOrMenu, parent, h, w, y, x, LONG(style),
                  windowName, className ? className : "AfxWnd", exStyle};
  if (!PreCreateWindow(cs)) return FALSE;
  g_hookTarget = this;
  HWND made = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, DWORD(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                               cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  g_hookTarget = nullptr;
  if (!made) {
    m_hWnd = nullptr;
    return FALSE;
  }
  return m_hWnd == made;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  HWND h = m_hWnd;
  // A temporary wrapper (from GetDlgItem, say) dies with its window: let go of the handle before.
  if (FromHandlePermanent(h) != this) m_hWnd = nullptr;
  return ::DestroyWindow(h);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  LRESULT r = 0;
  if (message == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      if (result) *result = 1;
      return TRUE;
    }
    return FALSE;
  }
  if (message == WM_NOTIFY) {
    if (lParam && OnNotify(wParam, lParam, &r)) {
      if (result) *result = r;
      return TRUE;
    }
    return FALSE;
  }
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
    if (!DispatchToMap(WM_CTLCOLOR, 0, 0, false, wParam, lParam, &r, message))
      r = reinterpret_cast<LRESULT>(OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),
                                               FromHandle(reinterpret_cast<HWND>(lParam)),
                                               message - WM_CTLCOLORMSGBOX));
    if (result) *result = r;
    return TRUE;
  }
  if (message == WM_DRAWITEM || message == WM_MEASUREITEM) {
    if (!DispatchToMap(message, 0, 0, false, wParam, lParam, &r, message)) {
      if (message == WM_DRAWITEM)
        OnDrawItem(int(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      else
        OnMeasureItem(int(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
    }
    if (result) *result = TRUE;
    return TRUE;
  }
  if (DispatchToMap(message, 0, 0, false, wParam, lParam, &r, message)) {
    if (result) *result = r;
    return TRUE;
  }
  return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT id = LOWORD(wParam);
  UINT code = HIWORD(wParam);
  HWND control = reinterpret_cast<HWND>(lParam);
  if (control) {
    LRESULT r = 0;
    if (ReflectLastMsg(control, &r)) return TRUE;
    if (id == 0) return FALSE;
  }
  return OnCmdMsg(id, int(code), nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
  auto* hdr = reinterpret_cast<NMHDR*>(lParam);
  if (hdr->hwndFrom && ReflectLastMsg(hdr->hwndFrom, result)) return TRUE;
  return DispatchToMap(WM_NOTIFY, hdr->code, UINT(hdr->idFrom), true, hdr->idFrom, lParam, result, WM_NOTIFY);
}

const MSG* CWnd::GetCurrentMessage() { return g_current.empty() ? nullptr : &g_current.back(); }

BOOL CWnd::ReflectLastMsg(HWND child, LRESULT* result) {
  CWnd* c = FromHandlePermanent(child);
  const MSG* m = GetCurrentMessage();
  if (!c || !m) return FALSE;
  LRESULT local = 0;
  return c->OnChildNotify(m->message, m->wParam, m->lParam, result ? result : &local);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  return ReflectChildNotify(message, wParam, lParam, result);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  LRESULT r = 0;
  switch (message) {
    case WM_COMMAND:
      if (DispatchToMap(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0, false, wParam, lParam, &r, message)) {
        if (result) *result = 1;
        return TRUE;
      }
      return FALSE;
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lParam);
      if (hdr && DispatchToMap(WM_REFLECT_BASE + WM_NOTIFY, hdr->code, 0, false, wParam, lParam, &r, message)) {
        if (result) *result = r;
        return TRUE;
      }
      return FALSE;
    }
    default:
      if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        if (DispatchToMap(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, false, wParam, lParam, &r, message) && r) {
          if (result) *result = r;
          return TRUE;
        }
        return FALSE;
      }
      if (DispatchToMap(WM_REFLECT_BASE + message, 0, 0, false, wParam, lParam, &r, message)) {
        if (result) *result = r;
        return TRUE;
      }
      return FALSE;
  }
}

HBRUSH CWnd::OnCtlColor(CDC* dc, CWnd* wnd, UINT) {
  LRESULT r = 0;
  if (wnd && ReflectLastMsg(wnd->m_hWnd, &r) && r) return reinterpret_cast<HBRUSH>(r);
  return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT dis) {
  if (dis && dis->CtlType == ODT_MENU) {
    // Owner-drawn menu items are drawn by the menu object they belong to.
    if (CMenu* menu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(dis->hwndItem))) {
      menu->DrawItem(dis);
      return;
    }
  } else if (dis && ReflectLastMsg(dis->hwndItem)) {
    return;
  }
  Default();
}

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT mis) {
  if (mis && mis->CtlType == ODT_MENU) {
    if (CMenu* menu = CMenu::FromHandlePermanent(win::MenuOfMeasuredItem())) {
      menu->MeasureItem(mis);
      return;
    }
  }
  Default();
}

void CWnd::OnNcDestroy() { Default(); }

LRESULT CWnd::Default() {
  const MSG* m = GetCurrentMessage();
  if (!m) return 0;
  return DefWindowProc(m->message, m->wParam, m->lParam);
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (CUserException*) {
    return FALSE;
  }
  return !dx.m_failed;
}

void CWnd::CalcWindowRect(LPRECT rect, UINT) {
  win::detail::Window probe;
  probe.style = GetStyle();
  probe.exStyle = GetExStyle();
  RECT in = win::detail::FrameInsets(probe);
  rect->left -= in.left;
  rect->top -= in.top;
  rect->right += in.right;
  rect->bottom += in.bottom;
}

CWnd* CWnd::GetOwner() const { return m_hWndOwner ? FromHandle(m_hWndOwner) : GetParent(); }

CWnd* CWnd::GetParentOwner() const {
  HWND h = m_hWnd;
  while (h && (GetWindowLongPtr(h, GWL_STYLE) & WS_CHILD)) h = ::GetParent(h);
  return FromHandle(h);
}

CWnd* CWnd::GetSafeOwner(CWnd* parent, HWND* topLevel) {
  HWND h = parent ? parent->m_hWnd : (AfxGetMainWnd() ? AfxGetMainWnd()->m_hWnd : nullptr);
  while (h && (GetWindowLongPtr(h, GWL_STYLE) & WS_CHILD)) h = ::GetParent(h);
  if (topLevel) *topLevel = h;
  return FromHandle(h);
}

void CWnd::GetWindowText(CString& out) const {
  int n = GetWindowTextLength();
  std::string buf(std::size_t(n) + 1, '\0');
  ::GetWindowText(m_hWnd, buf.data(), n + 1);
  buf.resize(std::strlen(buf.c_str()));
  out = CString(buf);
}

int CWnd::GetDlgItemText(int id, CString& out) const {
  HWND c = ::GetDlgItem(m_hWnd, id);
  if (!c) {
    out.Empty();
    return 0;
  }
  FromHandle(c)->GetWindowText(out);
  return out.GetLength();
}

int CWnd::GetCheckedRadioButton(int first, int last) const {
  for (int id = first; id <= last; ++id)
    if (IsDlgButtonChecked(id)) return id;
  return 0;
}

void CWnd::SetFont(CFont* font, BOOL redraw) {
  SendMessage(WM_SETFONT, WPARAM(font ? static_cast<HFONT>(*font) : nullptr), redraw);
}

CFont* CWnd::GetFont() const {
  HFONT f = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  return f ? CFont::FromHandle(f) : nullptr;
}

void CWnd::ClientToScreen(LPRECT r) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(r));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(r) + 1);
}

void CWnd::ScreenToClient(LPRECT r) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(r));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(r) + 1);
}

BOOL CWnd::SetWindowPos(const CWnd* after, int x, int y, int w, int h, UINT flags) {
  HWND a = after ? after->m_hWnd : HWND_TOP;
  if (after == reinterpret_cast<const CWnd*>(std::intptr_t(1))) a = HWND_BOTTOM;
  return ::SetWindowPos(m_hWnd, a, x, y, w, h, flags);
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  CWnd* owner = alternateOwner ? alternateOwner : GetParent();
  if (owner) {
    if (GetStyle() & WS_CHILD)
      owner->GetClientRect(&area);
    else
      owner->GetWindowRect(&area);
  }
  CRect r;
  GetWindowRect(&r);
  int x = area.left + (area.right - area.left - r.Width()) / 2;
  int y = area.top + (area.bottom - area.top - r.Height()) / 2;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::ModifyStyle(HWND wnd, DWORD remove, DWORD add, UINT flags) {
  DWORD style = DWORD(::GetWindowLongPtr(wnd, GWL_STYLE));
  DWORD now = (style & ~remove) | add;
  if (now == style) return FALSE;
  ::SetWindowLongPtr(wnd, GWL_STYLE, LONG_PTR(LONG(now)));
  if (flags) ::SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
  return TRUE;
}

BOOL CWnd::ModifyStyleEx(HWND wnd, DWORD remove, DWORD add, UINT flags) {
  DWORD style = DWORD(::GetWindowLongPtr(wnd, GWL_EXSTYLE));
  DWORD now = (style & ~remove) | add;
  if (now == style) return FALSE;
  ::SetWindowLongPtr(wnd, GWL_EXSTYLE, LONG_PTR(LONG(now)));
  if (flags) ::SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
  return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) { return ModifyStyle(m_hWnd, remove, add, flags); }
BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) { return ModifyStyleEx(m_hWnd, remove, add, flags); }

void CWnd::SendMessageToDescendants(UINT msg, WPARAM w, LPARAM l, BOOL deep, BOOL permanentOnly) {
  for (HWND c = ::GetWindow(m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    if (!permanentOnly || FromHandlePermanent(c)) ::SendMessage(c, msg, w, l);
    if (deep && ::IsWindow(c)) FromHandle(c)->SendMessageToDescendants(msg, w, l, deep, permanentOnly);
  }
}

namespace {
std::map<CDC*, std::unique_ptr<CDC>>& WindowDcs() {
  static std::map<CDC*, std::unique_ptr<CDC>> dcs;
  return dcs;
}
CDC* KeepDc(HDC dc) {
  if (!dc) return nullptr;
  auto c = std::make_unique<CDC>();
  c->Attach(dc);
  CDC* p = c.get();
  WindowDcs()[p] = std::move(c);
  return p;
}
}  // namespace

CDC* CWnd::GetDC() { return KeepDc(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return KeepDc(::GetWindowDC(m_hWnd)); }

int CWnd::ReleaseDC(CDC* dc) {
  auto it = WindowDcs().find(dc);
  if (it == WindowDcs().end()) return 0;
  HDC h = dc->Detach();
  WindowDcs().erase(it);
  return ::ReleaseDC(m_hWnd, h);
}

BOOL CWnd::GetScrollInfo(int bar, LPSCROLLINFO info, UINT mask) {
  if (!info) return FALSE;
  info->fMask = mask;
  return ::GetScrollInfo(m_hWnd, bar, info);
}

int CWnd::GetScrollLimit(int bar) {
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
  ::GetScrollInfo(m_hWnd, bar, &si);
  return std::max(si.nMin, si.nMax - std::max(int(si.nPage) - 1, 0));
}

void CWnd::EnableScrollBarCtrl(int bar, BOOL enable) { ::ShowScrollBar(m_hWnd, bar, enable); }

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
BOOL CWnd::SetMenu(CMenu* menu) { return ::SetMenu(m_hWnd, menu ? menu->m_hMenu : nullptr); }

// ---- Data exchange ----------------------------------------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CUserException, CException)

HWND CDataExchange::PrepareCtrl(int id) {
  HWND h = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
  m_hWndLastControl = h;
  return h;
}

void CDataExchange::Fail() {
  m_failed = true;
  if (m_hWndLastControl && ::IsWindow(m_hWndLastControl)) ::SetFocus(m_hWndLastControl);
  static CUserException exception;
  throw &exception;
}

namespace {
CString ControlText(CDataExchange* pDX, int id) {
  HWND h = pDX->PrepareCtrl(id);
  CString s;
  if (h) CWnd::FromHandle(h)->GetWindowText(s);
  return s;
}
void SetControlText(CDataExchange* pDX, int id, const CString& text) {
  HWND h = pDX->PrepareCtrl(id);
  if (!h) return;
  CString now;
  CWnd::FromHandle(h)->GetWindowText(now);
  // An unchanged text is not set again, so that no change notification is caused.
  if (now != text) ::SetWindowText(h, text);
}
}  // namespace

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (control.m_hWnd) return;
  HWND h = pDX->PrepareCtrl(id);
  if (!h || !control.SubclassWindow(h)) throw std::runtime_error("DDX_Control: no control with this id");
}

void DDX_Text(CDataExchange* pDX, int id, CString& value) {
  if (pDX->m_bSaveAndValidate)
    value = ControlText(pDX, id);
  else
    SetControlText(pDX, id, value);
}

namespace {
template <class T>
void IntText(CDataExchange* pDX, int id, T& value, const char* format) {
  if (pDX->m_bSaveAndValidate) {
    CString s = ControlText(pDX, id);
    s.Trim();
    char* end = nullptr;
    long long v = std::strtoll(s, &end, 10);
    if (s.IsEmpty() || (end && *end)) {
      AfxMessageBox("Please enter an integer.", MB_ICONEXCLAMATION);
      pDX->Fail();
    }
    value = T(v);
  } else {
    CString s;
    s.Format(format, value);
    SetControlText(pDX, id, s);
  }
}
}  // namespace

void DDX_Text(CDataExchange* pDX, int id, int& value) { IntText(pDX, id, value, "%d"); }
void DDX_Text(CDataExchange* pDX, int id, UINT& value) { IntText(pDX, id, value, "%u"); }
void DDX_Text(CDataExchange* pDX, int id, long& value) { IntText(pDX, id, value, "%ld"); }

void DDX_Text(CDataExchange* pDX, int id, double& value) {
  if (pDX->m_bSaveAndValidate) {
    CString s = ControlText(pDX, id);
    s.Trim();
    char* end = nullptr;
    double v = std::strtod(s, &end);
    if (s.IsEmpty() || (end && *end)) {
      AfxMessageBox("Please enter a number.", MB_ICONEXCLAMATION);
      pDX->Fail();
    }
    value = v;
  } else {
    CString s;
    s.Format("%.*g", 15, value);
    SetControlText(pDX, id, s);
  }
}

void DDX_Text(CDataExchange* pDX, int id, float& value) {
  double d = value;
  DDX_Text(pDX, id, d);
  value = float(d);
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
  HWND h = pDX->PrepareCtrl(id);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    value = int(::SendMessage(h, BM_GETCHECK, 0, 0));
  else
    ::SendMessage(h, BM_SETCHECK, WPARAM(value), 0);
}

void DDX_Radio(CDataExchange* pDX, int id, int& value) {
  // The group starts at the control and runs to the next WS_GROUP control.
  HWND h = pDX->PrepareCtrl(id);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) value = -1;
  int index = 0;
  for (HWND c = h; c; c = ::GetWindow(c, GW_HWNDNEXT), ++index) {
    if (c != h && (GetWindowLongPtr(c, GWL_STYLE) & WS_GROUP)) break;
    if (!(::SendMessage(c, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) continue;
    if (pDX->m_bSaveAndValidate) {
      if (::SendMessage(c, BM_GETCHECK, 0, 0)) value = index;
    } else {
      ::SendMessage(c, BM_SETCHECK, index == value, 0);
    }
  }
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& value) {
  HWND h = pDX->PrepareCtrl(id);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    value = int(::SendMessage(h, CB_GETCURSEL, 0, 0));
  else
    ::SendMessage(h, CB_SETCURSEL, WPARAM(value), 0);
}

void DDX_CBString(CDataExchange* pDX, int id, CString& value) {
  HWND h = pDX->PrepareCtrl(id);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    CWnd::FromHandle(h)->GetWindowText(value);
  } else if (::SendMessage(h, CB_SELECTSTRING, WPARAM(-1), LPARAM(value.GetString())) == CB_ERR) {
    ::SetWindowText(h, value);
  }
}

void DDX_CBStringExact(CDataExchange* pDX, int id, CString& value) {
  HWND h = pDX->PrepareCtrl(id);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    CWnd::FromHandle(h)->GetWindowText(value);
    return;
  }
  int i = int(::SendMessage(h, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(value.GetString())));
  if (i >= 0)
    ::SendMessage(h, CB_SETCURSEL, WPARAM(i), 0);
  else
    ::SetWindowText(h, value);
}

void DDX_LBIndex(CDataExchange* pDX, int id, int& value) {
  HWND h = pDX->PrepareCtrl(id);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    value = int(::SendMessage(h, LB_GETCURSEL, 0, 0));
  else
    ::SendMessage(h, LB_SETCURSEL, WPARAM(value), 0);
}

void DDX_LBString(CDataExchange* pDX, int id, CString& value) {
  HWND h = pDX->PrepareCtrl(id);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    int i = int(::SendMessage(h, LB_GETCURSEL, 0, 0));
    value.Empty();
    if (i >= 0) static_cast<CListBox*>(CWnd::FromHandle(h))->GetText(i, value);
  } else {
    ::SendMessage(h, LB_SELECTSTRING, WPARAM(-1), LPARAM(value.GetString()));
  }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString s;
  s.Format("Please enter an integer between %d and %d.", minVal, maxVal);
  AfxMessageBox(s, MB_ICONEXCLAMATION);
  pDX->Fail();
}

void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString s;
  s.Format("Please enter a number between %g and %g.", minVal, maxVal);
  AfxMessageBox(s, MB_ICONEXCLAMATION);
  pDX->Fail();
}

void DDV_MaxChars(CDataExchange* pDX, CString const& value, int maxChars) {
  if (pDX->m_bSaveAndValidate) {
    if (value.GetLength() > maxChars) {
      CString s;
      s.Format("Enter no more than %d characters.", maxChars);
      AfxMessageBox(s, MB_ICONEXCLAMATION);
      pDX->Fail();
    }
  } else if (pDX->m_hWndLastControl) {
    ::SendMessage(pDX->m_hWndLastControl, EM_LIMITTEXT, WPARAM(maxChars), 0);
  }
}

// ---- Dialogs ------------------------------------------------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CDialog::~CDialog() {
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

UINT CDialog::TemplateId() const {
  if (m_lpszTemplateName && IS_INTRESOURCE(m_lpszTemplateName))
    return UINT(reinterpret_cast<std::uintptr_t>(m_lpszTemplateName));
  return m_nIDHelp;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  m_lpszTemplateName = MAKEINTRESOURCE(templateId);
  m_nIDHelp = templateId;
  return Create(m_lpszTemplateName, parent);
}

BOOL CDialog::Create(LPCSTR templateName, CWnd* parent) {
  m_lpszTemplateName = templateName;
  if (parent) m_pParentWnd = parent;
  const win::DialogTemplate* t = win::FindDialogTemplate(TemplateId());
  if (!t) return FALSE;
  return CreateIndirect(*t, m_pParentWnd);
}

BOOL CDialog::CreateIndirect(const win::DialogTemplate& dialog, CWnd* parent) {
  if (m_hWnd) return FALSE;
  if (parent) m_pParentWnd = parent;
  g_hookTarget = this;
  HWND h = win::detail::CreateDialogFromTemplate(dialog, m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, nullptr, 0,
                                                 TemplateId(), false);
  g_hookTarget = nullptr;
  return h != nullptr && m_hWnd == h;
}

INT_PTR CDialog::DoModal() {
  const win::DialogTemplate* t = win::FindDialogTemplate(TemplateId());
  if (!t || m_hWnd) return -1;
  HWND owner = nullptr;
  GetSafeOwner(m_pParentWnd, &owner);
  const win::detail::FocusKeeper kept(owner);
  bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
  if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
  win::DialogTemplate modal = *t;
  modal.style &= ~(DS_CONTROL | WS_CHILD);
  modal.style |= WS_POPUP;
  m_bModal = true;
  struct Cleanup {
    CDialog* dlg;
    HWND owner;
    bool enable;
    const win::detail::FocusKeeper& kept;
    ~Cleanup() {
      if (enable && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
      if (dlg->m_hWnd) dlg->DestroyWindow();
      if (owner && ::IsWindow(owner)) ::SetActiveWindow(owner);
      kept.Restore();
      dlg->m_bModal = false;
    }
  } cleanup{this, owner, ownerWasEnabled, kept};
  g_hookTarget = this;
  HWND h = win::detail::CreateDialogFromTemplate(modal, owner, nullptr, 0, TemplateId(), true);
  g_hookTarget = nullptr;
  if (!h) return -1;
  return win::detail::RunModal(h);
}

void CDialog::EndDialog(int result) {
  if (m_hWnd) ::EndDialog(m_hWnd, result);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
  Default();
  return OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  if (msg->message >= WM_KEYDOWN && msg->message <= WM_SYSCHAR + 1) return ::IsDialogMessage(m_hWnd, msg);
  return FALSE;
}

void CDialog::NextDlgCtrl() const {
  HWND next = ::GetNextDlgTabItem(m_hWnd, ::GetFocus(), FALSE);
  if (next) win::detail::DialogFocus(next);
}

void CDialog::PrevDlgCtrl() const {
  HWND prev = ::GetNextDlgTabItem(m_hWnd, ::GetFocus(), TRUE);
  if (prev) win::detail::DialogFocus(prev);
}

void CDialog::GotoDlgCtrl(CWnd* control) {
  if (control) win::detail::DialogFocus(control->m_hWnd);
}

// ---- Application -----------------------------------------------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

namespace {
CWinApp*& TheApp() {
  static CWinApp* app = nullptr;
  return app;
}
HINSTANCE& ResourceHandle() {
  static HINSTANCE h = GetModuleHandle(nullptr);
  return h;
}
}  // namespace

CWinApp::CWinApp(LPCSTR appName) : m_hInstance(GetModuleHandle(nullptr)), m_strAppName(appName) {
  if (!TheApp()) TheApp() = this;
}
BOOL CWinApp::PreTranslateMessage(MSG* msg) {
  for (HWND wnd = msg ? msg->hwnd : nullptr; wnd; wnd = ::GetParent(wnd)) {
    if (CWnd* window = CWnd::FromHandlePermanent(wnd); window && window->PreTranslateMessage(msg)) return TRUE;
  }
  return FALSE;
}

CWinApp::~CWinApp() {
  if (TheApp() == this) TheApp() = nullptr;
}
CWinApp* AfxGetApp() { return TheApp(); }
CWnd* AfxGetMainWnd() { return TheApp() ? TheApp()->m_pMainWnd : nullptr; }
HINSTANCE AfxGetInstanceHandle() { return GetModuleHandle(nullptr); }
HINSTANCE AfxGetResourceHandle() { return ResourceHandle(); }
void AfxSetResourceHandle(HINSTANCE instance) { ResourceHandle() = instance; }

BOOL AfxLoadString(UINT id, CString& out) {
  char buf[4096];
  int n = ::LoadString(AfxGetResourceHandle(), id, buf, sizeof(buf));
  out = CString(buf, n);
  return n > 0;
}
CString AfxLoadString(UINT id) {
  CString s;
  AfxLoadString(id, s);
  return s;
}

// ---- Scripts that need the class layer ---------------------------------------------------------------------------------------------
namespace win::script {
void QueueDialog(std::function<void(CDialog& dialog)> script) {
  win::detail::QueueDialogScript([script = std::move(script)](HWND h) {
    CWnd* w = CWnd::FromHandle(h);
    if (auto* d = dynamic_cast<CDialog*>(w)) script(*d);
  });
}
}  // namespace win::script
