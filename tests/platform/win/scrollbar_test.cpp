// The scroll-bar control: arrows, page clicks and thumb drags reach the parent as scroll codes.
#include <gtest/gtest.h>

#include "platform/win/dialogs/wintest.h"

namespace {

class Host : public CWnd {
 public:
  std::vector<std::pair<UINT, UINT>> codes;  // (code, position)
  CScrollBar* from = nullptr;
  void OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
    if (code != SB_ENDSCROLL) codes.emplace_back(code, pos);
    from = bar;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Host, CWnd)
ON_WM_VSCROLL()
END_MESSAGE_MAP()

class ScrollBarTest : public win::test::WindowTest {};

TEST_F(ScrollBarTest, ClicksAndThumbDragsScrollThroughTheParent) {
  Host host;
  ASSERT_TRUE(host.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 250, nullptr, nullptr));
  CScrollBar bar;
  ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(0, 0, 17, 200), &host, 5));
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0, 0};
  bar.SetScrollInfo(&si);
  EXPECT_EQ(bar.GetScrollLimit(), 91) << "the last position shows the last page: 100 - 10 + 1";
  // Arrows are 17 pixels (the bar's width); the thumb is 166 * 10 / 101 = 16 pixels at 17..33 for position 0.
  struct Click {
    int y;
    UINT code;
  };
  for (Click c : {Click{5, SB_LINEUP}, Click{195, SB_LINEDOWN}, Click{100, SB_PAGEDOWN}}) {
    host.codes.clear();
    win::input::Click(bar.m_hWnd, 8, c.y);
    ASSERT_EQ(host.codes.size(), 1u) << c.y;
    EXPECT_EQ(host.codes[0].first, c.code) << c.y;
    EXPECT_EQ(host.from, &bar);
  }
  EXPECT_EQ(bar.GetScrollPos(), 0) << "the parent moves the bar, not the click";
  bar.SetScrollPos(50);
  // Position 50 puts the thumb at 17 + 150 * 50 / 91 = 99; clicking above it pages up.
  host.codes.clear();
  win::input::Click(bar.m_hWnd, 8, 60);
  ASSERT_FALSE(host.codes.empty());
  EXPECT_EQ(host.codes.back().first, UINT(SB_PAGEUP));
  // Dragging the thumb (grabbed 8 pixels in) to the far end tracks to the last position, then drops there.
  bar.SetScrollPos(0);
  host.codes.clear();
  win::input::Drag(bar.m_hWnd, 8, 25, 8, 190);
  ASSERT_GE(host.codes.size(), 2u);
  EXPECT_EQ(host.codes[host.codes.size() - 2], std::make_pair(UINT(SB_THUMBTRACK), 91u));
  EXPECT_EQ(host.codes.back(), std::make_pair(UINT(SB_THUMBPOSITION), 91u));
  if (const char* out = std::getenv("KOLUMO_TEST_PNG")) win::SaveWindowPng(host.m_hWnd, out);
}

}  // namespace
