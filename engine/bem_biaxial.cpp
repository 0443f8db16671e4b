// Biaxial bending with normal force on the design object: resultants of a strain plane, ultimate planes
// of the strain domains, the ultimate safety factor, the strain state under given forces and the
// reinforcement ratio that gives the required safety.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/bem.h"
#include "engine/protocol.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
// per mille per m: a strain state with no more curvature in a plane has none there
constexpr double kOhneKruemmung = 1e-5;

// [-pi, pi)
double NormiereWinkel(double a)
{
    if (!std::isfinite(a))
        return 0.0;
    a = std::fmod(a + kPi, 2.0 * kPi);
    if (a < 0.0)
        a += 2.0 * kPi;
    return a - kPi;
}

double MindestBetrag(double v, double min)
{
    return std::fabs(v) < min ? (v < 0.0 ? -min : min) : v;
}

// x^n, without pow for the exponents the codes use
inline double PotenzN(double x, double n, int nInt)
{
    switch (nInt) {
    case 1: return x;
    case 2: return x * x;
    case 3: return x * x * x;
    default: return std::pow(x, n);
    }
}

}  // namespace

// The stress-strain law of one material with the limits kept away from zero.
// No member initialisers: a plane's table of laws is filled only for the materials in use.
struct BemGesetz {
    double f;   // compressive strength (positive)
    double e1;  // end of the compression curve (negative)
    double e4;  // end of the tension curve (positive)
    double n;
    int nInt;  // n when it is 1, 2 or 3, else 0
    double t;  // tensile strength
    // Beyond the end of a branch the curve is flat: S (1 - 0^n) is S itself for n > 0, so a yielded bar or
    // crushed fibre needs neither the division nor the power (the value is the same to the bit).
    bool flachZug, flachDruck;

    double operator()(double eps) const
    {
        if (eps >= 0.0) {
            if (flachZug && eps >= e4)
                return t;
            const double r = std::min(eps / e4, 1.0);
            return (1.0 - PotenzN(1.0 - r, n, nInt)) * t;
        }
        if (flachDruck && eps <= e1)
            return -f;
        const double r = std::min(eps / e1, 1.0);
        return -(1.0 - PotenzN(1.0 - r, n, nInt)) * f;
    }
};

namespace {

BemGesetz GesetzVon(const cBem& b, int m, bool offsetAus)
{
    BemGesetz law{};
    law.f = b.Mat(0, m);
    law.e1 = MindestBetrag(b.Mat(1, m), 1e-9);
    law.e4 = MindestBetrag(b.Mat(4, m), 1e-9);
    law.n = b.Mat(5, m);
    law.nInt = (law.n == 1.0 || law.n == 2.0 || law.n == 3.0) ? static_cast<int>(law.n) : 0;
    law.t = b.ZugFaktor(m, offsetAus);
    // eps >= e4 > 0 gives eps / e4 >= 1 after rounding too, so min(..., 1) is exactly 1 there
    law.flachZug = law.n > 0.0 && law.e4 > 0.0;
    law.flachDruck = law.n > 0.0 && law.e1 < 0.0;
    return law;
}

// The laws of the materials the groups use.
void GesetzeDerGruppen(const cBem& b, bool offsetAus, BemGesetz laws[kBemMaxMaterial + 1])
{
    bool fertig[kBemMaxMaterial + 1] = {};
    for (int g = 1; g <= b.m_nqgr; ++g) {
        const int m = b.m_gmat[g];
        if (!fertig[m]) {
            laws[m] = GesetzVon(b, m, offsetAus);
            fertig[m] = true;
        }
    }
}

// Gauss-Legendre on [0, 1]
constexpr double kG3x[3] = {0.11270166537925831, 0.5, 0.8872983346207417};
constexpr double kG3w[3] = {0.2777777777777778, 0.4444444444444444, 0.2777777777777778};
constexpr double kG5x[5] = {0.04691007703066800, 0.23076534494715845, 0.5, 0.76923465505284155, 0.95308992296933200};
constexpr double kG5w[5] = {0.11846344252809454, 0.23931433524968324, 0.28444444444444444, 0.23931433524968324,
                            0.11846344252809454};

// Integrals of q(t) times the law over one piece of an edge, q in {v, v u, v^2/2}; u, v, eps linear in t.
struct Stueck {
    double ua, du, va, dv, ea, de;  // values at t = 0 and their change per unit t
};

template <int np>
void GaussStueck(const Stueck& s, double t0, double t1, const BemGesetz& law, double out[3])
{
    const double* xs = np == 3 ? kG3x : kG5x;
    const double* ws = np == 3 ? kG3w : kG5w;
    const double h = t1 - t0;
    for (int k = 0; k < np; ++k) {
        const double t = t0 + h * xs[k];
        const double f = law(s.ea + t * s.de) * ws[k] * h;
        const double v = s.va + t * s.dv, u = s.ua + t * s.du;
        out[0] += v * f;
        out[1] += v * u * f;
        out[2] += 0.5 * v * v * f;
    }
}

// The same in closed form for a curve branch S (1 - w^n), w = 1 - eps/limit, any real n.
void ExaktStueck(const Stueck& s, double t0, double t1, double limit, double scale, const BemGesetz& law, double out[3])
{
    const double w0 = 1.0 - (s.ea + t0 * s.de) / limit;
    const double w1 = 1.0 - (s.ea + t1 * s.de) / limit;
    const double dw = w1 - w0;  // per piece
    if (!(std::fabs(dw) > 0.05 * std::max(std::fabs(w0), std::fabs(w1)))) {
        // short against its distance from the limit: the power is smooth there, 5 points suffice
        GaussStueck<5>(s, t0, t1, law, out);
        return;
    }
    // constant part: polynomial, exact with 3 points
    {
        const double h = t1 - t0;
        for (int k = 0; k < 3; ++k) {
            const double t = t0 + h * kG3x[k];
            const double f = scale * kG3w[k] * h;
            const double v = s.va + t * s.dv, u = s.ua + t * s.du;
            out[0] += v * f;
            out[1] += v * u * f;
            out[2] += 0.5 * v * v * f;
        }
    }
    // -scale * w^n part: t = t0 + (w - w0)(t1 - t0)/dw, so v and u are linear in w
    const double dtdw = (t1 - t0) / dw;
    const double bv = s.dv * dtdw, av = s.va + s.dv * t0 - bv * w0;
    const double bu = s.du * dtdw, au = s.ua + s.du * t0 - bu * w0;
    const double n = law.n;
    auto W = [&](int j) {
        const double p = n + j;
        return (std::pow(std::max(w1, 0.0), p) - std::pow(std::max(w0, 0.0), p)) / p;
    };
    const double W1 = W(1), W2 = W(2), W3 = W(3);
    auto integral = [&](double c0, double c1, double c2) { return -scale * dtdw * (c0 * W1 + c1 * W2 + c2 * W3); };
    out[0] += integral(av, bv, 0.0);
    out[1] += integral(av * au, av * bu + bv * au, bv * bu);
    out[2] += integral(0.5 * av * av, av * bv, 0.5 * bv * bv);
}

// Slope of the law at eps: S n w^(n-1) / limit on a curve branch, 0 beyond its limit.
double Steigung(const BemGesetz& law, double eps)
{
    const bool druck = eps < 0.0;
    const double limit = druck ? law.e1 : law.e4;
    const double r = eps / limit;
    if (r >= 1.0)
        return 0.0;
    const double scale = druck ? -law.f : law.t;
    const double x = 1.0 - r;
    double p;
    switch (law.nInt) {
    case 1: p = 1.0; break;
    case 2: p = x; break;
    case 3: p = x * x; break;
    default: p = std::pow(x, law.n - 1.0); break;
    }
    return scale * law.n * p / limit;
}

// Integrals of q(t) times the law's slope over one piece of an edge, q in {v, v u, v u^2, v^2/2, u v^2/2,
// v^3/3}: by Green's theorem the area integrals of the slope times 1, u, u^2, v, u v, v^2.
void GaussSteigung(const Stueck& s, double t0, double t1, const BemGesetz& law, int np, double out[6])
{
    const double* xs = np == 3 ? kG3x : kG5x;
    const double* ws = np == 3 ? kG3w : kG5w;
    const double h = t1 - t0;
    for (int k = 0; k < np; ++k) {
        const double t = t0 + h * xs[k];
        const double g = Steigung(law, s.ea + t * s.de) * ws[k] * h;
        const double v = s.va + t * s.dv, u = s.ua + t * s.du;
        out[0] += v * g;
        out[1] += v * u * g;
        out[2] += v * u * u * g;
        out[3] += 0.5 * v * v * g;
        out[4] += 0.5 * u * v * v * g;
        out[5] += v * v * v / 3.0 * g;
    }
}

// The same in closed form on a curve branch of any real n: the slope is scale n w^(n-1) / limit, and with
// v, u linear in w every integrand is a cubic in w times w^(n-1).
void ExaktSteigung(const Stueck& s, double t0, double t1, double limit, double scale, const BemGesetz& law,
                   double out[6])
{
    const double w0 = 1.0 - (s.ea + t0 * s.de) / limit;
    const double w1 = 1.0 - (s.ea + t1 * s.de) / limit;
    const double dw = w1 - w0;
    if (!(std::fabs(dw) > 0.05 * std::max(std::fabs(w0), std::fabs(w1)))) {
        GaussSteigung(s, t0, t1, law, 5, out);
        return;
    }
    const double dtdw = (t1 - t0) / dw;
    const double bv = s.dv * dtdw, av = s.va + s.dv * t0 - bv * w0;
    const double bu = s.du * dtdw, au = s.ua + s.du * t0 - bu * w0;
    const double n = law.n;
    double W[4];  // int w^(n-1+j) dw from w0 to w1
    for (int j = 0; j < 4; ++j) {
        const double p = n + j;
        W[j] = (std::pow(std::max(w1, 0.0), p) - std::pow(std::max(w0, 0.0), p)) / p;
    }
    const double c = scale * n / limit * dtdw;
    auto integral = [&](double c0, double c1, double c2, double c3) {
        return c * (c0 * W[0] + c1 * W[1] + c2 * W[2] + c3 * W[3]);
    };
    out[0] += integral(av, bv, 0.0, 0.0);
    out[1] += integral(av * au, av * bu + bv * au, bv * bu, 0.0);
    out[2] +=
        integral(av * au * au, 2.0 * av * au * bu + bv * au * au, av * bu * bu + 2.0 * bv * au * bu, bv * bu * bu);
    out[3] += integral(0.5 * av * av, av * bv, 0.5 * bv * bv, 0.0);
    out[4] += integral(0.5 * au * av * av, au * av * bv + 0.5 * bu * av * av, 0.5 * au * bv * bv + bu * av * bv,
                       0.5 * bu * bv * bv);
    out[5] += integral(av * av * av / 3.0, av * av * bv, av * bv * bv, bv * bv * bv / 3.0);
}

// Edge parameters 0 < t < 1 where the strain passes a branch limit, framed by 0 and 1; returns their number.
int Schnitte(double ea, double eb, const BemGesetz& law, double ts[5])
{
    int nt = 0;
    ts[nt++] = 0.0;
    const double limits[3] = {law.e1, 0.0, law.e4};
    double cuts[3];
    int nc = 0;
    for (double L : limits) {
        if ((ea < L && L < eb) || (eb < L && L < ea))
            cuts[nc++] = (L - ea) / (eb - ea);
    }
    // at most three cuts: an insertion sort (std::sort on so short an array trips GCC's bounds check)
    for (int i = 1; i < nc; ++i)
        for (int j = i; j > 0 && cuts[j] < cuts[j - 1]; --j)
            std::swap(cuts[j], cuts[j - 1]);
    for (int c = 0; c < nc; ++c)
        ts[nt++] = cuts[c];
    ts[nt++] = 1.0;
    return nt;
}

}  // namespace

