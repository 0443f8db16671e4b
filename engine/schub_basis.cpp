// What the shear checks of all codes share: the section values taken from the prepared cross-section,
// the longitudinal tension reinforcement and the group look-up.
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/quer.h"
#include "engine/schub.h"

cSchub g_schub[kMaxQuerschnitte];
double g_cotThetaFeld[kMaxFelder] = {};

namespace {
constexpr double kPi = 3.14159265358979323846;

// Signed area and first moments of a polygon (cm2, cm3).
void Flaechenmomente(int n, const double* y, const double* z, double& a, double& sy, double& sz)
{
    a = sy = sz = 0.0;
    for (int k = 0; k < n; ++k) {
        const int j = (k + 1) % n;
        const double c = y[k] * z[j] - y[j] * z[k];
        a += 0.5 * c;
        sy += c * (y[k] + y[j]) / 6.0;
        sz += c * (z[k] + z[j]) / 6.0;
    }
}

// Squared direction cosine along y of the shear force (vy, vz); without a force, the direction along z.
double CosY2(double vy, double vz)
{
    const double v = std::hypot(vy, vz);
    return v > 0.0 ? (vy / v) * (vy / v) : 0.0;
}

// A length across an oblique direction from those along y and z: 1/L^2 = cy^2/Ly^2 + cz^2/Lz^2.
double Elliptisch(double cy2, double ly, double lz)
{
    return 1.0 / std::sqrt(cy2 / (ly * ly) + (1.0 - cy2) / (lz * lz));
}

// Bars closer than this (m) to the line that halves the section across the shear force lie on it.
constexpr double kAslTeilungsToleranz = 1e-6;
}  // namespace

double Sehne(int n, const double* y, const double* z, double y0, double z0, double ry, double rz)
{
    // crossings of the edges with the line, as positions along it; a corner on the line counts on the side
    // of its positive distance, so that it is crossed once or not at all
    std::vector<double> t;
    for (int k = 0; k < n; ++k) {
        const int j = (k + 1) % n;
        const double sk = (y[k] - y0) * rz - (z[k] - z0) * ry;
        const double sj = (y[j] - y0) * rz - (z[j] - z0) * ry;
        if ((sk < 0.0) == (sj < 0.0))
            continue;
        const double f = sk / (sk - sj);
        const double py = y[k] + f * (y[j] - y[k]);
        const double pz = z[k] + f * (z[j] - z[k]);
        t.push_back((py - y0) * ry + (pz - z0) * rz);
    }
    std::sort(t.begin(), t.end());
    double laenge = 0.0;
    for (std::size_t k = 0; k + 1 < t.size(); k += 2)
        laenge += t[k + 1] - t[k];
    return laenge;
}

SectionShear cSchub::ShearRecord(int code) const
{
    if (code == 3)
        return {erg[kSiaSlotVEd], erg[kSiaSlotCot], erg[kSiaSlotVRd],
                strutResistance,  erg[kSiaSlotAsw], strutUtilisation};
    return {erg[kSlotVEd], erg[kSlotCot], erg[kSlotVRdct], strutResistance, erg[kSlotAswV], strutUtilisation};
}

double StrebenAnteil(double wirkung, double widerstand)
{
    if (wirkung == 0.0)
        return 0.0;
    return std::fabs(wirkung) / std::max(std::fabs(widerstand), kStrebeWiderstandMin);
}

