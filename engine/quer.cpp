#include "engine/quer.h"

#include <algorithm>
#include <cmath>

#include "engine/material.h"
#include "designcode/designcode.h"

QuerFeld g_quer;

QuerFeld::~QuerFeld()
{
    for (int i = 0; i < kMaxQuerschnitte; ++i)
        if (m_gebaut[i])
            Zeiger(i)->~cQuer();
}

cQuer& QuerFeld::Baue(int i)
{
    // the sections lie one after the other, so a pointer into the range reaches its neighbours
    cQuer* q = ::new (m_speicher + sizeof(cQuer) * i) cQuer();
    m_gebaut[i] = true;
    return *q;
}

cQuer* QuerFeld::begin()
{
    for (int i = 0; i < kMaxQuerschnitte; ++i)
        if (!m_gebaut[i])
            Baue(i);
    return Zeiger(0);
}

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kStab12 = 0.000113;  // one bar of 12 mm, m2

double Flaeche(int n, const double* y, const double* z, double& umfang)
{
    return cBem::PolygonFlaeche(n, y, z, umfang);
}
}  // namespace

void cQuer::Kreispolygon(double y0, double z0, double r, double s, double* y, double* z)
{
    for (int k = 0; k < 20; ++k) {
        y[k] = y0 + std::sin(s * k * kPi / 10.0) * r;
        z[k] = z0 + std::cos(s * k * kPi / 10.0) * r;
    }
}

void cQuer::SetzeEingabe(int typ, int betonGuete, int stahlGuete, int wort, const double d[4], int flag1, int, int,
                         double weiter)
{
    m_typ = typ;
    m_betonGuete = betonGuete;
    m_stahlGuete = stahlGuete;
    m_wort = wort;
    for (int k = 0; k < 4; ++k)
        m_d[k] = d[k];
    m_flag = flag1;
    if (weiter > 0.0)
        m_weiter = weiter;
}

void cQuer::HoleEingabe(int& typ, int& betonGuete, int& stahlGuete, int& wort, double d[4], int& flag) const
{
    typ = m_typ;
    betonGuete = m_betonGuete;
    stahlGuete = m_stahlGuete;
    wort = m_wort;
    for (int k = 0; k < 4; ++k)
        d[k] = m_d[k];
    flag = m_flag;
}

void cQuer::SetzePolygon(int n, const double* y, const double* z)
{
    m_nUmriss = std::clamp(n, 0, kQuerMaxUmriss);
    for (int k = 0; k < m_nUmriss; ++k) {
        m_uy[k] = y[k];
        m_uz[k] = z[k];
    }
}

void cQuer::NormiereAbmessungen()
{
    std::fill(std::begin(m_dn), std::end(m_dn), 0.0);
    switch (m_typ) {
    case 2: {
        // flanged section: flange width, total depth, web width, flange thickness
        const double bf = m_d[0], h = m_d[1], bw = m_d[2] > 0.0 ? m_d[2] : m_d[0], hf = m_d[3];
        m_dn[0] = bf / 2.0;
        m_dn[1] = bw / 2.0;
        m_dn[2] = h;
        m_dn[3] = std::clamp(hf, 0.0, h);
        m_dn[4] = h - m_dn[3];      // web part
        m_dn[5] = (bf - bw) / 2.0;  // flange overhang
        break;
    }
    case 4:
        m_dn[0] = m_d[0];
        m_dn[1] = m_d[1];
        m_dn[2] = m_d[2];
        break;
    default:
        for (int k = 0; k < 4; ++k)
            m_dn[k] = m_d[k];
        break;
    }
}

