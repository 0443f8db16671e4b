// Windows: the handle table, classes, creation and destruction, geometry, the message queue, timers, focus,
// capture and the headless interface. Painting is in paint.cpp, the windows' own scroll bars in scrollbars.cpp.

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <utility>

#include "platform/win/base/handles.h"
#include "platform/win/input/input_state.h"
#include "platform/win/window/action.h"
#include "platform/win/window/internal.h"
#include "platform/win/screen/screen.h"

namespace win::detail {

void (*g_createHook)(HWND, CREATESTRUCT*) = nullptr;
bool (*g_preTranslateHook)(MSG*) = nullptr;
void (*g_destroyHook)(HWND) = nullptr;

namespace {

struct Timer {
  HWND wnd;
  UINT_PTR id;
  UINT elapse;
  DWORD due;
  TIMERPROC proc;
};

struct System {
  bool initialised = false;
  std::unordered_map<std::uintptr_t, std::unique_ptr<Window>> windows;
  std::vector<HWND> topLevel;                  // creation order
  std::map<std::string, WindowClass> classes;  // by lower-case name
  std::deque<MSG> queue;
  bool quit = false;
  std::vector<Timer> timers;
  UINT_PTR nextTimerId = 1;
  DWORD clock = 0;  // the test clock, or what AdvanceClock added to an installed clock
  win::Clock* externalClock = nullptr;
  win::Screen* screen = nullptr;
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND capture = nullptr;
  MSG current{};
  int sendDepth = 0;
  std::map<std::string, UINT> registeredMessages;
  UINT nextRegisteredMessage = 0xC000;
};

// Never destroyed: windows may still exist while the process ends, and their objects refer back to it.
System& Sys() {
  static System* s = new System;
  return *s;
}

DWORD ClockNow() {
  System& s = Sys();
  return s.externalClock ? s.externalClock->Now() + s.clock : s.clock;
}

void EnsureInit();

}  // namespace

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

Window* Get(HWND wnd) {
  if (!wnd) return nullptr;
  auto& ws = Sys().windows;
  auto it = ws.find(reinterpret_cast<std::uintptr_t>(wnd));
  return it == ws.end() ? nullptr : it->second.get();
}

std::vector<HWND> TopLevelWindows() { return Sys().topLevel; }

HWND Root(HWND wnd) {
  Window* w = Get(wnd);
  while (w && (w->style & WS_CHILD) && w->parent) w = Get(w->parent);
  return w ? w->hwnd : nullptr;
}

RECT FrameInsets(const Window& w) {
  RECT in{0, 0, 0, 0};
  int b = 0;
  if ((w.style & WS_CAPTION) == WS_CAPTION || (w.style & WS_DLGFRAME) || (w.exStyle & WS_EX_DLGMODALFRAME))
    b = 3;
  else if (w.style & WS_THICKFRAME)
    b = 4;
  else if (w.style & WS_BORDER)
    b = 1;
  if (w.exStyle & WS_EX_CLIENTEDGE) b += 2;
  if (w.exStyle & WS_EX_STATICEDGE) b += 1;
  in = {b, b, b, b};
  if ((w.style & WS_CAPTION) == WS_CAPTION) in.top += GetSystemMetrics(SM_CYCAPTION);
  if (w.vscroll.shown) in.right += GetSystemMetrics(SM_CXVSCROLL);
  if (w.hscroll.shown) in.bottom += GetSystemMetrics(SM_CYHSCROLL);
  return in;
}

POINT WindowOriginInRoot(HWND wnd) {
  POINT p{0, 0};
  Window* w = Get(wnd);
  while (w && (w->style & WS_CHILD) && w->parent) {
    p.x += w->rect.left;
    p.y += w->rect.top;
    Window* parent = Get(w->parent);
    if (!parent) break;
    RECT in = FrameInsets(*parent);
    p.x += in.left;
    p.y += in.top;
    w = parent;
  }
  return p;
}

POINT ClientOriginInRoot(HWND wnd) {
  POINT p = WindowOriginInRoot(wnd);
  if (Window* w = Get(wnd)) {
    RECT in = FrameInsets(*w);
    p.x += in.left;
    p.y += in.top;
  }
  return p;
}

bool IsVisibleTree(HWND wnd) {
  for (Window* w = Get(wnd); w; w = (w->style & WS_CHILD) ? Get(w->parent) : nullptr)
    if (!(w->style & WS_VISIBLE)) return false;
  return Get(wnd) != nullptr;
}

Region VisibleArea(HWND wnd, bool clientOnly, bool excludeChildren) {
  Window* w = Get(wnd);
  if (!w) return {};
  POINT o = WindowOriginInRoot(wnd);
  RECT r{o.x, o.y, o.x + Width(w->rect), o.y + Height(w->rect)};
  if (clientOnly) {
    RECT in = FrameInsets(*w);
    r = {r.left + in.left, r.top + in.top, std::max(r.left + in.left, r.right - in.right),
         std::max(r.top + in.top, r.bottom - in.bottom)};
  }
  Region area = Region::FromRect(r);
  // Clipped by every ancestor's client area.
  for (Window* a = (w->style & WS_CHILD) ? Get(w->parent) : nullptr; a;
       a = (a->style & WS_CHILD) ? Get(a->parent) : nullptr) {
    POINT ao = ClientOriginInRoot(a->hwnd);
    RECT in = FrameInsets(*a);
    RECT ar{ao.x, ao.y, ao.x + std::max(0, int(Width(a->rect) - in.left - in.right)),
            ao.y + std::max(0, int(Height(a->rect) - in.top - in.bottom))};
    area = area.Intersect(Region::FromRect(ar));
  }
  if (excludeChildren) {
    for (HWND c : w->children) {
      Window* cw = Get(c);
      if (!cw || !(cw->style & WS_VISIBLE)) continue;
      POINT co = WindowOriginInRoot(c);
      area = area.Subtract(Region::FromRect({co.x, co.y, co.x + Width(cw->rect), co.y + Height(cw->rect)}));
    }
  }
  return area;
}

std::shared_ptr<Surface> BackingOf(HWND wnd) {
  HWND root = Root(wnd);
  Window* r = Get(root);
  if (!r) return nullptr;
  int w = std::max(1, int(Width(r->rect))), h = std::max(1, int(Height(r->rect)));
  if (!r->backing || r->backing->width != w || r->backing->height != h) {
    r->backing = std::make_shared<Surface>(w, h);
  }
  return r->backing;
}

void NotifyCommand(HWND control, UINT code) {
  Window* w = Get(control);
  if (!w) return;
  HWND parent = w->parent ? w->parent : w->owner;
  if (parent) SendMessage(parent, WM_COMMAND, MAKEWPARAM(WORD(w->id), WORD(code)), LPARAM(control));
}

LRESULT NotifyParent(HWND control, NMHDR* header, UINT code) {
  Window* w = Get(control);
  if (!w) return 0;
  header->hwndFrom = control;
  header->idFrom = w->id;
  header->code = code;
  HWND parent = w->parent ? w->parent : w->owner;
  return parent ? SendMessage(parent, WM_NOTIFY, WPARAM(w->id), LPARAM(header)) : 0;
}

HFONT WindowFont(HWND wnd) {
  HFONT f = reinterpret_cast<HFONT>(SendMessage(wnd, WM_GETFONT, 0, 0));
  return f ? f : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

bool KeyIsDown(UINT vk);

namespace {

void EnsureInit() {
  System& s = Sys();
  if (s.initialised) return;
  s.initialised = true;
  // Keeps handle 1 away from windows: HWND_BOTTOM is (HWND)1.
  EnsureHandleFloor();
  RegisterBuiltInClasses();
  RegisterDialogClass();
}

void RemoveFromParent(Window* w) {
  if (w->style & WS_CHILD) {
    if (Window* p = Get(w->parent))
      p->children.erase(std::remove(p->children.begin(), p->children.end(), w->hwnd), p->children.end());
  } else {
    auto& t = Sys().topLevel;
    t.erase(std::remove(t.begin(), t.end(), w->hwnd), t.end());
  }
}

void DestroyTree(HWND wnd, std::vector<HWND>& order) {
  Window* w = Get(wnd);
  if (!w || w->destroying) return;
  w->destroying = true;
  SendMessage(wnd, WM_DESTROY, 0, 0);
  std::vector<HWND> kids = Get(wnd) ? Get(wnd)->children : std::vector<HWND>{};
  for (HWND c : kids) DestroyTree(c, order);
  order.push_back(wnd);
}

bool IsButtonPress(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: return true;
    default: return false;
  }
}

}  // namespace
}  // namespace win::detail

