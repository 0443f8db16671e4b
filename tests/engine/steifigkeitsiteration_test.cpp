// The stiffness iteration of the second-order analysis: each bending plane's first strain state replaces
// its start value whenever it comes, a plane without a strain state keeps what it has, the strain state
// of a lightly loaded section converges, and a column calculates under every load it can carry, however
// finely it is meshed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "engine/nachweis.h"
#include "frame_fixture.h"
#include "saeule_fixture.h"
#include "section_fixture.h"

using namespace frame_test;

namespace {

// ---- the update rule and the run, with a verification of given strain states ----

double g_start[2][2 * kMaxStaebe];
int g_updates = 0;
// the strain state of plane p at update u (counted from 1) when the plane stood at r times its start
// value, as a fraction of the start value; 0: none
double (*g_zustand)(int p, int u, double r) = nullptr;

int GegebeneZustaende(const NachweisAufruf& a)
{
    const int nel = a.nel, mode = a.mode;
    const double *ByAlt = a.ByAlt, *BzAlt = a.BzAlt;
    double *By = a.By, *Bz = a.Bz;
    g_aufrufe.modes.push_back(mode);
    if (mode != 2)
        return 0;
    ++g_updates;
    for (int i = 0; i < 2 * nel; ++i) {
        By[i] = SteifigkeitNachUpdate(ByAlt[i],
                                      g_zustand(0, g_updates, std::fabs(ByAlt[i]) / g_start[0][i]) * g_start[0][i]);
        Bz[i] = SteifigkeitNachUpdate(BzAlt[i],
                                      g_zustand(1, g_updates, std::fabs(BzAlt[i]) / g_start[1][i]) * g_start[1][i]);
    }
    return 0;
}

// As GegebeneZustaende, by the contract of the engine's own verification: each plane falls at most to the factor
// the analysis allows it, and the state found is reported back.
int ZustaendeMitFall(const NachweisAufruf& a)
{
    g_aufrufe.modes.push_back(a.mode);
    if (a.mode != 2)
        return 0;
    ++g_updates;
    for (int i = 0; i < 2 * a.nel; ++i) {
        const double zy = g_zustand(0, g_updates, std::fabs(a.ByAlt[i]) / g_start[0][i]) * g_start[0][i];
        const double zz = g_zustand(1, g_updates, std::fabs(a.BzAlt[i]) / g_start[1][i]) * g_start[1][i];
        a.By[i] = SteifigkeitNachUpdate(a.ByAlt[i], zy, a.fallY[i]);
        a.Bz[i] = SteifigkeitNachUpdate(a.BzAlt[i], zz, a.fallZ[i]);
        a.zustandY[i] = zy;
        a.zustandZ[i] = zz;
    }
    return 0;
}

class Iteration : public FrameTest {
protected:
    int Lauf(double (*zustand)(int, int, double), StbNachweisFunktion nachweis = &GegebeneZustaende)
    {
        Stuetze({4.0}, 2);
        Lager(0, 0, 1, kEingespannt);
        Einzellast(0, 0, 1, {-500.0, 10.0, 10.0, 0, 0});
        Datei(kArtTr, 0, {{"Ed", "1.00*(1)+"}});
        Baue();
        for (int i = 0; i < 4; ++i) {
            g_start[0][i] = kStartEIy / 1000.0;
            g_start[1][i] = kStartEIz / 1000.0;
        }
        g_updates = 0;
        g_zustand = zustand;
        SetzeNachweisFunktionen({nachweis, nullptr});
        return Rechne(2);
    }
};

}  // namespace

TEST_F(Iteration, FirstStrainStateReplacesTheStartValueWheneverItComes)
{
    // The y plane has its state 0.3 E I at once; the z plane has none for four updates (its moment still
    // zero) and 0.3 E I from the fifth on. Held to 0.3 percent per update from E I the z plane would need
    // ln(0.3) / ln(0.997) = 401 updates; taken whole it settles at once: the fifth update changes it, the
    // run ends at the eleventh (ten updates at least), both planes at 0.3 E I.
    const int code = Lauf([](int p, int u, double) { return p == 1 && u < 5 ? 0.0 : 0.3; });
    ASSERT_EQ(code, 0);
    EXPECT_EQ(g_updates, 11);
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(g_rechner.querFelder.By[i], 0.3 * g_start[0][i]) << i;
        EXPECT_DOUBLE_EQ(g_rechner.querFelder.Bz[i], 0.3 * g_start[1][i]) << i;
    }
}