void cSchub::Setze(int iq)
{
    if (iq < 0 || iq >= kMaxQuerschnitte)
        return;
    const cQuer& q = g_quer[iq];
    // no verdict on the strut of the section until a check has made one
    strutResistance = strutUtilisation = bwStrebe = 0.0;
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

    // the section as a shear force along either axis sees it
    richtung[0] = richtung[1] = Richtung{};
    richtung[1].h = h;
    richtung[0].h = bw;
    for (int k = 0; k < 2; ++k) {
        richtung[1].d1[k] = d1[k];
        richtung[1].cv[k] = cv[k];
    }
    if (q.m_nStaebe > 0 && q.m_nUmriss > 0) {
        // a positive moment about z puts the face at the smallest y in tension
        int links = 0, rechts = 0;
        for (int k = 1; k < q.m_nStaebe; ++k) {
            if (q.m_sy[k] < q.m_sy[links])
                links = k;
            if (q.m_sy[k] > q.m_sy[rechts])
                rechts = k;
        }
        auto radius = [&](int k) { return std::sqrt(std::max(q.m_sa[k], 0.0) / kPi) * 100.0; };
        richtung[0].d1[0] = q.m_sy[links] - ymin;
        richtung[0].d1[1] = ymax - q.m_sy[rechts];
        richtung[0].cv[0] = std::max(richtung[0].d1[0] - radius(links), 0.0);
        richtung[0].cv[1] = std::max(richtung[0].d1[1] - radius(rechts), 0.0);
    } else {
        for (int k = 0; k < 2; ++k) {
            richtung[0].d1[k] = d1[k];
            richtung[0].cv[k] = cv[k];
        }
    }
    if (q.m_nUmriss >= 3) {
        double a = 0.0, sy = 0.0, sz = 0.0;
        Flaechenmomente(q.m_nUmriss, q.m_uy, q.m_uz, a, sy, sz);
        const double vz = a < 0.0 ? -1.0 : 1.0;  // openings count against the outline, whatever their sense
        a *= vz, sy *= vz, sz *= vz;
        const int nOeff = std::clamp(q.m_nOeffnungen, 0, kQuerMaxOeffnungen);
        for (int o = 0; o < nOeff; ++o) {
            double ao = 0.0, syo = 0.0, szo = 0.0;
            Flaechenmomente(std::clamp(q.m_oN[o], 0, 20), q.m_oy[o], q.m_oz[o], ao, syo, szo);
            const double vo = ao < 0.0 ? -1.0 : 1.0;
            a -= vo * ao, sy -= vo * syo, sz -= vo * szo;
        }
        if (a > 0.0) {
            const double yc = sy / a, zc = sz / a;
            double querY = Sehne(q.m_nUmriss, q.m_uy, q.m_uz, yc, zc, 0.0, 1.0);
            double querZ = Sehne(q.m_nUmriss, q.m_uy, q.m_uz, yc, zc, 1.0, 0.0);
            for (int o = 0; o < nOeff; ++o) {
                const int n = std::clamp(q.m_oN[o], 0, 20);
                querY -= Sehne(n, q.m_oy[o], q.m_oz[o], yc, zc, 0.0, 1.0);
                querZ -= Sehne(n, q.m_oy[o], q.m_oz[o], yc, zc, 1.0, 0.0);
            }
            richtung[0].bw = std::max(querY, 0.0) / 100.0;
            richtung[1].bw = std::max(querZ, 0.0) / 100.0;
        }
    }
    if (!(richtung[0].bw > 0.0 && richtung[1].bw > 0.0))
        richtung[0] = richtung[1] = Richtung{};

    // torsion core: its wall is centred on the core line, which lies t inside the outline
    double t = 0.0;
    switch (q.m_typ) {
    case 1: t = std::min(q.m_d[0], q.m_d[1]) / 12.0; break;
    case 3: t = cQuer::KreisKernAbstand(q.m_d); break;
    case 2:
    case 5: t = std::min(ymax - ymin, zmax - zmin) / 12.0; break;
    default: break;
    }
    hohl = q.m_nOeffnungen > 0;
    // The radius of a round section's outer ring of bars, measured from the outline's centre.
    stabKreis = 0.0;
    if (q.m_typ == 3 && q.m_nUmriss > 0) {
        const double yc = (ymin + ymax) / 2.0, zc = (zmin + zmax) / 2.0;
        for (int k = 0; k < q.m_nStaebe; ++k)
            stabKreis = std::max(stabKreis, std::hypot(q.m_sy[k] - yc, q.m_sz[k] - zc) / 100.0);
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
    for (int k = 0; k < 20; ++k)
        kernZ[k] = k < nKern ? q.m_kz[k] : 0.0;

    const int e = iq / 2;
    const int feld = e < kMaxKnoten ? std::clamp(g_rechner.stabFeld[e], 0, kMaxFelder - 1) : 0;
    cotTheta = g_cotThetaFeld[feld];
}

void cSchub::AufQuerkraftRichten()
{
    const Richtung& y = richtung[0];
    const Richtung& z = richtung[1];
    if (!(y.h > 0.0 && z.h > 0.0 && y.bw > 0.0 && z.bw > 0.0))
        return;
    const double cy2 = CosY2(kraefte[1], kraefte[2]);
    const double cz2 = 1.0 - cy2;
    h = Elliptisch(cy2, y.h, z.h);
    bw = Elliptisch(cy2, y.bw, z.bw);
    for (int k = 0; k < 2; ++k) {
        d1[k] = cy2 * y.d1[k] + cz2 * z.d1[k];
        cv[k] = cy2 * y.cv[k] + cz2 * z.cv[k];
    }
}

double cSchub::ZugRandabstand() const
{
    const double moment = std::fabs(kraefte[1]) > std::fabs(kraefte[2]) ? kraefte[5] : kraefte[4];
    if (std::fabs(moment) / 1000.0 <= kSchubMomentNull)
        return std::max(d1[0], d1[1]);
    return moment > 0.0 ? d1[0] : d1[1];
}

double cSchub::KernBreite() const
{
    // width of the core polygon, m; a section without a core has no meaningful one
    if (nKern <= 0)
        return -1.0;
    double ymax = -1e6, ymin = 1e6, zmax = -1e6, zmin = 1e6;
    for (int k = 0; k < nKern; ++k) {
        ymax = std::max(ymax, kernY[k]);
        ymin = std::min(ymin, kernY[k]);
        zmax = std::max(zmax, kernZ[k]);
        zmin = std::min(zmin, kernZ[k]);
    }
    const double querZ = (std::fabs(ymax) + std::fabs(ymin)) / 100.0;
    const double querY = (zmax - zmin) / 100.0;
    const double v = std::hypot(kraefte[1], kraefte[2]);
    if (!(richtung[0].bw > 0.0 && richtung[1].bw > 0.0 && querY > 0.0 && v > 0.0))
        return querZ;
    return Elliptisch(CosY2(kraefte[1], kraefte[2]), querY, querZ);
}

double cSchub::MindestBreite(double tefM, double wandAnteil) const
{
    // Around an opening the walls are the webs: the core's width would count the opening as web.
    if (hohl && richtung[0].bw > 0.0 && richtung[1].bw > 0.0)
        return Elliptisch(CosY2(kraefte[1], kraefte[2]), richtung[0].bw, richtung[1].bw);
    const double kern = KernBreite();
    return kern >= 0.0 ? kern + wandAnteil * tefM : bw;
}

cSchub::Eingang cSchub::Vorbereiten(cBem& bem)
{
    Eingang e;
    e.NEd = kraefte[0] / 1000.0;
    e.VEd = std::hypot(kraefte[1], kraefte[2]) / 1000.0;
    e.MEd = std::hypot(kraefte[4], kraefte[5]) / 1000.0;
    e.TEd = std::fabs(kraefte[3]) / 1000.0;
    // strains and stresses of the governing design state, for the neutral axis
    double sigMax = 0.0;
    bem.sigeps(sigMax);
    e.asl = HoleAslSchub(bem, kraefte[1], kraefte[2], kraefte[4], kraefte[5]);

    // The width along the neutral axis is the web's where the strain plane follows the bending in the plane
    // of the shear force; it never exceeds the width across the shear force (a skew neutral axis cuts a long
    // chord through a rectangle), and without moment the plane's direction is arbitrary and the width
    // across the shear force alone holds.
    double b0 = 0.0, zug = 0.0;
    bem.BerechneNullinienbreite(b0, zug);
    const bool gerichtet = richtung[0].bw > 0.0 && richtung[1].bw > 0.0;
    if (gerichtet)
        AufQuerkraftRichten();
    bwStrebe = gerichtet ? bw : 0.0;
    if (b0 > 0.0 && (!gerichtet || e.MEd > kSchubMomentNull))
        bw = gerichtet ? std::min(b0, bw) : b0;

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
    if (bwStrebe <= 0.0)
        bwStrebe = bw;
    return e;
}

bool cSchub::SetzeHebel(double d, double MEd)
{
    if (!(std::fabs(z) < 0.5 * d || MEd <= kSchubMomentNull))
        return false;
    z = d;
    return true;
}

double cSchub::Nutzhoehe(double dZug) const
{
    if (!(stabKreis > 0.0))
        return h - dZug;
    // the centroid of the bars on the half circle beyond the centre lies 2 rs / pi from it
    return h / 2.0 + 2.0 * stabKreis / kPi;
}

double HoleAslSchub(const cBem& bem, double vy, double vz, double my, double mz)
{
    const double v = std::hypot(vy, vz);
    const double cy = v > 0.0 ? vy / v : 0.0;
    const double cz = v > 0.0 ? vz / v : 1.0;
    // the moment in the plane of the force, positive where it stretches the side the force points to (a
    // positive My stretches the side of positive z, a positive Mz that of negative y)
    const double moment = (cz * my - cy * mz) / 1000.0;
    const QuerschnittsWerte s = bem.BerechneQuerschnittswerte();
    double vorn = 0.0, hinten = 0.0;
    for (int g = 0; g < kBemMaxGruppen; ++g) {
        int erst = 0;
        const int n = HoleGruppe(bem, 1, &erst, g);
        for (int k = 0; k < n; ++k) {
            const int i = erst + k + 1;  // points are numbered from 1
            if (i < 1 || i > kBemMaxPunkte)
                break;
            const double lage = (bem.m_py[i] - s.ys) * cy + (bem.m_pz[i] - s.zs) * cz;
            if (lage > kAslTeilungsToleranz)
                vorn += bem.m_pa[i];
            else if (lage < -kAslTeilungsToleranz)
                hinten += bem.m_pa[i];
        }
    }
    if (std::fabs(moment) <= kSchubMomentNull)
        return std::min(vorn, hinten);
    return moment > 0.0 ? vorn : hinten;
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
