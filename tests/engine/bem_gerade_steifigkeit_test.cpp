// The bending stiffness of a strain state's plane without curvature: the slope of the section's moment at its
// axial force, which decides whether a straight column stands. A plane with curvature has its secant instead.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "section_fixture.h"

using namespace section_test;

namespace {

// 30 x 30 cm (z from 0 to -30 cm) with four bars of 3.14 cm2 at 4.5 cm from the edges: 10.5 cm from the centre.
cBem Stuetze(const LawDef& beton)
{
    const double a = 3.14e-4;
    cBem b;
    Baue(b, beton, {Rechteck(30, 30)}, {{10.5, -4.5, a}, {-10.5, -4.5, a}, {10.5, -25.5, a}, {-10.5, -25.5, a}});
    b.m_norm = 11;
    return b;
}

void Dehnungszustand(cBem& b, double N, double My, double Mz)
{
    const int ip[4] = {1, 0, 0, 4};
    const double rp[7] = {N, 0, 0, 0, My, Mz, 0};
    ASSERT_EQ(b.stbm3d(2, ip, rp), 0);
}

}  // namespace

TEST(BemGeradeSteifigkeit, SlopeOfTheMomentAtTheAxialForceByHand)
{
    // Stiffnesses in kNm per (per mille per m), i.e. EI in kNm2 / 1000. Bars: Es Is = 200e6 x 4 x 3.14e-4 x
    // 0.105^2 = 2769.48 kNm2; concrete Ic = 0.3^4 / 12 = 6.75e-4 m4, the bars' places counted in it as well.
    //  - Linear law (exponent 1, f = 20000 kN/m2 at eps1 = -2 per mille): slope 1e7 kN/m2 at every strain above
    //    -2: EI = 1e7 x 6.75e-4 + 2769.48 = 9519.48 kNm2 at N = -1000 kN (eps0 = -1000 / (0.09 x 1e7 + 4 x 3.14e-4
    //    x 2e8) = -0.878 per mille, every fibre in the linear range).
    //  - The German annex's stiffness law: fcd = 0.85 x 30 / 1.5 = 17 N/mm2, parabola to eps_c1 = -2.2; N = -1350:
    //    0.09 x 17000 x (1 - (1 - e/2.2)^2) + 12.56e-4 x 2e8 x e/1000 = 1350 gives e = 1.02395 per mille
    //    (r = 0.46543); slope 2 x 17000 / 2.2 x (1 - r) = 8261.5 N/mm2: EI = 8.2615e6 x 6.75e-4 + 2769.48
    //    = 8345.99 kNm2 (a 6 m cantilever buckles at pi^2 EI / 12^2 = 572 kN).
    struct Fall {
        LawDef beton;
        double N, EI;
    };
    LawDef linear = Parabola();
    linear.n = 1.0;
    LawDef deutsch = Parabola();
    deutsch.f = 17000.0;
    deutsch.e1 = -2.2;
    const Fall faelle[] = {{linear, -1000.0, 9519.48}, {deutsch, -1350.0, 8345.99}};
    for (const Fall& f : faelle) {
        cBem b = Stuetze(f.beton);
        Dehnungszustand(b, f.N, 0.0, 0.0);
        EXPECT_EQ(b.m_By, 0.0);  // no secant without curvature
        EXPECT_EQ(b.m_Bz, 0.0);
        EXPECT_NEAR(b.m_ByGerade * 1000.0, f.EI, 0.002 * f.EI) << f.N;
        EXPECT_NEAR(b.m_BzGerade * 1000.0, f.EI, 0.002 * f.EI) << f.N;
    }
}

