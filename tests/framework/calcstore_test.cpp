// The calculate-and-store road with a small program of its own (tests/framework/testprog: a beam whose moments
// M(x) = q x (l - x) / 2 become a generic result): program identity, fingerprints, the calculation by name, the
// result elements, plausibility dialogs with their answers and the jump to a field, output, and the busy flag.
#include <fstream>

#include "framework/basedata.h"
#include "framework/calcdll.h"
#include "framework/plaudlg.h"
#include "framework/progdb.h"
#include "framework/regsettings.h"
#include "framework/utilities.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/framework/progdb_test_support.h"

namespace {

namespace fs = std::filesystem;
using progdb_test::PiFile;
using progdb_test::TestProgram;
using progdb_test::WritePi;

class Beam : public BaseData {
 public:
  Beam() {
    progname = "TESTPROG";
    modulename = "balken";
  }
  void WriteData(int document) override {
    BaseData::WriteData(document);
    int input = VIDUV_FindFirstChild(VIDUV_GetRootElement(document), "input");
    VIDUV_SetDouble(input, "l", l);
    VIDUV_SetDouble(input, "q", q);
  }
  bool PrepareCalc(CStringArray& messages, int) override {
    ++prepareCalls;
    for (const auto& text : refusals) messages.Add(text.c_str());
    return refusals.empty() && !refuseSilently;
  }
  bool CheckInput(BaseVarList& messages, int) override {
    for (const BaseVarEntry& entry : plausi) messages.Add(entry);
    messages.pInputDlg = inputDialog;
    return messages.CountErrors() == 0;
  }
  void Draw2D(BOOL) override { ++draws; }

  double l = 4.0;   // m
  double q = 10.0;  // kN/m
  std::vector<std::string> refusals;
  bool refuseSilently = false;
  std::vector<BaseVarEntry> plausi;
  CWnd* inputDialog = nullptr;
  int prepareCalls = 0;
  int draws = 0;
};

using Result = std::array<int, 4>;
Result Calc(BaseData& position, BOOL withOutput = FALSE, BOOL redraw = FALSE) {
  CCalcAndStoreResult r;
  position.CalcAndStore(r, withOutput, redraw);
  return {r.calculated, r.inputAccepted, r.noResult, r.cancelled};
}

class CalcStoreTest : public pos_test::PosTest {
 protected:
  void SetUp() override {
    PosTest::SetUp();
    win::ResetWindowSystem();
    win::script::ClearLog();
    win::test::FailOnUnscriptedInteraction();
    Install(TestProgram());
    doc_ = NewDocument("Balken.tqx");
    beam.doc = doc_;
  }
  void TearDown() override {
    EXPECT_EQ(win::script::PendingDialogs(), 0u);
    EXPECT_EQ(win::msgbox::PendingAnswers(), 0u);
    win::ResetWindowSystem();
    win::script::SetUnscriptedHandler(nullptr);
    win::msgbox::SetUnscriptedHandler(nullptr);
    SetPlausiJumpHandlers({});
    PosTest::TearDown();
  }
  void Install(const PiFile& pi) {
    WritePi(folder_, "testprog.pi", pi);
    GetProgDB().Reload();
    SetProgramLookup(&GetProgDBLookup());
  }
  int Calls() const { return VIDUV_GetInt(Root(doc_), "testCalls"); }
  int Outputs() const { return VIDUV_GetInt(Root(doc_), "testOutputs"); }
  int LastFlag() const { return VIDUV_GetInt(Root(doc_), "lastFlag"); }
  std::array<unsigned char, 16> Stored(const char* name) const {
    std::array<unsigned char, 16> print{};
    int info = Child(doc_, "info");
    EXPECT_EQ(VIDUV_GetBinDataLength(info, name), 16);
    VIDUV_GetBinData(info, name, print.data());
    return print;
  }
  static constexpr std::array<unsigned char, 16> kZero{};
  fs::path Output() const { return folder_ / "Balken.rtf"; }