TEST_F(Iteration, PlaneWithoutCurvatureKeepsItsStiffness)
{
    // The z plane's moment passes zero at the tenth and eleventh update (no strain state there). Its
    // stiffness stays 0.3 E I and the run ends at the eleventh update. Let fall by 0.3 percent there it
    // would change by more than 0.001 percent and need two updates more; lifted back to E I it would fall
    // 0.3 percent per update and not settle within 300.
    const int code = Lauf([](int p, int u, double) { return p == 1 && (u == 10 || u == 11) ? 0.0 : 0.3; });
    ASSERT_EQ(code, 0);
    EXPECT_EQ(g_updates, 11);
    for (int i = 0; i < 4; ++i)
        EXPECT_DOUBLE_EQ(g_rechner.querFelder.Bz[i], 0.3 * g_start[1][i]) << i;
}

TEST_F(Iteration, PlaneWithoutAnyStrainStateKeepsItsStartValue)
{
    const int code = Lauf([](int p, int, double) { return p == 1 ? 0.0 : 0.3; });
    ASSERT_EQ(code, 0);
    EXPECT_EQ(g_updates, 11);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(g_rechner.querFelder.Bz[i], g_start[1][i], 1e-12 * g_start[1][i]) << i;
}

TEST_F(Iteration, SwingingStiffnessIsDampedToItsState)
{
    // Near its limit a column's strain state answers a softer frame with a stiffer section and the other
    // way round: here the state is 0.7 - 1.1 (r - 0.7) of the start value when the plane stood at r. Its
    // fixed point is r = 0.7; taken as it comes each change overshoots the last by a tenth and the swing
    // never settles. The mean of the two values where a change turns back the previous one makes the
    // swing shrink (factor (1 - 1.1) / 2 per turn), and the run ends at 0.7 within its tolerance.
    const int code = Lauf([](int, int, double r) { return 0.7 - 1.1 * (r - 0.7); });
    ASSERT_EQ(code, 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(g_rechner.querFelder.By[i] / g_start[0][i], 0.7, 1e-4) << i;
        EXPECT_NEAR(g_rechner.querFelder.Bz[i] / g_start[1][i], 0.7, 1e-4) << i;
    }
}

TEST_F(Iteration, FallLimitDoesNotKeepAPlaneFromItsState)
{
    // Both planes have their first state at 0.9 of the start value (its moment still small) and from the second
    // update on the state s. At 0.3 percent an update the plane reaches s after ln(s / 0.9) / ln(0.997) updates:
    // 135 for s = 0.6, within the 300 less the ten the run needs at least; 366 for s = 0.3, beyond them, and the
    // run ended with code 99. Held so far above its state the plane falls twice as far at each update after
    // (0.9 x 0.997^(2^k - 1) after k updates: at s = 0.3 from k = 9, the tenth update, and the eleventh settles);
    // within reach it keeps the damped path, 0.997 an update: the first update, 135 more, and one to settle.
    struct Fall {
        double s;
        int updates;
    } faelle[] = {{0.6, 137}, {0.3, 11}};
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.s);
        static double s;
        s = f.s;
        const int code = Lauf([](int, int u, double) { return u == 1 ? 0.9 : s; }, &ZustaendeMitFall);
        ASSERT_EQ(code, 0);
        EXPECT_EQ(g_updates, f.updates);
        for (int i = 0; i < 4; ++i) {
            EXPECT_DOUBLE_EQ(g_rechner.querFelder.By[i], f.s * g_start[0][i]) << i;
            EXPECT_DOUBLE_EQ(g_rechner.querFelder.Bz[i], f.s * g_start[1][i]) << i;
        }
    }
}

// ---- the strain state of a lightly loaded section ----

namespace {

// The upper storey of the example: 35 x 35 cm (top at z = 0), four bars of 3.14 cm2 at y = +-13 cm, z = -4.5 and
// -30.5 cm, under the parabola of the frame analysis (exponent 2, no tension) with fcd and eps1 given.
void ObererQuerschnitt(cBem& b, double fcd, double eps1)
{
    using namespace section_test;
    LawDef law = Parabola();
    law.f = fcd;
    law.e1 = eps1;
    std::vector<Stab> staebe;
    for (double y : {-13.0, 13.0})
        for (double z : {-4.5, -30.5})
            staebe.push_back({y, z, 3.14e-4});
    Baue(b, law, {Rechteck(35.0, 35.0)}, staebe);
    b.m_norm = 2;
}

}  // namespace

