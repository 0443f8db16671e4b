// Second order where the steel present is too little: the stiffness iteration proves that no equilibrium
// exists (an update leaves the frame unstable, or a section has no strain state), raises the steel by a
// tenth and starts again, so that a column the steel can make carry its load converges, one it cannot ends
// at the ratio limit with its message, and none ends with a singular system or the iteration limit.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/nachweis.h"
#include "frame_fixture.h"
#include "saeule_fixture.h"

using namespace frame_test;

namespace {

// ---- the restart, with strain states that grow with the steel ----

double g_as0[2 * kMaxStaebe];
double g_startZ[2 * kMaxStaebe];
double g_grenze = 1e9;  // steel ratio As / As0 that the verification reports as its limit

// steel ratio r that a section needs by its ultimate check, by field (0: no check)
double g_rErf[2] = {0.0, 0.0};
std::vector<double> g_sicherheiten;  // the least safety of each ultimate check

// Every section's z-plane state is 0.05 r E Iz with r = As / As0 the raise of its steel; the y plane keeps
// its stiffness. The ultimate check finds the safety r / r_erf of its field.
int MitDemStahl(const NachweisAufruf& a)
{
    const int nel = a.nel, mode = a.mode;
    const double* BzAlt = a.BzAlt;
    double* Bz = a.Bz;
    if (mode == 3) {
        int ergebnis = 0;
        double kleinste = 1e9;
        for (int i = 0; i < 2 * nel; ++i) {
            cBem& b = g_quer[i].m_bem;
            const double rErf = g_rErf[g_rechner.stabFeld[i / 2]];
            b.m_slots[11] = rErf > 0.0 ? b.HoleAS() / g_as0[i] / rErf : 1e9;
            b.m_code = b.m_slots[11] < 1.0 - kSicherheitsToleranz ? kNachweisNichtTragfaehig : 0;
            if (b.m_code != 0)
                ergebnis = kNachweisNichtTragfaehig;
            kleinste = std::min(kleinste, b.m_slots[11]);
        }
        g_sicherheiten.push_back(kleinste);
        return ergebnis;
    }
    if (mode != 2)
        return 0;
    for (int i = 0; i < 2 * nel; ++i) {
        cBem& b = g_quer[i].m_bem;
        const double r = b.HoleAS() / g_as0[i];
        // as the engine's verification: beyond the code's largest ratio (8 % under EC2) the run ends
        if (r >= g_grenze || b.HoleAS() * 100.0 / g_quer[i].BetonFlaeche() > 8.0 + 1e-6)
            return kNachweisBewehrungsgrad;
        b.m_ByGerade = b.m_BzGerade = 0.0;
        Bz[i] = SteifigkeitNachUpdate(BzAlt[i], 0.05 * r * g_startZ[i]);
    }
    return 0;
}

class Neustart : public FrameTest {
protected:
    // upper: the bars of the upper of two fields (cm2 each of four), 0 as the lower's 3 cm2
    int Lauf(double N, double grenze, std::initializer_list<double> felder = {4.0}, double upper = 0.0)
    {
        Stuetze(felder, 2);
        if (upper > 0.0)
            g_rechner.querEingabe.feld[1].bewehrung = upper;
        Lager(0, 0, 1, kEingespannt);
        Einzellast(0, 0, 1, {-N, 0.0, 1.0, 0, 0});
        Datei(kArtTr, 0, {{"Ed", "1.00*(1)+"}});
        g_rechner.gammaBeton = 0.0;
        Baue();
        g_sicherheiten.clear();
        for (int i = 0; i < 2 * g_rechner.nStaebe; ++i) {
            g_as0[i] = g_quer[i].m_bem.HoleAS();
            g_startZ[i] = kE * kIz / 1000.0;
        }
        g_grenze = grenze;
        SetzeNachweisFunktionen({&MitDemStahl, nullptr});
        return Rechne(2);
    }
};

}  // namespace

