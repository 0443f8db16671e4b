// Default window behaviour, the window frame, pictures of windows, system values, resources, the clipboard and
// global memory (keyboard calls and the input simulator: platform/win/input).
#include <algorithm>
#include <cstring>
#include <map>

#include "platform/win/draw/gdi_internal.h"
#include "platform/win/base/handles.h"
#include "platform/win/input/input_state.h"
#include "platform/win/resources/resources.h"
#include "platform/win/screen/screen.h"

namespace win::detail {

InputState& In() {
  static InputState s;
  return s;
}

bool KeyIsDown(UINT vk) {
  auto& k = In().keys;
  if (vk == VK_SHIFT) return k[VK_SHIFT] || k[VK_LSHIFT] || k[VK_RSHIFT];
  if (vk == VK_CONTROL) return k[VK_CONTROL] || k[VK_LCONTROL] || k[VK_RCONTROL];
  if (vk == VK_MENU) return k[VK_MENU] || k[VK_LMENU] || k[VK_RMENU];
  return vk < 256 && k[vk];
}

UINT MouseKeyFlags() {
  UINT f = 0;
  if (KeyIsDown(VK_LBUTTON)) f |= MK_LBUTTON;
  if (KeyIsDown(VK_RBUTTON)) f |= MK_RBUTTON;
  if (KeyIsDown(VK_MBUTTON)) f |= MK_MBUTTON;
  if (KeyIsDown(VK_SHIFT)) f |= MK_SHIFT;
  if (KeyIsDown(VK_CONTROL)) f |= MK_CONTROL;
  return f;
}

// ---- The frame -----------------------------------------------------------------------------------------------------
void PaintFrame(HWND wnd) {
  Window* w = Get(wnd);
  if (!w) return;
  RECT in = FrameInsets(*w);
  if (in.left == 0 && in.top == 0 && in.right == 0 && in.bottom == 0) return;
  HDC dc = GetWindowDC(wnd);
  RECT r{0, 0, Width(w->rect), Height(w->rect)};
  bool caption = (w->style & WS_CAPTION) == WS_CAPTION;
  if (caption || (w->style & WS_DLGFRAME) || (w->exStyle & WS_EX_DLGMODALFRAME) || (w->style & WS_THICKFRAME)) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    int extra = (w->style & WS_THICKFRAME) && !caption ? 2 : 1;
    for (int i = 0; i < extra; ++i) {
      FrameRect(dc, &r, GetSysColorBrush(COLOR_3DFACE));
      InflateRect(&r, -1, -1);
    }
  } else if (w->style & WS_BORDER) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  if (caption) {
    int ch = GetSystemMetrics(SM_CYCAPTION);
    RECT cap{r.left, r.top, r.right, r.top + ch - 1};
    bool active = GetActiveWindow() == wnd;
    TRIVERTEX v[2] = {{cap.left, cap.top, 0, 0, 0, 0}, {cap.right, cap.bottom, 0, 0, 0, 0}};
    COLORREF c0 = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    COLORREF c1 = GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
    v[0].Red = COLOR16(GetRValue(c0) << 8);
    v[0].Green = COLOR16(GetGValue(c0) << 8);
    v[0].Blue = COLOR16(GetBValue(c0) << 8);
    v[1].Red = COLOR16(GetRValue(c1) << 8);
    v[1].Green = COLOR16(GetGValue(c1) << 8);
    v[1].Blue = COLOR16(GetBValue(c1) << 8);
    GRADIENT_RECT gr{0, 1};
    GradientFill(dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_H);
    HFONT font = CreateFont(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "MS Shell Dlg");
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    const bool maxBox = (w->style & WS_SYSMENU) && (w->style & WS_MAXIMIZEBOX);
    RECT tr{cap.left + 4, cap.top, cap.right - (maxBox ? 40 : 22), cap.bottom};
    DrawText(dc, w->text.c_str(), -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
    if (w->style & WS_SYSMENU) {
      RECT close{cap.right - 18, cap.top + 2, cap.right - 2, cap.bottom - 2};
      DrawFrameControl(dc, &close, DFC_CAPTION, DFCS_CAPTIONCLOSE);
      HPEN pen = CreatePen(PS_SOLID, 1, 0);
      HGDIOBJ op = SelectObject(dc, pen);
      MoveToEx(dc, close.left + 4, close.top + 3, nullptr);
      LineTo(dc, close.right - 4, close.bottom - 3);
      MoveToEx(dc, close.right - 5, close.top + 3, nullptr);
      LineTo(dc, close.left + 3, close.bottom - 3);
      SelectObject(dc, op);
      DeleteObject(pen);
    }
    if (maxBox) {
      // One window outline for maximising; two staggered ones for giving the size back.
      RECT box{cap.right - 36, cap.top + 2, cap.right - 20, cap.bottom - 2};
      DrawFrameControl(dc, &box, DFC_CAPTION, DFCS_CAPTIONCLOSE);
      HGDIOBJ ob = SelectObject(dc, GetStockObject(NULL_BRUSH));
      HGDIOBJ op = SelectObject(dc, GetStockObject(BLACK_PEN));
      if (w->maximized) {
        Rectangle(dc, box.left + 6, box.top + 3, box.right - 3, box.bottom - 6);
        RECT front{box.left + 3, box.top + 6, box.right - 6, box.bottom - 3};
        FillRect(dc, &front, GetSysColorBrush(COLOR_BTNFACE));
        Rectangle(dc, front.left, front.top, front.right, front.bottom);
        MoveToEx(dc, front.left, front.top + 1, nullptr);
        LineTo(dc, front.right, front.top + 1);
      } else {
        Rectangle(dc, box.left + 3, box.top + 3, box.right - 3, box.bottom - 3);
        MoveToEx(dc, box.left + 3, box.top + 4, nullptr);
        LineTo(dc, box.right - 3, box.top + 4);
      }
      SelectObject(dc, ob);
      SelectObject(dc, op);
    }
    r.top += ch;
  }
  if (w->exStyle & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if (w->exStyle & WS_EX_STATICEDGE) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  DrawFrameScrollBars(wnd, dc);
  ReleaseDC(wnd, dc);
}

namespace {
LRESULT HitTest(HWND wnd, POINT screen) {
  Window* w = Get(wnd);
  RECT wr;
  GetWindowRect(wnd, &wr);
  if (!PtInRect(&wr, screen)) return HTNOWHERE;
  POINT p{screen.x - wr.left, screen.y - wr.top};
  RECT in = FrameInsets(*w);
  RECT client{in.left, in.top, Width(w->rect) - in.right, Height(w->rect) - in.bottom};
  if (PtInRect(&client, p)) return HTCLIENT;
  if (w->vscroll.shown) {
    RECT v = FrameScrollBarRect(wnd, SB_VERT);
    if (PtInRect(&v, p)) return HTVSCROLL;
  }
  if (w->hscroll.shown) {
    RECT h = FrameScrollBarRect(wnd, SB_HORZ);
    if (PtInRect(&h, p)) return HTHSCROLL;
  }
  if (LRESULT edge = SizingEdgeAt(*w, p); edge != HTNOWHERE) return edge;
  if ((w->style & WS_CAPTION) == WS_CAPTION && p.y >= 3 && p.y < 3 + GetSystemMetrics(SM_CYCAPTION)) {
    if ((w->style & WS_SYSMENU) && p.x >= Width(w->rect) - 21) return HTCLOSE;
    if ((w->style & WS_SYSMENU) && (w->style & WS_MAXIMIZEBOX) && p.x >= Width(w->rect) - 39) return HTMAXBUTTON;
    return HTCAPTION;
  }
  return HTBORDER;
}

HBRUSH CtlColorDefault(HDC dc, UINT msg) {
  bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(window ? COLOR_WINDOW : COLOR_3DFACE));
  if (msg == WM_CTLCOLORSCROLLBAR) return GetSysColorBrush(COLOR_SCROLLBAR);
  return GetSysColorBrush(window ? COLOR_WINDOW : COLOR_3DFACE);
}
}  // namespace
}  // namespace win::detail

