// The scroll-bar control: arrows, track and thumb; clicks and thumb drags scroll through WM_HSCROLL/WM_VSCROLL
// to the parent. Its range, page and position are the window's SB_CTL bar, so SetScrollInfo(SB_CTL) drives it.
#include <algorithm>

#include "platform/win/controls/ctl_internal.h"
#include "platform/win/window/internal.h"

namespace win::detail {
namespace {

struct ScrollBarState {
  int grab = 0;   // the mouse's offset into the thumb while dragging, pixels
  UINT held = 0;  // the step that a held arrow or track repeats
};

constexpr UINT_PTR kRepeatTimer = 1;

struct Geometry : BarLayout {
  bool vertical = false;
  int thickness = 0;
};

Geometry Measure(HWND wnd) {
  Window* w = Get(wnd);
  RECT rc;
  GetClientRect(wnd, &rc);
  Geometry g;
  g.vertical = (w->style & SBS_VERT) != 0;
  g.thickness = g.vertical ? rc.right : rc.bottom;
  static_cast<BarLayout&>(g) = LayOutBar(w->hscroll, g.vertical ? rc.bottom : rc.right, g.thickness);
  return g;
}

int AlongOf(const Geometry& g, LPARAM lParam) { return g.vertical ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam); }

RECT Along(const Geometry& g, int from, int to) {
  return g.vertical ? RECT{0, from, g.thickness, to} : RECT{from, 0, to, g.thickness};
}

void Notify(HWND wnd, UINT code, int pos) {
  Window* w = Get(wnd);
  UINT msg = (w->style & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
  SendMessage(GetParent(wnd), msg, MAKEWPARAM(WORD(code), WORD(pos)), LPARAM(wnd));
}

void Arrow(HDC dc, const RECT& r, bool vertical, bool forward) {
  FillRect(dc, &r, GetSysColorBrush(COLOR_3DFACE));
  RECT edge = r;
  DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
  int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2, k = std::max(2, (r.right - r.left) / 5);
  POINT p[3];
  if (vertical) {
    int d = forward ? k : -k;
    p[0] = {cx - k, cy - d / 2};
    p[1] = {cx + k, cy - d / 2};
    p[2] = {cx, cy + d / 2 + (forward ? 0 : 0)};
  } else {
    int d = forward ? k : -k;
    p[0] = {cx - d / 2, cy - k};
    p[1] = {cx - d / 2, cy + k};
    p[2] = {cx + d / 2, cy};
  }
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  HGDIOBJ ob = SelectObject(dc, black);
  HGDIOBJ op = SelectObject(dc, GetStockObject(BLACK_PEN));
  Polygon(dc, p, 3);
  SelectObject(dc, ob);
  SelectObject(dc, op);
}

LRESULT ScrollBarProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  ScrollBarState& s = ControlState<ScrollBarState>(wnd);
  switch (msg) {
    case SBM_SETPOS: return SetScrollPos(wnd, SB_CTL, int(wParam), BOOL(lParam));
    case SBM_GETPOS: return GetScrollPos(wnd, SB_CTL);
    case SBM_SETRANGE: return SetScrollRange(wnd, SB_CTL, int(wParam), int(lParam), FALSE);
    case SBM_SETRANGEREDRAW: return SetScrollRange(wnd, SB_CTL, int(wParam), int(lParam), TRUE);
    case SBM_GETRANGE:
      return GetScrollRange(wnd, SB_CTL, reinterpret_cast<int*>(wParam), reinterpret_cast<int*>(lParam));
    case SBM_SETSCROLLINFO: {
      int pos = SetScrollInfo(wnd, SB_CTL, reinterpret_cast<const SCROLLINFO*>(lParam), BOOL(wParam));
      InvalidateRect(wnd, nullptr, TRUE);
      return pos;
    }
    case SBM_GETSCROLLINFO: return GetScrollInfo(wnd, SB_CTL, reinterpret_cast<LPSCROLLINFO>(lParam));
    case WM_LBUTTONDOWN: {
      if (!IsWindowEnabled(wnd)) return 0;
      Geometry g = Measure(wnd);
      const int at = AlongOf(g, lParam);
      const UINT code = BarPartAt(g, at);
      SetCapture(wnd);
      if (code == SB_THUMBTRACK) {
        w->hscroll.tracking = true;
        s.grab = at - g.thumbStart;
        w->hscroll.track = w->hscroll.pos;
        return 0;
      }
      // The step now, and again while the button is held (the track until the thumb reaches the mouse).
      s.held = code;
      Notify(wnd, code, 0);
      if (!Get(wnd)) return 0;
      SetTimer(wnd, kRepeatTimer, kScrollRepeatDelay, nullptr);
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    }
    case WM_TIMER: {
      if (wParam != kRepeatTimer) return 0;
      if (!s.held || GetCapture() != wnd) {
        KillTimer(wnd, kRepeatTimer);
        return 0;
      }
      SetTimer(wnd, kRepeatTimer, kScrollRepeatRate, nullptr);
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(wnd, &p);
      Geometry g = Measure(wnd);
      if (BarPartAt(g, g.vertical ? p.y : p.x) != s.held) return 0;
      Notify(wnd, s.held, 0);
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (!w->hscroll.tracking) return 0;
      Geometry g = Measure(wnd);
      int p = BarPositionAt(w->hscroll, g, AlongOf(g, lParam) - s.grab);
      if (p != w->hscroll.track) {
        w->hscroll.track = p;
        InvalidateRect(wnd, nullptr, TRUE);
        Notify(wnd, SB_THUMBTRACK, p);
      }
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: {
      if (!w->hscroll.tracking && !s.held) return 0;
      const bool thumb = w->hscroll.tracking;
      w->hscroll.tracking = false;
      s.held = 0;
      KillTimer(wnd, kRepeatTimer);
      if (msg == WM_LBUTTONUP && GetCapture() == wnd) ReleaseCapture();
      if (thumb) Notify(wnd, SB_THUMBPOSITION, w->hscroll.track);
      if (!Get(wnd)) return 0;
      Notify(wnd, SB_ENDSCROLL, 0);
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      Geometry g = Measure(wnd);
      RECT track = Along(g, g.arrow, g.length - g.arrow);
      HBRUSH tb = CreateSolidBrush(RGB(236, 236, 236));
      FillRect(dc, &track, tb);
      DeleteObject(tb);
      Arrow(dc, Along(g, 0, g.arrow), g.vertical, false);
      Arrow(dc, Along(g, g.length - g.arrow, g.length), g.vertical, true);
      if (IsWindowEnabled(wnd) && w->hscroll.max > w->hscroll.min) {
        RECT thumb = Along(g, g.thumbStart, g.thumbStart + g.thumbSize);
        FillRect(dc, &thumb, GetSysColorBrush(COLOR_3DFACE));
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
      }
      EndPaint(wnd, &ps);
      return 0;
    }
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterScrollBarControl() { RegisterClassOf("ScrollBar", &ScrollBarProc, 0, nullptr); }

}  // namespace win::detail
