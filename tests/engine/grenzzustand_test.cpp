// The ultimate check, the design and the strain states of the stiffness iteration count no concrete
// tension. Hand-worked equilibrium of a 30 x 50 cm EC2 section.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/nachweis.h"
#include "schub_fixture.h"

namespace {

// 30 x 50 cm (h = 50 along z), C30/37 and B500 of schub_fixture.h: fcd = 20 N/mm2, the design law
// linear to eps1 = -2.0 and flat to eps_cu = -3.5 per mille; fyd = 434.78 N/mm2, Es = 200000 N/mm2.
// Four corner bars at 5 cm from the edges, half the steel at each face.
class GrenzzustandTest : public schub_test::EinElement {
protected:
    void SetUp() override
    {
        EinElement::SetUp();
        NORM = 2;
    }
    // both sections with `as` cm2 of steel in all
    void Querschnitt(double as)
    {
        for (int iq = 0; iq < 2; ++iq)
            Rechteck(iq, 2, 30.0, 50.0, as / 2.0, 5.0);
    }
    int Lauf(int mode, double N, double My)
    {
        for (int iq = 0; iq < 2; ++iq) {
            for (int j = 0; j < 7; ++j)
                m_kraefte[7 * iq + j] = 0.0;
            m_kraefte[7 * iq] = N;
            m_kraefte[7 * iq + 4] = My;
        }
        NachweisAufruf a;
        a.code = 2;
        a.nel = 1;
        a.forces = m_kraefte;
        a.mode = mode;
        a.ByAlt = m_alt;
        a.By = m_neu;
        a.BzAlt = m_alt;
        a.Bz = m_neu;
        a.knotenX = m_knoten;
        a.analyseModus = 2;
        return StbNachweis_1(a);
    }

    double m_kraefte[14] = {};
    double m_alt[2] = {0.0, 0.0}, m_neu[2] = {};
    double m_knoten[2] = {0.0, 3.0};
};

// The strain plane of the hand calculation: -3.5 per mille at the top edge, neutral axis at x = 35 cm.
// Concrete: plateau over 3x/7, linear part 4x/7, so Fc = b fcd x 5/7 = 0.30 * 20000 * 0.35 * 5/7 = 1500 kN,
// its centroid 0.37619 x = 13.167 cm below the top: Mc = 1500 * (0.25 - 0.13167) = 177.50 kNm.
// Top bars (5 cm): eps = -3.5 * 30/35 = -3.0 < -2.174, sigma = -fyd; bottom bars (45 cm): eps = +1.0,
// sigma = 200 N/mm2. With As = 10 cm2 (5 + 5): Fs1 = 217.39 kN (compression), Fs2 = 100 kN (tension).
// N = -1500 - 217.39 + 100 = -1617.39 kN, M = 177.50 + 217.39 * 0.20 + 100 * 0.20 = 240.98 kNm.
// The tension face stands at +1.5 per mille: below the old tension limit 1.9, where concrete tension of up
// to 0.95 fcd would carry 0.5 * 15 N/mm2 * 0.15 m * 0.30 m = 337.5 kN more.
constexpr double kN = -1617.39, kM = 240.98, kAs = 10.0;

TEST_F(GrenzzustandTest, UltimateCheckFindsTheHandWorkedLimitWithoutConcreteTension)
{
    for (double m : {kM, -kM}) {  // the section is symmetric: both signs of the moment
        Querschnitt(kAs);
        ASSERT_EQ(Lauf(3, kN, m), 0);
        for (int iq = 0; iq < 2; ++iq) {
            const cBem& b = g_quer[iq].m_bem;
            EXPECT_NEAR(b.m_slots[11], 1.0, 0.01) << m << " " << iq;  // R.U/R
            EXPECT_DOUBLE_EQ(b.Mat(4, 1), 0.0);
        }
    }
}

TEST_F(GrenzzustandTest, DesignNeedsTheHandWorkedSteel)
{
    // 2 cm2 present; the design scales the four bars alike up to the 10 cm2 of the hand calculation
    // (minimum 0.10 * 1617.39 / 43.48 = 3.72 cm2 does not govern)
    Querschnitt(2.0);
    ASSERT_EQ(Lauf(4, kN, kM), 0);
    for (int iq = 0; iq < 2; ++iq) {
        const cBem& b = g_quer[iq].m_bem;
        EXPECT_NEAR(b.HoleAS() * b.bwfakt * 1e4, kAs, 0.01 * kAs) << iq;
    }
}

TEST_F(GrenzzustandTest, PlainConcreteDoesNotCarryALargeMoment)
{
    // Plain concrete (bars of 0.001 cm2, set after the layout, which raises every bar to the least bar).
    // Without tension the compression zone x = |N| / (b fcd 5/7) = |N| / 4285.7 carries M = |N| (0.25 -
    // 0.37619 x) = 0.25 |N| - 8.778e-5 N2 (x <= h). Along the ray of e = M / |N| the limit is |N| = (0.25 - e)
    // / 8.778e-5. Each case is a moment plain concrete cannot carry, whose limit state leaves the tension face
    // below 1.9 per mille, where a tension branch would still count.
    struct Fall {
        double N, M, faktor;  // kN, kNm, limit / load
    };
    const Fall faelle[] = {
        {-1500.0, 190.0, 0.937},  // e = 0.1267: |N| = 1405.0, x = 32.8 cm, tension face +1.84 per mille
        {-1700.0, 190.0, 0.926},  // e = 0.1118: |N| = 1574.8, x = 36.7 cm, +1.26 per mille
        {-2000.0, 180.0, 0.911},  // e = 0.09: |N| = 1822.7, x = 42.5 cm, +0.62 per mille
    };
    for (const Fall& f : faelle) {
        Querschnitt(0.004);
        for (int iq = 0; iq < 2; ++iq)
            g_quer[iq].m_bem.SetzeAS(0.004e-4);
        // below safety 1 the check names the sections (the stiffness iteration then raises their steel)
        ASSERT_EQ(Lauf(3, f.N, f.M), kNachweisNichtTragfaehig);
        for (int iq = 0; iq < 2; ++iq)
            EXPECT_NEAR(g_quer[iq].m_bem.m_slots[11], f.faktor, 0.01) << f.N << " " << iq;
    }
}

}  // namespace
