// The column report written from a position whose results are filled by hand
// from a small worked case.
//
// The worked case: two fields of 3.00 m and 2.50 m (total 5.50 m),
// cross-section 1 a rectangle 30/40 cm with reinforcement layout 0,
// cross-section 2 a circle of 40 cm with layout 1. Final system: load cases 1
// (action 1, permanent), 2 (action 2, variable) and 3 (action 3, accidental);
// combinations 1 "Ed", 2 "Ed", 3 "Ed,A", 4 "Ed,perm". Construction stage 1
// ("Bauzustand 1"): load case 1, combination 1 "Ed". The transport stage has
// supports but no load cases, so it never appears.
//
// Running numbers: the "Ed" walk gives k = 1, 2 (final system) and 3 (stage 2);
// the "Ed,A" walk continues with k = 4 for combination 3 of the final system.
// The fire walk starts at the final system's two "Ed" combinations, so its
// combination 3 is k = 3. The crack walk numbers the "Ed,perm" combinations: k
// = 1.
//
// Required reinforcement entries (Kote, As, cross-section, running number,
// kind):
//   (0.0, 4.5, 1, 1, 0), (3.0, 4.5, 1, 3, 0), (3.0, 6.2, 2, 4, 1), (5.5, 1.0,
//   2, 2, 0).
// Cross-section 1: the two 4.5 entries tie, the later (k = 3) governs: 3 "Ed"
// combinations less the final system's 2 leaves 1, the transport stage has
// none, so stage 2, combination 1, "Bauzustand 1 TR Bruch Ed". Cross-section
// 2: 6.2 governs, kind 1: 3 "Ed" combinations in all, the first "Ed,A" is
// running number 3 + 1 = 4, which matches, so the final system, combination 2 +
// 1 = 3, "Endsystem TR Bruch Ed,A".
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "column/kolumodata.h"
#include "platform/pictor/pictor.h"
#include "platform/rtfx/rtfx.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/resources/resources.h"
#include "report/querschnittskizze.h"
#include "report/rtfausgabe.h"
#include "report/rtfhilfe.h"
#include "tests/column/column_test_support.h"
#include "tests/report/rtf_text.h"

