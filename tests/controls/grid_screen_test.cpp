// The typed grid on a screen, driven by the mouse and the keys: a click that ends a refused edit leaves the mouse
// free once its box is answered, a box that opens during a drag takes the mouse from the grid, and a context
// submenu of eleven entries opens and gives its last entry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/OrmiGridCtrl.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/platform/win/step_screen.h"

namespace {

using win::test::StepScreen;
using win::test::TextOf;

enum Col { kText, kValue, kCols };

// Rows of a text and a formula; the owner refuses negative values.
class LoadsGrid : public COrmiGridCtrl {
 public:
  std::vector<int> commands;
  void Layout() override {
    Init(8, kCols, 1, 0);
    SetColumnWidthPercent(kText, 50);
    SetColumnWidthPercent(kValue, 50);
    for (int r = 1; r < 8; ++r) {
      SetCellType(r, kText, ORMI_TEXT);
      SetCellType(r, kValue, ORMI_FORMULA);
      SetCellFormula(r, kValue, CFormulaNumber(95.0));
    }
    LayoutColumns();
  }
  CString RefusedFormula(int row, int col, const CFormulaNumber& typed) override {
    CString reason;
    if (typed.m_dValue < 0.0) reason.Format("Last %d: %g ist negativ.", row, typed.m_dValue);
    return reason;
  }
  void OnCellContextMenu(int row, int col, int command) override { commands.push_back(command); }
};

class GridScreenTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "Eingabe", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr));
    ASSERT_TRUE(tabs.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(5, 5, 400, 30), &parent, 1));
    tabs.InsertItem(0, "System");
    tabs.InsertItem(1, "Belastung");
    tabs.SetCurSel(1);
    ASSERT_TRUE(grid.Create(CRect(5, 40, 405, 300), &parent, 2));
    grid.Layout();
    win::PumpMessages();
  }
  void TearDown() override {
    parent.DestroyWindow();
    WindowTest::TearDown();
  }
  CPoint Middle(int row, int col) {
    CRect r;
    EXPECT_TRUE(grid.GetCellRect(row, col, &r));
    return r.CenterPoint();
  }
  // The text of the grid's in-place editor that has the keyboard; "(no editor)" when none has it.
  std::string EditorText() {
    HWND focus = ::GetFocus();
    return focus && ::GetParent(focus) == grid.m_hWnd ? TextOf(focus) : "(no editor)";
  }
  void ClickTab(int index) {
    CRect r;
    tabs.GetItemRect(index, &r);
    win::input::Click(tabs.m_hWnd, r.CenterPoint().x, r.CenterPoint().y);
  }
  CWnd parent;
  CTabCtrl tabs;
  LoadsGrid grid;
};

void ClickButton(HWND top, const std::string& text) {
  EXPECT_TRUE(win::test::ClickButtonWithText(top, text)) << "no button " << text << " in " << TextOf(top);
}

// As on the loads page: a value typed into a cell, then a click on another cell's text, whose title tip (its text
// is cut) takes the press and hands it to the grid. The click ends the edit, the box says why the value is refused,
// the press is released while the box is open and OK answers it; the cell's editor is open again holding what was
// typed, and the next click goes where it aims (a tab), not to the grid; the cell keeps its value.
TEST_F(GridScreenTest, AClickThatARefusalInterruptedLeavesTheMouseFree) {
  grid.SetItemText(6, kText, "Wind aus Westen auf die ganze Länge der Stütze, Sog und Druck");
  grid.SetFocusCell(4, kValue);
  win::input::Key(VK_F2);
  win::input::KeyWith(VK_CONTROL, 'A');
  win::input::Type("-1");
  ASSERT_EQ(EditorText(), "-1");
  const CPoint aim = Middle(6, kText);
  win::input::MouseMove(grid.m_hWnd, aim.x, aim.y);
  ASSERT_NE(GetCapture(), nullptr) << "no title tip over the cut text";
  ASSERT_NE(GetCapture(), grid.m_hWnd);
  StepScreen screen;
  screen.Then([&](HWND) { win::input::MouseUp(grid.m_hWnd, aim.x, aim.y); });
  screen.Then([](HWND box) { ClickButton(box, "OK"); });
  win::input::MouseDown(grid.m_hWnd, aim.x, aim.y);
  EXPECT_EQ(screen.Left(), 0u);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Last 4: -1 ist negativ.");
  EXPECT_EQ(GetCapture(), nullptr) << "the grid took the mouse after the box";
  EXPECT_EQ(grid.GetMouseMode(), int(CGridCtrl::MOUSE_NOTHING));
  EXPECT_EQ(EditorText(), "-1") << "the refused cell is open again with what was typed";
  EXPECT_EQ(grid.GetFocusCell(), CCellID(4, kValue));
  ClickTab(0);
  EXPECT_EQ(tabs.GetCurSel(), 0) << "the click on the tab went to the grid";
  EXPECT_DOUBLE_EQ(grid.GetCellFormula(4, kValue).m_dValue, 95.0);
}

// A box that opens while the grid selects by dragging (its button down, the mouse and the auto-scroll timer held)
// takes the mouse: the grid ends its drag, and the box answers the click on its button.
TEST_F(GridScreenTest, ABoxThatOpensDuringADragTakesTheMouseFromTheGrid) {
  const CPoint from = Middle(2, kText);
  win::input::MouseDown(grid.m_hWnd, from.x, from.y);
  ASSERT_EQ(GetCapture(), grid.m_hWnd);
  ASSERT_EQ(grid.GetMouseMode(), int(CGridCtrl::MOUSE_SELECT_CELLS));
  ASSERT_NE(win::NextTimerDelay(), INFINITE);
  StepScreen screen;
  screen.Then([](HWND box) { ClickButton(box, "&Nein"); });
  EXPECT_EQ(
      AfxMessageBox("Die Position wurde geändert. Sollen die Änderungen verworfen werden?", MB_YESNO | MB_ICONQUESTION),
      IDNO);
  EXPECT_EQ(screen.Left(), 0u);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(grid.GetMouseMode(), int(CGridCtrl::MOUSE_NOTHING));
  EXPECT_EQ(win::NextTimerDelay(), INFINITE) << "the auto-scroll timer runs on";
  // the release that comes after the box selects nothing further
  const CPoint to = Middle(5, kText);
  win::input::MouseMove(grid.m_hWnd, to.x, to.y);
  win::input::MouseUp(grid.m_hWnd, to.x, to.y);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(2, kText));
  ClickTab(0);
  EXPECT_EQ(tabs.GetCurSel(), 0);
}

// The variable page's "Schriftgrad" menu: eleven entries in a submenu, which the keys open and whose last they pick.
TEST_F(GridScreenTest, AContextSubmenuOfElevenEntriesOpensAndGivesItsLastEntry) {
  grid.AddMenuItem("Schriftgrad\\Standard", 13);
  for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22})
    grid.AddMenuItem(("Schriftgrad\\" + std::to_string(size)).c_str(), 13 + size);
  grid.AddMenuItem("Zeile löschen", 7);
  const CPoint at = Middle(3, kText);
  StepScreen screen;
  for (UINT vk : {VK_DOWN, VK_RIGHT, VK_UP, VK_RETURN}) screen.Then([vk](HWND) { win::input::Key(vk); });
  win::input::Click(grid.m_hWnd, at.x, at.y, VK_RBUTTON);
  EXPECT_EQ(screen.Left(), 0u);
  EXPECT_EQ(grid.commands, std::vector<int>{13 + 22});
}

}  // namespace
