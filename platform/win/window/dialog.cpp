// Dialogs: the dialog class, templates written in code, dialog units, keyboard navigation, and modal dialogs
// that take scripted answers.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/win/base/codepage.h"
#include "platform/win/window/action.h"
#include "platform/win/window/internal.h"
#include "platform/win/screen/screen.h"

namespace win::detail {
namespace {

struct Scripts {
  std::deque<std::function<void(HWND)>> dialogs;
  std::deque<std::function<INT_PTR(HMENU)>> menus;
  std::vector<script::ModalRecord> log;
  std::function<INT_PTR(const script::ModalRecord&)> unscripted;
  std::FILE* echo = nullptr;
  std::FILE* progress = nullptr;
};
Scripts& S() {
  static Scripts s;
  return s;
}

bool IsTabCandidate(HWND h) {
  Window* w = Get(h);
  return w && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
}

// Controls of a dialog in tab order, entering child dialogs that are controls themselves.
void Collect(HWND parent, std::vector<HWND>& out) {
  Window* w = Get(parent);
  if (!w) return;
  for (HWND c : w->children) {
    Window* cw = Get(c);
    if (!cw) continue;
    if ((cw->exStyle & WS_EX_CONTROLPARENT) && (cw->style & WS_VISIBLE) && !(cw->style & WS_DISABLED)) {
      Collect(c, out);
      continue;
    }
    out.push_back(c);
  }
}

}  // namespace

INT_PTR Unscripted(script::ModalRecord record) {
  INT_PTR answer = record.kind == "menu" ? INT_PTR(0) : INT_PTR(IDCANCEL);
  if (S().unscripted) {
    INT_PTR a = S().unscripted(record);
    if (a != 0 || record.kind == "menu") answer = a;
  }
  return answer;
}

void LogModal(const script::ModalRecord& record) {
  S().log.push_back(record);
  if (S().echo && !record.onScreen) {
    std::fprintf(S().echo, "[%s%s%s] -> %ld%s\n", record.kind.c_str(), record.caption.empty() ? "" : ": ",
                 TerminalText(record.caption).c_str(), long(record.answer), record.scripted ? "" : " (not scripted)");
    std::fflush(S().echo);
  }
}

void DialogFocus(HWND control) {
  if (!Get(control)) return;
  if (SendMessage(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessage(control, EM_SETSEL, 0, -1);
  SetFocus(control);
}

void ResetScripts() {
  S().dialogs.clear();
  S().menus.clear();
}

std::function<INT_PTR(HMENU)> TakeMenuScript() {
  if (S().menus.empty()) return nullptr;
  auto f = std::move(S().menus.front());
  S().menus.pop_front();
  return f;
}

void QueueDialogScript(std::function<void(HWND)> script) { S().dialogs.push_back(std::move(script)); }

// Pixels of dialog units for a font: the average character width and the character height.
void BaseUnits(HFONT font, int& baseX, int& baseY) {
  if (NothingShown()) {
    // Those of DejaVu Sans at 8 pt (11 pixels), in proportion to the font's size: no font is loaded for a layout
    // that no one sees.
    LOGFONT lf{};
    const int pixels = GetObject(font, sizeof lf, &lf) && lf.lfHeight != 0 ? std::abs(int(lf.lfHeight)) : 11;
    baseX = std::max(1, MulDiv(6, pixels, 11));
    baseY = std::max(1, MulDiv(13, pixels, 11));
    return;
  }
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE sz;
  GetTextExtentPoint32(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &sz);
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  baseX = (sz.cx / 26 + 1) / 2;
  baseY = tm.tmHeight;
}

HWND CreateDialogFromTemplate(const DialogTemplate& t, HWND parent, DLGPROC proc, LPARAM param, UINT templateId,
                              bool show) {
  HFONT font = CreateFont(-MulDiv(t.pointSize > 0 ? t.pointSize : 8, 96, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0,
                          0, t.fontFace.c_str());
  int bx = 6, by = 13;
  BaseUnits(font, bx, by);
  auto px = [&](int v) { return MulDiv(v, bx, 4); };
  auto py = [&](int v) { return MulDiv(v, by, 8); };
  DWORD style = t.style & ~WS_VISIBLE;
  Window probe;
  probe.style = style;
  probe.exStyle = t.exStyle;
  RECT in = FrameInsets(probe);
  int w = px(t.cx) + in.left + in.right, h = py(t.cy) + in.top + in.bottom;
  int x = px(t.x), y = py(t.y);
  if (!(style & WS_CHILD) && parent && !(style & DS_ABSALIGN)) {
    POINT o{0, 0};
    ClientToScreen(parent, &o);
    x += o.x;
    y += o.y;
  }
  if (style & DS_CENTER) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (parent) GetWindowRect(Root(parent), &area);
    x = area.left + (area.right - area.left - w) / 2;
    y = area.top + (area.bottom - area.top - h) / 2;
    if (style & WS_CHILD) {
      x = px(t.x);
      y = py(t.y);
    }
  }
  HWND dlg = CreateWindowEx(t.exStyle | ((style & DS_CONTROL) ? WS_EX_CONTROLPARENT : 0), "#32770", t.caption.c_str(),
                            style, x, y, w, h, parent, nullptr, nullptr, nullptr);
  if (!dlg) {
    DeleteObject(font);
    return nullptr;
  }
  Window* dw = Get(dlg);
  dw->dialog->proc = proc;
  dw->dialog->param = param;
  dw->dialog->baseX = bx;
  dw->dialog->baseY = by;
  dw->dialog->font = font;
  dw->dialog->templateId = templateId;
  SendMessage(dlg, WM_SETFONT, WPARAM(font), FALSE);
  for (const DialogItem& item : t.items) {
    DWORD cs = item.style | WS_CHILD;
    if (!item.hidden) cs |= WS_VISIBLE;
    HWND c =
        CreateWindowEx(item.exStyle, item.className.c_str(), item.text.c_str(), cs, px(item.x), py(item.y), px(item.cx),
                       py(item.cy), dlg, reinterpret_cast<HMENU>(std::intptr_t(item.id)), nullptr, nullptr);
    if (!Get(dlg)) return nullptr;
    if (c) SendMessage(c, WM_SETFONT, WPARAM(font), FALSE);
  }
  HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE);
  LRESULT r = 0;
  {
    // Opening a dialog is an action of the person (or part of the one that opened it).
    ActionScope opening(false);
    r = SendMessage(dlg, WM_INITDIALOG, WPARAM(first), param);
  }
  if (!Get(dlg)) return nullptr;
  if (show || (t.style & WS_VISIBLE)) ShowWindow(dlg, SW_SHOW);
  if (r && Get(dlg)) {
    HWND f = GetNextDlgTabItem(dlg, nullptr, FALSE);
    if (f) DialogFocus(f);
  }
  if (Get(dlg) && Get(dlg)->dialog && !Get(dlg)->dialog->savedFocus) Get(dlg)->dialog->savedFocus = GetFocus();
  return Get(dlg) ? dlg : nullptr;
}

// Runs a modal dialog: the next script acts as the user; the dialog must be ended by it.
INT_PTR RunModal(HWND dlg) {
  script::ModalRecord rec;
  rec.kind = "dialog";
  rec.caption = Get(dlg) ? Get(dlg)->text : "";
  rec.templateId = Get(dlg) && Get(dlg)->dialog ? Get(dlg)->dialog->templateId : 0;
  Get(dlg)->dialog->modal = true;
  CancelModes();
  auto ended = [dlg] { return !Get(dlg) || Get(dlg)->dialog->ended; };
  // A queued script is the user of a test; a screen brings the real one. Without either nothing would ever end
  // the dialog, so the unscripted answer does.
  if (!S().dialogs.empty()) {
    auto script = std::move(S().dialogs.front());
    S().dialogs.pop_front();
    rec.scripted = true;
    script(dlg);
  }
  while (!ended()) {
    PumpMessages();
    if (ended()) break;
    Screen* screen = CurrentScreen();
    if (screen && screen->WaitForInput(NextTimerDelay())) {
      rec.onScreen = !rec.scripted;
      continue;
    }
    script::ModalRecord asked = rec;
    if (rec.scripted) asked.caption += " (its script did not end it)";
    INT_PTR a = Unscripted(asked);
    if (!ended()) EndDialog(dlg, a);
  }
  rec.answer = Get(dlg) ? Get(dlg)->dialog->result : INT_PTR(IDCANCEL);
  LogModal(rec);
  return rec.answer;
}

void RegisterDialogClass() {
  WNDCLASS c{};
  c.style = CS_DBLCLKS | CS_SAVEBITS;
  c.lpfnWndProc = &DefDlgProc;
  c.lpszClassName = "#32770";
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClass(&c);
}

}  // namespace win::detail

using namespace win::detail;

LRESULT DefDlgProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Get(wnd);
  if (!w) return 0;
  if (!w->dialog) w->dialog = std::make_unique<DialogState>();
  DialogState* ds = w->dialog.get();
  if (ds->proc) {
    ds->msgResult = 0;
    INT_PTR r = ds->proc(wnd, msg, wParam, lParam);
    w = Get(wnd);
    if (!w) return 0;
    ds = w->dialog.get();
    if (r) {
      switch (msg) {
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: return r;
        default: return ds->msgResult;
      }
    }
  }
  switch (msg) {
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      auto brush = reinterpret_cast<HBRUSH>(SendMessage(wnd, WM_CTLCOLORDLG, wParam, LPARAM(wnd)));
      if (!brush) brush = GetSysColorBrush(COLOR_3DFACE);
      RECT rc;
      GetClientRect(wnd, &rc);
      FillRect(dc, &rc, brush);
      return 1;
    }
    case WM_CLOSE: {
      HWND cancel = GetDlgItem(wnd, IDCANCEL);
      if (!cancel || IsWindowEnabled(cancel))
        SendMessage(wnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(cancel));
      return 0;
    }
    case WM_SETFONT: ds->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(ds->font);
    case DM_GETDEFID: return MAKELONG(WORD(ds->defId), DC_HASDEFID);
    case DM_SETDEFID: {
      HWND old = GetDlgItem(wnd, ds->defId);
      if (old && (SendMessage(old, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
        SendMessage(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
      ds->defId = int(wParam);
      HWND now = GetDlgItem(wnd, ds->defId);
      if (now && (SendMessage(now, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
        SendMessage(now, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
      return TRUE;
    }
    case WM_SETFOCUS: {
      HWND f = ds->savedFocus && IsChild(wnd, ds->savedFocus) && IsTabCandidate(ds->savedFocus)
                   ? ds->savedFocus
                   : GetNextDlgTabItem(wnd, nullptr, FALSE);
      if (f) DialogFocus(f);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND f = GetFocus();
        if (f && IsChild(wnd, f)) ds->savedFocus = f;
      }
      return 0;
    case WM_INITDIALOG: return TRUE;
    case WM_NCDESTROY:
      if (ds->font) {
        DeleteObject(ds->font);
        ds->font = nullptr;
      }
      return 0;
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

HWND CreateDialogParam(HINSTANCE, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param) {
  UINT id = IS_INTRESOURCE(name) ? UINT(reinterpret_cast<std::uintptr_t>(name)) : 0;
  const win::DialogTemplate* t = win::FindDialogTemplate(id);
  if (!t) return nullptr;
  return CreateDialogFromTemplate(*t, parent, proc, param, id, false);
}

INT_PTR DialogBoxParam(HINSTANCE, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param) {
  UINT id = IS_INTRESOURCE(name) ? UINT(reinterpret_cast<std::uintptr_t>(name)) : 0;
  const win::DialogTemplate* t = win::FindDialogTemplate(id);
  if (!t) return -1;
  HWND owner = parent ? Root(parent) : nullptr;
  const FocusKeeper kept(owner);
  bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  win::DialogTemplate modal = *t;
  modal.style &= ~DS_CONTROL;
  HWND dlg = CreateDialogFromTemplate(modal, owner, proc, param, id, true);
  INT_PTR result = -1;
  if (dlg) {
    struct Cleanup {
      HWND dlg, owner;
      bool enable;
      const FocusKeeper& kept;
      ~Cleanup() {
        if (enable) EnableWindow(owner, TRUE);
        if (IsWindow(dlg)) DestroyWindow(dlg);
        if (owner && IsWindow(owner)) SetActiveWindow(owner);
        kept.Restore();
      }
    } cleanup{dlg, owner, ownerWasEnabled, kept};
    result = RunModal(dlg);
  } else if (ownerWasEnabled) {
    EnableWindow(owner, TRUE);
    kept.Restore();
  }
  return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  Window* w = Get(dialog);
  if (!w || !w->dialog) return FALSE;
  w->dialog->ended = true;
  w->dialog->result = result;
  if (w->dialog->modal) ShowWindow(dialog, SW_HIDE);
  return TRUE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  std::vector<HWND> all;
  Collect(dialog, all);
  if (all.empty()) return nullptr;
  auto isStop = [](HWND h) { return IsTabCandidate(h) && (Get(h)->style & WS_TABSTOP); };
  int n = int(all.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (all[std::size_t(i)] == control) start = i;
  if (start < 0) {
    if (previous) {
      for (int i = n - 1; i >= 0; --i)
        if (isStop(all[std::size_t(i)])) return all[std::size_t(i)];
    } else {
      for (int i = 0; i < n; ++i)
        if (isStop(all[std::size_t(i)])) return all[std::size_t(i)];
    }
    return nullptr;
  }
  for (int k = 1; k <= n; ++k) {
    int i = previous ? (start - k + n * 2) % n : (start + k) % n;
    if (isStop(all[std::size_t(i)])) return all[std::size_t(i)];
  }
  return control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  std::vector<HWND> all;
  Collect(dialog, all);
  int n = int(all.size());
  int at = -1;
  for (int i = 0; i < n; ++i)
    if (all[std::size_t(i)] == control) at = i;
  if (at < 0) return nullptr;
  // The group runs from the WS_GROUP control at or before the control to the one before the next WS_GROUP.
  int first = at;
  while (first > 0 && !(Get(all[std::size_t(first)])->style & WS_GROUP)) --first;
  int last = at + 1;
  while (last < n && !(Get(all[std::size_t(last)])->style & WS_GROUP)) ++last;
  int size = last - first;
  for (int k = 1; k <= size; ++k) {
    int i = first + ((at - first + (previous ? -k : k)) % size + size) % size;
    if (IsTabCandidate(all[std::size_t(i)])) return all[std::size_t(i)];
  }
  return control;
}

namespace {
// The character after the '&' of a control's text, lower case; 0 when it has none.
char MnemonicOf(const std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return char(std::tolower(static_cast<unsigned char>(text[i + 1])));
  }
  return 0;
}

// Alt+letter: a button with that mnemonic is pressed; a label's mnemonic focuses the control after it.
bool Mnemonic(HWND dialog, std::uint32_t ch) {
  if (ch >= 0x80) return false;
  char key = char(std::tolower(int(ch)));
  std::vector<HWND> all;
  Collect(dialog, all);
  for (std::size_t i = 0; i < all.size(); ++i) {
    HWND h = all[i];
    Window* w = Get(h);
    if (!w || !IsTabCandidate(h) || ((w->style & SS_NOPREFIX) && w->className == "Static")) continue;
    if (MnemonicOf(w->text) != key) continue;
    UINT code = UINT(SendMessage(h, WM_GETDLGCODE, 0, 0));
    if (code & DLGC_STATIC) {
      for (std::size_t k = i + 1; k < all.size(); ++k)
        if (IsTabCandidate(all[k]) && !(SendMessage(all[k], WM_GETDLGCODE, 0, 0) & DLGC_STATIC)) {
          DialogFocus(all[k]);
          return true;
        }
      return true;
    }
    if (code & DLGC_BUTTON) {
      if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) DialogFocus(h);
      SendMessage(h, BM_CLICK, 0, 0);
      return true;
    }
    DialogFocus(h);
    return true;
  }
  return false;
}
}  // namespace

BOOL IsDialogMessage(HWND dialog, LPMSG msg) {
  if (!msg || !Get(dialog)) return FALSE;
  if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
  // A dialog embedded as a control (a page) navigates within the dialog that holds it.
  while (Get(dialog) && (Get(dialog)->style & WS_CHILD) && (Get(dialog)->exStyle & WS_EX_CONTROLPARENT) &&
         Get(Get(dialog)->parent))
    dialog = Get(dialog)->parent;
  if (msg->message == WM_KEYDOWN) {
    UINT code = UINT(SendMessage(msg->hwnd, WM_GETDLGCODE, msg->wParam, LPARAM(msg)));
    if (!Get(dialog)) return TRUE;
    bool wantsMessage = code & DLGC_WANTMESSAGE;
    switch (msg->wParam) {
      case VK_TAB:
        if (!(code & (DLGC_WANTTAB | DLGC_WANTMESSAGE))) {
          HWND next = GetNextDlgTabItem(dialog, GetFocus(), KeyIsDown(VK_SHIFT));
          if (next) DialogFocus(next);
          return TRUE;
        }
        break;
      case VK_LEFT:
      case VK_UP:
      case VK_RIGHT:
      case VK_DOWN:
        if (!(code & (DLGC_WANTARROWS | DLGC_WANTMESSAGE))) {
          bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
          HWND next = GetNextDlgGroupItem(dialog, GetFocus(), back);
          if (next && next != GetFocus()) {
            DialogFocus(next);
            if (SendMessage(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) SendMessage(next, BM_CLICK, 0, 0);
          }
          return TRUE;
        }
        break;
      case VK_RETURN:
        if (!wantsMessage) {
          int id = IDOK;
          HWND focus = GetFocus();
          UINT fc = focus ? UINT(SendMessage(focus, WM_GETDLGCODE, 0, 0)) : 0;
          if (fc & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
            id = GetDlgCtrlID(focus);
          } else {
            LRESULT def = SendMessage(dialog, DM_GETDEFID, 0, 0);
            if (HIWORD(DWORD(def)) == DC_HASDEFID) id = LOWORD(DWORD(def));
          }
          HWND button = GetDlgItem(dialog, id);
          if (!button || IsWindowEnabled(button))
            SendMessage(dialog, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), LPARAM(button));
          return TRUE;
        }
        break;
      case VK_ESCAPE:
        if (!wantsMessage) {
          HWND button = GetDlgItem(dialog, IDCANCEL);
          if (!button || IsWindowEnabled(button))
            SendMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(button));
          return TRUE;
        }
        break;
      default: break;
    }
  }
  if (msg->message == WM_SYSCHAR ||
      (msg->message == WM_CHAR && msg->wParam > 0x20 &&
       !(SendMessage(msg->hwnd, WM_GETDLGCODE, msg->wParam, LPARAM(msg)) & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)))) {
    if (Mnemonic(dialog, std::uint32_t(msg->wParam))) return TRUE;
  }
  TranslateMessage(msg);
  DispatchMessage(msg);
  return TRUE;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND b = GetDlgItem(dialog, id);
  if (!b) return FALSE;
  SendMessage(b, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND b = GetDlgItem(dialog, id);
  return b ? UINT(SendMessage(b, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
  for (int id = first; id <= last; ++id)
    if (HWND b = GetDlgItem(dialog, id)) SendMessage(b, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
  return TRUE;
}

BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text) {
  HWND c = GetDlgItem(dialog, id);
  return c ? SetWindowText(c, text) : FALSE;
}

UINT GetDlgItemText(HWND dialog, int id, LPSTR out, int max) {
  HWND c = GetDlgItem(dialog, id);
  if (!c) {
    if (out && max > 0) out[0] = 0;
    return 0;
  }
  return UINT(GetWindowText(c, out, max));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  char buf[32];
  if (isSigned)
    std::snprintf(buf, sizeof(buf), "%d", int(value));
  else
    std::snprintf(buf, sizeof(buf), "%u", value);
  return SetDlgItemText(dialog, id, buf);
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  char buf[64];
  GetDlgItemText(dialog, id, buf, sizeof(buf));
  char* end = nullptr;
  const char* s = buf;
  while (*s == ' ') ++s;
  long long v = std::strtoll(s, &end, 10);
  bool ok = end != s && (isSigned || v >= 0);
  while (end && *end == ' ') ++end;
  if (end && *end) ok = false;
  if (translated) *translated = ok;
  return ok ? UINT(v) : 0;
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND c = GetDlgItem(dialog, id);
  return c ? SendMessage(c, msg, wParam, lParam) : 0;
}

BOOL MapDialogRect(HWND dialog, LPRECT r) {
  Window* w = Get(dialog);
  if (!w || !w->dialog || !r) return FALSE;
  int bx = w->dialog->baseX, by = w->dialog->baseY;
  r->left = MulDiv(r->left, bx, 4);
  r->right = MulDiv(r->right, bx, 4);
  r->top = MulDiv(r->top, by, 8);
  r->bottom = MulDiv(r->bottom, by, 8);
  return TRUE;
}

LONG GetDialogBaseUnits() {
  HFONT f = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  int bx, by;
  BaseUnits(f, bx, by);
  return MAKELONG(WORD(bx), WORD(by));
}

// ---- Scripts -----------------------------------------------------------------------------------------------------------------
namespace win::script {

void QueueDialogAnswer(int buttonId) {
  detail::QueueDialogScript([buttonId](HWND dlg) {
    HWND button = GetDlgItem(dlg, buttonId);
    SendMessage(dlg, WM_COMMAND, MAKEWPARAM(WORD(buttonId), BN_CLICKED), LPARAM(button));
  });
}

void QueueMenuCommand(UINT command) {
  detail::S().menus.push_back([command](HMENU) { return INT_PTR(command); });
}

std::size_t PendingDialogs() { return detail::S().dialogs.size(); }
std::size_t PendingMenus() { return detail::S().menus.size(); }
void ClearScripts() { detail::ResetScripts(); }
const std::vector<ModalRecord>& Log() { return detail::S().log; }
void ClearLog() { detail::S().log.clear(); }
void SetEchoStream(std::FILE* stream) { detail::S().echo = stream; }

void SetProgressStream(std::FILE* stream) { detail::S().progress = stream; }

void ProgressLine(const std::string& line) {
  if (!detail::S().progress) return;
  std::fprintf(detail::S().progress, "%s\n", TerminalText(line).c_str());
  std::fflush(detail::S().progress);
}
void SetUnscriptedHandler(std::function<INT_PTR(const ModalRecord&)> handler) {
  detail::S().unscripted = std::move(handler);
}

}  // namespace win::script

namespace win::detail {
void QueueMenuScript(std::function<INT_PTR(HMENU)> f) { S().menus.push_back(std::move(f)); }
}  // namespace win::detail
