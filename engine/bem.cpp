#include "engine/bem.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/messages.h"
#include "engine/protocol.h"
#include "engine/utilities.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

double Grad(double rad)
{
    return rad * 180.0 / kPi;
}
}  // namespace

cBem::cBem()
{
    SetzeMaterial(-1, nullptr);
}

double cBem::Vorzeichen(double a, double b)
{
    return b >= 0.0 ? std::fabs(a) : -std::fabs(a);
}

double cBem::PolygonFlaeche(int n, const double* y, const double* z, double& umfang)
{
    double a = 0.0;
    umfang = 0.0;
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        a += y[i] * z[j] - y[j] * z[i];
        umfang += std::hypot(y[j] - y[i], z[j] - z[i]);
    }
    return a / 2.0;
}

int cBem::SetzeMaterial(int mode, const double* values)
{
    if (mode == -1) {
        m_nqgr = 0;
        m_nmat = 0;
        std::fill(std::begin(m_mat), std::end(m_mat), 0.0);
        std::fill(std::begin(m_istBeton), std::end(m_istBeton), 0);
        std::fill(std::begin(m_npkt), std::end(m_npkt), 0);
        std::fill(std::begin(m_agr), std::end(m_agr), 0.0);
        std::fill(std::begin(m_bemgr), std::end(m_bemgr), 0);
        std::fill(std::begin(m_pa), std::end(m_pa), 0.0);
        m_E = 34000.0;
        m_zustand = 1;
        m_ac = m_ymax = m_zmax = m_tiefe = 0.0;
        m_epscu = m_eps1c = m_epsud = 0.0;
        return 0;
    }
    if (mode == -2) {
        int beton = 0, stahl = 0;
        for (int m = 1; m <= m_nmat; ++m) {
            m_istBeton[m] = std::fabs(Mat(1, m)) > Mat(4, m) ? 1 : 0;
            if (m_istBeton[m] && !beton) {
                beton = m;
                m_epscu = Mat(2, m);
                m_eps1c = Mat(1, m);
            } else if (!m_istBeton[m] && !stahl) {
                stahl = m;
                m_epsud = Mat(2, m);
            }
        }
        return (m_nmat == 0 || !beton || !stahl) ? -2 : 0;
    }
    if (mode < 1 || mode > kBemMaxMaterial || values == nullptr)
        return -1;
    for (int k = 0; k < 6; ++k)
        m_mat[MatIndex(k) + mode] = values[k];
    if (mode == 1)
        m_E = values[6];
    m_istBeton[mode] = std::fabs(values[1]) > values[4] ? 1 : 0;
    m_nmat = std::max(m_nmat, mode);
    return 0;
}

int cBem::SetzeQuerGruppe(int g, int npkt, int material, int type, const double* yCm, const double* zCm,
                          const double* areas, int kind)
{
    if (g < 1 || g > kBemMaxGruppen || npkt < 1 || material < 1 || material > kBemMaxMaterial || !yCm || !zCm)
        return 1;
    const int erst = g == 1 ? 1 : m_gerst[g - 1] + m_npkt[g - 1];
    if (erst < 1 || erst + npkt - 1 > kBemMaxPunkte) {
        char text[64];
        std::snprintf(text, sizeof text, "Mehr als %d Eckpunkte", kBemMaxPunkte);
        EngineMessage(text);
        return 1;
    }
    const bool mitFlaechen = areas != nullptr && areas[0] >= -1e8;
    double zmin = 1e30, zmax = -1e30;
    for (int k = 0; k < npkt; ++k) {
        const int i = erst + k;
        m_py[i] = yCm[k] * 0.01;
        m_pz[i] = zCm[k] * 0.01;
        m_pa[i] = mitFlaechen ? areas[k] : 0.0;
        m_ymax = std::max(m_ymax, std::fabs(m_py[i]));
        m_zmax = std::max(m_zmax, std::fabs(m_pz[i]));
        zmin = std::min(zmin, m_pz[i]);
        zmax = std::max(zmax, m_pz[i]);
    }
    if (m_pa[erst] == 0.0) {
        m_gpoly[g] = 1;
        double umfang = 0.0;
        m_agr[g] = 0.0001 * PolygonFlaeche(npkt, yCm, zCm, umfang);
        m_tiefe = std::max(m_tiefe, zmax - zmin);
    } else {
        m_gpoly[g] = 0;
        double s = 0.0;
        for (int k = 0; k < npkt; ++k)
            s += m_pa[erst + k];
        m_agr[g] = s;
    }
    if (m_istBeton[material])
        m_ac += m_agr[g];
    m_nqgr = std::max(m_nqgr, g);
    m_gerst[g] = erst;
    m_npkt[g] = npkt;
    m_gmat[g] = material;
    m_gtyp[g] = type;
    m_exbemgr[g] = kind;
    m_bemgr[g] = 0;
    return 0;
}

