// MFC-style control wrappers and menus.
#include "platform/win/controls/afxctl.h"

#include <cstring>
#include <map>

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)
IMPLEMENT_DYNCREATE(CMenu, CObject)
IMPLEMENT_DYNCREATE(CImageList, CObject)

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_DRAWITEM) {
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (result) *result = TRUE;
    return TRUE;
  }
  return CWnd::OnChildNotify(message, wParam, lParam, result);
}

int CEdit::GetLine(int line, LPSTR buffer, int max) const {
  if (!buffer || max < 2) return 0;
  WORD size = WORD(std::min(max, 0xFFFF));
  std::memcpy(buffer, &size, sizeof(size));
  return int(SendMessage(EM_GETLINE, WPARAM(line), LPARAM(buffer)));
}

void CComboBox::GetLBText(int index, CString& out) const {
  int n = GetLBTextLen(index);
  if (n < 0) {
    out.Empty();
    return;
  }
  std::string buf(std::size_t(n) + 1, '\0');
  SendMessage(CB_GETLBTEXT, WPARAM(index), LPARAM(buf.data()));
  buf.resize(std::size_t(n));
  out = CString(buf);
}

void CListBox::GetText(int index, CString& out) const {
  int n = GetTextLen(index);
  if (n < 0) {
    out.Empty();
    return;
  }
  std::string buf(std::size_t(n) + 1, '\0');
  SendMessage(LB_GETTEXT, WPARAM(index), LPARAM(buf.data()));
  buf.resize(std::size_t(n));
  out = CString(buf);
}

UINT CListBox::ItemFromPoint(CPoint p, BOOL& outside) const {
  DWORD r = DWORD(SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(WORD(p.x), WORD(p.y))));
  outside = HIWORD(r) != 0;
  return LOWORD(r);
}

void CProgressCtrl::GetRange(int& lower, int& upper) const {
  PBRANGE r{};
  SendMessage(PBM_GETRANGE, TRUE, LPARAM(&r));
  lower = r.iLow;
  upper = r.iHigh;
}

LONG CTabCtrl::InsertItem(int index, LPCSTR text) {
  TCITEM item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<LPSTR>(text);
  return InsertItem(index, &item);
}

HTREEITEM CTreeCtrl::InsertItem(LPCSTR text, HTREEITEM parent, HTREEITEM after) {
  return InsertItem(TVIF_TEXT, text, 0, 0, 0, 0, 0, parent, after);
}

HTREEITEM CTreeCtrl::InsertItem(UINT mask, LPCSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                                LPARAM param, HTREEITEM parent, HTREEITEM after) {
  TVINSERTSTRUCT ins{};
  ins.hParent = parent;
  ins.hInsertAfter = after;
  ins.item.mask = mask;
  ins.item.pszText = const_cast<LPSTR>(text);
  ins.item.iImage = image;
  ins.item.iSelectedImage = selectedImage;
  ins.item.state = state;
  ins.item.stateMask = stateMask;
  ins.item.lParam = param;
  return InsertItem(&ins);
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM item) const {
  TVITEM it{};
  it.mask = TVIF_CHILDREN;
  it.hItem = item;
  return GetItem(&it) && it.cChildren != 0;
}

CString CTreeCtrl::GetItemText(HTREEITEM item) const {
  char buf[4096] = {};
  TVITEM it{};
  it.mask = TVIF_TEXT;
  it.hItem = item;
  it.pszText = buf;
  it.cchTextMax = sizeof(buf);
  GetItem(&it);
  return CString(buf);
}

BOOL CTreeCtrl::SetItemText(HTREEITEM item, LPCSTR text) {
  TVITEM it{};
  it.mask = TVIF_TEXT;
  it.hItem = item;
  it.pszText = const_cast<LPSTR>(text);
  return SetItem(&it);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const {
  TVITEM it{};
  it.mask = TVIF_PARAM;
  it.hItem = item;
  GetItem(&it);
  return DWORD_PTR(it.lParam);
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data) {
  TVITEM it{};
  it.mask = TVIF_PARAM;
  it.hItem = item;
  it.lParam = LPARAM(data);
  return SetItem(&it);
}

BOOL CTreeCtrl::SetItemState(HTREEITEM item, UINT state, UINT mask) {
  TVITEM it{};
  it.mask = TVIF_STATE;
  it.hItem = item;
  it.state = state;
  it.stateMask = mask;
  return SetItem(&it);
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM item, LPRECT r, BOOL textOnly) const {
  if (!r) return FALSE;
  std::memcpy(r, &item, sizeof(item));
  return BOOL(SendMessage(TVM_GETITEMRECT, textOnly, LPARAM(r)));
}

HTREEITEM CTreeCtrl::HitTest(CPoint p, UINT* flags) const {
  TVHITTESTINFO info{};
  info.pt = p;
  SendMessage(TVM_HITTEST, 0, LPARAM(&info));
  if (flags) *flags = info.flags;
  return info.hItem;
}

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
  return CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "tooltips_class32", nullptr, WS_POPUP | style,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent ? parent->m_hWnd : nullptr,
                  nullptr, nullptr);
}