TEST_F(Neustart, UnstableFrameRaisesTheSteelUntilItStands)
{
    // Cantilever of 4 m (l0 = 8 m) under N = 500 kN; its z plane takes 0.05 r of E Iz = 33e6 * 0.5 * 0.3^3
    // / 12 = 37125 kNm2, so Ncr = pi^2 * 0.05 r * 37125 / 64 = 286.3 r kN. The frame stands only from
    // r = 500 / 286.3 = 1.747 on: with r = 1.1^n the raises n = 1 .. 5 (r = 1.61, Ncr = 461 kN) each leave
    // it unstable after the first update, and n = 6 (r = 1.772, Ncr = 507 kN) converges. The stiffness
    // taken whole at r = 1 would have ended the run with a singular system.
    ASSERT_EQ(Lauf(500.0, 1e9), 0);
    const double r6 = std::pow(1.1, 6);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(g_quer[i].m_bem.HoleAS() / g_as0[i], r6, 1e-9) << i;
        EXPECT_NEAR(g_rechner.querFelder.Bz[i], 0.05 * r6 * g_startZ[i], 1e-9 * g_startZ[i]) << i;
    }
}

TEST_F(Neustart, ColumnBeyondTheLimitEndsThere)
{
    // N = 900 kN needs r = 900 / 286.3 = 3.14, beyond the limit r = 2.5: the tenth raise (1.1^10 = 2.59)
    // reaches it, and the run ends with the ratio code, never a singular system.
    EXPECT_EQ(Lauf(900.0, 2.5), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(g_quer[i].m_bem.HoleAS() / g_as0[i], std::pow(1.1, 10), 1e-9) << i;
}

TEST_F(Neustart, UnsafeUltimateCheckRaisesTheFieldsSteelToTheFirstStepThatCarries)
{
    // Two fields of 3 m under N = 50 kN (Ncr = pi^2 * 0.05 * 37125 / 12^2 = 127 kN at r = 1: the frame
    // stands from the start and every run converges). The lower field's sections need r = 1.5 by their
    // ultimate check, the upper field's 0.8. The raises 1.1^n reach 1.5 first at n = 5 (1.1^4 = 1.4641 is
    // short): the ultimate checks see 1 / 1.5, 1.1 / 1.5, ... 1.4641 / 1.5 = 0.976 (unsafe) and then
    // 1.6105 / 1.5 = 1.074; the upper field keeps its steel.
    g_rErf[0] = 1.5;
    g_rErf[1] = 0.8;
    ASSERT_EQ(Lauf(50.0, 1e9, {3.0, 3.0}), 0);
    g_rErf[0] = g_rErf[1] = 0.0;
    ASSERT_EQ(g_sicherheiten.size(), 6u);
    for (std::size_t n = 0; n < 6; ++n)
        EXPECT_NEAR(g_sicherheiten[n], std::pow(1.1, double(n)) / 1.5, 1e-9) << n;
    for (int i = 0; i < 2 * g_rechner.nStaebe; ++i) {
        const double r = g_quer[i].m_bem.HoleAS() / g_as0[i];
        EXPECT_NEAR(r, g_rechner.stabFeld[i / 2] == 0 ? std::pow(1.1, 5) : 1.0, 1e-9) << i;
        // the run that ends started again from the gross stiffness: its strain states are those of its steel
        EXPECT_NEAR(g_rechner.querFelder.Bz[i], 0.05 * r * g_startZ[i], 1e-6 * g_startZ[i]) << i;
    }
}

TEST_F(Neustart, UnsafeColumnBeyondTheLimitEndsThere)
{
    // r = 3 needed, the limit at r = 2.5: the checks fail up to 1.1^9 = 2.358, the tenth raise (2.594)
    // reaches the limit, and the run ends with the ratio code (its results with a last check at 2.594).
    g_rErf[0] = 3.0;
    EXPECT_EQ(Lauf(50.0, 2.5), 4);
    g_rErf[0] = 0.0;
    ASSERT_EQ(g_sicherheiten.size(), 11u);
    EXPECT_NEAR(g_sicherheiten[9], std::pow(1.1, 9) / 3.0, 1e-9);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(g_quer[i].m_bem.HoleAS() / g_as0[i], std::pow(1.1, 10), 1e-9) << i;
}

TEST_F(Neustart, FieldsRaisedTogetherGoOnBelowTheLimitWhereOneReachedIt)
{
    // Two fields of 3 m (30 x 50 cm, 1500 cm2, EC2's 8 % = 120 cm2) under N = 250 kN: the lower field starts with
    // 12 cm2, the upper with 100. Raised together by a tenth, the upper reaches 110 and then stops at 120 cm2 (r =
    // 1.2), the lower goes on with r = 1.1^n. By tan(k1 l1) tan(k2 l2) = k1 / k2 for the stepped cantilever, with
    // EI = 0.05 r 37125 kNm2 (upper 2227.5): n = 8 (r = 2.1436, EI 3979) buckles at 0.948 N, n = 9 (r = 2.3579,
    // EI 4377) stands at 1.011 N. Raised beyond 120 cm2, the upper field ended the run with the ratio code.
    ASSERT_EQ(Lauf(250.0, 1e9, {3.0, 3.0}, 25.0), 0);
    for (int i = 0; i < 2 * g_rechner.nStaebe; ++i) {
        const double as = g_quer[i].m_bem.HoleAS() * 1e4;
        if (g_rechner.stabFeld[i / 2] == 0)
            EXPECT_NEAR(as, 12.0 * std::pow(1.1, 9), 1e-9) << i;
        else
            EXPECT_NEAR(as, 120.0, 1e-9) << i;
    }
}

TEST_F(Neustart, UnsafeColumnStopsAtTheLargestRatio)
{
    // r = 12 needed by the ultimate check, the largest ratio at r = 10 (120 cm2 of 12): 1.1^24 = 9.85 is unsafe, the
    // next raise stops at exactly 10 (a factor of 1.0153), still unsafe (10 / 12): the run ends with the ratio code
    // and the steel at the limit, never beyond it (1.1^25 = 10.83 before).
    g_rErf[0] = 12.0;
    EXPECT_EQ(Lauf(50.0, 1e9), 4);
    g_rErf[0] = 0.0;
    ASSERT_FALSE(g_sicherheiten.empty());
    EXPECT_NEAR(g_sicherheiten.back(), 10.0 / 12.0, 1e-9);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(g_quer[i].m_bem.HoleAS() * 1e4, 120.0, 1e-9) << i;
}

// ---- the start of the second-order run: above every strain state of the steel present ----

using Start = FrameTest;

TEST_F(Start, AFrameThatBucklesAtItsStartGetsTheSteelThatMakesItStand)
{
    // Cantilever of 4 m (l0 = 8 m), straight, with the elastic verification: the frame keeps the start stiffness
    // E Iz + Es Is = 37125 + 2400 r kNm2 (r = As / 12 cm2), Ncr = pi^2 (37125 + 2400 r) / 64. With the concrete
    // alone it buckles at 5725 kN, with its bars at 6095 kN.
    //   N = 6300 kN: r = 1.1^4 = 1.4641 gives 6267 kN, r = 1.1^5 = 1.6105 gives 6321 kN: five raises, then it stands.
    //   N = 9600 kN: even 8 % (120 cm2, r = 10) give 9426 kN: the raises stop at 120 cm2 and the run ends with the
    //     ratio code. Before, both runs ended at the start: the column buckles.
    struct Fall {
        double N;
        int code;
        double r;
    } faelle[] = {{6300.0, 0, std::pow(1.1, 5)}, {9600.0, 4, 10.0}};
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.N);
        g_rechner.nEinzellasten[0] = 0;  // the case before's load
        Stuetze({4.0}, 4);
        Lager(0, 0, 1, kEingespannt);
        Einzellast(0, 0, 1, {-f.N, 0, 0, 0, 0});
        Datei(kArtTr, 0, {{"Ed", "1.00*(1)+"}});
        Baue();
        EXPECT_EQ(Rechne(2), f.code);
        for (int i = 0; i < 8; ++i) {
            EXPECT_NEAR(g_quer[i].m_bem.HoleAS() * 1e4, 12.0 * f.r, 1e-9 * f.r) << i;
            if (f.code == 0) {
                EXPECT_NEAR(g_rechner.querFelder.Bz[i] * 1000.0, kE * kIz + kEsIsz * f.r, 1e-9 * kStartEIz) << i;
            }
        }
    }
}

