// The scroll bars of windows: the two in a window's frame (WS_HSCROLL, WS_VSCROLL), drawn and worked here, and the
// values of a scroll bar control (SB_CTL), which controls/ draws.

#include <algorithm>

#include "platform/win/input/input_state.h"
#include "platform/win/window/internal.h"

using namespace win::detail;

namespace {
ScrollBar* Bar(HWND wnd, int bar) {
  Window* w = Get(wnd);
  if (!w) return nullptr;
  if (bar == SB_HORZ) return &w->hscroll;
  if (bar == SB_VERT) return &w->vscroll;
  if (bar == SB_CTL) return &w->hscroll;
  return nullptr;
}
void Clamp(ScrollBar& b) {
  int maxPos = b.max - std::max(int(b.page) - 1, 0);
  if (maxPos < b.min) maxPos = b.min;
  b.pos = std::clamp(b.pos, b.min, maxPos);
}
}  // namespace

int SetScrollInfo(HWND wnd, int bar, const SCROLLINFO* info, BOOL redraw) {
  ScrollBar* b = Bar(wnd, bar);
  if (!b || !info) return 0;
  if (info->fMask & SIF_RANGE) {
    b->min = info->nMin;
    b->max = info->nMax;
  }
  if (info->fMask & SIF_PAGE) b->page = info->nPage;
  if (info->fMask & SIF_POS) b->pos = info->nPos;
  Clamp(*b);
  if (!b->tracking) b->track = b->pos;
  if (redraw) RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  return b->pos;
}

BOOL GetScrollInfo(HWND wnd, int bar, LPSCROLLINFO info) {
  ScrollBar* b = Bar(wnd, bar);
  if (!b || !info) return FALSE;
  if (info->fMask & SIF_RANGE) {
    info->nMin = b->min;
    info->nMax = b->max;
  }
  if (info->fMask & SIF_PAGE) info->nPage = b->page;
  if (info->fMask & SIF_POS) info->nPos = b->pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = b->track;
  return TRUE;
}

int SetScrollPos(HWND wnd, int bar, int pos, BOOL redraw) {
  ScrollBar* b = Bar(wnd, bar);
  if (!b) return 0;
  int old = b->pos;
  b->pos = pos;
  Clamp(*b);
  if (!b->tracking) b->track = b->pos;
  if (redraw) RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  return old;
}

int GetScrollPos(HWND wnd, int bar) {
  ScrollBar* b = Bar(wnd, bar);
  return b ? b->pos : 0;
}

BOOL SetScrollRange(HWND wnd, int bar, int minPos, int maxPos, BOOL redraw) {
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE, minPos, maxPos, 0, 0, 0};
  SetScrollInfo(wnd, bar, &si, redraw);
  return Bar(wnd, bar) != nullptr;
}

BOOL GetScrollRange(HWND wnd, int bar, int* minPos, int* maxPos) {
  ScrollBar* b = Bar(wnd, bar);
  if (!b) return FALSE;
  if (minPos) *minPos = b->min;
  if (maxPos) *maxPos = b->max;
  return TRUE;
}

BOOL ShowScrollBar(HWND wnd, int bar, BOOL show) {
  Window* w = Get(wnd);
  if (!w) return FALSE;
  bool changed = false;
  auto set = [&](ScrollBar& b) {
    if (b.shown != bool(show)) changed = true;
    b.shown = show;
  };
  if (bar == SB_HORZ || bar == SB_BOTH) set(w->hscroll);
  if (bar == SB_VERT || bar == SB_BOTH) set(w->vscroll);
  if (changed) {
    RECT rc;
    GetClientRect(wnd, &rc);
    SendMessage(wnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(WORD(rc.right), WORD(rc.bottom)));
    RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
  }
  return TRUE;
}

BOOL EnableScrollBar(HWND wnd, UINT bar, UINT arrows) {
  Window* w = Get(wnd);
  if (!w) return FALSE;
  if (bar == SB_HORZ || bar == SB_BOTH) w->hscroll.disabled = arrows;
  if (bar == SB_VERT || bar == SB_BOTH) w->vscroll.disabled = arrows;
  return TRUE;
}

