// Painting windows: what is to be painted again (update rectangles), the paint cycle, and the DCs of windows.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/window/internal.h"

using namespace win::detail;

BOOL InvalidateRect(HWND wnd, const RECT* rect, BOOL erase) {
  Window* w = Get(wnd);
  if (!w) return FALSE;
  RECT rc;
  GetClientRect(wnd, &rc);
  RECT r = rect ? *rect : rc;
  IntersectRect(&r, &r, &rc);
  if (IsRectEmpty(&r)) return TRUE;
  if (w->hasInvalid)
    UnionRect(&w->invalid, &w->invalid, &r);
  else
    w->invalid = r;
  w->hasInvalid = true;
  w->erase = w->erase || erase;
  // Without WS_CLIPCHILDREN the parent paints over its children, so they are painted again after it.
  if (!(w->style & WS_CLIPCHILDREN)) {
    for (HWND c : std::vector<HWND>(w->children)) {
      Window* cw = Get(c);
      if (!cw || !(cw->style & WS_VISIBLE)) continue;
      RECT in = FrameInsets(*cw);
      RECT cr = cw->rect, hit;
      if (!IntersectRect(&hit, &cr, &r)) continue;
      OffsetRect(&hit, -cr.left - in.left, -cr.top - in.top);
      InvalidateRect(c, &hit, erase);
      if (in.left || in.top || in.right || in.bottom) Get(c)->hasInvalid = true;
    }
  }
  return TRUE;
}

BOOL InvalidateRgn(HWND wnd, HRGN rgn, BOOL erase) {
  RECT box;
  if (rgn && GetRgnBox(rgn, &box) != ERROR) return InvalidateRect(wnd, &box, erase);
  return InvalidateRect(wnd, nullptr, erase);
}

BOOL ValidateRect(HWND wnd, const RECT* rect) {
  Window* w = Get(wnd);
  if (!w) return FALSE;
  if (!rect) {
    w->hasInvalid = false;
    w->erase = false;
    return TRUE;
  }
  RECT r = *rect;
  if (w->hasInvalid && r.left <= w->invalid.left && r.top <= w->invalid.top && r.right >= w->invalid.right &&
      r.bottom >= w->invalid.bottom) {
    w->hasInvalid = false;
    w->erase = false;
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND wnd, LPRECT out, BOOL) {
  Window* w = Get(wnd);
  if (!w) return FALSE;
  if (out) *out = w->hasInvalid ? w->invalid : RECT{0, 0, 0, 0};
  return w->hasInvalid ? TRUE : FALSE;
}

BOOL RedrawWindow(HWND wnd, const RECT* rect, HRGN rgn, UINT flags) {
  Window* w = Get(wnd);
  if (!w) return FALSE;
  if (flags & RDW_INVALIDATE) {
    if (rgn)
      InvalidateRgn(wnd, rgn, flags & RDW_ERASE);
    else
      InvalidateRect(wnd, rect, flags & RDW_ERASE);
    if (flags & RDW_ALLCHILDREN)
      for (HWND c : std::vector<HWND>(w->children)) RedrawWindow(c, nullptr, nullptr, flags & ~RDW_UPDATENOW);
  }
  if (flags & RDW_VALIDATE) ValidateRect(wnd, rect);
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) UpdateWindow(wnd);
  return TRUE;
}

BOOL UpdateWindow(HWND wnd) {
  if (!Get(wnd)) return FALSE;
  PaintTree(wnd, false);
  return TRUE;
}