namespace {

using report_test::GroupsBalanced;
using report_test::ReadFile;
using report_test::VisibleText;

// The first of the texts that is missing when they are searched one after the
// other; empty when all are there.
std::string MissingInOrder(const std::string& text, std::initializer_list<const char*> parts) {
  std::size_t at = 0;
  for (const char* part : parts) {
    const std::size_t found = text.find(part, at);
    if (found == std::string::npos) return part;
    at = found + 1;
  }
  return {};
}

void Kombi(CLKData& lk, const char* art, const char* regel) {
  CKombination k;
  k.art = art;
  k.regel = regel;
  k.regelUser = regel;
  lk.kombinationen.Add(k);
}

void Lastfall(CLKData& lk, int lf, int einw, int gruppe) {
  CLKLastfall row;
  row.lf = lf;
  row.einw = einw;
  lk.lastfaelle.Add(row);
  CEinwirkung e;
  e.nr = einw;
  e.indexGruppe = gruppe;
  e.title.Format("Einwirkung %d", einw);
  lk.einwirkungen.Add(e);
}

std::unique_ptr<CResultSchnittgroessen> Schnitt(int s, int lk, int typ) {
  auto r = std::make_unique<CResultSchnittgroessen>();
  r->System = s;
  r->LK = lk;
  r->Typ = typ;
  r->Kote = {0.0, 3.0, 5.5};
  r->N = {-100.0, -110.0, -120.0};
  r->Vy = {1.0, 1.0, 1.0};
  r->Vx = {2.0, 2.0, 2.0};
  r->My = {10.0, 5.0, 0.0};
  r->Mx = {-4.0, -2.0, 0.0};
  r->ErfAs = {4.5, 3.0, 2.0};
  r->AsAb = {0.005, 0.01, 0.02};
  r->By = {20.0, 20.0, 20.0};
  r->Bx = {15.0, 15.0, 15.0};
  r->Eta = {0.5, 0.4, 0.3};
  return r;
}

class ReportTest : public column_test::ColumnTest {
 protected:
  static void SetUpTestSuite() {
    std::string pattern = (std::filesystem::temp_directory_path() / "report-root-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    s_root = pattern;
    // The material handler reads the catalogue of this root when it is first
    // used.
    ::setenv("KOLUMO_ROOT", column_test::MakeInstallRoot(s_root, KOLUMO_SOURCE_DIR "/data").c_str(), 1);
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(s_root); }

  // The worked case with every output switch on.
  void Fill(CKolumoData& d) {
    d.SetDefaults();
    d.version = 2012.01;  // a position of the current file version keeps its results
    d.iNorm = 0;
    d.SetFieldCount(2);
    d.fieldLengths[0] = 3.0;
    d.fieldLengths[1] = 2.5;
    CKolumoQuer& q1 = d.querschnitte[0];
    q1.type = 0;
    q1.bewType = 0;
    q1.bx = 30.0;
    q1.dy = 40.0;
    q1.bdx = 3.0;
    q1.bdy = 3.5;
    q1.as = 4.0;
    q1.theta = 45.0;
    q1.teilung = 5;
    CKolumoQuer& q2 = d.querschnitte[1];
    q2.type = 1;
    q2.bewType = 1;
    q2.bx = 40.0;
    q2.bdx = 4.0;
    q2.as = 3.14;
    q2.ex = 10.0;
    q2.teilung = 4;

    for (int s = 0; s < CKolumoData::kStages; ++s) d.lastUeberlagerungBZ[s].lastfaelle.RemoveAll();
    for (int s = 0; s < CKolumoData::kStages; ++s) d.lastUeberlagerungBZ[s].kombinationen.RemoveAll();
    for (int s = 0; s < CKolumoData::kStages; ++s) d.lastUeberlagerungBZ[s].einwirkungen.RemoveAll();
    CLKData& end = d.lastUeberlagerungBZ[0];
    Lastfall(end, 1, 1, 0);
    Lastfall(end, 2, 2, 1);
    Lastfall(end, 3, 3, 3);
    Kombi(end, "Ed", "1.35*(1)+1.50*(2)");
    Kombi(end, "Ed", "1.00*(1)+1.50*(2)");
    Kombi(end, "Ed,A", "1.00*(1)+0.50*(2)+1.00*(3)");
    Kombi(end, "Ed,perm", "1.00*(1)+0.30*(2)");
    CLKData& bau = d.lastUeberlagerungBZ[2];
    Lastfall(bau, 1, 1, 0);
    Kombi(bau, "Ed", "1.35*(1)");

    CSupport& kopf = d.supports[0][0];
    kopf.cx = -1.0;
    kopf.cy = 0.0;
    kopf.cz = 0.1;
    kopf.cmx = 250.0;
    kopf.cmy = 0.0;
    d.cx = 5000.0;

    Load eigen;
    eigen.ltype = 11;
    eigen.lc = 1;
    eigen.desc = "Eigenlast";
    d.loads[0].Add(eigen);
    Load wind;
    wind.ltype = 10;
    wind.lc = 2;
    wind.node = 0;
    wind.direction = 1;
    wind.val0 = 100.0;
    wind.val1 = 20.0;
    wind.desc = "Wind";
    d.loads[0].Add(wind);

    d.vorver[0].type = 2;
    d.kriechen.RemoveAll();
    CKolumoKriechen kriechen;
    kriechen.KriechZahl = 2.5;
    kriechen.Faktor = 1.0;
    d.kriechen.Add(kriechen);

    for (int* schalter :
         {&d.num_System, &d.num_Regel_Lager, &d.num_Regel_Verform, &d.num_Regel_Schnitt, &d.num_Kriech_Lager,
          &d.num_Kriech_Verform, &d.num_Kriech_Schnitt, &d.num_KNSW_Eigen, &d.num_KNSW_Lager, &d.num_KNSW_Verform,
          &d.num_KNSW_Schnitt, &d.num_KNSW_Bruch, &d.num_KNSW_Dehn, &d.num_KNSW_Schub, &d.num_Riss, &d.num_Brand,
          &d.num_Fundament, &d.num_ErfAs})
      *schalter = 1;
    d.BildBreite = 16.0;
    d.AusgabeTyp = 0;
    d.anmerkungen.SetSize(6);
    d.anmerkungen[1] = "Bemerkung eins";
    d.anmerkungen[5] = "Bemerkung fünf";

    FillResults(d.ergebnisse);
  }

  // The worked case's results: one of every kind the report prints.
  void FillResults(CResultContainer& e) {
    e.Schnittgroessen.push_back(Schnitt(0, 1, 0));
    e.Schnittgroessen.push_back(Schnitt(0, 2, 0));
    e.Schnittgroessen.push_back(Schnitt(2, 3, 0));
    e.Schnittgroessen.push_back(Schnitt(0, 4, 1));
    e.Schnittgroessen.push_back(Schnitt(0, 1, 2));
    e.Schnittgroessen.push_back(Schnitt(0, 1, 3));

    auto lager = std::make_unique<CResultLagerkraefte>();
    lager->Kote = {5.5};
    lager->Apz = {-120.25};
    lager->Apy = {1.0};
    lager->Apx = {2.0};
    lager->Amy = {3.0};
    lager->Amx = {4.0};
    lager->LK = 1;
    e.Lagerkraefte.push_back(std::move(lager));

    // Buckling: all members in tension in the final system, a real pair of
    // shapes in stage 2.
    auto keinEigen = std::make_unique<CResultVerformung>();
    keinEigen->LK = 1;
    keinEigen->Typ = 4;
    e.Verformung.push_back(std::move(keinEigen));
    auto eigen2 = std::make_unique<CResultVerformung>();
    eigen2->System = 2;
    eigen2->LK = 3;
    eigen2->Typ = 4;
    const double werte[6] = {2.5, 1.0, 0.0, 4.0, 0.0, 1.0};
    std::copy(werte, werte + 6, eigen2->Eigen);
    eigen2->Kote = {0.0, 5.5};
    eigen2->v = {1.0, 0.0};
    eigen2->w = {0.0, 0.0};
    eigen2->v0 = {0.0, 0.0};
    eigen2->w0 = {1.0, 0.0};
    e.Verformung.push_back(std::move(eigen2));

    auto fund = std::make_unique<CResultFundkraefte>();
    fund->LK = 1;
    fund->KNr = {3};
    fund->Kote = {5.5};
    fund->Apx = {2.0};
    fund->Apy = {1.0};
    fund->Apz = {120.0};
    fund->Amy = {3.0};
    fund->Amx = {4.0};
    fund->dAmy = {-0.009};
    fund->dAmx = {0.02};
    e.Fundkraefte.push_back(std::move(fund));

    auto brand = std::make_unique<CResultBrandschnittgroessen>();
    brand->LK = 3;
    brand->Typ = 1;
    brand->OK = 1;
    brand->Kote = {0.0};
    brand->N = {-80.0};
    brand->My = {1.0};
    brand->Mx = {2.0};
    brand->Nrd = {-950.5};
    brand->alfa = {0.4};
    brand->minB = {24.0};
    brand->minDeck = {3.5};
    brand->As = {4.0};
    e.Brandschnittgroessen.push_back(std::move(brand));

    auto riss = std::make_unique<CResultRissnachweis>();
    riss->LK = 1;
    riss->Typ = 3;
    riss->Kote = {0.0};
    riss->N = {-90.0};
    riss->My = {1.0};
    riss->Mx = {0.0};
    riss->eps1 = {0.1234};
    riss->eps2 = {-0.5};
    riss->epss = {0.2};
    riss->sigma = {123.45};
    riss->azab = {0.25};
    riss->nue = {1.5};
    e.Rissnachweis.push_back(std::move(riss));

    auto erf = std::make_unique<CResultErfAs>();
    erf->Kote = {0.0, 3.0, 3.0, 5.5};
    erf->As = {4.5, 4.5, 6.2, 1.0};
    erf->QuerNr = {1, 1, 2, 2};
    erf->LKNr = {1, 3, 4, 2};
    erf->NachTyp = {0, 0, 1, 0};
    e.ErfAs.push_back(std::move(erf));
  }

  // Writes the data into a position document of that name and the report of it;
  // returns the report's text.
  std::string Report(CKolumoData& d, const std::string& name = "Stuetze.TQX", int bOutput = 1) {
    const int doc = NewDocument(name);
    d.WriteData(doc);
    report::RtfKolumo(doc, bOutput);
    rtf_ = ReadFile(report::ReportFileName((folder_ / name).string()));
    return VisibleText(rtf_);
  }

  static std::filesystem::path s_root;
  std::string rtf_;
};

std::filesystem::path ReportTest::s_root;

// --- File names
// ---------------------------------------------------------------------------------------------

struct NameCase {
  const char* position;
  const char* report;
};

TEST(ReportFileNames, ExtensionReplacedCaseKeptOtherNamesAppended) {
  const NameCase cases[] = {
      {"/Pro/Halle A/Pos1.tqx", "/Pro/Halle A/Pos1.rtf"},
      {"/Pro/Halle A/Pos1.TQX", "/Pro/Halle A/Pos1.rtf"},
      {"/pro/STUETZE.Tqx", "/pro/STUETZE.rtf"},
      {"/pro/stuetze", "/pro/stuetze.rtf"},
      {"/pro/stuetze.tqx.alt", "/pro/stuetze.tqx.alt.rtf"},
  };
  for (const NameCase& c : cases) EXPECT_EQ(report::ReportFileName(c.position), c.report) << c.position;
}

// --- The whole report
// ---------------------------------------------------------------------------------------

TEST_F(ReportTest, ChaptersInOrderWithBalancedGroups) {
  CKolumoData d;
  Fill(d);
  d.num_FundLastw = 1;
  const std::string text = Report(d);
  ASSERT_FALSE(rtf_.empty());
  EXPECT_TRUE(GroupsBalanced(rtf_, true));
  EXPECT_EQ(MissingInOrder(text, {"TQ-KOLUMO",
                                  "Stahlbetonstütze Theorie II.Ordnung",
                                  "Bemerkung eins",
                                  "Eingabedaten Ortbetonstütze",
                                  "Geometriebeschreibung",
                                  "Lagerbeschreibung",
                                  "Querschnittsbeschreibung",
                                  "Materialien",
                                  "Normalbeton DIN 1045-1:2008",
                                  "Betonstahl DIN 1045-1:2008",
                                  "Belastungsdaten",
                                  "Lastkollektive",
                                  "Vorverformungen",
                                  "Kriechen im Endsystem",
                                  "Bemerkung fünf",
                                  "Ergebnisdaten",
                                  "Konstruktive Richtlinien",
                                  "Grenzzustand der Tragfähigkeit(Bruch E",
                                  "Ergebnisse Kriechen",
                                  "Grenzzustand der Tragfähigkeit(Verformung E",
                                  "Grenzzustand der Gebrauchstauglichkeit",
                                  "Ergebnisse Brandschutznachweis",
                                  "Ergebnisse Fundamentlasten",
                                  "Ergebnisse Lastweiterleitung (charakteristisch, Zustand I)",
                                  "Erforderliche Bewehrung"}),
            "");
  // The transport stage has no load cases: it shows nowhere.
  EXPECT_EQ(text.find("Transport"), std::string::npos);
  // The minimum reinforcement of DIN 1045-1 (code 0), with one percent sign.
  EXPECT_NE(text.find("Mindestbewehrung max(0.3% vom Querschnitt Ac,0.15*|Ned|/fyd)"), std::string::npos);
  EXPECT_EQ(text.find("%%"), std::string::npos);
  EXPECT_EQ(text.find("Keine Ergebnisse"), std::string::npos);
}

TEST_F(ReportTest, InputTablesShowTheWorkedCase) {
  CKolumoData d;
  Fill(d);
  const std::string text = Report(d);
  const char* rows[] = {
      // Geometry: the running total and ex in m.
      "1|3.00|3.00|1|5|0.00|", "2|2.50|5.50|2|4|0.10|",
      // Supports: -1 fixed, 0 free, 0.1 written; the foot of the final system
      // takes the foundation spring.
      "Endsystem|1|0.00|fest|frei|0.1|250.0|frei|", "Endsystem|3|5.50|5000.00|",
      // Stage 2 lists its supports at the same heights.
      "Bauzu. 1|2|3.00|",
      // Cross-sections: a rectangle, and a circle with its edge distance under
      // "d".
      // The bars as their number and total: four corner bars of 4.00 cm² each, a circle's total on its ring of 20.
      "1|Rechteck|1|30.0|40.0|3.0|3.5||4|16.00|45.0|", "2|Kreis|2|40.0||||4.0|20|3.14|45.0|",
      // Concrete C25/30 of DIN 1045-1 from the catalogue, cast in place.
      "C25/30|25.00|26700.00|-2.00|-3.50|",
      // Self weight with the concrete's specific weight; a point load in Y puts
      // its moment under Mx.
      "Endsystem|Eigengewicht|1|Eigenlast|25.00|", "Endsystem|Einzellast/Moment|2|Wind|1|0.00|100.00|0.00|20.00|0.00|",
      // Combinations as stored, stage by stage.
      "Endsystem|3|Ed,A|1.00*(1)+0.50*(2)+1.00*(3)|", "Bauzu. 1|1|Ed|1.35*(1)|",
      // Creep load cases.
      "1|1.00|"};
  for (const char* row : rows) EXPECT_NE(text.find(row), std::string::npos) << row;
  EXPECT_NE(text.find("Zusätzliche Berücksichtigung von Kriechverformungen."), std::string::npos);
  EXPECT_NE(text.find("um die x-Achse = -0.40 %, um die y-Achse = 0.40 %"), std::string::npos);
  EXPECT_NE(text.find("Kriechen im Endsystem mit"), std::string::npos);
}

TEST_F(ReportTest, ResultTablesCarryTheRecordsOfTheirCombination) {
  CKolumoData d;
  Fill(d);
  const std::string text = Report(d);
  // The ultimate chapter: running numbers 1..3 for "Ed", 4 for the accidental
  // combination.
  EXPECT_EQ(MissingInOrder(text, {"Bruch E", "Endsystem LK 1:1.35*(1)+1.50*(2) (Ed)", "Lagerkräfte",
                                  "5.50|-120.25|1.00|2.00|3.00|4.00|", "Stabschnittkräfte mit Bemessung",
                                  "Endsystem LK 2:", "Bauzustand 1 LK 1:1.35*(1) (Ed)", "Bruch E",
                                  "Endsystem LK 3:1.00*(1)+0.50*(2)+1.00*(3) (Ed,A)"}),
            "");
  // Ratios below 0.01 print as minimum reinforcement, 0.01 itself as a number.
  EXPECT_NE(text.find("0.00|-100.00|1.00|2.00|10.00|-4.00|0.500|4.50|Min.Ac|"), std::string::npos);
  EXPECT_NE(text.find("3.00|-110.00|1.00|2.00|5.00|-2.00|0.400|3.00|0.010|"), std::string::npos);
  // Eigenvalues: none in the final system, a pair in stage 2.
  EXPECT_NE(text.find("keine Knicklastberechnung möglich, da alle Normalkräfte >= 0."), std::string::npos);
  EXPECT_NE(text.find("1. Eigenwert 2.500"), std::string::npos);
  EXPECT_NE(text.find("2. Eigenwert 4.000"), std::string::npos);
  // Cracks: strains with three decimals, the stress with one.
  EXPECT_NE(text.find("0.00|-90.00|1.00|0.00|0.123|-0.500|0.200|123.5|0.250|1.500|"), std::string::npos);
  // Fire: DIN 4102 texts and the record of running number 3.
  EXPECT_NE(text.find("Feuerwiderstandsklasse R 30 nach DIN 4102 Tabelle 31E:2007"), std::string::npos);
  EXPECT_NE(text.find("0.00|-80.00|1.00|2.00|-950.50|0.40|24.00|3.50|4.00|"), std::string::npos);
  // Foundation: the second-order difference of -0.009 is left empty, 0.02 is
  // written.
  EXPECT_NE(text.find("5.50|120.00|1.00|2.00|3.00|4.00||0.02|"), std::string::npos);
}

TEST_F(ReportTest, RequiredReinforcementNamesTheGoverningCases) {
  CKolumoData d;
  Fill(d);
  const std::string text = Report(d);
  EXPECT_NE(text.find("1|1|Bauzustand 1 TR Bruch Ed|4.50|4.50|"), std::string::npos);
  EXPECT_NE(text.find("2|3|Endsystem TR Bruch Ed,A|6.20|6.20|"), std::string::npos);
  // Construction rules: the minimum line of DIN 1045-1 and the bar rules per
  // section kind (section 2 is a circle).
  EXPECT_NE(text.find("Mindestens 4 D12 für Querschnitt: 1\n"), std::string::npos);
  EXPECT_NE(text.find("Mindestens 6 D12 für Querschnitt: 2\n"), std::string::npos);
}

// Each member-force table says which steel its utilisation uses, on the line just above its header: the
// first-order design's requirement, the second-order check's bars present; the creep table has no utilisation.
// The closing table is what must be built, named apart from the per-combination requirement.
TEST_F(ReportTest, UtilisationColumnsNameTheirReinforcement) {
  CKolumoData d;
  Fill(d);
  const std::string text = Report(d);
  EXPECT_EQ(MissingInOrder(text, {"Stabschnittkräfte mit Bemessung\nν: Ausnutzung mit erforderlicher Bewehrung (erf. "
                                  "As dieser Kombination), As/Ab: deren Bewehrungsgrad\nKote h|",
                                  "Stabschnittkräfte mit wirksamen Steifigkeiten und Ausnutzung\nν: Ausnutzung mit "
                                  "vorhandener Bewehrung\nKote h|"}),
            "");
  const std::size_t kriechen = text.find("Ergebnisse Kriechen");
  ASSERT_NE(kriechen, std::string::npos);
  EXPECT_NE(text.find("Stabschnittkräfte\nKote h|", kriechen), std::string::npos);
  EXPECT_EQ(MissingInOrder(text, {"Erforderliche Bewehrung", "Einzulegen ist die eingegebene Bewehrung",
                                  "Feld|Komb.|Nachweis|Anfang|Ende|", "|einzulegende As [cm2]|einzulegende As [cm2]|",
                                  "1|1|Bauzustand 1 TR Bruch Ed|4.50|4.50|"}),
            "");
  EXPECT_EQ(text.find("erf. As [cm2]"), std::string::npos);
}

TEST_F(ReportTest, GoverningFilterWritesOnlyTheGoverningCombinations) {
  CKolumoData d;
  Fill(d);
  d.AusgabeTyp = 1;
  const std::string all = Report(d);
  // The ultimate-limit-state chapter only: the crack and foundation walks do
  // not filter.
  const std::size_t from = all.find("Bruch E");
  ASSERT_NE(from, std::string::npos);
  const std::string text = all.substr(from, all.find("Ergebnisse Kriechen") - from);
  EXPECT_EQ(text.find("Endsystem LK 1:"), std::string::npos);
  EXPECT_EQ(text.find("Endsystem LK 2:"), std::string::npos);
  EXPECT_NE(text.find("Bauzustand 1 LK 1:1.35*(1) (Ed)"), std::string::npos);
  EXPECT_NE(text.find("Endsystem LK 3:1.00*(1)+0.50*(2)+1.00*(3) (Ed,A)"), std::string::npos);
}

TEST_F(ReportTest, GoverningKindFilterDropsADeformationChapterWithoutDeformationCases) {
  CKolumoData d;
  Fill(d);
  d.AusgabeTyp = 2;
  const std::string text = Report(d);
  // Both governing cases are ultimate checks (kinds 0 and 1), none a
  // deformation check (2 or 5).
  EXPECT_EQ(text.find("Verformung E"), std::string::npos);
  EXPECT_NE(text.find("Bruch E"), std::string::npos);
}

// --- Switches and missing parts
// -----------------------------------------------------------------------------

TEST_F(ReportTest, EverySwitchOffLeavesTheTitleBlockOnly) {
  CKolumoData d;
  Fill(d);
  for (int* schalter : {&d.num_System, &d.num_Regel_Lager, &d.num_Regel_Verform, &d.num_Regel_Schnitt,
                        &d.num_Kriech_Lager, &d.num_Kriech_Verform, &d.num_Kriech_Schnitt, &d.num_KNSW_Eigen,
                        &d.num_KNSW_Lager, &d.num_KNSW_Verform, &d.num_KNSW_Schnitt, &d.num_KNSW_Bruch,
                        &d.num_KNSW_Dehn, &d.num_KNSW_Schub, &d.num_Riss, &d.num_Brand, &d.num_Fundament, &d.num_ErfAs})
    *schalter = 0;
  d.num_Regel_KNSW = 1;  // does not open the results chapter
  const std::string text = Report(d);
  ASSERT_FALSE(rtf_.empty());
  EXPECT_TRUE(GroupsBalanced(rtf_, true));
  EXPECT_NE(text.find("TQ-KOLUMO"), std::string::npos);
  EXPECT_EQ(text.find("Eingabedaten"), std::string::npos);
  EXPECT_EQ(text.find("Ergebnisdaten"), std::string::npos);
  EXPECT_EQ(text.find("Bemerkung"), std::string::npos);
}

TEST_F(ReportTest, PositionWithoutResultsReportsItsInputAndSaysResultsAreMissing) {
  CKolumoData d;
  Fill(d);
  for (auto* records : {&d.ergebnisse.ErfAs}) records->clear();
  d.ergebnisse.Schnittgroessen.clear();
  d.ergebnisse.Lagerkraefte.clear();
  d.ergebnisse.Verformung.clear();
  d.ergebnisse.Fundkraefte.clear();
  d.ergebnisse.Brandschnittgroessen.clear();
  d.ergebnisse.Rissnachweis.clear();
  const std::string text = Report(d);
  EXPECT_TRUE(GroupsBalanced(rtf_, true));
  EXPECT_EQ(MissingInOrder(text, {"Geometriebeschreibung", "Lastkollektive", "Ergebnisdaten", "Keine Ergebnisse"}), "");
  EXPECT_EQ(text.find("Grenzzustand"), std::string::npos);
  EXPECT_EQ(text.find("Erforderliche Bewehrung"), std::string::npos);
}

TEST_F(ReportTest, NoOutputFlagReadsOnly) {
  CKolumoData d;
  Fill(d);
  Report(d, "Stuetze.tqx", 0);
  EXPECT_TRUE(rtf_.empty());
  EXPECT_FALSE(std::filesystem::exists(folder_ / "Stuetze.rtf"));
}

TEST_F(ReportTest, NameWithoutExtensionNeverOverwritesThePosition) {
  CKolumoData d;
  Fill(d);
  const int doc = NewDocument("ohne_endung");
  d.WriteData(doc);
  ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
  const std::string before = ReadFile((folder_ / "ohne_endung").string());
  report::RtfKolumo(doc, 1);
  EXPECT_EQ(ReadFile((folder_ / "ohne_endung").string()), before);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "ohne_endung.rtf"));
}

