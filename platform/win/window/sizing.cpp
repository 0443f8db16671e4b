// Top-level windows moved and sized by their own frame, where the window system draws one (no window manager),
// and maximised.
#include <algorithm>

#include "platform/win/input/input_state.h"
#include "platform/win/window/internal.h"

namespace win::detail {

namespace {
// Within this distance of a corner an edge sizes both ways.
constexpr int kCornerGrip = 16;
}  // namespace

LRESULT SizingEdgeAt(const Window& w, POINT p) {
  if (!(w.style & WS_THICKFRAME) || w.maximized) return HTNOWHERE;
  const RECT in = FrameInsets(w);
  const int b = std::max(1, int(std::min(in.left, in.right))), W = Width(w.rect), H = Height(w.rect);
  if (p.x < 0 || p.y < 0 || p.x >= W || p.y >= H) return HTNOWHERE;
  const bool left = p.x < b, right = p.x >= W - b, top = p.y < b, bottom = p.y >= H - b;
  if (!left && !right && !top && !bottom) return HTNOWHERE;
  const bool nearLeft = p.x < kCornerGrip, nearRight = p.x >= W - kCornerGrip;
  const bool nearTop = p.y < kCornerGrip, nearBottom = p.y >= H - kCornerGrip;
  if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
  if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
  if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
  if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
  return left ? HTLEFT : right ? HTRIGHT : top ? HTTOP : HTBOTTOM;
}

SIZE MinTrackSize(HWND wnd) {
  MINMAXINFO info{};
  info.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  info.ptMaxTrackSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SendMessage(wnd, WM_GETMINMAXINFO, 0, LPARAM(&info));
  return SIZE{std::max(1, int(info.ptMinTrackSize.x)), std::max(1, int(info.ptMinTrackSize.y))};
}

void PressFrame(HWND wnd, LRESULT hit) {
  Window* w = Get(wnd);
  if (!w || (w->style & WS_CHILD)) return;
  const POINT start = In().cursor;
  const RECT from = w->rect;
  if (hit == HTCAPTION) {
    if (w->maximized) return;
    In().follow = [wnd, start, from](UINT msg, POINT p) {
      if (msg != WM_MOUSEMOVE || !Get(wnd)) return;
      SetWindowPos(wnd, nullptr, from.left + p.x - start.x, from.top + p.y - start.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    return;
  }
  if (hit < HTLEFT || hit > HTBOTTOMRIGHT || !(w->style & WS_THICKFRAME)) return;
  const SIZE least = MinTrackSize(wnd);
  const bool left = hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
  const bool right = hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
  const bool top = hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
  const bool bottom = hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
  In().follow = [=](UINT msg, POINT p) {
    if (msg != WM_MOUSEMOVE || !Get(wnd)) return;
    const int dx = p.x - start.x, dy = p.y - start.y;
    RECT r = from;
    // The edge held follows the mouse; the opposite one stays, and the window keeps its smallest size.
    if (left) r.left = std::min(from.left + dx, from.right - int(least.cx));
    if (right) r.right = std::max(from.right + dx, from.left + int(least.cx));
    if (top) r.top = std::min(from.top + dy, from.bottom - int(least.cy));
    if (bottom) r.bottom = std::max(from.bottom + dy, from.top + int(least.cy));
    SetWindowPos(wnd, nullptr, r.left, r.top, Width(r), Height(r), SWP_NOZORDER | SWP_NOACTIVATE);
  };
}

void Maximize(HWND wnd, bool maximize) {
  Window* w = Get(wnd);
  if (!w || (w->style & WS_CHILD) || w->maximized == maximize) return;
  if (maximize && !(w->style & WS_MAXIMIZEBOX)) return;
  RECT to = w->restoreRect;
  if (maximize) {
    w->restoreRect = w->rect;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &to, 0);
  }
  w->maximized = maximize;
  SetWindowPos(wnd, nullptr, to.left, to.top, Width(to), Height(to), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace win::detail
