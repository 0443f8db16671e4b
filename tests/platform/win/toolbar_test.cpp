// Toolbars: buttons from a resource send their command to the parent, check-box buttons toggle, a combo box on a
// separator reports through the bar, and the bars are stacked above the rest of the window.
#include <gtest/gtest.h>

#include "platform/win/dialogs/wintest.h"

namespace {

constexpr UINT kBar = 27001;

// Answers the tip request of command 501 only.
class Owner : public CWnd {
 public:
  std::vector<std::pair<UINT, UINT>> commands;  // (id, notification)
  std::vector<UINT> asked;                      // the commands whose tip text was asked for
  BOOL OnCommand(WPARAM w, LPARAM l) override {
    commands.emplace_back(LOWORD(w), HIWORD(w));
    return TRUE;
  }
  BOOL OnNotify(WPARAM w, LPARAM l, LRESULT* result) override {
    auto* info = reinterpret_cast<NMTTDISPINFO*>(l);
    if (info->hdr.code != TTN_NEEDTEXT) return CWnd::OnNotify(w, l, result);
    asked.push_back(UINT(info->hdr.idFrom));
    if (info->hdr.idFrom == 501) std::snprintf(info->szText, sizeof info->szText, "[Strg-F] Markierung Fett");
    return TRUE;
  }
};

class ToolBarTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // Three 16 x 15 images side by side: red, green, blue squares on the bars' transparent grey.
    win::res::RegisterBitmap(kBar, 48, 15, [](cairo_t* cr, int, int h) {
      cairo_set_source_rgb(cr, 192 / 255.0, 192 / 255.0, 192 / 255.0);
      cairo_paint(cr);
      const double colours[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
      for (int i = 0; i < 3; ++i) {
        cairo_set_source_rgb(cr, colours[i][0], colours[i][1], colours[i][2]);
        cairo_rectangle(cr, i * 16 + 2, 2, 12, h - 4);
        cairo_fill(cr);
      }
    });
    win::res::RegisterToolBar(kBar, 16, 15, {501, 0, 502, 503});
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    ASSERT_TRUE(bar.CreateEx(&owner));
    ASSERT_TRUE(bar.LoadToolBar(kBar));
  }
  void TearDown() override {
    win::res::ResetForTests();
    WindowTest::TearDown();
  }
  void ClickButton(int index) {
    RECT r;
    bar.GetItemRect(index, &r);
    win::input::Click(bar.m_hWnd, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  Owner owner;
  CToolBar bar;
};

TEST_F(ToolBarTest, AButtonClickReachesTheParentAsItsCommand) {
  ASSERT_EQ(bar.GetToolBarCtrl().GetButtonCount(), 4);
  EXPECT_EQ(bar.GetItemID(1), 0u) << "the separator";
  EXPECT_EQ(bar.CommandToIndex(502), 2);
  ClickButton(2);
  ASSERT_EQ(owner.commands.size(), 1u);
  EXPECT_EQ(owner.commands[0], std::make_pair(502u, UINT(BN_CLICKED)));
  // A disabled button and the separator send nothing.
  bar.GetToolBarCtrl().EnableButton(503, FALSE);
  ClickButton(3);
  ClickButton(1);
  EXPECT_EQ(owner.commands.size(), 1u);
  // A press released off the button is no click.
  RECT r;
  bar.GetItemRect(0, &r);
  win::input::MouseDown(bar.m_hWnd, r.left + 3, r.top + 3);
  win::input::MouseUp(bar.m_hWnd, 250, r.top + 3);
  EXPECT_EQ(owner.commands.size(), 1u);
}

TEST_F(ToolBarTest, CheckBoxButtonsToggleAndAreSetFromCode) {
  bar.SetButtonStyle(0, TBBS_CHECKBOX);
  CToolBarCtrl& ctrl = bar.GetToolBarCtrl();
  EXPECT_FALSE(ctrl.IsButtonChecked(501));
  ClickButton(0);
  EXPECT_TRUE(ctrl.IsButtonChecked(501));
  ClickButton(0);
  EXPECT_FALSE(ctrl.IsButtonChecked(501));
  EXPECT_EQ(owner.commands.size(), 2u);
  ctrl.CheckButton(501, TRUE);  // TB_CHECKBUTTON: no command
  EXPECT_TRUE(bar.GetButtonStyle(0) & TBBS_CHECKED);
  EXPECT_EQ(owner.commands.size(), 2u);
}

TEST_F(ToolBarTest, ImagesAreDrawnOnTheButtonsAndCheckedButtonsLookPressed) {
  bar.SetButtonStyle(2, TBBS_CHECKBOX);
  bar.GetToolBarCtrl().CheckButton(502, TRUE);
  win::Image shot = win::RenderWindow(bar.m_hWnd);
  RECT first, third;
  bar.GetItemRect(0, &first);
  bar.GetItemRect(2, &third);
  // Image 0 (red) in the first button's middle, image 1 (green) on the third, moved by one pixel as pressed.
  EXPECT_EQ(shot.At((first.left + first.right) / 2, (first.top + first.bottom) / 2), RGB(255, 0, 0));
  EXPECT_EQ(shot.At((third.left + third.right) / 2 + 1, (third.top + third.bottom) / 2 + 1), RGB(0, 255, 0));
  EXPECT_EQ(shot.At(third.left, third.top + 3), GetSysColor(COLOR_3DSHADOW)) << "the sunken edge";
  EXPECT_EQ(shot.At(first.left + 4, (first.top + first.bottom) / 2), GetSysColor(COLOR_3DFACE))
      << "the bitmap's grey is transparent";
  if (const char* out = std::getenv("KOLUMO_TEST_PNG")) win::SavePng(shot, out);
}

TEST_F(ToolBarTest, AComboOnASeparatorReportsToTheOwnerAndBarsStackAboveTheRest) {
  // As the editor does: the button becomes a separator of the combo's width, the combo lies over it.
  bar.SetButtonInfo(2, 502, TBBS_SEPARATOR, 90);
  RECT r;
  bar.GetItemRect(2, &r);
  EXPECT_EQ(r.right - r.left, 90);
  CComboBox combo;
  ASSERT_TRUE(
      combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(r.left, r.top, r.right, r.bottom + 200), &bar, 502));
  combo.AddString("Standard");
  combo.AddString("Überschrift 1");
  combo.SetCurSel(0);
  win::input::ClickCenter(combo.m_hWnd);
  win::input::Key(VK_DOWN);
  win::input::Key(VK_RETURN);
  EXPECT_NE(std::find(owner.commands.begin(), owner.commands.end(), std::make_pair(502u, UINT(CBN_SELCHANGE))),
            owner.commands.end());
  // Two bars and a client window: the bars at the top, each its own height, the client below them.
  CToolBar second;
  ASSERT_TRUE(second.CreateEx(&owner, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect(0, 0, 0, 0),
                              AFX_IDW_TOOLBAR + 1));
  second.LoadToolBar(kBar);
  CWnd client;
  ASSERT_TRUE(client.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &owner, 77));
  CRect rest;
  owner.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, 77, 0, &rest);
  CRect b1, b2, c;
  bar.GetWindowRect(&b1);
  second.GetWindowRect(&b2);
  client.GetWindowRect(&c);
  owner.ScreenToClient(&b1);
  owner.ScreenToClient(&b2);
  owner.ScreenToClient(&c);
  EXPECT_EQ(b1.top, 0);
  EXPECT_EQ(b2.top, b1.bottom);
  EXPECT_EQ(c.top, b2.bottom);
  EXPECT_EQ(c.bottom, 200);
  EXPECT_EQ(b1.Width(), 300);
  EXPECT_EQ(rest, c);
}

