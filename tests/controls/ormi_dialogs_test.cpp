// The pieces the module's dialogs share: popup menus from paths, the tab control addressed by page ids, the main
// dialog base's page selection, the resize arithmetic and the parameter grid.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/MainDlgBase.h"
#include "controls/OrmiParamGrid.h"
#include "controls/PopupMenuBuilder.h"
#include "platform/win/dialogs/wintest.h"

namespace {

class DialogPartsTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "Dialog", WS_POPUP | WS_VISIBLE, 0, 0, 500, 300, nullptr, nullptr));
  }
  void Save(const char* name, CWnd* wnd) {
    if (const char* dir = std::getenv("KOLUMO_PICTURES"))
      win::SaveWindowPng(wnd->m_hWnd, std::string(dir) + "/" + name + ".png");
  }
  CWnd parent;
};

TEST_F(DialogPartsTest, PopupPathsMakeSubmenusAndAnExistingPathKeepsItsFirstId) {
  CPopupMenuBuilder b;
  b.AddItem("A\\B", 5);
  b.AddItem("A\\C", 6);
  b.AddItem("D", 1);
  b.AddItem("D", 2, FALSE, TRUE);
  b.AddItem("", 9);
  b.AddItem("Trenner", UINT(-1), TRUE);
  ASSERT_EQ(b.Items().size(), 3u);
  EXPECT_EQ(b.Items()[0]->children.size(), 2u);
  EXPECT_EQ(b.Items()[0]->children[1]->id, 6u);
  EXPECT_EQ(b.Items()[0]->children[1]->parent, b.Items()[0].get());
  EXPECT_EQ(b.Items()[1]->id, 1u);
  EXPECT_EQ(b.Items()[1]->flags, 0u);
  HMENU menu = b.BuildMenu();
  ASSERT_EQ(::GetMenuItemCount(menu), 3);
  EXPECT_NE(::GetSubMenu(menu, 0), nullptr);
  EXPECT_EQ(::GetMenuItemID(::GetSubMenu(menu, 0), 0), 5u);
  // The separator is one, whatever its text.
  EXPECT_TRUE(::GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR);
  ::DestroyMenu(menu);
  win::script::QueueMenuItem("A\\C");
  EXPECT_EQ(b.Track(10, 10, parent.m_hWnd), 6u);
  win::script::QueueMenuCommand(0);
  EXPECT_EQ(b.Track(10, 10, parent.m_hWnd), 0u);
}

TEST_F(DialogPartsTest, TabsAreSelectedByPageId) {
  COrmiTabCtrl tab;
  ASSERT_TRUE(tab.Create(WS_CHILD | WS_VISIBLE, CRect(5, 5, 300, 100), &parent, 10));
  EXPECT_EQ(tab.GetCurPage(), -1);
  EXPECT_EQ(tab.SetCurPage(10), -1);
  tab.AddPage(10, "System");
  tab.AddPage(20, "Lasten");
  tab.InsertItem(2, "Ohne Eintrag");
  tab.SetCurSel(0);
  EXPECT_EQ(tab.SetCurPage(20), 10);
  EXPECT_EQ(tab.GetCurSel(), 1);
  EXPECT_EQ(tab.GetCurPage(), 20);
  EXPECT_EQ(tab.SetCurPage(99), -1);
  EXPECT_EQ(tab.GetCurSel(), 1);
  tab.SetCurSel(2);
  EXPECT_EQ(tab.GetCurPage(), -1);
  EXPECT_EQ(tab.SetCurPage(10), -1) << "the tab selected before has no entry";
  EXPECT_THROW(tab.GetEntry(2), std::out_of_range);
  Save("tab-pages", &parent);
}

class PageDialog : public CMainDlgBase {
 public:
  int changes = 0;
  void OnPageChange() override { ++changes; }
};

TEST_F(DialogPartsTest, SelectPageCallsThePageChangeOnlyForAnotherPageOrPageZero) {
  struct Case {
    bool ownTab;
    int selected, page;
    int changes, after;
  };
  const Case cases[] = {
      {true, 10, 20, 1, 20}, {true, 20, 20, 0, 20}, {false, 1, 1, 0, 1}, {false, 0, 1, 1, 1}, {false, 0, 0, 1, 0},
  };
  for (const Case& c : cases) {
    PageDialog dlg;
    COrmiTabCtrl own;
    CTabCtrl plain;
    CTabCtrl* tab = c.ownTab ? static_cast<CTabCtrl*>(&own) : &plain;
    ASSERT_TRUE(tab->Create(WS_CHILD | WS_VISIBLE, CRect(5, 5, 300, 100), &parent, 11));
    if (c.ownTab) {
      own.AddPage(10, "A");
      own.AddPage(20, "B");
      own.SetCurPage(c.selected);
    } else {
      plain.InsertItem(0, "A");
      plain.InsertItem(1, "B");
      plain.SetCurSel(c.selected);
    }
    dlg.SelectPage(c.page, tab);
    EXPECT_EQ(dlg.changes, c.changes) << c.ownTab << " " << c.selected << "->" << c.page;
    EXPECT_EQ(c.ownTab ? own.GetCurPage() : plain.GetCurSel(), c.after);
    tab->DestroyWindow();
  }
}

