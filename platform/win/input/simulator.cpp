// The input simulator: keys and mouse events sent as a person would, headless or from the X screen.
#include <algorithm>
#include <cstring>
#include <map>

#include "platform/win/base/handles.h"
#include "platform/win/draw/gdi_internal.h"
#include "platform/win/input/input_state.h"
#include "platform/win/resources/resources.h"
#include "platform/win/screen/screen.h"

using namespace win::detail;

// ---- The input simulator ------------------------------------------------------------------------------------------------------------
namespace win::input {
namespace {

void Leave(HWND now) {
  InputState& s = In();
  if (s.mouseWindow && s.mouseWindow != now) MouseLeftWindow(s.mouseWindow);
  if (s.leaveTracked && s.leaveTracked != now) {
    HWND t = s.leaveTracked;
    s.leaveTracked = nullptr;
    PostMessage(t, WM_MOUSELEAVE, 0, 0);
  }
  s.mouseWindow = now;
}

// One mouse event at a screen point: the capture window or the window under the point receives it.
void MouseEvent(POINT screen, UINT clientMsg, UINT ncMsg, WPARAM extra = 0) {
  InputState& s = In();
  if (s.clipped) {
    screen.x = std::clamp(screen.x, s.clip.left, s.clip.right - 1);
    screen.y = std::clamp(screen.y, s.clip.top, s.clip.bottom - 1);
  }
  s.cursor = screen;
  if (s.follow) {
    // A copy: the follower may end itself (the release) or start another.
    auto follow = s.follow;
    if (clientMsg == WM_LBUTTONUP) s.follow = nullptr;
    follow(clientMsg, screen);
    PumpMessages();
    return;
  }
  HWND target = GetCapture();
  LRESULT hit = HTCLIENT;
  if (!target) {
    target = WindowFromPoint(screen);
    if (!target) return;
    hit = SendMessage(target, WM_NCHITTEST, 0, MAKELPARAM(WORD(screen.x), WORD(screen.y)));
  }
  // Input to a disabled window (or one inside a disabled window) goes nowhere.
  for (HWND h = target; h; h = (Get(h) && (Get(h)->style & WS_CHILD)) ? Get(h)->parent : nullptr)
    if (!IsWindowEnabled(h)) {
      if (clientMsg == WM_LBUTTONDOWN || clientMsg == WM_RBUTTONDOWN) ::MessageBeep(0);
      return;
    }
  Leave(target);
  bool down = clientMsg == WM_LBUTTONDOWN || clientMsg == WM_RBUTTONDOWN || clientMsg == WM_MBUTTONDOWN;
  if (down) {
    HWND root = Root(target);
    if (GetActiveWindow() != root && Get(root) && !(Get(root)->exStyle & WS_EX_NOACTIVATE)) SetActiveWindow(root);
    if (!Get(target)) return;
  }
  if (clientMsg != WM_MOUSEWHEEL && !GetCapture())
    SendMessage(target, WM_SETCURSOR, WPARAM(target), MAKELPARAM(WORD(hit), WORD(clientMsg)));
  if (!Get(target)) return;
  UINT msg = clientMsg;
  if (down) {
    UINT button = clientMsg;
    bool isDouble = s.hasLastDown && !s.lastWasDouble && s.lastDownWnd == target && s.lastDownButton == button &&
                    Now() - s.lastDownTime <= GetDoubleClickTime() &&
                    std::abs(screen.x - s.lastDownPt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                    std::abs(screen.y - s.lastDownPt.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2 &&
                    ((Get(target)->classStyle & CS_DBLCLKS) || hit != HTCLIENT);
    s.hasLastDown = true;
    s.lastDownWnd = target;
    s.lastDownButton = button;
    s.lastDownTime = Now();
    s.lastDownPt = screen;
    s.lastWasDouble = isDouble;
    if (isDouble) msg = clientMsg + 2;  // WM_xBUTTONDBLCLK
  }
  if (hit == HTCLIENT || GetCapture() == target) {
    POINT p = screen;
    ScreenToClient(target, &p);
    if (clientMsg == WM_MOUSEWHEEL)
      PostMessage(target, msg, MAKEWPARAM(WORD(MouseKeyFlags()), WORD(SHORT(extra))),
                  MAKELPARAM(WORD(screen.x), WORD(screen.y)));
    else
      PostMessage(target, msg, MouseKeyFlags(), MAKELPARAM(WORD(p.x), WORD(p.y)));
  } else if (ncMsg) {
    UINT nc = ncMsg;
    if (msg == clientMsg + 2 && ncMsg == WM_NCLBUTTONDOWN) nc = WM_NCLBUTTONDBLCLK;
    PostMessage(target, nc, WPARAM(hit), MAKELPARAM(WORD(screen.x), WORD(screen.y)));
  }
  PumpMessages();
}

POINT ScreenOf(HWND wnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(wnd, &p);
  return p;
}

UINT DownMsg(UINT button) {
  return button == VK_RBUTTON ? WM_RBUTTONDOWN : button == VK_MBUTTON ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
}

void KeyEvent(UINT vk, bool down, LPARAM extra = 0) {
  InputState& s = In();
  if (vk < 256) s.keys[vk] = down;
  HWND target = GetFocus();
  if (!target) target = GetActiveWindow();
  if (!target) return;
  bool alt = KeyIsDown(VK_MENU) && vk != VK_MENU;
  UINT msg = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
  LPARAM lp = 1 | (down ? 0 : (LPARAM(3) << 30)) | extra;
  PostMessage(target, msg, vk, lp);
  PumpMessages();
}

}  // namespace

void MouseMove(HWND wnd, int x, int y) { MouseEvent(ScreenOf(wnd, x, y), WM_MOUSEMOVE, WM_NCMOUSEMOVE); }

void MouseDown(HWND wnd, int x, int y, UINT button) {
  In().keys[button & 0xFF] = true;
  UINT down = DownMsg(button);
  MouseEvent(ScreenOf(wnd, x, y), down, down - WM_LBUTTONDOWN + WM_NCLBUTTONDOWN);
}

void MouseUp(HWND wnd, int x, int y, UINT button) {
  In().keys[button & 0xFF] = false;
  UINT up = DownMsg(button) + 1;
  MouseEvent(ScreenOf(wnd, x, y), up, up - WM_LBUTTONUP + WM_NCLBUTTONUP);
}

void Click(HWND wnd, int x, int y, UINT button) {
  POINT screen = ScreenOf(wnd, x, y);
  MouseDown(wnd, x, y, button);
  // The window may have moved or gone; the release happens where the press was.
  In().keys[button & 0xFF] = false;
  UINT up = DownMsg(button) + 1;
  MouseEvent(screen, up, up - WM_LBUTTONUP + WM_NCLBUTTONUP);
}

void DoubleClick(HWND wnd, int x, int y) {
  POINT screen = ScreenOf(wnd, x, y);
  In().hasLastDown = false;
  for (int i = 0; i < 2; ++i) {
    In().keys[VK_LBUTTON] = true;
    MouseEvent(screen, WM_LBUTTONDOWN, WM_NCLBUTTONDOWN);
    In().keys[VK_LBUTTON] = false;
    MouseEvent(screen, WM_LBUTTONUP, WM_NCLBUTTONUP);
  }
  In().hasLastDown = false;
}

void Drag(HWND wnd, int x0, int y0, int x1, int y1, int steps) {
  POINT a = ScreenOf(wnd, x0, y0), b = ScreenOf(wnd, x1, y1);
  In().keys[VK_LBUTTON] = true;
  MouseEvent(a, WM_LBUTTONDOWN, WM_NCLBUTTONDOWN);
  if (steps < 1) steps = 1;
  for (int i = 1; i <= steps; ++i) {
    POINT p{a.x + (b.x - a.x) * i / steps, a.y + (b.y - a.y) * i / steps};
    MouseEvent(p, WM_MOUSEMOVE, WM_NCMOUSEMOVE);
  }
  In().keys[VK_LBUTTON] = false;
  MouseEvent(b, WM_LBUTTONUP, WM_NCLBUTTONUP);
}

void ClickCenter(HWND wnd) {
  RECT r;
  GetWindowRect(wnd, &r);
  POINT c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  In().keys[VK_LBUTTON] = true;
  MouseEvent(c, WM_LBUTTONDOWN, WM_NCLBUTTONDOWN);
  In().keys[VK_LBUTTON] = false;
  MouseEvent(c, WM_LBUTTONUP, WM_NCLBUTTONUP);
}

void Wheel(HWND wnd, int x, int y, int delta) { MouseEvent(ScreenOf(wnd, x, y), WM_MOUSEWHEEL, 0, WPARAM(delta)); }

void KeyDown(UINT vk) { KeyEvent(vk, true); }
void KeyUp(UINT vk) { KeyEvent(vk, false); }
void Key(UINT vk) {
  KeyDown(vk);
  KeyUp(vk);
}
void KeyWith(UINT modifier, UINT vk) {
  KeyDown(modifier);
  Key(vk);
  KeyUp(modifier);
}

void Type(const std::string& text) {
  std::string s = ValidUtf8(text);
  for (std::size_t i = 0; i < s.size();) {
    std::size_t n = std::size_t(Utf8Next(s, int(i))) - i;
    std::string ch = s.substr(i, n);
    i += n;
    std::uint32_t cp = 0;
    {
      auto c0 = static_cast<unsigned char>(ch[0]);
      cp = n == 1 ? c0 : n == 2 ? (c0 & 0x1F) : n == 3 ? (c0 & 0x0F) : (c0 & 0x07);
      for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(ch[k]) & 0x3F);
    }
    UINT vk = 0;
    bool shift = false;
    if (cp >= 'a' && cp <= 'z')
      vk = cp - 'a' + 'A';
    else if (cp >= 'A' && cp <= 'Z') {
      vk = cp;
      shift = true;
    } else if (cp >= '0' && cp <= '9')
      vk = cp;
    else if (cp == ' ')
      vk = VK_SPACE;
    else if (cp == '\n')
      vk = VK_RETURN;
    else if (cp == '\t')
      vk = VK_TAB;
    else if (cp == ',')
      vk = VK_OEM_COMMA;
    else if (cp == '.')
      vk = VK_OEM_PERIOD;
    else if (cp == '-')
      vk = VK_OEM_MINUS;
    else if (cp == '+')
      vk = VK_ADD;
    else if (cp == '*')
      vk = VK_MULTIPLY;
    else if (cp == '/')
      vk = VK_DIVIDE;
    if (vk) {
      bool held = KeyIsDown(VK_SHIFT);
      if (shift && !held) KeyDown(VK_SHIFT);
      Key(vk);
      if (shift && !held) KeyUp(VK_SHIFT);
    } else {
      KeyEvent(kVkPacket, true, LPARAM(std::uint64_t(cp) << 32));
      KeyEvent(kVkPacket, false);
    }
  }
}

}  // namespace win::input
