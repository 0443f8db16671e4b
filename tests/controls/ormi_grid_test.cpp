// The typed input grid driven as the engineer drives it: typed cells and their formats, formula cells with the
// variable menu, Tab out of the table, the caption header, the rich-text cell and the parameter grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "controls/GridCellTypes.h"
#include "controls/OrmiGridCells.h"
#include "controls/OrmiGridCtrl.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/controls/grid_keys.h"
#include "tests/platform/win/step_screen.h"

namespace {

// Columns of the grid below, one per cell type; the last is hidden.
enum Col { kText, kInt, kDouble, kCheck, kCombo, kComboIndex, kButton, kFormula, kNone, kRadio, kRich, kHidden, kCols };

class TypedGrid : public COrmiGridCtrl {
 public:
  TypedGrid() {
    m_bHeaderEnabled = TRUE;
    m_bRowMarking = TRUE;
  }
  std::vector<std::tuple<int, int, int>> changed;
  std::vector<std::tuple<int, int, int>> commands;
  std::vector<int> initRows;
  void Layout() override {
    Init(5, kCols, 1, 0);
    for (int c = 0; c < kCols; ++c) SetColumnWidthPercent(c, 10);
    SetColumnCaption(kText, "Bezeichnung");
    SetColumnCaption(kInt, "Zahlen");  // spans int and double
    SetColumnCaption(kCheck, "Auswahl");
    SetColumnCaption(kFormula, "Formel");
    SetColumnCaption(kRadio, "Rest");
    const int types[kCols] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 2};
    for (int r = 1; r < 5; ++r)
      for (int c = 0; c < kCols; ++c) SetCellType(r, c, types[c]);
    SetColumnVisible(kHidden, FALSE, FALSE);
    AddMenuItem("Zeile kopieren", 1);
    AddMenuItem("SeparatorUp", -1);
    AddMenuItem(1, 0, 4, 0, "Nur Bezeichnung", 2);
    LayoutColumns();
  }
  void InitRow(int row) override { initRows.push_back(row); }
  void OnCellChanged(int row, int col, int type) override { changed.emplace_back(row, col, type); }
  void OnCellContextMenu(int row, int col, int command) override { commands.emplace_back(row, col, command); }
  // The owner of the grid refuses negative formulas, with the value in its reason.
  std::vector<double> asked;
  CString RefusedFormula(int row, int col, const CFormulaNumber& typed) override {
    asked.push_back(typed.m_dValue);
    CString reason;
    if (typed.m_dValue < 0.0) reason.Format("Zeile %d: %g ist negativ.", row, typed.m_dValue);
    return reason;
  }
};

class TypedGridTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "Eingabe", WS_POPUP | WS_VISIBLE, 0, 0, 760, 300, nullptr, nullptr));
    ASSERT_TRUE(before.Create("Edit", "vorher", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(5, 5, 100, 25), &parent, 1));
    ASSERT_TRUE(grid.Create(CRect(5, 60, 745, 200), &parent, 2));
    ASSERT_TRUE(empty.Create("Static", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(5, 205, 50, 225), &parent, 3));
    ASSERT_TRUE(
        after.Create("Button", "Weiter", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(5, 230, 100, 255), &parent, 4));
    grid.Layout();
    GetGlobalVariableStore().RemoveAll();
    GetGlobalVariableStore().SetVariable("Lasten\\b", "Breite", "m", 3.0);
    win::PumpMessages();
  }
  void TearDown() override {
    GetGlobalVariableStore().RemoveAll();
    WindowTest::TearDown();
  }
  void Save(const char* name, CWnd* wnd) {
    if (const char* dir = std::getenv("KOLUMO_PICTURES"))
      win::SaveWindowPng(wnd->m_hWnd, std::string(dir) + "/" + name + ".png");
  }
  CPoint Center(int row, int col) {
    CRect r;
    EXPECT_TRUE(grid.GetCellRect(row, col, &r));
    return r.CenterPoint();
  }
  // Opens a cell's editor and types over its text (F2 opens it with the text selected; an empty text empties it).
  void TypeOver(int row, int col, const std::string& text) {
    grid.SetFocusCell(row, col);
    win::PumpMessages();
    win::input::Key(VK_F2);
    win::PumpMessages();
    win::input::KeyWith(VK_CONTROL, 'A');
    if (text.empty()) win::input::Key(VK_BACK);
    win::input::Type(text);
  }
  // Types text into a cell's in-place editor and ends the edit with Escape-free Enter; the focus goes back.
  void TypeInto(int row, int col, const std::string& text) {
    TypeOver(row, col, text);
    grid.EndEditing();
    win::PumpMessages();
  }
  // Types into a cell and ends with a key, as the engineer does.
  void TypeAndEnd(int row, int col, const std::string& text, UINT end) {
    TypeOver(row, col, text);
    win::input::Key(end);
    win::PumpMessages();
  }
  // The text of the grid's in-place editor that has the keyboard; "(no editor)" when none has it.
  std::string EditorText() {
    HWND focus = ::GetFocus();
    if (!focus || ::GetParent(focus) != grid.m_hWnd) return "(no editor)";
    char text[64] = {};
    ::GetWindowText(focus, text, sizeof text);
    return text;
  }
  CWnd parent, before, empty, after;
  TypedGrid grid;
};

