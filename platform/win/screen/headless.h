// What a test (or the host) does with the headless window system that a user would do with a real one: let time
// pass, pump messages, move the mouse and type, answer modal dialogs and menus, and look at windows as pictures.
#pragma once

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win/winapi.h"

class CDialog;
struct _cairo;  // cairo_t

namespace win {

// ---- Time and the message pump -------------------------------------------------------------------------------
// The clock (milliseconds) starts at 0 and moves only when told; timers fall due against it.
DWORD Now();
void AdvanceClock(DWORD ms);
// Dispatches every posted message, then due timers, then pending paints, until nothing is left; returns the
// number of messages dispatched. Messages go through PreTranslateMessage/IsDialogMessage as in an MFC loop.
int PumpMessages();
// AdvanceClock in steps of at most stepMs, pumping after each step.
void RunFor(DWORD ms, DWORD stepMs = 10);
// Destroys every window and forgets queued messages, timers, focus, capture, clipboard and scripts.
void ResetWindowSystem();
// The number of windows that exist.
std::size_t WindowCount();

// ---- Input, fed through the real input path (hit test, capture, queue, translation, dispatch) ---------------------
namespace input {
// Points are in the client coordinates of the window given.
void MouseMove(HWND wnd, int x, int y);
void MouseDown(HWND wnd, int x, int y, UINT button = VK_LBUTTON);
void MouseUp(HWND wnd, int x, int y, UINT button = VK_LBUTTON);
void Click(HWND wnd, int x, int y, UINT button = VK_LBUTTON);
void DoubleClick(HWND wnd, int x, int y);
// Press at (x0, y0), move in steps to (x1, y1), release.
void Drag(HWND wnd, int x0, int y0, int x1, int y1, int steps = 4);
// Clicks the middle of a window (a control).
void ClickCenter(HWND wnd);
void Wheel(HWND wnd, int x, int y, int delta);
// Keys go to the focus window. KeyDown/KeyUp change the key state that GetKeyState reports.
void KeyDown(UINT vk);
void KeyUp(UINT vk);
void Key(UINT vk);                     // down and up
void KeyWith(UINT modifier, UINT vk);  // e.g. KeyWith(VK_CONTROL, 'C'), KeyWith(VK_SHIFT, VK_TAB)
// Types UTF-8 text as key presses and characters ('\n' is Enter, '\t' Tab).
void Type(const std::string& text);
}  // namespace input

// ---- Pictures --------------------------------------------------------------------------------------------------
// Repaints the window and its children (non-client area, WM_ERASEBKGND, WM_PAINT) into one picture.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row by row
  COLORREF At(int x, int y) const;    // as COLORREF (0x00BBGGRR); CLR_INVALID outside
};
Image RenderWindow(HWND wnd);
bool SaveWindowPng(HWND wnd, const std::string& path);
// The window and its children painted whole on fresh pixels, the window's own pixels and what waits to be painted
// on them left as they are: what should be shown, to hold against what was painted.
Image RenderWindowApart(HWND wnd);
// The window's pixels as painting left them, nothing painted for it (what a screen shows of it).
Image PaintedPixels(HWND wnd);
bool SavePng(const Image& image, const std::string& path);
// The pixel of a memory DC's selected bitmap (or any DC's surface) in device coordinates.
COLORREF PeekPixel(HDC dc, int x, int y);

// ---- Menus as pictures ---------------------------------------------------------------------------------------------
// Draws a popup menu as it opens: owner-drawn items are measured and drawn by the owner window (WM_MEASUREITEM,
// WM_DRAWITEM with ODT_MENU), the others as text with check marks and submenu arrows. highlighted is the position
// drawn selected (-1 none).
Image RenderMenu(HMENU menu, HWND owner, int highlighted = -1);
// The menu whose item the owner is measuring (for WM_MEASUREITEM, which names only the item).
HMENU MenuOfMeasuredItem();

// ---- Answers for modal interaction -----------------------------------------------------------------------------
// Raised by the default unscripted handler of tests (see wintest.h) and usable by any handler.
struct UnscriptedInteraction : std::runtime_error {
  using std::runtime_error::runtime_error;
};