TEST_F(Start, AColumnWithoutSteelThatBucklesIsRefusedSayingWhere)
{
    // The cantilever above without bars: with the concrete alone it buckles at 5725 kN < 6300 kN, and no steel can
    // be raised. The message names the combination and the field.
    Stuetze({4.0}, 4);
    Lager(0, 0, 1, kEingespannt);
    Einzellast(0, 0, 1, {-6300.0, 0, 0, 0, 0});
    Datei(kArtTr, 0, {{"Ed", "1.00*(1)+"}});
    Baue();
    for (int i = 0; i < 8; ++i)
        g_quer[i].m_bem.SetzeAS(0.0);
    EXPECT_EQ(Rechne(2), kCodeKnickt);
    std::vector<std::string> texte;
    for (const auto& r : win::msgbox::Log())
        texte.push_back(r.text);
    EXPECT_EQ(texte, std::vector<std::string>{"Stabilitätsversagen.\nKombination 1 (Ed: 1.00*(1)+), Feld 1: die Stütze "
                                              "knickt. Mit der Biegesteifigkeit ihrer Querschnitte unter ihrer "
                                              "Normalkraft ist sie nicht stabil.\nBitte den Querschnitt vergrößern."});
}

TEST_F(Start, TheStartSlopesAreTheLawsLargest)
{
    // The fixture's C30/37 and B500B. Concrete: the simplified law fcd / |eps_c2| and the parabola 2 fc / |eps_c1|;
    // EC2 fc = 30 / 1.5 = 20 N/mm2: 20 / 0.002 = 10000 and 2 x 20 / 0.0022 = 18182 N/mm2; DIN 1045-1 fc = fcm / 1.5
    // = 25.33 N/mm2 in the parabola: 2 x 25.33 / 0.0022 = 23030 N/mm2 (the simplified law 0.85 x 20 / 0.002 = 8500).
    // Both below Ecm = 33000. Steel: fyd / eps_yd = Es = 200000 N/mm2.
    struct Fall {
        int code;
        double beton;
    } faelle[] = {{2, 2.0 * 20000.0 / 2.2 * 1000.0}, {1, 2.0 * 38000.0 / 1.5 / 2.2 * 1000.0}};
    for (const Fall& f : faelle) {
        const Anfangssteigungen s = AnfangsSteigungen(f.code, 0, 0, 1, 0);
        EXPECT_NEAR(s.beton, f.beton, 1e-9 * f.beton) << f.code;
        EXPECT_LT(s.beton, kE) << f.code;
        EXPECT_NEAR(s.stahl, 2e8, 1e-6 * 2e8) << f.code;
    }
}