void cQuer::BaueUmriss()
{
    m_nZweit = 0;
    m_nOeffnungen = 0;
    double y[kQuerMaxUmriss], z[kQuerMaxUmriss];
    int n = 0;
    auto punkt = [&](double py, double pz) {
        y[n] = py;
        z[n] = pz;
        ++n;
    };
    switch (m_typ) {
    case 1: {
        const double b = m_dn[0], h = m_dn[1];
        punkt(-b / 2, 0.0);
        punkt(-b / 2, -h);
        punkt(b / 2, -h);
        punkt(b / 2, 0.0);
        if (m_dn[2] > 0.01) {
            // second polygon: the outline inset by D3
            const double t = std::min(m_dn[2], std::min(b, h) / 2.0);
            const double py[4] = {-b / 2 + t, -b / 2 + t, b / 2 - t, b / 2 - t};
            const double pz[4] = {-t, t - h, t - h, -t};
            for (int k = 0; k < 4; ++k) {
                m_zy[k] = py[k];
                m_zz[k] = pz[k];
            }
            m_nZweit = 4;
        }
        break;
    }
    case 2: {
        const double bf = m_dn[0], bw = m_dn[1], h = m_dn[2], hf = m_dn[3];
        punkt(-bf, 0.0);
        punkt(-bf, -hf);
        punkt(-bw, -hf);
        punkt(-bw, -h);
        punkt(bw, -h);
        punkt(bw, -hf);
        punkt(bf, -hf);
        punkt(bf, 0.0);
        punkt(bw, 0.0);
        punkt(-bw, 0.0);
        break;
    }
    case 3: {
        const double r = m_dn[0] / 2.0;
        Kreispolygon(0.0, -r, r, -1.0, y, z);
        n = 20;
        if (std::fabs(m_dn[0] - m_dn[1]) > 0.001 && m_dn[1] > 0.0 && m_dn[1] < m_dn[0]) {
            m_nOeffnungen = 1;
            m_oArt[0] = 0;
            m_oMass[0][0] = m_dn[1];
            m_oN[0] = 20;
            Kreispolygon(0.0, -r, m_dn[1] / 2.0, 1.0, m_oy[0], m_oz[0]);
        }
        break;
    }
    case 4: {
        const double b = m_dn[0], h = m_dn[1], t = std::min({m_dn[2], b, h});
        const double zo = -(h - t) / 2, zu = -(h + t) / 2;
        punkt(-t / 2, 0.0);
        punkt(-t / 2, zo);
        punkt(-b / 2, zo);
        punkt(-b / 2, zu);
        punkt(-t / 2, zu);
        punkt(-t / 2, -h);
        punkt(t / 2, -h);
        punkt(t / 2, zu);
        punkt(b / 2, zu);
        punkt(b / 2, zo);
        punkt(t / 2, zo);
        punkt(t / 2, 0.0);
        break;
    }
    case 5:
        n = m_nUmriss;
        for (int k = 0; k < n; ++k) {
            y[k] = m_uy[k];
            z[k] = m_uz[k];
        }
        break;
    default:
        n = 0;  // unknown type: the section stays empty
        break;
    }
    // consecutive points closer than 0.001 are one point
    m_nUmriss = 0;
    for (int k = 0; k < n; ++k) {
        if (m_nUmriss > 0 && std::hypot(y[k] - m_uy[m_nUmriss - 1], z[k] - m_uz[m_nUmriss - 1]) < 0.001)
            continue;
        m_uy[m_nUmriss] = y[k];
        m_uz[m_nUmriss] = z[k];
        ++m_nUmriss;
    }
    while (m_nUmriss > 1 && std::hypot(m_uy[0] - m_uy[m_nUmriss - 1], m_uz[0] - m_uz[m_nUmriss - 1]) < 0.001)
        --m_nUmriss;
}

