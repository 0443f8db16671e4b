// The member-system grid driven as the engineer drives it: fields typed in and removed, supports that copy the
// conditions of the one before, springs shown and edited in the spring dialog, and copying fields.
#include "framework_ui/stabsysgrid.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework_ui/springdlg.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/controls/grid_keys.h"

namespace {

class CountingGrid : public StabSysGrid {
 public:
  int changes = 0;
  int rowsInitialised = 0;
  void OnFieldsChanged() override { ++changes; }
  void InitRow(int row) override {
    ++rowsInitialised;
    StabSysGrid::InitRow(row);
  }
};

class StabSysGridTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "System", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 240, nullptr, nullptr));
    ASSERT_TRUE(grid.Create(CRect(5, 5, 995, 235), &parent, 2));
    grid.Layout();
    win::PumpMessages();
  }
  void Save(const char* name) {
    if (const char* dir = std::getenv("KOLUMO_PICTURES"))
      win::SaveWindowPng(parent.m_hWnd, std::string(dir) + "/" + name + ".png");
  }
  void TypeInto(int row, int col, const std::string& text) {
    grid.SetFocusCell(row, col);
    win::PumpMessages();
    win::input::Key(VK_F2);
    win::PumpMessages();
    win::input::KeyWith(VK_CONTROL, 'A');
    win::input::Type(text);
    grid.EndEditing();
    win::PumpMessages();
  }
  void ClickCell(int row, int col, UINT button = VK_LBUTTON) {
    CRect r;
    ASSERT_TRUE(grid.GetCellRect(row, col, &r));
    win::input::Click(grid.m_hWnd, r.CenterPoint().x, r.CenterPoint().y, button);
    win::PumpMessages();
  }
  void Fields(const std::vector<double>& lengths) {
    grid.SetFieldCount(int(lengths.size()));
    for (std::size_t f = 0; f < lengths.size(); ++f) grid.lengths[f] = lengths[f];
    grid.UpdateGrid(FALSE);
    win::PumpMessages();
  }
  CWnd parent;
  CountingGrid grid;
};

TEST_F(StabSysGridTest, ALengthInTheEntryRowMakesAFieldWhoseSupportCopiesTheStartSupport) {
  EXPECT_EQ(grid.GetRowCount(), 3);
  EXPECT_FALSE(grid.IsCellEditable(1, StabSysGrid::kColLength));
  ClickCell(1, StabSysGrid::kColCx);
  ClickCell(1, StabSysGrid::kColCx + 2);
  EXPECT_DOUBLE_EQ(grid.supports[0].cz.GetValue(), -1.0);
  TypeInto(2, StabSysGrid::kColLength, "3");
  ASSERT_EQ(grid.FieldCount(), 1);
  EXPECT_DOUBLE_EQ(grid.lengths[0].GetValue(), 3.0);
  EXPECT_EQ(grid.GetRowCount(), 4);
  EXPECT_DOUBLE_EQ(grid.supports[1].cx.GetValue(), -1.0);
  EXPECT_DOUBLE_EQ(grid.supports[1].cy.GetValue(), 0.0);
  EXPECT_DOUBLE_EQ(grid.supports[1].cz.GetValue(), -1.0);
  EXPECT_EQ(grid.bucklingFields[0], 1);
  // Running sums: 3 and 3 + 2.5 = 5.5.
  TypeInto(3, StabSysGrid::kColLength, "2,5");
  ASSERT_EQ(grid.FieldCount(), 2);
  EXPECT_EQ(grid.GetItemText(3, StabSysGrid::kColSum), "5.50 m");
  EXPECT_EQ(grid.GetCellInt(3, StabSysGrid::kColField), 2);
  Save("stabsysgrid");
}

TEST_F(StabSysGridTest, ALengthOfZeroRemovesTheLastFieldOnlyWhenTwoOrMoreExist) {
  Fields({4.0});
  TypeInto(2, StabSysGrid::kColLength, "0");
  EXPECT_EQ(grid.FieldCount(), 1);
  Fields({4.0, 2.0});
  grid.changes = 0;
  TypeInto(3, StabSysGrid::kColLength, "0");
  EXPECT_EQ(grid.FieldCount(), 1);
  EXPECT_EQ(grid.GetRowCount(), 4);
  EXPECT_EQ(grid.supports.size(), 2u);
  EXPECT_GE(grid.changes, 1);
}

TEST_F(StabSysGridTest, ASpringValueLocksItsBoxAndMarksTheSpringButton) {
  Fields({4.0});
  grid.supports[1].cz = 5000.0;
  grid.supports[1].cx = -1.0;
  grid.UpdateGrid(FALSE);
  EXPECT_EQ(grid.GetItemText(2, StabSysGrid::kColSprings), "-> Federwerte <-");
  EXPECT_EQ(grid.GetItemText(1, StabSysGrid::kColSprings), "Federwerte");
  EXPECT_TRUE(grid.GetCellCheck(2, StabSysGrid::kColCx + 2));
  EXPECT_FALSE(grid.IsCellEditable(2, StabSysGrid::kColCx + 2));
  EXPECT_TRUE(grid.IsCellEditable(2, StabSysGrid::kColCx));
  // A warping spring alone does not mark the button.
  grid.supports[1].cz = 0.0;
  grid.supports[1].cwoelb = 300.0;
  grid.UpdateGrid(FALSE);
  EXPECT_EQ(grid.GetItemText(2, StabSysGrid::kColSprings), "Federwerte");
  Save("stabsysgrid-spring");
}

