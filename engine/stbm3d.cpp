// The one entry into the design of a single cross-section: resultants of a strain state, strain state
// under given forces, ultimate safety factor, or design of the reinforcement.
#include <algorithm>
#include <cmath>

#include "engine/bem.h"
#include "engine/protocol.h"
#include "engine/rechner.h"

void cBem::BerechneBezugspunkt()
{
    m_yr = 0.0;
    m_zr = 0.0;
    m_eps0 = -0.01;
    m_ky = 0.0;
    m_kz = 0.0;
    // Every design of the section asks for it again, and the section rarely changes in between: kept per
    // fingerprint, with everything the plane leaves behind, so that a kept point changes nothing.
    static std::vector<unsigned char> abdruck;  // one thread only (see material.cpp)
    Abdruck(abdruck);
    for (Bezugspunkt& b : m_bezug) {
        if (b.abdruck.empty() || b.eps2b != m_eps2b || b.abdruck != abdruck)
            continue;
        m_yr = b.yr;
        m_zr = b.zr;
        m_eps1b = b.eps1b;
        m_eps2s = b.eps2s;
        m_hebel = b.hebel;
        m_druck = b.druck;
        m_zug = b.zug;
        m_zustand = 0;
        return;
    }
    double N = 0.0, My = 0.0, Mz = 0.0;
    spareq(2, 0.0, 99.0, N, My, Mz);
    // the centroid of the resultant of a uniform shortening
    if (N != 0.0) {
        m_yr = -Mz / N;
        m_zr = My / N;
    }
    Bezugspunkt& b = m_bezug[m_bezugNaechster];
    m_bezugNaechster = (m_bezugNaechster + 1) % 2;
    b.abdruck.swap(abdruck);
    b.eps2b = m_eps2b;
    b.yr = m_yr;
    b.zr = m_zr;
    b.eps1b = m_eps1b;
    b.eps2s = m_eps2s;
    b.hebel = m_hebel;
    b.druck = m_druck;
    b.zug = m_zug;
    m_zustand = 0;
}

namespace {
// A moment that is zero in exact arithmetic leaves the frame analysis as 1e-13 to 1e-17 kNm of either sign (a
// column head under normal force alone). Kept, it would set the direction of the capacity search and the printed
// angles by chance. The band is far below any moment that changes a design: 1e-9 of the section's force times its
// size is an eccentricity of a micrometre per kilometre of section; the floor, 1e-6 kNm, covers sections that
// carry almost no normal force, where the round-off comes from the moments elsewhere in the column.
constexpr double kRundungRelativ = 1e-9;
}  // namespace

void cBem::OhneRundung(double N, double& My, double& Mz) const
{
    const double h = std::max(m_ymax, m_zmax);
    const double grenze = std::max(kRundungRelativ * (std::fabs(N) * h + std::hypot(My, Mz)), kBemMomentNull);
    if (std::fabs(My) <= grenze)
        My = 0.0;
    if (std::fabs(Mz) <= grenze)
        Mz = 0.0;
}

