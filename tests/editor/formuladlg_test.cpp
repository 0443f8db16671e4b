// The formula overview and the input values dialog over a document's formula units and value lists.
#include "editor/formuladlg.h"

#include <gtest/gtest.h>

#include <iterator>

#include "tests/editor/editor_test_util.h"

namespace {

SkribTextBlock Unit(int type, const char* name, const char* formula, const char* result) {
  SkribTextBlock b;
  b.type = type;
  b.name = name;
  b.formula = formula;
  b.result = result;
  return b;
}

SubDataValue Value(const char* desc, const char* var, const char* unit, double value) {
  SubDataValue v;
  v.desc = desc;
  v.varName = var;
  v.unit = unit;
  v.value = value;
  return v;
}

class FormulaDialogTest : public win::test::WindowTest {};

TEST_F(FormulaDialogTest, OverviewMarksExportsAndInputsAndWritesBothLists) {
  // b = 0,30; h = 0,50; A = b*h = 0,15 (an expression without variable in between).
  const std::vector<SkribTextBlock> units = {Unit(2, "b", "0,30", "0,30"), Unit(4, "h", "0,50", "0,50"),
                                             Unit(3, "", "b*h", "0,15"), Unit(4, "A", "b*h", "0,15")};
  std::vector<SubDataValue> exports = {Value("Breite aus", "b", "m", 0.3), Value("Fläche", "A", "m²", 0.15)};
  std::vector<SubDataValue> inputs = {Value("Breite", "b", "cm", 0.3)};
  DlgFormula dlg;
  dlg.m_grid.m_pUnits = &units;
  dlg.m_grid.m_pExports = &exports;
  dlg.m_grid.m_pInputs = &inputs;
  win::script::QueueDialog([](CDialog& d) {
    FormulaGrid& g = static_cast<DlgFormula&>(d).m_grid;
    win::PumpMessages();
    ASSERT_EQ(g.GetRowCount(), 5);
    // b is both: both boxes, and the input value's description and unit (filled last).
    EXPECT_EQ(g.GetCellCheck(1, FormulaGrid::kExport), 1);
    EXPECT_EQ(g.GetCellCheck(1, FormulaGrid::kInput), 1);
    EXPECT_EQ(std::string(g.GetCellText(1, FormulaGrid::kDesc)), "Breite");
    EXPECT_EQ(std::string(g.GetCellText(1, FormulaGrid::kUnit)), "cm");
    EXPECT_FALSE(g.IsCellEditable(2, FormulaGrid::kDesc)) << "h is neither";
    EXPECT_FALSE(g.IsCellEditable(3, FormulaGrid::kExport)) << "an expression has no variable";
    EXPECT_EQ(std::string(g.GetCellText(3, FormulaGrid::kVariable)), "");
    EXPECT_DOUBLE_EQ(g.GetCellDouble(4, FormulaGrid::kResult), 0.15);
    EXPECT_EQ(std::string(g.GetCellText(4, FormulaGrid::kFormula)), "b*h");
    editortest::SavePicture(d.m_hWnd, "formula-overview");
    // Mark h as input by mouse: its description opens; unmark b's export and input: b's closes.
    CRect r;
    auto click = [&](int row, int col) {
      g.GetCellRect(row, col, &r);
      win::input::Click(g.m_hWnd, r.CenterPoint().x, r.CenterPoint().y);
      win::PumpMessages();
    };
    click(2, FormulaGrid::kInput);
    EXPECT_EQ(g.GetCellCheck(2, FormulaGrid::kInput), 1);
    EXPECT_TRUE(g.IsCellEditable(2, FormulaGrid::kDesc));
    click(1, FormulaGrid::kExport);
    click(1, FormulaGrid::kInput);
    EXPECT_FALSE(g.IsCellEditable(1, FormulaGrid::kDesc));
    g.SetCellText(2, FormulaGrid::kDesc, "Höhe");
    g.SetCellText(2, FormulaGrid::kUnit, "m");
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  ASSERT_EQ(exports.size(), 1u);
  EXPECT_EQ(std::string(exports[0].varName), "A");
  EXPECT_DOUBLE_EQ(exports[0].value, 0.15);
  ASSERT_EQ(inputs.size(), 1u);
  EXPECT_EQ(std::string(inputs[0].varName), "h");
  EXPECT_EQ(std::string(inputs[0].desc), "Höhe");
  EXPECT_DOUBLE_EQ(inputs[0].value, 0.5);
}

TEST_F(FormulaDialogTest, AUnitWithoutValueShowsWhyAndItsValuesKeepTheirStoredNumbers) {
  // The units as the text engine leaves "a = 1/0", "b = a+1 = 0,0", "a*2 = 0,00", c1/c2 on a cycle with
  // "c3 = c1*2 = 0,0", and "h = 0,50": each failed one kept the number 0 in its result.
  auto failed = [](SkribTextBlock unit, const char* why) {
    unit.failure = why;
    return unit;
  };
  const struct Row {
    SkribTextBlock unit;
    const char* shown;  // the result cell's text
  } rows[] = {
      {failed(Unit(2, "a", "1/0", "0"), "Division durch Null."), "Division durch Null."},
      {failed(Unit(4, "b", "a+1", "0,0"), "a = 1/0: Division durch Null."), "a = 1/0: Division durch Null."},
      {failed(Unit(3, "", "a*2", "0,00"), "a = 1/0: Division durch Null."), "a = 1/0: Division durch Null."},
      {failed(Unit(4, "c3", "c1*2", "0,0"), "c1 = c2+1: Zirkelbezug c1 -> c2 -> c1"),
       "c1 = c2+1: Zirkelbezug c1 -> c2 -> c1"},
      {Unit(2, "h", "0,50", "0,50"), "0.5"},
  };
  std::vector<SkribTextBlock> units;
  for (const Row& row : rows) units.push_back(row.unit);
  // b was exported and a taken as input with the numbers stored when they last had values; h is exported anew.
  std::vector<SubDataValue> exports = {Value("Fläche", "b", "m2", 0.6)};
  std::vector<SubDataValue> inputs = {Value("Breite", "a", "m", 0.3)};
  DlgFormula dlg;
  dlg.m_grid.m_pUnits = &units;
  dlg.m_grid.m_pExports = &exports;
  dlg.m_grid.m_pInputs = &inputs;
  win::script::QueueDialog([&rows](CDialog& d) {
    FormulaGrid& g = static_cast<DlgFormula&>(d).m_grid;
    win::PumpMessages();
    ASSERT_EQ(g.GetRowCount(), int(std::size(rows)) + 1);
    for (int r = 1; r < g.GetRowCount(); ++r) {
      SCOPED_TRACE(rows[r - 1].unit.formula);
      EXPECT_EQ(std::string(g.GetItemText(r, FormulaGrid::kResult)), rows[r - 1].shown);
      EXPECT_FALSE(g.IsCellEditable(r, FormulaGrid::kResult));
    }
    EXPECT_DOUBLE_EQ(g.GetCellDouble(5, FormulaGrid::kResult), 0.5);
    editortest::SavePicture(d.m_hWnd, "formula-overview-no-value");
    g.SetCellCheck(5, FormulaGrid::kExport, 1);
    g.OnCellChanged(5, FormulaGrid::kExport, ORMI_CHECK);
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  ASSERT_EQ(exports.size(), 2u);
  EXPECT_EQ(std::string(exports[0].varName), "b");
  EXPECT_DOUBLE_EQ(exports[0].value, 0.6) << "b has no number to give: it keeps the stored one";
  EXPECT_EQ(std::string(exports[1].varName), "h");
  EXPECT_DOUBLE_EQ(exports[1].value, 0.5);
  ASSERT_EQ(inputs.size(), 1u);
  EXPECT_EQ(std::string(inputs[0].desc), "Breite");
  EXPECT_DOUBLE_EQ(inputs[0].value, 0.3) << "the input dialog offers the number last given, not 0";
}

TEST_F(FormulaDialogTest, NoFormulasEmptiesTheListsAndCancelKeepsThem) {
  const std::vector<SkribTextBlock> none;
  std::vector<SubDataValue> exports = {Value("x", "x", "", 1.0)};
  std::vector<SubDataValue> inputs = {Value("y", "y", "", 2.0)};
  for (int answer : {IDCANCEL, IDOK}) {
    DlgFormula dlg;
    dlg.m_grid.m_pUnits = &none;
    dlg.m_grid.m_pExports = &exports;
    dlg.m_grid.m_pInputs = &inputs;
    win::script::QueueDialog([answer](CDialog& d) {
      EXPECT_EQ(static_cast<DlgFormula&>(d).m_grid.GetRowCount(), 1);
      d.SendMessage(WM_COMMAND, WPARAM(answer), 0);
    });
    dlg.DoModal();
    EXPECT_EQ(exports.size(), answer == IDOK ? 0u : 1u);
    EXPECT_EQ(inputs.size(), answer == IDOK ? 0u : 1u);
  }
}

TEST_F(FormulaDialogTest, InputValuesAreShownWithTheirUnitAndWrittenBack) {
  std::vector<SubDataValue> inputs = {Value("Breite", "b", "m", 0.3), Value("Anteil", "p", "%", 12.5)};
  DlgInputVal dlg;
  dlg.m_pInputs = &inputs;
  win::script::QueueDialog([](CDialog& d) {
    COrmiParamGrid& g = static_cast<DlgInputVal&>(d).m_grid;
    win::PumpMessages();
    int lr, lc, r, c;
    g.GetCellPos(0, lr, lc, r, c);
    EXPECT_EQ(std::string(g.GetItemText(lr, lc)), "Breite");
    EXPECT_EQ(std::string(g.GetItemText(r, c)), "0.30 [m]");
    g.GetCellPos(1, lr, lc, r, c);
    EXPECT_EQ(std::string(g.GetItemText(r, c)), "12.50 [%]");
    editortest::SavePicture(d.m_hWnd, "input-values");
    // Typed over: the engineer's decimal comma is read; a word is refused and the dialog stays.
    g.GetCellPos(0, lr, lc, r, c);
    g.SetItemText(r, c, "Breite");
    win::msgbox::QueueAnswer(IDOK);
    d.SendMessage(WM_COMMAND, IDOK, 0);
    EXPECT_NE(win::msgbox::Log().back().text.find("keine Zahl"), std::string::npos);
    g.SetItemText(r, c, "0,35");
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_DOUBLE_EQ(inputs[0].value, 0.35);
  EXPECT_DOUBLE_EQ(inputs[1].value, 12.5);
}

}  // namespace