using namespace win::detail;

// ---- Classes --------------------------------------------------------------------------------------------------------
ATOM RegisterClass(const WNDCLASS* cls) {
  if (!cls || !cls->lpszClassName || !cls->lpfnWndProc) return 0;
  std::string key = Lower(cls->lpszClassName);
  if (Sys().classes.count(key)) return 0;
  WindowClass c;
  c.name = cls->lpszClassName;
  c.style = cls->style;
  c.proc = cls->lpfnWndProc;
  c.background = cls->hbrBackground;
  c.cursor = cls->hCursor;
  c.wndExtra = cls->cbWndExtra;
  Sys().classes[key] = c;
  return ATOM(Sys().classes.size());
}

ATOM RegisterClassEx(const WNDCLASSEX* cls) {
  if (!cls) return 0;
  WNDCLASS c{cls->style, cls->lpfnWndProc, cls->cbClsExtra,    cls->cbWndExtra,   cls->hInstance,
             cls->hIcon, cls->hCursor,     cls->hbrBackground, cls->lpszMenuName, cls->lpszClassName};
  return RegisterClass(&c);
}

BOOL UnregisterClass(LPCSTR name, HINSTANCE) { return name && Sys().classes.erase(Lower(name)) ? TRUE : FALSE; }

BOOL GetClassInfo(HINSTANCE, LPCSTR name, WNDCLASS* out) {
  EnsureInit();
  if (!name || IS_INTRESOURCE(name)) return FALSE;
  auto it = Sys().classes.find(Lower(name));
  if (it == Sys().classes.end()) return FALSE;
  if (out) {
    *out = WNDCLASS{};
    out->style = it->second.style;
    out->lpfnWndProc = it->second.proc;
    out->hbrBackground = it->second.background;
    out->hCursor = it->second.cursor;
    out->cbWndExtra = it->second.wndExtra;
    out->lpszClassName = it->second.name.c_str();
  }
  return TRUE;
}

BOOL GetClassInfoEx(HINSTANCE inst, LPCSTR name, WNDCLASSEX* out) {
  WNDCLASS c;
  if (!GetClassInfo(inst, name, &c)) return FALSE;
  if (out) {
    *out = WNDCLASSEX{};
    out->cbSize = sizeof(WNDCLASSEX);
    out->style = c.style;
    out->lpfnWndProc = c.lpfnWndProc;
    out->hbrBackground = c.hbrBackground;
    out->hCursor = c.hCursor;
    out->lpszClassName = c.lpszClassName;
  }
  return TRUE;
}

int GetClassName(HWND wnd, LPSTR out, int max) {
  Window* w = Get(wnd);
  if (!w || !out || max <= 0) return 0;
  std::size_t n = std::min<std::size_t>(w->className.size(), std::size_t(max - 1));
  std::memcpy(out, w->className.data(), n);
  out[n] = 0;
  return int(n);
}