TEST_F(TypedGridTest, EveryTypeGetsItsCellClassAndRecord) {
  struct Case {
    int col, type;
    const char* cls;
  };
  const Case cases[] = {
      {kText, 0, "CGridCell"},           {kInt, 1, "CGridCell"},          {kDouble, 2, "CGridCell"},
      {kCheck, 3, "CGridCellCheck"},     {kCombo, 4, "CGridCellCombo"},   {kComboIndex, 5, "CGridCellCombo"},
      {kButton, 6, "CGridCellButton"},   {kFormula, 7, "CGridCell"},      {kNone, 0, "CGridCell"},
      {kRadio, 9, "COrmiGridCellRadio"}, {kRich, 10, "COrmiGridCellRich"}};
  for (const Case& c : cases) {
    EXPECT_EQ(grid.GetCellType(2, c.col), c.type) << c.col;
    EXPECT_STREQ(grid.GetCell(2, c.col)->GetRuntimeClass()->m_lpszClassName, c.cls) << c.col;
  }
  // Check, radio and button cells open no editor; check and radio stay clickable until locked.
  EXPECT_TRUE(grid.GetCell(2, kCheck)->IsReadOnly());
  EXPECT_TRUE(grid.IsCellEditable(2, kRadio));
  grid.SetCellReadOnly(2, kRadio, TRUE);
  EXPECT_FALSE(grid.IsCellEditable(2, kRadio));
  EXPECT_EQ(grid.GetCell(2, kButton)->GetFormat(), UINT(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
  EXPECT_EQ(grid.initRows, (std::vector<int>{1, 2, 3, 4}));
  // Type 8 asks for nothing and changes nothing.
  EXPECT_EQ(grid.SetCellType(2, kInt, 8), 1);
  // Integer formats overwrite the double ones; the way back keeps them, since they are not empty.
  grid.SetCellType(3, kDouble, 1);
  EXPECT_STREQ(grid.GetCellInfo(3, kDouble)->scanFormat, "%ld");
  grid.SetCellType(3, kDouble, 2);
  EXPECT_STREQ(grid.GetCellInfo(3, kDouble)->displayFormat, "%ld");
  grid.SetCellType(3, kDouble, 0);
  EXPECT_EQ(grid.GetCellInfo(3, kDouble), nullptr);
}

TEST_F(TypedGridTest, TypedValuesRoundTripAndOtherCellsGiveTheNeutralResult) {
  EXPECT_EQ(grid.SetCellInt(1, kInt, -42), 0);
  EXPECT_EQ(grid.GetItemText(1, kInt), "-42");
  EXPECT_EQ(grid.SetCellInt(1, kInt, 7), -42);
  // A display factor of 100 (per cent): 0.25 shows as 25, 25 reads back as 0.25.
  grid.SetNumberFormat(1, kDouble, "%lf", "%.1lf", 100.0);
  grid.SetCellDouble(1, kDouble, 0.25);
  EXPECT_EQ(grid.GetItemText(1, kDouble), "25.0");
  EXPECT_DOUBLE_EQ(grid.GetCellDouble(1, kDouble), 0.25);
  EXPECT_EQ(grid.SetCellCheck(1, kCheck, 1), 0);
  EXPECT_EQ(grid.GetCellCheck(1, kCheck), 1);
  EXPECT_EQ(grid.SetButtonText(1, kButton, "Details"), "");
  EXPECT_EQ(grid.GetItemText(1, kButton), "Details");
  // Wrong types: unchanged cells, neutral results.
  grid.SetCellText(1, kText, "Stütze");
  EXPECT_EQ(grid.GetCellText(1, kText), "Stütze");
  EXPECT_EQ(grid.GetCellText(1, kInt), "");
  EXPECT_EQ(grid.SetCellInt(1, kDouble, 5), 0);
  EXPECT_EQ(grid.GetItemText(1, kDouble), "25.0");
  EXPECT_DOUBLE_EQ(grid.GetCellDouble(1, kInt), 0.0);
  EXPECT_EQ(grid.GetCellCheck(1, kRadio), 0);
  EXPECT_EQ(grid.GetComboIndex(1, kInt), -1);
  // Combo by index: the last equal option wins; -1 blanks; -2 and past the end change nothing.
  CStringArray options;
  options.Add("A");
  options.Add("B");
  options.Add("A");
  grid.SetComboOptions(1, kComboIndex, options);
  grid.SetComboIndex(1, kComboIndex, 1);
  EXPECT_EQ(grid.GetComboText(1, kComboIndex), "B");
  grid.SetComboText(1, kComboIndex, "A");
  EXPECT_EQ(grid.GetComboIndex(1, kComboIndex), 2);
  EXPECT_EQ(grid.SetComboIndex(1, kComboIndex, -2), 2);
  EXPECT_EQ(grid.SetComboIndex(1, kComboIndex, 3), 2);
  EXPECT_EQ(grid.GetComboText(1, kComboIndex), "A");
  grid.SetComboIndex(1, kComboIndex, -1);
  EXPECT_EQ(grid.GetComboText(1, kComboIndex), "");
  // Integer values of read-only cells are blanked and not read when only editable cells count.
  int value = 9;
  grid.SetCellReadOnly(2, kInt, TRUE);
  grid.SetIntValue(2, kInt, &value, TRUE);
  EXPECT_EQ(grid.GetItemText(2, kInt), "");
  int untouched = 5;
  EXPECT_EQ(grid.GetIntValue(2, kInt, &untouched, TRUE), 5);
}

TEST_F(TypedGridTest, NumbersTypedWithTheDecimalCommaAreTakenAndBadTextIsRefused) {
  grid.SetNumberFormat(2, kDouble, "%lf", "%lg", 100.0);
  TypeInto(2, kDouble, "2,5");
  // 2.5 shown at factor 100 is 0.025 stored.
  EXPECT_EQ(grid.GetItemText(2, kDouble), "2.5");
  EXPECT_DOUBLE_EQ(grid.GetCellDouble(2, kDouble), 0.025);
  win::msgbox::QueueAnswer(IDOK);
  TypeInto(2, kDouble, "35cm");
  ASSERT_FALSE(win::msgbox::Log().empty());
  EXPECT_NE(win::msgbox::Log().back().text.find("35cm"), std::string::npos);
  EXPECT_DOUBLE_EQ(grid.GetCellDouble(2, kDouble), 0.025);
  TypeInto(2, kInt, "12");
  EXPECT_EQ(grid.GetCellInt(2, kInt), 12);
}

// A display format with a unit ("12.5 cm") shows the unit in the cell's text: that text reads back as the number,
// and the editor opened on it and left as it stood keeps the value without a refusal. Another unit stays refused.
TEST_F(TypedGridTest, ANumberShownWithItsUnitReadsBackAndIsKeptWhenLeftAsItStood) {
  struct Case {
    const char* format;
    double value;
    const char* shown;
    const char* foreign;
  };
  const Case cases[] = {{"%.1lf cm", 12.5, "12.5 cm", "12.5 mm"}, {"%.1lf %%", 50.0, "50.0 %", "50.0 cm"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    grid.SetNumberFormat(1, kDouble, "%lf", c.format, 1.0);
    grid.SetCellDouble(1, kDouble, c.value);
    ASSERT_EQ(grid.GetItemText(1, kDouble), c.shown);
    EXPECT_DOUBLE_EQ(grid.GetCellDouble(1, kDouble), c.value);
    // the editor opened and closed without typing: the value and no message
    grid.SetFocusCell(1, kDouble);
    win::PumpMessages();
    win::input::Key(VK_F2);
    win::PumpMessages();
    grid.EndEditing();
    win::PumpMessages();
    EXPECT_TRUE(win::msgbox::Log().empty());
    EXPECT_DOUBLE_EQ(grid.GetCellDouble(1, kDouble), c.value);
    // the shown text typed back in is the same number
    TypeInto(1, kDouble, c.shown);
    EXPECT_TRUE(win::msgbox::Log().empty());
    EXPECT_DOUBLE_EQ(grid.GetCellDouble(1, kDouble), c.value);
    win::msgbox::QueueAnswer(IDOK);
    TypeInto(1, kDouble, c.foreign);
    ASSERT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_DOUBLE_EQ(grid.GetCellDouble(1, kDouble), c.value);
    win::msgbox::ClearLog();
  }
}

TEST_F(TypedGridTest, AFormulaIsKeptShowsItsValueUnderlinedAndABadOneKeepsTheOldValue) {
  TypeInto(1, kFormula, "2*b");
  CFormulaNumber f = grid.GetCellFormula(1, kFormula);
  EXPECT_FALSE(f.m_bNumber);
  EXPECT_EQ(f.GetText(), "2*b");
  // b = 3.
  EXPECT_EQ(grid.GetItemText(1, kFormula), "6");
  EXPECT_EQ(grid.GetCell(1, kFormula)->GetFont()->lfUnderline, 1);
  // While edited the cell shows its expression.
  grid.SetFocusCell(1, kFormula);
  win::input::Key(VK_F2);
  win::PumpMessages();
  EXPECT_EQ(grid.GetItemText(1, kFormula), "2*b");
  grid.EndEditing();
  win::PumpMessages();
  win::msgbox::QueueAnswer(IDOK);
  TypeInto(1, kFormula, "2*(b");
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  // The message is the formula library's own reason for the same text.
  double unused = 0.0;
  ASSERT_FALSE(GetGlobalVariableStore().Evaluate("2*(b", &unused));
  const auto& reasons = GetGlobalVariableStore().m_Messages;
  ASSERT_GT(reasons.GetSize(), 0);
  EXPECT_EQ(win::msgbox::Log()[0].text, reasons[reasons.GetSize() - 1].m_strText.GetString());
  EXPECT_EQ(grid.GetCellFormula(1, kFormula).GetText(), "2*b");
  EXPECT_EQ(grid.GetItemText(1, kFormula), "6");
  // A plain number is no expression; an emptied cell holds a plain 0 and shows nothing.
  TypeInto(1, kFormula, "4,5");
  EXPECT_TRUE(grid.GetCellFormula(1, kFormula).m_bNumber);
  EXPECT_EQ(grid.GetCell(1, kFormula)->GetFont()->lfUnderline, 0);
  TypeInto(1, kFormula, "");
  EXPECT_EQ(grid.GetItemText(1, kFormula), "");
  EXPECT_DOUBLE_EQ(grid.GetCellFormula(1, kFormula).m_dValue, 0.0);
}

TEST_F(TypedGridTest, AVariablePickedFromTheMenuIsAppendedAfterAnOperatorAndReplacesANumber) {
  struct Case {
    bool expression;
    const char* before;
    const char* after;
    const char* shown;
  };
  // b = 3: "2+b" is 5.
  const Case cases[] = {{true, "2+", "2+b", "5"}, {false, "3", "b", "3"}};
  for (const Case& c : cases) {
    CFormulaNumber f;
    f.m_pStore = &GetGlobalVariableStore();
    if (c.expression) {
      f.m_bNumber = FALSE;
      f.m_strText = c.before;
    } else {
      f = c.before;
    }
    grid.SetCellFormula(3, kFormula, f);
    // The grid's entry in range takes 1 (the separator -1), so the variable is command 2.
    win::script::QueueMenuCommand(2);
    const CPoint p = Center(3, kFormula);
    win::input::Click(grid.m_hWnd, p.x, p.y, VK_RBUTTON);
    win::PumpMessages();
    grid.EndEditing();
    win::PumpMessages();
    EXPECT_EQ(grid.GetCellFormula(3, kFormula).GetText(), c.after) << c.before;
    EXPECT_EQ(grid.GetItemText(3, kFormula), c.shown) << c.before;
    win::AdvanceClock(1000);
  }
  // The menu: the grid's entries, a separator (no command), then the variable's description.
  const auto& log = win::script::Log();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().kind, "menu");
  EXPECT_EQ(log.back().caption.find("Seperator1"), std::string::npos) << log.back().caption;
  EXPECT_NE(log.back().caption.find("Zeile kopieren"), std::string::npos) << log.back().caption;
  EXPECT_NE(log.back().caption.find("Breite"), std::string::npos) << log.back().caption;
  EXPECT_EQ(log.back().caption.find("Nur Bezeichnung"), std::string::npos) << "its range is column 0 only";
}

TEST_F(TypedGridTest, AGridCommandGoesToTheHookAndMarksTheRow) {
  win::script::QueueMenuCommand(2);
  const CPoint p = Center(2, kText);
  win::input::Click(grid.m_hWnd, p.x, p.y, VK_RBUTTON);
  win::PumpMessages();
  ASSERT_EQ(grid.commands.size(), 1u);
  EXPECT_EQ(grid.commands[0], std::make_tuple(2, int(kText), 2));
  EXPECT_EQ(grid.GetMarkedRow(), 2);
  EXPECT_EQ(grid.GetCell(2, kInt)->GetBackClr(), kOrmiMarked);
}

TEST_F(TypedGridTest, PercentagesShareTheWidthOfVisibleColumnsAndTheLastFillsTheRest) {
  COrmiGridCtrl g;
  ASSERT_TRUE(g.Create(CRect(0, 0, 700, 100), &parent, 9, WS_CHILD | WS_VISIBLE));
  g.Init(3, 3, 1, 0);
  g.SetColumnWidthPercent(0, 30);
  g.SetColumnWidthPercent(1, 30);
  g.SetColumnWidthPercent(2, 40);
  g.SetColumnVisible(1, FALSE, FALSE);
  g.LayoutColumns();
  CRect client;
  g.GetClientRect(&client);
  const int w = client.Width();
  // 30 of the 70 visible per cent: round(3/7 w); the last visible column takes what is left.
  EXPECT_EQ(g.GetColumnWidth(0), int(30.0 * w / 70.0 + 0.5));
  EXPECT_EQ(g.GetColumnWidth(1), 0);
  EXPECT_EQ(g.GetColumnWidth(0) + g.GetColumnWidth(2), w);
  // The header of the typed grid: one column per caption group, above the table.
  CGridCtrl* header = grid.GetHeaderGrid();
  ASSERT_NE(header, nullptr);
  ASSERT_EQ(header->GetColumnCount(), 5);
  EXPECT_EQ(header->GetItemText(0, 1), "Zahlen");
  EXPECT_EQ(header->GetColumnWidth(1), grid.GetColumnWidth(kInt) + grid.GetColumnWidth(kDouble));
  EXPECT_EQ(grid.GetColumnWidth(kHidden), 0);
  CRect h, t;
  header->GetWindowRect(&h);
  grid.GetWindowRect(&t);
  EXPECT_EQ(h.bottom, t.top);
}

TEST_F(TypedGridTest, PercentagesOfNothingDivideNothingAndTheLastColumnTakesTheWidth) {
  COrmiGridCtrl g;
  ASSERT_TRUE(g.Create(CRect(0, 0, 300, 100), &parent, 9, WS_CHILD | WS_VISIBLE));
  g.Init(2, 3, 0, 0);
  g.LayoutColumns();
  CRect client;
  g.GetClientRect(&client);
  EXPECT_EQ(g.GetColumnWidth(0), 0);
  EXPECT_EQ(g.GetColumnWidth(1), 0);
  EXPECT_EQ(g.GetColumnWidth(2), client.Width());
  // A display factor of 0 reads as 0 rather than dividing by it.
  g.SetCellType(1, 1, ORMI_DOUBLE);
  g.SetNumberFormat(1, 1, "%lf", "%lg", 0.0);
  g.SetItemText(1, 1, "5");
  EXPECT_DOUBLE_EQ(g.GetCellDouble(1, 1), 0.0);
}

TEST_F(TypedGridTest, AFocusCellInOneGridClearsTheMarkOfItsLinkedGrid) {
  TypedGrid other;
  ASSERT_TRUE(other.Create(CRect(5, 205, 745, 260), &parent, 8));
  other.Layout();
  grid.LinkedGrids().push_back(&other);
  other.LinkedGrids().push_back(&grid);
  other.SetFocusCell(2, kInt);
  EXPECT_EQ(other.GetMarkedRow(), 2);
  grid.SetFocusCell(3, kInt);
  EXPECT_EQ(grid.GetMarkedRow(), 3);
  EXPECT_EQ(other.GetMarkedRow(), -1);
  EXPECT_FALSE(other.IsActive());
  EXPECT_EQ(other.GetFocusCell(), CCellID());
  EXPECT_EQ(other.GetCell(2, kInt)->GetBackClr(), kOrmiWhite);
}

// A combo's arrow in another row and column opens its list and takes the focus there: the fixed cell over the
// column, drawn pressed while its column holds the focus, is painted anew, as is the one it left.
TEST_F(TypedGridTest, TheFixedCellOverTheFocusFollowsAClickOnAnArrow) {
  grid.SetFocusCell(1, kText);
  win::PumpMessages();
  CRect cell;
  ASSERT_TRUE(grid.GetCellRect(3, kComboIndex, &cell));
  const CPoint arrow = CGridCellCombo::ArrowRect(cell).CenterPoint();
  win::input::Click(grid.m_hWnd, arrow.x, arrow.y);
  win::PumpMessages();
  ASSERT_TRUE(grid.IsItemEditing(3, kComboIndex));
  const win::Image painted = win::PaintedPixels(parent.m_hWnd);
  const win::Image whole = win::RenderWindowApart(parent.m_hWnd);
  ASSERT_EQ(painted.pixels.size(), whole.pixels.size());
  EXPECT_TRUE(painted.pixels == whole.pixels);
  win::input::Key(VK_ESCAPE);
  win::PumpMessages();
}

TEST_F(TypedGridTest, TabLeavesTheLastEditableCellForTheNextControlWithAText) {
  CCellID last;
  ASSERT_TRUE(grid.LastEditableCell(last));
  // The hidden column is skipped: the rich cell of the last row is the last.
  EXPECT_EQ(last, CCellID(4, kRich));
  grid.SetFocusCell(4, kRich);
  win::PumpMessages();
  win::input::Key(VK_TAB);
  win::PumpMessages();
  // The static without text is no stop.
  EXPECT_EQ(::GetFocus(), after.m_hWnd);
  EXPECT_FALSE(grid.IsActive());
  EXPECT_EQ(grid.GetMarkedRow(), -1);
  // Back from the control that follows the grid: it is entered at its last editable cell.
  empty.SetFocus();
  win::PumpMessages();
  grid.SetFocus();
  win::PumpMessages();
  EXPECT_EQ(::GetFocus(), grid.m_hWnd);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(4, kRich));
  // Tab inside the table moves within it.
  grid.SetFocusCell(2, kInt);
  win::input::Key(VK_TAB);
  win::PumpMessages();
  EXPECT_EQ(::GetFocus(), grid.m_hWnd);
}

TEST_F(TypedGridTest, PasteAndCutGoThroughTheTypedPath) {
  win::SetClipboardText("abc\t7.5");
  COleDataObject data;
  ASSERT_TRUE(data.AttachClipboard());
  grid.SetCellDouble(1, kDouble, 1.0);
  grid.SetCellInt(1, kInt, 3);
  win::msgbox::QueueAnswer(IDOK);
  grid.PasteTextToGrid(CCellID(1, kInt), &data, FALSE);
  // "abc" is no integer: refused with one message, the 3 stays; 7.5 reaches the double cell.
  EXPECT_EQ(grid.GetCellInt(1, kInt), 3);
  EXPECT_DOUBLE_EQ(grid.GetCellDouble(1, kDouble), 7.5);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  // Pasted formulas are kept as formulas.
  win::SetClipboardText("b*2");
  COleDataObject formula;
  ASSERT_TRUE(formula.AttachClipboard());
  grid.PasteTextToGrid(CCellID(2, kFormula), &formula, FALSE);
  EXPECT_EQ(grid.GetCellFormula(2, kFormula).GetText(), "b*2");
  EXPECT_EQ(grid.GetItemText(2, kFormula), "6");
  // A cut formula cell holds a plain 0 again.
  grid.EnableSelection(TRUE);
  grid.SetSelectedRange(2, kFormula, 2, kFormula);
  grid.CutSelectedText();
  EXPECT_TRUE(grid.GetCellFormula(2, kFormula).m_bNumber);
  EXPECT_EQ(grid.GetItemText(2, kFormula), "");
}

TEST_F(TypedGridTest, APastedDecimalCommaIsOneValueNotTwoCells) {
  // A column copied from a German spreadsheet: decimal commas, a line end after each row, the last one included.
  win::SetClipboardText("12,5\r\n-3,25\r\n");
  COleDataObject data;
  ASSERT_TRUE(data.AttachClipboard());
  grid.SetCellDouble(3, kDouble, 9.0);
  grid.PasteTextToGrid(CCellID(1, kDouble), &data, FALSE);
  // split at the comma, "5" would have gone to the check box beside and been refused with a message
  EXPECT_TRUE(win::msgbox::Log().empty());
  EXPECT_DOUBLE_EQ(grid.GetCellDouble(1, kDouble), 12.5);
  EXPECT_DOUBLE_EQ(grid.GetCellDouble(2, kDouble), -3.25);
  EXPECT_EQ(grid.GetCellCheck(1, kCheck), 0);
  // the final line end starts no row: the value below the block stays
  EXPECT_DOUBLE_EQ(grid.GetCellDouble(3, kDouble), 9.0);
}

// A rich cell's document is 7-bit RTF: its letters beyond ASCII escaped, its control words kept.
TEST_F(TypedGridTest, RichTextDocumentKeepsEveryCharacter) {
  const struct {
    const char* text;
    const char* rtf;  // in the document
  } cases[] = {
      {"N/mm\xc2\xb2", "N/mm\\'b2\\par"},
      {"H\xc3\xb6he \\sub k\\sub0", "H\\'f6he \\sub \\fs20 k\\nosupersub\\fs0\\par"},
      {"\xe2\x80\xb0 \xce\xb1", "\\'89 \\u945?\\par"},
  };
  for (const auto& c : cases) {
    grid.SetCellText(1, kRich, c.text);
    win::RenderWindow(parent.m_hWnd);
    const std::string doc = static_cast<COrmiGridCellRich*>(grid.GetCell(1, kRich))->LastDocument().GetString();
    EXPECT_NE(doc.find(c.rtf), std::string::npos) << doc;
    for (const char ch : doc) ASSERT_LT(static_cast<unsigned char>(ch), 0x80) << doc;
  }
}

TEST_F(TypedGridTest, RichTextKeepsItsSourceAndDrawsIndicesAndGreekLetters) {
  struct Case {
    const char* markup;
    const char* translated;
  };
  const Case cases[] = {
      {"M\\sub y\\sub0", "M\\sub \\fs20 y\\nosupersub\\fs0"},
      {"\\greek a\\greek0 = 5", "\\f2 a\\f0 = 5"},
      {"x\\super 2\\super0 ", "x\\super \\fs20 2\\nosupersub\\fs16 "},
      {"\\cfred rot", "\\cf5 rot"},
  };
  for (const Case& c : cases) EXPECT_EQ(COrmiGridCellRich::TranslateMarkup(c.markup), c.translated) << c.markup;
  grid.SetCellText(1, kRich, "\\greek s\\greek0 A\\sub s1\\sub0");
  win::PumpMessages();
  Save("typed-grid", &parent);
  auto* cell = static_cast<COrmiGridCellRich*>(grid.GetCell(1, kRich));
  // Drawn twice, the source is still what was set.
  win::RenderWindow(parent.m_hWnd);
  EXPECT_EQ(grid.GetItemText(1, kRich), "\\greek s\\greek0 A\\sub s1\\sub0");
  const auto& runs = cell->LastRuns();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].text, "σ");
  // The blank after a control word ends it and is no text.
  EXPECT_EQ(runs[1].text, "A");
  EXPECT_EQ(runs[2].text, "s1");
  EXPECT_EQ(runs[2].shift, -1);
  // The default background is written as white (colour 2).
  const std::string doc = cell->LastDocument().GetString();
  EXPECT_NE(doc.find(";\\red255\\green255\\blue255;\\red0\\green0\\blue0;"), std::string::npos) << doc;
  // The subscript is drawn lower than the letter before it: text pixels reach further down in its part.
  {
    win::Image img = win::RenderWindow(grid.m_hWnd);
    CRect r;
    grid.GetCellRect(1, kRich, &r);
    int lowestInk = -1;
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
      for (int x = r.left + 2; x < r.right - 2; ++x)
        if (COLORREF c = img.At(x, y); GetRValue(c) + GetGValue(c) + GetBValue(c) < 200)
          lowestInk = std::max(lowestInk, y);
    EXPECT_GT(lowestInk, r.CenterPoint().y) << "the subscript sits below the middle of the cell";
  }
}