using namespace win::detail;

LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE: return TRUE;
    case WM_SETTEXT: {
      w->text = ValidUtf8(lParam ? reinterpret_cast<LPCSTR>(lParam) : "");
      if ((w->style & WS_CAPTION) == WS_CAPTION) InvalidateRect(wnd, nullptr, FALSE);
      return TRUE;
    }
    case WM_GETTEXT: {
      auto* out = reinterpret_cast<char*>(lParam);
      if (!out || wParam == 0) return 0;
      std::size_t n = std::min(w->text.size(), std::size_t(wParam - 1));
      std::memcpy(out, w->text.data(), n);
      out[n] = 0;
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH: return LRESULT(w->text.size());
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(wnd, &ps);
      EndPaint(wnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH b = w->classBackground;
      if (!b) return 0;
      RECT rc;
      GetClientRect(wnd, &rc);
      FillRect(reinterpret_cast<HDC>(wParam), &rc, b);
      return 1;
    }
    case WM_CLOSE: DestroyWindow(wnd); return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessage(wnd, WM_CLOSE, 0, 0);
      if ((wParam & 0xFFF0) == SC_MAXIMIZE || (wParam & 0xFFF0) == SC_RESTORE)
        Maximize(wnd, (wParam & 0xFFF0) == SC_MAXIMIZE);
      return 0;
    case WM_NCLBUTTONDBLCLK:
      // A double click on the title of a window that can be maximised maximises it, or gives it its size back.
      // Elsewhere on the frame the second press is a press like the first (an arrow held scrolls again).
      if (wParam == HTCAPTION && (w->style & WS_MAXIMIZEBOX))
        SendMessage(wnd, WM_SYSCOMMAND, w->maximized ? SC_RESTORE : SC_MAXIMIZE, lParam);
      else if (wParam != HTCAPTION)
        return DefWindowProc(wnd, WM_NCLBUTTONDOWN, wParam, lParam);
      return 0;
    case WM_SETCURSOR: {
      HWND parent = (w->style & WS_CHILD) ? w->parent : nullptr;
      if (parent && SendMessage(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(w->classCursor ? w->classCursor : LoadCursor(nullptr, IDC_ARROW));
        return FALSE;
      }
      SetCursor(LoadCursor(nullptr, IDC_ARROW));
      return FALSE;
    }
    case WM_NCHITTEST: return HitTest(wnd, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCLBUTTONDOWN: {
      POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (wParam == HTCAPTION || (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT)) {
        // The system moves or sizes the window while the button stays down, following the cursor from where it
        // is now (the message's point may be in any coordinates).
        PressFrame(wnd, LRESULT(wParam));
      } else if (wParam == HTVSCROLL || wParam == HTHSCROLL) {
        PressFrameScrollBar(wnd, wParam == HTVSCROLL ? SB_VERT : SB_HORZ, screen);
      } else if (wParam == HTMAXBUTTON) {
        SendMessage(wnd, WM_SYSCOMMAND, w->maximized ? SC_RESTORE : SC_MAXIMIZE, lParam);
      } else if (wParam == HTCLOSE) {
        SendMessage(wnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
      }
      return 0;
    }
    case WM_MOUSEWHEEL:
      if ((w->style & WS_CHILD) && w->parent) return SendMessage(w->parent, msg, wParam, lParam);
      return 0;
    case WM_CONTEXTMENU:
      if ((w->style & WS_CHILD) && w->parent) return SendMessage(w->parent, msg, wParam, lParam);
      return 0;
    case WM_KEYF1: {
      // F1 asks the window with the focus for help; whoever does not answer passes the request up.
      HELPINFO info{};
      info.cbSize = sizeof info;
      info.iContextType = HELPINFO_WINDOW;
      info.iCtrlId = (w->style & WS_CHILD) ? int(w->id) : 0;
      info.hItemHandle = wnd;
      info.MousePos = In().cursor;
      SendMessage(wnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
      return 0;
    }
    case WM_HELP:
      if ((w->style & WS_CHILD) && w->parent) return SendMessage(w->parent, msg, wParam, lParam);
      if (w->owner) return SendMessage(w->owner, msg, wParam, lParam);
      return 0;
    case WM_RBUTTONUP: {
      // Releasing the right button asks for a context menu at the screen point.
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(wnd, &p);
      SendMessage(wnd, WM_CONTEXTMENU, WPARAM(wnd), MAKELPARAM(WORD(p.x), WORD(p.y)));
      return 0;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return reinterpret_cast<LRESULT>(CtlColorDefault(reinterpret_cast<HDC>(wParam), msg));
    case WM_SETREDRAW: w->redraw = wParam != 0; return 0;
    case WM_CANCELMODE:
      if (GetCapture() == wnd) ReleaseCapture();
      return 0;
    case WM_MOUSEACTIVATE: return 1;
    case WM_GETFONT: return 0;
    default: return 0;
  }
}

// ---- Pictures ---------------------------------------------------------------------------------------------------------------------
namespace win {

COLORREF Image::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
  return detail::FromRgb(pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]);
}

Image RenderWindow(HWND wnd) {
  if (!Get(wnd)) return {};
  PaintTree(wnd, true);
  return PaintedPixels(wnd);
}

Image RenderWindowApart(HWND wnd) {
  Window* root = Get(Root(wnd));
  if (!root) return {};
  // What waits to be painted on the live pixels must still be painted there after the picture.
  struct Pending {
    HWND hwnd;
    RECT invalid;
    bool hasInvalid, erase;
  };
  std::vector<Pending> pending;
  std::function<void(HWND)> keep = [&](HWND h) {
    Window* w = Get(h);
    if (!w) return;
    pending.push_back({h, w->invalid, w->hasInvalid, w->erase});
    for (HWND c : w->children) keep(c);
  };
  keep(root->hwnd);
  const HWND rootWnd = root->hwnd;
  std::shared_ptr<Surface> live = std::move(root->backing);
  Image image = RenderWindow(wnd);
  for (const Pending& p : pending)
    if (Window* w = Get(p.hwnd)) {
      w->invalid = p.invalid;
      w->hasInvalid = p.hasInvalid;
      w->erase = p.erase;
    }
  if (Window* again = Get(rootWnd)) again->backing = std::move(live);
  return image;
}

Image PaintedPixels(HWND wnd) {
  Image img;
  Window* w = Get(wnd);
  if (!w) return img;
  auto surface = BackingOf(wnd);
  const POINT o = WindowOriginInRoot(wnd);
  img.width = w->rect.right - w->rect.left;
  img.height = w->rect.bottom - w->rect.top;
  img.pixels.resize(std::size_t(std::max(0, img.width)) * std::size_t(std::max(0, img.height)));
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x)
      img.pixels[std::size_t(y) * std::size_t(img.width) + std::size_t(x)] = surface->Get(o.x + x, o.y + y);
  return img;
}

bool SavePng(const Image& image, const std::string& path) {
  if (image.width <= 0 || image.height <= 0) return false;
  Surface s(image.width, image.height);
  for (int y = 0; y < image.height; ++y) {
    std::uint32_t* row = s.Row(y);
    for (int x = 0; x < image.width; ++x)
      row[x] = image.pixels[std::size_t(y) * std::size_t(image.width) + std::size_t(x)];
  }
  cairo_surface_mark_dirty(s.surface);
  return cairo_surface_write_to_png(s.surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

bool SaveWindowPng(HWND wnd, const std::string& path) { return SavePng(RenderWindow(wnd), path); }

UINT CurrentCursorId() {
  auto it = In().cursorIds.find(reinterpret_cast<std::uintptr_t>(In().cursorHandle));
  return it == In().cursorIds.end() ? 0 : it->second;
}

BOOL TranslateWindowTexts(HWND wnd, const char* (*translate)(const char*, void*), void* state) {
  Window* w = Get(wnd);
  if (!w || !translate) return FALSE;
  auto one = [&](HWND h) {
    char buf[4096];
    GetWindowText(h, buf, sizeof(buf));
    if (!buf[0]) return;
    const char* t = translate(buf, state);
    if (t && std::strcmp(t, buf) != 0) SetWindowText(h, t);
  };
  one(wnd);
  for (HWND c : std::vector<HWND>(w->children)) {
    Window* cw = Get(c);
    if (!cw) continue;
    std::string cls = cw->className;
    for (char& ch : cls) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    // The user's data in edit fields and lists stays as it is.
    if (cls == "static" || cls == "button") one(c);
    if (cw->dialog) TranslateWindowTexts(c, translate, state);
  }
  return TRUE;
}

}  // namespace win

// ---- System values ------------------------------------------------------------------------------------------------------------------
int GetSystemMetrics(int index) {
  switch (index) {
    // A screen tells its size; headless windows lie on a screen of the common desktop size.
    case SM_CXSCREEN: {
      const win::Screen* screen = win::CurrentScreen();
      return screen && screen->Size().cx > 0 ? int(screen->Size().cx) : 1920;
    }
    case SM_CYSCREEN: {
      const win::Screen* screen = win::CurrentScreen();
      return screen && screen->Size().cy > 0 ? int(screen->Size().cy) : 1080;
    }
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CYMENU: return 19;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return 13;
    case SM_CXMINTRACK: return 136;
    case SM_CYMINTRACK: return 39;
    default: return 0;
  }
}

BOOL SystemParametersInfo(UINT action, UINT, LPVOID out, UINT) {
  if (!out) return FALSE;
  switch (action) {
    case SPI_GETWHEELSCROLLLINES: *static_cast<UINT*>(out) = 3; return TRUE;
    case SPI_GETWORKAREA: {
      // Headless, a task bar 40 pixels high is kept free; a screen's own work area is all of it.
      const win::Screen* screen = win::CurrentScreen();
      const bool sized = screen && screen->Size().cx > 0;
      *static_cast<RECT*>(out) = {0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN) - (sized ? 0 : 40)};
      return TRUE;
    }
    case SPI_GETNONCLIENTMETRICS: {
      auto* m = static_cast<NONCLIENTMETRICS*>(out);
      *m = NONCLIENTMETRICS{};
      m->cbSize = sizeof(NONCLIENTMETRICS);
      m->iBorderWidth = 1;
      m->iScrollWidth = m->iScrollHeight = 16;
      m->iCaptionWidth = m->iCaptionHeight = 18;
      m->iMenuWidth = m->iMenuHeight = 19;
      LOGFONT lf{};
      lf.lfHeight = -11;
      lf.lfWeight = FW_NORMAL;
      std::strcpy(lf.lfFaceName, "Tahoma");
      m->lfMenuFont = m->lfStatusFont = m->lfMessageFont = m->lfSmCaptionFont = lf;
      lf.lfWeight = FW_BOLD;
      m->lfCaptionFont = lf;
      return TRUE;
    }
    default: return FALSE;
  }
}

HINSTANCE GetModuleHandle(LPCSTR) { return reinterpret_cast<HINSTANCE>(std::intptr_t(0x400000)); }

// ---- Rectangles ---------------------------------------------------------------------------------------------------------------------
BOOL SetRect(LPRECT r, int l, int t, int rr, int b) {
  if (!r) return FALSE;
  *r = {l, t, rr, b};
  return TRUE;
}
BOOL SetRectEmpty(LPRECT r) { return SetRect(r, 0, 0, 0, 0); }
BOOL CopyRect(LPRECT d, const RECT* s) {
  if (!d || !s) return FALSE;
  *d = *s;
  return TRUE;
}
BOOL InflateRect(LPRECT r, int dx, int dy) {
  if (!r) return FALSE;
  r->left -= dx;
  r->right += dx;
  r->top -= dy;
  r->bottom += dy;
  return TRUE;
}
BOOL OffsetRect(LPRECT r, int dx, int dy) {
  if (!r) return FALSE;
  r->left += dx;
  r->right += dx;
  r->top += dy;
  r->bottom += dy;
  return TRUE;
}
BOOL IsRectEmpty(const RECT* r) { return !r || r->right <= r->left || r->bottom <= r->top; }
BOOL IntersectRect(LPRECT d, const RECT* a, const RECT* b) {
  if (!d || !a || !b) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r)) {
    *d = {0, 0, 0, 0};
    return FALSE;
  }
  *d = r;
  return TRUE;
}
BOOL UnionRect(LPRECT d, const RECT* a, const RECT* b) {
  if (!d || !a || !b) return FALSE;
  if (IsRectEmpty(a)) {
    *d = *b;
  } else if (IsRectEmpty(b)) {
    *d = *a;
  } else {
    *d = {std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
          std::max(a->bottom, b->bottom)};
  }
  return !IsRectEmpty(d);
}
BOOL SubtractRect(LPRECT d, const RECT* a, const RECT* b) {
  if (!d || !a || !b) return FALSE;
  RECT r = *a, i;
  if (IntersectRect(&i, a, b)) {
    if (i.top == r.top && i.bottom == r.bottom) {
      if (i.left == r.left)
        r.left = i.right;
      else if (i.right == r.right)
        r.right = i.left;
    } else if (i.left == r.left && i.right == r.right) {
      if (i.top == r.top)
        r.top = i.bottom;
      else if (i.bottom == r.bottom)
        r.bottom = i.top;
    }
  }
  *d = r;
  return !IsRectEmpty(d);
}
BOOL EqualRect(const RECT* a, const RECT* b) {
  return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}