TEST_F(ReportTest, VariablesRtfIsIncludedAndItsTemporaryFileRemoved) {
  CKolumoData d;
  Fill(d);
  const int doc = NewDocument("Stuetze.tqx");
  d.WriteData(doc);
  const std::string vardef =
      "{\\rtf1\\ansi {\\fonttbl{\\f0 Arial;}}\\pard "
      "Variablenblatt der Position\\par}";
  const int files = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "rtfFiles");
  ASSERT_EQ(VIDUV_SetBinData(files, "vardef", int(vardef.size()), vardef.data(), 1), 1);
  report::RtfKolumo(doc, 1);
  const std::string rtf = ReadFile((folder_ / "Stuetze.rtf").string());
  EXPECT_TRUE(GroupsBalanced(rtf));
  const std::string text = VisibleText(rtf);
  EXPECT_EQ(MissingInOrder(text, {"Variablenblatt der Position", "Eingabedaten Ortbetonstütze"}), "");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "Stuetze.tmp.rtf"));
}

TEST_F(ReportTest, SystemPicturesLieBesideTheReport) {
  CKolumoData d;
  Fill(d);
  d.graf_System = 1;
  d.graf_ErfAs = 1;
  d.graf_Regel_Schnitt = 1;
  const std::string text = Report(d);
  EXPECT_TRUE(GroupsBalanced(rtf_, true));
  EXPECT_EQ(MissingInOrder(text, {"Systemdarstellung", "Endsystem|", "Bauzustand 1|", "Geometriebeschreibung"}), "");
  EXPECT_TRUE(std::filesystem::exists(folder_ / "Stuetze.Endsystem.bmp"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "Stuetze.Bauzustand1.bmp"));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "Stuetze.Transport.bmp"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "Stuetze.Schnitt-LK1-Typ0-BZ0.p2d"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "Stuetze.Bewehrung.p2d"));
  EXPECT_EQ(MissingInOrder(
                text, {"Bruch E", "Stabschnittkräfte mit Bemessung", "Schnittgrößen", "Erforderliche", "Bewehrung"}),
            "");
  EXPECT_NE(rtf_.find("\\pict"), std::string::npos);
  // Endsystem and Bauzustand 1 are the stages present: the picture table has exactly those two columns, so
  // its row definition before the first picture closes two cells and no empty one.
  const std::size_t bild = rtf_.find("\\pict");
  const std::size_t zeile = rtf_.rfind("\\trowd", bild);
  ASSERT_NE(zeile, std::string::npos);
  const std::string definition = rtf_.substr(zeile, rtf_.find("\\pard", zeile) - zeile);
  std::size_t zellen = 0;
  for (std::size_t at = definition.find("\\cellx"); at != std::string::npos; at = definition.find("\\cellx", at + 1))
    ++zellen;
  EXPECT_EQ(zellen, 2u) << definition;
}

