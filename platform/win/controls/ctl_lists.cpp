// Built-in controls: list boxes and combo boxes (drop-down list and free text) with their drop-down list.
#include <algorithm>
#include <cstring>

#include "platform/win/controls/ctl_internal.h"

namespace win::detail {

int FontHeight(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = UseFont(dc, font);
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

namespace {

struct Item {
  std::string text;
  LPARAM data = 0;
  bool selected = false;
};

struct Items {
  std::vector<Item> items;
  int cur = -1;
  int top = 0;
  int itemHeight = 13;
  bool sorted = false;

  int Count() const { return int(items.size()); }
  bool Valid(int i) const { return i >= 0 && i < Count(); }
  int Add(const std::string& text) {
    if (!sorted) {
      items.push_back({text});
      return Count() - 1;
    }
    auto it = std::upper_bound(items.begin(), items.end(), text,
                               [](const std::string& t, const Item& i) { return Lower(t) < Lower(i.text); });
    int at = int(it - items.begin());
    items.insert(it, Item{text});
    if (cur >= at) ++cur;
    return at;
  }
  int Insert(int at, const std::string& text) {
    if (at < 0 || at > Count()) at = Count();
    items.insert(items.begin() + at, Item{text});
    if (cur >= at) ++cur;
    return at;
  }
  int Delete(int at) {
    if (!Valid(at)) return -1;
    items.erase(items.begin() + at);
    if (cur == at)
      cur = -1;
    else if (cur > at)
      --cur;
    top = std::clamp(top, 0, std::max(0, Count() - 1));
    return Count();
  }
  // Prefix (exact = false) or whole-text search without regard to case, after the given index, wrapping.
  int Find(int after, const std::string& text, bool exact) const {
    int n = Count();
    if (n == 0) return -1;
    std::string t = Lower(text);
    int start = (after < -1 || after >= n) ? -1 : after;
    for (int k = 1; k <= n; ++k) {
      int i = (start + k) % n;
      std::string s = Lower(items[std::size_t(i)].text);
      if (exact ? s == t : s.compare(0, t.size(), t) == 0) return i;
    }
    return -1;
  }
};

LRESULT CopyText(const std::string& text, LPARAM out) {
  if (!out) return -1;
  std::memcpy(reinterpret_cast<char*>(out), text.c_str(), text.size() + 1);
  return LRESULT(text.size());
}

void PaintItems(HDC dc, const RECT& area, const Items& s, bool focused, int highlight, bool multi, bool enabled) {
  int y = area.top;
  for (int i = s.top; i < s.Count() && y < area.bottom; ++i) {
    RECT r{area.left, y, area.right, y + s.itemHeight};
    bool sel = multi ? s.items[std::size_t(i)].selected : i == highlight;
    if (sel) {
      FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      SetTextColor(dc, enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT));
    }
    RECT tr{r.left + 2, r.top, r.right - 2, r.bottom};
    DrawText(dc, s.items[std::size_t(i)].text.c_str(), -1, &tr,
             DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS);
    if (focused && i == s.cur) DrawFocusRect(dc, &r);
    y += s.itemHeight;
  }
}

// ---- List box -----------------------------------------------------------------------------------------------------
struct ListState : Items {
  HFONT font = nullptr;
  bool focused = false;
  HWND combo = nullptr;  // set for the drop-down list of a combo box
  int anchor = -1;
};

bool MultiSel(const Window& w) { return w.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL); }

int VisibleRows(HWND wnd, const Items& s) {
  RECT rc;
  GetClientRect(wnd, &rc);
  return std::max(1, int(rc.bottom) / std::max(1, s.itemHeight));
}

void UpdateListScroll(HWND wnd, Items& s) {
  Window* w = Get(wnd);
  if (!w || !(w->style & WS_VSCROLL)) return;
  int rows = VisibleRows(wnd, s);
  bool need = s.Count() > rows;
  if (need != w->vscroll.shown) ShowScrollBar(wnd, SB_VERT, need);
  rows = VisibleRows(wnd, s);
  s.top = std::clamp(s.top, 0, std::max(0, s.Count() - rows));
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, std::max(0, s.Count() - 1), UINT(rows), s.top, 0};
  SetScrollInfo(wnd, SB_VERT, &si, TRUE);
}

void EnsureVisible(HWND wnd, Items& s, int i) {
  if (!s.Valid(i)) return;
  int rows = VisibleRows(wnd, s);
  if (i < s.top) s.top = i;
  if (i >= s.top + rows) s.top = i - rows + 1;
  UpdateListScroll(wnd, s);
}

void ListChosen(HWND list, int index);

void ListSelect(HWND wnd, ListState& s, int i, bool notify) {
  Window* w = Get(wnd);
  if (!s.Valid(i)) return;
  bool changed = s.cur != i;
  if (MultiSel(*w)) {
    s.items[std::size_t(i)].selected = !s.items[std::size_t(i)].selected;
    changed = true;
  }
  s.cur = i;
  EnsureVisible(wnd, s, i);
  InvalidateRect(wnd, nullptr, TRUE);
  if (changed && notify && (w->style & LBS_NOTIFY)) NotifyCommand(wnd, LBN_SELCHANGE);
}