TEST_F(TypedGridTest, TheRadioBoxIsPlacedByMarginAndCentring) {
  auto* radio = static_cast<COrmiGridCellRadio*>(grid.GetCell(1, kRadio));
  CDC* dc = grid.GetDC();
  radio->Draw(dc, 1, kRadio, CRect(100, 20, 140, 40), TRUE);
  grid.ReleaseDC(dc);
  const int side = ::GetSystemMetrics(SM_CXHSCROLL);
  const int margin = int(radio->GetMargin());
  // left + (margin - 1) + (40 - side) / 2.
  EXPECT_EQ(radio->GetCheckPlacement().left, 100 + margin - 1 + (40 - side) / 2);
  EXPECT_EQ(radio->FrameState(), UINT(DFCS_BUTTONRADIO));
  radio->SetCheck(TRUE);
  radio->SetLocked(TRUE);
  EXPECT_EQ(radio->FrameState(), UINT(0x504));
  // Space on a locked radio is handled and changes nothing.
  EXPECT_TRUE(radio->OnSpaceKey());
  EXPECT_TRUE(radio->GetCheck());
}

// A value the grid's owner refuses is refused as a type error is: the owner's reason in a box, the cell keeps what
// it held, and the editor is open on the cell again; a paste gets the same reason. A value the cell holds already
// is not put to the owner, so that Enter or Escape on it ends the edit.
TEST_F(TypedGridTest, AValueTheOwnerRefusesKeepsTheCellAndTheEditorWithTheOwnersReason) {
  auto keys = [&](const std::string& text, UINT end) { TypeAndEnd(1, kFormula, text, end); };
  grid.SetCellFormula(1, kFormula, CFormulaNumber(2.0));
  win::msgbox::QueueAnswer(IDOK);
  keys("-1,5", VK_RETURN);
  // (read without ending the edit first)
  int row = -1, col = -1;
  ASSERT_TRUE(grid.GetFocusCell(&row, &col));
  EXPECT_EQ(row, 1);
  EXPECT_EQ(col, int(kFormula));
  EXPECT_EQ(EditorText(), "-1,5") << "the editor is open on the cell with what was typed";
  EXPECT_EQ(grid.GetItemText(1, kFormula), "2") << "the cell keeps its value";
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Zeile 1: -1.5 ist negativ.");
  EXPECT_TRUE(grid.changed.empty()) << "a refused value changes nothing";
  // Escape ends that edit: the kept value is not put to the owner again.
  grid.asked.clear();
  win::input::Key(VK_ESCAPE);
  win::PumpMessages();
  EXPECT_EQ(EditorText(), "(no editor)");
  EXPECT_TRUE(grid.asked.empty());
  EXPECT_DOUBLE_EQ(grid.GetCellFormula(1, kFormula).m_dValue, 2.0);
  // A value the owner would refuse, already held (read from a file), does not keep its cell's edit open: Enter
  // moves on as after any value taken.
  grid.SetCellFormula(1, kFormula, CFormulaNumber(-3.0));
  keys("-3", VK_RETURN);
  EXPECT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_TRUE(grid.asked.empty());
  ASSERT_TRUE(grid.GetFocusCell(&row, &col));
  EXPECT_NE(col, int(kFormula));
  // Pasted: the owner's reason, not the count of values of the wrong type; the cell keeps its value.
  win::SetClipboardText("-4");
  COleDataObject data;
  ASSERT_TRUE(data.AttachClipboard());
  win::msgbox::QueueAnswer(IDOK);
  grid.PasteTextToGrid(CCellID(2, kFormula), &data, FALSE);
  ASSERT_EQ(win::msgbox::Log().size(), 2u);
  EXPECT_EQ(win::msgbox::Log()[1].text, "Zeile 2: -4 ist negativ.");
  EXPECT_DOUBLE_EQ(grid.GetCellFormula(2, kFormula).m_dValue, 0.0);
  // A value the owner takes is stored and reported as a change.
  grid.changed.clear();
  keys("5", VK_RETURN);
  EXPECT_EQ(win::msgbox::Log().size(), 2u);
  EXPECT_DOUBLE_EQ(grid.GetCellFormula(1, kFormula).m_dValue, 5.0);
  EXPECT_EQ(std::count(grid.changed.begin(), grid.changed.end(), std::make_tuple(1, int(kFormula), int(ORMI_FORMULA))),
            1);
  EXPECT_EQ(win::msgbox::PendingAnswers(), 0u);
}