void cQuer::BaueStaebe()
{
    m_nStaebe = 0;
    m_asGesamt = 0.0;
    double ymin = 0.0, ymax = 0.0, zmin = 0.0, zmax = 0.0;
    for (int k = 0; k < m_nUmriss; ++k) {
        ymin = k == 0 ? m_uy[k] : std::min(ymin, m_uy[k]);
        ymax = k == 0 ? m_uy[k] : std::max(ymax, m_uy[k]);
        zmin = k == 0 ? m_uz[k] : std::min(zmin, m_uz[k]);
        zmax = k == 0 ? m_uz[k] : std::max(zmax, m_uz[k]);
    }
    if (m_nUmriss == 0)
        return;
    const double b = ymax - ymin, h = zmax - zmin;
    const double c1 = m_c1, c2 = m_c2;
    const double a1 = m_r1 > 0.0 ? m_r1 * 0.00005 : kStab12;
    const double a2 = m_r2 > 0.0 ? m_r2 * 0.00005 : kStab12;
    auto stab = [&](double y, double z, double a) {
        if (m_nStaebe >= kQuerMaxStaebe)
            return;
        m_sy[m_nStaebe] = y;
        m_sz[m_nStaebe] = z;
        m_sa[m_nStaebe] = a;
        ++m_nStaebe;
    };
    const double e = b / 2.0 - c1;
    if (m_wort == 0) {
        double zt = c1, zb = c1;
        if (c1 == 0.0 && c2 == 0.0) {
            zt = m_abstandOben != 0.0 ? m_abstandOben : 3.0;
            zb = m_abstandUnten != 0.0 ? m_abstandUnten : 3.0;
        }
        stab(e, -zt, a1);
        stab(-e, -zt, a1);
        stab(-e, zb - h, a2);
        stab(e, zb - h, a2);
    } else if (m_wort == 1 || m_wort == 2) {
        double aEcke = a1, aObenUnten = a1, aMitte = a1, q = 0.0;
        const double sb = (b - 2.0 * c1) / 4.0, sh = (h - 2.0 * c2) / 4.0;
        if (m_wort == 2) {
            const double T = (m_r1 > 0.0 && m_r2 > 0.0) ? (m_r1 + m_r2) * 0.0001 : 16.0 * a1;
            const double umfang = 2.0 * (b + h - 4.0 * c1);
            q = umfang > 0.0 ? T / umfang : 0.0;
            aEcke = q * (sb + sh) / 2.0;
            aObenUnten = q * sb;
            aMitte = q * sh;
        }
        stab(e, -c2, aEcke);
        stab(0.0, -c2, aObenUnten);
        stab(-e, -c2, aEcke);
        stab(e, -h / 2.0, aMitte);
        stab(-e, -h / 2.0, aMitte);
        stab(e, c2 - h, aEcke);
        stab(0.0, c2 - h, aObenUnten);
        stab(-e, c2 - h, aEcke);
        if (m_wort == 2) {
            stab(e / 2.0, -c2, q * sb);
            stab(-e / 2.0, -c2, q * sb);
            stab(e, -c2 / 2.0 - h / 4.0, q * sh);
            stab(-e, -c2 / 2.0 - h / 4.0, q * sh);
            stab(e, c2 / 2.0 - 3.0 * h / 4.0, q * sh);
            stab(-e, c2 / 2.0 - 3.0 * h / 4.0, q * sh);
            stab(e / 2.0, c2 - h, q * sb);
            stab(-e / 2.0, c2 - h, q * sb);
        }
    } else {
        // rings of 20 bars (one per point of the circle polygon) around the centre of the outline
        static_assert(designcode::kRoundRingBars == 20);
        const double yc = (ymin + ymax) / 2.0, zc = (zmin + zmax) / 2.0;
        const double r1 = m_r1 > 0.0 ? m_r1 : kStab12 * 10000.0, r2 = m_r2 > 0.0 ? m_r2 : kStab12 * 10000.0;
        const double total = std::max(r1 + r2, designcode::kRoundLeastArea);
        double y[20], z[20];
        Kreispolygon(yc, zc, b / 2.0 - c1, -1.0, y, z);
        for (int k = 0; k < 20; ++k)
            stab(y[k], z[k], total / 20.0 * 0.0001);
        m_asGesamt = total;
        if (m_wort == 4) {
            const double ri = m_nOeffnungen > 0 ? m_oMass[0][0] / 2.0 + c1 : (b / 2.0 - c1) / 2.0;
            Kreispolygon(yc, zc, ri, -1.0, y, z);
            for (int k = 0; k < 20; ++k)
                stab(y[k], z[k], designcode::kRoundLeastArea / 20.0 * 0.0001);
            m_asGesamt = 2.0 * designcode::kRoundLeastArea;
        }
        return;
    }
    // Every bar of a rectangle's layout is at least the code's least bar, whatever was entered: the layout is
    // then at least its bar count times that bar, as the report's rule states.
    const designcode::DesignCode* code = designcode::ByEngine(m_norm);
    const double kleinst = code ? code->leastBarArea : 0.0;  // the older DIN 1045: none
    for (int k = 0; k < m_nStaebe; ++k) {
        m_sa[k] = std::max(m_sa[k], kleinst);
        m_asGesamt += m_sa[k] * 10000.0;
    }
}

