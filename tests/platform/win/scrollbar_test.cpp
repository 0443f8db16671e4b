// Scroll bars, the control and those in a window's frame: arrows, page clicks and thumb drags reach the owner as
// scroll codes, held arrows and tracks repeat, and the thumb shows the visible share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  // Arrows are 17 pixels (the bar's width); the thumb, 166 * 10 / 101 = 16 pixels of share, is the least 18 at
  // 17..35 for position 0.
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
  // Position 50 puts the thumb at 17 + 148 * 50 / 91 = 98; clicking above it pages up.
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

// A window with a scroll bar in its frame (WS_VSCROLL) or a scroll-bar control, which moves its bar by every code
// it hears (the thumb's track too, as the rich-text control does) and writes the codes down.
class Owner : public CWnd {
 public:
  std::vector<std::pair<UINT, int>> codes;  // (code, position after it)
  HWND bar = nullptr;                       // the control; none: the frame's bar
  int line = 1;
  bool apply = true;  // false: the codes are only written down
  void OnVScroll(UINT code, UINT, CScrollBar*) {
    const int which = bar ? SB_CTL : SB_VERT;
    HWND wnd = bar ? bar : m_hWnd;
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    ::GetScrollInfo(wnd, which, &si);
    int p = si.nPos;
    switch (code) {
      case SB_LINEUP: p -= line; break;
      case SB_LINEDOWN: p += line; break;
      case SB_PAGEUP: p -= int(si.nPage); break;
      case SB_PAGEDOWN: p += int(si.nPage); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: p = si.nTrackPos; break;
      default: break;
    }
    if (code != SB_ENDSCROLL && apply) ::SetScrollPos(wnd, which, p, TRUE);
    codes.emplace_back(code, ::GetScrollPos(wnd, which));
  }
  int Count(UINT code) const {
    return int(std::count_if(codes.begin(), codes.end(), [&](const auto& c) { return c.first == code; }));
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Owner, CWnd)
ON_WM_VSCROLL()
END_MESSAGE_MAP()

// The bar under test, 216 pixels long: 16-pixel arrows (the frame's) or 17-pixel ones (a control 17 wide), the
// track between them. Points are in the client coordinates of `target`.
struct Bar {
  Owner owner;
  CScrollBar control;
  HWND target = nullptr;
  int x = 0;      // across the bar
  int arrow = 0;  // the arrows' length
  Bar(bool frame, int min, int max, UINT page) {
    if (frame) {
      owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 0, 0, 100, 216, nullptr, nullptr);
      owner.ShowScrollBar(SB_VERT, TRUE);
      target = owner.m_hWnd;
      CRect rc;
      owner.GetClientRect(&rc);
      x = rc.right + 8;
      arrow = GetSystemMetrics(SM_CYVSCROLL);
    } else {
      owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 216, nullptr, nullptr);
      control.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(0, 0, 17, 216), &owner, 5);
      owner.bar = target = control.m_hWnd;
      x = 8;
      arrow = 17;
    }
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, min, max, page, min, 0};
    ::SetScrollInfo(owner.bar ? owner.bar : owner.m_hWnd, owner.bar ? SB_CTL : SB_VERT, &si, TRUE);
  }
  int Pos() const { return ::GetScrollPos(owner.bar ? owner.bar : owner.m_hWnd, owner.bar ? SB_CTL : SB_VERT); }
  // The thumb's extent as the mouse finds it: the points where a press moves nothing until the release.
  std::pair<int, int> Thumb() {
    owner.apply = false;
    int first = -1, last = -1;
    for (int y = arrow; y < 216 - arrow; ++y) {
      owner.codes.clear();
      win::input::MouseDown(target, x, y);
      const bool still = owner.codes.empty();
      win::input::MouseUp(target, x, y);
      win::AdvanceClock(1000);  // no double click
      if (still) {
        if (first < 0) first = y;
        last = y;
      }
    }
    owner.apply = true;
    return {first, last + 1};
  }
};

class ScrollRepeatTest : public ScrollBarTest, public ::testing::WithParamInterface<bool> {};

