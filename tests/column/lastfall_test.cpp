// The calculation driver's loads end to end: the own weight in its own load case, and the axial force of a field
// handed down to the field below with the offset between their axes.
#include <gtest/gtest.h>

#include <cmath>

#include "calc_run_support.h"
#include "column/calcfunc.h"
#include "column/kolumodata.h"
#include "engine/rechner.h"

namespace {

using column_test::Action;
using column_test::AddCombination;
using column_test::Cantilever;
using column_test::OwnWeight;
using column_test::PointLoad;
using column_test::SetActions;

using LastfallTest = column_test::CalcRunFixture;

// ---- own weight -----------------------------------------------------------------------------------------------

// Cantilever L = 4 m: snow S = 80 kN down at the head (load case 1), wind H = 10 kN in x at the head (load case
// 2), a live load Q = 120 kN down at the head (load case 3), own weight in load case 4:
// G = 25 kN/m3 x 0.40 x 0.40 m x 4 m = 16 kN.
TEST_F(LastfallTest, OwnWeightActsOnlyInItsLoadCase) {
  constexpr double L = 4.0, S = 80.0, H = 10.0, Q = 120.0, G = 25.0 * 0.4 * 0.4 * L;
  CKolumoData in;
  Cantilever(in, L);
  in.loads[0].Add(PointLoad(1, 2, S));
  in.loads[0].Add(PointLoad(2, 0, H));
  in.loads[0].Add(PointLoad(3, 2, Q));
  in.loads[0].Add(OwnWeight(4));
  SetActions(in, 0, {Action(1, 1), Action(2, 2), Action(3, 3), Action(4, 0)});
  AddCombination(in, 0, "Ed", "1.35*(4)+1.50*(1)");
  AddCombination(in, 0, "Ed", "1.50*(1)+1.50*(3)");
  AddCombination(in, 0, "Ed,perm", "1.00*(4)+0.30*(3)");
  auto out = Run(in);
  const CResultContainer& e = out->ergebnisse;
  ASSERT_FALSE(e.Schnittgroessen.empty()) << testing::PrintToString(Messages());

  // characteristic foundation loads per load case (LK negative): each case shows its own loads only
  struct Fall {
    int lk;
    double vertikal, quer, moment;
  };
  const Fall faelle[] = {{-1, S, 0.0, 0.0}, {-2, 0.0, H, H * L}, {-3, Q, 0.0, 0.0}, {-4, G, 0.0, 0.0}};
  for (const Fall& f : faelle) {
    const CResultFundkraefte* r = Find(e.Fundkraefte, 0, f.lk);
    ASSERT_NE(r, nullptr) << f.lk;
    ASSERT_EQ(r->Apz.size(), 1u);
    EXPECT_NEAR(std::fabs(r->Apz[0]), f.vertikal, 1e-6) << f.lk;
    EXPECT_NEAR(std::hypot(r->Apx[0], r->Apy[0]), f.quer, 1e-6) << f.lk;
    EXPECT_NEAR(std::hypot(r->Amx[0], r->Amy[0]), f.moment, 1e-6) << f.lk;
  }
  // design combinations: 1.35 G + 1.5 S = 21.6 + 120 = 141.6 kN; without load case 4 no own weight:
  // 1.5 (S + Q) = 300 kN
  const CResultLagerkraefte* ed1 = Find(e.Lagerkraefte, 0, 1);
  const CResultLagerkraefte* ed2 = Find(e.Lagerkraefte, 0, 2);
  ASSERT_NE(ed1, nullptr);
  ASSERT_NE(ed2, nullptr);
  EXPECT_NEAR(std::fabs(ed1->Apz[0]), 1.35 * G + 1.5 * S, 1e-6);
  EXPECT_NEAR(std::fabs(ed2->Apz[0]), 1.5 * (S + Q), 1e-6);
}

TEST_F(LastfallTest, OwnWeightInTwoLoadCasesOfAStageIsRefused) {
  CKolumoData d;
  Cantilever(d, 4.0);
  d.loads[0].Add(OwnWeight(1));
  d.loads[0].Add(OwnWeight(2));
  g_rechner.Init();
  const int flags[4] = {1, 0, 0, 0};
  EXPECT_EQ(PrepareSystem(d, Base(), flags), 1);
  ASSERT_EQ(Messages().size(), 1u);
  // the same load case twice is one own weight
  d.loads[0][1].lc = 1;
  g_rechner.Init();
  EXPECT_EQ(PrepareSystem(d, Base(), flags), 0);
  EXPECT_EQ(g_rechner.eigengewichtLf[0], 1);
  EXPECT_EQ(g_rechner.eigengewichtLf[1], 0);
  EXPECT_DOUBLE_EQ(g_rechner.gammaBeton, 25.0);
}

// ---- field offsets --------------------------------------------------------------------------------------------

// Two fields, 3 m below and 2 m above, fixed at the foot; N = 500 kN down at the head on the upper field's axis.
// The upper field's axis lies e = 5 cm off the lower one's, in x and then in y. Statics: the lower field carries
// the constant moment N e = 25 kNm (My for an offset in x, Mx for one in y), the upper field none; the foot takes
// N and N e.
TEST_F(LastfallTest, UpperFieldOffsetLoadsTheLowerFieldWithNe) {
  constexpr double a = 3.0, b = 2.0, N = 500.0, e = 5.0;
  for (int richtung : {0, 1}) {
    CKolumoData in;
    Cantilever(in, b);
    in.SetFieldCount(2);
    in.fieldLengths[0] = b;  // the head field
    in.fieldLengths[1] = a;
    in.querschnitte[1] = in.querschnitte[0];
    (richtung == 0 ? in.querschnitte[0].ex : in.querschnitte[0].ey) = e;
    in.supports[0][1] = CSupport();
    CSupport& foot = in.supports[0][2];
    foot.cx = foot.cy = foot.cz = foot.cmx = foot.cmy = -1.0;
    in.loads[0].Add(PointLoad(1, 2, N));
    SetActions(in, 0, {Action(1, 0)});
    AddCombination(in, 0, "Ed", "1.00*(1)");
    auto out = Run(in);
    const CResultContainer& r = out->ergebnisse;
    ASSERT_FALSE(r.Schnittgroessen.empty()) << testing::PrintToString(Messages());
    const double M = N * e / 100.0;

    const CResultSchnittgroessen* s = Find(r.Schnittgroessen, 0, 1);
    ASSERT_NE(s, nullptr);
    int unten = 0;
    for (std::size_t i = 0; i < s->Kote.size(); ++i) {
      const double ebene = richtung == 0 ? s->My[i] : s->Mx[i];
      const double andere = richtung == 0 ? s->Mx[i] : s->My[i];
      EXPECT_NEAR(andere, 0.0, 1e-6) << richtung << " row " << i;
      EXPECT_NEAR(s->N[i], -N, 1e-6) << richtung << " row " << i;
      if (std::fabs(s->Kote[i] - b) < 1e-6) continue;  // the joint: the two fields' rows differ there
      EXPECT_NEAR(std::fabs(ebene), s->Kote[i] > b ? M : 0.0, 1e-6) << richtung << " at " << s->Kote[i];
      unten += s->Kote[i] > b ? 1 : 0;
    }
    EXPECT_GT(unten, 0);

    const CResultLagerkraefte* lager = Find(r.Lagerkraefte, 0, 1);
    ASSERT_NE(lager, nullptr);
    ASSERT_EQ(lager->Kote.size(), 1u);
    EXPECT_NEAR(std::fabs(lager->Apz[0]), N, 1e-6);
    EXPECT_NEAR(std::fabs(richtung == 0 ? lager->Amy[0] : lager->Amx[0]), M, 1e-6) << richtung;
    EXPECT_NEAR(richtung == 0 ? lager->Amx[0] : lager->Amy[0], 0.0, 1e-6) << richtung;
  }
}

// The views draw each field at its own offset from the system line: fields at the same offset make a straight
// column; the engine links each field to the one below it.
TEST_F(LastfallTest, FieldOffsetsReachTheEngineAsStepsBetweenFields) {
  CKolumoData d;
  Cantilever(d, 2.0);
  d.SetFieldCount(3);
  for (int i = 0; i < 3; ++i) {
    d.fieldLengths[i] = 2.0;
    d.querschnitte[i] = d.querschnitte[0];
  }
  // head to foot: x 4, 4, 1 cm; y 0, -2, 0 cm
  d.querschnitte[0].ex = 4.0;
  d.querschnitte[1].ex = 4.0;
  d.querschnitte[2].ex = 1.0;
  d.querschnitte[1].ey = -2.0;
  g_rechner.Init();
  const int flags[4] = {1, 0, 0, 0};
  ASSERT_EQ(PrepareSystem(d, Base(), flags), 0);
  const double ez[3] = {0.01, 0.03, 0.0}, ey[3] = {0.0, -0.02, 0.02};  // from the foot up
  for (int f = 0; f < 3; ++f) {
    EXPECT_NEAR(g_rechner.feldEz[f], ez[f], 1e-12) << f;
    EXPECT_NEAR(g_rechner.feldEy[f], ey[f], 1e-12) << f;
  }
}

}  // namespace
