// Lightly loaded columns in the stiffness iteration of the second-order run: a section without load that finds no
// strain state under its stand-in compression, stiffnesses that still change by no more than rounding when the
// iteration runs out, a column whose stiffness the fall limit held too long, and light roofs under every code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "column/kolumodata.h"
#include "platform/viduv/viduv.h"
#include "tests/column/calc_run_support.h"

namespace {

using LightLoadTest = column_test::CalcRunFixture;

// The example's roof load (its permanent part) set to `value`; false when the example has none.
bool SetRoof(CKolumoData& in, double value) {
  bool found = false;
  for (Load& load : in.loads[0])
    if (load.desc == "Dach, ständig") load.val0 = value, found = true;
  return found;
}

// Both storeys are built with the example's entered 4 bars, 12.56 cm2.
void ExpectEnteredBarsKept(CKolumoData& out) {
  const std::vector<FieldReinforcement> fields = CompareFieldReinforcement(out);
  ASSERT_EQ(fields.size(), 2u);
  for (const FieldReinforcement& f : fields) {
    SCOPED_TRACE(f.field);
    EXPECT_NEAR(f.entered, 12.56, 1e-9);
    EXPECT_NEAR(f.required, 12.56, 1e-9);
    EXPECT_TRUE(f.suffices);
  }
}

// The example (EC2 NA (DE); upper storey 3.20 m, 35 x 35 cm, ground storey 4.50 m, 40 x 40 cm, four bars of
// 3.14 cm2 each) with a rotational spring of 1000 kNm/rad about both axes at its head, and the roof's permanent
// load at 0 or 50 kN. With the roof at 0 the head's sections carry no load (a stand-in compression of 1 kN and some
// 0.2 kNm); the strain state the iteration seeks for them under that stand-in is no proof that the column lacks
// steel, and the upper storey's lightly loaded stiffnesses settle only to rounding. The upper storey carries the
// wind of 2.4 kN/m, 1.5 x 2.4 x 3.2^2 / 8 = 4.6 kNm between its ends; its bars (12.56 cm2, some
// 6.28 x 43.5 x 0.26 = 71 kNm at small axial force) carry that many times over: the entered bars suffice in
// both storeys, as with the roof at 50 kN.
TEST_F(LightLoadTest, TheExampleWithAHeadSpringAndNoRoofLoadIsCalculatedWithItsBars) {
  for (const double roof : {0.0, 50.0}) {
    SCOPED_TRACE(roof);
    win::msgbox::ClearLog();
    CKolumoData in;
    ReadExample(in);
    CSupport& head = in.supports[0][0];
    head.cmx = head.cmy = 1000.0;
    ASSERT_TRUE(SetRoof(in, roof));
    auto out = Run(in, roof == 0.0 ? "roof0.tqx" : "roof50.tqx");
    EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
    ExpectEnteredBarsKept(*out);
  }
}

// The example with a light roof under every code and annex: the roof's permanent load at 10 kN (head held), or at 0
// with a horizontal spring of 2000 kN/m at the head in place of the held head. The upper storey then carries
// N = 1.6 to 26 kN and some 5 to 9.4 kNm (by a second-order fibre analysis of the column apart from this program:
// at most 5.0 kNm with the roof at 10 kN; 8.63 kNm at the storey support under 1.35 G + 1.50 W with the spring); its 12.56 cm2 resist
// some 70 to 80 kNm at that axial force (6.28 cm2 x 435 N/mm2 x 0.26 m), and 0.07 to 0.9 cm2 would do. A strain
// state exists at every section, so the entered bars are what is built in both storeys: less load never needs
// more steel than the example's roof of 620 kN, which keeps them too. Before, the strain state of sections at
// small N with a slight moment about the second axis was not found, and the steel rose by a tenth up to six
// times (24.48 cm2 under EC2), or the spring's column was refused after 300 updates.
TEST_F(LightLoadTest, ALightRoofKeepsTheEnteredBarsUnderEveryCode) {
  const struct {
    int iNorm;
    const char* steel;
  } codes[] = {{0, "BSt 500 SB"}, {1, "B500B"}, {2, "B500B"}, {10, "B500B"}, {11, "B500B"}, {12, "B500B"}};
  for (const bool spring : {false, true}) {
    for (const auto& code : codes) {
      SCOPED_TRACE(testing::Message() << (spring ? "head spring, roof 0" : "roof 10") << ", code " << code.iNorm);
      win::msgbox::ClearLog();
      CKolumoData in;
      ReadExample(in);
      in.iNorm = code.iNorm;
      in.sStahl = code.steel;
      if (spring) in.supports[0][0].cx = 2000.0;
      ASSERT_TRUE(SetRoof(in, spring ? 0.0 : 10.0));
      auto out = Run(in, "light.tqx");
      EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
      ExpectEnteredBarsKept(*out);
      if (spring && code.iNorm == 0) {
        // combination 7, 1.35 G + 1.50 W (13.2 kN in the upper storey at its support, 3.20 m below the head):
        // the second-order moment there
        const CResultSchnittgroessen* r = Find(out->ergebnisse.Schnittgroessen, 3, 7);
        ASSERT_NE(r, nullptr);
        double m = 0.0;
        for (std::size_t i = 0; i < r->Kote.size(); ++i)
          if (std::fabs(r->Kote[i] - 3.2) < 1e-6) m = std::max(m, std::hypot(r->My[i], r->Mx[i]));
        EXPECT_NEAR(m, 8.63, 0.01 * 8.63);
      }
    }
  }
}

// A DIN 1045-1 cantilever of 6 m, 30 x 30 cm, C30/37, BSt 500 SB, four bars at 4 cm, no imperfection, N = 50 kN
// and H = 7.5 kN at its head, combined 1.00 N + 1.00 H: M = 45 kNm at the foot in first order (EC2 designs it), for
// which its first-order design needs 7.46 cm2. With four bars of 1.13 cm2 the foot's stiffness, held to a fall of 0.3
// percent an update, had not reached the state of the column when the 300 updates were spent, and the run was
// refused. The limit now lets a stiffness it holds too far above its state fall faster: the foot finds no strain
// state with 4.52 cm2, its steel rises by tenths, and the column is designed as with four bars of 2 cm2 (8 cm2, which
// do not suffice either): both designs lie above the first-order 7.46 cm2 and within the raise's tenth of each other.
TEST_F(LightLoadTest, AnIterationHeldByItsFallLimitIsDesigned) {
  double required[2] = {};
  const double bars[2] = {1.13, 2.0};
  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE(bars[k]);
    win::msgbox::ClearLog();
    CKolumoData in;
    column_test::Cantilever(in, 6.0, 0);
    in.sStahl = "BSt 500 SB";
    CKolumoQuer& q = in.querschnitte[0];
    q.bx = q.dy = 30.0;
    q.as = bars[k];
    in.loads[0].Add(column_test::PointLoad(1, column_test::kAxial, 50.0));
    in.loads[0].Add(column_test::PointLoad(2, column_test::kX, 7.5));
    column_test::SetActions(in, 0, {column_test::Action(1, 0), column_test::Action(2, 0)});
    column_test::AddCombination(in, 0, "Ed", "1.00*(1)+1.00*(2)");
    auto out = Run(in, k == 0 ? "less.tqx" : "more.tqx");
    EXPECT_FALSE(out->ergebnisse.Schnittgroessen.empty());
    EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
    const std::vector<FieldReinforcement> fields = CompareFieldReinforcement(*out);
    ASSERT_EQ(fields.size(), 1u);
    EXPECT_FALSE(fields[0].suffices);
    EXPECT_GT(fields[0].required, 7.46);
    required[k] = fields[0].required;
  }
  EXPECT_NEAR(required[0], required[1], 0.1 * required[1]);
}

}  // namespace