// ---- Geometry, shared with the scroll-bar control ---------------------------------------------------------------------
namespace win::detail {

namespace {
// The positions the thumb travels over: the last one shows the last page.
int Travel(const ScrollBar& b) { return std::max(0, b.max - std::max(int(b.page) - 1, 0) - b.min); }
}  // namespace

BarLayout LayOutBar(const ScrollBar& b, int length, int thickness) {
  BarLayout l;
  l.length = length;
  l.arrow = std::max(0, std::min(thickness, length / 2));
  const int track = length - 2 * l.arrow;
  const int span = b.max - b.min + 1;
  if (track <= 0 || span <= 0) {
    l.thumbStart = l.arrow;
    return l;
  }
  const int share = b.page ? int(double(track) * std::min<double>(b.page, span) / span) : thickness;
  l.thumbSize = std::min(track, std::max(kMinThumb, share));
  const int pos = (b.tracking ? b.track : b.pos) - b.min;
  const int travel = Travel(b);
  l.thumbStart = l.arrow + (travel > 0 ? int((track - l.thumbSize) * double(std::clamp(pos, 0, travel)) / travel) : 0);
  return l;
}

UINT BarPartAt(const BarLayout& l, int along) {
  if (along < l.arrow) return SB_LINEUP;
  if (along >= l.length - l.arrow) return SB_LINEDOWN;
  if (along < l.thumbStart) return SB_PAGEUP;
  if (along >= l.thumbStart + l.thumbSize) return SB_PAGEDOWN;
  return SB_THUMBTRACK;
}

int BarPositionAt(const ScrollBar& b, const BarLayout& l, int thumbStart) {
  const int room = std::max(1, l.length - 2 * l.arrow - l.thumbSize);
  const int travel = Travel(b);
  return b.min + (std::clamp(thumbStart - l.arrow, 0, room) * travel + room / 2) / room;
}

// ---- The frame's scroll bars -----------------------------------------------------------------------------------------
namespace {

constexpr UINT_PTR kRepeatTimer = 0x7FFF5C01;

ScrollBar& FrameBar(Window& w, int bar) { return bar == SB_VERT ? w.vscroll : w.hscroll; }

BarLayout FrameLayout(HWND wnd, int bar) {
  const RECT r = FrameScrollBarRect(wnd, bar);
  const bool vertical = bar == SB_VERT;
  return LayOutBar(FrameBar(*Get(wnd), bar), vertical ? Height(r) : Width(r), vertical ? Width(r) : Height(r));
}

// The distance of a screen point along the bar from its start.
int Along(HWND wnd, int bar, POINT screen) {
  RECT wr;
  GetWindowRect(wnd, &wr);
  const RECT r = FrameScrollBarRect(wnd, bar);
  return bar == SB_VERT ? screen.y - wr.top - r.top : screen.x - wr.left - r.left;
}

void Send(HWND wnd, int bar, UINT code, int pos = 0) {
  SendMessage(wnd, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(WORD(code), WORD(pos)), 0);
}

void RedrawFrame(HWND wnd) {
  if (Get(wnd)) RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

// The step that the held button repeats, while the pointer stays on the part that was pressed (a track stops
// repeating once the thumb has come to the pointer).
struct Held {
  HWND wnd = nullptr;
  int bar = SB_VERT;
  UINT code = 0;
};
Held& HeldStep() {
  static Held held;
  return held;
}

void Repeat(HWND wnd, UINT, UINT_PTR id, DWORD) {
  Held& h = HeldStep();
  if (h.wnd != wnd || !Get(wnd) || !In().follow) {
    KillTimer(wnd, id);
    return;
  }
  SetTimer(wnd, id, kScrollRepeatRate, &Repeat);
  if (BarPartAt(FrameLayout(wnd, h.bar), Along(wnd, h.bar, In().cursor)) != h.code) return;
  Send(wnd, h.bar, h.code, FrameBar(*Get(wnd), h.bar).pos);
  RedrawFrame(wnd);
}

}  // namespace

RECT FrameScrollBarRect(HWND wnd, int bar) {
  Window* w = Get(wnd);
  RECT in = FrameInsets(*w);
  int W = Width(w->rect), H = Height(w->rect);
  int sx = GetSystemMetrics(SM_CXVSCROLL), sy = GetSystemMetrics(SM_CYHSCROLL);
  int bl = in.left, bt = in.top, br = W - in.right, bb = H - in.bottom;
  if (bar == SB_VERT) return {br, bt, br + sx, bb};
  return {bl, bb, br, bb + sy};
}

void DrawFrameScrollBars(HWND wnd, HDC dc) {
  Window* w = Get(wnd);
  for (int bar : {SB_VERT, SB_HORZ}) {
    const ScrollBar& b = FrameBar(*w, bar);
    if (!b.shown) continue;
    const bool vertical = bar == SB_VERT;
    const RECT r = FrameScrollBarRect(wnd, bar);
    const BarLayout l = FrameLayout(wnd, bar);
    auto along = [&](int from, int to) {
      return vertical ? RECT{r.left, r.top + from, r.right, r.top + to}
                      : RECT{r.left + from, r.top, r.left + to, r.bottom};
    };
    FillRect(dc, &r, GetSysColorBrush(COLOR_SCROLLBAR));
    const UINT inactive = b.disabled == ESB_DISABLE_BOTH ? DFCS_INACTIVE : 0;
    RECT first = along(0, l.arrow), last = along(l.length - l.arrow, l.length);
    DrawFrameControl(dc, &first, DFC_SCROLL, (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive);
    DrawFrameControl(dc, &last, DFC_SCROLL, (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive);
    if (l.thumbSize > 0 && !inactive) {
      RECT thumb = along(l.thumbStart, l.thumbStart + l.thumbSize);
      DrawFrameControl(dc, &thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
    }
  }
  if (w->vscroll.shown && w->hscroll.shown) {
    RECT v = FrameScrollBarRect(wnd, SB_VERT), h = FrameScrollBarRect(wnd, SB_HORZ);
    RECT corner{v.left, h.top, v.right, h.bottom};
    FillRect(dc, &corner, GetSysColorBrush(COLOR_3DFACE));
  }
}

void PressFrameScrollBar(HWND wnd, int bar, POINT screen) {
  Window* w = Get(wnd);
  ScrollBar& b = FrameBar(*w, bar);
  if (b.disabled == ESB_DISABLE_BOTH) return;
  const BarLayout l = FrameLayout(wnd, bar);
  const int at = Along(wnd, bar, screen);
  const UINT code = BarPartAt(l, at);
  if (code == SB_THUMBTRACK) {
    // The thumb follows the pointer; the owner hears each new position and, at the release, the last one.
    b.tracking = true;
    b.track = b.pos;
    const int grab = at - l.thumbStart;
    In().follow = [wnd, bar, grab](UINT msg, POINT p) {
      Window* w = Get(wnd);
      if (!w) return;
      ScrollBar& b = FrameBar(*w, bar);
      if (msg == WM_MOUSEMOVE) {
        const int pos = BarPositionAt(b, FrameLayout(wnd, bar), Along(wnd, bar, p) - grab);
        if (pos == b.track) return;
        b.track = pos;
        Send(wnd, bar, SB_THUMBTRACK, pos);
        RedrawFrame(wnd);
      } else if (msg == WM_LBUTTONUP) {
        Send(wnd, bar, SB_THUMBPOSITION, b.track);
        if (!(w = Get(wnd))) return;
        FrameBar(*w, bar).tracking = false;
        Send(wnd, bar, SB_ENDSCROLL);
        RedrawFrame(wnd);
      }
    };
    return;
  }
  Send(wnd, bar, code, b.pos);
  if (!Get(wnd)) return;
  RedrawFrame(wnd);
  HeldStep() = Held{wnd, bar, code};
  SetTimer(wnd, kRepeatTimer, kScrollRepeatDelay, &Repeat);
  In().follow = [wnd, bar](UINT msg, POINT) {
    if (msg != WM_LBUTTONUP) return;
    HeldStep() = Held{};
    if (!Get(wnd)) return;
    KillTimer(wnd, kRepeatTimer);
    Send(wnd, bar, SB_ENDSCROLL);
  };
}

}  // namespace win::detail
