// A popup menu on a screen: one caption-less pop-up window per open level, items picked with the mouse or the
// keys, in a loop that waits on the screen as a modal dialog does. Owner-drawn items are measured and drawn by the
// menu's owner.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/win/resources/menutext.h"
#include "platform/win/screen/screen.h"
#include "platform/win/window/internal.h"

namespace win::detail {

namespace {

constexpr int kItemHeight = 20, kSeparatorHeight = 8, kPad = 22;
constexpr UINT kKeyFirst = 0x0100, kKeyLast = 0x0109;  // the keyboard messages
// A submenu opens when the pointer has rested on its entry this long, as on a desktop.
constexpr UINT_PTR kRestTimer = 1;
constexpr UINT kRestMs = 400;

struct Level {
  HMENU menu = nullptr;
  HWND wnd = nullptr;
  std::vector<RECT> rects;  // the items' rectangles in the level's client coordinates
  int hot = -1;
  int open = -1;     // the entry whose submenu is the next level
  POINT hotPoint{};  // where the pointer last stood on the hot entry (screen): whence it heads for the submenu
  bool hotPointed = false;
};

struct Tracking {
  std::vector<Level> levels;
  INT_PTR result = -1;  // -1 while the menu is open
  POINT pointer{};      // the pointer's last place (screen)
  HWND owner = nullptr;
};
Tracking* g_tracking = nullptr;

std::string ItemText(HMENU menu, int i) {
  char text[256] = {};
  GetMenuString(menu, UINT(i), text, sizeof text, MF_BYPOSITION);
  std::string s;
  for (const char* p = text; *p; ++p)
    if (*p != '&' || p[1] == '&') s += *p;
  return s;
}
// A popup item's state holds its submenu's entry count from bit 8 on, where MF_SEPARATOR lies.
bool IsSeparator(HMENU menu, int i) {
  const UINT state = GetMenuState(menu, UINT(i), MF_BYPOSITION);
  return state != UINT(-1) && !(state & MF_POPUP) && (state & MF_SEPARATOR);
}
bool IsEnabled(HMENU menu, int i) {
  return !IsSeparator(menu, i) && !(GetMenuState(menu, UINT(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED));
}
// An owner-drawn item's record: its kind, state, command and data.
bool OwnerDrawn(HMENU menu, int i, MENUITEMINFO& info) {
  info = MENUITEMINFO{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
  return GetMenuItemInfo(menu, UINT(i), TRUE, &info) && (info.fType & MFT_OWNERDRAW);
}

int LevelOf(HWND wnd) {
  if (!g_tracking) return -1;
  for (std::size_t i = 0; i < g_tracking->levels.size(); ++i)
    if (g_tracking->levels[i].wnd == wnd) return int(i);
  return -1;
}

void CloseFrom(std::size_t level) {
  while (g_tracking->levels.size() > level) {
    DestroyWindow(g_tracking->levels.back().wnd);
    g_tracking->levels.pop_back();
  }
  if (level > 0 && level <= g_tracking->levels.size()) g_tracking->levels[level - 1].open = -1;
}

void Open(HMENU menu, POINT at);

// The item under a screen point: its level and index, or false.
bool ItemAt(POINT screen, int& level, int& index) {
  for (int l = int(g_tracking->levels.size()) - 1; l >= 0; --l) {
    const Level& lv = g_tracking->levels[std::size_t(l)];
    POINT p = screen;
    ScreenToClient(lv.wnd, &p);
    RECT rc;
    GetClientRect(lv.wnd, &rc);
    if (!PtInRect(&rc, p)) continue;
    const auto& rects = lv.rects;
    level = l;
    index = -1;
    for (std::size_t i = 0; i < rects.size(); ++i)
      if (PtInRect(&rects[i], p)) index = int(i);
    return true;
  }
  return false;
}

// Whether the pointer, moved to p over the level, heads from the open entry into the level's open submenu: it lies
// between the lines from where it left that entry to the submenu's near corners. On its way it crosses other entries,
// which must not take the submenu away.
bool HeadsForSubmenu(std::size_t level, POINT p) {
  const Level& lv = g_tracking->levels[level];
  if (lv.open < 0 || lv.open != lv.hot || !lv.hotPointed || level + 1 >= g_tracking->levels.size()) return false;
  RECT sub;
  GetWindowRect(g_tracking->levels[level + 1].wnd, &sub);
  const POINT from = lv.hotPoint;
  const LONG edge = sub.left > from.x ? sub.left : sub.right < from.x ? sub.right : from.x;
  if (edge == from.x) return false;
  auto cross = [](LONG ax, LONG ay, LONG bx, LONG by) {
    return static_cast<long long>(ax) * by - static_cast<long long>(ay) * bx;
  };
  const LONG ux = edge - from.x, uy = sub.top - from.y, vx = edge - from.x, vy = sub.bottom - from.y;
  const LONG dx = p.x - from.x, dy = p.y - from.y;
  const long long turn = cross(ux, uy, vx, vy);
  return cross(ux, uy, dx, dy) * turn >= 0 && cross(dx, dy, vx, vy) * turn >= 0;
}

void SetHot(int level, int index) {
  Level& lv = g_tracking->levels[std::size_t(level)];
  if (lv.hot == index) return;
  lv.hot = index;
  lv.hotPointed = false;
  InvalidateRect(lv.wnd, nullptr, TRUE);
}

// Chooses the hot item of a level: a submenu opens beside it, an enabled command ends the menu.
void Choose(int level) {
  Level& lv = g_tracking->levels[std::size_t(level)];
  if (lv.hot < 0 || !IsEnabled(lv.menu, lv.hot)) return;
  if (HMENU sub = GetSubMenu(lv.menu, lv.hot)) {
    if (lv.open == lv.hot) return;  // already open
    CloseFrom(std::size_t(level) + 1);
    RECT wr;
    GetWindowRect(lv.wnd, &wr);
    const RECT item = lv.rects[std::size_t(lv.hot)];
    lv.open = lv.hot;
    Open(sub, POINT{wr.right - 2, wr.top + item.top});  // moves the levels: lv is gone
    return;
  }
  g_tracking->result = GetMenuItemID(lv.menu, lv.hot);
}

void MoveHot(int level, int direction) {
  Level& lv = g_tracking->levels[std::size_t(level)];
  const int n = GetMenuItemCount(lv.menu);
  for (int step = 1; step <= n; ++step) {
    const int i = ((lv.hot < 0 ? (direction > 0 ? -1 : 0) : lv.hot) + direction * step + n * 2) % n;
    if (IsEnabled(lv.menu, i)) {
      SetHot(level, i);
      return;
    }
  }
}

void DrawSubmenuArrow(HDC dc, const RECT& item) {
  RECT arrow{item.right - 14, item.top, item.right - 2, item.bottom};
  DrawText(dc, "\xE2\x96\xB8", -1, &arrow, DT_SINGLELINE | DT_VCENTER);
}

// A letter typed in the open level: the enabled item whose text marks it with "&" is chosen; where none does, the
// owner is asked (WM_MENUCHAR), as owner-drawn items have no text here.
void MenuLetter(UINT ch) {
  const int top = int(g_tracking->levels.size()) - 1;
  const HMENU menu = g_tracking->levels.back().menu;
  const int lower = std::tolower(int(ch & 0xFF));
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[256] = {};
    if (MENUITEMINFO info; OwnerDrawn(menu, i, info) || !IsEnabled(menu, i) ||
                           !GetMenuString(menu, UINT(i), text, sizeof text, MF_BYPOSITION))
      continue;
    const char* amp = std::strchr(text, '&');
    while (amp && amp[1] == '&') amp = std::strchr(amp + 2, '&');
    if (amp && ch < 0x80 && std::tolower(static_cast<unsigned char>(amp[1])) == lower) {
      SetHot(top, i);
      Choose(top);
      return;
    }
  }
  if (!g_tracking->owner) return;
  const LRESULT answer =
      SendMessage(g_tracking->owner, WM_MENUCHAR, MAKEWPARAM(WORD(ch), WORD(MF_POPUP)), LPARAM(menu));
  const int item = LOWORD(answer);
  if (!g_tracking || HIWORD(answer) == MNC_IGNORE) return;
  if (HIWORD(answer) == MNC_CLOSE) {
    g_tracking->result = 0;
  } else if (item < GetMenuItemCount(menu) && IsEnabled(menu, item)) {
    SetHot(top, item);
    if (HIWORD(answer) == MNC_EXECUTE) Choose(top);
  }
}

LRESULT MenuProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const int level = LevelOf(wnd);
  if (level < 0 || !g_tracking) return DefWindowProc(wnd, msg, wParam, lParam);
  Level& lv = g_tracking->levels[std::size_t(level)];
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      RECT rc;
      GetClientRect(wnd, &rc);
      FillRect(dc, &rc, GetSysColorBrush(COLOR_MENU));
      SetBkMode(dc, TRANSPARENT);
      HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      const auto& rects = lv.rects;
      for (std::size_t i = 0; i < rects.size(); ++i) {
        RECT r = rects[i];
        if (MENUITEMINFO info; OwnerDrawn(lv.menu, int(i), info)) {
          DrawOwnerDrawnItem(dc, lv.menu, info, g_tracking->owner, r, int(i) == lv.hot && IsEnabled(lv.menu, int(i)));
          SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
          SetBkMode(dc, TRANSPARENT);
          SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
          if (info.hSubMenu) DrawSubmenuArrow(dc, r);
          continue;
        }
        if (IsSeparator(lv.menu, int(i))) {
          RECT line{r.left + 4, (r.top + r.bottom) / 2, r.right - 4, (r.top + r.bottom) / 2 + 1};
          FillRect(dc, &line, GetSysColorBrush(COLOR_GRAYTEXT));
          continue;
        }
        const bool hot = int(i) == lv.hot && IsEnabled(lv.menu, int(i));
        if (hot) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(!IsEnabled(lv.menu, int(i)) ? COLOR_GRAYTEXT
                                     : hot                       ? COLOR_HIGHLIGHTTEXT
                                                                 : COLOR_MENUTEXT));
        const UINT state = GetMenuState(lv.menu, UINT(i), MF_BYPOSITION);
        if (state & MF_CHECKED) {
          RECT check{r.left + 4, r.top, r.left + kPad, r.bottom};
          DrawText(dc, "\xE2\x9C\x93", -1, &check, DT_SINGLELINE | DT_VCENTER);
        }
        RECT text{r.left + kPad, r.top, r.right - kPad, r.bottom};
        const MenuTextParts label = SplitMenuText(ItemText(lv.menu, int(i)));
        DrawText(dc, label.left.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER);
        if (!label.right.empty()) DrawText(dc, label.right.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
        if (GetSubMenu(lv.menu, int(i))) DrawSubmenuArrow(dc, r);
      }
      SelectObject(dc, old);
      EndPaint(wnd, &ps);
      return 0;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      // The first level holds the capture: every point is looked up in whichever level lies under it.
      POINT p{SHORT(LOWORD(lParam)), SHORT(HIWORD(lParam))};
      ClientToScreen(wnd, &p);
      const POINT was = g_tracking->pointer;
      g_tracking->pointer = p;
      int l = -1, i = -1;
      if (!ItemAt(p, l, i)) {
        if (msg == WM_LBUTTONDOWN) g_tracking->result = 0;  // a click beside the menu closes it
        return 0;
      }
      Level& under = g_tracking->levels[std::size_t(l)];
      if (msg == WM_MOUSEMOVE && i != under.hot && HeadsForSubmenu(std::size_t(l), p)) {
        // The entry lit and its submenu stay; the entry under the pointer takes over when the pointer rests on it.
        if (p.x != was.x || p.y != was.y) SetTimer(under.wnd, kRestTimer, kRestMs, nullptr);
        return 0;
      }
      if (msg == WM_MOUSEMOVE && i >= 0 && i != under.hot) {
        // Another entry: the submenu of the last one closes; one of this entry opens once the pointer rests.
        if (under.open >= 0 && under.open != i) CloseFrom(std::size_t(l) + 1);
        if (GetSubMenu(under.menu, i) && IsEnabled(under.menu, i))
          SetTimer(under.wnd, kRestTimer, kRestMs, nullptr);
        else
          KillTimer(under.wnd, kRestTimer);
      }
      SetHot(l, i);
      if (i >= 0) {
        under.hotPoint = p;
        under.hotPointed = true;
      }
      if (msg != WM_MOUSEMOVE && msg != WM_LBUTTONDOWN) Choose(l);
      return 0;
    }
    case WM_TIMER:
      if (wParam != kRestTimer) return 0;
      KillTimer(wnd, kRestTimer);
      if (int l = -1, i = -1; ItemAt(g_tracking->pointer, l, i) && l == level && i >= 0 && i != lv.hot) {
        // The pointer came to rest on another entry while heading for the open submenu: that entry takes over.
        CloseFrom(std::size_t(level) + 1);
        SetHot(level, i);
        lv.hotPoint = g_tracking->pointer;
        lv.hotPointed = true;
      }
      if (lv.hot >= 0 && GetSubMenu(lv.menu, lv.hot)) Choose(level);
      return 0;
    case WM_KEYDOWN: {
      const int top = int(g_tracking->levels.size()) - 1;
      switch (wParam) {
        case VK_DOWN: MoveHot(top, 1); break;
        case VK_UP: MoveHot(top, -1); break;
        case VK_RETURN: Choose(top); break;
        case VK_RIGHT:
          if (Level& t = g_tracking->levels.back(); t.hot >= 0 && GetSubMenu(t.menu, t.hot)) Choose(top);
          break;
        case VK_LEFT:
          if (top > 0) CloseFrom(std::size_t(top));
          break;
        case VK_ESCAPE:
          if (top > 0)
            CloseFrom(std::size_t(top));
          else
            g_tracking->result = 0;
          break;
        default: break;
      }
      return 0;
    }
    case WM_CHAR: MenuLetter(UINT(wParam)); return 0;
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

void Open(HMENU menu, POINT at) {
  static const bool registered = [] {
    WNDCLASS c{};
    c.style = CS_SAVEBITS;
    c.lpfnWndProc = &MenuProc;
    c.lpszClassName = "#32768";
    c.hCursor = LoadCursor(nullptr, IDC_ARROW);
    return RegisterClass(&c) != 0;
  }();
  (void)registered;
  // The width of the longest label, measured with the menu font; an owner-drawn item as wide and high as its owner
  // says.
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  int left = 0, right = 0, height = 4, drawn = 0;
  std::vector<int> heights;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (MENUITEMINFO info; OwnerDrawn(menu, i, info)) {
      const SIZE size = MeasureOwnerDrawnItem(menu, info, g_tracking->owner, kItemHeight);
      drawn = std::max(drawn, int(size.cx) + kMenuCheckColumn + (info.hSubMenu ? kMenuArrowColumn : 0));
      heights.push_back(std::max(0, int(size.cy)));
      height += heights.back();
      continue;
    }
    const MenuTextParts label = SplitMenuText(ItemText(menu, i));
    SIZE size{};
    GetTextExtentPoint32(dc, label.left.c_str(), int(label.left.size()), &size);
    left = std::max(left, int(size.cx));
    if (!label.right.empty()) {
      GetTextExtentPoint32(dc, label.right.c_str(), int(label.right.size()), &size);
      right = std::max(right, int(size.cx) + kMenuColumnGap);
    }
    heights.push_back(IsSeparator(menu, i) ? kSeparatorHeight : kItemHeight);
    height += heights.back();
  }
  // the border and the item margins around the text
  const int width = std::max({80, left + right + 2 * kPad + 12, drawn + 6});
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  Level lv;
  lv.menu = menu;
  for (int y = 2; int h : heights) {
    lv.rects.push_back(RECT{2, y, width - 2, y + h});
    y += h;
  }
  g_tracking->levels.push_back(lv);
  HWND wnd = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, "#32768", "", WS_POPUP | WS_BORDER,
                            at.x, at.y, width, height, nullptr, nullptr, nullptr, nullptr);
  g_tracking->levels.back().wnd = wnd;
  ShowWindow(wnd, SW_SHOWNA);
  UpdateWindow(wnd);
}

}  // namespace