  Beam beam;
  int doc_ = 0;
};

TEST_F(CalcStoreTest, CalculatesOnceAndAnUnchangedInputIsNotCalculatedAgain) {
  EXPECT_EQ(Calc(beam), (Result{1, 1, 0, 0}));
  EXPECT_EQ(Calls(), 1);
  EXPECT_EQ(LastFlag(), 0);
  // The result tree was read back: M(l/2) = q l^2 / 8 = 10 * 16 / 8 = 20 kNm at x = 2 m.
  ASSERT_EQ(beam.resultEntries.GetSize(), 1);
  EXPECT_EQ(beam.resultEntries[0].path, "Schnittgrößen\\My");
  EXPECT_FLOAT_EQ(beam.resultEntries[0].maxValue, 20.0f);
  EXPECT_FLOAT_EQ(beam.resultEntries[0].maxPosition, 2.0f);
  EXPECT_EQ(beam.resultMessage, "Balken gerechnet");
  EXPECT_EQ(Stored("input_fingerprint"), Fingerprint(Child(doc_, "input")));
  // Without output the output fingerprint is cleared.
  EXPECT_EQ(Stored("output_fingerprint"), kZero);
  EXPECT_EQ(Child(doc_, "rtfFiles"), 0);

  EXPECT_EQ(Calc(beam), (Result{0, 0, 0, 0}));
  EXPECT_EQ(Calls(), 1);
  EXPECT_EQ(beam.prepareCalls, 1);
  EXPECT_EQ(beam.resultEntries.GetSize(), 1);
}

TEST_F(CalcStoreTest, ChangedInputIsCalculatedAgain) {
  Calc(beam);
  beam.q = 20.0;
  EXPECT_EQ(Calc(beam), (Result{1, 1, 0, 0}));
  EXPECT_EQ(Calls(), 2);
  // q l^2 / 8 = 20 * 16 / 8 = 40 kNm.
  EXPECT_FLOAT_EQ(beam.resultEntries[0].maxValue, 40.0f);
  EXPECT_EQ(VIDUV_FindNextChild(Child(doc_, "result"), "result"), 0);  // the old result was replaced, not kept
}

TEST_F(CalcStoreTest, DocumentWithoutResultIsAlwaysCalculated) {
  Calc(beam);
  VIDUV_DeleteElement(Child(doc_, "result"));
  EXPECT_EQ(Calc(beam), (Result{1, 1, 0, 0}));
  EXPECT_EQ(Calls(), 2);
}

TEST_F(CalcStoreTest, FailingCalculationLeavesNoResultAndIsTriedAgain) {
  Calc(beam);
  ASSERT_NE(Child(doc_, "result"), 0);
  beam.l = 0.0;  // the program fails without writing a result
  EXPECT_EQ(Calc(beam), (Result{0, 1, 1, 0}));
  EXPECT_EQ(Child(doc_, "result"), 0);
  EXPECT_EQ(beam.resultEntries.GetSize(), 0);
  EXPECT_EQ(Calc(beam), (Result{0, 1, 1, 0}));
  EXPECT_EQ(Calls(), 3);
  EXPECT_EQ(Child(doc_, "rtfFiles"), 0);
}

TEST_F(CalcStoreTest, CalculationThatStopsIsNotCalculated) {
  beam.l = 150.0;  // "abbruch" = 1
  EXPECT_EQ(Calc(beam), (Result{0, 1, 0, 0}));
  EXPECT_NE(Child(doc_, "result"), 0);
}

TEST_F(CalcStoreTest, UnknownProgramGivesAMessageAndNothingElse) {
  beam.progname = "UNBEKANNT";
  win::msgbox::QueueAnswer(IDOK);
  EXPECT_EQ(Calc(beam), (Result{0, 0, 0, 0}));
  EXPECT_EQ(Messages(), std::vector<std::string>{"Unbekannte Programm-Kennung UNBEKANNT/balken"});
  EXPECT_EQ(Calls(), 0);
  EXPECT_EQ(beam.busy, 0);
}

TEST_F(CalcStoreTest, WithoutDocumentNothingIsDone) {
  Beam empty;
  EXPECT_EQ(Calc(empty), (Result{0, 1, 0, 0}));
  EXPECT_EQ(empty.busy, 0);
}

// A host calculation routine that asks for a calculation while it runs.
Beam* g_reentrant = nullptr;
Result g_nested{};
int ReentrantRoutine(int document, int flag) {
  g_nested = Calc(*g_reentrant);
  VIDUV_SetInt(VIDUV_AddChildElement(VIDUV_GetRootElement(document), "result"), "abbruch", 0);
  return flag;
}

TEST_F(CalcStoreTest, CallMadeWhileACalculationRunsReturnsAtOnce) {
  PiFile pi = TestProgram();
  pi.iface["calcDLLName"] = kHostExecutableName;
  pi.iface["calcProcName"] = "rechneNochmal";
  Install(pi);
  RegisterHostCalcProc("rechneNochmal", &ReentrantRoutine);
  g_reentrant = &beam;
  g_nested = {-1, -1, -1, -1};
  EXPECT_EQ(Calc(beam), (Result{1, 1, 0, 0}));
  EXPECT_EQ(g_nested, (Result{0, 1, 0, 0}));
  EXPECT_EQ(beam.prepareCalls, 1);
  EXPECT_EQ(beam.busy, 0);
  RegisterHostCalcProc("rechneNochmal", nullptr);
}

TEST_F(CalcStoreTest, MissingCalculationRoutineIsReportedAndLeavesNoResult) {
  PiFile pi = TestProgram();
  pi.iface["calcProcName"] = "gibtEsNicht";
  Install(pi);
  win::msgbox::QueueAnswer(IDOK);
  win::msgbox::QueueAnswer(IDOK);
  EXPECT_EQ(Calc(beam), (Result{0, 1, 1, 0}));
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Die Funktion 'gibtEsNicht' in der dll 'svc_testprog.dll' wurde nicht gefunden!",
                                      "Fehler beim Aufruf der Berechnungsroutine.\nPosition kann nicht gerechnet "
                                      "werden!"}));
}

