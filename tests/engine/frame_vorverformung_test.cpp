// Imperfections from hand-filled first-order, creep and eigen areas; the mode shares of PSIFAKT; the
// partial factors of the codes and the self-weight factor of a combination.
#include <cmath>
#include <numbers>

#include "frame_fixture.h"

using namespace frame_test;

namespace {

constexpr double kGrad = std::numbers::pi / 180.0;

struct PsiFall {
    const char* name;
    double fakteig, alfa0, alfaE;
    double beta;  // expected resulting angle, degrees
};

// fakteig >= 3: beta = alfaE - alfa0; below 3 with |alfaE - alfa0| >= 1: (alfaE - alfa0) fakteig / 2 +
// alfa0; with |d| < 1: 90 - 45 fakteig for a mode along y, 45 fakteig for a mode along z (alfaE = 90
// with fakteig 2 gives 90 - (90 - 90) = 90).
const PsiFall kPsiFaelle[] = {
    {"DreiIstDieGrenze", 3.0, 10.0, 40.0, 30.0},    {"GleicheRichtungen", 1.0, 0.0, 0.0, 45.0},
    {"SteileModeNahe90", 2.0, 90.0, 90.0, 90.0},    {"VerschiedeneRichtungen", 2.0, 10.0, 30.0, 30.0},
    {"HalbeDifferenz", 1.0, 20.0, 60.0, 40.0},      {"Mode89", 1.5, 89.5, 89.5, 45.0 * 1.5},
    {"ModeMinus90", 1.5, -90.0, -90.0, 45.0 * 1.5}, {"NahezuY", 1.5, 0.5, 0.0, 90.0 - 45.0 * 1.5},
};

class Psifakt : public ::testing::TestWithParam<PsiFall> {};

class Vorverformung : public FrameTest {
protected:
    // A 4 m cantilever of four members with one combination; eigen areas filled by hand.
    void SetUp() override
    {
        FrameTest::SetUp();
        Stuetze({2.0, 2.0}, 2);
        Lager(0, 0, 1, kEingespannt);
        Einzellast(0, 0, 1, {-100.0, 0, 0, 0, 0});
        Datei(kArtTr, 0, {{"Ed", "1.35*(1)+1.50*(2)+"}});
        Baue();
        K = g_rechner.nKnoten;
    }
    int K = 0;
    double& Eigen(int i) { return WD(g_rechner.Slot(19, 0, 12) + i); }
    double& Form(int mode, int n, int j) { return WD(g_rechner.Slot(18, 0, 28 * K) + 7 * K * mode + 7 * n + j); }
    double& Verformung(int n, int j) { return WD(g_rechner.Slot(11, 0, 7 * K) + 7 * n + j); }
    double& Kriechen(int n, int j) { return WD(g_rechner.Slot(16, 0, 7 * K) + 7 * n + j); }
    double& Vor(int n, int j) { return WD(g_rechner.Slot(70, 0, 4 * K) + 4 * n + j); }
    void FuelleVor(double wert)
    {
        for (int n = 0; n < K; ++n)
            for (int j = 0; j < 4; ++j)
                Vor(n, j) = wert;
    }
};

}  // namespace