void cQuer::Werte()
{
    m_Ac = std::fabs(Flaeche(m_nUmriss, m_uy, m_uz, m_umfang)) * 0.0001;
    m_umfang *= 0.01;
    m_Aoeff = 0.0;
    m_umfangOeff = 0.0;
    if (m_nOeffnungen > 0) {
        m_Aoeff = std::fabs(Flaeche(m_oN[0], m_oy[0], m_oz[0], m_umfangOeff)) * 0.0001;
        m_umfangOeff *= 0.01;
    } else if (m_nZweit > 0) {
        m_Aoeff = std::fabs(Flaeche(m_nZweit, m_zy, m_zz, m_umfangOeff)) * 0.0001;
        m_umfangOeff *= 0.01;
    }
    m_AcNetto = m_Ac;
    for (int o = 0; o < m_nOeffnungen; ++o) {
        double umfang = 0.0;
        m_AcNetto -= std::fabs(Flaeche(m_oN[o], m_oy[o], m_oz[o], umfang)) * 0.0001;
    }
}

double cQuer::KreisKernAbstand(const double d[4])
{
    const double t = d[0] / 12.0;
    const bool ring = d[1] > 0.0 && d[1] < d[0] && std::fabs(d[0] - d[1]) > 0.001;  // as the outline takes it
    return ring ? std::min(t, (d[0] - d[1]) / 4.0) : t;
}

void cQuer::Torsionskern()
{
    m_nKern = 0;
    auto rechteck = [&](double b, double h, double t) {
        const double py[4] = {-(b / 2 - t), -(b / 2 - t), b / 2 - t, b / 2 - t};
        const double pz[4] = {-t, t - h, t - h, -t};
        for (int k = 0; k < 4; ++k) {
            m_ky[k] = py[k];
            m_kz[k] = pz[k];
        }
        m_nKern = 4;
    };
    switch (m_typ) {
    case 1: {
        const double t = std::min(m_d[0], m_d[1]) / 12.0;
        rechteck(m_d[0], m_d[1], t);
        break;
    }
    case 3: {
        const double t = KreisKernAbstand(m_d);
        Kreispolygon(0.0, -m_d[0] / 2.0, m_d[0] / 2.0 - t, -1.0, m_ky, m_kz);
        m_nKern = 20;
        break;
    }
    case 2:
    case 5: {
        double ymin = 0, ymax = 0, zmin = 0, zmax = 0;
        for (int k = 0; k < m_nUmriss; ++k) {
            ymin = k == 0 ? m_uy[k] : std::min(ymin, m_uy[k]);
            ymax = k == 0 ? m_uy[k] : std::max(ymax, m_uy[k]);
            zmin = k == 0 ? m_uz[k] : std::min(zmin, m_uz[k]);
            zmax = k == 0 ? m_uz[k] : std::max(zmax, m_uz[k]);
        }
        double b = ymax - ymin, h = zmax - zmin;
        if (m_typ == 2 && m_nUmriss == 0) {
            b = m_d[0];
            h = m_d[1];
        }
        rechteck(b, h, std::min(b, h) / 12.0);
        break;
    }
    default: break;
    }
}

