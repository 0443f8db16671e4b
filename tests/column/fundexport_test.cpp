// The foundation position: where it is written, what it holds, and that an existing file is replaced only after
// the question, whole, and only by a plate-foundation position.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "column/fundexport.h"
#include "column/kolumodata.h"
#include "calc_run_support.h"
#include "column/lagerexport.h"
#include "export_test_support.h"
#include "formula/formulanumber.h"
#include "formula/varstore.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/msgbox.h"

namespace {

using export_test::ExportTest;
using export_test::FileBytes;
using export_test::WriteFoundationTemplate;

constexpr double kTol = 1e-9;
constexpr const char* kQuestion =
    "Fundamentposition vorhanden.\nSoll die vorhandene Fundamentposition\nüberschrieben werden?";
constexpr const char* kMismatch =
    "Vorhandene Fundamentposition ist kein Plattenfundament. Bitte zuerst die vorhanden Fundamentposition löschen. "
    "Danach Stützenposition erneut rechnen.";

class FoundationTest : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    export_test::FillCantilever(data_);
    data_.bx = 2.5;
    data_.by = 2.0;
    data_.hoehe = 0.8;
    data_.fakt = 1.4;
    data_.FudPos = 1;
    data_.bSchreibeErgebnisse = 1;
    doc_ = NewDocument("Stuetze.tqx");
    target_ = folder_ / "Stuetze_Fund.tqx";
    // An installation without a template of its own: only the user's template, where a test writes one, serves.
    std::filesystem::create_directories(folder_ / "install");
    root_ = std::make_unique<column_test::EnvVar>("KOLUMO_ROOT", (folder_ / "install").string());
  }
  void TearDown() override {
    root_.reset();
    ExportTest::TearDown();
  }
  // Opens the foundation file; 0 when there is none.
  int OpenTarget() {
    const int doc = VIDUV_OpenDoc(target_.c_str());
    if (doc) docs_.push_back(doc);
    return doc;
  }
  static int Path(int doc, std::initializer_list<const char*> names) {
    int element = VIDUV_GetRootElement(doc);
    for (const char* name : names) element = VIDUV_FindFirstChild(element, name);
    return element;
  }
  static std::vector<int> Children(int parent, const char* name) {
    std::vector<int> children;
    for (int c = VIDUV_FindFirstChild(parent, name); c; c = VIDUV_FindNextChild(c, name)) children.push_back(c);
    return children;
  }

  CKolumoData data_;
  int doc_ = 0;
  std::filesystem::path target_;
  std::unique_ptr<column_test::EnvVar> root_;
};

TEST_F(FoundationTest, WrittenBesideThePositionDuringTheCalculationsWrite) {
  WriteFoundationTemplate(TemplatePath());
  WriteExports(data_, doc_, kExportModus);
  EXPECT_TRUE(std::filesystem::exists(target_));
  EXPECT_TRUE(win::msgbox::Log().empty());
  // The template itself is not changed.
  const int tmpl = VIDUV_OpenDoc(TemplatePath().c_str());
  docs_.push_back(tmpl);
  EXPECT_EQ(Children(Path(tmpl, {"input", "last"}), "lastgruppe").size(), 1u);
  EXPECT_EQ(VIDUV_FindFirstChild(Path(tmpl, {"input"}), "vardef"), 0);
}

TEST_F(FoundationTest, NotWrittenOutsideTheCalculationOrWithoutTheOption) {
  WriteFoundationTemplate(TemplatePath());
  for (auto [fudPos, writing] : {std::pair{1, 0}, std::pair{0, 1}}) {
    data_.FudPos = fudPos;
    data_.bSchreibeErgebnisse = writing;
    WriteExports(data_, doc_, kExportModus);
    EXPECT_FALSE(std::filesystem::exists(target_)) << fudPos << writing;
  }
}

