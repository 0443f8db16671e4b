// A straight column under axial force alone: the second-order run never leaves the straight state, where the
// sections keep the stiffness they started from. It is passed only where it stands with the stiffness its sections
// have at their axial force; else it gets the steel that makes it stand, as the same column pushed sideways by a
// trifle gets it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "column/kolumodata.h"
#include "tests/column/calc_run_support.h"

namespace {

using StraightColumnTest = column_test::CalcRunFixture;

// A cantilever of 6 m, 30 x 30 cm, C30/37, B500B, four bars of 3.14 cm2 at 4.5 cm (12.56 cm2), no imperfection,
// G at its head combined 1.35 G, and a sideways push at the head of load case 1 where one is given.
void Column(CKolumoData& in, int norm, double G, double push) {
  column_test::Cantilever(in, 6.0, norm);
  CKolumoQuer& q = in.querschnitte[0];
  q.bx = q.dy = 30.0;
  q.bdx = q.bdy = 4.5;
  q.as = 3.14;
  in.loads[0].Add(column_test::PointLoad(1, column_test::kAxial, G));
  if (push != 0.0) in.loads[0].Add(column_test::PointLoad(1, column_test::kX, push));
  column_test::SetActions(in, 0, {column_test::Action(1, 0)});
  column_test::AddCombination(in, 0, "Ed", "1.35*(1)");
}

FieldReinforcement Field(CKolumoData& out) {
  const std::vector<FieldReinforcement> fields = CompareFieldReinforcement(out);
  EXPECT_EQ(fields.size(), 1u);
  return fields.empty() ? FieldReinforcement{} : fields[0];
}

}  // namespace

// Under the German annex, N = 1.35 x 1000 = 1350 kN. The stiffness law of the iteration: fcd = 0.85 x 30 / 1.5 =
// 17 N/mm2, parabola to eps_c1 = -2.2 per mille; bars Es = 200000 N/mm2 at 10.5 cm from the centre. With As, the
// centric strain e solves 0.09 x 17000 x (1 - (1 - e/2.2)^2) + As x 2e8 x e/1000 = 1350 and the section's stiffness
// there is EI = 2 x 17000/2.2 x (1 - e/2.2) x 1000 x 0.3^4/12 + 2e8 x As x 0.105^2; the cantilever buckles at
// pi^2 EI / 12^2:
//   12.56 cm2:                e = 1.0240, EI =  8346 kNm2, 572 kN (the gross section's Ecm gives 1527 kN);
//   52.47 cm2 (12.56 x 1.1^15): e = 0.5998, EI = 19156 kNm2, 1313 kN < 1350;
//   57.71 cm2 (12.56 x 1.1^16): e = 0.5709, EI = 20450 kNm2, 1402 kN > 1350.
// The design raises the steel by a tenth at a time: 57.71 cm2 is the first that stands, straight or pushed.
TEST_F(StraightColumnTest, AStraightColumnAboveItsBucklingLoadGetsTheSteelThatMakesItStand) {
  for (const double push : {0.0, 0.001}) {
    SCOPED_TRACE(push);
    CKolumoData in;
    Column(in, 10, 1000.0, push);
    auto out = Run(in, push == 0.0 ? "straight.tqx" : "pushed.tqx");
    EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
    const FieldReinforcement f = Field(*out);
    EXPECT_NEAR(f.entered, 12.56, 1e-9);
    EXPECT_NEAR(f.required, 12.56 * std::pow(1.1, 16), 0.01);
    EXPECT_FALSE(f.suffices);
  }
}

// Under every code the straight column at 1.35 x 800 = 1080 kN needs what the same column pushed by 0.001 kN
// needs, more than its 12.56 cm2. Under the German annex, worked as above for N = 1080 kN: 12.56 cm2 give
// EI = 9538 kNm2 and 654 kN; 35.84 cm2 (12.56 x 1.1^11) e = 0.5594, EI = 15681 kNm2, 1075 kN < 1080; 39.42 cm2
// (12.56 x 1.1^12) e = 0.5375, EI = 16575 kNm2, 1136 kN > 1080. At 1.35 x 250 = 337.5 kN the column stands with
// its bars (German annex: e = 0.2144, EI = 12185 kNm2, 835 kN), and they suffice under every code.
TEST_F(StraightColumnTest, UnderEveryCodeTheStraightColumnIsDesignedAsThePushedOne) {
  for (const int norm : {0, 1, 2, 10, 11, 12}) {
    SCOPED_TRACE(norm);
    auto column = [norm](CKolumoData& in, double G, double push) {
      Column(in, norm, G, push);
      if (norm == 0) in.sStahl = "BSt 500 SB";  // DIN 1045-1's name of the grade
    };
    double required[2] = {};
    for (const double push : {0.0, 0.001}) {
      CKolumoData in;
      column(in, 800.0, push);
      auto out = Run(in, (push == 0.0 ? "straight" : "pushed") + std::to_string(norm) + ".tqx");
      EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
      const FieldReinforcement f = Field(*out);
      EXPECT_GT(f.required, 12.56 * 1.05) << push;
      EXPECT_FALSE(f.suffices) << push;
      required[push == 0.0 ? 0 : 1] = f.required;
    }
    EXPECT_NEAR(required[0], required[1], 0.01);
    if (norm == 10) {
      EXPECT_NEAR(required[0], 12.56 * std::pow(1.1, 12), 0.01);
    }

    CKolumoData in;
    column(in, 250.0, 0.0);
    auto out = Run(in, "light" + std::to_string(norm) + ".tqx");
    EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
    const FieldReinforcement f = Field(*out);
    EXPECT_NEAR(f.required, 12.56, 1e-6);
    EXPECT_TRUE(f.suffices);
  }
}

// Under DIN 1045-1 the straight column at 1350 kN buckles already with the gross section the second-order run
// starts from: Ecm = 28300 N/mm2 (C30/37), pi^2 x 28.3e6 x 0.3^4/12 / 12^2 = 1309 kN < 1350 (the run's buckling
// eigenvalue 0.97). Steel does not lift the gross section's stiffness: the column is refused, and the message says
// that it buckles, in which combination and field. At 1.35 x 800 = 1080 kN it is designed (above).
TEST_F(StraightColumnTest, AColumnThatBucklesWithItsGrossSectionIsRefusedSayingWhere) {
  win::msgbox::ClearLog();
  CKolumoData in;
  Column(in, 0, 1000.0, 0.0);
  in.sStahl = "BSt 500 SB";
  auto out = Run(in, "buckles.tqx");
  EXPECT_TRUE(out->ergebnisse.Schnittgroessen.empty());
  const std::vector<std::string> expected = {
      "Stabilitätsversagen.\nKombination 1 (Ed: 1.35*(1)), Feld 1: die Stütze knickt. Mit der Biegesteifigkeit ihrer "
      "Querschnitte unter ihrer Normalkraft ist sie nicht stabil.\nBitte den Querschnitt vergrößern."};
  EXPECT_EQ(Messages(), expected);
}
