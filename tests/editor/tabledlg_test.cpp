// The table dialog: its row operations, templates, and the dialog driven by mouse and keyboard.
#include "editor/tabledlg.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/editor/editor_test_util.h"

namespace fs = std::filesystem;

std::string editortest::ScratchDir(const std::string& name) {
  // The process id keeps tests that run at the same time apart.
  const fs::path dir = fs::temp_directory_path() / ("kolumo-editor-" + name + "-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir.string();
}

namespace {

RtfTableRow Row(std::vector<long> boundaries, std::vector<std::string> cells = {}) {
  RtfTableRow row;
  row.cellCount = int(boundaries.size());
  row.boundaries = std::move(boundaries);
  if (cells.empty()) cells.assign(row.boundaries.size(), "x");
  row.cells = std::move(cells);
  return row;
}

// A three-column table whose second row has only two cells and whose third has one.
std::vector<RtfTableRow> ShortRowTable() { return {Row({1000, 2000, 3000}), Row({1000, 2000}), Row({4000})}; }

TEST(TableRows, ARowClosingWithFewerCellsThanBoundariesEndsAtItsOwnRow) {
  // Row 1 declares three boundaries but closes after two cells; before the mend the third cell was looked for
  // behind "\row" and swallowed row 2. Expected by hand: two rows, row 1 with " a", " b", row 2 with three cells.
  const std::string row1 = "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl a\\cell b\\cell\\row";
  const std::string row2 = "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl c\\cell d\\cell e\\cell\\row";
  std::vector<RtfTableRow> rows;
  ASSERT_EQ(ParseRtfTable(row1 + "\n" + row2, rows), 2);
  EXPECT_EQ(rows[0].boundaries, (std::vector<long>{1000, 2000, 3000}));
  EXPECT_EQ(rows[0].cells, (std::vector<std::string>{" a", " b"}));
  EXPECT_EQ(rows[0].end, int(row1.size()));
  EXPECT_EQ(rows[1].start, int(row1.size()) + 1);
  EXPECT_EQ(rows[1].cells, (std::vector<std::string>{" c", " d", " e"}));
  // Written back, the short row is what it was.
  std::string out;
  WriteRtfTableRow(rows[0], out);
  EXPECT_EQ(out, row1);
}

TEST(TableRows, ColumnOperationsTouchOnlyTheCellsARowHas) {
  struct Case {
    const char* what;
    void (*op)(std::vector<RtfTableRow>&);
    std::vector<long> first, second, third;
  };
  const Case cases[] = {
      // Boundary 1 is inner in row 1 but row 2's right edge: only row 1 moves.
      {"move boundary 1 by 500",
       [](auto& r) { table::MoveBoundary(r, 1, 500); },
       {1000, 2500, 3000},
       {1000, 2000},
       {4000}},
      {"move boundary 0 by -200",
       [](auto& r) { table::MoveBoundary(r, 0, -200); },
       {800, 2000, 3000},
       {800, 2000},
       {4000}},
      {"past its neighbour",
       [](auto& r) { table::MoveBoundary(r, 0, 1001); },
       {1000, 2000, 3000},
       {1000, 2000},
       {4000}},
      // Column 3 is missing in row 2; the only column of row 3 stays.
      {"delete column 3", [](auto& r) { table::DeleteColumn(r, 3); }, {1000, 2000}, {1000, 2000}, {4000}},
      {"delete column 1", [](auto& r) { table::DeleteColumn(r, 1); }, {2000, 3000}, {2000}, {4000}},
      // Column 2 spans 1000..2000: halves at 1500.
      {"insert left of 2",
       [](auto& r) { table::InsertColumnLeft(r, 2); },
       {1000, 1500, 2000, 3000},
       {1000, 1500, 2000},
       {4000}},
      {"insert right of 1",
       [](auto& r) { table::InsertColumnRight(r, 1); },
       {500, 1000, 2000, 3000},
       {500, 1000, 2000},
       {2000, 4000}},
      // Added columns are 1 cm = 567 twips each.
      {"columns to 2", [](auto& r) { table::SetColumnCount(r, 2); }, {1000, 2000}, {1000, 2000}, {4000, 4567}},
  };
  for (const Case& c : cases) {
    std::vector<RtfTableRow> rows = ShortRowTable();
    c.op(rows);
    EXPECT_EQ(rows[0].boundaries, c.first) << c.what;
    EXPECT_EQ(rows[1].boundaries, c.second) << c.what;
    EXPECT_EQ(rows[2].boundaries, c.third) << c.what;
    for (const RtfTableRow& row : rows) {
      EXPECT_EQ(row.cellCount, int(row.boundaries.size())) << c.what;
      EXPECT_LE(row.cells.size(), row.boundaries.size()) << c.what;
    }
  }
}

TEST(TableRows, TotalWidthByMode) {
  struct Case {
    int width, mode;
    bool accepted;
    std::vector<long> first;
  };
  const Case cases[] = {
      {6000, 0, true, {2000, 4000, 6000}},   // doubled in proportion
      {3500, 1, true, {1500, 2500, 3500}},   // first column 1000 + 500
      {2049, 1, false, {1000, 2000, 3000}},  // first column would be 49 twips
      {2050, 1, true, {50, 1050, 2050}},     // exactly 50 twips is allowed
      {3500, 2, true, {1000, 2000, 3500}},   // last column 1000 + 500
      {2049, 2, false, {1000, 2000, 3000}},
  };
  for (const Case& c : cases) {
    std::vector<RtfTableRow> rows = {Row({1000, 2000, 3000})};
    EXPECT_EQ(table::ChangeWidth(rows, c.width, c.mode), c.accepted) << c.width << " mode " << c.mode;
    EXPECT_EQ(rows[0].boundaries, c.first) << c.width << " mode " << c.mode;
  }
}

TEST(TableRows, RowCountMarksAndUnmarks) {
  std::vector<RtfTableRow> rows = {Row({1000, 2000}), Row({1500, 2000})};
  table::SetRowCount(rows, 4);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[3].boundaries, (std::vector<long>{1500, 2000})) << "copies the last row's layout";
  EXPECT_EQ(rows[3].cells, (std::vector<std::string>{" ", " "}));
  EXPECT_EQ(rows[3].start, -1);
  table::SetRowCount(rows, 1);
  EXPECT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].deleted + rows[1].deleted + rows[2].deleted + rows[3].deleted, 3);
  table::SetRowCount(rows, 3);
  EXPECT_EQ(rows[2].deleted, 0);
  EXPECT_EQ(rows[3].deleted, 1);
}