// The tip of a spring box gives the stiffness in the unit of its direction: a translation in kN/m, a rotation in
// kNm/rad (a moment per unit rotation; "kN/rad" would be a force per rotation). Rigid and free show no tip.
TEST_F(StabSysGridTest, TheTipOfASpringGivesItsStiffnessWithTheUnitOfItsDirection) {
  Fields({4.0});
  grid.supports[1].cz = 5000.0;
  grid.supports[1].cmy = 2500.0;
  grid.supports[1].cmx = -1.0;
  std::vector<std::string> tips;
  grid.showTip = [&tips](const char* file) { tips.emplace_back(file); };
  EXPECT_EQ(grid.GetTitleTipText(2, StabSysGrid::kColCx + 2), "5.0000e+03 kN/m");
  EXPECT_EQ(grid.GetTitleTipText(2, StabSysGrid::kColCx + 4), "2.5000e+03 kNm/rad");
  EXPECT_EQ(grid.GetTitleTipText(2, StabSysGrid::kColCx + 3), "");
  EXPECT_EQ(grid.GetTitleTipText(2, StabSysGrid::kColLength), "");
  EXPECT_EQ(tips, (std::vector<std::string>{"common_stabSysGrid_cz.rtf", "common_stabSysGrid_cmy.rtf",
                                            "common_stabSysGrid_fieldLength.rtf"}));
}

TEST_F(StabSysGridTest, CopyingField2Of3GivesFourFieldsWithTheCopyAsField3) {
  Fields({3.0, 4.0, 5.0});
  grid.supports[2].cz = 700.0;
  grid.divisions[1] = 6;
  grid.UpdateGrid(FALSE);
  win::script::QueueMenuItem("Feld kopieren");
  ClickCell(3, StabSysGrid::kColLength, VK_RBUTTON);
  ASSERT_EQ(grid.FieldCount(), 4);
  const double expected[] = {3.0, 4.0, 4.0, 5.0};
  for (int f = 0; f < 4; ++f) EXPECT_DOUBLE_EQ(grid.lengths[std::size_t(f)].GetValue(), expected[f]) << f;
  EXPECT_DOUBLE_EQ(grid.supports[3].cz.GetValue(), 700.0);
  EXPECT_EQ(grid.divisions[2], 6);
  EXPECT_EQ(grid.supports.size(), 5u);
  // Sums 3, 7, 11, 16.
  EXPECT_EQ(grid.GetItemText(5, StabSysGrid::kColSum), "16.00 m");
  win::script::QueueMenuItem("Feld löschen");
  ClickCell(2, StabSysGrid::kColLength, VK_RBUTTON);
  ASSERT_EQ(grid.FieldCount(), 3);
  EXPECT_DOUBLE_EQ(grid.lengths[0].GetValue(), 4.0);
  EXPECT_EQ(grid.supports.size(), 4u);
}

TEST_F(StabSysGridTest, TheSpringButtonOpensTheSpringDialogAndTakesItsSupport) {
  Fields({4.0, 3.0});
  win::script::QueueDialog([](CDialog& d) {
    auto& dlg = static_cast<SpringValDlg&>(d);
    // The inner support: no fixity column.
    EXPECT_FALSE(dlg.grid.IsColumnVisible(SpringValGrid::kColFixity));
    EXPECT_EQ(dlg.directionMask, 0b111111);
    d.SendDlgItemMessage(IDC_SPRING_PRESET, CB_SETCURSEL, 5);
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SPRING_PRESET, CBN_SELCHANGE),
                  LPARAM(d.GetDlgItem(IDC_SPRING_PRESET)->m_hWnd));
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
  });
  ClickCell(2, StabSysGrid::kColSprings);
  EXPECT_DOUBLE_EQ(grid.supports[1].cmy.GetValue(), -1.0);
  for (int c = StabSysGrid::kColCx; c < StabSysGrid::kColCw; ++c) EXPECT_TRUE(grid.GetCellCheck(2, c)) << c;
  EXPECT_EQ(grid.supports[1].presetIdx, 5);
}

