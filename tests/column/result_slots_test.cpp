// Every pass of the engine keeps its own result slots: the fire pass leaves the accidental second-order results of
// a later stage as they are, also when the final system's accidental combinations stay out of second order.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "column/kombidateien.h"
#include "engine/material.h"
#include "engine/rechner.h"
#include "engine/results.h"
#include "engine/workarrays.h"
#include "tests/column/accidental_column.h"
#include "tests/column/calc_run_support.h"

namespace {

using column_test::AccidentalColumn;

// The material handler as the engine's catalogue, for a run of the engine outside the calculation driver.
class Katalog : public MaterialKatalog {
 public:
  Katalog() : vorher_(SetzeMaterialKatalog(this)) {}
  ~Katalog() override { SetzeMaterialKatalog(vorher_); }
  void Sorten(const char* norm, const char* kat, const char* ukat, std::vector<std::string>& names) override {
    CStringArray list;
    GetMateHandler().GetObjekte(kat, ukat, norm, list);
    names.clear();
    for (const CString& name : list)
      if (!name.IsEmpty()) names.emplace_back(name.GetString());
  }
  bool Werte(const char* norm, const char* kat, const char* ukat, const std::string& name,
             std::map<std::string, std::string>& out) override {
    CMateProps props;
    CString objekt = name.c_str();
    GetMateHandler().GetMaterial(props, kat, ukat, norm, objekt);
    out.clear();
    for (POSITION pos = props.m_values.GetStartPosition(); pos;) {
      CString k, v;
      props.m_values.GetNextAssoc(pos, k, v);
      out[k.GetString()] = v.GetString();
    }
    return !out.empty();
  }

 private:
  MaterialKatalog* vorher_;
};

using ResultSlotsTest = column_test::CalcRunFixture;

// The final system has an accidental combination, but the run leaves it out of second order (accidental-final switch
// off); the transport stage's accidental combination and the fire combination are calculated in second order.
// Slots: "Tr" 0 (final) and 1 (transport); "EdA" 2 (final) and 3 (transport); fire 4. The fire pass used to start at
// the count of the accidental combinations taken into second order (2 + 1 = 3) and wrote over the transport's.
//
// Statics of the transport combination 1.00*(1)+1.00*(2): the foot carries N = 400 kN and H = 30 kN, and at least
// the first-order moment H L = 90 kNm. The fire combination 1.00*(1) of the final system (its accidental load case is
// taken out) puts N = 1000 kN into every section and no horizontal force.
TEST_F(ResultSlotsTest, FireLeavesTheAccidentalSecondOrderResultsOfALaterStage) {
  CKolumoData d;
  AccidentalColumn::Make(d, true);
  int zaehler[5][CKolumoData::kStages] = {};
  zaehler[kDateiTr][0] = zaehler[kDateiTr][1] = 1;
  zaehler[kDateiEdA][0] = zaehler[kDateiEdA][1] = 1;
  zaehler[kDateiEdB][0] = 1;
  for (int s : {0, 1})
    for (int art : {kDateiTr, kDateiEdA, kDateiEdB}) {
      if (zaehler[art][s] == 0) continue;
      std::string error;
      ASSERT_TRUE(WriteCombinationFile(d, Base(), art, zaehler[art], s, error)) << error;
    }

  CResultContainer out;
  {
    Katalog katalog;
    WorkArrays arbeit;
    g_rechner.Init();
    const int flags[4] = {1, 1, 0, 0};
    ASSERT_EQ(PrepareSystem(d, Base(), flags), 0);
    std::fill(std::begin(g_rechner.rechenSchalter), std::end(g_rechner.rechenSchalter), 1);
    const int gbStart = g_rechner.RechneStuetze(nullptr, 10, 1000, 0);
    EXPECT_EQ(gbStart, 5) << testing::PrintToString(Messages());  // 2 "Tr", 2 "EdA", 1 fire
    // the foot's axial reaction of the second-order runs: the transport's accidental combination in slot 3, the fire
    // combination in slot 4
    const int K = g_rechner.nKnoten;
    ASSERT_EQ(K, 5);
    EXPECT_NEAR(std::fabs(WD(g_rechner.Slot(20, 3, 7 * K))), AccidentalColumn::NTransport, 0.4);
    EXPECT_NEAR(std::fabs(WD(g_rechner.Slot(20, 4, 7 * K))), AccidentalColumn::NEnd, 1.0);
    DruckeErgebnisse(gbStart, out);
  }

  // the transport's accidental combination: LK 4 (after the two "Tr" and the final system's "EdA"), second order
  const CResultLagerkraefte* lager = Find(out.Lagerkraefte, 3, 4, 1);
  ASSERT_NE(lager, nullptr);
  ASSERT_EQ(lager->Kote.size(), 1u);
  EXPECT_NEAR(lager->Kote[0], AccidentalColumn::L, 1e-6);
  EXPECT_NEAR(std::fabs(lager->Apz[0]), AccidentalColumn::NTransport, 1e-3 * AccidentalColumn::NTransport);
  EXPECT_NEAR(std::hypot(lager->Apx[0], lager->Apy[0]), AccidentalColumn::HTransport,
              1e-3 * AccidentalColumn::HTransport);
  EXPECT_GE(std::hypot(lager->Amx[0], lager->Amy[0]), AccidentalColumn::HTransport * AccidentalColumn::L * 0.999);
  const CResultSchnittgroessen* stab = Find(out.Schnittgroessen, 3, 4, 1);
  ASSERT_NE(stab, nullptr);
  for (double n : stab->N) EXPECT_NEAR(std::fabs(n), AccidentalColumn::NTransport, 1e-3 * AccidentalColumn::NTransport);

  // the fire record of the final system's one fire combination: LK 2, after its one "Tr" combination
  ASSERT_EQ(out.Brandschnittgroessen.size(), 1u);
  EXPECT_EQ(out.Brandschnittgroessen[0]->LK, 2);
  EXPECT_EQ(out.Brandschnittgroessen[0]->System, 0);

  // the final system's accidental combination took no part in second order: no second-order record claims it
  EXPECT_EQ(Find(out.Lagerkraefte, 3, 3, 0), nullptr);
  EXPECT_EQ(Find(out.Schnittgroessen, 3, 3, 0), nullptr);
  EXPECT_NE(Find(out.Schnittgroessen, 1, 3, 0), nullptr);  // its first-order record stays
}

}  // namespace