// A picture the report asks for and cannot take refuses the report with why, naming the picture by the name it would
// have beside the report; neither the report nor any of its pictures is written. The system pictures (bitmaps) and
// the diagrams (the picture library's drawings) fail as files of a format that cannot be read, the section sketch as
// a drawing that cannot be made.
TEST_F(ReportTest, APictureThatCannotBeTakenRefusesTheReportWithWhy) {
  static std::string unreadable;  // the ending of the picture files that cannot be read
  rtfx::SetPictureConverter([](const char* path, std::vector<unsigned char>& png) {
    const std::string name = path;
    if (!unreadable.empty() && name.size() > unreadable.size() &&
        name.compare(name.size() - unreadable.size(), unreadable.size(), unreadable) == 0)
      return false;
    return pictor::ConvertToPng(path, png);
  });
  const std::string stamm = (folder_ / "Stuetze.").string();
  const struct {
    const char* name;
    const char* unreadable;
    bool sketch;
    std::vector<std::string> reasons;
  } kCases[] = {
      {"system pictures",
       ".bmp",
       false,
       {"Bildformat nicht lesbar: " + stamm + "Endsystem.bmp",
        "Bildformat nicht lesbar: " + stamm + "Bauzustand1.bmp"}},
      {"diagrams",
       ".p2d",
       false,
       {"Bildformat nicht lesbar: " + stamm + "Schnitt-LK1-Typ0-BZ0.p2d",
        "Bildformat nicht lesbar: " + stamm + "Bewehrung.p2d"}},
      {"section sketch", "", true, {"Bildressource 26032 nicht darstellbar: "}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    unreadable = c.unreadable;
    if (c.sketch)
      win::res::RegisterBitmap(report::kQuerschnittSkizze, 600, 600,
                               [](cairo_t* cr, int, int) { cairo_scale(cr, 0.0, 0.0); });
    win::msgbox::ClearLog();
    CKolumoData d;
    Fill(d);
    d.graf_System = 1;
    d.graf_ErfAs = 1;
    d.graf_Regel_Schnitt = 1;
    Report(d);
    win::res::ForgetPainted();
    const std::vector<std::string> boxes = Messages();
    EXPECT_EQ(boxes.size(), 1u);
    const std::string box = boxes.empty() ? std::string() : boxes[0];
    EXPECT_EQ(box.rfind("Der Bericht wurde nicht geschrieben:\n", 0), 0u) << box;
    for (const std::string& reason : c.reasons) EXPECT_NE(box.find(reason), std::string::npos) << box;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) ADD_FAILURE() << "written: " << entry.path();
  }
  unreadable.clear();
  rtfx::SetPictureConverter(
      [](const char* path, std::vector<unsigned char>& png) { return pictor::ConvertToPng(path, png); });
}