QuerschnittsWerte cBem::BerechneQuerschnittswerte() const
{
    double A = 0.0, Sy = 0.0, Sz = 0.0, Iyy = 0.0, Izz = 0.0;
    for (int g = 1; g <= m_nqgr; ++g) {
        if (!m_gpoly[g] || !IstBeton(g))
            continue;
        const int e = m_gerst[g], n = m_npkt[g];
        for (int k = 0; k < n; ++k) {
            const int i = e + k, j = e + (k + 1) % n;
            const double yi = m_py[i], zi = m_pz[i], yj = m_py[j], zj = m_pz[j];
            const double c = zj * yi - yj * zi;
            A += c / 2.0;
            Sy += (yi + yj) * c / 6.0;
            Sz += (zi + zj) * c / 6.0;
            Izz += ((yi + yj) * (yi + yj) - yi * yj) * c / 12.0;
            Iyy += ((zi + zj) * (zi + zj) - zi * zj) * c / 12.0;
        }
    }
    QuerschnittsWerte w;
    w.A = A;
    if (A != 0.0) {
        w.ys = Sy / A;
        w.zs = Sz / A;
    }
    w.Iy = Iyy - w.zs * w.zs * A;
    w.Iz = Izz - w.ys * w.ys * A;
    return w;
}

void cBem::BewehrungsTraegheit(double& Iy, double& Iz) const
{
    const QuerschnittsWerte w = BerechneQuerschnittswerte();
    Iy = Iz = 0.0;
    for (int g = 1; g <= m_nqgr; ++g)
        if (IstBewehrung(g))
            for (int i = m_gerst[g]; i < m_gerst[g] + m_npkt[g]; ++i) {
                Iy += m_pa[i] * (m_pz[i] - w.zs) * (m_pz[i] - w.zs);
                Iz += m_pa[i] * (m_py[i] - w.ys) * (m_py[i] - w.ys);
            }
}

void cBem::HoleQuerschnittswerte(QuerschnittsRecord& r)
{
    const QuerschnittsWerte w = BerechneQuerschnittswerte();
    r.A = w.A;
    r.Iy = w.Iy;
    r.Iz = w.Iz;
    r.Imin = std::min(w.Iy, w.Iz);
    r.E1000 = 1000.0 * m_E;
    m_EIy = m_E * w.Iy;
    m_EIz = m_E * w.Iz;
}

double cBem::ZugFaktor(int m, bool offsetAus) const
{
    if (!m_istBeton[m])
        return Mat(0, m);
    const double e1 = Mat(1, m), e3 = offsetAus ? 0.0 : Mat(3, m), e4 = Mat(4, m);
    if (e4 == 0.0 || e1 == 0.0)
        return 0.0;
    double c = (2.0 - m_eps2b - e3) / (2.0 - e4);
    c = std::clamp(c, 0.0, 1.0);
    return -(e4 * Mat(0, m) / e1) * c;
}

double cBem::Spannung(int m, double eps, double t) const
{
    const double n = Mat(5, m);
    if (eps >= 0.0) {
        double e4 = Mat(4, m);
        if (std::fabs(e4) < 1e-9)
            e4 = Vorzeichen(1e-9, e4);
        const double r = std::min(eps / e4, 1.0);
        return (1.0 - std::pow(1.0 - r, n)) * t;
    }
    double e1 = Mat(1, m);
    if (std::fabs(e1) < 1e-9)
        e1 = Vorzeichen(1e-9, e1);
    const double r = std::min(eps / e1, 1.0);
    return -(1.0 - std::pow(1.0 - r, n)) * Mat(0, m);
}

