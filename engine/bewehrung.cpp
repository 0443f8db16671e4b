// Reading and changing the reinforcement of a design object, the minimum reinforcement of the codes, the
// raise loop of the reinforcement determination and the fibre stresses of a strain plane.
#include <algorithm>
#include <cmath>

#include "engine/bem.h"
#include "engine/protocol.h"
#include "engine/quer.h"
#include "designcode/designcode.h"

double cBem::HoleAS() const
{
    double s = 0.0;
    for (int g = 1; g <= m_nqgr; ++g)
        if (IstBewehrung(g))
            for (int i = m_gerst[g]; i < m_gerst[g] + m_npkt[g]; ++i)
                s += m_pa[i];
    return s;
}

double cBem::AsErhoeheung(double fakt)
{
    g_trace.Printf("AsErhoeheung mit fakt = %.5f\n", fakt);
    double s = 0.0;
    for (int g = 1; g <= m_nqgr; ++g) {
        if (!IstBewehrung(g))
            continue;
        for (int i = m_gerst[g]; i < m_gerst[g] + m_npkt[g]; ++i) {
            if (fakt >= 1.0)
                m_pa[i] *= fakt;
            else
                s += m_pa[i];
        }
        if (fakt > 0.0)
            m_agr[g] *= fakt;
    }
    return s;
}

void cBem::SetzeAsMin(double aso)
{
    g_trace.Printf("SetzeAsMin mit aso = %.5f\n", aso);
    const double total = AsErhoeheung(0.0);
    if (!(total > 0.0))
        return;  // nothing to scale
    const double f = aso / total;
    if (!(f > 1.0))
        return;
    for (int g = 1; g <= m_nqgr; ++g) {
        if (!IstBewehrung(g))
            continue;
        double s = 0.0;
        for (int i = m_gerst[g]; i < m_gerst[g] + m_npkt[g]; ++i) {
            m_pa[i] *= f;
            s += m_pa[i];
        }
        m_agr[g] = std::max(m_agr[g], s);
    }
}

void cBem::MindestBewehrung(int code, double N)
{
    const double ac = m_ac * 10000.0;  // cm2
    double fyd = m_fyd;
    if (!(fyd > 0.0))
        for (int m = 1; m <= m_nmat; ++m)
            if (!m_istBeton[m]) {
                fyd = Mat(0, m);
                break;
            }
    const double fydCm = fyd * 0.0001;  // kN/cm2
    const double n = N > 0.0 ? 0.0 : std::fabs(N);
    const double nTerm = fydCm > 0.0 ? n / fydCm : 0.0;
    double as1 = 0.0, as2 = 0.0;
    if (code == 0) {
        // the older DIN 1045, which no input names: no minimum from the forces
        m_maxmue = 10.0;
        m_minmue = 0.8;
    } else if (const designcode::DesignCode* c = designcode::ByEngine(code)) {
        as1 = c->minimumNFactor * nTerm;
        as2 = c->minimumAcRatio * ac;
        m_maxmue = c->maxRatioPercent;
    } else {
        return;  // no other codes exist
    }
    const double asMin = std::max(as1, as2) * 0.0001;
    m_minBew = 1;
    if (code > 0 && ac > 0.0)
        m_minmue = asMin * 1000000.0 / ac;
    SetzeAsMin(asMin);
}

int cBem::SetzeAS(double asmax)
{
    g_trace.Printf("SetzeAS mit asmax = %.5f\n", asmax);
    double total = 0.0;
    for (int g = 1; g <= m_nqgr; ++g)
        if (IstBewehrung(g))
            for (int i = m_gerst[g]; i < m_gerst[g] + m_npkt[g]; ++i)
                total += m_pa[i];
    if (!(total > 0.0))
        return 0;  // nothing to scale
    const double f = asmax / total;
    for (int g = 1; g <= m_nqgr; ++g) {
        if (!IstBewehrung(g))
            continue;
        m_agr[g] *= f;
        for (int i = m_gerst[g]; i < m_gerst[g] + m_npkt[g]; ++i)
            m_pa[i] *= f / m_npkt[g];
    }
    return 0;
}

