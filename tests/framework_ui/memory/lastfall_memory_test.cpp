// The load-case grid filled from a position short of memory, every allocation failing in turn: the fill is whole, so
// that the list read back is the position's, or it throws std::bad_alloc, the position's list untouched. A shortage
// is never taken for a shorter list (a roundtrip saved a position without its load cases).
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "framework_ui/lkdlg.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/support/failing_allocations.h"

namespace {

using failing_allocations::Outcome;
using Cases = std::vector<std::pair<int, int>>;  // load case, action

Cases ListOf(const CLKData& data) {
  Cases cases;
  for (const CLKLastfall& lf : data.lastfaelle) cases.emplace_back(lf.lf, lf.einw);
  return cases;
}

class LastfallGridShortOfMemory : public win::test::WindowTest {
 protected:
  void TearDown() override {
    Destroy();
    WindowTest::TearDown();
  }
  void Destroy() {
    if (grid && grid->GetSafeHwnd()) grid->DestroyWindow();
    grid.reset();
    if (parent && parent->GetSafeHwnd()) parent->DestroyWindow();
    parent.reset();
  }
  std::unique_ptr<CWnd> parent;
  std::unique_ptr<LastfallGrid> grid;
};

TEST_F(LastfallGridShortOfMemory, AFillIsWholeOrThrowsAndTheListIsNeverShortened) {
  // Mode 1 gives each row a list of two kinds, mode 3 a number.
  for (const int modus : {1, 3}) {
    SCOPED_TRACE(modus);
    const Cases shown = {{1, 1}, {2, 2}};
    const Cases position = {{1, 2}, {2, 1}, {3, 2}, {4, 1}, {5, 2}, {6, 2}};
    CLKData data;
    const int threw = failing_allocations::EveryAllocationFails(
        [&] {
          Destroy();
          data.modus = modus;
          data.lastfaelle.RemoveAll();
          for (const auto& [lf, einw] : shown) data.lastfaelle.Add(CLKLastfall{lf, einw});
          parent = std::make_unique<CWnd>();
          ASSERT_TRUE(parent->CreateEx(0, nullptr, "Lasten", WS_POPUP | WS_VISIBLE, 0, 0, 300, 120, nullptr, nullptr));
          grid = std::make_unique<LastfallGrid>();
          grid->SetData(&data);
          ASSERT_TRUE(grid->Create(CRect(5, 5, 290, 110), parent.get(), 1));
          grid->Layout();
          grid->ExchangeData(FALSE);
          // The position read next holds six load cases.
          data.lastfaelle.RemoveAll();
          for (const auto& [lf, einw] : position) data.lastfaelle.Add(CLKLastfall{lf, einw});
        },
        [&] { grid->ExchangeData(FALSE); },
        [&](Outcome outcome, long n) {
          EXPECT_EQ(ListOf(data), position) << "allocation " << n << ": the fill changed the position's list";
          const int rows = grid->GetRowCount();
          if (outcome == Outcome::kDone) {
            EXPECT_EQ(rows, int(position.size()) + 1) << "allocation " << n;
            grid->ExchangeData(TRUE);
            EXPECT_EQ(ListOf(data), position) << "allocation " << n << ": the list read back";
          } else {
            // Made or not, every row the grid counts has its cells.
            for (int r = 0; r < rows; ++r)
              for (int c = 0; c < grid->GetColumnCount(); ++c)
                EXPECT_NE(grid->GetCell(r, c), nullptr) << "allocation " << n << ": cell " << r << "," << c;
          }
          Destroy();
        });
    EXPECT_GT(threw, 0);
  }
}

}  // namespace
