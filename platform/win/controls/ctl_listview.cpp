// The list view: rows of items with sub-item texts under a header of columns, an icon before each item's text,
// selection by row (whole row with LVS_EX_FULLROWSELECT), and the notifications a dialog listens to.
#include <algorithm>
#include <cstring>

#include "platform/win/controls/afxctl.h"
#include "platform/win/controls/ctl_internal.h"

namespace win::detail {
namespace {

struct ListColumn {
  std::string text;
  int width = 50;
  int fmt = LVCFMT_LEFT;
  int subItem = 0;
};

struct ListRow {
  std::vector<std::string> texts;  // [0] the item's text, [k] sub-item k
  int image = -1;
  UINT state = 0;
  LPARAM param = 0;
};

struct ListViewState {
  std::vector<ListColumn> columns;
  std::vector<ListRow> rows;
  HIMAGELIST small = nullptr, normal = nullptr, stateImages = nullptr;
  DWORD exStyle = 0;
  HFONT font = nullptr;
  int top = 0;
  int anchor = -1;  // where a shift-click range starts
  bool focused = false;
};

bool IsReport(HWND wnd) { return (Get(wnd)->style & LVS_TYPEMASK) == LVS_REPORT; }
bool HasHeader(HWND wnd) { return IsReport(wnd) && !(Get(wnd)->style & LVS_NOCOLUMNHEADER); }
int HeaderHeight(HWND wnd, const ListViewState& s) { return HasHeader(wnd) ? FontHeight(s.font) + 8 : 0; }

int IconWidth(const ListViewState& s) {
  int cx = 0, cy = 0;
  return s.small && ImageList_GetIconSize(s.small, &cx, &cy) ? cx : 0;
}

int RowHeight(const ListViewState& s) {
  int cx = 0, cy = 0;
  int h = FontHeight(s.font) + 4;
  return s.small && ImageList_GetIconSize(s.small, &cx, &cy) ? std::max(h, cy + 2) : h;
}

int RowsPerPage(HWND wnd, const ListViewState& s) {
  RECT rc;
  GetClientRect(wnd, &rc);
  return std::max(1, (int(rc.bottom) - HeaderHeight(wnd, s)) / RowHeight(s));
}

// Column edges from the left; outside the report view the one column spans the window.
std::vector<int> ColumnLefts(HWND wnd, const ListViewState& s) {
  std::vector<int> lefts{0};
  if (!IsReport(wnd)) return lefts;
  for (const ListColumn& c : s.columns) lefts.push_back(lefts.back() + c.width);
  return lefts;
}

int RowWidth(HWND wnd, const ListViewState& s) {
  if (IsReport(wnd) && !s.columns.empty()) return ColumnLefts(wnd, s).back();
  RECT rc;
  GetClientRect(wnd, &rc);
  return rc.right;
}

const std::string& TextOf(const ListRow& r, int sub) {
  static const std::string empty;
  return sub >= 0 && sub < int(r.texts.size()) ? r.texts[std::size_t(sub)] : empty;
}

void UpdateScroll(HWND wnd, ListViewState& s) {
  Window* w = Get(wnd);
  int count = int(s.rows.size());
  bool need = count > RowsPerPage(wnd, s);
  if (need != w->vscroll.shown) ShowScrollBar(wnd, SB_VERT, need);
  int page = RowsPerPage(wnd, s);
  s.top = std::clamp(s.top, 0, std::max(0, count - page));
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, std::max(0, count - 1), UINT(page), s.top, 0};
  SetScrollInfo(wnd, SB_VERT, &si, TRUE);
}

void Changed(HWND wnd) { InvalidateRect(wnd, nullptr, TRUE); }

LRESULT NotifyItem(HWND wnd, UINT code, int item, int sub, UINT newState, UINT oldState, UINT changed, LPARAM param,
                   POINT at = {}) {
  NMLISTVIEW nm{};
  nm.iItem = item;
  nm.iSubItem = sub;
  nm.uNewState = newState;
  nm.uOldState = oldState;
  nm.uChanged = changed;
  nm.lParam = param;
  nm.ptAction = at;
  return NotifyParent(wnd, &nm.hdr, code);
}

// Sets an item's state under the mask, asking the parent first (it may refuse) and telling it afterwards.
bool SetState(HWND wnd, ListViewState& s, int i, UINT state, UINT mask) {
  if (i < 0 || i >= int(s.rows.size())) return false;
  UINT old = s.rows[std::size_t(i)].state;
  UINT now = (old & ~mask) | (state & mask);
  if (now == old) return true;
  LPARAM param = s.rows[std::size_t(i)].param;
  if (NotifyItem(wnd, LVN_ITEMCHANGING, i, 0, now, old, LVIF_STATE, param)) return false;
  if (!Get(wnd) || i >= int(s.rows.size())) return false;
  // One item holds the focus.
  if ((now & LVIS_FOCUSED) && !(old & LVIS_FOCUSED))
    for (std::size_t k = 0; k < s.rows.size(); ++k)
      if (int(k) != i && (s.rows[k].state & LVIS_FOCUSED)) SetState(wnd, s, int(k), 0, LVIS_FOCUSED);
  if (!Get(wnd) || i >= int(s.rows.size())) return false;
  s.rows[std::size_t(i)].state = now;
  Changed(wnd);
  NotifyItem(wnd, LVN_ITEMCHANGED, i, 0, now, old, LVIF_STATE, param);
  return true;
}

void EnsureVisible(HWND wnd, ListViewState& s, int i) {
  if (i < 0 || i >= int(s.rows.size())) return;
  int page = RowsPerPage(wnd, s);
  if (i < s.top) s.top = i;
  if (i >= s.top + page) s.top = i - page + 1;
  UpdateScroll(wnd, s);
  Changed(wnd);
}

// Makes one item the selected and focused one, the others unselected: a click or an arrow key.
void SelectOnly(HWND wnd, ListViewState& s, int i) {
  for (std::size_t k = 0; k < s.rows.size() && Get(wnd); ++k)
    if (int(k) != i && (s.rows[k].state & LVIS_SELECTED)) SetState(wnd, s, int(k), 0, LVIS_SELECTED);
  if (!Get(wnd)) return;
  SetState(wnd, s, i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  if (Get(wnd)) EnsureVisible(wnd, s, i);
  s.anchor = i;
}

struct Hit {
  int item = -1, sub = -1;
  UINT flags = LVHT_NOWHERE;
};

Hit HitTest(HWND wnd, ListViewState& s, POINT p) {
  Hit h;
  int head = HeaderHeight(wnd, s);
  if (p.y < head) {
    h.flags = LVHT_ABOVE;
    return h;
  }
  int row = s.top + (p.y - head) / RowHeight(s);
  if (row < 0 || row >= int(s.rows.size())) {
    h.flags = row < 0 ? LVHT_ABOVE : LVHT_BELOW;
    return h;
  }
  auto lefts = ColumnLefts(wnd, s);
  h.sub = 0;
  for (std::size_t c = 1; c < lefts.size(); ++c)
    if (p.x >= lefts[c - 1] && p.x < lefts[c]) h.sub = int(c - 1);
  if (p.x >= RowWidth(wnd, s)) {
    h.sub = -1;
    h.flags = LVHT_NOWHERE;
    h.item = -1;
    return h;
  }
  int iconRight = 2 + IconWidth(s);
  int firstRight = lefts.size() > 1 ? lefts[1] : RowWidth(wnd, s);
  if (p.x < iconRight && IconWidth(s) > 0)
    h.flags = LVHT_ONITEMICON;
  else if (p.x < firstRight)
    h.flags = LVHT_ONITEMLABEL;
  else
    h.flags = LVHT_NOWHERE;  // a sub-item: the item only for full-row selection
  if (h.flags != LVHT_NOWHERE || (s.exStyle & LVS_EX_FULLROWSELECT)) {
    h.item = row;
    if (h.flags == LVHT_NOWHERE) h.flags = LVHT_ONITEMLABEL;
  } else {
    h.sub = -1;
  }
  return h;
}

void PaintHeader(HWND wnd, ListViewState& s, HDC dc, const RECT& client) {
  int head = HeaderHeight(wnd, s);
  RECT band{0, 0, client.right, head};
  FillRect(dc, &band, GetSysColorBrush(COLOR_3DFACE));
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  auto lefts = ColumnLefts(wnd, s);
  HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DHILIGHT));
  HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW));
  for (std::size_t c = 0; c < s.columns.size(); ++c) {
    RECT cell{lefts[c], 0, lefts[c + 1], head};
    HGDIOBJ op = SelectObject(dc, light);
    MoveToEx(dc, cell.left, cell.bottom - 1, nullptr);
    LineTo(dc, cell.left, cell.top);
    LineTo(dc, cell.right - 1, cell.top);
    SelectObject(dc, dark);
    MoveToEx(dc, cell.right - 1, cell.top, nullptr);
    LineTo(dc, cell.right - 1, cell.bottom - 1);
    LineTo(dc, cell.left - 1, cell.bottom - 1);
    SelectObject(dc, op);
    RECT tr{cell.left + 6, cell.top, cell.right - 6, cell.bottom};
    UINT align = s.columns[c].fmt == LVCFMT_RIGHT ? DT_RIGHT : s.columns[c].fmt == LVCFMT_CENTER ? DT_CENTER : DT_LEFT;
    DrawText(dc, s.columns[c].text.c_str(), -1, &tr,
             align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  DeleteObject(light);
  DeleteObject(dark);
}

void Paint(HWND wnd, ListViewState& s, HDC dc) {
  Window* w = Get(wnd);
  RECT rc;
  GetClientRect(wnd, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW));
  HFONT old = UseFont(dc, s.font);
  SetBkMode(dc, TRANSPARENT);
  int head = HeaderHeight(wnd, s);
  int rowH = RowHeight(s);
  auto lefts = ColumnLefts(wnd, s);
  int columns = IsReport(wnd) ? int(s.columns.size()) : 1;
  int iconW = IconWidth(s);
  bool full = (s.exStyle & LVS_EX_FULLROWSELECT) != 0;
  for (int row = s.top; row < int(s.rows.size()); ++row) {
    int y = head + (row - s.top) * rowH;
    if (y > rc.bottom) break;
    const ListRow& r = s.rows[std::size_t(row)];
    bool sel = r.state & LVIS_SELECTED;
    bool strong = sel && s.focused;
    bool weak = sel && !s.focused && (w->style & LVS_SHOWSELALWAYS);
    int firstRight = lefts.size() > 1 ? lefts[1] : rc.right;
    // The highlight covers the whole row, else the first column's text.
    RECT mark{2 + iconW, y, full ? RowWidth(wnd, s) : firstRight, y + rowH};
    if (full) mark.left = 0;
    if (strong || weak) FillRect(dc, &mark, GetSysColorBrush(strong ? COLOR_HIGHLIGHT : COLOR_3DFACE));
    if (s.small && r.image >= 0) {
      int cx = 0, cy = 0;
      ImageList_GetIconSize(s.small, &cx, &cy);
      ImageList_Draw(s.small, r.image, dc, 2, y + (rowH - cy) / 2, ILD_TRANSPARENT);
    }
    for (int c = 0; c < columns; ++c) {
      int sub = IsReport(wnd) && c < int(s.columns.size()) ? s.columns[std::size_t(c)].subItem : 0;
      int left = (IsReport(wnd) ? lefts[std::size_t(c)] : 0) + (c == 0 ? 2 + iconW : 0) + 4;
      int right = (IsReport(wnd) && std::size_t(c + 1) < lefts.size() ? lefts[std::size_t(c + 1)] : rc.right) - 4;
      bool lit = strong && (full || c == 0);
      bool shaded = weak && (full || c == 0);
      COLORREF text = !IsWindowEnabled(wnd) ? GetSysColor(COLOR_GRAYTEXT)
                      : lit                 ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                      : shaded              ? GetSysColor(COLOR_WINDOWTEXT)
                                            : GetSysColor(COLOR_WINDOWTEXT);
      SetTextColor(dc, text);
      int fmt = IsReport(wnd) && c < int(s.columns.size()) ? s.columns[std::size_t(c)].fmt : LVCFMT_LEFT;
      UINT align = fmt == LVCFMT_RIGHT ? DT_RIGHT : fmt == LVCFMT_CENTER ? DT_CENTER : DT_LEFT;
      RECT tr{left, y, right, y + rowH};
      DrawText(dc, TextOf(r, sub).c_str(), -1, &tr, align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (s.focused && (r.state & LVIS_FOCUSED)) DrawFocusRect(dc, &mark);
  }
  if (head) PaintHeader(wnd, s, dc, rc);
  SelectObject(dc, old);
}

int InsertItem(HWND wnd, ListViewState& s, const LVITEM* it) {
  if (!it || it->iSubItem != 0) return -1;
  ListRow r;
  r.texts.resize(1);
  if ((it->mask & LVIF_TEXT) && it->pszText && it->pszText != LPSTR_TEXTCALLBACK) r.texts[0] = ValidUtf8(it->pszText);
  if (it->mask & LVIF_IMAGE) r.image = it->iImage;
  if (it->mask & LVIF_PARAM) r.param = it->lParam;
  UINT wanted = (it->mask & LVIF_STATE) ? it->state & it->stateMask : 0;
  int at = std::clamp(it->iItem, 0, int(s.rows.size()));
  if (Get(wnd)->style & LVS_SORTASCENDING) {
    at = 0;
    while (at < int(s.rows.size()) && Lower(s.rows[std::size_t(at)].texts[0]) <= Lower(r.texts[0])) ++at;
  }
  s.rows.insert(s.rows.begin() + at, std::move(r));
  if (s.anchor >= at) ++s.anchor;
  UpdateScroll(wnd, s);
  Changed(wnd);
  NotifyItem(wnd, LVN_INSERTITEM, at, 0, 0, 0, 0, s.rows[std::size_t(at)].param);
  if (Get(wnd) && wanted) SetState(wnd, s, at, wanted, wanted);
  return at;
}

LRESULT DeleteItem(HWND wnd, ListViewState& s, int i) {
  if (i < 0 || i >= int(s.rows.size())) return FALSE;
  NotifyItem(wnd, LVN_DELETEITEM, i, 0, 0, 0, 0, s.rows[std::size_t(i)].param);
  if (!Get(wnd) || i >= int(s.rows.size())) return FALSE;
  s.rows.erase(s.rows.begin() + i);
  if (s.anchor == i) s.anchor = -1;
  if (s.anchor > i) --s.anchor;
  UpdateScroll(wnd, s);
  Changed(wnd);
  return TRUE;
}

LRESULT DeleteAll(HWND wnd, ListViewState& s) {
  // A parent that answers TRUE wants no LVN_DELETEITEM per item.
  NMLISTVIEW nm{};
  nm.iItem = -1;
  bool quiet = NotifyParent(wnd, &nm.hdr, LVN_DELETEALLITEMS) != 0;
  if (!Get(wnd)) return FALSE;
  if (!quiet)
    for (int i = 0; i < int(s.rows.size()) && Get(wnd); ++i)
      NotifyItem(wnd, LVN_DELETEITEM, i, 0, 0, 0, 0, s.rows[std::size_t(i)].param);
  if (!Get(wnd)) return FALSE;
  s.rows.clear();
  s.top = 0;
  s.anchor = -1;
  UpdateScroll(wnd, s);
  Changed(wnd);
  return TRUE;
}

void CopyText(const std::string& text, LPSTR out, int max) {
  if (!out || max <= 0) return;
  std::size_t n = std::min(text.size(), std::size_t(max - 1));
  std::memcpy(out, text.data(), n);
  out[n] = 0;
}

LRESULT ItemMessage(HWND wnd, ListViewState& s, UINT msg, LVITEM* it) {
  if (!it || it->iItem < 0 || it->iItem >= int(s.rows.size()) || it->iSubItem < 0) return FALSE;
  ListRow& r = s.rows[std::size_t(it->iItem)];
  if (msg == LVM_GETITEM) {
    if (it->mask & LVIF_TEXT) CopyText(TextOf(r, it->iSubItem), it->pszText, it->cchTextMax);
    if (it->mask & LVIF_IMAGE) it->iImage = r.image;
    if (it->mask & LVIF_PARAM) it->lParam = r.param;
    if (it->mask & LVIF_STATE) it->state = r.state & it->stateMask;
    return TRUE;
  }
  if ((it->mask & LVIF_TEXT) && it->pszText != LPSTR_TEXTCALLBACK) {
    if (int(r.texts.size()) <= it->iSubItem) r.texts.resize(std::size_t(it->iSubItem + 1));
    r.texts[std::size_t(it->iSubItem)] = it->pszText ? ValidUtf8(it->pszText) : std::string();
  }
  if (it->iSubItem == 0) {
    if (it->mask & LVIF_IMAGE) r.image = it->iImage;
    if (it->mask & LVIF_PARAM) r.param = it->lParam;
    if (it->mask & LVIF_STATE) SetState(wnd, s, it->iItem, it->state, it->stateMask);
  }
  if (Get(wnd)) Changed(wnd);
  return TRUE;
}

LRESULT ItemRect(HWND wnd, ListViewState& s, int i, RECT* r) {
  if (!r || i < 0 || i >= int(s.rows.size())) return FALSE;
  int y = HeaderHeight(wnd, s) + (i - s.top) * RowHeight(s);
  auto lefts = ColumnLefts(wnd, s);
  int firstRight = lefts.size() > 1 ? lefts[1] : RowWidth(wnd, s);
  int iconRight = 2 + IconWidth(s);
  switch (r->left) {
    case LVIR_ICON: *r = {2, y, iconRight, y + RowHeight(s)}; break;
    case LVIR_LABEL: *r = {iconRight, y, firstRight, y + RowHeight(s)}; break;
    default: *r = {0, y, RowWidth(wnd, s), y + RowHeight(s)}; break;
  }
  return TRUE;
}

int NextItem(const ListViewState& s, int start, UINT flags) {
  int n = int(s.rows.size());
  auto fits = [&](int i) {
    UINT st = s.rows[std::size_t(i)].state;
    if ((flags & LVNI_SELECTED) && !(st & LVIS_SELECTED)) return false;
    if ((flags & LVNI_FOCUSED) && !(st & LVIS_FOCUSED)) return false;
    return true;
  };
  if (flags & LVNI_ABOVE) {
    for (int i = std::min(start, n) - 1; i >= 0; --i)
      if (fits(i)) return i;
    return -1;
  }
  for (int i = std::max(start + 1, 0); i < n; ++i)
    if (fits(i)) return i;
  return -1;
}

int FindItem(const ListViewState& s, int start, const LVFINDINFO* f) {
  if (!f) return -1;
  for (int i = std::max(start + 1, 0); i < int(s.rows.size()); ++i) {
    const ListRow& r = s.rows[std::size_t(i)];
    if ((f->flags & LVFI_PARAM) && r.param == f->lParam) return i;
    if ((f->flags & LVFI_STRING) && f->psz) {
      std::string want = Lower(f->psz), have = Lower(r.texts[0]);
      if ((f->flags & LVFI_PARTIAL) ? have.compare(0, want.size(), want) == 0 : have == want) return i;
    }
  }
  return -1;
}

LRESULT Column(HWND wnd, ListViewState& s, UINT msg, int index, LVCOLUMN* col) {
  if (msg == LVM_INSERTCOLUMN) {
    if (!col || index < 0) return -1;
    ListColumn c;
    if ((col->mask & LVCF_TEXT) && col->pszText) c.text = ValidUtf8(col->pszText);
    if (col->mask & LVCF_WIDTH) c.width = std::max(0, col->cx);
    if (col->mask & LVCF_FMT) c.fmt = col->fmt & 3;
    c.subItem = (col->mask & LVCF_SUBITEM) ? col->iSubItem : index;
    int at = std::min(index, int(s.columns.size()));
    s.columns.insert(s.columns.begin() + at, c);
    Changed(wnd);
    return at;
  }
  if (index < 0 || index >= int(s.columns.size())) return msg == LVM_GETCOLUMNWIDTH ? 0 : FALSE;
  ListColumn& c = s.columns[std::size_t(index)];
  switch (msg) {
    case LVM_DELETECOLUMN: s.columns.erase(s.columns.begin() + index); break;
    case LVM_GETCOLUMNWIDTH: return c.width;
    case LVM_GETCOLUMN:
      if (!col) return FALSE;
      if (col->mask & LVCF_TEXT) CopyText(c.text, col->pszText, col->cchTextMax);
      if (col->mask & LVCF_WIDTH) col->cx = c.width;
      if (col->mask & LVCF_FMT) col->fmt = c.fmt;
      if (col->mask & LVCF_SUBITEM) col->iSubItem = c.subItem;
      return TRUE;
    case LVM_SETCOLUMN:
      if (!col) return FALSE;
      if ((col->mask & LVCF_TEXT) && col->pszText) c.text = ValidUtf8(col->pszText);
      if (col->mask & LVCF_WIDTH) c.width = std::max(0, col->cx);
      if (col->mask & LVCF_FMT) c.fmt = col->fmt & 3;
      if (col->mask & LVCF_SUBITEM) c.subItem = col->iSubItem;
      break;
    default: return FALSE;
  }
  Changed(wnd);
  return TRUE;
}

LRESULT Mouse(HWND wnd, ListViewState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  SetFocus(wnd);
  if (!Get(wnd)) return 0;
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  Hit h = HitTest(wnd, s, p);
  if (h.flags == LVHT_ABOVE && HasHeader(wnd) && msg == WM_LBUTTONDOWN) {
    auto lefts = ColumnLefts(wnd, s);
    for (std::size_t c = 0; c + 1 < lefts.size(); ++c)
      if (p.x >= lefts[c] && p.x < lefts[c + 1]) {
        if (!(Get(wnd)->style & LVS_NOSORTHEADER)) NotifyItem(wnd, LVN_COLUMNCLICK, -1, int(c), 0, 0, 0, 0);
        break;
      }
    return 0;
  }
  bool multi = !(Get(wnd)->style & LVS_SINGLESEL);
  if (h.item >= 0) {
    if (multi && (wParam & MK_CONTROL)) {
      UINT st = s.rows[std::size_t(h.item)].state;
      SetState(wnd, s, h.item, (st & LVIS_SELECTED) ? LVIS_FOCUSED : LVIS_SELECTED | LVIS_FOCUSED,
               LVIS_SELECTED | LVIS_FOCUSED);
      s.anchor = h.item;
    } else if (multi && (wParam & MK_SHIFT) && s.anchor >= 0) {
      int lo = std::min(s.anchor, h.item), hi = std::max(s.anchor, h.item);
      for (int i = 0; i < int(s.rows.size()) && Get(wnd); ++i)
        SetState(wnd, s, i, i >= lo && i <= hi ? LVIS_SELECTED : 0, LVIS_SELECTED);
      if (Get(wnd)) SetState(wnd, s, h.item, LVIS_FOCUSED, LVIS_FOCUSED);
    } else if (msg != WM_RBUTTONDOWN || !(s.rows[std::size_t(h.item)].state & LVIS_SELECTED)) {
      SelectOnly(wnd, s, h.item);
    }
  } else if (msg == WM_LBUTTONDOWN && !(wParam & (MK_CONTROL | MK_SHIFT))) {
    // A click on empty space clears the selection.
    for (int i = 0; i < int(s.rows.size()) && Get(wnd); ++i) SetState(wnd, s, i, 0, LVIS_SELECTED);
  }
  if (!Get(wnd)) return 0;
  NMITEMACTIVATE nm{};
  nm.iItem = h.item;
  nm.iSubItem = h.sub;
  nm.ptAction = p;
  nm.uKeyFlags = UINT(wParam & (MK_CONTROL | MK_SHIFT));
  UINT code = msg == WM_LBUTTONDBLCLK ? NM_DBLCLK : msg == WM_RBUTTONDOWN ? NM_RCLICK : NM_CLICK;
  NotifyParent(wnd, &nm.hdr, code);
  return 0;
}

LRESULT KeyDown(HWND wnd, ListViewState& s, WPARAM wParam) {
  NMLVKEYDOWN key{};
  key.wVKey = WORD(wParam);
  NotifyParent(wnd, &key.hdr, LVN_KEYDOWN);
  if (!Get(wnd) || s.rows.empty()) return 0;
  int focus = NextItem(s, -1, LVNI_FOCUSED);
  int last = int(s.rows.size()) - 1;
  int page = RowsPerPage(wnd, s);
  int to = -1;
  switch (wParam) {
    case VK_UP: to = focus < 0 ? 0 : std::max(0, focus - 1); break;
    case VK_DOWN: to = focus < 0 ? 0 : std::min(last, focus + 1); break;
    case VK_HOME: to = 0; break;
    case VK_END: to = last; break;
    case VK_PRIOR: to = std::max(0, (focus < 0 ? 0 : focus) - page); break;
    case VK_NEXT: to = std::min(last, (focus < 0 ? 0 : focus) + page); break;
    default: return 0;
  }
  SelectOnly(wnd, s, to);
  return 0;
}

LRESULT VScroll(HWND wnd, ListViewState& s, WPARAM wParam) {
  if (!ScrollTop(s.top, wParam, RowsPerPage(wnd, s))) return 0;
  UpdateScroll(wnd, s);
  Changed(wnd);
  return 0;
}

LRESULT SetImageList(HWND wnd, ListViewState& s, WPARAM which, LPARAM list) {
  HIMAGELIST& slot = which == WPARAM(LVSIL_SMALL) ? s.small : which == WPARAM(LVSIL_STATE) ? s.stateImages : s.normal;
  HIMAGELIST old = slot;
  slot = reinterpret_cast<HIMAGELIST>(list);
  UpdateScroll(wnd, s);
  Changed(wnd);
  return reinterpret_cast<LRESULT>(old);
}

LRESULT ListViewProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!Get(wnd)) return 0;
  ListViewState& s = ControlState<ListViewState>(wnd);
  switch (msg) {
    case WM_SETFONT:
      s.font = reinterpret_cast<HFONT>(wParam);
      UpdateScroll(wnd, s);
      if (LOWORD(lParam)) Changed(wnd);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case LVM_GETITEMCOUNT: return LRESULT(s.rows.size());
    case LVM_INSERTITEM: return InsertItem(wnd, s, reinterpret_cast<const LVITEM*>(lParam));
    case LVM_DELETEITEM: return DeleteItem(wnd, s, int(wParam));
    case LVM_DELETEALLITEMS: return DeleteAll(wnd, s);
    case LVM_GETITEM:
    case LVM_SETITEM: return ItemMessage(wnd, s, msg, reinterpret_cast<LVITEM*>(lParam));
    case LVM_GETITEMTEXT: {
      auto* it = reinterpret_cast<LVITEM*>(lParam);
      if (!it || int(wParam) < 0 || int(wParam) >= int(s.rows.size())) return 0;
      const std::string& text = TextOf(s.rows[wParam], it->iSubItem);
      CopyText(text, it->pszText, it->cchTextMax);
      return it->pszText && it->cchTextMax > 0 ? LRESULT(std::strlen(it->pszText)) : LRESULT(text.size());
    }
    case LVM_SETITEMTEXT: {
      auto* it = reinterpret_cast<LVITEM*>(lParam);
      if (!it) return FALSE;
      LVITEM copy = *it;
      copy.iItem = int(wParam);
      copy.mask = LVIF_TEXT;
      return ItemMessage(wnd, s, LVM_SETITEM, &copy);
    }
    case LVM_SETITEMSTATE: {
      auto* it = reinterpret_cast<LVITEM*>(lParam);
      if (!it) return FALSE;
      if (int(wParam) == -1) {
        for (int i = 0; i < int(s.rows.size()) && Get(wnd); ++i) SetState(wnd, s, i, it->state, it->stateMask);
        return TRUE;
      }
      return SetState(wnd, s, int(wParam), it->state, it->stateMask);
    }
    case LVM_GETITEMSTATE:
      return int(wParam) >= 0 && int(wParam) < int(s.rows.size()) ? LRESULT(s.rows[wParam].state & UINT(lParam)) : 0;
    case LVM_GETNEXTITEM: return NextItem(s, int(wParam), UINT(lParam));
    case LVM_GETSELECTEDCOUNT:
      return std::count_if(s.rows.begin(), s.rows.end(), [](const ListRow& r) { return r.state & LVIS_SELECTED; });
    case LVM_FINDITEM: return FindItem(s, int(wParam), reinterpret_cast<const LVFINDINFO*>(lParam));
    case LVM_GETITEMRECT: return ItemRect(wnd, s, int(wParam), reinterpret_cast<RECT*>(lParam));
    case LVM_HITTEST:
    case LVM_SUBITEMHITTEST: {
      auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
      if (!info) return -1;
      Hit h = HitTest(wnd, s, info->pt);
      info->flags = h.flags;
      info->iItem = h.item;
      info->iSubItem = msg == LVM_SUBITEMHITTEST ? h.sub : 0;
      return h.item;
    }
    case LVM_ENSUREVISIBLE: EnsureVisible(wnd, s, int(wParam)); return TRUE;
    case LVM_GETTOPINDEX: return s.top;
    case LVM_GETCOUNTPERPAGE: return RowsPerPage(wnd, s);
    case LVM_INSERTCOLUMN:
    case LVM_DELETECOLUMN:
    case LVM_GETCOLUMNWIDTH:
    case LVM_GETCOLUMN:
    case LVM_SETCOLUMN: return Column(wnd, s, msg, int(wParam), reinterpret_cast<LVCOLUMN*>(lParam));
    case LVM_SETCOLUMNWIDTH: {
      LVCOLUMN c{};
      c.mask = LVCF_WIDTH;
      c.cx = SHORT(LOWORD(lParam));
      return Column(wnd, s, LVM_SETCOLUMN, int(wParam), &c);
    }
    case LVM_SETIMAGELIST: return SetImageList(wnd, s, wParam, lParam);
    case LVM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(wParam == WPARAM(LVSIL_SMALL)   ? s.small
                                       : wParam == WPARAM(LVSIL_STATE) ? s.stateImages
                                                                       : s.normal);
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
      DWORD old = s.exStyle;
      DWORD mask = wParam ? DWORD(wParam) : ~DWORD(0);
      s.exStyle = (s.exStyle & ~mask) | (DWORD(lParam) & mask);
      Changed(wnd);
      return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return s.exStyle;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: return Mouse(wnd, s, msg, wParam, lParam);
    case WM_KEYDOWN: return KeyDown(wnd, s, wParam);
    case WM_VSCROLL: return VScroll(wnd, s, wParam);
    case WM_MOUSEWHEEL:
      s.top -= SHORT(HIWORD(wParam)) / WHEEL_DELTA * 3;
      UpdateScroll(wnd, s);
      Changed(wnd);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      s.focused = msg == WM_SETFOCUS;
      Changed(wnd);
      return 0;
    case WM_SIZE: UpdateScroll(wnd, s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      Paint(wnd, s, dc);
      EndPaint(wnd, &ps);
      return 0;
    }
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterListViewControl() { RegisterClassOf(WC_LISTVIEW, &ListViewProc, CS_DBLCLKS, nullptr); }

}  // namespace win::detail

// ---- CListCtrl ------------------------------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

int CListCtrl::InsertColumn(int index, LPCSTR heading, int format, int width, int subItem) {
  LVCOLUMN c{};
  c.mask = LVCF_TEXT | LVCF_FMT;
  c.pszText = const_cast<LPSTR>(heading ? heading : "");
  c.fmt = format;
  if (width >= 0) {
    c.mask |= LVCF_WIDTH;
    c.cx = width;
  }
  if (subItem >= 0) {
    c.mask |= LVCF_SUBITEM;
    c.iSubItem = subItem;
  }
  return InsertColumn(index, &c);
}

int CListCtrl::InsertItem(UINT mask, int index, LPCSTR text, UINT state, UINT stateMask, int image, LPARAM param) {
  LVITEM it{};
  it.mask = mask;
  it.iItem = index;
  it.pszText = const_cast<LPSTR>(text);
  it.state = state;
  it.stateMask = stateMask;
  it.iImage = image;
  it.lParam = param;
  return InsertItem(&it);
}

CString CListCtrl::GetItemText(int item, int subItem) const {
  char buf[1024];
  LVITEM it{};
  it.iSubItem = subItem;
  it.pszText = buf;
  it.cchTextMax = sizeof(buf);
  buf[0] = 0;
  SendMessage(LVM_GETITEMTEXT, WPARAM(item), LPARAM(&it));
  return CString(buf);
}

BOOL CListCtrl::SetItemText(int item, int subItem, LPCSTR text) {
  LVITEM it{};
  it.iSubItem = subItem;
  it.pszText = const_cast<LPSTR>(text ? text : "");
  return BOOL(SendMessage(LVM_SETITEMTEXT, WPARAM(item), LPARAM(&it)));
}

DWORD_PTR CListCtrl::GetItemData(int item) const {
  LVITEM it{};
  it.mask = LVIF_PARAM;
  it.iItem = item;
  return SendMessage(LVM_GETITEM, 0, LPARAM(&it)) ? DWORD_PTR(it.lParam) : 0;
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data) {
  LVITEM it{};
  it.mask = LVIF_PARAM;
  it.iItem = item;
  it.lParam = LPARAM(data);
  return BOOL(SendMessage(LVM_SETITEM, 0, LPARAM(&it)));
}

int CListCtrl::GetItemImage(int item) const {
  LVITEM it{};
  it.mask = LVIF_IMAGE;
  it.iItem = item;
  it.iImage = -1;
  return SendMessage(LVM_GETITEM, 0, LPARAM(&it)) ? it.iImage : -1;
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
  LVITEM it{};
  it.state = state;
  it.stateMask = mask;
  return BOOL(SendMessage(LVM_SETITEMSTATE, WPARAM(item), LPARAM(&it)));
}

CImageList* CListCtrl::SetImageList(CImageList* list, int which) {
  auto old = reinterpret_cast<HIMAGELIST>(
      SendMessage(LVM_SETIMAGELIST, WPARAM(which), LPARAM(list ? list->GetSafeHandle() : nullptr)));
  return old ? CImageList::FromHandle(old) : nullptr;
}

CImageList* CListCtrl::GetImageList(int which) const {
  auto h = reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, WPARAM(which)));
  return h ? CImageList::FromHandle(h) : nullptr;
}

POSITION CListCtrl::GetFirstSelectedItemPosition() const {
  int i = GetNextItem(-1, LVNI_SELECTED);
  return i < 0 ? nullptr : reinterpret_cast<POSITION>(std::intptr_t(i + 1));
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const {
  int i = int(reinterpret_cast<std::intptr_t>(pos)) - 1;
  int next = GetNextItem(i, LVNI_SELECTED);
  pos = next < 0 ? nullptr : reinterpret_cast<POSITION>(std::intptr_t(next + 1));
  return i;
}

int CListCtrl::HitTest(CPoint p, UINT* flags) const {
  LVHITTESTINFO info{};
  info.pt = p;
  int i = int(SendMessage(LVM_HITTEST, 0, LPARAM(&info)));
  if (flags) *flags = info.flags;
  return i;
}

BOOL CListCtrl::GetItemRect(int item, LPRECT r, UINT code) const {
  if (!r) return FALSE;
  r->left = LONG(code);
  return BOOL(SendMessage(LVM_GETITEMRECT, WPARAM(item), LPARAM(r)));
}

int CListCtrl::FindItem(LVFINDINFO* info, int start) const {
  return int(SendMessage(LVM_FINDITEM, WPARAM(start), LPARAM(info)));
}
