// The column's support reactions under "exports": per-group and extremal characteristic reactions, design
// reactions of every combination, the group rules, the report tables, and what stays of the tree.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>

#include "column/fundexport.h"
#include "column/kolumodata.h"
#include "column/lagerexport.h"
#include "export_test_support.h"
#include "framework/exports.h"
#include "platform/rtfx/rtfx.h"
#include "platform/viduv/viduv.h"

namespace {

using export_test::AddAction;
using export_test::AddCombination;
using export_test::AddLoadCase;
using export_test::AddRecord;
using export_test::ExportMap;
using export_test::Exports;
using export_test::ExportTest;
using export_test::FillCantilever;

constexpr double kTol = 1e-9;

class ReactionExportTest : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    FillCantilever(data_);
    doc_ = NewDocument("Stuetze.tqx");
  }
  ExportMap Write(int mode = kExportModus) {
    WriteExports(data_, doc_, mode);
    return Exports(doc_);
  }
  static void ExpectValue(const ExportMap& values, const std::string& path, double val, const std::string& varName,
                          const std::string& unit) {
    auto it = values.find(path);
    ASSERT_NE(it, values.end()) << path;
    EXPECT_NEAR(it->second.val, val, kTol) << path;
    EXPECT_EQ(it->second.varName, varName) << path;
    EXPECT_EQ(it->second.unit, unit) << path;
  }
  static bool HasFolder(const ExportMap& values, const std::string& prefix) {
    for (const auto& [path, value] : values)
      if (path.rfind(prefix, 0) == 0) return true;
    return false;
  }

  CKolumoData data_;
  int doc_ = 0;
};

// Hand-worked groups of the cantilever (see FillCantilever): combinations 1 to 3 are evaluated.
//   group 1 "ständig" (load case 1, in every combination): Az = -Apz = 500 in each, so max = min = 500.
//   group 2 "Verkehr add.1" (load case 2, in combinations 1 and 2, not 3): Ay in {10, 10, 0}, Amy in {40, 40, 0}.
//   group 7 "Verkehr alt.1" (load case 3, in combinations 2 and 3, not 1): Ax in {0, 5, 5}, Amx in {0, 20, 20}.
// The factors are not applied: the sums are characteristic.
TEST_F(ReactionExportTest, GroupReactionsAreTheCharacteristicExtremesOfTheCombinations) {
  const ExportMap v = Write();
  ExpectValue(v, "Auflager1\\z-z\\1: ständig\\max Az", 500, "A1LF1_maxAz", "kN");
  ExpectValue(v, "Auflager1\\z-z\\1: ständig\\min Az", 500, "A1LF1_minAz", "kN");
  ExpectValue(v, "Auflager1\\y-y\\2: Verkehr add.1\\max Ay", 10, "A1LF2_maxAy", "kN");
  ExpectValue(v, "Auflager1\\y-y\\2: Verkehr add.1\\min Ay", 0, "A1LF2_minAy", "kN");
  ExpectValue(v, "Auflager1\\y-y\\2: Verkehr add.1\\max Amy", 40, "A1LF2_maxAmy", "kNm");
  ExpectValue(v, "Auflager1\\y-y\\2: Verkehr add.1\\min Amy", 0, "A1LF2_minAmy", "kNm");
  ExpectValue(v, "Auflager1\\x-x\\7: Verkehr alt.1\\max Ax", 5, "A1LF7_maxAx", "kN");
  ExpectValue(v, "Auflager1\\x-x\\7: Verkehr alt.1\\min Ax", 0, "A1LF7_minAx", "kN");
  ExpectValue(v, "Auflager1\\x-x\\7: Verkehr alt.1\\max Amx", 20, "A1LF7_maxAmx", "kNm");
  ExpectValue(v, "Auflager1\\x-x\\7: Verkehr alt.1\\min Amx", 0, "A1LF7_minAmx", "kNm");
  // No horizontal reaction from the permanent load, no vertical one from the horizontal loads.
  EXPECT_FALSE(HasFolder(v, "Auflager1\\x-x\\1: ständig\\"));
  EXPECT_FALSE(HasFolder(v, "Auflager1\\y-y\\1: ständig\\"));
  EXPECT_FALSE(HasFolder(v, "Auflager1\\z-z\\2: Verkehr add.1\\"));
  EXPECT_FALSE(HasFolder(v, "Auflager1\\z-z\\7: Verkehr alt.1\\"));
  // The head of a cantilever carries nothing.
  EXPECT_FALSE(HasFolder(v, "Auflager2\\"));
}

