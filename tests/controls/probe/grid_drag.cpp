// For the screen test: on the X display, the window "Ziehen" with two grids side by side, drag and drop on in both,
// the left one's cell (2, 1) selected. It prints the cells the test aims at ("cell NAME X0 Y0 X1 Y1", in the
// coordinates of the window's whole rectangle, as xdotool's --window takes them), then "texts ..." with their texts
// at the start and whenever one changes, until it is ended.
#include <cstdio>
#include <string>

#include "controls/GridCtrl.h"
#include "platform/win/afx.h"
#include "tests/support/probe_screen.h"

namespace {

struct Aim {
  const char* name;
  CGridCtrl* grid;
  int row, col;
};

std::string Texts(const Aim* aims, int n) {
  std::string line = "texts";
  for (int i = 0; i < n; ++i)
    line += std::string(" ") + aims[i].name + "=" + aims[i].grid->GetItemText(aims[i].row, aims[i].col).GetString();
  return line;
}

}  // namespace

int main() {
  test_support::ProbeScreen screen;
  if (!screen.Open("grid_drag", "")) return 1;
  CWnd top;
  if (!top.CreateEx(0, nullptr, "Ziehen", WS_POPUP | WS_CAPTION | WS_VISIBLE, 60, 40, 700, 360, nullptr, nullptr))
    return 1;
  CGridCtrl left(8, 3, 1, 1), right(8, 3, 1, 1);
  if (!left.Create(CRect(10, 10, 330, 300), &top, 1) || !right.Create(CRect(350, 10, 670, 300), &top, 2)) return 1;
  for (CGridCtrl* grid : {&left, &right}) {
    grid->SetItemText(0, 1, "Bezeichnung");
    grid->SetItemText(0, 2, "Wert");
    grid->SetColumnWidth(1, 150);
    grid->EnableDragAndDrop(TRUE);
  }
  left.SetItemText(2, 1, "Stütze");
  left.SetItemText(3, 1, "Wand");
  left.SetFocusCell(2, 1);
  left.SetSelectedRange(2, 1, 2, 1);
  win::PumpMessages();
  const Aim aims[] = {{"L21", &left, 2, 1}, {"L31", &left, 3, 1}, {"R51", &right, 5, 1}, {"R61", &right, 6, 1}};
  CRect window;
  top.GetWindowRect(&window);
  for (const Aim& a : aims) {
    CRect r;
    a.grid->GetCellRect(a.row, a.col, &r);
    a.grid->ClientToScreen(&r);
    r.OffsetRect(-window.left, -window.top);
    std::printf("cell %s %d %d %d %d\n", a.name, int(r.left), int(r.top), int(r.right), int(r.bottom));
  }
  std::string shown;
  while (top.GetSafeHwnd()) {
    const std::string now = Texts(aims, 4);
    if (now != shown) {
      std::printf("%s\n", now.c_str());
      std::fflush(stdout);
      shown = now;
    }
    if (!screen.screen().WaitForInput(200)) break;
    win::PumpMessages();
  }
  return 0;
}
