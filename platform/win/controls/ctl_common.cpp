// Built-in common controls: progress bar, spin (up-down), tab control, tree view and tooltip.
#include <algorithm>
#include <cstring>

#include "platform/win/controls/ctl_internal.h"
#include "platform/win/base/handles.h"

namespace win::detail {
namespace {

// ---- Progress bar ---------------------------------------------------------------------------------------------
struct ProgressState {
  int lo = 0, hi = 100, pos = 0, step = 10;
  COLORREF bar = CLR_DEFAULT, back = CLR_DEFAULT;
};

LRESULT ProgressProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  ProgressState& s = ControlState<ProgressState>(wnd);
  auto clamp = [&](int p) { return std::clamp(p, std::min(s.lo, s.hi), std::max(s.lo, s.hi)); };
  auto redraw = [&] { InvalidateRect(wnd, nullptr, TRUE); };
  // Both range messages answer the previous range as two words.
  auto setRange = [&](int lo, int hi) {
    LRESULT old = MAKELONG(WORD(s.lo), WORD(s.hi));
    s.lo = lo;
    s.hi = hi;
    s.pos = clamp(s.pos);
    redraw();
    return old;
  };
  switch (msg) {
    case PBM_SETRANGE: return setRange(LOWORD(lParam), HIWORD(lParam));
    case PBM_SETRANGE32: return setRange(int(wParam), int(lParam));
    case PBM_GETRANGE: {
      if (auto* r = reinterpret_cast<PBRANGE*>(lParam)) *r = {s.lo, s.hi};
      return wParam ? s.lo : s.hi;
    }
    case PBM_SETPOS: {
      int old = s.pos;
      s.pos = clamp(int(wParam));
      redraw();
      return old;
    }
    case PBM_DELTAPOS: {
      int old = s.pos;
      s.pos = clamp(s.pos + int(wParam));
      redraw();
      return old;
    }
    case PBM_SETSTEP: {
      int old = s.step;
      s.step = int(wParam);
      return old;
    }
    case PBM_STEPIT: {
      int old = s.pos;
      s.pos += s.step;
      // Past the end the bar starts over from the beginning.
      if (s.hi > s.lo && s.pos > s.hi) s.pos = s.lo + (s.pos - s.hi);
      if (s.hi > s.lo && s.pos < s.lo) s.pos = s.hi - (s.lo - s.pos);
      s.pos = clamp(s.pos);
      redraw();
      return old;
    }
    case PBM_GETPOS: return s.pos;
    case PBM_SETBARCOLOR: {
      COLORREF old = s.bar;
      s.bar = COLORREF(lParam);
      redraw();
      return old;
    }
    case PBM_SETBKCOLOR: {
      COLORREF old = s.back;
      s.back = COLORREF(lParam);
      redraw();
      return old;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      RECT rc;
      GetClientRect(wnd, &rc);
      HBRUSH back = CreateSolidBrush(s.back == CLR_DEFAULT ? GetSysColor(COLOR_3DFACE) : s.back);
      FillRect(dc, &rc, back);
      DeleteObject(back);
      RECT edge = rc;
      DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
      InflateRect(&edge, -1, -1);
      int range = s.hi - s.lo;
      bool vertical = w->style & PBS_VERTICAL;
      int length = vertical ? edge.bottom - edge.top : edge.right - edge.left;
      int filled = range != 0 ? int(double(s.pos - s.lo) * length / range) : 0;
      filled = std::clamp(filled, 0, length);
      HBRUSH bar = CreateSolidBrush(s.bar == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : s.bar);
      if (w->style & PBS_SMOOTH) {
        RECT f = vertical ? RECT{edge.left, edge.bottom - filled, edge.right, edge.bottom}
                          : RECT{edge.left, edge.top, edge.left + filled, edge.bottom};
        FillRect(dc, &f, bar);
      } else {
        int block = std::max(2, int((vertical ? edge.right - edge.left : edge.bottom - edge.top) * 2 / 3));
        for (int x = 0; x < filled; x += block + 2) {
          int len = std::min(block, filled - x);
          RECT f = vertical ? RECT{edge.left, edge.bottom - x - len, edge.right, edge.bottom - x}
                            : RECT{edge.left + x, edge.top, edge.left + x + len, edge.bottom};
          FillRect(dc, &f, bar);
        }
      }
      DeleteObject(bar);
      EndPaint(wnd, &ps);
      return 0;
    }
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

// ---- Spin (up-down) ---------------------------------------------------------------------------------------------
struct SpinState {
  int lower = 100, upper = 0, pos = 0;  // the control's own default range runs from 100 down to 0
  HWND buddy = nullptr;
  int base = 10;
  int pressed = 0;  // 1 upper button, -1 lower button
};

void UpdateBuddy(HWND wnd, SpinState& s) {
  Window* w = Get(wnd);
  if (!s.buddy || !IsWindow(s.buddy) || !(w->style & UDS_SETBUDDYINT)) return;
  char buf[32];
  if (s.base == 16)
    std::snprintf(buf, sizeof(buf), "0x%X", unsigned(s.pos));
  else
    std::snprintf(buf, sizeof(buf), "%d", s.pos);
  SetWindowText(s.buddy, buf);
}

void ReadBuddy(SpinState& s, HWND wnd) {
  Window* w = Get(wnd);
  if (!s.buddy || !IsWindow(s.buddy) || !(w->style & UDS_SETBUDDYINT)) return;
  char buf[64];
  GetWindowText(s.buddy, buf, sizeof(buf));
  char* end = nullptr;
  long v = std::strtol(buf, &end, s.base == 16 ? 16 : 10);
  if (end != buf) s.pos = int(v);
}

void AttachBuddy(HWND wnd, SpinState& s, HWND buddy) {
  Window* w = Get(wnd);
  if (s.buddy && IsWindow(s.buddy)) RemoveProp(s.buddy, "kolumo.spin");
  s.buddy = buddy;
  if (!buddy || !IsWindow(buddy)) return;
  if (w->style & UDS_ARROWKEYS) SetProp(buddy, "kolumo.spin", wnd);
  if (w->style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)) {
    Window* b = Get(buddy);
    RECT br = b->rect;
    int width = w->rect.right - w->rect.left;
    if (w->style & UDS_ALIGNRIGHT) {
      MoveWindow(buddy, br.left, br.top, std::max(0, int(br.right - br.left - width + 2)), br.bottom - br.top, TRUE);
      MoveWindow(wnd, br.right - width, br.top, width, br.bottom - br.top, TRUE);
    } else {
      MoveWindow(buddy, br.left + width - 2, br.top, std::max(0, int(br.right - br.left - width + 2)),
                 br.bottom - br.top, TRUE);
      MoveWindow(wnd, br.left, br.top, width, br.bottom - br.top, TRUE);
    }
  }
  UpdateBuddy(wnd, s);
}

// One step toward the upper (direction 1) or lower (-1) end, as the user presses an arrow.
void SpinStep(HWND wnd, SpinState& s, int direction) {
  Window* w = Get(wnd);
  ReadBuddy(s, wnd);
  int toward = s.upper >= s.lower ? 1 : -1;
  int delta = direction * toward;
  NMUPDOWN nm{};
  nm.iPos = s.pos;
  nm.iDelta = delta;
  if (NotifyParent(wnd, &nm.hdr, UDN_DELTAPOS)) return;
  if (!Get(wnd)) return;
  int lo = std::min(s.lower, s.upper), hi = std::max(s.lower, s.upper);
  int next = s.pos + nm.iDelta;
  if (next > hi) next = (w->style & UDS_WRAP) ? lo : hi;
  if (next < lo) next = (w->style & UDS_WRAP) ? hi : lo;
  s.pos = next;
  UpdateBuddy(wnd, s);
  HWND parent = GetParent(wnd);
  UINT scroll = (w->style & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
  if (parent) {
    SendMessage(parent, scroll, MAKEWPARAM(SB_THUMBPOSITION, WORD(s.pos)), LPARAM(wnd));
    SendMessage(parent, scroll, MAKEWPARAM(SB_ENDSCROLL, WORD(s.pos)), LPARAM(wnd));
  }
}

LRESULT SpinProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  SpinState& s = ControlState<SpinState>(wnd);
  switch (msg) {
    case WM_CREATE:
      if (w->style & UDS_AUTOBUDDY) {
        HWND prev = GetWindow(wnd, GW_HWNDPREV);
        if (prev) AttachBuddy(wnd, s, prev);
      }
      return 0;
    case UDM_SETRANGE:
      s.upper = SHORT(LOWORD(lParam));
      s.lower = SHORT(HIWORD(lParam));
      return 0;
    case UDM_SETRANGE32:
      s.lower = int(wParam);
      s.upper = int(lParam);
      return 0;
    case UDM_GETRANGE: return MAKELONG(WORD(s.upper), WORD(s.lower));
    case UDM_GETRANGE32:
      if (wParam) *reinterpret_cast<int*>(wParam) = s.lower;
      if (lParam) *reinterpret_cast<int*>(lParam) = s.upper;
      return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
      int old = s.pos;
      int v = msg == UDM_SETPOS ? SHORT(LOWORD(lParam)) : int(lParam);
      s.pos = std::clamp(v, std::min(s.lower, s.upper), std::max(s.lower, s.upper));
      UpdateBuddy(wnd, s);
      return old;
    }
    case UDM_GETPOS: ReadBuddy(s, wnd); return MAKELONG(WORD(s.pos), 0);
    case UDM_GETPOS32:
      ReadBuddy(s, wnd);
      if (lParam) *reinterpret_cast<BOOL*>(lParam) = FALSE;
      return s.pos;
    case UDM_SETBUDDY: {
      HWND old = s.buddy;
      AttachBuddy(wnd, s, reinterpret_cast<HWND>(wParam));
      return reinterpret_cast<LRESULT>(old);
    }
    case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(s.buddy);
    case UDM_SETBASE: {
      int old = s.base;
      if (wParam == 10 || wParam == 16) s.base = int(wParam);
      return old;
    }
    case UDM_GETBASE: return s.base;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      RECT rc;
      GetClientRect(wnd, &rc);
      bool horz = w->style & UDS_HORZ;
      bool first = horz ? GET_X_LPARAM(lParam) < rc.right / 2 : GET_Y_LPARAM(lParam) < rc.bottom / 2;
      // The upper (or right) arrow moves toward the upper end.
      s.pressed = horz ? (first ? -1 : 1) : (first ? 1 : -1);
      if (s.buddy && IsWindow(s.buddy)) SetFocus(s.buddy);
      InvalidateRect(wnd, nullptr, TRUE);
      SpinStep(wnd, s, s.pressed);
      if (Get(wnd)) SetCapture(wnd);
      return 0;
    }
    case WM_LBUTTONUP:
      if (GetCapture() == wnd) ReleaseCapture();
      s.pressed = 0;
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_UP || wParam == VK_DOWN) SpinStep(wnd, s, wParam == VK_UP ? 1 : -1);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      RECT rc;
      GetClientRect(wnd, &rc);
      bool horz = w->style & UDS_HORZ;
      UINT inactive = IsWindowEnabled(wnd) ? 0 : DFCS_INACTIVE;
      RECT a = horz ? RECT{0, 0, rc.right / 2, rc.bottom} : RECT{0, 0, rc.right, rc.bottom / 2};
      RECT b = horz ? RECT{rc.right / 2, 0, rc.right, rc.bottom} : RECT{0, rc.bottom / 2, rc.right, rc.bottom};
      DrawFrameControl(
          dc, &a, DFC_SCROLL,
          (horz ? DFCS_SCROLLLEFT : DFCS_SCROLLUP) | inactive | (s.pressed == (horz ? -1 : 1) ? DFCS_PUSHED : 0));
      DrawFrameControl(
          dc, &b, DFC_SCROLL,
          (horz ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN) | inactive | (s.pressed == (horz ? 1 : -1) ? DFCS_PUSHED : 0));
      EndPaint(wnd, &ps);
      return 0;
    }
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