TEST(TableTemplates, WriteReadAndApply) {
  const std::string dir = editortest::ScratchDir("ttp");
  const std::string path = dir + "/drei.ttp";
  TableTemplate t;
  t.nCol = 3;
  t.nRow = 2;
  t.nWidth = 4500;
  t.colWidth = {1000, 1500, 2000};
  std::string reason;
  ASSERT_TRUE(WriteTableTemplate(path, t, reason)) << reason;
  TableTemplate back;
  ASSERT_TRUE(ReadTableTemplate(path, back, reason)) << reason;
  EXPECT_EQ(back.colWidth, t.colWidth);
  EXPECT_EQ(back.nRow, 2);
  EXPECT_EQ(back.nWidth, 4500);
  EXPECT_TRUE(back.defaultText.empty());
  // Five columns take the template's three; boundaries are the running sums 1000, 2500, 4500.
  std::vector<RtfTableRow> rows = {Row({500, 1000, 1500, 2000, 2500}, {"a", "", "c", "d", "e"}), Row({100})};
  table::ApplyTemplate(rows, back);
  for (const RtfTableRow& row : rows) {
    EXPECT_EQ(row.boundaries, (std::vector<long>{1000, 2500, 4500}));
    EXPECT_EQ(row.cellCount, 3);
  }
  EXPECT_EQ(rows[0].cells, (std::vector<std::string>{"a", " ", "c"}));
  EXPECT_EQ(rows[1].cells, (std::vector<std::string>{"x", " ", " "}));

  struct Bad {
    const char* name;
    const char* content;
  };
  const Bad bad[] = {{"kein.ttp", "<root><other nCol=\"1\"/></root>"},
                     {"kaputt.ttp", "<root><table nCol=\"2\""},
                     {"null.ttp", "<root><table nCol=\"2\" nRow=\"1\" colWidth_0=\"100\"/></root>"},
                     {"riesig.ttp", "<root><table nCol=\"100000\" nRow=\"1\"/></root>"}};
  for (const Bad& b : bad) {
    std::ofstream(dir + "/" + b.name) << b.content;
    TableTemplate untouched = back;
    reason.clear();
    EXPECT_FALSE(ReadTableTemplate(dir + "/" + b.name, untouched, reason)) << b.name;
    EXPECT_FALSE(reason.empty()) << b.name;
    EXPECT_EQ(untouched.colWidth, back.colWidth) << b.name;
  }
  EXPECT_FALSE(ReadTableTemplate(dir + "/fehlt.ttp", back, reason));
}