TEST_F(ReportTest, PrecastColumnShowsThePrecastPartialFactors) {
  CKolumoData d;
  Fill(d);
  d.Fertigteil = 1;
  const std::string text = Report(d);
  EXPECT_NE(text.find("Eingabedaten Fertigteilstütze"), std::string::npos);
  // DIN 1045-1 C25/30: gamma_cgf 1.35 and gamma_caf 1.30 instead of 1.50
  // and 1.30.
  EXPECT_NE(text.find("C25/30|25.00|26700.00|-2.00|-3.50|1.35|1.30|"), std::string::npos);
}

TEST_F(ReportTest, AccidentalCaseOfAConstructionStageGovernsWithinItsStage) {
  CKolumoData d;
  Fill(d);
  // Stage 2 gets an accidental combination as its second one. Running numbers
  // of the "Ed,A" walk: 3 "Ed" combinations in all, then 4 for the final
  // system's, 5 for stage 2's. An entry of cross-section 1 with running number
  // 5 and the largest area names stage 2, combination 1 "Ed" + 1 "Ed,A" = 2.
  Kombi(d.lastUeberlagerungBZ[2], "Ed,A", "1.00*(1)");
  CResultErfAs& erf = *d.ergebnisse.ErfAs.front();
  erf.Kote.push_back(1.0);
  erf.As.push_back(9.0);
  erf.QuerNr.push_back(1);
  erf.LKNr.push_back(5);
  erf.NachTyp.push_back(1);
  const std::string text = Report(d);
  EXPECT_NE(text.find("1|2|Bauzustand 1 TR Bruch Ed,A|9.00|9.00|"), std::string::npos);
  // The ultimate chapter numbers it 5 and shows it under its own number within
  // the stage.
  EXPECT_NE(text.find("Bauzustand 1 LK 2:1.00*(1) (Ed,A)"), std::string::npos);
}

