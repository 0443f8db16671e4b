// The toolbar control and the framework's toolbar: buttons laid out left to right, drawn flat (sunken when
// checked or pressed), a click sends WM_COMMAND to the parent; controls on separators report through the toolbar.
// With tips, a pointer resting on a button shows its tip: the owner's answer to the tip request, else the command's
// string.
#include <algorithm>
#include <map>
#include <mutex>

#include "platform/win/controls/afxbar.h"
#include "platform/win/controls/ctl_internal.h"
#include "platform/win/window/internal.h"

using namespace win::detail;

namespace {

constexpr int kSeparator = 8;  // default separator width

struct Button {
  TBBUTTON b{};
  RECT rect{};
};
// A tip's tool: a button's command and rectangle.
struct Tool {
  UINT_PTR id = 0;
  RECT rect{};
  bool operator==(const Tool& o) const {
    return id == o.id && rect.left == o.rect.left && rect.top == o.rect.top && rect.right == o.rect.right &&
           rect.bottom == o.rect.bottom;
  }
};
struct ToolbarState {
  std::vector<Button> buttons;
  HIMAGELIST images = nullptr;
  int cx = 23, cy = 22;     // button size (image 16 x 15 plus edges)
  int pressed = -1;         // index of the button under a held mouse button
  HWND tip = nullptr;       // the tip control, when the bar has tips
  std::vector<Tool> tools;  // the tip's tools: the shown buttons
};

struct ToolBarResource {
  int cx = 16, cy = 15;
  std::vector<UINT> commands;
};
std::map<UINT, ToolBarResource>& ToolBars() {
  static auto* t = new std::map<UINT, ToolBarResource>;
  return *t;
}

void SyncTips(HWND wnd, ToolbarState& s);

void Layout(HWND wnd, ToolbarState& s) {
  int x = 2;
  for (Button& b : s.buttons) {
    if (b.b.fsState & TBSTATE_HIDDEN) {
      b.rect = {x, 2, x, 2 + s.cy};
      continue;
    }
    int w = (b.b.fsStyle & TBSTYLE_SEP) ? (b.b.iBitmap > 0 ? b.b.iBitmap : kSeparator) : s.cx;
    b.rect = {x, 2, x + w, 2 + s.cy};
    x += w;
  }
  SyncTips(wnd, s);
}

// One tool per shown button, its rectangle the button's; the tip asks the bar for its text when it shows. The tools
// are made anew only when the buttons moved, so that checking a button leaves a shown tip alone.
void SyncTips(HWND wnd, ToolbarState& s) {
  if (!(GetWindowLongPtr(wnd, GWL_STYLE) & TBSTYLE_TOOLTIPS)) return;
  if (!s.tip) {
    s.tip = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "tooltips_class32", nullptr, WS_POPUP,
                           0, 0, 0, 0, wnd, nullptr, nullptr, nullptr);
    if (!s.tip) return;
  }
  std::vector<Tool> tools;
  for (const Button& b : s.buttons)
    if (!(b.b.fsStyle & TBSTYLE_SEP) && !(b.b.fsState & TBSTATE_HIDDEN))
      tools.push_back(Tool{UINT_PTR(b.b.idCommand), b.rect});
  if (tools == s.tools) return;
  auto info = [wnd](const Tool& t) {
    TOOLINFO ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = wnd;
    ti.uId = t.id;
    ti.rect = t.rect;
    ti.lpszText = LPSTR_TEXTCALLBACK;
    return ti;
  };
  for (const Tool& t : s.tools) {
    TOOLINFO ti = info(t);
    SendMessage(s.tip, TTM_DELTOOL, 0, LPARAM(&ti));
  }
  s.tools.clear();
  for (const Tool& t : tools) {
    TOOLINFO ti = info(t);
    if (SendMessage(s.tip, TTM_ADDTOOL, 0, LPARAM(&ti))) s.tools.push_back(t);
  }
}