LRESULT ListSetCurSel(HWND wnd, Window* w, ListState& s, WPARAM wParam) {
  if (MultiSel(*w)) return LB_ERR;
  if (!s.Valid(int(wParam))) {
    s.cur = -1;
    InvalidateRect(wnd, nullptr, TRUE);
    return int(wParam) == -1 ? 0 : LB_ERR;
  }
  s.cur = int(wParam);
  EnsureVisible(wnd, s, s.cur);
  InvalidateRect(wnd, nullptr, TRUE);
  return s.cur;
}

LRESULT ListSelectString(HWND wnd, ListState& s, WPARAM wParam, LPARAM lParam) {
  int i = s.Find(int(wParam), reinterpret_cast<LPCSTR>(lParam) ? reinterpret_cast<LPCSTR>(lParam) : "", false);
  if (i < 0) return LB_ERR;
  s.cur = i;
  EnsureVisible(wnd, s, i);
  InvalidateRect(wnd, nullptr, TRUE);
  return i;
}

LRESULT ListItemRect(HWND wnd, ListState& s, WPARAM wParam, LPARAM lParam) {
  auto* r = reinterpret_cast<RECT*>(lParam);
  if (!r || !s.Valid(int(wParam))) return LB_ERR;
  RECT rc;
  GetClientRect(wnd, &rc);
  *r = {0, (int(wParam) - s.top) * s.itemHeight, rc.right, (int(wParam) - s.top + 1) * s.itemHeight};
  return 0;
}

LRESULT ListItemFromPoint(HWND wnd, ListState& s, LPARAM lParam) {
  int y = GET_Y_LPARAM(lParam);
  int i = s.top + y / std::max(1, s.itemHeight);
  RECT rc;
  GetClientRect(wnd, &rc);
  bool outside = y < 0 || y >= rc.bottom || !s.Valid(i);
  return MAKELONG(WORD(std::clamp(i, 0, std::max(0, s.Count() - 1))), WORD(outside ? 1 : 0));
}

LRESULT ListSetSel(HWND wnd, Window* w, ListState& s, WPARAM wParam, LPARAM lParam) {
  if (!MultiSel(*w)) return LB_ERR;
  int i = int(lParam);
  for (int k = 0; k < s.Count(); ++k)
    if (i == -1 || k == i) s.items[std::size_t(k)].selected = wParam != 0;
  InvalidateRect(wnd, nullptr, TRUE);
  return 0;
}

LRESULT ListSelItems(Window* w, ListState& s, WPARAM wParam, LPARAM lParam) {
  if (!MultiSel(*w)) return LB_ERR;
  auto* out = reinterpret_cast<int*>(lParam);
  int n = 0;
  for (int k = 0; k < s.Count() && n < int(wParam); ++k)
    if (s.items[std::size_t(k)].selected) out[n++] = k;
  return n;
}

LRESULT ListClick(HWND wnd, Window* w, ListState& s, UINT msg, LPARAM lParam) {
  if (!s.combo) SetFocus(wnd);
  if (!Get(wnd)) return 0;
  int i = s.top + GET_Y_LPARAM(lParam) / std::max(1, s.itemHeight);
  if (!s.Valid(i)) return 0;
  if (s.combo) {
    ListChosen(wnd, i);
    return 0;
  }
  if (msg == WM_LBUTTONDOWN || !MultiSel(*w)) ListSelect(wnd, s, i, true);
  if (msg == WM_LBUTTONDBLCLK && (w->style & LBS_NOTIFY)) NotifyCommand(wnd, LBN_DBLCLK);
  return 0;
}

LRESULT ListMouseMove(HWND wnd, ListState& s, LPARAM lParam) {
  if (s.combo) {
    int i = s.top + GET_Y_LPARAM(lParam) / std::max(1, s.itemHeight);
    if (s.Valid(i) && i != s.cur) {
      s.cur = i;
      InvalidateRect(wnd, nullptr, TRUE);
    }
  }
  return 0;
}

LRESULT ListKeyDown(HWND wnd, Window* w, ListState& s, WPARAM wParam) {
  int i = s.cur;
  int rows = VisibleRows(wnd, s);
  switch (wParam) {
    case VK_UP: i = std::max(0, i - 1); break;
    case VK_DOWN: i = std::min(s.Count() - 1, i + 1); break;
    case VK_PRIOR: i = std::max(0, i - rows + 1); break;
    case VK_NEXT: i = std::min(s.Count() - 1, i + rows - 1); break;
    case VK_HOME: i = 0; break;
    case VK_END: i = s.Count() - 1; break;
    case VK_SPACE:
      if (MultiSel(*w) && s.Valid(s.cur)) ListSelect(wnd, s, s.cur, true);
      return 0;
    default: return 0;
  }
  if (s.Valid(i) && (i != s.cur || MultiSel(*w))) {
    if (MultiSel(*w)) {
      s.cur = i;
      EnsureVisible(wnd, s, i);
      InvalidateRect(wnd, nullptr, TRUE);
    } else {
      ListSelect(wnd, s, i, true);
    }
  }
  return 0;
}

LRESULT ListVScroll(HWND wnd, ListState& s, WPARAM wParam) {
  if (!ScrollTop(s.top, wParam, VisibleRows(wnd, s), s.Count())) return 0;
  UpdateListScroll(wnd, s);
  InvalidateRect(wnd, nullptr, TRUE);
  return 0;
}