double cBem::GammaAusDehnung(double eps)
{
    return std::clamp(2.1 - 0.11666666666666665 * eps, 1.75, 2.1);
}

void cBem::PunktResultierende(int g, bool offsetAus, const BemGesetz& law, Resultierende& druck,
                              Resultierende& zug) const
{
    const int m = m_gmat[g];
    const double e3 = offsetAus ? 0.0 : Mat(3, m);
    const double w = m_bemgr[g] ? bwfakt : 1.0;
    const double eps0 = m_eps0, ky = m_ky, kz = m_kz;
    // The side a bar does not belong to gets a zero, which leaves a sum that started at +0 unchanged to the
    // bit (such a sum is never -0): no branch on the sign.
    const int ende = m_gerst[g] + m_npkt[g];
    for (int i = m_gerst[g]; i < ende; ++i) {
        const double y = m_py[i], z = m_pz[i];
        const double eps = eps0 + ky * y + kz * z + e3;
        const double F = law(eps) * m_pa[i] * w;
        const double Fz = F >= 0.0 ? F : 0.0, Fd = F >= 0.0 ? 0.0 : F;
        zug.N += Fz;
        zug.My += Fz * z;
        zug.Mz -= Fz * y;
        druck.N += Fd;
        druck.My += Fd * z;
        druck.Mz -= Fd * y;
    }
}

// Exact integral of the law over the polygon by Green's theorem in coordinates (u along the strain
// gradient, v across it): the law depends on u alone, so int f dA = -oint v f(u) du, and the first
// moments follow with the weights u and v/2. Each edge is cut where its strain crosses a branch limit.
void cBem::PolygonResultierende(int g, bool offsetAus, const double dir[2], const BemGesetz& law, Resultierende& druck,
                                Resultierende& zug) const
{
    const int m = m_gmat[g];
    const double e3 = offsetAus ? 0.0 : Mat(3, m);
    const double dy = dir[0], dz = dir[1];

    double d0 = 0.0, d1 = 0.0, d2 = 0.0, z0 = 0.0, z1 = 0.0, z2 = 0.0;
    const int erst = m_gerst[g], n = m_npkt[g];
    // each corner's u, v and strain once (an edge reads two corners, and every corner ends two edges)
    double pu[kBemMaxPunkte + 1], pv[kBemMaxPunkte + 1], pe[kBemMaxPunkte + 1];
    const double eps0 = m_eps0, ky = m_ky, kz = m_kz;
    for (int k = 0; k < n; ++k) {
        const double y = m_py[erst + k], z = m_pz[erst + k];
        pu[k] = dy * y + dz * z;
        pv[k] = -dz * y + dy * z;
        pe[k] = eps0 + ky * y + kz * z + e3;
    }
    pu[n] = pu[0];
    pv[n] = pv[0];
    pe[n] = pe[0];
    for (int k = 0; k < n; ++k) {
        const double ua = pu[k], ub = pu[k + 1];
        const double du = ub - ua;
        if (du == 0.0)
            continue;
        const double va = pv[k], vb = pv[k + 1];
        const double ea = pe[k], eb = pe[k + 1];
        if (std::fabs(ea) < 1e-300 && std::fabs(eb) < 1e-300)
            continue;  // law is zero at zero strain
        const Stueck s{ua, du, va, vb - va, ea, eb - ea};
        double ts[5];
        const int nt = Schnitte(ea, eb, law, ts);
        for (int p = 0; p + 1 < nt; ++p) {
            const double t0 = ts[p], t1 = ts[p + 1];
            if (t1 <= t0)
                continue;
            const double em = ea + 0.5 * (t0 + t1) * (eb - ea);
            double part[3] = {0.0, 0.0, 0.0};
            const bool druck = em < 0.0;
            const bool kurve = druck ? em > law.e1 : em < law.e4;
            const double scale = druck ? -law.f : law.t;
            if (scale == 0.0)
                continue;
            if (!kurve || law.nInt != 0)
                GaussStueck<3>(s, t0, t1, law, part);  // polynomial in t: exact
            else
                ExaktStueck(s, t0, t1, druck ? law.e1 : law.e4, scale, law, part);
            // named sums stay in registers (an indexed row would go through memory on every piece)
            if (druck) {
                d0 -= du * part[0];
                d1 -= du * part[1];
                d2 -= du * part[2];
            } else {
                z0 -= du * part[0];
                z1 -= du * part[1];
                z2 -= du * part[2];
            }
        }
    }
    const double sum[2][3] = {{d0, d1, d2}, {z0, z1, z2}};  // [compression, tension][N, u-moment, v-moment]
    for (int side = 0; side < 2; ++side) {
        Resultierende& r = side == 0 ? druck : zug;
        const double N = sum[side][0], Iu = sum[side][1], Iv = sum[side][2];
        const double Sy = dy * Iu - dz * Iv;  // int f y dA
        const double Sz = dz * Iu + dy * Iv;  // int f z dA
        r.N += N;
        r.My += Sz;
        r.Mz -= Sy;
    }
}

