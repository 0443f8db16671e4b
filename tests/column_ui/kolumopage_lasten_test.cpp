// The loads page of the column's input dialog: loads typed in reach the stage shown, the load cases follow the
// highest load case typed, the combinations are formed through the actions dialog, and the creep factors.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "column_dialog_fixture.h"
#include "column_ui/kolumodlg.h"
#include "dialog_input.h"
#include "platform/viduv/viduv.h"
#include "platform/win/screen/headless.h"
#include "platform/win/dialogs/wintest.h"

namespace {

namespace fs = std::filesystem;
using column_dialog_test::FileBytes;
using column_dialog_test::Shown;
using P = CKolumoloaddlg;
using G = LoadGrid;

class LoadPageTest : public column_dialog_test::ColumnDialogTest {
 protected:
  // The example column on the loads tab.
  fs::path Open(const std::function<void(CKolumoData&)>& change = nullptr) {
    const fs::path path = ColumnDialogTest::Open(change);
    ShowTab(4);
    return path;
  }
  void TypeInto(COrmiGridCtrl& grid, int row, int col, const std::string& text) {
    dialog_input::TypeCell(grid, row, col, text);
  }
  void Menu(COrmiGridCtrl& grid, int row, int col, const char* item) {
    CRect cell;
    ASSERT_TRUE(grid.GetCellRect(row, col, &cell));
    win::script::QueueMenuItem(item);
    win::input::Click(grid.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y, VK_RBUTTON);
    win::PumpMessages();
  }
  P& Page() { return dialog_.m_loadDlg; }
  CKolumoLoadGrid& Loads() { return dialog_.m_loadDlg.m_loadGrid; }
  CKolumoData& Data() { return dialog_.m_data; }
};

// Open, walk the stages on the loads page, OK: the file is the same byte for byte.
TEST_F(LoadPageTest, PositionPassesThroughTheLoadsPageUnchanged) {
  const struct {
    const char* what;
    std::function<void(CKolumoData&)> change;
  } cases[] = {
      {"the example", nullptr},
      {"creep with two factors",
       [](CKolumoData& d) {
         d.vorver[0].type = 2;
         d.kriechen.SetSize(d.maxLF[0]);
         for (auto& k : d.kriechen) k.KriechZahl = 1.75, k.Faktor = 0.5;
       }},
      {"hand-edited combinations", [](CKolumoData& d) { d.LKManuell = 1; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path path = Open(c.change);
    const std::string before = FileBytes(path);
    for (int tab : {2, 4, 3, 4}) ShowTab(tab);
    Ok();
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_TRUE(Boxes().empty());
  }
}

TEST_F(LoadPageTest, ALoadTypedInTheEntryRowReachesTheStage) {
  Open();
  const int n = Data().loads[0].GetSize();
  ASSERT_EQ(Loads().LoadCount(), n);
  const int entry = n + 1;
  TypeInto(Loads(), entry, G::kColText, "Wind");
  ASSERT_EQ(Data().loads[0].GetSize(), n + 1);
  TypeInto(Loads(), entry, G::kColValue0, "2,5");
  const Load& added = Data().loads[0][n];
  EXPECT_EQ(added.desc, "Wind");
  EXPECT_DOUBLE_EQ(CFormulaNumber(added.val0).GetValue(), 2.5);
  // A new load takes the load case of the one above, a single direction (Y) and the column's whole height.
  EXPECT_EQ(added.lc, Data().loads[0][n - 1].lc);
  EXPECT_EQ(added.bHasDirection, 1);
  EXPECT_EQ(added.direction, 1);
  EXPECT_EQ(CFormulaNumber(added.length).GetText(), "tl");
  Ok();
  CKolumoData reread;
  reread.doc = doc_;
  reread.ReadData(doc_);
  ASSERT_EQ(reread.loads[0].GetSize(), n + 1);
  EXPECT_EQ(reread.loads[0][n].desc, "Wind");
  // "tl" is the column's whole height: fields of 3.20 m and 4.50 m.
  EXPECT_NEAR(reread.loads[0][n].length.GetValue(), 7.7, 1e-9);
  EXPECT_NEAR(Data().loads[0][n].length.GetValue(), 7.7, 1e-9);
}

// The load-case grid follows the highest load case typed: up with a higher one, down when it is deleted.
TEST_F(LoadPageTest, TheHighestLoadCaseSetsTheNumberOfLoadCases) {
  Open();
  const int maxLF = Data().maxLF[0];
  ASSERT_GT(maxLF, 0);
  const int n = Loads().LoadCount();
  TypeInto(Loads(), n + 1, G::kColText, "Anprall");
  TypeInto(Loads(), n + 1, G::kColAction, std::to_string(maxLF + 2));
  EXPECT_EQ(Data().maxLF[0], maxLF + 2);
  EXPECT_EQ(Data().bLastfaelleGeaendert, 1);
  EXPECT_EQ(Page().m_lastfallGrid.GetRowCount(), maxLF + 3);
  EXPECT_EQ(Data().lastUeberlagerung.lastfaelle.GetSize(), maxLF + 2);
  // The results stay closed until the actions are formed again.
  win::msgbox::QueueAnswer(IDOK);
  ShowTab(5);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("Einwirkungskombinationen bilden"), std::string::npos);
  ShowTab(4);
  Menu(Loads(), n + 1, G::kColText, "Last löschen");
  EXPECT_EQ(Loads().LoadCount(), n);
  EXPECT_EQ(Data().maxLF[0], maxLF);
  EXPECT_EQ(Page().m_lastfallGrid.GetRowCount(), maxLF + 1);
}

// A load case typed far beyond the 50 a stage holds sizes no grid (a row per case up to it): it is said at once in
// the input check's words, and the load keeps it to be mended.
TEST_F(LoadPageTest, AFarLoadCaseTypedIsSaidAndSizesNoGrid) {
  Open();
  const int maxLF = Data().maxLF[0], rows = Page().m_lastfallGrid.GetRowCount(), n = Loads().LoadCount();
  TypeInto(Loads(), n + 1, G::kColText, "Anprall");
  win::msgbox::QueueAnswer(IDOK);
  TypeInto(Loads(), n + 1, G::kColAction, "5000");
  EXPECT_EQ(Data().loads[0][n].lc, 5000);
  EXPECT_EQ(Data().maxLF[0], maxLF);
  EXPECT_EQ(Page().m_lastfallGrid.GetRowCount(), rows);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("Endsystem, Last " + std::to_string(n + 1) +
                            " (\"Anprall\"): Lastfall 5000 gibt es nicht (höchster Lastfall 3)."),
            std::string::npos)
      << Boxes()[0];
}

// Results calculated for other load cases are not shown as if they were current: once a load case is added, the
// results tab refuses and shows no combination, no quantity and no diagram, and the screen shows what the page draws.
TEST_F(LoadPageTest, ResultsOfOtherLoadCasesAreNotShownBehindTheRefusal) {
  Open();
  CKolumoResultDlg& results = dialog_.m_resultDlg;
  ShowTab(5);
  ASSERT_GT(results.m_kombiBaum.GetCount(), 0u);
  ASSERT_GT(results.m_ergebnisBaum.GetCount(), 0u);
  ASSERT_FALSE(results.m_werte.empty());
  ASSERT_EQ(results.m_text.Find("LK["), 0);
  ShowTab(4);
  const int n = Loads().LoadCount();
  TypeInto(Loads(), n + 1, G::kColText, "Anprall");
  TypeInto(Loads(), n + 1, G::kColAction, std::to_string(Data().maxLF[0] + 1));
  ASSERT_EQ(Data().bLastfaelleGeaendert, 1);
  win::msgbox::ClearLog();
  win::msgbox::QueueAnswer(IDOK);
  ClickTab(5);
  ASSERT_EQ(Boxes().size(), 1u);
  // One subject, one verb; and where the actions are formed anew.
  EXPECT_EQ(Boxes()[0],
            "Die Anzahl der Lastfälle hat sich geändert.\nBitte die Einwirkungen auf der Seite \"Belastung\" mit "
            "\"Einwirkungskombinationen bilden\" neu bilden.");
  EXPECT_EQ(results.m_kombiBaum.GetCount(), 0u);
  EXPECT_EQ(results.m_ergebnisBaum.GetCount(), 0u);
  EXPECT_TRUE(results.m_werte.empty());
  EXPECT_TRUE(results.m_stationen.empty());
  EXPECT_EQ(results.m_text, CString("\r\nmax = 0.00\r\nmin =  0.00"));
  CString shown;
  results.GetDlgItemText(CKolumoResultDlg::kIdText, shown);
  EXPECT_EQ(shown, results.m_text);
  win::PumpMessages();
  const win::Image painted = win::PaintedPixels(results.m_hWnd);
  const win::Image whole = win::RenderWindowApart(results.m_hWnd);
  ASSERT_EQ(painted.pixels.size(), whole.pixels.size());
  EXPECT_TRUE(painted.pixels == whole.pixels) << "the screen still shows something the page no longer draws";
}

TEST_F(LoadPageTest, ALoadTypedInOneStageStaysWithItsStage) {
  Open();
  const int n0 = Data().loads[0].GetSize();
  SelectStage(2);
  EXPECT_EQ(Loads().LoadCount(), Data().loads[2].GetSize());
  const int n2 = Loads().LoadCount();
  TypeInto(Loads(), n2 + 1, G::kColText, "Montage");
  SelectStage(0);
  EXPECT_EQ(Loads().LoadCount(), n0);
  SelectStage(2);
  ASSERT_EQ(Loads().LoadCount(), n2 + 1);
  EXPECT_EQ(Loads().GetItemText(n2 + 1, G::kColText), "Montage");
  EXPECT_EQ(Data().loads[0].GetSize(), n0);
}

// A value that would put a load where the calculation's input check refuses it (beyond the column, no length) is
// refused in its cell with the check's words: the cell and the stage keep what they had, no load is added from the
// entry row, and the editor is open on the cell again with what was typed. The example: fields of 3.20 m and 4.50 m (7.70 m high);
// load 6 wind from the head (node 1) over 3.2 m, load 7 wind from node 2 (3.20 m) over 4.5 m.
TEST_F(LoadPageTest, AValueThatPutsALoadOffTheColumnIsRefusedInItsCell) {
  Open();
  const int n = Loads().LoadCount();
  ASSERT_EQ(n, 7);
  auto enter = [&](int row, int col, const std::string& text) { dialog_input::TypeAndEnter(Loads(), row, col, text); };
  const std::string wind6 = "Endsystem, Last 6 (\"Wind auf Fassade\"): ";
  const std::string wind7 = "Endsystem, Last 7 (\"Wind auf Fassade\"): ";
  const struct {
    const char* name;
    int row, col;
    const char* typed;
    std::string message;
    const char* shown;  // by the cell once the editor is left
  } cases[] = {
      // 3.20 + 1 = 4.20 m to 4.20 + 4.5 = 8.70 m
      {"offset", 7, G::kColOffset, "1",
       wind7 + "Linienlast von 4.200 m bis 8.700 m unter dem Kopf liegt nicht ganz "
               "an der Stütze (Höhe 7.700 m; Knoten 2, Abstand 1 m, Länge 4.5 m).",
       "0.00 m"},
      {"length", 6, G::kColLength, "8",
       wind6 + "Linienlast von 0.000 m bis 8.000 m unter dem Kopf liegt nicht ganz "
               "an der Stütze (Höhe 7.700 m; Knoten 1, Abstand 0 m, Länge 8 m).",
       "3.20 m"},
      {"upwards", 6, G::kColLength, "-1",
       wind6 + "Linienlast von -1.000 m bis 0.000 m unter dem Kopf liegt nicht "
               "ganz an der Stütze (Höhe 7.700 m; Knoten 1, Abstand 0 m, Länge -1 m).",
       "3.20 m"},
      {"no length", 6, G::kColLength, "0", wind6 + "Linienlast der Länge 0 m.", "3.20 m"},
      // what is no formula is named by the load and the column it was typed in
      {"text", 6, G::kColLength, "3a", "Last 6, Länge: Unerwartete Zeichen: a", "3.20 m"},
      // a new load runs from the head over the whole height ("tl", 7.70 m): from 2 m it would end at 9.70 m
      {"offset of a new load", n + 1, G::kColOffset, "2",
       "Endsystem, Last 8 (\"\"): Linienlast von 2.000 m bis "
       "9.700 m unter dem Kopf liegt nicht ganz an der Stütze (Höhe 7.700 m; Knoten 1, Abstand 2 m, Länge 7.7 m).",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDOK);
    enter(c.row, c.col, c.typed);
    int row = -1, col = -1;
    ASSERT_TRUE(Loads().GetFocusCell(&row, &col));
    EXPECT_EQ(row, c.row);
    EXPECT_EQ(col, c.col);
    EXPECT_EQ(dialog_input::EditorText(Loads()), c.typed) << "the editor is back on the cell with what was typed";
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0], c.message);
    EXPECT_EQ(win::msgbox::PendingAnswers(), 0u);
    win::input::Key(VK_ESCAPE);
    win::PumpMessages();
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Loads().GetItemText(c.row, c.col), c.shown);
    ASSERT_EQ(Data().loads[0].GetSize(), n);
    EXPECT_EQ(Loads().LoadCount(), n);
    EXPECT_DOUBLE_EQ(Data().loads[0][5].length.GetValue(), 3.2);
    EXPECT_DOUBLE_EQ(Data().loads[0][6].offset.GetValue(), 0.0);
  }
  // In the order that keeps it on the column, load 7 moves down: 4 m long first, then 0.5 m from node 2 (3.70 m to
  // 7.70 m); a value for a new load that lies on the column makes the load.
  win::msgbox::ClearLog();
  enter(7, G::kColLength, "4");
  enter(7, G::kColOffset, "0,5");
  enter(n + 1, G::kColValue0, "3");
  win::input::Key(VK_ESCAPE);
  win::PumpMessages();
  EXPECT_TRUE(Boxes().empty());
  EXPECT_DOUBLE_EQ(Data().loads[0][6].length.GetValue(), 4.0);
  EXPECT_DOUBLE_EQ(Data().loads[0][6].offset.GetValue(), 0.5);
  ASSERT_EQ(Data().loads[0].GetSize(), n + 1);
  EXPECT_DOUBLE_EQ(Data().loads[0][n].val0.GetValue(), 3.0);
}