// ---- Creation and destruction ----------------------------------------------------------------------------------
HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height,
                    HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param) {
  EnsureInit();
  if (!className || IS_INTRESOURCE(className)) return nullptr;
  auto it = Sys().classes.find(Lower(className));
  if (it == Sys().classes.end()) return nullptr;
  if ((style & WS_CHILD) && !Get(parent)) return nullptr;
  if (parent && !Get(parent)) return nullptr;
  if (x == CW_USEDEFAULT) x = 0;
  if (y == CW_USEDEFAULT) y = 0;
  if (width == CW_USEDEFAULT) width = 300;
  if (height == CW_USEDEFAULT) height = 200;

  auto owned = std::make_unique<Window>();
  Window* w = owned.get();
  int handle = win::RegisterHandle(w, typeid(Window));
  w->hwnd = reinterpret_cast<HWND>(std::intptr_t(handle));
  w->className = it->second.name;
  w->classStyle = it->second.style;
  w->classBackground = it->second.background;
  w->classCursor = it->second.cursor;
  w->proc = it->second.proc;
  if (w->proc == &DefDlgProc) w->dialog = std::make_unique<DialogState>();
  w->style = style;
  w->exStyle = exStyle;
  w->text = title ? win::detail::ValidUtf8(title) : "";
  w->instance = instance;
  if (style & WS_CHILD) {
    w->parent = parent;
    w->id = reinterpret_cast<UINT_PTR>(menuOrId);
  } else {
    w->owner = parent ? Root(parent) : nullptr;
    w->menu = menuOrId;
  }
  w->rect = {x, y, x + std::max(0, width), y + std::max(0, height)};
  // Scroll bars named in the style are there from the start.
  w->vscroll.shown = style & WS_VSCROLL;
  w->hscroll.shown = style & WS_HSCROLL;
  HWND hwnd = w->hwnd;
  Sys().windows.emplace(reinterpret_cast<std::uintptr_t>(hwnd), std::move(owned));
  if (style & WS_CHILD)
    Get(parent)->children.push_back(hwnd);
  else
    Sys().topLevel.push_back(hwnd);

  CREATESTRUCT cs{param, instance, menuOrId, parent, height, width, y, x, LONG(style), title, className, exStyle};
  if (g_createHook) g_createHook(hwnd, &cs);
  bool visible = (style & WS_VISIBLE) != 0;
  if (Window* ww = Get(hwnd)) ww->style &= ~WS_VISIBLE;
  if (!SendMessage(hwnd, WM_NCCREATE, 0, LPARAM(&cs)) || !Get(hwnd)) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (SendMessage(hwnd, WM_CREATE, 0, LPARAM(&cs)) == -1 || !Get(hwnd)) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!Get(hwnd)) return nullptr;
  RECT rc;
  GetClientRect(hwnd, &rc);
  SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(WORD(rc.right), WORD(rc.bottom)));
  SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(WORD(x), WORD(y)));
  if ((style & WS_CHILD) && !(exStyle & WS_EX_NOPARENTNOTIFY) && Get(parent))
    SendMessage(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, WORD(Get(hwnd)->id)), LPARAM(hwnd));
  if (visible && Get(hwnd)) ShowWindow(hwnd, SW_SHOW);
  return Get(hwnd) ? hwnd : nullptr;
}

HWND CreateWindow(LPCSTR className, LPCSTR title, DWORD style, int x, int y, int w, int h, HWND parent, HMENU menu,
                  HINSTANCE instance, LPVOID param) {
  return CreateWindowEx(0, className, title, style, x, y, w, h, parent, menu, instance, param);
}

BOOL DestroyWindow(HWND wnd) {
  Window* w = Get(wnd);
  if (!w) return FALSE;
  if (w->destroying) return TRUE;
  System& s = Sys();
  // Owned pop-ups go first.
  if (!(w->style & WS_CHILD)) {
    std::vector<HWND> owned;
    for (HWND t : s.topLevel)
      if (Window* tw = Get(t); tw && tw->owner == wnd) owned.push_back(t);
    for (HWND o : owned) DestroyWindow(o);
  }
  if (!Get(wnd)) return TRUE;
  if (IsWindowVisible(wnd) || (Get(wnd)->style & WS_VISIBLE)) {
    Window* ww = Get(wnd);
    ww->style &= ~WS_VISIBLE;
    InvalidateParentArea(ww);
  }
  if (s.focus && (s.focus == wnd || IsChild(wnd, s.focus))) {
    HWND old = s.focus;
    s.focus = nullptr;
    SendMessage(old, WM_KILLFOCUS, 0, 0);
  }
  if (s.capture && (s.capture == wnd || IsChild(wnd, s.capture))) ReleaseCapture();
  std::vector<HWND> order;
  DestroyTree(wnd, order);
  // WM_NCDESTROY goes to children before their parents.
  for (HWND h : order) {
    if (!Get(h)) continue;
    s.timers.erase(std::remove_if(s.timers.begin(), s.timers.end(), [h](const Timer& t) { return t.wnd == h; }),
                   s.timers.end());
    SendMessage(h, WM_NCDESTROY, 0, 0);
    if (g_destroyHook) g_destroyHook(h);
    Window* hw = Get(h);
    if (!hw) continue;
    if (s.active == h) s.active = nullptr;
    if (s.focus == h) s.focus = nullptr;
    RemoveFromParent(hw);
    win::ReleaseHandle(int(reinterpret_cast<std::intptr_t>(h)));
    auto node = s.windows.extract(reinterpret_cast<std::uintptr_t>(h));
    // The temporary MFC wrapper may refer to the window while it goes; it is destroyed last.
  }
  s.queue.erase(std::remove_if(s.queue.begin(), s.queue.end(), [](const MSG& m) { return m.hwnd && !Get(m.hwnd); }),
                s.queue.end());
  return TRUE;
}

BOOL IsWindow(HWND wnd) { return Get(wnd) && !Get(wnd)->destroying ? TRUE : FALSE; }

BOOL IsWindowVisible(HWND wnd) { return IsVisibleTree(wnd) ? TRUE : FALSE; }

BOOL IsWindowEnabled(HWND wnd) {
  Window* w = Get(wnd);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND wnd, BOOL enable) {
  Window* w = Get(wnd);
  if (!w) return FALSE;
  BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
  if (bool(enable) == !wasDisabled) return wasDisabled;
  if (enable)
    w->style &= ~WS_DISABLED;
  else
    w->style |= WS_DISABLED;
  if (!enable && Sys().focus && (Sys().focus == wnd || IsChild(wnd, Sys().focus))) SetFocus(nullptr);
  SendMessage(wnd, WM_ENABLE, enable, 0);
  InvalidateRect(wnd, nullptr, TRUE);
  return wasDisabled;
}

