// Section values, the stress-strain law and the exact stress resultants of the design object.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/bem.h"
#include "engine/utilities.h"
#include "tests/engine/section_fixture.h"

using namespace section_test;

namespace {

// ---- section values against closed forms --------------------------------------------------------------

struct WerteFall {
    const char* name;
    std::vector<Poly> polys;
    double A, ys, zs, Iy, Iz;  // m2, m, m4
};

// Regular 20-gon of circumradius R (m): A = 10 R^2 sin(18 deg); I = 20 R^4 / 24 sin(18 deg) (2 + cos(18 deg)).
double A20(double R)
{
    return 10.0 * R * R * std::sin(kPi / 10.0);
}
double I20(double R)
{
    return 20.0 * R * R * R * R / 24.0 * std::sin(kPi / 10.0) * (2.0 + std::cos(kPi / 10.0));
}

std::vector<WerteFall> WerteFaelle()
{
    std::vector<WerteFall> f;
    // rectangle 30 x 50 cm: A = 0.15, zs = -0.25, Iy = 0.3 * 0.5^3 / 12, Iz = 0.5 * 0.3^3 / 12
    f.push_back({"rechteck", {Rechteck(30, 50)}, 0.15, 0.0, -0.25, 0.3 * 0.125 / 12.0, 0.5 * 0.027 / 12.0});
    // 20-gon of R = 0.2 around z = -0.2
    f.push_back({"kreis", {Kreis20(20, -20, -1)}, A20(0.2), 0.0, -0.2, I20(0.2), I20(0.2)});
    // ring: 20-gon R = 0.3 minus a clockwise 20-gon R = 0.2, both around z = -0.3
    f.push_back({"ring",
                 {Kreis20(30, -30, -1), Kreis20(20, -30, 1)},
                 A20(0.3) - A20(0.2),
                 0.0,
                 -0.3,
                 I20(0.3) - I20(0.2),
                 I20(0.3) - I20(0.2)});
    // T: flange 60 x 15, web 20 x 45 (h = 60). Pieces: flange A1 = 0.09 at z = -0.075, web A2 = 0.09 at
    // z = -0.375; zs = -0.225. Iy = 0.6*0.15^3/12 + 0.09*0.15^2 + 0.2*0.45^3/12 + 0.09*0.15^2;
    // Iz = 0.15*0.6^3/12 + 0.45*0.2^3/12.
    const double iy = 0.6 * std::pow(0.15, 3) / 12 + 0.09 * 0.0225 + 0.2 * std::pow(0.45, 3) / 12 + 0.09 * 0.0225;
    const double iz = 0.15 * std::pow(0.6, 3) / 12 + 0.45 * std::pow(0.2, 3) / 12;
    f.push_back({"t", {TQuerschnitt(60, 15, 20, 60)}, 0.18, 0.0, -0.225, iy, iz});
    return f;
}

TEST(BemQuerschnittswerte, ClosedForms)
{
    for (const WerteFall& c : WerteFaelle()) {
        SCOPED_TRACE(c.name);
        cBem b;
        Baue(b, Parabola(), c.polys, {});
        const QuerschnittsWerte w = b.BerechneQuerschnittswerte();
        EXPECT_NEAR(w.A, c.A, 1e-12 * c.A + 1e-15);
        EXPECT_NEAR(w.ys, c.ys, 1e-12);
        EXPECT_NEAR(w.zs, c.zs, 1e-12);
        EXPECT_NEAR(w.Iy, c.Iy, 1e-10 * c.Iy);
        EXPECT_NEAR(w.Iz, c.Iz, 1e-10 * c.Iz);
        EXPECT_NEAR(b.m_ac, c.A, 1e-12);
    }
}

TEST(BemQuerschnittswerte, RecordCarriesStiffnesses)
{
    cBem b;
    Baue(b, Parabola(), {Rechteck(30, 50)}, {});
    QuerschnittsRecord r;
    b.HoleQuerschnittswerte(r);
    // E of material 1 is 33000; the record holds 1000 E, the object E I
    EXPECT_DOUBLE_EQ(r.E1000, 33.0e6);
    EXPECT_NEAR(r.Imin, 0.5 * 0.027 / 12.0, 1e-15);
    EXPECT_NEAR(b.m_EIy, 33000.0 * 0.3 * 0.125 / 12.0, 1e-9);
}

TEST(BemGruppen, PolygonOrientationAndBars)
{
    cBem b;
    Poly cw = Rechteck(30, 50);
    std::reverse(cw.y.begin(), cw.y.end());
    std::reverse(cw.z.begin(), cw.z.end());
    Baue(b, Parabola(), {cw}, {{0, -5, 2.0e-4}});
    EXPECT_NEAR(b.m_agr[1], -0.15, 1e-12);  // opposite orientation counts negative
    EXPECT_EQ(b.m_gpoly[1], 1);
    EXPECT_DOUBLE_EQ(b.m_agr[2], 2.0e-4);  // a one-bar group holds that bar's area
    EXPECT_EQ(b.m_gpoly[2], 0);
}

TEST(BemGruppen, MoreThanHundredPointsRefused)
{
    cBem b;
    Baue(b, Parabola(), {Kreis20(20, -20, -1)}, {});
    std::vector<double> y(81, 0.0), z(81, 0.0);
    for (int k = 0; k < 81; ++k)
        y[k] = k;
    EXPECT_EQ(b.SetzeQuerGruppe(2, 81, 1, 1, y.data(), z.data(), nullptr, -1), 1);
    EXPECT_EQ(b.m_nqgr, 1);
    EXPECT_EQ(b.SetzeQuerGruppe(2, 80, 1, 1, y.data(), z.data(), nullptr, -1), 0);
}

TEST(BemMaterial, FinishingNeedsConcreteAndSteel)
{
    cBem b;
    const double c[7] = {kFcd, -2.0, -3.5, 0, 0, 2, 33000};
    EXPECT_EQ(b.SetzeMaterial(-2, nullptr), -2);  // nothing defined
    b.SetzeMaterial(1, c);
    EXPECT_EQ(b.SetzeMaterial(-2, nullptr), -2);  // no steel
    const double s[7] = {kFyd, -kEpsYd, kEpsUd, 0, kEpsYd, 1, 0};
    b.SetzeMaterial(2, s);
    EXPECT_EQ(b.SetzeMaterial(-2, nullptr), 0);
    EXPECT_DOUBLE_EQ(b.m_epscu, -3.5);
    EXPECT_DOUBLE_EQ(b.m_eps1c, -2.0);
    EXPECT_DOUBLE_EQ(b.m_epsud, kEpsUd);
    EXPECT_EQ(b.SetzeMaterial(31, s), -1);
}

// ---- the law --------------------------------------------------------------------------------------------

TEST(BemGesetz, BranchesOfTheLaw)
{
    cBem b;
    Baue(b, Parabola(), {Rechteck(30, 50)}, {});
    const double t = b.ZugFaktor(1, false);
    EXPECT_EQ(t, 0.0);  // m_eps2b empty: no concrete tension
    EXPECT_EQ(b.Spannung(1, 0.0, t), 0.0);
    // parabola at eps = -1: -f (1 - (1 - 0.5)^2) = -0.75 f
    EXPECT_NEAR(b.Spannung(1, -1.0, t), -0.75 * kFcd, 1e-9);
    EXPECT_DOUBLE_EQ(b.Spannung(1, -3.0, t), -kFcd);  // plateau beyond eps1
    // steel: linear to the yield strain, plateau beyond, both signs
    EXPECT_NEAR(b.Spannung(2, 1.0, b.ZugFaktor(2, false)), 200000.0, 1e-6);
    EXPECT_DOUBLE_EQ(b.Spannung(2, 10.0, b.ZugFaktor(2, false)), kFyd);
    EXPECT_DOUBLE_EQ(b.Spannung(2, -10.0, b.ZugFaktor(2, false)), -kFyd);
}

TEST(BemGesetz, ConcreteTensionFactor)
{
    cBem b;
    LawDef a = Parabola();
    a.n = 1.0;
    a.e4 = 1.9;  // -0.95 eps1
    Baue(b, a, {Rechteck(30, 50)}, {});
    b.m_eps2b = 1.0;
    // c = (2 - 1)/(2 - 1.9) = 10 -> 1; T = -(1.9 f / -2) = 0.95 f
    EXPECT_NEAR(b.ZugFaktor(1, false), 0.95 * kFcd, 1e-9);
    b.m_eps2b = 1.95;
    // c = 0.05 / 0.1 = 0.5
    EXPECT_NEAR(b.ZugFaktor(1, false), 0.475 * kFcd, 1e-9);
}

TEST(BemHelfer, SmallRoutines)
{
    EXPECT_DOUBLE_EQ(engine::Angle(0.0, 0.0), kPi / 2.0);
    EXPECT_DOUBLE_EQ(engine::Angle(1.0, 0.0), kPi / 2.0);
    EXPECT_DOUBLE_EQ(engine::Angle(0.0, -1.0), kPi);
    EXPECT_EQ(cBem::Vorzeichen(-3.0, 0.0), 3.0);
    EXPECT_EQ(cBem::Vorzeichen(3.0, -1.0), -3.0);
    EXPECT_EQ(cBem::MatIndex(0), -1);
    EXPECT_EQ(cBem::MatIndex(5), 149);
    double u = 0.0;
    const double y[4] = {0, 3, 3, 0}, z[4] = {0, 0, 4, 4};
    EXPECT_DOUBLE_EQ(cBem::PolygonFlaeche(4, y, z, u), 12.0);
    EXPECT_DOUBLE_EQ(u, 14.0);
    EXPECT_DOUBLE_EQ(cBem::GammaAusDehnung(0.0), 2.1);
    EXPECT_DOUBLE_EQ(cBem::GammaAusDehnung(-1.0), 2.1);
    EXPECT_DOUBLE_EQ(cBem::GammaAusDehnung(3.0), 1.75);
    EXPECT_DOUBLE_EQ(cBem::GammaAusDehnung(5.0), 1.75);
    EXPECT_NEAR(cBem::GammaAusDehnung(1.5), 1.925, 1e-12);
}

TEST(BemAsBewehrung, LayoutSlots)
{
    cBem b;
    Baue(b, Parabola(), {Rechteck(30, 50)}, {{10, -5, 1e-4}, {10, -45, 2e-4}});
    b.m_bemgr[2] = b.m_bemgr[3] = 1;
    b.m_exbemgr[3] = 2;
    b.bwfakt = 2.0;
    double as[5];
    b.m_bwbild = -2;
    b.AsBewehrung(as);
    EXPECT_NEAR(as[0], 2.0, 1e-12);  // 2 x 1 cm2, upper group
    EXPECT_NEAR(as[1], 4.0, 1e-12);  // 2 x 2 cm2, lower group
    b.m_bwbild = 3;
    b.AsBewehrung(as);
    EXPECT_NEAR(as[3], 6.0, 1e-12);
    EXPECT_EQ(as[0] + as[1] + as[2] + as[4], 0.0);
    b.m_bwbild = 7;
    b.AsBewehrung(as);
    EXPECT_EQ(as[0] + as[1] + as[2] + as[3] + as[4], 0.0);
}

TEST(BemNullinie, RectangleTensionZone)
{
    // plane eps = 1 + 10 z (z in m, top at 0): zero line at z = -0.1; tension zone 30 x 10 cm on top.
    cBem b;
    Baue(b, Parabola(), {Rechteck(30, 50)}, {});
    b.m_eps0 = 1.0;
    b.m_ky = 0.0;
    b.m_kz = 10.0;
    double s = 0.0;
    b.sigeps(s);
    double b0 = 0.0, zug = 0.0;
    b.BerechneNullinienbreite(b0, zug);
    EXPECT_NEAR(zug, 0.03, 1e-12);
    EXPECT_NEAR(b0, 0.3, 1e-12);
}

// ---- resultants against a fine fibre integration ---------------------------------------------------------

double Law(const LawDef& d, double t, double eps)
{
    if (eps < 0.0)
        return eps <= d.e1 ? -d.f : -d.f * (1.0 - std::pow(1.0 - eps / d.e1, d.n));
    if (d.e4 <= 0.0)
        return 0.0;
    return eps >= d.e4 ? t : t * (1.0 - std::pow(1.0 - eps / d.e4, d.n));
}

// Area and first moments (m2, m3) of the part of a polygon (corners y, z in m with u = dy y + dz z)
// where u <= c.
void Teil(int n, const double* py, const double* pz, const double* pu, double c, double out[3])
{
    double y[64], z[64];
    int m = 0;
    for (int k = 0; k < n; ++k) {
        const int j = k + 1 == n ? 0 : k + 1;
        const double ua = pu[k] - c, ub = pu[j] - c;
        if (ua <= 0.0) {
            y[m] = py[k];
            z[m++] = pz[k];
        }
        if ((ua < 0.0 && ub > 0.0) || (ua > 0.0 && ub < 0.0)) {
            const double s = ua / (ua - ub);
            y[m] = py[k] + s * (py[j] - py[k]);
            z[m++] = pz[k] + s * (pz[j] - pz[k]);
        }
    }
    out[0] = out[1] = out[2] = 0.0;
    for (int k = 0; k < m; ++k) {
        const int j = k + 1 == m ? 0 : k + 1;
        const double cr = y[k] * z[j] - y[j] * z[k];
        out[0] += cr;
        out[1] += (y[k] + y[j]) * cr;
        out[2] += (z[k] + z[j]) * cr;
    }
    out[0] /= 2.0;
    out[1] /= 6.0;
    out[2] /= 6.0;
}

struct Ergebnis {
    double N = 0, My = 0, Mz = 0, absN = 0, absM = 0;
};

// Thin layers across the strain gradient: exact area and centroid of each layer, the stress at its
// centroid. Layer borders also fall on the corners and on the strains where the law changes its branch,
// so that every layer sees a smooth law over a linearly varying width.
Ergebnis Fasern(const std::vector<Poly>& polys, const std::vector<Stab>& staebe, const LawDef& beton, double tb,
                double e0, double ky, double kz, int nLayers, int fein)
{
    Ergebnis r;
    const double g = std::hypot(ky, kz);
    const double dy = g > 0 ? ky / g : 1.0, dz = g > 0 ? kz / g : 0.0;
    for (const Poly& p : polys) {
        const int n = static_cast<int>(p.y.size());
        double py[64], pz[64], pu[64];
        double umin = 1e30, umax = -1e30;
        std::vector<double> grenzen;
        for (int k = 0; k < n; ++k) {
            py[k] = p.y[k] * 0.01;
            pz[k] = p.z[k] * 0.01;
            pu[k] = dy * py[k] + dz * pz[k];
            umin = std::min(umin, pu[k]);
            umax = std::max(umax, pu[k]);
            grenzen.push_back(pu[k]);
        }
        if (g > 0)
            for (double lim : {beton.e1, 0.0, beton.e4}) {
                const double u = (lim - e0) / g;
                if (u > umin && u < umax)
                    grenzen.push_back(u);
            }
        std::sort(grenzen.begin(), grenzen.end());
        // each band between corners and branch limits gets layers of its own equal width
        std::vector<double> schichten{grenzen.front()};
        for (std::size_t i = 1; i < grenzen.size(); ++i) {
            const double len = grenzen[i] - grenzen[i - 1];
            if (len <= 0.0)
                continue;
            const int m = fein * std::max(2, static_cast<int>(std::ceil(len / (umax - umin) * nLayers)));
            for (int k = 1; k <= m; ++k)
                schichten.push_back(grenzen[i - 1] + len * k / m);
        }
        grenzen.swap(schichten);
        grenzen.front() -= 1e-12;
        grenzen.back() += 1e-12;
        double prev[3];
        Teil(n, py, pz, pu, grenzen.front(), prev);
        for (std::size_t s = 1; s < grenzen.size(); ++s) {
            double cur[3];
            Teil(n, py, pz, pu, grenzen[s], cur);
            const double dA = cur[0] - prev[0], dSy = cur[1] - prev[1], dSz = cur[2] - prev[2];
            if (dA != 0.0) {
                const double yc = dSy / dA, zc = dSz / dA;
                const double sig = Law(beton, tb, e0 + ky * yc + kz * zc);
                r.N += sig * dA;
                r.My += sig * dSz;
                r.Mz -= sig * dSy;
                r.absN += std::fabs(sig * dA);
                r.absM += std::fabs(sig * dA) * std::hypot(yc, zc);
            }
            std::copy(cur, cur + 3, prev);
        }
    }
    const LawDef st = Stahl();
    for (const Stab& s : staebe) {
        const double y = s.y * 0.01, z = s.z * 0.01;
        const double F = Law(st, kFyd, e0 + ky * y + kz * z) * s.a;
        r.N += F;
        r.My += F * z;
        r.Mz -= F * y;
        r.absN += std::fabs(F);
        r.absM += std::fabs(F) * std::hypot(y, z);
    }
    return r;
}

struct FormFall {
    const char* name;
    std::vector<Poly> polys;
    std::vector<Stab> staebe;
};

std::vector<FormFall> FormFaelle()
{
    const double a = 3.14159e-4;
    std::vector<Stab> ringStaebe;
    const Poly kreisStaebe = Kreis20(24, -30, -1);
    for (int k = 0; k < 20; k += 2)
        ringStaebe.push_back({kreisStaebe.y[k], kreisStaebe.z[k], a});
    return {{"rechteck", {Rechteck(30, 50)}, AchtStaebe()},
            {"kreis", {Kreis20(20, -20, -1)}, {{0, -5, a}, {0, -35, a}, {15, -20, a}, {-15, -20, a}}},
            {"ring", {Kreis20(30, -30, -1), Kreis20(20, -30, 1)}, ringStaebe},
            {"t", {TQuerschnitt(60, 15, 20, 60)}, {{-5, -55, a}, {5, -55, a}, {-25, -5, a}, {25, -5, a}}}};
}

struct GesetzFall {
    const char* name;
    LawDef law;
    double eps2b;  // sets the concrete tension factor
};

std::vector<GesetzFall> GesetzFaelle()
{
    LawDef linear = Parabola();  // exponent 1 with concrete tension up to 0.95 |eps1|
    linear.n = 1.0;
    linear.e4 = 1.9;
    LawDef potenz = Parabola();  // a non-integer exponent with tension
    potenz.n = 1.55;
    potenz.e4 = 1.9;
    return {{"parabel", Parabola(), kBemLeer}, {"linear_zug", linear, 1.0}, {"potenz_zug", potenz, 1.2}};
}

TEST(BemSpareq, RandomPlanesAgreeWithFibreIntegration)
{
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> e0d(-5.0, 4.0), kd(-40.0, 40.0), pick(0.0, 1.0);
    for (const FormFall& form : FormFaelle()) {
        for (const GesetzFall& gf : GesetzFaelle()) {
            SCOPED_TRACE(std::string(form.name) + "/" + gf.name);
            cBem b;
            Baue(b, gf.law, form.polys, form.staebe);
            b.m_zustand = 0;
            b.m_eps2b = gf.eps2b;
            const double tb = b.ZugFaktor(1, false);
            const int planes = gf.law.n == 2.0 ? 1000 : 100;
            for (int k = 0; k < planes; ++k) {
                double e0 = e0d(rng), ky = kd(rng), kz = kd(rng);
                const double wahl = pick(rng);
                if (wahl < 0.05)
                    ky = kz = 0.0;  // uniform strain
                else if (wahl < 0.1)
                    ky = 0.0;
                else if (wahl < 0.15)
                    kz = 1e-7;  // nearly parallel to an axis
                b.m_eps0 = e0;
                b.m_ky = ky;
                b.m_kz = kz;
                double N, My, Mz;
                b.spareq(2, 0.0, 99.0, N, My, Mz);
                // layers of 2h and h, extrapolated (the layer error is smooth in h^2)
                const Ergebnis grob = Fasern(form.polys, form.staebe, gf.law, tb, e0, ky, kz, 400, 1);
                Ergebnis ref = Fasern(form.polys, form.staebe, gf.law, tb, e0, ky, kz, 400, 2);
                ref.N = (4.0 * ref.N - grob.N) / 3.0;
                ref.My = (4.0 * ref.My - grob.My) / 3.0;
                ref.Mz = (4.0 * ref.Mz - grob.Mz) / 3.0;
                const double sN = std::max(ref.absN, 1.0), sM = std::max(ref.absM, 1.0);
                ASSERT_NEAR(N, ref.N, 1e-6 * sN) << "plane " << e0 << " " << ky << " " << kz;
                ASSERT_NEAR(My, ref.My, 1e-6 * sM) << "plane " << e0 << " " << ky << " " << kz;
                ASSERT_NEAR(Mz, ref.Mz, 1e-6 * sM) << "plane " << e0 << " " << ky << " " << kz;
                // the split into compression and tension adds up
                ASSERT_NEAR(b.m_druck.N + b.m_zug.N, N, 1e-9 * sN);
                ASSERT_LE(b.m_druck.N, 1e-9 * sN);
                ASSERT_GE(b.m_zug.N, -1e-9 * sN);
            }
        }
    }
}

TEST(BemSpareq, UniformShorteningOfRectangle)
{
    // eps = -2.5 everywhere: concrete on its plateau, bars at E eps = 500000 > fyd -> -fyd.
    cBem b;
    Baue(b, Parabola(), {Rechteck(30, 50)}, AchtStaebe());
    b.m_zustand = 0;
    b.m_eps0 = -2.5;
    double N, My, Mz;
    b.spareq(2, 0.0, 99.0, N, My, Mz);
    EXPECT_NEAR(N, -(kFcd * 0.15 + kFyd * 8 * 3.14159e-4), 1e-6);
    // the moment about the origin is N times the centroid depth -0.25
    EXPECT_NEAR(My, N * -0.25, 1e-6);
    EXPECT_NEAR(Mz, 0.0, 1e-9);
}

TEST(BemSpareq, ReferencePointTransfersMoments)
{
    cBem b;
    Baue(b, Parabola(), {Rechteck(30, 50)}, AchtStaebe());
    b.m_zustand = 0;
    b.m_yr = 0.0;
    b.m_zr = -0.25;
    b.m_eps0 = -2.5;
    double N, My, Mz;
    b.spareq(2, 0.0, 99.0, N, My, Mz);
    EXPECT_NEAR(My, 0.0, 1e-6);
}

TEST(BemDehn12, DomainsZeroAndThirtyThreeAreUniform)
{
    cBem b;
    Baue(b, Parabola(), {Rechteck(30, 50)}, AchtStaebe());
    for (double alpha : {0.3, 1.9, -2.5}) {
        b.m_eps0 = 0.0;
        b.m_ky = std::cos(alpha);
        b.m_kz = std::sin(alpha);
        int flag = 0;
        b.dehn12(0.0, flag);
        EXPECT_NEAR(b.m_ky, 0.0, 1e-12);
        EXPECT_NEAR(b.m_kz, 0.0, 1e-12);
        EXPECT_NEAR(b.m_eps0, -2.0, 1e-12);
        b.m_ky = std::cos(alpha);
        b.m_kz = std::sin(alpha);
        b.m_eps0 = 0.0;
        b.dehn12(33.0, flag);
        EXPECT_NEAR(b.m_eps0, kEpsUd, 1e-9);
        EXPECT_NEAR(std::hypot(b.m_ky, b.m_kz), 0.0, 1e-12);
    }
}

TEST(BemDehn12, DomainSixteenPutsUltimateStrainsAtTheEdges)
{
    // alpha = 90 deg: eps = z; concrete bottom (z = -0.5) at eps_cu, top bars (z = -0.05) at eps_ud.
    cBem b;
    Baue(b, Parabola(), {Rechteck(30, 50)}, AchtStaebe());
    b.m_eps0 = 0.0;
    b.m_ky = 0.0;
    b.m_kz = 1.0;
    int flag = 0;
    b.dehn12(16.0, flag);
    EXPECT_NEAR(b.m_eps0 + b.m_kz * -0.5, -3.5, 1e-12);
    EXPECT_NEAR(b.m_eps0 + b.m_kz * -0.05, kEpsUd, 1e-12);
    EXPECT_NEAR(b.m_eps1b, -3.5, 1e-12);
    EXPECT_NEAR(b.m_eps2s, kEpsUd, 1e-12);
}

}  // namespace
