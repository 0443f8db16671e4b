// The column data model: defaults, the combination norm per design code, the field variables, the combination
// formulas and the generator presets.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "column/kolumodata.h"
#include "column_test_support.h"

namespace {

using column_test::ColumnTest;

// An action with its group (0 permanent, 1 variable, 2 alternative, 3 accidental) and category.
CEinwirkung Action(int nr, int gruppe, int kategorie = 0) {
  CEinwirkung e;
  e.nr = nr;
  e.indexGruppe = gruppe;
  e.indexGruppeHHHH = gruppe;
  e.indexKategorie = kategorie;
  return e;
}

void AddLoadCase(CLKData& lk, int lf, int einw) {
  CLKLastfall row;
  row.lf = lf;
  row.einw = einw;
  lk.lastfaelle.Add(row);
}

void AddCombination(CLKData& lk, const char* formula) {
  CKombination k;
  k.art = "Ed";
  k.regel = formula;
  k.regelUser = formula;
  lk.kombinationen.Add(k);
}

// The number of combinations of each kind text.
std::map<std::string, int> KindCounts(const CLKData& lk) {
  std::map<std::string, int> counts;
  for (const CKombination& k : lk.kombinationen) ++counts[k.art.str()];
  return counts;
}

class ColumnDataTest : public ColumnTest {};

TEST_F(ColumnDataTest, NewDataHoldsTheDefaultsOfTheModel) {
  CKolumoData data;
  EXPECT_EQ(data.nFields(), 0);
  EXPECT_EQ(data.iNorm, 0);
  EXPECT_EQ(data.sBeton, "C25/30");
  EXPECT_EQ(data.sStahl, "BSt 500 SA");
  EXPECT_EQ(data.progname, "KOLUMO");
  EXPECT_EQ(data.anmerkungen.GetSize(), CKolumoData::kAnnotations);
  for (int stage = 0; stage < CKolumoData::kStages; ++stage) {
    SCOPED_TRACE(stage);
    EXPECT_EQ(data.supports[stage].GetSize(), 1);
    EXPECT_EQ(data.loads[stage].GetSize(), 0);
    EXPECT_EQ(data.maxLF[stage], 0);
    EXPECT_EQ(data.lastUeberlagerungBZ[stage].lknorm, 1);
    EXPECT_EQ(data.lastUeberlagerungBZ[stage].modus, 3);
    EXPECT_EQ(data.lastUeberlagerungBZ[stage].owner, &data);
    const CKolumoVorver& v = data.vorver[stage];
    EXPECT_EQ(v.type, 0);
    EXPECT_EQ(v.Schiefstellung, 150);
    EXPECT_EQ(v.IDPunkt, 0);
    EXPECT_EQ(v.bDirekteVorgabe, 1);
    EXPECT_EQ(v.bAusmitte, 1);
    EXPECT_EQ(v.bGesetzt, 0);
    EXPECT_DOUBLE_EQ(v.ausmitte.m_dValue, 2.0);
    EXPECT_DOUBLE_EQ(v.umx.m_dValue, -0.4);
    EXPECT_DOUBLE_EQ(v.umy.m_dValue, 0.4);
    EXPECT_DOUBLE_EQ(v.invw.m_dValue, 0.5);
  }
  EXPECT_DOUBLE_EQ(data.bx, 3.0);
  EXPECT_DOUBLE_EQ(data.by, 3.0);
  EXPECT_DOUBLE_EQ(data.Es, 700.0);
  EXPECT_DOUBLE_EQ(data.EsID, 0.0);
  EXPECT_DOUBLE_EQ(data.nue, 0.2);
  EXPECT_DOUBLE_EQ(data.fakt, 1.4);
  EXPECT_DOUBLE_EQ(data.hoehe, 0.6);
  EXPECT_EQ(data.num_System, 0);
  EXPECT_EQ(data.num_Brand, 0);
  EXPECT_EQ(data.kriechen.GetSize(), 0);

  const CKolumoQuer quer;
  EXPECT_EQ(quer.type, 0);
  EXPECT_EQ(quer.bewType, 0);
  EXPECT_DOUBLE_EQ(quer.bx.m_dValue, 30.0);
  EXPECT_DOUBLE_EQ(quer.dy.m_dValue, 30.0);
  EXPECT_DOUBLE_EQ(quer.bdx.m_dValue, 3.0);
  EXPECT_DOUBLE_EQ(quer.bdy.m_dValue, 3.0);
  EXPECT_DOUBLE_EQ(quer.as.m_dValue, 2.0);
  EXPECT_DOUBLE_EQ(quer.theta.m_dValue, 45.0);
  EXPECT_EQ(quer.teilung, 5);
  const CKolumoKriechen creep;
  EXPECT_DOUBLE_EQ(creep.KriechZahl, 2.5);
  EXPECT_DOUBLE_EQ(creep.Faktor, 1.0);
}

TEST_F(ColumnDataTest, SetDefaultsEmptiesTheColumnButKeepsTheOutputOptions) {
  CKolumoData data;
  data.SetFieldCount(3);
  data.loads[2].Add(Load());
  data.kriechen.Add(CKolumoKriechen());
  data.iNorm = 2;
  data.maxLF[1] = 4;
  data.num_KNSW_Bruch = 1;
  data.BildBreite = 12.5;
  data.anmerkungen[3] = "note";
  data.SetDefaults();
  EXPECT_EQ(data.nFields(), 0);
  EXPECT_EQ(data.querschnitte.GetSize(), 0);
  EXPECT_EQ(data.loads[2].GetSize(), 0);
  EXPECT_EQ(data.kriechen.GetSize(), 0);
  EXPECT_EQ(data.supports[0].GetSize(), 1);
  EXPECT_EQ(data.iNorm, 0);
  EXPECT_EQ(data.maxLF[1], 0);
  EXPECT_EQ(data.anmerkungen[3], "");
  EXPECT_EQ(data.num_KNSW_Bruch, 1);
  EXPECT_DOUBLE_EQ(data.BildBreite, 12.5);
}

TEST_F(ColumnDataTest, DefaultsMakeTheDataTheColumnsAgain) {
  CKolumoData data;
  data.progname = "TREPPE";
  data.modulename = "gerade";
  data.SetDefaults();
  EXPECT_EQ(data.progname, "KOLUMO");
  EXPECT_EQ(data.modulename, "");
}

TEST_F(ColumnDataTest, PositionCombinationDataGetsTheStagePresets) {
  CKolumoData data;
  data.num_Brand = 1;
  data.lastUeberlagerung.mitAlternativLasten = false;
  data.lastUeberlagerung.nachweisSchalter[2] = false;
  data.InitLKData(2);
  EXPECT_EQ(data.lastUeberlagerung.lknorm, 2);
  EXPECT_EQ(data.lastUeberlagerung.modus, 3);
  EXPECT_TRUE(data.lastUeberlagerung.mitAlternativLasten);
  EXPECT_TRUE(data.lastUeberlagerung.nachweisSchalter[2]);
  EXPECT_EQ(data.lastUeberlagerung.owner, &data);
}

TEST_F(ColumnDataTest, SetFieldCountGivesEveryStageOneSupportMoreThanFields) {
  CKolumoData data;
  data.SetFieldCount(2);
  data.fieldLengths[1] = 4.5;
  data.SetFieldCount(4);
  EXPECT_EQ(data.nFields(), 4);
  EXPECT_EQ(data.querschnitte.GetSize(), 4);
  for (const auto& stage : data.supports) EXPECT_EQ(stage.GetSize(), 5);
  EXPECT_DOUBLE_EQ(data.fieldLengths[1].m_dValue, 4.5);
  data.SetFieldCount(1);
  for (const auto& stage : data.supports) EXPECT_EQ(stage.GetSize(), 2);
}

// Each design code of the data must select a norm that the combination generator knows: SIA 262 goes with
// the actions of SIA 260, the EC2 codes with DIN 1055-100, DIN 1045-1 with norm 1.
TEST_F(ColumnDataTest, EveryDesignCodeSelectsANormOfTheGenerator) {
  const struct {
    int iNorm;
    int norm;
    const char* name;
  } cases[] = {{0, 1, "DIN 18800"},     {1, 0, "DIN 1055-100"},  {2, 2, "SIA 260:2003"},
               {10, 0, "DIN 1055-100"}, {11, 0, "DIN 1055-100"}, {12, 0, "DIN 1055-100"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.iNorm);
    EXPECT_EQ(CKolumoData::KombiNormFuerNorm(c.iNorm), c.norm);
    ASSERT_NE(CLKData::NormName(c.norm), nullptr);
    EXPECT_STREQ(CLKData::NormName(c.norm), c.name);
  }
}

// SIA 260, Table 2: wind psi0 = 0.6, psi1 = 0.5, psi2 = 0; categories A/B 0.7, 0.5, 0.3.
TEST_F(ColumnDataTest, SiaColumnGetsTheCombinationFactorsOfSia260) {
  CKolumoData data;
  data.iNorm = 2;
  data.InitStages(CKolumoData::KombiNormFuerNorm(data.iNorm));
  CLKData& lk = data.lastUeberlagerungBZ[0];
  lk.GetKategorieBeiwerte();
  ASSERT_GT(lk.beiwerte.GetSize(), 0);
  bool wind = false;
  for (const CLKBeiwert& row : lk.beiwerte) {
    if (row.name == "Wind") {
      wind = true;
      EXPECT_DOUBLE_EQ(row.psi0, 0.6);
      EXPECT_DOUBLE_EQ(row.psi1, 0.5);
      EXPECT_DOUBLE_EQ(row.psi2, 0.0);
    }
  }
  EXPECT_TRUE(wind);
  EXPECT_EQ(lk.beiwerte[0].name, "Nutzlast Kat. A/B");
  EXPECT_DOUBLE_EQ(lk.beiwerte[0].psi2, 0.3);
}

TEST_F(ColumnDataTest, FieldHeightsBecomeVariablesOfTheColumn) {
  CKolumoData data;
  data.SetFieldCount(2);
  data.fieldLengths[0] = 3.0;
  data.fieldLengths[1] = 4.5;
  data.DefineVariables();
  const struct {
    const char* name;
    double value;
  } expected[] = {{"l0", 3.0}, {"l1", 4.5}, {"tl", 7.5}};
  for (const auto& e : expected) {
    double value = -1.0;
    ASSERT_TRUE(data.stuetzenVariablen.Evaluate(e.name, &value)) << e.name;
    EXPECT_DOUBLE_EQ(value, e.value) << e.name;
  }
  CStringArray names, descriptions, units;
  CArray<double, double> values;
  data.stuetzenVariablen.CollectVariables(names, descriptions, units, values);
  int own = 0;
  for (INT_PTR i = 0; i < names.GetSize(); ++i) {
    if (names[i] == "System\\l0" || names[i] == "System\\l1" || names[i] == "System\\tl") {
      ++own;
      EXPECT_EQ(units[i], "m");
    }
  }
  EXPECT_EQ(own, 3);
  EXPECT_EQ(data.stuetzenVariablen.m_pParent, &data.variables);
}

TEST_F(ColumnDataTest, ParsedFormulaGivesOneFactorPerLoadCase) {
  const struct {
    const char* formula;
    std::map<int, double> factors;  // load case -> factor; all others 0
  } cases[] = {
      {"1.35*(1+2)+1.50*(3)", {{1, 1.35}, {2, 1.35}, {3, 1.50}}},
      {"1,00*(4)", {{4, 1.0}}},
      {"1.35*(1)+0.75*(12+7)", {{1, 1.35}, {12, 0.75}, {7, 0.75}}},
      {"1.00*(100)+2.00*(101)+3.00*(0)", {{100, 1.0}}},  // numbers outside 1..100 name no load case
      {"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.formula);
    CKolumoData::KombiFaktoren factors;
    factors.fill(9.0);
    CKolumoData::ParseKombiFormel(c.formula, factors);
    for (int lc = 1; lc <= CKolumoData::kMaxKombiLastfaelle; ++lc) {
      auto it = c.factors.find(lc);
      EXPECT_DOUBLE_EQ(factors[std::size_t(lc - 1)], it == c.factors.end() ? 0.0 : it->second) << lc;
    }
  }
}

TEST_F(ColumnDataTest, CombinationFormulaLosesTheAccidentalLoadCases) {
  CKolumoData data;
  CLKData& lk = data.lastUeberlagerungBZ[1];
  AddLoadCase(lk, 1, 1);
  AddLoadCase(lk, 2, 2);
  AddLoadCase(lk, 3, 3);
  lk.einwirkungen.Add(Action(1, 0));
  lk.einwirkungen.Add(Action(2, 3));
  lk.einwirkungen.Add(Action(3, 1));
  AddCombination(lk, "1.35*(1)+1.50*(2)");
  AddCombination(lk, "1.00*(1+2)+0.50*(3)");
  AddCombination(lk, "1.00*(2)");

  const struct {
    int kombination;
    const char* expected;
  } cases[] = {{0, "1.35*(1)"}, {1, "1.00*(1)+0.50*(3)"}, {2, ""}};
  for (const auto& c : cases) {
    CString formula = "stale";
    EXPECT_TRUE(data.HoleKombiFormel(1, c.kombination, formula));
    EXPECT_EQ(formula, c.expected) << c.kombination;
  }
  CString formula;
  EXPECT_FALSE(data.HoleKombiFormel(1, 3, formula));
  EXPECT_FALSE(data.HoleKombiFormel(4, 0, formula));
  // Stage 0 has no combination data: nothing to rebuild.
  EXPECT_FALSE(data.HoleKombiFormel(0, 0, formula));
}

TEST_F(ColumnDataTest, AccidentalActionCountsOnlyWhenItsLoadCasesAreUsed) {
  CKolumoData data;
  CLKData& lk = data.lastUeberlagerungBZ[0];
  lk.einwirkungen.Add(Action(1, 0));
  lk.einwirkungen.Add(Action(2, 1));
  lk.einwirkungen.Add(Action(3, 3));
  AddLoadCase(lk, 1, 1);
  AddLoadCase(lk, 2, 2);
  EXPECT_FALSE(data.HatAussergewEinwirkung(0));
  AddLoadCase(lk, 3, 3);
  EXPECT_TRUE(data.HatAussergewEinwirkung(0));
  EXPECT_FALSE(data.HatAussergewEinwirkung(1));
  EXPECT_FALSE(data.HatAussergewEinwirkung(-1));
  EXPECT_FALSE(data.HatAussergewEinwirkung(4));
}

// A stage with a permanent and a variable action: the column needs the fundamental and the quasi-permanent
// combinations; the accidental ones only for the fire check.
TEST_F(ColumnDataTest, PresetsFormTheCombinationsTheColumnUses) {
  for (int iNorm : {0, 1, 2}) {
    for (int brand : {0, 1}) {
      SCOPED_TRACE("iNorm " + std::to_string(iNorm) + ", fire " + std::to_string(brand));
      CKolumoData data;
      data.iNorm = iNorm;
      data.num_Brand = brand;
      data.InitStages(CKolumoData::KombiNormFuerNorm(iNorm));
      CLKData& lk = data.lastUeberlagerungBZ[0];
      EXPECT_TRUE(lk.mitAlternativLasten);
      EXPECT_TRUE(lk.nachweisMitGammaInf);
      lk.einwirkungen.Add(Action(1, 0));
      lk.einwirkungen.Add(Action(2, 1));
      AddLoadCase(lk, 1, 1);
      AddLoadCase(lk, 2, 2);
      ASSERT_TRUE(lk.Calc());
      const auto counts = KindCounts(lk);
      EXPECT_GT(counts.count("Ed") ? counts.at("Ed") : 0, 0);
      EXPECT_GT(counts.count("Ed,perm") ? counts.at("Ed,perm") : 0, 0);
      EXPECT_EQ(counts.count("Ed,char"), 0u);
      EXPECT_EQ(counts.count("Ed,A") > 0, brand == 1);
    }
  }
}

}  // namespace