// The loads of the design combinations LK 1 to 3 of the cantilever, divided by the factor 1.4:
//   group 2 (LK 1): p = 675 / 1.4 = 482.142857..., hy = 15 / 1.4, my = 60 / 1.4, my2 = 2.5 / 1.4, hx = mx = mx2 = 0
//   group 3 (LK 2): p = 675 / 1.4, hx = 7.5 / 1.4, mx = 30 / 1.4, mx2 = 1.2 / 1.4, hy = 10.5 / 1.4, my = 42 / 1.4,
//                   my2 = 1.8 / 1.4
//   group 4 (LK 3): p = 500 / 1.4, hx = 7.5 / 1.4, mx = 30 / 1.4, mx2 = 0.9 / 1.4
TEST_F(FoundationTest, HoldsTheLoadsOfTheFoundationCombinations) {
  WriteFoundationTemplate(TemplatePath());
  ASSERT_TRUE(WriteFoundationPosition(data_, (folder_ / "Stuetze").c_str()));
  const int doc = OpenTarget();
  ASSERT_NE(doc, 0);
  const int root = VIDUV_GetRootElement(doc);
  EXPECT_STREQ(VIDUV_GetString(root, "progname"), "FUND");
  EXPECT_STREQ(VIDUV_GetString(root, "modulename"), "platte2");

  const std::vector<int> groups = Children(Path(doc, {"input", "last"}), "lastgruppe");
  ASSERT_EQ(groups.size(), 4u);  // the template's group is replaced
  EXPECT_STREQ(VIDUV_GetString(groups[0], "bezeichnung"), "Reserviert für Eigengewicht");
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(groups[0], "p"), 0.01);

  struct Expected {
    int nr;
    const char* name;
    double p, hx, hy, mx, mx2, my, my2;  // design values
  };
  const Expected expected[3] = {{2, "Endsystem_LK1(design)", 675, 0, 15, 0, 0, 60, 2.5},
                                {3, "Endsystem_LK2(design)", 675, 7.5, 10.5, 30, 1.2, 42, 1.8},
                                {4, "Endsystem_LK3(design)", 500, 7.5, 0, 30, 0.9, 0, 0}};
  // The foundation position evaluates each load as its formula over its own variable Faktor.
  CVariableStore store;
  store.SetVariable("Faktor", "", "", 1.4);
  for (int i = 0; i < 3; ++i) {
    const Expected& e = expected[i];
    const int g = groups[std::size_t(i) + 1];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(VIDUV_GetInt(g, "nr"), e.nr);
    EXPECT_EQ(VIDUV_GetInt(g, "lf"), e.nr);
    EXPECT_STREQ(VIDUV_GetString(g, "bezeichnung"), e.name);
    const std::pair<const char*, double> loads[7] = {{"p", e.p},     {"hx", e.hx}, {"hy", e.hy},  {"mx", e.mx},
                                                     {"mx2", e.mx2}, {"my", e.my}, {"my2", e.my2}};
    for (auto [name, design] : loads) {
      EXPECT_NEAR(VIDUV_GetDouble(g, name), design / 1.4, kTol) << name;
      CFormulaNumber number = GetXmlFormulaNumber(g, name);
      ASSERT_FALSE(number.m_bNumber) << name;
      CString exp;
      exp.Format("%.2lf/Faktor", design);
      EXPECT_EQ(number.m_strText, exp) << name;
      number.m_pStore = &store;
      EXPECT_NEAR(number.GetValue(), design / 1.4, 1e-6) << name;
    }
    EXPECT_EQ(VIDUV_GetDouble(g, "flaeche_rechts"), 0.0);
  }

  // The factor as the position's variable.
  const int entry = Path(doc, {"input", "vardef", "entry"});
  EXPECT_STREQ(VIDUV_GetString(entry, "varName"), "Faktor");
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(entry, "val"), 1.4);
  EXPECT_EQ(VIDUV_GetInt(Path(doc, {"input", "vardef"}), "numOfEntries"), 1);

  // Load cases: 1 of the permanent action, 2 to 4 of the alternative one.
  const std::vector<int> lastfaelle = Children(Path(doc, {"input", "lastUeberlagerung", "lastfaelle"}), "lastfall");
  ASSERT_EQ(lastfaelle.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(VIDUV_GetInt(lastfaelle[std::size_t(i)], "lf"), i + 1);
    EXPECT_EQ(VIDUV_GetInt(lastfaelle[std::size_t(i)], "einw"), i == 0 ? 1 : 2);
  }
  const std::vector<int> actions = Children(Path(doc, {"input", "lastUeberlagerung", "einwirkungen"}), "einwirkung");
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_EQ(VIDUV_GetInt(actions[0], "lastfaelle"), 1);
  EXPECT_STREQ(VIDUV_GetString(actions[1], "lastfaelle"), " 2 , 3 , 4 ");
  EXPECT_EQ(VIDUV_GetInt(actions[1], "indexGruppeHHHH"), 2);
  EXPECT_STREQ(VIDUV_GetString(actions[1], "desc"), "2: Nutzlast Kat. A/B");

  const int wahl = Path(doc, {"input", "wahl"});
  EXPECT_EQ(VIDUV_GetInt(wahl, "berart"), 1);
  EXPECT_EQ(VIDUV_GetInt(wahl, "lkmanuell"), 1);
  // Foundation 2.5 m x 2.0 m x 0.8 m; rectangular foot section 40 cm x 35 cm.
  const int geom = Path(doc, {"input", "geom"});
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(geom, "afu"), 2.5);
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(geom, "bfu"), 2.0);
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(geom, "hfu"), 0.8);
  EXPECT_EQ(VIDUV_GetInt(geom, "querschnitt"), 0);
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(geom, "astue"), 0.40);
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(geom, "bstue"), 0.35);
}

