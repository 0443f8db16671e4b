// Emptied cells and cuts in the column's grids, by keys as the engineer works: a cell emptied by its editor (x,
// BackSpace, Return) or by an empty paste is refused where its 0 would remove or unassign something, and shows the
// 0 it stores elsewhere; Ctrl+X copies a number and keeps it. A column pasted into the load grid stops at the line
// loads a stage is calculated with.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "column_ui/kolumodlg.h"
#include "tests/column_ui/column_dialog_fixture.h"
#include "tests/column_ui/dialog_input.h"
#include "tests/controls/grid_keys.h"

namespace {

using column_dialog_test::ColumnDialogTest;
using column_dialog_test::FileBytes;
namespace fs = std::filesystem;
using G = StabSysGrid;
using L = LoadGrid;

// The two ways a cell is emptied.
enum class Emptied { kByEditor, kByPaste };
// The typed grids of the system and loads pages.
enum class Grid { kSystem, kCases, kCreep, kLoads };

class GridEmptiedCellTest : public ColumnDialogTest {
 protected:
  // The example with a creep-dependent imperfection, so that the loads page shows its creep grid too.
  fs::path OpenWithCreep() {
    return Open([](CKolumoData& d) { d.vorver[0].type = 2; });
  }
  CKolumoSysGrid& System() { return dialog_.m_sysDlg.m_grid; }
  CKolumoLoadGrid& Loads() { return dialog_.m_loadDlg.m_loadGrid; }
  LastfallGrid& Cases() { return dialog_.m_loadDlg.m_lastfallGrid; }
  CKolumoLoadKriechGrid& Creep() { return dialog_.m_loadDlg.m_kriechGrid; }
  CKolumoData& Data() { return dialog_.m_data; }
  COrmiGridCtrl& Of(Grid grid) {
    switch (grid) {
      case Grid::kSystem: return System();
      case Grid::kCases: return Cases();
      case Grid::kCreep: return Creep();
      default: return Loads();
    }
  }

  static void Empty(COrmiGridCtrl& grid, int row, int col, Emptied how) {
    if (how == Emptied::kByPaste) {
      grid_keys::PasteInto(grid, row, col, "");
      return;
    }
    grid.SetFocusCell(row, col);
    win::PumpMessages();
    win::input::Key(VK_F2);
    win::PumpMessages();
    win::input::KeyWith(VK_CONTROL, 'A');
    win::input::Type("x");
    win::input::Key(VK_BACK);
    win::input::Key(VK_RETURN);
    win::PumpMessages();
  }
  static const char* Name(Emptied how) { return how == Emptied::kByEditor ? "emptied by its editor" : "empty paste"; }
};

// The last field's length and a load case's action: an emptied cell is refused with the cell named, the value
// stays in the cell, the data and the saved position.
TEST_F(GridEmptiedCellTest, AnEmptiedCellWhoseZeroRemovesOrUnassignsIsRefusedAndKeepsItsValue) {
  const struct {
    const char* name;
    int tab;
    Grid grid;
    int row, col;
    const char* message;
    const char* shown;
    const char* saved;
  } cases[] = {
      {"the last field's length", 2, Grid::kSystem, 3, G::kColLength, "Feld 2: Feldlänge = 0 m ist nicht positiv.",
       "4.50 m", R"(<field fieldNr="1" length="4.5")"},
      {"load case 2's action", 4, Grid::kCases, 2, LastfallGrid::kEinwirkung,
       "Lastfall 2, Einwirkung: Jeder Lastfall gehört zu einer Einwirkung; bitte deren Nummer eingeben.", "2",
       R"(lf="2" einw="2")"},
  };
  for (const Emptied how : {Emptied::kByEditor, Emptied::kByPaste})
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", " + Name(how));
      const fs::path path = Open();
      ShowTab(c.tab);
      win::msgbox::ClearLog();
      COrmiGridCtrl& grid = Of(c.grid);
      win::msgbox::QueueAnswer(IDOK);
      Empty(grid, c.row, c.col, how);
      if (how == Emptied::kByEditor) {
        win::input::Key(VK_ESCAPE);  // the editor is back on the cell: the kept value stays
        win::PumpMessages();
      }
      EXPECT_EQ(Boxes(), std::vector<std::string>{c.message});
      EXPECT_EQ(grid.GetItemText(c.row, c.col), c.shown);
      EXPECT_EQ(Data().nFields(), 2);
      EXPECT_EQ(Data().querschnitte.GetSize(), 2);
      Ok();
      EXPECT_EQ(Data().lastUeberlagerungBZ[0].lastfaelle[1].einw, 2);
      EXPECT_NE(FileBytes(path).find(c.saved), std::string::npos);
    }
}