BOOL ShowWindow(HWND wnd, int cmd) {
  Window* w = Get(wnd);
  if (!w) return FALSE;
  BOOL was = (w->style & WS_VISIBLE) ? TRUE : FALSE;
  bool show = cmd != SW_HIDE;
  if (bool(was) == show) return was;
  SendMessage(wnd, WM_SHOWWINDOW, show, 0);
  w = Get(wnd);
  if (!w) return was;
  if (show) {
    w->style |= WS_VISIBLE;
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    if (!(w->style & WS_CHILD) && cmd != SW_SHOWNOACTIVATE && cmd != SW_SHOWNA && !(w->exStyle & WS_EX_NOACTIVATE))
      SetActiveWindow(wnd);
  } else {
    if (Sys().focus && (Sys().focus == wnd || IsChild(wnd, Sys().focus))) {
      HWND old = Sys().focus;
      Sys().focus = nullptr;
      SendMessage(old, WM_KILLFOCUS, 0, 0);
    }
    w->style &= ~WS_VISIBLE;
    InvalidateParentArea(w);
    if (Sys().active == wnd) Sys().active = nullptr;
  }
  return was;
}

BOOL IsChild(HWND parent, HWND wnd) {
  Window* w = Get(wnd);
  while (w && (w->style & WS_CHILD)) {
    if (w->parent == parent) return TRUE;
    w = Get(w->parent);
  }
  return FALSE;
}

BOOL IsIconic(HWND) { return FALSE; }
BOOL IsZoomed(HWND wnd) { return Get(wnd) && Get(wnd)->maximized; }

HWND GetParent(HWND wnd) {
  Window* w = Get(wnd);
  if (!w) return nullptr;
  return (w->style & WS_CHILD) ? w->parent : w->owner;
}

HWND SetParent(HWND wnd, HWND parent) {
  Window* w = Get(wnd);
  if (!w) return nullptr;
  HWND old = GetParent(wnd);
  if (w->style & WS_CHILD) {
    if (!Get(parent)) return nullptr;
    RemoveFromParent(w);
    w->parent = parent;
    Get(parent)->children.push_back(wnd);
  } else {
    w->owner = parent;
  }
  return old;
}

HWND GetAncestor(HWND wnd, UINT flags) {
  if (!Get(wnd)) return nullptr;
  if (flags == GA_PARENT) return (Get(wnd)->style & WS_CHILD) ? Get(wnd)->parent : nullptr;
  HWND r = Root(wnd);
  if (flags == GA_ROOTOWNER)
    while (Get(r) && Get(r)->owner) r = Root(Get(r)->owner);
  return r;
}

HWND GetWindow(HWND wnd, UINT cmd) {
  Window* w = Get(wnd);
  if (!w) return nullptr;
  if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (cmd == GW_OWNER) return (w->style & WS_CHILD) ? nullptr : w->owner;
  const std::vector<HWND>& sib = (w->style & WS_CHILD) ? Get(w->parent)->children : Sys().topLevel;
  auto it = std::find(sib.begin(), sib.end(), wnd);
  if (it == sib.end()) return nullptr;
  switch (cmd) {
    case GW_HWNDFIRST: return sib.front();
    case GW_HWNDLAST: return sib.back();
    case GW_HWNDNEXT: return std::next(it) == sib.end() ? nullptr : *std::next(it);
    case GW_HWNDPREV: return it == sib.begin() ? nullptr : *std::prev(it);
    default: return nullptr;
  }
}

HWND GetTopWindow(HWND wnd) {
  if (!wnd) return Sys().topLevel.empty() ? nullptr : Sys().topLevel.front();
  return GetWindow(wnd, GW_CHILD);
}
HWND GetNextWindow(HWND wnd, UINT cmd) { return GetWindow(wnd, cmd); }
HWND GetDesktopWindow() { return nullptr; }

HWND GetDlgItem(HWND dialog, int id) {
  Window* w = Get(dialog);
  if (!w) return nullptr;
  for (HWND c : w->children)
    if (Window* cw = Get(c); cw && int(cw->id) == id) return c;
  return nullptr;
}

int GetDlgCtrlID(HWND wnd) {
  Window* w = Get(wnd);
  return w && (w->style & WS_CHILD) ? int(w->id) : 0;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param) {
  Window* w = Get(parent);
  if (!w || !proc) return FALSE;
  std::vector<HWND> kids = w->children;
  for (HWND c : kids) {
    if (!Get(c)) continue;
    if (!proc(c, param)) return FALSE;
    if (!EnumChildWindows(c, proc, param) && Get(c) && !Get(c)->children.empty()) return FALSE;
  }
  return TRUE;
}

LONG_PTR GetWindowLongPtr(HWND wnd, int index) {
  Window* w = Get(wnd);
  if (!w) return 0;
  switch (index) {
    case GWL_STYLE: return LONG_PTR(LONG(w->style));
    case GWL_EXSTYLE: return LONG_PTR(LONG(w->exStyle));
    case GWLP_ID: return LONG_PTR(w->id);
    case GWLP_USERDATA: return w->userData;
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(GetParent(wnd));
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    default: break;
  }
  if (w->dialog) {
    if (index == DWLP_MSGRESULT) return w->dialog->msgResult;
    if (index == DWLP_DLGPROC) return reinterpret_cast<LONG_PTR>(w->dialog->proc);
    if (index == DWLP_USER) return w->dialog->user;
  }
  return 0;
}