namespace win::detail {
namespace {
// Invalidates the window and its visible children where they overlap the area (root coordinates), the frame too.
void InvalidateTreeIn(HWND wnd, const RECT& area) {
  Window* w = Get(wnd);
  if (!w || !(w->style & WS_VISIBLE)) return;
  const POINT o = WindowOriginInRoot(wnd);
  const RECT whole{o.x, o.y, o.x + Width(w->rect), o.y + Height(w->rect)};
  RECT hit;
  if (!IntersectRect(&hit, &whole, &area)) return;
  const POINT c = ClientOriginInRoot(wnd);
  RECT client = hit;
  OffsetRect(&client, -c.x, -c.y);
  InvalidateRect(wnd, &client, TRUE);
  const RECT in = FrameInsets(*w);
  if (in.left || in.top || in.right || in.bottom) {
    // The frame lies outside the client area; a window with an update of its own paints its frame again.
    if (!w->hasInvalid) w->invalid = RECT{0, 0, 0, 0};
    w->hasInvalid = true;
  }
  for (HWND child : std::vector<HWND>(w->children)) InvalidateTreeIn(child, area);
}

// A window paints over whatever lies under its rectangle, siblings included. Everything painted after it (its
// children unless it clips them, the later siblings of it and of each ancestor, with their children) that
// overlaps what it painted must come back over it, as painting the whole tree at once would leave it.
void InvalidateAbove(HWND wnd, const RECT& painted) {
  Window* w = Get(wnd);
  if (!w) return;
  if (!(w->style & WS_CLIPCHILDREN))
    for (HWND child : std::vector<HWND>(w->children)) InvalidateTreeIn(child, painted);
  for (HWND at = wnd; Get(at) && (Get(at)->style & WS_CHILD) && Get(Get(at)->parent);) {
    const HWND parent = Get(at)->parent;
    const std::vector<HWND> siblings = Get(parent)->children;
    auto later = std::find(siblings.begin(), siblings.end(), at);
    if (later != siblings.end())
      for (++later; later != siblings.end(); ++later) InvalidateTreeIn(*later, painted);
    at = parent;
  }
}

// What painting the window may cover, in root coordinates: its update rectangle, the whole window with a frame.
RECT PaintedArea(HWND wnd) {
  Window* w = Get(wnd);
  const RECT in = FrameInsets(*w);
  RECT area;
  if (in.left || in.top || in.right || in.bottom) {
    const POINT o = WindowOriginInRoot(wnd);
    area = RECT{o.x, o.y, o.x + Width(w->rect), o.y + Height(w->rect)};
  } else {
    const POINT c = ClientOriginInRoot(wnd);
    area = w->invalid;
    OffsetRect(&area, c.x, c.y);
  }
  const RECT seen = VisibleArea(wnd, false, false).Box();
  IntersectRect(&area, &area, &seen);
  return area;
}
}  // namespace

// What the window covered is uncovered: the parent and the siblings there are painted again (a parent that clips
// its children would not paint over them, and what the window left there would stay).
void InvalidateParentArea(Window* w) {
  if (!w || !(w->style & WS_CHILD) || !Get(w->parent)) return;
  RECT r = w->rect;
  InvalidateRect(w->parent, &r, TRUE);
  const POINT o = WindowOriginInRoot(w->hwnd);
  const RECT area{o.x, o.y, o.x + Width(w->rect), o.y + Height(w->rect)};
  for (HWND sibling : std::vector<HWND>(Get(w->parent)->children))
    if (sibling != w->hwnd) InvalidateTreeIn(sibling, area);
}

void PaintTree(HWND wnd, bool force) {
  Window* w = Get(wnd);
  if (!w) return;
  if (!force && !IsVisibleTree(wnd)) return;
  if (force) {
    RECT rc;
    GetClientRect(wnd, &rc);
    InvalidateRect(wnd, nullptr, TRUE);
  }
  if (w->hasInvalid && w->redraw) {
    const RECT painted = PaintedArea(wnd);
    PaintFrame(wnd);
    SendMessage(wnd, WM_PAINT, 0, 0);
    if (!IsRectEmpty(&painted)) InvalidateAbove(wnd, painted);
    // A window procedure that never validates would be painted forever.
    if (Window* again = Get(wnd)) again->hasInvalid = false;
  }
  if (!Get(wnd)) return;
  for (HWND c : std::vector<HWND>(Get(wnd)->children)) {
    Window* cw = Get(c);
    if (cw && (cw->style & WS_VISIBLE)) PaintTree(c, force);
  }
}
}  // namespace win::detail