double cBem::sigeps(double& sigStahlMax)
{
    double asZug = 0.0;
    sigStahlMax = -1e10;
    for (int g = 1; g <= m_nqgr; ++g) {
        const int m = m_gmat[g];
        const double t = ZugFaktor(m, false);
        for (int i = m_gerst[g]; i < m_gerst[g] + m_npkt[g]; ++i) {
            m_peps[i] = m_eps0 + m_ky * m_py[i] + m_kz * m_pz[i] + Mat(3, m);
            m_psig[i] = Spannung(m, m_peps[i], t);
            if (!m_istBeton[m]) {
                if (m_peps[i] > 0.0)
                    asZug += m_pa[i];
                sigStahlMax = std::max(sigStahlMax, m_psig[i]);
            }
        }
    }
    return asZug;
}

int cBem::AsBewehrung(double As[5])
{
    for (int k = 0; k < 5; ++k)
        As[k] = 0.0;
    for (int g = 1; g <= m_nqgr; ++g) {
        if (!m_bemgr[g])
            continue;
        const double a = bwfakt * m_agr[g] * 10000.0;
        switch (m_bwbild) {
        case -2:
            if (m_exbemgr[g] == 1 || m_exbemgr[g] == 2)
                As[m_exbemgr[g] - 1] += a;
            break;
        case -1: As[0] += a; break;
        case 1: As[1] += a; break;
        case 2: As[2] += a; break;
        case 3: As[3] += a; break;
        case 4: As[4] += a; break;
        default: break;
        }
    }
    if (g_trace.IsOpen()) {
        g_trace.Printf("***** ENDGUELTIGE BEWEHRUNG *******\n");
        for (int k = 0; k < 5; ++k)
            g_trace.Printf(" As[%d] = %.3f\n", k, As[k]);
    }
    return m_bwbild;
}

void cBem::SpeichereErgebnis(int mode, double N, double My, double Mz, double dmdk, double gamma, double mue)
{
    if (mode < 1 || mode > 4)
        return;
    BemErgebnis& e = m_erg[mode];
    e = BemErgebnis{};
    e.N = N;
    e.My = My;
    e.Mz = Mz;
    if (mode == 4) {
        e.faktor = bwfakt;
        e.gamma = gamma;
    }
    e.alfM = Grad(engine::Angle(Mz, My));
    // A curvature component that is round-off against the plane's strains (a symmetric section without moment,
    // or the other component of a plane along an axis) counts as zero: the angle then takes the convention of
    // a zero vector instead of the sign of the round-off.
    const double h = std::max(m_ymax, m_zmax);
    const double rauschen = 1e-9 * (std::fabs(m_eps0) + std::hypot(m_ky, m_kz) * h);
    const double ky = std::fabs(m_ky) * h <= rauschen ? 0.0 : m_ky;
    const double kz = std::fabs(m_kz) * h <= rauschen ? 0.0 : m_kz;
    const double alfK = engine::Angle(kz, ky);
    e.alfK = Grad(alfK);
    e.dmdk = dmdk;
    double nl = Grad(alfK) - 90.0;
    while (nl < -180.0)
        nl += 360.0;
    while (nl >= 180.0)
        nl -= 360.0;
    e.nullinie = nl;
    e.y0 = std::fabs(m_ky) > 0.001 ? -m_eps0 / m_ky : 0.0;
    e.z0 = std::fabs(m_kz) > 0.001 ? -m_eps0 / m_kz : 0.0;
    e.eps1b = m_eps1b;
    e.eps2b = m_eps2b;
    e.eps2s = m_eps2s;
    if (mode == 2) {
        double sig = 0.0;
        e.asZug = sigeps(sig);
        e.sigStahl = sig;
        double b0 = 0.0, zug = 0.0;
        BerechneNullinienbreite(b0, zug);
        e.zugzone = zug;
        e.nullinienbreite = b0;
    }
    (void)mue;
}

