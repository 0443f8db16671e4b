// The system page: a position passes through it unchanged, typed lengths, supports and sections reach the data
// and stay with their construction stage, and the grade lists follow the design code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <tuple>

#include "column/calcfunc.h"
#include "column_ui/fundamentdlg.h"
#include "column_ui/kolumodlg.h"
#include "column_ui/querschnittdlg.h"
#include "framework/matehandler.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/column/column_test_support.h"
#include "tests/column_ui/dialog_input.h"
#include "tests/platform/win/step_screen.h"

namespace {

namespace fs = std::filesystem;
using G = StabSysGrid;
using M = CKolumoSysMateGrid;

// The system page lists the grades of the material catalogue, which the installation root holds.
class InstallRoot : public testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "column-ui-root-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    ::setenv("KOLUMO_ROOT", column_test::MakeInstallRoot(folder_, KOLUMO_SOURCE_DIR "/data").c_str(), 1);
  }
  void TearDown() override { fs::remove_all(folder_); }

 private:
  fs::path folder_;
};
testing::Environment* const kInstallRoot = testing::AddGlobalTestEnvironment(new InstallRoot);  // gtest owns it

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The example column open on the system tab.
class SystemPageTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    std::string pattern = (fs::temp_directory_path() / "column-system-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    path_ = folder_ / "position.tqx";
    fs::copy_file(KOLUMO_SOURCE_DIR "/data/examples/Stuetze.tqx", path_);
    ASSERT_TRUE(host_.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 0, 0, 1040, 300, nullptr, nullptr));
    ASSERT_TRUE(dialog_.Create(CKolumoDlg::IDD, &host_));
    dialog_.SetWindowPos(nullptr, 0, 0, 1040, 300, SWP_NOZORDER);
    dialog_.ShowWindow(SW_SHOW);
    doc_ = VIDUV_OpenDoc(path_.c_str());
    ASSERT_NE(doc_, 0);
    d.doc = doc_;
    d.ReadData(doc_);
    dialog_.ExchangeData(FALSE);
    ShowTab(2);
  }
  void TearDown() override {
    dialog_.DestroyWindow();
    host_.DestroyWindow();
    if (doc_) VIDUV_CloseDoc(doc_);
    fs::remove_all(folder_);
    WindowTest::TearDown();
  }
  void ShowTab(int tab) {
    dialog_.GetTabCtrl().SetCurSel(tab);
    dialog_.OnPageChange();
  }
  void SelectStage(int stage) {
    dialog_.GetStageBox().SetCurSel(stage);
    dialog_.SendMessage(WM_COMMAND, MAKEWPARAM(CKolumoDlg::kIdStage, CBN_SELCHANGE),
                        LPARAM(dialog_.GetStageBox().m_hWnd));
  }
  CKolumoSysGrid& Grid() { return dialog_.m_sysDlg.m_grid; }
  CKolumoSysMateGrid& Grades() { return dialog_.m_sysDlg.m_mateGrid; }
  void Type(int row, int col, const std::string& text) {
    Grid().SetFocusCell(row, col);
    win::input::Key(VK_F2);
    win::PumpMessages();
    win::input::KeyWith(VK_CONTROL, 'A');
    win::input::Type(text);
    Grid().EndEditing();
    win::PumpMessages();
  }
  CStringArray Options(int row) {
    CStringArray options;
    Grades().GetComboOptions(row, 1, options);
    return options;
  }

  fs::path folder_, path_;
  int doc_ = 0;
  CWnd host_;
  CKolumoDlg dialog_;
  CKolumoData& d = dialog_.m_data;
};

TEST_F(SystemPageTest, ExampleRoundTripsByteForByte) {
  const std::string before = FileBytes(path_);
  ASSERT_GT(d.nFields(), 0);
  EXPECT_EQ(Grid().FieldCount(), d.nFields());
  dialog_.ExchangeData(TRUE);
  d.WriteData(doc_);
  ASSERT_TRUE(VIDUV_SaveDoc(doc_));
  EXPECT_EQ(FileBytes(path_), before);
  EXPECT_TRUE(win::msgbox::Log().empty());
}