INT_PTR TrackMenuOnScreen(HMENU menu, int x, int y, HWND owner) {
  Screen* screen = CurrentScreen();
  if (!screen || g_tracking || GetMenuItemCount(menu) <= 0) return 0;
  Tracking tracking;
  tracking.owner = owner;
  g_tracking = &tracking;
  Open(menu, POINT{x, y});
  const HWND first = tracking.levels.front().wnd;
  SetCapture(first);
  // The menu takes the keys while it is open; the focus stays where it was.
  static bool (*s_previousHook)(MSG*) = nullptr;
  s_previousHook = g_preTranslateHook;
  g_preTranslateHook = [](MSG* m) {
    if (g_tracking && !g_tracking->levels.empty() && m->message >= kKeyFirst && m->message <= kKeyLast) {
      const bool letter = (m->wParam >= 'A' && m->wParam <= 'Z') || (m->wParam >= '0' && m->wParam <= '9');
      if (m->message == WM_KEYDOWN && letter) TranslateMessage(m);  // its character comes next
      if (m->message == WM_KEYDOWN || m->message == WM_CHAR)
        SendMessage(g_tracking->levels.back().wnd, m->message, m->wParam, m->lParam);
      return true;
    }
    return s_previousHook && s_previousHook(m);
  };
  while (tracking.result < 0) {
    PumpMessages();
    if (tracking.result >= 0) break;
    if (!screen->WaitForInput(NextTimerDelay())) tracking.result = 0;
  }
  g_preTranslateHook = s_previousHook;
  if (GetCapture() == first) ReleaseCapture();
  CloseFrom(0);
  g_tracking = nullptr;
  return tracking.result;
}

}  // namespace win::detail