TEST(DehnzuLeicht, LightlyLoadedSectionConvergesToItsUncrackedStiffness)
{
    // The upper section of the example under its loads times 0.05: 35 x 35 cm with four bars of 3.14 cm2
    // 13 cm from both axes, the parabola law of the frame analysis for DIN 1045-1 C30/37 (fcd = 17 N/mm2,
    // eps1 = -2.2 per mille, no tension), N = -45.787 kN, My = -0.2780, Mz = 0.0195 kNm. The section stays
    // in compression, where the parabola's tangent is E0 (1 - eps / eps1), E0 = 2 fcd / |eps1| =
    // 15454.5 kN/m2 per mille: EA = 15454.5 * 0.1225 + 200000 * 4 * 3.14e-4 = 2144.4, eps0 = -0.021352,
    // tangent 0.990295 E0, and EI = 0.990295 * 15454.5 * 0.35^4 / 12 + 200000 * 4 * 3.14e-4 * 0.13^2 =
    // 19.138 + 4.245 = 23.383 in both planes (the quadratic law adds no moment of second order in the
    // curvature on a symmetric section). A Jacobian kept from the start plane at -0.3 per mille swung about
    // this state for a hundred steps and left the stiffness of the previous law in place.
    cBem b;
    ObererQuerschnitt(b, 17000.0, -2.2);
    b.m_norm = 1;
    const int ip[4] = {1, 0, 0, 4};
    const double rp[7] = {-45.787, 0, 0, 0, -0.2780, 0.0195, 0};
    ASSERT_EQ(b.stbm3d(2, ip, rp), 0);
    EXPECT_EQ(b.m_limitErreicht, 0);
    EXPECT_NEAR(b.m_By, 23.383, 0.005 * 23.383);
    EXPECT_NEAR(b.m_Bz, 23.383, 0.005 * 23.383);
}

TEST(DehnzuLeicht, PlaneWithoutCurvatureHasNoStrainState)
{
    // N alone: no curvature, so no secant stiffness in either plane (0, not the gross E I)
    using namespace section_test;
    cBem b;
    Baue(b, Parabola(), {Rechteck(35.0, 35.0)},
         {{-12.5, -5.0, 3.14e-4}, {12.5, -30.0, 3.14e-4}, {12.5, -5.0, 3.14e-4}, {-12.5, -30.0, 3.14e-4}});
    b.m_norm = 2;
    QuerschnittsRecord werte;
    b.HoleQuerschnittswerte(werte);
    ASSERT_GT(b.m_EIy, 0.0);
    const int ip[4] = {1, 0, 0, 4};
    const double rp[7] = {-500.0, 0, 0, 0, 0.0, 0.0, 0};
    ASSERT_EQ(b.stbm3d(2, ip, rp), 0);
    EXPECT_EQ(b.m_By, 0.0);
    EXPECT_EQ(b.m_Bz, 0.0);
}

