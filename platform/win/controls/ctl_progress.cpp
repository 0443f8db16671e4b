// The progress bar: a range, a position and a step, drawn as a bar of blocks (or smooth).
#include <algorithm>
#include <cstring>

#include "platform/win/base/handles.h"
#include "platform/win/controls/ctl_internal.h"

namespace win::detail {
namespace {

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

}  // namespace

void RegisterProgressControl() { RegisterClassOf("msctls_progress32", &ProgressProc, 0, nullptr); }

}  // namespace win::detail
