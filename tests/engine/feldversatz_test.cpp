// A field whose axis is offset from the field below hands its axial force down with that offset: the lower
// field carries the constant moment N e, the upper one none, and the support takes N e.
#include <cmath>

#include "frame_fixture.h"

using namespace frame_test;

namespace {

// Cantilever of two fields, a = 3 m below and b = 2 m above, fixed at the foot, N = 100 kN down at the head
// on the upper field's axis, the upper field offset by e = 5 cm. Statics: M = N e = 5 kNm in the lower field,
// 0 in the upper; the foot takes N and N e. The lower field bends under the constant moment, the upper one
// turns with it as a rigid body: head deflection M a (a/2 + b) / EI, towards the offset as under a
// horizontal load in that direction.
constexpr double kA1 = 3.0, kB1 = 2.0, kN = 100.0, kEx = 0.05;

struct Ebene {
    const char* name;
    int verschiebung;  // v 1 or w 2
    int drehung;       // rotation about z 5 or y 4
    double EI;
};
void PrintTo(const Ebene& e, std::ostream* os)
{
    *os << e.name;
}
const Ebene kEbenen[] = {{"z", 2, 4, kE* kIy}, {"y", 1, 5, kE* kIz}};

class Feldversatz : public FrameTest, public ::testing::WithParamInterface<Ebene> {
protected:
    // Combination 0: N (load case 1); combination 1: H = 10 kN at the head in the offset's direction
    // (load case 2; parallel to the offset, so the link adds nothing to it).
    void Zweifeld(double eUnten, double eOben)
    {
        Stuetze({kA1, kB1}, 3);
        Lager(0, 0, 1, kEingespannt);
        Einzellast(0, 0, 1, {-kN, 0, 0, 0, 0});
        std::array<double, 5> h = {0, 0, 0, 0, 0};
        h[GetParam().verschiebung] = 10.0;
        Einzellast(0, 0, 2, h);
        double* versatz = GetParam().verschiebung == 2 ? g_rechner.feldEz : g_rechner.feldEy;
        versatz[0] = eUnten;
        versatz[1] = eOben;
        Datei(kArtTr, 0, {{"Ed", "1.00*(1)+"}, {"Ed", "1.00*(2)+"}});
        Baue();
        ASSERT_EQ(Rechne(0, 0), 0);
        ASSERT_EQ(Rechne(0, 1), 0);
    }
};

}  // namespace

TEST_P(Feldversatz, UpperFieldOffsetLoadsTheLowerFieldWithNe)
{
    const Ebene& p = GetParam();
    Zweifeld(0.0, kEx);
    const double M = kN * kEx;
    // members 0-2 the lower field, 3-5 the upper
    for (int e = 0; e < 6; ++e) {
        const double erwartet = e < 3 ? M : 0.0;
        EXPECT_NEAR(std::fabs(Stab(12, 0, e, p.drehung)), erwartet, 1e-8) << e;
        EXPECT_NEAR(std::fabs(Stab(12, 0, e, 7 + p.drehung)), erwartet, 1e-8) << e;
        EXPECT_NEAR(Stab(12, 0, e, 0), -kN, 1e-8) << e;
        // nothing in the other plane
        EXPECT_NEAR(Stab(12, 0, e, 9 - p.drehung), 0.0, 1e-8) << e;
    }
    // the foot: N and N e; no horizontal reaction
    EXPECT_NEAR(Knoten(10, 0, 0, 0), kN, 1e-8);
    EXPECT_NEAR(std::fabs(Knoten(10, 0, 0, p.drehung)), M, 1e-8);
    EXPECT_NEAR(Knoten(10, 0, 0, p.verschiebung), 0.0, 1e-8);
    // head deflection towards the offset
    EXPECT_NEAR(Knoten(11, 0, Oben(), p.verschiebung), M * kA1 * (kA1 / 2.0 + kB1) / p.EI, 1e-12);
    // the foot moment has the sign of that of a head load H = 10 kN in the offset's direction (10 x 5 m)
    EXPECT_NEAR(std::fabs(Knoten(10, 1, 0, p.drehung)), 10.0 * (kA1 + kB1), 1e-8);
    EXPECT_GT(Knoten(10, 0, 0, p.drehung) * Knoten(10, 1, 0, p.drehung), 0.0);
}

TEST_P(Feldversatz, OffsetOfTheLowestFieldActsAtTheSupport)
{
    // both fields offset by e from the system line, each by 0 from the one below: no moment in the column,
    // the foot takes N e about the system line
    const Ebene& p = GetParam();
    Zweifeld(kEx, 0.0);
    for (int e = 0; e < 6; ++e)
        EXPECT_NEAR(Stab(12, 0, e, p.drehung), 0.0, 1e-8) << e;
    EXPECT_NEAR(std::fabs(Knoten(10, 0, 0, p.drehung)), kN * kEx, 1e-8);
}

INSTANTIATE_TEST_SUITE_P(Ebenen, Feldversatz, ::testing::ValuesIn(kEbenen),
                         [](const ::testing::TestParamInfo<Ebene>& info) { return std::string(info.param.name); });
