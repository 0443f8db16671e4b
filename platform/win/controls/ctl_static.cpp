// Built-in control: static texts, icons, bitmaps and frames.
#include <algorithm>
#include <cstring>

#include "platform/win/controls/ctl_internal.h"

namespace win::detail {

namespace {
struct StaticState {
  HFONT font = nullptr;
  HANDLE image = nullptr;
};

LRESULT StaticProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  StaticState& s = ControlState<StaticState>(wnd);
  bool handled;
  LRESULT fr = FontMessages(wnd, msg, wParam, lParam, s.font, handled);
  if (handled) return fr;
  DWORD type = w->style & SS_TYPEMASK;
  switch (msg) {
    case WM_NCHITTEST: return (w->style & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(wnd, msg, wParam, lParam);
      InvalidateRect(wnd, nullptr, TRUE);
      return r;
    }
    case WM_ENABLE: InvalidateRect(wnd, nullptr, TRUE); return 0;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_LBUTTONDOWN:
      if (w->style & SS_NOTIFY) NotifyCommand(wnd, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (w->style & SS_NOTIFY) NotifyCommand(wnd, STN_DBLCLK);
      return 0;
    case STM_SETIMAGE:
    case STM_SETICON: {
      HANDLE old = s.image;
      s.image = reinterpret_cast<HANDLE>(msg == STM_SETICON ? wParam : lParam);
      InvalidateRect(wnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETIMAGE:
    case STM_GETICON: return reinterpret_cast<LRESULT>(s.image);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      RECT rc;
      GetClientRect(wnd, &rc);
      HBRUSH brush = CtlColor(wnd, dc, WM_CTLCOLORSTATIC);
      switch (type) {
        case SS_BLACKRECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME)); break;
        case SS_GRAYRECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_3DSHADOW)); break;
        case SS_WHITERECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW)); break;
        case SS_BLACKFRAME: FrameRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME)); break;
        case SS_GRAYFRAME: FrameRect(dc, &rc, GetSysColorBrush(COLOR_3DSHADOW)); break;
        case SS_WHITEFRAME: FrameRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW)); break;
        case SS_ETCHEDHORZ: DrawEdge(dc, &rc, EDGE_ETCHED, BF_TOP); break;
        case SS_ETCHEDVERT: DrawEdge(dc, &rc, EDGE_ETCHED, BF_LEFT); break;
        case SS_ETCHEDFRAME: DrawEdge(dc, &rc, EDGE_ETCHED, BF_RECT); break;
        case SS_OWNERDRAW: {
          DRAWITEMSTRUCT di{
              ODT_STATIC, UINT(w->id), 0, ODA_DRAWENTIRE, IsWindowEnabled(wnd) ? 0u : UINT(ODS_DISABLED), wnd,
              dc,         rc,          0};
          SendMessage(GetParent(wnd), WM_DRAWITEM, w->id, LPARAM(&di));
          break;
        }
        case SS_BITMAP:
        case SS_ICON: {
          if (!IsHollow(brush)) FillRect(dc, &rc, brush);
          if (s.image) {
            if (type == SS_ICON) {
              DrawIcon(dc, 0, 0, static_cast<HICON>(s.image));
            } else {
              BITMAP bm{};
              GetObject(s.image, sizeof(bm), &bm);
              int x = (w->style & SS_CENTERIMAGE) ? (rc.right - bm.bmWidth) / 2 : 0;
              int y = (w->style & SS_CENTERIMAGE) ? (rc.bottom - bm.bmHeight) / 2 : 0;
              HDC mem = CreateCompatibleDC(dc);
              HGDIOBJ old = SelectObject(mem, s.image);
              BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
              SelectObject(mem, old);
              DeleteDC(mem);
            }
          }
          break;
        }
        default: {
          if (!IsHollow(brush)) FillRect(dc, &rc, brush);
          HFONT old = UseFont(dc, s.font);
          SetBkMode(dc, TRANSPARENT);
          if (!IsWindowEnabled(wnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
          UINT fmt = DT_EXPANDTABS;
          if (type == SS_CENTER) fmt |= DT_CENTER;
          if (type == SS_RIGHT) fmt |= DT_RIGHT;
          if (type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP) fmt |= DT_WORDBREAK;
          if (w->style & SS_NOPREFIX) fmt |= DT_NOPREFIX;
          if (w->style & SS_CENTERIMAGE) fmt = (fmt & ~DT_WORDBREAK) | DT_VCENTER | DT_SINGLELINE;
          if (w->style & SS_ENDELLIPSIS) fmt |= DT_END_ELLIPSIS;
          DrawText(dc, w->text.c_str(), -1, &rc, fmt);
          SelectObject(dc, old);
          break;
        }
      }
      if (w->style & SS_SUNKEN) DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT);
      EndPaint(wnd, &ps);
      return 0;
    }
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterStaticControl() { RegisterClassOf("Static", &StaticProc, 0, nullptr); }

}  // namespace win::detail