TEST(BemGeradeSteifigkeit, APlaneWithCurvatureHasItsSecantAlone)
{
    // Bent about y only (My = 30 kNm with N = -1350 kN): that plane has its secant My / kz and no slope without
    // curvature; the plane about z has no curvature and its slope there: below the straight section's 8346 kNm2,
    // since the bending shortens one face into the flatter part of the parabola, and above the bars' 2769 kNm2.
    LawDef deutsch = Parabola();
    deutsch.f = 17000.0;
    deutsch.e1 = -2.2;
    cBem b = Stuetze(deutsch);
    Dehnungszustand(b, -1350.0, 30.0, 0.0);
    EXPECT_GT(b.m_By, 0.0);
    EXPECT_EQ(b.m_ByGerade, 0.0);
    EXPECT_EQ(b.m_Bz, 0.0);
    EXPECT_GT(b.m_BzGerade * 1000.0, 2769.48);
    EXPECT_LT(b.m_BzGerade * 1000.0, 8345.99);
}

TEST(BemGeradeSteifigkeit, ARectanglesTwoPlanesHaveTheirOwnSlopes)
{
    // 30 cm along y, 50 cm along z (z from 0 to -50 cm), four bars of 3.14 cm2 at 4.5 cm from the faces: y = +-10.5
    // cm, z = -4.5 and -45.5 cm (+-20.5 cm from the centre). Parabola f = 20000 kN/m2 to eps1 = -2 per mille, N =
    // -1500 kN: 0.15 x 20000 x (1 - (1 - e/2)^2) + 12.56e-4 x 2e8 x e/1000 = 1500 gives e = 0.52493 per mille, slope
    // 2 x 20000 / 2 x (1 - e/2) = 14750.65 N/mm2.
    //   About y (z distances, Iy = 0.3 x 0.5^3 / 12 = 3.125e-3 m4): 14.75065e6 x 3.125e-3 + 2e8 x 12.56e-4 x 0.205^2
    //     = 46095.80 + 10556.68 = 56652.48 kNm2;
    //   about z (y distances, Iz = 0.5 x 0.3^3 / 12 = 1.125e-3 m4): 16594.49 + 2e8 x 12.56e-4 x 0.105^2 = 19363.97.
    const double a = 3.14e-4;
    cBem b;
    Baue(b, Parabola(), {Rechteck(30, 50)}, {{10.5, -4.5, a}, {-10.5, -4.5, a}, {10.5, -45.5, a}, {-10.5, -45.5, a}});
    b.m_norm = 2;
    Dehnungszustand(b, -1500.0, 0.0, 0.0);
    EXPECT_NEAR(b.m_ByGerade * 1000.0, 56652.48, 0.001 * 56652.48);
    EXPECT_NEAR(b.m_BzGerade * 1000.0, 19363.97, 0.001 * 19363.97);
}

TEST(BemGeradeSteifigkeit, TheBarsSecondMomentsAreTakenAboutTheConcretesCentroid)
{
    // The rectangle above: all four bars, Iy = 12.56e-4 x 0.205^2 = 5.27834e-5 m4, Iz = 12.56e-4 x 0.105^2 =
    // 1.38474e-5 m4. The two upper bars alone are 20.5 cm above the concrete's centroid (not at their own):
    // Iy = 6.28e-4 x 0.205^2 = 2.63917e-5, Iz = 6.28e-4 x 0.105^2 = 6.9237e-6.
    const double a = 3.14e-4;
    struct Fall {
        std::vector<Stab> staebe;
        double Iy, Iz;
    } faelle[] = {
        {{{10.5, -4.5, a}, {-10.5, -4.5, a}, {10.5, -45.5, a}, {-10.5, -45.5, a}}, 5.27834e-5, 1.38474e-5},
        {{{10.5, -4.5, a}, {-10.5, -4.5, a}}, 2.63917e-5, 6.9237e-6},
    };
    for (const Fall& f : faelle) {
        cBem b;
        Baue(b, Parabola(), {Rechteck(30, 50)}, f.staebe);
        double Iy = 0.0, Iz = 0.0;
        b.BewehrungsTraegheit(Iy, Iz);
        EXPECT_NEAR(Iy, f.Iy, 1e-5 * f.Iy) << f.staebe.size();
        EXPECT_NEAR(Iz, f.Iz, 1e-5 * f.Iz) << f.staebe.size();
    }
}