void cBem::BerechneNullinienbreite(double& b0, double& zugflaeche)
{
    b0 = 0.0;
    zugflaeche = 0.0;
    m_sigBetonMax = -1e10;
    m_sigBetonMin = 1e10;
    for (int g = 1; g <= m_nqgr; ++g) {
        if (!IstBeton(g) || !m_gpoly[g])
            continue;
        // SchneideZugzone: the polygon cut at the zero of the strain, tension side kept
        double cy[2 * kBemMaxPunkte + 2], cz[2 * kBemMaxPunkte + 2], cv[2 * kBemMaxPunkte + 2];
        int nc = 0;
        const int e = m_gerst[g], n = m_npkt[g];
        for (int k = 0; k < n; ++k) {
            const int i = e + k, p = e + (k + n - 1) % n;
            m_sigBetonMax = std::max(m_sigBetonMax, m_psig[i] * 0.001);
            m_sigBetonMin = std::min(m_sigBetonMin, m_psig[i] * 0.001);
            const double vp = m_peps[p], vi = m_peps[i];
            if ((vp < 0.0 && vi > 0.0) || (vp > 0.0 && vi < 0.0)) {
                const double s = vp / (vp - vi);
                cy[nc] = m_py[p] + s * (m_py[i] - m_py[p]);
                cz[nc] = m_pz[p] + s * (m_pz[i] - m_pz[p]);
                cv[nc++] = 0.0;
            }
            if (vi >= 0.0) {
                cy[nc] = m_py[i];
                cz[nc] = m_pz[i];
                cv[nc++] = vi;
            }
        }
        if (nc < 3)
            continue;
        double umfang = 0.0;
        const double a = PolygonFlaeche(nc, cy, cz, umfang);
        zugflaeche += a;
        const double sign = a < 0.0 ? -1.0 : 1.0;
        for (int k = 0; k < nc; ++k) {
            const int j = (k + 1) % nc;
            if (std::fabs(cv[k]) < 1e-5 && std::fabs(cv[j]) < 1e-5)
                b0 += sign * std::hypot(cy[j] - cy[k], cz[j] - cz[k]);
        }
    }
}

void cBem::DruckeZeile(char sep, const char* l1, double v1, const char* l2, double v2, const char* l3, double v3)
{
    if (!g_trace.IsOpen())
        return;
    std::string line;
    char buf[80];
    auto feld = [&](const char* label, double v) {
        if (!label || v >= kBemLeer)
            return;
        std::snprintf(buf, sizeof buf, "  %-8s%c %e", label, sep, v);
        line += buf;
    };
    const bool nurZweiDrei = l1 && (std::string(l1) == "(s)" || std::string(l1) == "(g)");
    if (!nurZweiDrei)
        feld(l1, v1);
    feld(l2, v2);
    feld(l3, v3);
    g_trace.Printf("%s\n", line.c_str());
}