TEST_F(DialogPartsTest, ResizeAnchorsControlsByPercentAndOffset) {
  struct Case {
    int pct[4], off[4];
    int w, h;
    CRect expected;
  };
  // The hundredth in single precision: 100 % of 500 is 499, 50 % of 500 is 249.
  const Case cases[] = {
      {{0, 0, 100, 100}, {5, 5, -5, -5}, 500, 300, CRect(5, 5, 494, 294)},
      {{100, 0, 100, 0}, {-20, 0, 0, 20}, 500, 300, CRect(479, 0, 499, 20)},
      {{50, 0, 50, 0}, {-10, 0, 10, 20}, 500, 300, CRect(239, 0, 259, 20)},
      {{0, 0, 100, 100}, {5, 50, -5, -5}, 400, 200, CRect(5, 50, 394, 194)},
  };
  for (const Case& c : cases) EXPECT_EQ(CResizeHelper::Place(c.w, c.h, c.pct, c.off), c.expected);
  CWnd child;
  ASSERT_TRUE(child.Create("Static", "x", WS_CHILD | WS_VISIBLE, CRect(1, 2, 3, 4), &parent, 12));
  CResizeHelper helper;
  helper.AddControl(child.m_hWnd, 0, 0, 100, 100, 5, 5, -5, -5);
  helper.Resize(CRect(0, 0, 0, 0));  // minimised: nothing moves
  RECT r;
  ASSERT_TRUE(CResizeHelper::GetChildRect(parent.m_hWnd, child.m_hWnd, &r));
  EXPECT_EQ(CRect(r), CRect(1, 2, 3, 4));
  CWnd corner;
  ASSERT_TRUE(corner.Create("Button", "?", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), &parent, 15));
  helper.AddControl(corner.m_hWnd, 100, 0, 100, 0, -20, 0, 0, 20);
  helper.Resize(CRect(0, 0, 500, 300));
  Save("resize", &parent);
  ASSERT_TRUE(CResizeHelper::GetChildRect(parent.m_hWnd, corner.m_hWnd, &r));
  EXPECT_EQ(CRect(r), CRect(479, 0, 499, 20));
  ASSERT_TRUE(CResizeHelper::GetChildRect(parent.m_hWnd, child.m_hWnd, &r));
  EXPECT_EQ(CRect(r), CRect(5, 5, 494, 294));
  RECT untouched = {7, 7, 7, 7};
  EXPECT_FALSE(CResizeHelper::GetChildRect(parent.m_hWnd, nullptr, &untouched));
  EXPECT_EQ(untouched.left, 7);
}

TEST_F(DialogPartsTest, AParameterGridShowsAndTakesBackItsVariables) {
  double ratio = 0.125, length = 4.5;
  int check = 1, choice = 1;
  CFormulaNumber height(2.75);
  CStringArray options;
  options.Add("C20/25");
  options.Add("C30/37");
  COrmiParamGrid grid;
  grid.SetCaption("Parameter");
  grid.AddHeader("Bewehrung");
  grid.AddDouble("Bewehrungsgrad [%]", &ratio, "%.2lf", 100.0);
  grid.AddDouble("Länge [m]", &length, "%lg", 1.0);
  grid.AddCheck("Bügel", &check);
  grid.AddCombo("Beton", &choice, options);
  grid.AddFormula("Höhe [m]", &height, "%.3lf");
  ASSERT_TRUE(grid.Create(CRect(5, 5, 405, 205), &parent, 13));
  grid.Layout();
  EXPECT_TRUE(grid.ExchangeData(FALSE));
  win::PumpMessages();
  Save("param-grid", &parent);
  // 0.125 at factor 100 with two decimals.
  EXPECT_EQ(grid.GetItemText(1, 1), "12.50");
  EXPECT_EQ(grid.GetItemText(0, 0), "Bewehrung");
  EXPECT_EQ(grid.GetCell(0, 0)->GetFont()->lfWeight, FW_BOLD);
  EXPECT_STREQ(grid.GetCell(0, 0)->GetFont()->lfFaceName, "Arial");
  EXPECT_TRUE(grid.GetCell(0, 1)->IsReadOnly());
  EXPECT_EQ(grid.GetItemText(4, 1), "C30/37");
  EXPECT_EQ(grid.GetItemText(5, 1), "2.750");
  // Changed in the cells, taken back.
  grid.SetCellDouble(1, 1, 0.02);
  grid.SetCellDouble(2, 1, 6.0);
  grid.SetCellCheck(3, 1, 0);
  grid.SetComboIndex(4, 1, 0);
  CFormulaNumber three(3.0);
  grid.SetCellFormula(5, 1, three);
  EXPECT_TRUE(grid.ExchangeData(TRUE));
  EXPECT_DOUBLE_EQ(ratio, 0.02);
  EXPECT_DOUBLE_EQ(length, 6.0);
  EXPECT_EQ(check, 0);
  EXPECT_EQ(choice, 0);
  EXPECT_DOUBLE_EQ(height.m_dValue, 3.0);
  // An index outside the options leaves the shown text; reading gives that text's index.
  choice = 7;
  grid.ExchangeData(FALSE);
  grid.ExchangeData(TRUE);
  EXPECT_EQ(choice, 0);
}

TEST_F(DialogPartsTest, AHorizontalParameterGridPutsParameterIInColumnI) {
  int a = 1, b = 2;
  COrmiParamGrid grid;
  grid.SetHorizontal(TRUE);
  grid.AddCheck("a", &a);
  grid.AddCheck("b", &b);
  ASSERT_TRUE(grid.Create(CRect(5, 5, 205, 65), &parent, 14));
  grid.Layout();
  grid.ExchangeData(FALSE);
  EXPECT_EQ(grid.GetRowCount(), 2);
  EXPECT_EQ(grid.GetItemText(0, 1), "b");
  EXPECT_EQ(grid.GetCellType(1, 1), ORMI_CHECK);
}

}  // namespace
