// A message box as a window of its own: icon, text and the buttons of its type, laid out from the text's size,
// centred on its owner and answered by a person at the screen (or a test's input).
#include <algorithm>

#include "platform/win/window/internal.h"
#include "platform/win/dialogs/msgboxwnd.h"
#include "platform/win/resources/resources.h"
#include "platform/win/screen/screen.h"

namespace win::detail {
namespace {

constexpr int kIconId = 0x50, kTextId = 0xFFFF;

struct BoxState {
  std::vector<ButtonSpec> buttons;
  int escape = 0;  // the answer of Escape and of the close box; 0: they do nothing
};

INT_PTR BoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM) {
  Window* w = Get(box);
  if (!w || !w->dialog) return FALSE;
  auto* state = reinterpret_cast<BoxState*>(w->dialog->user);
  if (msg != WM_COMMAND || !state || HIWORD(wParam) != BN_CLICKED) return FALSE;
  const int id = LOWORD(wParam);
  // Escape and the close box arrive as IDCANCEL whether or not the box has a Cancel button.
  if (id == IDCANCEL && state->escape != 0) {
    EndDialog(box, state->escape);
    return TRUE;
  }
  for (const ButtonSpec& b : state->buttons)
    if (b.id == id) {
      EndDialog(box, id);
      return TRUE;
    }
  return TRUE;
}

LPCSTR IconOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return IDI_ERROR;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONWARNING: return IDI_WARNING;
    case MB_ICONINFORMATION: return IDI_INFORMATION;
    default: return nullptr;
  }
}

}  // namespace

std::vector<ButtonSpec> MessageBoxButtons(UINT type) {
  // A letter answers as its button does (J, N, W, A, I); OK and Cancel have Enter and Escape.
  static const ButtonSpec ok{IDOK, "OK"}, cancel{IDCANCEL, "Abbrechen"}, yes{IDYES, "&Ja"}, no{IDNO, "&Nein"},
      retry{IDRETRY, "&Wiederholen"}, abort{IDABORT, "&Abbrechen"}, ignore{IDIGNORE, "&Ignorieren"};
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {ok, cancel};
    case MB_ABORTRETRYIGNORE: return {abort, retry, ignore};
    case MB_YESNOCANCEL: return {yes, no, cancel};
    case MB_YESNO: return {yes, no};
    case MB_RETRYCANCEL: return {retry, cancel};
    default: return {ok};
  }
}

int MessageBoxEscapeAnswer(UINT type) {
  // The way out of a box is its Cancel, else its No; a box with the single OK closes with it.
  int answer = 0;
  for (const ButtonSpec& b : MessageBoxButtons(type)) {
    if (b.id == IDCANCEL) return IDCANCEL;
    if (b.id == IDNO) answer = IDNO;
  }
  if ((type & MB_TYPEMASK) == MB_OK) answer = IDOK;
  return answer;
}