// A point load sits at its node: its offset is 0 and locked, and its values are titled by direction.
TEST_F(LoadPageTest, APointLoadHasNoOffset) {
  Open([](CKolumoData& d) {
    Load load;
    load.lc = 1, load.ltype = 10, load.bHasDirection = 1, load.direction = 0, load.offset = 0.8;
    d.loads[0].Add(load);
  });
  const int row = Loads().LoadCount();
  EXPECT_DOUBLE_EQ(Loads().loads[std::size_t(row - 1)].offset.GetValue(), 0.0);
  EXPECT_FALSE(Loads().IsCellEditable(row, G::kColOffset));
  // The uniform loads of the example keep their offset open.
  for (int i = 0; i < row - 1; ++i)
    if (Loads().loads[std::size_t(i)].ltype == 0) {
      EXPECT_TRUE(Loads().IsCellEditable(i + 1, G::kColOffset)) << i;
    }
  Loads().SetFocusCell(row, G::kColText);
  win::PumpMessages();
  EXPECT_EQ(Loads().GetItemText(0, G::kColValue0), "Px");
  EXPECT_EQ(Loads().GetItemText(0, G::kColValue0 + 1), "My");
}

// Two fields of 2.50 m and 1.25 m: nodes at 0 and 2.50 m; no field, no node.
TEST_F(LoadPageTest, NodesAreTheStartsOfTheFields) {
  CKolumoData d;
  EXPECT_TRUE(CKolumoLoadGrid::FieldNodes(d).empty());
  d.SetFieldCount(2);
  d.fieldLengths[0] = 2.5, d.fieldLengths[1] = 1.25;
  EXPECT_EQ(CKolumoLoadGrid::FieldNodes(d), (std::vector<double>{0.0, 2.5}));
}