namespace script {
// A modal dialog runs the next queued script: it gets the live, initialised dialog and interacts with it (set
// texts, click, type); the dialog must end (EndDialog) by the end of the script. A plain answer presses the
// button with that id (WM_COMMAND), so OnOK/OnCancel run as for a user.
void QueueDialog(std::function<void(CDialog& dialog)> script);
void QueueDialogAnswer(int buttonId);
// A popup menu answers with the next queued command (0 = closed without choice). Text answers pick the item
// whose text path ("Sub\Item", '&' ignored) matches.
void QueueMenuCommand(UINT command);
void QueueMenuItem(const std::string& textPath);
std::size_t PendingDialogs();
std::size_t PendingMenus();
void ClearScripts();

struct ModalRecord {
  std::string kind;     // "dialog" or "menu"
  std::string caption;  // dialog caption, or the menu's item texts joined by '|'
  UINT templateId = 0;
  INT_PTR answer = 0;
  bool scripted = false;
  bool onScreen = false;  // answered by the person at the screen (not echoed)
};
const std::vector<ModalRecord>& Log();
void ClearLog();

// Where modal dialogs and menus are echoed as they are answered (nullptr: nowhere, the default).
void SetEchoStream(std::FILE* stream);
// Where the steps of progress dialogs are written as they are shown, one line each, so that a run without a
// screen still tells them (nullptr: nowhere, the default).
void SetProgressStream(std::FILE* stream);
void ProgressLine(const std::string& line);

// Called when a dialog or menu finds no script (or a dialog script does not end its dialog). The result is
// the answer (a dialog's end code, a menu's command). Without a handler: dialogs end with IDCANCEL, menus with 0.
void SetUnscriptedHandler(std::function<INT_PTR(const ModalRecord&)> handler);
}  // namespace script

// ---- Resources written in code -------------------------------------------------------------------------------------
struct DialogItem {
  int id = -1;
  std::string className;  // "Button", "Edit", "Static", "ComboBox", "ListBox", "msctls_progress32", ...
  std::string text;
  DWORD style = 0;                   // WS_CHILD is added, and WS_VISIBLE unless the item is hidden
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  DWORD exStyle = 0;
  bool hidden = false;
};
struct DialogTemplate {
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 100, cy = 60;  // dialog units
  std::string caption;
  std::string fontFace = "MS Shell Dlg";
  int pointSize = 8;
  std::vector<DialogItem> items;
};
void RegisterDialogTemplate(UINT id, DialogTemplate dialog);
const DialogTemplate* FindDialogTemplate(UINT id);
void RegisterString(UINT id, const std::string& text);
// Registers at load time (for a file-scope object next to the code that owns the resource).
struct DialogTemplateRegistrar {
  DialogTemplateRegistrar(UINT id, DialogTemplate dialog) { RegisterDialogTemplate(id, std::move(dialog)); }
};
struct StringRegistrar {
  StringRegistrar(UINT id, const char* text) { RegisterString(id, text); }
};

// ---- Clipboard -----------------------------------------------------------------------------------------------------
std::string ClipboardText();
void SetClipboardText(const std::string& text);

// ---- Fonts ---------------------------------------------------------------------------------------------------------
// The DejaVu family a face name is drawn with (fixed, so that text widths are stable).
std::string FontFamilyFor(const std::string& face);
// The font file in folder that draws the family bold and/or italic: the installed oblique or italic face, else the
// upright one, which is then to be slanted (slant set).
std::string FontFileFor(const std::string& folder, const std::string& family, bool bold, bool italic, bool& slant);
// Sets the cairo context's font to the family's DejaVu face at size (in the context's units), bold and/or italic, from
// the font files the window system draws with: what it draws does not hang on the fonts the machine's font matching
// knows at that moment (its caches on a first start).
void SelectFontFace(::_cairo* cr, const std::string& family, bool bold, bool italic, double size);

// The current cursor's resource id (32512 for the arrow).
UINT CurrentCursorId();

// Walks a window's caption and its children's texts through a translation function; installed as the
// localisation library's window translator.
BOOL TranslateWindowTexts(HWND wnd, const char* (*translate)(const char* text, void* state), void* state);

}  // namespace win