LONG_PTR SetWindowLongPtr(HWND wnd, int index, LONG_PTR value) {
  Window* w = Get(wnd);
  if (!w) return 0;
  LONG_PTR old = GetWindowLongPtr(wnd, index);
  switch (index) {
    case GWL_STYLE: {
      DWORD newStyle = DWORD(value);
      bool vis = newStyle & WS_VISIBLE, wasVis = w->style & WS_VISIBLE;
      w->style = (newStyle & ~WS_VISIBLE) | (w->style & WS_VISIBLE);
      if (vis != wasVis) ShowWindow(wnd, vis ? SW_SHOWNA : SW_HIDE);
      SendMessage(wnd, WM_STYLECHANGED, WPARAM(GWL_STYLE), 0);
      return old;
    }
    case GWL_EXSTYLE: w->exStyle = DWORD(value); return old;
    case GWLP_ID: w->id = UINT_PTR(value); return old;
    case GWLP_USERDATA: w->userData = value; return old;
    case GWLP_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); return old;
    case GWLP_HWNDPARENT: SetParent(wnd, reinterpret_cast<HWND>(value)); return old;
    default: break;
  }
  if (w->dialog) {
    if (index == DWLP_MSGRESULT) w->dialog->msgResult = value;
    if (index == DWLP_DLGPROC) w->dialog->proc = reinterpret_cast<DLGPROC>(value);
    if (index == DWLP_USER) w->dialog->user = value;
  }
  return old;
}

LONG GetWindowLong(HWND wnd, int index) { return LONG(GetWindowLongPtr(wnd, index)); }
LONG SetWindowLong(HWND wnd, int index, LONG value) { return LONG(SetWindowLongPtr(wnd, index, value)); }

BOOL SetProp(HWND wnd, LPCSTR name, HANDLE value) {
  Window* w = Get(wnd);
  if (!w || !name) return FALSE;
  w->props[name] = value;
  return TRUE;
}
HANDLE GetProp(HWND wnd, LPCSTR name) {
  Window* w = Get(wnd);
  if (!w || !name) return nullptr;
  auto it = w->props.find(name);
  return it == w->props.end() ? nullptr : it->second;
}
HANDLE RemoveProp(HWND wnd, LPCSTR name) {
  HANDLE h = GetProp(wnd, name);
  if (Window* w = Get(wnd); w && name) w->props.erase(name);
  return h;
}

int GetWindowText(HWND wnd, LPSTR out, int max) {
  if (!out || max <= 0) return 0;
  out[0] = 0;
  return int(SendMessage(wnd, WM_GETTEXT, WPARAM(max), LPARAM(out)));
}
int GetWindowTextLength(HWND wnd) { return int(SendMessage(wnd, WM_GETTEXTLENGTH, 0, 0)); }
BOOL SetWindowText(HWND wnd, LPCSTR text) {
  return SendMessage(wnd, WM_SETTEXT, 0, LPARAM(text ? text : "")) ? TRUE : FALSE;
}

// ---- Geometry ---------------------------------------------------------------------------------------------------
BOOL GetClientRect(HWND wnd, LPRECT out) {
  Window* w = Get(wnd);
  if (!w || !out) return FALSE;
  RECT in = FrameInsets(*w);
  *out = {0, 0, std::max(0, int(Width(w->rect) - in.left - in.right)),
          std::max(0, int(Height(w->rect) - in.top - in.bottom))};
  return TRUE;
}

BOOL GetWindowRect(HWND wnd, LPRECT out) {
  Window* w = Get(wnd);
  if (!w || !out) return FALSE;
  POINT o = WindowOriginInRoot(wnd);
  Window* r = Get(Root(wnd));
  *out = {r->rect.left + o.x, r->rect.top + o.y, r->rect.left + o.x + Width(w->rect),
          r->rect.top + o.y + Height(w->rect)};
  return TRUE;
}

BOOL ClientToScreen(HWND wnd, LPPOINT pt) {
  Window* w = Get(wnd);
  if (!w || !pt) return FALSE;
  POINT o = ClientOriginInRoot(wnd);
  Window* r = Get(Root(wnd));
  pt->x += o.x + r->rect.left;
  pt->y += o.y + r->rect.top;
  return TRUE;
}

