// A rectangle is bx wide along X and dy along Y: a load in X bends it about its depth bx, a load in Y about dy.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "calc_run_support.h"

namespace {

// Cantilever L = 4 m, EC2 C30/37 (Ecm = 33 GPa), bx = 30 cm, dy = 60 cm, fixed at the foot; N = 100 kN and
// H = 10 kN at the head, H in X or in Y. First-order head deflection H L^3 / (3 Ecm I):
//   H in X: I = dy bx^3 / 12 = 0.60 x 0.30^3 / 12 = 1.35e-3 m4 -> 10 x 64 / (3 x 3.3e7 x 1.35e-3) = 4.79 mm
//   H in Y: I = bx dy^3 / 12 = 5.40e-3 m4                       -> 1.20 mm
// The four bars (3.14 cm2 each at 4 cm) stiffen both a little; the two differ by (dy/bx)^2 = 4 within that.
class SectionOrientationTest : public column_test::CalcRunFixture {
 protected:
  double HeadDeflection(int direction, double* across) {
    CKolumoData in;
    column_test::Cantilever(in, 4.0, {{2, 100.0}, {direction, 10.0}}, "1.00*(1)+1.00*(2)");
    CKolumoQuer& q = in.querschnitte[0];
    q.bx = 30.0;
    q.dy = 60.0;
    auto out = Run(in, direction == 0 ? "x.tqx" : "y.tqx");
    for (const auto& r : out->ergebnisse.Verformung) {
      if (r->Typ != 0 || r->LK != 1) continue;
      // u is the deflection in X, v in Y (mm)
      const auto& along = direction == 0 ? r->u : r->v;
      const auto& other = direction == 0 ? r->v : r->u;
      auto largest = [](const auto& c) {
        double m = 0.0;
        for (double x : c) m = std::max(m, std::fabs(x));
        return m;
      };
      *across = largest(other);
      return largest(along);
    }
    ADD_FAILURE() << "no first-order deflection";
    return 0.0;
  }
};

}  // namespace

TEST_F(SectionOrientationTest, LoadInXBendsAboutBxAndInYAboutDy) {
  double acrossX = 1.0, acrossY = 1.0;
  const double inX = HeadDeflection(0, &acrossX);
  const double inY = HeadDeflection(1, &acrossY);
  EXPECT_NEAR(inX, 4.79, 0.05 * 4.79);
  EXPECT_NEAR(inY, 1.20, 0.05 * 1.20);
  EXPECT_NEAR(inX / inY, 4.0, 0.04);
  EXPECT_LT(acrossX, 1e-6);
  EXPECT_LT(acrossY, 1e-6);
}