TEST_F(LoadPageTest, ALoadCaseWithoutActionIsNamedAndTheActionsDialogStaysShut) {
  Open();
  const CString kept = Data().lastUeberlagerungBZ[0].kombinationen[0].regel;
  TypeInto(Page().m_lastfallGrid, 2, LastfallGrid::kEinwirkung, "0");
  win::msgbox::QueueAnswer(IDOK);
  Page().OnKombinationen();
  ASSERT_EQ(Boxes(), std::vector<std::string>{"Bitte dem Lastfall 2 eine Einwirkung zuordnen."});
  EXPECT_EQ(Data().lastUeberlagerungBZ[0].kombinationen[0].regel, kept);
}

// The example's load cases: 1 permanent, 2 imposed, 3 wind. With load case 2 moved to the permanent action,
// G = LF1 + LF2 takes one factor throughout; the first fundamental combination (DIN 1055-100) is
// 1.35 G + 1.50 W with wind leading.
TEST_F(LoadPageTest, CombinationsAreFormedThroughTheActionsDialogAndCancelKeepsThem) {
  Open();
  Data().bLastfaelleGeaendert = 1;
  const int combinations = int(Data().lastUeberlagerungBZ[0].kombinationen.GetSize());
  ASSERT_GT(combinations, 0);
  const CString first = Data().lastUeberlagerungBZ[0].kombinationen[0].regel;
  win::script::QueueDialog([](CDialog& d) { d.SendMessage(WM_COMMAND, IDCANCEL, 0); });
  Page().OnKombinationen();
  EXPECT_EQ(Data().bLastfaelleGeaendert, 0);
  EXPECT_EQ(Data().lastUeberlagerungBZ[0].kombinationen.GetSize(), combinations);
  EXPECT_EQ(Data().lastUeberlagerungBZ[0].kombinationen[0].regel, first);

  const int permanent = Page().m_lastfallGrid.GetCellInt(1, LastfallGrid::kEinwirkung);
  TypeInto(Page().m_lastfallGrid, 2, LastfallGrid::kEinwirkung, std::to_string(permanent));
  win::script::QueueDialog([](CDialog& d) {
    dialog_input::Save(d, "loads-actions.png");
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  Page().OnKombinationen();
  const CLKData& formed = Data().lastUeberlagerungBZ[0];
  ASSERT_GT(formed.kombinationen.GetSize(), 0);
  EXPECT_EQ(formed.lastfaelle[1].einw, formed.lastfaelle[0].einw);
  // Both load cases now belong to the permanent action: every combination takes them with the same factor.
  for (int i = 0; i < formed.kombinationen.GetSize(); ++i) {
    CKolumoData::KombiFaktoren f{};
    CKolumoData::ParseKombiFormel(formed.kombinationen[i].regel, f);
    EXPECT_GT(f[0], 0.0) << formed.kombinationen[i].regel.GetString();
    EXPECT_DOUBLE_EQ(f[1], f[0]) << formed.kombinationen[i].regel.GetString();
  }
  EXPECT_EQ(formed.kombinationen[0].regel, "1.35*(1)+1.35*(2)+1.50*(3)");
  EXPECT_NE(formed.kombinationen[0].regel, first);
  EXPECT_TRUE(Boxes().empty());
}

// The combinations follow the actions code of the design code, not the norm a reset position's stages start with
// (DIN 1045-1 would start on DIN 18800, EC2 on DIN 1055-100). Wind keeps psi0 = 0.6 under each: with imposed load
// leading, 1.50 * 0.6 = 0.90 for the wind.
TEST_F(LoadPageTest, CombinationsAreFormedUnderTheActionsCodeOfTheDesignCode) {
  const struct {
    int iNorm;
    const char* norm;
  } cases[] = {{0, "DIN 1055-100"}, {1, "EC"}, {12, "EC"}, {2, "SIA 260:2003"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.iNorm);
    Open([&](CKolumoData& d) { d.iNorm = c.iNorm; });
    win::script::QueueDialog([](CDialog& d) { d.SendMessage(WM_COMMAND, IDOK, 0); });
    Page().OnKombinationen();
    const CLKData& formed = Data().lastUeberlagerungBZ[0];
    ASSERT_NE(CLKData::NormName(formed.lknorm), nullptr);
    EXPECT_STREQ(CLKData::NormName(formed.lknorm), c.norm);
    ASSERT_GT(formed.kombinationen.GetSize(), 0);
    EXPECT_EQ(formed.kombinationen[0].regel, "1.35*(1)+1.50*(2)+0.90*(3)");
    EXPECT_TRUE(Boxes().empty());
  }
}

// The example's loads show their type, node, direction and values whole (text and combo button within the column);
// a wider dialog widens the load grid by as much, and the strip of load cases and buttons keeps to the right edge.
TEST_F(LoadPageTest, TheLoadGridShowsItsChoicesWholeAndTakesTheWidth) {
  Open();
  CKolumoLoadGrid& grid = Loads();
  CClientDC dc(&grid);
  CFont* old = dc.SelectObject(grid.GetFont());
  for (int row = 1; row <= grid.LoadCount(); ++row) {
    for (int col : {int(G::kColType), int(G::kColNode), int(G::kColDirection), int(G::kColValue0), G::kColValue0 + 1}) {
      CGridCellBase* cell = grid.GetCell(row, col);
      if (!cell || !*cell->GetText()) continue;
      EXPECT_LE(cell->GetCellExtent(&dc).cx, grid.GetColumnWidth(col)) << cell->GetText();
    }
  }
  dc.SelectObject(old);

  const auto rectOf = [&](CWnd& w) {
    CRect r;
    w.GetWindowRect(&r);
    Page().ScreenToClient(&r);
    return r;
  };
  const CRect grid0 = rectOf(grid), cases0 = rectOf(Page().m_lastfallGrid);
  CRect page0;
  Page().GetClientRect(&page0);
  dialog_.SetWindowPos(nullptr, 0, 0, 1040 + 200, 300, SWP_NOZORDER);
  CRect page1;
  Page().GetClientRect(&page1);
  const int dx = page1.Width() - page0.Width();
  ASSERT_GT(dx, 100);
  EXPECT_EQ(rectOf(grid).Width(), grid0.Width() + dx);
  EXPECT_EQ(rectOf(Page().m_lastfallGrid).left, cases0.left + dx);
  EXPECT_EQ(page1.right - rectOf(Page().m_lastfallGrid).right, page0.right - cases0.right);
}

TEST_F(LoadPageTest, TheCreepGridShowsOnlyForTheFinalSystemWithCreep) {
  const struct {
    int kind, stage;
    bool shown;
  } cases[] = {{2, 0, true}, {3, 0, true}, {1, 0, false}, {3, 1, false}, {2, 2, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " stage " << c.stage);
    Open([&](CKolumoData& d) { d.vorver[0].type = c.kind; });
    SelectStage(c.stage);
    EXPECT_EQ((Page().m_kriechGrid.GetStyle() & WS_VISIBLE) != 0, c.shown);
    EXPECT_EQ(Shown(Page(), P::kIdKriechzahl), c.shown);
    SelectStage(0);
  }
}

// Every load case of the final system gets a creep entry; the coefficient typed goes to all, a factor to its own.
TEST_F(LoadPageTest, CreepCoefficientAndFactorsReachTheEntries) {
  Open([](CKolumoData& d) { d.vorver[0].type = 2; });
  const int cases = Data().maxLF[0];
  ASSERT_EQ(Data().kriechen.GetSize(), cases);
  ASSERT_EQ(Page().m_kriechGrid.GetRowCount(), cases + 1);
  CWnd* edit = Page().GetDlgItem(P::kIdKriechzahl);
  win::input::ClickCenter(edit->m_hWnd);
  win::input::KeyWith(VK_CONTROL, 'A');
  win::input::Type("1,8");
  win::PumpMessages();
  TypeInto(Page().m_kriechGrid, 2, 1, "0.6");
  for (int i = 0; i < cases; ++i) EXPECT_DOUBLE_EQ(Data().kriechen[i].KriechZahl, 1.8) << i;
  EXPECT_DOUBLE_EQ(Data().kriechen[1].Faktor, 0.6);
  EXPECT_DOUBLE_EQ(Data().kriechen[0].Faktor, 1.0);
}

// After values were taken over the pages show the data again; a cancelled import leaves the pages as they were.
TEST_F(LoadPageTest, TheValueImportShowsTheDataAgainOnlyOnOk) {
  const struct {
    int answer;
    const char* shown;
  } cases[] = {{IDOK, "übernommen"}, {IDCANCEL, "vorher"}};
  const fs::path previous = fs::current_path();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    Open([](CKolumoData& d) { d.loads[0][0].desc = "vorher"; });
    fs::current_path(folder_);  // a project folder of one position
    win::script::QueueDialog([this, &c](CDialog& d) {
      Data().loads[0][0].desc = "übernommen";  // what the taken values changed in the data
      d.EndDialog(c.answer);
    });
    win::input::ClickCenter(Page().GetDlgItem(P::kIdLastuebernahme)->m_hWnd);
    win::PumpMessages();
    fs::current_path(previous);
    EXPECT_EQ(Loads().GetItemText(1, G::kColText), c.shown);
  }
}

}  // namespace
