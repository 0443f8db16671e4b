// The load grid driven as the engineer drives it: typing into the entry row, choosing a type, the context menu,
// and what each load type shows and locks.
#include "framework_ui/loadgrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/dialogs/msgbox.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/controls/grid_keys.h"

namespace {

class CountingLoadGrid : public LoadGrid {
 public:
  int changes = 0;
  int rowsInitialised = 0;
  int room = -1;  // the loads the owner holds; -1: no bound
  void OnLoadsChanged() override { ++changes; }
  void InitRow(int row) override {
    ++rowsInitialised;
    LoadGrid::InitRow(row);
  }
  CString RefusedNewLoad(const Load&) override {
    if (room < 0 || LoadCount() < room) return CString();
    CString text;
    text.Format("Last %d: höchstens %d Lasten.", LoadCount() + 1, room);
    return text;
  }
};

class LoadGridTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "Lasten", WS_POPUP | WS_VISIBLE, 0, 0, 1200, 260, nullptr, nullptr));
    for (int& allowed : grid.allowedTypes) allowed = 1;
    grid.actionNames.Add("G - ständig");
    grid.actionNames.Add("Q - Nutzlast");
    grid.nodeValues = {0.0, 3.5};
    ASSERT_TRUE(grid.Create(CRect(5, 5, 1195, 255), &parent, 2));
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
  // Opens the combo of a cell and steps from its choice to the option at index (an open list without a choice
  // lights none: the first Down lights the first option).
  void Choose(int row, int col, int index) {
    const int current = grid.GetComboIndex(row, col);
    grid.SetFocusCell(row, col);
    win::PumpMessages();
    win::input::Key(VK_F2);
    win::PumpMessages();
    for (int i = current; i < index; ++i) win::input::Key(VK_DOWN);
    for (int i = current; i > index; --i) win::input::Key(VK_UP);
    win::input::Key(VK_RETURN);
    win::PumpMessages();
  }
  void AddLoads(int n) {
    grid.SetLoadCount(n);
    for (int i = 0; i < n; ++i) {
      grid.loads[std::size_t(i)].lc = 1;
      grid.loads[std::size_t(i)].desc.Format("Last %d", i + 1);
      grid.loads[std::size_t(i)].length = 1.0 + i;
      grid.loads[std::size_t(i)].ltype = 0;
    }
    grid.UpdateGrid(FALSE);
    win::PumpMessages();
  }
  CWnd parent;
  CountingLoadGrid grid;
};

TEST_F(LoadGridTest, AnEmptyGridHasTheTitleAndEntryRowAndALengthTypedThereMakesALoad) {
  EXPECT_EQ(grid.GetRowCount(), 2);
  EXPECT_EQ(grid.GetItemText(0, LoadGrid::kColValue0), "Px");
  TypeInto(1, LoadGrid::kColLength, "5");
  ASSERT_EQ(grid.LoadCount(), 1);
  EXPECT_DOUBLE_EQ(grid.loads[0].length.GetValue(), 5.0);
  EXPECT_EQ(grid.GetRowCount(), 3);
  EXPECT_EQ(grid.GetItemText(1, LoadGrid::kColLength), "5.00 m");
  // The new entry row is empty and open.
  EXPECT_EQ(grid.GetItemText(2, LoadGrid::kColLength), "");
  EXPECT_TRUE(grid.IsCellEditable(2, LoadGrid::kColLength));
  EXPECT_GE(grid.changes, 1);
  // Zero typed into the entry row is no entry.
  TypeInto(2, LoadGrid::kColLength, "0");
  EXPECT_EQ(grid.LoadCount(), 1);
  Save("loadgrid");
}

