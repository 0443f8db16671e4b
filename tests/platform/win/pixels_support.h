// For tests of the built-in controls: a modeless dialog made from a template in code that records what its
// controls tell it, input sent to a control, and the control's pixels read in its own client coordinates.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/dialogs/wintest.h"

namespace win::pixels {

// The dialog under test: every WM_COMMAND and WM_NOTIFY of its controls is written down as "cmd ID:CODE" or
// "ntf ID:CODE"; a notification may be answered with `answer`. Scroll codes are applied to the scroll-bar control
// that sent them, as a dialog that owns one does.
class Board : public CDialog {
 public:
  std::vector<std::string> events;
  LRESULT answer = 0;
  BOOL OnCommand(WPARAM w, LPARAM) override {
    events.push_back("cmd " + std::to_string(LOWORD(w)) + ":" + std::to_string(HIWORD(w)));
    return TRUE;
  }
  BOOL OnNotify(WPARAM, LPARAM l, LRESULT* r) override {
    const auto* h = reinterpret_cast<const NMHDR*>(l);
    events.push_back("ntf " + std::to_string(h->idFrom) + ":" + std::to_string(int(h->code)));
    *r = answer;
    return TRUE;
  }
  bool Saw(const std::string& e) const { return std::find(events.begin(), events.end(), e) != events.end(); }
  void OnVScroll(UINT code, UINT pos, CScrollBar* bar) { Apply(code, pos, bar); }
  void OnHScroll(UINT code, UINT pos, CScrollBar* bar) { Apply(code, pos, bar); }
  DECLARE_MESSAGE_MAP()

 private:
  // Spins send scroll messages too: only a scroll-bar control is moved (and only through its handle, since the
  // wrapper of a spin is no CScrollBar).
  static void Apply(UINT code, UINT pos, CScrollBar* sender) {
    HWND bar = sender ? reinterpret_cast<CWnd*>(sender)->m_hWnd : nullptr;
    char cls[16] = "";
    if (!bar || !::GetClassName(bar, cls, sizeof(cls)) || std::string(cls) != "ScrollBar") return;
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    ::GetScrollInfo(bar, SB_CTL, &si);
    int p = si.nPos;
    switch (code) {
      case SB_LINEUP: p -= 1; break;
      case SB_LINEDOWN: p += 1; break;
      case SB_PAGEUP: p -= int(si.nPage); break;
      case SB_PAGEDOWN: p += int(si.nPage); break;
      case SB_THUMBPOSITION: p = int(pos); break;
      default: return;  // the bar is left where it is while the thumb is tracked
    }
    ::SetScrollPos(bar, SB_CTL, p, TRUE);
  }
};

inline std::string Cmd(int id, UINT code) { return "cmd " + std::to_string(id) + ":" + std::to_string(code); }
inline std::string Ntf(int id, UINT code) { return "ntf " + std::to_string(id) + ":" + std::to_string(int(code)); }

// A window's picture with points given in its client coordinates (a border, if any, lies outside them).
struct Picture {
  win::Image image;
  POINT origin{0, 0};  // where the client area starts in the image
  COLORREF At(int x, int y) const { return image.At(x + origin.x, y + origin.y); }
  COLORREF At(POINT p) const { return At(p.x, p.y); }
  // How many pixels in the area have the colour.
  int Count(const RECT& area, COLORREF colour) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) n += At(x, y) == colour;
    return n;
  }
  // The smallest rectangle holding every pixel of the colour in the area; none if the colour is not there.
  std::optional<RECT> Bounds(const RECT& area, COLORREF colour) const {
    std::optional<RECT> out;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) {
        if (At(x, y) != colour) continue;
        if (!out) out = RECT{x, y, x + 1, y + 1};
        out->left = std::min<LONG>(out->left, x);
        out->top = std::min<LONG>(out->top, y);
        out->right = std::max<LONG>(out->right, x + 1);
        out->bottom = std::max<LONG>(out->bottom, y + 1);
      }
    return out;
  }
  // Pixels that are neither of the two colours: text and other ink over a background and its highlight.
  std::optional<RECT> Ink(const RECT& area, COLORREF back, COLORREF other = CLR_INVALID) const {
    std::optional<RECT> out;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) {
        COLORREF c = At(x, y);
        if (c == back || c == other) continue;
        if (!out) out = RECT{x, y, x + 1, y + 1};
        out->left = std::min<LONG>(out->left, x);
        out->top = std::min<LONG>(out->top, y);
        out->right = std::max<LONG>(out->right, x + 1);
        out->bottom = std::max<LONG>(out->bottom, y + 1);
      }
    return out;
  }
  // For each column of the area holding a run of at least `length` pixels of the colour, where the first such run
  // starts: a caret, which no letter's stroke is as tall as.
  std::vector<POINT> Runs(const RECT& area, COLORREF colour, int length) const {
    std::vector<POINT> out;
    for (int x = area.left; x < area.right; ++x) {
      int run = 0;
      for (int y = area.top; y < area.bottom; ++y) {
        run = At(x, y) == colour ? run + 1 : 0;
        if (run == length) {
          out.push_back({x, y - length + 1});
          break;
        }
      }
    }
    return out;
  }
  // Whether the area here shows the same pixels as the same-sized area of another picture.
  bool Same(const RECT& area, const Picture& other, POINT otherTopLeft) const {
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x)
        if (At(x, y) != other.At(otherTopLeft.x + x - area.left, otherTopLeft.y + y - area.top)) return false;
    return true;
  }
};