namespace {
// A group box, a frame and a window that says it is transparent show what lies under them: drawing there is seen.
bool SeeThrough(const Window& w) {
  if (w.exStyle & WS_EX_TRANSPARENT) return true;
  const std::string name = Lower(w.className);
  if (name == "button") return (w.style & BS_TYPEMASK) == DWORD(BS_GROUPBOX);
  if (name != "static") return false;
  switch (w.style & SS_TYPEMASK) {
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
    case SS_ETCHEDHORZ:
    case SS_ETCHEDVERT:
    case SS_ETCHEDFRAME: return true;
    default: return false;
  }
}

// The area without every window that is painted after the window and so lies above it: its later siblings and
// those of each of its ancestors, with all they hold. Painting needs no such cut (whatever lies above a painted
// area is painted again after it); drawing at any other time would stay over them until they are next painted.
Region WithoutWindowsAbove(HWND wnd, Region area) {
  for (HWND at = wnd; Get(at) && (Get(at)->style & WS_CHILD) && Get(Get(at)->parent);) {
    const HWND parent = Get(at)->parent;
    const std::vector<HWND>& siblings = Get(parent)->children;
    auto later = std::find(siblings.begin(), siblings.end(), at);
    if (later != siblings.end())
      for (++later; later != siblings.end(); ++later) {
        const Window* above = Get(*later);
        if (!above || !(above->style & WS_VISIBLE) || SeeThrough(*above)) continue;
        const POINT o = WindowOriginInRoot(*later);
        area = area.Subtract(Region::FromRect({o.x, o.y, o.x + Width(above->rect), o.y + Height(above->rect)}));
      }
    at = parent;
  }
  return area;
}

// The client area's DC as painting uses it. Children are drawn over only by a parent without WS_CLIPCHILDREN, as
// in Win32.
HDC ClientDc(HWND wnd) {
  return CreateSurfaceDc(BackingOf(wnd), ClientOriginInRoot(wnd),
                         VisibleArea(wnd, true, (Get(wnd)->style & WS_CLIPCHILDREN) != 0), wnd);
}
}  // namespace

HDC BeginPaint(HWND wnd, LPPAINTSTRUCT ps) {
  Window* w = Get(wnd);
  if (!w || !ps) return nullptr;
  *ps = PAINTSTRUCT{};
  RECT rc;
  GetClientRect(wnd, &rc);
  ps->rcPaint = w->hasInvalid ? w->invalid : RECT{0, 0, 0, 0};
  bool erase = w->erase;
  w->hasInvalid = false;
  w->erase = false;
  HDC dc = ClientDc(wnd);
  if (!dc) return nullptr;
  IntersectClipRect(dc, ps->rcPaint.left, ps->rcPaint.top, ps->rcPaint.right, ps->rcPaint.bottom);
  ps->hdc = dc;
  if (erase) ps->fErase = SendMessage(wnd, WM_ERASEBKGND, WPARAM(dc), 0) ? FALSE : TRUE;
  HideCaret(wnd);
  return dc;
}

BOOL EndPaint(HWND wnd, const PAINTSTRUCT* ps) {
  if (ps && ps->hdc) ReleaseDC(wnd, ps->hdc);
  ShowCaret(wnd);
  return TRUE;
}

HDC GetDC(HWND wnd) {
  if (!wnd) {
    // A screen DC: measuring only.
    static std::shared_ptr<Surface> screen = std::make_shared<Surface>(1, 1);
    return CreateSurfaceDc(screen, {0, 0}, Region::FromRect({0, 0, 1, 1}), nullptr);
  }
  if (!Get(wnd)) return nullptr;
  return CreateSurfaceDc(BackingOf(wnd), ClientOriginInRoot(wnd),
                         WithoutWindowsAbove(wnd, VisibleArea(wnd, true, (Get(wnd)->style & WS_CLIPCHILDREN) != 0)),
                         wnd);
}

HDC GetWindowDC(HWND wnd) {
  if (!Get(wnd)) return GetDC(nullptr);
  return CreateSurfaceDc(BackingOf(wnd), WindowOriginInRoot(wnd),
                         WithoutWindowsAbove(wnd, VisibleArea(wnd, false, (Get(wnd)->style & WS_CLIPCHILDREN) != 0)),
                         wnd);
}

int ReleaseDC(HWND, HDC dc) { return DeleteDC(dc); }

BOOL ScrollWindow(HWND wnd, int, int, const RECT*, const RECT*) {
  // Without saved pixels to move, scrolling repaints.
  return InvalidateRect(wnd, nullptr, TRUE);
}

int ScrollWindowEx(HWND wnd, int dx, int dy, const RECT* rect, const RECT* clip, HRGN, LPRECT updateRect, UINT) {
  ScrollWindow(wnd, dx, dy, rect, clip);
  if (updateRect) GetClientRect(wnd, updateRect);
  return SIMPLEREGION;
}