TEST_F(LoadGridTest, ChoosingSelfWeightLocksAndEmptiesEveryCellAfterTheTypeAndSetsTheDefault) {
  AddLoads(1);
  grid.loads[0].val2 = 7.0;
  grid.UpdateGrid(FALSE);
  Choose(1, LoadGrid::kColType, 11);
  EXPECT_EQ(grid.loads[0].ltype, 11);
  EXPECT_EQ(grid.GetItemText(1, LoadGrid::kColType), "Eigengewicht");
  EXPECT_DOUBLE_EQ(grid.loads[0].val0.GetValue(), 12.34);
  for (int c = LoadGrid::kColNode; c < LoadGrid::kCols; ++c) {
    EXPECT_FALSE(grid.IsCellEditable(1, c)) << c;
    EXPECT_EQ(grid.GetItemText(1, c), "") << c;
  }
  for (int c : {LoadGrid::kColAction, LoadGrid::kColText, LoadGrid::kColType}) EXPECT_TRUE(grid.IsCellEditable(1, c));
  // The load-case column is locked unless the module opens it.
  EXPECT_FALSE(grid.IsCellEditable(1, LoadGrid::kColCases));
  // Locked values are kept in the load, only not shown.
  EXPECT_DOUBLE_EQ(grid.loads[0].val2.GetValue(), 7.0);
  Save("loadgrid-selfweight");
}

// Down n times, then key: a choice in an open list (the list lights the cell's own entry first).
std::vector<UINT> DownsThen(int n, UINT key) {
  std::vector<UINT> keys(std::size_t(n), VK_DOWN);
  keys.push_back(key);
  return keys;
}

