// The two passes of the tabulated fire check: first every section must carry its fire normal force at
// all, then its dimensions are compared with the table for its load level, raising the resisting force
// where they fall short.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "designcode/requirement.h"
#include "engine/brand.h"
#include "engine/material.h"
#include "engine/nachweis.h"
#include "engine/protocol.h"
#include "engine/quer.h"

namespace {

struct Variante {
    bool ec2;             // the tables of EN 1992-1-2 with two options, no length dependence
    double nFaktor;       // first pass: the design force is this multiple of the fire force
    double grenze1Start;  // ratio limits (percent) of the first pass
    double grenze1Ende;
    double grenze2;     // of the second pass
    double raiseStart;  // raising factor of the resisting force
    double raiseEnde;
};

// A section whose fire design has exactly the limit stays within it, as under the code's largest ratio.
constexpr Variante kDin{false, 2.0, 9.0, 9.0, 9.0, 1.1, 1.1};
constexpr Variante kEc2De{true, 1.0, 4.09, 4.0, 4.0, 1.01, 1.1};

double LastNiveau(double nedfi, double nr)
{
    if (std::fabs(nr) > 0.0)
        return std::fabs(nedfi) / std::fabs(nr);
    return nedfi == 0.0 ? 0.0 : 1e30;  // a section that resists nothing is fully loaded
}

struct Bedarf {
    double b = 0.0, a = 0.0;  // cm
};

// The section's b and a (cm) meet what the table asks in mm, as the messages print it: a section that has exactly
// the tabulated 34 mm meets the 34 x 0.1 cm of the lookup.
bool MeetsTable(const Bedarf& bedarf, double b, double a)
{
    using designcode::AtLeast, designcode::FireMm;
    return AtLeast(FireMm(b), FireMm(bedarf.b)) && AtLeast(FireMm(a), FireMm(bedarf.a));
}

// Required b and a for load level mue; true when the section's b and a meet them. A negative exposure
// requires nothing.
bool Nachschlagen(const Variante& v, int seiten, int klasse, int art, double laenge, double mue, double b, double a,
                  Bedarf& bedarf)
{
    namespace t = brand_tabellen;
    if (seiten < 0) {
        bedarf = Bedarf{};
        return true;
    }
    const bool einseitig = seiten == 0;
    if (!v.ec2) {
        const double* tb = einseitig ? t::kDinBEinseitig : t::kDinBMehrseitig;
        const double* ta = einseitig ? t::kDinAEinseitig : t::kDinAMehrseitig;
        bedarf.b = InterpoliereBrandtabelle(tb, mue, klasse, art, laenge);
        bedarf.a = InterpoliereBrandtabelle(ta, mue, klasse, art, laenge);
        return MeetsTable(bedarf, b, a);
    }
    const Bedarf o1{InterpoliereBrandtabelleMue(einseitig ? t::kEc2B1Einseitig : t::kEc2B1Mehrseitig, mue, klasse),
                    InterpoliereBrandtabelleMue(einseitig ? t::kEc2A1Einseitig : t::kEc2A1Mehrseitig, mue, klasse)};
    const Bedarf o2{InterpoliereBrandtabelleMue(einseitig ? t::kEc2B1Einseitig : t::kEc2B2Mehrseitig, mue, klasse),
                    InterpoliereBrandtabelleMue(einseitig ? t::kEc2A1Einseitig : t::kEc2A2Mehrseitig, mue, klasse)};
    const bool ok1 = MeetsTable(o1, b, a);
    const bool ok2 = MeetsTable(o2, b, a);
    bedarf = ok1 || !ok2 ? o1 : o2;
    return ok1 || ok2;
}

// The tables are entered with the load level against the design resistance at normal temperature, whatever
// situation the fire pass verifies in: while they are consulted every section carries the laws of the
// persistent situation (so that a design for a raised resisting force raises that resistance), and the run's
// laws come back afterwards.
class GesetzeNormaltemperatur {
public:
    GesetzeNormaltemperatur(int code, int nq)
    {
        for (int iq = 0; iq < nq; ++iq) {
            const cQuer& q = g_quer[iq];
            cBem& b = g_quer[iq].m_bem;
            Gesetze lauf;
            for (int k = 0; k < 6; ++k) {
                lauf.beton[k] = b.Mat(k, 1);
                lauf.stahl[k] = b.Mat(k, 2);
            }
            lauf.beton[6] = b.m_E;
            lauf.mitStahl = b.m_nmat >= 2;
            m_lauf.push_back(lauf);
            Gesetze normal;
            BetonGesetzBruch(code, g_rechner.materialWahl[0], q.m_betonGuete, 0, normal.beton);
            StahlGesetz(code, q.m_stahlGuete, 0, normal.stahl);
            normal.mitStahl = lauf.mitStahl;
            Setze(b, normal);
        }
    }
    ~GesetzeNormaltemperatur()
    {
        for (std::size_t iq = 0; iq < m_lauf.size(); ++iq)
            Setze(g_quer[static_cast<int>(iq)].m_bem, m_lauf[iq]);
    }
    GesetzeNormaltemperatur(const GesetzeNormaltemperatur&) = delete;
    GesetzeNormaltemperatur& operator=(const GesetzeNormaltemperatur&) = delete;

private:
    struct Gesetze {
        double beton[7] = {}, stahl[7] = {};
        bool mitStahl = false;
    };
    static void Setze(cBem& b, const Gesetze& g)
    {
        b.SetzeMaterial(1, g.beton);
        if (g.mitStahl)
            b.SetzeMaterial(2, g.stahl);
        b.SetzeMaterial(-2, nullptr);
    }
    std::vector<Gesetze> m_lauf;
};

// The ultimate forces of section iq under its fire forces with the laws it carries, checked on a copy: the
// run's own ultimate results stay as its check left them. Where the check finds no ultimate state, the run's.
BemErgebnis Bruchkraefte(int iq, double gamma, const double* kraefte)
{
    const cQuer& q = g_quer[iq];
    const auto probe = std::make_unique<cBem>(q.m_bem);
    double p[7];
    Bemessungsparameter(kraefte, gamma, p);
    const int ip[4] = {1, 0, 0, q.m_betonGuete};
    if (probe->stbm3d(kBemUltimate, ip, p) != 0) {
        g_protokoll.Printf("Brandschutz: keine Bruchkraefte bei Normaltemperatur im Querschnitt %d\n", iq);
        return q.m_bem.m_erg[kBemUltimate];
    }
    return probe->m_erg[kBemUltimate];
}

// Designs section iq for the normal force n with the moments of its ultimate state u.
void Bemesse(int code, int iq, double gamma, const double* kraefte, double n, const BemErgebnis& u)
{
    double r[7];
    std::copy(kraefte, kraefte + 7, r);
    r[0] = n;
    r[4] = u.My;
    r[5] = u.Mz;
    RechneBem(code, iq, 4, gamma, 1.001, r);
}

int BrandTabelle(const Variante& v, int code, int nel, const double* forces, double gamma, int stride,
                 const double* knotenX, int klasse, int seiten)
{
    nel = std::clamp(nel, 0, kMaxStaebe);
    if (stride < 7)
        stride = 7;
    klasse = std::clamp(klasse, 0, 4);
    const double laenge = knotenX ? knotenX[nel] : 0.0;
    int ergebnis = kBrandOk;
    const GesetzeNormaltemperatur normal(code, 2 * nel);
    std::vector<BemErgebnis> bruch(static_cast<std::size_t>(2 * nel));

    // first pass: can every section carry its fire normal force?
    for (int iq = 0; iq < 2 * nel; ++iq) {
        cQuer& q = g_quer[iq];
        cBem& b = q.m_bem;
        BrandErgebnisBlock& blk = g_rechner.brandBlock[iq];
        const double* rec = forces + static_cast<std::ptrdiff_t>(iq) * stride;
        const double nedfi = rec[0];
        const BemErgebnis& u = bruch[static_cast<std::size_t>(iq)] = Bruchkraefte(iq, gamma, rec);
        blk.NEdfi = nedfi;
        blk.My = u.My;
        blk.Mz = u.Mz;
        blk.NR = u.N;
        blk.muefi = LastNiveau(nedfi, blk.NR);
        blk.OK = 1;
        blk.grund = kBrandOk;
        blk.bErf = blk.aErf = blk.bVorh = blk.aVorh = blk.grad = 0.0;
        blk.As = b.HoleAS();
        if (!(blk.muefi > 1.0))
            continue;
        blk.NR = v.nFaktor * nedfi;
        blk.muefi = 1.0;
        Bemesse(code, iq, gamma, rec, v.nFaktor * nedfi, u);
        if (b.bwfakt <= 1.0) {
            blk.As = BrandBewehrungVorhanden(b);
        } else {
            blk.As = b.HoleAS() * b.bwfakt;
            const double grenze = iq % 2 == 0 ? v.grenze1Start : v.grenze1Ende;
            if (ExceedsLargestRatio(q, blk.As, grenze, true)) {
                ergebnis = kBrandBewehrungsgrad;
                blk.OK = 0;
                blk.grund = kBrandBewehrungsgrad;
                blk.grad = blk.As * 100.0 / q.BetonFlaeche();
            } else {
                b.AsErhoeheung(b.bwfakt);
            }
        }
    }
    if (ergebnis == kBrandBewehrungsgrad)
        return ergebnis;

    // second pass: the table, raising the resisting force where the section falls short
    for (int iq = 0; iq < 2 * nel; ++iq) {
        cQuer& q = g_quer[iq];
        cBem& b = q.m_bem;
        BrandErgebnisBlock& blk = g_rechner.brandBlock[iq];
        const double* rec = forces + static_cast<std::ptrdiff_t>(iq) * stride;
        const double nedfi = rec[0];
        int typ = 0, g1 = 0, g2 = 0, wort = 0, flag = 0;
        double dim[4] = {};
        q.HoleEingabe(typ, g1, g2, wort, dim, flag);
        const double bVorh = typ == 1 ? std::min(dim[0], dim[1]) : dim[0];
        // The axis distance of the bars is the section's bar edge distance; the third and fourth dimensions
        // hold it only where a section was given them.
        const double aVorh = dim[2] > 0.0 && dim[3] > 0.0 ? std::min(dim[2], dim[3]) : std::min(q.m_c1, q.m_c2);
        const int art = typ == 1 ? 0 : 1;
        blk.bVorh = bVorh;
        blk.aVorh = aVorh;

        const BemErgebnis& u = bruch[static_cast<std::size_t>(iq)];
        const double n3 = u.N, n4 = b.m_erg[kBemDesign].N;
        double nr = std::fabs(n3) >= std::fabs(n4) ? n3 : n4;
        double mue = LastNiveau(nedfi, nr);
        Bedarf bedarf;
        if (Nachschlagen(v, seiten, klasse, art, laenge, mue, bVorh, aVorh, bedarf)) {
            blk.bErf = bedarf.b;
            blk.aErf = bedarf.a;
            continue;
        }
        const double raise = iq % 2 == 0 ? v.raiseStart : v.raiseEnde;
        bool moeglich = true;
        do {
            // a section that resists nothing cannot be raised into the table
            if (nr == 0.0) {
                moeglich = false;
                break;
            }
            nr *= raise;
            mue = LastNiveau(nedfi, nr);
            if (mue < 0.001) {
                moeglich = false;
                break;
            }
        } while (!Nachschlagen(v, seiten, klasse, art, laenge, mue, bVorh, aVorh, bedarf));
        if (!moeglich) {
            ergebnis = kBrandAbmessungen;
            blk.OK = 0;
            blk.grund = kBrandAbmessungen;
            blk.bErf = bedarf.b;
            blk.aErf = bedarf.a;
            continue;
        }
        blk.bErf = bedarf.b;
        blk.aErf = bedarf.a;
        blk.NEdfi = nedfi;
        blk.My = u.My;
        blk.Mz = u.Mz;
        blk.NR = nr;
        blk.muefi = mue;
        Bemesse(code, iq, gamma, rec, nr, u);
        if (b.bwfakt <= 1.0) {
            blk.As = b.HoleAS() * b.bwfakt;
        } else if (ExceedsLargestRatio(q, b.HoleAS() * b.bwfakt, v.grenze2, true)) {
            ergebnis = kBrandBewehrungsgrad;
            blk.OK = 0;
            blk.grund = kBrandBewehrungsgrad;
            blk.As = b.HoleAS() * b.bwfakt;
            blk.grad = blk.As * 100.0 / q.BetonFlaeche();
        } else {
            b.AsErhoeheung(b.bwfakt);
            blk.As = b.HoleAS();
        }
    }
    return ergebnis;
}

}  // namespace

void BrandOhneTabellen(int nel)
{
    nel = std::clamp(nel, 0, kMaxStaebe);
    for (int iq = 0; iq < 2 * nel; ++iq) {
        BrandErgebnisBlock& blk = g_rechner.brandBlock[iq];
        blk = BrandErgebnisBlock{};
        blk.grund = kBrandOhneTabellen;
    }
}

double BrandBewehrungVorhanden(cBem& bem)
{
    // AsErhoeheung(1) would raise by nothing and report 0: a factor of exactly 1 keeps the area as it is
    return bem.bwfakt < 1.0 ? bem.AsErhoeheung(bem.bwfakt) : bem.HoleAS();
}

int BrandTabelleDIN4102(int code, int nel, const double* forces, int, double gamma, int stride, const double*,
                        const double* knotenX, int, int klasse, int seiten, double)
{
    return BrandTabelle(kDin, code, nel, forces, gamma, stride, knotenX, klasse, seiten);
}

int BrandTabelleEC2_DE(int code, int nel, const double* forces, int, double gamma, int stride, const double*,
                       const double* knotenX, int, int klasse, int seiten, double)
{
    return BrandTabelle(kEc2De, code, nel, forces, gamma, stride, knotenX, klasse, seiten);
}
