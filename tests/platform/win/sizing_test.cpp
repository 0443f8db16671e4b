// Top-level windows sized by their own frame: a window with a sizing border follows an edge or corner dragged, down
// to the least size it asks for, and hears the new size as WM_SIZE; a double click on its title maximises it and
// gives its size back. A window without a sizing border keeps its size.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win/dialogs/wintest.h"

namespace {

class Framed : public CWnd {
 public:
  std::vector<std::string> sizes;  // "type:cx x cy" of each WM_SIZE
  void OnSize(UINT type, int cx, int cy) {
    sizes.push_back(std::to_string(type) + ":" + std::to_string(cx) + "x" + std::to_string(cy));
  }
  void OnGetMinMaxInfo(MINMAXINFO* info) { info->ptMinTrackSize = {250, 150}; }
  CRect Place() const {
    CRect r;
    GetWindowRect(&r);
    return r;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Framed, CWnd)
ON_WM_SIZE()
ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

class SizingTest : public win::test::WindowTest {
 protected:
  // A 400 x 300 window at (100, 100): its frame is 3 pixels wide, its caption 19 high; points are given relative to
  // its window's top-left corner and sent in the client coordinates that the input path takes.
  void Make(DWORD style) {
    ASSERT_TRUE(w.CreateEx(0, nullptr, "Fenster", WS_POPUP | WS_CAPTION | WS_VISIBLE | style, 100, 100, 400, 300,
                           nullptr, nullptr));
    CRect client(0, 0, 0, 0);
    w.ClientToScreen(&client);
    dx = client.left - 100;
    dy = client.top - 100;
  }
  void Drag(int x0, int y0, int x1, int y1) {
    win::input::Drag(w.m_hWnd, x0 - dx, y0 - dy, x1 - dx, y1 - dy, 4);
    win::AdvanceClock(1000);
  }
  Framed w;
  int dx = 0, dy = 0;
};

TEST_F(SizingTest, AnEdgeOrCornerDraggedSizesTheWindowDownToItsLeastSize) {
  Make(WS_THICKFRAME);
  struct Case {
    const char* what;
    POINT from, to;
    RECT expected;
  };
  // Each from 400 x 300 at (100, 100). The right edge 150 further: 550 wide; the bottom-right corner 100 and 50
  // out; the left edge 300 to the right would leave 100: the least width 250 stays, the right edge where it was;
  // the top edge up by 60.
  const Case cases[] = {
      {"right edge", {399, 150}, {549, 150}, {100, 100, 650, 400}},
      {"bottom-right corner", {398, 298}, {498, 348}, {100, 100, 600, 450}},
      {"left edge", {1, 150}, {301, 150}, {250, 100, 500, 400}},
      {"top edge", {200, 1}, {200, -59}, {100, 40, 500, 400}},
  };
  for (const Case& c : cases) {
    w.SetWindowPos(nullptr, 100, 100, 400, 300, SWP_NOZORDER);
    w.sizes.clear();
    Drag(c.from.x, c.from.y, c.to.x, c.to.y);
    EXPECT_EQ(w.Place(), CRect(c.expected)) << c.what;
    ASSERT_FALSE(w.sizes.empty()) << c.what << ": no WM_SIZE";
    // The client is the window less the 3-pixel frame and the 19-pixel caption.
    const CRect now = w.Place();
    EXPECT_EQ(w.sizes.back(), "0:" + std::to_string(now.Width() - 6) + "x" + std::to_string(now.Height() - 25))
        << c.what;
  }
}

TEST_F(SizingTest, WithoutASizingBorderTheWindowKeepsItsSize) {
  Make(0);
  w.sizes.clear();
  Drag(399, 150, 549, 150);
  EXPECT_EQ(w.Place(), CRect(100, 100, 500, 400));
  EXPECT_TRUE(w.sizes.empty());
}

// A double click on the title, or a click on the maximise box left of the close box (its middle 30 pixels left of
// the window's right edge), maximises the window to the work area and gives it its size back.
TEST_F(SizingTest, ADoubleClickOnTheTitleOrTheMaximiseBoxMaximisesAndRestores) {
  Make(WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX);
  RECT work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  const std::string maximised =
      "2:" + std::to_string(work.right - work.left - 6) + "x" + std::to_string(work.bottom - work.top - 25);
  const std::function<void()> ways[] = {
      [&] { win::input::DoubleClick(w.m_hWnd, 150 - dx, 12 - dy); },
      [&] {
        CRect now = w.Place();
        win::input::Click(w.m_hWnd, now.Width() - 30 - dx, 12 - dy);
      },
  };
  for (const auto& way : ways) {
    way();
    EXPECT_EQ(w.Place(), CRect(work));
    EXPECT_TRUE(w.IsZoomed());
    ASSERT_FALSE(w.sizes.empty());
    EXPECT_EQ(w.sizes.back(), maximised) << "SIZE_MAXIMIZED with the work area's client size";
    win::AdvanceClock(1000);
    way();
    win::AdvanceClock(1000);
    EXPECT_EQ(w.Place(), CRect(100, 100, 500, 400));
    EXPECT_FALSE(w.IsZoomed());
    EXPECT_EQ(w.sizes.back(), "0:394x275");
  }
}

TEST_F(SizingTest, WithoutAMaximiseBoxADoubleClickOnTheTitleChangesNothing) {
  Make(WS_THICKFRAME);
  win::input::DoubleClick(w.m_hWnd, 150 - dx, 12 - dy);
  EXPECT_EQ(w.Place(), CRect(100, 100, 500, 400));
  EXPECT_FALSE(w.IsZoomed());
}

}  // namespace