TEST_F(SystemPageTest, TypedLengthsAndNewFieldsReachTheData) {
  const int fields = d.nFields();
  d.querschnitte[fields - 1].bx = 42.0;
  dialog_.ExchangeData(FALSE);
  Type(2, G::kColLength, "3,75");  // field 1; the decimal comma reads as a point
  EXPECT_DOUBLE_EQ(d.fieldLengths[0].GetValue(), 3.75);
  // The empty row below the last field adds one, with the last field's section.
  Type(fields + 2, G::kColLength, "1.5");
  ASSERT_EQ(d.nFields(), fields + 1);
  EXPECT_DOUBLE_EQ(d.fieldLengths[fields].GetValue(), 1.5);
  EXPECT_DOUBLE_EQ(d.querschnitte[fields].bx.GetValue(), 42.0);
  Type(fields + 2, G::kColLength, "0");  // a length of 0 in the last field removes it
  EXPECT_EQ(d.nFields(), fields);
}

// Deleting field 1 moves field 2's section up; copying field 1 puts a copy of its section after it.
TEST_F(SystemPageTest, ContextMenuMovesTheSectionsWithTheirFields) {
  const int fields = d.nFields();
  ASSERT_GE(fields, 2);
  d.querschnitte[0].bx = 31.0;
  d.querschnitte[1].bx = 47.0;
  dialog_.ExchangeData(FALSE);
  Grid().OnCellContextMenu(2, G::kColLength, G::kCmdCopy);
  ASSERT_EQ(d.nFields(), fields + 1);
  const double copied[] = {31.0, 31.0, 47.0};
  for (int f = 0; f < 3; ++f) EXPECT_DOUBLE_EQ(d.querschnitte[f].bx.GetValue(), copied[f]) << f;
  Grid().OnCellContextMenu(2, G::kColLength, G::kCmdDelete);
  Grid().OnCellContextMenu(2, G::kColLength, G::kCmdDelete);
  ASSERT_EQ(d.nFields(), fields - 1);
  EXPECT_DOUBLE_EQ(d.querschnitte[0].bx.GetValue(), 47.0);
}

TEST_F(SystemPageTest, SectionAndFoundationButtonsOpenTheirDialogs) {
  const double bx = d.querschnitte[0].bx.GetValue();
  win::script::QueueDialogAnswer(IDCANCEL);
  Grid().OnButtonClick(2, G::kColSection);
  EXPECT_DOUBLE_EQ(d.querschnitte[0].bx.GetValue(), bx) << "cancelled";
  win::script::QueueDialog([](CDialog& dlg) {
    dialog_input::Enter(static_cast<CKolumoQuerDlg&>(dlg).m_grid, 2, "38");  // the width of field 1
    dialog_input::Press(dlg, IDOK);
  });
  Grid().OnButtonClick(2, G::kColSection);
  EXPECT_DOUBLE_EQ(d.querschnitte[0].bx.GetValue(), 38.0);

  d.bx = 1.2345678;
  bool opened = false;
  win::script::QueueDialog([&](CDialog& dlg) {
    auto* fund = dynamic_cast<CPyloFundDlg*>(&dlg);
    ASSERT_NE(fund, nullptr);
    opened = true;
    EXPECT_EQ(fund->m_bx, "1.23");  // two decimals
    dialog_input::Press(dlg, IDCANCEL);
  });
  dialog_input::Press(dialog_.m_sysDlg, CKolumoSysDlg::kIdFundament);
  win::PumpMessages();
  EXPECT_TRUE(opened);
  EXPECT_EQ(d.bx, 1.2345678);
  EXPECT_TRUE(win::msgbox::Log().empty());
}