TEST_F(ReportTest, TitleBlockTakesFreeTextAndFirstPageFromTheInput) {
  CKolumoData d;
  Fill(d);
  const int doc = NewDocument("Titel.tqx");
  d.WriteData(doc);
  const int input = VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input");
  ASSERT_NE(input, 0);
  VIDUV_SetInt(input, "nPage", 7);
  VIDUV_SetString(input, "freeText", "Halle Nord, Achse B");
  report::RtfKolumo(doc, 1);
  const std::string rtf = ReadFile((folder_ / "Titel.rtf").string());
  EXPECT_NE(rtf.find("\\pgnstart7"), std::string::npos);
  EXPECT_NE(VisibleText(rtf).find("Halle Nord, Achse B"), std::string::npos);
}

// Texts a person typed are printed as typed: a brace or a backslash in them is a character, never RTF markup
// that would end the header, the document or a table early, or turn a word into a control word.
TEST_F(ReportTest, TypedTextsAreCharactersNeverMarkup) {
  CKolumoData d;
  Fill(d);
  d.anmerkungen[1] = "Variante {B: Pfad C:\\par\\b fett";
  d.anmerkungen[5] = "Ende } der Bemerkung";
  d.loads[0][1].desc = "Wind {Sog} \\b";
  d.sBeton = "C30/37 }alt";
  d.lastUeberlagerungBZ[0].kombinationen[0].art = "Ed";
  const int doc = NewDocument("Typed.tqx");
  d.WriteData(doc);
  const int input = VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input");
  ASSERT_NE(input, 0);
  VIDUV_SetString(input, "freeText", "Halle } Nord \\i");
  VIDUV_SetString(input, "posDesc", "St\xC3\xBCtze {B/3");
  report::RtfKolumo(doc, 1);
  const std::string rtf = ReadFile((folder_ / "Typed.rtf").string());
  ASSERT_FALSE(rtf.empty());
  EXPECT_TRUE(GroupsBalanced(rtf, true));
  const std::string text = VisibleText(rtf);
  for (const char* typed : {"Variante {B: Pfad C:\\par\\b fett", "Ende } der Bemerkung", "Wind {Sog} \\b|",
                            "\"C30/37 }alt\"", "Halle } Nord \\i", "St\xC3\xBCtze {B/3"})
    EXPECT_NE(text.find(typed), std::string::npos) << typed;
  // what the report writes itself keeps its markup
  EXPECT_NE(rtf.find("P{\\sub x}"), std::string::npos);
}