BOOL PtInRect(const RECT* r, POINT p) {
  return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}
int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  long long v = (long long)a * b;
  long long q = v / c, rem = v % c;
  // Rounded half away from zero.
  if (2 * std::llabs(rem) >= std::llabs((long long)c)) q += ((v < 0) != (c < 0)) ? -1 : 1;
  return int(q);
}

// ---- Resources --------------------------------------------------------------------------------------------------------------------------
namespace win {
namespace {
std::map<UINT, std::string>& Strings() {
  static std::map<UINT, std::string> s;
  return s;
}
std::map<UINT, DialogTemplate>& Templates() {
  static std::map<UINT, DialogTemplate> t;
  return t;
}
}  // namespace
void RegisterString(UINT id, const std::string& text) { Strings()[id] = text; }
void RegisterDialogTemplate(UINT id, DialogTemplate dialog) { Templates()[id] = std::move(dialog); }
const DialogTemplate* FindDialogTemplate(UINT id) {
  auto it = Templates().find(id);
  return it == Templates().end() ? nullptr : &it->second;
}
}  // namespace win

int LoadString(HINSTANCE, UINT id, LPSTR out, int max) {
  auto& s = win::Strings();
  auto it = s.find(id);
  if (it == s.end() || !out || max <= 0) {
    if (out && max > 0) out[0] = 0;
    return 0;
  }
  std::size_t n = std::min(it->second.size(), std::size_t(max - 1));
  std::memcpy(out, it->second.data(), n);
  out[n] = 0;
  return int(n);
}