TEST_F(SystemPageTest, SupportTypedInOneStageSurvivesAStageSwitch) {
  const int head = 1, cx = G::kColCx;
  const double final0 = d.supports[0][0].cx.GetValue();
  SelectStage(2);
  const int before = Grid().GetCellCheck(head, cx);
  Grid().SetFocusCell(head, cx);
  win::input::Key(VK_SPACE);
  win::PumpMessages();
  ASSERT_NE(Grid().GetCellCheck(head, cx), before);
  SelectStage(0);
  EXPECT_DOUBLE_EQ(d.supports[0][0].cx.GetValue(), final0) << "the final system is untouched";
  EXPECT_EQ(Grid().GetCellCheck(head, cx) != 0, final0 != 0.0);
  SelectStage(2);
  EXPECT_NE(Grid().GetCellCheck(head, cx), before);
  EXPECT_EQ(d.supports[2][0].cx.GetValue() != 0.0, before == 0);
}

// Whatever the boxes said, the column stands on its foot: cz rigid there (-1), free (0) everywhere else. A foot
// spring and a foundation restraint together lose the restraint.
TEST_F(SystemPageTest, FootCarriesVerticallyAndASpringThereDropsTheFoundation) {
  const int foot = d.nFields();
  for (int k = 0; k <= foot; ++k) d.supports[0][k].cz = k == foot ? 0.0 : -1.0;
  d.supports[0][foot].cmx = 5000.0;
  d.cmy = 1.0, d.cx = 0.05, d.FudPos = 1;
  dialog_.ExchangeData(FALSE);
  win::msgbox::QueueAnswer(IDOK);
  dialog_.ExchangeData(TRUE);
  for (int k = 0; k <= foot; ++k) EXPECT_DOUBLE_EQ(d.supports[0][k].cz.GetValue(), k == foot ? -1.0 : 0.0) << k;
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("Fundamenteinspannung wird gelöscht"), std::string::npos);
  EXPECT_EQ(d.cmy, 0.0);
  EXPECT_EQ(d.cx, 0.0);
  EXPECT_EQ(d.FudPos, 0);
  EXPECT_DOUBLE_EQ(d.supports[0][foot].cmx.GetValue(), 5000.0);
}

TEST_F(SystemPageTest, GradeListsFollowTheCodeAndShowTheGradeCalculated) {
  for (auto [norm, list] : {std::pair{0, "DIN 1045-I"}, {2, "SIA 262:2003"}, {10, "EC2 NA (DE)"}}) {
    SCOPED_TRACE(list);
    d.iNorm = norm;
    ShowTab(1);
    ShowTab(2);
    // The catalogue's own list for the code, without its empty priority slots.
    for (auto [row, kat, ukat] : {std::tuple{int(M::kRowBeton), "Beton", "Normalbeton"},
                                  std::tuple{int(M::kRowStahl), "Stahl", "Betonstahl"}}) {
      CStringArray catalogue, expected;
      GetMateHandler().GetObjekte(kat, ukat, list, catalogue);
      for (const CString& name : catalogue)
        if (!name.IsEmpty()) expected.Add(name);
      const CStringArray shown = Options(row);
      ASSERT_GT(shown.GetSize(), 0) << kat;
      ASSERT_EQ(shown.GetSize(), expected.GetSize()) << kat;
      for (INT_PTR i = 0; i < shown.GetSize(); ++i) EXPECT_EQ(shown[i], expected[i]) << kat;
    }
  }
  // A grade the list lacks shows as the grade a calculation takes for it, the list's third (C20/25), and is stored
  // so; picking one stores its name (two down from C20/25: C30/37).
  d.sBeton = "C999/1000";
  dialog_.ExchangeData(FALSE);
  EXPECT_EQ(Grades().GetItemText(M::kRowBeton, 1), "C20/25");
  EXPECT_EQ(d.sBeton, "C20/25");
  dialog_.ExchangeData(TRUE);
  EXPECT_EQ(d.sBeton, "C20/25");
  dialog_input::Pick(Grades(), M::kRowBeton, 2);
  EXPECT_EQ(d.sBeton, "C30/37");
  EXPECT_EQ(Grades().GetItemText(M::kRowBeton, 1), "C30/37");
}