// Extremal superposition, support 1: max = sum of the group maxima, min = sum of the group minima,
// g = minimum of "ständig".
//   Az: max = 500, min = 500, g = 500, max-g = 0, min-g = 0
//   Ax: 5, 0, 0, 5, 0; Amx: 20, 0, 0, 20, 0; Ay: 10, 0, 0, 10, 0; Amy: 40, 0, 0, 40, 0
TEST_F(ReactionExportTest, ExtremalValuesSumTheGroups) {
  const ExportMap v = Write();
  const std::string z = "Auflager1\\z-z\\extremal\\";
  ExpectValue(v, z + "max Az", 500, "A1_maxAz_extr", "kN");
  ExpectValue(v, z + "min Az", 500, "A1_minAz_extr", "kN");
  ExpectValue(v, z + "Az (g)", 500, "A1_gAz_extr", "kN");
  ExpectValue(v, z + "Az (max-g)", 0, "A1_maxgAz_extr", "kN");
  ExpectValue(v, z + "Az (min-g)", 0, "A1_mingAz_extr", "kN");
  const std::string x = "Auflager1\\x-x\\extremal\\";
  ExpectValue(v, x + "max Ax", 5, "A1_maxAx_extr", "kN");
  ExpectValue(v, x + "Ax (max-g)", 5, "A1_maxgAx_extr", "kN");
  ExpectValue(v, x + "max Amx", 20, "A1_maxAmx_extr", "kNm");
  ExpectValue(v, x + "Amx (g)", 0, "A1_gAmx_extr", "kNm");
  ExpectValue(v, x + "Amx (min-g)", 0, "A1_mingAmx_extr", "kNm");
  const std::string y = "Auflager1\\y-y\\extremal\\";
  ExpectValue(v, y + "max Ay", 10, "A1_maxAy_extr", "kN");
  ExpectValue(v, y + "min Ay", 0, "A1_minAy_extr", "kN");
  ExpectValue(v, y + "max Amy", 40, "A1_maxAmy_extr", "kNm");
  ExpectValue(v, y + "Amy (max-g)", 40, "A1_maxgAmy_extr", "kNm");
}

TEST_F(ReactionExportTest, DesignReactionsEqualTheStoredRecords) {
  const ExportMap v = Write();
  // Hand values of FillCantilever.
  ExpectValue(v, "Auflager1\\z-z\\LK[1](design)\\Az", 675, "A1LK1_Az", "kN");
  ExpectValue(v, "Auflager1\\y-y\\LK[1](design)\\Amy", 60, "A1LK1_Amy", "kNm");
  ExpectValue(v, "Auflager1\\y-y\\LK[1](design)\\Admy", 2.5, "A1LK1_Admy", "kNm");
  ExpectValue(v, "Auflager1\\x-x\\LK[2](design)\\Admx", 1.2, "A1LK2_Admx", "kNm");
  EXPECT_FALSE(HasFolder(v, "Auflager1\\x-x\\LK[1](design)\\"));  // no x reaction in combination 1
  EXPECT_FALSE(HasFolder(v, "Auflager1\\y-y\\LK[3](design)\\"));  // nor a y reaction in combination 3
  // Every design row, against the record it came from.
  int compared = 0;
  for (const auto& record : data_.ergebnisse.Fundkraefte) {
    if (record->LK <= 0) continue;
    const std::string lk = "LK[" + std::to_string(record->LK) + "](design)\\";
    const std::string s = "Auflager" + std::to_string(record->KNr[0]);
    ExpectValue(v, s + "\\z-z\\" + lk + "Az", -record->Apz[0],
                "A" + std::to_string(record->KNr[0]) + "LK" + std::to_string(record->LK) + "_Az", "kN");
    ++compared;
    if (record->Apy[0] != 0.0) {
      EXPECT_NEAR(v.at(s + "\\y-y\\" + lk + "Ay").val, record->Apy[0], kTol);
      EXPECT_NEAR(v.at(s + "\\y-y\\" + lk + "Amy").val, record->Amy[0], kTol);
      EXPECT_NEAR(v.at(s + "\\y-y\\" + lk + "Admy").val, record->dAmy[0], kTol);
    }
    if (record->Apx[0] != 0.0) {
      EXPECT_NEAR(v.at(s + "\\x-x\\" + lk + "Ax").val, record->Apx[0], kTol);
      EXPECT_NEAR(v.at(s + "\\x-x\\" + lk + "Amx").val, record->Amx[0], kTol);
      EXPECT_NEAR(v.at(s + "\\x-x\\" + lk + "Admx").val, record->dAmx[0], kTol);
    }
  }
  EXPECT_EQ(compared, 3);
}