LRESULT ListPaint(HWND wnd, Window* w, ListState& s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(wnd, &ps);
  RECT rc;
  GetClientRect(wnd, &rc);
  HBRUSH b = s.combo ? GetSysColorBrush(COLOR_WINDOW) : CtlColor(wnd, dc, WM_CTLCOLORLISTBOX);
  FillRect(dc, &rc, b);
  HFONT old = UseFont(dc, s.font);
  SetBkMode(dc, TRANSPARENT);
  PaintItems(dc, rc, s, s.focused && !s.combo, s.cur, MultiSel(*w), IsWindowEnabled(wnd));
  SelectObject(dc, old);
  EndPaint(wnd, &ps);
  return 0;
}

LRESULT ListPaintOwnerDrawn(HWND wnd, Window* w, ListState& s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(wnd, &ps);
  RECT rc;
  GetClientRect(wnd, &rc);
  FillRect(dc, &rc, CtlColor(wnd, dc, WM_CTLCOLORLISTBOX));
  for (int i = s.top, y = 0; i < s.Count() && y < rc.bottom; ++i, y += s.itemHeight) {
    bool sel = MultiSel(*w) ? s.items[std::size_t(i)].selected : i == s.cur;
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_LISTBOX;
    dis.CtlID = UINT(w->id);
    dis.itemID = UINT(i);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (sel ? ODS_SELECTED : 0) | (s.focused && i == s.cur ? ODS_FOCUS : 0) |
                    (IsWindowEnabled(wnd) ? 0 : ODS_DISABLED);
    dis.hwndItem = wnd;
    dis.hDC = dc;
    dis.rcItem = {0, y, rc.right, y + s.itemHeight};
    dis.itemData = ULONG_PTR(s.items[std::size_t(i)].data);
    int saved = SaveDC(dc);
    SendMessage(GetParent(wnd), WM_DRAWITEM, w->id, reinterpret_cast<LPARAM>(&dis));
    RestoreDC(dc, saved);
  }
  EndPaint(wnd, &ps);
  return 0;
}