TEST_F(FoundationTest, FootSectionOfAnotherKindHasOneDimension) {
  WriteFoundationTemplate(TemplatePath());
  data_.SetFieldCount(2);
  data_.querschnitte[1].type = 1;
  data_.querschnitte[1].bx = 50.0;
  ASSERT_TRUE(WriteFoundationPosition(data_, (folder_ / "Stuetze").c_str()));
  const int geom = Path(OpenTarget(), {"input", "geom"});
  EXPECT_EQ(VIDUV_GetInt(geom, "querschnitt"), 1);
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(geom, "astue"), 0.5);
  EXPECT_EQ(VIDUV_GetDouble(geom, "bstue"), 0.0);
}

TEST_F(FoundationTest, WithoutDesignRecordsOnlyTheReservedGroup) {
  WriteFoundationTemplate(TemplatePath());
  data_.ergebnisse.Fundkraefte.resize(3);  // the characteristic records only
  ASSERT_TRUE(WriteFoundationPosition(data_, (folder_ / "Stuetze").c_str()));
  const int doc = OpenTarget();
  EXPECT_EQ(Children(Path(doc, {"input", "last"}), "lastgruppe").size(), 1u);
  EXPECT_EQ(Children(Path(doc, {"input", "lastUeberlagerung", "lastfaelle"}), "lastfall").size(), 1u);
  const std::vector<int> actions = Children(Path(doc, {"input", "lastUeberlagerung", "einwirkungen"}), "einwirkung");
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_STREQ(VIDUV_GetString(actions[1], "lastfaelle"), "");
}

TEST_F(FoundationTest, OtherStagesNameTheirGroups) {
  WriteFoundationTemplate(TemplatePath());
  data_.ergebnisse.Fundkraefte.resize(3);
  export_test::AddRecord(data_, 7, 2, {{1, 0, 0, 100, 0, 0}});
  export_test::AddRecord(data_, 9, 1, {{1, 0, 0, 100, 0, 0}});
  ASSERT_TRUE(WriteFoundationPosition(data_, (folder_ / "Stuetze").c_str()));
  const std::vector<int> groups = Children(Path(OpenTarget(), {"input", "last"}), "lastgruppe");
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_STREQ(VIDUV_GetString(groups[1], "bezeichnung"), "Bauzustand1_LK7(design)");
  EXPECT_STREQ(VIDUV_GetString(groups[2], "bezeichnung"), "Transport_LK9(design)");
}

// An existing file is another position's until the user says otherwise.
TEST_F(FoundationTest, AnsweringNoKeepsTheExistingFile) {
  WriteFoundationTemplate(TemplatePath());
  WriteFoundationTemplate(target_);  // an existing plate-foundation position
  const std::string before = FileBytes(target_);
  win::msgbox::QueueAnswer(IDNO);
  EXPECT_FALSE(WriteFoundationPosition(data_, (folder_ / "Stuetze").c_str()));
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, kQuestion);
  EXPECT_EQ(win::msgbox::Log()[0].type & MB_TYPEMASK, UINT(MB_YESNO));
  EXPECT_EQ(FileBytes(target_), before);
}