// With fewer than two combinations none is evaluated: the group extremes keep their start values, which must
// never reach the exports; the design reactions still do.
TEST_F(ReactionExportTest, PlaceholdersAreNeverExported) {
  for (int combinations : {0, 1}) {
    SCOPED_TRACE(combinations);
    data_.lastUeberlagerungBZ[0].kombinationen.SetSize(combinations);
    const ExportMap v = Write();
    for (const auto& [path, value] : v) EXPECT_LT(std::fabs(value.val), 1e6) << path;
    EXPECT_FALSE(HasFolder(v, "Auflager1\\z-z\\1: ständig\\"));
    EXPECT_FALSE(HasFolder(v, "Auflager1\\z-z\\extremal\\"));
    EXPECT_TRUE(v.count("Auflager1\\z-z\\LK[1](design)\\Az"));
  }
}

TEST_F(ReactionExportTest, SingleGroupWritesNoExtremalFolder) {
  // Only the permanent load: one per-group block (z), so no extremal superposition.
  CLKData& lk = data_.lastUeberlagerungBZ[0];
  lk.lastfaelle.SetSize(1);
  lk.kombinationen.RemoveAll();
  AddCombination(lk, "1.35*(1)");
  AddCombination(lk, "1.00*(1)");
  const ExportMap v = Write();
  EXPECT_TRUE(v.count("Auflager1\\z-z\\1: ständig\\max Az"));
  for (const char* axis : {"z-z", "x-x", "y-y"})
    EXPECT_FALSE(HasFolder(v, std::string("Auflager1\\") + axis + "\\extremal\\")) << axis;
  EXPECT_FALSE(HasFolder(v, "Auflager1\\x-x\\1: "));
  EXPECT_FALSE(HasFolder(v, "Auflager1\\y-y\\1: "));
}

TEST_F(ReactionExportTest, LoadCaseWithoutActionLeavesTheReactionsOut) {
  data_.lastUeberlagerungBZ[0].lastfaelle[1].einw = 0;
  data_.FudPos = 1;
  data_.bSchreibeErgebnisse = 1;
  export_test::WriteFoundationTemplate(TemplatePath());
  const ExportMap v = Write();
  EXPECT_TRUE(v.empty());
  EXPECT_NE(VIDUV_FindFirstChild(Root(doc_), "exports"), 0);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "Stuetze_Fund.tqx"));
}

TEST_F(ReactionExportTest, NoFoundationRecordsLeaveAnEmptyTree) {
  data_.ergebnisse.Fundkraefte.clear();
  EXPECT_TRUE(Write().empty());
  EXPECT_NE(VIDUV_FindFirstChild(Root(doc_), "exports"), 0);
}

