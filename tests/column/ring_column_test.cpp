// A ring column as the calculation hands it to the engine: its outer diameter with the inner one as the opening,
// its bars at the one axis distance the cross-section dialog offers for it, and its own weight of the net area.
#include <gtest/gtest.h>

#include <cmath>

#include "calc_run_support.h"
#include "engine/quer.h"
#include "engine/rechner.h"

namespace {

// A cantilever of one field, L = 4 m, EC2 C30/37, ring 40/20 cm with the axis distance bdx = 4 cm (bdy, which the
// dialog does not offer for a ring, holds something else), fixed at the foot; load case 1 holds its own weight and
// N = 100 kN at the head.
void RingCantilever(CKolumoData& d) {
  column_test::Cantilever(d, 4.0, {{2, 100.0}}, "1.00*(1)");
  CKolumoQuer& q = d.querschnitte[0];
  q.type = 2;
  q.bewType = 2;
  q.dy = 20.0;
  q.bdy = 7.5;
  q.as = 10.0;
  d.loads[0].Add(column_test::OwnWeight(1));
}

// The ring's 20-gons (radius R: A = 10 R^2 sin 18 deg): Ac,net = 3.09017 (0.20^2 - 0.10^2) = 0.0927051 m2.
const double kAcNetto = 10.0 * std::sin(M_PI / 10.0) * (0.04 - 0.01);

class RingColumnTest : public column_test::CalcRunFixture {};

}  // namespace

TEST_F(RingColumnTest, EngineSeesTheOuterDiameterTheOpeningAndTheDialogsAxisDistance) {
  CKolumoData d;
  RingCantilever(d);
  g_rechner.Init();
  const int flags[4] = {1, 0, 0, 0};
  ASSERT_EQ(PrepareSystem(d, Base(), flags), 0);
  const StabQuerschnitt& s = g_rechner.querEingabe.feld[0];
  EXPECT_EQ(s.typ, 2);
  EXPECT_EQ(s.wort, 4);
  EXPECT_DOUBLE_EQ(s.d[0], 40.0);
  EXPECT_DOUBLE_EQ(s.d[1], 20.0);
  EXPECT_DOUBLE_EQ(s.c1, 4.0);
  EXPECT_DOUBLE_EQ(s.c2, 4.0);
  g_rechner.nStaebe = 1;  // one member of the field is enough to see its section
  g_rechner.stabFeld[0] = 0;
  ASSERT_EQ(SetzeQuerUm(), 0);
  const cQuer& q = g_quer[0];
  EXPECT_EQ(q.m_nOeffnungen, 1);
  EXPECT_NEAR(q.BetonFlaeche(), kAcNetto, 1e-12);
  // the outer bars on R - bdx = 16 cm around the centre (20 cm below the top)
  ASSERT_GE(q.m_nStaebe, 20);
  EXPECT_NEAR(std::hypot(q.m_sy[0], q.m_sz[0] + 20.0), 16.0, 1e-9);
}

// A circle is solid whatever its second dimension holds (30: left over from a rectangle); a ring needs a wall.
TEST_F(RingColumnTest, CircleIsSolidAndARingNeedsAWall) {
  const char* const kKeineWand =
      "Kreisring: Der Innendurchmesser muss größer als 0 und kleiner als der Außendurchmesser sein.";
  struct Case {
    int type;
    double dy;
    int result;
    double d1;  // the engine's second dimension
  } cases[] = {{1, 30.0, 0, 40.0}, {2, 0.0, 1, 0.0}, {2, 40.0, 1, 0.0}, {2, 45.0, 1, 0.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.type << " " << c.dy);
    win::msgbox::ClearLog();
    CKolumoData d;
    RingCantilever(d);
    d.querschnitte[0].type = c.type;
    d.querschnitte[0].dy = c.dy;
    g_rechner.Init();
    const int flags[4] = {1, 0, 0, 0};
    EXPECT_EQ(PrepareSystem(d, Base(), flags), c.result);
    if (c.result == 0) {
      EXPECT_DOUBLE_EQ(g_rechner.querEingabe.feld[0].d[1], c.d1);
      EXPECT_DOUBLE_EQ(g_rechner.querEingabe.feld[0].c1, 4.0);
      EXPECT_TRUE(Messages().empty());
    } else {
      EXPECT_EQ(Messages(), std::vector<std::string>{kKeineWand});
    }
  }
}

TEST_F(RingColumnTest, OwnWeightIsThatOfTheNetArea) {
  // Vertical reaction of the combination 1.00 x (1): N + 25 kN/m3 x Ac,net x L = 100 + 25 x 0.0927051 x 4 =
  // 109.27 kN (the outline would give 112.36 kN, the old swapped input, a solid circle of 20 cm, 103.09 kN).
  CKolumoData in;
  RingCantilever(in);
  auto out = Run(in);
  const CResultLagerkraefte* lager = nullptr;
  for (const auto& r : out->ergebnisse.Lagerkraefte)
    if (r->Typ == 0 && r->LK == 1) lager = r.get();
  ASSERT_NE(lager, nullptr) << testing::PrintToString(Messages());
  ASSERT_EQ(lager->Apz.size(), 1u);
  EXPECT_NEAR(std::fabs(lager->Apz[0]), 100.0 + 25.0 * kAcNetto * 4.0, 0.05);
}
