// The tree view: items in levels with buttons and lines, an image before each text, selection, expanding and
// collapsing by mouse and keys, and the notifications a dialog listens to.
#include <algorithm>
#include <cstring>

#include "platform/win/base/handles.h"
#include "platform/win/controls/ctl_internal.h"

namespace win::detail {
namespace {

struct Node {
  HTREEITEM handle = nullptr;
  std::string text;
  LPARAM param = 0;
  UINT state = 0;
  int children = 0;  // the cChildren flag: a button even without child items
  int image = 0, selectedImage = 0;
  Node* parent = nullptr;
  std::vector<Node*> kids;
};

struct TreeState {
  std::map<std::uintptr_t, std::unique_ptr<Node>> nodes;
  std::vector<Node*> roots;
  Node* selected = nullptr;
  Node* dropHilite = nullptr;
  int top = 0;
  int indent = 19;
  int itemHeight = 16;
  bool customHeight = false;
  HFONT font = nullptr;
  bool focused = false;
  HIMAGELIST images = nullptr;       // TVSIL_NORMAL: drawn before each item's text
  HIMAGELIST stateImages = nullptr;  // TVSIL_STATE: kept for the caller
  // Where an item's text starts: its indent, then the image column when there is an image list.
  int ImageWidth() const {
    int cx = 0, cy = 0;
    return images && ImageList_GetIconSize(images, &cx, &cy) ? cx + 3 : 0;
  }
};

// Rows fit the font and the images.
int DefaultItemHeight(const TreeState& s) {
  int cx = 0, cy = 0;
  int h = FontHeight(s.font) + 3;
  return s.images && ImageList_GetIconSize(s.images, &cx, &cy) ? std::max(h, cy + 2) : h;
}

Node* NodeOf(TreeState& s, HTREEITEM h) {
  auto it = s.nodes.find(reinterpret_cast<std::uintptr_t>(h));
  return it == s.nodes.end() ? nullptr : it->second.get();
}

std::vector<Node*>& Siblings(TreeState& s, Node* n) { return n->parent ? n->parent->kids : s.roots; }

void Visible(const std::vector<Node*>& level, std::vector<Node*>& out) {
  for (Node* n : level) {
    out.push_back(n);
    if (n->state & TVIS_EXPANDED) Visible(n->kids, out);
  }
}

std::vector<Node*> VisibleNodes(TreeState& s) {
  std::vector<Node*> out;
  Visible(s.roots, out);
  return out;
}

int Depth(const Node* n) {
  int d = 0;
  while (n->parent) {
    n = n->parent;
    ++d;
  }
  return d;
}

LRESULT TreeNotify(HWND wnd, UINT code, UINT action, Node* oldNode, Node* newNode) {
  NMTREEVIEW nm{};
  nm.action = action;
  if (oldNode) {
    nm.itemOld.hItem = oldNode->handle;
    nm.itemOld.lParam = oldNode->param;
    nm.itemOld.state = oldNode->state;
    nm.itemOld.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE;
  }
  if (newNode) {
    nm.itemNew.hItem = newNode->handle;
    nm.itemNew.lParam = newNode->param;
    nm.itemNew.state = newNode->state;
    nm.itemNew.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE;
  }
  return NotifyParent(wnd, &nm.hdr, code);
}

void UpdateTreeScroll(HWND wnd, TreeState& s) {
  Window* w = Get(wnd);
  int count = int(VisibleNodes(s).size());
  RECT rc;
  GetClientRect(wnd, &rc);
  int rows = std::max(1, int(rc.bottom) / s.itemHeight);
  bool need = count > rows;
  if (need != w->vscroll.shown) ShowScrollBar(wnd, SB_VERT, need);
  GetClientRect(wnd, &rc);
  rows = std::max(1, int(rc.bottom) / s.itemHeight);
  s.top = std::clamp(s.top, 0, std::max(0, count - rows));
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, std::max(0, count - 1), UINT(rows), s.top, 0};
  SetScrollInfo(wnd, SB_VERT, &si, TRUE);
}

void EnsureNodeVisible(HWND wnd, TreeState& s, Node* n) {
  for (Node* p = n->parent; p; p = p->parent) p->state |= TVIS_EXPANDED;
  auto vis = VisibleNodes(s);
  int i = int(std::find(vis.begin(), vis.end(), n) - vis.begin());
  RECT rc;
  GetClientRect(wnd, &rc);
  int rows = std::max(1, int(rc.bottom) / s.itemHeight);
  if (i < s.top) s.top = i;
  if (i >= s.top + rows) s.top = i - rows + 1;
  UpdateTreeScroll(wnd, s);
}

bool TreeSelect(HWND wnd, TreeState& s, Node* n, UINT action) {
  if (n == s.selected) return true;
  if (TreeNotify(wnd, TVN_SELCHANGING, action, s.selected, n)) return false;
  if (!Get(wnd)) return false;
  Node* old = s.selected;
  if (old) old->state &= ~TVIS_SELECTED;
  s.selected = n;
  if (n) {
    n->state |= TVIS_SELECTED;
    EnsureNodeVisible(wnd, s, n);
  }
  InvalidateRect(wnd, nullptr, TRUE);
  TreeNotify(wnd, TVN_SELCHANGED, action, old, n);
  return true;
}

bool HasButton(const Node* n) { return !n->kids.empty() || n->children > 0; }

void Expand(HWND wnd, TreeState& s, Node* n, UINT code, bool notify) {
  bool expanded = n->state & TVIS_EXPANDED;
  bool want = code == TVE_TOGGLE ? !expanded : code == TVE_EXPAND;
  if (want == expanded) return;
  UINT action = want ? TVE_EXPAND : TVE_COLLAPSE;
  if (notify && TreeNotify(wnd, TVN_ITEMEXPANDING, action, nullptr, n)) return;
  if (!Get(wnd)) return;
  if (want)
    n->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
  else
    n->state &= ~TVIS_EXPANDED;
  // A collapsed branch cannot hold the selection.
  if (!want && s.selected)
    for (Node* p = s.selected->parent; p; p = p->parent)
      if (p == n) {
        TreeSelect(wnd, s, n, TVC_UNKNOWN);
        break;
      }
  UpdateTreeScroll(wnd, s);
  InvalidateRect(wnd, nullptr, TRUE);
  if (notify) TreeNotify(wnd, TVN_ITEMEXPANDED, action, nullptr, n);
}

void DeleteNode(HWND wnd, TreeState& s, Node* n) {
  for (Node* k : std::vector<Node*>(n->kids)) DeleteNode(wnd, s, k);
  TreeNotify(wnd, TVN_DELETEITEM, 0, n, nullptr);
  if (s.selected == n) s.selected = nullptr;
  if (s.dropHilite == n) s.dropHilite = nullptr;
  auto& sib = Siblings(s, n);
  sib.erase(std::remove(sib.begin(), sib.end(), n), sib.end());
  auto key = reinterpret_cast<std::uintptr_t>(n->handle);
  win::ReleaseHandle(int(key));
  s.nodes.erase(key);
}

struct TreeHit {
  Node* node = nullptr;
  UINT flags = TVHT_NOWHERE;
};

TreeHit TreeHitTest(HWND wnd, TreeState& s, POINT p) {
  TreeHit h;
  auto vis = VisibleNodes(s);
  int row = s.top + p.y / s.itemHeight;
  if (p.y < 0 || row < 0 || row >= int(vis.size())) return h;
  Node* n = vis[std::size_t(row)];
  h.node = n;
  bool root = (Get(wnd)->style & TVS_LINESATROOT) != 0;
  int level = Depth(n) + (root ? 1 : 0);
  int imageLeft = 2 + level * s.indent;
  int textLeft = imageLeft + s.ImageWidth();
  HDC dc = GetDC(wnd);
  HGDIOBJ old = UseFont(dc, s.font);
  SIZE sz;
  GetTextExtentPoint32(dc, n->text.c_str(), int(n->text.size()), &sz);
  SelectObject(dc, old);
  ReleaseDC(wnd, dc);
  if (p.x >= textLeft && p.x < textLeft + sz.cx + 4)
    h.flags = TVHT_ONITEMLABEL;
  else if (p.x >= imageLeft && p.x < textLeft)
    h.flags = TVHT_ONITEMICON;
  else if (p.x >= imageLeft - s.indent && p.x < imageLeft && (level > 0) && HasButton(n) &&
           (Get(wnd)->style & TVS_HASBUTTONS))
    h.flags = TVHT_ONITEMBUTTON;
  else if (p.x < imageLeft)
    h.flags = TVHT_ONITEMINDENT;
  else
    h.flags = TVHT_ONITEMRIGHT;
  return h;
}

void PaintTree(HWND wnd, TreeState& s, HDC dc) {
  Window* w = Get(wnd);
  RECT rc;
  GetClientRect(wnd, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW));
  HFONT old = UseFont(dc, s.font);
  SetBkMode(dc, TRANSPARENT);
  auto vis = VisibleNodes(s);
  bool root = w->style & TVS_LINESATROOT;
  HPEN dots = CreatePen(PS_DOT, 1, GetSysColor(COLOR_3DSHADOW));
  for (int row = s.top; row < int(vis.size()); ++row) {
    int y = (row - s.top) * s.itemHeight;
    if (y > rc.bottom) break;
    Node* n = vis[std::size_t(row)];
    int level = Depth(n) + (root ? 1 : 0);
    int textLeft = 2 + level * s.indent;
    int cy = y + s.itemHeight / 2;
    if ((w->style & TVS_HASLINES) && level > 0) {
      HGDIOBJ op = SelectObject(dc, dots);
      int cx = textLeft - s.indent / 2 - 1;
      MoveToEx(dc, cx, cy, nullptr);
      LineTo(dc, textLeft - 2, cy);
      auto& sib = Siblings(s, n);
      bool last = sib.back() == n;
      bool firstRoot = !n->parent && sib.front() == n;
      MoveToEx(dc, cx, firstRoot ? cy : y, nullptr);
      LineTo(dc, cx, last ? cy + 1 : y + s.itemHeight);
      for (Node* p = n->parent; p; p = p->parent) {
        auto& ps = Siblings(s, p);
        if (ps.back() == p) continue;
        int px = 2 + (Depth(p) + (root ? 1 : 0)) * s.indent - s.indent / 2 - 1;
        if (Depth(p) + (root ? 1 : 0) == 0) continue;
        MoveToEx(dc, px, y, nullptr);
        LineTo(dc, px, y + s.itemHeight);
      }
      SelectObject(dc, op);
    }
    if ((w->style & TVS_HASBUTTONS) && HasButton(n) && level > 0) {
      int cx = textLeft - s.indent / 2 - 1;
      RECT box{cx - 4, cy - 4, cx + 5, cy + 5};
      FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
      FrameRect(dc, &box, GetSysColorBrush(COLOR_3DSHADOW));
      HPEN black = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
      HGDIOBJ op = SelectObject(dc, black);
      MoveToEx(dc, cx - 2, cy, nullptr);
      LineTo(dc, cx + 3, cy);
      if (!(n->state & TVIS_EXPANDED)) {
        MoveToEx(dc, cx, cy - 2, nullptr);
        LineTo(dc, cx, cy + 3);
      }
      SelectObject(dc, op);
      DeleteObject(black);
    }
    bool sel = n == s.selected || n == s.dropHilite;
    if (s.images) {
      int cx = 0, cy = 0;
      ImageList_GetIconSize(s.images, &cx, &cy);
      int image = sel && n == s.selected ? n->selectedImage : n->image;
      if (image >= 0) ImageList_Draw(s.images, image, dc, textLeft, y + (s.itemHeight - cy) / 2, ILD_TRANSPARENT);
      textLeft += s.ImageWidth();
    }
    SIZE sz;
    GetTextExtentPoint32(dc, n->text.c_str(), int(n->text.size()), &sz);
    RECT tr{textLeft, y, textLeft + sz.cx + 4, y + s.itemHeight};
    if (sel && (s.focused || n == s.dropHilite)) {
      FillRect(dc, &tr, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else if (sel && (w->style & TVS_SHOWSELALWAYS)) {
      FillRect(dc, &tr, GetSysColorBrush(COLOR_3DFACE));
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    } else {
      SetTextColor(dc, IsWindowEnabled(wnd) ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT));
    }
    HFONT bold = nullptr;
    HGDIOBJ prevFont = nullptr;
    if (n->state & TVIS_BOLD) {
      LOGFONT lf{};
      GetObject(s.font ? static_cast<HGDIOBJ>(s.font) : GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
      lf.lfWeight = FW_BOLD;
      bold = CreateFontIndirect(&lf);
      prevFont = SelectObject(dc, bold);
    }
    RECT t2{tr.left + 2, tr.top, tr.right + 8, tr.bottom};
    DrawText(dc, n->text.c_str(), -1, &t2, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (bold) {
      SelectObject(dc, prevFont);
      DeleteObject(bold);
    }
    if (sel && s.focused) DrawFocusRect(dc, &tr);
  }
  DeleteObject(dots);
  SelectObject(dc, old);
}

LRESULT TreeInsertItem(HWND wnd, TreeState& s, LPARAM lParam) {
  auto* ins = reinterpret_cast<const TVINSERTSTRUCT*>(lParam);
  if (!ins) return 0;
  Node* parent = (ins->hParent == TVI_ROOT || !ins->hParent) ? nullptr : NodeOf(s, ins->hParent);
  if (ins->hParent && ins->hParent != TVI_ROOT && !parent) return 0;
  auto node = std::make_unique<Node>();
  Node* n = node.get();
  EnsureHandleFloor();
  n->handle = reinterpret_cast<HTREEITEM>(std::intptr_t(win::RegisterHandle(n, typeid(Node))));
  n->parent = parent;
  const TVITEM& it = ins->item;
  if ((it.mask & TVIF_TEXT) && it.pszText && it.pszText != LPSTR_TEXTCALLBACK) n->text = ValidUtf8(it.pszText);
  if (it.mask & TVIF_PARAM) n->param = it.lParam;
  if (it.mask & TVIF_STATE) n->state = it.state & it.stateMask & ~TVIS_SELECTED;
  if (it.mask & TVIF_CHILDREN) n->children = it.cChildren;
  if (it.mask & TVIF_IMAGE) n->image = it.iImage;
  if (it.mask & TVIF_SELECTEDIMAGE) n->selectedImage = it.iSelectedImage;
  auto& sib = parent ? parent->kids : s.roots;
  if (ins->hInsertAfter == TVI_FIRST) {
    sib.insert(sib.begin(), n);
  } else if (ins->hInsertAfter == TVI_SORT) {
    auto pos = std::upper_bound(sib.begin(), sib.end(), n,
                                [](const Node* a, const Node* b) { return Lower(a->text) < Lower(b->text); });
    sib.insert(pos, n);
  } else if (ins->hInsertAfter == TVI_LAST || !ins->hInsertAfter) {
    sib.push_back(n);
  } else {
    Node* after = NodeOf(s, ins->hInsertAfter);
    auto pos = std::find(sib.begin(), sib.end(), after);
    sib.insert(pos == sib.end() ? sib.end() : std::next(pos), n);
  }
  s.nodes[reinterpret_cast<std::uintptr_t>(n->handle)] = std::move(node);
  UpdateTreeScroll(wnd, s);
  InvalidateRect(wnd, nullptr, TRUE);
  return reinterpret_cast<LRESULT>(n->handle);
}

LRESULT TreeDeleteItem(HWND wnd, TreeState& s, LPARAM lParam) {
  auto h = reinterpret_cast<HTREEITEM>(lParam);
  if (!h || h == TVI_ROOT) {
    for (Node* r : std::vector<Node*>(s.roots)) DeleteNode(wnd, s, r);
  } else if (Node* n = NodeOf(s, h)) {
    DeleteNode(wnd, s, n);
  } else {
    return FALSE;
  }
  UpdateTreeScroll(wnd, s);
  InvalidateRect(wnd, nullptr, TRUE);
  return TRUE;
}

LRESULT TreeSetItemHeight(HWND wnd, TreeState& s, WPARAM wParam) {
  int old = s.itemHeight;
  if (int(wParam) == -1) {
    s.customHeight = false;
    s.itemHeight = FontHeight(s.font) + 3;
  } else {
    s.customHeight = true;
    s.itemHeight = std::max(1, int(wParam));
  }
  UpdateTreeScroll(wnd, s);
  return old;
}

LRESULT TreeNextItem(TreeState& s, WPARAM wParam, LPARAM lParam) {
  Node* n = NodeOf(s, reinterpret_cast<HTREEITEM>(lParam));
  Node* r = nullptr;
  auto vis = VisibleNodes(s);
  switch (wParam) {
    case TVGN_ROOT: r = s.roots.empty() ? nullptr : s.roots.front(); break;
    case TVGN_CARET: r = s.selected; break;
    case TVGN_DROPHILITE: r = s.dropHilite; break;
    case TVGN_FIRSTVISIBLE: r = s.top < int(vis.size()) ? vis[std::size_t(s.top)] : nullptr; break;
    case TVGN_LASTVISIBLE: r = vis.empty() ? nullptr : vis.back(); break;
    case TVGN_PARENT: r = n ? n->parent : nullptr; break;
    case TVGN_CHILD:
      if (!lParam || reinterpret_cast<HTREEITEM>(lParam) == TVI_ROOT)
        r = s.roots.empty() ? nullptr : s.roots.front();
      else
        r = n && !n->kids.empty() ? n->kids.front() : nullptr;
      break;
    case TVGN_NEXT:
    case TVGN_PREVIOUS: {
      if (!n) break;
      auto& sib = Siblings(s, n);
      auto it = std::find(sib.begin(), sib.end(), n);
      if (wParam == TVGN_NEXT)
        r = std::next(it) == sib.end() ? nullptr : *std::next(it);
      else
        r = it == sib.begin() ? nullptr : *std::prev(it);
      break;
    }
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
      auto it = std::find(vis.begin(), vis.end(), n);
      if (it == vis.end()) break;
      if (wParam == TVGN_NEXTVISIBLE)
        r = std::next(it) == vis.end() ? nullptr : *std::next(it);
      else
        r = it == vis.begin() ? nullptr : *std::prev(it);
      break;
    }
    default: break;
  }
  return r ? reinterpret_cast<LRESULT>(r->handle) : 0;
}

LRESULT TreeSelectItem(HWND wnd, TreeState& s, WPARAM wParam, LPARAM lParam) {
  auto h = reinterpret_cast<HTREEITEM>(lParam);
  Node* n = h ? NodeOf(s, h) : nullptr;
  if (h && !n) return FALSE;
  if (wParam == TVGN_CARET) return TreeSelect(wnd, s, n, TVC_UNKNOWN);
  if (wParam == TVGN_DROPHILITE) {
    s.dropHilite = n;
    InvalidateRect(wnd, nullptr, TRUE);
    return TRUE;
  }
  if (wParam == TVGN_FIRSTVISIBLE && n) {
    auto vis = VisibleNodes(s);
    auto it = std::find(vis.begin(), vis.end(), n);
    if (it != vis.end()) s.top = int(it - vis.begin());
    UpdateTreeScroll(wnd, s);
    InvalidateRect(wnd, nullptr, TRUE);
    return TRUE;
  }
  return FALSE;
}

LRESULT TreeItemMessage(HWND wnd, TreeState& s, UINT msg, LPARAM lParam) {
  auto* item = reinterpret_cast<TVITEM*>(lParam);
  if (!item) return FALSE;
  Node* n = NodeOf(s, item->hItem);
  if (!n) return FALSE;
  if (msg == TVM_SETITEM) {
    if ((item->mask & TVIF_TEXT) && item->pszText && item->pszText != LPSTR_TEXTCALLBACK)
      n->text = ValidUtf8(item->pszText);
    if (item->mask & TVIF_PARAM) n->param = item->lParam;
    if (item->mask & TVIF_STATE)
      n->state = (n->state & ~item->stateMask) | (item->state & item->stateMask & ~TVIS_SELECTED);
    if (item->mask & TVIF_CHILDREN) n->children = item->cChildren;
    if (item->mask & TVIF_IMAGE) n->image = item->iImage;
    InvalidateRect(wnd, nullptr, TRUE);
    return TRUE;
  }
  if ((item->mask & TVIF_TEXT) && item->pszText && item->cchTextMax > 0) {
    std::size_t c = std::min(n->text.size(), std::size_t(item->cchTextMax - 1));
    std::memcpy(item->pszText, n->text.data(), c);
    item->pszText[c] = 0;
  }
  if (item->mask & TVIF_PARAM) item->lParam = n->param;
  if (item->mask & TVIF_STATE) item->state = n->state & item->stateMask;
  if (item->mask & TVIF_CHILDREN) item->cChildren = n->kids.empty() ? n->children : 1;
  if (item->mask & TVIF_IMAGE) item->iImage = n->image;
  if (item->mask & TVIF_SELECTEDIMAGE) item->iSelectedImage = n->selectedImage;
  return TRUE;
}

LRESULT TreeSetImageList(HWND wnd, TreeState& s, WPARAM wParam, LPARAM lParam) {
  HIMAGELIST& slot = wParam == TVSIL_STATE ? s.stateImages : s.images;
  HIMAGELIST old = slot;
  slot = reinterpret_cast<HIMAGELIST>(lParam);
  if (wParam == TVSIL_NORMAL && !s.customHeight) {
    s.itemHeight = DefaultItemHeight(s);
    UpdateTreeScroll(wnd, s);
  }
  InvalidateRect(wnd, nullptr, TRUE);
  return reinterpret_cast<LRESULT>(old);
}

LRESULT TreeItemRect(HWND wnd, Window* w, TreeState& s, WPARAM wParam, LPARAM lParam) {
  auto* r = reinterpret_cast<RECT*>(lParam);
  if (!r) return FALSE;
  HTREEITEM h;
  std::memcpy(&h, r, sizeof(h));
  Node* n = NodeOf(s, h);
  if (!n) return FALSE;
  auto vis = VisibleNodes(s);
  auto it = std::find(vis.begin(), vis.end(), n);
  if (it == vis.end()) return FALSE;
  int row = int(it - vis.begin()) - s.top;
  RECT rc;
  GetClientRect(wnd, &rc);
  int level = Depth(n) + ((w->style & TVS_LINESATROOT) ? 1 : 0);
  if (wParam) {
    HDC dc = GetDC(wnd);
    HGDIOBJ old = UseFont(dc, s.font);
    SIZE sz;
    GetTextExtentPoint32(dc, n->text.c_str(), int(n->text.size()), &sz);
    SelectObject(dc, old);
    ReleaseDC(wnd, dc);
    int left = 2 + level * s.indent + s.ImageWidth();
    *r = {left, row * s.itemHeight, left + sz.cx + 4, (row + 1) * s.itemHeight};
  } else {
    *r = {0, row * s.itemHeight, rc.right, (row + 1) * s.itemHeight};
  }
  return TRUE;
}

LRESULT TreeHitTestMessage(HWND wnd, TreeState& s, LPARAM lParam) {
  auto* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
  if (!info) return 0;
  TreeHit h = TreeHitTest(wnd, s, info->pt);
  info->hItem = h.node ? h.node->handle : nullptr;
  info->flags = h.flags;
  return reinterpret_cast<LRESULT>(info->hItem);
}

LRESULT TreeSortChildren(HWND wnd, TreeState& s, LPARAM lParam) {
  auto h = reinterpret_cast<HTREEITEM>(lParam);
  Node* n = (!h || h == TVI_ROOT) ? nullptr : NodeOf(s, h);
  auto& level = n ? n->kids : s.roots;
  std::stable_sort(level.begin(), level.end(),
                   [](const Node* a, const Node* b) { return Lower(a->text) < Lower(b->text); });
  InvalidateRect(wnd, nullptr, TRUE);
  return TRUE;
}

LRESULT TreeClick(HWND wnd, Window* w, TreeState& s, UINT msg, LPARAM lParam) {
  SetFocus(wnd);
  if (!Get(wnd)) return 0;
  TreeHit h = TreeHitTest(wnd, s, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  if (msg == WM_RBUTTONDOWN) {
    NMHDR hdr{};
    NotifyParent(wnd, &hdr, NM_RCLICK);
    return 0;
  }
  if (!h.node) return 0;
  if (h.flags == TVHT_ONITEMBUTTON) {
    Expand(wnd, s, h.node, TVE_TOGGLE, true);
    return 0;
  }
  if (h.flags == TVHT_ONITEMLABEL || (w->style & TVS_FULLROWSELECT)) TreeSelect(wnd, s, h.node, TVC_BYMOUSE);
  if (!Get(wnd)) return 0;
  NMHDR hdr{};
  if (msg == WM_LBUTTONDBLCLK) {
    if (!NotifyParent(wnd, &hdr, NM_DBLCLK) && Get(wnd) && HasButton(h.node)) Expand(wnd, s, h.node, TVE_TOGGLE, true);
  } else {
    NotifyParent(wnd, &hdr, NM_CLICK);
  }
  return 0;
}

LRESULT TreeKeyDown(HWND wnd, TreeState& s, WPARAM wParam) {
  struct {
    NMHDR hdr;
    WORD vk;
    UINT flags;
  } key{};
  key.vk = WORD(wParam);
  NotifyParent(wnd, &key.hdr, TVN_KEYDOWN);
  if (!Get(wnd)) return 0;
  auto vis = VisibleNodes(s);
  if (vis.empty()) return 0;
  auto it = std::find(vis.begin(), vis.end(), s.selected);
  int i = it == vis.end() ? -1 : int(it - vis.begin());
  Node* n = s.selected;
  switch (wParam) {
    case VK_UP:
      if (i > 0) TreeSelect(wnd, s, vis[std::size_t(i - 1)], TVC_BYKEYBOARD);
      break;
    case VK_DOWN:
      if (i + 1 < int(vis.size())) TreeSelect(wnd, s, vis[std::size_t(i + 1)], TVC_BYKEYBOARD);
      break;
    case VK_HOME: TreeSelect(wnd, s, vis.front(), TVC_BYKEYBOARD); break;
    case VK_END: TreeSelect(wnd, s, vis.back(), TVC_BYKEYBOARD); break;
    case VK_LEFT:
      if (n && (n->state & TVIS_EXPANDED))
        Expand(wnd, s, n, TVE_COLLAPSE, true);
      else if (n && n->parent)
        TreeSelect(wnd, s, n->parent, TVC_BYKEYBOARD);
      break;
    case VK_RIGHT:
      if (n && HasButton(n) && !(n->state & TVIS_EXPANDED))
        Expand(wnd, s, n, TVE_EXPAND, true);
      else if (n && !n->kids.empty())
        TreeSelect(wnd, s, n->kids.front(), TVC_BYKEYBOARD);
      break;
    case VK_ADD:
      if (n) Expand(wnd, s, n, TVE_EXPAND, true);
      break;
    case VK_SUBTRACT:
      if (n) Expand(wnd, s, n, TVE_COLLAPSE, true);
      break;
    default: break;
  }
  return 0;
}

LRESULT TreeVScroll(HWND wnd, TreeState& s, WPARAM wParam) {
  RECT rc;
  GetClientRect(wnd, &rc);
  if (!ScrollTop(s.top, wParam, std::max(1, int(rc.bottom) / s.itemHeight))) return 0;
  UpdateTreeScroll(wnd, s);
  InvalidateRect(wnd, nullptr, TRUE);
  return 0;
}

LRESULT TreeDestroy(TreeState& s) {
  for (auto& [key, node] : s.nodes) win::ReleaseHandle(int(key));
  s.nodes.clear();
  s.roots.clear();
  s.selected = s.dropHilite = nullptr;
  return 0;
}

LRESULT TreeSetFont(HWND wnd, TreeState& s, WPARAM wParam, LPARAM lParam) {
  s.font = reinterpret_cast<HFONT>(wParam);
  if (!s.customHeight) s.itemHeight = DefaultItemHeight(s);
  UpdateTreeScroll(wnd, s);
  if (LOWORD(lParam)) InvalidateRect(wnd, nullptr, TRUE);
  return 0;
}

LRESULT TreeProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  TreeState& s = ControlState<TreeState>(wnd);
  switch (msg) {
    case WM_SETFONT: return TreeSetFont(wnd, s, wParam, lParam);
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font);
    case WM_CREATE: s.itemHeight = FontHeight(s.font) + 3; return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case TVM_INSERTITEM: return TreeInsertItem(wnd, s, lParam);
    case TVM_DELETEITEM: return TreeDeleteItem(wnd, s, lParam);
    case TVM_EXPAND: {
      Node* n = NodeOf(s, reinterpret_cast<HTREEITEM>(lParam));
      if (!n) return FALSE;
      // Expanding in code sends no notification.
      Expand(wnd, s, n, UINT(wParam) & 3, false);
      return TRUE;
    }
    case TVM_GETCOUNT: return LRESULT(s.nodes.size());
    case TVM_GETINDENT: return s.indent;
    case TVM_SETINDENT:
      s.indent = std::max(8, int(wParam));
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case TVM_GETITEMHEIGHT: return s.itemHeight;
    case TVM_SETITEMHEIGHT: return TreeSetItemHeight(wnd, s, wParam);
    case TVM_GETVISIBLECOUNT: {
      RECT rc;
      GetClientRect(wnd, &rc);
      return rc.bottom / s.itemHeight;
    }
    case TVM_GETNEXTITEM: return TreeNextItem(s, wParam, lParam);
    case TVM_SELECTITEM: return TreeSelectItem(wnd, s, wParam, lParam);
    case TVM_GETITEM:
    case TVM_SETITEM: return TreeItemMessage(wnd, s, msg, lParam);
    case TVM_GETITEMSTATE: {
      Node* n = NodeOf(s, reinterpret_cast<HTREEITEM>(wParam));
      return n ? LRESULT(n->state & UINT(lParam)) : 0;
    }
    case TVM_SETIMAGELIST: return TreeSetImageList(wnd, s, wParam, lParam);
    case TVM_GETIMAGELIST: return reinterpret_cast<LRESULT>(wParam == TVSIL_STATE ? s.stateImages : s.images);
    case TVM_GETITEMRECT: return TreeItemRect(wnd, w, s, wParam, lParam);
    case TVM_HITTEST: return TreeHitTestMessage(wnd, s, lParam);
    case TVM_ENSUREVISIBLE: {
      Node* n = NodeOf(s, reinterpret_cast<HTREEITEM>(lParam));
      if (!n) return FALSE;
      EnsureNodeVisible(wnd, s, n);
      InvalidateRect(wnd, nullptr, TRUE);
      return TRUE;
    }
    case TVM_SORTCHILDREN: return TreeSortChildren(wnd, s, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: return TreeClick(wnd, w, s, msg, lParam);
    case WM_KEYDOWN: return TreeKeyDown(wnd, s, wParam);
    case WM_VSCROLL: return TreeVScroll(wnd, s, wParam);
    case WM_MOUSEWHEEL:
      s.top -= SHORT(HIWORD(wParam)) / WHEEL_DELTA * 3;
      UpdateTreeScroll(wnd, s);
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case WM_SETFOCUS:
      s.focused = true;
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case WM_KILLFOCUS:
      s.focused = false;
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case WM_SIZE: UpdateTreeScroll(wnd, s); return 0;
    case WM_NCDESTROY: return TreeDestroy(s);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      PaintTree(wnd, s, dc);
      EndPaint(wnd, &ps);
      return 0;
    }
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterTreeControl() { RegisterClassOf("SysTreeView32", &TreeProc, CS_DBLCLKS, nullptr); }

}  // namespace win::detail
