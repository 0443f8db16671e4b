// What painting leaves on a window's pixels is what painting the whole window at once gives, however little was
// invalidated: a window that paints over a later sibling, or over the children of a later sibling, has them
// painted again over it.
#include <gtest/gtest.h>

#include "platform/win/wintest.h"

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

}  // namespace