// ---- Global memory and the clipboard -------------------------------------------------------------------------------------------------------
namespace {
struct GlobalBlock {
  std::vector<char> data;
};
std::map<int, std::unique_ptr<GlobalBlock>>& Blocks() {
  static auto* b = new std::map<int, std::unique_ptr<GlobalBlock>>;
  return *b;
}
GlobalBlock* Block(HGLOBAL h) {
  auto it = Blocks().find(int(reinterpret_cast<std::intptr_t>(h)));
  return it == Blocks().end() ? nullptr : it->second.get();
}
struct Clipboard {
  bool open = false;
  bool changed = false;  // emptied or written since it was opened
  HWND owner = nullptr;
  std::map<UINT, HGLOBAL> data;
};
Clipboard& Clip() {
  static auto* c = new Clipboard;
  return *c;
}
std::string ClipForm(UINT format) {
  auto it = Clip().data.find(format);
  GlobalBlock* b = it == Clip().data.end() ? nullptr : Block(it->second);
  return b ? std::string(b->data.data(), strnlen(b->data.data(), b->data.size())) : std::string();
}
std::string ClipText() { return ClipForm(CF_TEXT); }
void PutClipForm(UINT format, const std::string& bytes) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
  std::memcpy(GlobalLock(h), bytes.c_str(), bytes.size() + 1);
  Clip().data[format] = h;
}
// What another program copied replaces the clipboard: its text, and its RTF where it offers RTF. Text it does not
// offer is no empty text.
void PutClipContent(const win::ClipboardContent& content) {
  for (auto& [f, h] : Clip().data) GlobalFree(h);
  Clip().data.clear();
  if (!content.text.empty() || content.rtf.empty()) PutClipForm(CF_TEXT, content.text);
  if (!content.rtf.empty()) PutClipForm(CF_RTF, content.rtf);
}
// What the program copies, other programs on the screen can paste; what they copy, the program pastes.
void OfferToScreen() {
  if (win::Screen* screen = win::CurrentScreen()) screen->OfferClipboard({ClipText(), ClipForm(CF_RTF)});
}
void TakeFromScreen() {
  if (win::Screen* screen = win::CurrentScreen())
    if (std::optional<win::ClipboardContent> content = screen->OtherProgramsClipboard()) {
      PutClipContent(*content);
      Clip().owner = nullptr;
    }
}
}  // namespace