// After a refusal the cell shows its value as it did before the edit: a 0 shown with its unit is not taken for an
// emptied cell (Escape in the editor that holds the refused text shows "0.00 m" again).
TEST_F(TypedGridTest, ARefusedEntryLeavesTheCellShownAsItWas) {
  grid.SetNumberFormat(1, kFormula, "%lf", "%.2lf m", 1.0);
  grid.SetCellFormula(1, kFormula, CFormulaNumber(0.0));
  ASSERT_EQ(grid.GetItemText(1, kFormula), "0.00 m");
  for (const char* typed : {"-2", "2*(b"}) {  // refused by the owner, and as no formula
    SCOPED_TRACE(typed);
    win::msgbox::QueueAnswer(IDOK);
    TypeAndEnd(1, kFormula, typed, VK_RETURN);
    EXPECT_EQ(EditorText(), typed);
    win::input::Key(VK_ESCAPE);
    win::PumpMessages();
    EXPECT_EQ(grid.GetItemText(1, kFormula), "0.00 m");
  }
  EXPECT_EQ(win::msgbox::Log().size(), 2u);
}

// A refused text comes back in the cell's editor for correction, the caret at its end: what is typed next corrects
// it, and the corrected text is taken. Until then the cell keeps its value.
TEST_F(TypedGridTest, ARefusedTextComesBackForCorrectionWithTheCaretAtItsEnd) {
  struct Case {
    int col;
    const char* typed;
    int backspaces;
    const char* added;
    double taken;  // b = 3
  };
  const Case cases[] = {
      {kFormula, "2*(b", 0, ")", 6.0},   // no formula: ")" missing
      {kFormula, "-1,5", 0, "+3", 1.5},  // the owner refuses negatives; -1.5 + 3
      {kFormula, "4*c", 1, "b", 12.0},   // a name no variable has
      {kDouble, "35cm", 2, "", 35.0},    // no number
      {kInt, "12x", 1, "0", 120.0},      // no whole number
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    grid.SetCellFormula(1, kFormula, CFormulaNumber(2.0));
    grid.SetCellDouble(1, kDouble, 2.0);
    grid.SetCellInt(1, kInt, 2);
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDOK);
    TypeAndEnd(1, c.col, c.typed, VK_RETURN);
    ASSERT_EQ(win::msgbox::Log().size(), 1u);
    ASSERT_EQ(EditorText(), c.typed);
    DWORD from = 0, to = 0;
    ::SendMessage(::GetFocus(), EM_GETSEL, WPARAM(&from), LPARAM(&to));
    EXPECT_EQ(from, DWORD(std::string(c.typed).size())) << "the caret is at the end, nothing selected";
    EXPECT_EQ(to, from);
    EXPECT_EQ(grid.GetItemText(1, kInt), "2") << "no cell took the refused text";
    for (int i = 0; i < c.backspaces; ++i) win::input::Key(VK_BACK);
    win::input::Type(c.added);
    win::input::Key(VK_RETURN);
    win::PumpMessages();
    EXPECT_EQ(win::msgbox::Log().size(), 1u) << "the corrected text is refused";
    const double taken = c.col == kFormula  ? grid.GetCellFormula(1, kFormula).GetValue()
                         : c.col == kDouble ? grid.GetCellDouble(1, kDouble)
                                            : double(grid.GetCellInt(1, kInt));
    EXPECT_DOUBLE_EQ(taken, c.taken);
  }
}