// --- Plausibility ---

TEST_F(CalcStoreTest, RefusedInputShowsTheTextsAndForgetsTheFingerprint) {
  Calc(beam);
  beam.q = -1.0;
  beam.refusals = {"Lasten\\Last negativ", "Lasten\\Keine Einwirkung"};
  win::script::QueueDialog([](CDialog& d) {
    auto& dialog = static_cast<PlauCtrlV1&>(d);
    EXPECT_EQ(dialog.m_tree.GetCount(), 3u);  // the folder and its two messages
    d.EndDialog(IDOK);
  });
  EXPECT_EQ(Calc(beam), (Result{0, 0, 0, 0}));
  EXPECT_EQ(Calls(), 1);
  EXPECT_EQ(Stored("input_fingerprint"), kZero);
  // Refused without texts: no dialog.
  beam.refusals.clear();
  beam.refuseSilently = true;
  EXPECT_EQ(Calc(beam), (Result{0, 0, 0, 0}));
  // Accepted again: the forgotten fingerprint makes it calculate.
  beam.refuseSilently = false;
  beam.q = 10.0;
  EXPECT_EQ(Calc(beam), (Result{1, 1, 0, 0}));
  EXPECT_EQ(Calls(), 2);
}

BaseVarEntry Plausi(int kind, const char* text, int page = -1) {
  BaseVarEntry entry;
  entry.kind = kind;
  entry.icon = kind == BaseVarEntry::kError ? 0 : 1;
  entry.text = text;
  entry.page = page;
  return entry;
}

TEST_F(CalcStoreTest, SecondFormWithoutMessagesCalculatesWithoutADialog) {
  beam.bPlausiV2 = true;
  EXPECT_EQ(Calc(beam), (Result{1, 1, 0, 0}));
  EXPECT_EQ(win::script::Log().size(), 0u);
}

