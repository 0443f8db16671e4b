// The grid control driven as a user drives it: keys, mouse, editing, cells, clipboard, title tips, printing,
// and the degenerate grids (no rows, no columns, hidden columns, a virtual grid of 100,000 rows).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "controls/GridCellTypes.h"
#include "controls/GridCtrl.h"
#include "controls/GridInPlace.h"
#include "platform/win/screen/headless.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/platform/win/step_screen.h"

namespace {

struct Notice {
  int code, row, col;
  std::string text;  // the cell's text when the notice came
};

// The grid's parent: records every notification and answers the ones a test asks it to.
class GridParent : public CWnd {
 public:
  std::vector<Notice> notices;
  std::map<int, LRESULT> answers;
  CGridCtrl* grid = nullptr;
  BOOL OnNotify(WPARAM, LPARAM l, LRESULT* result) override {
    auto* nm = reinterpret_cast<GridNotify*>(l);
    int code = int(nm->hdr.code);
    if (code == GVN_GETDISPINFO || code == GVN_ODCACHEHINT) return CWnd::OnNotify(0, l, result);
    std::string text = grid ? grid->GetItemText(nm->iRow, nm->iColumn).GetString() : "";
    notices.push_back({code, nm->iRow, nm->iColumn, text});
    auto it = answers.find(code);
    *result = it == answers.end() ? 0 : it->second;
    return TRUE;
  }
  int Count(int code) const {
    int n = 0;
    for (const Notice& x : notices) n += x.code == code;
    return n;
  }
  const Notice* Last(int code) const {
    for (auto it = notices.rbegin(); it != notices.rend(); ++it)
      if (it->code == code) return &*it;
    return nullptr;
  }
};

// Counts the hooks the special cells call.
class HookGrid : public CGridCtrl {
 public:
  using CGridCtrl::CGridCtrl;
  std::vector<CCellID> checks;
  std::vector<std::pair<CCellID, int>> comboPicks;
  std::vector<CCellID> buttons;
  void OnCellCheck(int row, int col) override { checks.emplace_back(row, col); }
  void OnCellComboSelect(int row, int col, int item) override { comboPicks.push_back({CCellID(row, col), item}); }
  void OnButtonClick(int row, int col) override { buttons.emplace_back(row, col); }
  int keys = 0;
  void OnKeyHandled(int, int, UINT) override { ++keys; }
};

constexpr UINT kGridId = 4711;

// A window's picture looked at in its client coordinates (the picture includes the border).
struct Picture {
  explicit Picture(CWnd* wnd) : image(win::RenderWindow(wnd->m_hWnd)) {
    CRect window;
    wnd->GetWindowRect(&window);
    CPoint client(0, 0);
    wnd->ClientToScreen(&client);
    dx = client.x - window.left;
    dy = client.y - window.top;
  }
  COLORREF At(int x, int y) const { return image.At(x + dx, y + dy); }
  win::Image image;
  int dx = 0, dy = 0;
};

class GridTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "Lasten", WS_POPUP | WS_VISIBLE, 0, 0, 460, 320, nullptr, nullptr));
  }
  void TearDown() override {
    grid.reset();
    WindowTest::TearDown();
  }
  // A 30 x 6 grid with one fixed row and one fixed column: headers "Nr.", "Lastfall", ...; rows numbered.
  void MakeGrid(int rows = 30, int cols = 6, int width = 440, int height = 300) {
    grid = std::make_unique<HookGrid>(rows, cols, 1, 1);
    parent.grid = grid.get();
    ASSERT_TRUE(grid->Create(CRect(0, 0, width, height), &parent, kGridId));
    const char* heads[] = {"Nr.", "Lastfall", "N [kN]", "My [kNm]", "Mz [kNm]", "Bemerkung"};
    for (int c = 0; c < cols; ++c) grid->SetItemText(0, c, c < 6 ? heads[c] : "X");
    for (int r = 1; r < rows; ++r) {
      grid->SetItemText(r, 0, std::to_string(r).c_str());
      for (int c = 1; c < cols; ++c) grid->SetItemText(r, c, (std::to_string(r) + "/" + std::to_string(c)).c_str());
    }
    grid->SetModified(FALSE);
    grid->SetFocus();
    win::PumpMessages();
    parent.notices.clear();
  }
  CCellID Focus() const { return grid->GetFocusCell(); }
  CPoint CellCenter(int row, int col) {
    CRect r;
    EXPECT_TRUE(grid->GetCellRect(row, col, &r));
    return r.CenterPoint();
  }
  void ClickCell(int row, int col) {
    CPoint p = CellCenter(row, col);
    win::input::Click(grid->m_hWnd, p.x, p.y);
    win::PumpMessages();
    // The next click is not a double click.
    win::AdvanceClock(1000);
  }
  void SavePicture(const char* name) {
    if (const char* dir = std::getenv("KOLUMO_PICTURES"))
      win::SaveWindowPng(grid->m_hWnd, std::string(dir) + "/" + name + ".png");
  }
  GridParent parent;
  std::unique_ptr<HookGrid> grid;
};

// ---- look ------------------------------------------------------------------------------------------------------