// The refused text left as it stands: Return or Tab says the refusal again, and the editor keeps it; Escape, a read
// of the grid or the keyboard taken elsewhere give the cell back its value without another box.
TEST_F(TypedGridTest, ARefusedTextLeftAsItStandsIsSaidOnceUnlessCommittedAgain) {
  const UINT kEnds[] = {VK_RETURN, VK_TAB};
  for (const UINT end : kEnds) {
    SCOPED_TRACE(end);
    grid.SetCellFormula(1, kFormula, CFormulaNumber(2.0));
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDOK);
    win::msgbox::QueueAnswer(IDOK);
    TypeAndEnd(1, kFormula, "-4", VK_RETURN);
    win::input::Key(end);
    win::PumpMessages();
    ASSERT_EQ(win::msgbox::Log().size(), 2u);
    EXPECT_EQ(win::msgbox::Log()[1].text, "Zeile 1: -4 ist negativ.");
    EXPECT_EQ(EditorText(), "-4");
    win::input::Key(VK_ESCAPE);
    win::PumpMessages();
    EXPECT_EQ(EditorText(), "(no editor)");
    EXPECT_EQ(grid.GetItemText(1, kFormula), "2");
  }
  const struct {
    const char* name;
    std::function<void()> leave;
  } kLeaves[] = {
      {"read", [&] { EXPECT_DOUBLE_EQ(grid.GetCellFormula(1, kFormula).GetValue(), 2.0); }},
      {"keyboard elsewhere", [&] { after.SetFocus(); }},
  };
  for (const auto& leave : kLeaves) {
    SCOPED_TRACE(leave.name);
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDOK);
    TypeAndEnd(1, kFormula, "-4", VK_RETURN);
    leave.leave();
    win::PumpMessages();
    EXPECT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_EQ(EditorText(), "(no editor)");
    EXPECT_EQ(grid.GetItemText(1, kFormula), "2");
    EXPECT_DOUBLE_EQ(grid.GetCellFormula(1, kFormula).GetValue(), 2.0);
  }
}