// Writing again replaces the column's reaction folders; what the common part of the position exported (a variable
// directly under "exports", a folder of the document part) stays.
TEST_F(ReactionExportTest, WritingAgainReplacesOnlyTheReactionFolders) {
  Write();
  const int exports = VIDUV_FindFirstChild(Root(doc_), "exports");
  WriteExportValue(exports, "", "Breite", "b", 0.3, "m");
  WriteExportValue(exports, "Dokument\\", "Summe", "S", 12.0, "kN");
  // A combination that existed at the first write and is gone now.
  data_.ergebnisse.Fundkraefte.pop_back();
  const ExportMap v = Write();
  EXPECT_FALSE(HasFolder(v, "Auflager1\\z-z\\LK[3](design)\\"));
  EXPECT_TRUE(v.count("Auflager1\\z-z\\LK[2](design)\\Az"));
  ASSERT_TRUE(v.count("Breite"));
  EXPECT_EQ(v.at("Breite").varName, "b");
  EXPECT_TRUE(v.count("Dokument\\Summe"));
  EXPECT_EQ(column_test::ColumnTest::CountChildren(VIDUV_FindFirstChild(Root(doc_), "exports"), "folder"), 2);
}

// Group assignment: load cases of one action share its group; actions beyond the groups of their kind share the
// last one, with one message for each.
struct GroupCase {
  const char* name;
  std::vector<int> kinds;    // kind of action 1, 2, ...
  std::vector<int> actions;  // action of load case 1, 2, ...
  const char* folder;        // the z-z folder of the group checked
  const char* varName;       // of its minimum
  double minAz;              // its minimum: load case k carries Az = -100 k, all act in one combination
  int messages;
};

void PrintTo(const GroupCase& c, std::ostream* os) { *os << c.name; }

class GroupAssignmentTest : public ReactionExportTest, public testing::WithParamInterface<GroupCase> {};

TEST_P(GroupAssignmentTest, LoadCaseLandsInItsGroup) {
  const GroupCase& c = GetParam();
  CLKData& lk = data_.lastUeberlagerungBZ[0];
  lk.einwirkungen.RemoveAll();
  lk.lastfaelle.RemoveAll();
  lk.kombinationen.RemoveAll();
  for (std::size_t i = 0; i < c.kinds.size(); ++i) AddAction(lk, int(i) + 1, c.kinds[i]);
  for (int a : c.actions) AddLoadCase(lk, a);
  // The second combination holds every load case; the first is not evaluated.
  std::string all;
  for (std::size_t i = 1; i <= c.actions.size(); ++i) all += (i > 1 ? "+1.00*(" : "1.00*(") + std::to_string(i) + ")";
  AddCombination(lk, "1.00*(1)");
  AddCombination(lk, all.c_str());
  // Load case k carries Apz = 100 k, alone at support 1.
  data_.ergebnisse.Fundkraefte.clear();
  for (int k = 1; k <= int(c.actions.size()); ++k) AddRecord(data_, -k, 0, {{1, 0, 0, 100.0 * k, 0, 0}});
  const ExportMap v = Write();
  auto it = v.find(std::string("Auflager1\\z-z\\") + c.folder + "\\min Az");
  ASSERT_NE(it, v.end()) << c.folder;
  EXPECT_EQ(it->second.varName, c.varName);
  EXPECT_NEAR(it->second.val, c.minAz, kTol);
  EXPECT_EQ(int(win::msgbox::Log().size()), c.messages);
}

