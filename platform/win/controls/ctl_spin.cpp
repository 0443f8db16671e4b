// The spin (up-down) control: two arrow buttons that step a position, shown in a buddy window when it has one.
#include <algorithm>
#include <cstring>

#include "platform/win/base/handles.h"
#include "platform/win/controls/ctl_internal.h"

namespace win::detail {
namespace {

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

}  // namespace

void RegisterSpinControl() { RegisterClassOf("msctls_updown32", &SpinProc, 0, nullptr); }

}  // namespace win::detail
