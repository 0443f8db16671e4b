// The analytic derivatives of the section resultants, against a hand-worked section and against central
// differences of the resultants over every branch of the laws.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "section_fixture.h"

using namespace section_test;

namespace {

LawDef Exponent(double n)
{
    LawDef l = Parabola();
    l.n = n;
    return l;
}

// The resultants in the strain state's order N, Mz, My.
void Kraefte(cBem& b, const double x[3], double F[3])
{
    b.m_eps0 = x[0];
    b.m_ky = x[1];
    b.m_kz = x[2];
    b.spareq(2, 0.0, 99.0, F[0], F[2], F[1]);
}

}  // namespace

TEST(BemTangente, LinearRectangleByHand)
{
    // 30 x 50 cm from z = 0 to -0.5 m, exponent 1: slope fcd/|eps1| = 10000 kN/m2 per mille for -2 < eps < 0.
    // The plane eps = -1 + z keeps every fibre there. About the origin (state 2, no reference point):
    //   dN/deps0 = 10000 A = 1500, dN/dkz = dMy/deps0 = 10000 (-0.3 0.5^2/2) = -375,
    //   dMy/dkz = 10000 (0.3 0.5^3/3) = 125, dMz/dky = -10000 (0.5 0.3^3/12) = -11.25, the rest 0 by symmetry.
    // About (0, -0.25) (state 0), My - zr N: dMy/deps0 = -375 + 0.25 1500 = 0, dMy/dkz = 125 - 0.25 375 = 31.25.
    struct Fall {
        int zustand;
        double zr, J[3][3];
    };
    const Fall faelle[2] = {{2, 0.0, {{1500, 0, -375}, {0, -11.25, 0}, {-375, 0, 125}}},
                            {0, -0.25, {{1500, 0, -375}, {0, -11.25, 0}, {0, 0, 31.25}}}};
    for (const Fall& f : faelle) {
        cBem b;
        Baue(b, Exponent(1.0), {Rechteck(30, 50)}, {});
        b.m_zustand = f.zustand;
        b.m_zr = f.zr;
        b.m_eps0 = -1.0;
        b.m_kz = 1.0;
        double J[3][3];
        b.Tangente(J);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR(J[i][j], f.J[i][j], 1e-9) << f.zustand << ": " << i << "," << j;
    }
}

TEST(BemTangente, AgreesWithCentralDifferences)
{
    // exponents 1 and 2 (Gauss points), 3, and 1.55 (closed-form branch integrals); a scaled design group
    const double a = 3.14159e-4;
    const std::vector<Stab> drei = {{0, -5, a}, {0, -35, a}, {15, -20, a}};
    struct {
        Poly poly;
        std::vector<Stab> staebe;
        double n;
    } faelle[] = {{Rechteck(30, 50), AchtStaebe(), 2.0},
                  {Rechteck(30, 50), AchtStaebe(), 1.0},
                  {Kreis20(20, -20, -1), drei, 1.55},
                  {Kreis20(30, -30, -1), drei, 3.0},
                  {TQuerschnitt(60, 15, 20, 60), drei, 1.55}};
    std::mt19937 rng(4711);
    std::uniform_real_distribution<double> e0d(-4.0, 6.0), kd(-30.0, 30.0), pick(0.0, 1.0);
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.n);
        cBem b;
        Baue(b, Exponent(fall.n), {fall.poly}, fall.staebe);
        b.m_zustand = 0;
        b.m_yr = 0.01;
        b.m_zr = -0.2;
        b.bwfakt = 1.7;
        b.m_bemgr[b.m_nqgr] = 1;
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
            for (int q = 0; q < 9; ++q)
                scale = std::max(scale, std::fabs(J[q / 3][q % 3]));
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
