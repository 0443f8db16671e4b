// The analytic derivatives of the section resultants, against a hand-worked section and against central
// differences of the resultants over every branch of the laws.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "section_fixture.h"

using namespace section_test;

namespace {

// The resultants as the strain-state iteration orders them: N, Mz, My.
void Kraefte(cBem& b, const double x[3], double F[3])
{
    b.m_eps0 = x[0];
    b.m_ky = x[1];
    b.m_kz = x[2];
    double N, My, Mz;
    b.spareq(2, 0.0, 99.0, N, My, Mz);
    F[0] = N;
    F[1] = Mz;
    F[2] = My;
}

struct TangentenFall {
    const char* name;
    std::vector<Poly> polys;
    std::vector<Stab> staebe;
    LawDef beton;
};

std::vector<TangentenFall> Faelle()
{
    const double a = 3.14159e-4;
    LawDef linear = Parabola();
    linear.n = 1.0;
    LawDef potenz = Parabola();  // non-integer exponent: the closed-form branch integrals
    potenz.n = 1.55;
    LawDef kubisch = Parabola();
    kubisch.n = 3.0;
    std::vector<Stab> ring;
    const Poly p = Kreis20(24, -30, -1);
    for (int k = 0; k < 20; k += 2)
        ring.push_back({p.y[k], p.z[k], a});
    return {{"rechteck_parabel", {Rechteck(30, 50)}, AchtStaebe(), Parabola()},
            {"rechteck_linear", {Rechteck(30, 50)}, AchtStaebe(), linear},
            {"kreis_potenz", {Kreis20(20, -20, -1)}, {{0, -5, a}, {0, -35, a}, {15, -20, a}}, potenz},
            {"ring_kubisch", {Kreis20(30, -30, -1), Kreis20(20, -30, 1)}, ring, kubisch},
            {"t_potenz", {TQuerschnitt(60, 15, 20, 60)}, {{-5, -55, a}, {5, -55, a}, {-25, -5, a}}, potenz}};
}

}  // namespace