int cBem::FaserSpannungen(double eps0, double epsT)
{
    m_sigBetonMax = -1e10;
    m_sigStahlMax = -1e10;
    m_sigBetonMin = 1e10;
    m_asZugFaser = 0.0;
    m_frei = 0.0;
    for (int g = 1; g <= m_nqgr; ++g) {
        const int m = m_gmat[g];
        const double f = Mat(0, m), e3 = Mat(3, m), n = Mat(5, m);
        double e1 = Mat(1, m), e4 = Mat(4, m);
        double ft = f;
        const bool beton = m_istBeton[m] != 0;
        if (beton) {
            const double c = std::clamp((2.0 - epsT - e3) / (2.0 - e4), 0.0, 1.0);
            ft = e1 != 0.0 ? -e4 * f / e1 * c : 0.0;
        }
        if (std::fabs(e4) < 1e-9)
            e4 = Vorzeichen(1e-9, e4);
        if (std::fabs(e1) < 1e-9)
            e1 = Vorzeichen(1e-9, e1);
        for (int i = m_gerst[g]; i < m_gerst[g] + m_npkt[g]; ++i) {
            const double eps = m_pz[i] * m_kz + m_py[i] * m_ky + e3 + eps0;
            m_peps[i] = eps;
            if (eps >= 0.0) {
                const double r = std::min(eps / e4, 1.0);
                m_psig[i] = (1.0 - std::pow(1.0 - r, n)) * ft;
            } else {
                const double r = std::min(eps / e1, 1.0);
                m_psig[i] = -(1.0 - std::pow(1.0 - r, n)) * f;
            }
            if (beton) {
                m_sigBetonMax = std::max(m_sigBetonMax, m_psig[i]);
                m_sigBetonMin = std::min(m_sigBetonMin, m_psig[i]);
            } else {
                if (e3 > 0.0)
                    m_psig[i] -= (1.0 - std::pow(1.0 - std::min(e3 / e4, 1.0), n)) * ft;
                m_sigStahlMax = std::max(m_sigStahlMax, m_psig[i]);
                if (m_psig[i] > 0.0 && e3 == 0.0)
                    m_asZugFaser += m_pa[i];
            }
        }
    }
    m_sigBetonMax *= 0.001;
    m_sigBetonMin *= 0.001;
    m_sigStahlMax *= 0.001;
    return 0;
}

namespace {
void Geteilt(const double forces[7], double gamma, double& N, double& My, double& Mz)
{
    N = forces[0];
    My = forces[4];
    Mz = forces[5];
    if (gamma != 0.0) {
        N /= gamma;
        My /= gamma;
        Mz /= gamma;
    }
}
}  // namespace

bool OhneLast(const double forces[7], double gamma)
{
    double N, My, Mz;
    Geteilt(forces, gamma, N, My, Mz);
    return std::fabs(N) < 1.0 && std::fabs(My) < 1.0 && std::fabs(Mz) < 1.0;
}

void Bemessungsparameter(const double forces[7], double gamma, double out[7])
{
    double N, My, Mz;
    Geteilt(forces, gamma, N, My, Mz);
    if (OhneLast(forces, gamma))
        N = -1.0;  // a small compression instead of an empty load
    out[0] = N;
    out[1] = forces[1];
    out[2] = forces[2];
    out[3] = 0.0;
    out[4] = My;
    out[5] = Mz;
    out[6] = gamma;
}

int RechneBem(int code, int iq, int mode, double gamma, double fakt, const double forces[7])
{
    if (iq < 0 || iq >= kMaxQuerschnitte)
        return -1;
    cQuer& q = g_quer[iq];
    cBem& b = q.m_bem;
    double p[7];
    Bemessungsparameter(forces, gamma, p);
    g_trace.Printf("vor der mindestbew. As[%d] = %.3f\n", iq, b.HoleAS() * 10000.0);
    if (mode == 4)
        b.MindestBewehrung(code, p[0]);
    g_trace.Printf("nach der minderstbew. As[%d] = %.3f\n", iq, b.HoleAS() * 10000.0);
    const int ip[4] = {1, 0, 0, q.m_betonGuete};
    for (int l = 0; l <= 10000; ++l) {
        if (b.stbm3d(mode, ip, p) == 0) {
            g_trace.Printf("ENDE RechneBem: As[%d] = %.3f (l=%d)\n", iq, b.HoleAS() * 10000.0, l);
            return 0;
        }
        // a factor that cannot raise the reinforcement would only repeat the same failure
        if (!(fakt > 1.0) || !(b.HoleAS() > 0.0))
            break;
        b.AsErhoeheung(fakt);
    }
    g_trace.Printf("ENDE RechneBem: As[%d] = %.3f (l=%d)\n", iq, b.HoleAS() * 10000.0, 10001);
    return -1;
}

int RechneBemAlle(int code, int nel, const double* forces, int mode, double gamma)
{
    if (mode == 2)
        g_trace.Printf("\n*********** DEHNUNGEN mit gamma = %.3f\n", gamma);
    else
        g_trace.Printf("\n*********** BEMESSUNG mit gamma = %.3f\n", gamma);
    nel = std::clamp(nel, 0, kMaxStaebe);
    for (int e = 0; e < nel; ++e) {
        RechneBem(code, 2 * e, mode, gamma, 1.001, forces + 14 * e);
        RechneBem(code, 2 * e + 1, mode, gamma, 1.001, forces + 14 * e + 7);
    }
    return 0;
}

void BewehrungsListe(DebugProtocol& stream, int nel)
{
    stream.Printf("\n*********** erf. AS *********\n");
    nel = std::clamp(nel, 0, kMaxStaebe);
    for (int e = 0; e < nel; ++e)
        stream.Printf(" ele = %d Asa = %10.3f Ase = %10.3f\n", e, g_quer[2 * e].m_bem.HoleAS() * 10000.0,
                      g_quer[2 * e + 1].m_bem.HoleAS() * 10000.0);
}