// The material editor adds the user's grades S02 ... S24 at priorities 2 to 24 under "EC2 NA (DE)", after B500A and
// B500B: the steel list offers what a calculation can take, the first 20 names (B500A, B500B, S02 ... S19), and a
// stored S22 shows, and is stored, as the grade calculated for it: the catalogue gives S22 no ductility ("duk"),
// so the least ductile grade that has one, B500A.
TEST_F(SystemPageTest, TheGradeListsOfferOnlyGradesACalculationCanTake) {
  const fs::path root = std::getenv("KOLUMO_ROOT");
  // The editor puts the database it finds beside it in place, or else removes the user's database.
  const fs::path bin = folder_ / "bin";
  fs::create_directories(bin);
  {
    std::ofstream editor(bin / "mateEdit");
    editor << "#!/bin/sh\nif [ -f \"$KOLUMO_ROOT/next.xml\" ]; then mv \"$KOLUMO_ROOT/next.xml\" "
              "\"$KOLUMO_ROOT/userMaterial.xml\"; else rm -f \"$KOLUMO_ROOT/userMaterial.xml\"; fi\n";
  }
  fs::permissions(bin / "mateEdit", fs::perms::owner_all);
  const std::string path = std::getenv("PATH");
  ::setenv("PATH", (bin.string() + ":" + path).c_str(), 1);
  // However the test ends, the editor runs again and the user's database goes, for the other tests.
  struct Restore {
    std::function<void()> again;
    ~Restore() { again(); }
  } restore{[&] {
    Grades().OnButtonClick(M::kRowEditor, 1);
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_FALSE(fs::exists(root / "userMaterial.xml"));
    EXPECT_EQ(Options(M::kRowStahl).GetSize(), 2);
  }};
  {
    std::ofstream db(root / "next.xml");
    db << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Materialdatenbank><Kategorie Name=\"Stahl\">"
          "<Unterkategorie Name=\"Betonstahl\"><Norm Name=\"EC2 NA (DE)\">";
    for (int i = 2; i <= 24; ++i)
      db << "<Objekt Name=\"S" << (i < 10 ? "0" : "") << i << "\" Prioritaet=\"" << i
         << "\"><Eigenschaft Kurzname=\"fyk\" Wert01=\"500\" Formel=\"\"/></Objekt>";
    db << "</Norm></Unterkategorie></Kategorie></Materialdatenbank>\n";
  }
  d.iNorm = 10;
  d.sStahl = "S22";
  Grades().OnButtonClick(M::kRowEditor, 1);
  const CStringArray offered = Options(M::kRowStahl);
  std::vector<std::string> names;
  for (const CString& name : offered) names.push_back(name.str());
  // the editor has run: the user's grades are there
  ASSERT_EQ(names.size(), 20u);
  EXPECT_EQ(names[0], "B500A");
  EXPECT_EQ(names[2], "S02");
  EXPECT_EQ(names[19], "S19");
  EXPECT_EQ(Grades().GetItemText(M::kRowStahl, 1), "B500A");
  EXPECT_EQ(d.sStahl, "B500A");
  // The last grade offered is calculated as itself.
  dialog_input::Pick(Grades(), M::kRowStahl, 19);
  EXPECT_EQ(d.sStahl, "S19");
  const UsedGrade used = GradeOfCalculation(d.iNorm, false, d.sStahl);
  EXPECT_FALSE(used.replaced);
  EXPECT_EQ(used.index, 19);
}

}  // namespace