LRESULT ListProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  ListState& s = ControlState<ListState>(wnd);
  bool handled;
  LRESULT fr = FontMessages(wnd, msg, wParam, lParam, s.font, handled);
  // Owner-drawn list boxes: the parent says the rows' height and draws each row (WM_MEASUREITEM, WM_DRAWITEM).
  const bool ownerDrawn = !s.combo && (w->style & LBS_OWNERDRAWFIXED);
  if (ownerDrawn && (msg == WM_CREATE || msg == WM_SETFONT)) {
    if (msg == WM_CREATE) s.sorted = w->style & LBS_SORT;
    MEASUREITEMSTRUCT mis{ODT_LISTBOX, UINT(w->id), 0, 0, UINT(FontHeight(s.font)), 0};
    SendMessage(GetParent(wnd), WM_MEASUREITEM, w->id, reinterpret_cast<LPARAM>(&mis));
    s.itemHeight = std::max(1, int(mis.itemHeight));
    UpdateListScroll(wnd, s);
    return 0;
  }
  if (ownerDrawn && msg == WM_PAINT) return ListPaintOwnerDrawn(wnd, w, s);
  if (handled) {
    if (msg == WM_SETFONT) {
      s.itemHeight = FontHeight(s.font);
      UpdateListScroll(wnd, s);
    }
    return fr;
  }
  switch (msg) {
    case WM_CREATE:
      s.sorted = w->style & LBS_SORT;
      s.itemHeight = FontHeight(s.font);
      UpdateListScroll(wnd, s);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case LB_ADDSTRING: {
      int i = s.Add(ValidUtf8(reinterpret_cast<LPCSTR>(lParam) ? reinterpret_cast<LPCSTR>(lParam) : ""));
      UpdateListScroll(wnd, s);
      InvalidateRect(wnd, nullptr, TRUE);
      return i;
    }
    case LB_INSERTSTRING: {
      int i =
          s.Insert(int(wParam), ValidUtf8(reinterpret_cast<LPCSTR>(lParam) ? reinterpret_cast<LPCSTR>(lParam) : ""));
      UpdateListScroll(wnd, s);
      InvalidateRect(wnd, nullptr, TRUE);
      return i;
    }
    case LB_DELETESTRING: {
      int r = s.Delete(int(wParam));
      UpdateListScroll(wnd, s);
      InvalidateRect(wnd, nullptr, TRUE);
      return r < 0 ? LB_ERR : r;
    }
    case LB_RESETCONTENT:
      s.items.clear();
      s.cur = -1;
      s.top = 0;
      UpdateListScroll(wnd, s);
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case LB_GETCOUNT: return s.Count();
    case LB_GETCURSEL: return MultiSel(*w) ? s.cur : s.cur;
    case LB_SETCURSEL: return ListSetCurSel(wnd, w, s, wParam);
    case LB_GETTEXT: return s.Valid(int(wParam)) ? CopyText(s.items[wParam].text, lParam) : LB_ERR;
    case LB_GETTEXTLEN: return s.Valid(int(wParam)) ? LRESULT(s.items[wParam].text.size()) : LB_ERR;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: {
      int i = s.Find(int(wParam), reinterpret_cast<LPCSTR>(lParam) ? reinterpret_cast<LPCSTR>(lParam) : "",
                     msg == LB_FINDSTRINGEXACT);
      return i < 0 ? LB_ERR : i;
    }
    case LB_SELECTSTRING: return ListSelectString(wnd, s, wParam, lParam);
    case LB_GETITEMDATA: return s.Valid(int(wParam)) ? s.items[wParam].data : LB_ERR;
    case LB_SETITEMDATA:
      if (!s.Valid(int(wParam))) return LB_ERR;
      s.items[wParam].data = lParam;
      return 0;
    case LB_GETTOPINDEX: return s.top;
    case LB_SETTOPINDEX:
      if (!s.Valid(int(wParam))) return LB_ERR;
      s.top = int(wParam);
      UpdateListScroll(wnd, s);
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case LB_GETITEMHEIGHT: return s.itemHeight;
    case LB_SETITEMHEIGHT:
      s.itemHeight = std::max(1, int(LOWORD(lParam)));
      UpdateListScroll(wnd, s);
      return 0;
    case LB_GETITEMRECT: return ListItemRect(wnd, s, wParam, lParam);
    case LB_ITEMFROMPOINT: return ListItemFromPoint(wnd, s, lParam);
    case LB_GETSEL:
      return s.Valid(int(wParam)) ? (MultiSel(*w) ? s.items[wParam].selected : int(wParam) == s.cur) : LB_ERR;
    case LB_SETSEL: return ListSetSel(wnd, w, s, wParam, lParam);
    case LB_GETSELCOUNT: {
      if (!MultiSel(*w)) return LB_ERR;
      return std::count_if(s.items.begin(), s.items.end(), [](const Item& i) { return i.selected; });
    }
    case LB_GETSELITEMS: return ListSelItems(w, s, wParam, lParam);
    case LB_SETCARETINDEX:
      s.cur = int(wParam);
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case LB_GETCARETINDEX: return s.cur;
    case WM_SETFOCUS:
      s.focused = true;
      InvalidateRect(wnd, nullptr, TRUE);
      if (w->style & LBS_NOTIFY) NotifyCommand(wnd, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s.focused = false;
      InvalidateRect(wnd, nullptr, TRUE);
      if (w->style & LBS_NOTIFY) NotifyCommand(wnd, LBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return ListClick(wnd, w, s, msg, lParam);
    case WM_MOUSEMOVE: return ListMouseMove(wnd, s, lParam);
    case WM_KEYDOWN: return ListKeyDown(wnd, w, s, wParam);
    case WM_CHAR: {
      if (wParam < 0x20) return 0;
      int i = s.Find(s.cur, EncodeUtf8(std::uint32_t(wParam)), false);
      if (i >= 0 && i != s.cur) ListSelect(wnd, s, i, true);
      return 0;
    }
    case WM_VSCROLL: return ListVScroll(wnd, s, wParam);
    case WM_MOUSEWHEEL: {
      int lines = -SHORT(HIWORD(wParam)) / WHEEL_DELTA * 3;
      s.top += lines;
      UpdateListScroll(wnd, s);
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    }
    case WM_SIZE: UpdateListScroll(wnd, s); return 0;
    case WM_ENABLE: InvalidateRect(wnd, nullptr, TRUE); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return ListPaint(wnd, w, s);
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

// ---- Combo box ------------------------------------------------------------------------------------------------------
struct ComboState : Items {
  HFONT font = nullptr;
  HWND edit = nullptr;
  HWND list = nullptr;
  bool focused = false;
  bool dropped = false;
  int droppedHeight = 100;
  int droppedWidth = 0;
  int fieldHeight = 21;
  bool updatingEdit = false;
  bool sizing = false;
  int curBeforeDrop = -1;
  std::string textBeforeDrop;  // the field's text when the list opened: what an Escape there gives back
  HWND simpleList = nullptr;   // CBS_SIMPLE: the list that always shows below the edit
};

DWORD ComboType(const Window& w) { return w.style & 3; }

void SetEditText(HWND combo, ComboState& s, const std::string& text) {
  if (!s.edit) return;
  s.updatingEdit = true;
  SetWindowText(s.edit, text.c_str());
  SendMessage(s.edit, EM_SETSEL, 0, -1);
  s.updatingEdit = false;
  (void)combo;
}

// What the box shows: its field's text, or the current item's.
std::string FieldText(const ComboState& s) {
  if (!s.edit) return s.Valid(s.cur) ? s.items[std::size_t(s.cur)].text : "";
  std::string t(std::size_t(GetWindowTextLength(s.edit)) + 1, '\0');
  t.resize(std::size_t(GetWindowText(s.edit, t.data(), int(t.size()))));
  return t;
}

void ShowCurrent(HWND combo, ComboState& s) {
  if (s.edit) SetEditText(combo, s, s.Valid(s.cur) ? s.items[std::size_t(s.cur)].text : "");
  InvalidateRect(combo, nullptr, TRUE);
}

void LayoutCombo(HWND combo, ComboState& s) {
  if (!s.edit) return;
  RECT rc;
  GetClientRect(combo, &rc);
  if (s.simpleList) {
    MoveWindow(s.edit, 3, 3, std::max(0, int(rc.right - 6)), std::max(0, s.fieldHeight - 6), TRUE);
    MoveWindow(s.simpleList, 0, s.fieldHeight, rc.right, std::max(0, int(rc.bottom) - s.fieldHeight), TRUE);
    return;
  }
  int button = GetSystemMetrics(SM_CXVSCROLL);
  MoveWindow(s.edit, 3, 3, std::max(0, int(rc.right - button - 6)), std::max(0, int(rc.bottom - 6)), TRUE);
}

void CloseList(HWND combo, ComboState& s, bool accept);

void OpenList(HWND combo, ComboState& s) {
  if (s.dropped) return;
  NotifyCommand(combo, CBN_DROPDOWN);
  if (!Get(combo)) return;
  s.dropped = true;
  s.curBeforeDrop = s.cur;
  s.textBeforeDrop = FieldText(s);
  RECT wr;
  GetWindowRect(combo, &wr);
  int width = std::max(int(wr.right - wr.left), s.droppedWidth);
  int rows = std::clamp(s.Count(), 1, std::max(1, (s.droppedHeight - s.fieldHeight) / std::max(1, s.itemHeight)));
  int height = rows * s.itemHeight + 2;
  HWND owner = Root(combo);
  DWORD style = WS_POPUP | WS_BORDER | (s.Count() > rows ? WS_VSCROLL : 0);
  s.list = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, "ComboLBox", "", style, wr.left,
                          wr.bottom, width, height, owner, nullptr, nullptr, nullptr);
  if (!s.list) return;
  ListState& ls = ControlState<ListState>(s.list);
  ls.combo = combo;
  ls.items = s.items;
  ls.cur = s.cur;
  ls.itemHeight = s.itemHeight;
  ls.font = s.font;
  EnsureVisible(s.list, ls, ls.cur);
  ShowWindow(s.list, SW_SHOWNA);
  InvalidateRect(combo, nullptr, TRUE);
}

void CloseList(HWND combo, ComboState& s, bool accept) {
  if (!s.dropped) return;
  s.dropped = false;
  HWND list = s.list;
  s.list = nullptr;
  if (list) DestroyWindow(list);
  if (!accept) {
    NotifyCommand(combo, CBN_SELENDCANCEL);
  } else {
    NotifyCommand(combo, CBN_SELENDOK);
  }
  NotifyCommand(combo, CBN_CLOSEUP);
  InvalidateRect(combo, nullptr, TRUE);
}

// The user's choice of an item (list click, keys): selection, text, notifications.
void ComboChoose(HWND combo, ComboState& s, int i, bool closeList) {
  if (!s.Valid(i)) return;
  bool changed = s.cur != i;
  s.cur = i;
  ShowCurrent(combo, s);
  for (HWND list : {s.list, s.simpleList}) {
    if (!list) continue;
    ListState& ls = ControlState<ListState>(list);
    ls.cur = i;
    EnsureVisible(list, ls, i);
    InvalidateRect(list, nullptr, TRUE);
  }
  if (closeList && !s.simpleList) {
    CloseList(combo, s, true);
    if (!Get(combo)) return;
    if (changed || s.curBeforeDrop != i) NotifyCommand(combo, CBN_SELCHANGE);
  } else if (changed) {
    NotifyCommand(combo, CBN_SELCHANGE);
  }
}

void ListChosen(HWND list, int index) {
  ListState& ls = ControlState<ListState>(list);
  HWND combo = ls.combo;
  if (!Get(combo)) return;
  ComboState& s = ControlState<ComboState>(combo);
  ComboChoose(combo, s, index, true);
}

void ComboKey(HWND combo, ComboState& s, UINT vk) {
  Window* w = Get(combo);
  bool alt = KeyIsDown(VK_MENU);
  const bool toggle = vk == VK_F4 || (alt && (vk == VK_DOWN || vk == VK_UP));
  if (toggle && !s.dropped) {
    OpenList(combo, s);
    return;
  }
  // The mouse may have moved the dropped list's light: keys go on from the row lit, Enter takes it.
  if (s.dropped && s.list && Get(s.list)) {
    int lit = ControlState<ListState>(s.list).cur;
    if (s.Valid(lit) && lit != s.cur) {
      s.cur = lit;
      ShowCurrent(combo, s);
    }
  }
  // F4 closes the list on the row lit as Return does: that row is the choice, said once the list is gone.
  if (s.dropped && (vk == VK_RETURN || toggle)) {
    CloseList(combo, s, true);
    if (Get(combo) && s.cur != s.curBeforeDrop) NotifyCommand(combo, CBN_SELCHANGE);
    return;
  }
  if (s.dropped && vk == VK_ESCAPE) {
    s.cur = s.curBeforeDrop;
    if (s.edit)
      SetEditText(combo, s, s.textBeforeDrop);
    else
      ShowCurrent(combo, s);
    CloseList(combo, s, false);
    return;
  }
  int i = s.cur;
  switch (vk) {
    case VK_UP: i = s.Valid(i) ? std::max(0, i - 1) : 0; break;
    case VK_DOWN: i = s.Valid(i) ? std::min(s.Count() - 1, i + 1) : 0; break;
    case VK_HOME: i = 0; break;
    case VK_END: i = s.Count() - 1; break;
    case VK_PRIOR: i = std::max(0, i - 8); break;
    case VK_NEXT: i = std::min(s.Count() - 1, i + 8); break;
    default: return;
  }
  if (ComboType(*w) == CBS_DROPDOWN && !s.dropped && vk != VK_UP && vk != VK_DOWN) return;
  if (s.Valid(i) && i != s.cur) ComboChoose(combo, s, i, false);
}

LRESULT ComboProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// A simple combo's list shows the combo's items: after every message the list takes them over when they changed.
LRESULT SimpleAwareComboProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT r = ComboProc(wnd, msg, wParam, lParam);
  Window* w = Get(wnd);
  if (!w || !w->control) return r;
  ComboState& s = ControlState<ComboState>(wnd);
  if (!s.simpleList || !Get(s.simpleList)) return r;
  ListState& ls = ControlState<ListState>(s.simpleList);
  bool same = ls.cur == s.cur && ls.items.size() == s.items.size() &&
              std::equal(ls.items.begin(), ls.items.end(), s.items.begin(),
                         [](const Item& a, const Item& b) { return a.text == b.text && a.data == b.data; });
  if (!same) {
    ls.items = s.items;
    ls.cur = s.cur;
    UpdateListScroll(s.simpleList, ls);
    InvalidateRect(s.simpleList, nullptr, TRUE);
  }
  return r;
}

LRESULT ComboCreate(HWND wnd, Window* w, ComboState& s, LPARAM lParam, DWORD type) {
  auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
  // WS_VSCROLL and WS_HSCROLL of a combo box are meant for its dropped list.
  w->vscroll.shown = w->hscroll.shown = false;
  s.sorted = w->style & CBS_SORT;
  s.droppedHeight = cs ? cs->cy : 100;
  s.itemHeight = FontHeight(s.font);
  s.fieldHeight = s.itemHeight + 8;
  if (type != CBS_DROPDOWNLIST) {
    s.edit = CreateWindowEx(0, "Edit", w->text.c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 10, 10, wnd,
                            reinterpret_cast<HMENU>(std::intptr_t(kComboEditId)), nullptr, nullptr);
  }
  if (type == CBS_SIMPLE) {
    // The list is part of the control, below the edit, as high as the control allows.
    s.simpleList = CreateWindowEx(0, "ComboLBox", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL, 0, 0, 10, 10, wnd,
                                  reinterpret_cast<HMENU>(std::intptr_t(1000)), nullptr, nullptr);
    ListState& ls = ControlState<ListState>(s.simpleList);
    ls.combo = wnd;
    ls.itemHeight = s.itemHeight;
    LayoutCombo(wnd, s);
    return 0;
  }
  s.sizing = true;
  SetWindowPos(wnd, nullptr, 0, 0, cs ? cs->cx : 100, s.fieldHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  s.sizing = false;
  LayoutCombo(wnd, s);
  return 0;
}

LRESULT ComboSetFont(HWND wnd, ComboState& s, WPARAM wParam, LPARAM lParam) {
  s.font = reinterpret_cast<HFONT>(wParam);
  s.itemHeight = FontHeight(s.font);
  s.fieldHeight = s.itemHeight + 8;
  if (s.edit) SendMessage(s.edit, WM_SETFONT, wParam, lParam);
  if (s.simpleList) {
    ListState& ls = ControlState<ListState>(s.simpleList);
    ls.font = s.font;
    ls.itemHeight = s.itemHeight;
  } else {
    RECT r;
    GetWindowRect(wnd, &r);
    s.sizing = true;
    SetWindowPos(wnd, nullptr, 0, 0, r.right - r.left, s.fieldHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    s.sizing = false;
  }
  LayoutCombo(wnd, s);
  return 0;
}

LRESULT ComboSetText(HWND wnd, Window* w, ComboState& s, LPARAM lParam) {
  std::string t = ValidUtf8(lParam ? reinterpret_cast<LPCSTR>(lParam) : "");
  if (s.edit) {
    SetEditText(wnd, s, t);
    w->text = t;
    return TRUE;
  }
  int i = s.Find(-1, t, true);
  if (i < 0) return CB_ERR;
  s.cur = i;
  InvalidateRect(wnd, nullptr, TRUE);
  return TRUE;
}

LRESULT ComboGetText(ComboState& s, WPARAM wParam, LPARAM lParam) {
  const std::string t = FieldText(s);
  auto* out = reinterpret_cast<char*>(lParam);
  if (!out || wParam == 0) return 0;
  std::size_t n = std::min(t.size(), std::size_t(wParam - 1));
  std::memcpy(out, t.data(), n);
  out[n] = 0;
  return LRESULT(n);
}

LRESULT ComboEditCommand(HWND wnd, ComboState& s, WPARAM wParam, LPARAM lParam) {
  if (HWND(lParam) == s.edit && s.edit) {
    switch (HIWORD(wParam)) {
      case EN_CHANGE:
        if (!s.updatingEdit) {
          // Typed text selects nothing of the list.
          NotifyCommand(wnd, CBN_EDITCHANGE);
        }
        return 0;
      case EN_UPDATE:
        if (!s.updatingEdit) NotifyCommand(wnd, CBN_EDITUPDATE);
        return 0;
      case EN_SETFOCUS:
        if (!s.focused) {
          s.focused = true;
          NotifyCommand(wnd, CBN_SETFOCUS);
        }
        return 0;
      case EN_KILLFOCUS: {
        HWND f = GetFocus();
        if (f != wnd && f != s.edit) {
          s.focused = false;
          if (s.dropped) CloseList(wnd, s, true);
          NotifyCommand(wnd, CBN_KILLFOCUS);
        }
        return 0;
      }
      default: return 0;
    }
  }
  return 0;
}

LRESULT ComboSetFocus(HWND wnd, ComboState& s) {
  if (s.edit) {
    SetFocus(s.edit);
    SendMessage(s.edit, EM_SETSEL, 0, -1);
    return 0;
  }
  s.focused = true;
  InvalidateRect(wnd, nullptr, TRUE);
  NotifyCommand(wnd, CBN_SETFOCUS);
  return 0;
}

LRESULT ComboKillFocus(HWND wnd, ComboState& s, WPARAM wParam) {
  if (s.edit && HWND(wParam) == s.edit) return 0;
  s.focused = false;
  if (s.dropped) CloseList(wnd, s, true);
  InvalidateRect(wnd, nullptr, TRUE);
  NotifyCommand(wnd, CBN_KILLFOCUS);
  return 0;
}

LRESULT ComboClick(HWND wnd, ComboState& s, LPARAM lParam, DWORD type) {
  RECT rc;
  GetClientRect(wnd, &rc);
  bool onButton = GET_X_LPARAM(lParam) >= rc.right - GetSystemMetrics(SM_CXVSCROLL);
  SetFocus(s.edit ? s.edit : wnd);
  if (!Get(wnd)) return 0;
  if (type == CBS_DROPDOWNLIST || onButton) {
    if (s.dropped)
      CloseList(wnd, s, true);
    else
      OpenList(wnd, s);
  }
  return 0;
}

LRESULT ComboSetItemHeight(HWND wnd, ComboState& s, WPARAM wParam, LPARAM lParam) {
  if (int(wParam) == -1) {
    s.fieldHeight = int(lParam) + 6;
    RECT r;
    GetWindowRect(wnd, &r);
    s.sizing = true;
    SetWindowPos(wnd, nullptr, 0, 0, r.right - r.left, s.fieldHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    s.sizing = false;
  } else {
    s.itemHeight = std::max(1, int(lParam));
  }
  return 0;
}

LRESULT ComboPaint(HWND wnd, ComboState& s, DWORD type) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(wnd, &ps);
  RECT rc;
  GetClientRect(wnd, &rc);
  bool enabled = IsWindowEnabled(wnd);
  HBRUSH b = CtlColor(wnd, dc, type == CBS_DROPDOWNLIST ? WM_CTLCOLORLISTBOX : WM_CTLCOLOREDIT);
  FillRect(dc, &rc, enabled ? b : GetSysColorBrush(COLOR_3DFACE));
  RECT edge = rc;
  DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
  if (s.simpleList) {
    // Only the edit's frame: the list below draws itself.
    FillRect(dc, &rc, GetSysColorBrush(COLOR_3DFACE));
    RECT field{rc.left, rc.top, rc.right, rc.top + s.fieldHeight};
    FillRect(dc, &field, enabled ? b : GetSysColorBrush(COLOR_3DFACE));
    DrawEdge(dc, &field, EDGE_SUNKEN, BF_RECT);
    EndPaint(wnd, &ps);
    return 0;
  }
  int bw = GetSystemMetrics(SM_CXVSCROLL);
  RECT button{rc.right - bw - 2, rc.top + 2, rc.right - 2, rc.bottom - 2};
  DrawFrameControl(dc, &button, DFC_SCROLL,
                   DFCS_SCROLLCOMBOBOX | (s.dropped ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
  if (type == CBS_DROPDOWNLIST) {
    HFONT old = UseFont(dc, s.font);
    SetBkMode(dc, TRANSPARENT);
    RECT tr{rc.left + 3, rc.top + 3, button.left - 1, rc.bottom - 3};
    if (s.focused && !s.dropped) {
      FillRect(dc, &tr, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      SetTextColor(dc, enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT));
    }
    if (s.Valid(s.cur)) {
      RECT t2{tr.left + 2, tr.top, tr.right - 1, tr.bottom};
      DrawText(dc, s.items[std::size_t(s.cur)].text.c_str(), -1, &t2,
               DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (s.focused && !s.dropped) DrawFocusRect(dc, &tr);
    SelectObject(dc, old);
  }
  EndPaint(wnd, &ps);
  return 0;
}

LRESULT ComboProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  ComboState& s = ControlState<ComboState>(wnd);
  DWORD type = ComboType(*w);
  switch (msg) {
    case WM_CREATE: return ComboCreate(wnd, w, s, lParam, type);
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (!s.sizing && !s.simpleList && pos && !(pos->flags & SWP_NOSIZE) && pos->cy != s.fieldHeight) {
        // The height given to a combo box is the height of its dropped list.
        s.droppedHeight = pos->cy;
        pos->cy = s.fieldHeight;
      }
      return 0;
    }
    case WM_SIZE: LayoutCombo(wnd, s); return 0;
    case WM_SETFONT: return ComboSetFont(wnd, s, wParam, lParam);
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS | (s.dropped ? DLGC_WANTALLKEYS : 0);
    case WM_SETTEXT: return ComboSetText(wnd, w, s, lParam);
    case WM_GETTEXT: return ComboGetText(s, wParam, lParam);
    case WM_GETTEXTLENGTH:
      if (s.edit) return GetWindowTextLength(s.edit);
      return s.Valid(s.cur) ? LRESULT(s.items[std::size_t(s.cur)].text.size()) : 0;
    case WM_COMMAND: return ComboEditCommand(wnd, s, wParam, lParam);
    case WM_SETFOCUS: return ComboSetFocus(wnd, s);
    case WM_KILLFOCUS: return ComboKillFocus(wnd, s, wParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return ComboClick(wnd, s, lParam, type);
    case WM_KEYDOWN: ComboKey(wnd, s, UINT(wParam)); return 0;
    // Alt+Down opens the list and Alt+Up closes it on the row lit, as F4 does; other keys with Alt are the dialog's.
    case WM_SYSKEYDOWN:
      if (wParam == VK_UP || wParam == VK_DOWN) {
        ComboKey(wnd, s, UINT(wParam));
        return 0;
      }
      return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_CHAR:
      if (type == CBS_DROPDOWNLIST && wParam >= 0x20) {
        int i = s.Find(s.cur, EncodeUtf8(std::uint32_t(wParam)), false);
        if (i >= 0) ComboChoose(wnd, s, i, false);
      }
      return 0;
    case CB_ADDSTRING: {
      int i = s.Add(ValidUtf8(lParam ? reinterpret_cast<LPCSTR>(lParam) : ""));
      return i;
    }
    case CB_INSERTSTRING: return s.Insert(int(wParam), ValidUtf8(lParam ? reinterpret_cast<LPCSTR>(lParam) : ""));
    case CB_DELETESTRING: {
      int r = s.Delete(int(wParam));
      InvalidateRect(wnd, nullptr, TRUE);
      return r < 0 ? CB_ERR : r;
    }
    case CB_RESETCONTENT:
      s.items.clear();
      s.cur = -1;
      if (s.edit) SetEditText(wnd, s, "");
      InvalidateRect(wnd, nullptr, TRUE);
      return CB_OKAY;
    case CB_GETCOUNT: return s.Count();
    case CB_GETCURSEL: return s.cur;
    case CB_SETCURSEL:
      // Changes made in code send no notification.
      if (!s.Valid(int(wParam))) {
        s.cur = -1;
        ShowCurrent(wnd, s);
        return CB_ERR;
      }
      s.cur = int(wParam);
      ShowCurrent(wnd, s);
      return s.cur;
    case CB_GETLBTEXT: return s.Valid(int(wParam)) ? CopyText(s.items[wParam].text, lParam) : CB_ERR;
    case CB_GETLBTEXTLEN: return s.Valid(int(wParam)) ? LRESULT(s.items[wParam].text.size()) : CB_ERR;
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT: {
      int i = s.Find(int(wParam), lParam ? reinterpret_cast<LPCSTR>(lParam) : "", msg == CB_FINDSTRINGEXACT);
      return i < 0 ? CB_ERR : i;
    }
    case CB_SELECTSTRING: {
      int i = s.Find(int(wParam), lParam ? reinterpret_cast<LPCSTR>(lParam) : "", false);
      if (i < 0) return CB_ERR;
      s.cur = i;
      ShowCurrent(wnd, s);
      return i;
    }
    case CB_GETITEMDATA: return s.Valid(int(wParam)) ? s.items[wParam].data : CB_ERR;
    case CB_SETITEMDATA:
      if (!s.Valid(int(wParam))) return CB_ERR;
      s.items[wParam].data = lParam;
      return CB_OKAY;
    case CB_SHOWDROPDOWN:
      if (wParam)
        OpenList(wnd, s);
      else
        CloseList(wnd, s, true);
      return TRUE;
    case CB_GETDROPPEDSTATE: return s.dropped;
    case CB_GETITEMHEIGHT: return int(wParam) == -1 ? s.fieldHeight - 6 : s.itemHeight;
    case CB_SETITEMHEIGHT: return ComboSetItemHeight(wnd, s, wParam, lParam);
    case CB_GETDROPPEDWIDTH: {
      RECT r;
      GetWindowRect(wnd, &r);
      return std::max(int(r.right - r.left), s.droppedWidth);
    }
    case CB_SETDROPPEDWIDTH: s.droppedWidth = int(wParam); return s.droppedWidth;
    case CB_SETHORIZONTALEXTENT: return 0;
    case CB_GETHORIZONTALEXTENT: return 0;
    case CB_GETTOPINDEX: return s.top;
    case CB_SETTOPINDEX: s.top = int(wParam); return 0;
    case CB_LIMITTEXT: return s.edit ? SendMessage(s.edit, EM_LIMITTEXT, wParam, 0) : CB_ERR;
    case CB_GETEDITSEL: return s.edit ? SendMessage(s.edit, EM_GETSEL, wParam, lParam) : CB_ERR;
    case CB_SETEDITSEL:
      return s.edit
                 ? (SendMessage(s.edit, EM_SETSEL, WPARAM(SHORT(LOWORD(lParam))), LPARAM(SHORT(HIWORD(lParam)))), TRUE)
                 : CB_ERR;
    case CB_GETDROPPEDCONTROLRECT: {
      auto* r = reinterpret_cast<RECT*>(lParam);
      if (!r) return CB_ERR;
      GetWindowRect(wnd, r);
      r->bottom = r->top + s.droppedHeight;
      return TRUE;
    }
    case WM_ENABLE:
      if (s.edit) EnableWindow(s.edit, BOOL(wParam));
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case WM_NCDESTROY:
      if (s.list && IsWindow(s.list)) DestroyWindow(s.list);
      s.list = nullptr;
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return ComboPaint(wnd, s, type);
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterListControls() {
  RegisterClassOf("ListBox", &ListProc, CS_DBLCLKS, nullptr);
  RegisterClassOf("ComboLBox", &ListProc, CS_SAVEBITS, nullptr);
  RegisterClassOf("ComboBox", &SimpleAwareComboProc, CS_DBLCLKS, nullptr);
}

}  // namespace win::detail
