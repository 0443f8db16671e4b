// What the shear checks of all codes share: the section values taken from the prepared cross-section,
// the longitudinal tension reinforcement and the group look-up.
#include <algorithm>
#include <cmath>

#include "engine/quer.h"
#include "engine/schub.h"

cSchub g_schub[kMaxQuerschnitte];
double g_cotThetaFeld[kMaxFelder] = {};

namespace {
constexpr double kPi = 3.14159265358979323846;
}  // namespace

void cSchub::Setze(int iq)
{
    if (iq < 0 || iq >= kMaxQuerschnitte)
        return;
    const cQuer& q = g_quer[iq];
    norm = q.m_norm;
    betonGuete = q.m_betonGuete;
    stahlGuete = q.m_stahlGuete;
    aussergewoehnlich = g_rechner.aussergewoehnlich;
    ac = q.BetonFlaeche();
    z = q.m_bem.m_hebel;

    // outline extent, cm
    double ymin = 0.0, ymax = 0.0, zmin = 0.0, zmax = 0.0;
    for (int k = 0; k < q.m_nUmriss; ++k) {
        ymin = k == 0 ? q.m_uy[k] : std::min(ymin, q.m_uy[k]);
        ymax = k == 0 ? q.m_uy[k] : std::max(ymax, q.m_uy[k]);
        zmin = k == 0 ? q.m_uz[k] : std::min(zmin, q.m_uz[k]);
        zmax = k == 0 ? q.m_uz[k] : std::max(zmax, q.m_uz[k]);
    }
    h = (zmax - zmin) / 100.0;
    bw = (ymax - ymin) / 100.0;

    // Edge distances from the bars themselves (a positive moment puts the upper face in tension); the
    // cover is the edge distance less half the bar's diameter.
    if (q.m_nStaebe > 0 && q.m_nUmriss > 0) {
        int oben = 0, unten = 0;
        for (int k = 1; k < q.m_nStaebe; ++k) {
            if (q.m_sz[k] > q.m_sz[oben])
                oben = k;
            if (q.m_sz[k] < q.m_sz[unten])
                unten = k;
        }
        auto radius = [&](int k) { return std::sqrt(std::max(q.m_sa[k], 0.0) / kPi) * 100.0; };
        d1[0] = zmax - q.m_sz[oben];
        d1[1] = q.m_sz[unten] - zmin;
        cv[0] = std::max(d1[0] - radius(oben), 0.0);
        cv[1] = std::max(d1[1] - radius(unten), 0.0);
    } else {
        d1[0] = q.m_c1;
        d1[1] = q.m_c2;
        cv[0] = q.m_c1;
        cv[1] = q.m_c2;
    }

    // torsion core: its wall is centred on the core line, which lies t inside the outline
    double t = 0.0;
    switch (q.m_typ) {
    case 1: t = std::min(q.m_d[0], q.m_d[1]) / 12.0; break;
    case 3: t = q.m_d[0] / 12.0; break;
    case 2:
    case 5: t = std::min(ymax - ymin, zmax - zmin) / 12.0; break;
    default: break;
    }
    nKern = std::clamp(q.m_nKern, 0, 20);
    tef = nKern > 0 ? 2.0 * t : 0.0;
    ak = 0.0;
    uk = 0.0;
    if (nKern >= 3) {
        double umfang = 0.0;
        ak = std::fabs(cBem::PolygonFlaeche(nKern, q.m_ky, q.m_kz, umfang)) * 0.0001;
        uk = umfang * 0.01;
    }
    for (int k = 0; k < 20; ++k)
        kernY[k] = k < nKern ? q.m_ky[k] : 0.0;

    const int e = iq / 2;
    const int feld = e < kMaxKnoten ? std::clamp(g_rechner.stabFeld[e], 0, kMaxFelder - 1) : 0;
    cotTheta = g_cotThetaFeld[feld];
}

double cSchub::KernBreite() const
{
    // width of the core polygon, m; a section without a core has no meaningful one
    if (nKern <= 0)
        return -1.0;
    double ymax = -1e6, ymin = 1e6;
    for (int k = 0; k < nKern; ++k) {
        ymax = std::max(ymax, kernY[k]);
        ymin = std::min(ymin, kernY[k]);
    }
    return (std::fabs(ymax) + std::fabs(ymin)) / 100.0;
}

cSchub::Eingang cSchub::Vorbereiten(cBem& bem)
{
    Eingang e;
    e.NEd = kraefte[0] / 1000.0;
    e.VEd = std::hypot(kraefte[1], kraefte[2]) / 1000.0;
    e.MEd = std::hypot(kraefte[4], kraefte[5]) / 1000.0;
    e.TEd = std::fabs(kraefte[3]) / 1000.0;
    // strains and stresses of the governing design state, for the tension bars and the neutral axis
    double sigMax = 0.0;
    bem.sigeps(sigMax);
    e.asl = HoleAslSchub(bem, e.MEd);

    double b0 = 0.0, zug = 0.0;
    bem.BerechneNullinienbreite(b0, zug);
    if (b0 > 0.0)
        bw = b0;

    e.ak = std::fabs(ak) < 1e-10 ? 1e-10 : ak;
    e.uk = std::fabs(uk) < 1e-10 ? 1e-10 : uk;
    e.tef = tef / 100.0;
    if (std::fabs(e.tef) < 1e-10)
        e.tef = 1e-10;
    if (bem.bwfakt > 1.0)
        e.asl *= bem.bwfakt;
    if (bw == 0.0) {
        bw = 0.65 * h;
        d1[0] = d1[1] = 0.0;
        cv[0] = cv[1] = 0.0;
    }
    return e;
}

double HoleAslSchub(const cBem& bem, double)
{
    double a1 = 0.0, a2 = 0.0;
    for (int g = 0; g < kBemMaxGruppen; ++g) {
        int erst = 0;
        const int n = HoleGruppe(bem, 1, &erst, g);
        for (int k = 0; k < n; ++k) {
            const int i = erst + k + 1;  // points are numbered from 1
            if (i < 1 || i > kBemMaxPunkte)
                break;
            if (bem.m_psig[i] > 0.0)
                a1 += bem.m_pa[i];
            if (std::fabs(bem.m_pz[i]) < 0.25 * bem.m_zmax)
                a2 += bem.m_pa[i];
        }
    }
    return a1 == 0.0 ? a2 : a1;
}

int HoleGruppe(const cBem& bem, int kind, int* first, int group)
{
    const int g = group + 1;
    if (g < 1 || g > kBemMaxGruppen || g > bem.m_nqgr || bem.m_exbemgr[g] != kind)
        return -1;
    if (first)
        *first = bem.m_gerst[g] - 1;
    return bem.m_npkt[g];
}

double RhoWMinDIN1045_1(int betonGuete)
{
    // rho_w,min x 10^4 of DIN 1045-1 for C12/15 up to C100/115
    static const double kRho[15] = {5.1,  6.1,  7.0,  8.3,  9.3,  10.2, 11.2, 12.1,
                                    13.1, 13.4, 14.1, 14.7, 15.4, 16.0, 16.6};
    return kRho[std::clamp(betonGuete, 0, 14)];
}