TEST_F(GridTest, HeadersAreFaceColouredDataCellsWindowColouredWithGridLinesBetween) {
  MakeGrid();
  // The picture to look at also shows the special cells and a sort arrow.
  grid->SortItems(3, TRUE);
  grid->SetCellType(6, 1, RUNTIME_CLASS(CGridCellCheck));
  static_cast<CGridCellCheck*>(grid->GetCell(6, 1))->SetCheck(TRUE);
  grid->SetCellType(7, 1, RUNTIME_CLASS(CGridCellCheck));
  grid->SetItemText(6, 1, "");
  grid->SetItemText(7, 1, "");
  grid->SetCellType(8, 1, RUNTIME_CLASS(CGridCellCombo));
  grid->SetItemText(8, 1, "Schnee");
  grid->SetCellType(9, 1, RUNTIME_CLASS(CGridCellButton));
  grid->SetItemText(9, 1, "Details...");
  grid->SetItemFormat(10, 2, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  grid->SetItemText(10, 2, "-1250,00");
  grid->SetItemFgColour(10, 2, RGB(192, 0, 0));
  grid->SetItemBkColour(11, 2, RGB(255, 255, 200));
  grid->SetFocusCell(2, 2);
  grid->SetSelectedRange(3, 3, 4, 4);
  win::PumpMessages();
  SavePicture("grid");
  Picture img(grid.get());
  CRect header, data, next;
  ASSERT_TRUE(grid->GetCellRect(0, 1, &header));
  ASSERT_TRUE(grid->GetCellRect(5, 1, &data));
  ASSERT_TRUE(grid->GetCellRect(5, 2, &next));
  // A pixel away from text and edges in each kind of cell.
  EXPECT_EQ(img.At(header.left + 3, header.top + 3), ::GetSysColor(COLOR_3DFACE));
  EXPECT_EQ(img.At(data.right - 2, data.top + 2), ::GetSysColor(COLOR_WINDOW));
  // The vertical grid line is the last pixel column of a data cell.
  EXPECT_EQ(img.At(data.right, data.top + 4), RGB(192, 192, 192));
  // Selected cells are filled with the highlight colour.
  CRect sel;
  ASSERT_TRUE(grid->GetCellRect(3, 3, &sel));
  EXPECT_EQ(img.At(sel.right - 2, sel.top + 2), ::GetSysColor(COLOR_HIGHLIGHT));
}

// ---- notifications ---------------------------------------------------------------------------------------------

TEST_F(GridTest, ChangesMadeInCodeSendNothingToTheParent) {
  MakeGrid();
  grid->SetItemText(3, 3, "x");
  grid->SetFocusCell(4, 4);
  grid->SetSelectedRange(2, 2, 3, 3);
  grid->SetRowCount(20);
  grid->SetColumnWidth(2, 90);
  grid->SortItems(1, TRUE);
  win::PumpMessages();
  EXPECT_TRUE(parent.notices.empty());
}

TEST_F(GridTest, AClickOnADataCellTellsTheParentBeforeAndAfterTheSelectionAndAfterTheClick) {
  MakeGrid();
  ClickCell(3, 2);
  std::vector<int> codes;
  for (const Notice& n : parent.notices) codes.push_back(n.code);
  EXPECT_EQ(codes, (std::vector<int>{GVN_SELCHANGING, GVN_SELCHANGED, GVN_CLICK}));
  EXPECT_EQ(parent.notices[0].row, 3);
  EXPECT_EQ(parent.notices[0].col, 2);
  EXPECT_EQ(Focus(), CCellID(3, 2));
  EXPECT_TRUE(grid->IsCellSelected(3, 2));
}

TEST_F(GridTest, AClickOnAColumnHeaderSelectsTheColumnAndOnARowHeaderTheRow) {
  MakeGrid();
  ClickCell(0, 3);
  // Column 3 over the 29 data rows.
  EXPECT_EQ(grid->GetSelectedCount(), 29);
  EXPECT_TRUE(grid->IsCellSelected(1, 3));
  EXPECT_TRUE(grid->IsCellSelected(29, 3));
  ClickCell(4, 0);
  // Row 4 over the 5 data columns.
  EXPECT_EQ(grid->GetSelectedCount(), 5);
  EXPECT_TRUE(grid->IsCellSelected(4, 5));
  EXPECT_EQ(parent.Count(GVN_SELCHANGING), 2);
}

// ---- keyboard --------------------------------------------------------------------------------------------------

struct KeyCase {
  const char* name;
  CCellID start;
  std::vector<std::pair<UINT, UINT>> keys;  // (modifier or 0, key)
  BOOL tabHook;
  CCellID expected;
};

TEST_F(GridTest, KeysMoveTheFocusCell) {
  // The grid: rows 1..29, columns 1..5 are data; the window shows about 13 data rows.
  const std::vector<KeyCase> cases = {
      {"right", {1, 1}, {{0, VK_RIGHT}}, TRUE, {1, 2}},
      {"down", {1, 1}, {{0, VK_DOWN}}, TRUE, {2, 1}},
      {"up from the first data row wraps to the last", {1, 1}, {{0, VK_UP}}, TRUE, {29, 1}},
      {"right in the last column stays in the row", {3, 5}, {{0, VK_RIGHT}}, TRUE, {3, 1}},
      {"left in the first column stays in the row", {3, 1}, {{0, VK_LEFT}}, TRUE, {3, 5}},
      {"tab with the hook on moves nothing", {2, 2}, {{0, VK_TAB}}, TRUE, {2, 2}},
      {"tab without the hook", {2, 2}, {{0, VK_TAB}}, FALSE, {2, 3}},
      {"tab in the last column goes to the next row", {2, 5}, {{0, VK_TAB}}, FALSE, {3, 1}},
      {"tab in the last cell goes to the first data row", {29, 5}, {{0, VK_TAB}}, FALSE, {1, 1}},
      {"shift+tab goes back", {3, 1}, {{VK_SHIFT, VK_TAB}}, FALSE, {2, 5}},
      {"ctrl+home", {17, 4}, {{VK_CONTROL, VK_HOME}}, TRUE, {1, 1}},
      {"ctrl+end", {2, 2}, {{VK_CONTROL, VK_END}}, TRUE, {29, 5}},
      {"home", {7, 4}, {{0, VK_HOME}}, TRUE, {7, 1}},
      {"end", {7, 2}, {{0, VK_END}}, TRUE, {7, 5}},
      {"page down at the end goes to the last row", {29, 2}, {{0, VK_NEXT}}, TRUE, {29, 2}},
  };
  for (const KeyCase& k : cases) {
    MakeGrid();
    grid->SetTabHook(k.tabHook);
    grid->SetFocusCell(k.start);
    if (k.start.row == 29) grid->EnsureVisible(29, k.start.col);
    for (auto [mod, key] : k.keys) {
      if (mod)
        win::input::KeyWith(mod, key);
      else
        win::input::Key(key);
      win::PumpMessages();
    }
    EXPECT_EQ(Focus(), k.expected) << k.name << ": got (" << Focus().row << ", " << Focus().col << ")";
    grid.reset();
  }
}

TEST_F(GridTest, ArrowsMoveTheFocusEvenWhenEveryCellIsReadOnly) {
  MakeGrid();
  for (int r = 1; r < 30; ++r)
    for (int c = 1; c < 6; ++c) grid->SetItemState(r, c, grid->GetItemState(r, c) | GVIS_READONLY);
  grid->SetFocusCell(2, 2);
  win::input::Key(VK_DOWN);
  win::input::Key(VK_RIGHT);
  win::PumpMessages();
  EXPECT_EQ(Focus(), CCellID(3, 3));
  // And no editor opens on them.
  win::input::Key(VK_F2);
  win::PumpMessages();
  EXPECT_EQ(CWnd::GetFocus()->m_hWnd, grid->m_hWnd);
}

TEST_F(GridTest, DraggingASelectionBelowTheGridScrollsAndExtendsIt) {
  MakeGrid();
  const CPoint from = CellCenter(3, 2);
  CRect client;
  grid->GetClientRect(&client);
  win::input::MouseDown(grid->m_hWnd, from.x, from.y);
  win::input::MouseMove(grid->m_hWnd, from.x, client.bottom + 20);
  // The auto-scroll timer runs every 25 ms while the pointer stays below: each tick is a Down key, which
  // scrolls once the focus passes the last visible row. 400 ms: 400 / 25 = 16 ticks, from row 3 to row 19.
  win::RunFor(400, 5);
  EXPECT_EQ(grid->keys, 16);
  EXPECT_EQ(Focus(), CCellID(19, 2));
  const int scrolled = grid->GetScrollPos32(SB_VERT);
  win::input::MouseUp(grid->m_hWnd, from.x, client.bottom + 20);
  win::PumpMessages();
  EXPECT_GT(scrolled, 0);
  CCellBlock sel = grid->GetSelectedRange();
  EXPECT_EQ(sel.minRow, 3);
  EXPECT_GT(sel.maxRow, grid->GetTopleftNonFixedCell(TRUE).row);
  EXPECT_EQ(sel.minCol, 2);
}

TEST_F(GridTest, PageDownMovesTheFocusByTheRowsTheViewScrolled) {
  MakeGrid();
  grid->SetFocusCell(1, 2);
  const CCellID topBefore = grid->GetTopleftNonFixedCell(TRUE);
  win::input::Key(VK_NEXT);
  win::PumpMessages();
  const CCellID topAfter = grid->GetTopleftNonFixedCell(TRUE);
  ASSERT_GT(topAfter.row, topBefore.row);
  EXPECT_EQ(Focus(), CCellID(1 + topAfter.row - topBefore.row, 2));
  EXPECT_TRUE(grid->IsCellVisible(Focus().row, 2));
}

TEST_F(GridTest, ShiftArrowsSelectTheBlockFromTheAnchorAndTellTheParent) {
  MakeGrid();
  ClickCell(2, 2);
  parent.notices.clear();
  win::input::KeyWith(VK_SHIFT, VK_RIGHT);
  win::input::KeyWith(VK_SHIFT, VK_DOWN);
  win::PumpMessages();
  EXPECT_EQ(Focus(), CCellID(3, 3));
  EXPECT_EQ(grid->GetSelectedCount(), 4);
  CCellBlock b = grid->GetSelectedRange();
  EXPECT_EQ(b.minRow, 2);
  EXPECT_EQ(b.minCol, 2);
  EXPECT_EQ(b.maxRow, 3);
  EXPECT_EQ(b.maxCol, 3);
  EXPECT_EQ(parent.Count(GVN_SELCHANGING), 2);
  EXPECT_EQ(parent.Count(GVN_SELCHANGED), 2);
  // A plain arrow starts again from the new cell.
  win::input::Key(VK_DOWN);
  win::PumpMessages();
  EXPECT_EQ(grid->GetSelectedCount(), 1);
}

TEST_F(GridTest, AWheelNotchScrollsThreeRows) {
  MakeGrid();
  const int h = grid->GetRowHeight(1);
  CPoint p = CellCenter(3, 2);
  win::input::Wheel(grid->m_hWnd, p.x, p.y, -120);
  win::PumpMessages();
  // 120 * 3 / 120 = 3 line-downs of one row height each.
  EXPECT_EQ(grid->GetScrollPos32(SB_VERT), 3 * h);
  EXPECT_EQ(grid->GetTopleftNonFixedCell(TRUE).row, 4);
  win::input::Wheel(grid->m_hWnd, p.x, p.y, 40);
  win::PumpMessages();
  // 40 * 3 / 120 = 1 line up.
  EXPECT_EQ(grid->GetScrollPos32(SB_VERT), 2 * h);
}

// ---- editing ---------------------------------------------------------------------------------------------------

TEST_F(GridTest, ClickTypeAndEnterStoresTheTextAndReportsItAtTheEndOfTheEdit) {
  MakeGrid();
  grid->SetTabHook(FALSE);
  ClickCell(4, 2);
  // The first character typed opens the editor and replaces the text.
  win::input::Type("12,5");
  win::PumpMessages();
  ASSERT_TRUE(grid->IsItemEditing(4, 2));
  win::input::Type("\n");
  win::PumpMessages();
  EXPECT_EQ(grid->GetItemText(4, 2), "12,5");
  const Notice* end = parent.Last(GVN_ENDLABELEDIT);
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(end->row, 4);
  EXPECT_EQ(end->col, 2);
  EXPECT_EQ(end->text, "12,5");
  EXPECT_TRUE(grid->GetModified(4, 2));
  // Enter stands for Tab: the focus moved on and an editor opened there.
  EXPECT_EQ(Focus(), CCellID(4, 3));
  EXPECT_FALSE(grid->IsItemEditing(4, 2));
  win::input::Key(VK_ESCAPE);
  win::PumpMessages();
}

struct EditCase {
  const char* name;
  int beginAnswer, endAnswer;
  const char* typed;  // into the editor F2 opened (caret at the end); '\x1b' is Escape
  const char* expectedText;
  int endNotices;
};

TEST_F(GridTest, TheParentsAnswersDecideWhetherAnEditOpensAndIsKept) {
  const std::vector<EditCase> cases = {
      {"accepted", 0, 0, "7\n", "4/27", 1},
      {"begin vetoed: no editor", -1, 0, "", "4/2", 0},
      {"end vetoed: old text back", 0, -1, "7\n", "4/2", 1},
      {"same text: no end notice", 0, 0, "\n", "4/2", 0},
      {"escape: old text, no end notice", 0, 0, "9\x1b", "4/2", 0},
  };
  for (const EditCase& e : cases) {
    MakeGrid();
    grid->SetTabHook(FALSE);
    grid->SetFocusCell(4, 2);
    parent.answers = {{GVN_BEGINLABELEDIT, e.beginAnswer}, {GVN_ENDLABELEDIT, e.endAnswer}};
    win::input::Key(VK_F2);
    win::PumpMessages();
    EXPECT_EQ(parent.Count(GVN_BEGINLABELEDIT), 1) << e.name;
    EXPECT_EQ(bool(grid->IsItemEditing(4, 2)), e.beginAnswer == 0) << e.name;
    for (const char* c = e.typed; *c; ++c) {
      if (*c == '\x1b')
        win::input::Key(VK_ESCAPE);
      else
        win::input::Type(std::string(1, *c));
      win::PumpMessages();
    }
    EXPECT_EQ(grid->GetItemText(4, 2), e.expectedText) << e.name;
    EXPECT_EQ(parent.Count(GVN_ENDLABELEDIT), e.endNotices) << e.name;
    EXPECT_FALSE(grid->IsItemEditing(4, 2)) << e.name;
    // Enter moved on to (4, 3) and opened an editor there; Escape leaves the focus where it is.
    if (std::string(e.typed).find('\n') != std::string::npos) {
      EXPECT_EQ(Focus(), CCellID(4, 3)) << e.name;
      win::input::Key(VK_ESCAPE);
      win::PumpMessages();
    } else {
      EXPECT_EQ(Focus(), CCellID(4, 2)) << e.name;
    }
    parent.answers.clear();
    grid.reset();
  }
}

TEST_F(GridTest, TypingALetterReplacesTheTextAndBackspaceKeepsIt) {
  MakeGrid();
  grid->SetFocusCell(2, 2);
  win::input::Type("x\n");
  win::PumpMessages();
  EXPECT_EQ(grid->GetItemText(2, 2), "x");
  win::input::Key(VK_ESCAPE);
  grid->SetFocusCell(3, 2);
  win::input::Key(VK_BACK);
  win::input::Type("\n");
  win::PumpMessages();
  // "3/2" less its last character.
  EXPECT_EQ(grid->GetItemText(3, 2), "3/");
}

// ---- sizes -----------------------------------------------------------------------------------------------------

TEST_F(GridTest, DraggingAColumnDividerSizesTheColumnAndADoubleClickFitsIt) {
  MakeGrid();
  CRect head;
  ASSERT_TRUE(grid->GetCellRect(0, 2, &head));
  const int before = grid->GetColumnWidth(2);
  // Grab the divider right of column 2 (its last pixel) and move it 30 pixels on.
  win::input::MouseMove(grid->m_hWnd, head.right, head.top + 4);
  win::input::Drag(grid->m_hWnd, head.right, head.top + 4, head.right + 30, head.top + 4);
  win::PumpMessages();
  // The new width is the release point less the column's left edge.
  EXPECT_EQ(grid->GetColumnWidth(2), head.right + 30 - head.left);
  EXPECT_GT(grid->GetColumnWidth(2), before);

  // Dragged to its own left edge, the column collapses to 0.
  ASSERT_TRUE(grid->GetCellRect(0, 1, &head));
  win::input::MouseMove(grid->m_hWnd, head.right, head.top + 4);
  win::input::Drag(grid->m_hWnd, head.right, head.top + 4, head.left, head.top + 4);
  win::PumpMessages();
  EXPECT_EQ(grid->GetColumnWidth(1), 0);

  // A long text, then a double click on the divider right of column 3: the width becomes that of the widest cell.
  grid->SetItemText(7, 3, "eine sehr lange Bemerkung");
  ASSERT_TRUE(grid->GetCellRect(0, 3, &head));
  ASSERT_LT(head.right, 438);
  win::input::MouseMove(grid->m_hWnd, head.right, head.top + 4);
  win::input::DoubleClick(grid->m_hWnd, head.right, head.top + 4);
  win::PumpMessages();
  CClientDC dc(grid.get());
  CGridCellBase* cell = grid->GetCell(7, 3);
  CFont* old = dc.SelectObject(cell->GetFontObject());
  // Text width + 4 margins (the cell's own measure adds the same; here taken from the DC directly).
  const int expected = dc.GetTextExtent("eine sehr lange Bemerkung").cx + 4 * int(cell->GetMargin());
  dc.SelectObject(old);
  EXPECT_EQ(grid->GetColumnWidth(3), expected);
}

TEST_F(GridTest, ReleasingADividerWithoutMovingKeepsTheWidth) {
  MakeGrid();
  CRect head;
  ASSERT_TRUE(grid->GetCellRect(0, 2, &head));
  const int before = grid->GetColumnWidth(2);
  win::input::MouseMove(grid->m_hWnd, head.right, head.top + 4);
  win::input::Click(grid->m_hWnd, head.right, head.top + 4);
  win::PumpMessages();
  EXPECT_EQ(grid->GetColumnWidth(2), before);
}

// ---- special cells ---------------------------------------------------------------------------------------------

TEST_F(GridTest, ACheckCellTogglesOnAClickInItsBoxAndOnSpaceUnlessLocked) {
  MakeGrid();
  ASSERT_TRUE(grid->SetCellType(2, 2, RUNTIME_CLASS(CGridCellCheck)));
  auto* check = static_cast<CGridCellCheck*>(grid->GetCell(2, 2));
  win::RenderWindow(grid->m_hWnd);  // lays the box out where it is drawn
  const CPoint box = check->GetCheckPlacement().CenterPoint();
  win::input::Click(grid->m_hWnd, box.x, box.y);
  win::PumpMessages();
  win::AdvanceClock(1000);
  EXPECT_TRUE(check->GetCheck());
  ASSERT_EQ(grid->checks.size(), 1u);
  EXPECT_EQ(grid->checks[0], CCellID(2, 2));
  win::input::Key(VK_SPACE);
  win::PumpMessages();
  EXPECT_FALSE(check->GetCheck());
  EXPECT_EQ(grid->checks.size(), 2u);
  // Locked: neither Space nor a click on the box (of a cell that is not the focus cell) changes it.
  check->SetLocked(TRUE);
  win::input::Key(VK_SPACE);
  grid->SetFocusCell(5, 1);
  win::input::Click(grid->m_hWnd, box.x, box.y);
  win::PumpMessages();
  EXPECT_FALSE(check->GetCheck());
  EXPECT_EQ(grid->checks.size(), 2u);
}

TEST_F(GridTest, PickingFromAComboCellWritesTheOptionBeforeTheEditEnds) {
  MakeGrid();
  grid->SetTabHook(FALSE);
  ASSERT_TRUE(grid->SetCellType(3, 1, RUNTIME_CLASS(CGridCellCombo)));
  auto* combo = static_cast<CGridCellCombo*>(grid->GetCell(3, 1));
  CStringArray options;
  for (const char* s : {"Eigengewicht", "Nutzlast", "Schnee", "Wind"}) options.Add(s);
  combo->SetOptions(options);
  combo->SetStyle(CBS_DROPDOWNLIST);
  grid->SetItemText(3, 1, "Nutzlast");
  grid->SetFocusCell(3, 1);
  win::input::Key(VK_F2);
  win::PumpMessages();
  ASSERT_TRUE(combo->IsEditing());
  SavePicture("grid-combo");
  // Down in the open list, Enter chooses: the cell has the text at once.
  win::input::Key(VK_DOWN);
  win::input::Key(VK_RETURN);
  win::PumpMessages();
  EXPECT_EQ(grid->GetItemText(3, 1), "Schnee");
  ASSERT_EQ(grid->comboPicks.size(), 1u);
  EXPECT_EQ(grid->comboPicks[0].second, 2);
}

// A drop-down list cell as a combo box: one click on its arrow opens the list (the cell need not be the focus cell
// first), and a typed letter picks the first option it begins, whether it opens the list or the list is open.
TEST_F(GridTest, AComboCellOpensWithOneClickOnItsArrowAndPicksByTypedLetters) {
  struct Case {
    const char* name;
    bool clickArrow;    // else: the focus cell, a letter typed
    std::string typed;  // after the list is open
    const char* expected;
  };
  const Case cases[] = {
      {"click on the arrow, W typed", true, "W", "Wind"},
      {"click on the arrow, S typed", true, "s", "Schnee"},
      {"a letter opens the list", false, "", "Nutzlast"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MakeGrid();
    ASSERT_TRUE(grid->SetCellType(3, 1, RUNTIME_CLASS(CGridCellCombo)));
    auto* combo = static_cast<CGridCellCombo*>(grid->GetCell(3, 1));
    CStringArray options;
    for (const char* o : {"Eigengewicht", "Nutzlast", "Schnee", "Wind"}) options.Add(o);
    combo->SetOptions(options);
    combo->SetStyle(CBS_DROPDOWNLIST);
    grid->SetItemText(3, 1, "Eigengewicht");
    grid->SetFocusCell(1, 1);
    if (c.clickArrow) {
      CRect cell;
      ASSERT_TRUE(grid->GetCellRect(3, 1, &cell));
      const CRect arrow = CGridCellCombo::ArrowRect(cell);
      ASSERT_FALSE(arrow.IsRectEmpty());
      win::input::Click(grid->m_hWnd, arrow.CenterPoint().x, arrow.CenterPoint().y);
    } else {
      grid->SetFocusCell(3, 1);
      win::input::Type("n");
    }
    win::PumpMessages();
    ASSERT_TRUE(combo->IsEditing());
    if (!c.typed.empty()) win::input::Type(c.typed);
    // Enter closes the list on the entry picked, which the cell takes at once.
    win::input::Key(VK_RETURN);
    win::PumpMessages();
    EXPECT_EQ(grid->GetItemText(3, 1), c.expected);
    grid.reset();
  }
}

TEST_F(GridTest, TabInAnEditableComboEndsLikeEnterAndTheTypedTextIsKept) {
  MakeGrid();
  grid->SetTabHook(FALSE);
  ASSERT_TRUE(grid->SetCellType(3, 1, RUNTIME_CLASS(CGridCellCombo)));
  auto* combo = static_cast<CGridCellCombo*>(grid->GetCell(3, 1));
  CStringArray options;
  options.Add("Eigengewicht");
  combo->SetOptions(options);
  grid->SetFocusCell(3, 1);
  // The first character opens the combo and replaces its text.
  win::input::Type("Wind\t");
  win::PumpMessages();
  EXPECT_EQ(grid->GetItemText(3, 1), "Wind");
  EXPECT_FALSE(combo->IsEditing());
  // Enter (which Tab reports) stands for Tab: on to the next cell.
  EXPECT_EQ(Focus(), CCellID(3, 2));
  EXPECT_EQ(parent.Count(GVN_ENDLABELEDIT), 1);
  win::input::Key(VK_ESCAPE);
  win::PumpMessages();
}

TEST_F(GridTest, TheEditorWidensWithItsTextButNotPastTheGrid) {
  MakeGrid();
  grid->SetFocusCell(2, 3);
  win::input::Type("Eine Bemerkung, die nicht in die Zelle passt");
  win::PumpMessages();
  CWnd* editor = CWnd::GetFocus();
  ASSERT_NE(editor, nullptr);
  ASSERT_NE(editor->m_hWnd, grid->m_hWnd);
  CRect cell, edit, client;
  grid->GetCellRect(2, 3, &cell);
  editor->GetWindowRect(&edit);
  grid->ScreenToClient(&edit);
  grid->GetClientRect(&client);
  EXPECT_GT(edit.right, cell.right + 1);
  EXPECT_LE(edit.right, client.right);
  win::input::Key(VK_ESCAPE);
  win::PumpMessages();
  EXPECT_EQ(grid->GetItemText(2, 3), "2/3");
}

TEST_F(GridTest, AComboListHasAtLeastFourAndAtMostFifteenLines) {
  MakeGrid();
  for (auto [count, lines] : std::vector<std::pair<int, int>>{{2, 4}, {9, 9}, {40, 15}}) {
    CStringArray options;
    for (int i = 0; i < count; ++i) options.Add(std::to_string(i).c_str());
    CRect rect(10, 10, 90, 30);
    auto* combo = new CGridInPlaceCombo(grid.get(), rect, CBS_DROPDOWNLIST, IDC_INPLACE_CONTROL, 2, 2, CLR_DEFAULT,
                                        CLR_DEFAULT, options, "1", VK_LBUTTON);
    EXPECT_EQ(combo->ListLines(), lines) << count << " options";
    combo->DestroyWindow();
    win::PumpMessages();
  }
}

// ---- clipboard -------------------------------------------------------------------------------------------------

TEST_F(GridTest, CopyingABlockGivesTabSeparatedRowsAndPastingRestoresIt) {
  MakeGrid();
  grid->SetItemText(2, 2, "a");
  grid->SetItemText(2, 3, "b");
  grid->SetItemText(3, 2, "c");
  grid->SetItemText(3, 3, "d");
  ClickCell(2, 2);
  win::input::KeyWith(VK_SHIFT, VK_RIGHT);
  win::input::KeyWith(VK_SHIFT, VK_DOWN);
  win::input::KeyWith(VK_CONTROL, 'C');
  win::PumpMessages();
  EXPECT_EQ(win::ClipboardText(), "a\tb\nc\td");
  ClickCell(8, 1);
  win::input::KeyWith(VK_CONTROL, 'V');
  win::PumpMessages();
  EXPECT_EQ(grid->GetItemText(8, 1), "a");
  EXPECT_EQ(grid->GetItemText(8, 2), "b");
  EXPECT_EQ(grid->GetItemText(9, 1), "c");
  EXPECT_EQ(grid->GetItemText(9, 2), "d");
  // The pasted block is selected; the parent could veto every cell.
  EXPECT_EQ(grid->GetSelectedCount(), 4);
  EXPECT_EQ(parent.Count(GVN_ENDLABELEDIT), 4);
}

struct PasteCase {
  const char* name;
  std::string text;
  CCellID at;
  std::vector<std::pair<CCellID, std::string>> expected;
};

TEST_F(GridTest, PastingSplitsRowsAtLineEndsAndCellsAtTabsOnlyTrimsAndNeverWritesOutsideTheGrid) {
  const std::vector<PasteCase> cases = {
      // A comma is a decimal comma, part of its cell.
      {"decimal comma and tab", "12,5\t3", {2, 1}, {{{2, 1}, "12,5"}, {{2, 2}, "3"}, {{2, 3}, "2/3"}}},
      {"comma-separated text stays one cell", "1,2,3", {2, 1}, {{{2, 1}, "1,2,3"}, {{2, 2}, "2/2"}}},
      // Rows end at "\r\n", "\n" or "\r"; the spreadsheet's final line end blanks no cell below.
      {"line ends of every system",
       "a\tb\r\nc\nd\re\r\n",
       {3, 1},
       {{{3, 1}, "a"}, {{3, 2}, "b"}, {{4, 1}, "c"}, {{5, 1}, "d"}, {{6, 1}, "e"}, {{7, 1}, "7/1"}}},
      {"empty line inside the block", "x\n\ny", {3, 1}, {{{3, 1}, "x"}, {{4, 1}, ""}, {{5, 1}, "y"}}},
      {"blanks trimmed", "  x  \t y", {5, 2}, {{{5, 2}, "x"}, {{5, 3}, "y"}}},
      {"more than fits at the corner",
       "p\tq\tr\ns\tt\tu\nv\tw\tz",
       {29, 4},
       {{{29, 4}, "p"}, {{29, 5}, "q"}, {{28, 4}, "28/4"}, {{29, 3}, "29/3"}}},
  };
  for (const PasteCase& p : cases) {
    MakeGrid();
    win::SetClipboardText(p.text);
    COleDataObject data;
    ASSERT_TRUE(data.AttachClipboard());
    EXPECT_TRUE(grid->PasteTextToGrid(p.at, &data, TRUE)) << p.name;
    for (const auto& [cell, text] : p.expected)
      EXPECT_EQ(grid->GetItemText(cell.row, cell.col), text.c_str()) << p.name << " at " << cell.row << "," << cell.col;
    EXPECT_EQ(grid->GetRowCount(), 30) << p.name;
    EXPECT_EQ(grid->GetColumnCount(), 6) << p.name;
    grid.reset();
  }
}

TEST_F(GridTest, DeleteEmptiesTheSelectedCellsUnlessTheParentVetoes) {
  MakeGrid();
  ClickCell(2, 2);
  win::input::KeyWith(VK_SHIFT, VK_RIGHT);
  win::input::Key(VK_DELETE);
  win::PumpMessages();
  EXPECT_EQ(grid->GetItemText(2, 2), "");
  EXPECT_EQ(grid->GetItemText(2, 3), "");
  parent.answers[GVN_BEGINLABELEDIT] = -1;
  ClickCell(5, 2);
  win::input::Key(VK_DELETE);
  win::PumpMessages();
  EXPECT_EQ(grid->GetItemText(5, 2), "5/2");
}

// ---- drag and drop ---------------------------------------------------------------------------------------------

struct DropCase {
  const char* name;
  DWORD keys;  // MK_CONTROL copies
  bool readOnlyTarget;
  const char* source;  // the dragged cell afterwards
  const char* target;  // the drop cell afterwards
};

TEST_F(GridTest, DraggingCellsMovesOrCopiesTheirTextAndAReadOnlyCellRefusesTheDrop) {
  const std::vector<DropCase> cases = {
      {"move", 0, false, "", "2/1"},
      {"copy with ctrl", MK_CONTROL, false, "2/1", "2/1"},
      {"read-only target", 0, true, "2/1", "6/2"},
  };
  for (const DropCase& d : cases) {
    MakeGrid();
    grid->EnableDragAndDrop(TRUE);
    if (d.readOnlyTarget) grid->SetItemState(6, 2, grid->GetItemState(6, 2) | GVIS_READONLY);
    ClickCell(2, 1);
    const CPoint target = CellCenter(6, 2);
    win::script::QueueDrop(grid->m_hWnd, target, d.keys);
    // Press on the selected cell and move: the drag starts.
    const CPoint from = CellCenter(2, 1);
    win::input::Drag(grid->m_hWnd, from.x, from.y, from.x + 3, from.y + 3, 2);
    win::PumpMessages();
    EXPECT_EQ(grid->GetItemText(2, 1), d.source) << d.name;
    EXPECT_EQ(grid->GetItemText(6, 2), d.target) << d.name;
    EXPECT_EQ(parent.Count(GVN_BEGINDRAG), 1) << d.name;
    EXPECT_EQ(grid->GetMouseMode(), CGridCtrl::MOUSE_NOTHING) << d.name;
    grid.reset();
  }
}

// Two lines dragged from (2, 1) and (3, 1), or two cells from (2, 1) and (2, 2), and moved: the source is cut only
// when the drop took all of it.
TEST_F(GridTest, AMoveTheDropTakesOnlyPartOfLeavesItsSourceWhole) {
  struct Case {
    const char* name;
    UINT extend;          // Shift and this arrow select the second cell
    int row, col;         // the drop cell
    bool secondReadOnly;  // the cell below the drop cell refuses the text
    const char* source;   // (2, 1) afterwards; the second cell is cut with it
    const char* arrived;  // the drop cell afterwards
  };
  const std::vector<Case> cases = {
      {"both lines arrive: moved", VK_DOWN, 6, 2, false, "", "2/1"},
      {"the second line falls past the last row", VK_DOWN, 9, 2, false, "2/1", "2/1"},
      {"the second cell is read-only", VK_DOWN, 6, 2, true, "2/1", "2/1"},
      {"both cells of a line arrive: moved", VK_RIGHT, 6, 4, false, "", "2/1"},
      {"the second cell falls past the last column", VK_RIGHT, 6, 5, false, "2/1", "2/1"},
  };
  for (const Case& c : cases) {
    MakeGrid(10, 6);
    grid->EnableDragAndDrop(TRUE);
    if (c.secondReadOnly) grid->SetItemState(c.row + 1, c.col, grid->GetItemState(c.row + 1, c.col) | GVIS_READONLY);
    ClickCell(2, 1);
    win::input::KeyWith(VK_SHIFT, c.extend);
    win::script::QueueDrop(grid->m_hWnd, CellCenter(c.row, c.col));
    const CPoint from = CellCenter(2, 1);
    win::input::Drag(grid->m_hWnd, from.x, from.y, from.x + 3, from.y + 3, 2);
    win::PumpMessages();
    const bool cut = std::string(c.source).empty();
    EXPECT_EQ(grid->GetItemText(c.row, c.col), c.arrived) << c.name;
    EXPECT_EQ(grid->GetItemText(2, 1), c.source) << c.name;
    const CCellID second = c.extend == VK_DOWN ? CCellID(3, 1) : CCellID(2, 2);
    const std::string secondText = c.extend == VK_DOWN ? "3/1" : "2/2";
    EXPECT_EQ(grid->GetItemText(second.row, second.col), cut ? "" : secondText) << c.name;
    grid.reset();
  }
}

// The user's hand on a screen: press on the selected cell (2, 1), move out of the drag rectangle, then each step of
// the drag is one wait of the drag loop for input.
struct HandDragCase {
  const char* name;
  bool toOther;        // let go over (6, 2) of a second grid, else over (6, 2) of the same grid
  UINT key;            // pressed over the target: VK_CONTROL copies, VK_ESCAPE cancels
  bool otherAllows;    // the second grid has drag and drop switched on
  const char* source;  // (2, 1) afterwards
  const char* target;  // (6, 2) of the grid let go over, afterwards
};

TEST_F(GridTest, CellsDraggedByHandArriveWhereTheButtonIsLetGoMovedOrCopiedAndEscapeCancels) {
  const std::vector<HandDragCase> cases = {
      {"move to the other grid", true, 0, true, "", "2/1"},
      {"ctrl pressed on the way copies", true, VK_CONTROL, true, "2/1", "2/1"},
      {"escape cancels", true, VK_ESCAPE, true, "2/1", "frei"},
      {"the other grid keeps drag and drop off", true, 0, false, "2/1", "frei"},
      {"move within one grid", false, 0, true, "", "2/1"},
  };
  for (const HandDragCase& d : cases) {
    MakeGrid();
    grid->EnableDragAndDrop(TRUE);
    GridParent otherParent;
    ASSERT_TRUE(otherParent.CreateEx(0, nullptr, "Andere", WS_POPUP | WS_VISIBLE, 500, 0, 460, 320, nullptr, nullptr));
    HookGrid other(30, 6, 1, 1);
    ASSERT_TRUE(other.Create(CRect(0, 0, 440, 300), &otherParent, kGridId));
    other.SetItemText(6, 2, "frei");
    if (d.otherAllows) other.EnableDragAndDrop(TRUE);
    ClickCell(2, 1);
    CGridCtrl* over = d.toOther ? &other : grid.get();
    CRect cell;
    ASSERT_TRUE(over->GetCellRect(6, 2, &cell));
    const CPoint to = cell.CenterPoint();
    win::test::StepScreen screen;
    screen.Then([&](HWND) { win::input::MouseMove(over->m_hWnd, to.x, to.y); });
    if (d.key) screen.Then([&](HWND) { win::input::KeyDown(d.key); });
    if (d.key != VK_ESCAPE) screen.Then([&](HWND) { win::input::MouseUp(over->m_hWnd, to.x, to.y); });
    const CPoint from = CellCenter(2, 1);
    win::input::MouseDown(grid->m_hWnd, from.x, from.y);
    win::input::MouseMove(grid->m_hWnd, from.x + 3, from.y + 3);  // out of the 4 x 4 drag rectangle: the drag runs
    EXPECT_EQ(screen.Left(), 0u) << d.name;
    if (d.key == VK_ESCAPE) win::input::MouseUp(over->m_hWnd, to.x, to.y);
    if (d.key) win::input::KeyUp(d.key);
    win::PumpMessages();
    EXPECT_EQ(grid->GetItemText(2, 1), d.source) << d.name;
    EXPECT_EQ(over->GetItemText(6, 2), d.target) << d.name;
    EXPECT_EQ(parent.Count(GVN_BEGINDRAG), 1) << d.name;
    EXPECT_EQ(grid->GetMouseMode(), CGridCtrl::MOUSE_NOTHING) << d.name;
    EXPECT_EQ(other.GetMouseMode(), CGridCtrl::MOUSE_NOTHING) << d.name;
    EXPECT_EQ(over->GetItemState(6, 2) & GVIS_DROPHILITED, 0u) << d.name << ": the drop mark goes with the drag";
    EXPECT_EQ(GetCapture(), nullptr) << d.name;
    // The mouse is the windows' again: a click selects.
    win::AdvanceClock(1000);
    ClickCell(8, 3);
    EXPECT_TRUE(grid->IsCellSelected(8, 3)) << d.name;
    other.DestroyWindow();
    grid.reset();
  }
}

TEST_F(GridTest, ADragStartsOnlyOutsideTheDragRectangleAndOnlyWhereDragAndDropIsOn) {
  struct Case {
    int by;  // pixels moved right and down with the button held
    bool on;
    int drags;
  };
  // The drag rectangle is 4 x 4 pixels around the press: 2 pixels away is inside it, 3 outside.
  const std::vector<Case> cases = {{2, true, 0}, {3, true, 1}, {8, false, 0}};
  for (const Case& c : cases) {
    MakeGrid();
    grid->EnableDragAndDrop(c.on);
    ClickCell(2, 1);
    win::test::StepScreen screen;  // no steps: a drag that starts ends at once, nothing dropped
    const CPoint from = CellCenter(2, 1);
    win::input::MouseDown(grid->m_hWnd, from.x, from.y);
    win::input::MouseMove(grid->m_hWnd, from.x + c.by, from.y + c.by);
    win::input::MouseUp(grid->m_hWnd, from.x + c.by, from.y + c.by);
    win::PumpMessages();
    EXPECT_EQ(parent.Count(GVN_BEGINDRAG), c.drags) << c.by << " pixels";
    EXPECT_EQ(grid->GetItemText(2, 1), "2/1") << c.by << " pixels";
    grid.reset();
  }
}

TEST_F(GridTest, TheDragImageIsTheFocusCellWithItsSizeAsHotSpot) {
  MakeGrid();
  CPoint hot;
  EXPECT_EQ(grid->CreateDragImage(&hot), nullptr);
  grid->SetFocusCell(3, 2);
  std::unique_ptr<CImageList> image(grid->CreateDragImage(&hot));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetImageCount(), 1);
  EXPECT_EQ(hot, CPoint(grid->GetColumnWidth(2) - 1, grid->GetRowHeight(3) - 1));
}

// ---- title tip -------------------------------------------------------------------------------------------------

TEST_F(GridTest, ATitleTipShowsACutOffTextOnlyOverItsCell) {
  MakeGrid();
  grid->SetItemText(2, 3, "Wind aus Westen mit Sog auf der Leeseite");
  CPoint longText = CellCenter(2, 3);
  win::input::MouseMove(grid->m_hWnd, longText.x, longText.y);
  win::PumpMessages();
  EXPECT_TRUE(grid->TitleTip().IsWindowVisible());
  EXPECT_EQ(grid->TitleTip().ShownText(), " Wind aus Westen mit Sog auf der Leeseite ");
  // Leaving the cell hides it; a short text shows none.
  CPoint shortText = CellCenter(3, 2);
  win::input::MouseMove(grid->m_hWnd, shortText.x, shortText.y);
  win::PumpMessages();
  EXPECT_FALSE(grid->TitleTip().IsWindowVisible());
}

TEST_F(GridTest, AClickOnTheTitleTipReachesTheCellUnderIt) {
  MakeGrid();
  grid->SetItemText(5, 2, "Wind aus Westen mit Sog auf der Leeseite");
  const CPoint p = CellCenter(5, 2);
  win::input::MouseMove(grid->m_hWnd, p.x, p.y);
  win::PumpMessages();
  ASSERT_TRUE(grid->TitleTip().IsWindowVisible());
  // The click lands on the tip, which lies over the cell; the grid gets it in its own coordinates.
  CPoint onTip = p;
  grid->ClientToScreen(&onTip);
  grid->TitleTip().ScreenToClient(&onTip);
  win::input::Click(grid->TitleTip().m_hWnd, onTip.x, onTip.y);
  win::PumpMessages();
  EXPECT_FALSE(grid->TitleTip().IsWindowVisible());
  EXPECT_EQ(Focus(), CCellID(5, 2));
  EXPECT_EQ(parent.Count(GVN_CLICK), 1);
}

TEST_F(GridTest, TwoQuickPressesOnTheTitleTipReachTheGridAsADoubleClick) {
  MakeGrid();
  grid->SetItemText(5, 2, "Wind aus Westen mit Sog auf der Leeseite");
  const CPoint p = CellCenter(5, 2);
  auto pressOnTip = [&] {
    win::input::MouseMove(grid->m_hWnd, p.x + 1, p.y);
    win::input::MouseMove(grid->m_hWnd, p.x, p.y);
    win::PumpMessages();
    ASSERT_TRUE(grid->TitleTip().IsWindowVisible());
    CPoint onTip = p;
    grid->ClientToScreen(&onTip);
    grid->TitleTip().ScreenToClient(&onTip);
    win::input::Click(grid->TitleTip().m_hWnd, onTip.x, onTip.y);
    win::PumpMessages();
  };
  pressOnTip();
  EXPECT_EQ(parent.Count(GVN_DBLCLK), 0);
  win::AdvanceClock(100);  // well within the double-click time
  pressOnTip();
  EXPECT_EQ(parent.Count(GVN_DBLCLK), 1);
  EXPECT_EQ(parent.Last(GVN_DBLCLK)->row, 5);
}

// ---- sorting ---------------------------------------------------------------------------------------------------

TEST_F(GridTest, TwoClicksOnASortingHeaderSortAscendingThenDescending) {
  MakeGrid(6, 3);
  const char* values[] = {"", "b", "d", "a", "e", "c"};
  for (int r = 1; r < 6; ++r) grid->SetItemText(r, 1, values[r]);
  grid->SetHeaderSort(TRUE);
  ClickCell(0, 1);
  std::string order;
  for (int r = 1; r < 6; ++r) order += grid->GetItemText(r, 1).GetString();
  EXPECT_EQ(order, "abcde");
  ClickCell(0, 1);
  order.clear();
  for (int r = 1; r < 6; ++r) order += grid->GetItemText(r, 1).GetString();
  EXPECT_EQ(order, "edcba");
  // Each cell knows its new row: the row's number column moved with it ("e" was row 4).
  EXPECT_EQ(grid->GetItemText(1, 0), "4");
}

// ---- core ------------------------------------------------------------------------------------------------------

TEST_F(GridTest, CountsKeepCellsFocusAndFixedStateInStep) {
  CGridCtrl empty;
  EXPECT_EQ(empty.GetRowCount(), 0);
  EXPECT_EQ(empty.GetCell(0, 0), nullptr);
  // Fixed rows beyond the rows raise the row count.
  EXPECT_TRUE(empty.SetFixedRowCount(3));
  EXPECT_EQ(empty.GetRowCount(), 3);

  MakeGrid();
  grid->SetItemBkColour(4, 2, RGB(255, 0, 0));
  // Row 4 becomes a fixed row: its cells carry the fixed bits and lose their own colours.
  EXPECT_TRUE(grid->SetFixedRowCount(5));
  EXPECT_EQ(grid->GetItemState(4, 2) & (GVIS_FIXED | GVIS_FIXEDROW), UINT(GVIS_FIXED | GVIS_FIXEDROW));
  EXPECT_EQ(grid->GetCell(4, 2)->GetBackClr(), CLR_DEFAULT);
  EXPECT_TRUE(grid->SetFixedRowCount(1));
  EXPECT_EQ(grid->GetItemState(4, 2) & GVIS_FIXED, 0u);
  // Lowering the row count below the focus row clears the focus.
  grid->SetFocusCell(20, 2);
  EXPECT_TRUE(grid->SetRowCount(10));
  EXPECT_FALSE(grid->IsValid(grid->GetFocusCell()));
  // Positions outside the grid change nothing.
  EXPECT_FALSE(grid->SetItemText(10, 1, "x"));
  EXPECT_FALSE(grid->SetColumnWidth(-1, 5));
  EXPECT_FALSE(grid->SetColumnWidth(2, -5));
  EXPECT_EQ(grid->GetColumnWidth(6), -1);
}

TEST_F(GridTest, TheVerticalBarAppearsWithTheFirstRowThatDoesNotFit) {
  MakeGrid(5, 3, 300, 200);
  EXPECT_EQ(grid->GetVertRange(), 0);
  EXPECT_EQ(grid->GetBarsShown() & 2, 0);
  const int h = grid->GetRowHeight(1);
  CRect client;
  grid->GetClientRect(&client);
  // Rows until the data no longer fit below the header.
  const int fitting = (client.Height() - h) / h;
  grid->SetRowCount(1 + fitting + 1);
  EXPECT_NE(grid->GetBarsShown() & 2, 0);
  // The range is the scrollable height less one: all data rows.
  EXPECT_EQ(grid->GetVertRange(), (fitting + 1) * h - 1);
  // Line-down at the end does nothing.
  grid->SendMessage(WM_VSCROLL, SB_BOTTOM);
  const int end = grid->GetScrollPos32(SB_VERT);
  grid->SendMessage(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(grid->GetScrollPos32(SB_VERT), end);
}

TEST_F(GridTest, GridLineModesDrawOnlyTheirLines) {
  for (int mode : {GVL_NONE, GVL_HORZ, GVL_VERT, GVL_BOTH}) {
    MakeGrid();
    grid->SetGridLines(mode);
    Picture img(grid.get());
    CRect cell;
    ASSERT_TRUE(grid->GetCellRect(5, 2, &cell));
    const bool vertical = img.At(cell.right, cell.top + 4) == RGB(192, 192, 192);
    const bool horizontal = img.At(cell.left + 4, cell.bottom) == RGB(192, 192, 192);
    EXPECT_EQ(vertical, (mode & GVL_VERT) != 0) << mode;
    EXPECT_EQ(horizontal, (mode & GVL_HORZ) != 0) << mode;
    grid.reset();
  }
}

TEST_F(GridTest, ARightClickOnAHeaderMovesTheFocusIntoTheDataAndTellsTheParent) {
  MakeGrid();
  const CPoint p = CellCenter(6, 0);
  win::input::Click(grid->m_hWnd, p.x, p.y, VK_RBUTTON);
  win::PumpMessages();
  EXPECT_EQ(Focus(), CCellID(6, 1));
  const Notice* n = parent.Last(GVN_RCLICK);
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->row, 6);
  EXPECT_EQ(n->col, 0);
}

TEST_F(GridTest, AButtonCellCallsItsHookWhenClickedOrOnSpace) {
  MakeGrid();
  ASSERT_TRUE(grid->SetCellType(3, 2, RUNTIME_CLASS(CGridCellButton)));
  ClickCell(3, 2);
  ASSERT_EQ(grid->buttons.size(), 1u);
  EXPECT_EQ(grid->buttons[0], CCellID(3, 2));
  win::input::Key(VK_SPACE);
  win::PumpMessages();
  EXPECT_EQ(grid->buttons.size(), 2u);
}

// ---- degenerate grids ------------------------------------------------------------------------------------------

TEST_F(GridTest, EmptyGridsAndHiddenColumnsDrawScrollAndTakeKeysWithoutHarm) {
  for (auto [rows, cols] : std::vector<std::pair<int, int>>{{0, 0}, {0, 4}, {5, 0}, {1, 1}}) {
    grid = std::make_unique<HookGrid>(rows, cols, std::min(rows, 1), std::min(cols, 1));
    ASSERT_TRUE(grid->Create(CRect(0, 0, 200, 120), &parent, kGridId));
    win::RenderWindow(grid->m_hWnd);
    for (UINT code : {SB_LINEDOWN, SB_PAGEDOWN, SB_BOTTOM, SB_LINEUP})
      grid->SendMessage(WM_VSCROLL, code), grid->SendMessage(WM_HSCROLL, code);
    grid->SetFocus();
    for (UINT key : {VK_DOWN, VK_RIGHT, VK_NEXT, VK_END, VK_TAB}) win::input::Key(key);
    win::PumpMessages();
    EXPECT_EQ(grid->GetVertRange(), 0) << rows << "x" << cols;
    EXPECT_FALSE(grid->IsValid(grid->GetFocusCell())) << rows << "x" << cols;
    grid.reset();
  }
  MakeGrid();
  for (int c = 0; c < 6; ++c) grid->SetColumnWidth(c, 0);
  win::RenderWindow(grid->m_hWnd);
  grid->SetFocusCell(2, 2);
  for (UINT key : {VK_RIGHT, VK_LEFT, VK_HOME, VK_END}) win::input::Key(key);
  win::PumpMessages();
  EXPECT_EQ(grid->GetHorzRange(), 0);
}

// The parent of a virtual grid: every cell's text is its coordinates.
BOOL VirtualText(GridDisplayInfo* info, LPARAM) {
  info->item.strText.Format("%d:%d", info->item.row, info->item.col);
  return TRUE;
}

TEST_F(GridTest, AVirtualGridOfAHundredThousandRowsScrollsToItsEndAndShowsTheLastRow) {
  grid = std::make_unique<HookGrid>(0, 0, 0, 0);
  grid->SetVirtualMode(TRUE);
  grid->SetCallbackFunc(&VirtualText, 0);
  grid->SetRowCount(100000);
  grid->SetColumnCount(5);
  grid->SetFixedRowCount(1);
  grid->SetFixedColumnCount(1);
  ASSERT_TRUE(grid->Create(CRect(0, 0, 400, 300), &parent, kGridId));
  EXPECT_FALSE(grid->SetItemText(5, 2, "x"));
  EXPECT_FALSE(grid->SetCellType(5, 2, RUNTIME_CLASS(CGridCellCheck)));
  const int h = grid->GetRowHeight(1);
  // 99,999 data rows less one pixel.
  EXPECT_EQ(grid->GetVertRange(), 99999 * h - 1);
  grid->SetFocusCell(1, 1);
  grid->SetFocus();
  win::input::KeyWith(VK_CONTROL, VK_END);
  win::PumpMessages();
  EXPECT_EQ(grid->GetFocusCell(), CCellID(99999, 4));
  EXPECT_TRUE(grid->IsCellVisible(99999, 4));
  EXPECT_EQ(grid->GetItemText(99999, 4), "99999:4");
  // Selection beyond row 65,535 is not mistaken for a row 65,536 rows earlier.
  EXPECT_TRUE(grid->IsCellSelected(99999, 4));
  EXPECT_FALSE(grid->IsCellSelected(99999 - 65536, 4));
  CCellBlock visible = grid->GetVisibleNonFixedCellRange();
  EXPECT_EQ(visible.maxRow, 99999);
  win::RenderWindow(grid->m_hWnd);
  SavePicture("grid-virtual");
}

// ---- printing --------------------------------------------------------------------------------------------------

// Cells that note where they were printed.
std::vector<CCellID>& PrintedCells() {
  static std::vector<CCellID> printed;
  return printed;
}
class NotingCell : public CGridCell {
  DECLARE_DYNCREATE(NotingCell)
 public:
  BOOL PrintCell(CDC* dc, int row, int col, CRect rect) override {
    PrintedCells().emplace_back(row, col);
    return CGridCell::PrintCell(dc, row, col, rect);
  }
};
IMPLEMENT_DYNCREATE(NotingCell, CGridCell)

class FooterGrid : public HookGrid {
 public:
  using HookGrid::HookGrid;
  std::vector<std::string> footers;
  void PrintFooter(CDC* dc, CPrintInfo* info) override {
    footers.push_back(PageFooterText(int(info->m_nCurPage)).GetString());
    CGridCtrl::PrintFooter(dc, info);
  }
};

int PdfPages(const std::string& pdf) {
  std::regex page(R"(/Type\s*/Page[^s])");
  return int(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

TEST_F(GridTest, AGridOfThreePagesPrintsEveryRowOnceHeadersOnEachPageAndPageTwoOfThree) {
  FooterGrid printGrid(0, 0, 0, 0);
  printGrid.SetDefaultCellType(RUNTIME_CLASS(NotingCell));
  printGrid.SetColumnCount(6);
  printGrid.SetFixedColumnCount(1);
  ASSERT_TRUE(printGrid.Create(CRect(0, 0, 440, 300), &parent, kGridId));
  win::print::PageSetup paper;
  paper.dpi = 72;
  // The smallest number of rows, in steps of ten, that fills three pages.
  int rows = 0;
  for (int n = 10; n <= 2000 && rows == 0; n += 10) {
    printGrid.SetRowCount(n);
    printGrid.SetFixedRowCount(1);
    CDC dc;
    dc.Attach(win::print::CreatePrinterDC(paper));
    CPrintInfo info;
    printGrid.OnBeginPrinting(&dc, &info);
    printGrid.OnEndPrinting(&dc, &info);
    dc.DeleteDC();
    if (printGrid.GetPrintPageCount() == 3) rows = n;
  }
  ASSERT_GT(rows, 0);
  for (int r = 1; r < rows; ++r) printGrid.SetItemText(r, 1, std::to_string(r).c_str());
  PrintedCells().clear();
  const char* keep = std::getenv("KOLUMO_PICTURES");
  const std::string pdf = (keep ? std::string(keep) + "/" : testing::TempDir()) + "grid-print.pdf";
  win::print::Job job;
  job.begin = [&](CDC* dc, CPrintInfo* info) { printGrid.OnBeginPrinting(dc, info); };
  job.page = [&](CDC* dc, CPrintInfo* info) { printGrid.OnPrint(dc, info); };
  job.end = [&](CDC* dc, CPrintInfo* info) { printGrid.OnEndPrinting(dc, info); };
  ASSERT_TRUE(win::print::PrintDocument(pdf, "Lasten", job, paper)) << win::print::LastError();
  std::ifstream in(pdf, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(PdfPages(bytes), 3);
  EXPECT_EQ(printGrid.footers, (std::vector<std::string>{"Page 1 of 3", "Page 2 of 3", "Page 3 of 3"}));
  // Each data cell once; each header cell (row 0) once per page; each row number cell once.
  std::map<std::pair<int, int>, int> times;
  for (const CCellID& c : PrintedCells()) ++times[{c.row, c.col}];
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < 6; ++c) EXPECT_EQ(times[std::make_pair(r, c)], r == 0 ? 3 : 1) << r << "," << c;
  if (!keep) std::remove(pdf.c_str());
}

TEST_F(GridTest, AtScreenScaleAWideGridRunsAcrossPagesAndStillPrintsEveryCellOnce) {
  FooterGrid printGrid(0, 0, 0, 0);
  printGrid.SetDefaultCellType(RUNTIME_CLASS(NotingCell));
  printGrid.SetRowCount(60);
  printGrid.SetColumnCount(12);
  printGrid.SetFixedRowCount(1);
  printGrid.SetFixedColumnCount(1);
  ASSERT_TRUE(printGrid.Create(CRect(0, 0, 440, 300), &parent, kGridId));
  for (int c = 0; c < 12; ++c) printGrid.SetColumnWidth(c, 150);
  printGrid.SetPrintAtScreenScale(TRUE);
  win::print::PageSetup paper;
  paper.dpi = 72;
  PrintedCells().clear();
  win::print::Job job;
  job.begin = [&](CDC* dc, CPrintInfo* info) { printGrid.OnBeginPrinting(dc, info); };
  job.page = [&](CDC* dc, CPrintInfo* info) { printGrid.OnPrint(dc, info); };
  job.end = [&](CDC* dc, CPrintInfo* info) { printGrid.OnEndPrinting(dc, info); };
  const std::string pdf = testing::TempDir() + "grid-wide.pdf";
  ASSERT_TRUE(win::print::PrintDocument(pdf, "Lasten", job, paper)) << win::print::LastError();
  std::remove(pdf.c_str());
  const int pages = printGrid.GetPrintPageCount();
  // 11 data columns of 150 do not fit one A4 width at screen scale: more than one page across.
  ASSERT_GT(pages, 2);
  ASSERT_EQ(int(printGrid.footers.size()), pages);
  EXPECT_EQ(printGrid.footers.back(), "Page " + std::to_string(pages) + " of " + std::to_string(pages));
  std::map<std::pair<int, int>, int> times;
  for (const CCellID& c : PrintedCells()) ++times[std::make_pair(c.row, c.col)];
  for (int r = 1; r < 60; ++r)
    for (int c = 1; c < 12; ++c) EXPECT_EQ(times[std::make_pair(r, c)], 1) << r << "," << c;
}

// The header and footer are drawn on a page 2.48 times its logical size (an A4 width of 1240 pixels over 500 logical
// units) into a rect 0..500 x 40..70 logical, 0..1240 x 100..175 device. Returns the ink's left and right end in the
// right half of the page between the device rows y0 and y1.
std::pair<int, int> RightHalfInkOnAScaledPage(const std::function<void(CDC&, CPrintInfo&)>& print, int y0, int y1) {
  constexpr int kW = 1240, kH = 200;
  HDC raw = ::CreateCompatibleDC(nullptr);
  HBITMAP bitmap = ::CreateBitmap(kW, kH, 1, 32, nullptr);
  HGDIOBJ oldBitmap = ::SelectObject(raw, bitmap);
  RECT all{0, 0, kW, kH};
  ::FillRect(raw, &all, HBRUSH(::GetStockObject(WHITE_BRUSH)));
  CDC dc;
  dc.Attach(raw);
  CPrintInfo info;
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(500, 80);
  dc.SetViewportExt(kW, kH);
  info.m_rectDraw = CRect(0, 40, 500, 70);
  info.m_nCurPage = 1;
  print(dc, info);
  dc.Detach();
  std::vector<std::uint32_t> pixels(std::size_t(kW) * kH);
  ::GetBitmapBits(bitmap, LONG(pixels.size() * 4), pixels.data());
  int left = kW, right = -1;
  for (int y = y0; y < y1; ++y)
    for (int x = kW / 2; x < kW; ++x)
      if ((pixels[std::size_t(y) * kW + std::size_t(x)] & 0xFFFFFF) != 0xFFFFFF) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  ::SelectObject(raw, oldBitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(raw);
  return {left, right};
}

// The width of a text in the bold font of 10 logical units, which is 25 pixels high on that page.
int BoldWidthOnTheScaledPage(const std::string& text) {
  HDC plain = ::CreateCompatibleDC(nullptr);
  HFONT font = ::CreateFont(-25, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS,
                            CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
  HGDIOBJ oldFont = ::SelectObject(plain, font);
  SIZE size{};
  ::GetTextExtentPoint32(plain, text.c_str(), int(text.size()), &size);
  ::SelectObject(plain, oldFont);
  ::DeleteObject(font);
  ::DeleteDC(plain);
  return int(size.cx);
}

TEST_F(GridTest, TheFootersDateEndsAtTheRightEdgeOfAScaledPage) {
  // The date is set right-aligned in the footer, so its ink ends at the edge and spans the width the bold font gives
  // it there. Cut at the edge, it would span less.
  FooterGrid printGrid(0, 0, 0, 0);
  ASSERT_TRUE(printGrid.Create(CRect(0, 0, 440, 300), &parent, kGridId));
  auto now = [] {
    char when[128] = {};
    std::time_t t = std::time(nullptr);
    std::strftime(when, sizeof(when), "%c", std::localtime(&t));
    return std::string(when);
  };
  // The footer prints the time to the second: a print during which the second turns is taken again.
  std::string date;
  std::pair<int, int> ink;
  bool sameSecond = false;
  for (int attempt = 0; attempt < 5 && !sameSecond; ++attempt) {
    date = now();
    ink = RightHalfInkOnAScaledPage(
        [&](CDC& dc, CPrintInfo& info) {
          printGrid.OnBeginPrinting(&dc, &info);
          printGrid.PrintFooter(&dc, &info);
        },
        104, 175);
    sameSecond = now() == date;
  }
  if (!sameSecond) GTEST_SKIP() << "the second turned during every print";
  const auto [left, right] = ink;
  ASSERT_GE(right, 0) << "no date drawn";
  EXPECT_GE(right, 1240 - 4) << "the date ends at the edge";
  EXPECT_LE(right, 1240 - 1);
  EXPECT_GE(right - left + 1, BoldWidthOnTheScaledPage(date) - 4) << date << ": cut at the edge";
}

TEST_F(GridTest, TheHeadersApplicationNameEndsAtTheRightEdgeOfAScaledPage) {
  // The application's name is set right-aligned in the header above its rule (device row 175): on the scaled page it
  // ends at the edge with the full width of the bold font there. Measured at its logical size and drawn at the
  // device size it ran past the edge and was cut.
  const std::string app = "Column design 2026";
  win::RegisterString(AFX_IDS_APP_TITLE, app);
  FooterGrid printGrid(0, 0, 0, 0);
  ASSERT_TRUE(printGrid.Create(CRect(0, 0, 440, 300), &parent, kGridId));
  const auto [left, right] = RightHalfInkOnAScaledPage(
      [&](CDC& dc, CPrintInfo& info) {
        printGrid.OnBeginPrinting(&dc, &info);
        printGrid.PrintHeader(&dc, &info);
      },
      100, 172);
  win::RegisterString(AFX_IDS_APP_TITLE, "");
  ASSERT_GE(right, 0) << "no name drawn";
  EXPECT_GE(right, 1240 - 4) << "the name ends at the edge";
  EXPECT_LE(right, 1240 - 1);
  EXPECT_GE(right - left + 1, BoldWidthOnTheScaledPage(app) - 4) << "cut at the edge";
}

}  // namespace