TEST_F(CalcStoreTest, SecondFormListsWarningsWithTheirKindsAndStartsTheCalculation) {
  beam.bPlausiV2 = true;
  beam.plausi = {Plausi(BaseVarEntry::kWarning, "System\\Schlankheit groß"),
                 Plausi(BaseVarEntry::kWarning, "Lasten\\Nur eine Einwirkung", 3)};
  win::script::QueueDialog([](CDialog& d) {
    CString errors, warnings;
    d.GetDlgItemText(IDC_PLAUSI_ERRORS, errors);
    d.GetDlgItemText(IDC_PLAUSI_WARNINGS, warnings);
    EXPECT_EQ(errors, "0");
    EXPECT_EQ(warnings, "2");
    EXPECT_EQ(static_cast<PlauCtrlV2&>(d).m_tree.GetCount(), 4u);
    win::input::ClickCenter(d.GetDlgItem(IDC_PLAUSI_START)->m_hWnd);
  });
  EXPECT_EQ(Calc(beam), (Result{1, 1, 0, 0}));
  EXPECT_EQ(Calls(), 1);
  // The fingerprint reset after the dialog was replaced by the new one.
  EXPECT_EQ(Stored("input_fingerprint"), Fingerprint(Child(doc_, "input")));
}

TEST_F(CalcStoreTest, CancelOrEscapeInTheSecondFormMeansNoCalculation) {
  beam.bPlausiV2 = true;
  beam.plausi = {Plausi(BaseVarEntry::kError, "Querschnitt fehlt")};
  win::script::QueueDialog([](CDialog& d) { win::input::ClickCenter(d.GetDlgItem(IDCANCEL)->m_hWnd); });
  EXPECT_EQ(Calc(beam), (Result{0, 0, 0, 1}));
  // Warnings only, so the check passed, but the user pressed Escape.
  beam.plausi = {Plausi(BaseVarEntry::kWarning, "Bewehrung gering")};
  win::script::QueueDialog([](CDialog&) { win::input::Key(VK_ESCAPE); });
  EXPECT_EQ(Calc(beam), (Result{0, 0, 0, 1}));
  EXPECT_EQ(Calls(), 0);
  EXPECT_EQ(Child(doc_, "result"), 0);
}

TEST_F(CalcStoreTest, ChosenMessageJumpsToItsFieldAndDoesNotCalculate) {
  std::vector<int> pages;
  SetPlausiJumpHandlers({[&](CWnd*, int page) { pages.push_back(page); }, {}});
  CWnd inputDialog;
  beam.inputDialog = &inputDialog;
  beam.bPlausiV2 = true;
  beam.plausi = {Plausi(BaseVarEntry::kError, "System\\Länge 0", 1),
                 Plausi(BaseVarEntry::kError, "Lasten\\Lastfall leer", 3)};
  win::script::QueueDialog([](CDialog& d) {
    auto& tree = static_cast<PlauCtrlV2&>(d).m_tree;
    HTREEITEM loads = tree.GetNextSiblingItem(tree.GetRootItem());
    tree.SelectItem(tree.GetChildItem(loads));
    win::input::ClickCenter(d.GetDlgItem(IDC_PLAUSI_JUMP)->m_hWnd);
  });
  EXPECT_EQ(Calc(beam), (Result{0, 0, 0, 0}));
  EXPECT_EQ(pages, std::vector<int>{3});
  EXPECT_EQ(Calls(), 0);
  EXPECT_EQ(Stored("input_fingerprint"), kZero);
}

// --- Output ---

TEST_F(CalcStoreTest, ProgramWithoutOutputRoutineWritesItsOutputWhenCalculating) {
  EXPECT_EQ(Calc(beam, TRUE), (Result{1, 1, 0, 0}));
  EXPECT_EQ(LastFlag(), 1);
  ASSERT_TRUE(fs::exists(Output()));
  CFingerPrint output;
  output.FromFile(Output().c_str());
  EXPECT_TRUE(std::equal(output.GetData(), output.GetData() + 16, Stored("output_fingerprint").begin()));

  EXPECT_EQ(Calc(beam, TRUE), (Result{0, 0, 0, 0}));
  EXPECT_EQ(Calls(), 1);
  // The output file alone is gone: the calculation runs again to make it.
  fs::remove(Output());
  EXPECT_EQ(Calc(beam, TRUE), (Result{1, 1, 0, 0}));
  EXPECT_EQ(Calls(), 2);
  EXPECT_EQ(LastFlag(), 1);
  // A changed output file counts as stale too.
  std::ofstream(Output(), std::ios::app) << "geändert";
  EXPECT_EQ(Calc(beam, TRUE), (Result{1, 1, 0, 0}));
  EXPECT_EQ(Calls(), 3);
}

