#include "platform/win/input/dragloop.h"

#include "platform/win/input/input_state.h"
#include "platform/win/screen/screen.h"
#include "platform/win/window/internal.h"

namespace win::detail {
namespace {

constexpr UINT kKeyFirst = 0x0100, kKeyLast = 0x0109;  // the keyboard messages

struct Drag {
  COleDataObject data;
  DROPEFFECT allowed = DROPEFFECT_NONE;
  HWND over = nullptr;  // the window whose target has the drag now
  COleDropTarget* target = nullptr;
  DROPEFFECT effect = DROPEFFECT_NONE;
  POINT last{0, 0};
  bool done = false;
  DROPEFFECT result = DROPEFFECT_NONE;
};
Drag* g_drag = nullptr;

DWORD KeyState() {
  DWORD keys = MK_LBUTTON;
  if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
  if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
  return keys;
}

CPoint ClientPoint(HWND wnd, POINT screen) {
  ScreenToClient(wnd, &screen);
  return CPoint(screen);
}

void Leave(Drag& d) {
  COleDropTarget* target = d.target;
  HWND over = d.over;
  d.target = nullptr;
  d.over = nullptr;
  d.effect = DROPEFFECT_NONE;
  if (target && IsWindow(over) && COleDropTarget::ForWindow(over) == target)
    target->OnDragLeave(CWnd::FromHandle(over));
}

void Over(Drag& d, POINT screen) {
  d.last = screen;
  COleDropTarget* target = nullptr;
  HWND wnd = WindowFromPoint(screen);
  for (; wnd && !(target = COleDropTarget::ForWindow(wnd)); wnd = GetParent(wnd)) {}
  const DWORD keys = KeyState();
  if (wnd != d.over || target != d.target) {
    Leave(d);
    if (target) {
      d.over = wnd;
      d.target = target;
      d.effect = target->OnDragEnter(CWnd::FromHandle(wnd), &d.data, keys, ClientPoint(wnd, screen)) & d.allowed;
    }
  } else if (target) {
    d.effect = target->OnDragOver(CWnd::FromHandle(wnd), &d.data, keys, ClientPoint(wnd, screen)) & d.allowed;
  }
  SetCursor(LoadCursor(nullptr, d.effect == DROPEFFECT_NONE ? IDC_NO : IDC_ARROW));
}

void Finish(Drag& d, bool drop, POINT screen) {
  if (drop) Over(d, screen);
  // What the drop does (a question asked in a box) has the keys and the mouse to itself.
  d.done = true;
  In().follow = nullptr;
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  if (!drop || d.effect == DROPEFFECT_NONE) {
    Leave(d);
    return;
  }
  d.result = DropOn(*d.target, CWnd::FromHandle(d.over), &d.data, d.effect, d.allowed, ClientPoint(d.over, screen));
}

bool (*g_previousHook)(MSG*) = nullptr;

bool DragKeys(MSG* m) {
  if (!g_drag || g_drag->done || m->message < kKeyFirst || m->message > kKeyLast)
    return g_previousHook && g_previousHook(m);
  const bool down = m->message == WM_KEYDOWN || m->message == WM_SYSKEYDOWN;
  if (down && m->wParam == VK_ESCAPE)
    Finish(*g_drag, false, g_drag->last);
  else if (m->wParam == VK_CONTROL || m->wParam == VK_SHIFT)
    Over(*g_drag, g_drag->last);  // the effect follows Ctrl at once
  return true;
}

}  // namespace

DROPEFFECT DropOn(COleDropTarget& target, CWnd* wnd, COleDataObject* data, DROPEFFECT effect, DROPEFFECT allowed,
                  CPoint point) {
  const DROPEFFECT ex = target.OnDropEx(wnd, data, effect, allowed, point);
  if (ex != DROPEFFECT(-1)) return ex;
  return target.OnDrop(wnd, data, effect, point) ? effect : DROPEFFECT_NONE;
}

DROPEFFECT RunDragLoop(const COleDataSource& source, DROPEFFECT allowed) {
  Screen* screen = CurrentScreen();
  if (!screen || g_drag) return DROPEFFECT_NONE;
  Drag d;
  d.data.Attach(&source);
  d.allowed = allowed;
  g_drag = &d;
  // The window the press went to gives up the mouse: until the release every mouse event belongs to the drag.
  if (GetCapture()) ReleaseCapture();
  g_previousHook = g_preTranslateHook;
  g_preTranslateHook = &DragKeys;
  In().follow = [](UINT msg, POINT p) {
    if (!g_drag || g_drag->done) return;
    if (msg == WM_MOUSEMOVE)
      Over(*g_drag, p);
    else if (msg == WM_LBUTTONUP)
      Finish(*g_drag, true, p);
    else if (msg == WM_RBUTTONDOWN)
      Finish(*g_drag, false, p);
  };
  POINT start{0, 0};
  GetCursorPos(&start);
  Over(d, start);
  while (!d.done) {
    PumpMessages();
    if (d.done) break;
    if (!screen->WaitForInput(NextTimerDelay())) Finish(d, false, d.last);
  }
  g_preTranslateHook = g_previousHook;
  g_drag = nullptr;
  return d.result;
}

}  // namespace win::detail