void cBem::PunktTangente(int g, bool offsetAus, const BemGesetz& law, double T[6]) const
{
    const int m = m_gmat[g];
    const double e3 = offsetAus ? 0.0 : Mat(3, m);
    const double w = m_bemgr[g] ? bwfakt : 1.0;
    for (int i = m_gerst[g]; i < m_gerst[g] + m_npkt[g]; ++i) {
        const double y = m_py[i], z = m_pz[i];
        const double k = Steigung(law, m_eps0 + m_ky * y + m_kz * z + e3) * m_pa[i] * w;
        T[0] += k;
        T[1] += k * y;
        T[2] += k * z;
        T[3] += k * y * y;
        T[4] += k * y * z;
        T[5] += k * z * z;
    }
}

// The slope of the law integrated over the polygon with the same edge walk as the resultants; the law is
// continuous at its branch limits, so the moving cut points add nothing to the derivatives.
void cBem::PolygonTangente(int g, bool offsetAus, const double dir[2], const BemGesetz& law, double T[6]) const
{
    const int m = m_gmat[g];
    const double e3 = offsetAus ? 0.0 : Mat(3, m);
    const double dy = dir[0], dz = dir[1];
    double sum[6] = {0, 0, 0, 0, 0, 0};  // slope times 1, u, u^2, v, u v, v^2
    const int erst = m_gerst[g], n = m_npkt[g];
    for (int k = 0; k < n; ++k) {
        const int a = erst + k, b = erst + (k + 1) % n;
        const double ua = dy * m_py[a] + dz * m_pz[a], ub = dy * m_py[b] + dz * m_pz[b];
        const double du = ub - ua;
        if (du == 0.0)
            continue;
        const double va = -dz * m_py[a] + dy * m_pz[a], vb = -dz * m_py[b] + dy * m_pz[b];
        const double ea = m_eps0 + m_ky * m_py[a] + m_kz * m_pz[a] + e3;
        const double eb = m_eps0 + m_ky * m_py[b] + m_kz * m_pz[b] + e3;
        const Stueck s{ua, du, va, vb - va, ea, eb - ea};
        double ts[5];
        const int nt = Schnitte(ea, eb, law, ts);
        for (int p = 0; p + 1 < nt; ++p) {
            const double t0 = ts[p], t1 = ts[p + 1];
            if (t1 <= t0)
                continue;
            const double em = ea + 0.5 * (t0 + t1) * (eb - ea);
            const bool druck = em < 0.0;
            const bool kurve = druck ? em > law.e1 : em < law.e4;
            const double scale = druck ? -law.f : law.t;
            if (!kurve || scale == 0.0)
                continue;  // constant stress there
            double part[6] = {0, 0, 0, 0, 0, 0};
            if (law.nInt != 0)
                GaussSteigung(s, t0, t1, law, 3, part);  // polynomial of degree n + 2 at most: exact
            else
                ExaktSteigung(s, t0, t1, druck ? law.e1 : law.e4, scale, law, part);
            for (int q = 0; q < 6; ++q)
                sum[q] -= du * part[q];
        }
    }
    const double Tuu = sum[2], Tuv = sum[4], Tvv = sum[5];
    T[0] += sum[0];
    T[1] += dy * sum[1] - dz * sum[3];
    T[2] += dz * sum[1] + dy * sum[3];
    T[3] += dy * dy * Tuu - 2.0 * dy * dz * Tuv + dz * dz * Tvv;
    T[4] += dy * dz * (Tuu - Tvv) + (dy * dy - dz * dz) * Tuv;
    T[5] += dz * dz * Tuu + 2.0 * dy * dz * Tuv + dy * dy * Tvv;
}

void cBem::Tangente(double J[3][3]) const
{
    const bool offsetAus = m_zustand == 1 || m_zustand == 2;
    double T[6] = {0, 0, 0, 0, 0, 0};  // slope times 1, y, z, y^2, y z, z^2
    BemGesetz laws[kBemMaxMaterial + 1];
    GesetzeDerGruppen(*this, offsetAus, laws);
    const double kap = std::hypot(m_ky, m_kz);
    const double dir[2] = {kap > 0.0 ? m_ky / kap : 1.0, kap > 0.0 ? m_kz / kap : 0.0};
    for (int g = 1; g <= m_nqgr; ++g) {
        if (m_zustand == 1 && !IstBeton(g))
            continue;
        const BemGesetz& law = laws[m_gmat[g]];
        if (m_gpoly[g])
            PolygonTangente(g, offsetAus, dir, law, T);
        else
            PunktTangente(g, offsetAus, law, T);
    }
    // N = int s, Mz = -int s y, My = int s z, by (eps0, ky, kz)
    const double dN[3] = {T[0], T[1], T[2]};
    double dMz[3] = {-T[1], -T[3], -T[4]};
    double dMy[3] = {T[2], T[4], T[5]};
    if (m_zustand != 1 && m_zustand != 2) {
        for (int j = 0; j < 3; ++j) {
            dMy[j] -= m_zr * dN[j];
            dMz[j] += m_yr * dN[j];
        }
    }
    for (int j = 0; j < 3; ++j) {
        J[0][j] = dN[j];
        J[1][j] = dMz[j];
        J[2][j] = dMy[j];
    }
}

double cBem::Randdehnungen()
{
    double e1b = 1e9, e2b = -1e9, e2s = -1e9;
    for (int g = 1; g <= m_nqgr; ++g) {
        const bool beton = IstBeton(g);
        for (int i = m_gerst[g]; i < m_gerst[g] + m_npkt[g]; ++i) {
            const double e = m_eps0 + m_ky * m_py[i] + m_kz * m_pz[i];
            if (beton) {
                e1b = std::min(e1b, e);
                e2b = std::max(e2b, e);
            } else {
                e2s = std::max(e2s, e);
            }
        }
    }
    m_eps1b = e1b;
    m_eps2s = e2s;
    return e2b;
}

int cBem::spareq(int kind, double alphaDeg, double k, double& N, double& My, double& Mz)
{
    const bool offsetAus = m_zustand == 1 || m_zustand == 2;
    if (kind == 1) {
        const double a = alphaDeg * kPi / 180.0, ca = std::cos(a), sa = std::sin(a);
        double pc = -1e9, ps = -1e9, pcs = -1e9;
        for (int g = 1; g <= m_nqgr; ++g) {
            const bool beton = IstBeton(g);
            for (int i = m_gerst[g]; i < m_gerst[g] + m_npkt[g]; ++i) {
                const double p = ca * m_py[i] + sa * m_pz[i];
                if (beton) {
                    if (-p >= pc)
                        pc = -p;
                    if (p >= pcs)
                        pcs = p;
                } else if (p >= ps) {
                    ps = p;
                }
            }
        }
        if (std::fabs(m_eps2b - m_eps2s) <= 1e-9 || ps <= -1e9)
            ps = pcs;
        const double kappa = (m_eps2s - m_eps1b) / MindestBetrag(pc + ps, 1e-9);
        m_eps0 = m_eps2s - kappa * ps;
        m_ky = kappa * ca;
        m_kz = kappa * sa;
    }
    if (k >= 0.0 && k <= 33.0) {
        int flag = 0;
        dehn12(k, flag);
    } else if (kind == 2) {
        Randdehnungen();
    }

    // the running sums in locals over all groups (a section's bars are one group each), in group order
    Resultierende druck, zug;
    // the laws once per plane: the concrete tension factor follows m_eps2b, set above by the domain mapping
    BemGesetz laws[kBemMaxMaterial + 1];
    GesetzeDerGruppen(*this, offsetAus, laws);
    const double kap = std::hypot(m_ky, m_kz);
    const double dir[2] = {kap > 0.0 ? m_ky / kap : 1.0, kap > 0.0 ? m_kz / kap : 0.0};
    for (int g = 1; g <= m_nqgr; ++g) {
        const bool beton = IstBeton(g);
        if (m_zustand == 1 && !beton)
            continue;
        const BemGesetz& law = laws[m_gmat[g]];
        if (m_gpoly[g])
            PolygonResultierende(g, offsetAus, dir, law, druck, zug);
        else
            PunktResultierende(g, offsetAus, law, druck, zug);
    }
    m_druck = druck;
    m_zug = zug;
    N = m_druck.N + m_zug.N;
    My = m_druck.My + m_zug.My;
    Mz = m_druck.Mz + m_zug.Mz;

    // A state without a tension resultant has no lever arm: the sum taken as 1 at the coordinate origin would
    // measure one from the section's top face, h/2 +- e by the sign of the moment.
    if (std::fabs(m_zug.N) < 1.0) {
        m_hebel = 0.0;
    } else {
        const double nd = std::fabs(m_druck.N) < 1.0 ? 1.0 : m_druck.N;
        const double yd = -m_druck.Mz / nd, zd = m_druck.My / nd;
        const double yz = -m_zug.Mz / m_zug.N, zz = m_zug.My / m_zug.N;
        m_hebel = std::hypot(yd - yz, zd - zz);
    }

    if (m_zustand != 1 && m_zustand != 2) {
        My -= m_zr * N;
        Mz += m_yr * N;
    }
    return 0;
}

