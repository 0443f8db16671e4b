// Internals shared by the window system's implementation files (not for use outside platform/win).
#pragma once

#include <cairo.h>

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/screen/headless.h"
#include "platform/win/winapi.h"

class CWnd;

namespace win::detail {

// ---- Pixels -----------------------------------------------------------------------------------------------------
// An image surface (RGB24). Window backing stores and bitmaps are surfaces; DCs share them.
// An image surface of cairo's; throws std::bad_alloc when its pixels could not be had, where cairo would hand out
// a surface without them.
cairo_surface_t* NewImageSurface(cairo_format_t format, int width, int height);

struct Surface {
  cairo_surface_t* surface = nullptr;
  int width = 0;
  int height = 0;
  bool monochrome = false;
  // Without pixels the surface is an extent alone (a printer's paper, drawn on elsewhere): it reads as white and
  // keeps nothing written to it; its one-pixel image only serves the calls that want an image.
  bool pixels = true;
  // Throws std::bad_alloc when the pixels could not be had.
  Surface(int w, int h, bool withPixels = true);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  std::uint32_t* Row(int y);
  std::uint32_t Get(int x, int y) const;
  void Set(int x, int y, std::uint32_t rgb);
};
inline std::uint32_t ToRgb(COLORREF c) {
  return (DWORD(GetRValue(c)) << 16) | (DWORD(GetGValue(c)) << 8) | GetBValue(c);
}
inline COLORREF FromRgb(std::uint32_t p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }

// A set of pixels as rectangles (device coordinates); regions and clip areas.
struct Region {
  std::vector<RECT> rects;  // disjoint
  static Region FromRect(const RECT& r);
  bool Empty() const { return rects.empty(); }
  RECT Box() const;
  bool Contains(int x, int y) const;
  Region Intersect(const Region& other) const;
  Region Union(const Region& other) const;
  Region Subtract(const Region& other) const;
  Region Xor(const Region& other) const;
  Region Offset(int dx, int dy) const;
};

// A DC on a surface: created for a window (with its origin and visible area) or as a memory DC.
HDC CreateSurfaceDc(std::shared_ptr<Surface> surface, POINT deviceOrigin, const Region& visible, HWND wnd);
void SetDcWindow(HDC dc, HWND wnd);
HWND DcWindow(HDC dc);

// ---- Windows ------------------------------------------------------------------------------------------------------
struct WindowClass {
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HBRUSH background = nullptr;
  HCURSOR cursor = nullptr;
  int wndExtra = 0;
};

struct ScrollBar {
  int min = 0, max = 100, pos = 0, track = 0;
  UINT page = 0;
  bool shown = false;
  UINT disabled = 0;
  bool tracking = false;  // the thumb is held: it is drawn at track, wherever the owner puts pos
};

// A scroll bar along its length: an arrow at each end, the track between them and the thumb on it (pixels from
// the bar's start).
struct BarLayout {
  int length = 0, arrow = 0, thumbStart = 0, thumbSize = 0;
};
// The shortest thumb: one that a finger still takes.
inline constexpr int kMinThumb = 18;
// Holding an arrow or the track repeats its step after the delay, then at the rate (milliseconds).
inline constexpr UINT kScrollRepeatDelay = 400, kScrollRepeatRate = 50;
// The thumb is as long as the visible share of the range (the page), at least kMinThumb; without a page it is
// square.
BarLayout LayOutBar(const ScrollBar& b, int length, int thickness);
// What a press at a distance along the bar does: SB_LINEUP / SB_LINEDOWN (arrows), SB_PAGEUP / SB_PAGEDOWN
// (track), SB_THUMBTRACK (thumb).
UINT BarPartAt(const BarLayout& l, int along);
// The position that a thumb starting at the distance stands for.
int BarPositionAt(const ScrollBar& b, const BarLayout& l, int thumbStart);
// The frame's scroll bars (WS_HSCROLL, WS_VSCROLL): their place in window coordinates, their pixels, and a press
// of the left button on one (the scroll bar follows the mouse until the button is released).
RECT FrameScrollBarRect(HWND wnd, int bar);
void DrawFrameScrollBars(HWND wnd, HDC dc);
void PressFrameScrollBar(HWND wnd, int bar, POINT screen);

// Top-level windows moved and sized by their frame: what a point on the frame of a window with a sizing border
// (WS_THICKFRAME) is (HTLEFT ... HTBOTTOMRIGHT; HTNOWHERE elsewhere), a press of the left button on the caption or
// such an edge (the window follows the mouse until the button is released), and the smallest size the window
// takes (WM_GETMINMAXINFO).
struct Window;
LRESULT SizingEdgeAt(const Window& w, POINT inWindow);
void PressFrame(HWND wnd, LRESULT hit);
SIZE MinTrackSize(HWND wnd);
// SC_MAXIMIZE and SC_RESTORE: the window covers the work area, and back where it was (WM_SIZE tells which).
void Maximize(HWND wnd, bool maximize);

struct DialogState {
  DLGPROC proc = nullptr;
  LPARAM param = 0;
  bool modal = false;
  bool ended = false;
  INT_PTR result = 0;
  int defId = IDOK;
  HWND savedFocus = nullptr;
  int baseX = 6, baseY = 13;  // pixels per 4 horizontal / 8 vertical dialog units
  HFONT font = nullptr;
  UINT templateId = 0;
  LONG_PTR msgResult = 0;
  LONG_PTR user = 0;
};

struct Window {
  HWND hwnd = nullptr;
  std::string className;
  UINT classStyle = 0;
  HBRUSH classBackground = nullptr;
  HCURSOR classCursor = nullptr;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string text;
  UINT_PTR id = 0;
  HWND parent = nullptr;       // children
  HWND owner = nullptr;        // pop-ups
  std::vector<HWND> children;  // z-order = creation order: the first is the top, and the first in tab order
  RECT rect{};                 // window rectangle: parent client coordinates (children) or screen (top level)
  HMENU menu = nullptr;
  LONG_PTR userData = 0;
  HINSTANCE instance = nullptr;
  std::map<std::string, HANDLE> props;
  RECT invalid{};
  bool hasInvalid = false;
  bool erase = false;
  bool redraw = true;
  bool destroying = false;
  ScrollBar hscroll, vscroll;
  CWnd* cwnd = nullptr;             // the permanent MFC object
  std::shared_ptr<CWnd> temporary;  // a wrapper made by CWnd::FromHandle
  std::shared_ptr<void> control;    // a built-in control's state
  std::unique_ptr<DialogState> dialog;
  std::shared_ptr<Surface> backing;  // top-level windows: the pixels
  bool maximized = false;            // it covers the work area; restored, it goes back to restoreRect
  RECT restoreRect{};
};

Window* Get(HWND wnd);
std::vector<HWND> TopLevelWindows();
HWND Root(HWND wnd);
// Frame insets of a window (border, caption, scroll bars): left, top, right, bottom.
RECT FrameInsets(const Window& w);
// The window's client area origin in the coordinates of its root window.
POINT ClientOriginInRoot(HWND wnd);
POINT WindowOriginInRoot(HWND wnd);
// The part of the client (or whole window) area that can be seen, in root coordinates, without visible children.
Region VisibleArea(HWND wnd, bool clientOnly, bool excludeChildren);
std::shared_ptr<Surface> BackingOf(HWND wnd);
bool IsVisibleTree(HWND wnd);

// Sends WM_COMMAND with a notification code to the control's parent.
void NotifyCommand(HWND control, UINT code);
// Sends WM_NOTIFY to the control's parent, filling the header.
LRESULT NotifyParent(HWND control, NMHDR* header, UINT code);
// The font a window draws with (WM_GETFONT or the default GUI font).
HFONT WindowFont(HWND wnd);

// Paints the window (frame, erase, WM_PAINT) and its visible children.
void PaintTree(HWND wnd, bool force);
void PaintFrame(HWND wnd);
// The window no longer covers its rectangle (hidden, moved, destroyed): what lies there is painted again.
void InvalidateParentArea(Window* w);

// MFC layer hooks: attaching a CWnd while a window is created, and pre-translation of queued messages.
extern void (*g_createHook)(HWND wnd, CREATESTRUCT* cs);
extern bool (*g_preTranslateHook)(MSG* msg);
// Run by the MFC layer when a window is destroyed.
extern void (*g_destroyHook)(HWND wnd);

// Keeps small numbers (system-colour brushes, HWND_BOTTOM) free of handles.
void EnsureHandleFloor();

// Built-in control classes register themselves here.
void RegisterBuiltInClasses();
void RegisterDialogClass();

// Control state stored with a window.
template <class T>
T& ControlState(HWND wnd) {
  Window* w = Get(wnd);
  if (!w->control) w->control = std::make_shared<T>();
  return *static_cast<T*>(w->control.get());
}

// The scripted answer of a modal dialog or menu.
INT_PTR Unscripted(script::ModalRecord record);
void LogModal(const script::ModalRecord& record);

// Text helpers. Lower: the text in lower case (class and face names compare without case).
std::string Lower(std::string s);
std::string ValidUtf8(std::string_view text);
int Utf8Next(const std::string& s, int pos);
int Utf8Prev(const std::string& s, int pos);
std::string EncodeUtf8(std::uint32_t cp);

// Dialogs from templates and modal runs.
HWND CreateDialogFromTemplate(const DialogTemplate& t, HWND parent, DLGPROC proc, LPARAM param, UINT templateId,
                              bool show);
INT_PTR RunModal(HWND dialog);
void QueueDialogScript(std::function<void(HWND)> script);
void QueueMenuScript(std::function<INT_PTR(HMENU)> script);
std::function<INT_PTR(HMENU)> TakeMenuScript();
void BaseUnits(HFONT font, int& baseX, int& baseY);

// A popup menu shown on the screen until the user picks an item (its command) or closes it (0). The owner measures
// and draws its owner-drawn items and answers the letters no item's text has (WM_MENUCHAR).
INT_PTR TrackMenuOnScreen(HMENU menu, int x, int y, HWND owner);
// An owner-drawn menu item measured by its owner (the menu object it belongs to answers through it): its size.
SIZE MeasureOwnerDrawnItem(HMENU menu, const MENUITEMINFO& info, HWND owner, UINT height);
// An owner-drawn menu item drawn by its owner into the rectangle of the DC.
void DrawOwnerDrawnItem(HDC dc, HMENU menu, const MENUITEMINFO& info, HWND owner, const RECT& rect, bool selected);

// Sets focus without the checks of SetFocus (used by dialogs).
void DialogFocus(HWND control);

// Tooltips that see the mouse messages of a tool window by themselves (TTF_SUBCLASS).
void AddRelay(HWND tool, HWND tip);
void RemoveRelay(HWND tool, HWND tip);
// The mouse left a window: tips watching it go away.
void MouseLeftWindow(HWND wnd);

// Puts a message at the front of the queue (the character of a key press is read next).
void PostMessageFront(const MSG& msg);

// A modal window (dialog, message box, file dialog, popup menu) opens: the window that holds the mouse and the
// window whose button press is being handled give up what they started (WM_CANCELMODE), and the capture ends, so
// that every click reaches the modal window.
void CancelModes();

// The window that had the keyboard when a modal window opened over its owner, and the windows it sits in: the
// owner, disabled meanwhile, loses the focus, and gets it back there when the modal window has gone (or on the
// nearest of those windows still there: an in-place editor ends with the focus loss, its grid stays).
class FocusKeeper {
 public:
  explicit FocusKeeper(HWND owner);
  void Restore() const;

 private:
  HWND owner_;
  std::vector<HWND> chain_;  // the focus window first, then its parents up to the owner
};

// Key and mouse state.
bool KeyIsDown(UINT vk);
UINT MouseKeyFlags();

// Reset of the clipboard and input state, and of the scripts.
void ResetClipboard();
void ResetScripts();

}  // namespace win::detail
