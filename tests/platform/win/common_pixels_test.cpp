// Scroll bars, tabs, spins, progress bars, tooltips and toolbars driven by the mouse and the keyboard (a progress
// bar by its messages: it takes no input), checked by what they draw: the thumb's place, the raised tab, the arrow
// held in, the filled length, the tip's text, the button held down.
#include <gtest/gtest.h>

#include "tests/platform/win/pixels_support.h"

namespace {

using win::pixels::Board;
using win::pixels::ClientRect;
using win::pixels::Ntf;
using win::pixels::Picture;
using win::pixels::Shot;

// ---- Scroll bar ----------------------------------------------------------------------------------------------------

class ScrollBarPixelTest : public win::pixels::ControlPixelTest {
 protected:
  // Where the thumb starts along the bar: the first raised edge on the track, along the bar's middle line.
  static int ThumbStart(HWND bar, bool vertical) {
    Picture p = Shot(bar);
    RECT rc = ClientRect(bar);
    int length = vertical ? rc.bottom : rc.right, thickness = vertical ? rc.right : rc.bottom;
    for (int at = thickness; at < length - thickness; ++at) {
      COLORREF c = vertical ? p.At(thickness / 2, at) : p.At(at, thickness / 2);
      if (c == GetSysColor(COLOR_3DLIGHT)) return at;
    }
    return -1;
  }
  // Where the thumb ends: past its dark far edge.
  static int ThumbEnd(HWND bar, bool vertical) {
    Picture p = Shot(bar);
    RECT rc = ClientRect(bar);
    int length = vertical ? rc.bottom : rc.right, thickness = vertical ? rc.right : rc.bottom;
    for (int at = ThumbStart(bar, vertical) + 1; at > 0 && at < length - thickness; ++at) {
      COLORREF c = vertical ? p.At(thickness / 2, at) : p.At(at, thickness / 2);
      if (c == GetSysColor(COLOR_3DDKSHADOW)) return at + 1;
    }
    return -1;
  }
};

// Each step's input along the bar (0 = its start), and where the thumb is drawn then.
struct ScrollStep {
  const char* name;
  enum { Click, Drag, Hold } kind;
  int at, to;  // click or press at; a drag's end (a hold moves there and keeps the button down)
  enum { Further, Back, AtEnd, UnderMouse, AtStart } thumb;
};

TEST_F(ScrollBarPixelTest, TheThumbIsDrawnWhereClicksAndDragsPutIt) {
  // Range 0..100, a page of 10: the thumb is a tenth of the track between the arrows.
  Open({{70, "ScrollBar", "", SBS_VERT, 10, 10, 11, 100}, {71, "ScrollBar", "", SBS_HORZ, 30, 10, 150, 10}});
  for (bool vertical : {true, false}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    HWND bar = Item(vertical ? 70 : 71);
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0, 0};
    SendMessage(bar, SBM_SETSCROLLINFO, TRUE, LPARAM(&si));
    RECT rc = ClientRect(bar);
    const int length = vertical ? rc.bottom : rc.right;
    const int thickness = vertical ? rc.right : rc.bottom;
    const int middle = thickness / 2;
    auto point = [&](int along) { return vertical ? POINT{middle, along} : POINT{along, middle}; };
    const ScrollStep steps[] = {
        {"the near arrow at the start", ScrollStep::Click, 3, 0, ScrollStep::AtStart},
        {"the far arrow", ScrollStep::Click, length - 3, 0, ScrollStep::Further},
        {"the track past the thumb", ScrollStep::Click, length - thickness - 5, 0, ScrollStep::Further},
        {"the near arrow", ScrollStep::Click, 3, 0, ScrollStep::Back},
        {"the thumb held in the middle", ScrollStep::Hold, -1, length / 2, ScrollStep::UnderMouse},
        {"the thumb dragged to the end", ScrollStep::Drag, -1, length - 2, ScrollStep::AtEnd},
    };
    int before = ThumbStart(bar, vertical);
    ASSERT_EQ(before, thickness) << "the thumb starts right after the near arrow";
    for (const ScrollStep& s : steps) {
      SCOPED_TRACE(s.name);
      Pause();
      int grab = before + 4;  // a few pixels into the thumb
      if (s.kind == ScrollStep::Click) {
        POINT p = point(s.at);
        win::input::Click(bar, p.x, p.y);
      } else {
        POINT from = point(grab), to = point(s.to);
        win::input::MouseDown(bar, from.x, from.y);
        for (int k = 1; k <= 4; ++k) {
          POINT m = point(grab + (s.to - grab) * k / 4);
          win::input::MouseMove(bar, m.x, m.y);
        }
        if (s.kind == ScrollStep::Drag) win::input::MouseUp(bar, to.x, to.y);
      }
      int now = ThumbStart(bar, vertical);
      switch (s.thumb) {
        case ScrollStep::AtStart: EXPECT_EQ(now, thickness); break;
        case ScrollStep::Further: EXPECT_GT(now, before); break;
        case ScrollStep::Back: EXPECT_LT(now, before); break;
        case ScrollStep::UnderMouse: EXPECT_NEAR(now, s.to - 4, 2) << "the thumb follows the mouse"; break;
        case ScrollStep::AtEnd: EXPECT_EQ(ThumbEnd(bar, vertical), length - thickness); break;
      }
      if (s.kind == ScrollStep::Hold) {
        POINT to = point(s.to);
        win::input::MouseUp(bar, to.x, to.y);
        EXPECT_NEAR(ThumbStart(bar, vertical), s.to - 4, 2) << "the parent took the position the drag ended on";
      }
      before = ThumbStart(bar, vertical);
    }
  }
}