int cBem::dehn12(double k, int& flag)
{
    flag = 0;
    if (!(k >= 0.0 && k <= 33.0))
        return 0;
    double sc1 = 1e9, sc2 = -1e9, ss = -1e9;
    for (int g = 1; g <= m_nqgr; ++g) {
        const bool beton = IstBeton(g);
        for (int i = m_gerst[g]; i < m_gerst[g] + m_npkt[g]; ++i) {
            const double s = m_eps0 + m_ky * m_py[i] + m_kz * m_pz[i];
            if (beton) {
                sc1 = std::min(sc1, s);
                sc2 = std::max(sc2, s);
            } else {
                ss = std::max(ss, s);
            }
        }
    }
    if (ss <= -1e9)
        ss = sc2;  // a section without bars: its far concrete edge takes the place of the steel
    if (sc1 >= 1e9)
        sc1 = sc2 = ss;
    double sa = sc1, sb, ta, tb;
    const double e1c = m_eps1c, ecu = m_epscu, eud = m_epsud;
    if (k < 5.0) {
        ta = e1c + (ecu - e1c) * 0.2 * k;
        sb = sc2;
        tb = (1.0 - 0.2 * k) * e1c;
    } else if (k < 6.0) {
        ta = ecu;
        sb = (6.0 - k) * sc2 + (k - 5.0) * ss;
        tb = 0.0;
    } else if (k < 16.0) {
        ta = ecu;
        sb = ss;
        tb = (k - 6.0) * 0.1 * eud;
    } else {
        ta = ecu + (eud - ecu) * (k - 16.0) / 17.0;
        sb = ss;
        tb = eud;
    }
    const double ds = MindestBetrag(sa - sb, 1e-9);
    const double b = (ta - tb) / ds;
    const double c = (tb * sa - sb * ta) / ds;
    m_ky *= b;
    m_kz *= b;
    m_eps0 = b * m_eps0 + c;
    m_eps1b = b * sc1 + c;
    m_eps2b = b * sc2 + c;
    m_eps2s = b * ss + c;
    flag = std::fabs(m_eps0) < 5.0 * std::fabs(m_tiefe * m_kz) ? 1 : 0;
    return 0;
}

bool cBem::SpareqGemerkt(Ebene* gemerkt, int anzahl, Ebene* ablage, double k, double& N, double& My, double& Mz)
{
    // without a domain mapping the law's tension reference is read as it stands
    const bool abgebildet = k >= 0.0 && k <= 33.0;
    const double frage[5] = {k, m_eps0, m_ky, m_kz, abgebildet ? 0.0 : m_eps2b};
    for (int i = 0; i < anzahl; ++i) {
        const Ebene& e = gemerkt[i];
        if (!e.gueltig || std::memcmp(e.frage, frage, sizeof frage) != 0)
            continue;
        N = e.N;
        My = e.My;
        Mz = e.Mz;
        m_eps0 = e.eps0;
        m_ky = e.ky;
        m_kz = e.kz;
        m_eps1b = e.eps1b;
        m_eps2b = e.eps2b;
        m_eps2s = e.eps2s;
        m_hebel = e.hebel;
        m_druck = e.druck;
        m_zug = e.zug;
        return false;
    }
    spareq(2, 0.0, k, N, My, Mz);
    if (!ablage)
        return true;
    Ebene& e = *ablage;
    e.gueltig = true;
    std::memcpy(e.frage, frage, sizeof frage);
    e.N = N;
    e.My = My;
    e.Mz = Mz;
    e.eps0 = m_eps0;
    e.ky = m_ky;
    e.kz = m_kz;
    e.eps1b = m_eps1b;
    e.eps2b = m_eps2b;
    e.eps2s = m_eps2s;
    e.hebel = m_hebel;
    e.druck = m_druck;
    e.zug = m_zug;
    return true;
}

void cBem::SetzeEinheitsebene(double alpha)
{
    m_eps0 = 0.0;
    m_ky = std::cos(alpha);
    m_kz = std::sin(alpha);
}

void cBem::NormiereKraefte(double N, double My, double Mz, double& n, double& my, double& mz) const
{
    n = N / m_nn;
    my = (My - m_ez0 * N) / m_myn;
    mz = (m_ey0 * N + Mz) / m_mzn;
}

void cBem::AuswertungNorm(double alpha, double k, double psi1, double psi2, double& e1, double& e2, double& rho,
                          double nmm[3])
{
    SetzeEinheitsebene(alpha);
    double N = 0.0, My = 0.0, Mz = 0.0;
    Einheitsebenen& ee = m_einheit[m_einheitAktiv];
    if (SpareqGemerkt(ee.suche, 4, &ee.suche[ee.sucheNaechste], k, N, My, Mz))
        ee.sucheNaechste = (ee.sucheNaechste + 1) % 4;
    NormiereKraefte(N, My, Mz, nmm[0], nmm[1], nmm[2]);
    const double m = std::hypot(nmm[1], nmm[2]);
    e1 = NormiereWinkel(std::atan2(nmm[2], nmm[1]) - psi1);
    e2 = NormiereWinkel(std::atan2(nmm[0], m) - psi2);
    rho = std::hypot(nmm[0], m);
}

// Everything the resultants of a plane read from the section, byte for byte. It is taken before every design
// of a section, so it is written in one pass into a buffer of its final size.
void cBem::Abdruck(std::vector<unsigned char>& out) const
{
    const int nPunkte = m_nqgr > 0 ? m_gerst[m_nqgr] + m_npkt[m_nqgr] - 1 : 0;
    const int nKoord = nPunkte > 0 && nPunkte <= kBemMaxPunkte ? nPunkte : 0;
    // the materials up to the highest one in use (a group may name one above m_nmat)
    int nMat = m_nmat;
    for (int g = 1; g <= m_nqgr; ++g)
        nMat = std::max(nMat, m_gmat[g]);
    nMat = std::clamp(nMat, 0, kBemMaxMaterial);
    const double werte[9] = {bwfakt,
                             m_yr,
                             m_zr,
                             m_eps1c,
                             m_epscu,
                             m_epsud,
                             m_tiefe,
                             static_cast<double>(m_zustand),
                             static_cast<double>(nPunkte)};
    const std::size_t gruppen = m_nqgr > 0 ? static_cast<std::size_t>(m_nqgr) : 0;
    out.resize(sizeof m_nqgr + 5 * sizeof(int) * gruppen + 3 * sizeof(double) * static_cast<std::size_t>(nKoord) +
               sizeof nMat + (sizeof(int) + 6 * sizeof(double)) * static_cast<std::size_t>(nMat) + sizeof werte);
    unsigned char* w = out.data();
    auto add = [&w](const void* p, std::size_t n) {
        std::memcpy(w, p, n);
        w += n;
    };
    add(&m_nqgr, sizeof m_nqgr);
    add(&m_gmat[1], sizeof(int) * gruppen);
    add(&m_npkt[1], sizeof(int) * gruppen);
    add(&m_gerst[1], sizeof(int) * gruppen);
    add(&m_gpoly[1], sizeof(int) * gruppen);
    add(&m_bemgr[1], sizeof(int) * gruppen);
    add(&m_py[1], sizeof(double) * nKoord);
    add(&m_pz[1], sizeof(double) * nKoord);
    add(&m_pa[1], sizeof(double) * nKoord);
    add(&nMat, sizeof nMat);
    add(&m_istBeton[1], sizeof(int) * nMat);
    for (int k = 0; k < 6; ++k)
        add(&m_mat[MatIndex(k) + 1], sizeof(double) * nMat);
    add(werte, sizeof werte);
}