BOOL ScreenToClient(HWND wnd, LPPOINT pt) {
  Window* w = Get(wnd);
  if (!w || !pt) return FALSE;
  POINT o = ClientOriginInRoot(wnd);
  Window* r = Get(Root(wnd));
  pt->x -= o.x + r->rect.left;
  pt->y -= o.y + r->rect.top;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  POINT d{0, 0};
  if (from) ClientToScreen(from, &d);
  POINT e{0, 0};
  if (to) ClientToScreen(to, &e);
  int dx = d.x - e.x, dy = d.y - e.y;
  for (UINT i = 0; i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  return MAKELONG(WORD(dx), WORD(dy));
}

BOOL SetWindowPos(HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Window* w = Get(wnd);
  if (!w) return FALSE;
  WINDOWPOS pos{wnd, insertAfter, x, y, cx, cy, flags};
  if (flags & SWP_NOMOVE) {
    pos.x = w->rect.left;
    pos.y = w->rect.top;
  }
  if (flags & SWP_NOSIZE) {
    pos.cx = Width(w->rect);
    pos.cy = Height(w->rect);
  }
  SendMessage(wnd, WM_WINDOWPOSCHANGING, 0, LPARAM(&pos));
  w = Get(wnd);
  if (!w) return FALSE;
  RECT old = w->rect;
  RECT now{pos.x, pos.y, pos.x + std::max(0, pos.cx), pos.y + std::max(0, pos.cy)};
  bool moved = old.left != now.left || old.top != now.top;
  bool sized = Width(old) != Width(now) || Height(old) != Height(now);
  if ((moved || sized) && (w->style & WS_VISIBLE)) InvalidateParentArea(w);
  w->rect = now;
  if (!(flags & SWP_NOZORDER) && (w->style & WS_CHILD)) {
    auto& sib = Get(w->parent)->children;
    sib.erase(std::remove(sib.begin(), sib.end(), wnd), sib.end());
    if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST) {
      sib.insert(sib.begin(), wnd);
    } else if (insertAfter == HWND_BOTTOM || insertAfter == HWND_NOTOPMOST) {
      sib.push_back(wnd);
    } else {
      auto it = std::find(sib.begin(), sib.end(), insertAfter);
      sib.insert(it == sib.end() ? sib.end() : std::next(it), wnd);
    }
  }
  SendMessage(wnd, WM_WINDOWPOSCHANGED, 0, LPARAM(&pos));
  if (!Get(wnd)) return TRUE;
  if (moved) SendMessage(wnd, WM_MOVE, 0, MAKELPARAM(WORD(now.left), WORD(now.top)));
  if (sized) {
    RECT rc;
    GetClientRect(wnd, &rc);
    const bool zoomed = Get(wnd) && Get(wnd)->maximized;
    SendMessage(wnd, WM_SIZE, zoomed ? SIZE_MAXIMIZED : SIZE_RESTORED, MAKELPARAM(WORD(rc.right), WORD(rc.bottom)));
  }
  if (flags & SWP_SHOWWINDOW) ShowWindow(wnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindow(wnd, SW_HIDE);
  if ((moved || sized || (flags & SWP_FRAMECHANGED)) && !(flags & SWP_NOREDRAW) && Get(wnd))
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return TRUE;
}

BOOL MoveWindow(HWND wnd, int x, int y, int w, int h, BOOL repaint) {
  return SetWindowPos(wnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND wnd) { return SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

namespace {
HWND DeepestAt(HWND wnd, POINT screen) {
  Window* w = Get(wnd);
  if (!w || !(w->style & WS_VISIBLE)) return nullptr;
  RECT wr;
  GetWindowRect(wnd, &wr);
  if (!PtInRect(&wr, screen)) return nullptr;
  for (HWND c : w->children) {
    Window* cw = Get(c);
    if (!cw || !(cw->style & WS_VISIBLE)) continue;
    RECT cr;
    GetWindowRect(c, &cr);
    if (!PtInRect(&cr, screen)) continue;
    HWND hit = DeepestAt(c, screen);
    if (!hit) continue;
    // Static texts and group boxes let the mouse through to what lies under them.
    if (SendMessage(hit, WM_NCHITTEST, 0, MAKELPARAM(WORD(screen.x), WORD(screen.y))) == HTTRANSPARENT) continue;
    return hit;
  }
  return wnd;
}
}  // namespace

HWND WindowFromPoint(POINT pt) {
  auto tops = Sys().topLevel;
  // The most recently created top-level window lies on top.
  for (auto it = tops.rbegin(); it != tops.rend(); ++it)
    if (HWND h = DeepestAt(*it, pt)) return h;
  return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt) {
  Window* w = Get(parent);
  if (!w) return nullptr;
  RECT rc;
  GetClientRect(parent, &rc);
  if (!PtInRect(&rc, pt)) return nullptr;
  for (HWND c : w->children) {
    Window* cw = Get(c);
    if (cw && PtInRect(&cw->rect, pt)) return c;
  }
  return parent;
}

HMENU GetMenu(HWND wnd) { return Get(wnd) && !(Get(wnd)->style & WS_CHILD) ? Get(wnd)->menu : nullptr; }
BOOL SetMenu(HWND wnd, HMENU menu) {
  if (!Get(wnd)) return FALSE;
  Get(wnd)->menu = menu;
  return TRUE;
}
BOOL DrawMenuBar(HWND wnd) { return IsWindow(wnd); }

// ---- Messages ---------------------------------------------------------------------------------------------------------
LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w || !w->proc) return 0;
  System& s = Sys();
  MSG saved = s.current;
  s.current = MSG{wnd, msg, wParam, lParam, ClockNow(), {}};
  GetCursorPos(&s.current.pt);
  ++s.sendDepth;
  struct Restore {
    System& s;
    MSG saved;
    ~Restore() {
      --s.sendDepth;
      s.current = saved;
    }
  } restore{s, saved};
  return w->proc(wnd, msg, wParam, lParam);
}

BOOL PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (wnd && !Get(wnd)) return FALSE;
  MSG m{wnd, msg, wParam, lParam, ClockNow(), {}};
  GetCursorPos(&m.pt);
  Sys().queue.push_back(m);
  return TRUE;
}

void win::detail::PostMessageFront(const MSG& msg) {
  if (msg.hwnd && !Get(msg.hwnd)) return;
  Sys().queue.push_front(msg);
}

void PostQuitMessage(int code) {
  MSG m{nullptr, WM_QUIT, WPARAM(code), 0, ClockNow(), {}};
  Sys().queue.push_back(m);
}

namespace {
bool InFilter(const MSG& m, HWND wnd, UINT first, UINT last) {
  if (wnd && m.hwnd != wnd && !IsChild(wnd, m.hwnd)) return false;
  if (first == 0 && last == 0) return true;
  return m.message >= first && m.message <= last;
}

// Due timers become WM_TIMER messages, one pending per timer.
void GenerateTimers() {
  System& s = Sys();
  for (Timer& t : s.timers) {
    if (ClockNow() < t.due) continue;
    bool pending = std::any_of(s.queue.begin(), s.queue.end(), [&](const MSG& m) {
      return m.message == WM_TIMER && m.hwnd == t.wnd && m.wParam == t.id;
    });
    t.due = ClockNow() + std::max<UINT>(t.elapse, 1);
    if (pending) continue;
    s.queue.push_back(MSG{t.wnd, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), ClockNow(), {}});
  }
}
}  // namespace

BOOL PeekMessage(LPMSG msg, HWND wnd, UINT first, UINT last, UINT remove) {
  System& s = Sys();
  GenerateTimers();
  for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
    if (!InFilter(*it, wnd, first, last)) continue;
    if (msg) *msg = *it;
    if (remove & PM_REMOVE) s.queue.erase(it);
    return TRUE;
  }
  // With the queue empty, pending paints happen, as the system hands out WM_PAINT last. Without a screen nobody
  // sees them: the windows stay marked until they are pictured, printed or pumped by win::PumpMessages.
  if (s.screen && (remove & PM_REMOVE) && !wnd && first == 0 && last == 0)
    for (HWND t : std::vector<HWND>(s.topLevel))
      if (Get(t) && (Get(t)->style & WS_VISIBLE)) PaintTree(t, false);
  return FALSE;
}

