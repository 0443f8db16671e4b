// What painting leaves on a window's pixels is what painting the whole window at once gives, however little was
// invalidated: a window that paints over a later sibling, or over the children of a later sibling, has them
// painted again over it.
#include <gtest/gtest.h>

#include <string>

#include "platform/win/dialogs/wintest.h"

namespace {

// A window that fills its client area with the colour kept in its user data (erase and paint alike).
LRESULT SolidProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    RECT rc;
    GetClientRect(wnd, &rc);
    HBRUSH brush = CreateSolidBrush(COLORREF(GetWindowLongPtr(wnd, GWLP_USERDATA)));
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    EndPaint(wnd, &ps);
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;
  return DefWindowProc(wnd, msg, wParam, lParam);
}

constexpr COLORREF kRed = RGB(200, 0, 0), kGreen = RGB(0, 160, 0), kBlue = RGB(0, 0, 220), kGrey = RGB(90, 90, 90),
                   kYellow = RGB(230, 230, 0);

class PaintOrderTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    WNDCLASS c{};
    c.lpfnWndProc = &SolidProc;
    c.lpszClassName = "PaintOrderSolid";
    RegisterClass(&c);
  }
  HWND Make(HWND parent, DWORD style, RECT r, COLORREF colour) {
    HWND wnd = CreateWindowEx(0, "PaintOrderSolid", "", (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE | style, r.left,
                              r.top, r.right - r.left, r.bottom - r.top, parent, nullptr, nullptr, nullptr);
    SetWindowLongPtr(wnd, GWLP_USERDATA, LONG_PTR(colour));
    return wnd;
  }
  static COLORREF At(const win::Image& image, POINT p) { return image.At(p.x, p.y); }
};

// The tree: a top-level window; under it a "tab" (red) filling most of it, then a "page" (green) laid over the
// tab, with a "control" (blue) on the page; then a "box" (yellow), over a corner of the control, with a child
// "mark" (grey) whose rectangle reaches out of the box to the left and up

struct Tree {
  HWND top, tab, page, control, box, mark;
};

struct Case {
  const char* name;
  // Which window is invalidated (index into the tree, 0 = top) and where (null: all), and whether the top clips
  // its children.
  int invalidated;
  bool wholeClient;
  RECT part;
  bool clipChildren;
};

TEST_F(PaintOrderTest, PartialPaintsLeaveWhatAWholePaintLeaves) {
  const Case cases[] = {
      {"the tab under the page", 1, true, {}, false},
      {"part of the tab under the control", 1, false, {40, 40, 60, 60}, false},
      {"the page under the mark", 2, true, {}, false},
      {"the control, under the mark's corner", 3, true, {}, false},
      {"the top, clipping its children", 0, true, {}, true},
      {"the top, painting over its children", 0, true, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Tree t{};
    t.top = Make(nullptr, c.clipChildren ? WS_CLIPCHILDREN : 0, {10, 10, 210, 160}, kGrey);
    t.tab = Make(t.top, 0, {5, 5, 195, 145}, kRed);
    t.page = Make(t.top, 0, {20, 25, 180, 140}, kGreen);
    t.control = Make(t.page, 0, {10, 10, 60, 60}, kBlue);
    t.box = Make(t.top, 0, {60, 70, 120, 130}, kYellow);
    t.mark = Make(t.box, 0, {-30, -30, 5, 5}, kGrey);
    win::PumpMessages();
    const HWND windows[] = {t.top, t.tab, t.page, t.control, t.box, t.mark};
    InvalidateRect(windows[c.invalidated], c.wholeClient ? nullptr : &c.part, TRUE);
    win::PumpMessages();
    const win::Image painted = win::PaintedPixels(t.top);
    const win::Image whole = win::RenderWindowApart(t.top);
    // the page's control where nothing lies over it, the box over the control's corner, the mark in the box
    EXPECT_EQ(At(painted, {45, 45}), kBlue);
    EXPECT_EQ(At(painted, {70, 80}), kYellow);
    EXPECT_EQ(At(painted, {62, 72}), kGrey);
    EXPECT_EQ(At(painted, {10, 10}), kRed);
    ASSERT_EQ(painted.pixels.size(), whole.pixels.size());
    EXPECT_TRUE(painted.pixels == whole.pixels);
    DestroyWindow(t.top);
  }
}

// The picture painted apart leaves the window's pixels and what waits to be painted on them alone.
TEST_F(PaintOrderTest, APicturePaintedApartLeavesThePaintedPixelsAndPendingPaints) {
  HWND top = Make(nullptr, 0, {0, 0, 100, 80}, kGrey);
  HWND child = Make(top, 0, {10, 10, 50, 50}, kBlue);
  win::PumpMessages();
  SetWindowLongPtr(child, GWLP_USERDATA, LONG_PTR(kRed));
  InvalidateRect(child, nullptr, TRUE);
  const win::Image whole = win::RenderWindowApart(top);
  EXPECT_EQ(whole.At(20, 20), kRed);
  EXPECT_EQ(win::PaintedPixels(top).At(20, 20), kBlue);
  RECT pending;
  EXPECT_TRUE(GetUpdateRect(child, &pending, FALSE));
  win::PumpMessages();
  EXPECT_EQ(win::PaintedPixels(top).At(20, 20), kRed);
  DestroyWindow(top);
}

// A window that moves, shrinks or goes away uncovers what lay under it: its siblings there are painted again, also
// where the parent clips its children (and so paints nothing over them itself).
TEST_F(PaintOrderTest, WhatAWindowUncoversIsPaintedAgain) {
  enum Change { kMove, kShrink, kHide, kDestroy };
  for (Change change : {kMove, kShrink, kHide, kDestroy}) {
    for (bool clipChildren : {true, false}) {
      SCOPED_TRACE(std::to_string(int(change)) + (clipChildren ? " clipping" : ""));
      HWND top = Make(nullptr, clipChildren ? WS_CLIPCHILDREN : 0, {0, 0, 200, 150}, kGrey);
      HWND tab = Make(top, 0, {5, 5, 195, 145}, kRed);
      HWND page = Make(top, 0, {0, 0, 200, 150}, kGreen);  // first laid over everything, as before its layout
      win::PumpMessages();
      ASSERT_EQ(win::PaintedPixels(top).At(10, 10), kGreen);
      switch (change) {
        case kMove: SetWindowPos(page, nullptr, 20, 30, 160, 110, SWP_NOZORDER); break;
        case kShrink: SetWindowPos(page, nullptr, 0, 0, 100, 20, SWP_NOZORDER | SWP_NOMOVE); break;
        case kHide: ShowWindow(page, SW_HIDE); break;
        case kDestroy: DestroyWindow(page); break;
      }
      win::PumpMessages();
      const win::Image painted = win::PaintedPixels(top);
      EXPECT_EQ(painted.At(150, 25), kRed);  // the tab where the page lay
      const win::Image whole = win::RenderWindowApart(top);
      EXPECT_TRUE(painted.pixels == whole.pixels);
      DestroyWindow(tab);
      DestroyWindow(top);
    }
  }
}

// Fills the window's client area through its own DC, outside any painting (a drag's feedback, a live update).
void DrawThroughDc(HWND wnd, COLORREF colour) {
  HDC dc = GetDC(wnd);
  RECT rc;
  GetClientRect(wnd, &rc);
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rc, brush);
  DeleteObject(brush);
  ReleaseDC(wnd, dc);
}