// A selected row copies by keys as values another program reads: numbers without the unit they show, nothing for
// check boxes and buttons. Pasted back by keys into the next row it gives the same values, the check box left as it
// is; values several cells refuse are named in one box, each with its check's message.
TEST_F(TypedGridTest, KeysCopyARowAsValuesAndNameEachRefusalOfAPasteOnce) {
  grid.SetCellText(1, kText, "Stütze");
  grid.SetCellInt(1, kInt, 3);
  grid.SetNumberFormat(1, kDouble, "%lf", "%.2lf m", 1.0);
  grid.SetNumberFormat(2, kDouble, "%lf", "%.2lf m", 1.0);
  grid.SetCellDouble(1, kDouble, 2.5);
  grid.SetCellCheck(1, kCheck, 1);
  CFormulaNumber twice;
  twice = "b*2";
  grid.SetCellFormula(1, kFormula, twice);
  grid.EnableSelection(TRUE);
  grid.SetFocusCell(1, kText);
  grid.SetSelectedRange(1, kText, 1, kFormula);
  grid_keys::Press(grid_keys::kCopy[1]);
  EXPECT_EQ(win::ClipboardText(), "Stütze\t3\t2.50\t\t\t\t\t6");  // b = 3
  grid.SetSelectedRange(-1, -1, -1, -1);
  grid_keys::ClickCell(grid, 2, kText);
  grid_keys::Press(grid_keys::kPaste[0]);
  EXPECT_TRUE(win::msgbox::Log().empty());
  EXPECT_EQ(grid.GetItemText(2, kText), "Stütze");
  EXPECT_EQ(grid.GetCellInt(2, kInt), 3);
  EXPECT_DOUBLE_EQ(grid.GetCellDouble(2, kDouble), 2.5);
  EXPECT_EQ(grid.GetItemText(2, kDouble), "2.50 m");
  EXPECT_EQ(grid.GetCellCheck(2, kCheck), 0) << "an empty field leaves the check box";
  EXPECT_DOUBLE_EQ(grid.GetCellFormula(2, kFormula).GetValue(), 6.0);
  // Each pasted cell is reported as changed, in the order pasted.
  EXPECT_NE(std::find(grid.changed.begin(), grid.changed.end(), std::make_tuple(2, int(kDouble), int(ORMI_DOUBLE))),
            grid.changed.end());
  win::msgbox::QueueAnswer(IDOK);
  grid_keys::PasteInto(grid, 3, kInt, "x\ty\nz");
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "'x' ist keine ganze Zahl.\n'y' ist keine Zahl.\n'z' ist keine ganze Zahl.");
  EXPECT_EQ(grid.GetItemText(3, kInt), "");
  int row = -1, col = -1;
  ASSERT_TRUE(grid.GetFocusCell(&row, &col));
  EXPECT_EQ(std::make_pair(row, col), std::make_pair(3, int(kInt))) << "the focus stays where the paste went in";
}

