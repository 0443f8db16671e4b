// The tooltip: tools (windows or rectangles) whose text shows in a small window after the mouse rests on them.
#include <algorithm>
#include <cstring>

#include "platform/win/base/handles.h"
#include "platform/win/controls/ctl_internal.h"

namespace win::detail {
namespace {

struct Tool {
  TOOLINFO info{};
  std::string text;
};
struct TipState {
  std::vector<Tool> tools;
  bool active = true;
  int maxWidth = -1;
  int initial = 500, autopop = 5000, reshow = 100;
  int pending = -1;
  int shown = -1;
  std::string shownText;
  HFONT font = nullptr;
  COLORREF back = CLR_DEFAULT, fore = CLR_DEFAULT;
};

constexpr UINT_PTR kShowTimer = 1, kPopTimer = 2;

bool SameTool(const TOOLINFO& a, const TOOLINFO* b) { return b && a.hwnd == b->hwnd && a.uId == b->uId; }

int FindTool(TipState& s, const TOOLINFO* t) {
  for (int i = 0; i < int(s.tools.size()); ++i)
    if (SameTool(s.tools[std::size_t(i)].info, t)) return i;
  return -1;
}

std::string ToolText(const TOOLINFO* t) {
  if (!t || !t->lpszText) return "";
  if (t->lpszText == LPSTR_TEXTCALLBACK) return "";
  if (IS_INTRESOURCE(t->lpszText)) {
    char buf[1024];
    LoadString(t->hinst, UINT(reinterpret_cast<std::uintptr_t>(t->lpszText)), buf, sizeof(buf));
    return buf;
  }
  return ValidUtf8(t->lpszText);
}

void HideTip(HWND wnd, TipState& s) {
  KillTimer(wnd, kShowTimer);
  KillTimer(wnd, kPopTimer);
  s.pending = -1;
  if (s.shown >= 0) {
    s.shown = -1;
    ShowWindow(wnd, SW_HIDE);
    NMHDR hdr{};
    NotifyParent(wnd, &hdr, TTN_POP);
  }
}

void ShowTip(HWND wnd, TipState& s, int index) {
  if (index < 0 || index >= int(s.tools.size())) return;
  Tool& t = s.tools[std::size_t(index)];
  std::string text = t.text;
  if (t.info.lpszText == LPSTR_TEXTCALLBACK) {
    NMTTDISPINFO di{};
    di.hdr.hwndFrom = wnd;
    di.hdr.idFrom = t.info.uId;
    di.hdr.code = TTN_GETDISPINFO;
    di.lParam = t.info.lParam;
    SendMessage(t.info.hwnd, WM_NOTIFY, t.info.uId, LPARAM(&di));
    text = di.lpszText && di.lpszText != LPSTR_TEXTCALLBACK ? ValidUtf8(di.lpszText) : ValidUtf8(di.szText);
  }
  if (text.empty()) return;
  s.shownText = text;
  // The window bears the text as its name, which the screen gives its window as title.
  SetWindowText(wnd, text.c_str());
  HDC dc = GetDC(wnd);
  HGDIOBJ old = UseFont(dc, s.font);
  RECT calc{0, 0, s.maxWidth > 0 ? s.maxWidth : 10000, 0};
  DrawText(dc, text.c_str(), -1, &calc, DT_CALCRECT | (s.maxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE) | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(wnd, dc);
  POINT cur;
  GetCursorPos(&cur);
  s.shown = index;
  SetWindowPos(wnd, HWND_TOP, cur.x, cur.y + 20, calc.right + 8, calc.bottom + 6, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(wnd, nullptr, TRUE);
  NMHDR hdr{};
  NotifyParent(wnd, &hdr, TTN_SHOW);
  SetTimer(wnd, kPopTimer, UINT(s.autopop), nullptr);
}

LRESULT TipAddTool(HWND wnd, TipState& s, TOOLINFO* ti) {
  if (!ti) return FALSE;
  Tool t;
  t.info = *ti;
  t.text = ToolText(ti);
  t.info.lpszText = ti->lpszText == LPSTR_TEXTCALLBACK ? LPSTR_TEXTCALLBACK : nullptr;
  int at = FindTool(s, ti);
  if (at >= 0)
    s.tools[std::size_t(at)] = t;
  else
    s.tools.push_back(t);
  if (ti->uFlags & TTF_SUBCLASS)
    AddRelay((ti->uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(ti->uId) : ti->hwnd, wnd);
  return TRUE;
}

LRESULT TipDelTool(HWND wnd, TipState& s, TOOLINFO* ti) {
  int at = FindTool(s, ti);
  if (at >= 0) {
    if (s.shown == at || s.pending == at) HideTip(wnd, s);
    const TOOLINFO& t = s.tools[std::size_t(at)].info;
    RemoveRelay((t.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(t.uId) : t.hwnd, wnd);
    s.tools.erase(s.tools.begin() + at);
  }
  return 0;
}

LRESULT TipUpdateText(HWND wnd, TipState& s, TOOLINFO* ti) {
  int at = FindTool(s, ti);
  if (at >= 0) {
    s.tools[std::size_t(at)].text = ToolText(ti);
    s.tools[std::size_t(at)].info.lpszText = ti->lpszText == LPSTR_TEXTCALLBACK ? LPSTR_TEXTCALLBACK : nullptr;
    if (s.shown == at) {
      s.shownText = s.tools[std::size_t(at)].text;
      SetWindowText(wnd, s.shownText.c_str());
      InvalidateRect(wnd, nullptr, TRUE);
    }
  }
  return 0;
}

LRESULT TipToolInfo(TipState& s, UINT msg, TOOLINFO* ti) {
  int at = FindTool(s, ti);
  if (at < 0) return FALSE;
  const Tool& t = s.tools[std::size_t(at)];
  if (msg == TTM_GETTOOLINFO) {
    LPSTR keep = ti->lpszText;
    *ti = t.info;
    ti->lpszText = keep;
  }
  if (ti->lpszText && ti->lpszText != LPSTR_TEXTCALLBACK) std::strcpy(ti->lpszText, t.text.c_str());
  return TRUE;
}

LRESULT TipSetToolInfo(TipState& s, TOOLINFO* ti) {
  int at = FindTool(s, ti);
  if (at >= 0) {
    s.tools[std::size_t(at)].info = *ti;
    s.tools[std::size_t(at)].text = ToolText(ti);
  }
  return 0;
}

LRESULT TipSetDelayTime(TipState& s, WPARAM wParam, LPARAM lParam) {
  int v = SHORT(LOWORD(lParam));
  switch (wParam) {
    case TTDT_AUTOMATIC:
      s.initial = v < 0 ? 500 : v;
      s.autopop = s.initial * 10;
      s.reshow = s.initial / 5;
      break;
    case TTDT_INITIAL: s.initial = v < 0 ? 500 : v; break;
    case TTDT_AUTOPOP: s.autopop = v < 0 ? 5000 : v; break;
    case TTDT_RESHOW: s.reshow = v < 0 ? 100 : v; break;
    default: break;
  }
  return 0;
}

LRESULT TipRelayEvent(HWND wnd, TipState& s, LPARAM lParam) {
  auto* m = reinterpret_cast<MSG*>(lParam);
  if (!m) return 0;
  if (m->message == WM_MOUSEMOVE) {
    if (!s.active) return 0;
    POINT p{GET_X_LPARAM(m->lParam), GET_Y_LPARAM(m->lParam)};
    int hit = -1;
    for (int i = 0; i < int(s.tools.size()); ++i) {
      const TOOLINFO& t = s.tools[std::size_t(i)].info;
      if (t.uFlags & TTF_IDISHWND) {
        if (reinterpret_cast<HWND>(t.uId) == m->hwnd) hit = i;
      } else if (t.hwnd == m->hwnd && PtInRect(&t.rect, p)) {
        hit = i;
      }
    }
    if (hit < 0) {
      HideTip(wnd, s);
    } else if (hit != s.shown && hit != s.pending) {
      HideTip(wnd, s);
      s.pending = hit;
      SetTimer(wnd, kShowTimer, UINT(std::max(1, s.initial)), nullptr);
    }
  } else if (m->message == WM_LBUTTONDOWN || m->message == WM_RBUTTONDOWN || m->message == WM_MBUTTONDOWN) {
    HideTip(wnd, s);
  }
  return 0;
}

LRESULT TipTimer(HWND wnd, TipState& s, WPARAM wParam) {
  if (wParam == kShowTimer) {
    KillTimer(wnd, kShowTimer);
    int p = s.pending;
    s.pending = -1;
    if (s.active) ShowTip(wnd, s, p);
  } else if (wParam == kPopTimer) {
    HideTip(wnd, s);
  }
  return 0;
}

LRESULT TipPaint(HWND wnd, TipState& s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(wnd, &ps);
  RECT rc;
  GetClientRect(wnd, &rc);
  HBRUSH b = CreateSolidBrush(s.back == CLR_DEFAULT ? GetSysColor(COLOR_INFOBK) : s.back);
  FillRect(dc, &rc, b);
  DeleteObject(b);
  HFONT old = UseFont(dc, s.font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, s.fore == CLR_DEFAULT ? GetSysColor(COLOR_INFOTEXT) : s.fore);
  RECT tr{rc.left + 3, rc.top + 2, rc.right - 3, rc.bottom - 2};
  DrawText(dc, s.shownText.c_str(), -1, &tr, (s.maxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE) | DT_NOPREFIX);
  SelectObject(dc, old);
  EndPaint(wnd, &ps);
  return 0;
}

LRESULT TipProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  TipState& s = ControlState<TipState>(wnd);
  bool handled;
  LRESULT fr = FontMessages(wnd, msg, wParam, lParam, s.font, handled);
  if (handled) return fr;
  auto* ti = reinterpret_cast<TOOLINFO*>(lParam);
  switch (msg) {
    case WM_NCCREATE:
      w->exStyle |= WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
      w->style |= WS_BORDER;
      return TRUE;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_NCDESTROY:
      for (const Tool& t : s.tools)
        RemoveRelay((t.info.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(t.info.uId) : t.info.hwnd, wnd);
      return 0;
    case TTM_ADDTOOL: return TipAddTool(wnd, s, ti);
    case TTM_DELTOOL: return TipDelTool(wnd, s, ti);
    case TTM_UPDATETIPTEXT: return TipUpdateText(wnd, s, ti);
    case TTM_NEWTOOLRECT: {
      int at = FindTool(s, ti);
      if (at >= 0) s.tools[std::size_t(at)].info.rect = ti->rect;
      return 0;
    }
    case TTM_GETTOOLCOUNT: return LRESULT(s.tools.size());
    case TTM_GETTOOLINFO:
    case TTM_GETTEXT: return TipToolInfo(s, msg, ti);
    case TTM_SETTOOLINFO: return TipSetToolInfo(s, ti);
    case TTM_ACTIVATE:
      s.active = wParam != 0;
      if (!s.active) HideTip(wnd, s);
      return 0;
    case TTM_SETDELAYTIME: return TipSetDelayTime(s, wParam, lParam);
    case TTM_GETDELAYTIME: return wParam == TTDT_AUTOPOP ? s.autopop : wParam == TTDT_RESHOW ? s.reshow : s.initial;
    case TTM_SETMAXTIPWIDTH: {
      int old = s.maxWidth;
      s.maxWidth = int(lParam);
      return old;
    }
    case TTM_GETMAXTIPWIDTH: return s.maxWidth;
    case TTM_SETTIPBKCOLOR: s.back = COLORREF(wParam); return 0;
    case TTM_SETTIPTEXTCOLOR: s.fore = COLORREF(wParam); return 0;
    case TTM_POP: HideTip(wnd, s); return 0;
    case TTM_RELAYEVENT: return TipRelayEvent(wnd, s, lParam);
    case WM_TIMER: return TipTimer(wnd, s, wParam);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return TipPaint(wnd, s);
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterTooltipControl() { RegisterClassOf("tooltips_class32", &TipProc, CS_SAVEBITS, nullptr); }

}  // namespace win::detail