TEST(DehnzuLeicht, CrackedStateUnderSmallForcesIsFound)
{
    // fcd = 17000 kN/m2, eps1 = -2.0 per mille; the plane eps = -0.1 - 1.0 z (per mille, z in m): top fibre
    // -0.1, zero line 0.10 m down. Concrete with r = 0.1 / 2 = 0.05 at the top: the parabola 2 s - s^2 has the
    // mean r - r^2 / 3 over the triangle, C = -17000 x 0.35 x 0.10 x 0.0491667 = -29.2542 kN, at
    // x (1/3 - r/12) / (1 - r/3) = 0.0334746 m below the top. Bars (Es = 200000 kN/m2 per mille, 6.28 cm2
    // a layer): z = -0.045 at -0.055 per mille, -6.9080 kN; z = -0.305 at 0.205, 25.7480 kN.
    // N = -10.4142 kN; about the centroid (z = -0.175): My = 0.979273 + 0.310860 - 7.853140 + 0.175 x 10.4142
    // ... = -6.563007 - 1.822485 = -8.385492 kNm; By = |My / kz| = 8.3855.
    // The same with a moment about z of a few thousandths of a kNm, as the columns of the issue met it
    // (N -20.1 and -17.9 kN, My 2.0 and 2.4 kNm): the search swung between two planes until its 25 Jacobians
    // were spent and reported no state within the ultimate strains. Such a state exists (the section's safety
    // under those forces is above 10); it must reproduce the forces, with a secant stiffness below the
    // uncracked one, E0 I = 2 fcd / |eps1| x 0.35^4 / 12 + 200000 x 4 x 3.14e-4 x 0.13^2 = 4.2453 + 12.5052
    // fcd / 1000 (25.504 at 17000, 29.256 at 20000), and above that of the steel alone, 4.2453.
    struct Fall {
        double fcd, N, My, Mz;
        double eps0, kz, By;  // by hand; 0: only the forces and the bounds
    } faelle[] = {
        {17000.0, -10.4142, -8.385492, 0.0, -0.1, -1.0, 8.385492},
        {20000.0, -20.115, 2.02738, -0.00800726, 0, 0, 0},
        {17000.0, -17.91, 2.38005, -0.0100396, 0, 0, 0},
        {20000.0, -1.63333, 0.595217, -0.00546253, 0, 0, 0},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(testing::Message() << f.fcd << " " << f.N << " " << f.My << " " << f.Mz);
        cBem b;
        ObererQuerschnitt(b, f.fcd, -2.0);
        const int ip[4] = {1, 0, 0, 4};
        const double rp[7] = {f.N, 0, 0, 0, f.My, f.Mz, 0};
        ASSERT_EQ(b.stbm3d(2, ip, rp), 0);
        EXPECT_EQ(b.m_limitErreicht, 0);
        const BemErgebnis& e = b.m_erg[2];
        EXPECT_NEAR(e.N, f.N, 1e-3 * std::fabs(f.N));
        EXPECT_NEAR(e.My, f.My, 1e-3 * std::fabs(f.My));
        EXPECT_NEAR(e.Mz, f.Mz, 1e-4);
        const double oben = 4.2453 + 12.5052 * f.fcd / 1000.0;
        EXPECT_LT(b.m_By, oben);
        EXPECT_GT(b.m_By, 4.2453);
        if (f.By != 0.0) {
            EXPECT_NEAR(b.m_eps0, f.eps0, 2e-4);
            EXPECT_NEAR(b.m_kz, f.kz, 1e-3);
            EXPECT_NEAR(b.m_ky, 0.0, 1e-6);
            EXPECT_NEAR(b.m_By, f.By, 1e-3 * f.By);
        }
    }
}

TEST(DehnzuLeicht, EveryPlaneWithinTheUltimateStrainsIsFoundFromItsForces)
{
    // The forces of any plane within the ultimate strains have a state: that plane. Random planes of the upper
    // storey's section, light (edge strains of some hundredths of a per mille, as at small N), moderate and
    // heavy, slightly or fully biaxial: the search must end with a state for each, not at its step limit, whose
    // forces are the plane's within the search's strain resolution. The old search reported 13 of these 1200
    // as having no state, 12 more ended at its step limit.
    std::mt19937 rng(81);
    for (const double s : {0.05, 0.3, 1.5}) {
        std::uniform_real_distribution<double> eps0(-s, s), k(-4.0 * s, 4.0 * s), klein(-0.02 * s, 0.02 * s),
            wahl(0.0, 1.0);
        for (int n = 0; n < 400; ++n) {
            cBem b;
            ObererQuerschnitt(b, 17000.0, -2.0);
            const int ip[4] = {1, 0, 0, 4};
            const double vorab[7] = {-10.0, 0, 0, 0, 1.0, 0, 0};
            ASSERT_EQ(b.stbm3d(2, ip, vorab), 0);  // sets the reference point the forces are taken about
            b.m_eps0 = eps0(rng);
            b.m_kz = k(rng);
            b.m_ky = wahl(rng) < 0.5 ? klein(rng) : k(rng);
            double N, My, Mz;
            b.spareq(2, 0.0, 99.0, N, My, Mz);
            if (b.m_eps1b < -3.4 || b.m_eps2s > 24.0)
                continue;
            SCOPED_TRACE(testing::Message() << "plane " << b.m_eps0 << " " << b.m_ky << " " << b.m_kz);
            const double rp[7] = {N, 0, 0, 0, My, Mz, 0};
            ASSERT_EQ(b.stbm3d(2, ip, rp), 0);
            EXPECT_EQ(b.m_limitErreicht, 0);
            const BemErgebnis& e = b.m_erg[2];
            EXPECT_NEAR(e.N, N, 0.03 * std::max(std::fabs(N), 1.0));
            EXPECT_NEAR(e.My, My, 0.03 * std::max(std::fabs(My), 1.0));
            EXPECT_NEAR(e.Mz, Mz, 0.03 * std::max(std::fabs(Mz), 1.0));
        }
    }
}