int cBem::stbm3d(int mode, const int* intParams, const double* realParams)
{
    m_code = 0;
    m_eps2b = kBemLeer;
    std::fill(std::begin(m_bemgr), std::end(m_bemgr), 0);
    std::fill(std::begin(m_slots), std::end(m_slots), 0.0);
    for (int k = 0; k < 6; ++k)
        m_steuer[k] = realParams[k];
    m_gammaErf = realParams[6];

    if (m_zustand < 3)
        BerechneBezugspunkt();
    m_kd = intParams[3];
    if (mode < 0)
        return 0;

    double N = 0.0, My = 0.0, Mz = 0.0, dmdk = 0.0, gamma = 0.0, mue = 0.0;
    int code = 0;
    switch (mode) {
    case 1: {
        m_eps1b = realParams[1];
        m_eps2s = realParams[2];
        const int s = intParams[0];
        if (s != 1 && s != 2)
            return -1;
        if (s == 1)
            m_eps2b = m_eps2s;
        DruckeBemTabellen(1, 1, N, My, Mz, 0.0, 0.0, 0.0);
        spareq(1, realParams[0], 99.0, N, My, Mz);
        break;
    }
    case 2:
    case 3:
        N = realParams[0];
        My = realParams[4];
        Mz = realParams[5];
        OhneRundung(N, My, Mz);
        DruckeBemTabellen(mode, 1, N, My, Mz, 0.0, 0.0, 0.0);
        if (mode == 3)
            Sicher(0.0, 99.0, N, My, Mz, gamma, code);
        else
            DEHNZU(N, My, Mz, -0.3, 0.0, 0.0, dmdk, code);
        if (code != 0) {
            m_code = code;
            return code;
        }
        break;
    case 4: {
        N = realParams[0];
        My = realParams[4];
        Mz = realParams[5];
        OhneRundung(N, My, Mz);
        WaehleBewehrungsbild(N, My, Mz);
        double as = 0.0;
        for (int g = 1; g <= m_nqgr; ++g)
            if (m_bemgr[g])
                as += m_agr[g];
        g_trace.Printf("-> stbm3d: as = %.3f <-\n", as * 10000.0);
        DruckeBemTabellen(4, 1, N, My, Mz, 0.0, 0.0, m_mue);
        gamma = m_gammaErf;
        IteriereBewVerhaeltnis(as, N, My, Mz, m_minmue, m_maxmue, mue, gamma, code);
        if (code != 0) {
            m_code = code;
            return code;
        }
        m_mue = mue;
        N = m_nu;
        My = m_myu;
        Mz = m_mzu;
        break;
    }
    default: return 0;
    }
    // the found state's moments in the same band are round-off too (a load without moment on a symmetric section)
    if (mode != 1)
        OhneRundung(N, My, Mz);
    DruckeBemTabellen(mode, 2, N, My, Mz, dmdk, gamma, mue);
    if (mode == 4) {
        double As[5];
        AsBewehrung(As);
    }
    return 0;
}

// What the choice of the reinforcement picture knows about the section under (N, My, Mz).
struct cBem::Bildlage {
    QuerschnittsWerte q;
    double A = 1.0, Iy = 1.0, Iz = 1.0;
    double N = 0.0, My = 0.0, Mz = 0.0;
    double myS = 0.0, mzS = 0.0;  // the moments the stresses are taken with
    double smin = 1e30, smax = -1e30;
    double b = 0.0, d = 0.0;  // width and depth of the first group
    double sigma0 = 0.0;      // centric stress, MN/m2
    double medy = 0.0;
    double fTop = 1.0, fBot = 1.0;
    int nurdruck = 1;

    double Spannung(const cBem& c, int i) const
    {
        return N / A + (c.m_pz[i] - q.zs) * myS / Iy - (c.m_py[i] - q.ys) * mzS / Iz;
    }
};

void cBem::SkaliereGruppe(int g, double f)
{
    m_agr[g] *= f;
    m_pa[m_gerst[g] + m_npkt[g] - 1] *= f;
}

// Stresses of the gross section under the larger moment alone: is all of it pressed?
void cBem::ErfasseSpannungsbild(Bildlage& L) const
{
    L.q = BerechneQuerschnittswerte();
    L.A = L.q.A != 0.0 ? L.q.A : 1.0;
    L.Iy = L.q.Iy != 0.0 ? L.q.Iy : 1.0;
    L.Iz = L.q.Iz != 0.0 ? L.q.Iz : 1.0;
    if (std::fabs(L.My) <= std::fabs(L.Mz))
        L.mzS = L.Mz;
    else
        L.myS = L.My;

    double ymin = 1e30, ymax = -1e30, zmin = 1e30, zmax = -1e30;
    if (m_nqgr >= 1) {
        for (int i = m_gerst[1]; i < m_gerst[1] + m_npkt[1]; ++i) {
            const double s = L.Spannung(*this, i);
            if (s > 0.0)
                L.nurdruck = 0;
            L.smin = std::min(L.smin, s);
            L.smax = std::max(L.smax, s);
            ymin = std::min(ymin, m_py[i]);
            ymax = std::max(ymax, m_py[i]);
            zmin = std::min(zmin, m_pz[i]);
            zmax = std::max(zmax, m_pz[i]);
        }
    }
    L.b = ymax > ymin ? ymax - ymin : 0.0;
    L.d = zmax > zmin ? zmax - zmin : 0.0;

    L.sigma0 = 0.001 * L.N / L.A;
    if (std::fabs(L.My) > 0.1 && std::fabs(L.Mz) > 0.1) {
        if (L.sigma0 < -0.1)
            L.nurdruck = 1;
        else if (std::fabs(L.sigma0) < 0.1)
            L.nurdruck = 0;
        else if (L.N != 0.0 && (std::fabs(L.Mz / L.N * L.b) > 0.2 || std::fabs(L.My / L.N * L.d) > 0.2))
            L.nurdruck = 1;
    }
}

