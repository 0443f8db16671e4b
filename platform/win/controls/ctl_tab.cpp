// The tab control: a row of tabs over a page area; a click or the arrow keys select a tab and notify the parent.
#include <algorithm>
#include <cstring>

#include "platform/win/base/handles.h"
#include "platform/win/controls/ctl_internal.h"

namespace win::detail {
namespace {

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

}  // namespace

void RegisterTabControl() { RegisterClassOf("SysTabControl32", &TabProc, CS_DBLCLKS, nullptr); }

}  // namespace win::detail