void cBem::PruefeEinheitsebenen()
{
    static std::vector<unsigned char> neu;  // one thread only (see material.cpp)
    Abdruck(neu);
    for (int e = 0; e < kEintraege; ++e) {
        if (neu == m_einheit[e].abdruck) {
            m_einheitAktiv = e;
            return;
        }
    }
    // a section alternates between the laws of the stiffness iteration and of the ultimate check
    m_einheitAktiv = m_einheitNaechster;
    m_einheitNaechster = (m_einheitNaechster + 1) % kEintraege;
    Einheitsebenen& e = m_einheit[m_einheitAktiv];
    e.abdruck.swap(neu);
    std::fill(std::begin(e.gueltig), std::end(e.gueltig), false);
    e.startAlpha = 0.0;
    e.startK = 99.0;
    for (Ebene& p : e.suche)
        p.gueltig = false;
    for (Ebene& p : e.dehnStart)
        p.gueltig = false;
    e.sucheNaechste = 0;
}

// The resultants of the unit plane at alpha mapped to domain k; kept per slot while the section's
// fingerprint stands (the plane then holds whatever the caller sets next).
void cBem::Einheitsebene(int slot, double alpha, double k, double& N, double& My, double& Mz)
{
    Einheitsebenen& e = m_einheit[m_einheitAktiv];
    if (e.gueltig[slot]) {
        N = e.F[slot][0];
        My = e.F[slot][1];
        Mz = e.F[slot][2];
        return;
    }
    SetzeEinheitsebene(alpha);
    spareq(2, 0.0, k, N, My, Mz);
    e.F[slot][0] = N;
    e.F[slot][1] = My;
    e.F[slot][2] = Mz;
    e.gueltig[slot] = true;
}

bool cBem::SicherEinschliessen(double& alpha, double& k, double psi1, double psi2, bool biaxial, double& e1, double& e2,
                               double& rho, double nmm[3])
{
    // the domain k that meets the load's angle psi2 for the direction a: e2 grows with k
    auto loeseK = [&](double a) {
        double lo = 0.0, hi = 32.0, f1, glo, ghi, fr, tmp[3];
        AuswertungNorm(a, lo, psi1, psi2, f1, glo, fr, tmp);
        AuswertungNorm(a, hi, psi1, psi2, f1, ghi, fr, tmp);
        double kk;
        if (glo >= 0.0) {
            kk = lo;
        } else if (ghi <= 0.0) {
            kk = hi;
        } else {
            int seite = 0;
            kk = 0.5 * (lo + hi);
            for (int i = 0; i < 100 && hi - lo > 1e-12; ++i) {
                kk = hi - ghi * (hi - lo) / (ghi - glo);  // regula falsi, Illinois rule
                if (!(kk > lo && kk < hi))
                    kk = 0.5 * (lo + hi);
                double g;
                AuswertungNorm(a, kk, psi1, psi2, f1, g, fr, tmp);
                if (std::fabs(g) < 1e-12)
                    break;
                if (g < 0.0) {
                    lo = kk;
                    glo = g;
                    if (seite == -1)
                        ghi *= 0.5;
                    seite = -1;
                } else {
                    hi = kk;
                    ghi = g;
                    if (seite == 1)
                        glo *= 0.5;
                    seite = 1;
                }
            }
        }
        AuswertungNorm(a, kk, psi1, psi2, e1, e2, rho, nmm);
        return kk;
    };
    k = loeseK(alpha);
    if (biaxial && !(std::fabs(e1) < 1e-6)) {
        // bracket the direction whose moment angle meets psi1, then narrow it down
        const double a0 = alpha, h0 = e1;
        double aLo = a0, hLo = h0, aHi = a0, hHi = h0;
        bool gefunden = false;
        for (int j = 1; j <= 63 && !gefunden; ++j) {
            for (double sgn : {1.0, -1.0}) {
                const double a = a0 + sgn * 0.05 * j;
                loeseK(a);
                if (std::fabs(e1) < 1.5 && std::fabs(h0) < 1.5 && (e1 < 0.0) != (h0 < 0.0)) {
                    aHi = a;
                    hHi = e1;
                    aLo = a0 + sgn * 0.05 * (j - 1);
                    loeseK(aLo);
                    hLo = e1;
                    gefunden = (hLo < 0.0) != (hHi < 0.0);
                    if (gefunden)
                        break;
                }
            }
        }
        if (!gefunden)
            return false;
        double a = aLo;
        int seite = 0;
        for (int i = 0; i < 80 && std::fabs(aHi - aLo) > 1e-12; ++i) {
            a = aHi - hHi * (aHi - aLo) / (hHi - hLo);
            if (!((a - aLo) * (a - aHi) < 0.0))
                a = 0.5 * (aLo + aHi);
            loeseK(a);
            if (std::fabs(e1) < 1e-12)
                break;
            if ((e1 < 0.0) == (hLo < 0.0)) {
                aLo = a;
                hLo = e1;
                if (seite == -1)
                    hHi *= 0.5;
                seite = -1;
            } else {
                aHi = a;
                hHi = e1;
                if (seite == 1)
                    hLo *= 0.5;
                seite = 1;
            }
        }
        alpha = NormiereWinkel(a);
        k = loeseK(alpha);
    }
    return std::sqrt(e1 * e1 + e2 * e2) < 1e-3;
}

int cBem::Sicher(double alpha0, double k0, double& N, double& My, double& Mz, double& gamma, int& code)
{
    PruefeEinheitsebenen();
    return SicherGeprueft(alpha0, k0, N, My, Mz, gamma, code);
}

// The scales of the safety check: the centric resistance with its eccentricity and the moment capacities
// at domain 12 on the side of the given moments.
void cBem::SetzeSicherNormierung(double N, double My, double Mz)
{
    // centric state
    double Nc = 0.0, Myc = 0.0, Mzc = 0.0;
    if (N > 0.0)
        Einheitsebene(1, 0.0, 33.0, Nc, Myc, Mzc);
    else
        Einheitsebene(0, 0.0, 0.0, Nc, Myc, Mzc);
    m_nn = std::max(std::fabs(Nc), 1e-9);
    m_ey0 = std::fabs(Nc) > 1e-9 ? -Mzc / Nc : 0.0;
    m_ez0 = std::fabs(Nc) > 1e-9 ? Myc / Nc : 0.0;
    if (std::fabs(m_ey0) < 1e-6)
        m_ey0 = 0.0;
    if (std::fabs(m_ez0) < 1e-6)
        m_ez0 = 0.0;

    // moment capacities at domain 12
    double N12 = 0.0, My12 = 0.0, Mz12 = 0.0;
    if (My - m_ez0 * N < 0.0)
        Einheitsebene(2, -kPi / 2.0, 12.0, N12, My12, Mz12);
    else
        Einheitsebene(3, kPi / 2.0, 12.0, N12, My12, Mz12);
    m_myn = std::max(std::fabs(My12 - m_ez0 * N12), 1e-9);
    if (m_ey0 * N + Mz < 0.0)
        Einheitsebene(4, 0.0, 12.0, N12, My12, Mz12);
    else
        Einheitsebene(5, kPi, 12.0, N12, My12, Mz12);
    m_mzn = std::max(std::fabs(Mz12 + m_ey0 * N12), 1e-9);
}