// Text for more than one cell pasted into an open cell editor is the grid's paste from that cell, by either key: the
// edit ends without what was typed, and the lines go into the rows below, the fields into the cells to the right,
// asking first where the paste leaves lines out. "Nein" leaves the grid as it was and the editor open as it was.
// One line for one cell is the editor's own paste.
TEST_F(TypedGridTest, TextForSeveralCellsPastedIntoAnOpenEditorIsTheGridsPasteFromItsCell) {
  const char* const kQuestion =
      "Zeile 3 der Einfügung wird nicht übernommen: die Tabelle hat keine Zeilen mehr.\nSoll sie eingefügt werden?";
  struct Case {
    const char* name;
    int row;
    const char* text;
    int answer;                      // to the question; 0: none asked
    std::vector<std::string> texts;  // the text cells of rows 1 to 4 afterwards
    const char* editor;              // the open editor's text afterwards
  };
  const std::vector<Case> cases = {
      {"two lines", 1, "Wand\nDecke\n", 0, {"Wand", "Decke", "", ""}, "(no editor)"},
      {"three lines, two rows taken", 3, "Wand\r\nDecke\r\nDach", IDYES, {"", "", "Wand", "Decke"}, "(no editor)"},
      {"three lines, Nein", 3, "Wand\nDecke\nDach", IDNO, {"", "", "", ""}, "xyz"},
      {"one line with a tab", 2, "Stütze\t7", 0, {"", "Stütze", "", ""}, "(no editor)"},
      {"one line for the cell", 2, "12,5\r\n", 0, {"", "", "", ""}, "xyz12,5"},
  };
  for (const auto& chord : grid_keys::kPaste) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(chord.name) + ", " + c.name);
      for (int r = 1; r < 5; ++r) grid.SetCellText(r, kText, "");
      grid.SetCellInt(2, kInt, 0);
      win::msgbox::ClearLog();
      if (c.answer) win::msgbox::QueueAnswer(c.answer);
      TypeOver(c.row, kText, "xyz");
      ASSERT_EQ(EditorText(), "xyz");
      win::SetClipboardText(c.text);
      grid_keys::Press(chord);
      ASSERT_EQ(win::msgbox::Log().size(), c.answer ? 1u : 0u);
      if (c.answer) {
        EXPECT_EQ(win::msgbox::Log()[0].text, kQuestion);
      }
      EXPECT_EQ(EditorText(), c.editor);
      if (std::string(c.editor) == "xyz") {
        DWORD from = 0, to = 0;
        ::SendMessage(::GetFocus(), EM_GETSEL, WPARAM(&from), LPARAM(&to));
        EXPECT_EQ(std::make_pair(from, to), std::make_pair(DWORD(3), DWORD(3))) << "the caret where it was";
      }
      win::input::Key(VK_ESCAPE);
      win::PumpMessages();
      for (int r = 1; r < 5; ++r) EXPECT_EQ(grid.GetItemText(r, kText), c.texts[std::size_t(r - 1)]) << "row " << r;
      EXPECT_EQ(grid.GetCellInt(2, kInt), std::string(c.text).find('\t') != std::string::npos ? 7 : 0);
    }
  }
}