// ---- Tab control -------------------------------------------------------------------------------------------------
struct TabItem {
  std::string text;
  int image = -1;
  LPARAM param = 0;
};
struct TabState {
  std::vector<TabItem> items;
  int cur = -1;
  int focusItem = -1;
  HFONT font = nullptr;
  bool focused = false;
};

int TabHeight(const TabState& s) { return FontHeight(s.font) + 7; }

std::vector<RECT> TabRects(HWND wnd, const TabState& s) {
  std::vector<RECT> out;
  HDC dc = GetDC(wnd);
  HGDIOBJ old = UseFont(dc, s.font);
  int x = 2, h = TabHeight(s);
  for (const TabItem& it : s.items) {
    SIZE sz{0, 0};
    GetTextExtentPoint32(dc, it.text.c_str(), int(it.text.size()), &sz);
    int width = std::max(int(sz.cx) + 12, 40);
    out.push_back({x, 2, x + width, 2 + h});
    x += width;
  }
  SelectObject(dc, old);
  ReleaseDC(wnd, dc);
  return out;
}

void TabSelectByUser(HWND wnd, TabState& s, int i) {
  if (i < 0 || i >= int(s.items.size()) || i == s.cur) return;
  NMHDR hdr{};
  if (NotifyParent(wnd, &hdr, TCN_SELCHANGING)) return;
  if (!Get(wnd)) return;
  s.cur = i;
  s.focusItem = i;
  InvalidateRect(wnd, nullptr, TRUE);
  NMHDR hdr2{};
  NotifyParent(wnd, &hdr2, TCN_SELCHANGE);
}