int cBem::SicherGeprueft(double alpha0, double k0, double& N, double& My, double& Mz, double& gamma, int& code)
{
    code = 0;
    m_limitErreicht = 0;
    const bool ohneLastmoment = My == 0.0 && Mz == 0.0;
    if (ohneLastmoment)
        My = 1e-9;

    SetzeSicherNormierung(N, My, Mz);

    // target of the given forces
    double n0, my0, mz0;
    NormiereKraefte(N, My, Mz, n0, my0, mz0);
    const double m0 = std::hypot(my0, mz0);
    const double psi1 = std::atan2(mz0, my0), psi2 = std::atan2(n0, m0);
    const double rhoLast = std::hypot(n0, m0);

    double e1, e2, rho, nmm[3];
    if (ohneLastmoment && m_ey0 == 0.0 && m_ez0 == 0.0) {
        // The load lies on the normal-force axis of the normalised forces, and so does the centric state: that
        // state is the capacity on the load's ray. A search would run toward it in a direction that means
        // nothing and stop within its tolerance short of it; the plane is the same for every direction.
        const double alpha = kPi / 2.0, k = N > 0.0 ? 33.0 : 0.0;
        AuswertungNorm(alpha, k, psi1, psi2, e1, e2, rho, nmm);
        m_sicherSchritte = 0;
        m_sicherAlpha = alpha;
        m_sicherK = k;
        N = m_nn * nmm[0];
        My = m_myn * nmm[1] + m_ez0 * N;
        Mz = m_mzn * nmm[2] - m_ey0 * N;
        gamma = rhoLast > 0.0 ? rho / rhoLast : 1e9;
        return 0;
    }

    double k = std::min(psi2 * 30.0 / kPi + 16.0, 20.0);
    if (k0 <= 33.0)
        k = k0;
    k = std::clamp(k, 0.0, 32.0);

    // biaxial or uniaxial
    double r0[3] = {}, r90[3] = {};
    // with both moments present the case is biaxial; the responses then serve only a search without start
    const bool zweiMomente = std::fabs(My) > 1e-6 && std::fabs(Mz) > 1e-6;
    if (!zweiMomente || k0 > 33.0) {
        AuswertungNorm(0.0, k, psi1, psi2, e1, e2, rho, r0);
        AuswertungNorm(kPi / 2.0, k, psi1, psi2, e1, e2, rho, r90);
    }
    const bool biaxial =
        zweiMomente || std::fabs(r0[1]) > 0.001 * std::fabs(r0[2]) || std::fabs(r90[2]) > 0.001 * std::fabs(r90[1]);
    double alpha;
    if (biaxial && k0 > 33.0) {
        double det = r0[1] * r90[2] - r90[1] * r0[2];
        if (std::fabs(det) < 1e-5)
            det = 1.0;
        const double cy = (my0 * r90[2] - r90[1] * mz0) / det;
        const double cz = (r0[1] * mz0 - my0 * r0[2]) / det;
        alpha = std::atan2(cz, cy);
    } else if (biaxial) {
        alpha = alpha0;
    } else {
        alpha = NormiereWinkel(psi1 + kPi / 2.0);
    }

    AuswertungNorm(alpha, k, psi1, psi2, e1, e2, rho, nmm);
    double j11 = 0.0, j12 = 0.0, j21 = 0.0, j22 = 1.0;
    int seitBau = 99, schritt = 0;
    while (!(std::sqrt(e1 * e1 + e2 * e2) < 1e-4)) {
        if (schritt >= 125)
            break;
        const double r = std::sqrt(e1 * e1 + e2 * e2);
        if (r > 0.001 || seitBau >= 3) {
            double f1, f2, fr, tmp[3];
            AuswertungNorm(alpha, k + 0.01, psi1, psi2, f1, f2, fr, tmp);
            j12 = NormiereWinkel(f1 - e1) * 100.0;
            j22 = NormiereWinkel(f2 - e2) * 100.0;
            if (biaxial) {
                AuswertungNorm(NormiereWinkel(alpha + 0.01), k, psi1, psi2, f1, f2, fr, tmp);
                j11 = NormiereWinkel(f1 - e1) * 100.0;
                j21 = NormiereWinkel(f2 - e2) * 100.0;
            }
            seitBau = 0;
        }
        double da = 0.0, dk;
        const double detRoh = j11 * j22 - j12 * j21;
        bool flach = false;
        const bool ohneMoment = std::hypot(nmm[1], nmm[2]) < 1e-6;  // the moment angle means nothing
        if (biaxial && std::fabs(detRoh) >= 1e-9 && !ohneMoment) {
            const double det = MindestBetrag(detRoh, 1e-9);
            da = (-e1 * j22 + e2 * j12) / det;
            dk = (-e2 * j11 + e1 * j21) / det;
        } else {
            // where the resultants do not change with the angle (every bar yielded, no concrete) the
            // domain alone moves toward the load
            flach = biaxial;
            dk = -e2 / MindestBetrag(j22, 1e-9);
        }
        // limited steps that keep their direction
        const double dkl = std::clamp(dk, std::max(-0.5 * k, -1.1), std::min((32.0 - k) * 0.5, 1.0));
        const double dal = std::clamp(da, -0.2, 0.22);
        double dkS = dkl, daS = dal;
        if (std::fabs(dkl) >= 1e-9 && std::fabs(dal) >= 1e-9) {
            const double q = std::min(dkl / dk, dal / da);
            dkS = dk * q;
            daS = da * q;
        }
        // a step that does not lower the error is halved (a Newton step across the kinks of the strain
        // domains can otherwise bounce between two points until the step limit)
        const double kAlt = k, alphaAlt = alpha;
        for (int halb = 0;; ++halb) {
            k = kAlt + dkS;
            alpha = NormiereWinkel(alphaAlt + daS);
            AuswertungNorm(alpha, k, psi1, psi2, e1, e2, rho, nmm);
            if (flach || std::sqrt(e1 * e1 + e2 * e2) <= r || halb >= 8)
                break;
            dkS *= 0.5;
            daS *= 0.5;
            seitBau = 99;
        }
        if (g_trace.IsOpen())
            g_trace.Printf(" SICHER %3d: alpha = %9.5f k = %9.5f e1 = %10.3e e2 = %10.3e\n", schritt, alpha, k, e1, e2);
        ++schritt;
        ++seitBau;
        if (!flach && std::fabs(da) < 1e-4 && std::fabs(dk) < 1e-4)
            break;
    }
    m_sicherSchritte = schritt;
    if (!(std::sqrt(e1 * e1 + e2 * e2) < 1e-3)) {
        // Newton ended away from the load (kinks of the strain domains, nearly constant resultants):
        // solve the two angles one after the other by bracketing
        if (!SicherEinschliessen(alpha, k, psi1, psi2, biaxial, e1, e2, rho, nmm)) {
            m_limitErreicht = 1;
            g_trace.Printf("(ITERATION DES SICHERHEITSNACHWEISES NACH %d SCHRITTEN ABGEBROCHEN)\n", schritt);
        }
    }

    m_sicherAlpha = alpha;
    m_sicherK = k;
    N = m_nn * nmm[0];
    My = m_myn * nmm[1] + m_ez0 * N;
    Mz = m_mzn * nmm[2] - m_ey0 * N;
    gamma = rhoLast > 0.0 ? rho / rhoLast : 1e9;
    return 0;
}

namespace {
double Det3(const double a[3][4], int c0, int c1, int c2)
{
    return a[0][c0] * (a[1][c1] * a[2][c2] - a[2][c1] * a[1][c2]) -
           a[0][c1] * (a[1][c0] * a[2][c2] - a[2][c0] * a[1][c2]) +
           a[0][c2] * (a[1][c0] * a[2][c1] - a[2][c0] * a[1][c1]);
}

// Cramer's rule on the 3x4 array [J | r]; the determinant kept at least 1e-9 in magnitude.
void Cramer(const double a[3][4], double x[3], double& det, double num[3])
{
    det = MindestBetrag(Det3(a, 0, 1, 2), 1e-9);
    num[0] = Det3(a, 3, 1, 2);
    num[1] = Det3(a, 0, 3, 2);
    num[2] = Det3(a, 0, 1, 3);
    for (int j = 0; j < 3; ++j)
        x[j] = num[j] / det;
}
}  // namespace

// The found plane's secant stiffnesses and its slope of moment over curvature toward the target moment.
void cBem::SetzeSekantensteifigkeiten(const double ziel[3], double jac[3][4], double& dmdk)
{
    m_By = std::fabs(m_kz) <= kOhneKruemmung ? 0.0 : std::fabs(ziel[2] / m_kz);
    m_Bz = std::fabs(m_ky) <= kOhneKruemmung ? 0.0 : std::fabs(ziel[1] / m_ky);
    double my = 1.0, mz = 0.0;
    const double mm = std::hypot(ziel[2], ziel[1]);
    if (std::fabs(ziel[2]) >= 1e-4 || std::fabs(ziel[1]) >= 1e-4) {
        my = ziel[2] / mm;
        mz = ziel[1] / mm;
    }
    jac[0][3] = 0.0;
    jac[1][3] = mz;
    jac[2][3] = my;
    double dk[3], d2, nn[3];
    Cramer(jac, dk, d2, nn);
    if (nn[1] != 0.0 || nn[2] != 0.0)
        dmdk = 1.0 / std::hypot(dk[1], dk[2]);
    m_dmdk = dmdk;
}