namespace {
TOOLINFO ToolOf(CWnd* wnd, UINT_PTR id, LPCRECT rect, LPSTR text) {
  TOOLINFO ti{};
  ti.cbSize = sizeof(TOOLINFO);
  ti.hwnd = wnd ? wnd->m_hWnd : nullptr;
  ti.uId = id;
  // As in MFC, the tooltip watches the tool's mouse messages itself.
  ti.uFlags = TTF_SUBCLASS;
  if (!rect && wnd) {
    ti.uFlags |= TTF_IDISHWND;
    ti.uId = reinterpret_cast<UINT_PTR>(wnd->m_hWnd);
  } else if (rect) {
    ti.rect = *rect;
  }
  ti.lpszText = text;
  return ti;
}
}  // namespace

BOOL CToolTipCtrl::AddTool(CWnd* wnd, LPCSTR text, LPCRECT rect, UINT_PTR id) {
  TOOLINFO ti = ToolOf(wnd, id, rect, const_cast<LPSTR>(text));
  return BOOL(SendMessage(TTM_ADDTOOL, 0, LPARAM(&ti)));
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, UINT textId, LPCRECT rect, UINT_PTR id) {
  TOOLINFO ti = ToolOf(wnd, id, rect, const_cast<LPSTR>(MAKEINTRESOURCE(textId)));
  ti.hinst = AfxGetResourceHandle();
  return BOOL(SendMessage(TTM_ADDTOOL, 0, LPARAM(&ti)));
}

void CToolTipCtrl::DelTool(CWnd* wnd, UINT_PTR id) {
  CRect none;
  TOOLINFO ti = ToolOf(wnd, id, id ? &none : nullptr, nullptr);
  SendMessage(TTM_DELTOOL, 0, LPARAM(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCSTR text, CWnd* wnd, UINT_PTR id) {
  CRect none;
  TOOLINFO ti = ToolOf(wnd, id, id ? &none : nullptr, const_cast<LPSTR>(text));
  SendMessage(TTM_UPDATETIPTEXT, 0, LPARAM(&ti));
}

void CToolTipCtrl::GetText(CString& out, CWnd* wnd, UINT_PTR id) const {
  char buf[1024] = {};
  CRect none;
  TOOLINFO ti = ToolOf(wnd, id, id ? &none : nullptr, buf);
  SendMessage(TTM_GETTEXT, 0, LPARAM(&ti));
  out = buf;
}

// ---- Menus ----------------------------------------------------------------------------------------------------------
namespace {
struct MenuRelease {
  void operator()(CMenu* m) const {
    m->m_hMenu = nullptr;
    delete m;
  }
};
std::map<HMENU, std::unique_ptr<CMenu, MenuRelease>>& MenuWrappers() {
  static std::map<HMENU, std::unique_ptr<CMenu, MenuRelease>> w;
  return w;
}
}  // namespace

CMenu::~CMenu() { DestroyMenu(); }

namespace {
// Menus attached to an object of their own: owner-drawn items are drawn and measured by that object.
std::map<HMENU, CMenu*>& PermanentMenus() {
  static auto* m = new std::map<HMENU, CMenu*>;
  return *m;
}
}  // namespace

CMenu* CMenu::FromHandlePermanent(HMENU menu) {
  auto it = PermanentMenus().find(menu);
  return it == PermanentMenus().end() ? nullptr : it->second;
}

CMenu* CMenu::FromHandle(HMENU menu) {
  if (!menu) return nullptr;
  if (CMenu* own = FromHandlePermanent(menu)) return own;
  auto& w = MenuWrappers();
  auto it = w.find(menu);
  if (it != w.end()) return it->second.get();
  for (auto s = w.begin(); s != w.end();) s = ::IsMenu(s->first) ? std::next(s) : w.erase(s);
  std::unique_ptr<CMenu, MenuRelease> m(new CMenu);
  m->m_hMenu = menu;
  CMenu* p = m.get();
  w[menu] = std::move(m);
  return p;
}

BOOL CMenu::Attach(HMENU menu) {
  if (!menu || m_hMenu) return FALSE;
  m_hMenu = menu;
  PermanentMenus()[menu] = this;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU h = m_hMenu;
  m_hMenu = nullptr;
  auto it = PermanentMenus().find(h);
  if (it != PermanentMenus().end() && it->second == this) PermanentMenus().erase(it);
  return h;
}

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  HMENU h = Detach();
  return ::DestroyMenu(h);
}

int CMenu::GetMenuString(UINT id, CString& out, UINT flags) const {
  char buf[1024] = {};
  int n = ::GetMenuString(m_hMenu, id, buf, sizeof(buf), flags);
  out = buf;
  return n;
}