constexpr COLORREF kMagenta = RGB(220, 0, 220);

// Drawing through a window's DC reaches only what of it can be seen: whatever lies above it (its later siblings
// and those of its ancestors, with their children) keeps its pixels, with or without clipping at the top.
TEST_F(PaintOrderTest, DrawingThroughADcLeavesTheWindowsAboveAlone) {
  struct DrawCase {
    const char* name;
    int drawn;          // index into the tree
    POINT own;          // a point of the drawn window that nothing covers
    bool clipChildren;  // the top's
    DWORD pageStyle;
  };
  const DrawCase cases[] = {
      {"the tab, under the page and the box", 1, {10, 10}, false, 0},
      {"the tab, in a top that clips its children", 1, {10, 10}, true, 0},
      {"the page's control, under the box and its mark", 3, {45, 45}, false, 0},
      {"the page, clipping its control, under the box", 2, {150, 100}, true, WS_CLIPCHILDREN},
  };
  for (const DrawCase& c : cases) {
    SCOPED_TRACE(c.name);
    Tree t{};
    t.top = Make(nullptr, c.clipChildren ? WS_CLIPCHILDREN : 0, {10, 10, 210, 160}, kGrey);
    t.tab = Make(t.top, 0, {5, 5, 195, 145}, kRed);
    t.page = Make(t.top, c.pageStyle, {20, 25, 180, 140}, kGreen);
    t.control = Make(t.page, 0, {10, 10, 60, 60}, kBlue);
    t.box = Make(t.top, 0, {60, 70, 120, 130}, kYellow);
    t.mark = Make(t.box, 0, {-30, -30, 5, 5}, kGrey);
    win::PumpMessages();
    const win::Image before = win::PaintedPixels(t.top);
    const HWND windows[] = {t.top, t.tab, t.page, t.control, t.box, t.mark};
    DrawThroughDc(windows[c.drawn], kMagenta);
    const win::Image after = win::PaintedPixels(t.top);
    EXPECT_EQ(At(after, c.own), kMagenta);
    // the box, the mark where it reaches out over the control, and the page's own control where the page drew
    for (POINT kept : {POINT{100, 120}, POINT{62, 72}, POINT{45, 45}}) {
      if (!(kept.x == c.own.x && kept.y == c.own.y)) {
        EXPECT_EQ(At(after, kept), At(before, kept)) << kept.x << "," << kept.y;
      }
    }
    if (c.drawn == 1) {
      EXPECT_EQ(At(after, {150, 100}), kGreen);  // the page over the tab
    }
    DestroyWindow(t.top);
  }
}

// A group box shows what lies under it: drawing under its inside is seen, as its painting leaves it.
TEST_F(PaintOrderTest, DrawingShowsThroughAGroupBoxAbove) {
  HWND top = Make(nullptr, 0, {0, 0, 200, 150}, kGrey);
  HWND under = Make(top, 0, {10, 10, 190, 140}, kRed);
  CreateWindowEx(0, "Button", "Gruppe", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 20, 20, 150, 100, top, nullptr, nullptr,
                 nullptr);
  Make(top, 0, {150, 100, 180, 130}, kBlue);
  win::PumpMessages();
  DrawThroughDc(under, kMagenta);
  const win::Image after = win::PaintedPixels(top);
  EXPECT_EQ(after.At(90, 70), kMagenta);  // inside the group box
  EXPECT_EQ(after.At(175, 125), kBlue);   // the solid window above keeps its pixels
  DestroyWindow(top);
}

}  // namespace