// ---- Tab control ---------------------------------------------------------------------------------------------------

class TabPixelTest : public win::pixels::ControlPixelTest {
 protected:
  // Which tab is drawn raised: the selected tab's light inner edge runs along the control's second pixel row.
  static int RaisedTab(HWND tab) {
    Picture p = Shot(tab);
    int raised = -1;
    int n = int(SendMessage(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      RECT r;
      SendMessage(tab, TCM_GETITEMRECT, WPARAM(i), LPARAM(&r));
      if (p.At((r.left + r.right) / 2, 1) == GetSysColor(COLOR_3DHILIGHT)) {
        if (raised >= 0) return -2;
        raised = i;
      }
    }
    return raised;
  }
  static POINT Middle(HWND tab, int i) {
    RECT r;
    SendMessage(tab, TCM_GETITEMRECT, WPARAM(i), LPARAM(&r));
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
};

TEST_F(TabPixelTest, TheTabRaisedIsTheOneClickedOrReachedByTheArrowsUnlessTheDialogRefuses) {
  Open({{80, "SysTabControl32", "", WS_TABSTOP, 5, 5, 180, 80}});
  HWND tab = Item(80);
  CTabCtrl* tabs = static_cast<CTabCtrl*>(CWnd::FromHandle(tab));
  for (const char* t : {"Bemessung", "Bewehrung", "Ergebnisse"}) tabs->InsertItem(tabs->GetItemCount(), t);
  EXPECT_EQ(RaisedTab(tab), 0);
  POINT third = Middle(tab, 2);
  win::input::Click(tab, third.x, third.y);
  EXPECT_EQ(RaisedTab(tab), 2);
  EXPECT_TRUE(board.Saw(Ntf(80, TCN_SELCHANGE)));
  win::input::Key(VK_LEFT);
  EXPECT_EQ(RaisedTab(tab), 1);
  // The body's edge runs under the tabs left alone and stops under the raised one.
  RECT r;
  SendMessage(tab, TCM_GETITEMRECT, 0, LPARAM(&r));
  Picture p = Shot(tab);
  EXPECT_EQ(p.At(Middle(tab, 0).x, r.bottom), GetSysColor(COLOR_3DHILIGHT));
  EXPECT_EQ(p.At(Middle(tab, 1).x, r.bottom), GetSysColor(COLOR_3DFACE));
  board.answer = TRUE;  // the dialog refuses to let the page go
  Pause();
  win::input::Click(tab, third.x, third.y);
  EXPECT_EQ(RaisedTab(tab), 1);
}

// ---- Spin ----------------------------------------------------------------------------------------------------------

class SpinPixelTest : public win::pixels::ControlPixelTest {};

TEST_F(SpinPixelTest, TheArrowHeldLooksPressedAndTheBuddyShowsTheNewNumber) {
  Open({{90, "Edit", "", ES_NUMBER | WS_BORDER | WS_TABSTOP, 10, 10, 40, 14},
        {91, "msctls_updown32", "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS, 0, 0, 10, 14}});
  HWND buddy = Item(90), spin = Item(91);
  SendMessage(spin, UDM_SETRANGE32, 0, 20);
  SendMessage(spin, UDM_SETPOS32, 0, 9);
  auto digits = [&] {
    std::optional<RECT> ink = Shot(buddy).Ink(ClientRect(buddy), GetSysColor(COLOR_WINDOW));
    return ink ? ink->right - ink->left : 0;
  };
  const int one = digits();
  ASSERT_GT(one, 0);
  RECT rc = ClientRect(spin);
  // The inner edge's top-left pixel: light when raised, dark when held in.
  const COLORREF raised = GetSysColor(COLOR_3DHILIGHT), sunken = GetSysColor(COLOR_3DDKSHADOW);
  EXPECT_EQ(Shot(spin).At(1, 1), raised);
  win::input::MouseDown(spin, rc.right / 2, 2);
  Picture held = Shot(spin);
  EXPECT_EQ(held.At(1, 1), sunken) << "the upper arrow is held in";
  EXPECT_EQ(held.At(1, rc.bottom / 2 + 1), raised) << "the lower one is not";
  EXPECT_GT(digits(), one) << "10 takes two digits where 9 took one";
  win::input::MouseUp(spin, rc.right / 2, 2);
  EXPECT_EQ(Shot(spin).At(1, 1), raised);
  Pause();
  win::input::Click(spin, rc.right / 2, rc.bottom - 2);
  EXPECT_EQ(digits(), one);
  // The arrow keys in the buddy step as well.
  SetFocus(buddy);
  win::input::Key(VK_UP);
  EXPECT_GT(digits(), one);
}

// ---- Progress bar --------------------------------------------------------------------------------------------------

class ProgressPixelTest : public win::pixels::ControlPixelTest {};

// The filled part after each position, as a share of the inside of the sunken frame.
struct ProgressCase {
  const char* name;
  DWORD style;
};

TEST_F(ProgressPixelTest, TheFilledLengthFollowsThePosition) {
  const ProgressCase cases[] = {
      {"smooth", PBS_SMOOTH},
      {"in blocks", 0},
      {"upright", PBS_SMOOTH | PBS_VERTICAL},
  };
  for (const ProgressCase& c : cases) {
    SCOPED_TRACE(c.name);
    bool vertical = c.style & PBS_VERTICAL;
    Open({{100, "msctls_progress32", "", c.style, 10, 10, vertical ? 12 : 120, vertical ? 80 : 12}});
    HWND bar = Item(100);
    SendMessage(bar, PBM_SETRANGE32, 0, 40);
    SendMessage(bar, PBM_SETSTEP, 10, 0);
    RECT inside = ClientRect(bar);
    InflateRect(&inside, -2, -2);
    const int full = vertical ? inside.bottom - inside.top : inside.right - inside.left;
    const COLORREF fill = GetSysColor(COLOR_HIGHLIGHT);
    auto filled = [&] {
      std::optional<RECT> f = Shot(bar).Bounds(ClientRect(bar), fill);
      if (!f) return 0;
      // Filled from the start: the left end, or the bottom of an upright bar.
      EXPECT_EQ(vertical ? f->bottom : f->left, vertical ? inside.bottom : inside.left);
      return int(vertical ? f->bottom - f->top : f->right - f->left);
    };
    EXPECT_EQ(filled(), 0);
    int last = 0;
    for (int step = 1; step <= 4; ++step) {
      SendMessage(bar, PBM_STEPIT, 0, 0);
      int now = filled();
      EXPECT_NEAR(now, full * step / 4, 4) << "step " << step;
      EXPECT_GT(now, last);
      last = now;
    }
    SendMessage(bar, PBM_STEPIT, 0, 0);  // past the end: from the start again
    EXPECT_NEAR(filled(), full / 4, 4);
    board.DestroyWindow();
  }
}

// ---- Tooltip -------------------------------------------------------------------------------------------------------

class TipPixelTest : public win::pixels::ControlPixelTest {};

TEST_F(TipPixelTest, TheTipShowsTheTextOfTheToolUnderTheMouse) {
  Open({{110, "Button", "?", BS_PUSHBUTTON, 10, 10, 20, 14}, {111, "Button", "Mehr", BS_PUSHBUTTON, 40, 10, 40, 14}});
  CToolTipCtrl tip;
  ASSERT_TRUE(tip.Create(&board));
  ASSERT_TRUE(tip.AddTool(CWnd::FromHandle(Item(110)), "Hilfe"));
  ASSERT_TRUE(tip.AddTool(CWnd::FromHandle(Item(111)), "Weitere Angaben zur Bewehrung"));
  auto text = [&] {
    Picture p = Shot(tip.m_hWnd);
    EXPECT_EQ(p.At(1, 1), GetSysColor(COLOR_INFOBK));
    std::optional<RECT> ink = p.Ink(ClientRect(tip.m_hWnd), GetSysColor(COLOR_INFOBK));
    return ink ? ink->right - ink->left : 0;
  };
  EXPECT_FALSE(tip.IsWindowVisible());
  win::input::MouseMove(Item(110), 5, 5);
  win::RunFor(600);
  ASSERT_TRUE(tip.IsWindowVisible());
  const int shortText = text();
  EXPECT_GT(shortText, 10);
  // The tip stands below the mouse.
  CRect tipRect, toolRect;
  tip.GetWindowRect(&tipRect);
  ::GetWindowRect(Item(110), &toolRect);
  EXPECT_GT(tipRect.top, toolRect.top + 5);
  win::input::MouseMove(Item(111), 5, 5);
  win::RunFor(600);
  ASSERT_TRUE(tip.IsWindowVisible());
  EXPECT_GT(text(), 3 * shortText) << "the longer text of the second tool";
}

// ---- Toolbar -------------------------------------------------------------------------------------------------------

constexpr UINT kBar = 27101;

class ToolbarPixelTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // Two 16 x 15 images: a red and a blue square on the transparent grey.
    win::res::RegisterBitmap(kBar, 32, 15, [](cairo_t* cr, int, int h) {
      cairo_set_source_rgb(cr, 192 / 255.0, 192 / 255.0, 192 / 255.0);
      cairo_paint(cr);
      for (int i = 0; i < 2; ++i) {
        cairo_set_source_rgb(cr, i == 0 ? 1 : 0, 0, i == 0 ? 0 : 1);
        cairo_rectangle(cr, i * 16 + 2, 2, 12, h - 4);
        cairo_fill(cr);
      }
    });
    win::res::RegisterToolBar(kBar, 16, 15, {601, 602});
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
    ASSERT_TRUE(bar.CreateEx(&owner));
    ASSERT_TRUE(bar.LoadToolBar(kBar));
    bar.SetButtonStyle(1, TBBS_CHECKBOX);
  }
  void TearDown() override {
    win::res::ResetForTests();
    WindowTest::TearDown();
  }
  RECT Button(int i) {
    RECT r;
    bar.GetItemRect(i, &r);
    return r;
  }
  // A held or checked button has a dark line down its left side and its image moved a pixel.
  bool LooksDown(int i) {
    RECT r = Button(i);
    return Shot(bar.m_hWnd).At(r.left, (r.top + r.bottom) / 2) == GetSysColor(COLOR_3DSHADOW);
  }
  CWnd owner;
  CToolBar bar;
};

TEST_F(ToolbarPixelTest, AButtonLooksDownWhileHeldAndACheckButtonStaysDown) {
  RECT first = Button(0);
  POINT mid{(first.left + first.right) / 2, (first.top + first.bottom) / 2};
  EXPECT_FALSE(LooksDown(0));
  win::input::MouseDown(bar.m_hWnd, mid.x, mid.y);
  EXPECT_TRUE(LooksDown(0));
  EXPECT_FALSE(LooksDown(1));
  win::input::MouseUp(bar.m_hWnd, mid.x, mid.y);
  EXPECT_FALSE(LooksDown(0));
  RECT second = Button(1);
  POINT mid2{(second.left + second.right) / 2, (second.top + second.bottom) / 2};
  win::AdvanceClock(1000);
  win::input::Click(bar.m_hWnd, mid2.x, mid2.y);
  EXPECT_TRUE(LooksDown(1)) << "checked";
  win::AdvanceClock(1000);
  win::input::Click(bar.m_hWnd, mid2.x, mid2.y);
  EXPECT_FALSE(LooksDown(1));
}

}  // namespace
