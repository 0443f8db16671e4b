// What a calculation takes from the combinations and loads: a term of factor 0 among others, kinds it knows and
// kinds it does not, creep chosen without creep load cases, loads and results that are no finite numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "calc_run_support.h"
#include "column/kolumodata.h"

namespace {

using column_test::AddCombination;
using column_test::Cantilever;
using column_test::kAxial;
using column_test::kX;

class CombinationChecksTest : public column_test::CalcRunFixture {
 protected:
  static bool Said(const std::string& part) {
    const std::vector<std::string> msgs = Messages();
    return std::any_of(msgs.begin(), msgs.end(),
                       [&](const std::string& m) { return m.find(part) != std::string::npos; });
  }
  static double BaseAxialReaction(const CKolumoData& out, int typ) {
    const CResultLagerkraefte* lager = Find(out.ergebnisse.Lagerkraefte, typ);
    return lager && !lager->Apz.empty() ? std::fabs(lager->Apz[0]) : 0.0;
  }
};

// Three axial head loads of 100, 200 and 300 kN; "1.00*(1)+0.00*(2)+1.00*(3)": the foot carries 100 + 300 = 400 kN.
TEST_F(CombinationChecksTest, TermOfFactorZeroLeavesTheTermsAfterIt) {
  CKolumoData in;
  Cantilever(in, 3.0, {{kAxial, 100.0}, {kAxial, 200.0}, {kAxial, 300.0}}, "1.00*(1)+0.00*(2)+1.00*(3)");
  auto out = Run(in);
  ASSERT_FALSE(out->ergebnisse.Schnittgroessen.empty()) << testing::PrintToString(Messages());
  EXPECT_NEAR(BaseAxialReaction(*out, 0), 400.0, 1e-6);
}

// A formula that names a load case more than once is refused, naming the combination and each such load case once:
// the engine would take the load case's last factor, the column's own reading (the support export) their sum. Kinds
// that do not reach the engine are not read.
TEST_F(CombinationChecksTest, LoadCaseNamedTwiceIsRefusedByName) {
  const struct {
    const char* art;
    const char* formel;
    std::vector<int> doppelt;
  } cases[] = {
      {"Ed", "1.35*(1)+1.50*(1)+1.50*(2)", {1}},
      {"Ed", "1.35*(1+1)", {1}},
      {"Ed,A", "1.00*(2)+1.00*(1+2)+0.50*(2)+0.00*(1)", {2, 1}},
      {"Ed,perm", "0.00*(2)+1.00*(1+2)", {2}},
      {"Ed", "1.35*(1)+1.50*(2)", {}},
      {"Ed,char", "1.00*(1)+1.00*(1)", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.formel);
    win::msgbox::ClearLog();
    CKolumoData in;
    Cantilever(in, 3.0, {{kAxial, 100.0}, {kAxial, 50.0}}, "1.35*(1)+1.50*(2)");
    AddCombination(in, 0, c.art, c.formel);
    auto out = Run(in);
    const std::string wer = std::string("Endsystem, Kombination 2 (") + c.art + ") \"" + c.formel + "\": ";
    std::size_t genannt = 0;
    for (const std::string& m : Messages())
      for (std::size_t at = m.find(" steht mehrmals in der Formel"); at != std::string::npos;
           at = m.find(" steht mehrmals in der Formel", at + 1))
        ++genannt;
    EXPECT_EQ(genannt, c.doppelt.size()) << testing::PrintToString(Messages());
    for (int lf : c.doppelt)
      EXPECT_TRUE(Said(wer + "Lastfall " + std::to_string(lf) + " steht mehrmals in der Formel"))
          << testing::PrintToString(Messages());
    EXPECT_EQ(out->ergebnisse.Schnittgroessen.empty(), !c.doppelt.empty());
  }
}

// The generator forms "Ed", "Ed,A", "Ed,char", "Ed,frequ" and "Ed,perm"; the column verifies three of them. Any
// other kind is refused by name; the other two known kinds are left out as before.
TEST_F(CombinationChecksTest, UnknownCombinationKindIsRefusedByName) {
  const struct {
    const char* art;
    bool refused;
  } cases[] = {{"Ed,X", true}, {"ed", true}, {"", true}, {"Ed,char", false}, {"Ed,frequ", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.art);
    win::msgbox::ClearLog();
    CKolumoData in;
    Cantilever(in, 3.0, {{kAxial, 100.0}}, "1.35*(1)");
    AddCombination(in, 0, c.art, "1.00*(1)");
    auto out = Run(in);
    const std::string said = std::string("Endsystem, Kombination 2 (") + c.art + ") \"1.00*(1)\": Kombinationsart \"" +
                             c.art + "\" ist unbekannt";
    EXPECT_EQ(Said(said), c.refused) << testing::PrintToString(Messages());
    EXPECT_EQ(out->ergebnisse.Schnittgroessen.empty(), c.refused);
  }
}

// Imperfection of a kind with creep (2, 3) but no load case with a creep factor above 0: the column is calculated
// without creep and says so; with a creep load case it creeps and says nothing of the kind.
TEST_F(CombinationChecksTest, CreepKindWithoutCreepLoadCasesIsSaid) {
  const char* const hinweis = "gerechnet wird ohne Kriechen";
  const struct {
    int type;
    std::vector<double> faktoren;
    bool said;
  } cases[] = {{2, {}, true}, {3, {0.0}, true}, {2, {1.0}, false}, {0, {}, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << c.faktoren.size() << " entries");
    win::msgbox::ClearLog();
    CKolumoData in;
    Cantilever(in, 3.0, {{kAxial, 500.0}, {kX, 10.0}}, "1.35*(1)+1.50*(2)");
    in.vorver[0].type = c.type;
    in.vorver[0].bAusmitte = 1;
    for (double f : c.faktoren) {
      CKolumoKriechen k;
      k.KriechZahl = 2.0;
      k.Faktor = f;
      in.kriechen.Add(k);
    }
    auto out = Run(in);
    ASSERT_FALSE(out->ergebnisse.Schnittgroessen.empty()) << testing::PrintToString(Messages());
    EXPECT_EQ(Said(hinweis), c.said) << testing::PrintToString(Messages());
    // creep records exactly where creep acted
    const bool kriecht = c.type >= 2 && !c.said;
    EXPECT_EQ(Find(out->ergebnisse.Lagerkraefte, 2) != nullptr, kriecht);
  }
}

// A head moment of 1.5e308 kNm times 1.35 is beyond every double: refused before the run, naming the load and the
// combination; the position keeps no results.
TEST_F(CombinationChecksTest, FactoredLoadBeyondEveryNumberIsRefusedByName) {
  CKolumoData in;
  Cantilever(in, 3.0, {{kX, 10.0}}, "1.35*(1)");
  in.loads[0][0].desc = "Kopfmoment";
  in.loads[0][0].val1 = 1.5e308;
  int doc = 0;
  auto out = Run(in, "position.tqx", &doc);
  EXPECT_TRUE(
      Said("Endsystem, Kombination 1 (Ed) \"1.35*(1)\": Last 1 (\"Kopfmoment\"): val1 = 1.5e+308 mal Faktor "
           "1.35 ist zu groß: das Produkt darf dem Betrag nach höchstens 1.79769e+308 sein."))
      << testing::PrintToString(Messages());
  EXPECT_TRUE(out->ergebnisse.Schnittgroessen.empty());
  EXPECT_EQ(VIDUV_FindFirstChild(VIDUV_FindFirstChild(Root(doc), "result"), "Schnittgroessen"), 0);
}

// The cantilever of the whole-run regression on a smaller scale: own weight, an axial head load, and a head moment
// of 1e308 kNm in load case 3, which only the second combination holds. Every factored load is a number (0.9e308
// kNm), the analysis of that combination gives none: the calculation stops naming it and keeps no results.
TEST_F(CombinationChecksTest, ResultThatIsNoNumberStopsTheCalculationNamingItsCombination) {
  CKolumoData in;
  Cantilever(in, 4.0, {{kAxial, 300.0}, {kX, 6.0}}, "1.35*(1)+1.50*(2)");
  in.loads[0].Add(column_test::OwnWeight(1));
  Load moment = column_test::PointLoad(3, kX, 0.0);
  moment.val1 = 1e308;
  in.loads[0].Add(moment);
  column_test::SetActions(in, 0, {column_test::Action(1, 0), column_test::Action(2, 1), column_test::Action(3, 1)});
  AddCombination(in, 0, "Ed", "1.35*(1)+1.50*(2)");
  AddCombination(in, 0, "Ed", "1.00*(1)+0.90*(3)");
  int doc = 0;
  auto out = Run(in, "position.tqx", &doc);
  EXPECT_TRUE(Said("Die Berechnung ergibt keine endliche Zahl: ")) << testing::PrintToString(Messages());
  EXPECT_TRUE(Said("aus Endsystem, Kombination 2 (Ed) \"1.00*(1)+0.90*(3)\".")) << testing::PrintToString(Messages());
  EXPECT_TRUE(out->ergebnisse.Schnittgroessen.empty());
  EXPECT_EQ(VIDUV_FindFirstChild(VIDUV_FindFirstChild(Root(doc), "result"), "Schnittgroessen"), 0);
}

// The search the calculation makes before it writes: the first value that is no finite number, with its record,
// column and height.
TEST(NonFiniteResults, FirstValueThatIsNoNumberIsFoundWithItsRecord) {
  CResultContainer e;
  e.Schnittgroessen.push_back(std::make_unique<CResultSchnittgroessen>());
  e.Schnittgroessen.back()->Kote = {0.0, 3.0};
  e.Schnittgroessen.back()->N = {-100.0, -100.0};
  NichtEndlicherWert wo;
  EXPECT_FALSE(SucheNichtEndlichenWert(e, wo));

  e.Lagerkraefte.push_back(std::make_unique<CResultLagerkraefte>());
  CResultLagerkraefte& lager = *e.Lagerkraefte.back();
  lager.LK = 4, lager.System = 1, lager.Typ = 3;
  lager.Kote = {0.0, 3.0};
  lager.Apz = {1.0, std::numeric_limits<double>::quiet_NaN()};
  ASSERT_TRUE(SucheNichtEndlichenWert(e, wo));
  EXPECT_STREQ(wo.satz, "Lagerkraefte");
  EXPECT_STREQ(wo.spalte, "Apz");
  EXPECT_EQ(wo.LK, 4);
  EXPECT_EQ(wo.System, 1);
  EXPECT_EQ(wo.Typ, 3);
  EXPECT_DOUBLE_EQ(wo.kote, 3.0);

  // records are searched in the order they are written: section forces before support forces
  e.Schnittgroessen.back()->My = {std::numeric_limits<double>::infinity(), 0.0};
  ASSERT_TRUE(SucheNichtEndlichenWert(e, wo));
  EXPECT_STREQ(wo.satz, "Schnittgroessen");
  EXPECT_STREQ(wo.spalte, "My");
  EXPECT_DOUBLE_EQ(wo.kote, 0.0);
  EXPECT_TRUE(std::isinf(wo.wert));

  // the eigenvalue block and the required reinforcement, which has no record numbers, count too
  CResultContainer f;
  f.Verformung.push_back(std::make_unique<CResultVerformung>());
  f.Verformung.back()->Eigen[1] = std::numeric_limits<double>::quiet_NaN();
  ASSERT_TRUE(SucheNichtEndlichenWert(f, wo));
  EXPECT_STREQ(wo.spalte, "Eigen");
  f.Verformung.back()->Eigen[1] = 0.0;
  f.ErfAs.push_back(std::make_unique<CResultErfAs>());
  f.ErfAs.back()->Kote = {2.5};
  f.ErfAs.back()->As = {-std::numeric_limits<double>::infinity()};
  ASSERT_TRUE(SucheNichtEndlichenWert(f, wo));
  EXPECT_STREQ(wo.satz, "ErfAs");
  EXPECT_DOUBLE_EQ(wo.kote, 2.5);
}

}  // namespace