TEST(DehnzuLeicht, ForcesBeyondTheSectionStillHaveNoState)
{
    // The same section carries at most some 70 kNm at small axial force (6.28 cm2 x 434.8 N/mm2 x about
    // 0.25 m lever); 150 kNm has no state within the ultimate strains, whatever the search tries.
    cBem b;
    ObererQuerschnitt(b, 17000.0, -2.0);
    const int ip[4] = {1, 0, 0, 4};
    const double rp[7] = {-10.0, 0, 0, 0, 150.0, 0.01, 0};
    EXPECT_EQ(b.stbm3d(2, ip, rp), kBemDehnungUeberschritten);
}

// ---- whole columns with the real verification ----

TEST_F(Saeule, FinerMeshesConvergeToOneAnswer)
{
    // 6, 12, 50 and 100 members all calculate and give one answer: the elements are cubic and take the
    // mean stiffness of their end sections, so the governing moment and the reinforcement move by well
    // under a percent from 12 members on, and 6 members lie within a few percent. Under the example's loads
    // the bars present suffice; under three times them the strain states raise the steel to 92 cm2 (7.5 %
    // of the upper 35 x 35 field, below the 8 % of EC2).
    for (double faktor : {1.0, 3.0}) {
        struct Netz {
            int proFeld;
            double moment = 0.0, bewehrung = 0.0;
        };
        Netz netze[] = {{3}, {6}, {25}, {50}};
        for (Netz& n : netze) {
            SCOPED_TRACE(testing::Message() << faktor << " x loads, " << 2 * n.proFeld << " members");
            ASSERT_EQ(Beispiel(n.proFeld, faktor), 1) << ErsteMeldung();
            EXPECT_TRUE(Meldungen().empty()) << ErsteMeldung();
            n.moment = GroesstesMoment();
            n.bewehrung = GroessteBewehrung();
        }
        const Netz& fein = netze[3];
        for (const Netz& n : netze) {
            const double toleranz = n.proFeld >= 6 ? 0.01 : 0.04;
            EXPECT_NEAR(n.moment, fein.moment, toleranz * fein.moment) << faktor << " " << n.proFeld;
            EXPECT_NEAR(n.bewehrung, fein.bewehrung, toleranz * fein.bewehrung) << faktor << " " << n.proFeld;
        }
        if (faktor == 1.0) {
            EXPECT_NEAR(fein.bewehrung, 12.56, 1e-9);
        }
    }
}

TEST_F(Saeule, EightFieldsOfFourMembersCalculate)
{
    Datei(kArtTr, 0, {{"Ed", "1.35*(1)+1.50*(2)+"}});
    ASSERT_EQ(Berechne({1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 0.7}, std::vector<double>(8, 40.0), 4, 1.0), 1)
        << ErsteMeldung();
    EXPECT_TRUE(Meldungen().empty()) << ErsteMeldung();
}

TEST_F(Saeule, ColumnCalculatesUnderEveryLoadItCanCarry)
{
    // The head load reaches the upper 35 x 35 field whole: at the 8 % of EC2 (98 cm2) it carries at most
    // 0.1225 * 20000 + 0.0098 * 434783 = 6711 kN centrically. N = f (1.35 * 1100 + 1.5 * 255) = 1867.5 f:
    // from f = 3.6 on no reinforcement can carry it, and the run ends at the ratio limit with its message;
    // below, it calculates. The factors that ended in the iteration limit were 0.01, 0.05, 1.6 to 1.8, 2.0
    // and 2.1.
    const char* const kGrenze = "Achtung! Bewehrungsgrad > 8%. Bitte Stützenabmessung bzw Betondeckung ändern.";
    struct Fall {
        double faktor;
        bool traegt;
    };
    const Fall faelle[] = {{0.01, true}, {0.05, true}, {0.5, true}, {1.0, true},  {1.5, true},
                           {1.6, true},  {1.7, true},  {1.8, true}, {1.9, true},  {2.0, true},
                           {2.1, true},  {2.2, true},  {3.0, true}, {4.0, false}, {5.0, false}};
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.faktor);
        if (f.traegt) {
            ASSERT_EQ(Beispiel(6, f.faktor), 1) << ErsteMeldung();
            EXPECT_TRUE(Meldungen().empty()) << ErsteMeldung();
            EXPECT_LT(GroessteBewehrung(), 0.08 * 35.0 * 35.0);
        } else {
            EXPECT_EQ(Beispiel(6, f.faktor), 0);
            EXPECT_EQ(Meldungen(), std::vector<std::string>{kGrenze});
        }
    }
}
