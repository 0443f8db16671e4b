// Grids that grow short of memory: every allocation of a resize is made to fail in turn. A resize either gives the
// grid its new size, the cells it had kept and the new ones made, or throws std::bad_alloc and leaves the grid as it
// was: counts, cells, sizes, focus and selection. Either way the grid is destroyed cleanly afterwards (the asan
// preset sees a cell freed twice or left behind).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "controls/OrmiGridCtrl.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/support/failing_allocations.h"

namespace {

using failing_allocations::Outcome;

// A typed grid whose rows get a formula cell and a list cell as they are made, as the module's grids set up theirs.
class TypedRows : public COrmiGridCtrl {
 public:
  void Layout() override {
    Init(4, 3, 1, 1);
    for (int c = 0; c < 3; ++c) SetColumnWidthPercent(c, 30);
    LayoutColumns();
  }
  void InitRow(int row) override {
    SetCellType(row, 1, ORMI_FORMULA);
    SetCellType(row, 2, ORMI_COMBO_INDEX);
    CStringArray kinds;
    kinds.Add("ständige Last");
    kinds.Add("Verkehr additiv");
    SetComboOptions(row, 2, kinds);
  }
};

// What a resize must keep or make, read through the grid's own calls.
struct Shape {
  int rows = 0, cols = 0, fixedRows = 0, fixedCols = 0;
  std::vector<const CGridCellBase*> cells;  // row by row
  std::vector<std::string> texts;
  std::vector<int> heights, widths;
  std::vector<int> types;  // a typed grid's cell types over kTypedRows rows, beyond its rows too (0 there)
  CCellID focus;
  int selected = 0;
  std::string Describe() const {
    std::ostringstream out;
    out << rows << " x " << cols << " (fixed " << fixedRows << " x " << fixedCols << ")";
    return out.str();
  }
};
constexpr int kTypedRows = 10;

Shape ShapeOf(CGridCtrl& grid) {
  Shape s;
  s.rows = grid.GetRowCount();
  s.cols = grid.GetColumnCount();
  s.fixedRows = grid.GetFixedRowCount();
  s.fixedCols = grid.GetFixedColumnCount();
  for (int r = 0; r < s.rows; ++r) {
    s.heights.push_back(grid.GetRowHeight(r));
    for (int c = 0; c < s.cols; ++c) {
      s.cells.push_back(grid.GetVirtualMode() ? nullptr : grid.GetCell(r, c));
      s.texts.push_back(grid.GetItemText(r, c).GetString());
    }
  }
  for (int c = 0; c < s.cols; ++c) s.widths.push_back(grid.GetColumnWidth(c));
  if (auto* typed = dynamic_cast<COrmiGridCtrl*>(&grid))
    for (int r = 0; r < kTypedRows; ++r)
      for (int c = 0; c < s.cols; ++c) s.types.push_back(typed->GetCellType(r, c));
  s.focus = grid.GetFocusCell();
  s.selected = grid.GetSelectedCount();
  return s;
}

void ExpectSame(const Shape& now, const Shape& before, long n) {
  ASSERT_EQ(now.Describe(), before.Describe()) << "allocation " << n << ": the grid changed its size";
  EXPECT_EQ(now.cells, before.cells) << "allocation " << n << ": cells replaced";
  EXPECT_EQ(now.texts, before.texts) << "allocation " << n;
  EXPECT_EQ(now.heights, before.heights) << "allocation " << n;
  EXPECT_EQ(now.widths, before.widths) << "allocation " << n;
  EXPECT_EQ(now.types, before.types) << "allocation " << n << ": records of rows not made are left";
  EXPECT_TRUE(now.focus == before.focus) << "allocation " << n;
  EXPECT_EQ(now.selected, before.selected) << "allocation " << n;
}

// A grown grid holds every cell it held, where it held it, and a cell in each new place.
void ExpectGrown(CGridCtrl& grid, const Shape& before, int rows, int cols, long n) {
  const Shape now = ShapeOf(grid);
  ASSERT_EQ(now.rows, rows) << "allocation " << n << ": returned without its rows";
  ASSERT_EQ(now.cols, cols) << "allocation " << n << ": returned without its columns";
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      const std::size_t at = std::size_t(r * cols + c);
      if (r < before.rows && c < before.cols) {
        const std::size_t was = std::size_t(r * before.cols + c);
        EXPECT_EQ(now.cells[at], before.cells[was]) << "allocation " << n << ": cell " << r << "," << c;
        EXPECT_EQ(now.texts[at], before.texts[was]) << "allocation " << n << ": cell " << r << "," << c;
      } else if (!grid.GetVirtualMode()) {
        EXPECT_NE(now.cells[at], nullptr) << "allocation " << n << ": no cell at " << r << "," << c;
      }
    }
}