TEST_F(CalcStoreTest, ProgramWithOutputRoutineMakesItsOutputSeparately) {
  PiFile pi = TestProgram();
  pi.iface["rtfDLLName"] = "svc_testprog.dll";
  pi.iface["rtfProcName"] = "testprogRtf";
  Install(pi);
  EXPECT_EQ(Calc(beam, TRUE), (Result{1, 1, 0, 0}));
  EXPECT_EQ(Calls(), 1);
  EXPECT_EQ(Outputs(), 1);
  EXPECT_EQ(LastFlag(), 1);  // the output routine's flag, after the calculation's 0
  EXPECT_EQ(Calc(beam, TRUE), (Result{0, 0, 0, 0}));
  EXPECT_EQ(Outputs(), 1);
  fs::remove(Output());
  EXPECT_EQ(Calc(beam, TRUE), (Result{0, 0, 0, 0}));
  EXPECT_EQ(Calls(), 1);
  EXPECT_EQ(Outputs(), 2);
  EXPECT_TRUE(fs::exists(Output()));
  EXPECT_EQ(Child(doc_, "rtfFiles"), 0);
}

TEST_F(CalcStoreTest, RedrawWithoutOutputDrawsThePreview) {
  Calc(beam, FALSE, TRUE);
  EXPECT_EQ(beam.draws, 1);
  Calc(beam, TRUE, TRUE);
  EXPECT_EQ(beam.draws, 1);
}

TEST_F(CalcStoreTest, SaveAlwaysWritesThePositionFile) {
  SetRegistryString(CRegSettings::kSuiteKey, "bSaveAlways", "1");
  Calc(beam);
  int saved = VIDUV_OpenDoc((folder_ / "Balken.tqx").c_str());
  ASSERT_NE(saved, 0);
  EXPECT_NE(VIDUV_FindFirstChild(VIDUV_GetRootElement(saved), "result"), 0);
  EXPECT_EQ(VIDUV_FindFirstChild(VIDUV_GetRootElement(saved), "rtfFiles"), 0);
  VIDUV_CloseDoc(saved);
}

TEST_F(CalcStoreTest, SaveAlwaysSaysWhenThePositionCannotBeSaved) {
  SetRegistryString(CRegSettings::kSuiteKey, "bSaveAlways", "1");
  Calc(beam);
  // Another run rewrote the file meanwhile: neither save of the next calculation may replace it, and both say so.
  const fs::path file = folder_ / "Balken.tqx";
  const std::string other = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root/>\n";
  std::ofstream(file, std::ios::binary) << other;
  beam.l = 5.0;
  win::msgbox::QueueAnswer(IDOK);
  win::msgbox::QueueAnswer(IDOK);
  EXPECT_EQ(Calc(beam)[0], 1);
  const std::vector<std::string> boxes = Messages();
  ASSERT_EQ(boxes.size(), 2u);
  for (const std::string& box : boxes)
    EXPECT_EQ(box.rfind("Die Position konnte nicht gespeichert werden:\n", 0), 0u) << box;
  std::ifstream in(file, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), other);
}

void AddExportedVariable(BaseData& position, const char* name, double value) {
  auto variable = std::make_unique<CVarDefVariable>();
  variable->varName = name;
  variable->desc = "Höhe";
  variable->unit = "m";
  variable->value = value;
  variable->bExported = TRUE;
  position.varDefs.Add(std::move(variable));
}