// A list cell reached by keys stays open with the keys until Escape, which ends only it: Tab from a load's text into
// its type, Tab from the type's list into the node's, Return on an entry chosen in the type's list. The release of
// the key that ended the cell before is no key of the list's own (it closed the list at once and moved on, so that
// the next Escape reached the dialog). A choice made the grid re-create the row, which ended the list with no key:
// the focus stayed on the closed type and the next Escape reached the dialog; the Return goes on as elsewhere.
TEST_F(LoadGridTest, AListReachedByKeysKeepsTheKeysUntilEscape) {
  const struct {
    const char* name;
    int from;                // the cell of load 2 whose editor F2 opens
    std::vector<UINT> keys;  // then
    int toRow, to;           // the cell whose list is open after them
    int type;                // load 2's type after them
  } cases[] = {
      {"Tab from the text", LoadGrid::kColText, {'X', VK_TAB}, 2, LoadGrid::kColType, 0},
      {"Tab from the type", LoadGrid::kColType, {VK_TAB}, 2, LoadGrid::kColNode, 0},
      // The list lights "Gleichlast" (0): one Down is "Trapezlast" (1), whose node is the next cell open.
      {"Return on a chosen type", LoadGrid::kColType, DownsThen(1, VK_RETURN), 2, LoadGrid::kColNode, 1},
      // Eleven Downs are "Eigengewicht" (11), which locks every cell after the type: Return wraps to load 3's first
      // open cell, its action.
      {"Return on Eigengewicht", LoadGrid::kColType, DownsThen(11, VK_RETURN), 3, LoadGrid::kColAction, 11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AddLoads(3);
    grid.SetFocusCell(2, c.from);
    win::PumpMessages();
    win::input::Key(VK_F2);
    for (UINT key : c.keys) win::input::Key(key);
    win::PumpMessages();
    EXPECT_EQ(grid.loads[1].ltype, c.type);
    const CString node = grid.GetItemText(2, LoadGrid::kColNode);
    CWnd* editor = grid.GetDlgItem(8);
    ASSERT_NE(editor, nullptr) << "no list open after the keys";
    EXPECT_EQ(grid.CGridCtrl::GetFocusCell(), CCellID(c.toRow, c.to));
    EXPECT_TRUE(::GetFocus() == editor->m_hWnd || ::GetParent(::GetFocus()) == editor->m_hWnd);
    win::input::Key(VK_ESCAPE);
    win::PumpMessages();
    EXPECT_EQ(grid.GetDlgItem(8), nullptr) << "Escape ended the list";
    EXPECT_EQ(grid.CGridCtrl::GetFocusCell(), CCellID(c.toRow, c.to));
    EXPECT_EQ(::GetFocus(), grid.m_hWnd);
    EXPECT_EQ(grid.GetItemText(2, LoadGrid::kColNode), node);
    EXPECT_EQ(grid.loads[1].ltype, c.type) << "Escape kept the choice";
  }
}

// A choice in a type's list closed by a click on an entry, by F4 or by Alt+Up keeps the cell open with the keys, as
// one closed by Return keeps the keys in the next cell: Escape then ends only that cell, with the choice. The choice
// of a type sets up the row again, which ended the list with no key: the focus stayed on the grid and the next
// Escape reached the dialog (which asked to discard the position). Alt+Up left the list open.
TEST_F(LoadGridTest, EscapeAfterAChoiceHoweverMadeEndsOnlyTheCell) {
  // Load 2's list lights "Gleichlast" (0): the choice is "Trapezlast" (1), which changes the row's cells.
  const auto clickSecond = [this] {
    CWnd* editor = grid.GetDlgItem(8);
    CRect r;
    editor->GetWindowRect(&r);
    // the dropped list below the cell, one row per entry: the middle of its second row
    const int row = int(editor->SendMessage(CB_GETITEMHEIGHT, 0));
    POINT p{r.left + 10, r.bottom + row + row / 2};
    HWND list = ::WindowFromPoint(p);
    ASSERT_NE(list, editor->m_hWnd);
    ::ScreenToClient(list, &p);
    win::input::Click(list, p.x, p.y);
  };
  const struct {
    const char* name;
    std::function<void()> choose;
  } cases[] = {
      {"a click on the entry", clickSecond},
      {"F4",
       [] {
         win::input::Key(VK_DOWN);
         win::input::Key(VK_F4);
       }},
      {"Alt+Up",
       [] {
         win::input::Key(VK_DOWN);
         win::input::KeyWith(VK_MENU, VK_UP);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AddLoads(3);
    grid.SetFocusCell(2, LoadGrid::kColType);
    win::PumpMessages();
    win::input::Key(VK_F2);
    win::PumpMessages();
    CWnd* editor = grid.GetDlgItem(8);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->SendMessage(CB_GETDROPPEDSTATE));
    c.choose();
    win::PumpMessages();
    EXPECT_EQ(grid.loads[1].ltype, 1);
    editor = grid.GetDlgItem(8);
    ASSERT_NE(editor, nullptr) << "the cell ended with the choice";
    EXPECT_FALSE(editor->SendMessage(CB_GETDROPPEDSTATE)) << "the list is still open";
    EXPECT_TRUE(::GetFocus() == editor->m_hWnd || ::GetParent(::GetFocus()) == editor->m_hWnd);
    win::input::Key(VK_ESCAPE);
    win::PumpMessages();
    EXPECT_EQ(grid.GetDlgItem(8), nullptr) << "Escape ended the cell";
    EXPECT_EQ(::GetFocus(), grid.m_hWnd);
    EXPECT_EQ(grid.CGridCtrl::GetFocusCell(), CCellID(2, LoadGrid::kColType));
    EXPECT_EQ(grid.GetItemText(2, LoadGrid::kColType), "Trapezlast") << "Escape kept the choice";
    EXPECT_EQ(grid.loads[1].ltype, 1);
  }
}

TEST_F(LoadGridTest, ATypeChosenInTheEntryRowMakesALoadOfThatTypeWithItsCells) {
  Choose(1, LoadGrid::kColType, 8);
  ASSERT_EQ(grid.LoadCount(), 1);
  EXPECT_EQ(grid.loads[0].ltype, 8);
  // A point load without a single direction: length locked, three forces open.
  EXPECT_FALSE(grid.IsCellEditable(1, LoadGrid::kColLength));
  for (int v = 0; v < 3; ++v) EXPECT_TRUE(grid.IsCellEditable(1, LoadGrid::kColValue0 + v)) << v;
  EXPECT_FALSE(grid.IsCellEditable(1, LoadGrid::kColValue0 + 3));
  grid.SetFocusCell(1, 1);
  win::PumpMessages();
  EXPECT_EQ(grid.GetItemText(0, LoadGrid::kColLength), "---");
  EXPECT_EQ(grid.GetItemText(0, LoadGrid::kColValue0 + 2), "Pz");
}

// Every type with and without a single direction: the row's editable cells are those of its mask, and locked
// cells show nothing. Spot masks written out from the type's meaning (a uniform load with one direction: action
// to direction and one value; a point moment with one direction: no length, no eY, one value).
TEST_F(LoadGridTest, EachTypeOpensTheCellsOfItsMask) {
  struct Spot {
    int type;
    bool single;
    const char* mask;
  };
  const Spot spots[] = {{0, true, "01111111111100000"},
                        {9, true, "01111110101100000"},
                        {11, false, "01111000000000000"},
                        {13, false, "01111111111111111"}};
  for (const Spot& s : spots) EXPECT_STREQ(LoadGrid::EditMask(s.type, s.single), s.mask) << s.type;
  grid.loadCasesEditable = 1;
  AddLoads(2 * Load::kLoadTypeCount);
  for (int i = 0; i < grid.LoadCount(); ++i) {
    grid.loads[std::size_t(i)].ltype = i / 2;
    grid.loads[std::size_t(i)].bHasDirection = i % 2;
  }
  grid.UpdateGrid(FALSE);
  for (int i = 0; i < grid.LoadCount(); ++i) {
    const char* mask = LoadGrid::EditMask(i / 2, i % 2);
    for (int c = 1; c < LoadGrid::kCols; ++c) {
      EXPECT_EQ(grid.IsCellEditable(i + 1, c) != FALSE, mask[c] == '1') << "type " << i / 2 << " col " << c;
      if (mask[c] != '1') {
        EXPECT_EQ(grid.GetItemText(i + 1, c), "") << "type " << i / 2 << " col " << c;
      }
    }
  }
}

TEST_F(LoadGridTest, TitlesAndUnitsFollowTypeDirectionAndSingleDirection) {
  struct Case {
    int type;
    bool single;
    int direction;
    const char* length;
    const char* values[3];
    const char* unit0;  // the first value's display
  };
  const Case cases[] = {
      {0, true, 0, "Länge", {"P", "---", "---"}, "%.2lf kN/m"},
      {0, false, 0, "Länge", {"Px", "Py", "Pz"}, "%.2lf kN/m"},
      {2, true, 0, "L(links)", {"L(rechts)", "P", "---"}, "%.2lf m"},
      {4, true, 1, "Länge", {"T(-Y)", "T(+Y)", "---"}, "%.2lf °K"},
      {4, false, 2, "Länge", {"T(-Z)", "T(+Z)", "---"}, "%.2lf °K"},
      {5, false, 0, "---", {"ds", "---", "---"}, "%.1lf cm"},
      {10, true, 2, "---", {"Pz", "My", "---"}, "%.2lf kN"},
      {10, false, 0, "---", {"Px", "Py", "Pz"}, "%.2lf kN"},
      {11, false, 0, "---", {"---", "---", "---"}, ""},
      {12, true, 0, "Länge", {"F", "---", "---"}, "%.2lf kN/m²"},
  };
  AddLoads(1);
  for (const Case& c : cases) {
    grid.loads[0].ltype = c.type;
    grid.loads[0].bHasDirection = c.single;
    grid.loads[0].direction = c.direction;
    grid.SetColumnTitles(0);
    EXPECT_EQ(grid.GetItemText(0, LoadGrid::kColLength), c.length) << c.type;
    for (int v = 0; v < 3; ++v) EXPECT_EQ(grid.GetItemText(0, LoadGrid::kColValue0 + v), c.values[v]) << c.type;
    EXPECT_EQ(LoadGrid::ValueFormat(c.type, c.single, 0), c.unit0) << c.type;
  }
  // An index outside the loads titles as a uniform load in three directions.
  grid.SetColumnTitles(5);
  EXPECT_EQ(grid.GetItemText(0, LoadGrid::kColValue0 + 1), "Py");
}

// A direction combo left without a choice (index -1) keeps the direction stored before: a temperature load in
// Z keeps Z and its titles T(-Z), T(+Z); a direction of -1 would index outside the three title rows.
TEST_F(LoadGridTest, ADirectionWithoutAChoiceKeepsThePreviousDirection) {
  AddLoads(1);
  grid.loads[0].ltype = 4;
  grid.loads[0].direction = 2;
  grid.UpdateGrid(FALSE);
  grid.SetFocusCell(1, LoadGrid::kColDirection);
  win::PumpMessages();
  grid.SetComboIndex(1, LoadGrid::kColDirection, -1);
  grid.UpdateGrid(TRUE);
  EXPECT_EQ(grid.loads[0].direction, 2);
  grid.SetColumnTitles(0);
  EXPECT_EQ(grid.GetItemText(0, LoadGrid::kColValue0), "T(-Z)");
  // A load read with a direction out of range titles its direction-bound values "---" instead of reading past
  // the table.
  EXPECT_EQ(LoadGrid::ValueTitle(4, true, -1, 0), "---");
  EXPECT_EQ(LoadGrid::ValueTitle(10, true, 3, 1), "---");
  // The node, which drawings index as well, keeps its value the same way.
  grid.loads[0].node = 1;
  grid.UpdateGrid(FALSE);
  grid.SetFocusCell(1, LoadGrid::kColNode);
  win::PumpMessages();
  grid.SetComboIndex(1, LoadGrid::kColNode, -1);
  grid.UpdateGrid(TRUE);
  EXPECT_EQ(grid.loads[0].node, 1);
  // A choice still changes it: Y is the second of the three offered directions.
  Choose(1, LoadGrid::kColDirection, 1);
  EXPECT_EQ(grid.loads[0].direction, 1);
}

TEST_F(LoadGridTest, OnlyAllowedTypesAndDirectionsAreOfferedAndMappedBack) {
  for (int& allowed : grid.allowedTypes) allowed = 0;
  grid.allowedTypes[0] = grid.allowedTypes[8] = grid.allowedTypes[11] = 1;
  grid.allowedDirections[0] = 0;
  EXPECT_EQ(grid.TypeToCombo(8), 1);
  EXPECT_EQ(grid.ComboToType(2), 11);
  EXPECT_EQ(grid.TypeToCombo(4), -1);
  EXPECT_EQ(grid.ComboToType(3), -1);
  EXPECT_EQ(grid.DirectionToCombo(2), 1);
  EXPECT_EQ(grid.ComboToDirection(0), 1);
  EXPECT_EQ(grid.ComboToDirection(-1), -1);
  Choose(1, LoadGrid::kColType, 2);
  ASSERT_EQ(grid.LoadCount(), 1);
  EXPECT_EQ(grid.loads[0].ltype, 11);
}

TEST_F(LoadGridTest, CopyOnTheLastLoadAppendsAndDeleteMovesTheRestUp) {
  AddLoads(2);
  CRect cell;
  ASSERT_TRUE(grid.GetCellRect(2, LoadGrid::kColText, &cell));
  win::script::QueueMenuItem("Last kopieren");
  win::input::Click(grid.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y, VK_RBUTTON);
  win::PumpMessages();
  ASSERT_EQ(grid.LoadCount(), 3);
  EXPECT_EQ(grid.loads[2].desc, "Last 2");
  EXPECT_DOUBLE_EQ(grid.loads[2].length.GetValue(), 2.0);
  EXPECT_EQ(grid.GetRowCount(), 5);
  EXPECT_EQ(grid.GetItemText(3, LoadGrid::kColText), "Last 2");
  // The entry row offers no menu.
  ASSERT_TRUE(grid.GetCellRect(1, LoadGrid::kColText, &cell));
  win::script::QueueMenuItem("Last löschen");
  win::input::Click(grid.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y, VK_RBUTTON);
  win::PumpMessages();
  ASSERT_EQ(grid.LoadCount(), 2);
  EXPECT_EQ(grid.loads[0].desc, "Last 2");
  EXPECT_EQ(grid.GetItemText(1, LoadGrid::kColText), "Last 2");
}

TEST_F(LoadGridTest, AValueChangeBelowATenThousandthIsNoChange) {
  AddLoads(1);
  grid.loads[0].val0 = 2.0;
  grid.UpdateGrid(FALSE);
  grid.changes = 0;
  TypeInto(1, LoadGrid::kColValue0, "2.00005");
  EXPECT_EQ(grid.changes, 0);
  TypeInto(1, LoadGrid::kColValue0, "2,5");
  EXPECT_EQ(grid.changes, 1);
  EXPECT_DOUBLE_EQ(grid.loads[0].val0.GetValue(), 2.5);
}

TEST_F(LoadGridTest, TheActionIsChosenByNameOrTypedAsANumber) {
  Choose(1, LoadGrid::kColAction, 1);
  ASSERT_EQ(grid.LoadCount(), 1);
  EXPECT_EQ(grid.loads[0].lc, 2);
  EXPECT_EQ(grid.GetItemText(1, LoadGrid::kColAction), "Q - Nutzlast");
  grid.numericActions = 1;
  grid.UpdateGrid(FALSE);
  TypeInto(1, LoadGrid::kColAction, "7");
  EXPECT_EQ(grid.loads[0].lc, 7);
}

// A row of two values copied from a spreadsheet fills two cells, each stored in the load; a value copied from a
// cell pastes as its number; a cut empties the text it copies; a value that is no number is refused with the
// check's message and the cell keeps its value.
TEST_F(LoadGridTest, KeysPasteASpreadsheetRowIntoTwoValuesAndCutAText) {
  AddLoads(1);
  grid.loads[0].ltype = 1;  // "Trapezlast", one direction: "P1", "P2"
  grid.loads[0].bHasDirection = 1;
  grid.UpdateGrid(FALSE);
  win::PumpMessages();
  grid_keys::PasteInto(grid, 1, LoadGrid::kColValue0, "3,5\t4,0");
  EXPECT_DOUBLE_EQ(grid.loads[0].val0.GetValue(), 3.5);
  EXPECT_DOUBLE_EQ(grid.loads[0].val1.GetValue(), 4.0) << "the second cell is stored as the first";
  EXPECT_EQ(grid.GetItemText(1, LoadGrid::kColValue0 + 1), "4.00 kN/m");
  EXPECT_EQ(grid.loads.size(), 1u);
  for (const auto& copy : grid_keys::kCopy) {
    SCOPED_TRACE(copy.name);
    EXPECT_EQ(grid_keys::CopyCell(grid, 1, LoadGrid::kColValue0 + 1, copy), "4.00");
  }
  grid_keys::ClickCell(grid, 1, LoadGrid::kColText);
  grid_keys::Press(grid_keys::kCut);
  EXPECT_EQ(win::ClipboardText(), "Last 1");
  EXPECT_EQ(grid.loads[0].desc, "");
  grid_keys::Press(grid_keys::kPaste[1]);
  EXPECT_EQ(grid.loads[0].desc, "Last 1");
  EXPECT_TRUE(win::msgbox::Log().empty());
  win::msgbox::QueueAnswer(IDOK);
  grid_keys::PasteInto(grid, 1, LoadGrid::kColValue0, "4x");
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "P1: Unerwartete Zeichen: x") << "named as a typed value is";
  EXPECT_DOUBLE_EQ(grid.loads[0].val0.GetValue(), 3.5);
  EXPECT_EQ(grid.GetItemText(1, LoadGrid::kColValue0), "3.50 kN/m");
}

// A column pasted into the entry row makes a load per line up to what the owner holds, after one question that counts
// the loads it makes and names the lines beyond with the owner's reason, before anything changes; the owner is told
// once per paste, and the rows cost the time of the lines. A value typed into
// the entry row of a full grid is refused the same way and makes no load; an emptied value shows its 0.
TEST_F(LoadGridTest, APastedColumnStopsAtTheLoadsTheOwnerHoldsAndTellsItOnce) {
  const struct {
    int room, lines, loads;
    const char* message;
  } cases[] = {
      {-1, 30, 30, nullptr},  // the question counts the loads the owner takes
      {25, 30, 25, "\nDie Zeilen 26 bis 30 der Einfügung werden nicht übernommen:\nLast 26: höchstens 25 Lasten."},
      {40, 400, 40, "\nDie Zeilen 41 bis 400 der Einfügung werden nicht übernommen:\nLast 41: höchstens 40 Lasten."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    grid.SetLoadCount(0);
    grid.UpdateGrid(FALSE);
    win::msgbox::ClearLog();
    grid.room = c.room;
    grid.changes = grid.rowsInitialised = 0;
    std::string column;
    for (int i = 0; i < c.lines; ++i) column += std::to_string(i + 1) + ",5\n";
    win::msgbox::QueueAnswer(IDYES);
    grid_keys::PasteInto(grid, 1, LoadGrid::kColLength, column);
    ASSERT_EQ(grid.LoadCount(), c.loads);
    EXPECT_EQ(grid.GetRowCount(), c.loads + 2);
    EXPECT_DOUBLE_EQ(grid.loads.back().length.GetValue(), c.loads + 0.5);
    EXPECT_EQ(grid.GetItemText(c.loads + 1, LoadGrid::kColLength), "") << "the entry row stays empty";
    EXPECT_EQ(grid.changes, 1);
    EXPECT_LE(grid.rowsInitialised, 3 * c.loads);
    ASSERT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_EQ(win::msgbox::Log()[0].text, "Die Einfügung legt " + std::to_string(c.loads) +
                                              " neue Lasten an (Zeilen 1 bis " + std::to_string(c.loads) +
                                              " der Einfügung)." + (c.message ? c.message : "") +
                                              "\nSoll sie eingefügt werden?");
  }
  win::msgbox::ClearLog();
  win::msgbox::QueueAnswer(IDOK);
  TypeInto(grid.LoadCount() + 1, LoadGrid::kColText, "noch eine");
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Last 41: höchstens 40 Lasten.");
  EXPECT_EQ(grid.LoadCount(), 40);
  EXPECT_EQ(grid.GetItemText(41, LoadGrid::kColText), "");
  // "Last kopieren" is refused the same way.
  win::msgbox::QueueAnswer(IDOK);
  grid.OnCellContextMenu(3, LoadGrid::kColText, LoadGrid::kCmdCopy);
  ASSERT_EQ(win::msgbox::Log().size(), 2u);
  EXPECT_EQ(win::msgbox::Log()[1].text, "Last 41: höchstens 40 Lasten.");
  EXPECT_EQ(grid.LoadCount(), 40);
}

TEST_F(LoadGridTest, AnEmptiedValueShowsTheZeroItStoresAndACutKeepsANumber) {
  AddLoads(1);
  grid.loads[0].val0 = 2.5;
  grid.UpdateGrid(FALSE);
  grid_keys::ClickCell(grid, 1, LoadGrid::kColValue0);
  grid_keys::Press(grid_keys::kCut);
  EXPECT_EQ(win::ClipboardText(), "2.50");
  EXPECT_EQ(grid.GetItemText(1, LoadGrid::kColValue0), "2.50 kN/m");
  EXPECT_DOUBLE_EQ(grid.loads[0].val0.GetValue(), 2.5);
  grid.SetFocusCell(1, LoadGrid::kColValue0);  // x, BackSpace, Return: the cell emptied by its editor
  win::PumpMessages();
  win::input::Key(VK_F2);
  win::input::KeyWith(VK_CONTROL, 'A');
  win::input::Key(VK_BACK);
  win::input::Key(VK_RETURN);
  win::PumpMessages();
  EXPECT_EQ(grid.GetItemText(1, LoadGrid::kColValue0), "0.00 kN/m");
  EXPECT_DOUBLE_EQ(grid.loads[0].val0.GetValue(), 0.0);
  EXPECT_TRUE(win::msgbox::Log().empty());
}

}  // namespace