class GridShortOfMemory : public win::test::WindowTest {
 protected:
  // A grid of 4 x 3 cells in a window small enough that growing brings scroll bars, with texts, a focus cell and a
  // selection.
  void Make(bool typed, bool virtualMode) {
    Destroy();
    parent = std::make_unique<CWnd>();
    ASSERT_TRUE(parent->CreateEx(0, nullptr, "Tabelle", WS_POPUP | WS_VISIBLE, 0, 0, 300, 120, nullptr, nullptr));
    if (typed) {
      auto grid = std::make_unique<TypedRows>();
      ASSERT_TRUE(grid->Create(CRect(5, 5, 290, 110), parent.get(), 2));
      grid->Layout();
      grid->SetCellFormula(2, 1, CFormulaNumber(12.5));
      grid->SetComboIndex(3, 2, 1);
      grid->SetCellText(1, 0, "Feld 1");
      this->grid = std::move(grid);
    } else {
      grid = std::make_unique<CGridCtrl>(4, 3, 1, 1);
      grid->SetVirtualMode(virtualMode);
      ASSERT_TRUE(grid->Create(CRect(5, 5, 290, 110), parent.get(), 2));
      if (!virtualMode)
        for (int r = 0; r < 4; ++r)
          for (int c = 0; c < 3; ++c) grid->SetItemText(r, c, (std::to_string(r) + "/" + std::to_string(c)).c_str());
    }
    grid->SetFocusCell(2, 1);
    grid->SetSelectedRange(1, 1, 2, 2);
    win::PumpMessages();
  }
  void Destroy() {
    if (grid && grid->GetSafeHwnd()) grid->DestroyWindow();
    grid.reset();
    if (parent && parent->GetSafeHwnd()) parent->DestroyWindow();
    parent.reset();
  }
  void TearDown() override {
    Destroy();
    WindowTest::TearDown();
  }
  std::unique_ptr<CWnd> parent;
  std::unique_ptr<CGridCtrl> grid;
};

TEST_F(GridShortOfMemory, AResizeIsWholeOrLeavesTheGridAsItWasAndThrows) {
  const struct {
    const char* name;
    bool typed = false;
    bool virtualMode = false;
    std::function<BOOL(CGridCtrl&)> resize;
    int rows, cols;  // after it
  } kCases[] = {
      {"rows", false, false, [](CGridCtrl& g) { return g.SetRowCount(9); }, 9, 3},
      {"columns", false, false, [](CGridCtrl& g) { return g.SetColumnCount(6); }, 4, 6},
      {"fixed rows beyond the rows", false, false, [](CGridCtrl& g) { return g.SetFixedRowCount(6); }, 6, 3},
      {"fixed columns beyond the columns", false, false, [](CGridCtrl& g) { return g.SetFixedColumnCount(5); }, 4, 5},
      {"rows of a virtual grid", false, true, [](CGridCtrl& g) { return g.SetRowCount(9); }, 9, 3},
      {"rows of a typed grid", true, false,
       [](CGridCtrl& g) {
         static_cast<TypedRows&>(g).SetRowCount(8);
         return TRUE;
       },
       8, 3},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    Shape before;
    BOOL done = FALSE;
    const int threw = failing_allocations::EveryAllocationFails(
        [&] {
          Make(c.typed, c.virtualMode);
          before = ShapeOf(*grid);
          done = FALSE;
        },
        [&] { done = c.resize(*grid); },
        [&](Outcome outcome, long n) {
          if (outcome == Outcome::kThrew) {
            ExpectSame(ShapeOf(*grid), before, n);
          } else {
            EXPECT_TRUE(done) << "allocation " << n << ": the resize said it failed";
            ExpectGrown(*grid, before, c.rows, c.cols, n);
          }
          Destroy();
        });
    EXPECT_GT(threw, 0) << "no allocation of the resize failed";
  }
}