// ---- a cantilever with the real verification ----

namespace {

const char* const kGrenzeEC2 = "Achtung! Bewehrungsgrad > 8%. Bitte Stützenabmessung bzw Betondeckung ändern.";

class Kragarm : public Saeule {
protected:
    // The second-order equilibrium of the cantilever's foot, by statics of the deformed column: the head load
    // N acts at the head's deflection, and the inclination 1/200 loads the head with H = N / 200 in its
    // direction (split over the two planes by the buckling modes, near 45 degrees on the square section), so
    // the foot carries the shears V_y, V_z with V_y^2 + V_z^2 = H^2 and in each plane M = V L + N w_head.
    static void PrueffeGleichgewicht(double L, double N)
    {
        const int oben = g_rechner.nKnoten - 1;
        const double vy = std::fabs(Stab(22, 0, 0, 1)), vz = std::fabs(Stab(22, 0, 0, 2));
        EXPECT_NEAR(std::hypot(vy, vz), N / 200.0, 0.005 * N / 200.0);
        const double my = vz * L + N * std::fabs(Knoten(21, 0, oben, 2));
        const double mz = vy * L + N * std::fabs(Knoten(21, 0, oben, 1));
        EXPECT_NEAR(std::fabs(Stab(22, 0, 0, 4)), my, 0.005 * my);
        EXPECT_NEAR(std::fabs(Stab(22, 0, 0, 5)), mz, 0.005 * mz);
    }
};

}  // namespace