// A compression zone too small for the moment about the reinforcement asks for compression reinforcement;
// small eccentricities and stresses of one sign leave the whole section pressed.
void cBem::PruefeDruckzone(Bildlage& L)
{
    const double N = L.N, My = L.My, Mz = L.Mz, b = L.b, d = L.d;
    const double zso = d / 2.0 - m_cOben * 0.01, zsu = d / 2.0 - m_cUnten * 0.01;
    const double dod = d - m_cOben * 0.01, dud = d - m_cUnten * 0.01;
    double h;
    if (My < 0.0) {
        L.medy = std::fabs(My - zso * N);
        h = dod;
    } else {
        L.medy = My - zsu * N;
        h = dud;
    }
    const double medy = L.medy;
    static const double kKdStern[8] = {1.93, 1.74, 1.54, 1.41, 1.30, 1.22, 1.15, 1.09};
    const double kdStern = (m_kd >= 1 && m_kd <= 8) ? kKdStern[m_kd - 1] : 1.5;

    auto summe = [&](int kind) {
        double s = 0.0;
        for (int g = 1; g <= m_nqgr; ++g)
            if (m_exbemgr[g] == kind)
                s += m_agr[g];
        return s;
    };
    if (std::fabs(medy) > 0.1 && b > 0.0) {
        const double kd = 100.0 * h / std::sqrt(std::fabs(medy / b));
        if (kd < kdStern) {
            L.nurdruck = 1;
            const double mStern = (100.0 * h / kdStern) * (100.0 * h / kdStern) * b;
            const double am = std::fabs(medy);
            if (!m_minBew && g_rechner.druckBewSchalter == 1 && mStern < am && am < 2.0 * mStern) {
                const double a1 = summe(1), a2 = summe(2);
                if (My > 0.0 && a2 > 0.0)
                    L.fBot = ((am - mStern) / am) * a1 / a2;
                else if (My < 0.0 && a1 > 0.0)
                    L.fTop = ((am - mStern) / am) * a2 / a1;
                for (int g = 1; g <= m_nqgr; ++g) {
                    if (m_exbemgr[g] == 1)
                        SkaliereGruppe(g, L.fTop);
                    else if (m_exbemgr[g] == 2)
                        SkaliereGruppe(g, L.fBot);
                }
            }
        }
    }
    if (L.sigma0 > 0.01 && N != 0.0) {
        const double ez = std::fabs(My) < 1.0 ? d : std::fabs(My / N);
        const double ey = std::fabs(Mz) < 1.0 ? b : std::fabs(Mz / N);
        if (ez < 0.45 * d || ey < 0.45 * b || medy < 0.0)
            L.nurdruck = 1;
    }
    if ((L.smin > 0.0 && L.smax > 0.0) || (L.smin < 0.0 && L.smax < 0.0) || m_querTyp == 3 || m_minBew)
        L.nurdruck = 1;
}