// ---- what the person sees after a refused or corrected entry, with the boxes as windows answered by keys ------

namespace {

using dialog_input::EditorText;
using dialog_input::TypeAndEnter;

// What the screen shows of the window is what it draws: nothing stale is left on it.
void ExpectShownAsDrawn(CWnd& window) {
  const win::Image painted = win::PaintedPixels(window.m_hWnd);
  const win::Image whole = win::RenderWindowApart(window.m_hWnd);
  ASSERT_EQ(painted.pixels.size(), whole.pixels.size());
  EXPECT_TRUE(painted.pixels == whole.pixels) << "the screen shows something the window does not draw";
}

}  // namespace

// However the window is sized, each header band stands over its columns: "Material" over the grade grid (which
// moves to the right, keeping its size), "Felddefinitionen" and "Auflagerdefinitionen" over the columns of the
// fields and of the supports.
TEST_F(SystemPageTest, TheHeaderBandsFollowTheirColumnsWhenTheWindowIsSized) {
  const CSize sizes[] = {{1800, 700}, {1280, 1024}, {1920, 1080}, {1040, 300}};
  for (const CSize& size : sizes) {
    SCOPED_TRACE(std::to_string(size.cx) + " x " + std::to_string(size.cy));
    host_.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER);
    dialog_.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER);
    win::PumpMessages();
    for (COrmiGridCtrl* grid : {static_cast<COrmiGridCtrl*>(&Grid()), static_cast<COrmiGridCtrl*>(&Grades())}) {
      CGridCtrl* header = grid->GetHeaderGrid();
      ASSERT_NE(header, nullptr);
      CRect table, band;
      grid->GetWindowRect(&table);
      header->GetWindowRect(&band);
      EXPECT_EQ(band.left, table.left);
      EXPECT_EQ(band.right, table.right);
      EXPECT_EQ(band.bottom, table.top);
    }
    CGridCtrl& bands = *Grid().GetHeaderGrid();
    ASSERT_EQ(bands.GetColumnCount(), 2);
    EXPECT_EQ(bands.GetItemText(0, 1), "Auflagerdefinitionen");
    int fields = 0, supports = 0;
    for (int c = 0; c < G::kCols; ++c) (c < G::kColCx ? fields : supports) += Grid().GetColumnWidth(c);
    EXPECT_EQ(bands.GetColumnWidth(0), fields) << "\"Felddefinitionen\" ends where the first spring column begins";
    EXPECT_GE(bands.GetColumnWidth(1), supports);
  }
}

TEST_F(SystemPageTest, ALetterInALengthIsRefusedAndTheNextKeyLandsInTheSameCell) {
  const int fields = d.nFields();
  const double first = d.fieldLengths[0].GetValue();
  win::test::StepScreen screen;
  screen.Then([](HWND) { win::input::Key(VK_RETURN); });  // "OK" of the refusal
  TypeAndEnter(Grid(), 3, G::kColLength, "5x");
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Feld 2, Länge: Unerwartete Zeichen: x") << "the field and the column named";
  EXPECT_EQ(screen.Left(), 0u);
  int row = -1, col = -1;
  ASSERT_TRUE(Grid().GetFocusCell(&row, &col));
  EXPECT_EQ(row, 3);
  EXPECT_EQ(col, int(G::kColLength));
  EXPECT_EQ(EditorText(Grid()), "5x") << "the editor is open on field 2's length, with what was typed";
  EXPECT_DOUBLE_EQ(d.fieldLengths[1].GetValue(), 4.5) << "the field keeps its length until it is corrected";
  // The next keys correct field 2's length; field 1 and the number of fields stay.
  win::input::Key(VK_BACK);
  win::input::Key(VK_BACK);
  win::input::Type("7");
  win::input::Key(VK_RETURN);
  win::PumpMessages();
  EXPECT_DOUBLE_EQ(d.fieldLengths[1].GetValue(), 7.0);
  EXPECT_DOUBLE_EQ(d.fieldLengths[0].GetValue(), first);
  EXPECT_EQ(d.nFields(), fields);
}