BOOL GetMessage(LPMSG msg, HWND wnd, UINT first, UINT last) {
  if (PeekMessage(msg, wnd, first, last, PM_REMOVE)) return msg->message != WM_QUIT;
  // On a screen the next message comes from the user or a timer.
  while (Sys().screen) {
    Sys().screen->Present();
    if (!Sys().screen->WaitForInput(win::NextTimerDelay())) break;
    if (PeekMessage(msg, wnd, first, last, PM_REMOVE)) return msg->message != WM_QUIT;
  }
  // Nothing would ever arrive: a headless loop must not wait.
  win::script::ModalRecord r;
  r.kind = "message loop";
  r.caption = "GetMessage with an empty queue";
  Unscripted(r);
  if (msg) *msg = MSG{nullptr, WM_QUIT, 0, 0, ClockNow(), {}};
  return FALSE;
}

namespace {
std::map<HWND, std::vector<HWND>>& Relays() {
  static auto* r = new std::map<HWND, std::vector<HWND>>;
  return *r;
}
}  // namespace

void win::detail::AddRelay(HWND tool, HWND tip) {
  auto& v = Relays()[tool];
  if (std::find(v.begin(), v.end(), tip) == v.end()) v.push_back(tip);
}

void win::detail::RemoveRelay(HWND tool, HWND tip) {
  auto it = Relays().find(tool);
  if (it == Relays().end()) return;
  it->second.erase(std::remove(it->second.begin(), it->second.end(), tip), it->second.end());
  if (it->second.empty()) Relays().erase(it);
}

void win::detail::MouseLeftWindow(HWND wnd) {
  auto it = Relays().find(wnd);
  if (it == Relays().end()) return;
  for (HWND tip : std::vector<HWND>(it->second))
    if (Get(tip)) SendMessage(tip, TTM_POP, 0, 0);
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message >= WM_MOUSEMOVE && msg->message <= WM_MBUTTONDBLCLK) {
    auto it = Relays().find(msg->hwnd);
    if (it != Relays().end())
      for (HWND tip : std::vector<HWND>(it->second))
        if (Get(tip)) SendMessage(tip, TTM_RELAYEVENT, 0, LPARAM(msg));
  }
  if (msg->message == WM_TIMER && msg->lParam) {
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, ClockNow());
    return 0;
  }
  if (!msg->hwnd) return 0;
  System& s = Sys();
  MSG saved = s.current;
  s.current = *msg;
  Window* w = Get(msg->hwnd);
  // A modal window that opens while the window handles a button press ends the press (CancelModes).
  InputState& in = In();
  const bool press = IsButtonPress(msg->message);
  const HWND outerPressed = in.pressed;
  const bool outerCancelled = in.pressCancelled;
  if (press) {
    in.pressed = msg->hwnd;
    in.pressCancelled = false;
  }
  LRESULT r = (w && w->proc) ? w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
  s.current = saved;
  if (press) {
    const bool cancelled = in.pressCancelled;
    in.pressed = outerPressed;
    in.pressCancelled = outerCancelled;
    // What the window started once the modal window had gone (a capture, a drag) belongs to a press that is over:
    // its release came while the modal window was open.
    if (cancelled && GetCapture() == msg->hwnd) {
      SendMessage(msg->hwnd, WM_CANCELMODE, 0, 0);
      if (GetCapture() == msg->hwnd) ReleaseCapture();
    }
  }
  return r;
}

LRESULT CallWindowProc(WNDPROC proc, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(wnd, msg, wParam, lParam) : 0;
}

DWORD GetMessagePos() { return MAKELONG(WORD(Sys().current.pt.x), WORD(Sys().current.pt.y)); }
LONG GetMessageTime() { return LONG(Sys().current.time); }
BOOL InSendMessage() { return Sys().sendDepth > 0; }

UINT RegisterWindowMessage(LPCSTR name) {
  if (!name) return 0;
  auto& m = Sys().registeredMessages;
  auto it = m.find(name);
  if (it != m.end()) return it->second;
  return m[name] = Sys().nextRegisteredMessage++;
}

// ---- Focus, activation, capture -----------------------------------------------------------------------------------
HWND SetFocus(HWND wnd) {
  System& s = Sys();
  HWND old = s.focus;
  if (wnd && !Get(wnd)) return nullptr;
  if (wnd == old) return old;
  if (wnd) {
    HWND root = Root(wnd);
    if (s.active != root) SetActiveWindow(root);
  }
  s.focus = wnd;
  if (old && Get(old)) SendMessage(old, WM_KILLFOCUS, WPARAM(wnd), 0);
  // The window losing the focus may have moved it on already.
  if (s.focus != wnd) return old;
  if (wnd && Get(wnd)) SendMessage(wnd, WM_SETFOCUS, WPARAM(old), 0);
  return old;
}

HWND GetFocus() { return Get(Sys().focus) ? Sys().focus : nullptr; }

HWND SetActiveWindow(HWND wnd) {
  System& s = Sys();
  HWND old = s.active;
  if (wnd) wnd = Root(wnd);
  if (wnd == old) return old;
  s.active = wnd;
  if (old && Get(old)) SendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), LPARAM(wnd));
  if (wnd && Get(wnd)) {
    SendMessage(wnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), LPARAM(old));
    // DefWindowProc gives an activated window the focus when none of its windows has it.
    if (Get(wnd) && (!s.focus || Root(s.focus) != wnd) && s.active == wnd) {
      if (Get(wnd)->dialog) {
        HWND saved = Get(wnd)->dialog->savedFocus;
        if (Get(saved) && IsChild(wnd, saved)) SetFocus(saved);
      } else if (!Get(wnd)->cwnd) {
        SetFocus(wnd);
      }
    }
  }
  return old;
}

HWND GetActiveWindow() { return Get(Sys().active) ? Sys().active : nullptr; }
BOOL SetForegroundWindow(HWND wnd) {
  SetActiveWindow(wnd);
  return IsWindow(wnd);
}
HWND GetForegroundWindow() { return GetActiveWindow(); }

HWND SetCapture(HWND wnd) {
  System& s = Sys();
  HWND old = s.capture;
  if (old == wnd) return old;
  s.capture = Get(wnd) ? wnd : nullptr;
  if (old && Get(old)) SendMessage(old, WM_CAPTURECHANGED, 0, LPARAM(s.capture));
  return old;
}