// Ctrl+X in each typed grid of the column copies the number without its unit and keeps it.
TEST_F(GridEmptiedCellTest, CtrlXCopiesEveryNumberAndKeepsIt) {
  const struct {
    const char* name;
    int tab;
    Grid grid;
    int row, col;
    const char* copied;
    const char* shown;
    std::function<double(CKolumoData&)> stored;
    double value;
  } cases[] = {
      {"a field's length", 2, Grid::kSystem, 3, G::kColLength, "4.50", "4.50 m",
       [](CKolumoData& d) { return d.fieldLengths[1].GetValue(); }, 4.5},
      {"a load case's action", 4, Grid::kCases, 2, LastfallGrid::kEinwirkung, "2", "2",
       [](CKolumoData& d) { return double(d.lastUeberlagerungBZ[0].lastfaelle[1].einw); }, 2.0},
      {"a creep factor", 4, Grid::kCreep, 2, 1, "1.00", "1.00", [](CKolumoData& d) { return d.kriechen[1].Faktor; },
       1.0},
      {"a load's value", 4, Grid::kLoads, 2, L::kColValue0, "620.00", "620.00 kN",
       [](CKolumoData& d) { return d.loads[0][1].val0.GetValue(); }, 620.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OpenWithCreep();
    ShowTab(c.tab);
    COrmiGridCtrl& grid = Of(c.grid);
    grid_keys::ClickCell(grid, c.row, c.col);
    win::SetClipboardText("(nothing copied)");
    grid_keys::Press(grid_keys::kCut);
    EXPECT_EQ(win::ClipboardText(), c.copied);
    EXPECT_EQ(grid.GetItemText(c.row, c.col), c.shown);
    Ok();
    EXPECT_DOUBLE_EQ(c.stored(Data()), c.value);
    EXPECT_TRUE(win::msgbox::Log().empty());
  }
}

// A load's value and a creep factor emptied hold 0, and the cell shows that 0 at once: the grid's pixels are what it
// draws, before the focus moves.
TEST_F(GridEmptiedCellTest, AnEmptiedValueShowsTheZeroItStores) {
  const struct {
    const char* name;
    Grid grid;
    int row, col;
    const char* shown;
    std::function<double(CKolumoData&)> stored;
  } cases[] = {
      {"load 2's Pz", Grid::kLoads, 2, L::kColValue0, "0.00 kN",
       [](CKolumoData& d) { return d.loads[0][1].val0.GetValue(); }},
      {"load case 2's creep factor", Grid::kCreep, 2, 1, "0.00", [](CKolumoData& d) { return d.kriechen[1].Faktor; }},
  };
  for (const Emptied how : {Emptied::kByEditor, Emptied::kByPaste})
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", " + Name(how));
      OpenWithCreep();
      ShowTab(4);
      COrmiGridCtrl& grid = Of(c.grid);
      Empty(grid, c.row, c.col, how);
      EXPECT_EQ(grid.GetItemText(c.row, c.col), c.shown);
      const win::Image painted = win::PaintedPixels(grid.m_hWnd);
      const win::Image drawn = win::RenderWindowApart(grid.m_hWnd);
      ASSERT_EQ(painted.pixels.size(), drawn.pixels.size());
      EXPECT_TRUE(painted.pixels == drawn.pixels) << "the cell shows what it holds";
      Ok();
      EXPECT_DOUBLE_EQ(c.stored(Data()), 0.0);
      EXPECT_TRUE(win::msgbox::Log().empty());
    }
}