class TableDialogTest : public win::test::WindowTest {};

TEST_F(TableDialogTest, MouseDragsABoundaryAndTheMenuInsertsAColumn) {
  GridDlg dlg;
  dlg.m_rows = {Row({2835, 5670, 8505}, {"Bauteil", "Wert", "Einheit"}), Row({2835, 5670}, {"b", "0,30"}),
                Row({2835, 5670, 8505}, {"h", "0,50", "m"})};
  win::script::QueueDialog([](CDialog& d) {
    auto& g = static_cast<GridDlg&>(d);
    win::PumpMessages();
    EXPECT_EQ(g.m_nCols, 3);
    EXPECT_EQ(g.m_nRows, 3);
    CString label;
    g.GetDlgItemText(IDC_TABLE_WIDTH_LABEL, label);
    EXPECT_EQ(label, CString("Aktuell: 15.0 cm ändern auf:"));  // 8505 twips = 15.0 cm
    editortest::SavePicture(g.m_hWnd, "table-dialog");
    // Drag the first inner boundary (id n + 1 = 4) right by 1 cm of pixels.
    const HWND schematic = g.SchematicWindow();
    const CPoint b = g.ObjectPoint(4);
    const int cm = int(g.SchematicScale() + 0.5);
    win::input::Drag(schematic, b.x, b.y, b.x + cm, b.y);
    EXPECT_EQ(g.m_nSelected, 4);
    EXPECT_NEAR(double(g.m_rows[0].boundaries[0]), 2835 + 567, 567 * 0.15) << "about 1 cm further";
    EXPECT_EQ(g.m_rows[1].boundaries[0], g.m_rows[0].boundaries[0]);
    EXPECT_EQ(g.m_rows[0].boundaries[1], 5670);
    // Right click on column 3: the menu's "insert right" splits it; the short row is left alone.
    const CPoint c3 = g.ObjectPoint(3);
    win::script::QueueMenuItem("Spalte einfügen RECHTS");
    win::input::Click(schematic, c3.x, c3.y, VK_RBUTTON);
    EXPECT_EQ(g.m_nCols, 4);
    EXPECT_EQ(g.m_rows[0].boundaries, (std::vector<long>{g.m_rows[0].boundaries[0], 5670, 7088, 8505}));
    EXPECT_EQ(g.m_rows[0].cells[3], "") << "the new cell at the right is empty";
    EXPECT_EQ(g.m_rows[1].cellCount, 2);
    const CPoint c2 = g.ObjectPoint(2);
    win::input::Click(schematic, c2.x, c2.y);
    EXPECT_EQ(g.m_nSelected, 2);
    editortest::SavePicture(g.m_hWnd, "table-dialog-edited");
    g.EndDialog(IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST_F(TableDialogTest, WidthAndCountsThroughTheFields) {
  GridDlg dlg;
  dlg.m_rows = {Row({1000, 2000, 3000})};
  win::script::QueueDialog([](CDialog& d) {
    auto& g = static_cast<GridDlg&>(d);
    // 0.09 cm changes nothing.
    g.SetDlgItemText(IDC_TABLE_NEW_WIDTH, "0.09");
    g.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TABLE_APPLY_WIDTH, BN_CLICKED), 0);
    EXPECT_EQ(g.m_rows[0].boundaries.back(), 3000);
    // The first column cannot give 3000 - 1000 + 50 twips: refused with the message, nothing changed.
    static_cast<CComboBox*>(g.GetDlgItem(IDC_TABLE_WIDTH_MODE))->SetCurSel(1);
    g.SetDlgItemText(IDC_TABLE_NEW_WIDTH, "1");  // 567 twips
    win::msgbox::QueueAnswer(IDOK);
    g.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TABLE_APPLY_WIDTH, BN_CLICKED), 0);
    EXPECT_EQ(g.m_rows[0].boundaries, (std::vector<long>{1000, 2000, 3000}));
    ASSERT_FALSE(win::msgbox::Log().empty());
    EXPECT_NE(win::msgbox::Log().back().text.find("erste Spalte ist zu schmal"), std::string::npos);
    // Rows 2 -> 3 added, columns 3 -> 2.
    g.SetDlgItemText(IDC_TABLE_ROWS, "3");
    g.SetDlgItemText(IDC_TABLE_COLUMNS, "2");
    g.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TABLE_APPLY_COUNTS, BN_CLICKED), 0);
    EXPECT_EQ(g.m_rows.size(), 3u);
    EXPECT_EQ(g.m_rows[2].boundaries, (std::vector<long>{1000, 2000}));
    // A column count of 0 is refused by the field check with a message.
    g.SetDlgItemText(IDC_TABLE_COLUMNS, "0");
    win::msgbox::QueueAnswer(IDOK);
    g.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TABLE_APPLY_COUNTS, BN_CLICKED), 0);
    EXPECT_EQ(g.m_rows[0].cellCount, 2);
    g.EndDialog(IDCANCEL);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(TableDialogTest, TemplateSavedAndLoadedThroughTheFileDialogs) {
  const std::string dir = editortest::ScratchDir("ttp-dialog");
  GridDlg dlg;
  dlg.m_rows = {Row({1134, 3402})};
  win::script::QueueDialog([&](CDialog& d) {
    auto& g = static_cast<GridDlg&>(d);
    win::script::QueueFileDialog(dir + "/zwei.ttp");
    g.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TABLE_SAVE_TEMPLATE, BN_CLICKED), 0);
    TableTemplate t;
    std::string reason;
    ASSERT_TRUE(ReadTableTemplate(dir + "/zwei.ttp", t, reason)) << reason;
    EXPECT_EQ(t.colWidth, (std::vector<int>{1134, 2268}));
    EXPECT_EQ(t.nWidth, 3402);
    // Saving again over it, answered "No", leaves the file.
    table::SetColumnCount(g.m_rows, 3);
    win::script::QueueFileDialog(dir + "/zwei.ttp");
    win::msgbox::QueueAnswer(IDNO);
    g.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TABLE_SAVE_TEMPLATE, BN_CLICKED), 0);
    ASSERT_TRUE(ReadTableTemplate(dir + "/zwei.ttp", t, reason));
    EXPECT_EQ(t.nCol, 2);
    // Loading it back gives every row two columns.
    win::script::QueueFileDialog(dir + "/zwei.ttp");
    g.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TABLE_LOAD_TEMPLATE, BN_CLICKED), 0);
    EXPECT_EQ(g.m_rows[0].boundaries, (std::vector<long>{1134, 3402}));
    EXPECT_EQ(g.GetDlgItemInt(IDC_TABLE_COLUMNS), 2u);
    g.EndDialog(IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
}

}  // namespace