TEST(BemTangente, LinearRectangleByHand)
{
    // 30 x 50 cm from z = 0 down to -0.5 m, law of exponent 1: slope fcd/|eps1| = 20000/2 = 10000 kN/m2 per
    // mille while -2 < eps < 0. The plane eps = -1 + z (-1 at the top, -1.5 at the bottom) keeps every fibre
    // there, so with moments about the origin (the state before a reference point):
    //   dN/deps0 = 10000 A = 1500,   dN/dkz = dMy/deps0 = 10000 int z dA = 10000 (-0.3 0.5^2 / 2) = -375,
    //   dMy/dkz = 10000 int z^2 dA = 10000 (0.3 0.5^3 / 3) = 125,   dMz/dky = -10000 (0.5 0.3^3 / 12) = -11.25,
    //   and by symmetry in y: dN/dky = dMz/deps0 = dMz/dkz = dMy/dky = 0.
    LawDef linear = Parabola();
    linear.n = 1.0;
    cBem b;
    Baue(b, linear, {Rechteck(30, 50)}, {});
    b.m_zustand = 2;
    b.m_eps0 = -1.0;
    b.m_ky = 0.0;
    b.m_kz = 1.0;
    double J[3][3];
    b.Tangente(J);
    const double erwartet[3][3] = {{1500.0, 0.0, -375.0}, {0.0, -11.25, 0.0}, {-375.0, 0.0, 125.0}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(J[i][j], erwartet[i][j], 1e-9) << i << "," << j;
}

TEST(BemTangente, ReferencePointShiftsTheMoments)
{
    // With the reference point (0, -0.25) the moment My - zr N changes by -zr dN: dMy/deps0 = -375 + 0.25 1500
    // = 0 and dMy/dkz = 125 + 0.25 (-375) = 31.25 = 10000 0.3 0.5^3 / 12 (about the centroid).
    LawDef linear = Parabola();
    linear.n = 1.0;
    cBem b;
    Baue(b, linear, {Rechteck(30, 50)}, {});
    b.m_zustand = 0;
    b.m_yr = 0.0;
    b.m_zr = -0.25;
    b.m_eps0 = -1.0;
    b.m_kz = 1.0;
    double J[3][3];
    b.Tangente(J);
    EXPECT_NEAR(J[2][0], 0.0, 1e-9);
    EXPECT_NEAR(J[2][2], 31.25, 1e-9);
    EXPECT_NEAR(J[0][2], -375.0, 1e-9);
}

TEST(BemTangente, AgreesWithCentralDifferences)
{
    std::mt19937 rng(4711);
    std::uniform_real_distribution<double> e0d(-4.0, 6.0), kd(-30.0, 30.0), pick(0.0, 1.0);
    for (const TangentenFall& fall : Faelle()) {
        SCOPED_TRACE(fall.name);
        cBem b;
        Baue(b, fall.beton, fall.polys, fall.staebe);
        b.m_zustand = 0;
        b.m_yr = 0.01;
        b.m_zr = -0.2;
        b.bwfakt = 1.7;
        b.m_bemgr[b.m_nqgr] = 1;  // one scaled design group
        for (int k = 0; k < 200; ++k) {
            double x[3] = {e0d(rng), kd(rng), kd(rng)};
            const double wahl = pick(rng);
            if (wahl < 0.1)
                x[1] = 0.0;  // curvature about one axis only
            else if (wahl < 0.15)
                x[2] = 1e-7;  // strain nearly constant along the edges of one direction
            double F[3], J[3][3];
            Kraefte(b, x, F);
            b.Tangente(J);
            double scale = 1.0;
            for (const auto& zeile : J)
                for (double v : zeile)
                    scale = std::max(scale, std::fabs(v));
            for (int j = 0; j < 3; ++j) {
                const double h = 1e-6 * std::max(1.0, std::fabs(x[j]));
                double xp[3] = {x[0], x[1], x[2]}, xm[3] = {x[0], x[1], x[2]}, Fp[3], Fm[3];
                xp[j] += h;
                xm[j] -= h;
                Kraefte(b, xp, Fp);
                Kraefte(b, xm, Fm);
                for (int i = 0; i < 3; ++i)
                    ASSERT_NEAR(J[i][j], (Fp[i] - Fm[i]) / (2.0 * h), 1e-5 * scale)
                        << "row " << i << " col " << j << " plane " << x[0] << " " << x[1] << " " << x[2];
            }
        }
    }
}

TEST(BemTangente, StrainStateMeetsItsForces)
{
    // The strain state found for forces taken from a known plane reproduces them: the Newton steps on the
    // analytic slope end on the plane (N, My, Mz of the residual within 1e-4 of their size).
    cBem b;
    Baue(b, Parabola(), {Rechteck(30, 50)}, AchtStaebe());
    b.m_zustand = 0;
    b.BerechneBezugspunkt();
    const double ebenen[3][3] = {{-0.8, 2.0, 3.0}, {-0.5, 0.0, 6.0}, {-1.2, -4.0, 1.5}};
    for (const auto& e : ebenen) {
        double F[3];
        Kraefte(b, e, F);
        double N = F[0], My = F[2], Mz = F[1], dmdk = 0.0;
        int code = -1;
        b.DEHNZU(N, My, Mz, -0.3, 0.0, 0.0, dmdk, code);
        ASSERT_EQ(code, 0);
        EXPECT_NEAR(b.m_eps0, e[0], 1e-3);
        EXPECT_NEAR(b.m_ky, e[1], 1e-3);
        EXPECT_NEAR(b.m_kz, e[2], 1e-3);
        EXPECT_NEAR(N, F[0], 1e-4 * std::fabs(F[0]));
        EXPECT_GT(dmdk, 0.0);
    }
}
