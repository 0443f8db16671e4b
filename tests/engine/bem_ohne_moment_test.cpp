// Loads whose moments are round-off of the frame analysis (a column head under normal force alone): the section
// design treats them as exactly zero, so neither the capacity nor the printed angles follow the sign of the
// round-off, and the capacity search is not run in a direction that means nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "section_fixture.h"

using namespace section_test;

namespace {

// 30 x 50 with eight bars of 3.14159 cm2 (symmetric), or with the three bottom bars alone (not symmetric).
cBem Neu(bool symmetrisch = true)
{
    std::vector<Stab> staebe = AchtStaebe();
    if (!symmetrisch)
        staebe = {staebe[5], staebe[6], staebe[7]};
    cBem b;
    Baue(b, Parabola(), {Rechteck(30, 50)}, staebe);
    b.m_norm = 2;
    return b;
}

struct Lauf {
    std::vector<double> werte;  // everything the mode reports
    int schritte = 0;
};

Lauf Rechne(int mode, double N, double My, double Mz, bool symmetrisch = true)
{
    cBem b = Neu(symmetrisch);
    const int ip[4] = {1, 0, 0, 4};
    const double rp[7] = {N, 0, 0, 0, My, Mz, 0};
    const int code = b.stbm3d(mode, ip, rp);
    const BemErgebnis& e = b.m_erg[mode];
    Lauf l;
    l.werte = {static_cast<double>(code), e.N, e.My, e.Mz, e.alfK, e.alfM, e.nullinie, e.eps1b, e.eps2s, e.faktor};
    l.werte.insert(l.werte.end(), std::begin(b.m_slots), std::end(b.m_slots));
    l.schritte = b.m_sicherSchritte;
    return l;
}

constexpr double kRauschen[3] = {1e-16, 0.0, -1e-16};

}  // namespace

TEST(BemOhneMoment, RoundOffBandOfTheMoments)
{
    // h = 0.50 m (the outline runs from z = 0 to -50 cm); the band is 1e-9 (|N| h + |M|), at least 1e-6 kNm
    struct Fall {
        double N, My, Mz, myNach, mzNach;
    } faelle[] = {
        {-1000.0, 9e-7, -9e-7, 0.0, 0.0},        // band 1e-6 (the floor; 1e-9 * 500 = 5e-7)
        {-1000.0, 1.1e-6, 0.0, 1.1e-6, 0.0},     // just above the floor
        {-10000.0, 4.9e-6, -4.9e-6, 0.0, 0.0},   // band 1e-9 * 5000 = 5e-6
        {-10000.0, 5.1e-6, 1e-17, 5.1e-6, 0.0},  // one component real, the other round-off
        {0.0, 5000.0, 4.9e-6, 5000.0, 0.0},      // round-off against the other moment: 1e-9 * 5000
        {0.0, 5000.0, 5.1e-6, 5000.0, 5.1e-6},   // just above it
        {-1000.0, 1e-4, -1e-4, 1e-4, -1e-4},     // small but real
    };
    const cBem b = Neu();
    for (const Fall& f : faelle) {
        double My = f.My, Mz = f.Mz;
        b.OhneRundung(f.N, My, Mz);
        EXPECT_EQ(My, f.myNach) << f.N << " " << f.My << " " << f.Mz;
        EXPECT_EQ(Mz, f.mzNach) << f.N << " " << f.My << " " << f.Mz;
    }
}

TEST(BemOhneMoment, RoundOffMomentsGiveOneResultWithoutSearch)
{
    // Under normal force alone the capacity is the centric state. Compression at eps_c2 = -2 per mille: concrete
    // 0.30 x 0.50 x 20000 = 3000 kN, bars 8 x 3.14159e-4 m2 x 200000 MN/m2 x 0.002 = 1005.3088 kN (below yield);
    // tension at eps_ud: the bars alone, 8 x 3.14159e-4 x 434782.6 = 1092.7270 kN. The strain state of a
    // symmetric section is a uniform shortening. Angles of zero vectors print 90 degrees.
    struct Fall {
        int mode;
        double N, Nu;
    } faelle[] = {{3, -1500.0, -4005.3088}, {3, 500.0, 1092.7270}, {2, -1500.0, -1500.0}, {4, -1500.0, 0.0}};
    for (const Fall& f : faelle) {
        const Lauf ref = Rechne(f.mode, f.N, 0.0, 0.0);
        for (double my : kRauschen) {
            for (double mz : kRauschen) {
                const Lauf l = Rechne(f.mode, f.N, my, mz);
                EXPECT_EQ(l.werte, ref.werte) << f.mode << " " << my << " " << mz;
                EXPECT_EQ(l.schritte, 0) << f.mode << " " << my << " " << mz;
            }
        }
        const std::vector<double>& w = ref.werte;
        EXPECT_EQ(w[0], 0.0);
        if (f.Nu != 0.0) {
            EXPECT_NEAR(w[1], f.Nu, 1e-4) << f.mode;
        }
        EXPECT_EQ(w[2], 0.0) << f.mode;  // My
        EXPECT_EQ(w[3], 0.0) << f.mode;  // Mz
        EXPECT_EQ(w[4], 90.0) << f.mode;
        if (f.mode == 3) {
            EXPECT_NEAR(w[10 + 11], f.Nu / f.N, 1e-7);  // slot 11: the ratio Nu / N
        }
        if (f.mode == 2) {
            EXPECT_NEAR(w[7], w[8], 1e-12);  // eps1b = eps2s: no curvature
        }
    }
}

TEST(BemOhneMoment, SmallRealMomentIsKept)
{
    // 1e-4 kNm is no round-off: the ultimate state bends toward it (My > 0 stretches the top: the curvature
    // points along +z, 90 degrees; -90 for the negative moment), and any moment lowers the capacity below the
    // centric 4005.3088 kN. The strain state carries the moment itself.
    const Lauf null = Rechne(3, -1500.0, 0.0, 0.0);
    for (double s : {1.0, -1.0}) {
        const Lauf u = Rechne(3, -1500.0, s * 1e-4, 1e-16);
        EXPECT_GT(u.schritte, 0);
        EXPECT_GT(u.werte[1], null.werte[1]);  // N is negative
        EXPECT_GT(s * u.werte[2], 0.0);
        EXPECT_EQ(u.werte[3], 0.0);
        EXPECT_EQ(u.werte[4], s * 90.0);
        const Lauf d = Rechne(2, -1500.0, s * 1e-4, -1e-16);
        EXPECT_NEAR(d.werte[2], s * 1e-4, 1e-8);
        EXPECT_EQ(d.werte[4], s * 90.0);
    }
}

TEST(BemOhneMoment, UnsymmetricSectionSearchesUnderZeroMoment)
{
    // Bars at the bottom alone: the centric state lies below the reference point (the elastic centroid), so a
    // load without moment is eccentric to it and the search runs; round-off of either sign still changes nothing.
    const Lauf ref = Rechne(3, -1500.0, 0.0, 0.0, false);
    EXPECT_GT(ref.schritte, 0);
    for (double my : kRauschen) {
        for (double mz : kRauschen)
            EXPECT_EQ(Rechne(3, -1500.0, my, mz, false).werte, ref.werte) << my << " " << mz;
    }
}