// The visible tip window, or nullptr.
HWND ShownTip() {
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    char name[64] = {};
    GetClassName(w, name, sizeof name);
    if (std::string(name) == "tooltips_class32" && IsWindowVisible(w)) return w;
  }
  return nullptr;
}
std::string TextOf(HWND w) {
  char text[128] = {};
  GetWindowText(w, text, sizeof text);
  return text;
}

// A bar with tips: a pointer resting on a button shows a tip after half a second, with the owner's answer or, where
// the owner gives none, the command's string; moving off the bar or clicking hides it.
TEST_F(ToolBarTest, ARestingPointerShowsTheButtonsTipUntilItLeavesOrClicks) {
  win::RegisterString(503, "Absatz rechtsbündig");
  CToolBar tipped;
  ASSERT_TRUE(tipped.CreateEx(&owner, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS, CRect(0, 0, 0, 0),
                              AFX_IDW_TOOLBAR + 1));
  ASSERT_TRUE(tipped.LoadToolBar(kBar));
  bar.ShowWindow(SW_HIDE);  // the two lie over each other
  auto middle = [&](int index) {
    RECT r;
    tipped.GetItemRect(index, &r);
    return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  struct Case {
    int index;
    const char* tip;
  } cases[] = {{0, "[Strg-F] Markierung Fett"}, {3, "Absatz rechtsbündig"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tip);
    win::input::MouseMove(tipped.m_hWnd, middle(c.index).x, middle(c.index).y);
    win::RunFor(300);
    EXPECT_EQ(ShownTip(), nullptr) << "a tip before the rest";
    win::RunFor(300);
    HWND tip = ShownTip();
    ASSERT_NE(tip, nullptr) << "no tip after the rest";
    EXPECT_EQ(TextOf(tip), c.tip);
    // The tip draws its text: dark ink on the tip colour.
    const win::Image shot = win::RenderWindow(tip);
    int ink = 0;
    for (int y = 0; y < shot.height; ++y)
      for (int x = 0; x < shot.width; ++x) ink += GetRValue(shot.At(x, y)) + GetGValue(shot.At(x, y)) < 200;
    EXPECT_GT(ink, 20) << "no text drawn";
    EXPECT_EQ(shot.At(2, 2), GetSysColor(COLOR_INFOBK));
    // The owner checking buttons as the caret moves leaves the tip.
    tipped.GetToolBarCtrl().CheckButton(501, c.index == 0);
    EXPECT_EQ(ShownTip(), tip) << "checking a button took the tip away";
    win::input::MouseMove(owner.m_hWnd, 150, 150);
    EXPECT_EQ(ShownTip(), nullptr) << "the tip stays when the pointer leaves the bar";
  }
  EXPECT_EQ(owner.asked, (std::vector<UINT>{501, 503})) << "the owner is asked first";
  // Resting on the separator shows nothing; a click hides a shown tip.
  RECT sep;
  tipped.GetItemRect(1, &sep);
  win::input::MouseMove(tipped.m_hWnd, (sep.left + sep.right) / 2, (sep.top + sep.bottom) / 2);
  win::RunFor(700);
  EXPECT_EQ(ShownTip(), nullptr) << "a tip on the separator";
  win::input::MouseMove(tipped.m_hWnd, middle(2).x, middle(2).y);
  win::RunFor(700);
  EXPECT_EQ(ShownTip(), nullptr) << "a tip for a command without any text";
  win::input::MouseMove(tipped.m_hWnd, middle(0).x, middle(0).y);
  win::RunFor(700);
  ASSERT_NE(ShownTip(), nullptr);
  win::input::Click(tipped.m_hWnd, middle(0).x, middle(0).y);
  EXPECT_EQ(ShownTip(), nullptr) << "the tip stays after a click";
  // A bar without tips makes no tip window.
  tipped.ShowWindow(SW_HIDE);
  bar.ShowWindow(SW_SHOW);
  win::input::MouseMove(bar.m_hWnd, middle(0).x, middle(0).y);
  win::RunFor(700);
  EXPECT_EQ(ShownTip(), nullptr);
}

}  // namespace
