// Keyboard, focus, capture, the cursor and the caret: the calls a window makes about its input.
#include <algorithm>
#include <cstring>
#include <map>

#include "platform/win/base/handles.h"
#include "platform/win/draw/gdi_internal.h"
#include "platform/win/input/input_state.h"
#include "platform/win/resources/resources.h"
#include "platform/win/screen/screen.h"

using namespace win::detail;

// ---- Keyboard ---------------------------------------------------------------------------------------------------------------
namespace {

// The character a key press types, 0 for none.
std::uint32_t CharOf(UINT vk, LPARAM lParam) {
  bool shift = KeyIsDown(VK_SHIFT), ctrl = KeyIsDown(VK_CONTROL);
  if (vk == kVkPacket) return std::uint32_t(std::uint64_t(lParam) >> 32);
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return vk - 'A' + 1;
    return shift ? vk : vk - 'A' + 'a';
  }
  if (ctrl) return 0;
  if (vk >= '0' && vk <= '9') return shift ? std::uint32_t(")!@#$%^&*("[vk - '0']) : vk;
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return '0' + (vk - VK_NUMPAD0);
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_TAB: return '\t';
    case VK_BACK: return '\b';
    case VK_ESCAPE: return 0x1B;
    case VK_OEM_COMMA: return shift ? '<' : ',';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_OEM_PLUS: return shift ? '+' : '=';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_MULTIPLY: return '*';
    case VK_DIVIDE: return '/';
    case VK_DECIMAL: return '.';
    default: return 0;
  }
}
}  // namespace

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1 && !KeyIsDown(VK_SHIFT) && !KeyIsDown(VK_CONTROL)) {
    MSG help = *msg;
    help.message = WM_KEYF1;
    help.wParam = 0;
    help.lParam = 0;
    PostMessageFront(help);
    return TRUE;
  }
  std::uint32_t c = CharOf(UINT(msg->wParam), msg->lParam);
  if (!c) return FALSE;
  // The character is read before anything posted after the key press.
  MSG ch = *msg;
  ch.message = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  ch.wParam = c;
  ch.lParam = msg->lParam & 0xFFFFFFFF;
  PostMessageFront(ch);
  return TRUE;
}

SHORT GetKeyState(int key) { return KeyIsDown(UINT(key)) ? SHORT(-128) : SHORT(0); }
SHORT GetAsyncKeyState(int key) { return GetKeyState(key); }

BOOL GetCursorPos(LPPOINT out) {
  if (!out) return FALSE;
  *out = In().cursor;
  return TRUE;
}
BOOL SetCursorPos(int x, int y) {
  In().cursor = {x, y};
  return TRUE;
}
BOOL ClipCursor(const RECT* r) {
  In().clipped = r != nullptr;
  if (r) In().clip = *r;
  return TRUE;
}

HCURSOR LoadCursor(HINSTANCE, LPCSTR name) {
  UINT id = IS_INTRESOURCE(name) ? UINT(reinterpret_cast<std::uintptr_t>(name)) : 32512;
  static std::map<UINT, HCURSOR> cursors;
  auto it = cursors.find(id);
  if (it != cursors.end()) return it->second;
  if (HCURSOR painted = win::res::PaintedCursor(id)) {
    cursors[id] = painted;
    In().cursorIds[reinterpret_cast<std::uintptr_t>(painted)] = id;
    return painted;
  }
  auto o = std::make_shared<GdiObject>();
  o->kind = GdiKind::Icon;
  o->stock = true;
  HCURSOR h = reinterpret_cast<HCURSOR>(NewObject(o));
  cursors[id] = h;
  In().cursorIds[reinterpret_cast<std::uintptr_t>(h)] = id;
  return h;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = In().cursorHandle;
  In().cursorHandle = cursor;
  return old;
}
HCURSOR GetCursor() { return In().cursorHandle; }

UINT GetDoubleClickTime() { return 500; }

BOOL TrackMouseEvent(TRACKMOUSEEVENT* t) {
  if (!t) return FALSE;
  if (t->dwFlags & TME_CANCEL)
    In().leaveTracked = nullptr;
  else if (t->dwFlags & TME_LEAVE)
    In().leaveTracked = t->hwndTrack;
  return TRUE;
}
BOOL _TrackMouseEvent(TRACKMOUSEEVENT* t) { return TrackMouseEvent(t); }

BOOL CreateCaret(HWND wnd, HBITMAP, int, int) {
  In().caretWnd = wnd;
  return TRUE;
}
BOOL DestroyCaret() {
  In().caretWnd = nullptr;
  return TRUE;
}
BOOL ShowCaret(HWND) { return TRUE; }
BOOL HideCaret(HWND) { return TRUE; }
BOOL SetCaretPos(int x, int y) {
  In().caretPos = {x, y};
  return TRUE;
}
BOOL GetCaretPos(LPPOINT out) {
  if (!out) return FALSE;
  *out = In().caretPos;
  return TRUE;
}