LRESULT TabInsertItem(HWND wnd, TabState& s, WPARAM wParam, LPARAM lParam, int n) {
  auto* item = reinterpret_cast<const TCITEM*>(lParam);
  if (!item) return -1;
  int at = std::clamp(int(wParam), 0, n);
  TabItem t;
  if ((item->mask & TCIF_TEXT) && item->pszText) t.text = ValidUtf8(item->pszText);
  if (item->mask & TCIF_IMAGE) t.image = item->iImage;
  if (item->mask & TCIF_PARAM) t.param = item->lParam;
  s.items.insert(s.items.begin() + at, t);
  if (s.cur < 0)
    s.cur = 0;
  else if (at <= s.cur)
    ++s.cur;
  InvalidateRect(wnd, nullptr, TRUE);
  return at;
}

LRESULT TabDeleteItem(HWND wnd, TabState& s, WPARAM wParam, int n) {
  int i = int(wParam);
  if (i < 0 || i >= n) return FALSE;
  s.items.erase(s.items.begin() + i);
  if (s.cur == i)
    s.cur = -1;
  else if (s.cur > i)
    --s.cur;
  InvalidateRect(wnd, nullptr, TRUE);
  return TRUE;
}

LRESULT TabItemMessage(HWND wnd, TabState& s, UINT msg, WPARAM wParam, LPARAM lParam, int n) {
  auto* item = reinterpret_cast<TCITEM*>(lParam);
  int i = int(wParam);
  if (!item || i < 0 || i >= n) return FALSE;
  TabItem& t = s.items[std::size_t(i)];
  if (msg == TCM_SETITEM) {
    if ((item->mask & TCIF_TEXT) && item->pszText) t.text = ValidUtf8(item->pszText);
    if (item->mask & TCIF_IMAGE) t.image = item->iImage;
    if (item->mask & TCIF_PARAM) t.param = item->lParam;
    InvalidateRect(wnd, nullptr, TRUE);
    return TRUE;
  }
  if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0) {
    std::size_t c = std::min(t.text.size(), std::size_t(item->cchTextMax - 1));
    std::memcpy(item->pszText, t.text.data(), c);
    item->pszText[c] = 0;
  }
  if (item->mask & TCIF_IMAGE) item->iImage = t.image;
  if (item->mask & TCIF_PARAM) item->lParam = t.param;
  return TRUE;
}