// Opened from the system page, the cross-section dialog refuses what the calculation refuses, returns to the cell
// and shows a corrected value as it is stored: the field gets what the dialog showed.
TEST_F(SystemPageTest, TheSectionDialogRefusesANegativeThicknessAndShowsTheCorrection) {
  ASSERT_EQ(d.iNorm, 10);
  d.querschnitte[0].dy = 30.0;
  dialog_.ExchangeData(FALSE);
  win::test::StepScreen screen;
  std::string editorAfterRefusal, afterYes;
  screen.Then([&](HWND active) {
    auto* dlg = dynamic_cast<CKolumoQuerDlg*>(CWnd::FromHandle(active));
    ASSERT_NE(dlg, nullptr);
    CKolumoQuerGrid& g = dlg->m_grid;
    TypeAndEnter(g, 3, 1, "-5");  // "Dicke dy"
    editorAfterRefusal = EditorText(g);
    // straight into the same cell: the minus goes
    win::input::Key(VK_HOME);
    win::input::Key(VK_DELETE);
    win::input::Type("1");
    win::input::Key(VK_RETURN);
    win::PumpMessages();
    afterYes = g.GetItemText(3, 1).GetString();
    ExpectShownAsDrawn(*dlg);
    dialog_input::Press(*dlg, IDOK);
  });
  screen.Then([](HWND) { win::input::Key(VK_RETURN); });  // "OK" of the refusal
  screen.Then([](HWND) { win::input::Key(VK_RETURN); });  // "Ja": the side is raised to 20 cm
  CRect cell;
  ASSERT_TRUE(Grid().GetCellRect(2, G::kColSection, &cell));
  win::input::Click(Grid().m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y);
  win::PumpMessages();
  EXPECT_EQ(screen.Left(), 0u);
  const auto& log = win::msgbox::Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].text, "Feld 1, Querschnitt: Abmessung dy = -5 cm ist nicht positiv.");
  EXPECT_EQ(log[1].text,
            "Achtung! Gemäß EC2 NA (DE) 9.5.1.1 ist die minimale Seitenlänge 20.0 cm!\nSoll die Abmessung korrigiert "
            "werden?")
      << "one mark ends the sentence";
  EXPECT_EQ(editorAfterRefusal, "-5") << "the editor is back in the thickness, with what was typed";
  EXPECT_EQ(afterYes, "20.0 [cm]");
  EXPECT_DOUBLE_EQ(d.querschnitte[0].dy.GetValue(), 20.0) << "the field has the thickness the dialog showed";
}
// The refusal of a calculation speaks German throughout: a negative field length (read from a file: its cell
// refuses it) is named by its German word, the loads it leaves beyond the column by their node as the dialog
// numbers them.
TEST_F(SystemPageTest, TheRefusalOfANegativeLengthIsWordedInGerman) {
  d.fieldLengths[1] = -2.0;
  dialog_.ExchangeData(FALSE);
  win::msgbox::QueueAnswer(IDOK);
  ShowTab(5);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  const std::string text = win::msgbox::Log()[0].text;
  EXPECT_NE(text.find("\n- Feld 2: Feldlänge = -2 m ist nicht positiv.\n"), std::string::npos) << text;
  // The wind loads of the example end 3.2 m below the head of a column now 1.2 m high; they start at node 1
  // (the head) and node 2.
  EXPECT_NE(text.find("(Höhe 1.200 m; Knoten 1, Abstand 0 m, Länge 3.2 m)"), std::string::npos) << text;
  EXPECT_NE(text.find("(Höhe 1.200 m; Knoten 2, Abstand 0 m, Länge 4.5 m)"), std::string::npos) << text;
  for (const char* english : {"length", "offset", "node", "type"})
    EXPECT_EQ(text.find(english), std::string::npos) << english << " in: " << text;
}