// The tip's request for a button's text goes to the bar's owner; without an answer the command's string serves.
LRESULT TipText(HWND wnd, WPARAM wParam, NMTTDISPINFO* info) {
  const LRESULT answer = SendMessage(GetParent(wnd), WM_NOTIFY, wParam, LPARAM(info));
  const bool given =
      info->lpszText && info->lpszText != LPSTR_TEXTCALLBACK ? info->lpszText[0] != 0 : info->szText[0] != 0;
  if (!given) {
    LoadString(nullptr, UINT(info->hdr.idFrom), info->szText, int(sizeof info->szText));
    info->lpszText = info->szText;
  }
  return answer;
}

int IndexOf(const ToolbarState& s, int id) {
  for (std::size_t i = 0; i < s.buttons.size(); ++i)
    if (s.buttons[i].b.idCommand == id && !(s.buttons[i].b.fsStyle & TBSTYLE_SEP)) return int(i);
  return -1;
}

int ButtonAt(const ToolbarState& s, POINT p) {
  for (std::size_t i = 0; i < s.buttons.size(); ++i)
    if (PtInRect(&s.buttons[i].rect, p) && !(s.buttons[i].b.fsStyle & TBSTYLE_SEP)) return int(i);
  return -1;
}

void Paint(HWND wnd, ToolbarState& s, HDC dc) {
  RECT rc;
  GetClientRect(wnd, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_3DFACE));
  int icx = 0, icy = 0;
  if (s.images) ImageList_GetIconSize(s.images, &icx, &icy);
  HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DHIGHLIGHT));
  HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW));
  for (std::size_t i = 0; i < s.buttons.size(); ++i) {
    const Button& b = s.buttons[i];
    if (b.b.fsState & TBSTATE_HIDDEN) continue;
    RECT r = b.rect;
    if (b.b.fsStyle & TBSTYLE_SEP) {
      int x = (r.left + r.right) / 2;
      HGDIOBJ old = SelectObject(dc, dark);
      MoveToEx(dc, x, r.top + 2, nullptr);
      LineTo(dc, x, r.bottom - 2);
      SelectObject(dc, light);
      MoveToEx(dc, x + 1, r.top + 2, nullptr);
      LineTo(dc, x + 1, r.bottom - 2);
      SelectObject(dc, old);
      continue;
    }
    bool down = (b.b.fsState & (TBSTATE_CHECKED | TBSTATE_PRESSED)) || int(i) == s.pressed;
    if (b.b.fsState & TBSTATE_CHECKED) {
      HBRUSH checked = CreateSolidBrush(RGB(232, 232, 232));
      FillRect(dc, &r, checked);
      DeleteObject(checked);
    }
    if (down) {
      HGDIOBJ old = SelectObject(dc, dark);
      MoveToEx(dc, r.left, r.bottom - 1, nullptr);
      LineTo(dc, r.left, r.top);
      LineTo(dc, r.right - 1, r.top);
      SelectObject(dc, light);
      LineTo(dc, r.right - 1, r.bottom - 1);
      LineTo(dc, r.left, r.bottom - 1);
      SelectObject(dc, old);
    }
    int shift = down ? 1 : 0;
    bool enabled = b.b.fsState & TBSTATE_ENABLED;
    if (s.images && b.b.iBitmap >= 0 && b.b.iBitmap < ImageList_GetImageCount(s.images)) {
      int x = r.left + (r.right - r.left - icx) / 2 + shift, y = r.top + (r.bottom - r.top - icy) / 2 + shift;
      ImageList_Draw(s.images, b.b.iBitmap, dc, x, y, ILD_TRANSPARENT);
      if (!enabled) {
        // Disabled: the image is greyed by a stipple of the face colour.
        for (int yy = 0; yy < icy; ++yy)
          for (int xx = (yy & 1); xx < icx; xx += 2) SetPixel(dc, x + xx, y + yy, GetSysColor(COLOR_3DFACE));
      }
    } else {
      // Without an image the command id stands on the button, so that a picture of the bar still tells them apart.
      std::string label = std::to_string(b.b.idCommand);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
      RECT t = r;
      OffsetRect(&t, shift, shift);
      DrawText(dc, label.c_str(), -1, &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
  }
  DeleteObject(light);
  DeleteObject(dark);
}

void Click(HWND wnd, ToolbarState& s, int index) {
  Button& b = s.buttons[std::size_t(index)];
  if (!(b.b.fsState & TBSTATE_ENABLED)) return;
  if (b.b.fsStyle & TBSTYLE_CHECK) b.b.fsState ^= TBSTATE_CHECKED;
  InvalidateRect(wnd, nullptr, TRUE);
  SendMessage(GetParent(wnd), WM_COMMAND, MAKEWPARAM(WORD(b.b.idCommand), BN_CLICKED), LPARAM(wnd));
}

LRESULT ToolbarProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  ToolbarState& s = ControlState<ToolbarState>(wnd);
  auto byId = [&](WPARAM id) -> Button* {
    int i = IndexOf(s, int(id));
    return i < 0 ? nullptr : &s.buttons[std::size_t(i)];
  };
  auto setState = [&](BYTE bit, bool on) -> LRESULT {
    Button* b = byId(wParam);
    if (!b) return FALSE;
    b->b.fsState = BYTE(on ? (b->b.fsState | bit) : (b->b.fsState & ~bit));
    Layout(wnd, s);
    InvalidateRect(wnd, nullptr, TRUE);
    return TRUE;
  };
  switch (msg) {
    case TB_ADDBUTTONS:
    case TB_INSERTBUTTON: {
      auto* in = reinterpret_cast<const TBBUTTON*>(lParam);
      if (!in) return FALSE;
      int count = msg == TB_ADDBUTTONS ? int(wParam) : 1;
      std::size_t at = msg == TB_ADDBUTTONS ? s.buttons.size() : std::min<std::size_t>(wParam, s.buttons.size());
      for (int i = 0; i < count; ++i)
        s.buttons.insert(s.buttons.begin() + std::ptrdiff_t(at + std::size_t(i)), Button{in[i], {}});
      Layout(wnd, s);
      InvalidateRect(wnd, nullptr, TRUE);
      return TRUE;
    }
    case TB_DELETEBUTTON:
      if (wParam >= s.buttons.size()) return FALSE;
      s.buttons.erase(s.buttons.begin() + std::ptrdiff_t(wParam));
      Layout(wnd, s);
      InvalidateRect(wnd, nullptr, TRUE);
      return TRUE;
    case TB_BUTTONCOUNT: return LRESULT(s.buttons.size());
    case TB_GETBUTTON:
      if (wParam >= s.buttons.size() || !lParam) return FALSE;
      *reinterpret_cast<TBBUTTON*>(lParam) = s.buttons[wParam].b;
      return TRUE;
    case TB_COMMANDTOINDEX: return IndexOf(s, int(wParam));
    case TB_GETITEMRECT:
      if (wParam >= s.buttons.size() || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = s.buttons[wParam].rect;
      return TRUE;
    case TB_CHECKBUTTON: return setState(TBSTATE_CHECKED, LOWORD(lParam) != 0);
    case TB_ENABLEBUTTON: return setState(TBSTATE_ENABLED, LOWORD(lParam) != 0);
    case TB_PRESSBUTTON: return setState(TBSTATE_PRESSED, LOWORD(lParam) != 0);
    case TB_HIDEBUTTON: return setState(TBSTATE_HIDDEN, LOWORD(lParam) != 0);
    case TB_ISBUTTONCHECKED: {
      Button* b = byId(wParam);
      return b && (b->b.fsState & TBSTATE_CHECKED);
    }
    case TB_ISBUTTONENABLED: {
      Button* b = byId(wParam);
      return b && (b->b.fsState & TBSTATE_ENABLED);
    }
    case TB_ISBUTTONPRESSED: {
      Button* b = byId(wParam);
      return b && (b->b.fsState & TBSTATE_PRESSED);
    }
    case TB_SETBUTTONSIZE:
      s.cx = std::max(1, int(LOWORD(lParam)));
      s.cy = std::max(1, int(HIWORD(lParam)));
      Layout(wnd, s);
      return TRUE;
    case TB_SETIMAGELIST: {
      HIMAGELIST old = s.images;
      s.images = reinterpret_cast<HIMAGELIST>(lParam);
      InvalidateRect(wnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case TB_GETIMAGELIST: return reinterpret_cast<LRESULT>(s.images);
    case WM_LBUTTONDOWN: {
      s.pressed = ButtonAt(s, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      if (s.pressed >= 0 && !(s.buttons[std::size_t(s.pressed)].b.fsState & TBSTATE_ENABLED)) s.pressed = -1;
      if (s.pressed >= 0) {
        SetCapture(wnd);
        InvalidateRect(wnd, nullptr, TRUE);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      int was = s.pressed;
      s.pressed = -1;
      if (was < 0) return 0;
      ReleaseCapture();
      InvalidateRect(wnd, nullptr, TRUE);
      if (ButtonAt(s, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) == was) Click(wnd, s, was);
      return 0;
    }
    case WM_NOTIFY:
      if (auto* hdr = reinterpret_cast<NMHDR*>(lParam); hdr && s.tip && hdr->hwndFrom == s.tip) {
        if (hdr->code == TTN_GETDISPINFO) return TipText(wnd, wParam, reinterpret_cast<NMTTDISPINFO*>(lParam));
        return 0;
      }
      [[fallthrough]];
    case WM_COMMAND:
      // Controls placed on the bar (combo boxes on separators) talk to the bar's owner.
      return SendMessage(GetParent(wnd), msg, wParam, lParam);
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      Paint(wnd, s, dc);
      EndPaint(wnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_DESTROY:
      if (s.tip) DestroyWindow(s.tip);
      s.tip = nullptr;
      s.tools.clear();
      return DefWindowProc(wnd, msg, wParam, lParam);
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

void EnsureClass() {
  WNDCLASS c{};
  if (!GetClassInfo(nullptr, TOOLBARCLASSNAME, &c)) RegisterClassOf(TOOLBARCLASSNAME, &ToolbarProc, 0, nullptr);
}

}  // namespace

namespace win::res {
void RegisterToolBar(UINT id, int buttonWidth, int buttonHeight, std::vector<UINT> commands) {
  ToolBars()[id] = ToolBarResource{std::max(1, buttonWidth), std::max(1, buttonHeight), std::move(commands)};
}
}  // namespace win::res

IMPLEMENT_DYNAMIC(CToolBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CToolBarCtrl)

BOOL CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, CRect, UINT id) {
  EnsureClass();
  m_barStyle = style & 0xFFFF00u;
  DWORD windowStyle = (style & (WS_CHILD | WS_VISIBLE | WS_DISABLED)) | WS_CHILD | ctrlStyle;
  if (style & CBRS_TOOLTIPS) windowStyle |= TBSTYLE_TOOLTIPS;
  if (!CWnd::Create(TOOLBARCLASSNAME, nullptr, windowStyle, CRect(0, 0, 100, 26), parent, id)) return FALSE;
  CSize size = CalcFixedLayout(TRUE, TRUE);
  SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT id) {
  auto it = ToolBars().find(id);
  if (it == ToolBars().end()) return FALSE;
  const ToolBarResource& r = it->second;
  m_images.DeleteImageList();
  m_images.Create(r.cx, r.cy, ILC_COLOR32 | ILC_MASK, 0, 4);
  CBitmap strip;
  if (strip.LoadBitmap(id)) m_images.Add(&strip, RGB(192, 192, 192));  // the bars' usual transparent grey
  SendMessage(TB_SETIMAGELIST, 0, LPARAM(m_images.GetSafeHandle()));
  SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(r.cx + 7, r.cy + 7));
  return SetButtons(r.commands.data(), int(r.commands.size()));
}

BOOL CToolBar::SetButtons(const UINT* ids, int count) {
  while (GetButtonCount() > 0) SendMessage(TB_DELETEBUTTON, 0, 0);
  int image = 0;
  for (int i = 0; i < count; ++i) {
    TBBUTTON b{};
    if (!ids || ids[i] == 0) {
      b.fsStyle = TBSTYLE_SEP;
    } else {
      b.idCommand = int(ids[i]);
      b.iBitmap = image++;
      b.fsState = TBSTATE_ENABLED;
    }
    AddButtons(1, &b);
  }
  CSize size = CalcFixedLayout(TRUE, TRUE);
  SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

UINT CToolBar::GetItemID(int index) const {
  TBBUTTON b{};
  return GetButton(index, &b) ? ((b.fsStyle & TBSTYLE_SEP) ? 0 : UINT(b.idCommand)) : 0;
}

void CToolBar::GetButtonInfo(int index, UINT& id, UINT& style, int& image) const {
  TBBUTTON b{};
  GetButton(index, &b);
  id = UINT(b.idCommand);
  image = b.iBitmap;
  style = GetButtonStyle(index);
}

UINT CToolBar::GetButtonStyle(int index) const {
  TBBUTTON b{};
  if (!GetButton(index, &b)) return 0;
  UINT style = b.fsStyle & (TBSTYLE_SEP | TBSTYLE_CHECK);
  if (b.fsState & TBSTATE_CHECKED) style |= TBBS_CHECKED;
  if (!(b.fsState & TBSTATE_ENABLED)) style |= TBBS_DISABLED;
  return style;
}

void CToolBar::SetButtonStyle(int index, UINT style) {
  UINT id = 0, old = 0;
  int image = 0;
  GetButtonInfo(index, id, old, image);
  SetButtonInfo(index, id, style, image);
}

void CToolBar::SetButtonInfo(int index, UINT id, UINT style, int imageOrWidth) {
  TBBUTTON b{};
  if (!GetButton(index, &b)) return;
  b.idCommand = int(id);
  b.iBitmap = imageOrWidth;
  b.fsStyle = BYTE(style & (TBSTYLE_SEP | TBSTYLE_CHECK));
  b.fsState = BYTE((b.fsState & TBSTATE_HIDDEN) | ((style & TBBS_CHECKED) ? TBSTATE_CHECKED : 0) |
                   ((style & TBBS_DISABLED) ? 0 : TBSTATE_ENABLED));
  SendMessage(TB_DELETEBUTTON, WPARAM(index), 0);
  SendMessage(TB_INSERTBUTTON, WPARAM(index), LPARAM(&b));
  CSize size = CalcFixedLayout(TRUE, TRUE);
  SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CSize CToolBar::CalcFixedLayout(BOOL, BOOL) const {
  int n = GetButtonCount();
  RECT last{0, 0, 0, 22};
  if (n > 0) CToolBarCtrl::GetItemRect(n - 1, &last);
  int height = n > 0 ? last.bottom + 2 : 26;
  if (n == 0) {
    const auto& s = ControlState<ToolbarState>(m_hWnd);
    height = s.cy + 4;
  }
  CRect parent;
  if (CWnd* p = GetParent()) p->GetClientRect(&parent);
  return CSize(std::max<int>(int(last.right) + 2, parent.Width()), height);
}

void CWnd::RepositionBars(UINT first, UINT last, UINT leftOver, UINT, LPRECT rectParam, LPCRECT clientRect, BOOL) {
  CRect area;
  if (clientRect)
    area = *clientRect;
  else
    GetClientRect(&area);
  HWND rest = nullptr;
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    UINT id = UINT(::GetDlgCtrlID(child));
    if (id == leftOver) rest = child;
    if (id < first || id > last || !::IsWindowVisible(child)) continue;
    RECT r;
    ::GetWindowRect(child, &r);
    int height = r.bottom - r.top;
    if (auto* bar = dynamic_cast<CToolBar*>(CWnd::FromHandlePermanent(child))) {
      height = bar->CalcFixedLayout(TRUE, TRUE).cy;
      if (bar->GetBarStyle() & CBRS_ALIGN_BOTTOM) {
        ::MoveWindow(child, area.left, area.bottom - height, area.Width(), height, TRUE);
        area.bottom -= height;
        continue;
      }
    }
    ::MoveWindow(child, area.left, area.top, area.Width(), height, TRUE);
    area.top += height;
  }
  if (rectParam) *rectParam = area;
  if (rest) ::MoveWindow(rest, area.left, area.top, area.Width(), area.Height(), TRUE);
}
