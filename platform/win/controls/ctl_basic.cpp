// What the built-in controls share (colours, fonts, scrolling, class registration), and their registration.
#include <algorithm>
#include <cstring>

#include "platform/win/controls/ctl_internal.h"

namespace win::detail {

HBRUSH CtlColor(HWND ctrl, HDC dc, UINT msg) {
  HWND parent = GetParent(ctrl);
  HBRUSH b = nullptr;
  if (parent) b = reinterpret_cast<HBRUSH>(SendMessage(parent, msg, WPARAM(dc), LPARAM(ctrl)));
  if (!b) b = reinterpret_cast<HBRUSH>(DefWindowProc(ctrl, msg, WPARAM(dc), LPARAM(ctrl)));
  return b;
}

bool IsHollow(HBRUSH b) {
  LOGBRUSH lb{};
  return b && GetObject(b, sizeof(lb), &lb) && lb.lbStyle == BS_NULL;
}

LRESULT FontMessages(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, HFONT& font, bool& handled) {
  handled = true;
  if (msg == WM_SETFONT) {
    font = reinterpret_cast<HFONT>(wParam);
    if (LOWORD(lParam)) InvalidateRect(wnd, nullptr, TRUE);
    return 0;
  }
  if (msg == WM_GETFONT) return reinterpret_cast<LRESULT>(font);
  handled = false;
  return 0;
}

HFONT UseFont(HDC dc, HFONT font) {
  return static_cast<HFONT>(SelectObject(dc, font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))));
}

bool ScrollTop(int& top, WPARAM wParam, int page, int bottom) {
  switch (LOWORD(wParam)) {
    case SB_LINEUP: top--; return true;
    case SB_LINEDOWN: top++; return true;
    case SB_PAGEUP: top -= page; return true;
    case SB_PAGEDOWN: top += page; return true;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: top = HIWORD(wParam); return true;
    case SB_TOP:
      if (bottom < 0) return false;
      top = 0;
      return true;
    case SB_BOTTOM:
      if (bottom < 0) return false;
      top = bottom;
      return true;
    default: return false;
  }
}

void RegisterClassOf(const char* name, WNDPROC proc, UINT style, HBRUSH background) {
  WNDCLASS c{};
  c.style = style;
  c.lpfnWndProc = proc;
  c.lpszClassName = name;
  c.hbrBackground = background;
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClass(&c);
}

void RegisterBuiltInClasses() {
  RegisterStaticControl();
  RegisterButtonControl();
  RegisterEditControl();
  RegisterListControls();
  RegisterListViewControl();
  RegisterCommonControls();
  RegisterScrollBarControl();
}

}  // namespace win::detail
