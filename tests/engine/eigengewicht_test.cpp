// The own weight acts in the load case its load names: alone in the characteristic records, with that load
// case's factor in a design combination, and not at all in a combination without it.
#include <cmath>

#include "frame_fixture.h"

using namespace frame_test;

namespace {

// Cantilever L = 4 m of the 30 x 50 cm section, fixed at the foot. Snow S = 50 kN down at the head
// (load case 1), wind 3 kN/m along y over the height (load case 2), own weight in load case 4:
// G = 25 kN/m3 x A x L = 25 x 0.15 x 4 = 15 kN.
constexpr double kL = 4.0, kS = 50.0, kWind = 3.0;
constexpr double kG = 25.0 * kA * kL;

class Eigengewicht : public FrameTest {
protected:
    static void Kragarm()
    {
        Stuetze({kL}, 4);
        Lager(0, 0, 1, kEingespannt);
        Einzellast(0, 0, 1, {-kS, 0, 0, 0, 0});
        Linienlast(0, 0.0, kL, kWind, 2, 1);
        g_rechner.gammaBeton = 25.0;
        g_rechner.eigengewichtLf[0] = 4;
    }
};

}  // namespace

TEST_F(Eigengewicht, ActsOnlyInItsLoadCaseWithThatCasesFactor)
{
    Kragarm();
    struct Fall {
        const char* formel;
        double vertikal;  // foot reaction along the axis (the negative of the loads' sum)
        double quer;      // foot reaction along y
    };
    // statics of the cantilever: the foot takes the sum of the vertical loads and of the wind 3 x 4 = 12 kN
    const Fall faelle[] = {
        {"1.00*(1)+", kS, 0.0},                             // snow alone: S, no own weight
        {"1.00*(2)+", 0.0, -kWind * kL},                    // wind alone: no vertical reaction
        {"1.00*(4)+", kG, 0.0},                             // own weight alone: 15 kN
        {"1.35*(4)+1.50*(1)+", 1.35 * kG + 1.5 * kS, 0.0},  // 20.25 + 75 = 95.25 kN
        {"1.50*(1)+1.35*(4)+", 1.35 * kG + 1.5 * kS, 0.0},  // the order of the terms does not matter
        {"1.50*(2)+1.00*(1)+", kS, -1.5 * kWind * kL},      // without load case 4: no own weight
    };
    std::vector<std::pair<std::string, std::string>> kombis;
    for (const Fall& f : faelle)
        kombis.emplace_back("Ed", f.formel);
    Datei(kArtTr, 0, kombis);
    Baue();
    // the factors are kept in single precision
    const double tol = 1e-5;
    for (int c = 0; c < int(std::size(faelle)); ++c) {
        ASSERT_EQ(Rechne(0, c), 0) << faelle[c].formel;
        EXPECT_NEAR(Knoten(10, c, 0, 0), faelle[c].vertikal, tol) << faelle[c].formel;
        EXPECT_NEAR(Knoten(10, c, 0, 1), faelle[c].quer, tol) << faelle[c].formel;
        // the axial force at the foot is the vertical reaction (compression negative)
        EXPECT_NEAR(Stab(12, c, 0, 0), -faelle[c].vertikal, tol) << faelle[c].formel;
    }
}

TEST_F(Eigengewicht, CreepTakesItWithItsLoadCasesCreepFactor)
{
    // creep entries 0.5 x load case 1 and 0.8 x load case 4: 0.5 S + 0.8 G = 25 + 12 = 37 kN at the foot
    Kragarm();
    Datei(kArtTr, 0, {{"Ed", "1.00*(1)+"}});
    g_rechner.kriechZahl = 1.0;
    g_rechner.nKriech = 2;
    g_rechner.kriechLf[0] = 1;
    g_rechner.kriechFakt[0] = 0.5;
    g_rechner.kriechLf[1] = 4;
    g_rechner.kriechFakt[1] = 0.8;
    Baue();
    ASSERT_EQ(Rechne(1), 0);
    EXPECT_NEAR(Knoten(15, 0, 0, 0), 0.5 * kS + 0.8 * kG, 1e-8);
}

TEST_F(Eigengewicht, UnitWeightWithoutLoadCaseIsRefused)
{
    Kragarm();
    g_rechner.eigengewichtLf[0] = 0;
    Datei(kArtTr, 0, {{"Ed", "1.00*(1)+"}});
    EXPECT_EQ(g_rechner.BaueModell(), kSetupEingabe);
    EXPECT_EQ(g_rechner.meldung, "Das Eigengewicht ist keinem Lastfall zugeordnet.");
}