BOOL ReleaseCapture() {
  System& s = Sys();
  HWND old = s.capture;
  s.capture = nullptr;
  if (old && Get(old)) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return Get(Sys().capture) ? Sys().capture : nullptr; }

void win::detail::CancelModes() {
  InputState& s = In();
  const HWND holder = GetCapture();
  if (holder) {
    SendMessage(holder, WM_CANCELMODE, 0, 0);
    if (GetCapture()) ReleaseCapture();
  }
  if (s.pressed && !s.pressCancelled) {
    s.pressCancelled = true;
    if (s.pressed != holder && Get(s.pressed)) SendMessage(s.pressed, WM_CANCELMODE, 0, 0);
  }
}

win::detail::FocusKeeper::FocusKeeper(HWND owner) : owner_(owner) {
  const HWND focus = GetFocus();
  if (!focus || (owner && focus != owner && !IsChild(owner, focus))) return;
  for (HWND h = focus; h; h = h == owner ? nullptr : GetParent(h)) chain_.push_back(h);
  // The owner's activation gives the focus back first: to this window, not to one it had earlier.
  if (Window* o = Get(owner ? Root(owner) : nullptr); o && o->dialog) o->dialog->savedFocus = focus;
}

void win::detail::FocusKeeper::Restore() const {
  if (owner_ && !IsWindow(owner_)) return;
  for (HWND h : chain_)
    if (IsWindow(h) && IsWindowVisible(h) && IsWindowEnabled(h)) {
      if (GetFocus() != h) SetFocus(h);
      return;
    }
}

// ---- Timers -----------------------------------------------------------------------------------------------------------
UINT_PTR SetTimer(HWND wnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  System& s = Sys();
  if (wnd && !Get(wnd)) return 0;
  if (!wnd) id = s.nextTimerId++ + 0x10000;
  for (Timer& t : s.timers)
    if (t.wnd == wnd && t.id == id) {
      t.elapse = elapse;
      t.due = ClockNow() + std::max<UINT>(elapse, 1);
      t.proc = proc;
      return wnd ? (id ? id : 1) : id;
    }
  s.timers.push_back(Timer{wnd, id, elapse, ClockNow() + std::max<UINT>(elapse, 1), proc});
  return wnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND wnd, UINT_PTR id) {
  System& s = Sys();
  auto before = s.timers.size();
  s.timers.erase(
      std::remove_if(s.timers.begin(), s.timers.end(), [&](const Timer& t) { return t.wnd == wnd && t.id == id; }),
      s.timers.end());
  s.queue.erase(std::remove_if(s.queue.begin(), s.queue.end(),
                               [&](const MSG& m) { return m.message == WM_TIMER && m.hwnd == wnd && m.wParam == id; }),
                s.queue.end());
  return before != s.timers.size();
}

DWORD GetTickCount() { return ClockNow(); }

// ---- The headless interface -----------------------------------------------------------------------------------------------
namespace win {

DWORD Now() { return detail::ClockNow(); }

Screen* SetScreen(Screen* screen) { return std::exchange(detail::Sys().screen, screen); }
Screen* CurrentScreen() { return detail::Sys().screen; }

namespace {
bool g_nothingShown = false;
}  // namespace
void SetNothingShown(bool nothingShown) { g_nothingShown = nothingShown; }
bool NothingShown() { return g_nothingShown; }
Clock* SetClock(Clock* clock) { return std::exchange(detail::Sys().externalClock, clock); }

DWORD NextTimerDelay() {
  const DWORD now = detail::ClockNow();
  DWORD delay = INFINITE;
  for (const auto& t : detail::Sys().timers) delay = std::min<DWORD>(delay, t.due > now ? t.due - now : 0);
  return delay;
}

void ProcessPendingInput() {
  PumpMessages();
  if (Screen* screen = detail::Sys().screen) {
    screen->WaitForInput(0);
    PumpMessages();
  }
}

void AdvanceClock(DWORD ms) { detail::Sys().clock += ms; }

int PumpMessages() {
  int count = 0;
  for (int guard = 0; guard < 100000; ++guard) {
    MSG m;
    if (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      ++count;
      if (m.message == WM_QUIT) continue;
      if (m.hwnd && !Get(m.hwnd)) continue;
      std::optional<ActionScope> action;
      if (IsPersonsAction(m.message)) action.emplace(true);
      if (detail::g_preTranslateHook && detail::g_preTranslateHook(&m)) continue;
      // A plain dialog without a class library object handles its own keys, as an application loop does.
      HWND root = Root(m.hwnd);
      if (root && Get(root) && Get(root)->dialog && !Get(root)->cwnd && IsDialogMessage(root, &m)) continue;
      TranslateMessage(&m);
      DispatchMessage(&m);
      continue;
    }
    bool painted = false;
    for (HWND t : detail::Sys().topLevel) {
      std::function<bool(HWND)> pending = [&](HWND h) {
        Window* w = Get(h);
        if (!w || !(w->style & WS_VISIBLE)) return false;
        if (w->hasInvalid && w->redraw) return true;
        for (HWND c : w->children)
          if (pending(c)) return true;
        return false;
      };
      if (pending(t)) {
        PaintTree(t, false);
        painted = true;
      }
    }
    if (!painted) break;
  }
  if (detail::Sys().screen) detail::Sys().screen->Present();
  return count;
}

void RunFor(DWORD ms, DWORD stepMs) {
  if (stepMs == 0) stepMs = 1;
  while (ms > 0) {
    DWORD step = std::min(ms, stepMs);
    AdvanceClock(step);
    ms -= step;
    PumpMessages();
  }
}

void ResetWindowSystem() {
  auto& s = detail::Sys();
  for (int round = 0; round < 4 && !s.topLevel.empty(); ++round) {
    auto tops = s.topLevel;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it)
      if (Get(*it)) DestroyWindow(*it);
  }
  s.queue.clear();
  s.timers.clear();
  s.focus = s.active = s.capture = nullptr;
  s.quit = false;
  detail::ResetClipboard();
  detail::ResetScripts();
}

std::size_t WindowCount() { return detail::Sys().windows.size(); }

}  // namespace win