// F4 and Alt+Down open the list of a list cell that is selected but not open; Escape closes it with the cell as it
// was. A cell without a list opens nothing.
TEST_F(TypedGridTest, F4AndAltDownOpenTheListOfASelectedListCell) {
  CStringArray kinds;
  kinds.Add("ständige Last");
  kinds.Add("Verkehr additiv");
  grid.SetComboOptions(1, kComboIndex, kinds);
  grid.SetComboOptions(1, kCombo, kinds);
  grid.SetComboIndex(1, kComboIndex, 1);
  const struct {
    const char* name;
    UINT modifier;
    UINT key;
  } kKeys[] = {{"F4", 0, VK_F4}, {"Alt+Down", VK_MENU, VK_DOWN}};
  // The combo box of an open list cell (the keyboard is in it or in its edit field) and whether its list is down.
  auto dropped = [] {
    HWND focus = ::GetFocus();
    char cls[32] = {};
    ::GetClassName(focus, cls, sizeof cls);
    if (std::string(cls) != "ComboBox") focus = ::GetParent(focus);
    return ::SendMessage(focus, CB_GETDROPPEDSTATE, 0, 0) != 0;
  };
  for (const auto& k : kKeys) {
    for (const int col : {int(kComboIndex), int(kCombo), int(kText)}) {
      SCOPED_TRACE(std::string(k.name) + ", column " + std::to_string(col));
      grid.SetFocusCell(1, col);
      win::PumpMessages();
      ASSERT_FALSE(grid.GetCell(1, col)->IsEditing());
      if (k.modifier)
        win::input::KeyWith(k.modifier, k.key);
      else
        win::input::Key(k.key);
      win::PumpMessages();
      if (col == kText) {
        EXPECT_FALSE(grid.GetCell(1, col)->IsEditing()) << "a text cell has no list";
        continue;
      }
      ASSERT_TRUE(grid.GetCell(1, col)->IsEditing()) << "no list opened";
      EXPECT_TRUE(dropped());
      win::input::Key(VK_ESCAPE);
      win::PumpMessages();
      EXPECT_FALSE(grid.GetCell(1, col)->IsEditing());
      EXPECT_EQ(grid.GetComboIndex(1, kComboIndex), 1);
      EXPECT_TRUE(win::msgbox::Log().empty());
    }
  }
}

// Two text lines dragged by hand from another grid arrive as a paste would put them, with the paste's question where
// it asks. A move the drop takes only part of leaves the source whole: what did not arrive is not lost.
TEST_F(TypedGridTest, CellsDraggedFromAnotherGridArriveAsAPasteWithItsQuestion) {
  struct Case {
    const char* name;
    int dropRow;
    int answer;        // to the question; 0: none asked
    const char* row3;  // the drop grid's text cells afterwards
    const char* row4;
    const char* source1;  // the dragged cells afterwards
    const char* source2;
  };
  const char* const kQuestion =
      "Zeile 2 der Einfügung wird nicht übernommen: die Tabelle hat keine Zeilen mehr.\nSoll sie eingefügt werden?";
  const std::vector<Case> cases = {
      {"both lines fit: moved", 3, 0, "Stütze", "Wand", "", ""},
      {"one line fits, taken: copied", 4, IDYES, "", "Stütze", "Stütze", "Wand"},
      {"one line fits, refused: nothing", 4, IDNO, "", "", "Stütze", "Wand"},
  };
  grid.EnableDragAndDrop(TRUE);
  for (const Case& c : cases) {
    for (int r = 1; r < 5; ++r) grid.SetCellText(r, kText, "");
    CWnd sourceParent;
    ASSERT_TRUE(sourceParent.CreateEx(0, nullptr, "Quelle", WS_POPUP | WS_VISIBLE, 0, 320, 760, 200, nullptr, nullptr));
    TypedGrid source;
    ASSERT_TRUE(source.Create(CRect(5, 5, 745, 145), &sourceParent, 2));
    source.Layout();
    source.EnableDragAndDrop(TRUE);
    source.EnableSelection(TRUE);
    source.SetCellText(1, kText, "Stütze");
    source.SetCellText(2, kText, "Wand");
    source.SetFocusCell(1, kText);
    source.SetSelectedRange(1, kText, 2, kText);
    win::PumpMessages();
    win::msgbox::ClearLog();
    if (c.answer) win::msgbox::QueueAnswer(c.answer);
    const CPoint to = Center(c.dropRow, kText);
    win::test::StepScreen screen;
    screen.Then([&](HWND) { win::input::MouseMove(grid.m_hWnd, to.x, to.y); });
    screen.Then([&](HWND) { win::input::MouseUp(grid.m_hWnd, to.x, to.y); });
    CRect from;
    ASSERT_TRUE(source.GetCellRect(1, kText, &from));
    win::input::MouseDown(source.m_hWnd, from.CenterPoint().x, from.CenterPoint().y);
    win::input::MouseMove(source.m_hWnd, from.CenterPoint().x + 5, from.CenterPoint().y);
    win::PumpMessages();
    EXPECT_EQ(screen.Left(), 0u) << c.name;
    ASSERT_EQ(win::msgbox::Log().size(), c.answer ? 1u : 0u) << c.name;
    if (c.answer) {
      EXPECT_EQ(win::msgbox::Log()[0].text, kQuestion) << c.name;
    }
    EXPECT_EQ(grid.GetItemText(3, kText), c.row3) << c.name;
    EXPECT_EQ(grid.GetItemText(4, kText), c.row4) << c.name;
    EXPECT_EQ(source.GetItemText(1, kText), c.source1) << c.name;
    EXPECT_EQ(source.GetItemText(2, kText), c.source2) << c.name;
    source.DestroyWindow();
    win::AdvanceClock(1000);
  }
}

}  // namespace
