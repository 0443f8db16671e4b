// Built-in control: buttons (push, check, radio, group, owner-drawn).
#include <algorithm>
#include <cstring>

#include "platform/win/controls/ctl_internal.h"

namespace win::detail {

namespace {
struct ButtonState {
  HFONT font = nullptr;
  UINT check = BST_UNCHECKED;
  bool pushed = false;
  bool focused = false;
  bool mouseDown = false;
  HANDLE image = nullptr;
};

DWORD ButtonType(const Window& w) { return w.style & BS_TYPEMASK; }

void ButtonClick(HWND wnd) {
  Window* w = Get(wnd);
  if (!w) return;
  ButtonState& s = ControlState<ButtonState>(wnd);
  DWORD type = ButtonType(*w);
  if (type == BS_AUTOCHECKBOX) {
    s.check = s.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  } else if (type == BS_AUTO3STATE) {
    s.check = (s.check + 1) % 3;
  } else if (type == BS_AUTORADIOBUTTON) {
    // The other automatic radio buttons of the group are cleared.
    HWND parent = GetParent(wnd);
    if (parent) {
      Window* p = Get(parent);
      std::vector<HWND>& sib = p->children;
      auto at = std::find(sib.begin(), sib.end(), wnd);
      auto first = at;
      while (first != sib.begin() && !(Get(*first)->style & WS_GROUP)) --first;
      auto last = std::next(at);
      while (last != sib.end() && !(Get(*last)->style & WS_GROUP)) ++last;
      for (auto it = first; it != last; ++it)
        if (*it != wnd && Get(*it) && ButtonType(*Get(*it)) == BS_AUTORADIOBUTTON)
          SendMessage(*it, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    s.check = BST_CHECKED;
  }
  InvalidateRect(wnd, nullptr, TRUE);
  NotifyCommand(wnd, BN_CLICKED);
}

void PaintButton(HWND wnd, HDC dc) {
  Window* w = Get(wnd);
  ButtonState& s = ControlState<ButtonState>(wnd);
  RECT rc;
  GetClientRect(wnd, &rc);
  DWORD type = ButtonType(*w);
  bool enabled = IsWindowEnabled(wnd);
  HFONT oldFont = UseFont(dc, s.font);
  SetBkMode(dc, TRANSPARENT);
  if (type == BS_OWNERDRAW) {
    UINT state = (s.pushed ? ODS_SELECTED : 0) | (s.focused ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
    DRAWITEMSTRUCT di{ODT_BUTTON, UINT(w->id), 0, ODA_DRAWENTIRE, state, wnd, dc, rc, 0};
    SendMessage(GetParent(wnd), WM_DRAWITEM, w->id, LPARAM(&di));
  } else if (type == BS_GROUPBOX) {
    HBRUSH brush = CtlColor(wnd, dc, WM_CTLCOLORSTATIC);
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    RECT frame{rc.left, rc.top + tm.tmHeight / 2, rc.right, rc.bottom};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!w->text.empty()) {
      RECT tr{rc.left + 8, rc.top, rc.right - 8, rc.top + tm.tmHeight};
      RECT calc = tr;
      DrawText(dc, w->text.c_str(), -1, &calc, DT_SINGLELINE | DT_CALCRECT);
      RECT bg{tr.left - 2, tr.top, std::min(tr.right, calc.right + 2), tr.bottom};
      if (!IsHollow(brush)) FillRect(dc, &bg, brush);
      if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
      DrawText(dc, w->text.c_str(), -1, &tr, DT_SINGLELINE | DT_END_ELLIPSIS);
    }
  } else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || (w->style & BS_PUSHLIKE)) {
    CtlColor(wnd, dc, WM_CTLCOLORBTN);
    RECT r = rc;
    if (type == BS_DEFPUSHBUTTON) {
      FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
      InflateRect(&r, -1, -1);
    }
    bool down = s.pushed || ((w->style & BS_PUSHLIKE) && s.check);
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    RECT tr = r;
    InflateRect(&tr, -3, -2);
    if (down) OffsetRect(&tr, 1, 1);
    UINT fmt = (w->style & BS_MULTILINE) ? DT_WORDBREAK | DT_CENTER : DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if ((w->style & BS_CENTER) == BS_LEFT) fmt = (fmt & ~DT_CENTER);
    if ((w->style & BS_CENTER) == BS_RIGHT) fmt = (fmt & ~DT_CENTER) | DT_RIGHT;
    if (s.image && (w->style & BS_BITMAP)) {
      BITMAP bm{};
      GetObject(s.image, sizeof(bm), &bm);
      DrawState(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(s.image), 0, (tr.left + tr.right - bm.bmWidth) / 2,
                (tr.top + tr.bottom - bm.bmHeight) / 2, 0, 0, DST_BITMAP | (enabled ? 0 : DSS_DISABLED));
    } else if (enabled) {
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      if (fmt & DT_WORDBREAK) {
        RECT calc = tr;
        int h = DrawText(dc, w->text.c_str(), -1, &calc, fmt | DT_CALCRECT);
        tr.top += std::max(0, int(tr.bottom - tr.top - h) / 2);
      }
      DrawText(dc, w->text.c_str(), -1, &tr, fmt);
    } else {
      RECT t1 = tr;
      OffsetRect(&t1, 1, 1);
      SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
      DrawText(dc, w->text.c_str(), -1, &t1, fmt);
      SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
      DrawText(dc, w->text.c_str(), -1, &tr, fmt);
    }
    if (s.focused) {
      RECT f = r;
      InflateRect(&f, -3, -3);
      DrawFocusRect(dc, &f);
    }
  } else {
    // Check boxes and radio buttons.
    HBRUSH brush = CtlColor(wnd, dc, WM_CTLCOLORSTATIC);
    if (!IsHollow(brush)) FillRect(dc, &rc, brush);
    int box = 13;
    bool leftText = w->style & BS_LEFTTEXT;
    int by = (rc.bottom - box) / 2;
    RECT br = leftText ? RECT{rc.right - box, by, rc.right, by + box} : RECT{rc.left, by, rc.left + box, by + box};
    bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    UINT state = radio ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
    if (s.check == BST_CHECKED) state |= DFCS_CHECKED;
    if (s.check == BST_INDETERMINATE) state |= DFCS_CHECKED | DFCS_INACTIVE;
    if (!enabled) state |= DFCS_INACTIVE;
    if (s.pushed) state |= DFCS_PUSHED;
    DrawFrameControl(dc, &br, DFC_BUTTON, state);
    RECT tr =
        leftText ? RECT{rc.left, rc.top, br.left - 4, rc.bottom} : RECT{br.right + 4, rc.top, rc.right, rc.bottom};
    UINT fmt = (w->style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
    SetTextColor(dc, enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT));
    RECT calc = tr;
    DrawText(dc, w->text.c_str(), -1, &calc, fmt | DT_CALCRECT);
    if (fmt & DT_WORDBREAK) tr.top += std::max(0, int((tr.bottom - tr.top) - (calc.bottom - calc.top)) / 2);
    DrawText(dc, w->text.c_str(), -1, &tr, fmt);
    if (s.focused && !w->text.empty()) {
      int h = calc.bottom - calc.top;
      RECT f{tr.left - 1, (fmt & DT_VCENTER) ? (rc.bottom - h) / 2 - 1 : tr.top - 1, std::min(tr.right, calc.right) + 1,
             0};
      f.bottom = f.top + h + 2;
      DrawFocusRect(dc, &f);
    }
  }
  SelectObject(dc, oldFont);
}

LRESULT ButtonProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  ButtonState& s = ControlState<ButtonState>(wnd);
  bool handled;
  LRESULT fr = FontMessages(wnd, msg, wParam, lParam, s.font, handled);
  if (handled) return fr;
  DWORD type = ButtonType(*w);
  switch (msg) {
    case WM_NCHITTEST: return type == BS_GROUPBOX ? HTTRANSPARENT : DefWindowProc(wnd, msg, wParam, lParam);
    case WM_GETDLGCODE:
      switch (type) {
        case BS_GROUPBOX: return DLGC_STATIC;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_OWNERDRAW: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        default: return DLGC_BUTTON;
      }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (type == BS_GROUPBOX) return 0;
      SetFocus(wnd);
      if (!Get(wnd)) return 0;
      SetCapture(wnd);
      s.mouseDown = true;
      s.pushed = true;
      InvalidateRect(wnd, nullptr, TRUE);
      if (msg == WM_LBUTTONDBLCLK && (w->style & BS_NOTIFY)) NotifyCommand(wnd, BN_DBLCLK);
      return 0;
    case WM_MOUSEMOVE:
      if (s.mouseDown) {
        RECT rc;
        GetClientRect(wnd, &rc);
        bool in = PtInRect(&rc, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (in != s.pushed) {
          s.pushed = in;
          InvalidateRect(wnd, nullptr, TRUE);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (s.mouseDown) {
        bool click = s.pushed;
        s.mouseDown = false;
        s.pushed = false;
        ReleaseCapture();
        InvalidateRect(wnd, nullptr, TRUE);
        if (click) ButtonClick(wnd);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (s.mouseDown && reinterpret_cast<HWND>(lParam) != wnd) {
        s.mouseDown = false;
        s.pushed = false;
        InvalidateRect(wnd, nullptr, TRUE);
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && type != BS_GROUPBOX) {
        s.pushed = true;
        InvalidateRect(wnd, nullptr, TRUE);
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && s.pushed && !s.mouseDown) {
        s.pushed = false;
        InvalidateRect(wnd, nullptr, TRUE);
        ButtonClick(wnd);
      }
      return 0;
    case WM_SETFOCUS:
      s.focused = true;
      InvalidateRect(wnd, nullptr, TRUE);
      if (w->style & BS_NOTIFY) NotifyCommand(wnd, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s.focused = false;
      if (!s.mouseDown) s.pushed = false;
      InvalidateRect(wnd, nullptr, TRUE);
      if (w->style & BS_NOTIFY) NotifyCommand(wnd, BN_KILLFOCUS);
      return 0;
    case WM_ENABLE: InvalidateRect(wnd, nullptr, TRUE); return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(wnd, msg, wParam, lParam);
      InvalidateRect(wnd, nullptr, TRUE);
      return r;
    }
    case BM_CLICK:
      if (IsWindowEnabled(wnd) && type != BS_GROUPBOX) ButtonClick(wnd);
      return 0;
    case BM_GETCHECK: return s.check;
    case BM_SETCHECK:
      s.check = UINT(wParam) == BST_INDETERMINATE && (type == BS_3STATE || type == BS_AUTO3STATE)
                    ? BST_INDETERMINATE
                    : (wParam ? BST_CHECKED : BST_UNCHECKED);
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case BM_GETSTATE: return s.check | (s.pushed ? BST_PUSHED : 0) | (s.focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
      s.pushed = wParam != 0;
      InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case BM_SETSTYLE:
      w->style = (w->style & ~0xFFFFu) | (DWORD(wParam) & 0xFFFFu);
      if (lParam) InvalidateRect(wnd, nullptr, TRUE);
      return 0;
    case BM_SETIMAGE: {
      HANDLE old = s.image;
      s.image = reinterpret_cast<HANDLE>(lParam);
      InvalidateRect(wnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case BM_GETIMAGE: return reinterpret_cast<LRESULT>(s.image);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      PaintButton(wnd, dc);
      EndPaint(wnd, &ps);
      return 0;
    }
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterButtonControl() { RegisterClassOf("Button", &ButtonProc, CS_DBLCLKS, nullptr); }

}  // namespace win::detail