// The slope of each plane's moment without curvature, the axial force and the other moment held: the curvature
// a unit moment makes, from the section's tangent at the found plane.
void cBem::SetzeSteifigkeitenOhneKruemmung()
{
    m_ByGerade = 0.0;
    m_BzGerade = 0.0;
    const bool geradeY = std::fabs(m_kz) <= kOhneKruemmung, geradeZ = std::fabs(m_ky) <= kOhneKruemmung;
    if (!geradeY && !geradeZ)
        return;
    double T[3][3];
    Tangente(T);
    auto steifigkeit = [&T](int moment) {
        double a[3][4];
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j)
                a[i][j] = T[i][j];
            a[i][3] = i == moment ? 1.0 : 0.0;
        }
        double k[3], det, num[3];
        Cramer(a, k, det, num);
        // a section that has no slope left (every fibre on its plateau) has no stiffness
        return std::fabs(k[moment]) > 0.0 ? 1.0 / std::fabs(k[moment]) : 0.0;
    };
    // rows and unknowns in the order N, Mz, My and eps0, ky, kz
    if (geradeY)
        m_ByGerade = steifigkeit(2);
    if (geradeZ)
        m_BzGerade = steifigkeit(1);
}

// Newton's method on the exact slopes of the law, each step shortened until the residual falls and the
// plane stays within the ultimate strains: the steps cannot swing about the state nor leave the laws (the
// laws' stress never falls as the strain grows, so their slopes lead towards the state). True with the
// plane of the state set, x its (eps0, ky, kz), F its resultants (N, Mz, My) and jac its slopes.
bool cBem::DehnzuAbsteigend(const double ziel[3], double x[3], double jac[3][4], double F[3])
{
    auto setze = [&](const double v[3], double f[3]) {
        m_eps0 = v[0];
        m_ky = v[1];
        m_kz = v[2];
        double n, my, mz;
        spareq(2, 0.0, 99.0, n, my, mz);
        f[0] = n;
        f[1] = mz;
        f[2] = my;
        return m_eps1b >= m_epscu && m_eps2s <= m_epsud;
    };
    auto fehler = [&](const double f[3], double R[3]) {
        double norm = 0.0;
        for (int i = 0; i < 3; ++i) {
            R[i] = ziel[i] - f[i];
            const double q = R[i] / std::max(std::fabs(ziel[i]), 1.0);
            norm += q * q;
        }
        return std::sqrt(norm);
    };
    auto steigung = [&]() {
        double J[3][3];
        Tangente(J);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                jac[i][j] = J[i][j];
    };
    if (!setze(x, F))
        return false;
    double R[3];
    double norm = fehler(F, R);
    for (int schritt = 0; schritt < 100; ++schritt) {
        steigung();
        if (norm < 1e-4)
            return true;
        for (int i = 0; i < 3; ++i)
            jac[i][3] = R[i];
        double dx[3], det, num[3];
        Cramer(jac, dx, det, num);
        bool klein = true;
        for (int i = 1; i <= 3; ++i) {
            const double de =
                dx[0] + std::cos((i - 1) * kPi) * m_ymax * dx[1] + std::cos(0.2 * i * kPi) * m_zmax * dx[2];
            klein = klein && std::fabs(de) < kDehnungsAufloesung;
        }
        // A whole step below the strain resolution is the state, whatever rounding leaves of the residual, as
        // long as the forces are the target's to a percent.
        if (klein && norm <= 1e-2) {
            const double xt[3] = {x[0] + dx[0], x[1] + dx[1], x[2] + dx[2]};
            double Ft[3];
            if (setze(xt, Ft)) {
                std::copy(xt, xt + 3, x);
                std::copy(Ft, Ft + 3, F);
                steigung();
                return true;
            }
            setze(x, F);
        }
        // Along a step that solves J dx = R the residual's square falls at twice its own rate; a tenth of that
        // is asked, the step halved until it is met.
        auto suche = [&](const double d[3]) {
            double t = 1.0;
            for (int halbiert = 0; halbiert < 50; ++halbiert, t *= 0.5) {
                const double xt[3] = {x[0] + t * d[0], x[1] + t * d[1], x[2] + t * d[2]};
                double Ft[3], Rt[3];
                if (!setze(xt, Ft))
                    continue;
                const double nt = fehler(Ft, Rt);
                if (nt * nt <= (1.0 - 0.2 * t) * norm * norm) {
                    std::copy(xt, xt + 3, x);
                    std::copy(Ft, Ft + 3, F);
                    std::copy(Rt, Rt + 3, R);
                    norm = nt;
                    return true;
                }
            }
            return false;
        };
        bool weiter = suche(dx);
        // Where the slopes are nearly singular (bars yielded, concrete cracked: planes that differ give nearly
        // the same forces) the step of J dx = R need not lead downhill; the regularised normal equations
        // (J' W J + mu diag) d = J' W R always do, W the residual's weights.
        for (double mu = 1e-4; !weiter && mu <= 1e4; mu *= 100.0) {
            double w[3], a[3][4] = {};
            for (int i = 0; i < 3; ++i)
                w[i] = 1.0 / std::pow(std::max(std::fabs(ziel[i]), 1.0), 2);
            double groesst = 0.0;
            for (int j = 0; j < 3; ++j) {
                for (int k = 0; k < 3; ++k)
                    for (int i = 0; i < 3; ++i)
                        a[j][k] += jac[i][j] * w[i] * jac[i][k];
                for (int i = 0; i < 3; ++i)
                    a[j][3] += jac[i][j] * w[i] * R[i];
                groesst = std::max(groesst, a[j][j]);
            }
            for (int j = 0; j < 3; ++j)
                a[j][j] += mu * a[j][j] + 1e-12 * groesst;
            double d[3], detA, numA[3];
            Cramer(a, d, detA, numA);
            weiter = suche(d);
        }
        if (!weiter)
            break;
    }
    setze(x, F);
    return false;
}