LRESULT TabSetCurSel(HWND wnd, TabState& s, WPARAM wParam, int n) {
  int i = int(wParam);
  if (i == -1) {  // deselects every tab
    int old = s.cur;
    s.cur = -1;
    InvalidateRect(wnd, nullptr, TRUE);
    return old;
  }
  if (i < 0 || i >= n) return -1;
  int old = s.cur;
  s.cur = i;
  InvalidateRect(wnd, nullptr, TRUE);
  return old;
}

LRESULT TabAdjustRect(TabState& s, WPARAM wParam, LPARAM lParam) {
  auto* r = reinterpret_cast<RECT*>(lParam);
  if (!r) return 0;
  int top = TabHeight(s) + 2;
  if (wParam) {
    r->left -= 4;
    r->right += 4;
    r->top -= top + 2;
    r->bottom += 4;
  } else {
    r->left += 4;
    r->right -= 4;
    r->top += top + 2;
    r->bottom -= 4;
  }
  return 0;
}

LRESULT TabHitTestMessage(HWND wnd, TabState& s, LPARAM lParam, int n) {
  auto* hit = reinterpret_cast<TCHITTESTINFO*>(lParam);
  if (!hit) return -1;
  auto rects = TabRects(wnd, s);
  for (int i = 0; i < n; ++i)
    if (PtInRect(&rects[std::size_t(i)], hit->pt)) {
      hit->flags = TCHT_ONITEMLABEL;
      return i;
    }
  hit->flags = TCHT_NOWHERE;
  return -1;
}