HGLOBAL GlobalAlloc(UINT, std::size_t bytes) {
  EnsureHandleFloor();
  auto b = std::make_unique<GlobalBlock>();
  b->data.assign(bytes, 0);
  int h = win::RegisterHandle(b.get(), typeid(GlobalBlock));
  Blocks()[h] = std::move(b);
  return reinterpret_cast<HGLOBAL>(std::intptr_t(h));
}
HGLOBAL GlobalReAlloc(HGLOBAL mem, std::size_t bytes, UINT) {
  GlobalBlock* b = Block(mem);
  if (!b) return nullptr;
  b->data.resize(bytes, 0);
  return mem;
}
LPVOID GlobalLock(HGLOBAL mem) {
  GlobalBlock* b = Block(mem);
  return b && !b->data.empty() ? b->data.data() : nullptr;
}
BOOL GlobalUnlock(HGLOBAL mem) { return Block(mem) ? FALSE : FALSE; }
std::size_t GlobalSize(HGLOBAL mem) {
  GlobalBlock* b = Block(mem);
  return b ? b->data.size() : 0;
}
HGLOBAL GlobalFree(HGLOBAL mem) {
  int h = int(reinterpret_cast<std::intptr_t>(mem));
  if (!Blocks().count(h)) return mem;
  Blocks().erase(h);
  win::ReleaseHandle(h);
  return nullptr;
}

