// The editor's commands that open a dialog: each is given through the toolbar, a key or a menu, its dialog is
// answered as an engineer would, and what the dialog returns must arrive in the text or the document part.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "editor/dbimportdlg.h"
#include "editor/editordlg.h"
#include "editor/formuladlg.h"
#include "editor/macrodlg.h"
#include "editor/searchdlg.h"
#include "editor/settingsdlg.h"
#include "editor/symboldlg.h"
#include "editor/tabledlg.h"
#include "framework/progdb.h"
#include "transfer/importdlg.h"
#include "framework/regsettings.h"
#include "platform/viduv/viduv.h"
#include "platform/win/screen/headless.h"
#include "tests/editor/editor_test_util.h"

namespace {

class Position : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
  SubData& Part() { return static_cast<SubData&>(GetSubData()); }
};

class Catalogue : public MatCatalogue {
 public:
  void Entries(std::vector<std::string>& paths) override { paths = {"Beton\\Normalbeton\\EN 1992\\C30/37"}; }
  bool Values(const std::string&, std::vector<MatValueRow>& rows, CString& title) override {
    rows.assign(2, {});
    rows[0].name = "Druckfestigkeit", rows[0].variable = "fck", rows[0].value = "30", rows[0].unit = "N/mm²";
    rows[1].name = "E-Modul", rows[1].variable = "Ecm", rows[1].value = "33000", rows[1].unit = "N/mm²";
    title = "C30/37";
    return true;
  }
};

const char* kFormulas =
    "{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 b = 0,30\\par\r\n\\cf1 A = b*2 = 0,0\\par\r\n}";

class DialogCommandTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    dir_ = editortest::ScratchDir("editorcommands");
    const char* before = std::getenv("ORMI_REGISTRY");
    oldRegistry_ = before ? before : "";
    hadRegistry_ = before != nullptr;
    setenv("ORMI_REGISTRY", (dir_ + "/registry.xml").c_str(), 1);
    RegisterDocumentPart();
    position_ = std::make_unique<Position>();
    frame_.CreateEx(0, "Static", "Eingabe", WS_POPUP | WS_VISIBLE, CRect(0, 0, 900, 560), nullptr, 0);
    editor_.document = &position_->Part();
    editor_.position = position_.get();
    editor_.catalogue = &catalogue_;
    ASSERT_TRUE(editor_.Create(SubDlg::IDD, &frame_));
    editor_.SetWindowPos(nullptr, 0, 0, 880, 540, SWP_NOZORDER);
    editor_.ShowWindow(SW_SHOW);
  }
  void TearDown() override {
    editor_.DestroyWindow();
    frame_.DestroyWindow();
    position_.reset();
    SetDocumentPartFactory(nullptr);
    if (hadRegistry_)
      setenv("ORMI_REGISTRY", oldRegistry_.c_str(), 1);
    else
      unsetenv("ORMI_REGISTRY");
    WindowTest::TearDown();
  }
  void Open(const std::string& rtf) {
    position_->Part().text.SetText(rtf);
    editor_.TransferData(FALSE);
  }
  std::string Text() { return editor_.text.GetRawText(); }
  // A click on the toolbar button of a command, as the engineer gives it.
  void Press(CToolBar& bar, UINT id) {
    const int index = bar.CommandToIndex(id);
    ASSERT_GE(index, 0) << id;
    RECT r;
    bar.GetItemRect(index, &r);
    win::input::Click(bar.m_hWnd, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    win::PumpMessages();
  }
  std::vector<RtfTableRow> Rows() {
    std::vector<RtfTableRow> rows;
    EXPECT_GE(ParseRtfTable(editor_.text.StreamOutRtf(false), rows), 0);
    return rows;
  }
  std::string dir_, oldRegistry_;
  bool hadRegistry_ = false;
  Catalogue catalogue_;
  std::unique_ptr<Position> position_;
  CWnd frame_;
  SubDlg editor_;
};