void cBem::DruckeBemTabellen(int mode, int part, double N, double My, double Mz, double dmdk, double gamma, double mue)
{
    if (part == 2) {
        // result slots read by later checks
        m_slots[kBemSlotN] = N;
        m_slots[kBemSlotMy] = My;
        m_slots[kBemSlotMz] = Mz;
        double as[3] = {0.0, 0.0, 0.0};
        for (int g = 1; g <= m_nqgr; ++g)
            if (m_bemgr[g] && (m_exbemgr[g] == 1 || m_exbemgr[g] == 2))
                as[m_exbemgr[g]] += m_agr[g] * 10000.0;
        for (int k = 1; k <= 2; ++k) {
            const int s = kBemSlotKind1 + kBemSlotsPerKind * (k - 1);
            m_slots[s] = as[k];
            m_slots[s + 1] = k;
            m_slots[s + 2] = bwfakt;
            m_slots[s + 3] = bwfakt > 1.0 ? as[k] * bwfakt : as[k];
        }
        m_slots[kBemSlotGamma] = gamma;
        m_slots[kBemSlotEps0] = m_eps0;
        m_slots[kBemSlotKy] = m_ky;
        m_slots[kBemSlotKz] = m_kz;
        m_slots[kBemSlotEps1b] = m_eps1b;
        m_slots[kBemSlotEps2b] = m_eps2b;
        m_slots[kBemSlotEps2s] = m_eps2s;
        SpeichereErgebnis(mode, N, My, Mz, dmdk, gamma, mue);
        // the result record of a strain state holds the width and the tension zone already
        const double b0 = mode == kBemStrainState ? m_erg[kBemStrainState].nullinienbreite : 0.0,
                     zug = mode == kBemStrainState ? m_erg[kBemStrainState].zugzone : 0.0;
        m_slots[kBemSlotNeutralWidth] = b0 * 100.0;
        m_slots[kBemSlotTensionZone] = zug;
    }
    if (!g_trace.IsOpen())
        return;
    const char sep = part == 1 ? ':' : '=';
    if (part == 1) {
        if (mode == 1)
            g_trace.Printf("\n\nSpannungsresultierende\n");
        else if (mode == 2)
            g_trace.Printf("\n\nDehnungszustand\n");
        if (mode <= 2)
            DruckeZeile(sep, "N", N, "M.Y", My, "M.Z", Mz);
        else
            DruckeZeile(sep, "N.U", N, "M.YU", My, "M.ZU", Mz);
        if (mode == 4) {
            DruckeZeile(sep, "BWBILD", m_bwbild, "DRUCKB", m_druckbew, nullptr, 0.0);
            int nGr = 0;
            for (int g = 1; g <= m_nqgr; ++g)
                nGr += m_bemgr[g] ? 1 : 0;
            for (int g = 1; g <= m_nqgr; ++g)
                if (m_bemgr[g])
                    DruckeZeile(sep, nGr == 1 ? "GRUPPE" : "GRUPPEN", g, "FAKTOR", bwfakt, "MUE (%)", mue);
        }
        if (mode == 1) {
            const bool variantePlus = m_eps2b == m_eps2s;
            DruckeZeile(sep, "EPS.1B", m_eps1b, variantePlus ? "EPS.2B" : "EPS.2S", m_eps2s, "ALF.K", m_steuer[0]);
        }
        return;
    }
    const BemErgebnis& e = m_erg[std::clamp(mode, 1, 4)];
    DruckeZeile(sep, "DM/DK", dmdk, "ALF.M", e.alfM, "ALF.K", e.alfK);
    if (mode == 2)
        DruckeZeile(sep, "kappa", std::hypot(m_ky, m_kz), "By", m_By, "Bz", m_Bz);
    else if (mode == 3)
        DruckeZeile(sep, "R.U/R", gamma, "ALF.M", e.alfM, "ALF.K", e.alfK);
    else if (mode == 4)
        DruckeZeile(sep, "GAMMA", gamma, "ALF.M", e.alfM, "ALF.K", e.alfK);
    DruckeZeile(sep, "ALF.0", e.nullinie, "Y.0", e.y0, "Z.0", e.z0);
    DruckeZeile(sep, "EPS.0", m_eps0, "DEPS/DY", m_ky, "DEPS/DZ", m_kz);
    DruckeZeile(sep, "EPS.1B", m_eps1b, "EPS.2B", m_eps2b, "EPS.2SZ", m_eps2s);
}

namespace {

// A strain of the order of kBemLeer means "not given": the records show 0.
double Gegeben(double eps)
{
    return std::fabs(eps) >= 0.1 * kBemLeer ? 0.0 : eps;
}

}  // namespace

SectionState cBem::StateOf(BemMode mode) const
{
    const BemErgebnis& e = m_erg[mode];
    return {e.N, e.My, e.Mz, Gegeben(e.eps1b), Gegeben(e.eps2b), Gegeben(e.eps2s), e.alfK};
}

SectionCrack cBem::CrackState() const
{
    const BemErgebnis& e = m_erg[kBemStrainState];
    const double zug = std::fabs(e.zugzone);
    return {Gegeben(e.eps1b),
            Gegeben(e.eps2b),
            Gegeben(e.eps2s),
            e.sigStahl * 0.001,
            m_ac > 0.0 ? zug / m_ac : 0.0,
            zug > 0.0 ? e.asZug / zug * 100.0 : 0.0};
}