LRESULT TabClick(HWND wnd, Window* w, TabState& s, LPARAM lParam, int n) {
  if (!(w->style & TCS_FOCUSNEVER)) SetFocus(wnd);
  if (!Get(wnd)) return 0;
  auto rects = TabRects(wnd, s);
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  for (int i = 0; i < n; ++i)
    if (PtInRect(&rects[std::size_t(i)], p)) {
      TabSelectByUser(wnd, s, i);
      break;
    }
  return 0;
}

LRESULT TabPaint(HWND wnd, TabState& s, int n) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(wnd, &ps);
  RECT rc;
  GetClientRect(wnd, &rc);
  HBRUSH bg = CtlColor(wnd, dc, WM_CTLCOLORDLG);
  FillRect(dc, &rc, bg ? bg : GetSysColorBrush(COLOR_3DFACE));
  int h = TabHeight(s);
  RECT body{0, h + 1, rc.right, rc.bottom};
  DrawEdge(dc, &body, EDGE_RAISED, BF_RECT);
  HFONT old = UseFont(dc, s.font);
  SetBkMode(dc, TRANSPARENT);
  auto rects = TabRects(wnd, s);
  for (int i = 0; i < n; ++i) {
    RECT r = rects[std::size_t(i)];
    bool sel = i == s.cur;
    if (sel) InflateRect(&r, 2, 0), r.top -= 2, r.bottom += 1;
    RECT fill{r.left + 1, r.top + 1, r.right - 1, r.bottom};
    FillRect(dc, &fill, GetSysColorBrush(COLOR_3DFACE));
    DrawEdge(dc, &r, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT);
    SetTextColor(dc, IsWindowEnabled(wnd) ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT));
    RECT tr{r.left + 2, r.top + 1, r.right - 2, r.bottom};
    DrawText(dc, s.items[std::size_t(i)].text.c_str(), -1, &tr, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    if (sel && s.focused) {
      RECT f{tr.left + 1, tr.top + 2, tr.right - 1, tr.bottom - 2};
      DrawFocusRect(dc, &f);
    }
  }
  SelectObject(dc, old);
  EndPaint(wnd, &ps);
  return 0;
}

