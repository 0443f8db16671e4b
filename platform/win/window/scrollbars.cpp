// The scroll bars of windows: the two in a window's frame (WS_HSCROLL, WS_VSCROLL) and the values of a scroll bar
// control (SB_CTL), which controls/ draws.

#include <algorithm>

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
  b->track = b->pos;
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