// Repaints the window and its children and takes the picture. With KOLUMO_TEST_PNG_DIR set, the picture is also
// written there (as NAME.png) to be looked at.
inline Picture Shot(HWND wnd, const char* name = nullptr) {
  Picture p;
  p.image = win::RenderWindow(wnd);
  RECT wr;
  GetWindowRect(wnd, &wr);
  POINT client{0, 0};
  ClientToScreen(wnd, &client);
  p.origin = {client.x - wr.left, client.y - wr.top};
  if (const char* dir = std::getenv("KOLUMO_TEST_PNG_DIR"); dir && name)
    win::SavePng(p.image, std::string(dir) + "/" + name + ".png");
  return p;
}

inline RECT ClientRect(HWND wnd) {
  RECT r;
  GetClientRect(wnd, &r);
  return r;
}

// The height of a line of text in the control's font.
inline int LineHeight(HWND wnd) {
  HDC dc = GetDC(wnd);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(wnd, WM_GETFONT, 0, 0)));
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(wnd, dc);
  return tm.tmHeight;
}

// Where the thumb of a window's own vertical scroll bar starts, in the window's client coordinates: the first pixel
// of a raised edge on the track between the arrows. -1 when no thumb is drawn.
inline int VScrollThumbTop(const Picture& p, HWND wnd) {
  RECT rc = ClientRect(wnd);
  int a = GetSystemMetrics(SM_CXVSCROLL);
  int x = rc.right + a / 2;
  for (int y = a; y < rc.bottom - a; ++y)
    if (p.At(x, y) == GetSysColor(COLOR_3DLIGHT)) return y;
  return -1;
}

// A modeless dialog with the items given (dialog units), shown; the controls use the dialog's font.
class ControlPixelTest : public win::test::WindowTest {
 protected:
  void Open(std::vector<win::DialogItem> items, int cx = 200, int cy = 140) {
    win::DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME;
    t.caption = "Prüfung";
    t.cx = cx;
    t.cy = cy;
    t.items = std::move(items);
    ASSERT_TRUE(board.CreateIndirect(t));
    win::PumpMessages();
  }
  HWND Item(int id) const {
    HWND h = ::GetDlgItem(board.m_hWnd, id);
    EXPECT_NE(h, nullptr) << "no control " << id;
    return h;
  }
  // Lets the double-click time pass, so that the next click is a click of its own.
  static void Pause() { win::AdvanceClock(1000); }
  void TearDown() override {
    if (board.m_hWnd) board.DestroyWindow();
    win::test::WindowTest::TearDown();
  }

  Board board;
};

}  // namespace win::pixels