int cBem::DEHNZU(double& N, double& My, double& Mz, double eps0, double ky, double kz, double& dmdk, int& code)
{
    code = 0;
    dmdk = 0.0;
    m_ByGerade = 0.0;
    m_BzGerade = 0.0;
    m_limitErreicht = 0;
    const double ziel[3] = {N, Mz, My};  // residual order: N, Mz, My

    // The capacity search starts from where the last one of this section under the same laws ended: the
    // forces of the stiffness iteration change little from one pass to the next. A start that does not
    // lead to the capacity gives way to the search's own start.
    double gamma = 0.0;
    int sc = 0;
    const double NLast = N, MyLast = My, MzLast = Mz;
    PruefeEinheitsebenen();
    const int eintrag = m_einheitAktiv;
    const double startAlpha = m_einheit[eintrag].startAlpha, startK = m_einheit[eintrag].startK;
    SicherGeprueft(startAlpha, startK, N, My, Mz, gamma, sc);
    if (m_limitErreicht && startK <= 33.0) {
        N = NLast;
        My = MyLast;
        Mz = MzLast;
        SicherGeprueft(0.0, 99.0, N, My, Mz, gamma, sc);
    }
    m_einheit[eintrag].startAlpha = m_limitErreicht ? 0.0 : m_sicherAlpha;
    m_einheit[eintrag].startK = m_limitErreicht ? 99.0 : m_sicherK;
    if (gamma < 0.95) {
        code = kBemDehnungUeberschritten;
        g_trace.Printf(" ** GRENZDEHNUNGEN UEBERSCHRITTEN\n SICHERHEITSNACHWEIS **\n");
        DruckeBemTabellen(3, 2, N, My, Mz, 0.0, gamma, 0.0);
        return 0;
    }

    // The ultimate planes of the safety check leave their own largest concrete strain behind (centric
    // shortening: the strain at the peak of the curve). It stays the tension reference of the law while the
    // plane is sought; the plane that is found reports its own.
    auto ende = [&](const double F[3]) {
        N = F[0];
        Mz = F[1];
        My = F[2];
        const double e2b = Randdehnungen();
        m_eps2b = e2b > -1e9 ? e2b : kBemLeer;
    };

    const double ymax = m_ymax, zmax = m_zmax;
    double jac[3][4] = {};
    // The safety check has found the forces within the section's capacity, so a state exists: a search that
    // swings about it without end from the start above is taken over by the search that cannot swing.
    auto sicherGesucht = [&](double F[3], const double* von = nullptr) {
        double x[3] = {eps0, ky, kz};
        if (von)
            std::copy(von, von + 3, x);
        if (!DehnzuAbsteigend(ziel, x, jac, F))
            return false;
        m_limitErreicht = 0;
        ende(F);
        SetzeSekantensteifigkeiten(ziel, jac, dmdk);
        SetzeSteifigkeitenOhneKruemmung();
        return true;
    };
    bool daempfung = false;
    for (;;) {
        double x[3] = {eps0, ky, kz};
        // the start plane and its difference planes (slots 0 to 3) come again while the search before ends
        // where it ended last time
        Ebene* start = m_einheit[m_einheitAktiv].dehnStart;
        auto setze = [&](const double v[3], double f[3], int slot = -1) {
            m_eps0 = v[0];
            m_ky = v[1];
            m_kz = v[2];
            double n, my, mz;
            if (slot >= 0)
                SpareqGemerkt(&start[slot], 1, &start[slot], 99.0, n, my, mz);
            else
                spareq(2, 0.0, 99.0, n, my, mz);
            f[0] = n;
            f[1] = mz;
            f[2] = my;
        };
        double F[3];
        setze(x, F, 0);
        int bauten = 0, iter = 0, schritte = 0;
        double detLetzt = 0.0, detVor = 0.0, normVor = 0.0;
        while (m_eps1b >= m_epscu && m_eps2s <= m_epsud) {
            double R[3], norm = 0.0;
            for (int i = 0; i < 3; ++i) {
                R[i] = ziel[i] - F[i];
                const double q = R[i] / std::max(std::fabs(ziel[i]), 1.0);
                norm += q * q;
            }
            norm = std::sqrt(norm);
            // The Jacobian is kept while the residual at least halves per step. Kept from a plane far from
            // the solution (the start lies at -0.3 per mille, a lightly loaded section near 0) its slope
            // can be half the true one, and the steps then swing about the solution without end.
            const bool stockt = iter >= 2 && norm > 0.5 * normVor;
            normVor = norm;
            const bool bauen = iter < 2 || stockt || (detVor != 0.0 && std::fabs(detLetzt / detVor) <= 0.5);
            if (bauen) {
                if (++bauten >= 25) {
                    g_trace.Printf("* ITERATION DES DEHNUNGSZUSTANDES NACH %d SCHRITTEN ABGEBROCHEN *\n", bauten);
                    if (sicherGesucht(F))
                        return 0;
                    code = kBemDehnungUeberschritten;
                    m_limitErreicht = 1;
                    ende(F);
                    return 0;
                }
                for (int j = 0; j < 3; ++j) {
                    double xp[3] = {x[0], x[1], x[2]};
                    const double d = Vorzeichen(std::max(0.01 * std::fabs(x[j]), 0.01), x[j]);
                    xp[j] += d;
                    double Fp[3];
                    setze(xp, Fp, iter == 0 ? 1 + j : -1);
                    for (int i = 0; i < 3; ++i)
                        jac[i][j] = (Fp[i] - F[i]) / d;
                }
                // the plane is set anew by the step below; x's resultants are still in F
                detVor = detLetzt;
                detLetzt = Det3(jac, 0, 1, 2);
            }
            ++iter;
            for (int i = 0; i < 3; ++i)
                jac[i][3] = R[i];
            double dx[3], det, num[3];
            Cramer(jac, dx, det, num);
            const double omega = daempfung ? 1.0 - std::pow(0.5, bauten) : 1.0;
            for (double& v : dx)
                v *= omega;
            bool klein = true;
            for (int i = 1; i <= 3; ++i) {
                const double de =
                    dx[0] + std::cos((i - 1) * kPi) * ymax * dx[1] + std::cos(0.2 * i * kPi) * zmax * dx[2];
                klein = klein && std::fabs(de) < kDehnungsAufloesung;
            }
            const double vorher[3] = {x[0], x[1], x[2]};
            for (int j = 0; j < 3; ++j)
                x[j] += dx[j];
            setze(x, F);
            auto rest = [&]() {
                double q = 0.0;
                for (int i = 0; i < 3; ++i)
                    q += std::pow((ziel[i] - F[i]) / std::max(std::fabs(ziel[i]), 1.0), 2);
                return std::sqrt(q);
            };
            // The plane before the step met the forces already: a step of a kept Jacobian that is far from the
            // slopes there (bars yielded, concrete cracked) must not carry it off again.
            if (norm < 1e-4 && rest() > norm) {
                std::copy(vorher, vorher + 3, x);
                setze(x, F);
            }
            // A step below the strain resolution from a Jacobian of differences far from the state is no proof
            // of it: the forces of the plane must be the target's to a percent, or the exact slopes go on.
            if (klein && norm >= 1e-4 && rest() > 1e-2 && sicherGesucht(F, x))
                return 0;
            if (klein || norm < 1e-4) {
                ende(F);
                // Secant stiffnesses from the target moments and the final curvatures. A plane without
                // curvature has none: 0 says so, and the frame analysis keeps the stiffness it has there.
                // (The gross E I in its place would lift a cracked section back to its uncracked stiffness
                // wherever its moment passes zero, and the damped fall from there would not settle.)
                SetzeSekantensteifigkeiten(ziel, jac, dmdk);
                SetzeSteifigkeitenOhneKruemmung();
                return 0;
            }
            if (++schritte > 100) {
                g_trace.Printf("* (2)ITERATION DES DEHNUNGSZUSTANDES NACH %d SCHRITTEN ABGEBROCHEN *\n", schritte);
                if (sicherGesucht(F))
                    return 0;
                m_limitErreicht = 1;
                ende(F);
                return 0;
            }
        }
        if (daempfung) {
            g_trace.Printf("* ITERATION DES DEHNUNGSZUSTANDES NACH %d SCHRITTEN ABGEBROCHEN *\n", bauten);
            if (sicherGesucht(F))
                return 0;
            code = kBemDehnungUeberschritten;
            ende(F);
            return 0;
        }
        daempfung = true;  // the step left the ultimate strains: once more from the start, damped
    }
}

int cBem::IteriereBewVerhaeltnis(double as, double N, double My, double Mz, double minmue, double maxmue, double& mue,
                                 double& gamma, int& code)
{
    code = 0;
    m_limitErreicht = 0;
    m_shortAtMaxRatio = false;
    const bool automatisch = !(gamma > 0.0);  // 0 (or a meaningless negative value): from the steel strain
    double gammaErf = gamma;
    const double ac = m_ac;
    if (!(as > 0.0) || !(ac > 0.0)) {
        code = kBemKeineBewehrung;  // nothing that a factor could scale
        return 0;
    }
    auto faktor = [&](double mu) { return ac / as * mu * 0.01; };
    double nu = 0.0, myu = 0.0, mzu = 0.0;
    auto lauf = [&](double mu) {
        bwfakt = faktor(mu);
        nu = N;
        myu = My;
        mzu = Mz;
        double g = 0.0;
        int c = 0;
        Sicher(0.0, 99.0, nu, myu, mzu, g, c);
        m_nu = nu;
        m_myu = myu;
        m_mzu = mzu;
        if (automatisch)
            gammaErf = GammaAusDehnung(m_eps2s);
        return g;
    };

    double g0 = lauf(minmue);
    double verh = g0 / gammaErf;
    if (verh >= 1.0) {
        if (m_minBew && !automatisch)
            verh = 1.0;
        mue = minmue / verh;
        gamma = lauf(mue);
        m_gammaErf = gammaErf;
        return 0;
    }
    const double gMax = lauf(maxmue);
    const double verhMax = gMax / gammaErf;
    if (verhMax > 1.0) {
        double xa = minmue, fa = verh, xb = maxmue, fb = verhMax;
        double xc = xb - (xb - xa) * (fb - 1.0) / (fb - fa);
        for (int pass = 1; pass <= 100; ++pass) {
            xc = std::clamp(xc, minmue, maxmue);
            const double g = lauf(xc);
            const double fc = g / gammaErf;
            if (std::fabs(g - gammaErf) < 1e-4) {
                mue = xc;
                gamma = g;
                m_gammaErf = gammaErf;
                return 0;
            }
            // SekantenSchritt (Pegasus rule, target 1)
            const double q = pass == 1 ? -1.0 : (fc - 1.0) / MindestBetrag(fb - 1.0, 1e-300);
            if (q >= 0.0) {
                if (q <= 1.0)
                    fa = 1.0 + (fa - 1.0) / (1.0 + q);
            } else {
                xa = xb;
                fa = fb;
            }
            xb = xc;
            fb = fc;
            xc = fb != fa ? xb - (xb - xa) * (fb - 1.0) / (fb - fa) : 0.5 * (xa + xb);
        }
        m_limitErreicht = 1;
        g_trace.Printf("ITERATION DES  BEW.-VERHAELTNISSES NACH %d ITERATIONEN ABGEBROCHEN\n", 101);
        return 0;
    }
    // at the greatest ratio the section carries its forces, or does not and the design stops there
    m_shortAtMaxRatio = !(verhMax >= 1.0);
    mue = maxmue;
    bwfakt = faktor(maxmue);
    gamma = gMax;
    m_gammaErf = gammaErf;
    return 0;
}