TEST_F(CalcStoreTest, StaleOutputHandsTheVariableDefinitionsReportToTheProgram) {
  AddExportedVariable(beam, "h", 2.5);
  EXPECT_EQ(Calc(beam), (Result{1, 1, 0, 0}));
  // Without output nothing is stale: no report block.
  EXPECT_EQ(VIDUV_GetInt(Root(doc_), "sawVardef"), 0);
  // The report of a position named "Balken.tmp" stands beside it: the block's temporary never takes its place.
  { std::ofstream(folder_ / "Balken.tmp.rtf") << "Bericht von Balken.tmp"; }
  beam.q = 12.0;
  EXPECT_EQ(Calc(beam, TRUE), (Result{1, 1, 0, 0}));
  EXPECT_EQ(VIDUV_GetInt(Root(doc_), "sawVardef"), 1);
  EXPECT_EQ(Child(doc_, "rtfFiles"), 0);
  std::ifstream kept(folder_ / "Balken.tmp.rtf");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "Bericht von Balken.tmp");
  // and the block's own folder is gone
  for (const auto& entry : fs::directory_iterator(folder_))
    EXPECT_EQ(entry.path().filename().string().rfind(".kolumo-", 0), std::string::npos) << entry.path();
}

TEST_F(CalcStoreTest, SilentCalcCalculatesWithOutputAndWritesTheExportsOnce) {
  AddExportedVariable(beam, "h", 2.5);
  beam.SilentCalc();
  EXPECT_EQ(Calls(), 1);
  EXPECT_EQ(LastFlag(), 1);
  beam.SilentCalc();
  EXPECT_EQ(Calls(), 1);
  int exports = 0;
  for (int e = Child(doc_, "exports"); e; e = VIDUV_FindNextChild(e, "exports")) ++exports;
  ASSERT_EQ(exports, 1);
  std::vector<std::string> names;
  for (int v = VIDUV_FindFirstChild(Child(doc_, "exports"), "value"); v; v = VIDUV_FindNextChild(v, "value"))
    names.push_back(VIDUV_GetString(v, "varName"));
  EXPECT_EQ(names, std::vector<std::string>{"h"});
}

}  // namespace

// The second form shows each message with the system's icon of its kind: error red, warning yellow, 24 pixels.
TEST_F(CalcStoreTest, SecondFormShowsErrorAndWarningIcons) {
  beam.bPlausiV2 = true;
  beam.plausi = {Plausi(BaseVarEntry::kError, "Querschnitt fehlt"), Plausi(BaseVarEntry::kWarning, "Bewehrung gering")};
  win::script::QueueDialog([](CDialog& d) {
    auto& tree = static_cast<PlauCtrlV2&>(d).m_tree;
    CImageList* images = tree.GetImageList(TVSIL_NORMAL);
    ASSERT_NE(images, nullptr);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images->GetSafeHandle(), &cx, &cy);
    EXPECT_EQ(cx, 24);
    HTREEITEM error = tree.GetRootItem(), warning = tree.GetNextSiblingItem(error);
    int image = -1, selected = -1;
    tree.GetItemImage(warning, image, selected);
    EXPECT_EQ(image, 1);
    win::Image shot = win::RenderWindow(tree.m_hWnd);
    if (const char* out = std::getenv("KOLUMO_TEST_PNG")) win::SaveWindowPng(d.m_hWnd, out);
    CRect e, w;
    tree.GetItemRect(error, &e, TRUE);
    tree.GetItemRect(warning, &w, TRUE);
    COLORREF red = shot.At(e.left - 3 - 12, e.top + 4);        // the disc's upper part, above the cross
    COLORREF yellow = shot.At(w.left - 3 - 18, w.bottom - 4);  // the triangle's lower left, beside the mark
    EXPECT_GT(GetRValue(red), 150);
    EXPECT_LT(GetGValue(red), 80);
    EXPECT_GT(GetGValue(yellow), 150);
    EXPECT_LT(GetBValue(yellow), 80);
    win::input::ClickCenter(d.GetDlgItem(IDCANCEL)->m_hWnd);
  });
  EXPECT_EQ(Calc(beam), (Result{0, 0, 0, 1}));
}