LRESULT TabProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  TabState& s = ControlState<TabState>(wnd);
  bool handled;
  LRESULT fr = FontMessages(wnd, msg, wParam, lParam, s.font, handled);
  if (handled) return fr;
  int n = int(s.items.size());
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_NCHITTEST: {
      // Only the tabs take the mouse: the pages and controls laid over the control's area get it elsewhere.
      POINT p{SHORT(LOWORD(lParam)), SHORT(HIWORD(lParam))};
      ScreenToClient(wnd, &p);
      for (const RECT& r : TabRects(wnd, s))
        if (PtInRect(&r, p)) return HTCLIENT;
      return HTTRANSPARENT;
    }
    case TCM_GETITEMCOUNT: return n;
    case TCM_INSERTITEM: return TabInsertItem(wnd, s, wParam, lParam, n);
    case TCM_DELETEITEM: return TabDeleteItem(wnd, s, wParam, n);
    case TCM_DELETEALLITEMS:
      s.items.clear();
      s.cur = -1;
      InvalidateRect(wnd, nullptr, TRUE);
      return TRUE;
    case TCM_GETITEM:
    case TCM_SETITEM: return TabItemMessage(wnd, s, msg, wParam, lParam, n);
    case TCM_GETCURSEL: return s.cur;
    case TCM_SETCURSEL: return TabSetCurSel(wnd, s, wParam, n);
    case TCM_GETCURFOCUS: return s.focusItem >= 0 ? s.focusItem : s.cur;
    case TCM_SETCURFOCUS: TabSelectByUser(wnd, s, int(wParam)); return 0;
    case TCM_GETROWCOUNT: return 1;
    case TCM_GETITEMRECT: {
      auto rects = TabRects(wnd, s);
      int i = int(wParam);
      auto* r = reinterpret_cast<RECT*>(lParam);
      if (!r || i < 0 || i >= n) return FALSE;
      *r = rects[std::size_t(i)];
      return TRUE;
    }
    case TCM_HITTEST: return TabHitTestMessage(wnd, s, lParam, n);
    case TCM_ADJUSTRECT: return TabAdjustRect(s, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return TabClick(wnd, w, s, lParam, n);
    case WM_KEYDOWN:
      if (wParam == VK_LEFT) TabSelectByUser(wnd, s, s.cur - 1);
      if (wParam == VK_RIGHT) TabSelectByUser(wnd, s, s.cur + 1);
      return 0;
    case WM_SETFOCUS:
      s.focused = true;
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case WM_KILLFOCUS:
      s.focused = false;
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return TabPaint(wnd, s, n);
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

// ---- Tree view ------------------------------------------------------------------------------------------------------
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

// ---- Tooltip ---------------------------------------------------------------------------------------------------------
struct Tool {
  TOOLINFO info{};
  std::string text;
};
struct TipState {
  std::vector<Tool> tools;
  bool active = true;
  int maxWidth = -1;
  int initial = 500, autopop = 5000, reshow = 100;
  int pending = -1;
  int shown = -1;
  std::string shownText;
  HFONT font = nullptr;
  COLORREF back = CLR_DEFAULT, fore = CLR_DEFAULT;
};

constexpr UINT_PTR kShowTimer = 1, kPopTimer = 2;

bool SameTool(const TOOLINFO& a, const TOOLINFO* b) { return b && a.hwnd == b->hwnd && a.uId == b->uId; }

int FindTool(TipState& s, const TOOLINFO* t) {
  for (int i = 0; i < int(s.tools.size()); ++i)
    if (SameTool(s.tools[std::size_t(i)].info, t)) return i;
  return -1;
}

std::string ToolText(const TOOLINFO* t) {
  if (!t || !t->lpszText) return "";
  if (t->lpszText == LPSTR_TEXTCALLBACK) return "";
  if (IS_INTRESOURCE(t->lpszText)) {
    char buf[1024];
    LoadString(t->hinst, UINT(reinterpret_cast<std::uintptr_t>(t->lpszText)), buf, sizeof(buf));
    return buf;
  }
  return ValidUtf8(t->lpszText);
}

void HideTip(HWND wnd, TipState& s) {
  KillTimer(wnd, kShowTimer);
  KillTimer(wnd, kPopTimer);
  s.pending = -1;
  if (s.shown >= 0) {
    s.shown = -1;
    ShowWindow(wnd, SW_HIDE);
    NMHDR hdr{};
    NotifyParent(wnd, &hdr, TTN_POP);
  }
}

void ShowTip(HWND wnd, TipState& s, int index) {
  if (index < 0 || index >= int(s.tools.size())) return;
  Tool& t = s.tools[std::size_t(index)];
  std::string text = t.text;
  if (t.info.lpszText == LPSTR_TEXTCALLBACK) {
    NMTTDISPINFO di{};
    di.hdr.hwndFrom = wnd;
    di.hdr.idFrom = t.info.uId;
    di.hdr.code = TTN_GETDISPINFO;
    di.lParam = t.info.lParam;
    SendMessage(t.info.hwnd, WM_NOTIFY, t.info.uId, LPARAM(&di));
    text = di.lpszText && di.lpszText != LPSTR_TEXTCALLBACK ? ValidUtf8(di.lpszText) : ValidUtf8(di.szText);
  }
  if (text.empty()) return;
  s.shownText = text;
  HDC dc = GetDC(wnd);
  HGDIOBJ old = UseFont(dc, s.font);
  RECT calc{0, 0, s.maxWidth > 0 ? s.maxWidth : 10000, 0};
  DrawText(dc, text.c_str(), -1, &calc, DT_CALCRECT | (s.maxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE) | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(wnd, dc);
  POINT cur;
  GetCursorPos(&cur);
  s.shown = index;
  SetWindowPos(wnd, HWND_TOP, cur.x, cur.y + 20, calc.right + 8, calc.bottom + 6, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(wnd, nullptr, TRUE);
  NMHDR hdr{};
  NotifyParent(wnd, &hdr, TTN_SHOW);
  SetTimer(wnd, kPopTimer, UINT(s.autopop), nullptr);
}

LRESULT TipAddTool(HWND wnd, TipState& s, TOOLINFO* ti) {
  if (!ti) return FALSE;
  Tool t;
  t.info = *ti;
  t.text = ToolText(ti);
  t.info.lpszText = ti->lpszText == LPSTR_TEXTCALLBACK ? LPSTR_TEXTCALLBACK : nullptr;
  int at = FindTool(s, ti);
  if (at >= 0)
    s.tools[std::size_t(at)] = t;
  else
    s.tools.push_back(t);
  if (ti->uFlags & TTF_SUBCLASS)
    AddRelay((ti->uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(ti->uId) : ti->hwnd, wnd);
  return TRUE;
}

LRESULT TipDelTool(HWND wnd, TipState& s, TOOLINFO* ti) {
  int at = FindTool(s, ti);
  if (at >= 0) {
    if (s.shown == at || s.pending == at) HideTip(wnd, s);
    const TOOLINFO& t = s.tools[std::size_t(at)].info;
    RemoveRelay((t.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(t.uId) : t.hwnd, wnd);
    s.tools.erase(s.tools.begin() + at);
  }
  return 0;
}

LRESULT TipUpdateText(HWND wnd, TipState& s, TOOLINFO* ti) {
  int at = FindTool(s, ti);
  if (at >= 0) {
    s.tools[std::size_t(at)].text = ToolText(ti);
    s.tools[std::size_t(at)].info.lpszText = ti->lpszText == LPSTR_TEXTCALLBACK ? LPSTR_TEXTCALLBACK : nullptr;
    if (s.shown == at) s.shownText = s.tools[std::size_t(at)].text, InvalidateRect(wnd, nullptr, TRUE);
  }
  return 0;
}

LRESULT TipToolInfo(TipState& s, UINT msg, TOOLINFO* ti) {
  int at = FindTool(s, ti);
  if (at < 0) return FALSE;
  const Tool& t = s.tools[std::size_t(at)];
  if (msg == TTM_GETTOOLINFO) {
    LPSTR keep = ti->lpszText;
    *ti = t.info;
    ti->lpszText = keep;
  }
  if (ti->lpszText && ti->lpszText != LPSTR_TEXTCALLBACK) std::strcpy(ti->lpszText, t.text.c_str());
  return TRUE;
}

LRESULT TipSetToolInfo(TipState& s, TOOLINFO* ti) {
  int at = FindTool(s, ti);
  if (at >= 0) {
    s.tools[std::size_t(at)].info = *ti;
    s.tools[std::size_t(at)].text = ToolText(ti);
  }
  return 0;
}

LRESULT TipSetDelayTime(TipState& s, WPARAM wParam, LPARAM lParam) {
  int v = SHORT(LOWORD(lParam));
  switch (wParam) {
    case TTDT_AUTOMATIC:
      s.initial = v < 0 ? 500 : v;
      s.autopop = s.initial * 10;
      s.reshow = s.initial / 5;
      break;
    case TTDT_INITIAL: s.initial = v < 0 ? 500 : v; break;
    case TTDT_AUTOPOP: s.autopop = v < 0 ? 5000 : v; break;
    case TTDT_RESHOW: s.reshow = v < 0 ? 100 : v; break;
    default: break;
  }
  return 0;
}

LRESULT TipRelayEvent(HWND wnd, TipState& s, LPARAM lParam) {
  auto* m = reinterpret_cast<MSG*>(lParam);
  if (!m) return 0;
  if (m->message == WM_MOUSEMOVE) {
    if (!s.active) return 0;
    POINT p{GET_X_LPARAM(m->lParam), GET_Y_LPARAM(m->lParam)};
    int hit = -1;
    for (int i = 0; i < int(s.tools.size()); ++i) {
      const TOOLINFO& t = s.tools[std::size_t(i)].info;
      if (t.uFlags & TTF_IDISHWND) {
        if (reinterpret_cast<HWND>(t.uId) == m->hwnd) hit = i;
      } else if (t.hwnd == m->hwnd && PtInRect(&t.rect, p)) {
        hit = i;
      }
    }
    if (hit < 0) {
      HideTip(wnd, s);
    } else if (hit != s.shown && hit != s.pending) {
      HideTip(wnd, s);
      s.pending = hit;
      SetTimer(wnd, kShowTimer, UINT(std::max(1, s.initial)), nullptr);
    }
  } else if (m->message == WM_LBUTTONDOWN || m->message == WM_RBUTTONDOWN || m->message == WM_MBUTTONDOWN) {
    HideTip(wnd, s);
  }
  return 0;
}

LRESULT TipTimer(HWND wnd, TipState& s, WPARAM wParam) {
  if (wParam == kShowTimer) {
    KillTimer(wnd, kShowTimer);
    int p = s.pending;
    s.pending = -1;
    if (s.active) ShowTip(wnd, s, p);
  } else if (wParam == kPopTimer) {
    HideTip(wnd, s);
  }
  return 0;
}

LRESULT TipPaint(HWND wnd, TipState& s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(wnd, &ps);
  RECT rc;
  GetClientRect(wnd, &rc);
  HBRUSH b = CreateSolidBrush(s.back == CLR_DEFAULT ? GetSysColor(COLOR_INFOBK) : s.back);
  FillRect(dc, &rc, b);
  DeleteObject(b);
  HFONT old = UseFont(dc, s.font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, s.fore == CLR_DEFAULT ? GetSysColor(COLOR_INFOTEXT) : s.fore);
  RECT tr{rc.left + 3, rc.top + 2, rc.right - 3, rc.bottom - 2};
  DrawText(dc, s.shownText.c_str(), -1, &tr, (s.maxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE) | DT_NOPREFIX);
  SelectObject(dc, old);
  EndPaint(wnd, &ps);
  return 0;
}

LRESULT TipProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  TipState& s = ControlState<TipState>(wnd);
  bool handled;
  LRESULT fr = FontMessages(wnd, msg, wParam, lParam, s.font, handled);
  if (handled) return fr;
  auto* ti = reinterpret_cast<TOOLINFO*>(lParam);
  switch (msg) {
    case WM_NCCREATE:
      w->exStyle |= WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
      w->style |= WS_BORDER;
      return TRUE;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_NCDESTROY:
      for (const Tool& t : s.tools)
        RemoveRelay((t.info.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(t.info.uId) : t.info.hwnd, wnd);
      return 0;
    case TTM_ADDTOOL: return TipAddTool(wnd, s, ti);
    case TTM_DELTOOL: return TipDelTool(wnd, s, ti);
    case TTM_UPDATETIPTEXT: return TipUpdateText(wnd, s, ti);
    case TTM_NEWTOOLRECT: {
      int at = FindTool(s, ti);
      if (at >= 0) s.tools[std::size_t(at)].info.rect = ti->rect;
      return 0;
    }
    case TTM_GETTOOLCOUNT: return LRESULT(s.tools.size());
    case TTM_GETTOOLINFO:
    case TTM_GETTEXT: return TipToolInfo(s, msg, ti);
    case TTM_SETTOOLINFO: return TipSetToolInfo(s, ti);
    case TTM_ACTIVATE:
      s.active = wParam != 0;
      if (!s.active) HideTip(wnd, s);
      return 0;
    case TTM_SETDELAYTIME: return TipSetDelayTime(s, wParam, lParam);
    case TTM_GETDELAYTIME: return wParam == TTDT_AUTOPOP ? s.autopop : wParam == TTDT_RESHOW ? s.reshow : s.initial;
    case TTM_SETMAXTIPWIDTH: {
      int old = s.maxWidth;
      s.maxWidth = int(lParam);
      return old;
    }
    case TTM_GETMAXTIPWIDTH: return s.maxWidth;
    case TTM_SETTIPBKCOLOR: s.back = COLORREF(wParam); return 0;
    case TTM_SETTIPTEXTCOLOR: s.fore = COLORREF(wParam); return 0;
    case TTM_POP: HideTip(wnd, s); return 0;
    case TTM_RELAYEVENT: return TipRelayEvent(wnd, s, lParam);
    case WM_TIMER: return TipTimer(wnd, s, wParam);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return TipPaint(wnd, s);
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterCommonControls() {
  RegisterClassOf("msctls_progress32", &ProgressProc, 0, nullptr);
  RegisterClassOf("msctls_updown32", &SpinProc, 0, nullptr);
  RegisterClassOf("SysTabControl32", &TabProc, CS_DBLCLKS, nullptr);
  RegisterClassOf("SysTreeView32", &TreeProc, CS_DBLCLKS, nullptr);
  RegisterClassOf("tooltips_class32", &TipProc, CS_SAVEBITS, nullptr);
}

}  // namespace win::detail