// A pressed section keeps upper and lower reinforcement in the ratio of the edge stresses, evened out
// against the reinforcement above and below the centroid.
void cBem::VerteileNurDruck(Bildlage& L) const
{
    const double N = L.N, My = L.My, d = L.d;
    if (N > 0.0 && d > 0.0) {
        const double e = std::fabs(My / N);
        double s1 = My < 0.0 ? d / 2.0 - e : d / 2.0 + e;
        double s2 = My < 0.0 ? d / 2.0 + e : d / 2.0 - e;
        s1 /= d;
        s2 /= d;
        auto korrigiere = [](double s) { return s < -1.0 ? std::fabs(s) : (s < 0.0 ? 0.01 : s); };
        s1 = korrigiere(s1);
        s2 = korrigiere(s2);
        if (s1 <= s2) {
            L.fTop = s1 / s2;
            L.fBot = 1.0;
        } else {
            L.fBot = s2 / s1;
            L.fTop = 1.0;
        }
    }
    double aTop = 0.0, aBot = 0.0;
    for (int g = 1; g <= m_nqgr; ++g) {
        if (m_exbemgr[g] < 0 || IstBeton(g))
            continue;
        for (int i = m_gerst[g]; i < m_gerst[g] + m_npkt[g]; ++i) {
            if (m_pz[i] > L.q.zs)
                aTop += m_pa[i];
            else if (m_pz[i] < L.q.zs)
                aBot += m_pa[i];
        }
    }
    if (My < 0.0) {
        if (aBot <= aTop) {
            if (aTop > 0.0)
                L.fTop *= aBot / aTop;
        } else {
            L.fBot *= aTop / aBot;
        }
    } else {
        if (aTop < aBot) {
            L.fBot *= aTop / aBot;
        } else if (aTop > 0.0) {
            L.fTop *= aBot / aTop;
        }
    }
}

// Which groups are designed; a pressed section's groups take the upper or lower factor by their side.
void cBem::OrdneGruppenZu(const Bildlage& L)
{
    for (int g = 1; g <= m_nqgr; ++g) {
        const int kind = (m_exbemgr[g] == 1 || m_exbemgr[g] == 2) ? m_exbemgr[g] : 0;
        for (int i = m_gerst[g]; i < m_gerst[g] + m_npkt[g]; ++i) {
            const double s = L.Spannung(*this, i);
            m_bemgr[g] = 0;
            if (kind != 0)
                m_bemgr[g] = (s > -100.0 || L.nurdruck == 1) ? 1 : 0;
            if (m_bwbild == -2 && kind != 0) {
                if (m_pz[i] > L.q.zs) {
                    SkaliereGruppe(g, L.fTop);
                    m_exbemgr[g] = 1;
                } else if (m_pz[i] < L.q.zs) {
                    SkaliereGruppe(g, L.fBot);
                    m_exbemgr[g] = 2;
                }
            }
        }
    }
    double summeBem = 0.0;
    int nBem = 0;
    for (int g = 1; g <= m_nqgr; ++g)
        if (m_bemgr[g]) {
            summeBem += m_agr[g];
            ++nBem;
        }
    if (nBem == 0 || summeBem == 0.0)
        for (int g = 1; g <= m_nqgr; ++g)
            if (m_exbemgr[g] == 1 || m_exbemgr[g] == 2)
                m_bemgr[g] = 1;
}

int cBem::WaehleBewehrungsbild(double N, double My, double Mz)
{
    m_druckbew = 0;
    Bildlage L;
    L.N = N;
    L.My = My;
    L.Mz = Mz;
    ErfasseSpannungsbild(L);
    PruefeDruckzone(L);

    if (L.nurdruck == 0) {
        if (L.myS > 0.0)
            m_bwbild = 1;
        else if (L.myS < 0.0)
            m_bwbild = 2;
        else if (L.mzS > 0.0)
            m_bwbild = 4;
        else if (L.mzS < 0.0)
            m_bwbild = 3;
        else
            m_bwbild = 1;
    } else {
        m_bwbild = -1;
        L.myS = My;
        L.mzS = Mz;
    }
    if (L.nurdruck == 1 && m_querTyp != 3) {
        VerteileNurDruck(L);
        m_bwbild = -2;
    }
    if (m_minBew) {
        m_bwbild = -1;
        L.fTop = std::max(L.fTop, 1.0);
        L.fBot = std::max(L.fBot, 1.0);
    }
    OrdneGruppenZu(L);

    if (!m_minBew) {
        if (m_norm == 0 || m_norm == 1 || m_norm == 3 || m_norm == 11) {
            m_minmue = 0.4;
            m_maxmue = 10.0;
        } else if (m_norm == 2 || m_norm == 12 || m_norm == 13) {
            m_minmue = 0.2;
            m_maxmue = 10.0;
        }
    } else {
        MindestBewehrung(m_norm, N);
    }
    g_trace.Printf(" BWBILD = %d DRUCKBEW = %d\n", m_bwbild, m_druckbew);
    return 0;
}