TEST_P(Psifakt, SharesFollowTheResultingAngle)
{
    const PsiFall& f = GetParam();
    double fy = 0, fz = 0, f1 = 0, f2 = 0;
    CStuetzenRechner::PSIFAKT(f.fakteig, f.alfa0, f.alfaE, fy, fz, f1, f2);
    EXPECT_NEAR(fy, std::cos(f.beta * kGrad), 1e-12);
    EXPECT_NEAR(fz, std::sin(f.beta * kGrad), 1e-12);
    EXPECT_EQ(f1, 1.0);
    EXPECT_EQ(f2, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Faelle, Psifakt, ::testing::ValuesIn(kPsiFaelle),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Faktoren, SetzeGammaByCode)
{
    const int alt = NORM;
    const struct {
        int norm;
        double g[4];
    } faelle[] = {{0, {0.0, 1.0, 1.75, 1.0}}, {1, {1, 1, 1, 1}},  {2, {1, 1, 1, 1}},  {3, {1, 1, 1, 1}},
                  {11, {1, 1, 1, 1}},         {12, {1, 1, 1, 1}}, {13, {1, 1, 1, 1}}, {7, {9, 9, 9, 9}}};
    for (const auto& f : faelle) {
        NORM = f.norm;
        double g[4] = {9, 9, 9, 9};
        CStuetzenRechner::SetzeGamma(g[0], g[1], g[2], g[3]);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(g[i], f.g[i]) << f.norm << " " << i;
    }
    NORM = alt;
}

TEST_F(Vorverformung, LastFaktorIsTheCombinationsFirstFactor)
{
    // "1.35*(1)+1.50*(2)+": the first pair's factor, in single precision; DIN 1045 has its own
    std::string path;
    g_rechner.OeffneKombiDatei(path, kArtTr, 0, 1);
    g_rechner.Waehle(0, 0, 0);
    EXPECT_DOUBLE_EQ(g_rechner.LastFaktor(2, 0, 0), static_cast<double>(1.35f));
    EXPECT_DOUBLE_EQ(g_rechner.LastFaktor(0, 2, 0), 1.75);
    EXPECT_DOUBLE_EQ(g_rechner.LastFaktor(0, 0, 0), 1.0);
    EXPECT_DOUBLE_EQ(g_rechner.LastFaktor(2, 0, 5), 1.0);  // no such combination
    // the texts of the progress line
    std::string titel, formel;
    ASSERT_TRUE(g_rechner.KombiTexte(0, titel, formel));
    EXPECT_EQ(titel, "Ed");
    EXPECT_EQ(formel, "1.35*(1)+1.50*(2)+");
    EXPECT_FALSE(g_rechner.KombiTexte(1, titel, formel));
}

TEST_F(Vorverformung, InclinationByMagnitudeGrowsLinearly)
{
    // kind 0, magnitude 1/200; fakteig = 4 >= 3 and both directions along y (alfa0 = alfaE = 0):
    // beta = 0, fy = 1, fz = 0, so v0 = x / 200 and w0 = 0; every member turns by 1/200.
    g_rechner.imperfektion[0].art = 0;
    g_rechner.imperfektion[0].neigung = 1.0 / 200.0;
    Eigen(0) = 2.0;
    Eigen(1) = 8.0;
    Eigen(4) = 1.0;
    Verformung(K - 1, 1) = 0.01;
    g_rechner.RechneVorverformungen(0, 0);
    for (int n = 0; n < K; ++n) {
        EXPECT_NEAR(Vor(n, 0), g_rechner.x[n] / 200.0, 1e-15) << n;
        EXPECT_NEAR(Vor(n, 1), 0.0, 1e-15) << n;
    }
    for (int m = 0; m < K - 1; ++m) {
        EXPECT_NEAR(Vor(m, 2), 0.0, 1e-15);
        EXPECT_NEAR(Vor(m, 3), 1.0 / 200.0, 1e-15);
    }
}

TEST_F(Vorverformung, InclinationByMagnitudeLeansWithTheDeflection)
{
    // kind 0, magnitude 1/200, the first mode along y with fakteig = 4: whichever way the head deflects in first
    // order (v, w), the inclination leans that way, 1/200 along (v, w) / |(v, w)|, never against it.
    const struct {
        double v, w;
    } faelle[] = {{0.01, 0.0}, {-0.01, 0.0}, {0.0, 0.02}, {0.0, -0.02}, {0.003, -0.004}};
    g_rechner.imperfektion[0].art = 0;
    g_rechner.imperfektion[0].neigung = 1.0 / 200.0;
    Eigen(0) = 2.0;
    Eigen(1) = 8.0;
    Eigen(4) = 1.0;
    for (const auto& f : faelle) {
        SCOPED_TRACE(testing::Message() << f.v << ", " << f.w);
        for (int n = 0; n < K; ++n) {
            Verformung(n, 1) = f.v * n / (K - 1);
            Verformung(n, 2) = f.w * n / (K - 1);
        }
        g_rechner.RechneVorverformungen(0, 0);
        const double r = std::hypot(f.v, f.w);
        for (int n = 0; n < K; ++n) {
            EXPECT_NEAR(Vor(n, 0), g_rechner.x[n] / 200.0 * f.v / r, 1e-15) << n;
            EXPECT_NEAR(Vor(n, 1), g_rechner.x[n] / 200.0 * f.w / r, 1e-15) << n;
        }
        // psiy = -dw0/dx, psiz = dv0/dx
        EXPECT_NEAR(Vor(0, 2), -f.w / r / 200.0, 1e-15);
        EXPECT_NEAR(Vor(0, 3), f.v / r / 200.0, 1e-15);
    }
}

TEST_F(Vorverformung, ColumnThatDoesNotDeflectLeansAsItsModes)
{
    // No first-order deflection (a centric load): the first mode along z with fakteig = 4 gives beta = 90 - 0,
    // so the inclination 1/200 leans along z.
    g_rechner.imperfektion[0].art = 0;
    g_rechner.imperfektion[0].neigung = 1.0 / 200.0;
    Eigen(0) = 2.0;
    Eigen(1) = 8.0;
    Eigen(5) = 1.0;
    g_rechner.RechneVorverformungen(0, 0);
    for (int n = 0; n < K; ++n) {
        EXPECT_NEAR(Vor(n, 0), 0.0, 1e-15) << n;
        EXPECT_NEAR(Vor(n, 1), g_rechner.x[n] / 200.0, 1e-15) << n;
    }
}

TEST_F(Vorverformung, CreepShareTakesTheSideTheCombinationDeflects)
{
    // kind 2 by magnitude 1/200, phi = 2 (share 2/3). The creep run crept along +y and +z (0.003 n and 0.0015 n
    // at node n); this combination deflects along -y only (-0.0025 n). In y the creep share turns to the
    // combination's side, -0.002 n; in z, where the combination does not deflect, it stays +0.001 n. At the head
    // (n = 4) first order plus creep is (-0.018, 0.004): the inclination leans that way.
    g_rechner.kriechZahl = 2.0;
    g_rechner.imperfektion[0].art = 2;
    g_rechner.imperfektion[0].neigung = 1.0 / 200.0;
    Eigen(0) = 2.0;
    Eigen(1) = 8.0;
    Eigen(4) = 1.0;
    for (int n = 0; n < K; ++n) {
        Kriechen(n, 1) = 0.003 * n;
        Kriechen(n, 2) = 0.0015 * n;
        Verformung(n, 1) = -0.0025 * n;
    }
    g_rechner.RechneVorverformungen(0, 0);
    const double r = std::hypot(0.018, 0.004);
    for (int n = 0; n < K; ++n) {
        const double x = g_rechner.x[n];
        EXPECT_NEAR(Vor(n, 0), -x / 200.0 * 0.018 / r - 0.002 * n, 1e-15) << n;
        EXPECT_NEAR(Vor(n, 1), x / 200.0 * 0.004 / r + 0.001 * n, 1e-15) << n;
    }
}

TEST_F(Vorverformung, ModeAffineImperfectionCarriesTheCreepShare)
{
    // kind 3 with the amplitude L / 200 = 0.02 m: the first mode along y scaled to it at the head, plus the creep
    // share 2/3 of the creep deformation (0.003 n along y), on the side of the first-order deflection.
    g_rechner.kriechZahl = 2.0;
    ImperfektionsEingabe& imp = g_rechner.imperfektion[0];
    imp.art = 3;
    imp.Kriech_CKAusm = 1;
    imp.teiler = 200.0;
    Eigen(0) = 2.0;
    Eigen(1) = 8.0;
    Eigen(4) = 1.0;
    for (int n = 0; n < K; ++n) {
        Form(0, n, 1) = g_rechner.x[n] / 4.0;
        Kriechen(n, 1) = 0.003 * n;
        Verformung(n, 1) = 0.001 * n;
    }
    g_rechner.RechneVorverformungen(0, 0);
    for (int n = 0; n < K; ++n)
        EXPECT_NEAR(Vor(n, 0), 0.02 * g_rechner.x[n] / 4.0 + 0.002 * n, 1e-15) << n;
}

TEST_F(Vorverformung, CreepLoadsImperfectionComesFromItsOwnAnalysis)
{
    // The creep load's imperfection reads the creep load's deformation, eigenvalues and modes, not the first
    // combination's areas, and no creep share: centric, the first mode along y with fakteig = 4, 1/200 along y.
    g_rechner.kriechZahl = 2.0;
    g_rechner.imperfektion[0].art = 2;
    g_rechner.imperfektion[0].neigung = 1.0 / 200.0;
    // the first combination's areas say otherwise
    Eigen(0) = 2.0;
    Eigen(1) = 8.0;
    Eigen(5) = 1.0;
    for (int n = 0; n < K; ++n) {
        Verformung(n, 2) = -0.01 * n;
        Kriechen(n, 1) = 0.05 * n;
    }
    EXPECT_EQ(g_rechner.RechneKriechVorverformung(), 0);
    ASSERT_EQ(g_rechner.kriechVorverformung.size(), std::size_t(4 * K));
    for (double v : g_rechner.kriechVorverformung)
        ASSERT_EQ(v, 0.0) << "without its own analysis nothing";
    g_rechner.kriechVerformung.assign(std::size_t(7 * K), 0.0);
    g_rechner.kriechEigen = {2.0, 8.0, 0.0, 0.0, 1.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0};
    g_rechner.kriechFormen.assign(std::size_t(28 * K), 0.0);
    EXPECT_EQ(g_rechner.RechneKriechVorverformung(), 0);
    for (int n = 0; n < K; ++n) {
        EXPECT_NEAR(g_rechner.kriechVorverformung[std::size_t(4 * n)], g_rechner.x[n] / 200.0, 1e-15) << n;
        EXPECT_EQ(g_rechner.kriechVorverformung[std::size_t(4 * n + 1)], 0.0) << n;
    }
    // the first combination's own values are left as they were
    EXPECT_EQ(Vor(K - 1, 0), 0.0);
}

TEST_F(Vorverformung, OnlyTheLowestEigenvalueVanishingGivesNoImperfection)
{
    // lambda1 = 0 with lambda2 != 0 would divide by zero: no imperfection instead
    g_rechner.imperfektion[0].art = 1;
    g_rechner.imperfektion[0].Kriech_CKAusm = 1;
    g_rechner.imperfektion[0].teiler = 200.0;
    Eigen(1) = 5.0;
    Eigen(4) = 1.0;
    FuelleVor(9.0);
    g_rechner.RechneVorverformungen(0, 0);
    for (int n = 0; n < K; ++n)
        for (int j = 0; j < 4; ++j)
            ASSERT_EQ(Vor(n, j), 0.0);
}

TEST_F(Vorverformung, KindFourKeepsWhatTheAreaHolds)
{
    g_rechner.imperfektion[0].art = 4;
    Eigen(0) = 2.0;
    Eigen(1) = 3.0;
    FuelleVor(9.0);
    g_rechner.RechneVorverformungen(0, 0);
    for (int n = 0; n < K; ++n)
        for (int j = 0; j < 4; ++j)
            ASSERT_EQ(Vor(n, j), 9.0);
}

TEST_F(Vorverformung, EigenmodeAmplitudeIsLengthOverDivisor)
{
    // kind 1 with Kriech_CKAusm: the first mode along z (largest w 2.0 at the top), the first-order
    // deflection along z too: alfa0 = alfaE = 90, fakteig = 4, beta = 0, fy = 1. The mode is scaled so
    // that its largest value becomes L / n = 4 / 200, with the sign of the first-order deflection.
    g_rechner.imperfektion[0].art = 1;
    g_rechner.imperfektion[0].Kriech_CKAusm = 1;
    g_rechner.imperfektion[0].teiler = 200.0;
    Eigen(0) = 2.0;
    Eigen(1) = 8.0;
    Eigen(5) = 2.0;  // (v1, w1) = (0, 2)
    for (int n = 0; n < K; ++n)
        Form(0, n, 2) = 2.0 * g_rechner.x[n] * g_rechner.x[n] / 16.0;
    Verformung(K - 1, 2) = -0.003;  // deflected towards -z: alfa0 = -90
    g_rechner.RechneVorverformungen(0, 0);
    // alfa0 = -90, alfaE = 90: beta = 180, fy = -1: the magnitude is the same, the sign that of w00
    EXPECT_NEAR(Vor(K - 1, 1), -4.0 / 200.0, 1e-15);
    for (int n = 0; n < K; ++n) {
        EXPECT_NEAR(Vor(n, 1), -4.0 / 200.0 * g_rechner.x[n] * g_rechner.x[n] / 16.0, 1e-15) << n;
        EXPECT_EQ(Vor(n, 0), 0.0);
    }
}

TEST_F(Vorverformung, ReferenceNodeWithoutDeflectionIsReportedOnce)
{
    // kind 3 with the eccentricity at the foot (field end 0), where every mode is 0
    g_rechner.imperfektion[0].art = 3;
    g_rechner.imperfektion[0].Kriech_CKAusm = 0;
    g_rechner.imperfektion[0].Kriech_Bzkn = 0;
    g_rechner.imperfektion[0].ausmitte = 2.0;
    Eigen(0) = 2.0;
    Eigen(1) = 8.0;
    Eigen(4) = 1.0;
    for (int n = 0; n < K; ++n) {
        Form(0, n, 1) = g_rechner.x[n];
        Form(1, n, 2) = g_rechner.x[n];
    }
    // the computing routine returns the code; the message comes from the one place that turns it into text
    EXPECT_EQ(g_rechner.RechneVorverformungen(0, 0), kVorverformungOhneBezug);
    EXPECT_TRUE(win::msgbox::Log().empty());
    g_rechner.MeldeVorverformungen(kVorverformungOhneBezug);
    ASSERT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_EQ(win::msgbox::Log()[0].text,
              "Achtung! Bezugknoten hat res. Verformung 0.0! Ausmitte kann nicht angesetzt werden!");
    for (int n = 0; n < K; ++n)
        EXPECT_LT(std::fabs(Vor(n, 0)), 1e-9);
}

TEST_F(Vorverformung, EccentricityAtTheReferenceNode)
{
    // kind 1, reference field end 1 (x = 2 m, node 2): the first mode (along y) scaled so that it
    // is e = 2 cm there; fakteig = 4, alfa0 = alfaE = 0: fy = 1, fz = 0.
    g_rechner.imperfektion[0].art = 1;
    g_rechner.imperfektion[0].Kriech_CKAusm = 0;
    g_rechner.imperfektion[0].Kriech_Bzkn = 1;
    g_rechner.imperfektion[0].ausmitte = 2.0;
    Eigen(0) = 2.0;
    Eigen(1) = 8.0;
    Eigen(4) = 0.5;
    for (int n = 0; n < K; ++n)
        Form(0, n, 1) = 0.5 * g_rechner.x[n] / 4.0;
    Verformung(K - 1, 1) = 0.001;
    EXPECT_EQ(g_rechner.RechneVorverformungen(0, 0), 0);
    ASSERT_DOUBLE_EQ(g_rechner.x[2], 2.0);
    EXPECT_NEAR(Vor(2, 0), 0.02, 1e-15);
    EXPECT_NEAR(Vor(K - 1, 0), 0.04, 1e-15);
    EXPECT_TRUE(win::msgbox::Log().empty());
}

TEST_F(Vorverformung, CreepPartJoinsTheInclination)
{
    // kind 2: inclination components (w 1/300, v 1/150) plus the creep deformation x phi/(phi + 1)
    g_rechner.kriechZahl = 2.0;
    ImperfektionsEingabe& imp = g_rechner.imperfektion[0];
    imp.art = 2;
    imp.komponenten = 1;
    imp.neigungW = 1.0 / 300.0;
    imp.neigungV = 1.0 / 150.0;
    Eigen(0) = 2.0;
    Eigen(1) = 8.0;
    Eigen(4) = 1.0;
    for (int n = 0; n < K; ++n) {
        Kriechen(n, 1) = 0.003 * n;
        Kriechen(n, 2) = -0.006 * n;
    }
    g_rechner.RechneVorverformungen(0, 0);
    for (int n = 0; n < K; ++n) {
        const double x = g_rechner.x[n];
        EXPECT_NEAR(Vor(n, 0), x / 150.0 + 0.002 * n, 1e-15) << n;
        EXPECT_NEAR(Vor(n, 1), -0.004 * n - x / 300.0, 1e-15) << n;
    }
    // psiy = -dw0/dx, psiz = dv0/dx with dx = 1 m
    EXPECT_NEAR(Vor(0, 2), 0.004 + 1.0 / 300.0, 1e-15);
    EXPECT_NEAR(Vor(0, 3), 1.0 / 150.0 + 0.002, 1e-15);
}