TEST_F(FoundationTest, AnsweringYesUpdatesTheExistingFile) {
  WriteFoundationTemplate(target_);
  // Something of the existing position that the export does not touch stays.
  const int existing = VIDUV_OpenDoc(target_.c_str());
  VIDUV_SetString(VIDUV_FindFirstChild(VIDUV_GetRootElement(existing), "info"), "comment", "Fundament B/3");
  ASSERT_EQ(VIDUV_SaveDoc(existing), 1);
  VIDUV_CloseDoc(existing);
  win::msgbox::QueueAnswer(IDYES);
  EXPECT_TRUE(WriteFoundationPosition(data_, (folder_ / "Stuetze").c_str()));
  EXPECT_EQ(win::msgbox::Log().size(), 1u);
  const int doc = OpenTarget();
  EXPECT_STREQ(VIDUV_GetString(Path(doc, {"info"}), "comment"), "Fundament B/3");
  EXPECT_EQ(Children(Path(doc, {"input", "last"}), "lastgruppe").size(), 4u);
}

TEST_F(FoundationTest, AnotherModulesFileIsNeverChanged) {
  WriteFoundationTemplate(target_, "BALKEN", "durchlauf");
  const std::string before = FileBytes(target_);
  win::msgbox::QueueAnswer(IDYES);
  EXPECT_FALSE(WriteFoundationPosition(data_, (folder_ / "Stuetze").c_str()));
  ASSERT_EQ(win::msgbox::Log().size(), 2u);
  EXPECT_EQ(win::msgbox::Log()[1].text, kMismatch);
  EXPECT_EQ(FileBytes(target_), before);
}

TEST_F(FoundationTest, ExistingFileThatIsNoPositionStaysAsItIs) {
  {
    std::FILE* f = std::fopen(target_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("keine Position", f);
    std::fclose(f);
  }
  win::msgbox::QueueAnswer(IDYES);
  EXPECT_FALSE(WriteFoundationPosition(data_, (folder_ / "Stuetze").c_str()));
  EXPECT_EQ(FileBytes(target_), "keine Position");
  ASSERT_EQ(win::msgbox::Log().size(), 2u);  // the question, then why nothing was written
  EXPECT_EQ(win::msgbox::Log()[1].text, target_.string() +
                                            " ist keine vollständige Plattenfundament-Position.\nDie "
                                            "Fundamentposition wird nicht geschrieben.");
}

// A template that cannot serve (missing, without an element the export fills, or another module's) leaves no file
// behind, neither a bare copy of the template nor a half-written position, and says why.
TEST_F(FoundationTest, UnusableTemplateLeavesNoFileAndSaysWhy) {
  const std::string missing = "Die Vorlage der Fundamentposition fehlt:\n" + TemplatePath().string() +
                              "\nDie Fundamentposition wird nicht geschrieben.";
  const std::string incomplete = TemplatePath().string() +
                                 " ist keine vollständige Plattenfundament-Position.\nDie Fundamentposition wird "
                                 "nicht geschrieben.";
  struct Case {
    const char* name;
    std::function<void()> make;
    std::string message;
  };
  const Case cases[] = {
      {"missing", [] {}, missing},
      {"without geom", [&] { WriteFoundationTemplate(TemplatePath(), "FUND", "platte2", /*withGeom=*/false); },
       incomplete},
      {"another module's", [&] { WriteFoundationTemplate(TemplatePath(), "BALKEN", "durchlauf"); }, incomplete},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(TemplatePath());
    c.make();
    win::msgbox::ClearLog();
    EXPECT_FALSE(WriteFoundationPosition(data_, (folder_ / "Stuetze").c_str()));
    EXPECT_FALSE(std::filesystem::exists(target_));
    ASSERT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_EQ(win::msgbox::Log()[0].text, c.message);
    for (const auto& entry : std::filesystem::directory_iterator(folder_))
      EXPECT_EQ(entry.path().string().find("Fund"), std::string::npos) << entry.path();
  }
}

TEST_F(FoundationTest, FactorOfZeroIsRefusedWithAMessage) {
  WriteFoundationTemplate(TemplatePath());
  for (double fakt : {0.0, -1.4}) {
    data_.fakt = fakt;
    win::msgbox::ClearLog();
    EXPECT_FALSE(WriteFoundationPosition(data_, (folder_ / "Stuetze").c_str()));
    EXPECT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(target_));
  }
}

}  // namespace