// 1,000 values pasted into the entry row of the load grid: new line loads up to the 200 a stage is calculated
// with, the rest left out as the one question before the paste says; OK saves the loads the grid holds.
TEST_F(GridEmptiedCellTest, APastedColumnStopsAtTheLineLoadsAStageHolds) {
  const fs::path path = Open();
  ShowTab(4);
  const int before = Loads().LoadCount();
  int lineLoads = 0;
  for (const Load& load : Loads().loads) lineLoads += load.ltype == 0 || load.ltype == 1;
  const int added = kMaxLineLoadsPerStage - lineLoads;
  std::string column;
  for (int i = 0; i < 1000; ++i) column += "1,5\n";
  win::msgbox::QueueAnswer(IDYES);
  grid_keys::PasteInto(Loads(), before + 1, L::kColValue0, column);
  char question[400];
  std::snprintf(question, sizeof question,
                "Die Einfügung legt %d neue Lasten an (Zeilen 1 bis %d der Einfügung).\n"
                "Die Zeilen %d bis 1000 der Einfügung werden nicht übernommen:\n"
                "Last %d: Ein Bauzustand hat höchstens 200 Linienlasten.\nSoll sie eingefügt werden?",
                added, added, added + 1, before + added + 1);
  ASSERT_EQ(Boxes(), (std::vector<std::string>{question}));
  ASSERT_EQ(Loads().LoadCount(), before + added);
  EXPECT_EQ(Data().loads[0].GetSize(), before + added) << "the stage takes the pasted loads once, after the paste";
  EXPECT_DOUBLE_EQ(Loads().loads.back().val0.GetValue(), 1.5);
  const auto savedLineLoads = [&path] {
    const std::string text = FileBytes(path);
    static const std::regex lineLoad(R"re(<load [^>]*ltype="[01]")re");
    return std::distance(std::sregex_iterator(text.begin(), text.end(), lineLoad), std::sregex_iterator());
  };
  const auto savedBefore = savedLineLoads();
  Ok();
  EXPECT_EQ(savedLineLoads(), savedBefore + added);
}

// "Last kopieren" in a stage that holds the 200 line or point loads it is calculated with is refused with one box;
// the loads stay as they were.
TEST_F(GridEmptiedCellTest, ACopyBeyondTheLoadsAStageHoldsIsRefused) {
  const struct {
    const char* name;
    int row;  // the load copied: 2 a point load, 6 a line load of the example
    int type;
    const char* message;
  } cases[] = {
      {"point load", 2, 10, "Einzellasten"},
      {"line load", 6, 0, "Linienlasten"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int loads = 0;
    Open([&](CKolumoData& d) {
      CArray<Load>& stage = d.loads[0];
      const Load copy = stage[c.row - 1];
      int alike = 0;
      for (INT_PTR i = 0; i < stage.GetSize(); ++i)
        alike += c.type == 10 ? stage[i].ltype == 10 : stage[i].ltype == 0 || stage[i].ltype == 1;
      for (; alike < 200; ++alike) stage.Add(copy);
      loads = int(stage.GetSize());
    });
    ShowTab(4);
    ASSERT_EQ(Loads().LoadCount(), loads);
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDOK);
    Loads().OnCellContextMenu(c.row, L::kColText, L::kCmdCopy);
    ASSERT_EQ(Boxes(), std::vector<std::string>{"Last " + std::to_string(loads + 1) +
                                                ": Ein Bauzustand hat höchstens 200 " + c.message + "."});
    EXPECT_EQ(Loads().LoadCount(), loads);
    EXPECT_EQ(Data().loads[0].GetSize(), loads);
  }
}

// A refusal in the load-case grid and in the creep grid names the row of its cell.
TEST_F(GridEmptiedCellTest, ARefusalNamesTheLoadCaseOfItsRow) {
  const struct {
    Grid grid;
    int col;
    const char* message;
  } cases[] = {
      {Grid::kCases, LastfallGrid::kEinwirkung, "Lastfall 2, Einwirkung: 'abc' ist keine ganze Zahl."},
      {Grid::kCreep, 1, "Lastfall 2, Faktor: 'abc' ist keine Zahl."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    OpenWithCreep();
    ShowTab(4);
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDOK);
    grid_keys::PasteInto(Of(c.grid), 2, c.col, "abc");
    EXPECT_EQ(Boxes(), std::vector<std::string>{c.message});
  }
}

}  // namespace