TEST_F(Kragarm, CantileverNeedingMoreSteelConverges)
{
    // 3 m, 40 x 40 cm, EC2 C30/37 under N = 4000 kN: with 20 cm2 the section carries 0.16 * 20000 +
    // 0.0020 * 400000 = 4000 kN centrically at -2 per mille, no reserve for the inclination's moment
    // (at least 4000 * 0.005 * 3 = 60 kNm); at the 8 % (128 cm2) at most 0.16 * 20000 + 0.0128 * 434783 =
    // 8765 kN. So the column converges with more than 20 cm2 and less than 128 cm2.
    ASSERT_EQ(Kragstuetze(3.0, 4000.0, 4, 1.0 / 200.0), 1) << ErsteMeldung();
    EXPECT_TRUE(Meldungen().empty()) << ErsteMeldung();
    EXPECT_GT(GroessteBewehrung(), 20.0);
    EXPECT_LT(GroessteBewehrung(), 128.0);
    PrueffeGleichgewicht(3.0, 4000.0);
    // 9000 kN are beyond the 8765 kN of the 8 %: the ratio limit and its message
    EXPECT_EQ(Kragstuetze(3.0, 9000.0, 4, 1.0 / 200.0), 0);
    EXPECT_EQ(Meldungen(), std::vector<std::string>{kGrenzeEC2});
}

TEST_F(Kragarm, CantileverSweepConvergesOrEndsAtTheRatioLimit)
{
    // N from 3000 to 6000 kN on 3 m and 4.5 m, in 4 and 10 members. Each N lies below the Euler load of
    // the uncracked section, pi^2 * 33e6 * 0.4^4 / 12 / (2 L)^2 = 19.3 MN (3 m) and 8.6 MN (4.5 m), so
    // the frame stands at its start and each run must either converge (with the statics of the deformed
    // column) or end at the ratio limit with its message; the steel grows with N, a larger N never
    // calculates once a smaller one reached the limit, and the meshes differ by one raise at most. A raise
    // stops at the limit (128 cm2): a column that stands with exactly that steel is designed with it.
    for (double L : {3.0, 4.5}) {
        std::vector<double> stahl[2];
        for (int netz = 0; netz < 2; ++netz) {
            bool grenze = false;
            for (double N = 3000.0; N <= 6000.0; N += 500.0) {
                SCOPED_TRACE(testing::Message() << L << " m, " << N << " kN, " << (netz ? 10 : 4) << " members");
                if (Kragstuetze(L, N, netz ? 10 : 4, 1.0 / 200.0) == 1) {
                    EXPECT_TRUE(Meldungen().empty()) << ErsteMeldung();
                    EXPECT_FALSE(grenze);
                    const double as = GroessteBewehrung();
                    EXPECT_LE(as, 128.0 * (1.0 + 1e-9));
                    if (!stahl[netz].empty() && stahl[netz].back() > 0.0) {
                        EXPECT_GE(as, 0.99 * stahl[netz].back());
                    }
                    stahl[netz].push_back(as);
                    PrueffeGleichgewicht(L, N);
                } else {
                    EXPECT_EQ(Meldungen(), std::vector<std::string>{kGrenzeEC2});
                    grenze = true;
                    stahl[netz].push_back(0.0);
                }
            }
        }
        for (std::size_t i = 0; i < stahl[0].size(); ++i) {
            EXPECT_EQ(stahl[0][i] > 0.0, stahl[1][i] > 0.0) << L << " " << i;
            if (stahl[0][i] > 0.0 && stahl[1][i] > 0.0) {
                EXPECT_LE(stahl[0][i], 1.1 * 1.01 * stahl[1][i]) << L << " " << i;
                EXPECT_LE(stahl[1][i], 1.1 * 1.01 * stahl[0][i]) << L << " " << i;
            }
        }
    }
}