// Copy and paste by keys: a field's length goes to another field as the number it shows, without its unit, and
// is stored there; a column of lengths from a spreadsheet (decimal commas) fills one field after the other.
TEST_F(StabSysGridTest, KeysCopyALengthToAnotherFieldAndPasteAColumnOfLengths) {
  for (const auto& copy : grid_keys::kCopy)
    for (const auto& paste : grid_keys::kPaste) {
      SCOPED_TRACE(std::string(copy.name) + ", " + paste.name);
      Fields({3.2, 4.5, 6.0});
      const int changes = grid.changes;
      EXPECT_EQ(grid_keys::CopyCell(grid, 2, StabSysGrid::kColLength, copy), "3.20");
      win::input::Click(grid.m_hWnd, 0, 0);  // elsewhere, so that the paste goes by the cell clicked next
      grid_keys::ClickCell(grid, 3, StabSysGrid::kColLength);
      grid_keys::Press(paste);
      EXPECT_DOUBLE_EQ(grid.lengths[1].GetValue(), 3.2);
      EXPECT_EQ(grid.GetItemText(3, StabSysGrid::kColLength), "3.20 m");
      EXPECT_EQ(grid.GetItemText(3, StabSysGrid::kColSum), "6.40 m");  // 3.20 + 3.20
      EXPECT_GT(grid.changes, changes);
      EXPECT_EQ(grid.FieldCount(), 3);
    }
  grid_keys::PasteInto(grid, 3, StabSysGrid::kColLength, "3,5\r\n4,0\r\n");
  EXPECT_DOUBLE_EQ(grid.lengths[0].GetValue(), 3.2);
  EXPECT_DOUBLE_EQ(grid.lengths[1].GetValue(), 3.5);
  EXPECT_DOUBLE_EQ(grid.lengths[2].GetValue(), 4.0) << "the second line is stored as the first";
  EXPECT_EQ(grid.GetItemText(4, StabSysGrid::kColSum), "10.70 m");  // 3.2 + 3.5 + 4.0
  // A length as a cell shows it, with its unit, is that length.
  grid_keys::PasteInto(grid, 4, StabSysGrid::kColLength, "2.50 m");
  EXPECT_DOUBLE_EQ(grid.lengths[2].GetValue(), 2.5);
  EXPECT_TRUE(grid.lengths[2].m_bNumber);
  EXPECT_TRUE(win::msgbox::Log().empty());
  // The read-only sum copies as a number and takes no paste, without a word.
  EXPECT_EQ(grid_keys::CopyCell(grid, 3, StabSysGrid::kColSum), "6.70");  // 3.2 + 3.5
  grid_keys::PasteInto(grid, 3, StabSysGrid::kColSum, "1");
  EXPECT_EQ(grid.GetItemText(3, StabSysGrid::kColSum), "6.70 m");
  EXPECT_TRUE(win::msgbox::Log().empty());
}

// A pasted column of lengths costs the time of its lines: each field's row is set up a few times, not once per
// line after it, and the owner hears of the change once. Before, 400 lines set up 80,000 rows.
TEST_F(StabSysGridTest, APastedColumnOfLengthsCostsTheTimeOfItsLines) {
  for (const int lines : {50, 400}) {
    SCOPED_TRACE(lines);
    Fields({3.2});
    std::string column;
    for (int i = 0; i < lines; ++i) column += "2,5\n";
    grid_keys::ClickCell(grid, 2, StabSysGrid::kColLength);  // a click on the cell of the last paste would edit it
    grid.changes = grid.rowsInitialised = 0;
    win::msgbox::QueueAnswer(IDYES);  // the lines make as many fields
    grid_keys::PasteInto(grid, 3, StabSysGrid::kColLength, column);
    ASSERT_EQ(grid.FieldCount(), 1 + lines);
    EXPECT_DOUBLE_EQ(grid.lengths[std::size_t(lines)].GetValue(), 2.5);
    // The sums of the rows are those of the whole column: 3.2 + 2.5 n.
    CString sum;
    sum.Format("%.2lf m", 3.2 + 2.5 * lines);
    EXPECT_EQ(grid.GetItemText(lines + 2, StabSysGrid::kColSum), sum);
    EXPECT_EQ(grid.changes, 1);
    EXPECT_LE(grid.rowsInitialised, 6 * lines);
  }
}

// Only a typed 0 removes the last field: a cut and the Delete key leave the length (the cut copies it), a pasted 0
// is refused with a message.
TEST_F(StabSysGridTest, OnlyATypedZeroRemovesTheLastField) {
  Fields({4.0, 2.0});
  grid_keys::ClickCell(grid, 3, StabSysGrid::kColLength);
  grid_keys::Press(grid_keys::kCut);
  EXPECT_EQ(win::ClipboardText(), "2.00");
  win::input::Key(VK_DELETE);
  win::PumpMessages();
  EXPECT_TRUE(win::msgbox::Log().empty());
  EXPECT_EQ(grid.FieldCount(), 2);
  EXPECT_DOUBLE_EQ(grid.lengths[1].GetValue(), 2.0);
  EXPECT_EQ(grid.GetItemText(3, StabSysGrid::kColLength), "2.00 m");
  win::msgbox::QueueAnswer(IDOK);
  grid_keys::PasteInto(grid, 3, StabSysGrid::kColLength, "0");
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Feld 2: Eine Länge von 0 m ist keine Feldlänge.");
  EXPECT_EQ(grid.FieldCount(), 2);
  EXPECT_DOUBLE_EQ(grid.lengths[1].GetValue(), 2.0);
  TypeInto(3, StabSysGrid::kColLength, "0");
  EXPECT_EQ(grid.FieldCount(), 1);
}

}  // namespace