int RunMessageBoxWindow(HWND owner, const std::string& text, const std::string& caption, UINT type, int defaultAnswer) {
  if (owner) owner = Root(owner);
  if (owner && !IsWindow(owner)) owner = nullptr;
  BoxState state;
  state.buttons = MessageBoxButtons(type);
  state.escape = MessageBoxEscapeAnswer(type);

  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_ABSALIGN;
  t.caption = caption;
  t.cx = 10;
  t.cy = 10;
  HWND box = CreateDialogFromTemplate(t, owner, &BoxProc, 0, 0, false);
  if (!box) return defaultAnswer;
  Get(box)->dialog->user = reinterpret_cast<LONG_PTR>(&state);
  HFONT font = reinterpret_cast<HFONT>(SendMessage(box, WM_GETFONT, 0, 0));

  // Dialog units as a desktop's boxes use them: 7 of margin, buttons 50 x 14 with 4 between them.
  RECT du{7, 7, 50, 14};
  MapDialogRect(box, &du);
  const int margin = du.left, buttonW = du.right, buttonH = du.bottom;
  RECT gapRect{4, 0, 0, 0};
  MapDialogRect(box, &gapRect);
  const int gap = gapRect.left;
  const int iconSize = 32;
  const LPCSTR iconName = IconOf(type);

  std::string body;
  for (char c : text)
    if (c != '\r') body += c;
  // The text wraps at a width a reader takes in at a glance; its own line breaks stay.
  const int maxTextW = std::max(GetSystemMetrics(SM_CXSCREEN) * 3 / 8, 280);
  RECT textRect{0, 0, maxTextW, 0};
  HDC dc = GetDC(box);
  HGDIOBJ oldFont = SelectObject(dc, font);
  DrawText(dc, body.empty() ? " " : body.c_str(), -1, &textRect,
           DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, oldFont);
  ReleaseDC(box, dc);
  const int textW = textRect.right - textRect.left + 2, textH = textRect.bottom - textRect.top;

  const int textX = iconName ? margin * 2 + iconSize + margin : margin * 2;
  const int contentH = std::max(textH, iconName ? iconSize : 0);
  const int n = int(state.buttons.size());
  const int rowW = n * buttonW + (n - 1) * gap;
  const int clientW = std::max(textX + textW + margin * 2, rowW + margin * 4);
  const int buttonsY = margin * 2 + contentH + margin * 2;
  const int clientH = buttonsY + buttonH + margin * 2;

  if (iconName) {
    HWND icon = CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_ICON, margin * 2,
                               margin * 2 + (contentH - iconSize) / 2, iconSize, iconSize, box,
                               reinterpret_cast<HMENU>(std::intptr_t(kIconId)), nullptr, nullptr);
    SendMessage(icon, STM_SETICON, WPARAM(LoadIcon(nullptr, iconName)), 0);
  }
  HWND label = CreateWindowEx(0, "Static", body.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, textX,
                              margin * 2 + (contentH - textH) / 2, textW, textH, box,
                              reinterpret_cast<HMENU>(std::intptr_t(kTextId)), nullptr, nullptr);
  SendMessage(label, WM_SETFONT, WPARAM(font), FALSE);
  int x = (clientW - rowW) / 2;
  HWND focus = nullptr;
  for (const ButtonSpec& b : state.buttons) {
    const bool isDefault = b.id == defaultAnswer;
    // The buttons are one group: the arrow keys go from one to the next.
    const DWORD group = &b == &state.buttons.front() ? WS_GROUP : 0;
    HWND button =
        CreateWindowEx(0, "Button", b.text.c_str(),
                       WS_CHILD | WS_VISIBLE | WS_TABSTOP | group | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), x,
                       buttonsY, buttonW, buttonH, box, reinterpret_cast<HMENU>(std::intptr_t(b.id)), nullptr, nullptr);
    SendMessage(button, WM_SETFONT, WPARAM(font), FALSE);
    if (isDefault) focus = button;
    x += buttonW + gap;
  }
  if (!focus) focus = GetDlgItem(box, state.buttons.front().id);
  SendMessage(box, DM_SETDEFID, WPARAM(GetDlgCtrlID(focus)), 0);

  // Sized to its content and centred on its owner (the screen without one), kept on the screen.
  Window probe;
  probe.style = Get(box)->style;
  probe.exStyle = Get(box)->exStyle;
  const RECT in = FrameInsets(probe);
  const int w = clientW + in.left + in.right, h = clientH + in.top + in.bottom;
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  RECT area{0, 0, screenW, screenH};
  if (owner && IsWindowVisible(owner)) GetWindowRect(owner, &area);
  int left = area.left + (area.right - area.left - w) / 2, top = area.top + (area.bottom - area.top - h) / 2;
  left = std::max(0, std::min(left, screenW - w));
  top = std::max(0, std::min(top, screenH - h));
  SetWindowPos(box, HWND_TOP, left, top, w, h, SWP_NOACTIVATE);
  return int(RunOwnModal(box, owner, focus, defaultAnswer));
}

INT_PTR RunOwnModal(HWND dialog, HWND owner, HWND focus, INT_PTR gone, const std::function<void()>& user) {
  const FocusKeeper kept(owner);
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  Get(dialog)->dialog->modal = true;
  ShowWindow(dialog, SW_SHOW);
  SetActiveWindow(dialog);
  if (focus) {
    DialogFocus(focus);
    Get(dialog)->dialog->savedFocus = focus;
  }
  auto ended = [dialog] { return !Get(dialog) || Get(dialog)->dialog->ended; };
  if (user) user();
  while (!ended()) {
    PumpMessages();
    if (ended()) break;
    Screen* screen = CurrentScreen();
    if (screen && screen->WaitForInput(NextTimerDelay())) continue;
    // Nobody can answer any more (the screen went).
    EndDialog(dialog, gone);
  }
  const INT_PTR answer = Get(dialog) ? Get(dialog)->dialog->result : gone;
  if (ownerWasEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(dialog)) DestroyWindow(dialog);
  if (owner && IsWindow(owner)) SetActiveWindow(owner);
  kept.Restore();
  PumpMessages();
  return answer;
}

}  // namespace win::detail