// The thumb shows the visible share of the range, at least 18 pixels; the track is 216 - 2 x arrow long.
TEST_P(ScrollRepeatTest, TheThumbIsAsLongAsTheVisibleShareAndNeverShorterThanAFinger) {
  struct Case {
    int max;
    UINT page;
    double share;  // of the track
  };
  // 1000 positions with 500 visible: half the track; 100 or 10 of 1000 give 18 and 1.8 pixels: 18.
  for (Case c : {Case{999, 500, 0.5}, Case{999, 100, 0.0}, Case{999, 10, 0.0}, Case{99, 25, 0.25}}) {
    Bar bar(GetParam(), 0, c.max, c.page);
    const int track = 216 - 2 * bar.arrow;
    const auto [from, to] = bar.Thumb();
    const int expected = std::max(18, int(track * c.share));
    EXPECT_EQ(from, bar.arrow) << c.page << " of " << c.max + 1 << ": the thumb of position 0 starts at the track";
    EXPECT_EQ(to - from, expected) << c.page << " of " << c.max + 1;
    win::ResetWindowSystem();
  }
}

// Dragged to the bar's end the thumb reports each position on its way and the last one at the release; the owner
// that follows the track is at the end of its range (1000 - 100 + 1 positions: 900).
TEST_P(ScrollRepeatTest, AThumbDraggedToTheEndTracksThereAndDropsThere) {
  Bar bar(GetParam(), 0, 999, 100);
  const int grab = bar.arrow + 5;
  win::input::Drag(bar.target, bar.x, grab, bar.x, 216 + 40, 8);
  ASSERT_GE(bar.owner.codes.size(), 3u);
  EXPECT_GE(bar.owner.Count(SB_THUMBTRACK), 4) << "the owner hears the thumb on its way";
  const auto n = bar.owner.codes.size();
  EXPECT_EQ(bar.owner.codes[n - 3], std::make_pair(UINT(SB_THUMBTRACK), 900));
  EXPECT_EQ(bar.owner.codes[n - 2], std::make_pair(UINT(SB_THUMBPOSITION), 900));
  EXPECT_EQ(bar.owner.codes[n - 1].first, UINT(SB_ENDSCROLL));
  EXPECT_EQ(bar.Pos(), 900);
  // Back to the start, pressing the thumb where it now lies (the track's end).
  bar.owner.codes.clear();
  win::AdvanceClock(1000);
  win::input::Drag(bar.target, bar.x, 216 - bar.arrow - 5, bar.x, -40, 8);
  EXPECT_EQ(bar.Pos(), 0);
}

// A held arrow steps once at the press, again after 400 ms, then every 50 ms, until the release.
TEST_P(ScrollRepeatTest, AHeldArrowRepeatsAfterADelay) {
  Bar bar(GetParam(), 0, 999, 100);
  win::input::MouseDown(bar.target, bar.x, 216 - 4);
  EXPECT_EQ(bar.owner.Count(SB_LINEDOWN), 1);
  win::RunFor(390);
  EXPECT_EQ(bar.owner.Count(SB_LINEDOWN), 1) << "no repeat before the delay";
  win::RunFor(10);
  EXPECT_EQ(bar.owner.Count(SB_LINEDOWN), 2) << "the first repeat at 400 ms";
  win::RunFor(500);
  EXPECT_EQ(bar.owner.Count(SB_LINEDOWN), 12) << "then one every 50 ms: 500 / 50 = 10 more";
  win::input::MouseUp(bar.target, bar.x, 216 - 4);
  EXPECT_EQ(bar.owner.codes.back().first, UINT(SB_ENDSCROLL));
  win::RunFor(1000);
  EXPECT_EQ(bar.owner.Count(SB_LINEDOWN), 12) << "released: no more steps";
  EXPECT_EQ(bar.Pos(), 12);
}

// A held track pages until the thumb reaches the mouse, then stops, the button still down.
TEST_P(ScrollRepeatTest, AHeldTrackPagesUntilTheThumbReachesTheMouse) {
  Bar bar(GetParam(), 0, 999, 100);
  const int y = 216 / 2 + 20;  // below the middle of the track
  win::input::MouseDown(bar.target, bar.x, y);
  EXPECT_EQ(bar.owner.Count(SB_PAGEDOWN), 1);
  win::RunFor(2000);
  const int pages = bar.owner.Count(SB_PAGEDOWN);
  EXPECT_GT(pages, 2) << "the held track repeats";
  EXPECT_LT(bar.Pos(), 900) << "it stops at the mouse, not at the end";
  win::input::MouseUp(bar.target, bar.x, y);
  EXPECT_EQ(bar.owner.Count(SB_PAGEDOWN), pages);
  // The thumb now lies at the mouse: it covers the point or has just passed it by less than a step.
  const auto [from, to] = bar.Thumb();
  EXPECT_LE(from, y + 1);
  EXPECT_GT(to, y - 1);
}

INSTANTIATE_TEST_SUITE_P(FrameAndControl, ScrollRepeatTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Frame" : "Control"; });

}  // namespace