TEST_F(DialogCommandTest, SearchSelectsTheHitAndReplaceChangesTheText) {
  Open("{\\rtf1 b = 0,30\\par c = b + 0,30\\par}");
  editor_.text.SetSel(Text().size() - 1, Text().size() - 1);  // the whole-text option starts at the top anyway
  win::script::QueueDialog([](CDialog& d) {
    d.GetDlgItem(IDC_FIND_TEXT)->SetFocus();
    win::input::Type("c = b");
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
  });
  Press(editor_.bar1, 11539);
  long start = 0, end = 0;
  editor_.text.GetSel(start, end);
  EXPECT_EQ(start, long(Text().find("c = b")));
  EXPECT_EQ(end - start, 5);
  EXPECT_EQ(std::string(position_->Part().searchText), "c = b");

  win::script::QueueDialog([](CDialog& d) {
    d.GetDlgItem(IDC_FIND_TEXT)->SetWindowText("");
    d.GetDlgItem(IDC_FIND_TEXT)->SetFocus();
    win::input::Type("0,30");
    d.GetDlgItem(IDC_REPLACE_TEXT)->SetFocus();
    win::input::Type("0,35");
    win::input::ClickCenter(d.GetDlgItem(IDC_REPLACE_ALL)->m_hWnd);
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
  });
  Press(editor_.bar1, 11540);
  EXPECT_EQ(Text().find("0,30"), std::string::npos) << Text();
  EXPECT_NE(Text().find("b = 0,35"), std::string::npos) << Text();
  EXPECT_NE(Text().find("c = b + 0,35"), std::string::npos) << Text();
  EXPECT_EQ(std::string(position_->Part().replaceText), "0,35");
}

TEST_F(DialogCommandTest, SettingsKeepTheFirstPageOnlyOnOk) {
  Open("");
  position_->Part().page = 3;
  struct Case {
    const char* typed;
    int answer;
    int page;
  };
  for (const Case& c : {Case{"9", IDCANCEL, 3}, Case{"7", IDOK, 7}}) {
    win::script::QueueDialog([&](CDialog& d) {
      EXPECT_EQ(d.GetDlgItemInt(IDC_SETTINGS_FIRST_PAGE), UINT(position_->Part().page));
      d.SetDlgItemText(IDC_SETTINGS_FIRST_PAGE, c.typed);
      d.SendMessage(WM_COMMAND, c.answer, 0);
    });
    Press(editor_.bar1, 40011);
    EXPECT_EQ(position_->Part().page, c.page) << c.typed;
  }
}