// A virtual grid's texts, as its owner gives them: "v" and the cell's place.
BOOL VirtualTexts(GridDisplayInfo* info, LPARAM) {
  info->item.strText.Format("v%d/%d", info->item.row, info->item.col);
  return TRUE;
}

// A switch of mode, either way, with texts in the cells: either whole (the other mode, the same counts, fresh cells or
// the owner's texts, no focus or selection) or it throws std::bad_alloc and the grid stands as it was, its mode, its
// counts, its cells and their texts.
TEST_F(GridShortOfMemory, AModeSwitchIsWholeOrLeavesTheGridAsItWasAndThrows) {
  for (const bool toVirtual : {true, false}) {
    SCOPED_TRACE(toVirtual ? "to virtual" : "from virtual");
    Shape before;
    const int threw = failing_allocations::EveryAllocationFails(
        [&] {
          Make(false, !toVirtual);
          grid->SetCallbackFunc(&VirtualTexts, 0);
          before = ShapeOf(*grid);
        },
        [&] { grid->SetVirtualMode(toVirtual); },
        [&](Outcome outcome, long n) {
          if (outcome == Outcome::kThrew) {
            EXPECT_EQ(bool(grid->GetVirtualMode()), !toVirtual) << "allocation " << n << ": the mode changed";
            ExpectSame(ShapeOf(*grid), before, n);
          } else {
            EXPECT_EQ(bool(grid->GetVirtualMode()), toVirtual) << "allocation " << n;
            const Shape now = ShapeOf(*grid);
            ASSERT_EQ(now.Describe(), before.Describe()) << "allocation " << n;
            for (int r = 0; r < now.rows; ++r)
              for (int c = 0; c < now.cols; ++c) {
                const std::size_t at = std::size_t(r * now.cols + c);
                const std::string virtualText = "v" + std::to_string(r) + "/" + std::to_string(c);
                EXPECT_EQ(now.texts[at], toVirtual ? virtualText : "") << "allocation " << n << ": " << r << "," << c;
                if (!toVirtual) {
                  EXPECT_NE(now.cells[at], nullptr) << "allocation " << n << ": " << r << "," << c;
                }
              }
            EXPECT_FALSE(now.focus.IsValid()) << "allocation " << n;
            EXPECT_EQ(now.selected, 0) << "allocation " << n;
          }
          Destroy();
        });
    EXPECT_GT(threw, 0) << "no allocation of the switch failed";
  }
}

// The typed grid's rows are its records too: a row count that a shortage stopped is not kept by the typed grid
// either, so that the next row it adds is the row after those it has.
TEST_F(GridShortOfMemory, ATypedGridAddsItsNextRowAfterAResizeThatRanShort) {
  int threw = 0;
  failing_allocations::EveryAllocationFails([&] { Make(true, false); },
                                            [&] { static_cast<TypedRows&>(*grid).SetRowCount(7); },
                                            [&](Outcome outcome, long) {
                                              auto& typed = static_cast<TypedRows&>(*grid);
                                              const int rows = typed.GetRowCount();
                                              typed.AddRow();
                                              EXPECT_EQ(typed.GetRowCount(), rows + 1);
                                              EXPECT_EQ(typed.GetCellType(rows, 1), ORMI_FORMULA);
                                              threw += outcome == Outcome::kThrew;
                                              Destroy();
                                            });
  EXPECT_GT(threw, 0);
}

}  // namespace