const GroupCase kGroupCases[] = {
    // Six additive actions: the sixth joins the fifth in "Verkehr add.5" (number 6): -500 - 600.
    {"SixthAdditive", {1, 1, 1, 1, 1, 1}, {1, 2, 3, 4, 5, 6}, "6: Verkehr add.5", "A1LF6_minAz", -1100, 1},
    // Eighth alternative action: with the seventh in "Verkehr alt.7" (number 13): -700 - 800.
    {"EighthAlternative",
     {2, 2, 2, 2, 2, 2, 2, 2},
     {1, 2, 3, 4, 5, 6, 7, 8},
     "13: Verkehr alt.7",
     "A1LF13_minAz",
     -1500,
     1},
    // Two accidental actions (kinds 3 and 4) share "außergewöhnlich" (number 14): -100 - 200.
    {"SecondAccidental", {3, 4}, {1, 2}, "14: außergewöhnlich", "A1LF14_minAz", -300, 1},
    {"PermanentIsGroupOne", {0, 2}, {1, 2}, "1: ständig", "A1LF1_minAz", -100, 0},
};
INSTANTIATE_TEST_SUITE_P(Groups, GroupAssignmentTest, testing::ValuesIn(kGroupCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Load cases 1 and 3 belong to action 1 (additive), load case 2 to action 2: group 2 holds load cases 1 and 3
// (Az -100 and -300 together), group 3 ("Verkehr add.2") load case 2 alone.
TEST_F(ReactionExportTest, LoadCasesOfOneActionAddUpInItsGroup) {
  CLKData& lk = data_.lastUeberlagerungBZ[0];
  lk.einwirkungen.RemoveAll();
  lk.lastfaelle.RemoveAll();
  lk.kombinationen.RemoveAll();
  AddAction(lk, 1, 1);
  AddAction(lk, 2, 1);
  for (int a : {1, 2, 1}) AddLoadCase(lk, a);
  AddCombination(lk, "1.00*(1)");
  AddCombination(lk, "1.00*(1)+1.00*(2)+1.00*(3)");
  AddCombination(lk, "1.00*(2)");
  data_.ergebnisse.Fundkraefte.clear();
  for (int k = 1; k <= 3; ++k) AddRecord(data_, -k, 0, {{1, 0, 0, 100.0 * k, 0, 0}});
  const ExportMap v = Write();
  EXPECT_NEAR(v.at("Auflager1\\z-z\\2: Verkehr add.1\\min Az").val, -400, kTol);
  EXPECT_NEAR(v.at("Auflager1\\z-z\\2: Verkehr add.1\\max Az").val, 0, kTol);
  EXPECT_NEAR(v.at("Auflager1\\z-z\\3: Verkehr add.2\\min Az").val, -200, kTol);
  // extremal minimum = -400 + -200
  EXPECT_NEAR(v.at("Auflager1\\z-z\\extremal\\min Az").val, -600, kTol);
}

// Load cases with a factor of 0.1 or less do not act in a combination.
TEST_F(ReactionExportTest, SmallFactorsLeaveALoadCaseOut) {
  CLKData& lk = data_.lastUeberlagerungBZ[0];
  lk.kombinationen.RemoveAll();
  AddCombination(lk, "1.00*(1)");
  AddCombination(lk, "1.00*(1)+0.10*(2)");
  AddCombination(lk, "1.00*(1)+0.11*(3)");
  const ExportMap v = Write();
  EXPECT_FALSE(HasFolder(v, "Auflager1\\y-y\\2: Verkehr add.1\\"));
  EXPECT_NEAR(v.at("Auflager1\\x-x\\7: Verkehr alt.1\\max Ax").val, 5, kTol);
}

// Load case 2 acts only in the first combination of the list, which is not evaluated.
TEST_F(ReactionExportTest, FirstCombinationIsNotEvaluated) {
  CLKData& lk = data_.lastUeberlagerungBZ[0];
  lk.kombinationen.RemoveAll();
  AddCombination(lk, "1.35*(1)+1.50*(2)");
  AddCombination(lk, "1.00*(1)+1.50*(3)");
  const ExportMap v = Write();
  EXPECT_FALSE(HasFolder(v, "Auflager1\\y-y\\2: Verkehr add.1\\"));
  EXPECT_TRUE(v.count("Auflager1\\x-x\\7: Verkehr alt.1\\max Ax"));
}

// Damaged records (support numbers outside 0 to 19, ragged columns, fewer records than load cases) are read only
// as far as they hold.
TEST_F(ReactionExportTest, DamagedRecordsAreReadOnlyAsFarAsTheyHold) {
  AddRecord(data_, 4, 0, {{25, 1, 1, 1, 1, 1}, {-1, 1, 1, 1, 1, 1}});
  data_.ergebnisse.Fundkraefte[3]->dAmx.clear();  // LK 1 loses a column: no rows
  const ExportMap v = Write();
  EXPECT_FALSE(HasFolder(v, "Auflager1\\z-z\\LK[1](design)\\"));
  EXPECT_FALSE(HasFolder(v, "Auflager25\\"));
  EXPECT_FALSE(HasFolder(v, "Auflager-1\\"));
  EXPECT_TRUE(v.count("Auflager1\\z-z\\LK[2](design)\\Az"));

  data_.ergebnisse.Fundkraefte.resize(1);  // only the record of load case 1
  const ExportMap fewer = Write();
  EXPECT_TRUE(fewer.count("Auflager1\\z-z\\1: ständig\\max Az"));
  EXPECT_FALSE(HasFolder(fewer, "Auflager1\\y-y\\"));
}

std::string ReadFile(const std::filesystem::path& path) { return export_test::FileBytes(path); }

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
  return n;
}

// Report mode: the same exports, and per per-group and extremal block one table: its force part (three header
// rows and one row) and, for x and y, the moment part under it (three header lines and one row, within the
// table's body); the design reactions are not printed.
TEST_F(ReactionExportTest, ReportModePrintsOneTablePerBlock) {
  const auto rtf = folder_ / "report.rtf";
  ASSERT_TRUE(RTFX_BeginBlock(rtf.c_str(), 0, 0, 1, "nologo"));
  const ExportMap v = Write(kReportModus);
  ASSERT_TRUE(RTFX_EndDocument(0)) << RTFX_GetLastError();
  const std::string text = ReadFile(rtf);
  // Blocks: z of "ständig", y of "Verkehr add.1", x of "Verkehr alt.1", and the extremal z, x and y: two z tables
  // of four rows, four x and y tables of eight.
  EXPECT_EQ(Count(text, "\\trowd"), 2 * 4 + 4 * 8);
  EXPECT_EQ(Count(text, "\\trhdr"), 6 * 3);
  EXPECT_EQ(Count(text, "\\fs18 \\b Auf-"), 4);  // the moment parts' first header line, bold within the body
  // Every row has eight cells and ends within the text width of the portrait page (17.0 cm = 9638 twips).
  for (auto row = text.find("\\trowd"); row != std::string::npos; row = text.find("\\trowd", row + 1)) {
    const std::string r = text.substr(row, text.find("\\row", row) - row);
    EXPECT_EQ(Count(r, "\\cellx"), 8);
    const auto last = r.rfind("\\cellx");
    EXPECT_LE(std::atoi(r.c_str() + last + 6), 9638) << r.substr(0, 80);
  }
  // The y block of "Verkehr add.1": Ay max 10, then the moment table under it with Amy max 40 (10 kN x 4 m).
  const auto ay = text.find("\\qr 10.00\\cell");
  ASSERT_NE(ay, std::string::npos);
  const auto amy = text.find("Am\\sub y", ay);
  ASSERT_NE(amy, std::string::npos);
  EXPECT_NE(text.find("\\qr 40.00\\cell", amy), std::string::npos);
  // A z table names "A\sub z" three times in its first header line and twice in its second; two z tables.
  EXPECT_EQ(Count(text, "A\\sub z"), 2 * 5);
  EXPECT_NE(text.find("\\qr 500.00\\cell"), std::string::npos);
  EXPECT_NE(text.find("\\qr 40.00\\cell"), std::string::npos);
  EXPECT_EQ(text.find("\\qr 675.00\\cell"), std::string::npos);  // design values stay out of the report
  EXPECT_NE(text.find("extremal"), std::string::npos);
  EXPECT_EQ(v, Write(kExportModus));
}

// Report mode with any other number is export mode: nothing is printed.
TEST_F(ReactionExportTest, OtherModesPrintNothing) {
  const auto rtf = folder_ / "report.rtf";
  ASSERT_TRUE(RTFX_BeginBlock(rtf.c_str(), 0, 0, 1, "nologo"));
  Write(2);
  ASSERT_TRUE(RTFX_EndDocument(0));
  EXPECT_EQ(Count(ReadFile(rtf), "\\trowd"), 0);
}

TEST(PositionBasePath, DropsOnlyTheTqxExtension) {
  EXPECT_EQ(PositionBasePath("/p/Stuetze.tqx"), CString("/p/Stuetze"));
  EXPECT_EQ(PositionBasePath("/p/Stuetze.TQX"), CString("/p/Stuetze"));
  EXPECT_EQ(PositionBasePath("/p/Stuetze.xml"), CString("/p/Stuetze.xml"));
  EXPECT_EQ(PositionBasePath("abc"), CString("abc"));
  EXPECT_EQ(FoundationFileName("/p/Stuetze"), CString("/p/Stuetze_Fund.tqx"));
}

}  // namespace