TEST_F(ReportTest, EmptyPositionGivesTheTitleBlockOnPageOne) {
  // A document with a bare root: no input, no results; the report must still be
  // written, whole.
  const int doc = NewDocument("Leer.tqx");
  report::RtfKolumo(doc, 1);
  const std::string rtf = ReadFile((folder_ / "Leer.rtf").string());
  ASSERT_FALSE(rtf.empty());
  EXPECT_TRUE(GroupsBalanced(rtf));
  EXPECT_NE(rtf.find("\\pgnstart1"), std::string::npos);
  EXPECT_NE(VisibleText(rtf).find("Stahlbetonstütze Theorie II.Ordnung"), std::string::npos);
}

// The construction rules state the minimum the engine applies per code, max(acRatio Ac, nFactor |N| / fyd), and its
// least bars per section kind: a rectangle's layout with the code's least bar (1.13 cm² is a bar of 12 mm, 0.50 cm²
// one of 8 mm), a round section the six 12 mm bars (6 x 1.13 = 6.78 cm²) its bars never fall below under any code.
TEST_F(ReportTest, ConstructionRulesStateWhatTheEngineApplies) {
  const struct {
    int iNorm;
    const char* rule;
    const char* bars;  // the rule of layout 0 (four corner bars) for cross-section 1
  } cases[] = {
      {0, "Mindestbewehrung max(0.3% vom Querschnitt Ac,0.15*|Ned|/fyd)\n", "Mindestens 4 D12 für Querschnitt: 1\n"},
      {1, "Mindestbewehrung max(0.2% vom Querschnitt Ac,0.10*|Ned|/fyd)\n", "Mindestens 4 D8 für Querschnitt: 1\n"},
      {2, "Mindestbewehrung max(0.6% vom Querschnitt Ac,0.15*|Ned|/fyd)\n", "Mindestens 4 D8 für Querschnitt: 1\n"},
      {10, "Mindestbewehrung max(0.2% vom Querschnitt Ac,0.15*|Ned|/fyd)\n", "Mindestens 4 D12 für Querschnitt: 1\n"},
      {11, "Mindestbewehrung max(0.2% vom Querschnitt Ac,0.15*|Ned|/fyd)\n", "Mindestens 4 D12 für Querschnitt: 1\n"},
      {12, "Mindestbewehrung max(0.2% vom Querschnitt Ac,0.15*|Ned|/fyd)\n", "Mindestens 4 D12 für Querschnitt: 1\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.iNorm);
    CKolumoData d;
    Fill(d);  // section 2 is a circle that holds the layout word of 8 bars
    d.iNorm = c.iNorm;
    const std::string text = Report(d);
    EXPECT_EQ(
        MissingInOrder(text, {"Konstruktive Richtlinien", c.rule, c.bars, "Mindestens 6 D12 für Querschnitt: 2\n"}),
        "");
    EXPECT_EQ(text.find("Mindestens 8 D"), std::string::npos) << "a circle is given a rectangle's layout";
    EXPECT_EQ(text.find("innerer Ring"), std::string::npos) << "only a ring has an inner ring";
  }
}

// Each kind lists its own sections: rectangles by their layout, circles and rings together (one outer ring of bars
// over six 12 mm bars' area), and the rings once more for the inner ring of 20 bars sharing 6.78 cm² that the
// calculation adds.
TEST_F(ReportTest, ConstructionRulesListEachSectionUnderItsKind) {
  CKolumoData d;
  Fill(d);
  d.iNorm = 1;  // EC2: a rectangle's least bar is 8 mm, a round section's stays 12 mm
  d.SetFieldCount(5);
  const struct { int type, bewType; } kinds[] = {{0, 2}, {1, 2}, {2, 0}, {0, 2}, {2, 2}};
  for (int i = 0; i < 5; ++i) {
    CKolumoQuer& q = d.querschnitte[i];
    q.type = kinds[i].type;
    q.bewType = kinds[i].bewType;
    q.bx = 40.0;
    q.dy = q.type == 2 ? 20.0 : 40.0;
    q.bdx = q.bdy = 4.0;
    q.as = 10.0;
    q.teilung = 2;
    d.fieldLengths[i] = 1.0;
  }
  const std::string text = Report(d);
  EXPECT_EQ(MissingInOrder(text, {"Konstruktive Richtlinien", "Mindestens 16 D8 für Querschnitt: 1,4\n",
                                  "Mindestens 6 D12 für Querschnitt: 2,3,5\n",
                                  "Kreisring: dazu innerer Ring aus 20 Stäben mit zusammen 6.78 cm² für Querschnitt: "
                                  "3,5\n"}),
            "");
  EXPECT_EQ(text.find("Mindestens 4 D"), std::string::npos) << "a ring's layout word 0 is no rectangle's";
  // the input echo names the inner ring of each ring after the sections' table
  EXPECT_EQ(MissingInOrder(text, {"Querschnittsbeschreibung", "3|Kreisring|1|40.0|20.0|||4.0|20|10.00|",
                                  "Querschnitt 3 (Kreisring): Die Berechnung legt zu den eingegebenen 20 Stäben einen "
                                  "inneren Ring aus 20 Stäben mit zusammen 6.78 cm² ein.\n",
                                  "Querschnitt 5 (Kreisring): Die Berechnung legt", "Materialien"}),
            "");
  EXPECT_EQ(text.find("Querschnitt 2 (Kreisring)"), std::string::npos);
}

// The imperfection the report states is the one the calculation applies, with its unit: without direct input the
// inclination is 1/Schiefstellung, whatever share was typed; the eigenmode amplitude is height / (100 / invw).
TEST_F(ReportTest, ImperfectionLineStatesTheAppliedValueWithItsUnit) {
  const struct {
    const char* what;
    int type, direkt, ausmitte, schiefstellung;
    double invw;
    const char* line;
  } cases[] = {
      {"inclination 1/150, a typed 0.90 % unused", 0, 0, 1, 150, 0.9,
       "Globale Schiefstellung ψ = 1/150 = 0.667 %, die in Richtung"},
      {"inclination 1/200 with creep", 2, 0, 1, 200, 0.5,
       "Globale Schiefstellung ψ = 1/200 = 0.500 %, die in Richtung"},
      {"eigenmode amplitude from the share, not from the inclination's n", 1, 1, 1, 300, 0.25,
       "Explizite Vorgabe der Vorverformung: Stützenlänge/400\n"},
      {"a divisor that is not whole", 3, 1, 1, 300, 0.3, "Explizite Vorgabe der Vorverformung: Stützenlänge/333.3\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CKolumoData d;
    Fill(d);
    CKolumoVorver& v = d.vorver[0];
    v.type = c.type, v.bDirekteVorgabe = c.direkt, v.bAusmitte = c.ausmitte, v.Schiefstellung = c.schiefstellung;
    v.invw = c.invw;
    const std::string text = Report(d);
    EXPECT_NE(text.find(c.line), std::string::npos) << text.substr(text.find("Vorverformungen"), 400);
  }
}

// Per field the entered bars against what must be built: said in the last chapter's table, with a line of its own
// for each field whose bars the calculation raised. The worked case's field 1 has 4 x 4.00 = 16.00 cm² against 4.50
// to be built; field 2, a circle, 3.14 cm² in all against 6.20.
TEST_F(ReportTest, LastChapterSaysPerFieldWhetherTheEnteredBarsSuffice) {
  CKolumoData d;
  Fill(d);
  const std::string text = Report(d);
  EXPECT_EQ(MissingInOrder(text, {"Erforderliche Bewehrung", "1|1|Bauzustand 1 TR Bruch Ed|4.50|4.50|16.00|reicht aus|",
                                  "2|3|Endsystem TR Bruch Ed,A|6.20|6.20|3.14|reicht nicht aus|",
                                  "Feld 2: Die eingegebene Bewehrung (20 Stäbe, 3.14 cm²) reicht nicht aus; die "
                                  "Bemessung hat sie auf 6.20 cm² erhöht."}),
            "");
  EXPECT_EQ(text.find("Feld 1: Die eingegebene Bewehrung"), std::string::npos);
}

// The buckling shapes are normalised to 1: their columns carry no unit of length; the required reinforcement's
// diagram is titled with its unit.
TEST_F(ReportTest, NormalisedShapesHaveNoUnitAndTheReinforcementDiagramHasOne) {
  CKolumoData d;
  Fill(d);
  d.graf_ErfAs = 1;
  const std::string text = Report(d);
  EXPECT_EQ(MissingInOrder(text, {"Knickfiguren (normiert auf 1)\nKote h|v1|u1|v2|u2|\n[m]|[-]|[-]|[-]|[-]|"}), "");
  // the picture file keeps the title's blanks escaped
  bool titled = false;
  for (const auto& entry : std::filesystem::directory_iterator(folder_))
    if (entry.path().extension() == ".p2d" || entry.path().extension() == ".emf")
      titled = titled || ReadFile(entry.path().string()).find("erf.%20As%20[cm²]") != std::string::npos;
  EXPECT_TRUE(titled);
}

// A word is measured without the RTF around it, and a longer word needs more room.
TEST(ReportWidths, WordWidthIsTheLongestWordsWithoutControlWords) {
  EXPECT_DOUBLE_EQ(report::WortBreiteCm("Decke {\\b Zwischendecke}", false),
                   report::WortBreiteCm("Zwischendecke", false));
  EXPECT_GT(report::WortBreiteCm("Zwischendecke", false), report::WortBreiteCm("Zwischen decke", false));
  EXPECT_GT(report::WortBreiteCm("Knoten", true), report::WortBreiteCm("Knoten", false));
  EXPECT_NEAR(
      report::WortBreiteCm("Decke EG", false, true),
      report::WortBreiteCm("Decke", false) + report::WortBreiteCm(" EG", false, true) - report::WortBreiteCm("", false),
      1e-12);
  // 13 letters of about 0.6 em at 9 pt are about 2.5 cm, with the margins more
  EXPECT_GT(report::WortBreiteCm("Zwischendecke", false), 2.5);
  EXPECT_LT(report::WortBreiteCm("Zwischendecke", false), 3.2);
}

// A column short of its need takes room from the columns wider than their texts wish, then from the page, and only
// last the room that keeps another column's text on one line.
TEST(ReportWidths, ShortColumnTakesRoomInTheOrderThatKeepsTextsWhole) {
  const struct {
    const char* what;
    std::vector<double> breiten, bedarf, wunsch, erwartet;
  } cases[] = {
      {"all fit", {2.0, 3.0}, {1.0, 3.0}, {1.0, 3.0}, {2.0, 3.0}},
      {"room nobody wants", {2.0, 3.0}, {2.8, 1.0}, {2.8, 2.0}, {2.8, 2.2}},
      {"then the page", {8.0, 8.0}, {10.0, 7.5}, {10.0, 7.5}, {9.5, 7.5}},
      {"last the wished room", {8.5, 8.5}, {10.0, 7.0}, {10.0, 8.5}, {10.0, 7.0}},
      {"nothing left", {8.5, 8.5}, {10.0, 8.5}, {10.0, 8.5}, {8.5, 8.5}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<double> b = report::PasseBreiten(c.breiten, c.bedarf, c.wunsch, 17.0);
    ASSERT_EQ(b.size(), c.erwartet.size());
    for (std::size_t i = 0; i < b.size(); ++i) EXPECT_NEAR(b[i], c.erwartet[i], 1e-9) << i;
  }
}

}  // namespace