// A length the calculation's input check refuses is refused in its cell with the check's words: the cell shows and
// the field keeps the length it had, no field comes or goes, and the editor is open on the cell again.
TEST_F(SystemPageTest, ALengthTheCheckRefusesIsRefusedInItsCell) {
  ASSERT_EQ(d.nFields(), 2);  // 3.20 m and 4.50 m
  const struct {
    const char* name;
    int row;
    const char* typed;
    const char* message;
    const char* shown;  // the cell once its edit is left
  } cases[] = {
      {"negative", 3, "-2", "Feld 2: Feldlänge = -2 m ist nicht positiv.", "4.50 m"},
      // 0 removes the last field only: in field 1 it is a length
      {"zero in a field that is not the last", 2, "0", "Feld 1: Feldlänge = 0 m ist nicht positiv.", "3.20 m"},
      {"emptied", 2, "", "Feld 1: Feldlänge = 0 m ist nicht positiv.", "3.20 m"},
      // a new field of its own: none is added
      {"negative in the entry row", 4, "-1,5", "Feld 3: Feldlänge = -1.5 m ist nicht positiv.", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDOK);
    TypeAndEnter(Grid(), c.row, G::kColLength, c.typed);
    int row = -1, col = -1;
    ASSERT_TRUE(Grid().GetFocusCell(&row, &col));
    EXPECT_EQ(row, c.row);
    EXPECT_EQ(col, int(G::kColLength));
    EXPECT_EQ(EditorText(Grid()), c.typed) << "the editor is back on the cell with what was typed";
    ASSERT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_EQ(win::msgbox::Log()[0].text, c.message);
    EXPECT_EQ(win::msgbox::PendingAnswers(), 0u);
    win::input::Key(VK_ESCAPE);
    win::PumpMessages();
    EXPECT_EQ(win::msgbox::Log().size(), 1u) << "Escape leaves the kept value as it is";
    EXPECT_EQ(Grid().GetItemText(c.row, G::kColLength), c.shown);
    ASSERT_EQ(d.nFields(), 2);
    EXPECT_DOUBLE_EQ(d.fieldLengths[0].GetValue(), 3.2);
    EXPECT_DOUBLE_EQ(d.fieldLengths[1].GetValue(), 4.5);
    EXPECT_EQ(Grid().FieldCount(), 2);
  }
  // The only field of a column cannot be removed by a 0: it is a length then.
  Grid().OnCellContextMenu(3, G::kColLength, G::kCmdDelete);
  ASSERT_EQ(d.nFields(), 1);
  win::msgbox::ClearLog();
  win::msgbox::QueueAnswer(IDOK);
  TypeAndEnter(Grid(), 2, G::kColLength, "0");
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Feld 1: Feldlänge = 0 m ist nicht positiv.");
  EXPECT_EQ(d.nFields(), 1);
  EXPECT_DOUBLE_EQ(d.fieldLengths[0].GetValue(), 3.2);
}

// A length the check refuses that the file brought does not block its cell: Enter on it as it stands is no new
// entry, and the length typed over it is taken.
TEST_F(SystemPageTest, ARefusedLengthFromTheFileCanBeMendedInItsCell) {
  d.fieldLengths[0] = -1.0;
  dialog_.ExchangeData(FALSE);
  TypeAndEnter(Grid(), 2, G::kColLength, "-1");
  EXPECT_TRUE(win::msgbox::Log().empty());
  TypeAndEnter(Grid(), 2, G::kColLength, "2,8");
  EXPECT_TRUE(win::msgbox::Log().empty());
  EXPECT_DOUBLE_EQ(d.fieldLengths[0].GetValue(), 2.8);
  EXPECT_EQ(Grid().GetItemText(2, G::kColLength), "2.80 m");
}