BOOL OpenClipboard(HWND owner) {
  if (Clip().open) return FALSE;
  TakeFromScreen();
  Clip().open = true;
  Clip().changed = false;
  Clip().owner = owner;
  return TRUE;
}
BOOL CloseClipboard() {
  if (!Clip().open) return FALSE;
  Clip().open = false;
  if (Clip().changed) OfferToScreen();
  Clip().changed = false;
  return TRUE;
}
BOOL EmptyClipboard() {
  if (!Clip().open) return FALSE;
  for (auto& [f, h] : Clip().data) GlobalFree(h);
  Clip().data.clear();
  Clip().changed = true;
  return TRUE;
}
HANDLE SetClipboardData(UINT format, HANDLE data) {
  if (!Clip().open) return nullptr;
  auto it = Clip().data.find(format);
  if (it != Clip().data.end() && it->second != data) GlobalFree(it->second);
  Clip().data[format] = data;
  Clip().changed = true;
  return data;
}
HANDLE GetClipboardData(UINT format) {
  if (!Clip().open) return nullptr;
  auto it = Clip().data.find(format);
  return it == Clip().data.end() ? nullptr : it->second;
}
BOOL IsClipboardFormatAvailable(UINT format) {
  if (!Clip().open) TakeFromScreen();
  return Clip().data.count(format) ? TRUE : FALSE;
}
HWND GetClipboardOwner() { return Clip().owner; }

namespace win {
std::string ClipboardText() { return ClipText(); }
void SetClipboardText(const std::string& text) {
  PutClipContent({text, {}});
  OfferToScreen();
}
}  // namespace win

namespace win::detail {
void ResetClipboard() {
  Clip().open = true;
  EmptyClipboard();
  Clip().open = false;
  Clip().owner = nullptr;
  InputState& s = In();
  s.keys.fill(false);
  s.follow = nullptr;
  s.leaveTracked = nullptr;
  s.mouseWindow = nullptr;
  s.pressed = nullptr;
  s.pressCancelled = false;
  s.hasLastDown = false;
  s.clipped = false;
  s.caretWnd = nullptr;
}
}  // namespace win::detail
