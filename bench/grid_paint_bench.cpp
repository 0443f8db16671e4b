// Painting one screen of a grid: a virtual grid of 100,000 rows costs what a stored grid of 30 rows costs, at
// its top and scrolled to its middle, because only the visible rows are asked for and drawn. Every text has the
// same length, so that the glyphs drawn cost the same in all three.
#include <benchmark/benchmark.h>

#include <memory>

#include "controls/GridCtrl.h"

namespace {

BOOL CellText(GridDisplayInfo* info, LPARAM) {
  info->item.strText.Format("%06d/%d", info->item.row, info->item.col);
  return TRUE;
}

struct Scene {
  CWnd parent;
  std::unique_ptr<CGridCtrl> grid;
  Scene(bool isVirtual, int rows, int scrollRows) {
    parent.CreateEx(0, nullptr, "Tabelle", WS_POPUP | WS_VISIBLE, 0, 0, 640, 420, nullptr, nullptr);
    grid = std::make_unique<CGridCtrl>();
    if (isVirtual) {
      grid->SetVirtualMode(TRUE);
      grid->SetCallbackFunc(&CellText, 0);
    }
    grid->SetRowCount(rows);
    grid->SetColumnCount(6);
    grid->SetFixedRowCount(1);
    grid->SetFixedColumnCount(1);
    grid->Create(CRect(0, 0, 620, 400), &parent, 1);
    if (!isVirtual)
      for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 6; ++c) {
          CString s;
          s.Format("%06d/%d", r, c);
          grid->SetItemText(r, c, s);
        }
    grid->SetScrollPos32(SB_VERT, scrollRows * grid->GetRowHeight(1));
  }
  ~Scene() {
    grid.reset();
    win::ResetWindowSystem();
  }
};

void Paint(benchmark::State& state, bool isVirtual, int rows, int scrollRows) {
  Scene scene(isVirtual, rows, scrollRows);
  for (auto _ : state) {
    win::Image image = win::RenderWindow(scene.grid->m_hWnd);
    benchmark::DoNotOptimize(image.pixels.data());
  }
}

void BM_PaintStoredGrid30Rows(benchmark::State& state) { Paint(state, false, 30, 0); }
void BM_PaintVirtualGrid100000RowsAtTop(benchmark::State& state) { Paint(state, true, 100000, 0); }
void BM_PaintVirtualGrid100000RowsInTheMiddle(benchmark::State& state) { Paint(state, true, 100000, 50000); }

BENCHMARK(BM_PaintStoredGrid30Rows);
BENCHMARK(BM_PaintVirtualGrid100000RowsAtTop);
BENCHMARK(BM_PaintVirtualGrid100000RowsInTheMiddle);

}  // namespace