namespace {
struct Pruefung {
    double sicherheit, stahl;  // least safety of an ultimate check, and the largest steel then (cm2)
};
std::vector<Pruefung> g_pruefungen;
int MitProtokoll(const NachweisAufruf& a)
{
    const int r = StbNachweis_1(a);
    if (a.mode == 3 && a.analyseModus == 2) {
        Pruefung p{1e9, 0.0};
        for (int i = 0; i < 2 * a.nel; ++i) {
            p.sicherheit = std::min(p.sicherheit, g_quer[i].m_bem.m_slots[11]);
            p.stahl = std::max(p.stahl, g_quer[i].m_bem.HoleAS() * 1e4);
        }
        g_pruefungen.push_back(p);
    }
    return r;
}
}  // namespace

TEST_F(Kragarm, RequiredSteelCarriesTheSecondOrderForces)
{
    // 3 m, 40 x 40 cm, EC2 C30/37 under N = 3250 kN with the inclination 1/200. The stiffness iteration
    // finds an equilibrium with 18.39 cm2 (its strain states use the stiffness law), but there the foot's
    // ultimate check (the ultimate law: 20 N/mm2 from -2 per mille on, no tension) falls short of 1; the
    // steel rises by a tenth to 20.23 cm2, and the run with it converges with every section safe. Bounds by
    // hand: centrically 0.16 * 20000 + 0.001839 * 400000 = 3936 kN > 3250 kN, so only the second-order
    // moment (at least 3250 * 0.005 * 3 = 49 kNm) makes the section fall short; the required steel is the
    // first tenth-step at which the check holds, the step below it fails.
    g_pruefungen.clear();
    SetzeNachweisFunktionen({&MitProtokoll, SchubNachweis});
    ASSERT_EQ(Kragstuetze(3.0, 3250.0, 4, 1.0 / 200.0), 1) << ErsteMeldung();
    ASSERT_GE(g_pruefungen.size(), 2u);
    const Pruefung& letzte = g_pruefungen.back();
    const Pruefung& davor = g_pruefungen[g_pruefungen.size() - 2];
    EXPECT_GE(letzte.sicherheit, 1.0 - kSicherheitsToleranz);
    EXPECT_LT(davor.sicherheit, 1.0 - kSicherheitsToleranz);
    EXPECT_NEAR(letzte.stahl, 1.1 * davor.stahl, 1e-6 * letzte.stahl);
    EXPECT_NEAR(letzte.stahl, GroessteBewehrung(), 1e-9);
    // the stored second-order safeties: none below 1
    const int n = 2 * g_rechner.nStaebe;
    for (int i = 0; i < n; ++i)
        EXPECT_GE(WD(g_rechner.Slot(38, 0, n) + i), 1.0 - kSicherheitsToleranz) << i;
    PrueffeGleichgewicht(3.0, 3250.0);
}