int cQuer::Bereite(int code, int typ, int betonGuete, int stahlGuete, int wort, const double d[4], int flag,
                   int designFlag, double r1, double r2, double c1, double c2)
{
    m_norm = code;
    m_typ = typ;
    m_betonGuete = betonGuete;
    m_stahlGuete = stahlGuete;
    m_wort = wort;
    m_flag = flag;
    m_r1 = r1;
    m_r2 = r2;
    m_c1 = c1;
    m_c2 = c2;
    for (int k = 0; k < 4; ++k)
        m_d[k] = d[k];
    NormiereAbmessungen();
    BaueUmriss();
    BaueStaebe();
    Werte();

    // the design object: concrete without tension, reinforcing steel with its plateau
    cBem& b = m_bem;
    b.SetzeMaterial(-1, nullptr);
    b.m_norm = code;
    b.m_querTyp = typ;
    b.m_cOben = c1 > 0.0 ? c1 : 3.0;
    b.m_cUnten = c2 > 0.0 ? c2 : b.m_cOben;
    double fck = 0, fcd = 0, eps1 = 0, eps2 = 0, ecm = 0, form = 2.0;
    HoleBetonKennwerte(code, 0, 0, 0, betonGuete, fck, fcd, eps1, eps2, ecm, form, 1.0, 0);
    const double beton[7] = {fcd, eps1, eps2, 0.0, 0.0, form, ecm > 0.0 ? ecm : 34000.0};
    b.SetzeMaterial(1, beton);
    if (m_nStaebe > 0) {
        double fyd = 0, epsy = 0, epsu = 0, es = 0, fyk = 0;
        HoleStahlKennwerte(code, stahlGuete, fyd, epsy, epsu, es, fyk, 1.0, 0);
        const double stahl[7] = {fyd, epsy, epsu, 0.0, -epsy, 1.0, 0.0};
        b.SetzeMaterial(2, stahl);
        b.m_fyd = fyd;
    }
    b.SetzeMaterial(-2, nullptr);

    int g = 1;
    if (m_nUmriss >= 3) {
        if (b.SetzeQuerGruppe(g++, m_nUmriss, 1, 1, m_uy, m_uz, nullptr, -1) != 0)
            return -1;
    }
    for (int o = 0; o < m_nOeffnungen; ++o)
        if (b.SetzeQuerGruppe(g++, m_oN[o], 1, 2, m_oy[o], m_oz[o], nullptr, -11 - o) != 0)
            return -1;
    for (int s = 0; s < m_nStaebe; ++s) {
        const double a = m_sa[s];
        if (b.SetzeQuerGruppe(g++, 1, 2, 3, &m_sy[s], &m_sz[s], &a, 1) != 0)
            return -1;
    }
    return designFlag < 1 ? 1 : 0;
}

int SetzeQuerUm()
{
    const int nel = std::min(g_rechner.nStaebe, kMaxStaebe);
    for (int e = 0; e < nel; ++e) {
        const int feld = std::clamp(g_rechner.stabFeld[e], 0, kMaxFelder - 1);
        const StabQuerschnitt& s = g_rechner.querEingabe.feld[feld];
        int typ = s.typ + 1;
        if (typ == 2)
            typ = 3;
        const double wert = (typ == 1 && (s.wort == 0 || s.wort == 1)) ? 2.0 * s.bewehrung : 0.5 * s.bewehrung;
        for (int iq = 2 * e; iq <= 2 * e + 1; ++iq) {
            cQuer& q = g_quer[iq];
            q.m_typ = typ;
            for (int k = 0; k < 4; ++k)
                q.m_d[k] = s.d[k];
            q.Torsionskern();
            q.SetzeEingabe(typ, s.betonGuete, s.stahlGuete, s.wort, s.d, 1, 0, 1, s.weiter);
            q.Bereite(NORM, typ, s.betonGuete, s.stahlGuete, s.wort, s.d, 1, 0, wert, wert, s.c1, s.c2);
            QuerschnittsRecord r;
            q.m_bem.HoleQuerschnittswerte(r);
            g_rechner.querFelder.A[iq] = r.A;
            g_rechner.querFelder.Iy[iq] = r.Iy;
            g_rechner.querFelder.Iz[iq] = r.Iz;
            g_rechner.querFelder.It[iq] = r.Imin;
            g_rechner.querFelder.E[iq] = r.E1000;
        }
    }
    return 0;
}