TEST_F(DialogCommandTest, ANewTableTakesTheCountsOfTheDialogAndBecomesTheDefault) {
  Open("{\\rtf1 Vorher\\par}");
  SkribTableProps& props = position_->Part().tableProps;
  props.nCol = 3, props.nRow = 2, props.colWidth = {1000, 2000, 3000};
  win::script::QueueDialog([](CDialog& d) {
    auto& grid = static_cast<GridDlg&>(d);
    EXPECT_EQ(grid.m_rows.size(), 2u);
    EXPECT_EQ(grid.CellCount(), 3);
    d.SetDlgItemText(IDC_TABLE_ROWS, "4");
    d.SetDlgItemText(IDC_TABLE_COLUMNS, "2");
    d.SendMessage(WM_COMMAND, IDC_TABLE_APPLY_COUNTS, 0);
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  Press(editor_.bar1, 11541);
  const std::vector<RtfTableRow> rows = Rows();
  ASSERT_EQ(rows.size(), 4u);
  for (const RtfTableRow& row : rows) EXPECT_EQ(row.cellCount, 2);
  EXPECT_NE(Text().find("Vorher"), std::string::npos);
  EXPECT_EQ(props.nRow, 4);
  EXPECT_EQ(props.nCol, 2);
  // The widths are the boundaries of the first row as differences and add up to its last boundary.
  ASSERT_EQ(props.colWidth.size(), 2u);
  EXPECT_EQ(props.colWidth[0] + props.colWidth[1], int(rows[0].boundaries.back()));
}

TEST_F(DialogCommandTest, ChangeTableWantsASelectedTableAndRewritesIt) {
  Open("{\\rtf1 Kein Tabellentext\\par}");
  editor_.text.SetSel(0, -1);
  win::msgbox::QueueAnswer(IDOK);
  Press(editor_.bar1, 11542);
  ASSERT_FALSE(win::msgbox::Log().empty());
  EXPECT_NE(win::msgbox::Log().back().text.find("markieren"), std::string::npos);

  std::string table;
  BuildTableRtf(2, 3, {1000, 1000, 1000}, {"a", "b", "c", "d", "e", "f"}, table);
  Open(table);
  editor_.text.SetSel(0, -1);
  win::script::QueueDialog([](CDialog& d) {
    auto& grid = static_cast<GridDlg&>(d);
    EXPECT_EQ(grid.m_rows.size(), 2u);
    d.SetDlgItemText(IDC_TABLE_ROWS, "3");
    d.SetDlgItemText(IDC_TABLE_COLUMNS, "3");
    d.SendMessage(WM_COMMAND, IDC_TABLE_APPLY_COUNTS, 0);
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  Press(editor_.bar1, 11542);
  const std::vector<RtfTableRow> rows = Rows();
  ASSERT_EQ(rows.size(), 3u);
  // The old cells stay where they were.
  for (const char* cell : {"a", "b", "c", "d", "e", "f"}) EXPECT_NE(Text().find(cell), std::string::npos) << cell;
}

TEST_F(DialogCommandTest, TheFormulaOverviewListsTheFormulasAndKeepsTheExportChoice) {
  Open(kFormulas);
  win::script::QueueDialog([](CDialog& d) {
    auto& f = static_cast<DlgFormula&>(d);
    FormulaGrid& g = f.m_grid;
    ASSERT_EQ(g.GetRowCount(), 3);  // heading and the two formulas
    EXPECT_EQ(std::string(g.GetCellText(1, FormulaGrid::kVariable)), "b");
    EXPECT_EQ(std::string(g.GetCellText(2, FormulaGrid::kVariable)), "A");
    g.SetCellCheck(2, FormulaGrid::kExport, 1);
    g.OnCellChanged(2, FormulaGrid::kExport, ORMI_CHECK);
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  Press(editor_.bar1, 11545);
  const std::vector<SubDataValue>& exports = position_->Part().exportValues;
  ASSERT_EQ(exports.size(), 1u);
  EXPECT_EQ(std::string(exports[0].varName), "A");
}

// The overview of a text whose formulas give no value shows why in their result cells, never the 0 the text kept; OK
// keeps the stored number of the failing export b, which stays an export that fails, with why.
TEST_F(DialogCommandTest, TheFormulaOverviewShowsWhyAFormulaHasNoValue) {
  Open(
      "{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 a = 1/0\\par\r\n\\cf1 b = a+1 = 0,0\\par\r\n"
      "\\cf1 q*2 = 0,00\\par\r\n\\cf1 h = 0,50\\par\r\n}");
  SubData& part = position_->Part();
  part.exportValues = {{"Fläche", "b", "m2", 0.6}};
  editor_.text.SetFocus();
  win::input::Key(VK_F5);
  win::PumpMessages();
  win::script::QueueDialog([](CDialog& d) {
    FormulaGrid& g = static_cast<DlgFormula&>(d).m_grid;
    const char* shown[] = {"Division durch Null.", "'a' hat keinen Wert: a = 1/0: Division durch Null.",
                           "'q' nicht definiert", "0.5"};
    ASSERT_EQ(g.GetRowCount(), int(std::size(shown)) + 1);
    for (int r = 1; r < g.GetRowCount(); ++r)
      EXPECT_EQ(std::string(g.GetItemText(r, FormulaGrid::kResult)), shown[r - 1]) << "row " << r;
    EXPECT_EQ(g.GetCellCheck(2, FormulaGrid::kExport), 1);
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  Press(editor_.bar1, 11545);
  ASSERT_EQ(part.exportValues.size(), 1u);
  EXPECT_DOUBLE_EQ(part.exportValues[0].value, 0.6);
  EXPECT_EQ(part.FailedExports(), std::vector<std::string>{"b: b = a+1: a = 1/0: Division durch Null."});
}

TEST_F(DialogCommandTest, ShiftF5AsksForTheInputValuesAndRecalculatesWithThem) {
  // q = 12.5 taken in, so Q = q*2 = 25 after the recalculation.
  Open("{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 q = 5,00\\par\r\n\\cf1 Q = q*2 = 0,0\\par\r\n}");
  position_->Part().inputValues = {{"Last", "q", "kN/m", 12.5}};
  int asked = 0;
  win::script::QueueDialog([&](CDialog& d) {
    ++asked;
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  editor_.text.SetFocus();
  win::input::KeyWith(VK_SHIFT, VK_F5);
  win::PumpMessages();
  EXPECT_EQ(asked, 1);
  EXPECT_NE(Text().find("q = 12,50"), std::string::npos) << Text();
  EXPECT_NE(Text().find("Q = q*2 = 25"), std::string::npos) << Text();
}

TEST_F(DialogCommandTest, AltMPutsTheChosenDatabaseValuesIntoATable) {
  Open("");
  win::script::QueueDialog([](CDialog& d) {
    auto& m = static_cast<MatDlg&>(d);
    HTREEITEM item = m.Tree().GetRootItem();
    while (m.Tree().GetChildItem(item)) item = m.Tree().GetChildItem(item);
    m.Tree().SelectItem(item);
    win::PumpMessages();
    ASSERT_EQ(m.Grid().GetRowCount(), 3);
    m.Grid().SetCellCheck(1, 0, 1);
    m.Grid().SetCellCheck(2, 0, 1);
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  editor_.text.SetFocus();
  win::input::KeyWith(VK_MENU, 'M');
  win::PumpMessages();
  // Two values: a title row and one row each.
  ASSERT_EQ(Rows().size(), 3u);
  for (const char* shown : {"C30/37", "fck", "30", "Ecm", "33000"})
    EXPECT_NE(Text().find(shown), std::string::npos) << shown;
}

TEST_F(DialogCommandTest, TheSymbolDialogWritesIntoTheTextAndFollowsTheEditor) {
  Open("{\\rtf1 x\\par}");
  editor_.text.SetSel(1, 1);
  editor_.text.SetFocus();
  win::input::KeyWith(VK_MENU, 'S');
  win::PumpMessages();
  DlgSymbol* symbols = editor_.SymbolDialog();
  ASSERT_NE(symbols, nullptr);
  EXPECT_TRUE(symbols->IsWindowVisible());
  EXPECT_EQ(editor_.symbolShown, 1);
  win::input::ClickCenter(symbols->GetDlgItem(IDC_SYMBOL_FIRST)->m_hWnd);
  win::PumpMessages();
  EXPECT_EQ(Text().substr(0, 2), std::string("x") + SymbolOfButton(IDC_SYMBOL_FIRST));
  editor_.text.SetSel(1, 2);
  CHARFORMAT2 cf;
  editor_.text.GetCharFormat(cf);
  EXPECT_STREQ(cf.szFaceName, "Symbol");

  editor_.ShowWindow(SW_HIDE);
  EXPECT_FALSE(symbols->IsWindowVisible());
  EXPECT_EQ(editor_.symbolShown, 1);
  editor_.ShowWindow(SW_SHOW);
  EXPECT_TRUE(symbols->IsWindowVisible());
  symbols->SendMessage(WM_COMMAND, IDCANCEL, 0);
  win::PumpMessages();
  EXPECT_EQ(editor_.symbolShown, 0);
  editor_.ShowWindow(SW_HIDE);
  editor_.ShowWindow(SW_SHOW);
  EXPECT_FALSE(symbols->m_hWnd && symbols->IsWindowVisible());
}

TEST_F(DialogCommandTest, AnImportedDocumentIsPastedAtTheCaret) {
  const std::string path = dir_ + "/quelle.tqx";
  const std::string rtf = "{\\rtf1 Importierter Text\\par}";
  const int doc = VIDUV_CreateDoc(path.c_str());
  const int root = VIDUV_GetRootElement(doc);
  VIDUV_SetString(root, "progname", "Kolumo");
  VIDUV_SetDouble(root, "version", 3.0);
  const int skrib = VIDUV_AddChildElement(VIDUV_AddChildElement(root, "input"), "Skrib");
  VIDUV_SetBinData(skrib, "rtfData", int(rtf.size()) + 1, rtf.c_str(), 0);
  ASSERT_TRUE(VIDUV_SaveDoc(doc));
  VIDUV_CloseDoc(doc);

  Open("{\\rtf1 Eigen\\par}");
  editor_.text.SetSel(0, 0);
  win::script::QueueMenuCommand(330);
  win::script::QueueFileDialog(path);
  Press(editor_.bar1, 40050);
  EXPECT_EQ(Text().find("Importierter Text"), 0u) << Text();
  EXPECT_NE(Text().find("Eigen"), std::string::npos) << Text();
}

// A position without document text brings nothing over: what the clipboard held before is not pasted.
TEST_F(DialogCommandTest, ADocumentWithoutTextPastesNothing) {
  const std::string path = dir_ + "/ohne.tqx";
  const int doc = VIDUV_CreateDoc(path.c_str());
  VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "input");
  ASSERT_TRUE(VIDUV_SaveDoc(doc));
  VIDUV_CloseDoc(doc);

  Open("{\\rtf1 Eigen\\par}");
  editor_.text.SetSel(0, 0);
  win::SetClipboardText("Fremder Text");
  win::script::QueueMenuCommand(330);
  win::script::QueueFileDialog(path);
  Press(editor_.bar1, 40050);
  EXPECT_EQ(Text().find("Fremder Text"), std::string::npos) << Text();
  EXPECT_EQ(Text().find("Eigen"), 0u) << Text();
}

TEST_F(DialogCommandTest, TheMacroFilesChosenAreRemembered) {
  Open("");
  win::script::QueueDialog([](CDialog& d) {
    d.SetDlgItemText(IDC_MACRO_USER_FILE, "/tmp/eigene.vbs");
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  Press(editor_.bar2, 40003);
  CString user;
  GetRegSettings().ReadString("Skrib", "userMacroFile", user, "");
  EXPECT_EQ(std::string(user), "/tmp/eigene.vbs");
}

TEST_F(DialogCommandTest, TheValueImportRecalculatesOnOkOnly) {
  Open(kFormulas);
  ASSERT_NE(Text().find("A = b*2 = 0,6"), std::string::npos) << Text();
  // b edited to 0,40 without recalculating: A = 2 b = 0,8 only once a confirmed import recalculates.
  const long at = long(Text().find("0,30"));
  editor_.text.SetSel(at, at + 4);
  editor_.text.InsertText("0,40");
  for (int answer : {IDCANCEL, IDOK}) {
    win::script::QueueDialogAnswer(answer);
    Press(editor_.bar2, 11547);
    EXPECT_EQ(Text().find("A = b*2 = 0,8") != std::string::npos, answer == IDOK) << Text();
  }
}

// "Einzelwert direkt übernehmen": the chosen value's name goes into the text at the caret and the value into the
// position's variable definitions, under the heading a list without one gets.
TEST_F(DialogCommandTest, TheSingleValueImportWritesTheNameAndDefinesTheValue) {
  const std::string source = dir_ + "/12a.tqx";
  const int doc = VIDUV_CreateDoc(source.c_str());
  const int top = VIDUV_GetRootElement(doc);
  VIDUV_SetString(top, "progname", "KOLUMO");
  VIDUV_SetString(top, "version", "2012.01");
  const int folder = VIDUV_AddChildElement(VIDUV_AddChildElement(top, "exports"), "folder");
  VIDUV_SetString(folder, "desc", "Auflager1");
  const int value = VIDUV_AddChildElement(folder, "value");
  VIDUV_SetString(value, "desc", "max Az");
  VIDUV_SetString(value, "varName", "maxAz");
  VIDUV_SetString(value, "unit", "kN");
  VIDUV_SetDouble(value, "val", 412.5);
  ASSERT_TRUE(VIDUV_SaveDoc(doc));
  VIDUV_CloseDoc(doc);
  auto variable = std::make_unique<CVarDefVariable>();
  variable->varName = "h";
  position_->varDefs.Add(std::move(variable));

  // The program database of the installation knows the column program by its description file.
  const editortest::SourceDataRoot root([] { GetProgDB().Reload(); });
  char here[4096];
  ASSERT_NE(::getcwd(here, sizeof here), nullptr);
  ASSERT_EQ(::chdir(dir_.c_str()), 0);
  DlgSimpleImportVal::LastPosition().Empty();
  DlgSimpleImportVal::LastTreePath().Empty();
  Open("{\\rtf1 N = \\par}");
  editor_.text.SetSel(4, 4);
  win::script::QueueMenuCommand(400);
  win::script::QueueDialog([](CDialog& d) {
    auto& dialog = static_cast<DlgSimpleImportVal&>(d);
    ASSERT_EQ(dialog.m_list.GetItemCount(), 1);
    EXPECT_EQ(dialog.m_list.GetItemText(0, 0), "12a");
    dialog.m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    auto leaf = dialog.m_view.itemOfPath.find("12a\\Auflager1\\max Az");
    ASSERT_NE(leaf, dialog.m_view.itemOfPath.end());
    dialog.m_tree.SelectItem(leaf->second);
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  editor_.ShowContextMenu(CPoint(100, 100));
  win::PumpMessages();
  ASSERT_EQ(::chdir(here), 0);
  EXPECT_NE(Text().find("N = P_12a_maxAz"), std::string::npos) << Text();
  CVarDefList& defs = position_->varDefs;
  ASSERT_EQ(defs.GetSize(), 3);  // the variable, the heading, the taken value
  EXPECT_EQ(defs.GetAt(1)->type, CVarDefEntry::kUeberschrift);
  auto* taken = defs.GetAs<CVarDefWertUebernahme>(2);
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(std::string(taken->GetImport().varName), "P_12a_maxAz");
  EXPECT_DOUBLE_EQ(taken->GetImport().value, 412.5);
}

}  // namespace
